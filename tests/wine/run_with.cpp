// Starts a program with some environment variables set, waits for it and
// returns its exit code:  run_with.exe NAME=VALUE... -- program.exe
// Wine sets USERPROFILE, APPDATA and LOCALAPPDATA from its own profile and
// ignores the values of the Unix environment, so a test that needs other
// profile folders sets them here, through the same wide calls Windows uses.
#include <windows.h>

#include <cstdio>
#include <string>

int wmain(int argc, wchar_t** argv) {
    int i = 1;
    for (; i < argc && std::wstring(argv[i]) != L"--"; ++i) {
        const std::wstring pair = argv[i];
        const size_t equals = pair.find(L'=');
        if (equals == std::wstring::npos || equals == 0) return 120;
        SetEnvironmentVariableW(pair.substr(0, equals).c_str(), pair.substr(equals + 1).c_str());
    }
    if (i + 1 >= argc) return 121;
    std::wstring program = argv[i + 1];
    std::wstring line = L"\"" + program + L"\"";
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    // Under a busy Wine the start has failed now and then; a start that keeps
    // failing is still reported, with the system's reason.
    bool started = false;
    for (int attempt = 0; attempt < 5 && !started; ++attempt) {
        if (attempt > 0) Sleep(1000);
        started = CreateProcessW(program.c_str(), &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                                 &startup, &process);
    }
    if (!started) {
        fprintf(stderr, "run_with: cannot start the program: error %lu\n", GetLastError());
        return 122;
    }
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = 123;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return static_cast<int>(code);
}
