// Text placement and paragraph layout. Piece splitting needs no fonts; line
// breaking, labels and headings are checked against the real system fonts.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/gl_context.h"
#include "tests/ui/batch_probe.h"
#include "text/paragraph.h"
#include "text/text_render.h"
#include "text/text_system.h"
#include "ui/widgets.h"

namespace {

using Lines = std::vector<std::string>;
constexpr UiColor INK = {0.2f, 0.3f, 0.4f, 1};

std::string pieces_of(const std::string& text) {  // "+" marks a separator before a piece
    std::string out;
    for (const WrapPiece& p : wrap_pieces(text)) out += (p.space_before ? "+" : "|") + p.text;
    return out;
}

TEST(WrapPieces, SeparatorsSplitWordsAndVanish) {
    EXPECT_EQ(pieces_of("  a   b\n c "), "+a+b+c");
    EXPECT_EQ(pieces_of(""), "");
    EXPECT_EQ(pieces_of(" \n  "), "");
    EXPECT_EQ(pieces_of("Übersicht\tok"), "|Übersicht\tok");  // only space and line feed separate
}

TEST(WrapPieces, IdeographsAndKanaStandAlone) {
    EXPECT_EQ(pieces_of("日本語abc def"), "|日|本|語|abc+def");
    EXPECT_EQ(pieces_of("go 日本"), "|go+日|本");
    EXPECT_EQ(pieces_of("ぁゔァヿ"), "|ぁ|ゔ|ァ|ヿ");
    EXPECT_EQ(pieces_of("한국어 Ａ１"), "|한|국|어+Ａ|１");
    EXPECT_EQ(pieces_of("\uF900x"), "|\uF900|x");
    // Just outside the ranges: the ideographic space and CJK strokes join words.
    EXPECT_EQ(pieces_of("a\u3000b\u31C0c"), "|a\u3000b\u31C0c");
}

TEST(WrapPieces, BrokenBytesStayInTheirWord) {
    EXPECT_EQ(pieces_of("ab \xE3\x81"), "|ab+\xE3\x81");
    EXPECT_EQ(pieces_of("x\x80yz w"), "|x\x80yz w");  // a stray byte swallows three more, space too
}

TEST(WrapWithoutFonts, EverythingMeasuresZero) {
    UiContext ui;
    EXPECT_EQ(wrap_text(ui, "  a   b\n c ", 10, 18), (Lines{"a b c"}));
    EXPECT_EQ(wrap_text(ui, "a b", -1, 18), (Lines{"a", "b"}));
    new_frame(ui);
    EXPECT_EQ(draw_paragraph(ui, 5, 40, "a b c", -1, 18, 20, INK), 100.0f);
    EXPECT_EQ(draw_paragraph(ui, 5, 40, "   ", 300, 18, 20, INK), 40.0f);
    EXPECT_TRUE(ui.vertices.empty());
    EXPECT_EQ(ui_text_width(ui, "abc", 18, false), 0);
    EXPECT_EQ(ui_line_height(ui, 18, true), 18);
    EXPECT_EQ(ui_fit_font_size(ui, "abc", 40, -5, false), 10);
}

// A real text system on a GL context, shared by the suite.
struct RealFonts : ::testing::Test {
    static TextSystem ts;
    static bool fonts;
    UiContext ui;
    static void SetUpTestSuite() {
        if (gl_test_context()) fonts = text_init(ts, nullptr);
    }
    static void TearDownTestSuite() {
        if (gl_test_context()) text_shutdown(ts);
    }
    void SetUp() override {
        REQUIRE_GL();
        if (!fonts) GTEST_SKIP() << "no system font";
        text_set_language(ts, 0);
        ui.text = &ts;
        new_frame(ui);
    }
    int width(const std::string& s, int size = 18) { return ui_text_width(ui, s, size, false); }
    // The size of the one text drawn since the cache was last emptied.
    int drawn_size() {
        EXPECT_EQ(ts.cache.size(), 1u);
        return ts.cache.empty() ? -1 : std::stoi(ts.cache.begin()->first);
    }
};
TextSystem RealFonts::ts;
bool RealFonts::fonts = false;

TEST_F(RealFonts, TextQuadIsWhiteAndAligned) {
    const float w = ui_text(ui, 100, 10, "Torvanel", 18, INK, 1, false);
    ASSERT_GT(w, 0);
    ASSERT_EQ(ui.draws.size(), 1u);
    EXPECT_NE(ui.draws[0].texture, 0u);
    const UiVertex& first = ui.vertices[0];
    EXPECT_EQ(first.x, 100 - 0.5f * w);  // no rounding: odd widths land on half pixels
    EXPECT_EQ(first.y, 10);
    EXPECT_TRUE(same_colour(first, {1, 1, 1, 1}));
    EXPECT_EQ(ts.cache.count(text_cache_key("Torvanel", 18, ui_pack_color(INK), false)), 1u);
    ui_text(ui, 100, 10, "Torvanel", 18, INK, 2, false);
    EXPECT_EQ(ui.vertices[6].x, 100 - w);
    const float line = static_cast<float>(ui_line_height(ui, 18, false));
    ui_text_in_rect(ui, {20, 40, 300, 60}, "Torvanel", 18, INK, 0, 12, false);
    EXPECT_EQ(ui.vertices[12].x, 32);
    EXPECT_EQ(ui.vertices[12].y, 40 + 30 - line * 0.5f);
    EXPECT_EQ(ui_text(ui, 0, 0, "", 18, INK, 0, false), 0.0f);
}

TEST_F(RealFonts, ButtonLabelsShrinkButNotBelowTen) {
    const std::string label = "Change location";
    const float room = static_cast<float>(width(label, 20)) - 5;
    clear_text_cache(ts);
    ui_button(ui, 1, {0, 0, room + 16, 40}, label, true, false, 20, false);
    const int size = drawn_size();
    EXPECT_LT(size, 20);
    EXPECT_LE(width(label, size), room);
    EXPECT_GT(width(label, size + 1), room);
    const struct { int requested, drawn; } tight[] = {{20, 10}, {9, 9}};
    for (auto t : tight) {
        clear_text_cache(ts);
        ui_button(ui, 1, {0, 0, 30, 40}, label, true, true, t.requested, false);
        EXPECT_EQ(drawn_size(), t.drawn);
    }
}

TEST_F(RealFonts, DisabledLabelUsesItsOwnColour) {
    clear_text_cache(ts);
    new_frame(ui, 10, 10, false, true, true);
    ui_button(ui, 1, {0, 0, 200, 40}, "Next", false, true, 18, true);
    EXPECT_EQ(ts.cache.count(text_cache_key("Next", 18, 0x8C8C8FFFu, true)), 1u);
    ui_button(ui, 2, {0, 50, 200, 40}, "Next", true, true, 18, true);
    EXPECT_EQ(ts.cache.count(text_cache_key("Next", 18, 0x1F1408FFu, true)), 1u);
}

TEST_F(RealFonts, HeadingFitsTheContentWidth) {
    const char* text = "Choose where to install";
    clear_text_cache(ts);
    ui_heading(ui, {40, 30, 2000, 400}, 1.5f, text, INK);
    EXPECT_EQ(drawn_size(), 42);
    EXPECT_EQ(ui.vertices[0].x, 40);
    EXPECT_EQ(ui.vertices[0].y, 30);
    clear_text_cache(ts);
    const float narrow = static_cast<float>(width(text, 28)) - 20;
    ui_heading(ui, {40, 30, narrow, 400}, 1.0f, text, INK);
    const int size = drawn_size();
    EXPECT_LT(size, 28);
    EXPECT_LE(width(text, size), narrow);
}

TEST_F(RealFonts, WordsWrapAtSpacesOnly) {
    EXPECT_EQ(wrap_text(ui, "Next", 1, 18), (Lines{"Next"}));
    EXPECT_EQ(wrap_text(ui, "Next", 500, 18), (Lines{"Next"}));
    const std::string two = "Install   \nnow";
    const int joined = width("Install now");
    EXPECT_EQ(wrap_text(ui, two, joined, 18), (Lines{"Install now"}));
    EXPECT_EQ(wrap_text(ui, two, joined - 1, 18), (Lines{"Install", "now"}));
    EXPECT_EQ(wrap_text(ui, "  Install now  ", 500, 18), (Lines{"Install now"}));
    // A fractional width is cut to whole pixels, not rounded up.
    EXPECT_EQ(draw_paragraph(ui, 0, 0, two, joined - 0.5f, 18, 10, INK), 20.0f);
}

TEST_F(RealFonts, JapaneseBreaksBetweenAnyTwoCharacters) {
    text_set_language(ts, 11);
    const std::string text = "ゲームのファイルをコピーしています";
    const int max = width("ゲームの");
    const Lines lines = wrap_text(ui, text, max, 18);
    ASSERT_GE(lines.size(), 3u);
    std::string rejoined;
    for (const std::string& l : lines) {
        EXPECT_LE(width(l), max) << l;
        rejoined += l;
    }
    EXPECT_EQ(rejoined, text);
    EXPECT_EQ(wrap_text(ui, "日本Torvanel", 1000, 18), (Lines{"日本Torvanel"}));
    EXPECT_EQ(wrap_text(ui, "日本Torvanel", width("日本Torvanel") - 1, 18),
              (Lines{"日本", "Torvanel"}));
}

TEST_F(RealFonts, ParagraphDrawsOneQuadPerLine) {
    EXPECT_EQ(draw_paragraph(ui, 10, 50, "", 300, 18, 24, INK), 50.0f);
    EXPECT_TRUE(ui.vertices.empty());
    const float max = static_cast<float>(width("gamma"));
    EXPECT_EQ(draw_paragraph(ui, 10, 50, "gamma gamma gamma", max, 18, 24, INK), 50.0f + 3 * 24);
    ASSERT_EQ(ui.vertices.size(), 3u * 6u);
    for (const UiDrawCmd& d : ui.draws) EXPECT_NE(d.texture, 0u);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(ui.vertices[6 * i].x, 10);
        EXPECT_EQ(ui.vertices[6 * i].y, 50 + 24 * i);
    }
}

}  // namespace
