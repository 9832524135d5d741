#include "tests/support/portable.h"

#include <cstdlib>
#include <filesystem>
#include <random>

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;

#ifdef _WIN32
static std::wstring widen(const std::string& utf8) { return fs::u8path(utf8).wstring(); }

void set_env(const char* name, const char* value) {
    const std::wstring wname = widen(name), wvalue = value ? widen(value) : std::wstring();
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

int run_program(const std::string& program, const std::vector<std::string>& args, const std::string& err_path) {
    std::wstring line = L"\"" + widen(program) + L"\"";
    for (const std::string& arg : args) line += L" \"" + widen(arg) + L"\"";
    SECURITY_ATTRIBUTES inherit = {sizeof(inherit), nullptr, TRUE};
    const HANDLE err = err_path.empty() ? INVALID_HANDLE_VALUE
                                        : CreateFileW(widen(err_path).c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit,
                                                      CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    if (err != INVALID_HANDLE_VALUE) {
        startup.dwFlags = STARTF_USESTDHANDLES, startup.hStdError = err;
        startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE), startup.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
    }
    PROCESS_INFORMATION process = {};
    DWORD code = static_cast<DWORD>(-1);
    if (CreateProcessW(widen(program).c_str(), &line[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                       &process)) {
        WaitForSingleObject(process.hProcess, INFINITE), GetExitCodeProcess(process.hProcess, &code);
        CloseHandle(process.hThread), CloseHandle(process.hProcess);
    }
    if (err != INVALID_HANDLE_VALUE) CloseHandle(err);
    return static_cast<int>(code);
}
#else
void set_env(const char* name, const char* value) { value ? setenv(name, value, 1) : unsetenv(name); }

int open_file_count(const std::string& path) {
    int count = 0;
    std::error_code error;
    for (const auto& fd : fs::directory_iterator("/proc/self/fd")) count += fs::read_symlink(fd, error) == path;
    return count;
}

int run_program(const std::string& program, const std::vector<std::string>& args, const std::string& err_path) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (!err_path.empty())
        posix_spawn_file_actions_addopen(&actions, 2, err_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    pid_t pid = 0;
    int status = 0;
    const bool ran = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ) == 0 &&
                     waitpid(pid, &status, 0) == pid;
    posix_spawn_file_actions_destroy(&actions);
    return ran && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}
#endif

std::string make_temp_dir(const std::string& prefix) {
    std::mt19937 random(std::random_device{}());
    for (;;) {
        const fs::path dir = fs::temp_directory_path() / fs::u8path(prefix + "-" + std::to_string(random()));
        std::error_code error;
        if (fs::create_directory(dir, error)) return dir.u8string();
        if (error) throw fs::filesystem_error("cannot make a temporary folder", dir, error);
    }
}
