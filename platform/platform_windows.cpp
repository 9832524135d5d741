// The platform layer on Windows: see platform.h.
//
// Players also run this program under Wine (Steam Deck, Linux desktops),
// where a game folder can hold Unix symbolic links and where deleting a link
// deletes what it points to. So no name is ever deleted directly: a name is
// first replaced by an empty file of our own (a move replaces a link itself),
// and that file is deleted.
#include "platform/platform.h"

// windows.h first: the other system headers build on it.
#include <windows.h>

#include <knownfolders.h>
#include <shlobj.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

// [SECTION] UTF-16

std::wstring widen(const std::string& utf8) {
    const int length = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(length > 0 ? length : 0), L'\0');
    if (length > 0) MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), &wide[0], length);
    return wide;
}

std::string narrow(const wchar_t* wide) {
    const int length = WideCharToMultiByte(CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr);
    if (length <= 1) return std::string();
    std::string utf8(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide, -1, &utf8[0], length, nullptr, nullptr);
    utf8.resize(static_cast<size_t>(length - 1));  // without the terminating zero
    return utf8;
}

std::wstring backslashes(std::wstring path) {
    for (wchar_t& c : path)
        if (c == L'/') c = L'\\';
    return path;
}

// The system's own text for an error, in the user's language, without the
// line break it ends with.
std::string error_text(DWORD code) {
    wchar_t* text = nullptr;
    const DWORD flags = FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS;
    const DWORD length = FormatMessageW(flags, nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::string result = length > 0 && text != nullptr ? narrow(text) : std::string();
    if (text != nullptr) LocalFree(text);
    while (!result.empty() && (result.back() == '\n' || result.back() == '\r' || result.back() == ' '))
        result.pop_back();
    return result.empty() ? "Error " + std::to_string(code) : result;
}

HANDLE handle_of(const FileStream& file) { return reinterpret_cast<HANDLE>(file.handle); }

bool id_of(HANDLE handle, FileId& id) {
    // The 128-bit id where the file system has one (ReFS), the classic one elsewhere.
    FILE_ID_INFO wide_id = {};
    if (GetFileInformationByHandleEx(handle, FileIdInfo, &wide_id, sizeof(wide_id))) {
        uint64_t halves[2];
        static_assert(sizeof(halves) == sizeof(wide_id.FileId.Identifier), "a file id is 128 bits");
        memcpy(halves, wide_id.FileId.Identifier, sizeof(halves));
        id.volume = wide_id.VolumeSerialNumber;
        id.index_low = halves[0];
        id.index_high = halves[1];
        return true;
    }
    BY_HANDLE_FILE_INFORMATION info;
    if (!GetFileInformationByHandle(handle, &info)) return false;
    id.volume = info.dwVolumeSerialNumber;
    id.index_low = (static_cast<uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
    id.index_high = 0;
    return true;
}

bool is_sharing_error(DWORD error) {
    return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION || error == ERROR_ACCESS_DENIED;
}

constexpr int REPLACE_TRIES = 10;
constexpr DWORD REPLACE_PAUSE_MS = 50;

}  // namespace

// [SECTION] Files

bool open_source_file(FileStream& file, const std::string& path, FileId& id, uint64_t& size) {
    // No delete sharing: while setup reads a game file, nothing (setup's own
    // move included) can delete or replace it.
    const HANDLE handle =
        CreateFileW(backslashes(widen(path)).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return false;
    BY_HANDLE_FILE_INFORMATION info;
    if (GetFileType(handle) != FILE_TYPE_DISK || !GetFileInformationByHandle(handle, &info) ||
        (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 || !id_of(handle, id)) {
        CloseHandle(handle);
        return false;
    }
    file.handle = reinterpret_cast<intptr_t>(handle);
    size = (static_cast<uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
    return true;
}

bool query_file_id(const std::string& path, FileId& id) {
    // No access asked: only the file's identity is read.
    const HANDLE handle =
        CreateFileW(backslashes(widen(path)).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return false;
    const bool known = id_of(handle, id);
    CloseHandle(handle);
    return known;
}

bool create_new_file(FileStream& file, const std::string& path, std::string& error) {
    const HANDLE handle = CreateFileW(backslashes(widen(path)).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                      CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        error = error_text(GetLastError());
        return false;
    }
    file.handle = reinterpret_cast<intptr_t>(handle);
    return true;
}

int64_t read_file(FileStream& file, void* buffer, size_t size) {
    DWORD got = 0;
    if (!ReadFile(handle_of(file), buffer, static_cast<DWORD>(size), &got, nullptr)) return -1;
    return got;
}

bool write_file(FileStream& file, const void* buffer, size_t size) {
    const char* bytes = static_cast<const char*>(buffer);
    while (size > 0) {
        DWORD put = 0;
        if (!WriteFile(handle_of(file), bytes, static_cast<DWORD>(size), &put, nullptr) || put == 0) return false;
        bytes += put;
        size -= put;
    }
    return true;
}

bool close_file(FileStream& file) {
    if (!file.is_open()) return true;
    const HANDLE handle = handle_of(file);
    file.handle = -1;
    return CloseHandle(handle) != 0;
}

bool replace_file(const std::string& from, const std::string& to, std::string& error) {
    const std::wstring source = backslashes(widen(from)), target = backslashes(widen(to));
    DWORD code = 0;
    for (int attempt = 0; attempt < REPLACE_TRIES; ++attempt) {
        if (MoveFileExW(source.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            return true;
        code = GetLastError();
        if (!is_sharing_error(code)) break;
        Sleep(REPLACE_PAUSE_MS);  // a virus scanner or an indexer lets go of a new file within moments
    }
    error = error_text(code);
    return false;
}

bool remove_file_name(const std::string& path) {
    const std::wstring name = backslashes(widen(path));
    // An empty file of our own under a free name beside it.
    std::wstring stand_in;
    HANDLE handle = INVALID_HANDLE_VALUE;
    for (int n = 0; n < 100 && handle == INVALID_HANDLE_VALUE; ++n) {
        stand_in = name + L".removing-" + std::to_wstring(n);
        handle = CreateFileW(stand_in.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    }
    if (handle == INVALID_HANDLE_VALUE) return false;
    CloseHandle(handle);
    // The move replaces whatever the name is (a link included); the delete
    // then only ever meets our own empty file.
    if (!MoveFileExW(stand_in.c_str(), name.c_str(), MOVEFILE_REPLACE_EXISTING)) {
        DeleteFileW(stand_in.c_str());
        return false;
    }
    return DeleteFileW(name.c_str()) != 0;
}

bool write_regular_file(const std::string& path, const void* data, size_t size) {
    const HANDLE handle = CreateFileW(backslashes(widen(path)).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                      OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return false;
    FileStream file;
    file.handle = reinterpret_cast<intptr_t>(handle);
    if (GetFileType(handle) != FILE_TYPE_DISK || !SetEndOfFile(handle)) return false;
    const bool written = write_file(file, data, size);
    return close_file(file) && written;
}

// [SECTION] Folders and error texts

namespace {

bool is_folder(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// 0 when `path` is a folder now, else the error of the failing call.
DWORD make_folder(const std::wstring& path) {
    if (CreateDirectoryW(path.c_str(), nullptr)) return 0;
    DWORD error = GetLastError();
    if (error == ERROR_ALREADY_EXISTS) return is_folder(path) ? 0 : error;
    if (error != ERROR_PATH_NOT_FOUND && error != ERROR_FILE_NOT_FOUND) return error;
    // A missing parent: make it first, unless it is a drive or share root,
    // which no call can make (a drive that does not exist).
    const size_t cut = path.find_last_of(L'\\');
    if (cut == std::wstring::npos || cut == 0 || path[cut - 1] == L':' || path[cut - 1] == L'\\') return error;
    const DWORD parent_error = make_folder(path.substr(0, cut));
    if (parent_error != 0) return parent_error;
    if (CreateDirectoryW(path.c_str(), nullptr)) return 0;
    error = GetLastError();
    return error == ERROR_ALREADY_EXISTS && is_folder(path) ? 0 : error;
}

}  // namespace

bool create_folders(const std::string& path, std::string& error) {
    std::wstring folder = backslashes(widen(path));
    while (folder.size() > 1 && folder.back() == L'\\' && folder[folder.size() - 2] != L':') folder.pop_back();
    if (folder.empty()) return true;
    const DWORD code = make_folder(folder);
    if (code != 0) error = error_text(code);
    return code == 0;
}

// [SECTION] Environment and known folders

// The narrow getenv answers in the ANSI code page, which cannot hold a
// profile folder such as C:\Users\Łukasz; the wide call can.
const char* environment_value(const char* variable) {
    static std::string utf8;
    const std::wstring name = widen(variable);
    const DWORD length = GetEnvironmentVariableW(name.c_str(), nullptr, 0);
    if (length == 0) {
        if (GetLastError() == ERROR_ENVVAR_NOT_FOUND) return nullptr;
        utf8.clear();  // set but empty
        return utf8.c_str();
    }
    std::wstring value(length, L'\0');
    value.resize(GetEnvironmentVariableW(name.c_str(), &value[0], length));
    utf8 = narrow(value.c_str());
    return utf8.c_str();
}

std::string known_folder(KnownFolder folder) {
    const KNOWNFOLDERID* id = &FOLDERID_Desktop;
    if (folder == KnownFolder::Programs) id = &FOLDERID_Programs;
    if (folder == KnownFolder::LocalAppData) id = &FOLDERID_LocalAppData;
    if (folder == KnownFolder::Fonts) id = &FOLDERID_Fonts;
    wchar_t* path = nullptr;
    std::string result;
    // A folder redirected somewhere that is gone counts as none, so the
    // caller's fallback gets its chance.
    if (SHGetKnownFolderPath(*id, KF_FLAG_DONT_VERIFY, nullptr, &path) == S_OK && is_folder(path))
        result = narrow(path);
    CoTaskMemFree(path);
    return result;
}

void attach_parent_console() {
    const HANDLE err = GetStdHandle(STD_ERROR_HANDLE);
    if (err != nullptr && err != INVALID_HANDLE_VALUE && GetFileType(err) != FILE_TYPE_UNKNOWN) return;
    if (!AttachConsole(ATTACH_PARENT_PROCESS)) return;
    FILE* console = nullptr;
    if (freopen_s(&console, "CONOUT$", "w", stderr) == 0) setvbuf(stderr, nullptr, _IONBF, 0);
}

// [SECTION] Commands

// As `start` does: returns once the process exists.
void start_program(const std::string& program) {
    const std::wstring path = backslashes(widen(program));
    std::wstring line = L"\"" + path + L"\"";
    const size_t slash = path.find_last_of(L'\\');
    const std::wstring folder = slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    if (CreateProcessW(path.c_str(), &line[0], nullptr, nullptr, FALSE, 0, nullptr,
                       folder.empty() ? nullptr : folder.c_str(), &startup, &process)) {
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
}

// The whole line reaches PowerShell exactly as given: no interpreter expands
// % or reads & ^ !, and no console window flashes up. The program is named
// by its full path, so neither the current folder, PATH nor setup's own
// folder (where a stray powershell.exe may lie in Downloads) is searched.
void run_powershell(const std::string& command_line, const CommandWait& wait) {
    wchar_t system[MAX_PATH];
    const UINT length = GetSystemDirectoryW(system, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return;
    const std::wstring program = std::wstring(system, length) + L"\\WindowsPowerShell\\v1.0\\powershell.exe";
    const DWORD attributes = GetFileAttributesW(program.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) return;
    std::wstring line = widen(command_line);
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(program.c_str(), &line[0], nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr,
                        &startup, &process))
        return;
    // In slices, so the window answers the system meanwhile; a PowerShell
    // that never ends (a policy prompt, a broken profile) is left to itself.
    const ULONGLONG started = GetTickCount64();
    while (WaitForSingleObject(process.hProcess, COMMAND_WAIT_SLICE_MS) == WAIT_TIMEOUT &&
           GetTickCount64() - started < COMMAND_WAIT_LIMIT_MS) {
        if (wait.between_slices != nullptr) wait.between_slices(wait.user);
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
}

// [SECTION] Libraries and fonts

const char* font_library_name() { return "SDL2_ttf.dll"; }

std::string windows_fonts_folder() {
    const std::string folder = known_folder(KnownFolder::Fonts);
    return folder.empty() ? "C:/Windows/Fonts" : folder;
}
