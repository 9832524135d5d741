// A stand-in for powershell.exe and for the game in the command-layer tests:
// appends to the UTF-8 file named by TORVANEL_RECORD one block of lines: the
// whole command line, each argument as Windows splits it, the working folder,
// then "end".
#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <string>

namespace {
std::string utf8(const wchar_t* wide) {
    const int n = WideCharToMultiByte(CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr);
    std::string out(n > 0 ? n - 1 : 0, '\0');
    if (n > 1) WideCharToMultiByte(CP_UTF8, 0, wide, -1, &out[0], n, nullptr, nullptr);
    return out;
}
}  // namespace

int main() {
    const wchar_t* record = _wgetenv(L"TORVANEL_RECORD");
    if (!record) return 2;
    std::string text = "line " + utf8(GetCommandLineW()) + "\n";
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    for (int i = 0; i < argc; ++i) text += "arg " + utf8(argv[i]) + "\n";
    LocalFree(argv);
    wchar_t folder[4096];
    GetCurrentDirectoryW(4096, folder);
    text += "cwd " + utf8(folder) + "\n";
    text += "end\n";
    FILE* f = _wfopen(record, L"ab");
    if (!f) return 3;
    std::fwrite(text.data(), 1, text.size(), f);
    std::fclose(f);
    return 0;
}
