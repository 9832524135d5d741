// Every way an installation can stop, the texts it shows, Back and a second
// attempt, and an installation abandoned mid-file. The source files must
// come through each of them unchanged.
#include <memory>
#include <set>

#include "tests/setup/setup_fixture.h"

namespace {

const uint64_t SIZES[GAME_FILE_COUNT] = {200000, 65536, 10, 300000, 4, 0, 10, 70000};
const std::string RETRY_HINT = "If the game is running, close it, press Back and then Install again.";

struct Failure : testing::Test {
    TempFolder temp;
    std::unique_ptr<SetupState> state = std::make_unique<SetupState>();
    FileBytes sources;
    std::string install;
    std::set<std::string> removed_sources;  // the test took these away on purpose

    void SetUp() override {
        fs::create_directories(u8(temp / "src"));
        sources = make_game_folder(temp / "src", SIZES);
        install = temp / "inst";
        prepare_state(*state, temp / "src", install);
        state->make_desktop_shortcut = state->make_start_menu_entry = false;
    }
    void TearDown() override {
        for (const auto& [name, bytes] : sources) {
            if (removed_sources.count(name) == 0) {
                EXPECT_EQ(read_file(temp / "src/" + name), bytes) << name;
            }
        }
    }
    void run() {
        begin_install(*state);
        run_until_settled(*state);
    }
    void expect_failure(const std::string& text, size_t failed_file, bool copying = true) {
        EXPECT_EQ(state->page, 5);
        EXPECT_TRUE(state->install_started);
        EXPECT_EQ(state->error_text, text);
        EXPECT_EQ(state->current_file, failed_file);
        uint64_t before = 0;
        for (size_t i = 0; i < failed_file; ++i) before += SIZES[i];
        EXPECT_GE(state->progress_done, before);
        EXPECT_EQ(state->files[failed_file].status, copying ? Copying : Waiting);
    }
    void expect_back_and_retry_succeeds() {
        reset_install(*state);
        EXPECT_EQ(state->page, 2);
        EXPECT_FALSE(state->install_started);
        EXPECT_TRUE(state->error_text.empty());
        EXPECT_EQ(state->progress_done, 0u);
        EXPECT_EQ(state->current_file, 0u);
        for (const InstallFile& f : state->files) EXPECT_EQ(f.status, Waiting);
        run();
        EXPECT_EQ(state->page, 4) << state->error_text;
        EXPECT_EQ(read_game_folder(install), sources);
    }
};

// How many of this process's descriptors are open on path.
int open_descriptors(const std::string& path) {
    int count = 0;
    const fs::path target = fs::canonical(u8(path));
    for (const auto& entry : fs::directory_iterator("/proc/self/fd")) {
        std::error_code error;
        if (fs::read_symlink(entry.path(), error) == target) ++count;
    }
    return count;
}

}  // namespace

TEST_F(Failure, InstallFolderBlockedByAFile) {
    write_file(temp / "blocker", "not a folder");
    install = state->install_dir = temp / "blocker/Torvanel";
    run();
    expect_failure("Could not create the folder:\n" + install + "\n\nNot a directory", 0, false);
    EXPECT_EQ(read_file(temp / "blocker"), "not a folder");
}

TEST_F(Failure, DestinationIsAFolderThenBackAndRetry) {
    fs::create_directories(u8(install + "/SDL2.dll"));
    run();
    expect_failure("Could not write SDL2.dll to:\n" + install + "\n\n" + RETRY_HINT, 1);
    EXPECT_EQ(state->files[0].status, Done);
    EXPECT_EQ(state->progress_done, SIZES[0]);

    fs::remove(u8(install + "/SDL2.dll"));
    write_file(install + "/Torvanel.exe", "stale copy");  // copied again from the start
    expect_back_and_retry_succeeds();
}

TEST_F(Failure, FullDiskNamesTheFileBeingCopied) {
    if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
    fs::create_directories(u8(install));
    for (const char* name : {"music1.mp3", "README.txt"}) {  // a 64 KiB chunk and a 10-byte tail
        SCOPED_TRACE(name);
        fs::create_symlink("/dev/full", u8(install + "/" + name));
        run();
        const size_t index = std::string(name) == "README.txt" ? 6 : 3;
        expect_failure(std::string("The disk is full or not writable while copying ") + name + ".", index);
        reset_install(*state);
        fs::remove(u8(install + "/" + name));
    }
    expect_back_and_retry_succeeds();
}

TEST_F(Failure, SourceRemovedAfterTheCheck) {
    fs::remove(u8(temp / "src/README.txt"));
    removed_sources = {"README.txt"};
    run();
    expect_failure("Could not write README.txt to:\n" + install + "\n\n" + RETRY_HINT, 6);
    // The destination is left alone when there is nothing to copy into it.
    EXPECT_FALSE(fs::exists(u8(install + "/README.txt")));
}

TEST_F(Failure, UnreadableSourceIsNotInstalledShort) {
    fs::remove(u8(temp / "src/LICENSE.txt"));
    fs::create_directory(u8(temp / "src/LICENSE.txt"));
    removed_sources = {"LICENSE.txt"};
    run();
    expect_failure("The disk is full or not writable while copying LICENSE.txt.", 7);
}

TEST_F(Failure, AbandonedMidFileKeepsThePartialDestination) {
    const std::string dest = install + "/Torvanel.exe";
    sources["Torvanel.exe"] = pattern_bytes(5 * 1048576, 99);
    write_file(temp / "src/Torvanel.exe", sources["Torvanel.exe"]);
    prepare_state(*state, temp / "src", install);
    begin_install(*state);
    copy_step(*state);
    ASSERT_EQ(state->files[0].status, Copying);
    EXPECT_EQ(open_descriptors(dest), 1);
    EXPECT_EQ(open_descriptors(temp / "src/Torvanel.exe"), 1);

    state.reset();
    EXPECT_EQ(open_descriptors(dest), 0);
    EXPECT_EQ(open_descriptors(temp / "src/Torvanel.exe"), 0);
    EXPECT_EQ(read_file(dest), sources["Torvanel.exe"].substr(0, COPY_BUDGET_PER_FRAME));
}
