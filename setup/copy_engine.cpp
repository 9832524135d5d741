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
//
// The game files must survive any install folder, so a file is opened only
// once it is known to be safe: a destination that is the source itself (the
// folder setup runs from, a hard link, a symlinked folder) is already in
// place and never opened; a source that is not a regular file (a FIFO, a
// device) fails instead of blocking the frame loop; a destination that is a
// link is replaced by a fresh file, so nothing it points to is written.
#include "setup/copy_engine.h"

#include <filesystem>
#include <string>
#include <system_error>
#include <utility>

#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

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

#ifndef _WIN32
// The name a stream can open to reach the descriptor's own file: the
// descriptor's file under /proc, so the path cannot be swapped in between;
// the path itself where /proc is absent.
std::string descriptor_path(int fd, const std::string& path) {
    const std::string own = "/proc/self/fd/" + std::to_string(fd);
    return access(own.c_str(), F_OK) == 0 ? own : path;
}

bool is_regular_descriptor(int fd) {
    struct stat info;
    return fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
}
#endif

// Opens `stream` on the regular file at `path` for reading; a FIFO or device
// fails at once instead of waiting for a writer.
bool open_source(std::ifstream& stream, const std::string& path) {
#ifdef _WIN32
    std::error_code error;
    if (!std::filesystem::is_regular_file(fs_path(path), error)) return false;
    stream.open(fs_path(path), std::ios::binary);
#else
    const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return false;
    if (is_regular_descriptor(fd)) stream.open(descriptor_path(fd, path), std::ios::binary);
    close(fd);
#endif
    return stream.is_open();
}

// Opens `stream` on a new or emptied regular file at `path`. Whatever else
// stands there (a symbolic link, a FIFO, a file with other hard links) is
// removed first, so the write never reaches another file.
bool open_destination(std::ofstream& stream, const std::string& path) {
    const std::filesystem::path p = fs_path(path);
    std::error_code error;
    const std::filesystem::file_status status = std::filesystem::symlink_status(p, error);
#ifdef _WIN32
    // The runtime's link count is always 1 there, so every old file goes:
    // removing a name never touches the other names of its file.
    const bool plain = false;
#else
    const bool plain = std::filesystem::is_regular_file(status) &&
                       std::filesystem::hard_link_count(p, error) == 1;
#endif
    if (std::filesystem::exists(status) && !plain && !std::filesystem::is_directory(status))
        std::filesystem::remove(p, error);  // a failure shows at the open below
#ifdef _WIN32
    stream.open(p, std::ios::binary | std::ios::trunc);
#else
    // No link is followed and nothing waits, even for a link planted since the check.
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC,
                        0666);
    if (fd < 0) return false;
    if (is_regular_descriptor(fd))
        stream.open(descriptor_path(fd, path), std::ios::binary | std::ios::trunc);
    close(fd);
#endif
    return stream.is_open();
}

// Whether the destination is the source file itself, under another name or not.
bool same_file(const std::string& source, const std::string& dest) {
    std::error_code error;
    return std::filesystem::equivalent(fs_path(source), fs_path(dest), error) && !error;
}

// Opens the source, then (only when the source opened, so an existing
// destination is not emptied for nothing) the destination. False on failure.
bool open_streams(SetupState& state, const InstallFile& file) {
    state.source_stream.clear();
    state.source_stream.rdbuf()->pubsetbuf(nullptr, 0);
    if (!open_source(state.source_stream, join_path(state.source_dir, file.name))) return false;
    state.dest_stream.clear();
    state.dest_stream.rdbuf()->pubsetbuf(nullptr, 0);
    return open_destination(state.dest_stream, join_path(state.install_dir, file.name));
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
            if (same_file(join_path(state.source_dir, file.name),
                          join_path(state.install_dir, file.name))) {
                // Already in place: opening it for writing would empty the game file.
                state.progress_done += file.size;
                file.status = Done;
                ++state.current_file;
                continue;
            }
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
