// The copy engine: see copy_engine.h.
//
// Every read and write goes through one 64 KiB buffer that exists for the
// whole process (static storage, so nothing is allocated per chunk or per
// frame). Both file streams are unbuffered, so the bytes of a chunk reach
// the system at the write that hands them over: a full disk shows up at that
// write, and a file abandoned mid-copy holds exactly the bytes counted in
// progress_done.
//
// Beyond the plain copy loop, two outcomes that would otherwise pass unseen
// stop the installation with the disk-full text (message 221): a read that
// fails (as opposed to one that meets the end of the file), so a damaged
// source is never installed short; and a failed close of the destination,
// the last point where the system can refuse bytes it accepted earlier.
#include "setup/copy_engine.h"

#include <filesystem>
#include <system_error>
#include <utility>

#include "i18n/catalogue.h"
#include "setup/paths.h"

namespace {

char g_copy_buffer[COPY_CHUNK_SIZE];

std::filesystem::path fs_path(const std::string& utf8) {
    return std::filesystem::u8path(utf8);
}

void fail_install(SetupState& state, std::string text) {
    state.error_text = std::move(text);
    state.page = 5;
}

void fail_write(SetupState& state, const InstallFile& file) {
    fail_install(state, format_text(tr(221), file.name.c_str()));
}

// Opens the source, then (only when the source opened, so an existing
// destination is not emptied for nothing) the destination. False on failure.
bool open_streams(SetupState& state, const InstallFile& file) {
    state.source_stream.clear();
    state.source_stream.rdbuf()->pubsetbuf(nullptr, 0);
    state.source_stream.open(fs_path(join_path(state.source_dir, file.name)), std::ios::binary);
    if (!state.source_stream.is_open()) return false;
    state.dest_stream.clear();
    state.dest_stream.rdbuf()->pubsetbuf(nullptr, 0);
    state.dest_stream.open(fs_path(join_path(state.install_dir, file.name)),
                           std::ios::binary | std::ios::trunc);
    return state.dest_stream.is_open();
}

void close_streams(SetupState& state) {
    if (state.source_stream.is_open()) state.source_stream.close();
    if (state.dest_stream.is_open()) state.dest_stream.close();
}

}  // namespace

void begin_install(SetupState& state) {
    state.install_started = true;
    state.error_text.clear();
    std::error_code error;
    std::filesystem::create_directories(fs_path(state.install_dir), error);
    if (error) {
        fail_install(state, std::string(tr(222)) + "\n" + state.install_dir + "\n\n" + error.message());
        return;
    }
    state.progress_done = 0;
    state.shortcuts_done = 0;
    state.current_file = 0;
    state.shortcuts_planned = (state.make_desktop_shortcut ? 1 : 0) + (state.make_start_menu_entry ? 1 : 0);
    state.progress_total =
        static_cast<uint64_t>(state.shortcuts_planned) * SHORTCUT_PROGRESS_BYTES + state.game_bytes;
    state.page = 3;
}

void copy_step(SetupState& state) {
    uint64_t budget = COPY_BUDGET_PER_FRAME;
    while (state.current_file < state.files.size()) {
        InstallFile& file = state.files[state.current_file];
        if (!state.source_stream.is_open()) {
            file.status = Copying;
            if (!open_streams(state, file)) {
                fail_install(state, format_text(tr(223), file.name.c_str()) + "\n" + state.install_dir +
                                        "\n\n" + tr(236));
                return;
            }
        }
        // A short read means the end of the file; a full read that happens to
        // take its last byte leaves the end for the next read to find.
        for (;;) {
            const uint64_t want = budget < COPY_CHUNK_SIZE ? budget : COPY_CHUNK_SIZE;
            state.source_stream.read(g_copy_buffer, static_cast<std::streamsize>(want));
            const uint64_t got = static_cast<uint64_t>(state.source_stream.gcount());
            if (state.source_stream.bad()) {
                fail_write(state, file);
                return;
            }
            if (got == 0) break;
            state.dest_stream.write(g_copy_buffer, static_cast<std::streamsize>(got));
            if (!state.dest_stream) {
                fail_write(state, file);
                return;
            }
            state.progress_done += got;
            budget -= got;
            if (state.source_stream.eof()) break;
            if (budget == 0) return;  // the file goes on next frame
        }
        state.source_stream.close();
        state.dest_stream.close();
        if (state.dest_stream.fail()) {
            fail_write(state, file);
            return;
        }
        file.status = Done;
        ++state.current_file;
        if (budget == 0) return;
    }
}

void reset_install(SetupState& state) {
    close_streams(state);
    for (InstallFile& file : state.files) file.status = Waiting;
    state.shortcuts_done = 0;
    state.install_started = false;
    state.install_finished = false;
    state.error_text.clear();
    state.progress_done = 0;
    state.current_file = 0;
    state.page = 2;
}

float install_fraction(const SetupState& state) {
    if (state.install_finished) return 1.0f;
    const double total = state.progress_total == 0 ? 1.0 : static_cast<double>(state.progress_total);
    return static_cast<float>(static_cast<double>(state.progress_done) / total);
}
