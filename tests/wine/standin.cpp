// A stand-in for a program the setup starts on Windows: built as a console
// powershell.exe (shortcuts) and as a GUI Torvanel.exe (the installed game).
// It does nothing but append what it was given to the UTF-8 file named by
// TORVANEL_STANDIN_RECORD, one block per start, so a test under Wine can
// check the exact command line, working folder and console of each start:
//   program <module path>
//   line <the raw command line>
//   argc <n>
//   arg <each argument, as the C runtime and PowerShell split it>
//   cwd <working folder>
//   console-window <yes|no>
//   end
#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <string>

namespace {

std::string utf8(const wchar_t* wide) {
    const int length = WideCharToMultiByte(CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr);
    if (length <= 1) return std::string();
    std::string text(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide, -1, &text[0], length, nullptr, nullptr);
    text.resize(static_cast<size_t>(length - 1));
    return text;
}

}  // namespace

int main() {
    wchar_t record_path[4096];
    const DWORD n = GetEnvironmentVariableW(L"TORVANEL_STANDIN_RECORD", record_path, 4096);
    if (n == 0 || n >= 4096) return 2;

    std::string block;
    wchar_t module[4096];
    GetModuleFileNameW(nullptr, module, 4096);
    block += "program " + utf8(module) + "\n";
    const wchar_t* line = GetCommandLineW();
    block += "line " + utf8(line) + "\n";
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(line, &argc);
    block += "argc " + std::to_string(argc) + "\n";
    for (int i = 0; argv != nullptr && i < argc; ++i) block += "arg " + utf8(argv[i]) + "\n";
    LocalFree(argv);
    wchar_t cwd[4096];
    GetCurrentDirectoryW(4096, cwd);
    block += "cwd " + utf8(cwd) + "\n";
    // A console program started without CREATE_NO_WINDOW gets a visible console.
    block += std::string("console-window ") + (GetConsoleWindow() != nullptr ? "yes" : "no") + "\nend\n";

    // Several starts may append to one record; open, append and close each time.
    FILE* file = _wfopen(record_path, L"ab");
    if (file == nullptr) return 3;
    std::fwrite(block.data(), 1, block.size(), file);
    std::fclose(file);
    return 0;
}
