#include "tests/support/portable.h"

#include <cstdlib>
#include <filesystem>
#include <random>

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;

#ifdef _WIN32
namespace {
std::wstring widen(const std::string& utf8) { return fs::u8path(utf8).wstring(); }

// The command-line rules of the C runtime: quotes around, backslashes doubled only where they precede a quote.
std::wstring quote_argument(const std::wstring& arg) {
    std::wstring quoted = L"\"";
    size_t slashes = 0;
    for (wchar_t c : arg) {
        if (c == L'\\') { ++slashes; continue; }
        quoted.append(c == L'"' ? 2 * slashes + 1 : slashes, L'\\') += c;
        slashes = 0;
    }
    return quoted.append(2 * slashes, L'\\') + L"\"";
}
}  // namespace

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
    std::wstring line = quote_argument(widen(program));
    for (const std::string& arg : args) line += L" " + quote_argument(widen(arg));
    SECURITY_ATTRIBUTES inherit = {sizeof(inherit), nullptr, TRUE};
    HANDLE err = INVALID_HANDLE_VALUE;
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    if (!err_path.empty()) {
        err = CreateFileW(widen(err_path).c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS,
                          FILE_ATTRIBUTE_NORMAL, nullptr);
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE), startup.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
        startup.hStdError = err;
    }
    PROCESS_INFORMATION process = {};
    const bool started = CreateProcessW(widen(program).c_str(), &line[0], nullptr, nullptr, TRUE, 0, nullptr,
                                        nullptr, &startup, &process);
    if (err != INVALID_HANDLE_VALUE) CloseHandle(err);
    if (!started) return -1;
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = 0;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread), CloseHandle(process.hProcess);
    return static_cast<int>(code);
}
#else
void set_env(const char* name, const char* value) { value ? setenv(name, value, 1) : unsetenv(name); }

int open_file_count(const std::string& path) {
    int count = 0;
    std::error_code error;
    for (const auto& fd : fs::directory_iterator("/proc/self/fd")) count += fs::read_symlink(fd, error) == fs::u8path(path);
    return count;
}

int run_program(const std::string& program, const std::vector<std::string>& args, const std::string& err_path) {
    const pid_t pid = fork();
    if (pid < 0) return -1;
    if (pid == 0) {
        if (!err_path.empty()) {
            const int fd = open(err_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            if (fd >= 0) dup2(fd, 2);
        }
        std::vector<char*> argv{const_cast<char*>(program.c_str())};
        for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
        argv.push_back(nullptr);
        execv(program.c_str(), argv.data());
        _exit(127);
    }
    int status = 0;
    if (waitpid(pid, &status, 0) != pid) return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}
#endif

std::string make_temp_dir(const std::string& prefix) {
    std::mt19937 random(std::random_device{}());
    for (;;) {
        std::string name = prefix + "-";
        for (int i = 0; i < 6; ++i) name += "abcdefghijklmnopqrstuvwxyz0123456789"[random() % 36];
        const fs::path dir = fs::temp_directory_path() / fs::u8path(name);
        std::error_code error;
        if (fs::create_directory(dir, error)) return dir.u8string();
        if (error) throw fs::filesystem_error("cannot make a temporary folder", dir, error);
    }
}
