// Shortcuts, launching and install locations. The whole command lines, and the game started by Finish, are checked
// by the Wine program run; here the links' names and the order of the steps.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/platform.h"
#include "setup/command.h"
#include "setup/copy_engine.h"
#include "setup/paths.h"
#include "setup/shortcuts.h"
#include "tests/setup/install_fixture.h"
#include "tests/support/portable.h"

namespace {

std::vector<std::string> g_commands;  // what the captured runner was given

struct Shortcuts : InstallFixture {
    void SetUp() override {
        InstallFixture::SetUp();
        g_commands.clear();
        set_command_runner([](const std::string& line) { g_commands.push_back(line); });
    }
    void TearDown() override {
        set_command_runner(nullptr);
        InstallFixture::TearDown();
    }
};

}  // namespace

TEST_F(Shortcuts, OneShortcutIsMadeEachFrameAfterTheLastFileThenTheDonePage) {
    state.make_desktop_shortcut = true;
    state.make_start_menu_entry = true;
    begin_install(state);
    EXPECT_EQ(state.progress_total, SMALL_GAME_BYTES + 2 * SHORTCUT_PROGRESS_BYTES);

    struct Frame {
        size_t commands;
        uint64_t progress_done;
        int page;
    };
    const Frame frames[] = {
        {1, SMALL_GAME_BYTES + SHORTCUT_PROGRESS_BYTES, PAGE_INSTALL},  // the files, then the desktop's
        {2, SMALL_GAME_BYTES + 2 * SHORTCUT_PROGRESS_BYTES, PAGE_INSTALL},
        {2, SMALL_GAME_BYTES + 2 * SHORTCUT_PROGRESS_BYTES, PAGE_DONE},
    };
    for (const Frame& frame : frames) {
        run_install_work(state);
        EXPECT_EQ(g_commands.size(), frame.commands);
        EXPECT_EQ(state.progress_done, frame.progress_done);
        EXPECT_EQ(state.page, frame.page);
    }
    EXPECT_EQ(install_fraction(state), 1.0f);
}

// Where the system keeps no folders of its own (here), the environment names them; every quote PowerShell knows is
// doubled, other characters stay as they are.
TEST_F(Shortcuts, TheLinksLieInTheEnvironmentsFoldersWithEveryPowerShellQuoteDoubled) {
    if (!known_folder(KnownFolder::Desktop).empty()) GTEST_SKIP() << "the system's own folders: the Wine program run";
    const std::string others = " \u201C%PATH%&^\u201D \u2026 \u2032 \u02BC";
    set_env("USERPROFILE", ("C:\\Users\\O\u2018\u2019\u201A\u201B'Neil" + others).c_str());
    set_env("APPDATA", nullptr);
    state.make_desktop_shortcut = true;
    state.make_start_menu_entry = true;

    install();

    const std::string links[] = {
        "C:\\Users\\O\u2018\u2018\u2019\u2019\u201A\u201A\u201B\u201B''Neil" + others + "/Desktop/Torvanel.lnk",
        "./Microsoft/Windows/Start Menu/Programs/Torvanel.lnk",
    };
    ASSERT_EQ(g_commands.size(), 2u);
    for (size_t i = 0; i < 2; ++i)
        EXPECT_NE(g_commands[i].find("CreateShortcut('" + links[i] + "')"), std::string::npos) << g_commands[i];
}

TEST_F(Shortcuts, ACutOffCharacterIsLeftAsItIsByTheQuoting) {
    EXPECT_EQ(quote_for_powershell("O'\xE2\x80"), "O''\xE2\x80");
}

TEST_F(Shortcuts, OnlyAStartLineOfOneQuotedProgramNamesAProgram) {
    EXPECT_EQ(start_command_program("start \"\" \"D:/100% ^&!/Torvanel.exe\""), "D:/100% ^&!/Torvanel.exe");
    const char* others[] = {
        "start \"\" \"\"",
        "start \"\" \"a\" \"b\"",
        "start \"\" \"C:/x.exe",
        "powershell -NoProfile -Command \"start \"\" \"x\"\"",
    };
    for (const char* other : others) EXPECT_EQ(start_command_program(other), "") << other;
}

TEST(Paths, JoiningPutsOneSlashBetweenUnlessTheFolderEndsInASeparatorOrIsEmpty) {
    struct Row {
        const char* folder;
        const char* joined;
    };
    const Row rows[] = {
        {"", "a"},
        {"C:/x/", "C:/x/a"},
        {"C:\\x\\", "C:\\x\\a"},
        {"C:/x", "C:/x/a"},
    };
    for (const Row& row : rows) EXPECT_EQ(join_path(row.folder, "a"), row.joined) << '"' << row.folder << '"';
}

// An empty LOCALAPPDATA counts as unset (unset and set are the click-through's and the Wine run's).
TEST(Paths, ChangeLocationCyclesThroughTheThreeCandidates) {
    if (!known_folder(KnownFolder::LocalAppData).empty())
        GTEST_SKIP() << "the system's own folder: the Wine program run";
    SetupState state;
    set_env("LOCALAPPDATA", "");
    build_install_candidates(state);
    std::string seen = state.install_dir;
    for (int i = 0; i < 3; ++i) {
        choose_next_location(state);
        seen += ", " + state.install_dir;
    }
    EXPECT_EQ(seen, "./Programs/Torvanel, C:/Games/Torvanel, D:/Games/Torvanel, ./Programs/Torvanel");
}
