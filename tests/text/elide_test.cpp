// Middle elision of paths as plain logic: widths are byte counts (the ellipsis is three), so every cut can
// be worked out by hand.
#include <gtest/gtest.h>

#include <string>

#include "text/elide.h"

namespace {

const MeasureText BYTES = [](const std::string& text) { return static_cast<int>(text.size()); };

const std::string PATH = "C:/Users/Ann/AppData/Local/Programs/Torvanel";  // 44 bytes

std::string around_ellipsis(const std::string& start, const std::string& end) { return start + ELLIPSIS + end; }

struct ElisionCase {
    const char* what;
    int max_width;
    std::string elided;
};

TEST(Elide, PathTooWideKeepsWholeFoldersAtBothEnds) {
    const ElisionCase rows[] = {
        {"a path that fits is kept", 44, PATH},
        {"one byte too few", 43, around_ellipsis("C:/Users/Ann/", "/Local/Programs/Torvanel")},
        {"room for the first and the last only", 15, around_ellipsis("C:/", "/Torvanel")},
    };
    for (const auto& row : rows) EXPECT_EQ(elide_path_middle(PATH, row.max_width, BYTES), row.elided) << row.what;
}

TEST(Elide, PathWithoutRoomForAWholeFolderAtEachEndKeepsCharacters) {
    const ElisionCase rows[] = {
        {"characters from both ends", 14, around_ellipsis("C:/Us", "rvanel")},
        {"no room even for the ellipsis", 2, ELLIPSIS},
    };
    for (const auto& row : rows) EXPECT_EQ(elide_path_middle(PATH, row.max_width, BYTES), row.elided) << row.what;
}

// Two-byte letters near the end of a long name: at both widths one more byte would fit, but only half a letter.
TEST(Elide, NameIsNeverCutInsideACharacter) {
    const std::string a(14, 'a');
    const std::string b(14, 'b');
    const std::string o_acute = "\xC3\xB3";
    const std::string name = std::string(4000, 'a') + "\xC5\x81\xC5\x81" + o_acute + b;
    const ElisionCase rows[] = {
        {"the last two-byte letter fits", 35, around_ellipsis(a + "aa", o_acute + b)},
        {"it does not", 32, around_ellipsis(a + "a", b)},
    };
    for (const auto& row : rows) EXPECT_EQ(elide_path_middle(name, row.max_width, BYTES), row.elided) << row.what;
}

}  // namespace
