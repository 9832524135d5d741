// run_with.exe NAME=VALUE... -- program.exe: starts the program with the variables set, waits for it and returns
// its exit code. Wine sets USERPROFILE, APPDATA and LOCALAPPDATA from its own profile, ignoring the Unix
// environment, so a test that needs other profile folders sets them here, through the wide calls Windows uses.
#include <windows.h>

#include <cstdio>
#include <string>

int wmain(int argc, wchar_t** argv) {
    int i = 1;
    for (const wchar_t* equals; i < argc && std::wstring(argv[i]) != L"--"; ++i) {
        if ((equals = wcschr(argv[i], L'=')) == nullptr) return 120;
        SetEnvironmentVariableW(std::wstring(argv[i], equals - argv[i]).c_str(), equals + 1);
    }
    if (i + 1 >= argc) return 121;
    std::wstring line = L"\"" + std::wstring(argv[i + 1]) + L"\"";
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    int attempt = 0;  // under a busy Wine a start has failed now and then: five tries, a second apart
    while (!CreateProcessW(argv[i + 1], &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
        if (++attempt == 5) return std::fprintf(stderr, "run_with: cannot start: error %lu\n", GetLastError()), 122;
        Sleep(1000);
    }
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = 123;
    GetExitCodeProcess(process.hProcess, &code);
    return static_cast<int>(code);
}
