// Shaping as code points: Arabic joining forms, ligatures and right-to-left order, the Devanagari vowel
// sign I, and what happens to broken UTF-8. Every expected line is in visual order, leftmost first.
#include <gtest/gtest.h>

#include <iterator>
#include <string>
#include <vector>

#include "text/shaping.h"
#include "text/utf8.h"

namespace {

using CodePoints = std::vector<uint32_t>;

// [SECTION] Code points, as Unicode names them

// Arabic letters; beh joins on both sides, alef and reh only to the letter before them, hamza to neither.
constexpr uint32_t HAMZA = 0x621;
constexpr uint32_t ALEF_MADDA = 0x622;
constexpr uint32_t ALEF_HAMZA_ABOVE = 0x623;
constexpr uint32_t ALEF_HAMZA_BELOW = 0x625;
constexpr uint32_t ALEF = 0x627;
constexpr uint32_t BEH = 0x628;
constexpr uint32_t HAH = 0x62D;
constexpr uint32_t REH = 0x631;
constexpr uint32_t GHAIN = 0x63A;
constexpr uint32_t TATWEEL = 0x640;
constexpr uint32_t FEH = 0x641;
constexpr uint32_t LAM = 0x644;
constexpr uint32_t MEEM = 0x645;
constexpr uint32_t PEH = 0x67E;  // Persian, outside the letters the program forms
// Arabic marks, drawn over or under the letter before them.
constexpr uint32_t FATHATAN = 0x64B;
constexpr uint32_t FATHA = 0x64E;
constexpr uint32_t SHADDA = 0x651;
constexpr uint32_t SUPERSCRIPT_ALEF = 0x670;

// Their presentation forms (Arabic Presentation Forms-B).
constexpr uint32_t HAMZA_ISOLATED = 0xFE80;
constexpr uint32_t ALEF_FINAL = 0xFE8E;
constexpr uint32_t BEH_ISOLATED = 0xFE8F;
constexpr uint32_t BEH_FINAL = 0xFE90;
constexpr uint32_t BEH_INITIAL = 0xFE91;
constexpr uint32_t BEH_MEDIAL = 0xFE92;
constexpr uint32_t HAH_INITIAL = 0xFEA3;
constexpr uint32_t REH_FINAL = 0xFEAE;
constexpr uint32_t LAM_INITIAL = 0xFEDF;
constexpr uint32_t MEEM_INITIAL = 0xFEE3;
constexpr uint32_t LAM_ALEF_MADDA_ISOLATED = 0xFEF5;  // the first of the lam-alef ligatures
constexpr uint32_t LAM_ALEF_HAMZA_BELOW_FINAL = 0xFEFA;
constexpr uint32_t LAM_ALEF_ISOLATED = 0xFEFB;

// Quotation marks; the guillemets are mirrored in right-to-left text, the curly quotes are not.
constexpr uint32_t LEFT_GUILLEMET = 0xAB;
constexpr uint32_t RIGHT_GUILLEMET = 0xBB;
constexpr uint32_t LEFT_QUOTE = 0x201C;
constexpr uint32_t RIGHT_QUOTE = 0x201D;

// Devanagari.
constexpr uint32_t LETTER_A = 0x905;
constexpr uint32_t KA = 0x915;
constexpr uint32_t THA = 0x925;
constexpr uint32_t DA = 0x926;
constexpr uint32_t NA = 0x928;
constexpr uint32_t SA = 0x938;
constexpr uint32_t HA = 0x939;
constexpr uint32_t NUKTA = 0x93C;
constexpr uint32_t VOWEL_SIGN_I = 0x93F;
constexpr uint32_t VOWEL_SIGN_II = 0x940;
constexpr uint32_t VIRAMA = 0x94D;

struct ShapingCase {
    const char* what;
    CodePoints logical;  // as stored, first written first
    CodePoints visual;   // as drawn, leftmost first
};

void expect_shaped(ShapingMode mode, const std::vector<ShapingCase>& rows) {
    for (const ShapingCase& row : rows)
        EXPECT_EQ(shape_text(encode_utf8(row.logical), mode), encode_utf8(row.visual)) << row.what;
}

// [SECTION] Arabic

TEST(Shaping, ArabicLetterTakesTheFormOfItsPlaceInTheWord) {
    expect_shaped(
        ShapingMode::Arabic,
        {
            {"no text", {}, {}},
            {"a letter alone", {BEH}, {BEH_ISOLATED}},
            {"marhaba", {MEEM, REH, HAH, BEH, ALEF}, {ALEF_FINAL, BEH_MEDIAL, HAH_INITIAL, REH_FINAL, MEEM_INITIAL}},
        });
}

TEST(Shaping, ArabicLetterThatJoinsOneSideOrNoneBreaksTheWord) {
    expect_shaped(
        ShapingMode::Arabic,
        {
            {"hamza joins neither side", {BEH, HAMZA, BEH}, {BEH_ISOLATED, HAMZA_ISOLATED, BEH_ISOLATED}},
            {"alef joins only the letter before it", {BEH, ALEF, BEH}, {BEH_ISOLATED, ALEF_FINAL, BEH_INITIAL}},
            {"a letter the program does not form", {BEH, PEH, BEH}, {BEH_ISOLATED, PEH, BEH_ISOLATED}},
            {"tatweel, which the program does not form", {BEH, TATWEEL, BEH}, {BEH_ISOLATED, TATWEEL, BEH_ISOLATED}},
        });
}

TEST(Shaping, ArabicMarkStaysWithItsLetterAndIsPassedOverByJoining) {
    expect_shaped(ShapingMode::Arabic, {
                                           {"a mark on a letter alone", {BEH, SHADDA}, {SHADDA, BEH_ISOLATED}},
                                           {"two marks between joined letters",
                                            {BEH, FATHATAN, SUPERSCRIPT_ALEF, BEH},
                                            {BEH_FINAL, SUPERSCRIPT_ALEF, FATHATAN, BEH_INITIAL}},
                                       });
}

TEST(Shaping, LamFollowedByAlefBecomesOneLigature) {
    expect_shaped(
        ShapingMode::Arabic,
        {
            {"alone", {LAM, ALEF}, {LAM_ALEF_ISOLATED}},
            {"joined to the letter before", {BEH, LAM, ALEF_HAMZA_BELOW}, {LAM_ALEF_HAMZA_BELOW_FINAL, BEH_INITIAL}},
            {"never to the letter after", {LAM, ALEF, BEH}, {BEH_ISOLATED, LAM_ALEF_ISOLATED}},
            {"not with a mark between them", {LAM, FATHA, ALEF}, {ALEF_FINAL, FATHA, LAM_INITIAL}},
        });
}

TEST(Shaping, ArabicLineRunsRightToLeftAndLatinRunsKeepTheirOrder) {
    expect_shaped(ShapingMode::Arabic, {
                                           {"Latin, Arabic and digits",
                                            {'a', 'b', 'c', ' ', BEH, BEH, ' ', '1', '2'},
                                            {'1', '2', ' ', BEH_FINAL, BEH_INITIAL, ' ', 'a', 'b', 'c'}},
                                           {"a space between Latin words stays between them",
                                            {BEH, ' ', 'h', 'i', ' ', 'y', 'o'},
                                            {'h', 'i', ' ', 'y', 'o', ' ', BEH_ISOLATED}},
                                           {"a line without Arabic", {'[', 'F', '5', ']'}, {'[', 'F', '5', ']'}},
                                           {"no letter or digit at all: right to left", {'(', '-'}, {'-', ')'}},
                                       });
}

TEST(Shaping, BracketInRightToLeftTextIsMirrored) {
    expect_shaped(
        ShapingMode::Arabic,
        {
            {"guillemets", {LEFT_GUILLEMET, BEH, RIGHT_GUILLEMET}, {LEFT_GUILLEMET, BEH_ISOLATED, RIGHT_GUILLEMET}},
            {"two pairs", {'[', BEH, ']', '{', BEH, '}'}, {'{', BEH_ISOLATED, '}', '[', BEH_ISOLATED, ']'}},
            {"curly and straight quotes are not brackets",
             {'"', BEH, '"', LEFT_QUOTE, BEH, RIGHT_QUOTE},
             {RIGHT_QUOTE, BEH_ISOLATED, LEFT_QUOTE, '"', BEH_ISOLATED, '"'}},
        });
}

TEST(Shaping, ClosingBracketTakesItsOpeningPartnersSideOrElseItsNeighbours) {
    expect_shaped(ShapingMode::Arabic,
                  {
                      {"a pair around Latin", {BEH, ' ', '[', 'F', '5', ']'}, {'[', 'F', '5', ']', ' ', BEH_ISOLATED}},
                      {"nested pairs",
                       {BEH, ' ', '(', 'a', '[', 'b', ']', ')'},
                       {'(', 'a', '[', 'b', ']', ')', ' ', BEH_ISOLATED}},
                      {"a closing bracket without a partner",
                       {BEH, ' ', 'a', ']', ' ', BEH},
                       {BEH_ISOLATED, ' ', '[', 'a', ' ', BEH_ISOLATED}},
                  });
}

// [SECTION] Devanagari

TEST(Shaping, DevanagariVowelSignIMovesBeforeTheConsonantItFollows) {
    expect_shaped(ShapingMode::Devanagari,
                  {
                      {"after a consonant", {KA, VOWEL_SIGN_I}, {VOWEL_SIGN_I, KA}},
                      {"after a consonant with a nukta", {KA, NUKTA, VOWEL_SIGN_I}, {VOWEL_SIGN_I, KA, NUKTA}},
                      {"after a conjunct: its last consonant only",
                       {SA, VIRAMA, THA, VOWEL_SIGN_I},
                       {SA, VIRAMA, VOWEL_SIGN_I, THA}},
                      {"in a word",
                       {HA, VOWEL_SIGN_I, NA, VIRAMA, DA, VOWEL_SIGN_II},
                       {VOWEL_SIGN_I, HA, NA, VIRAMA, DA, VOWEL_SIGN_II}},
                      {"at the start of the text", {VOWEL_SIGN_I, KA}, {VOWEL_SIGN_I, KA}},
                      {"after a vowel", {LETTER_A, VOWEL_SIGN_I}, {LETTER_A, VOWEL_SIGN_I}},
                  });
}

// [SECTION] Other scripts and broken text

TEST(Shaping, EachModeLeavesTheOtherScriptsAlone) {
    const CodePoints arabic_and_devanagari = {BEH, BEH, '(', KA, VOWEL_SIGN_I};
    EXPECT_EQ(shape_text(encode_utf8(arabic_and_devanagari), ShapingMode::None), encode_utf8(arabic_and_devanagari));
    const CodePoints arabic = {BEH, BEH, '('};
    EXPECT_EQ(shape_text(encode_utf8(arabic), ShapingMode::Devanagari), encode_utf8(arabic));
}

TEST(Shaping, NoShapingPassesEveryByteThrough) {
    const std::string texts[] = {
        "\xFF\x80z",  // bytes no UTF-8 uses
        std::string("x\0y", 3),
    };
    for (const std::string& text : texts) EXPECT_EQ(shape_text(text, ShapingMode::None), text);
}

TEST(Shaping, ShapingReplacesEachMalformedByteWithOneReplacementCharacter) {
    const std::string R = encode_utf8({REPLACEMENT_CHARACTER});
    const struct {
        const char* what;
        std::string text;
        std::string shaped;
    } rows[] = {
        {"a sequence cut short", "\xE4\xB8", R + R},
        {"a well-formed four-byte sequence is kept", "\xF0\x9F\x98\x80", "\xF0\x9F\x98\x80"},
    };
    for (ShapingMode mode : {ShapingMode::Arabic, ShapingMode::Devanagari}) {
        for (const auto& row : rows)
            EXPECT_EQ(shape_text(row.text, mode), row.shaped) << row.what << ", mode " << static_cast<int>(mode);
    }
}

// [SECTION] The letter tables

// Forms-B lists the letters in code point order (U+0621 to U+063A, then U+0641 to U+064A) with as many
// forms as each joins sides: one for hamza (isolated), two for a letter joining the one before it
// (isolated, final), four for a letter joining both (isolated, final, initial, medial).
uint32_t form_count(char joining_type) {
    switch (joining_type) {
    case 'D': return 4;
    case 'R': return 2;
    default: return 1;
    }
}

TEST(ShapingTables, ArabicFormsFollowPresentationFormsB) {
    uint32_t letter = HAMZA;
    uint32_t isolated = HAMZA_ISOLATED;
    for (const ArabicForm& form : ARABIC_FORMS) {
        SCOPED_TRACE(testing::Message() << std::hex << "U+" << letter);
        const uint32_t count = form_count(form.type);
        EXPECT_EQ(form.letter, letter);
        EXPECT_EQ(form.type == 'U', letter == HAMZA);
        EXPECT_EQ(form.isolated, isolated);
        EXPECT_EQ(form.final_form, count >= 2 ? isolated + 1 : isolated);
        EXPECT_EQ(form.initial, count == 4 ? isolated + 2 : isolated);
        EXPECT_EQ(form.medial, isolated + count - 1);
        letter = letter == GHAIN ? FEH : letter + 1;
        isolated += count;
    }
    EXPECT_EQ(isolated, LAM_ALEF_MADDA_ISOLATED);  // the ligatures follow the last letter
}

TEST(ShapingTables, LamAlefLigaturesFollowPresentationFormsB) {
    const uint32_t alefs[] = {ALEF_MADDA, ALEF_HAMZA_ABOVE, ALEF_HAMZA_BELOW, ALEF};
    ASSERT_EQ(std::size(LAM_ALEF_LIGATURES), std::size(alefs));
    uint32_t isolated = LAM_ALEF_MADDA_ISOLATED;
    for (size_t i = 0; i < std::size(alefs); ++i) {
        SCOPED_TRACE(testing::Message() << std::hex << "U+" << alefs[i]);
        EXPECT_EQ(LAM_ALEF_LIGATURES[i].alef, alefs[i]);
        EXPECT_EQ(LAM_ALEF_LIGATURES[i].isolated, isolated);
        EXPECT_EQ(LAM_ALEF_LIGATURES[i].final_form, isolated + 1);
        isolated += 2;
    }
}

}  // namespace
