// The command layer: the two command lines the installation hands to the
// system (the PowerShell line of a shortcut, and the `start` line that
// starts the game) reach the platform layer here, or a runner a test put in
// its place. Results are never examined.
#pragma once
#include <string>

#include "platform/platform.h"

using CommandRunner = void (*)(const std::string& command_line);

// A line of the form  start "" "<program>"  starts that program in its own
// folder and returns at once (as `start` would); a line that begins with the
// word powershell runs PowerShell from the system folder and waits for it
// (within a bound, doing the command wait between slices). Any other line
// runs nothing.
void run_command(const std::string& command_line);
// Replaces the runner (tests capture command lines); null restores the system one.
void set_command_runner(CommandRunner runner);
// What to do while a command is waited for (the application keeps its window's
// messages flowing); the default does nothing.
void set_command_wait(const CommandWait& wait);

// The program named by a  start "" "<program>"  line; empty for any other line.
std::string start_command_program(const std::string& command_line);
