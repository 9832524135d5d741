// The copy engine: see copy_engine.h.
//
// Every read and write goes through one 64 KiB buffer that exists for the
// whole process (static storage, so nothing is allocated per chunk or per
// frame), straight to the system: a full disk shows up at the write that
// meets it.
//
// A game file is never half there under its own name. Each is copied into a
// temporary name beside it (.<name>.partial) and, once its last byte is
// written, its size checked against the start-up check and its file closed
// without error, moved over the real name in one step. The real name then
// holds the old file or the complete new one; a link standing there is
// replaced, never followed. A run cut short leaves only temporary names,
// which the next installation removes.
//
// The game files must survive any install folder. Files are told apart by
// what an open handle says (device and inode, volume and file id), never by
// their names: a destination that is the source itself, reached through
// another drive letter, a link or a hard link, is already in place and is
// neither written, replaced nor removed. A source that is not a regular file
// (a FIFO, a device) fails instead of blocking the frame loop.
#include "setup/copy_engine.h"

#include <string>
#include <utility>

#include "i18n/catalogue.h"
#include "i18n/messages.h"
#include "setup/game_files.h"
#include "setup/paths.h"

namespace {

char g_copy_buffer[COPY_CHUNK_SIZE];

// [SECTION] Failures

void fail_install(SetupState& state, std::string text) {
    state.error_text = std::move(text);
    state.page = PAGE_FAILED;
}

// "Could not write <name> to:", the folder, then the explanation after a blank line.
std::string cannot_write(const SetupState& state, const InstallFile& file, const std::string& explanation) {
    return format_text(tr(MSG_CANNOT_WRITE), file.name.c_str()) + "\n" + state.install_dir + "\n\n" + explanation;
}

// The current file's copy goes and its source is let go; the next try starts it afresh.
void drop_current_copy(SetupState& state) {
    close_file(state.source_stream);
    close_file(state.dest_stream);
    if (!state.dest_partial.empty()) remove_file_name(state.dest_partial);
    state.dest_partial.clear();
}

void fail_file(SetupState& state, std::string text) {
    drop_current_copy(state);
    fail_install(state, std::move(text));
}

void fail_write(SetupState& state, const InstallFile& file) {
    fail_file(state, format_text(tr(MSG_DISK_FULL), file.name.c_str()));
}

// [SECTION] One file

enum class FileStart { Copy, InPlace, Failed };

// Whether the destination's real name reaches the source file itself.
bool destination_is_source(const SetupState& state, const InstallFile& file) {
    FileId dest;
    return query_file_id(join_path(state.install_dir, file.name), dest) && same_file_id(dest, state.source_id);
}

// Opens the file's source and, unless the install folder already holds that
// very file, a new temporary file for its copy.
FileStart start_file(SetupState& state, const InstallFile& file) {
    uint64_t size_now = 0;
    if (!open_source_file(state.source_stream, join_path(state.source_dir, file.name), state.source_id, size_now)) {
        fail_install(state, cannot_write(state, file, tr(MSG_CLOSE_GAME)));
        return FileStart::Failed;
    }
    if (destination_is_source(state, file)) {
        close_file(state.source_stream);
        return FileStart::InPlace;
    }
    state.dest_partial = partial_file_path(state.install_dir, file.name);
    state.file_copied = 0;
    std::string error;
    remove_file_name(state.dest_partial);  // a copy this run gave up on earlier
    if (!create_new_file(state.dest_stream, state.dest_partial, error)) {
        state.dest_partial.clear();  // not ours: whatever stands there stays
        fail_file(state, cannot_write(state, file, tr(MSG_CLOSE_GAME)));
        return FileStart::Failed;
    }
    return FileStart::Copy;
}

// The copy is complete: checked, then moved over the real name. False after a failure.
bool finish_file(SetupState& state, const InstallFile& file) {
    if (!close_file(state.dest_stream)) {
        fail_write(state, file);
        return false;
    }
    // The file changed since the start-up check (it shrank or grew while
    // being read): what was copied is neither the old file nor the new one.
    if (state.file_copied != file.size) {
        fail_file(state, cannot_write(state, file, tr(MSG_KEEP_TOGETHER)));
        return false;
    }
    std::string error;
    if (destination_is_source(state, file)) {
        remove_file_name(state.dest_partial);  // it became the source meanwhile: already in place
    } else if (!replace_file(state.dest_partial, join_path(state.install_dir, file.name), error)) {
        fail_file(state, cannot_write(state, file, error + "\n\n" + tr(MSG_CLOSE_GAME)));
        return false;
    }
    state.dest_partial.clear();
    close_file(state.source_stream);
    return true;
}

}  // namespace

std::string partial_file_path(const std::string& install_dir, const std::string& name) {
    return join_path(install_dir, "." + name + PARTIAL_SUFFIX);
}

void begin_install(SetupState& state) {
    state.install_started = true;
    state.error_text.clear();
    std::string error;
    if (!create_folders(state.install_dir, error)) {
        fail_install(state, std::string(tr(MSG_NO_FOLDER)) + "\n" + state.install_dir + "\n\n" + error);
        return;
    }
    // Copies an earlier run left unfinished (the program was killed mid-copy).
    for (const char* name : GAME_FILES) remove_file_name(partial_file_path(state.install_dir, name));
    state.progress_done = 0;
    state.shortcuts_done = 0;
    state.current_file = 0;
    state.shortcuts_planned = (state.make_desktop_shortcut ? 1 : 0) + (state.make_start_menu_entry ? 1 : 0);
    state.progress_total = static_cast<uint64_t>(state.shortcuts_planned) * SHORTCUT_PROGRESS_BYTES + state.game_bytes;
    state.page = PAGE_INSTALL;
}

void copy_step(SetupState& state) {
    uint64_t budget = COPY_BUDGET_PER_FRAME;
    while (state.current_file < state.files.size()) {
        InstallFile& file = state.files[state.current_file];
        if (!state.source_stream.is_open()) {
            file.status = Copying;
            const FileStart start = start_file(state, file);
            if (start == FileStart::Failed) return;
            if (start == FileStart::InPlace) {
                state.progress_done += file.size;
                file.status = Done;
                ++state.current_file;
                continue;
            }
        }
        // A short read means the end of the file; a full read that happens to
        // take its last byte leaves the end for the next read to find.
        for (;;) {
            const uint64_t want = budget < COPY_CHUNK_SIZE ? budget : COPY_CHUNK_SIZE;
            const int64_t got = read_file(state.source_stream, g_copy_buffer, static_cast<size_t>(want));
            if (got < 0) {  // a damaged source is never installed short
                fail_write(state, file);
                return;
            }
            if (got == 0) break;
            if (!write_file(state.dest_stream, g_copy_buffer, static_cast<size_t>(got))) {
                fail_write(state, file);
                return;
            }
            state.progress_done += static_cast<uint64_t>(got);
            state.file_copied += static_cast<uint64_t>(got);
            budget -= static_cast<uint64_t>(got);
            if (static_cast<uint64_t>(got) < want) break;
            if (budget == 0) return;  // the file goes on next frame
        }
        if (!finish_file(state, file)) return;
        file.status = Done;
        ++state.current_file;
        if (budget == 0) return;
    }
}

void discard_copy_in_progress(SetupState& state) { drop_current_copy(state); }

void reset_install(SetupState& state) {
    drop_current_copy(state);
    for (InstallFile& file : state.files) file.status = Waiting;
    state.shortcuts_done = 0;
    state.install_started = false;
    state.install_finished = false;
    state.error_text.clear();
    state.progress_done = 0;
    state.current_file = 0;
    state.page = PAGE_LOCATION;
}

float install_fraction(const SetupState& state) {
    if (state.install_finished) return 1.0f;
    const double total = state.progress_total == 0 ? 1.0 : static_cast<double>(state.progress_total);
    return static_cast<float>(static_cast<double>(state.progress_done) / total);
}
