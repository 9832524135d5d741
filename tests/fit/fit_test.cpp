// Every text of the wizard fits where it is drawn in a 960 x 600 window, in every language, with this
// machine's fonts, and every character has a glyph (no boxes). Measuring needs fonts but no GL context.
#include <SDL_ttf.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "i18n/catalogue.h"
#include "i18n/languages.h"
#include "i18n/messages.h"
#include "text/paragraph.h"
#include "text/shaping.h"
#include "text/text_render.h"
#include "ui/paragraph.h"
#include "ui/widgets.h"

namespace {

constexpr int BODY = 18;
constexpr float CONTENT_WIDTH = 606, WIDE_BUTTON_LABEL = 300 - 16, BOX_LABEL = -40 - 8;  // box labels start 40 in

struct FitTest : ::testing::TestWithParam<int> {
    static inline TextSystem ts;
    static inline bool ready = false;
    UiContext ui;
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
};
std::string where(MsgId id) { return "row " + std::to_string(id) + ": " + tr(id); }  // the language is the test's

// Buttons shrink from 18 to 14 and headings from 28 to 20; the rest is drawn at one size. Lines break between any
// two ideographs or kana, so no comma or closing bracket may start a line of a paragraph.
TEST_P(FitTest, EveryTextFitsItsPlaceAtItsSmallestSizeAndNoLineStartsWithClosingPunctuation) {
    const struct { int size, min; float width; std::vector<MsgId> ids; } rows[] = {
        {BODY, 14, 140 - 16, {MSG_BACK, MSG_CLOSE, MSG_INSTALL, MSG_NEXT, MSG_CANCEL, MSG_FINISH}},
        {BODY, 14, WIDE_BUTTON_LABEL, {MSG_CHANGE_LOCATION}},
        {28, 20, CONTENT_WIDTH,
         {MSG_WELCOME_HEADING, MSG_LICENSE_HEADING, MSG_LOCATION_HEADING, MSG_COPYING_HEADING, MSG_DONE_HEADING,
          MSG_FAILED_HEADING}},
        {BODY, BODY, 420 + BOX_LABEL, {MSG_I_ALLOW}},
        {BODY, BODY, 380 + BOX_LABEL, {MSG_DESKTOP_SHORTCUT, MSG_START_MENU}},
        {BODY, BODY, 460 + BOX_LABEL, {MSG_START_GAME}},
        {BODY, BODY, 250 - 52 - 6,  // the steps
         {MSG_STEP_WELCOME, MSG_STEP_LICENSE, MSG_STEP_LOCATION, MSG_STEP_INSTALL, MSG_FINISH}},
        {16, 16, 250 - 16, {MSG_SETUP}},  // the subtitle
        {BODY, BODY, 170 - 10, {MSG_STATUS_DONE, MSG_STATUS_COPYING, MSG_STATUS_WAITING}},
        {BODY, BODY, CONTENT_WIDTH,
         {MSG_LANGUAGE, MSG_LICENSE_NOTE, MSG_INSTALL_INTO, MSG_SPACE_NEEDED, MSG_CREATING_SHORTCUTS, MSG_FINISHING,
          MSG_COPIED_TO}}};
    for (const auto& row : rows)
        for (MsgId id : row.ids) {
            const std::string text = id == MSG_SPACE_NEEDED ? format_text(tr(MSG_SPACE_NEEDED), 152.6) : tr(id);
            const int size = ui_fit_font_size(ui, text, row.size, row.width);
            EXPECT_GE(size, row.min) << where(id);
            EXPECT_LE(ui_text_width(ui, text, size), row.width) << where(id);
        }
    const std::string name = language_info(current_language()).native_name;  // on the language button
    EXPECT_LE(ui_text_width(ui, name, BODY), WIDE_BUTTON_LABEL) << name;
    const char* const closing[] = {"、", "。", "，", "：", "」", "』", "）", "！", "？", ",", ".", ":", ";", ")", "!", "?"};
    const std::string texts[] = {tr(MSG_WELCOME_TEXT),
                                 tr(MSG_WELCOME_HINT),
                                 tr(MSG_COPIED_TO),
                                 tr(MSG_KEEP_TOGETHER),
                                 tr(MSG_CLOSE_GAME),
                                 format_text(tr(MSG_FILES_MISSING), "SDL2.dll"),
                                 format_text(tr(MSG_DISK_FULL), "music1.mp3"),
                                 format_text(tr(MSG_CANNOT_WRITE), "Torvanel.exe")};
    for (const std::string& text : texts)
        for (const std::string& line : wrap(text, static_cast<int>(CONTENT_WIDTH), BODY))
            for (const char* mark : closing) EXPECT_NE(line.rfind(mark, 0), 0u) << line;
}

TEST_P(FitTest, EveryCharacterHasAGlyph) {  // where the language's font lacks one, the fallback font's
    TTF_Font *font = font_for(ts, BODY, false), *fallback = fallback_font_for(ts, BODY, false);
    for (const NamedMessage& message : NAMED_MESSAGES) {
        const MsgId id = message.row;
        const std::string shaped = shape_text(tr(id), ts.shaping);
        char* cps = SDL_iconv_string("UTF-32LE", "UTF-8", shaped.c_str(), shaped.size() + 1);
        for (const uint32_t* cp = reinterpret_cast<const uint32_t*>(cps); *cp; ++cp)
            EXPECT_TRUE(*cp <= 0x20 || TTF_GlyphIsProvided32(font, *cp) ||
                        (fallback && TTF_GlyphIsProvided32(fallback, *cp))) << where(id) << " U+" << std::hex << *cp;
        SDL_free(cps);
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
    for (int size : {14, 18, 27, 36})
        for (int width = 90; width <= 1200; width += width < 700 ? 41 : 160)
            for (MsgId id = 0; id < MESSAGE_COUNT; ++id)
                ASSERT_EQ(wrap(tr(id), width, size), whole_candidate_wrap(ui, tr(id), width, size))
                    << where(id) << " at " << size << " in " << width;
}

INSTANTIATE_TEST_SUITE_P(AllLanguages, FitTest, ::testing::Range(0, LANGUAGE_COUNT),
                         [](const ::testing::TestParamInfo<int>& info) { return LANGUAGES[info.param].code; });

}  // namespace
