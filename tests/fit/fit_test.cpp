// Every text of the wizard fits where it is drawn in a 960 x 600 window, in every language, with this
// machine's fonts, and every character has a glyph (no boxes). Measuring needs fonts but no GL context.
#include <SDL_ttf.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/wizard_layout.h"
#include "i18n/catalogue.h"
#include "i18n/languages.h"
#include "i18n/messages.h"
#include "text/paragraph.h"
#include "text/shaping.h"
#include "text/text_render.h"
#include "ui/paragraph.h"
#include "ui/widgets.h"

namespace {

// Where the wizard draws its texts in the window as it opens (scale 1).
constexpr int BODY = 18;
constexpr int HEADING = 28;
constexpr int SUBTITLE = 16;
constexpr float CONTENT_WIDTH = FRAME_AT_SCALE_1.content.w;
constexpr float LABEL_INSETS = 2 * 8;  // a button's label keeps 8 pixels from each side
constexpr float BUTTON_LABEL = FRAME_AT_SCALE_1.primary_button.w - LABEL_INSETS;
constexpr float WIDE_BUTTON_LABEL = 300 - LABEL_INSETS;  // Change location and the language button
constexpr float BOX_LABEL_INSETS = 40 + 8;               // a check box's label starts 40 in
constexpr float LICENSE_BOX_LABEL = license_check_box(FRAME_AT_SCALE_1.content, 1.0f).w - BOX_LABEL_INSETS;
constexpr float OPTION_BOX_LABEL = 380 - BOX_LABEL_INSETS;
constexpr float START_GAME_BOX_LABEL = 460 - BOX_LABEL_INSETS;
constexpr float SIDEBAR_WIDTH = 250;
constexpr float STEP_LABEL = SIDEBAR_WIDTH - 52 - 6;  // right of the step markers
constexpr float SUBTITLE_LABEL = SIDEBAR_WIDTH - 16;
constexpr float FILE_STATUS = 170 - 10;  // the Install page's column between a file's name and its status

class FitTest : public testing::TestWithParam<int> {
protected:
    static void SetUpTestSuite() { ready = text_init(ts, nullptr); }
    static void TearDownTestSuite() { text_shutdown(ts); }
    void SetUp() override {
        if (!ready) GTEST_SKIP() << "no fonts";
        set_language(static_cast<uint8_t>(GetParam()));
        text_set_language(ts, static_cast<uint8_t>(GetParam()));
        ui.text = &ts;
    }
    std::vector<std::string> wrap(const std::string& text, int width, int size) {
        return wrap_text(text, width, paragraph_measure(ui, size), size);
    }

    static inline TextSystem ts;
    static inline bool ready = false;
    UiContext ui;
};

// The row and its text in the test's language, for a failure's message.
std::string where(MsgId id) { return "row " + std::to_string(id) + ": " + tr(id); }

// Buttons shrink from 18 to 14 and headings from 28 to 20; the rest is drawn at one size.
TEST_P(FitTest, EveryTextFitsItsPlaceAtItsSmallestSize) {
    const struct {
        const char* what;
        int size;
        int smallest;
        float width;
        std::vector<MsgId> ids;
    } rows[] = {
        {"bottom buttons",
         BODY,
         14,
         BUTTON_LABEL,
         {MSG_BACK, MSG_CLOSE, MSG_INSTALL, MSG_NEXT, MSG_CANCEL, MSG_FINISH}},
        {"Change location", BODY, 14, WIDE_BUTTON_LABEL, {MSG_CHANGE_LOCATION}},
        {"headings",
         HEADING,
         20,
         CONTENT_WIDTH,
         {MSG_WELCOME_HEADING, MSG_LICENSE_HEADING, MSG_LOCATION_HEADING, MSG_COPYING_HEADING, MSG_DONE_HEADING,
          MSG_FAILED_HEADING}},
        {"the licence box", BODY, BODY, LICENSE_BOX_LABEL, {MSG_I_ALLOW}},
        {"the option boxes", BODY, BODY, OPTION_BOX_LABEL, {MSG_DESKTOP_SHORTCUT, MSG_START_MENU}},
        {"the start-game box", BODY, BODY, START_GAME_BOX_LABEL, {MSG_START_GAME}},
        {"the steps",
         BODY,
         BODY,
         STEP_LABEL,
         {MSG_STEP_WELCOME, MSG_STEP_LICENSE, MSG_STEP_LOCATION, MSG_STEP_INSTALL, MSG_FINISH}},
        {"the subtitle", SUBTITLE, SUBTITLE, SUBTITLE_LABEL, {MSG_SETUP}},
        {"file statuses", BODY, BODY, FILE_STATUS, {MSG_STATUS_DONE, MSG_STATUS_COPYING, MSG_STATUS_WAITING}},
        {"one-line texts",
         BODY,
         BODY,
         CONTENT_WIDTH,
         {MSG_LANGUAGE, MSG_LICENSE_NOTE, MSG_INSTALL_INTO, MSG_SPACE_NEEDED, MSG_CREATING_SHORTCUTS, MSG_FINISHING,
          MSG_COPIED_TO}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        for (MsgId id : row.ids) {
            const std::string text = id == MSG_SPACE_NEEDED ? format_text(tr(MSG_SPACE_NEEDED), 152.6) : tr(id);
            const int size = ui_fit_font_size(ui, text, row.size, row.width);
            EXPECT_GE(size, row.smallest) << where(id);
            EXPECT_LE(ui_text_width(ui, text, size), row.width) << where(id);
        }
    }
}

TEST_P(FitTest, LanguagesNameFitsTheLanguageButton) {
    const std::string name = language_info(current_language()).native_name;
    EXPECT_LE(ui_text_width(ui, name, BODY), WIDE_BUTTON_LABEL) << name;
}

// Lines break between any two ideographs or kana, so a comma or a closing bracket could start one.
TEST_P(FitTest, NoLineOfAParagraphStartsWithClosingPunctuation) {
    const char* const closing[] = {"、", "。", "，", "：", "」", "』", "）", "！", "？",  // full width
                                   ",",  ".",  ":",  ";",  ")",  "!",  "?"};
    const std::string paragraphs[] = {
        tr(MSG_WELCOME_TEXT),
        tr(MSG_WELCOME_HINT),
        tr(MSG_COPIED_TO),
        tr(MSG_KEEP_TOGETHER),
        tr(MSG_CLOSE_GAME),
        format_text(tr(MSG_FILES_MISSING), "SDL2.dll"),
        format_text(tr(MSG_DISK_FULL), "music1.mp3"),
        format_text(tr(MSG_CANNOT_WRITE), "Torvanel.exe"),
    };
    for (const std::string& paragraph : paragraphs) {
        for (const std::string& line : wrap(paragraph, static_cast<int>(CONTENT_WIDTH), BODY)) {
            for (const char* mark : closing) EXPECT_NE(line.rfind(mark, 0), 0u) << line;
        }
    }
}

// Where the language's font lacks a character, the fallback font must have it.
TEST_P(FitTest, EveryCharacterHasAGlyph) {
    TTF_Font* font = font_for(ts, BODY, false);
    TTF_Font* fallback = fallback_font_for(ts, BODY, false);
    for (const NamedMessage& message : NAMED_MESSAGES) {
        const std::string shaped = shape_text(tr(message.row), ts.shaping);
        char* code_points = SDL_iconv_string("UTF-32LE", "UTF-8", shaped.c_str(), shaped.size() + 1);
        for (const uint32_t* cp = reinterpret_cast<const uint32_t*>(code_points); *cp; ++cp) {
            const bool drawn =
                *cp <= 0x20 || TTF_GlyphIsProvided32(font, *cp) || (fallback && TTF_GlyphIsProvided32(fallback, *cp));
            EXPECT_TRUE(drawn) << where(message.row) << " U+" << std::hex << *cp;
        }
        SDL_free(code_points);
    }
}

// Greedy filling that measures every candidate line whole: where each line must break.
std::vector<std::string> whole_candidate_wrap(UiContext& ui, const std::string& text, int max_width, int size) {
    std::vector<std::string> lines(1);
    for (const WrapPiece& piece : wrap_pieces(text)) {
        std::string& line = lines.back();
        const std::string candidate = line.empty() ? piece.text : line + (piece.space_before ? " " : "") + piece.text;
        if (!line.empty() && ui_text_width(ui, candidate, size) > max_width) lines.push_back(piece.text);
        else line = candidate;
    }
    if (lines.back().empty()) lines.pop_back();
    return lines;
}

// Wrapping judges most candidates by summed piece widths: no break may move for it, at any size or width.
TEST_P(FitTest, EveryMessageBreaksWhereMeasuringWholeCandidatesBreaksIt) {
    for (int size : {14, 18, 27, 36}) {
        for (int width = 90; width <= 1200; width += width < 700 ? 41 : 160) {
            for (MsgId id = 0; id < MESSAGE_COUNT; ++id) {
                ASSERT_EQ(wrap(tr(id), width, size), whole_candidate_wrap(ui, tr(id), width, size))
                    << where(id) << " at " << size << " in " << width;
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(AllLanguages, FitTest, ::testing::Range(0, LANGUAGE_COUNT),
                         [](const ::testing::TestParamInfo<int>& info) { return LANGUAGES[info.param].code; });

}  // namespace
