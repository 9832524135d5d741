// Path joining, the environment lookup and the three install candidates.
#include "setup/paths.h"

#include "tests/setup/setup_fixture.h"

TEST(JoinPath, AddsOneSlashOnlyWhereNeeded) {
    EXPECT_EQ(join_path("", "a"), "a");
    EXPECT_EQ(join_path("C:/x/", "a"), "C:/x/a");
    EXPECT_EQ(join_path("C:\\x\\", "a"), "C:\\x\\a");
    EXPECT_EQ(join_path("C:/x", "a"), "C:/x/a");
    EXPECT_EQ(join_path("x", "Desktop/Torvanel.lnk"), "x/Desktop/Torvanel.lnk");
    // Nothing else is normalised.
    EXPECT_EQ(join_path("a//", "./b/"), "a//./b/");
    EXPECT_EQ(join_path("..", ""), "../");
}

TEST(InstallCandidates, FirstFollowsLocalAppData) {
    struct Case { const char* value; const char* first; };
    const Case cases[] = {
        {"C:\\Users\\user\\AppData\\Local", "C:\\Users\\user\\AppData\\Local/Programs/Torvanel"},
        {"C:\\Users\\user\\AppData\\Local\\", "C:\\Users\\user\\AppData\\Local\\Programs/Torvanel"},
        {nullptr, "./Programs/Torvanel"},
        {"", "./Programs/Torvanel"},
    };
    for (const Case& c : cases) {
        EnvVar v("LOCALAPPDATA", c.value);
        SetupState state;
        state.candidate_index = 2;
        build_install_candidates(state);
        ASSERT_EQ(state.install_candidates.size(), 3u);
        EXPECT_EQ(state.install_candidates[0], c.first);
        EXPECT_EQ(state.install_candidates[1], "C:/Games/Torvanel");
        EXPECT_EQ(state.install_candidates[2], "D:/Games/Torvanel");
        EXPECT_EQ(state.candidate_index, 0);
        EXPECT_EQ(state.install_dir, c.first);
    }
}

TEST(InstallCandidates, ChangeLocationCyclesBackToTheFirst) {
    EnvVar v("LOCALAPPDATA", "L:");
    SetupState state;
    build_install_candidates(state);
    const char* expected[] = {"C:/Games/Torvanel", "D:/Games/Torvanel", "L:/Programs/Torvanel",
                              "C:/Games/Torvanel"};
    const int indices[] = {1, 2, 0, 1};
    for (int press = 0; press < 4; ++press) {
        choose_next_location(state);
        EXPECT_EQ(state.candidate_index, indices[press]);
        EXPECT_EQ(state.install_dir, expected[press]);
    }
    EXPECT_EQ(state.install_candidates.size(), 3u);  // the list itself never changes
}
