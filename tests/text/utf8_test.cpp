// UTF-8 decoding: well-formed sequences give their code point, and every
// byte of a malformed one gives U+FFFD on its own.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "text/utf8.h"

namespace {

using Codes = std::vector<uint32_t>;
constexpr uint32_t R = REPLACEMENT_CHARACTER;

// Every character of the text, walking it as the text modules do.
std::vector<Utf8Char> decode_all(const std::string& text) {
    std::vector<Utf8Char> chars;
    for (size_t pos = 0; pos < text.size(); pos += chars.back().length) chars.push_back(utf8_decode(text, pos));
    return chars;
}

Codes codes_of(const std::string& text) {
    Codes codes;
    for (const Utf8Char& c : decode_all(text)) codes.push_back(c.code);
    return codes;
}

}  // namespace

TEST(Utf8, WellFormedSequenceGivesItsCodePointAndLength) {
    const struct {
        std::string bytes;
        uint32_t code;
        size_t length;
    } rows[] = {
        {std::string(1, '\0'), 0x0, 1},
        {"\x7F", 0x7F, 1},
        {"\xC2\x80", 0x80, 2},
        {"\xDF\xBF", 0x7FF, 2},
        {"\xE0\xA0\x80", 0x800, 3},
        {"\xED\x9F\xBF", 0xD7FF, 3},
        {"\xEE\x80\x80", 0xE000, 3},
        {"\xEF\xBF\xBD", R, 3},
        {"\xEF\xBF\xBF", 0xFFFF, 3},
        {"\xF0\x90\x80\x80", 0x10000, 4},
        {"\xF4\x8F\xBF\xBF", 0x10FFFF, 4},
    };
    for (const auto& row : rows) {
        const Utf8Char c = utf8_decode(row.bytes, 0);
        EXPECT_EQ(c.code, row.code) << std::hex << row.code;
        EXPECT_EQ(c.length, row.length) << std::hex << row.code;
        EXPECT_TRUE(c.well_formed) << std::hex << row.code;
    }
}

TEST(Utf8, EachByteOfAMalformedSequenceBecomesOneReplacementCharacter) {
    const struct {
        const char* what;
        std::string bytes;
        Codes codes;
    } rows[] = {
        {"stray continuation byte", "\x80", {R}},
        {"lead at the end", "\xE4", {R}},
        {"sequence cut short", "\xE4\xB8", {R, R}},
        {"lead before a letter",
         "\xC3"
         "A",
         {R, 'A'}},
        {"lead before a lead", "\xC3\xC3\xA9", {R, 0xE9}},
        {"third byte no continuation",
         "\xE4\xB8"
         "A",
         {R, R, 'A'}},
        {"fourth byte no continuation",
         "\xF0\x9F\x98"
         "A",
         {R, R, R, 'A'}},
        {"overlong two bytes", "\xC0\xAF", {R, R}},
        {"overlong three bytes", "\xE0\x9F\xBF", {R, R, R}},
        {"overlong four bytes", "\xF0\x8F\xBF\xBF", {R, R, R, R}},
        {"surrogate", "\xED\xA0\x80", {R, R, R}},
        {"past U+10FFFF", "\xF4\x90\x80\x80", {R, R, R, R}},
        {"five-byte lead", "\xF8\x88\x80\x80\x80", {R, R, R, R, R}},
        {"bytes never used", "\xFE\xFF", {R, R}},
        {"good sequence after a bad byte", "\x80\xE4\xB8\x80", {R, 0x4E00}},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(codes_of(row.bytes), row.codes) << row.what;
        for (const Utf8Char& c : decode_all(row.bytes)) {
            if (c.code != R) continue;
            EXPECT_FALSE(c.well_formed) << row.what;
            EXPECT_EQ(c.length, 1u) << row.what;
        }
    }
}

TEST(Utf8, TextIsWellFormedOnlyWhenEveryByteBelongsToASequence) {
    const struct {
        std::string text;
        bool well_formed;
    } rows[] = {
        {"", true},
        {"\xE6\x97\xA5\xE6\x9C\xAC", true},
        {"\xEF\xBF\xBD", true},  // U+FFFD written out is a character like any other
        {"Next\x80", false},
        {"\xE6\x97\xA5\xE6\x9C", false},
    };
    for (const auto& row : rows) EXPECT_EQ(utf8_well_formed(row.text), row.well_formed) << row.text;
}

TEST(Utf8, AppendedCodePointDecodesBackFromItsShortestForm) {
    const struct {
        uint32_t code;
        size_t length;
    } rows[] = {
        {0x0, 1}, {0x7F, 1}, {0x80, 2}, {0x7FF, 2}, {0x800, 3}, {0xFFFF, 3}, {0x10000, 4}, {0x10FFFF, 4},
    };
    for (const auto& row : rows) {
        std::string bytes;
        utf8_append(bytes, row.code);
        EXPECT_EQ(bytes.size(), row.length) << std::hex << row.code;
        const Utf8Char c = utf8_decode(bytes, 0);
        EXPECT_TRUE(c.well_formed) << std::hex << row.code;
        EXPECT_EQ(c.code, row.code) << std::hex << row.code;
        EXPECT_EQ(c.length, row.length) << std::hex << row.code;
    }
}
