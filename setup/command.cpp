// The command layer: see command.h.
#include "setup/command.h"

#ifdef _WIN32
#include <stdlib.h>
#include <windows.h>
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
