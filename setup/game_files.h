// The game's eight files, where they are read from, the start-up check that
// sizes them into the copy plan, and the space-needed figure.
#pragma once
#include <string>

#include "app/setup_state.h"

constexpr int GAME_FILE_COUNT = 8;
extern const char* const GAME_FILES[GAME_FILE_COUNT];

// source_dir from SDL_GetBasePath, "./" when SDL cannot tell.
void find_source_dir(SetupState& state);
// Sizes every game file in order into `files` and `game_bytes`; on the first
// file that is not a regular file, puts its bare name into `missing` and returns false.
bool scan_game_files(SetupState& state, std::string& missing);
// game_bytes in units of 2^20 bytes, for "Space needed: about %.1f MB".
double space_needed_mb(const SetupState& state);
