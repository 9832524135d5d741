// The command layer: the one place the program talks to the operating system
// beyond files, and the only home of Windows-only code. A command line runs
// on Windows without a console window and without the command interpreter
// (so % ! ^ & in a folder name stay literal); elsewhere a stand-in runs
// nothing and says so on standard error. Results are never examined.
// Environment variables are read here too, because on Windows only the wide
// call gives them in the UTF-8 every path of the engine uses.
#pragma once
#include <string>

using CommandRunner = void (*)(const std::string& command_line);

// Windows: a line of the form  start "" "<program>"  starts that program
// directly, with the program's folder as working folder, and returns at once
// (as `start` would); any other line starts its first word (looked up in the
// current folder, then along PATH, as the command interpreter would) with
// CREATE_NO_WINDOW and waits for it to end.
void run_command(const std::string& command_line);
// Replaces the runner (tests capture command lines); null restores the system one.
void set_command_runner(CommandRunner runner);

// The program named by a  start "" "<program>"  line; empty for any other line.
std::string start_command_program(const std::string& command_line);

// The variable's value as UTF-8; null when it is unset. The text stays valid
// until the next call.
const char* environment_value(const char* variable);

// Windows: a GUI program has no standard error of its own; when it was
// started from a console and its standard error is not redirected, its
// lines go to that console. Does nothing elsewhere.
void attach_parent_console();
