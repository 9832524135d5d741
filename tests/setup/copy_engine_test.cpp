// The copy engine's frame arithmetic: budget, chunks, file boundaries,
// progress, and no allocation per chunk.
#include <atomic>
#include <cstdlib>
#include <new>

#include "tests/setup/setup_fixture.h"

// [SECTION] Allocation counter for the whole test program
namespace {
std::atomic<long> g_allocations{0};
}
void* operator new(std::size_t size) {
    ++g_allocations;
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

// [SECTION] Frame arithmetic
namespace {

constexpr uint64_t MIB = 1048576;

struct CopyPlan : testing::Test {
    TempFolder temp;
    SetupState state;
    FileBytes sources;
    void start(const uint64_t (&sizes)[GAME_FILE_COUNT], bool desktop = false, bool start_menu = false) {
        fs::create_directories(u8(temp / "src"));
        sources = make_game_folder(temp / "src", sizes);
        prepare_state(state, temp / "src", temp / "inst");
        state.make_desktop_shortcut = desktop;
        state.make_start_menu_entry = start_menu;
        begin_install(state);
        ASSERT_EQ(state.page, 3) << state.error_text;
    }
    void expect_step(uint64_t done, uint64_t file, InstallFileStatus status) {
        copy_step(state);
        EXPECT_EQ(state.progress_done, done);
        EXPECT_EQ(state.current_file, file);
        if (file < state.files.size()) {
            EXPECT_EQ(state.files[file].status, status);
        }
        EXPECT_EQ(state.page, 3) << state.error_text;
    }
};

void quiet(const std::string&) {}

}  // namespace

TEST_F(CopyPlan, TenMebibyteFileTakesFourSteps) {
    start({10 * MIB, 100, 0, 0, 0, 0, 0, 0});
    expect_step(3 * MIB, 0, Copying);
    expect_step(6 * MIB, 0, Copying);
    expect_step(9 * MIB, 0, Copying);
    EXPECT_EQ(state.files[1].status, Waiting);
    // The last MiB, then the rest of the budget carries the small files.
    expect_step(10 * MIB + 100, 8, Done);
    for (const InstallFile& f : state.files) EXPECT_EQ(f.status, Done);
    EXPECT_EQ(read_game_folder(temp / "inst"), sources);
}

TEST_F(CopyPlan, ChunkSizedFileEndsInItsOwnStep) {
    start({65536, 0, 0, 0, 0, 0, 0, 0});
    expect_step(65536, 8, Done);
    EXPECT_EQ(state.files[0].status, Done);
}

TEST_F(CopyPlan, BudgetEndingOnTheLastByteFinishesNextStep) {
    start({3 * MIB, 10, 0, 0, 0, 0, 0, 0});
    expect_step(3 * MIB, 0, Copying);
    EXPECT_EQ(state.files[1].status, Waiting);
    expect_step(3 * MIB + 10, 8, Done);
    EXPECT_EQ(state.files[0].status, Done);
}

TEST_F(CopyPlan, EmptyFilesAreCreatedAndDone) {
    fs::create_directories(u8(temp / "inst"));
    write_file(temp / "inst/README.txt", "an older, longer README");  // truncated by the copy
    start({0, 0, 0, 0, 0, 0, 0, 0});
    EXPECT_EQ(state.progress_total, 0u);
    EXPECT_EQ(install_fraction(state), 0.0f);
    expect_step(0, 8, Done);
    for (const char* name : GAME_FILES) {
        std::error_code error;
        EXPECT_EQ(fs::file_size(u8(temp / "inst/" + name), error), 0u) << name << error.message();
    }
    EXPECT_EQ(install_fraction(state), 0.0f);
    shortcut_step(state);
    EXPECT_EQ(install_fraction(state), 1.0f);
    EXPECT_EQ(state.page, 4);
}

TEST_F(CopyPlan, ProgressTotalCountsOneMebibytePerShortcut) {
    start({MIB, MIB, MIB, MIB, MIB, MIB, MIB, MIB}, true, true);
    EXPECT_EQ(state.progress_total, 10 * MIB);
    EXPECT_EQ(state.shortcuts_planned, 2);
    state.page = 2, state.make_start_menu_entry = false;
    begin_install(state);
    EXPECT_EQ(state.progress_total, 9 * MIB);
    state.page = 2, state.make_desktop_shortcut = false;
    begin_install(state);
    EXPECT_EQ(state.progress_total, 8 * MIB);
    EXPECT_EQ(state.shortcuts_planned, 0);

    state.make_desktop_shortcut = state.make_start_menu_entry = true;
    begin_install(state);
    set_command_runner(quiet);
    float last = -1.0f;
    while (state.current_file < state.files.size()) {
        run_frame(state);
        EXPECT_GT(install_fraction(state), last);
        last = install_fraction(state);
    }
    EXPECT_LT(install_fraction(state), 1.0f);  // the shortcuts still owe 2 MiB
    run_until_settled(state);
    set_command_runner(nullptr);
    EXPECT_EQ(state.progress_done, state.progress_total);
    EXPECT_EQ(install_fraction(state), 1.0f);
    EXPECT_EQ(state.page, 4);
}

TEST(InstallFraction, DividesDoneByTotal) {
    SetupState state;
    state.progress_total = 4, state.progress_done = 1;
    EXPECT_FLOAT_EQ(install_fraction(state), 0.25f);
    state.progress_total = 0, state.progress_done = 0;
    EXPECT_EQ(install_fraction(state), 0.0f);
    state.install_finished = true;
    EXPECT_EQ(install_fraction(state), 1.0f);
}

TEST_F(CopyPlan, NoAllocationWhileAFileIsCopied) {
    start({12 * MIB, 0, 0, 0, 0, 0, 0, 0});
    copy_step(state);  // opens the streams
    const long before = g_allocations.load();
    copy_step(state);
    copy_step(state);
    EXPECT_EQ(g_allocations.load() - before, 0);
    EXPECT_EQ(state.progress_done, 9 * MIB);
}
