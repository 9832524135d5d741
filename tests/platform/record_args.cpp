// A stand-in for powershell.exe and for the game in the command-layer tests: writes the UTF-8 file named by
// TORVANEL_RECORD, one line each for its working folder and for every argument as Windows splits the command line.
#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <string>

static std::string line(const wchar_t* wide) {  // UTF-8, a newline in place of the terminating zero
    const int n = WideCharToMultiByte(CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr);
    std::string out(n > 0 ? n : 1, '\n');
    WideCharToMultiByte(CP_UTF8, 0, wide, -1, &out[0], n, nullptr, nullptr);
    return out.back() = '\n', out;
}

int main() {
    wchar_t folder[4096];
    GetCurrentDirectoryW(4096, folder);
    std::string text = line(folder);
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    for (int i = 0; i < argc; ++i) text += line(argv[i]);
    const wchar_t* record = _wgetenv(L"TORVANEL_RECORD");
    const std::wstring part = std::wstring(record ? record : L"") + L".part";  // renamed once whole
    FILE* f = record ? _wfopen(part.c_str(), L"wb") : nullptr;
    return f && std::fwrite(text.data(), 1, text.size(), f) == text.size() && std::fclose(f) == 0 &&
                   _wrename(part.c_str(), record) == 0 ? 0 : 1;
}
