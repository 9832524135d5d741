// Button labels and paragraph layout measured with the real system fonts.
#include <gtest/gtest.h>

#include "tests/support/gl_context.h"
#include "text/paragraph.h"
#include "text/text_render.h"
#include "text/text_system.h"
#include "ui/palette.h"
#include "ui/paragraph.h"
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
    int width(const std::string& s, int size = 18) { return ui_text_width(ui, s, size); }
    Lines wrap(const std::string& text, int max_width) {
        return wrap_text(text, max_width, paragraph_measure(ui, 18), 18);
    }
};

TEST_F(RealFonts, ButtonLabelsShrinkToFitButNotBelowTenAndDisabledOnesHaveTheirOwnColour) {
    const std::string label = "Change location";
    const auto label_size = [&](float w, int size) {  // read from the emptied text cache
        clear_text_cache(ts);
        ui_button(ui, 1, {0, 0, w, 40}, label, size);
        return ts.cache.size() == 1 ? std::stoi(ts.cache.begin()->first) : -1;
    };
    const float room = static_cast<float>(width(label, 20)) - 5;  // labels are inset 8 a side
    const int size = label_size(room + 16, 20);
    EXPECT_TRUE(width(label, size) <= room && width(label, size + 1) > room) << size;
    EXPECT_EQ(std::pair(label_size(30, 20), label_size(30, 9)), std::pair(10, 9));
    ui_begin_frame(ui, 960, 600, {10, 10, false, true, true});
    ui_button(ui, 1, {0, 0, 200, 40}, "Next", 18, WIDGET_PRIMARY | WIDGET_DISABLED, Weight::Bold);
    ui_button(ui, 2, {0, 50, 200, 40}, "Next", 18, WIDGET_PRIMARY, Weight::Bold);
    for (uint32_t colour : {ui_pack_color(COLOR_LABEL_DISABLED), ui_pack_color(COLOR_LABEL_PRIMARY)})
        EXPECT_EQ(ts.cache.count(text_cache_key("Next", 18, colour, true)), 1u) << std::hex << colour;
}

// Latin breaks only at separators, which vanish; Japanese between any two characters. A paragraph is a quad a line.
TEST_F(RealFonts, LinesBreakWhereTheScriptAllowsAndAParagraphDrawsOneQuadPerLine) {
    EXPECT_EQ(draw_paragraph(ui, 10, 50, "", 300, 18, 24, {1, 1, 1, 1}), 50.0f);  // nothing, no height
    const float max = static_cast<float>(width("gamma gamma")) - 0.5f;  // cut, not rounded up
    EXPECT_EQ(draw_paragraph(ui, 10, 50, "gamma gamma gamma", max, 18, 24, {1, 1, 1, 1}), 122.0f);
    ASSERT_EQ(ui.vertices.size(), 3u * 6u);
    for (int i = 0; i < 18; i += 6)
        EXPECT_EQ(std::pair(ui.vertices[i].x, ui.vertices[i].y), std::pair(10.f, 50.f + 4 * i));
    const struct { uint8_t language; const char *text, *fit; int extra; Lines want; } rows[] = {
        {0, "Next", "", 1, {"Next"}}, {0, "  Install   \nnow ", "Install now", 0, {"Install now"}},
        {0, "Install now", "Install now", -1, {"Install", "now"}}, {11, "日本語", "日本", 0, {"日本", "語"}},
        {11, "日本Torvanel", "日本Torvanel", 0, {"日本Torvanel"}},
        {11, "日本Torvanel", "日本Torvanel", -1, {"日本", "Torvanel"}}};
    for (const auto& row : rows) {
        text_set_language(ts, row.language);
        EXPECT_EQ(wrap(row.text, width(row.fit) + row.extra), row.want) << row.text << row.extra;
    }
}

TEST_F(RealFonts, RememberedLinesFollowTheFontsInUse) {
    std::string text = "mm";
    for (int i = 0; i < 30; ++i) text += " mm";
    const int max = width(text.substr(0, 29));  // ten words a line
    const Lines english = wrapped_lines(ui, text, max, 18);
    EXPECT_EQ(english, wrap(text, max));
    EXPECT_EQ(&wrapped_lines(ui, text, max, 18), &wrapped_lines(ui, text, max, 18));
    static const FontPair LIBERATION[1] = {{"/usr/share/fonts/truetype/liberation/LiberationSans-Regular.ttf",
                                            "/usr/share/fonts/truetype/liberation/LiberationSans-Bold.ttf"}};
    FontLists lists = default_font_lists();  // Chinese served by a narrower font for a moment
    lists.chinese = {LIBERATION, 1};
    set_font_lists(&lists);
    text_set_language(ts, 10);
    set_font_lists(nullptr);
    const Lines other = wrap(text, max);
    if (other == english) GTEST_SKIP() << "no second font";
    EXPECT_EQ(wrapped_lines(ui, text, max, 18), other);
    for (int i = 0; i < 600; ++i) wrapped_lines(ui, std::to_string(i), max, 18);
    EXPECT_LE(ts.wrap_cache.size(), 256u);
}

}  // namespace
