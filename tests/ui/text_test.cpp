// Button labels and paragraph layout measured with the real system fonts.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/gl_context.h"
#include "text/paragraph.h"
#include "text/text_render.h"
#include "text/text_system.h"
#include "ui/widgets.h"

namespace {

using Lines = std::vector<std::string>;

struct RealFonts : ::testing::Test {
    TextSystem ts;
    UiContext ui;
    void SetUp() override {
        REQUIRE_GL();
        if (!text_init(ts, nullptr)) GTEST_SKIP() << "no system font";
        ui.text = &ts;
    }
    void TearDown() override { text_shutdown(ts); }
    int width(const std::string& s, int size = 18) { return ui_text_width(ui, s, size, false); }
    // Wraps text at 18 px into the width of `fit` plus `extra`.
    Lines wrap(const std::string& text, const std::string& fit, int extra = 0) {
        return wrap_text(ui, text, width(fit) + extra, 18);
    }
    // The size a button of width w draws its label at, read from the emptied text cache.
    int label_size(const std::string& label, float w, int size) {
        clear_text_cache(ts);
        ui_button(ui, 1, {0, 0, w, 40}, label, true, false, size, false);
        return ts.cache.size() == 1 ? std::stoi(ts.cache.begin()->first) : -1;
    }
};

TEST_F(RealFonts, ButtonLabelsShrinkToFitButNotBelowTen) {
    const std::string label = "Change location";
    const float room = static_cast<float>(width(label, 20)) - 5;  // labels are inset 8 a side
    const int size = label_size(label, room + 16, 20);
    EXPECT_LE(width(label, size), room);
    EXPECT_GT(width(label, size + 1), room);
    EXPECT_EQ(label_size(label, 30, 20), 10);
    EXPECT_EQ(label_size(label, 30, 9), 9);
}

TEST_F(RealFonts, DisabledButtonUsesItsOwnLabelColour) {
    ui_begin_frame(ui, 960, 600, {10, 10, false, true, true});
    ui_button(ui, 1, {0, 0, 200, 40}, "Next", false, true, 18, true);
    EXPECT_EQ(ts.cache.count(text_cache_key("Next", 18, 0x8C8C8FFFu, true)), 1u);
    ui_button(ui, 2, {0, 50, 200, 40}, "Next", true, true, 18, true);
    EXPECT_EQ(ts.cache.count(text_cache_key("Next", 18, 0x1F1408FFu, true)), 1u);
}

TEST_F(RealFonts, LinesBreakAtSeparatorsWhichVanish) {
    const std::string two = "Install   \nnow";
    EXPECT_EQ(wrap("Next", "", 1), (Lines{"Next"}));
    EXPECT_EQ(wrap(two, "Install now"), (Lines{"Install now"}));
    EXPECT_EQ(wrap(two, "Install now", -1), (Lines{"Install", "now"}));
    EXPECT_EQ(wrap("  Install now  ", "Install now"), (Lines{"Install now"}));
}

TEST_F(RealFonts, JapaneseBreaksBetweenAnyTwoCharacters) {
    text_set_language(ts, 11);
    EXPECT_EQ(wrap("ゲームの", "ゲーム"), (Lines{"ゲーム", "の"}));
    EXPECT_EQ(wrap("のゲ", "の"), (Lines{"の", "ゲ"}));
    EXPECT_EQ(wrap("日本語", "日本"), (Lines{"日本", "語"}));
    EXPECT_EQ(wrap("日本Torvanel", "日本Torvanel"), (Lines{"日本Torvanel"}));
    EXPECT_EQ(wrap("日本Torvanel", "日本Torvanel", -1), (Lines{"日本", "Torvanel"}));
}

TEST_F(RealFonts, ParagraphDrawsOneQuadPerLine) {
    EXPECT_EQ(draw_paragraph(ui, 10, 50, "", 300, 18, 24, {1, 1, 1, 1}), 50.0f);
    const float max = static_cast<float>(width("gamma gamma")) - 0.5f;  // cut, not rounded up
    EXPECT_EQ(draw_paragraph(ui, 10, 50, "gamma gamma gamma", max, 18, 24, {1, 1, 1, 1}), 122.0f);
    ASSERT_EQ(ui.vertices.size(), 3u * 6u);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(ui.vertices[6 * i].y, 50 + 24 * i) << "line " << i;
    EXPECT_EQ(ui.vertices[12].x, 10);
}

TEST_F(RealFonts, RememberedLinesFollowTheFontsInUse) {
    std::string text = "mm";
    for (int i = 0; i < 30; ++i) text += " mm";
    const int max = width("mm mm mm mm mm mm mm mm mm mm");
    const Lines english = wrapped_lines(ui, text, max, 18);
    EXPECT_EQ(english, wrap_text(ui, text, max, 18));
    EXPECT_EQ(&wrapped_lines(ui, text, max, 18), &wrapped_lines(ui, text, max, 18));
    // Chinese served by a narrower font for a moment.
    static const FontPair LIBERATION[1] = {
        {"/usr/share/fonts/truetype/liberation/LiberationSans-Regular.ttf",
         "/usr/share/fonts/truetype/liberation/LiberationSans-Bold.ttf"}};
    FontLists lists = default_font_lists();
    lists.chinese = {LIBERATION, 1};
    set_font_lists(&lists);
    text_set_language(ts, 10);
    set_font_lists(nullptr);
    const Lines other = wrap_text(ui, text, max, 18);
    if (other == english) GTEST_SKIP() << "no second font";
    EXPECT_EQ(wrapped_lines(ui, text, max, 18), other);
    for (int i = 0; i < 600; ++i) wrapped_lines(ui, std::to_string(i), max, 18);
    EXPECT_LE(ts.wrap_cache.size(), 256u);
}

}  // namespace
