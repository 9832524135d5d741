// Shaping as code points: Arabic joining and line order, the Devanagari vowel sign I, broken UTF-8.
#include <gtest/gtest.h>

#include "text/shaping.h"

namespace {
using Cps = std::vector<uint32_t>;
constexpr ShapingMode A = ShapingMode::Arabic, D = ShapingMode::Devanagari, N = ShapingMode::None;
constexpr uint32_t B = 0x628;  // beh, a dual-joining letter
}  // namespace

TEST(Shaping, ExamplesBitForBit) {
    const struct { ShapingMode mode; Cps in, out; } rows[] = {  // out empty: the input comes back unchanged
        {A, {B}, {0xFE8F}}, {A, {B, B}, {0xFE90, 0xFE91}}, {A, {B, B, B}, {0xFE90, 0xFE92, 0xFE91}},
        {A, {0x645, 0x631, 0x62D, 0x628, 0x627}, {0xFE8E, 0xFE92, 0xFEA3, 0xFEAE, 0xFEE3}}, {A, {}, {}},
        {A, {B, 0x621, B}, {0xFE8F, 0xFE80, 0xFE8F}}, {A, {B, 0x627, B}, {0xFE8F, 0xFE8E, 0xFE91}},
        {A, {B, 0x651}, {0x651, 0xFE8F}}, {A, {0x644, 0x627}, {0xFEFB}},
        {A, {B, 0x64B, 0x670, B}, {0xFE90, 0x670, 0x64B, 0xFE91}}, {A, {B, 0x67E, B}, {0xFE8F, 0x67E, 0xFE8F}},
        {A, {B, 0x640, B}, {0xFE8F, 0x640, 0xFE8F}}, {A, {B, 0x644, 0x625}, {0xFEFA, 0xFE91}},
        {A, {0x644, 0x627, B}, {0xFE8F, 0xFEFB}}, {A, {0x644, 0x64E, 0x627}, {0xFE8E, 0x64E, 0xFEDF}},  // no ligature
        {A, {'a', 'b', 'c', ' ', B, B, ' ', '1', '2'}, {'1', '2', ' ', 0xFE90, 0xFE91, ' ', 'a', 'b', 'c'}},
        {A, {B, ' ', 'h', 'i', ' ', 'y', 'o'}, {'h', 'i', ' ', 'y', 'o', ' ', 0xFE8F}}, {A, {'[', 'F', '5', ']'}, {}},
        {A, {'(', B, ')'}, {'(', 0xFE8F, ')'}}, {A, {0xAB, B, 0xBB}, {0xAB, 0xFE8F, 0xBB}},
        {A, {'[', B, ']', '{', B, '}'}, {'{', 0xFE8F, '}', '[', 0xFE8F, ']'}},
        // A closing bracket follows its opening partner's side; an unpaired one its neighbours.
        {A, {B, ' ', '[', 'F', '5', ']'}, {'[', 'F', '5', ']', ' ', 0xFE8F}},
        {A, {B, ' ', '(', 'a', '[', 'b', ']', ')'}, {'(', 'a', '[', 'b', ']', ')', ' ', 0xFE8F}},
        {A, {B, ' ', 'a', ']', ' ', B}, {0xFE8F, ' ', '[', 'a', ' ', 0xFE8F}},
        {A, {'"', B, '"', 0x201C, B, 0x201D}, {0x201D, 0xFE8F, 0x201C, '"', 0xFE8F, '"'}},  // not paired brackets
        {A, {'(', '-'}, {'-', ')'}},  // no strong character: right to left
        {D, {0x915, 0x93F}, {0x93F, 0x915}}, {D, {0x915, 0x93C, 0x93F}, {0x93F, 0x915, 0x93C}},
        {D, {0x938, 0x94D, 0x925, 0x93F}, {0x938, 0x94D, 0x93F, 0x925}}, {D, {0x93F, 0x915}, {}},
        {D, {0x939, 0x93F, 0x928, 0x94D, 0x926, 0x940}, {0x93F, 0x939, 0x928, 0x94D, 0x926, 0x940}},
        {D, {0x905, 0x93F}, {}}, {D, {B, B, '('}, {}}, {N, {B, B, '(', 0x915, 0x93F}, {}}};
    for (const auto& r : rows)
        EXPECT_EQ(shape_text(encode_utf8(r.in), r.mode), encode_utf8(r.out.empty() ? r.in : r.out)) << &r - rows;
}

TEST(Shaping, Utf8EncodedInOneToFourBytesAndBrokenUtf8Kept) {
    EXPECT_EQ(encode_utf8({0x41, 0x7F, 0x80, 0x7FF, 0x800, 0xFFFF, 0x10000, 0x10FFFF}),
              "A\x7F\xC2\x80\xDF\xBF\xE0\xA0\x80\xEF\xBF\xBF\xF0\x90\x80\x80\xF4\x8F\xBF\xBF");
    for (const std::string s : {"\xE4", "\xFF\x80z", "a\xC3", "\xD8\xA8\xD8\xA8"}) EXPECT_EQ(shape_text(s, N), s);
    EXPECT_EQ(shape_text(std::string("x\0y", 3), N), std::string("x\0y", 3));
    const std::string R = "\xEF\xBF\xBD";  // U+FFFD
    const std::pair<std::string, std::string> rows[] = {{"\x80\xFE", R + R}, {"\xE4\xB8", R + R}, {"\xE4z", R + "z"},
        {"\xF0\x9F\x98\x80", "\xF0\x9F\x98\x80"}, {"\xC2\x41", R + "A"}};  // a broken sequence: each byte alone
    for (ShapingMode mode : {A, D})
        for (const auto& r : rows) EXPECT_EQ(shape_text(r.first, mode), r.second) << "mode " << int(mode);
}

TEST(Shaping, ArabicTablesFollowPresentationFormsB) {
    // Forms-B lists the letters back to back (4 forms per 'D' letter, 2 per 'R', 1 for hamza), then lam-alef.
    uint32_t letter = 0x621, first = 0xFE80;
    for (const ArabicForm& f : ARABIC_FORMS) {
        const uint32_t n = f.type == 'D' ? 4 : f.type == 'R' ? 2 : 1;
        EXPECT_EQ(f.type == 'U', letter == 0x621) << std::hex << letter;
        EXPECT_EQ(Cps({f.letter, f.isolated, f.final_form, f.initial, f.medial}),
                  Cps({letter, first, first + (n > 1), first + (n == 4) * 2, first + n - 1}));
        letter = letter == 0x63A ? 0x641 : letter + 1;
        first += n;
    }
    const uint32_t alefs[] = {0x622, 0x623, 0x625, 0x627};
    for (const LamAlef& l : LAM_ALEF_LIGATURES) {
        EXPECT_EQ(Cps({l.alef, l.isolated, l.final_form}), Cps({alefs[&l - LAM_ALEF_LIGATURES], first, first + 1}));
        first += 2;
    }
}
