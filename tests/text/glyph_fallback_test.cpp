// Letters the language's font lacks are drawn with the fallback font: on this
// machine the Devanagari font has no Latin letters, yet Hindi texts carry the
// game's name and folder paths.
#include <SDL_ttf.h>
#include <gtest/gtest.h>

#include "render/gl_api.h"
#include "tests/support/gl_context.h"
#include "text/glyph_fallback.h"
#include "text/text_render.h"

namespace {

constexpr uint8_t HINDI = 13;
const char* const DEVANAGARI_WORD = "\xE0\xA4\xB8\xE0\xA5\x87\xE0\xA4\x9F\xE0\xA4\x85\xE0\xA4\xAA";  // सेटअप

int width_in(TTF_Font* font, const std::string& text) {
    int w = 0, h = 0;
    TTF_SizeUTF8(font, text.c_str(), &w, &h);
    return w;
}

class GlyphFallback : public testing::Test {
protected:
    TextSystem ts;
    void SetUp() override {
        ASSERT_TRUE(text_init(ts, nullptr));
        text_set_language(ts, HINDI);
        TTF_Font* font = font_for(ts, 18, false);
        ASSERT_NE(font, nullptr);
        if (TTF_GlyphIsProvided32(font, 'T')) GTEST_SKIP() << "the Hindi font has Latin letters";
    }
    void TearDown() override { text_shutdown(ts); }
};

}  // namespace

TEST_F(GlyphFallback, MixedLineIsMeasuredRunByRun) {
    TTF_Font* font = font_for(ts, 18, false);
    TTF_Font* fallback = fallback_font_for(ts, 18, false);
    ASSERT_NE(fallback, nullptr);
    EXPECT_EQ(ts.fallback_regular_path, default_font_lists().fallback.pairs[2].regular);

    const std::string line = std::string("Torvanel ") + DEVANAGARI_WORD;
    std::vector<GlyphRun> runs;
    ASSERT_TRUE(split_glyph_runs(font, fallback, line, runs));
    ASSERT_EQ(runs.size(), 2u);
    EXPECT_EQ(runs[0].text, "Torvanel ");  // the space stays with the run it follows
    EXPECT_EQ(runs[0].font, fallback);
    EXPECT_EQ(runs[1].text, DEVANAGARI_WORD);
    EXPECT_EQ(runs[1].font, font);
    EXPECT_EQ(measure_text(ts, line, 18, false),
              width_in(fallback, "Torvanel ") + width_in(font, DEVANAGARI_WORD));
}

TEST_F(GlyphFallback, CoveredTextIsOnePiece) {
    TTF_Font* font = font_for(ts, 18, false);
    std::vector<GlyphRun> runs;
    EXPECT_FALSE(font_lacks_glyph(font, DEVANAGARI_WORD));
    EXPECT_FALSE(split_glyph_runs(font, fallback_font_for(ts, 18, false), DEVANAGARI_WORD, runs));
    EXPECT_TRUE(runs.empty());
    EXPECT_EQ(measure_text(ts, DEVANAGARI_WORD, 18, false), width_in(font, DEVANAGARI_WORD));
}

TEST_F(GlyphFallback, LanguageWithAFullFontOpensNoFallback) {
    text_set_language(ts, 0);
    EXPECT_GT(measure_text(ts, "Torvanel", 18, false), 0);
    EXPECT_TRUE(ts.fallback_fonts.empty());
    EXPECT_EQ(fallback_font_for(ts, 18, false), nullptr);  // the default font is the language's own
}

TEST_F(GlyphFallback, MixedLineRendersBothScriptsOnOneTexture) {
    REQUIRE_GL();
    const std::string line = std::string("Torvanel ") + DEVANAGARI_WORD;
    const TextTexture t = render_text(ts, line, 18, 0xFFFFFFFFu, false);
    ASSERT_NE(t.texture, 0u);
    EXPECT_EQ(t.width, measure_text(ts, line, 18, false));
    // Without the fallback the Latin part would be drawn as missing-glyph boxes
    // of the Devanagari font, whose width differs.
    EXPECT_NE(t.width, width_in(font_for(ts, 18, false), line));
    EXPECT_GE(t.height, TTF_FontHeight(font_for(ts, 18, false)));
}
