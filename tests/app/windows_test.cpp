// What only Windows does, run there (under Wine here): the resources inside the exe and environment text read
// as UTF-16. The shortcut and launch command lines are left to the Wine program test.
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>

#include "app/automation.h"
#include "app/setup_state.h"
#include "platform/platform.h"
#include "tests/support/gl_context.h"
#include "tests/support/portable.h"

namespace fs = std::filesystem;
static std::wstring wide(const std::string& utf8) { return fs::u8path(utf8).wstring(); }

TEST(Resources, IconManifestAndVersionAreInTheExe) {
    const HMODULE exe = LoadLibraryExW(wide(TORVANEL_SETUP_EXE).c_str(), nullptr,
                                       LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    ASSERT_NE(exe, nullptr) << TORVANEL_SETUP_EXE;
    const auto resource = [&](const char* type, WORD id) {
        const HRSRC found = FindResourceA(exe, MAKEINTRESOURCEA(id), type);
        const void* data = found ? LockResource(LoadResource(exe, found)) : nullptr;
        return data ? std::string(static_cast<const char*>(data), SizeofResource(exe, found)) : std::string();
    };
    EXPECT_EQ(resource(RT_GROUP_ICON, 1).size(), 6u + 7 * 14) << "the icon file's seven images (see the icon test)";
    const std::string manifest = resource(RT_MANIFEST, 1);
    const char* parts[] = {
        "=\"asInvoker\"",
        ">PerMonitorV2",
        ">UTF-8<",
        "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}",
        "<longPathAware xmlns=\"http://schemas.microsoft.com/SMI/2016/WindowsSettings\">true</longPathAware>",
    };
    for (const char* part : parts) EXPECT_NE(manifest.find(part), std::string::npos) << part;
    std::string version = resource(RT_VERSION, VS_VERSION_INFO);
    ASSERT_FALSE(version.empty());
    void* value = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(version.data(), L"\\StringFileInfo\\040904B0\\ProductVersion", &value, &length) &&
                length > 0);
    EXPECT_EQ(std::wstring(static_cast<const wchar_t*>(value), length - 1), wide(TORVANEL_VERSION));
    FreeLibrary(exe);
}

TEST(Environment, TheScreenshotPathArrivesAsUtf8AndTheShotLandsUnderANonAsciiName) {
    REQUIRE_GL();
    const std::string folder = make_temp_dir("torvanel-Łódź-Торвaнел"), shot = folder + "/張.bmp";
    SetupState state;
    Automation automation;
    set_env("ZR_SHOT", shot.c_str()), read_automation(automation, state), set_env("ZR_SHOT", nullptr);
    save_screenshot(automation.shot_path.c_str(), 16, 8);  // the pixels: the wizard tests' screenshot test
    EXPECT_TRUE(fs::exists(fs::u8path(shot))) << automation.shot_path;
    fs::remove_all(fs::u8path(folder));
}

// The system's text for an error code, as FormatMessage gives it, without its line break.
static std::string system_text(DWORD code) {
    wchar_t* text = nullptr;
    FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                   code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::string utf8 = text != nullptr ? fs::path(text).u8string() : std::string();
    LocalFree(text);
    while (!utf8.empty() && (utf8.back() == '\n' || utf8.back() == '\r' || utf8.back() == ' ')) utf8.pop_back();
    return utf8;
}

// A drive that does not exist is named by the system's own text for a missing path (the runtime's error codes once
// made it "File name too long"). Windows says the path is not found, Wine that the file is not.
TEST(Folders, AMissingDriveGivesTheSystemsTextForAMissingPath) {
    const DWORD drives = GetLogicalDrives();
    char letter = 'Y';
    while (letter > 'D' && (drives & (1u << (letter - 'A'))) != 0) --letter;
    ASSERT_GT(letter, 'D') << "every drive letter is in use";
    const std::string folder = std::string(1, letter) + ":/Local/Programs/Torvanel";
    std::string error;

    EXPECT_FALSE(create_folders(folder, error));

    EXPECT_TRUE(error == system_text(ERROR_PATH_NOT_FOUND) || error == system_text(ERROR_FILE_NOT_FOUND)) << error;
}
