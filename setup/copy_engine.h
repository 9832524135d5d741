// The copy engine: creates the install folder and copies the copy plan into
// it a bounded number of bytes per frame, with the failure texts of every
// way an installation can stop, and the reset that lets the user try again.
#pragma once
#include <cstdint>
#include <string>

#include "app/setup_state.h"

constexpr uint64_t COPY_BUDGET_PER_FRAME = 3145728;  // 3 MiB
constexpr uint64_t COPY_CHUNK_SIZE = 65536;          // 64 KiB
constexpr uint64_t SHORTCUT_PROGRESS_BYTES = 1048576;

// A file is copied under ".<name>" + PARTIAL_SUFFIX in the install folder,
// and moved over its real name once complete.
constexpr char PARTIAL_SUFFIX[] = ".partial";
std::string partial_file_path(const std::string& install_dir, const std::string& name);

// Creates install_dir, removes copies an earlier run left unfinished and
// resets the progress (PAGE_INSTALL), or explains the failure (PAGE_FAILED).
void begin_install(SetupState& state);
// Copies at most COPY_BUDGET_PER_FRAME bytes in COPY_CHUNK_SIZE chunks.
void copy_step(SetupState& state);
// Closes both streams and removes the unfinished copy, if any (the program is closing).
void discard_copy_in_progress(SetupState& state);
// Back from a failed installation: closes both streams, every file Waiting, PAGE_LOCATION.
void reset_install(SetupState& state);
// 1 once finished, else progress_done / progress_total (divisor 1 when 0).
float install_fraction(const SetupState& state);
