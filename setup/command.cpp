// The command layer: see command.h.
#include "setup/command.h"

namespace {

constexpr char START_PREFIX[] = "start \"\" \"";
constexpr char POWERSHELL_PREFIX[] = "powershell ";

CommandRunner g_runner = nullptr;
CommandWait g_wait;

void system_runner(const std::string& command_line) {
    const std::string program = start_command_program(command_line);
    if (!program.empty()) start_program(program);
    else if (command_line.compare(0, sizeof(POWERSHELL_PREFIX) - 1, POWERSHELL_PREFIX) == 0)
        run_powershell(command_line, g_wait);
}

}  // namespace

void run_command(const std::string& command_line) { (g_runner != nullptr ? g_runner : system_runner)(command_line); }

void set_command_runner(CommandRunner runner) { g_runner = runner; }

void set_command_wait(const CommandWait& wait) { g_wait = wait; }

std::string start_command_program(const std::string& command_line) {
    const size_t prefix = sizeof(START_PREFIX) - 1;
    if (command_line.size() <= prefix + 1 || command_line.compare(0, prefix, START_PREFIX) != 0 ||
        command_line.back() != '"')
        return std::string();
    std::string program = command_line.substr(prefix, command_line.size() - prefix - 1);
    // A quote inside would make it more than one program path.
    return program.find('"') == std::string::npos ? program : std::string();
}
