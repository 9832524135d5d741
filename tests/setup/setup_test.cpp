// The installation engine: locations, game-file check, copy engine, shortcuts and launching.
#include <gtest/gtest.h>
#ifndef _WIN32
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#endif
#include <array>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <tuple>
#include "app/wizard.h"
#include "setup/command.h"
#include "setup/copy_engine.h"
#include "setup/game_files.h"
#include "setup/paths.h"
#include "setup/shortcuts.h"
#include "tests/support/portable.h"

namespace {
namespace fs = std::filesystem;
using Sizes = std::array<uint64_t, GAME_FILE_COUNT>;
using Strings = std::vector<std::string>;
constexpr uint64_t MIB = 1048576;
const Sizes SIZES = {200000, 65536, 10, 300000, 4, 0, 10, 70000};  // 635560 bytes; the empty file counts too
const std::string HINT = "\n\nIf the game is running, close it, press Back and then Install again.";
Strings g_commands;  // what the captured runner was given
#ifdef _WIN32
unsigned alarm(unsigned) { return 0; }  // no FIFOs there to wait on
#else
void set_file_limit(rlim_t bytes) { const rlimit limit = {bytes, RLIM_INFINITY}; setrlimit(RLIMIT_FSIZE, &limit); }
#endif

fs::path u8(const std::string& path) { return fs::u8path(path); }
void write_file(const std::string& path, const std::string& s) { std::ofstream(u8(path), std::ios::binary) << s; }
// The file's bytes, or a marker no test writes when it cannot be opened.
std::string read_file(const std::string& path) {
    std::ifstream in(u8(path), std::ios::binary);
    return in ? std::string(std::istreambuf_iterator<char>(in), {}) : "<cannot open " + path + ">";
}

struct Setup : testing::Test {
    const std::string temp = make_temp_dir("torvanel-setup");
    const std::string src = temp + "/Łódź źródło", inst = temp + "/Zielona Góra/Торвaнел ゲーム";  // non-ASCII
    SetupState state;
    std::map<std::string, std::string> sources;  // what the source folder must still hold

    void SetUp() override { set_command_runner([](const std::string& l) { g_commands.push_back(l); }), restart(SIZES); }
    void TearDown() override { expect_files(src), set_command_runner(nullptr), fs::remove_all(temp); }
    // Checks the sources, then makes new ones of these sizes, an older, longer README to install over, a state.
    void restart(const Sizes& sizes) {
        expect_files(src);  // the sources, unchanged by the previous run
        for (const std::string& folder : {src, inst}) fs::remove_all(u8(folder)), fs::create_directories(u8(folder));
        uint32_t x = 1;
        for (int i = 0; i < GAME_FILE_COUNT; ++i) {
            std::string& bytes = sources[GAME_FILES[i]] = std::string(sizes[i], '\0');
            for (char& c : bytes) c = static_cast<char>((x = x * 1664525u + 1013904223u) >> 24);
            write_file(src + "/" + GAME_FILES[i], bytes);
        }
        write_file(inst + "/README.txt", "an older, longer README");
        state = SetupState(), state.source_dir = src + "/", state.install_dir = inst, g_commands.clear();
        std::string missing;
        ASSERT_TRUE(scan_game_files(state, missing)) << missing;
    }
    void expect_files(const std::string& folder) {  // what the source folder held
        for (const auto& [name, bytes] : sources) EXPECT_TRUE(read_file(folder + "/" + name) == bytes) << folder << name;
    }
    void run() {  // code that waits on a FIFO is killed by the alarm: the test fails instead of hanging
        alarm(10), begin_install(state);
        for (int frame = 0; frame < 1000; ++frame) run_install_work(state);
        alarm(0);
    }
};
}  // namespace

TEST_F(Setup, FilesAreCopiedInOrderAtMostThreeMebibytesAFrameAndAnAbandonedCopyClosesBothFiles) {
    // Sizes, then progress_done and current_file after each frame.
    const std::pair<Sizes, std::vector<std::pair<uint64_t, uint64_t>>> rows[] = {
        {{100, 10 * MIB}, {{3 * MIB, 1}, {6 * MIB, 1}, {9 * MIB, 1}, {10 * MIB + 100, 8}}},
        {{65536, 10}, {{65546, 8}}},                          // the empty read ends the file in the same frame
        {{3 * MIB, 10}, {{3 * MIB, 0}, {3 * MIB + 10, 8}}},  // the budget ends on the file's last byte
    };
    for (const auto& [sizes, steps] : rows) {
        SCOPED_TRACE(sizes[0]);
        restart(sizes), begin_install(state);
        for (const auto& [done, current] : steps) {
            std::string statuses;  // per file: 0 Waiting, 1 Copying, 2 Done
            copy_step(state);
            for (const InstallFile& file : state.files) statuses += static_cast<char>('0' + file.status);
            EXPECT_EQ(std::make_tuple(state.progress_done, state.current_file, statuses),
                      std::make_tuple(done, current, (std::string(current, '2') + "10000000").substr(0, 8)));
        }
        expect_files(inst);
    }
    restart({5 * MIB});  // abandoned mid-file: the partial copy stays and both files are closed
    const std::string source = src + "/Torvanel.exe", dest = inst + "/Torvanel.exe";
    begin_install(state), copy_step(state);
    EXPECT_EQ(open_file_count(source) + open_file_count(dest), 2);
    state = SetupState(), state.source_dir = src + "/";
    EXPECT_EQ(open_file_count(source) + open_file_count(dest), 0);
    EXPECT_EQ(read_file(dest), sources["Torvanel.exe"].substr(0, 3 * MIB));

    std::string missing;  // the first file that is not a regular file is named: a folder, then a missing one
    const fs::path folder = u8(src + "/music2.mp3");
    fs::remove(u8(src + "/LICENSE.txt")), fs::remove(folder), fs::create_directory(folder);
    EXPECT_TRUE(!scan_game_files(state, missing) && missing == "music2.mp3") << missing;
    sources.clear();
}

// Whatever stands in the install folder, no write reaches another file: the install ends in place (the source,
// through any link, is never opened for writing) or stops with its text; after a failure Back and Install copy again.
TEST_F(Setup, InstallEndsInPlaceOrStopsWithItsTextThenBackAndInstallCopyAgain) {
    const std::string outside = temp + "/outside.txt", exe = "/Torvanel.exe", blocked = temp + "/blocker/Torvanel";
    const std::string readme = src + "/README.txt", no_readme = "Could not write README.txt to:\n" + inst + HINT;
    const auto take_readme = [&] { fs::remove(u8(readme)), sources.erase("README.txt"); };
    struct Row { const char* what; std::function<void()> arrange; size_t links; std::string error{}; size_t file = 8; };
    const Row rows[] = {
#ifndef _WIN32  // links to files and folders need privileges there; no FIFO or file-size limit either
        {"a symbolic link", [&] { fs::create_symlink(u8(outside), u8(inst + exe)); }, 0},
        {"a FIFO", [&] { mkfifo((inst + exe).c_str(), 0600); }, 0},
        {"a link to that folder", [&] { fs::remove_all(u8(inst)), fs::create_directory_symlink(u8(src), u8(inst)); }, 2},
        {"a full disk: no byte past 250 KB", [&] { signal(SIGXFSZ, SIG_IGN), set_file_limit(250000); }, 0,
         "The disk is full or not writable while copying music1.mp3.", 3},
        {"a FIFO source fails, never waits", [&] { take_readme(), mkfifo(readme.c_str(), 0600); }, 0, no_readme, 6},
#endif
        {"a hard link", [&] { fs::create_hard_link(u8(outside), u8(inst + exe)); }, 0},
        {"the folder setup runs from", [&] { state.install_dir = src; }, 2},
        {"a hard link to the source", [&] { fs::create_hard_link(u8(src + exe), u8(inst + exe)); }, 0},
        {"a file in the folder's way", [&] { write_file(temp + "/blocker", ""), state.install_dir = blocked; }, 0,
         "Could not create the folder:\n" + blocked + "\n\nNot a directory", 0},
        {"a source removed after the check", take_readme, 0, no_readme, 6},
        {"a folder in a file's place", [&] { fs::create_directory(u8(inst + "/SDL2.dll")); }, 0,
         "Could not write SDL2.dll to:\n" + inst + HINT, 1},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        restart(SIZES), write_file(outside, "not a game file");
        state.make_desktop_shortcut = state.make_start_menu_entry = row.links > 0;
        row.arrange(), run();
#ifndef _WIN32
        set_file_limit(RLIM_INFINITY);
#endif
        EXPECT_EQ(std::make_tuple(state.error_text, state.page, g_commands.size(), state.current_file),
                  std::make_tuple(row.error, row.error.empty() ? 4 : 5, row.links, row.file));
        EXPECT_TRUE(read_file(outside) == "not a game file") << "written through";  // the sources: next restart
        if (!row.error.empty()) continue;
        ASSERT_TRUE(fs::is_regular_file(fs::symlink_status(u8(state.install_dir + exe)))) << "not a file";  // no FIFO
        expect_files(state.install_dir);
    }
    fs::remove(u8(inst + "/SDL2.dll"));
    write_file(inst + "/Torvanel.exe", "stale copy");  // copied before the failure, so copied again
    reset_install(state), run();
    EXPECT_EQ(state.page, 4) << state.error_text;
    expect_files(inst);
}

// The links are named with every quote PowerShell knows doubled, the start menu's under "." when APPDATA is unset;
// the whole command lines, and the game started by Finish, are checked by the Wine program run.
TEST_F(Setup, ShortcutsOnePerFrameAfterTheFilesThenDoneLaunchStartsOnlyTheGameAndPathsJoinAndCycle) {
    const std::string others = " \u201C%PATH%&^\u201D \u2026 \u2032 \u02BC";  // left as they are
    const Strings links = {"C:\\Users\\O\u2018\u2018\u2019\u2019\u201A\u201A\u201B\u201B''Neil" + others + "/Desktop",
                           "./Microsoft/Windows/Start Menu/Programs"};
    set_env("USERPROFILE", ("C:\\Users\\O\u2018\u2019\u201A\u201B'Neil" + others).c_str());
    set_env("APPDATA", nullptr);
    state.make_desktop_shortcut = state.make_start_menu_entry = true;
    begin_install(state);
    EXPECT_EQ(state.progress_total, 635560 + 2 * MIB);
    for (size_t frame = 1; frame <= 3; ++frame) {
        run_install_work(state);  // one shortcut a frame, then done
        const size_t made = frame > 2 ? 2 : frame;
        EXPECT_EQ(std::make_tuple(g_commands.size(), state.progress_done, state.page),
                  std::make_tuple(made, 635560 + made * MIB, frame > 2 ? 4 : 3));
    }
    for (size_t i = 0; i < 2; ++i)
        EXPECT_NE(g_commands.at(i).find("CreateShortcut('" + links[i] + "/Torvanel.lnk')"), std::string::npos) << i;
    EXPECT_EQ(install_fraction(state), 1.0f);
    EXPECT_EQ(quote_for_powershell("O'\xE2\x80"), "O''\xE2\x80");  // a cut-off character stays as it is
    EXPECT_EQ(start_command_program("start \"\" \"D:/100% ^&!/Torvanel.exe\""), "D:/100% ^&!/Torvanel.exe");
    for (const char* other : {"start \"\" \"\"", "start \"\" \"a\" \"b\"", "start \"\" \"C:/x.exe",
                              "powershell -NoProfile -Command \"start \"\" \"x\"\""})
        EXPECT_EQ(start_command_program(other), "") << other;
    const char* joins[][2] = {{"", "a"}, {"C:/x/", "C:/x/a"}, {"C:\\x\\", "C:\\x\\a"}, {"C:/x", "C:/x/a"}};
    for (const auto& row : joins) EXPECT_EQ(join_path(row[0], "a"), row[1]) << '"' << row[0] << '"';
    // LOCALAPPDATA set but empty is unset (unset and set: the click-through and Wine runs); the candidates cycle
    set_env("LOCALAPPDATA", ""), build_install_candidates(state);
    std::string dirs = state.install_dir;
    for (int i = 0; i < 3; ++i) choose_next_location(state), dirs += ", " + state.install_dir;
    EXPECT_EQ(dirs, "./Programs/Torvanel, C:/Games/Torvanel, D:/Games/Torvanel, ./Programs/Torvanel");
}
