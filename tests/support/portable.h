// What the tests need from the system, the same on Linux and Windows:
// environment variables set in UTF-8, fresh temporary folders, and running a
// program to learn its exit code. On Windows every text is UTF-8 converted
// to UTF-16 (never the ANSI code page), so non-ASCII names survive.
#pragma once
#include <string>
#include <vector>

// Sets the variable (null unsets it) where both the C library and the
// system's own environment see it.
void set_env(const char* name, const char* value);
// A new empty folder under the system's temporary folder, named prefix-XXXXXX; UTF-8.
std::string make_temp_dir(const std::string& prefix);
// Runs program with these arguments (no shell in between), standard error to
// err_path when it is not empty; returns its exit code, -1 when it could not run.
int run_program(const std::string& program, const std::vector<std::string>& args,
                const std::string& err_path = "");
// How many of this process's open files are the file at path (Windows: 1
// when a handle that forbids deleting it is open, else 0).
int open_file_count(const std::string& path);
