// The command layer: the one place a command line reaches the operating
// system. On Windows it goes to the command interpreter (UTF-8 converted to
// UTF-16 for _wsystem); elsewhere a stand-in runs nothing and says so on
// standard error. Results are never examined.
#pragma once
#include <string>

using CommandRunner = void (*)(const std::string& command_line);

void run_command(const std::string& command_line);
// Replaces the runner (tests capture command lines); null restores the system one.
void set_command_runner(CommandRunner runner);
