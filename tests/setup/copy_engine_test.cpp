// The copy engine: bounded steps, game files whole or untouched under their real names, and every hostile install
// folder ending with the game in place or on the failure page with its text.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <vector>

#include "i18n/catalogue.h"
#include "i18n/messages.h"
#include "platform/platform.h"
#include "setup/copy_engine.h"
#include "setup/game_files.h"
#include "setup/shortcuts.h"
#include "tests/setup/install_fixture.h"
#include "tests/support/portable.h"

#if TORVANEL_POSIX
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

namespace fs = std::filesystem;
fs::path u8(const std::string& path) { return fs::u8path(path); }

struct CopyEngine : InstallFixture {
    std::string cannot_write(const std::string& name, const std::string& explanation) const {
        return format_text(tr(MSG_CANNOT_WRITE), name.c_str()) + "\n" + dest + "\n\n" + explanation;
    }
};

#if TORVANEL_POSIX
void limit_file_size(rlim_t bytes) {
    const rlimit limit = {bytes, RLIM_INFINITY};
    setrlimit(RLIMIT_FSIZE, &limit);
}
#endif

}  // namespace

// [SECTION] Steps and budget

TEST_F(CopyEngine, EachFrameCopiesAtMostTheBudgetAndAFileEndsWithTheReadThatFindsItsEnd) {
    struct Frame {
        uint64_t progress_done;
        uint64_t current_file;
    };
    struct Row {
        const char* what;
        GameFileSizes sizes;
        std::vector<Frame> frames;
    };
    const uint64_t ALL = GAME_FILE_COUNT;
    const Row rows[] = {
        {"a 10 MiB file takes four frames",
         {100, 10 * MIB},
         {{3 * MIB, 1}, {6 * MIB, 1}, {9 * MIB, 1}, {10 * MIB + 100, ALL}}},
        {"a file of one chunk ends with an empty read in the same frame",
         {COPY_CHUNK_SIZE, 10},
         {{COPY_CHUNK_SIZE + 10, ALL}}},
        {"a budget spent on a file's last byte leaves its end to the next frame",
         {COPY_BUDGET_PER_FRAME, 10},
         {{COPY_BUDGET_PER_FRAME, 0}, {COPY_BUDGET_PER_FRAME + 10, ALL}}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        make_game(row.sizes);
        begin_install(state);
        for (const Frame& frame : row.frames) {
            copy_step(state);
            EXPECT_EQ(state.progress_done, frame.progress_done);
            EXPECT_EQ(state.current_file, frame.current_file);
            for (uint64_t i = 0; i < state.files.size(); ++i) {
                const InstallFileStatus expected = i < frame.current_file    ? Done
                                                   : i == frame.current_file ? Copying
                                                                             : Waiting;
                EXPECT_EQ(state.files[i].status, expected) << state.files[i].name;
            }
        }
        expect_game_in(dest);
    }
}

// [SECTION] Whole or untouched

TEST_F(CopyEngine, AGameFileIsCopiedUnderATemporaryNameAndReplacesTheOldOneWhenComplete) {
    make_game({5 * MIB});
    write_whole_file(installed_file("Torvanel.exe"), "an older installation");
    begin_install(state);

    copy_step(state);
    EXPECT_EQ(read_whole_file(installed_file("Torvanel.exe")), "an older installation");
    EXPECT_EQ(read_whole_file(partial_file_path(dest, "Torvanel.exe")).size(), COPY_BUDGET_PER_FRAME);

    copy_step(state);
    EXPECT_TRUE(read_whole_file(installed_file("Torvanel.exe")) == game["Torvanel.exe"]);
    EXPECT_FALSE(fs::exists(u8(partial_file_path(dest, "Torvanel.exe"))));
}

TEST_F(CopyEngine, AStateDestroyedMidCopyClosesBothFilesAndLeavesOnlyTheTemporaryName) {
    make_game({5 * MIB});
    const std::string partial = partial_file_path(dest, "Torvanel.exe");
    begin_install(state);
    copy_step(state);
    EXPECT_EQ(open_file_count(source_file("Torvanel.exe")) + open_file_count(partial), 2);

    state = SetupState();

    EXPECT_EQ(open_file_count(source_file("Torvanel.exe")) + open_file_count(partial), 0);
    EXPECT_FALSE(fs::exists(u8(installed_file("Torvanel.exe"))));
    EXPECT_TRUE(fs::exists(u8(partial)));
}

TEST_F(CopyEngine, DiscardingTheCopyInProgressRemovesItsTemporaryFile) {
    make_game({5 * MIB});
    begin_install(state);
    copy_step(state);

    discard_copy_in_progress(state);

    EXPECT_FALSE(state.source_stream.is_open());
    EXPECT_FALSE(fs::exists(u8(installed_file("Torvanel.exe"))));
    expect_no_partial_copies();
}

TEST_F(CopyEngine, TheNextInstallationRemovesTemporaryCopiesAnEarlierRunLeftBehind) {
    for (const char* name : GAME_FILES) write_whole_file(partial_file_path(dest, name), "cut short");
#if TORVANEL_POSIX
    const std::string linked = partial_file_path(dest, "README.txt");
    fs::remove(u8(linked));
    fs::create_symlink(u8(outside), u8(linked));
#endif
    install();

    EXPECT_EQ(state.page, PAGE_DONE) << state.error_text;
    expect_game_in(dest);
    expect_no_partial_copies();
}

// [SECTION] Changed sources and failed moves

TEST_F(CopyEngine, ASourceThatChangesSizeDuringTheCopyStopsTheInstallation) {
    struct Row {
        const char* what;
        uint64_t new_size;
    };
    const Row rows[] = {
        {"it shrinks below what was copied", MIB},
        {"it shrinks", 4 * MIB},
        {"it grows", 6 * MIB},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        make_game({5 * MIB});
        begin_install(state);
        copy_step(state);
        fs::resize_file(u8(source_file("Torvanel.exe")), row.new_size);
        game["Torvanel.exe"].resize(row.new_size);  // what the source now holds

        for (int frame = 0; frame < 10 && state.page == PAGE_INSTALL; ++frame) copy_step(state);

        EXPECT_EQ(state.page, PAGE_FAILED);
        EXPECT_EQ(state.error_text, cannot_write("Torvanel.exe", tr(MSG_KEEP_TOGETHER)));
        EXPECT_FALSE(fs::exists(u8(installed_file("Torvanel.exe"))));
        expect_no_partial_copies();
    }
}

TEST_F(CopyEngine, AFailedMoveRemovesTheTemporaryCopyAndSaysWhyThenBackAndInstallCopyAgain) {
    fs::create_directories(u8(installed_file("SDL2.dll") + "/in the way"));

    install();

    EXPECT_EQ(state.page, PAGE_FAILED);
    const std::string start = cannot_write("SDL2.dll", ""), end = std::string("\n\n") + tr(MSG_CLOSE_GAME);
    ASSERT_GT(state.error_text.size(), start.size() + end.size()) << state.error_text;
    EXPECT_EQ(state.error_text.substr(0, start.size()), start);
    EXPECT_EQ(state.error_text.substr(state.error_text.size() - end.size()), end);
    expect_no_partial_copies();

    fs::remove_all(u8(installed_file("SDL2.dll")));
    reset_install(state);
    install();

    EXPECT_EQ(state.page, PAGE_DONE) << state.error_text;
    expect_game_in(dest);
}

// [SECTION] Hostile install folders

// Whatever stands in the install folder, no write reaches another file: the installation ends with the game in
// place (a destination that is the source, through any path, is left alone), or stops with its text.
TEST_F(CopyEngine, EveryInstallFolderEndsInPlaceOrStopsWithItsTextAndNoWriteReachesAnotherFile) {
    const std::string readme = source_file("README.txt"), blocked = temp + "/blocker/Torvanel";
    const std::string no_readme = cannot_write("README.txt", tr(MSG_CLOSE_GAME));
    const auto take_readme = [&] {
        fs::remove(u8(readme));
        game.erase("README.txt");
    };
    struct Row {
        const char* what;
        std::function<void()> arrange;
        std::string error = {};  // empty: the installation ends on the Done page
        uint64_t failed_file = GAME_FILE_COUNT;
    };
    const Row rows[] = {
#if TORVANEL_POSIX  // links need privileges there; no FIFO or file-size limit either
        {"a symbolic link to a file outside", [&] { fs::create_symlink(u8(outside), u8(installed_file("SDL2.dll"))); }},
        {"a dangling symbolic link", [&] { fs::create_symlink(u8(temp + "/gone"), u8(installed_file("SDL2.dll"))); }},
        {"a FIFO", [&] { mkfifo(installed_file("SDL2.dll").c_str(), 0600); }},
        {"a link to the source folder",
         [&] {
             fs::remove_all(u8(dest));
             fs::create_directory_symlink(u8(source), u8(dest));
         }},
        {"a full disk: no byte past 250 KB",
         [&] {
             signal(SIGXFSZ, SIG_IGN);
             limit_file_size(250000);
         },
         format_text(tr(MSG_DISK_FULL), "music1.mp3"), 3},
        {"a FIFO source fails at once",
         [&] {
             take_readme();
             mkfifo(readme.c_str(), 0600);
         },
         no_readme, 6},
#endif
        {"a hard link to a file outside", [&] { fs::create_hard_link(u8(outside), u8(installed_file("SDL2.dll"))); }},
        {"the folder setup runs from", [&] { state.install_dir = source; }},
        {"a hard link to the source",
         [&] { fs::create_hard_link(u8(source_file("SDL2.dll")), u8(installed_file("SDL2.dll"))); }},
        {"a file in the folder's way",
         [&] {
             write_whole_file(temp + "/blocker", "");
             state.install_dir = blocked;
         },
         tr(MSG_NO_FOLDER) + std::string("\n") + blocked + "\n\nNot a directory", 0},
        {"a source removed after the check", take_readme, no_readme, 6},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        make_game(SMALL_GAME);
        row.arrange();

        install();
#if TORVANEL_POSIX
        limit_file_size(RLIM_INFINITY);
#endif

        EXPECT_EQ(read_whole_file(outside), "not a game file");
        expect_no_partial_copies();
        if (row.error.empty()) {
            EXPECT_EQ(state.page, PAGE_DONE) << state.error_text;
            expect_game_in(state.install_dir);
        } else {
            EXPECT_EQ(state.page, PAGE_FAILED);
            EXPECT_EQ(state.current_file, row.failed_file);
#if TORVANEL_POSIX  // the system's own texts differ there
            EXPECT_EQ(state.error_text, row.error);
#endif
        }
        for (const auto& [name, bytes] : game) EXPECT_TRUE(read_whole_file(source_file(name)) == bytes) << name;
    }
}
