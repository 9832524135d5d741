// Unattended runs: ZR_SETUP_PAGE opens a chosen page (PAGE_INSTALL, 3, begins
// an installation at once), ZR_SHOT with ZR_FRAMES saves a 24-bit BMP of the
// window after a given frame and ends the program.
#pragma once
#include <cstdint>
#include <string>

#include "app/setup_state.h"

struct Automation {
    bool has_shot = false;
    std::string shot_path;
    int32_t shot_frame = 30;
    int32_t frame_count = 0;
};

// The value of a numeric variable exactly as atoi reads it ("  7x" is 7,
// "text" is 0); false when the number does not fit an int32_t.
bool parse_env_int(const char* text, int32_t& value);
// Reads ZR_SETUP_PAGE, ZR_SHOT and ZR_FRAMES and applies the start page. After
// a failed game-file check only the Welcome and License pages replace the
// failure page, so an unattended run never installs a broken folder. A number
// beyond int counts as none: the Welcome page, and no picture.
void read_automation(Automation& automation, SetupState& state);
// Counts a finished frame; takes the picture at shot_frame. True when it was taken.
bool automation_after_frame(Automation& automation, int width, int height);
// On the paths where a button ends the loop: the picture when frame_count + 1 is shot_frame.
void automation_on_exit_frame(Automation& automation, int width, int height);
// Reads the back buffer into a 24-bit BMP file; silent on failure. A path that is
// not a regular file (a FIFO, a device) is refused at once, never waited on.
void save_screenshot(const char* path, int width, int height);
