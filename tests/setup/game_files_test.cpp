// The game-file check, the copy plan it builds, the space figure and the
// source folder.
#include <climits>

#include "i18n/catalogue.h"
#include "tests/setup/setup_fixture.h"

namespace {

const uint64_t SIZES[GAME_FILE_COUNT] = {1000, 70000, 0, 5, 131072, 1, 4096, 333};

struct GameFolder : testing::Test {
    TempFolder temp;
    SetupState state;
    std::string missing = "left over";
    void SetUp() override {
        make_game_folder(temp.path, SIZES);
        state.source_dir = temp.path + "/";
    }
};

}  // namespace

TEST_F(GameFolder, AllPresentMakesThePlanInTableOrder) {
    const char* order[] = {"Torvanel.exe", "SDL2.dll",   "SDL2_ttf.dll", "music1.mp3",
                           "music2.mp3",   "music3.mp3", "README.txt",   "LICENSE.txt"};
    ASSERT_TRUE(scan_game_files(state, missing));
    ASSERT_EQ(state.files.size(), 8u);
    uint64_t sum = 0;
    for (int i = 0; i < 8; ++i) {
        EXPECT_STREQ(GAME_FILES[i], order[i]);
        EXPECT_EQ(state.files[i].name, order[i]);
        EXPECT_EQ(state.files[i].size, SIZES[i]);  // the empty SDL2_ttf.dll passes too
        EXPECT_EQ(state.files[i].status, Waiting);
        sum += SIZES[i];
    }
    EXPECT_EQ(state.game_bytes, sum);
    // A second check starts from an empty plan.
    ASSERT_TRUE(scan_game_files(state, missing));
    EXPECT_EQ(state.files.size(), 8u);
    EXPECT_EQ(state.game_bytes, sum);
}

TEST_F(GameFolder, NamesOnlyTheFirstFailingFile) {
    fs::remove(u8(temp / "README.txt"));
    fs::remove(u8(temp / "LICENSE.txt"));
    EXPECT_FALSE(scan_game_files(state, missing));
    EXPECT_EQ(missing, "README.txt");
    EXPECT_EQ(state.files.size(), 6u);  // the earlier entries stay

    fs::remove(u8(temp / "music2.mp3"));
    fs::create_directory(u8(temp / "music2.mp3"));
    EXPECT_FALSE(scan_game_files(state, missing));
    EXPECT_EQ(missing, "music2.mp3");
    EXPECT_EQ(state.files.size(), 4u);
    EXPECT_EQ(state.game_bytes, SIZES[0] + SIZES[1] + SIZES[2] + SIZES[3]);
}

TEST(GameFiles, SpaceFigureIsInMebibytesWithOneDecimal) {
    set_language(0);
    SetupState state;
    state.game_bytes = 52428800;
    EXPECT_EQ(format_text(tr(203), space_needed_mb(state)), "Space needed: about 50.0 MB");
    state.game_bytes = 1572864;
    EXPECT_EQ(format_text(tr(203), space_needed_mb(state)), "Space needed: about 1.5 MB");
    state.game_bytes = 0;
    EXPECT_EQ(space_needed_mb(state), 0.0);
}

TEST(GameFiles, SourceFolderIsTheProgramsOwn) {
    SetupState state;
    find_source_dir(state);
    char exe[PATH_MAX] = {};
    ASSERT_GT(readlink("/proc/self/exe", exe, sizeof exe - 1), 0);
    EXPECT_EQ(state.source_dir, fs::path(exe).parent_path().string() + "/");
}

TEST(GameFiles, NonAsciiFoldersWorkEndToEnd) {
    TempFolder temp;
    const std::string source = temp / "Łukasz ünïcode";
    const std::string install = temp / "Zielona Góra/Торвaнел ゲーム";
    fs::create_directories(u8(source));
    const FileBytes bytes = make_game_folder(source, SIZES);
    SetupState state;
    prepare_state(state, source, install);
    state.make_desktop_shortcut = state.make_start_menu_entry = false;
    begin_install(state);
    ASSERT_EQ(state.page, 3) << state.error_text;
    run_until_settled(state);
    EXPECT_EQ(state.page, 4) << state.error_text;
    EXPECT_EQ(read_game_folder(install), bytes);
    EXPECT_EQ(read_game_folder(source), bytes);
}
