// The shell: SDL, the language, the one window with its OpenGL 3.3 core
// context, the single-threaded frame loop that turns SDL events into the
// frame's mouse input, and the shutdown order. It drives one application.
#pragma once
#include <cstdint>

#include "render/ui_types.h"

struct SDL_Window;
union SDL_Event;

// The application interface the shell drives (the setup wizard implements it).
struct Application {
    virtual ~Application() = default;
    // Once, after the GL entry points are loaded; false when it cannot run.
    virtual bool start(SDL_Window* window) = 0;
    // Once per frame; false ends the loop right after this frame. May clear `running`.
    virtual bool frame(SDL_Window* window, const UiInput& input, float wheel, float scale, int width, int height,
                       bool& running) = 0;
    // Once, after the loop, with the context still current.
    virtual void stop() = 0;
};

// drawable height / 600, clamped to 0.75 .. 2.0.
float ui_scale_for(int drawable_height);

// The start-up language: the first preferred locale, replaced by ZR_LANG
// whenever that variable exists (an empty or unknown value means English).
uint8_t choose_start_language();

// Folds one SDL event into the frame's input: mouse position scaled by the
// high-DPI factors, left-button flags, summed wheel, window close.
void shell_handle_event(const SDL_Event& event, float fx, float fy, UiInput& input, float& wheel, bool& running);

// Runs the program around `app`; returns the process exit code.
int run_shell(Application& app);
