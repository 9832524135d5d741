// The command layer: see command.h.
#include "setup/command.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

constexpr char START_PREFIX[] = "start \"\" \"";

CommandRunner g_runner = nullptr;

#ifdef _WIN32
// [SECTION] Windows

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

// Where the command interpreter would find a bare program name: the current
// folder first, then PATH in order. Empty when the name has a folder in it
// or is not found (CreateProcessW then searches by its own rules).
std::wstring find_program(const std::wstring& name) {
    if (name.empty() || name.find_first_of(L"\\/:") != std::wstring::npos) return std::wstring();
    std::wstring search = L".";
    const DWORD path_length = GetEnvironmentVariableW(L"PATH", nullptr, 0);
    if (path_length > 0) {
        std::wstring path(path_length, L'\0');
        path.resize(GetEnvironmentVariableW(L"PATH", &path[0], path_length));
        search += L";" + path;
    }
    wchar_t found[MAX_PATH * 4];
    const DWORD n = SearchPathW(search.c_str(), name.c_str(), L".exe", MAX_PATH * 4, found, nullptr);
    return n > 0 && n < MAX_PATH * 4 ? std::wstring(found, n) : std::wstring();
}

// `start` returns once the process exists; so does this.
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

// The whole line reaches the program exactly as given: no interpreter
// expands % or reads & ^ !, and no console window flashes up.
void run_hidden_and_wait(const std::string& command_line) {
    std::wstring line = widen(command_line);
    const std::wstring program = find_program(line.substr(0, line.find(L' ')));
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(program.empty() ? nullptr : program.c_str(), &line[0], nullptr, nullptr, FALSE,
                        CREATE_NO_WINDOW, nullptr, nullptr, &startup, &process))
        return;
    WaitForSingleObject(process.hProcess, INFINITE);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
}

void system_runner(const std::string& command_line) {
    const std::string program = start_command_program(command_line);
    if (!program.empty()) start_program(program);
    else run_hidden_and_wait(command_line);
}
#else
// No command interpreter or PowerShell here: say what would have run.
void system_runner(const std::string& command_line) {
    std::fprintf(stderr, "not run on this system: %s\n", command_line.c_str());
}
#endif

}  // namespace

void run_command(const std::string& command_line) {
    (g_runner != nullptr ? g_runner : system_runner)(command_line);
}

void set_command_runner(CommandRunner runner) { g_runner = runner; }

std::string start_command_program(const std::string& command_line) {
    const size_t prefix = sizeof(START_PREFIX) - 1;
    if (command_line.size() <= prefix + 1 || command_line.compare(0, prefix, START_PREFIX) != 0 ||
        command_line.back() != '"')
        return std::string();
    std::string program = command_line.substr(prefix, command_line.size() - prefix - 1);
    // A quote inside would make it more than one program path.
    return program.find('"') == std::string::npos ? program : std::string();
}

#ifdef _WIN32
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

void attach_parent_console() {
    const HANDLE err = GetStdHandle(STD_ERROR_HANDLE);
    if (err != nullptr && err != INVALID_HANDLE_VALUE && GetFileType(err) != FILE_TYPE_UNKNOWN) return;
    if (!AttachConsole(ATTACH_PARENT_PROCESS)) return;
    FILE* console = nullptr;
    if (freopen_s(&console, "CONOUT$", "w", stderr) == 0) setvbuf(stderr, nullptr, _IONBF, 0);
}
#else
const char* environment_value(const char* variable) { return std::getenv(variable); }

void attach_parent_console() {}
#endif
