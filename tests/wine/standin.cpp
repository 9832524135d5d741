// A stand-in for a program the setup starts on Windows: built as a console powershell.exe (shortcuts) and as a GUI
// Torvanel.exe (the installed game). It only appends one block per start to the UTF-8 file named by
// TORVANEL_STANDIN_RECORD: "program <module path>", "argc <n>", "arg <each argument, as the C runtime and
// PowerShell split them>", "cwd <working folder>", "console-window <yes|no>" and "end", a line each.
#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <string>

static std::string utf8(const wchar_t* wide) {
    const int length = WideCharToMultiByte(CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<size_t>(length > 0 ? length : 0), '\0');
    if (text.empty()) return text;
    WideCharToMultiByte(CP_UTF8, 0, wide, -1, &text[0], static_cast<int>(text.size()), nullptr, nullptr);
    text.pop_back();  // the terminating zero
    return text;
}

int main() {
    wchar_t record[4096], module[4096], cwd[4096];
    const DWORD n = GetEnvironmentVariableW(L"TORVANEL_STANDIN_RECORD", record, 4096);
    if (n == 0 || n >= 4096) return 2;
    GetModuleFileNameW(nullptr, module, 4096);
    GetCurrentDirectoryW(4096, cwd);
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    std::string block = "program " + utf8(module) + "\nargc " + std::to_string(argc) + "\n";
    for (int i = 0; argv != nullptr && i < argc; ++i) block += "arg " + utf8(argv[i]) + "\n";
    LocalFree(argv);
    // A console program started without CREATE_NO_WINDOW gets a visible console.
    block += "cwd " + utf8(cwd) + "\nconsole-window " + (GetConsoleWindow() != nullptr ? "yes" : "no") + "\nend\n";
    // Several starts may append to one record: open, append and close each time.
    FILE* file = _wfopen(record, L"ab");
    if (file == nullptr) return 3;
    std::fwrite(block.data(), 1, block.size(), file);
    std::fclose(file);
    return 0;
}
