// The platform layer: everything that differs between Windows and the POSIX
// systems, behind one header. platform_windows.cpp and platform_posix.cpp
// implement it; the build picks one. No other file asks which system it is on.
//
// It owns: files opened by handle (game files read, install files written
// under a temporary name and moved into place, file identity), folders and
// the system's error texts, the environment and the user's known folders,
// running commands without a console or command interpreter, the parent
// console, and the names of system libraries and font folders.
//
// Every path and text is UTF-8; on Windows the layer speaks UTF-16 to the
// system, never the ANSI code page.
//
// Index:
//   [SECTION] Files
//   [SECTION] Folders and error texts
//   [SECTION] Environment and known folders
//   [SECTION] Commands
//   [SECTION] Libraries and fonts
#pragma once

// Which kind of system the build is for: the one question asked outside this
// layer, by tests that must leave out what the other kind cannot build (FIFOs,
// file-size limits, links without privileges).
#if defined(_WIN32)
#define TORVANEL_POSIX 0
#else
#define TORVANEL_POSIX 1
#endif

#include <cstddef>
#include <cstdint>
#include <string>

// [SECTION] Files

// Which file a handle reaches, whatever name or drive led there: device and
// inode on POSIX, volume serial number and file id on Windows.
struct FileId {
    uint64_t volume = 0;
    uint64_t index_high = 0;
    uint64_t index_low = 0;
};
inline bool same_file_id(const FileId& a, const FileId& b) {
    return a.volume == b.volume && a.index_high == b.index_high && a.index_low == b.index_low;
}

// An open file of the system (a descriptor or a HANDLE), closed by its
// destructor. Unbuffered: every read and write is one system call or a few.
struct FileStream {
    intptr_t handle = -1;
    FileStream() = default;
    FileStream(const FileStream&) = delete;
    FileStream& operator=(const FileStream&) = delete;
    FileStream(FileStream&& other) noexcept : handle(other.handle) { other.handle = -1; }
    FileStream& operator=(FileStream&& other) noexcept;  // closes its own file first
    ~FileStream();
    bool is_open() const { return handle != -1; }
};

// Opens the regular file at `path` for reading and tells which file it is
// and its size. Anything else (a folder, a FIFO, a device) fails at once,
// without waiting for a writer. On Windows nobody may delete or replace the
// file while it is open.
bool open_source_file(FileStream& file, const std::string& path, FileId& id, uint64_t& size);
// Which file `path` reaches now, links followed; false when nothing is there.
// Opens the file without reading it, so a device or FIFO is never disturbed.
bool query_file_id(const std::string& path, FileId& id);
// Creates a new regular file at `path` for writing. Fails when anything at
// all stands there, a dangling link included, so no write ever goes through
// a link. `error` receives the system's text when it fails.
bool create_new_file(FileStream& file, const std::string& path, std::string& error);
// Reads up to `size` bytes: the count read, 0 at the end of the file, -1 on an error.
int64_t read_file(FileStream& file, void* buffer, size_t size);
// Writes all `size` bytes; false when the system refused any.
bool write_file(FileStream& file, const void* buffer, size_t size);
// Closes the file; false when the system reports a failure (a late write error).
bool close_file(FileStream& file);
// Moves `from` over `to` in one step: `to` then names the complete new file,
// and whatever stood at `to` (a file, a link: never what a link points to)
// is replaced. Retries briefly while another program holds `to`.
bool replace_file(const std::string& from, const std::string& to, std::string& error);
// Removes the name `path` itself; a link goes, never what it points to.
// True when nothing is left at `path`.
bool remove_file_name(const std::string& path);
inline FileStream::~FileStream() { close_file(*this); }
inline FileStream& FileStream::operator=(FileStream&& other) noexcept {
    if (this != &other) {
        close_file(*this);
        handle = other.handle;
        other.handle = -1;
    }
    return *this;
}
// Writes `size` bytes into the regular file at `path`, creating or emptying
// it. Refuses at once anything else (a FIFO, a device), never waiting.
bool write_regular_file(const std::string& path, const void* data, size_t size);

// [SECTION] Folders and error texts

// Creates `path` and every missing parent; an existing folder is no error.
// `error` receives the system's own text for the failing call.
bool create_folders(const std::string& path, std::string& error);

// [SECTION] Environment and known folders

// The variable's value as UTF-8; null when it is unset. The text stays valid
// until the next call.
const char* environment_value(const char* variable);

enum class KnownFolder { Desktop, Programs, LocalAppData, Fonts };
// The user's folder as the system keeps it (redirected to OneDrive, moved by
// an administrator, localised); empty when the system has none or cannot
// tell, and always empty where there is no such notion (the callers then
// fall back to the environment).
std::string known_folder(KnownFolder folder);

// Windows: a GUI program has no standard error of its own; when it was
// started from a console and its standard error is not redirected, its
// lines go to that console. Does nothing elsewhere.
void attach_parent_console();

// [SECTION] Commands

// What to do while waiting for a command: called between short slices of the
// wait, so the window's messages keep flowing. May be null.
struct CommandWait {
    void (*between_slices)(void* user) = nullptr;
    void* user = nullptr;
};
// The longest wait for one command; after it the command is left running.
constexpr uint32_t COMMAND_WAIT_LIMIT_MS = 20000;
constexpr uint32_t COMMAND_WAIT_SLICE_MS = 50;

// Windows: starts `program` (its path) in its own folder and returns once the
// process exists. Elsewhere: says on standard error what would have run.
void start_program(const std::string& program);
// Windows: runs `command_line` (which begins with the word powershell) with
// PowerShell from the system folder (never the current folder, PATH or
// setup's own folder), without a console window,
// and waits for it (at most COMMAND_WAIT_LIMIT_MS, calling `wait` between
// slices). Nothing runs when PowerShell is missing. Elsewhere: says on
// standard error what would have run. The result is never examined.
void run_powershell(const std::string& command_line, const CommandWait& wait);

// [SECTION] Libraries and fonts

// The file name SDL2_ttf is loaded under.
const char* font_library_name();
// The folder of the system's fonts on Windows ("C:/Windows/Fonts" when the
// system cannot tell, and elsewhere, where no font list names it).
std::string windows_fonts_folder();
