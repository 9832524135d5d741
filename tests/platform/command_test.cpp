// The command layer's pieces that need no system: PowerShell's quoting of every single-quote character it
// accepts, and which lines start a program directly.
#include <gtest/gtest.h>

#include "setup/command.h"
#include "setup/shortcuts.h"

TEST(Commands, PowerShellQuotingDoublesAllFiveSingleQuotesAndOnlyAStartLineNamesAProgram) {
    const char* quoted[][2] = {
        {"C:\\Users\\O'Brien", "C:\\Users\\O''Brien"},
        {"O\u2018\u2019\u201A\u201B!", "O\u2018\u2018\u2019\u2019\u201A\u201A\u201B\u201B!"},
        {"\u201C%PATH%&^\u201D \u2026 \u2032 \u02BC", "\u201C%PATH%&^\u201D \u2026 \u2032 \u02BC"},  // not quotes there
        {"\xE2\x80", "\xE2\x80"},  // a cut-off character stays as it is
    };
    for (const auto& row : quoted) EXPECT_EQ(quote_for_powershell(row[0]), row[1]) << row[0];
    const char* started[][2] = {
        {"start \"\" \"C:/Games/Torvanel/Torvanel.exe\"", "C:/Games/Torvanel/Torvanel.exe"},
        {"start \"\" \"D:/100% ^&!/Torvanel.exe\"", "D:/100% ^&!/Torvanel.exe"},
        {"start \"\" \"\"", ""}, {"start \"\" \"a\" \"b\"", ""}, {"start \"\" \"C:/x.exe", ""},
        {"powershell -NoProfile -Command \"start \"\" \"x\"\"", ""},
    };
    for (const auto& row : started) EXPECT_EQ(start_command_program(row[0]), row[1]) << row[0];
}
