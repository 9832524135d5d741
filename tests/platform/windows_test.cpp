// What only Windows does, run there (under Wine here): the resources inside the exe and environment text read
// as UTF-16. The shortcut and launch command lines are left to the Wine program test.
#include <windows.h>
#include <gtest/gtest.h>

#include <filesystem>

#include "app/automation.h"
#include "app/setup_state.h"
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
    for (const char* part : {"=\"asInvoker\"", ">PerMonitorV2", ">UTF-8<", "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"})
        EXPECT_NE(manifest.find(part), std::string::npos) << part;
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
