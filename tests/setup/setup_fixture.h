// Shared helpers of the installation-engine tests: a temporary folder that
// removes itself, byte-exact file reading and writing, a game folder of
// eight generated files, environment variables restored after each test,
// and the wizard's per-frame order of copy and shortcut steps.
#pragma once
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>

#include "app/setup_state.h"
#include "i18n/languages.h"
#include "setup/command.h"
#include "setup/copy_engine.h"
#include "setup/game_files.h"
#include "setup/shortcuts.h"

namespace fs = std::filesystem;

inline fs::path u8(const std::string& path) { return fs::u8path(path); }

struct TempFolder {
    std::string path;  // UTF-8, no trailing separator
    TempFolder() {
        static int counter = 0;
        const auto* test = testing::UnitTest::GetInstance()->current_test_info();
        const std::string tag = test != nullptr ? test->name() : "x";
        path = (fs::temp_directory_path() /
                ("torvanel-setup-" + std::to_string(getpid()) + "-" + std::to_string(++counter) + "-" + tag))
                   .u8string();
        fs::remove_all(u8(path));
        fs::create_directories(u8(path));
    }
    ~TempFolder() {
        std::error_code ignored;
        fs::remove_all(u8(path), ignored);
    }
    std::string operator/(const std::string& name) const { return path + "/" + name; }
};

// Bytes that differ with position and seed, so misplaced chunks show.
inline std::string pattern_bytes(uint64_t size, uint32_t seed) {
    std::string bytes(size, '\0');
    uint32_t x = seed * 2654435761u + 1;
    for (char& c : bytes) {
        x = x * 1664525u + 1013904223u;
        c = static_cast<char>(x >> 24);
    }
    return bytes;
}

inline void write_file(const std::string& path, const std::string& bytes) {
    std::ofstream out(u8(path), std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    ASSERT_TRUE(out.good()) << path;
}

inline std::string read_file(const std::string& path) {
    std::ifstream in(u8(path), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

using FileBytes = std::map<std::string, std::string>;

// Writes the eight game files with the given sizes into folder; returns their bytes.
inline FileBytes make_game_folder(const std::string& folder, const uint64_t (&sizes)[GAME_FILE_COUNT]) {
    FileBytes bytes;
    for (int i = 0; i < GAME_FILE_COUNT; ++i) {
        bytes[GAME_FILES[i]] = pattern_bytes(sizes[i], static_cast<uint32_t>(i + 1));
        write_file(folder + "/" + GAME_FILES[i], bytes[GAME_FILES[i]]);
    }
    return bytes;
}

inline FileBytes read_game_folder(const std::string& folder) {
    FileBytes bytes;
    for (const char* name : GAME_FILES) bytes[name] = read_file(folder + "/" + name);
    return bytes;
}

// One variable set (or unset with null) for the scope, restored afterwards.
struct EnvVar {
    std::string name;
    bool had = false;
    std::string old;
    EnvVar(const char* variable, const char* value) : name(variable) {
        if (const char* v = std::getenv(variable)) had = true, old = v;
        if (value) setenv(variable, value, 1); else unsetenv(variable);
    }
    ~EnvVar() {
        if (had) setenv(name.c_str(), old.c_str(), 1); else unsetenv(name.c_str());
    }
};

// A state whose copy plan comes from `source` (a game folder made by the
// caller) and whose install folder is `install`, as start-up leaves it.
inline void prepare_state(SetupState& state, const std::string& source, const std::string& install) {
    set_language(0);
    state.source_dir = source + "/";
    state.install_dir = install;
    std::string missing;
    ASSERT_TRUE(scan_game_files(state, missing)) << missing;
}

// What the wizard does with the engine in one frame of the Install page.
inline void run_frame(SetupState& state) {
    if (state.page != 3 || state.install_finished) return;
    copy_step(state);
    if (state.page == 3 && state.current_file == state.files.size()) shortcut_step(state);
}

inline int run_until_settled(SetupState& state, int limit = 1000) {
    int frames = 0;
    while (state.page == 3 && !state.install_finished && frames < limit) run_frame(state), ++frames;
    return frames;
}
