// A stand-in for a program the setup starts on Windows: built as a console powershell.exe (shortcuts) and as a GUI
// Torvanel.exe (the installed game). It only appends one block per start to the UTF-8 file named by
// TORVANEL_STANDIN_RECORD: "program <module path>", "argc <n>", "arg <each argument, as the C runtime and
// PowerShell split them>", "cwd <working folder>", "console-window <yes|no>" and "end", a line each. With
// TORVANEL_STANDIN_SLEEP set it then sleeps that many seconds, as a PowerShell that hangs.
#include <windows.h>

#include <shellapi.h>

#include <cstdio>
#include <cwchar>
#include <string>

static std::string utf8(const wchar_t* wide) {  // at most 3 bytes for each UTF-16 unit
    std::string text(3 * wcslen(wide) + 1, '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide, -1, &text[0], static_cast<int>(text.size()), nullptr, nullptr);
    return text.c_str();
}

int main() {
    const wchar_t* record = _wgetenv(L"TORVANEL_STANDIN_RECORD");
    if (record == nullptr) return 2;
    wchar_t module[4096], cwd[4096];
    GetModuleFileNameW(nullptr, module, 4096);
    GetCurrentDirectoryW(4096, cwd);
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    std::string block = "program " + utf8(module) + "\nargc " + std::to_string(argc) + "\n";
    for (int i = 0; argv != nullptr && i < argc; ++i) block += "arg " + utf8(argv[i]) + "\n";
    LocalFree(argv);
    // A console program started without CREATE_NO_WINDOW gets a visible console.
    block += "cwd " + utf8(cwd) + "\nconsole-window " + (GetConsoleWindow() != nullptr ? "yes" : "no") + "\nend\n";
    FILE* file = _wfopen(record, L"ab");  // several starts may append to one record
    if (file == nullptr || std::fputs(block.c_str(), file) < 0) return 3;
    if (std::fclose(file) != 0) return 4;
    if (const wchar_t* sleep = _wgetenv(L"TORVANEL_STANDIN_SLEEP")) Sleep(std::wcstoul(sleep, nullptr, 10) * 1000);
    return 0;
}
