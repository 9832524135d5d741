// The automation variables, the frame counter and the screenshot read-back.
#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "app/automation.h"
#include "render/ui_batch.h"
#include "tests/support/gl_context.h"
#include "ui/widgets.h"

namespace fs = std::filesystem;

namespace {

void set_automation_env(const char* page, const char* shot, const char* frames) {
    const char* names[] = {"ZR_SETUP_PAGE", "ZR_SHOT", "ZR_FRAMES"};
    const char* values[] = {page, shot, frames};
    for (int i = 0; i < 3; ++i) {
        if (values[i]) setenv(names[i], values[i], 1);
        else unsetenv(names[i]);
    }
}

fs::path temp_bmp(const char* name) { return fs::temp_directory_path() / name; }

}  // namespace

// [SECTION] Reading the variables

TEST(AutomationVariables, NothingSetKeepsTheStartPage) {
    set_automation_env(nullptr, nullptr, nullptr);
    Automation a;
    SetupState state;
    state.page = 5;  // e.g. a missing game file
    read_automation(a, state);
    EXPECT_EQ(state.page, 5);
    EXPECT_FALSE(state.license_accepted);
    EXPECT_FALSE(a.has_shot);
    EXPECT_EQ(a.shot_frame, 30);
}

TEST(AutomationVariables, PageAllowsTheTermsAndFramesAreNumbers) {
    set_automation_env("1", "x.bmp", "7");
    Automation a;
    SetupState state;
    state.page = 5;
    read_automation(a, state);
    EXPECT_EQ(state.page, 1);
    EXPECT_TRUE(state.license_accepted);
    EXPECT_TRUE(a.has_shot);
    EXPECT_EQ(a.shot_path, "x.bmp");
    EXPECT_EQ(a.shot_frame, 7);

    set_automation_env("welcome", nullptr, "many");
    Automation b;
    SetupState other;
    read_automation(b, other);
    EXPECT_EQ(other.page, 0);
    EXPECT_EQ(b.shot_frame, 0);
}

TEST(AutomationVariables, PageThreeBeginsTheInstallation) {
    set_automation_env("3", nullptr, nullptr);
    Automation a;
    SetupState state;
    state.install_dir = "/proc/no-such-folder/Torvanel";  // cannot be created
    read_automation(a, state);
    EXPECT_TRUE(state.install_started);
    EXPECT_EQ(state.page, 5);
    EXPECT_NE(state.error_text.find("/proc/no-such-folder/Torvanel"), std::string::npos);
}

// [SECTION] Counting frames and the picture

TEST(AutomationFrames, PictureAtTheChosenFrameOnly) {
    REQUIRE_GL();
    const fs::path path = temp_bmp("torvanel-automation-count.bmp");
    fs::remove(path);
    Automation a;
    a.has_shot = true;
    a.shot_path = path.string();
    a.shot_frame = 3;
    EXPECT_FALSE(automation_after_frame(a, 64, 32));
    EXPECT_FALSE(automation_after_frame(a, 64, 32));
    EXPECT_FALSE(fs::exists(path));
    EXPECT_TRUE(automation_after_frame(a, 64, 32));
    EXPECT_TRUE(fs::exists(path));
    EXPECT_EQ(a.frame_count, 3);
    fs::remove(path);

    Automation quiet;  // without ZR_SHOT nothing is counted
    quiet.shot_frame = 1;
    EXPECT_FALSE(automation_after_frame(quiet, 64, 32));
    EXPECT_EQ(quiet.frame_count, 0);
}

TEST(AutomationFrames, ExitFrameCountsAsTheNextOne) {
    REQUIRE_GL();
    const fs::path path = temp_bmp("torvanel-automation-exit.bmp");
    fs::remove(path);
    Automation a;
    a.has_shot = true;
    a.shot_path = path.string();
    a.shot_frame = 3;
    a.frame_count = 1;
    automation_on_exit_frame(a, 64, 32);
    EXPECT_FALSE(fs::exists(path));
    a.frame_count = 2;
    automation_on_exit_frame(a, 64, 32);
    EXPECT_TRUE(fs::exists(path));
    EXPECT_EQ(a.frame_count, 2);
    fs::remove(path);
}

TEST(AutomationFrames, ScreenshotPutsTheTopRowFirst) {
    REQUIRE_GL();
    UiContext ui;
    std::string log;
    ASSERT_TRUE(ui_init(ui, nullptr, &log)) << log;
    ui_begin_frame(ui, 960, 600, UiInput{});
    ui_fill_rect(ui, {0, 0, 960, 300}, {1, 0, 0, 1});
    ui_fill_rect(ui, {0, 300, 960, 300}, {0, 0, 1, 1});
    ui_end_frame(ui);
    const fs::path path = temp_bmp("torvanel-automation-rows.bmp");
    save_screenshot(path.c_str(), 960, 600);
    ui_shutdown(ui);

    SDL_Surface* loaded = SDL_LoadBMP(path.c_str());
    ASSERT_NE(loaded, nullptr) << SDL_GetError();
    EXPECT_EQ(loaded->format->BitsPerPixel, 24);
    EXPECT_EQ(loaded->w, 960);
    EXPECT_EQ(loaded->h, 600);
    SDL_Surface* rgb = SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_RGB24, 0);
    const auto* pixels = static_cast<const uint8_t*>(rgb->pixels);
    const uint8_t* top = pixels + 10 * rgb->pitch + 10 * 3;
    const uint8_t* bottom = pixels + 590 * rgb->pitch + 10 * 3;
    EXPECT_EQ(top[0], 255);
    EXPECT_EQ(top[2], 0);
    EXPECT_EQ(bottom[0], 0);
    EXPECT_EQ(bottom[2], 255);
    SDL_FreeSurface(rgb);
    SDL_FreeSurface(loaded);
    fs::remove(path);
}
