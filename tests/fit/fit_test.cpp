// Every text of the wizard must fit where it is drawn in a 960 x 600 window,
// in every language, with the fonts this machine chooses for it, and every
// character must have a glyph in that font (no boxes). Measuring needs fonts
// but no GL context.
#include <SDL_ttf.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "i18n/catalogue.h"
#include "i18n/languages.h"
#include "render/ui_batch.h"
#include "text/paragraph.h"
#include "text/shaping.h"
#include "text/text_render.h"
#include "text/text_system.h"
#include "ui/widgets.h"

namespace {

// Geometry of the 960 x 600 window at scale 1.
constexpr int BODY = 18;                   // body text size
constexpr float BUTTON_LABEL = 140 - 16;   // bottom buttons: 140 wide, label inset 8 each side
constexpr float WIDE_BUTTON_LABEL = 300 - 16;
constexpr float CONTENT_WIDTH = 606;
constexpr float STEP_LABEL = 250 - 52 - 6;  // from the label's x to the sidebar separator
constexpr float STATUS_COLUMN = 170 - 10;   // the file name starts 170 px after the status
constexpr float BOX_LABEL = -40 - 8;        // check box labels start 40 px into the row, keep some air

class FitTest : public ::testing::TestWithParam<int> {
protected:
    static TextSystem ts;
    static bool ready;
    UiContext ui;

    static void SetUpTestSuite() { ready = text_init(ts, nullptr); }
    static void TearDownTestSuite() { text_shutdown(ts); }

    void SetUp() override {
        if (!ready) GTEST_SKIP() << "no fonts";
        set_language(static_cast<uint8_t>(GetParam()));
        text_set_language(ts, static_cast<uint8_t>(GetParam()));
        ui.text = &ts;
    }
    void TearDown() override { set_language(0); }

    std::string where(const char* what, MsgId id) const {
        return std::string(language_info(current_language()).code) + " row " + std::to_string(id) +
               " (" + what + "): \"" + tr(id) + "\"";
    }
};
TextSystem FitTest::ts;
bool FitTest::ready = false;

// Texts that shrink (buttons from 18 to 14, headings from 28 to 20) and texts drawn at one size.
TEST_P(FitTest, EveryTextFitsItsPlaceAtItsSmallestSize) {
    const struct { const char* what; MsgId id; int size, min; float width; } rows[] = {
        {"Back", 2, BODY, 14, BUTTON_LABEL}, {"Close", 3, BODY, 14, BUTTON_LABEL},
        {"Install", 204, BODY, 14, BUTTON_LABEL}, {"Next", 211, BODY, 14, BUTTON_LABEL},
        {"Cancel", 212, BODY, 14, BUTTON_LABEL}, {"Finish", 213, BODY, 14, BUTTON_LABEL},
        {"Change location", 202, BODY, 14, WIDE_BUTTON_LABEL},
        {"heading", 195, 28, 20, CONTENT_WIDTH}, {"heading", 198, 28, 20, CONTENT_WIDTH},
        {"heading", 200, 28, 20, CONTENT_WIDTH}, {"heading", 205, 28, 20, CONTENT_WIDTH},
        {"heading", 208, 28, 20, CONTENT_WIDTH}, {"heading", 210, 28, 20, CONTENT_WIDTH},
        {"licence box", 231, BODY, BODY, 420 + BOX_LABEL}, {"desktop box", 218, BODY, BODY, 380 + BOX_LABEL},
        {"start menu box", 219, BODY, BODY, 380 + BOX_LABEL}, {"start game box", 220, BODY, BODY, 460 + BOX_LABEL},
        {"step", 214, BODY, BODY, STEP_LABEL}, {"step", 215, BODY, BODY, STEP_LABEL},
        {"step", 216, BODY, BODY, STEP_LABEL}, {"step", 217, BODY, BODY, STEP_LABEL},
        {"step", 213, BODY, BODY, STEP_LABEL}, {"subtitle", 230, 16, 16, 250 - 16},
        {"status", 232, BODY, BODY, STATUS_COLUMN}, {"status", 233, BODY, BODY, STATUS_COLUMN},
        {"status", 234, BODY, BODY, STATUS_COLUMN}, {"line", 31, BODY, BODY, CONTENT_WIDTH},
        {"line", 199, BODY, BODY, CONTENT_WIDTH}, {"line", 201, BODY, BODY, CONTENT_WIDTH},
        {"line", 206, BODY, BODY, CONTENT_WIDTH}, {"line", 207, BODY, BODY, CONTENT_WIDTH},
        {"line", 209, BODY, BODY, CONTENT_WIDTH}, {"space", 203, BODY, BODY, CONTENT_WIDTH}};
    for (const auto& row : rows) {
        const std::string text = row.id == 203 ? format_text(tr(203), 152.6) : tr(row.id);
        const int size = ui_fit_font_size(ui, text, row.size, row.width, false);
        EXPECT_GE(size, row.min) << where(row.what, row.id);
        EXPECT_LE(ui_text_width(ui, text, size, false), row.width) << where(row.what, row.id);
    }
    const std::string name = language_info(current_language()).native_name;  // on the language button
    EXPECT_LE(ui_text_width(ui, name, BODY, false), WIDE_BUTTON_LABEL) << name;
}

TEST_P(FitTest, EveryCharacterHasAGlyph) {
    // A character the language's font lacks is drawn with the fallback font.
    TTF_Font* font = font_for(ts, BODY, false);
    TTF_Font* fallback = fallback_font_for(ts, BODY, false);
    ASSERT_NE(font, nullptr);
    std::vector<MsgId> rows = {2, 3, 31};
    for (MsgId id = 194; id <= 225; ++id) rows.push_back(id);
    for (MsgId id = 230; id <= 236; ++id) rows.push_back(id);
    rows.push_back(0);
    for (MsgId id : rows) {
        std::string shaped = shape_text(tr(id), ts.shaping);
        // Decode the shaped text (valid UTF-8 by construction).
        for (size_t i = 0; i < shaped.size();) {
            unsigned char b = static_cast<unsigned char>(shaped[i]);
            int len = b < 0x80 ? 1 : b < 0xE0 ? 2 : b < 0xF0 ? 3 : 4;
            uint32_t cp = len == 1 ? b : b & (0xFF >> (len + 1));
            for (int k = 1; k < len; ++k) cp = (cp << 6) | (shaped[i + k] & 0x3F);
            i += len;
            if (cp <= 0x20) continue;
            EXPECT_TRUE(TTF_GlyphIsProvided32(font, cp) ||
                        (fallback && TTF_GlyphIsProvided32(fallback, cp)))
                << where("glyph", id) << " lacks U+" << std::hex << cp;
        }
    }
}

TEST_P(FitTest, WrappedLinesNeverStartWithClosingPunctuation) {
    // Lines break between any two ideographs or kana, so a sentence must not
    // leave a comma or closing bracket to start the next line.
    const char* const closing[] = {"\xE3\x80\x81", "\xE3\x80\x82", "\xEF\xBC\x8C",
                                   "\xEF\xBC\x9A", "\xE3\x80\x8D", "\xE3\x80\x8F",
                                   "\xEF\xBC\x89", "\xEF\xBC\x81", "\xEF\xBC\x9F",
                                   ",", ".", ":", ";", ")", "!", "?"};
    const std::string texts[] = {tr(196), tr(197), tr(209), tr(235), tr(236),
                                 format_text(tr(224), "SDL2.dll"),
                                 format_text(tr(221), "music1.mp3"),
                                 format_text(tr(223), "Torvanel.exe")};
    for (const std::string& text : texts) {
        for (const std::string& line : wrap_text(ui, text, static_cast<int>(CONTENT_WIDTH), BODY)) {
            for (const char* mark : closing)
                EXPECT_NE(line.rfind(mark, 0), 0u)
                    << language_info(current_language()).code << ": line \"" << line << "\"";
        }
    }
}

std::string language_name(const ::testing::TestParamInfo<int>& info) {
    return LANGUAGES[info.param].code;
}

INSTANTIATE_TEST_SUITE_P(AllLanguages, FitTest, ::testing::Range(0, LANGUAGE_COUNT), language_name);

}  // namespace
