// Wrapping as plain logic: widths are byte counts, so every break can be
// worked out by hand.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "text/paragraph.h"

namespace {

using Lines = std::vector<std::string>;

// Byte widths add up exactly across joints, so the size behind them is moot.
constexpr int BYTE_FONT_SIZE = 1;

Lines wrap_by_bytes(const std::string& text, int max_width) {
    const MeasureText bytes = [](const std::string& t) { return static_cast<int>(t.size()); };
    return wrap_text(text, max_width, bytes, BYTE_FONT_SIZE);
}

}  // namespace

TEST(WrapText, LineBreaksFallAtSeparatorsAndBetweenIdeographsOnly) {
    const struct {
        const char* what;
        std::string text;
        int max_width;
        Lines lines;
    } rows[] = {
        {"a word wider than the line stands alone", "Next", 1, {"Next"}},
        {"separators shrink to one space", "  Install   \nnow ", 11, {"Install now"}},
        {"one byte too few breaks", "Install now", 10, {"Install", "now"}},
        {"ideographs break anywhere",
         "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E",
         6,
         {"\xE6\x97\xA5\xE6\x9C\xAC", "\xE8\xAA\x9E"}},
        {"a word joins an ideograph without a space", "\xE6\x97\xA5Torvanel", 11, {"\xE6\x97\xA5Torvanel"}},
        {"and may break from it", "\xE6\x97\xA5Torvanel", 10, {"\xE6\x97\xA5", "Torvanel"}},
        {"nothing but separators", " \n  ", 10, {}},
    };
    for (const auto& row : rows) EXPECT_EQ(wrap_by_bytes(row.text, row.max_width), row.lines) << row.what;
}

// A stray continuation byte or a cut-short lead is a character of its own, so the space after it still
// separates two words.
TEST(WrapText, MalformedByteNeverSwallowsTheSpaceAfterIt) {
    const struct {
        const char* what;
        std::string text;
        Lines lines;
    } rows[] = {
        {"a stray continuation byte", "a\x80 b", {"a\x80", "b"}},
        {"a four-byte lead alone", "a\xF0 b", {"a\xF0", "b"}},
        {"a three-byte sequence cut short", "\xE6\x97 b", {"\xE6\x97", "b"}},
    };
    const int max_width = 3;  // either word fits; both with the space between them do not
    for (const auto& row : rows) EXPECT_EQ(wrap_by_bytes(row.text, max_width), row.lines) << row.what;
}
