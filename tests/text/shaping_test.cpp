// Shaping checked as code point sequences: Arabic joining and line order,
// the Devanagari vowel sign I, broken UTF-8, the encoder, direction classes
// and the letter tables.
#include <gtest/gtest.h>

#include "text/shaping.h"

namespace {

using Cps = std::vector<uint32_t>;

// Strict decoder for well-formed output, so that failures print code points.
Cps decode(const std::string& s) {
    Cps out;
    for (size_t i = 0; i < s.size();) {
        const auto b = static_cast<unsigned char>(s[i]);
        const size_t len = b < 0x80 ? 1 : b < 0xE0 ? 2 : b < 0xF0 ? 3 : 4;
        uint32_t cp = len == 1 ? b : b & (0x7Fu >> len);
        for (size_t k = 1; k < len; ++k)
            cp = (cp << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3F);
        out.push_back(cp);
        i += len;
    }
    return out;
}

struct Case {
    Cps in, out;
};

void expect_cases(ShapingMode mode, const std::vector<Case>& cases) {
    for (const Case& c : cases)
        EXPECT_EQ(decode(shape_text(encode_utf8(c.in), mode)), c.out)
            << "input " << testing::PrintToString(c.in);
}

const std::string FFFD = "\xEF\xBF\xBD";

}  // namespace

// [SECTION] Arabic

TEST(ArabicShaping, ContextualFormsInDrawingOrder) {
    expect_cases(
        ShapingMode::Arabic,
        {
            {{0x628}, {0xFE8F}},
            {{0x628, 0x628}, {0xFE90, 0xFE91}},
            {{0x628, 0x628, 0x628}, {0xFE90, 0xFE92, 0xFE91}},
            {{0x645, 0x631, 0x62D, 0x628, 0x627}, {0xFE8E, 0xFE92, 0xFEA3, 0xFEAE, 0xFEE3}},
            // Hamza joins neither side; an 'R' letter ends the joining.
            {{0x628, 0x621, 0x628}, {0xFE8F, 0xFE80, 0xFE8F}},
            {{0x628, 0x627, 0x628}, {0xFE8F, 0xFE8E, 0xFE91}},
            // Marks pass through and do not break joining, nor create it.
            {{0x628, 0x651, 0x628}, {0xFE90, 0x651, 0xFE91}},
            {{0x628, 0x64B, 0x670, 0x628}, {0xFE90, 0x670, 0x64B, 0xFE91}},
            {{0x628, 0x651}, {0x651, 0xFE8F}},
            // Letters outside the table stay and neither neighbour joins them.
            {{0x628, 0x67E, 0x628}, {0xFE8F, 0x67E, 0xFE8F}},
            {{0x628, 0x640, 0x628}, {0xFE8F, 0x640, 0xFE8F}},
            {{0x640}, {0x640}},
        });
}

TEST(ArabicShaping, LamAlef) {
    expect_cases(ShapingMode::Arabic,
                 {
                     {{0x644, 0x627}, {0xFEFB}},
                     {{0x628, 0x644, 0x627}, {0xFEFC, 0xFE91}},
                     {{0x644, 0x622}, {0xFEF5}},
                     {{0x633, 0x644, 0x623}, {0xFEF8, 0xFEB3}},
                     {{0x644, 0x625}, {0xFEF9}},
                     {{0x628, 0x644, 0x625}, {0xFEFA, 0xFE91}},
                     // The consumed alef joins nothing after it.
                     {{0x644, 0x627, 0x628}, {0xFE8F, 0xFEFB}},
                     // A mark between them prevents the ligature, not the joining.
                     {{0x644, 0x64E, 0x627}, {0xFE8E, 0x64E, 0xFEDF}},
                     {{0x644, 0x628}, {0xFE90, 0xFEDF}},
                 });
}

TEST(ArabicShaping, LineOrderAndMirroring) {
    const uint32_t B = 0x628;
    expect_cases(
        ShapingMode::Arabic,
        {
            {{'a', 'b', 'c', ' ', B, B, ' ', '1', '2'},
             {'1', '2', ' ', 0xFE90, 0xFE91, ' ', 'a', 'b', 'c'}},
            {{B, ' ', 'h', 'i', ' ', 'y', 'o'}, {'h', 'i', ' ', 'y', 'o', ' ', 0xFE8F}},
            {{B, 0x61F}, {0x61F, 0xFE8F}},
            {{'(', B, ')'}, {'(', 0xFE8F, ')'}},
            {{'<', B, '>'}, {'<', 0xFE8F, '>'}},
            {{'[', B, ']'}, {']', 0xFE8F, '['}},  // reversed, not mirrored
            {{'f', '(', 'x', ')', ' ', '<', 'y', '>'}, {'f', '(', 'x', ')', ' ', '<', 'y', '>'}},
        });
    EXPECT_EQ(shape_text("Next", ShapingMode::Arabic), "Next");
    EXPECT_EQ(shape_text("   ", ShapingMode::Arabic), "   ");
    EXPECT_EQ(shape_text("(-", ShapingMode::Arabic), "-)");  // no strong character: one Rtl run
    EXPECT_EQ(shape_text("", ShapingMode::Arabic), "");
}

// [SECTION] Devanagari

TEST(DevanagariShaping, VowelSignIGoesBeforeItsConsonant) {
    expect_cases(ShapingMode::Devanagari,
                 {
                     {{0x915, 0x93F}, {0x93F, 0x915}},
                     {{0x915, 0x93C, 0x93F}, {0x93F, 0x915, 0x93C}},
                     {{0x938, 0x94D, 0x925, 0x93F}, {0x938, 0x94D, 0x93F, 0x925}},
                     {{0x939, 0x93F, 0x928, 0x94D, 0x926, 0x940},
                      {0x93F, 0x939, 0x928, 0x94D, 0x926, 0x940}},
                     // Nothing to move in front of.
                     {{0x93F, 0x915}, {0x93F, 0x915}},
                     {{0x905, 0x93F}, {0x905, 0x93F}},
                     {{0x93C, 0x93F}, {0x93C, 0x93F}},
                     {{0x905, 0x93C, 0x93F}, {0x905, 0x93C, 0x93F}},
                     {{0x628, 0x628, '('}, {0x628, 0x628, '('}},
                 });
}

// [SECTION] UTF-8

TEST(ShapingUtf8, BrokenBytes) {
    for (const std::string s : {"\xE4", "\xFF\x80z", "a\xC3", "\xD8\xA8\xD8\xA8"})
        EXPECT_EQ(shape_text(s, ShapingMode::None), s);
    EXPECT_EQ(shape_text(std::string("x\0y", 3), ShapingMode::None), std::string("x\0y", 3));
    for (ShapingMode mode : {ShapingMode::Arabic, ShapingMode::Devanagari}) {
        EXPECT_EQ(shape_text("\xE4", mode), FFFD);
        EXPECT_EQ(shape_text("\x80\xFE", mode), FFFD + FFFD);
        EXPECT_EQ(shape_text("\xE4\xB8", mode), FFFD + FFFD);
        EXPECT_EQ(shape_text("\xF0\x9F\x98", mode), FFFD + FFFD + FFFD);
        EXPECT_EQ(shape_text("\xF8\x80\x80\x80", mode), FFFD + FFFD + FFFD + FFFD);
        EXPECT_EQ(shape_text("\xF0\x9F\x98\x80", mode), "\xF0\x9F\x98\x80");
        // Following bytes count with their low six bits, whatever their high bits.
        EXPECT_EQ(shape_text("\xC2\x41", mode), "\xC2\x81");
        EXPECT_EQ(shape_text("\xE4\x41\x7F", mode), "\xE4\x81\xBF");
    }
    EXPECT_EQ(shape_text("a\xE4", ShapingMode::Arabic), "a" + FFFD);
    EXPECT_EQ(shape_text("\xE4z", ShapingMode::Devanagari), FFFD + "z");
}

TEST(ShapingUtf8, EncodeOneToFourBytes) {
    EXPECT_EQ(encode_utf8({}), "");
    EXPECT_EQ(encode_utf8({0x41, 0x7F, 0x80, 0x7FF}), "A\x7F\xC2\x80\xDF\xBF");
    EXPECT_EQ(encode_utf8({0x800, 0xFFFF}), "\xE0\xA0\x80\xEF\xBF\xBF");
    EXPECT_EQ(encode_utf8({0x10000, 0x10FFFF}), "\xF0\x90\x80\x80\xF4\x8F\xBF\xBF");
    EXPECT_EQ(encode_utf8({0xD800}), "\xED\xA0\x80");  // no surrogate check
}

TEST(ShapingUtf8, DirectionClasses) {
    const DirClass L = DirClass::Ltr, R = DirClass::Rtl, N = DirClass::Neutral;
    const std::pair<uint32_t, DirClass> cases[] = {
        {'A', L},    {'Z', L},    {'a', L},    {'z', L},   {'0', L},    {'9', L},    {'@', N},
        {'[', N},    {'`', N},    {'{', N},    {'/', N},   {':', N},    {' ', N},    {0xBF, N},
        {0xC0, L},   {0x24F, L},  {0x250, N},  {0x416, N}, {0x4E2D, N}, {0x58F, N},  {0x590, R},
        {0x61F, R},  {0x64A, R},  {0x64B, N},  {0x65F, N}, {0x660, R},  {0x670, N},  {0x671, R},
        {0x67E, R},  {0x640, R},  {0x8FF, R},  {0x900, N}, {0x915, N},  {0xFB4F, N}, {0xFB50, R},
        {0xFEFF, R}, {0xFF00, N}, {0xFFFD, N},
    };
    for (const auto& c : cases)
        EXPECT_EQ(direction_class(c.first), c.second) << std::hex << c.first;
}

// [SECTION] Tables

TEST(ArabicTables, FormsFollowTheJoiningRules) {
    // Presentation Forms-B lays the letters out back to back: 4 forms per 'D'
    // letter, 2 per 'R' letter, 1 for hamza; the lam-alef ligatures follow.
    uint32_t letter = 0x621, isolated = 0xFE80;
    int u_letters = 0;
    for (const ArabicForm& f : ARABIC_FORMS) {
        SCOPED_TRACE(testing::Message() << std::hex << f.letter);
        if (letter == 0x63B) letter = 0x641;
        EXPECT_EQ(f.letter, letter++);
        EXPECT_EQ(f.isolated, isolated);
        const uint32_t step = f.type == 'D' ? 4 : f.type == 'R' ? 2 : 1;
        EXPECT_EQ(f.final_form, f.isolated + (step > 1));
        EXPECT_EQ(f.initial, f.isolated + (step == 4 ? 2 : 0));
        EXPECT_EQ(f.medial, f.isolated + (step == 4 ? 3 : step == 2 ? 1 : 0));
        if (f.type == 'U')
            ++u_letters;
        else
            EXPECT_TRUE(f.type == 'D' || f.type == 'R');
        isolated += step;
    }
    EXPECT_EQ(letter, 0x64Bu);
    EXPECT_EQ(u_letters, 1);
    EXPECT_EQ(ARABIC_FORMS[0].type, 'U');
    const uint32_t alefs[4] = {0x622, 0x623, 0x625, 0x627};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(LAM_ALEF_LIGATURES[i].alef, alefs[i]);
        EXPECT_EQ(LAM_ALEF_LIGATURES[i].isolated, isolated + 2u * static_cast<uint32_t>(i));
        EXPECT_EQ(LAM_ALEF_LIGATURES[i].final_form, LAM_ALEF_LIGATURES[i].isolated + 1);
    }
}
