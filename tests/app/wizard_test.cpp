// The wizard's pages and transitions, clicked through frame by frame.
#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/wizard.h"
#include "i18n/catalogue.h"
#include "i18n/languages.h"
#include "setup/command.h"
#include "setup/game_files.h"
#include "setup/paths.h"
#include "tests/app/wizard_harness.h"

namespace fs = std::filesystem;

namespace {

const UiColor LICENSE_BOX_FILL = {0.06f, 0.05f, 0.04f, 0.9f};

struct TempDir {
    fs::path path;
    TempDir() {
        char pattern[] = "/tmp/torvanel-wizard-XXXXXX";
        path = mkdtemp(pattern);
    }
    ~TempDir() {
        std::error_code ignored;
        fs::remove_all(path, ignored);
    }
};

std::vector<std::string> g_commands;
void capture_command(const std::string& line) { g_commands.push_back(line); }

}  // namespace

// [SECTION] Layout

TEST(WizardLayout, FollowsTheScale) {
    UiContext ui;  // no text system: a line is as high as its size
    const WizardLayout one = wizard_layout(ui, 1.0f, 960, 600);
    EXPECT_FLOAT_EQ(one.content.x, 302);
    EXPECT_FLOAT_EQ(one.content.y, 52);
    EXPECT_FLOAT_EQ(one.content.w, 606);
    EXPECT_FLOAT_EQ(one.content.h, 442);
    EXPECT_EQ(one.body_size, 18);
    EXPECT_FLOAT_EQ(one.line_step, 24);
    const WizardLayout two = wizard_layout(ui, 2.0f, 1920, 1200);
    EXPECT_FLOAT_EQ(two.content.x, 604);
    EXPECT_FLOAT_EQ(two.content.w, 1212);
    EXPECT_FLOAT_EQ(two.panel.h, 980);
    EXPECT_EQ(two.body_size, 36);
    EXPECT_EQ(wizard_layout(ui, 1.3f, 960, 600).body_size, 23);  // truncated, not rounded
}

// [SECTION] Navigation

TEST(WizardNavigation, NextAndBackWithTheLicenceBox) {
    WizardHarness w;
    w.idle();
    EXPECT_FALSE(w.click(PRIMARY_X, BUTTON_Y));
    EXPECT_EQ(w.state.page, 1);
    // The click frame was still drawn as the Welcome page.
    EXPECT_FALSE(batch_has_rect(w.ui, {302, 128, 606, 280}, LICENSE_BOX_FILL));
    w.idle();
    EXPECT_TRUE(batch_has_rect(w.ui, {302, 128, 606, 280}, LICENSE_BOX_FILL));

    w.click(PRIMARY_X, BUTTON_Y);  // disabled until the terms are allowed
    EXPECT_EQ(w.state.page, 1);
    w.click(512, 442);
    EXPECT_TRUE(w.state.license_accepted);
    w.click(512, 442);
    EXPECT_FALSE(w.state.license_accepted);
    w.click(512, 442);
    w.click(PRIMARY_X, BUTTON_Y);
    EXPECT_EQ(w.state.page, 2);

    w.click(BACK_X, BUTTON_Y);
    EXPECT_EQ(w.state.page, 1);
    w.click(BACK_X, BUTTON_Y);
    EXPECT_EQ(w.state.page, 0);
    w.click(BACK_X, BUTTON_Y);  // no Back on Welcome
    EXPECT_EQ(w.state.page, 0);
    w.click(PRIMARY_X, BUTTON_Y);
    EXPECT_TRUE(w.state.license_accepted);
    w.click(PRIMARY_X, BUTTON_Y);  // still allowed: Next goes straight on
    EXPECT_EQ(w.state.page, 2);
}

TEST(WizardNavigation, CancelEndsTheLoopWithNothingInstalled) {
    for (int page = 0; page <= 2; ++page) {
        TempDir dir;
        WizardHarness w;
        w.state.page = page;
        w.state.install_dir = (dir.path / "game").string();
        w.frame(CANCEL_X, BUTTON_Y, true, false, true);
        EXPECT_TRUE(w.running);
        EXPECT_FALSE(w.frame(CANCEL_X, BUTTON_Y, false, true, false));
        EXPECT_FALSE(w.running) << "page " << page;
        EXPECT_EQ(w.state.page, page);
        EXPECT_FALSE(w.state.install_started);
        EXPECT_FALSE(fs::exists(dir.path / "game"));
    }
}

TEST(WizardNavigation, FinishLaunchesTheGameOnlyWhenTicked) {
    set_command_runner(capture_command);
    g_commands.clear();
    WizardHarness w;
    w.state.page = 4;
    w.state.install_dir = "C:/Games/Torvanel";
    w.idle();
    EXPECT_TRUE(w.click(PRIMARY_X, BUTTON_Y));
    ASSERT_EQ(g_commands.size(), 1u);
    EXPECT_NE(g_commands[0].find("start"), std::string::npos);
    EXPECT_NE(g_commands[0].find("C:/Games/Torvanel/Torvanel.exe"), std::string::npos);

    g_commands.clear();
    WizardHarness cleared;
    cleared.state.page = 4;
    cleared.state.install_dir = "C:/Games/Torvanel";
    // The start-game box sits below the two paragraphs of the Done page.
    const WizardLayout l = cleared.layout();
    const float box_y = l.content.y + 60 + 2 * l.line_step + 14;
    cleared.click(l.content.x + 200, box_y + 20);
    EXPECT_FALSE(cleared.state.start_game_on_close);
    EXPECT_TRUE(cleared.click(PRIMARY_X, BUTTON_Y));
    EXPECT_TRUE(g_commands.empty());
    set_command_runner(nullptr);
}

TEST(WizardNavigation, FailurePageAtStartOffersOnlyClose) {
    WizardHarness w;
    w.state.page = 5;
    w.state.error_text = "The game files are missing: SDL2.dll\n\nKeep it together.";
    w.click(BACK_X, BUTTON_Y);
    EXPECT_EQ(w.state.page, 5);
    w.click(CANCEL_X, BUTTON_Y);
    EXPECT_TRUE(w.running);
    EXPECT_TRUE(w.click(PRIMARY_X, BUTTON_Y));
    EXPECT_EQ(w.state.page, 5);
}

TEST(WizardNavigation, UnknownPageShowsWelcomeStepAndAnIdleNext) {
    WizardHarness w;
    w.state.page = 9;
    w.idle();
    EXPECT_TRUE(batch_has_rect(w.ui, {28, 274, 12, 12}, COLOR_ACCENT));  // step 0 current
    EXPECT_FALSE(batch_has_rect(w.ui, {28, 308, 12, 12}, COLOR_ACCENT));
    EXPECT_FALSE(batch_has_rect(w.ui, {28, 308, 12, 12}, COLOR_TEXT));   // later steps: outlines
    EXPECT_FALSE(w.click(PRIMARY_X, BUTTON_Y));
    w.click(BACK_X, BUTTON_Y);
    w.click(CANCEL_X, BUTTON_Y);
    EXPECT_EQ(w.state.page, 9);
    EXPECT_TRUE(w.running);
}

// [SECTION] Page controls

TEST(WizardPages, ChangeLocationCyclesThroughThreeFolders) {
    unsetenv("LOCALAPPDATA");
    WizardHarness w;
    build_install_candidates(w.state);
    w.state.page = 2;
    const WizardLayout l = w.layout();
    const float button_y = l.content.y + 56 + l.line_step + 50;  // below the folder box
    const std::vector<std::string> seen_expected = {"C:/Games/Torvanel", "D:/Games/Torvanel",
                                                    "./Programs/Torvanel"};
    EXPECT_EQ(w.state.install_dir, "./Programs/Torvanel");
    for (const std::string& expected : seen_expected) {
        w.click(l.content.x + 150, button_y + 19);
        EXPECT_EQ(w.state.install_dir, expected);
    }
    EXPECT_EQ(w.state.page, 2);
}

TEST(WizardPages, ShortcutBoxesToggleTheirOwnOption) {
    WizardHarness w;
    w.state.page = 2;
    const WizardLayout l = w.layout();
    const float desktop_y = l.content.y + 56 + l.line_step + 50 + 66;
    w.click(l.content.x + 200, desktop_y + 19);
    EXPECT_FALSE(w.state.make_desktop_shortcut);
    EXPECT_TRUE(w.state.make_start_menu_entry);
    w.click(l.content.x + 200, desktop_y + 48 + 19);
    EXPECT_FALSE(w.state.make_start_menu_entry);
    w.click(l.content.x + 200, desktop_y + 19);
    EXPECT_TRUE(w.state.make_desktop_shortcut);
    EXPECT_FALSE(w.state.make_start_menu_entry);
}

TEST(WizardPages, LanguageButtonCyclesAndRetitlesTheWindow) {
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0) << SDL_GetError();
    SDL_Window* window = SDL_CreateWindow("", 0, 0, 960, 600, SDL_WINDOW_HIDDEN);
    ASSERT_NE(window, nullptr) << SDL_GetError();
    TextSystem text;  // never started: switching only records the language
    WizardHarness w;
    w.window = window;
    w.text = &text;
    set_language(0);
    const WizardLayout l = w.layout();
    const float button_y = l.content.y + l.content.h - 100 + l.line_step;
    for (int press = 1; press <= 14; ++press) {
        SDL_SetWindowTitle(window, "stale");
        w.click(l.content.x + 150, button_y + 20);
        EXPECT_EQ(current_language(), press % 14);
        EXPECT_EQ(text.language, press % 14);
        EXPECT_STREQ(SDL_GetWindowTitle(window), tr(194)) << "press " << press;
    }
    EXPECT_EQ(current_language(), 0);
    SDL_DestroyWindow(window);
    SDL_Quit();
}

// [SECTION] Installation through the pages

TEST(WizardInstall, BackAfterAFailedCopyStartsOverOnLocation) {
    TempDir dir;
    const fs::path source = dir.path / "source";
    fs::create_directories(source);
    for (const char* name : GAME_FILES) std::ofstream(source / name) << name << " bytes";
    WizardHarness w;
    w.state.source_dir = source.string() + "/";
    std::string missing;
    ASSERT_TRUE(scan_game_files(w.state, missing));
    w.state.install_dir = (dir.path / "game").string();
    w.state.make_desktop_shortcut = false;
    w.state.make_start_menu_entry = false;
    fs::remove(source / "music2.mp3");  // vanishes after the check

    w.state.page = 2;
    w.click(PRIMARY_X, BUTTON_Y);
    EXPECT_EQ(w.state.page, 3);
    w.idle();
    EXPECT_EQ(w.state.page, 5);
    EXPECT_TRUE(w.state.install_started);
    EXPECT_NE(w.state.error_text.find("music2.mp3"), std::string::npos);

    w.click(BACK_X, BUTTON_Y);
    EXPECT_EQ(w.state.page, 2);
    EXPECT_EQ(w.state.progress_done, 0u);
    EXPECT_FALSE(w.state.install_started);
    for (const InstallFile& file : w.state.files) EXPECT_EQ(file.status, Waiting) << file.name;

    std::ofstream(source / "music2.mp3") << "back again";
    w.click(PRIMARY_X, BUTTON_Y);
    for (int i = 0; i < 3 && w.state.page == 3; ++i) w.idle();
    EXPECT_EQ(w.state.page, 4);
    EXPECT_TRUE(fs::exists(dir.path / "game" / "music2.mp3"));
}

TEST(WizardInstall, InstallPageHasNoButtons) {
    WizardHarness w;
    w.state.page = 3;
    w.work = false;  // the page alone, without the copy behind it
    for (float x : {BACK_X, CANCEL_X, PRIMARY_X}) {
        EXPECT_FALSE(w.click(x, BUTTON_Y));
        EXPECT_TRUE(w.running);
        EXPECT_EQ(w.state.page, 3);
    }
}
