// What only Windows does, run there (under Wine here): the resources inside the exe, environment folders read
// as UTF-16, and the command layer starting real programs (stand-ins that record how they were started) with
// folder names full of characters the command interpreter or PowerShell would read.
#ifndef UNICODE
#define UNICODE  // the wide resource types (RT_ICON and the rest)
#endif
#include <windows.h>
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "app/automation.h"
#include "app/setup_state.h"
#include "setup/command.h"
#include "setup/paths.h"
#include "setup/shortcuts.h"
#include "tests/support/gl_context.h"
#include "tests/support/portable.h"

namespace {

namespace fs = std::filesystem;
using Strings = std::vector<std::string>;

std::wstring wide(const std::string& utf8) { return fs::u8path(utf8).wstring(); }

// [SECTION] resources

struct Module {
    HMODULE handle = LoadLibraryExW(wide(TORVANEL_SETUP_EXE).c_str(), nullptr,
                                    LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    ~Module() { FreeLibrary(handle); }
    std::string resource(const wchar_t* type, const wchar_t* name) const {
        HRSRC found = FindResourceW(handle, name, type);
        const void* data = found ? LockResource(LoadResource(handle, found)) : nullptr;
        return data ? std::string(static_cast<const char*>(data), SizeofResource(handle, found)) : std::string();
    }
};

#pragma pack(push, 2)
struct GroupEntry {  // one entry of an RT_GROUP_ICON resource
    BYTE width, height, colours, reserved;
    WORD planes, bits;
    DWORD bytes;
    WORD id;
};
#pragma pack(pop)

TEST(Resources, IconManifestAndVersionAreInTheExe) {
    const Module exe;
    ASSERT_NE(exe.handle, nullptr) << TORVANEL_SETUP_EXE;

    const std::string group = exe.resource(RT_GROUP_ICON, MAKEINTRESOURCEW(1));
    ASSERT_EQ(group.size(), 6 + 7 * sizeof(GroupEntry));
    const auto* entries = reinterpret_cast<const GroupEntry*>(group.data() + 6);
    const int sizes[] = {16, 24, 32, 48, 64, 128, 256};
    for (int i = 0; i < 7; ++i) {
        SCOPED_TRACE(sizes[i]);
        EXPECT_EQ(entries[i].width, sizes[i] % 256);
        EXPECT_EQ(entries[i].height, sizes[i] % 256);
        EXPECT_EQ(entries[i].bits, 32);
        const std::string image = exe.resource(RT_ICON, MAKEINTRESOURCEW(entries[i].id));
        ASSERT_EQ(image.size(), entries[i].bytes);
        EXPECT_EQ(image.compare(0, 4, "\x89PNG") == 0, sizes[i] == 256) << "PNG exactly at 256";
    }

    const std::string manifest = exe.resource(RT_MANIFEST, MAKEINTRESOURCEW(1));
    for (const char* part : {"level=\"asInvoker\"", ">PerMonitorV2", ">true/pm<", ">UTF-8<",
                             "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"})
        EXPECT_NE(manifest.find(part), std::string::npos) << part;

    std::string version = exe.resource(RT_VERSION, MAKEINTRESOURCEW(VS_VERSION_INFO));
    ASSERT_FALSE(version.empty());
    const auto query = [&](const wchar_t* key) {
        void* value = nullptr;
        UINT length = 0;
        if (!VerQueryValueW(version.data(), key, &value, &length) || !value) return std::wstring();
        return std::wstring(static_cast<const wchar_t*>(value), length > 0 ? length - 1 : 0);
    };
    EXPECT_EQ(query(L"\\StringFileInfo\\040904B0\\ProductName"), L"Torvanel Setup");
    EXPECT_EQ(query(L"\\StringFileInfo\\040904B0\\ProductVersion"), wide(TORVANEL_VERSION));
}

// [SECTION] environment folders

TEST(Environment, FoldersAndTheScreenshotPathArriveAsUtf8) {
    const char* local = "C:\\Users\\Łukasz 張\\AppData\\Local";
    set_env("LOCALAPPDATA", local);
    SetupState state;
    build_install_candidates(state);
    EXPECT_EQ(state.install_dir, std::string(local) + "/Programs/Torvanel");
    set_env("USERPROFILE", "");  // set but empty
    EXPECT_EQ(env_folder("USERPROFILE"), ".");

    set_env("ZR_SHOT", "C:\\Łódź\\張.bmp");
    Automation automation;
    read_automation(automation, state);
    EXPECT_EQ(automation.shot_path, "C:\\Łódź\\張.bmp");
    set_env("ZR_SHOT", nullptr);
}

TEST(Environment, ScreenshotLandsUnderANonAsciiName) {
    REQUIRE_GL();
    const std::string shot = make_temp_dir("torvanel-Łódź-Торвaнел") + "/張.bmp";
    save_screenshot(shot.c_str(), 16, 8);
    std::error_code error;
    EXPECT_EQ(fs::file_size(fs::u8path(shot), error), 54u + 16 * 8 * 3) << shot;
    fs::remove_all(fs::u8path(shot).parent_path(), error);
}

// [SECTION] the command layer against stand-ins

struct Record { std::string line, cwd; Strings args; };

// A temporary folder with the stand-in as powershell.exe first on PATH, and
// a game folder whose name holds ’ % & ^ ! and non-ASCII letters.
struct Commands : testing::Test {
    std::string temp = make_temp_dir("torvanel-commands"), record = temp + "/record.txt";
    std::string game = temp + "/Gra ’%PATH%& ^!x Łódź 張";
    std::wstring old_path;

    void SetUp() override {
        fs::create_directories(fs::u8path(temp + "/bin"));
        fs::create_directories(fs::u8path(game));
        fs::copy_file(fs::u8path(RECORD_ARGS_EXE), fs::u8path(temp + "/bin/powershell.exe"));
        fs::copy_file(fs::u8path(RECORD_ARGS_EXE), fs::u8path(game + "/Torvanel.exe"));
        wchar_t path[32768];
        old_path.assign(path, GetEnvironmentVariableW(L"PATH", path, 32768));
        SetEnvironmentVariableW(L"PATH", (wide(temp + "/bin") + L";" + old_path).c_str());
        set_env("TORVANEL_RECORD", record.c_str());
        set_command_runner(nullptr);
    }
    void TearDown() override {
        SetEnvironmentVariableW(L"PATH", old_path.c_str());
        set_env("TORVANEL_RECORD", nullptr);
        std::error_code ignored;
        fs::remove_all(fs::u8path(temp), ignored);
    }
    // The stand-in's record, waiting up to ten seconds for a program that was not waited for.
    Record read_record() {
        std::string text;
        for (int i = 0; i < 200 && text.find("\nend\n") == std::string::npos; ++i) {
            std::ifstream in(fs::u8path(record), std::ios::binary);
            text.assign(std::istreambuf_iterator<char>(in), {});
            if (text.find("\nend\n") == std::string::npos) std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        Record r;
        size_t at = 0;
        for (size_t end; (end = text.find('\n', at)) != std::string::npos; at = end + 1) {
            const std::string row = text.substr(at, end - at);
            if (row.rfind("line ", 0) == 0) r.line = row.substr(5);
            else if (row.rfind("arg ", 0) == 0) r.args.push_back(row.substr(4));
            else if (row.rfind("cwd ", 0) == 0) r.cwd = row.substr(4);
        }
        return r;
    }
};

TEST_F(Commands, ShortcutLineReachesPowerShellAsOneIntactCommand) {
    const std::string link = temp + "/O‘’‚‛'Brien/Desktop/Torvanel.lnk";
    create_shortcut(link, game + "/Torvanel.exe", game);
    const Record r = read_record();
    const std::string q = "‘‘’’‚‚‛‛''";
    const std::string quoted_game = temp + "/Gra ’’%PATH%& ^!x Łódź 張";
    const std::string script = "$s=(New-Object -ComObject WScript.Shell).CreateShortcut('" + temp + "/O" + q +
                               "Brien/Desktop/Torvanel.lnk'); $s.TargetPath='" + quoted_game +
                               "/Torvanel.exe'; $s.WorkingDirectory='" + quoted_game +
                               "'; $s.Description='Torvanel'; $s.Save()";
    EXPECT_EQ(r.args, (Strings{"powershell", "-NoProfile", "-WindowStyle", "Hidden", "-ExecutionPolicy", "Bypass",
                               "-Command", script}));
    EXPECT_EQ(r.line, "powershell -NoProfile -WindowStyle Hidden -ExecutionPolicy Bypass -Command \"" + script + "\"");
}

TEST_F(Commands, LaunchStartsTheGameInItsFolderWithTheNameUnexpanded) {
    SetupState state;
    state.install_dir = game;
    launch_game(state);
    const Record r = read_record();
    const std::string folder = fs::u8path(game).make_preferred().u8string();
    ASSERT_EQ(r.args.size(), 1u) << r.line;
    EXPECT_EQ(r.args[0], folder + "\\Torvanel.exe");
    EXPECT_EQ(r.cwd, folder);
}

}  // namespace
