// Shortcuts, launching and the command layer, with command lines captured
// instead of run.
#include <vector>

#include "setup/command.h"
#include "setup/paths.h"
#include "tests/setup/setup_fixture.h"

namespace {

std::vector<std::string> g_commands;
void capture(const std::string& line) { g_commands.push_back(line); }

const std::string PS_HEAD =
    "powershell -NoProfile -WindowStyle Hidden -ExecutionPolicy Bypass -Command "
    "\"$s=(New-Object -ComObject WScript.Shell).CreateShortcut('";

std::string shortcut_line(const std::string& link, const std::string& target, const std::string& dir) {
    return PS_HEAD + link + "'); $s.TargetPath='" + target + "'; $s.WorkingDirectory='" + dir +
           "'; $s.Description='Torvanel'; $s.Save()\"";
}

struct Shortcuts : testing::Test {
    TempFolder temp;
    SetupState state;
    EnvVar profile{"USERPROFILE", "C:\\Users\\user"};
    EnvVar appdata{"APPDATA", "C:\\Users\\user\\AppData\\Roaming"};
    void SetUp() override {
        g_commands.clear();
        set_command_runner(capture);
        state.install_dir = temp / "Games/Torvanel";
    }
    void TearDown() override { set_command_runner(nullptr); }
    std::string desktop() const {
        return shortcut_line("C:\\Users\\user/Desktop/Torvanel.lnk", state.install_dir + "/Torvanel.exe",
                             state.install_dir);
    }
    std::string start_menu() const {
        return shortcut_line("C:\\Users\\user\\AppData\\Roaming/Microsoft/Windows/Start Menu/Programs/Torvanel.lnk",
                             state.install_dir + "/Torvanel.exe", state.install_dir);
    }
    // Begins an installation with no game files, so the shortcut steps come at once.
    void begin(bool desktop_box, bool start_menu_box) {
        state.make_desktop_shortcut = desktop_box;
        state.make_start_menu_entry = start_menu_box;
        begin_install(state);
        ASSERT_EQ(state.page, 3) << state.error_text;
    }
};

}  // namespace

TEST(PowerShellQuoting, DoublesSingleQuotesOnly) {
    EXPECT_EQ(quote_for_powershell(""), "");
    EXPECT_EQ(quote_for_powershell("'"), "''");
    EXPECT_EQ(quote_for_powershell("D:\\Team's Data/\"x\" ''"), "D:\\Team''s Data/\"x\" ''''");
    EXPECT_EQ(quote_for_powershell("Łódź $env:X %PATH%"), "Łódź $env:X %PATH%");
}

TEST_F(Shortcuts, CommandLineIsExact) {
    EXPECT_EQ(PS_HEAD.size(), 133u);
    create_shortcut("C:\\Users\\user/Desktop/Torvanel.lnk", "C:/Games/Torvanel/Torvanel.exe", "C:/Games/Torvanel");
    ASSERT_EQ(g_commands.size(), 1u);
    EXPECT_EQ(g_commands[0],
              "powershell -NoProfile -WindowStyle Hidden -ExecutionPolicy Bypass -Command \"$s=(New-Object "
              "-ComObject WScript.Shell).CreateShortcut('C:\\Users\\user/Desktop/Torvanel.lnk'); "
              "$s.TargetPath='C:/Games/Torvanel/Torvanel.exe'; $s.WorkingDirectory='C:/Games/Torvanel'; "
              "$s.Description='Torvanel'; $s.Save()\"");
}

TEST_F(Shortcuts, QuotesInTheInstallFolderAreDoubled) {
    EnvVar local("LOCALAPPDATA", "D:\\Team's Data");
    build_install_candidates(state);
    begin(true, false);
    shortcut_step(state);
    ASSERT_EQ(g_commands.size(), 1u);
    const std::string& line = g_commands[0];
    EXPECT_NE(line.find("$s.TargetPath='D:\\Team''s Data/Programs/Torvanel/Torvanel.exe';"), std::string::npos);
    EXPECT_NE(line.find("$s.WorkingDirectory='D:\\Team''s Data/Programs/Torvanel';"), std::string::npos);
}

TEST_F(Shortcuts, DesktopThenStartMenuOnePerStep) {
    begin(true, true);
    EXPECT_EQ(state.progress_total, 2u * SHORTCUT_PROGRESS_BYTES);
    const std::vector<std::string> expected = {desktop(), start_menu()};
    for (size_t step = 1; step <= 2; ++step) {
        run_frame(state);
        EXPECT_EQ(g_commands, std::vector<std::string>(expected.begin(), expected.begin() + step));
        EXPECT_EQ(state.progress_done, step * SHORTCUT_PROGRESS_BYTES);
        EXPECT_EQ(state.page, 3);
        EXPECT_FALSE(state.install_finished);
    }
    run_frame(state);
    EXPECT_EQ(g_commands.size(), 2u);
    EXPECT_TRUE(state.install_finished);
    EXPECT_EQ(state.page, 4);
}

TEST_F(Shortcuts, OnlyTheStartMenuBox) {
    begin(false, true);
    run_frame(state);
    EXPECT_EQ(g_commands, std::vector<std::string>{start_menu()});
    EXPECT_FALSE(state.install_finished);
    run_frame(state);
    EXPECT_EQ(g_commands.size(), 1u);
    EXPECT_EQ(state.page, 4);
}

TEST_F(Shortcuts, NoBoxRunsNothingAndFinishesAtOnce) {
    fs::create_directories(u8(temp / "src"));
    make_game_folder(temp / "src", {5, 6, 7, 8, 9, 10, 11, 12});
    prepare_state(state, temp / "src", state.install_dir);
    begin(false, false);
    EXPECT_EQ(state.progress_total, state.game_bytes);
    run_frame(state);
    EXPECT_TRUE(g_commands.empty());
    EXPECT_TRUE(state.install_finished);
    EXPECT_EQ(state.page, 4);
    EXPECT_EQ(state.progress_done, state.game_bytes);
}

TEST_F(Shortcuts, UnsetProfileFoldersFallBackToTheCurrentFolder) {
    EnvVar no_profile("USERPROFILE", nullptr);
    EnvVar no_appdata("APPDATA", "");
    begin(true, true);
    shortcut_step(state);
    shortcut_step(state);
    ASSERT_EQ(g_commands.size(), 2u);
    EXPECT_EQ(g_commands[0].find(PS_HEAD + "./Desktop/Torvanel.lnk')"), 0u);
    EXPECT_EQ(g_commands[1].find(PS_HEAD + "./Microsoft/Windows/Start Menu/Programs/Torvanel.lnk')"), 0u);
}

TEST_F(Shortcuts, LaunchStartsTheInstalledGame) {
    state.install_dir = "C:/Games/Torvanel";
    launch_game(state);
    state.install_dir = "D:\\Spiele\\";
    launch_game(state);
    EXPECT_EQ(g_commands, (std::vector<std::string>{"start \"\" \"C:/Games/Torvanel/Torvanel.exe\"",
                                                    "start \"\" \"D:\\Spiele\\Torvanel.exe\""}));
}

TEST(CommandLayer, DefaultRunnerOnlyReportsTheLine) {
    set_command_runner(capture);
    set_command_runner(nullptr);
    g_commands.clear();
    testing::internal::CaptureStderr();
    run_command("start \"\" \"C:/Games/Torvanel/Torvanel.exe\"");
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_TRUE(g_commands.empty());
    EXPECT_EQ(err, "not run on this system: start \"\" \"C:/Games/Torvanel/Torvanel.exe\"\n");
}
