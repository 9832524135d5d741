// The shell's pieces: the UI scale, the frame's input from SDL events, and
// the start-up language.
#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>

#include "app/shell.h"

// [SECTION] Scale and input

TEST(ShellScale, ClampsToItsRange) {
    EXPECT_FLOAT_EQ(ui_scale_for(600), 1.0f);
    EXPECT_FLOAT_EQ(ui_scale_for(900), 1.5f);
    EXPECT_FLOAT_EQ(ui_scale_for(400), 0.75f);
    EXPECT_FLOAT_EQ(ui_scale_for(1200), 2.0f);
    EXPECT_FLOAT_EQ(ui_scale_for(1500), 2.0f);
    EXPECT_FLOAT_EQ(ui_scale_for(0), 0.75f);
}

namespace {

SDL_Event button_event(Uint32 type, Uint8 button, int x, int y) {
    SDL_Event e{};
    e.type = type;
    e.button.button = button;
    e.button.x = x;
    e.button.y = y;
    return e;
}

}  // namespace

TEST(ShellInput, EventsBecomeTheFramesMouseInDrawablePixels) {
    UiInput input;
    float wheel = 0;
    bool running = true;
    SDL_Event motion{};
    motion.type = SDL_MOUSEMOTION;
    motion.motion.x = 100;
    motion.motion.y = 50;
    shell_handle_event(motion, 2.0f, 2.0f, input, wheel, running);  // a high-DPI display
    EXPECT_FLOAT_EQ(input.mouse_x, 200);
    EXPECT_FLOAT_EQ(input.mouse_y, 100);

    shell_handle_event(button_event(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_RIGHT, 7, 9), 1, 1, input,
                       wheel, running);
    EXPECT_FLOAT_EQ(input.mouse_x, 7);  // any button moves the mouse ...
    EXPECT_FALSE(input.pressed);        // ... only the left one counts
    shell_handle_event(button_event(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 10, 20), 1, 1, input,
                       wheel, running);
    EXPECT_TRUE(input.pressed);
    EXPECT_TRUE(input.down);
    EXPECT_FALSE(input.released);
    shell_handle_event(button_event(SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT, 11, 21), 1, 1, input,
                       wheel, running);
    EXPECT_TRUE(input.released);
    EXPECT_FALSE(input.down);
    EXPECT_TRUE(input.pressed);  // both in one frame make a click
    EXPECT_FLOAT_EQ(input.mouse_y, 21);
    EXPECT_TRUE(running);
}

TEST(ShellInput, WheelStepsAddUpAndQuitStopsTheLoop) {
    UiInput input;
    float wheel = 0;
    bool running = true;
    SDL_Event e{};
    e.type = SDL_MOUSEWHEEL;
    e.wheel.y = 2;
    shell_handle_event(e, 2, 2, input, wheel, running);  // not scaled by the DPI factor
    e.wheel.y = -5;
    shell_handle_event(e, 2, 2, input, wheel, running);
    EXPECT_FLOAT_EQ(wheel, -3);
    SDL_Event key{};
    key.type = SDL_KEYDOWN;
    key.key.keysym.sym = SDLK_ESCAPE;
    shell_handle_event(key, 1, 1, input, wheel, running);
    EXPECT_TRUE(running);
    SDL_Event quit{};
    quit.type = SDL_QUIT;
    shell_handle_event(quit, 1, 1, input, wheel, running);
    EXPECT_FALSE(running);
}

// [SECTION] Start-up language

namespace {

// The locale as the system would report it, with ZR_LANG set (null: unset).
uint8_t start_language(const char* lang, const char* zr_lang) {
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANGUAGE", "LANG", "ZR_LANG"})
        unsetenv(name);
    if (lang) setenv("LANG", lang, 1);
    if (zr_lang) setenv("ZR_LANG", zr_lang, 1);
    return choose_start_language();
}

}  // namespace

TEST(StartLanguage, LocaleUnlessZrLangExists) {
    EXPECT_EQ(start_language(nullptr, nullptr), 0);
    EXPECT_EQ(start_language("de_DE.UTF-8", nullptr), 4);
    EXPECT_EQ(start_language("de_DE.UTF-8", "fr-CA"), 5);
    EXPECT_EQ(start_language("de_DE.UTF-8", "xx"), 0);
    EXPECT_EQ(start_language("de_DE.UTF-8", ""), 0);  // existing but empty still overrides
    EXPECT_EQ(start_language("sv_SE.UTF-8", nullptr), 0);
    EXPECT_EQ(start_language(nullptr, "ja"), 11);
}
