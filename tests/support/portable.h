// What the tests need from the system, the same on Linux and Windows; every text is UTF-8 (Windows converts
// it to UTF-16, never the ANSI code page, so non-ASCII names survive).
#pragma once
#include <string>
#include <vector>

// Sets the variable (null unsets it) for both the C library and the system's own environment.
void set_env(const char* name, const char* value);
// A new empty folder under the system's temporary folder, named prefix-<random number>.
std::string make_temp_dir(const std::string& prefix);
// Runs program with these arguments (no single quote on Linux, no double quote or final backslash on Windows) and
// the same standard streams; returns its exit code, never 0 when it could not run.
int run_program(const std::string& program, const std::vector<std::string>& args);
// How many of this process's open files are the file at path (Windows: 1 if one forbids deleting it, else 0).
int open_file_count(const std::string& path);
// Whether a file this process holds open may be removed (not on Windows, where the C runtime's files forbid it).
bool open_files_can_be_removed();
