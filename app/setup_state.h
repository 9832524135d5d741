// SetupState: the one record holding everything the wizard knows for the run:
// the page, the user's choices, the install folder, the copy plan, the
// progress counters and the two file streams of the copy in progress.
// Destroying it closes any open stream; the copy in progress is then left
// under its temporary name, never under the game file's own, and the next
// installation removes it.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "platform/platform.h"

// The wizard's pages: the values SetupState::page takes, and the numbers
// ZR_SETUP_PAGE asks for. The page stays a plain number, as automation may
// ask for any (a number beyond the last shows an empty page).
constexpr int32_t PAGE_WELCOME = 0;
constexpr int32_t PAGE_LICENSE = 1;
constexpr int32_t PAGE_LOCATION = 2;
constexpr int32_t PAGE_INSTALL = 3;
constexpr int32_t PAGE_DONE = 4;
constexpr int32_t PAGE_FAILED = 5;  // an installation or the game-file check failed
constexpr int32_t PAGE_COUNT = 6;

enum InstallFileStatus : int32_t { Waiting = 0, Copying = 1, Done = 2 };

struct InstallFile {
    std::string name;   // bare file name of a game file
    uint64_t size = 0;  // bytes, as found by the game-file check
    InstallFileStatus status = Waiting;
};

struct SetupState {
    int32_t page = PAGE_WELCOME;
    bool license_accepted = false;
    bool make_desktop_shortcut = true;
    bool make_start_menu_entry = true;
    bool start_game_on_close = true;
    std::vector<std::string> install_candidates;
    int32_t candidate_index = 0;
    std::string source_dir;
    std::string install_dir;
    std::string error_text;  // shown on PAGE_FAILED; lines separated by '\n'
    float license_scroll = 0.0f;
    bool install_started = false;
    bool install_finished = false;
    std::vector<InstallFile> files;  // the copy plan, in GAME_FILES order
    uint64_t game_bytes = 0;
    uint64_t progress_total = 0;
    uint64_t progress_done = 0;
    uint64_t current_file = 0;
    int32_t shortcuts_done = 0;
    int32_t shortcuts_planned = 0;
    FileStream source_stream;  // the game file being copied
    FileId source_id;          // which file source_stream reads
    uint64_t file_copied = 0;  // bytes of it copied so far
    FileStream dest_stream;    // its copy, written under dest_partial
    std::string dest_partial;  // the copy's temporary name in install_dir
};
