#include "tests/support/portable.h"

#include <cstdlib>
#include <filesystem>
#include <random>

#include "platform/platform.h"

#if !TORVANEL_POSIX
#include <process.h>
#include <windows.h>
#else
#include <sys/wait.h>
#endif

namespace fs = std::filesystem;

#if !TORVANEL_POSIX
static std::wstring widen(const std::string& utf8) { return fs::u8path(utf8).wstring(); }

void set_env(const char* name, const char* value) {
    const std::wstring wname = widen(name);
    const std::wstring wvalue = value ? widen(value) : std::wstring();
    _wputenv_s(wname.c_str(), wvalue.c_str());  // an empty value removes it from the C runtime
    SetEnvironmentVariableW(wname.c_str(), value ? wvalue.c_str() : nullptr);
}

// Files the C runtime opens forbid deleting them while open: an open for deleting fails then.
int open_file_count(const std::string& path) {
    const HANDLE h = CreateFileW(widen(path).c_str(), DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                 nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return GetLastError() == ERROR_SHARING_VIOLATION ? 1 : 0;
    CloseHandle(h);
    return 0;
}

bool open_files_can_be_removed() { return false; }

int run_program(const std::string& program, const std::vector<std::string>& args) {
    std::wstring line = L"\"" + widen(program) + L"\"";  // the runtime would join separate arguments with spaces
    for (const std::string& arg : args) line += L" \"" + widen(arg) + L"\"";
    const wchar_t* argv[] = {line.c_str(), nullptr};
    return static_cast<int>(_wspawnv(_P_WAIT, widen(program).c_str(), argv));
}
#else
void set_env(const char* name, const char* value) {
    if (value) setenv(name, value, 1);
    else unsetenv(name);
}

int open_file_count(const std::string& path) {
    int count = 0;
    std::error_code error;
    for (const auto& fd : fs::directory_iterator("/proc/self/fd")) {
        if (fs::read_symlink(fd, error) == path) ++count;
    }
    return count;
}

bool open_files_can_be_removed() { return true; }

int run_program(const std::string& program, const std::vector<std::string>& args) {
    std::string line = "'" + program + "'";
    for (const std::string& arg : args) line += " '" + arg + "'";
    const int status = std::system(line.c_str());
    return status != -1 && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}
#endif

std::string make_temp_dir(const std::string& prefix) {
    std::mt19937 random(std::random_device{}());
    for (;;) {
        const fs::path dir = fs::temp_directory_path() / fs::u8path(prefix + "-" + std::to_string(random()));
        if (fs::create_directory(dir)) return dir.u8string();  // false when it exists; throws on other errors
    }
}
