// Button labels and paragraphs measured and laid out with the real system fonts.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "i18n/languages.h"
#include "tests/support/gl_context.h"
#include "text/paragraph.h"
#include "text/text_render.h"
#include "text/text_system.h"
#include "ui/palette.h"
#include "ui/paragraph.h"
#include "ui/widgets.h"

namespace {

using Lines = std::vector<std::string>;

constexpr int BODY = 18;
const UiColor WHITE = {1, 1, 1, 1};
const uint8_t ENGLISH = match_language_code("en");
const uint8_t CHINESE = match_language_code("zh");
const uint8_t JAPANESE = match_language_code("ja");

class RealFonts : public testing::Test {
protected:
    void SetUp() override {
        REQUIRE_GL();
        if (!text_init(ts, nullptr)) GTEST_SKIP() << "no system font";
        started = true;
        ui.text = &ts;
    }
    void TearDown() override {
        if (started) text_shutdown(ts);
    }

    int width(const std::string& text, int size = BODY) { return ui_text_width(ui, text, size); }
    Lines wrap(const std::string& text, int max_width) {
        return wrap_text(text, max_width, paragraph_measure(ui, BODY), BODY);
    }
    // The size a button `button_width` wide draws `label` at, asked for `size`: read from the emptied text cache.
    int label_size(const std::string& label, float button_width, int size) {
        clear_text_cache(ts);
        ui_button(ui, 1, {0, 0, button_width, 40}, label, size);
        return ts.cache.size() == 1 ? std::stoi(ts.cache.begin()->first) : -1;
    }

    TextSystem ts;
    bool started = false;
    UiContext ui;
};

// [SECTION] Button labels

const std::string LABEL = "Change location";
constexpr float LABEL_INSET = 8;  // a side

TEST_F(RealFonts, ButtonLabelShrinksToTheLargestSizeThatFits) {
    const float room = static_cast<float>(width(LABEL, 20)) - 5;
    const int size = label_size(LABEL, room + 2 * LABEL_INSET, 20);
    EXPECT_LE(width(LABEL, size), room) << size;
    EXPECT_GT(width(LABEL, size + 1), room) << size;
}

TEST_F(RealFonts, ButtonLabelShrinksNoSmallerThanTenAndASmallerSizeStays) {
    EXPECT_EQ(label_size(LABEL, 30, 20), 10);
    EXPECT_EQ(label_size(LABEL, 30, 9), 9);
}

TEST_F(RealFonts, DisabledButtonsLabelHasItsOwnColour) {
    ui_begin_frame(ui, 960, 600, {10, 10, false, true, true});
    ui_button(ui, 1, {0, 0, 200, 40}, "Next", BODY, WIDGET_PRIMARY | WIDGET_DISABLED, Weight::Bold);
    ui_button(ui, 2, {0, 50, 200, 40}, "Next", BODY, WIDGET_PRIMARY, Weight::Bold);
    for (const UiColor& colour : {COLOR_LABEL_DISABLED, COLOR_LABEL_PRIMARY}) {
        const uint32_t packed = ui_pack_color(colour);
        EXPECT_EQ(ts.cache.count(text_cache_key("Next", BODY, packed, true)), 1u) << std::hex << packed;
    }
}

// [SECTION] Paragraphs

TEST_F(RealFonts, EmptyParagraphDrawsNothingAndTakesNoHeight) {
    EXPECT_EQ(draw_paragraph(ui, 10, 50, "", 300, BODY, 24, WHITE), 50.0f);
    EXPECT_TRUE(ui.vertices.empty());
}

TEST_F(RealFonts, ParagraphDrawsOneQuadPerLineALineStepApart) {
    const float max_width = static_cast<float>(width("gamma gamma")) - 0.5f;  // cut, not rounded up
    EXPECT_EQ(draw_paragraph(ui, 10, 50, "gamma gamma gamma", max_width, BODY, 24, WHITE), 50.0f + 3 * 24);
    ASSERT_EQ(ui.vertices.size(), 3u * 6u);
    for (int line = 0; line < 3; ++line) {
        EXPECT_EQ(ui.vertices[6 * line].x, 10.0f) << "line " << line;
        EXPECT_EQ(ui.vertices[6 * line].y, 50.0f + 24 * line) << "line " << line;
    }
}

TEST_F(RealFonts, LinesBreakWhereTheScriptAllows) {
    const struct {
        const char* what;
        uint8_t language;
        const char* text;
        const char* fits;  // the width is this text's
        int extra;         // plus this many pixels
        Lines lines;
    } rows[] = {
        {"one word", ENGLISH, "Next", "", 1, {"Next"}},
        {"separators vanish", ENGLISH, "  Install   \nnow ", "Install now", 0, {"Install now"}},
        {"Latin breaks at a separator", ENGLISH, "Install now", "Install now", -1, {"Install", "now"}},
        {"Japanese breaks between any two characters", JAPANESE, "日本語", "日本", 0, {"日本", "語"}},
        {"a Latin word in Japanese fits", JAPANESE, "日本Torvanel", "日本Torvanel", 0, {"日本Torvanel"}},
        {"a Latin word in Japanese stays whole", JAPANESE, "日本Torvanel", "日本Torvanel", -1, {"日本", "Torvanel"}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        text_set_language(ts, row.language);
        EXPECT_EQ(wrap(row.text, width(row.fits) + row.extra), row.lines);
    }
}

// [SECTION] Remembered lines

// Thirty-one two-letter words, ten to a line.
class RememberedLines : public RealFonts {
protected:
    void SetUp() override {
        RealFonts::SetUp();
        if (IsSkipped()) return;
        for (int i = 0; i < 30; ++i) text += " mm";
        max_width = width(text.substr(0, 29));
    }

    std::string text = "mm";
    int max_width = 0;
};

TEST_F(RememberedLines, AreTheWrappedLinesAndAreMeasuredOnce) {
    EXPECT_EQ(wrapped_lines(ui, text, max_width, BODY), wrap(text, max_width));
    EXPECT_EQ(&wrapped_lines(ui, text, max_width, BODY), &wrapped_lines(ui, text, max_width, BODY));
}

TEST_F(RememberedLines, FollowTheFontsInUse) {
    const Lines english = wrapped_lines(ui, text, max_width, BODY);
    static const FontPair LIBERATION[1] = {{"/usr/share/fonts/truetype/liberation/LiberationSans-Regular.ttf",
                                            "/usr/share/fonts/truetype/liberation/LiberationSans-Bold.ttf"}};
    FontLists lists = default_font_lists();  // Chinese served by a narrower font for a moment
    lists.chinese = {LIBERATION, 1};
    set_font_lists(&lists);
    text_set_language(ts, CHINESE);
    set_font_lists(nullptr);
    const Lines other = wrap(text, max_width);
    if (other == english) GTEST_SKIP() << "no second font";
    EXPECT_EQ(wrapped_lines(ui, text, max_width, BODY), other);
}

TEST_F(RememberedLines, AreKeptForAtMost256Texts) {
    for (int i = 0; i < 600; ++i) wrapped_lines(ui, std::to_string(i), max_width, BODY);
    EXPECT_LE(ts.wrap_cache.size(), 256u);
}

}  // namespace
