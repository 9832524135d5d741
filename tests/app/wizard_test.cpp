// The wizard frame by frame at 960 x 600, scale 1, with synthetic mouse input; the shell's handling of
// events, and the automation's numbers and screenshots.
#include <SDL.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>

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

// Automation may ask for any page number; one beyond the last shows an empty page.
constexpr int NO_SUCH_PAGE = 9;
// The install folder offered after the one under LOCALAPPDATA.
const char* const SECOND_CANDIDATE = "C:/Games/Torvanel";

std::vector<std::string> g_commands;  // what the wizard hands to the command layer

class Wizard : public testing::Test {
protected:
    void TearDown() override {
        set_command_runner(nullptr);
        g_commands.clear();
    }

    // One frame as the shell runs it: the installation work, then the drawing with this input.
    void frame(UiPoint at, bool pressed, bool released, float wheel = 0) {
        run_install_work(state);
        const bool down = pressed && !released;
        ui_begin_frame(ui, WINDOW_WIDTH, WINDOW_HEIGHT, UiInput{at.x, at.y, down, pressed, released});
        running = true;
        ended = draw_frame(state, ui, text, window, wheel, 1.0f, WINDOW_WIDTH, WINDOW_HEIGHT, running);
    }
    // Pressed in one frame and released in the next; whether the frame asked to end.
    bool click(UiPoint at) {
        frame(at, true, false);
        frame(at, false, true);
        return ended;
    }
    // Records the command lines the wizard hands over (a started game would be one).
    void record_commands() {
        set_command_runner([](const std::string& line) { g_commands.push_back(line); });
    }
    WizardLayout layout() { return wizard_layout(ui, 1.0f, WINDOW_WIDTH, WINDOW_HEIGHT); }

    SetupState state;
    UiContext ui;
    TextSystem* text = nullptr;
    SDL_Window* window = nullptr;
    bool running = true;
    bool ended = false;
};

// [SECTION] The bottom buttons and the licence box

TEST_F(Wizard, LicenceBoxTogglesAndNextLeavesTheLicenceOnlyOnceItIsTicked) {
    const struct {
        const char* what;
        UiPoint click;
        int page;  // after the click
        bool accepted;
    } steps[] = {
        {"Next on the Welcome page", PRIMARY_AT_SCALE_1, PAGE_LICENSE, false},
        {"Next, the box unticked", PRIMARY_AT_SCALE_1, PAGE_LICENSE, false},
        {"the box ticked", LICENSE_CHECK_BOX_AT_SCALE_1, PAGE_LICENSE, true},
        {"the box unticked again", LICENSE_CHECK_BOX_AT_SCALE_1, PAGE_LICENSE, false},
        {"the box ticked again", LICENSE_CHECK_BOX_AT_SCALE_1, PAGE_LICENSE, true},
        {"Next, the box ticked", PRIMARY_AT_SCALE_1, PAGE_LOCATION, true},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.what);
        EXPECT_FALSE(click(step.click));
        EXPECT_EQ(state.page, step.page);
        EXPECT_EQ(state.license_accepted, step.accepted);
    }
}

TEST_F(Wizard, BackAndNextMoveOnePageAndKeepTheLicenceAccepted) {
    state.page = PAGE_LOCATION;
    state.license_accepted = true;
    const struct {
        const char* what;
        UiPoint click;
        int page;  // after the click
    } steps[] = {
        {"Back from the Location page", BACK_AT_SCALE_1, PAGE_LICENSE},
        {"Back from the License page", BACK_AT_SCALE_1, PAGE_WELCOME},
        {"Next from the Welcome page", PRIMARY_AT_SCALE_1, PAGE_LICENSE},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.what);
        EXPECT_FALSE(click(step.click));
        EXPECT_EQ(state.page, step.page);
        EXPECT_TRUE(state.license_accepted);
    }
}

TEST_F(Wizard, EachPagesBottomButtonsEndTheRunOrMoveWithoutInstallingOrStartingAGame) {
    record_commands();
    const struct {
        const char* what;
        int page;
        bool install_started;
        bool start_game;  // the Done page's box
        UiPoint click;
        int page_after;
        bool running_after;  // false: the loop ends after this frame
        bool ends_frame;     // true: the frame asks to end at once
    } rows[] = {
        {"Cancel on the Location page", PAGE_LOCATION, false, true, CANCEL_AT_SCALE_1, PAGE_LOCATION, false, false},
        {"Finish, the game box unticked", PAGE_DONE, false, false, PRIMARY_AT_SCALE_1, PAGE_DONE, true, true},
        {"Back on the failure page after copying began", PAGE_FAILED, true, true, BACK_AT_SCALE_1, PAGE_LOCATION, true,
         false},
        {"no Cancel on the failure page", PAGE_FAILED, false, true, CANCEL_AT_SCALE_1, PAGE_FAILED, true, false},
        {"Close on the failure page", PAGE_FAILED, false, true, PRIMARY_AT_SCALE_1, PAGE_FAILED, true, true},
        {"Next on a page beyond the last", NO_SUCH_PAGE, false, true, PRIMARY_AT_SCALE_1, NO_SUCH_PAGE, true, false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        state = SetupState();
        state.page = row.page;
        state.install_started = row.install_started;
        state.start_game_on_close = row.start_game;
        EXPECT_EQ(click(row.click), row.ends_frame);
        EXPECT_EQ(state.page, row.page_after);
        EXPECT_EQ(running, row.running_after);
        EXPECT_FALSE(state.install_started) << "installing began";
    }
    EXPECT_TRUE(g_commands.empty()) << "a game was started";
}

// [SECTION] The page controls

// Where the Location page places its controls (below the heading, the folder box and the button).
UiPoint change_location_button(const WizardLayout& l) {
    return {l.content.x + 150, l.content.y + 56 + l.line_step + 50 + 19};
}
UiPoint desktop_box(const WizardLayout& l) { return {l.content.x + 200, change_location_button(l).y + 66}; }
UiPoint start_menu_box(const WizardLayout& l) { return {l.content.x + 200, desktop_box(l).y + 48}; }

TEST_F(Wizard, ChangeLocationOffersTheNextFolder) {
    set_env("LOCALAPPDATA", nullptr);
    build_install_candidates(state);
    state.page = PAGE_LOCATION;
    click(change_location_button(layout()));
    EXPECT_EQ(state.install_dir, SECOND_CANDIDATE);
}

TEST_F(Wizard, EachOptionBoxTogglesItsOwnOption) {
    state.page = PAGE_LOCATION;
    click(desktop_box(layout()));
    EXPECT_FALSE(state.make_desktop_shortcut);
    EXPECT_TRUE(state.make_start_menu_entry);
    click(start_menu_box(layout()));
    EXPECT_FALSE(state.make_desktop_shortcut);
    EXPECT_FALSE(state.make_start_menu_entry);
}

TEST_F(Wizard, StartGameBoxOnTheDonePageToggles) {
    state.page = PAGE_DONE;
    const WizardLayout l = layout();
    const UiPoint box = {l.content.x + 200, l.content.y + 60 + 2 * l.line_step + 34};  // below two one-line paragraphs
    click(box);
    EXPECT_FALSE(state.start_game_on_close);
}

TEST_F(Wizard, LanguageButtonCyclesThroughEveryLanguageAndRetitlesTheWindow) {
    ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0);
    window = SDL_CreateWindow("", 0, 0, WINDOW_WIDTH, WINDOW_HEIGHT, SDL_WINDOW_HIDDEN);
    ASSERT_NE(window, nullptr);
    TextSystem never_started;  // switching only records the language
    text = &never_started;
    set_language(0);
    const WizardLayout l = layout();
    const UiPoint button = {l.content.x + 150, l.content.y + l.content.h - 80 + l.line_step};
    for (int press = 1; press <= LANGUAGE_COUNT; ++press) {
        SCOPED_TRACE(testing::Message() << "press " << press);
        SDL_SetWindowTitle(window, "stale");
        click(button);
        EXPECT_EQ(current_language(), press % LANGUAGE_COUNT);
        EXPECT_EQ(never_started.language, press % LANGUAGE_COUNT);
        EXPECT_STREQ(SDL_GetWindowTitle(window), tr(MSG_WINDOW_TITLE));
    }
    SDL_DestroyWindow(window);
}

// [SECTION] The licence box, scrolled with real fonts

class LicenceScroll : public Wizard {
protected:
    void SetUp() override {
        REQUIRE_GL();
        ASSERT_TRUE(text_init(fonts, nullptr)) << "needs a system font";
        fonts_started = true;
        text = &fonts;
        ui.text = &fonts;
        state.page = PAGE_LICENSE;
        const WizardLayout l = layout();
        box = license_box(l.content, 1.0f);
        line = l.line_step;
        inside = {box.x + 100, box.y + 100};
    }
    void TearDown() override {
        if (fonts_started) text_shutdown(fonts);
        Wizard::TearDown();
    }
    void wheel(UiPoint at, float steps) { frame(at, false, false, steps); }
    // The window's pixels with the licence scrolled by `scroll`, bottom row first.
    std::vector<uint32_t> picture(float scroll) {
        state.license_scroll = scroll;
        frame({0, 0}, false, false);
        ui_end_frame(ui);
        std::vector<uint32_t> pixels(WINDOW_WIDTH * WINDOW_HEIGHT);
        gl.glReadPixels(0, 0, WINDOW_WIDTH, WINDOW_HEIGHT, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
        return pixels;
    }

    TextSystem fonts;
    bool fonts_started = false;
    UiRect box = {};
    float line = 0;
    UiPoint inside = {};
};

TEST_F(LicenceScroll, WheelScrollsTheLicenceALineAStepOnlyInsideItsBoxAndNotAboveTheTop) {
    const struct {
        const char* what;
        UiPoint at;
        float steps;   // negative: down
        float scroll;  // afterwards
    } rows[] = {
        {"just above the box", {inside.x, box.y - 1}, -3, 0},
        {"just below the box", {inside.x, box.y + box.h}, -3, 0},
        {"inside, two down", inside, -2, 2 * line},
        {"just right of the box", {box.x + box.w, inside.y}, -4, 2 * line},
        {"inside, one up", inside, 1, line},
        {"inside, three up: stops at the top", inside, 3, 0},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        wheel(row.at, row.steps);
        EXPECT_FLOAT_EQ(state.license_scroll, row.scroll);
    }
}

TEST_F(LicenceScroll, ScrollStopsWhereTheLastLineRestsTwelvePixelsAboveTheBoxsBottom) {
    wheel(inside, -1000);
    float last_line_top = -1;
    const float text_left = box.x + 14;
    for (const UiDrawCmd& cmd : ui.draws) {
        if (cmd.texture == 0) continue;  // not text
        for (uint32_t i = cmd.first; i < cmd.first + cmd.count; i += 6) {
            const UiVertex& top_left = ui.vertices[i];
            if (std::abs(top_left.x - text_left) < 0.01f) last_line_top = std::max(last_line_top, top_left.y);
        }
    }
    EXPECT_NEAR(last_line_top, box.y + box.h - line - 12, 0.01f);
}

TEST_F(LicenceScroll, ScrolledTextChangesPixelsInsideTheBoxAndNotOneOutside) {
    ASSERT_TRUE(ui_init(ui, &fonts, nullptr));
    const std::vector<uint32_t> top = picture(0);
    const std::vector<uint32_t> scrolled = picture(0.5f * line);  // half a line: lines cut at both of the box's edges
    int changed_inside = 0;
    int changed_outside = 0;
    for (size_t i = 0; i < top.size(); ++i) {
        if (top[i] == scrolled[i]) continue;
        const float x = static_cast<float>(i % WINDOW_WIDTH);
        const float y = static_cast<float>(WINDOW_HEIGHT - 1 - i / WINDOW_WIDTH);
        const bool in_box = x >= box.x && x < box.x + box.w && y >= box.y && y < box.y + box.h;
        ++(in_box ? changed_inside : changed_outside);
    }
    EXPECT_GT(changed_inside, 0);
    EXPECT_EQ(changed_outside, 0);
    ui_shutdown(ui);
}

// [SECTION] The shell

TEST(Shell, ScaleIsTheDrawableHeightOver600ClampedToThreeQuartersAndTwo) {
    EXPECT_EQ(ui_scale_for(900), 1.5f);  // the Wine run
    EXPECT_EQ(ui_scale_for(400), 0.75f);
    EXPECT_EQ(ui_scale_for(1500), 2.0f);
}

class ShellEvents : public testing::Test {
protected:
    // Folds one event into the input, with the window's drawable-to-window factors fx and fy.
    void send(const SDL_Event& event, float fx = 1, float fy = 1) {
        shell_handle_event(event, fx, fy, input, wheel, running);
    }
    static SDL_Event motion(int x, int y) {
        SDL_Event e{};
        e.type = SDL_MOUSEMOTION;
        e.motion.x = x;
        e.motion.y = y;
        return e;
    }
    static SDL_Event button(Uint32 type, Uint8 which, int x, int y) {
        SDL_Event e{};
        e.type = type;
        e.button.button = which;
        e.button.x = x;
        e.button.y = y;
        return e;
    }
    static SDL_Event wheel_step(int y) {
        SDL_Event e{};
        e.type = SDL_MOUSEWHEEL;
        e.wheel.y = y;
        return e;
    }

    UiInput input;
    float wheel = 0;
    bool running = true;
};

TEST_F(ShellEvents, MousePositionIsScaledToDrawablePixels) {
    send(motion(100, 50), 2.0f, 1.5f);  // a high-DPI display
    EXPECT_EQ(input.mouse_x, 200.0f);
    EXPECT_EQ(input.mouse_y, 75.0f);
}

TEST_F(ShellEvents, OnlyTheLeftButtonPresses) {
    send(button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_RIGHT, 7, 9), 2.0f, 2.0f);
    EXPECT_EQ(input.mouse_y, 18.0f);  // the position still follows
    EXPECT_FALSE(input.pressed);
    EXPECT_FALSE(input.down);
}

TEST_F(ShellEvents, PressAndReleaseInOneFrameMakeAClick) {
    send(button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 7, 9));
    send(button(SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT, 7, 9));
    EXPECT_TRUE(input.pressed);
    EXPECT_TRUE(input.released);
    EXPECT_FALSE(input.down);
}

TEST_F(ShellEvents, WheelStepsAddUpUnscaled) {
    for (int step : {2, -5, 1}) send(wheel_step(step), 2, 2);
    EXPECT_EQ(wheel, -2);
    EXPECT_TRUE(running);
}

TEST_F(ShellEvents, QuitEndsTheLoop) {
    SDL_Event quit{};
    quit.type = SDL_QUIT;
    send(quit);
    EXPECT_FALSE(running);
}

// [SECTION] Automation

TEST(Automation, EnvironmentNumberThatFitsReadsAsAtoiReadsIt) {
    for (const char* text : {"+7 frames", "text", "2147483647", "-2147483648", "000000000000042"}) {
        int32_t value = -99;
        EXPECT_TRUE(parse_env_int(text, value)) << text;
        EXPECT_EQ(value, std::atoi(text)) << text;
    }
}

TEST(Automation, EnvironmentNumberBeyondInt32IsRefused) {
    for (const char* text : {"2147483648", "-2147483649", " 99999999999999999999999 "}) {
        int32_t value = -99;
        EXPECT_FALSE(parse_env_int(text, value)) << text;
    }
}

// Width 5: 15 bytes of pixels in each 16-byte bitmap row (row order and colour order show in the program's shots).
TEST(Automation, ScreenshotOfAPaddedWidthKeepsEveryRowWhole) {
    REQUIRE_GL();
    constexpr int WIDTH = 5;
    constexpr int HEIGHT = 3;
    gl.glBindFramebuffer(GL_FRAMEBUFFER, 0);
    gl.glClearColor(1, 0, 0, 1);
    gl.glClear(GL_COLOR_BUFFER_BIT);
    const std::string path = testing::TempDir() + "torvanel-padded-shot.bmp";
    save_screenshot(path.c_str(), WIDTH, HEIGHT);
    SDL_Surface* loaded = SDL_LoadBMP(path.c_str());
    SDL_Surface* rgb = loaded ? SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_RGB24, 0) : nullptr;
    SDL_FreeSurface(loaded);
    std::remove(path.c_str());
    ASSERT_NE(rgb, nullptr);
    ASSERT_EQ(rgb->w, WIDTH);
    ASSERT_EQ(rgb->h, HEIGHT);
    const auto* bytes = static_cast<const uint8_t*>(rgb->pixels);
    for (int y = 0; y < HEIGHT; ++y) {
        for (int x = 0; x < WIDTH; ++x) {
            SCOPED_TRACE(testing::Message() << "pixel " << x << ", " << y);
            const uint8_t* pixel = bytes + y * rgb->pitch + 3 * x;
            EXPECT_EQ(pixel[0], 255);
            EXPECT_EQ(pixel[1], 0);
            EXPECT_EQ(pixel[2], 0);
        }
    }
    SDL_FreeSurface(rgb);
}

}  // namespace
