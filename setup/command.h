// The command layer: the one place the program talks to the operating system
// beyond files. A command line goes to the command interpreter on Windows
// (UTF-8 converted to UTF-16 for _wsystem); elsewhere a stand-in runs nothing
// and says so on standard error. Results are never examined. Environment
// variables are read here too, because on Windows only the wide call gives
// them in the UTF-8 every path of the engine uses.
#pragma once
#include <string>

using CommandRunner = void (*)(const std::string& command_line);

void run_command(const std::string& command_line);
// Replaces the runner (tests capture command lines); null restores the system one.
void set_command_runner(CommandRunner runner);

// The variable's value as UTF-8; null when it is unset. The text stays valid
// until the next call.
const char* environment_value(const char* variable);
