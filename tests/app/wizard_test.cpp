// The wizard frame by frame at 960 x 600, scale 1, with synthetic mouse input; the shell's logic.
#include <SDL.h>
#include <gtest/gtest.h>

#include <cmath>

#include "app/wizard.h"
#include "i18n/catalogue.h"
#include "i18n/languages.h"
#include "i18n/messages.h"
#include "render/gl_api.h"
#include "setup/command.h"
#include "setup/paths.h"
#include "setup/shortcuts.h"
#include "tests/support/gl_context.h"
#include "tests/support/portable.h"
#include "text/text_render.h"

namespace {

// Centres of the bottom buttons at scale 1.
constexpr float BACK_X = BACK_AT_SCALE_1.x, CANCEL_X = CANCEL_AT_SCALE_1.x, PRIMARY_X = PRIMARY_AT_SCALE_1.x;
constexpr float BUTTON_Y = PRIMARY_AT_SCALE_1.y;
// Automation may ask for any page number; one beyond the last shows an empty page.
constexpr int NO_SUCH_PAGE = 9;

std::vector<std::string> g_commands;  // what the wizard hands to the command layer

struct Wizard : ::testing::Test {
    SetupState state;
    UiContext ui;
    TextSystem* text = nullptr;
    SDL_Window* window = nullptr;
    bool running = true, ended = false;
    // One frame as the shell runs it: the installation work, then the drawing with this input.
    void frame(float x, float y, bool pressed, bool released, float wheel = 0) {
        run_install_work(state);
        ui_begin_frame(ui, 960, 600, UiInput{x, y, pressed && !released, pressed, released});
        running = true;
        ended = draw_frame(state, ui, text, window, wheel, 1.0f, 960, 600, running);
    }
    // Pressed in one frame and released in the next; whether the frame asked to end.
    bool click(float x, float y) { return frame(x, y, true, false), frame(x, y, false, true), ended; }
};

}  // namespace

// Next and Back keep the licence box, which gates Next. Cancel ends the run; Back leaves the failure page once
// copying began; Finish unticked starts no game. Nothing begins installing.
TEST_F(Wizard, BottomButtonsAndTheLicenceBox) {
    const float BOX_X = LICENSE_CHECK_BOX_AT_SCALE_1.x, BOX_Y = LICENSE_CHECK_BOX_AT_SCALE_1.y;
    const struct { float x, y; int page; bool accepted; } steps[] = {
        {PRIMARY_X, BUTTON_Y, PAGE_LICENSE, false},
        {PRIMARY_X, BUTTON_Y, PAGE_LICENSE, false},
        {BOX_X, BOX_Y, PAGE_LICENSE, true},
        {BOX_X, BOX_Y, PAGE_LICENSE, false},
        {BOX_X, BOX_Y, PAGE_LICENSE, true},
        {PRIMARY_X, BUTTON_Y, PAGE_LOCATION, true},
        {BACK_X, BUTTON_Y, PAGE_LICENSE, true},
        {BACK_X, BUTTON_Y, PAGE_WELCOME, true},
        {PRIMARY_X, BUTTON_Y, PAGE_LICENSE, true},
        {PRIMARY_X, BUTTON_Y, PAGE_LOCATION, true}};
    for (const auto& s : steps) {
        EXPECT_FALSE(click(s.x, s.y));
        EXPECT_EQ(std::pair(state.page, state.license_accepted), std::pair(s.page, s.accepted)) << &s - steps;
    }
    set_command_runner([](const std::string& line) { g_commands.push_back(line); });
    const struct { int page; bool started, start_game; float x; int after; bool running, ended; } rows[] = {
        {PAGE_LOCATION, 0, 1, CANCEL_X, PAGE_LOCATION, 0, 0},
        {PAGE_DONE, 0, 0, PRIMARY_X, PAGE_DONE, 1, 1},
        {PAGE_FAILED, 1, 1, BACK_X, PAGE_LOCATION, 1, 0},
        {PAGE_FAILED, 0, 1, CANCEL_X, PAGE_FAILED, 1, 0},
        {PAGE_FAILED, 0, 1, PRIMARY_X, PAGE_FAILED, 1, 1},
        {NO_SUCH_PAGE, 0, 1, PRIMARY_X, NO_SUCH_PAGE, 1, 0}};
    for (const auto& row : rows) {
        SCOPED_TRACE("page " + std::to_string(row.page) + " at x " + std::to_string(row.x));
        state = SetupState();
        state.page = row.page, state.install_started = row.started, state.start_game_on_close = row.start_game;
        EXPECT_EQ(click(row.x, BUTTON_Y), row.ended);
        EXPECT_EQ(std::pair(state.page, running), std::pair(row.after, row.running));
        EXPECT_FALSE(state.install_started) << "installing began";
    }
    set_command_runner(nullptr);
    EXPECT_TRUE(g_commands.empty()) << "a game was started";
}

// Change location cycles the folders; each box toggles its own option.
TEST_F(Wizard, LocationAndDonePageControls) {
    set_env("LOCALAPPDATA", nullptr);
    build_install_candidates(state);
    state.page = PAGE_LOCATION;
    const WizardLayout l = wizard_layout(ui, 1.0f, 960, 600);
    const float change_y = l.content.y + 56 + l.line_step + 50 + 19, desktop_y = change_y + 66;
    click(l.content.x + 150, change_y);
    EXPECT_EQ(state.install_dir, "C:/Games/Torvanel");
    click(l.content.x + 200, desktop_y);
    EXPECT_TRUE(!state.make_desktop_shortcut && state.make_start_menu_entry);
    click(l.content.x + 200, desktop_y + 48);
    EXPECT_FALSE(state.make_desktop_shortcut || state.make_start_menu_entry);
    state.page = PAGE_DONE;  // the box sits below the two one-line paragraphs
    click(l.content.x + 200, l.content.y + 60 + 2 * l.line_step + 34);
    EXPECT_FALSE(state.start_game_on_close);
}

TEST_F(Wizard, LanguageButtonCyclesAndRetitlesTheWindow) {
    ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0);
    ASSERT_TRUE(window = SDL_CreateWindow("", 0, 0, 960, 600, SDL_WINDOW_HIDDEN));
    TextSystem ts;  // never started: switching only records the language
    text = &ts;
    set_language(0);
    const WizardLayout l = wizard_layout(ui, 1.0f, 960, 600);
    for (int press = 1; press <= 14; ++press) {
        SDL_SetWindowTitle(window, "stale");
        click(l.content.x + 150, l.content.y + l.content.h - 80 + l.line_step);
        EXPECT_EQ(std::pair(int(current_language()), int(ts.language)), std::pair(press % 14, press % 14));
        EXPECT_STREQ(SDL_GetWindowTitle(window), tr(MSG_WINDOW_TITLE)) << "press " << press;
    }
    SDL_DestroyWindow(window);
}

TEST_F(Wizard, WheelScrollsTheLicenceOnlyInsideItsBoxAndClampsAndTheTextStaysInside) {
    REQUIRE_GL();
    TextSystem ts;
    ASSERT_TRUE(text_init(ts, nullptr)) << "needs a system font";
    ui.text = text = &ts;
    state.page = PAGE_LICENSE;
    const WizardLayout l = wizard_layout(ui, 1.0f, 960, 600);
    const UiRect R = license_box(l.content, 1.0f);
    const float x = R.x + 100, y = R.y + 100, L = l.line_step;
    const struct { float x, y, wheel, scroll; } rows[] = {{x, R.y - 1, -3, 0}, {x, R.y + R.h, -3, 0},
        {x, y, -2, 2 * L}, {R.x + R.w, y, -4, 2 * L}, {x, y, 1, L}, {x, y, 3, 0}};
    for (const auto& row : rows) {
        frame(row.x, row.y, false, false, row.wheel);
        EXPECT_FLOAT_EQ(state.license_scroll, row.scroll) << row.x << ", " << row.y;
    }
    frame(x, y, false, false, -1000);  // clamped where the lowest line of text rests 12 pixels above the box's bottom
    const float max_scroll = state.license_scroll;
    float last_top = -1;
    for (const UiDrawCmd& cmd : ui.draws)
        for (uint32_t i = cmd.first; cmd.texture != 0 && i < cmd.first + cmd.count; i += 6)
            if (std::abs(ui.vertices[i].x - (R.x + 14)) < 0.01f) last_top = std::max(last_top, ui.vertices[i].y);
    EXPECT_NEAR(last_top, R.y + R.h - L - 12, 0.01f);

    // Drawn for real: scrolled text changes the box and not one pixel outside it (half lines are cut).
    ASSERT_TRUE(ui_init(ui, &ts, nullptr));
    const auto shot = [&](float scroll) {
        state.license_scroll = scroll, frame(0, 0, false, false), ui_end_frame(ui);
        std::vector<uint32_t> px(960 * 600);
        gl.glReadPixels(0, 0, 960, 600, GL_RGBA, GL_UNSIGNED_BYTE, px.data());
        return px;
    };
    const std::vector<uint32_t> top = shot(0);
    for (float scroll : {0.5f * L, max_scroll}) {
        const std::vector<uint32_t> scrolled = shot(scroll);
        int changed[2] = {0, 0};  // outside, inside the box
        for (size_t i = 0; i < top.size(); ++i) {
            const float px = i % 960, py = 599 - i / 960;  // rows come bottom up
            changed[px >= R.x && px < R.x + R.w && py >= R.y && py < R.y + R.h] += top[i] != scrolled[i];
        }
        EXPECT_TRUE(changed[1] > 0 && changed[0] == 0) << scroll << ": " << changed[1] << " in, " << changed[0];
    }
    ui_shutdown(ui);
    text_shutdown(ts);
}

TEST(Shell, ScaleClampsAndEventsBecomeTheFramesInput) {
    EXPECT_EQ(std::pair(ui_scale_for(400), ui_scale_for(1500)), std::pair(.75f, 2.f));  // 1.5 at 900: the Wine run
    UiInput in;
    float wheel = 0;
    bool running = true;
    const auto send = [&](Uint32 type, int x, int y, float fx, float fy, Uint8 button = 0) {
        SDL_Event e{};
        e.type = type;
        if (type == SDL_MOUSEMOTION) e.motion.x = x, e.motion.y = y;
        else if (type == SDL_MOUSEWHEEL) e.wheel.y = y;
        else e.button.x = x, e.button.y = y, e.button.button = button;
        shell_handle_event(e, fx, fy, in, wheel, running);
    };
    send(SDL_MOUSEMOTION, 100, 50, 2.0f, 1.5f);  // a high-DPI display
    EXPECT_EQ(std::pair(in.mouse_x, in.mouse_y), std::pair(200.0f, 75.0f));
    send(SDL_MOUSEBUTTONDOWN, 7, 9, 2.0f, 2.0f, SDL_BUTTON_RIGHT);
    EXPECT_TRUE(in.mouse_y == 18 && !in.pressed && !in.down);  // only the left button clicks
    send(SDL_MOUSEBUTTONDOWN, 7, 9, 1, 1, SDL_BUTTON_LEFT);
    send(SDL_MOUSEBUTTONUP, 7, 9, 1, 1, SDL_BUTTON_LEFT);
    EXPECT_TRUE(in.pressed && in.released && !in.down);  // both in one frame make a click
    for (int step : {2, -5, 1}) send(SDL_MOUSEWHEEL, 0, step, 2, 2);
    EXPECT_TRUE(wheel == -2 && running) << wheel;  // wheel steps add up, unscaled
    send(SDL_QUIT, 0, 0, 1, 1);
    EXPECT_FALSE(running);
}

TEST(Automation, EnvironmentNumbersReadAsAtoiDoesOrNotAtAll) {
    int32_t value = -99;
    for (const char* text : {" \t\n-12", "+7 frames", "text", "-", "2147483647", "-2147483648", "000000000000042"})
        EXPECT_TRUE(parse_env_int(text, value) && value == std::atoi(text)) << text << " read " << value;
    for (const char* text : {"2147483648", "-2147483649", " 99999999999999999999999 "})
        EXPECT_FALSE(parse_env_int(text, value)) << text;
}

// Width 5: 15 bytes of pixels in each 16-byte bitmap row (row order and colour order show in the program's shots).
TEST(Automation, ScreenshotOfAPaddedWidthKeepsEveryRowWhole) {
    REQUIRE_GL();
    gl.glBindFramebuffer(GL_FRAMEBUFFER, 0), gl.glClearColor(1, 0, 0, 1), gl.glClear(GL_COLOR_BUFFER_BIT);
    const std::string path = testing::TempDir() + "torvanel-padded-shot.bmp";
    save_screenshot(path.c_str(), 5, 3);
    SDL_Surface* loaded = SDL_LoadBMP(path.c_str());
    SDL_Surface* rgb = loaded ? SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_RGB24, 0) : nullptr;
    SDL_FreeSurface(loaded), std::remove(path.c_str());
    ASSERT_TRUE(rgb && rgb->w == 5 && rgb->h == 3);
    for (int i = 0; i < 45; ++i)
        EXPECT_EQ(static_cast<const uint8_t*>(rgb->pixels)[i / 15 * rgb->pitch + i % 15], i % 3 ? 0 : 255) << i;
    SDL_FreeSurface(rgb);
}
