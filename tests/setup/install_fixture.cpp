#include "tests/setup/install_fixture.h"

#include <filesystem>
#include <fstream>
#include <iterator>

#include "setup/copy_engine.h"
#include "setup/shortcuts.h"
#include "tests/support/portable.h"

namespace fs = std::filesystem;

namespace {
fs::path u8(const std::string& path) { return fs::u8path(path); }
}  // namespace

std::string read_whole_file(const std::string& path) {
    std::ifstream in(u8(path), std::ios::binary);
    if (!in) return "<cannot open " + path + ">";
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void write_whole_file(const std::string& path, const std::string& bytes) {
    std::ofstream(u8(path), std::ios::binary) << bytes;
}

InstallFixture::InstallFixture()
    : temp(make_temp_dir("torvanel-setup")),
      source(temp + "/Łódź źródło"),
      dest(temp + "/Zielona Góra/Торвaнел ゲーム"),
      outside(temp + "/outside.txt") {}

void InstallFixture::SetUp() { make_game(SMALL_GAME); }

void InstallFixture::TearDown() {
    for (const auto& [name, bytes] : game) EXPECT_TRUE(read_whole_file(source_file(name)) == bytes) << name;
    EXPECT_EQ(read_whole_file(outside), "not a game file") << "written through a link";
    fs::remove_all(u8(temp));
}

void InstallFixture::make_game(const GameFileSizes& sizes) {
    for (const std::string& folder : {source, dest}) {
        fs::remove_all(u8(folder));
        fs::create_directories(u8(folder));
    }
    write_whole_file(outside, "not a game file");
    game.clear();
    uint32_t random = 1;
    for (int i = 0; i < GAME_FILE_COUNT; ++i) {
        std::string bytes(sizes[i], '\0');
        for (char& c : bytes) {
            random = random * 1664525u + 1013904223u;
            c = static_cast<char>(random >> 24);
        }
        write_whole_file(source_file(GAME_FILES[i]), bytes);
        game[GAME_FILES[i]] = bytes;
    }
    state = SetupState();
    state.source_dir = source + "/";
    state.install_dir = dest;
    state.make_desktop_shortcut = false;
    state.make_start_menu_entry = false;
    std::string missing;
    ASSERT_TRUE(scan_game_files(state, missing)) << missing;
}

void InstallFixture::install() {
    begin_install(state);
    for (int frame = 0; frame < 1000 && state.page == PAGE_INSTALL; ++frame) run_install_work(state);
}

void InstallFixture::expect_game_in(const std::string& folder) const {
    for (const auto& [name, bytes] : game) {
        const fs::path path = u8(folder + "/" + name);
        EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(path))) << name << " is not a plain file";
        EXPECT_TRUE(read_whole_file(folder + "/" + name) == bytes) << name << " differs";
    }
}

void InstallFixture::expect_no_partial_copies() const {
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(u8(dest), error)) {
        const std::string name = entry.path().filename().u8string();
        EXPECT_EQ(name.find(PARTIAL_SUFFIX), std::string::npos) << name << " left behind";
    }
}
