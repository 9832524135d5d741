// What only Windows does, run there (under Wine here): the resources inside the exe, environment text read as
// UTF-16, and the command layer starting real programs (stand-ins that record how they were started) with
// folder names full of characters the command interpreter or PowerShell would read.
#ifndef UNICODE
#define UNICODE  // the wide resource types (RT_ICON and the rest)
#endif
#include <windows.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "app/automation.h"
#include "app/setup_state.h"
#include "setup/shortcuts.h"
#include "tests/support/gl_context.h"
#include "tests/support/portable.h"

namespace {
namespace fs = std::filesystem;
std::wstring wide(const std::string& utf8) { return fs::u8path(utf8).wstring(); }

TEST(Resources, IconManifestAndVersionAreInTheExe) {
    const HMODULE exe = LoadLibraryExW(wide(TORVANEL_SETUP_EXE).c_str(), nullptr,
                                       LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    ASSERT_NE(exe, nullptr) << TORVANEL_SETUP_EXE;
    const auto resource = [&](const wchar_t* type, WORD id) {
        const HRSRC found = FindResourceW(exe, MAKEINTRESOURCEW(id), type);
        const void* data = found ? LockResource(LoadResource(exe, found)) : nullptr;
        return data ? std::string(static_cast<const char*>(data), SizeofResource(exe, found)) : std::string();
    };
    EXPECT_EQ(resource(RT_GROUP_ICON, 1).size(), 6u + 7 * 14) << "the icon file's seven images (see the icon test)";
    const std::string manifest = resource(RT_MANIFEST, 1);
    for (const char* part : {"level=\"asInvoker\"", ">PerMonitorV2", ">true/pm<", ">UTF-8<",
                             "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"})
        EXPECT_NE(manifest.find(part), std::string::npos) << part;
    std::string version = resource(RT_VERSION, VS_VERSION_INFO);
    ASSERT_FALSE(version.empty());
    const auto query = [&](const wchar_t* key) {
        void* value = nullptr;
        UINT length = 0;
        return VerQueryValueW(version.data(), key, &value, &length) && value && length > 0
                   ? std::wstring(static_cast<const wchar_t*>(value), length - 1) : std::wstring();
    };
    EXPECT_EQ(query(L"\\StringFileInfo\\040904B0\\ProductName"), L"Torvanel Setup");
    EXPECT_EQ(query(L"\\StringFileInfo\\040904B0\\ProductVersion"), wide(TORVANEL_VERSION));
    FreeLibrary(exe);
}

TEST(Environment, TheScreenshotPathArrivesAsUtf8AndTheShotLandsUnderANonAsciiName) {
    set_env("ZR_SHOT", "C:\\Łódź\\張.bmp");
    SetupState state;
    Automation automation;
    read_automation(automation, state);
    set_env("ZR_SHOT", nullptr);
    EXPECT_EQ(automation.shot_path, "C:\\Łódź\\張.bmp");
    REQUIRE_GL();
    const std::string shot = make_temp_dir("torvanel-Łódź-Торвaнел") + "/張.bmp";
    save_screenshot(shot.c_str(), 16, 8);
    std::error_code error;
    EXPECT_EQ(fs::file_size(fs::u8path(shot), error), 54u + 16 * 8 * 3) << shot;
    fs::remove_all(fs::u8path(shot).parent_path(), error);
}

// The stand-in as powershell.exe first on PATH and as the game in a folder whose name holds ’ % & ^ ! and
// non-ASCII letters.
TEST(Commands, TheShortcutLineReachesPowerShellIntactAndLaunchStartsTheGameInItsFolder) {
    const std::string temp = make_temp_dir("torvanel-commands"), game = temp + "/Gra ’%PATH%& ^!x Łódź 張";
    fs::create_directories(fs::u8path(temp + "/bin")), fs::create_directories(fs::u8path(game));
    fs::copy_file(fs::u8path(RECORD_ARGS_EXE), fs::u8path(temp + "/bin/powershell.exe"));
    fs::copy_file(fs::u8path(RECORD_ARGS_EXE), fs::u8path(game + "/Torvanel.exe"));
    wchar_t path[32768];
    const std::wstring old_path(path, GetEnvironmentVariableW(L"PATH", path, 32768));
    SetEnvironmentVariableW(L"PATH", (wide(temp + "/bin") + L";" + old_path).c_str());
    const auto recorded = [&](const std::string& record) {  // waiting up to ten seconds for one not waited for
        for (int i = 0; i < 200 && !fs::exists(fs::u8path(record)); ++i) Sleep(50);
        std::ifstream in(fs::u8path(record), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    };
    set_env("TORVANEL_RECORD", (temp + "/shortcut.txt").c_str());
    create_shortcut(temp + "/O‘’‚‛'Brien/Desktop/Torvanel.lnk", game + "/Torvanel.exe", game);
    const std::string quoted_game = temp + "/Gra ’’%PATH%& ^!x Łódź 張";
    const std::string script = "$s=(New-Object -ComObject WScript.Shell).CreateShortcut('" + temp +
                               "/O‘‘’’‚‚‛‛''Brien/Desktop/Torvanel.lnk'); $s.TargetPath='" + quoted_game +
                               "/Torvanel.exe'; $s.WorkingDirectory='" + quoted_game +
                               "'; $s.Description='Torvanel'; $s.Save()";
    const std::string shortcut = recorded(temp + "/shortcut.txt");
    EXPECT_EQ(shortcut.substr(shortcut.find('\n') + 1),  // after the folder
              "powershell\n-NoProfile\n-WindowStyle\nHidden\n-ExecutionPolicy\nBypass\n-Command\n" + script + "\n");

    set_env("TORVANEL_RECORD", (temp + "/launch.txt").c_str());
    SetupState state;
    state.install_dir = game;
    launch_game(state);
    const std::string folder = fs::u8path(game).make_preferred().u8string();
    EXPECT_EQ(recorded(temp + "/launch.txt"), folder + "\n" + folder + "\\Torvanel.exe\n");
    SetEnvironmentVariableW(L"PATH", old_path.c_str()), set_env("TORVANEL_RECORD", nullptr);
    std::error_code ignored;
    fs::remove_all(fs::u8path(temp), ignored);
}
}  // namespace
