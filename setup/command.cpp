// The command layer: see command.h.
#include "setup/command.h"

#include <cstdlib>

#ifdef _WIN32
#include <stdlib.h>
#include <windows.h>

#include <cstring>
#else
#include <cstdio>
#endif

namespace {

#ifdef _WIN32
// The narrow system() would read the line in the ANSI code page and mangle
// non-ASCII folder names; the wide call keeps them.
void system_runner(const std::string& command_line) {
    const int length = MultiByteToWideChar(CP_UTF8, 0, command_line.c_str(), -1, nullptr, 0);
    if (length <= 0) return;
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, command_line.c_str(), -1, &wide[0], length);
    _wsystem(wide.c_str());
}
#else
// No command interpreter or PowerShell here: say what would have run.
void system_runner(const std::string& command_line) {
    std::fprintf(stderr, "not run on this system: %s\n", command_line.c_str());
}
#endif

CommandRunner g_runner = nullptr;

}  // namespace

void run_command(const std::string& command_line) {
    (g_runner != nullptr ? g_runner : system_runner)(command_line);
}

void set_command_runner(CommandRunner runner) { g_runner = runner; }

#ifdef _WIN32
// The narrow getenv answers in the ANSI code page, which cannot hold a
// profile folder such as C:\Users\Łukasz; the wide one can.
const char* environment_value(const char* variable) {
    static std::string utf8;
    const std::wstring name(variable, variable + std::strlen(variable));
    const wchar_t* value = _wgetenv(name.c_str());
    if (value == nullptr) return nullptr;
    const int length = WideCharToMultiByte(CP_UTF8, 0, value, -1, nullptr, 0, nullptr, nullptr);
    if (length <= 0) return nullptr;
    utf8.assign(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, value, -1, &utf8[0], length, nullptr, nullptr);
    utf8.resize(static_cast<size_t>(length - 1));  // without the terminating zero
    return utf8.c_str();
}
#else
const char* environment_value(const char* variable) { return std::getenv(variable); }
#endif
