// A source folder of eight generated game files and an install folder, both
// with non-ASCII names, and the state of an installation between them. After
// every test the source folder still holds exactly what it was given.
#pragma once
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <map>
#include <string>

#include "app/setup_state.h"
#include "setup/game_files.h"

using GameFileSizes = std::array<uint64_t, GAME_FILE_COUNT>;

constexpr uint64_t MIB = 1048576;
// 635560 bytes in all; the empty file counts too.
constexpr GameFileSizes SMALL_GAME = {200000, 65536, 10, 300000, 4, 0, 10, 70000};
constexpr uint64_t SMALL_GAME_BYTES = 635560;

std::string read_whole_file(const std::string& path);  // a marker no test writes when it cannot be opened
void write_whole_file(const std::string& path, const std::string& bytes);

struct InstallFixture : testing::Test {
    const std::string temp;
    const std::string source;   // the folder setup runs from
    const std::string dest;     // the folder it installs into
    const std::string outside;  // a file beside both, which no installation may touch
    SetupState state;
    std::map<std::string, std::string> game;  // name -> the bytes the source folder must hold

    InstallFixture();
    void SetUp() override;
    void TearDown() override;

    // New game files of these sizes in an empty source folder, an empty install folder, and a state whose
    // game-file check has run.
    void make_game(const GameFileSizes& sizes);
    // begin_install, then frames until the installation ends on PAGE_DONE or PAGE_FAILED (at most 1000).
    void install();
    // The game file `name` as the source and as the install folder hold it.
    std::string source_file(const std::string& name) const { return source + "/" + name; }
    std::string installed_file(const std::string& name) const { return dest + "/" + name; }
    // Every game file lies in `folder` exactly as in the source.
    void expect_game_in(const std::string& folder) const;
    // No temporary copy is left in the install folder.
    void expect_no_partial_copies() const;
};
