// The platform layer on Linux and other POSIX systems: see platform.h.
#include "platform/platform.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace {

int descriptor(const FileStream& file) { return static_cast<int>(file.handle); }

FileId id_of(const struct stat& info) {
    FileId id;
    id.volume = static_cast<uint64_t>(info.st_dev);
    id.index_low = static_cast<uint64_t>(info.st_ino);
    return id;
}

// Opening a FIFO with O_NONBLOCK never waits for the other end; a path
// opened with O_PATH is not opened for I/O at all, so a device is untouched.
constexpr int QUERY_FLAGS = O_PATH | O_CLOEXEC;

}  // namespace

// [SECTION] Files

bool open_source_file(FileStream& file, const std::string& path, FileId& id, uint64_t& size) {
    const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat info;
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        close(fd);
        return false;
    }
    // Reads of a regular file never wait anyway; clear the flag for clarity.
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    file.handle = fd;
    id = id_of(info);
    size = static_cast<uint64_t>(info.st_size);
    return true;
}

bool query_file_id(const std::string& path, FileId& id) {
    const int fd = open(path.c_str(), QUERY_FLAGS);
    if (fd < 0) return false;
    struct stat info;
    const bool known = fstat(fd, &info) == 0;
    close(fd);
    if (known) id = id_of(info);
    return known;
}

bool create_new_file(FileStream& file, const std::string& path, std::string& error) {
    // O_EXCL fails on any existing name, a dangling link included.
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (fd < 0) {
        error = std::strerror(errno);
        return false;
    }
    file.handle = fd;
    return true;
}

int64_t read_file(FileStream& file, void* buffer, size_t size) {
    for (;;) {
        const ssize_t got = read(descriptor(file), buffer, size);
        if (got >= 0) return got;
        if (errno != EINTR) return -1;
    }
}

bool write_file(FileStream& file, const void* buffer, size_t size) {
    const char* bytes = static_cast<const char*>(buffer);
    while (size > 0) {
        const ssize_t put = write(descriptor(file), bytes, size);
        if (put < 0 && errno == EINTR) continue;
        if (put <= 0) return false;
        bytes += put;
        size -= static_cast<size_t>(put);
    }
    return true;
}

bool close_file(FileStream& file) {
    if (!file.is_open()) return true;
    const int fd = descriptor(file);
    file.handle = -1;
    return close(fd) == 0;
}

bool replace_file(const std::string& from, const std::string& to, std::string& error) {
    // rename replaces the name `to` itself, whatever it is, in one step.
    if (rename(from.c_str(), to.c_str()) == 0) return true;
    error = std::strerror(errno);
    return false;
}

bool remove_file_name(const std::string& path) { return unlink(path.c_str()) == 0 || errno == ENOENT; }

bool write_regular_file(const std::string& path, const void* data, size_t size) {
    struct stat info;
    if (stat(path.c_str(), &info) == 0 && !S_ISREG(info.st_mode)) return false;
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_NONBLOCK | O_CLOEXEC, 0644);
    if (fd < 0) return false;
    FileStream file;
    file.handle = fd;
    // Checked again on the open file: the name may have changed since.
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || ftruncate(fd, 0) != 0) return false;
    const bool written = write_file(file, data, size);
    return close_file(file) && written;
}

// [SECTION] Folders and error texts

bool create_folders(const std::string& path, std::string& error) {
    std::error_code code;
    std::filesystem::create_directories(std::filesystem::u8path(path), code);
    if (code) error = code.message();
    return !code;
}

// [SECTION] Environment and known folders

const char* environment_value(const char* variable) { return std::getenv(variable); }

std::string known_folder(KnownFolder) { return std::string(); }

void attach_parent_console() {}

// [SECTION] Commands

// No command interpreter or PowerShell here: say what would have run.
void start_program(const std::string& program) {
    std::fprintf(stderr, "not run on this system: start \"\" \"%s\"\n", program.c_str());
}

void run_powershell(const std::string& command_line, const CommandWait&) {
    std::fprintf(stderr, "not run on this system: %s\n", command_line.c_str());
}

// [SECTION] Libraries and fonts

const char* font_library_name() { return "libSDL2_ttf-2.0.so.0"; }

std::string windows_fonts_folder() { return "C:/Windows/Fonts"; }
