// Text textures, their cache, and measuring, on this machine's fonts: texts are measured as they are drawn,
// in the form each script reaches the font.
#include <SDL.h>
#include <SDL_ttf.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <string>
#include <vector>

#include "render/gl_api.h"
#include "tests/support/gl_context.h"
#include "tests/text/text_fixture.h"
#include "text/font_script.h"
#include "text/shaping.h"
#include "text/text_render.h"

namespace {

// A GL function the program's table leaves out.
template <typename Function>
Function gl_function(const char* name) {
    return reinterpret_cast<Function>(SDL_GL_GetProcAddress(name));
}

int width_in(TTF_Font* font, const std::string& text) {
    int width = -1;
    TTF_SizeUTF8(font, text.c_str(), &width, nullptr);
    return width;
}

// Pixels of the text rendered alone whose alpha is above a quarter.
int inked_pixels(TTF_Font* font, const char* text) {
    SDL_Surface* surface = TTF_RenderUTF8_Blended(font, text, SDL_Color{255, 255, 255, 255});
    if (!surface) return 0;
    int inked = 0;
    for (int y = 0; y < surface->h; ++y) {
        const auto* row = reinterpret_cast<const uint32_t*>(static_cast<const uint8_t*>(surface->pixels) +
                                                            static_cast<size_t>(y) * surface->pitch);
        for (int x = 0; x < surface->w; ++x) {
            const uint32_t alpha = row[x] >> 24;  // ARGB
            if (alpha > 64) ++inked;
        }
    }
    SDL_FreeSurface(surface);
    return inked;
}

// [SECTION] Without a font

class NoFont : public TextSystemTest {
protected:
    void SetUp() override {
        TextSystemTest::SetUp();
        restart_with_lists();  // every list names a missing file
    }
};

TEST_F(NoFont, TextMeasuresNothing) { EXPECT_EQ(measure_text(ts, "Next", 18, false), 0); }

TEST_F(NoFont, LineSkipIsTheSize) { EXPECT_EQ(line_skip(ts, 18, false), 18); }

TEST_F(NoFont, TextDrawsNothing) {
    const TextTexture texture = render_text(ts, "Next", 18, WHITE, false);
    EXPECT_EQ(texture.texture, 0u);
    EXPECT_EQ(texture.width, 0);
    EXPECT_EQ(texture.height, 0);
}

// [SECTION] Textures

class TextTextures : public TextSystemTest {
protected:
    void SetUp() override {
        REQUIRE_GL();
        TextSystemTest::SetUp();
    }
};

TEST_F(TextTextures, HaveTheMeasuredSizeInEitherWeight) {
    for (bool bold : {false, true}) {
        SCOPED_TRACE(bold ? "bold" : "regular");
        const TextTexture texture = render_text(ts, "Install now", 18, WHITE, bold);
        int width = 0;
        int height = 0;
        ASSERT_EQ(TTF_SizeUTF8(font_for(ts, 18, bold), "Install now", &width, &height), 0);
        EXPECT_EQ(texture.width, width);
        EXPECT_EQ(texture.height, height);
    }
}

// An underscore inks only the lower half of its line, in the colour asked for.
TEST_F(TextTextures, HoldTheColourWithTheTopRowFirst) {
    const uint32_t colour = 0x2080C0FFu;
    const TextTexture texture = render_text(ts, "_", 40, colour, false);
    std::vector<uint32_t> texels(static_cast<size_t>(texture.width) * texture.height);  // 0xRRGGBBAA
    gl.glBindTexture(GL_TEXTURE_2D, texture.texture);
    gl_function<void(APIENTRY*)(GLenum, GLint, GLenum, GLenum, void*)>("glGetTexImage")(
        GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_INT_8_8_8_8, texels.data());
    size_t inked = 0;
    size_t other_colour = 0;
    const size_t width = static_cast<size_t>(texture.width);
    size_t top_inked_row = static_cast<size_t>(texture.height);
    for (size_t i = 0; i < texels.size(); ++i) {
        if ((texels[i] & 0xFF) == 0) continue;
        ++inked;
        if (texels[i] >> 8 != colour >> 8) ++other_colour;
        top_inked_row = std::min(top_inked_row, i / width);
    }
    EXPECT_GT(inked, 0u);
    EXPECT_EQ(other_colour, 0u);
    EXPECT_GE(top_inked_row * 2, static_cast<size_t>(texture.height));
}

TEST_F(TextTextures, EmptyOrTooWideTextGivesNoTextureAndIsNotCached) {
    GLint limit = 0;
    gl_function<void(APIENTRY*)(GLenum, GLint*)>("glGetIntegerv")(GL_MAX_TEXTURE_SIZE, &limit);
    const struct {
        const char* what;
        std::string text;
    } rows[] = {
        {"no text", ""},
        {"wider than the largest texture", std::string(static_cast<size_t>(limit) / 4, 'W')},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        const TextTexture texture = render_text(ts, row.text, 18, WHITE, false);
        EXPECT_EQ(texture.texture, 0u);
        EXPECT_EQ(texture.width, 0);
        EXPECT_EQ(texture.height, 0);
        EXPECT_TRUE(ts.cache.empty());
    }
}

// [SECTION] The cache

class TextCache : public TextTextures {
protected:
    // Renders TEXT_CACHE_LIMIT + 1 texts, one more than the cache holds; their textures in order.
    std::vector<uint32_t> fill_past_the_limit() {
        std::vector<uint32_t> textures;
        for (size_t i = 0; i <= TEXT_CACHE_LIMIT; ++i)
            textures.push_back(render_text(ts, std::to_string(i), 10, WHITE, false).texture);
        return textures;
    }
};

TEST_F(TextCache, RepeatedTextIsAnsweredWithWhatIsStored) {
    render_text(ts, "Next", 18, WHITE, false);
    ASSERT_EQ(ts.cache.size(), 1u);
    ts.cache.begin()->second.width = 999;
    EXPECT_EQ(render_text(ts, "Next", 18, WHITE, false).width, 999);
}

TEST_F(TextCache, KeepsATextureForEachTextSizeColourAndWeight) {
    const struct {
        const char* what;
        std::string text;
        int size;
        uint32_t colour;
        bool bold;
    } rows[] = {
        {"the first", "Next", 18, WHITE, false},     {"another text", "Back", 18, WHITE, false},
        {"another size", "Next", 20, WHITE, false},  {"another colour", "Next", 18, 0xFF0000FFu, false},
        {"another weight", "Next", 18, WHITE, true},
    };
    for (int pass = 0; pass < 2; ++pass) {
        for (const auto& row : rows) render_text(ts, row.text, row.size, row.colour, row.bold);
    }
    EXPECT_EQ(ts.cache.size(), std::size(rows));
}

TEST_F(TextCache, HitPastTheLimitIsServedFromTheCache) {
    const std::vector<uint32_t> textures = fill_past_the_limit();
    EXPECT_EQ(render_text(ts, "17", 10, WHITE, false).texture, textures[17]);
    EXPECT_EQ(ts.cache.size(), TEXT_CACHE_LIMIT + 1);
}

TEST_F(TextCache, MissPastTheLimitStartsTheCacheAfresh) {
    fill_past_the_limit();
    render_text(ts, "new", 10, WHITE, false);
    EXPECT_EQ(ts.cache.size(), 1u);
}

TEST_F(TextCache, SameLanguageKeepsTheTexturesAndTheFonts) {
    const uint32_t texture = render_text(ts, "Next", 10, WHITE, false).texture;
    text_set_language(ts, ENGLISH);
    EXPECT_EQ(ts.fonts.count(font_key(10, false)), 1u);
    EXPECT_EQ(ts.cache.size(), 1u);
    EXPECT_EQ(render_text(ts, "Next", 10, WHITE, false).texture, texture);
}

TEST_F(TextCache, AnotherLanguageEmptiesTheCacheAndClosesTheFonts) {
    render_text(ts, "Next", 10, WHITE, false);
    text_set_language(ts, RUSSIAN);
    EXPECT_TRUE(ts.cache.empty());
    EXPECT_EQ(ts.fonts.count(font_key(10, false)), 0u);
}

// The frame's batch may still draw a texture the cache dropped.
TEST_F(TextCache, DroppedTextureLivesUntilTheFrameEnds) {
    const auto is_texture = gl_function<GLboolean(APIENTRY*)(GLuint)>("glIsTexture");
    const uint32_t texture = render_text(ts, "Next", 10, WHITE, false).texture;
    text_set_language(ts, RUSSIAN);
    EXPECT_TRUE(is_texture(texture));
    text_end_frame(ts);
    EXPECT_FALSE(is_texture(texture));
}

// [SECTION] Measuring

const std::string DEVANAGARI_WORD = "\xE0\xA4\xB8\xE0\xA5\x87\xE0\xA4\x9F\xE0\xA4\x85\xE0\xA4\xAA";
const std::string MIXED_LINE = "Torvanel " + DEVANAGARI_WORD;

// Hindi, whose font lacks the Latin letters: those come from the default list's font.
class MixedLine : public TextSystemTest {
protected:
    void SetUp() override {
        TextSystemTest::SetUp();
        text_set_language(ts, HINDI);
        font = font_for(ts, 18, false);
        if (!font || TTF_GlyphIsProvided32(font, 'T')) GTEST_SKIP() << "the Hindi font has Latin letters";
    }

    TTF_Font* font = nullptr;
};

TEST_F(MixedLine, IsMeasuredRunByRun) {
    TTF_Font* fallback = fallback_font_for(ts, 18, false);
    const int latin = width_in(fallback, "Torvanel ");  // the space stays with the Latin run
    EXPECT_EQ(measure_text(ts, MIXED_LINE, 18, false), latin + width_in(font, DEVANAGARI_WORD));
}

TEST_F(MixedLine, RendersAsOneTextureAsWideAsMeasured) {
    REQUIRE_GL();
    EXPECT_EQ(render_text(ts, MIXED_LINE, 18, WHITE, false).width, measure_text(ts, MIXED_LINE, 18, false));
}

// [SECTION] Scripts

int refuses_script(TTF_Font*, const char*) { return -1; }  // an SDL2_ttf built without HarfBuzz

const std::vector<std::string> ARABIC_WORDS = {encode_utf8({0x645, 0x631, 0x62D, 0x628, 0x627})};  // marhaba
// Welcome and wait, with conjuncts; ki, its vowel sign I drawn first.
const std::vector<std::string> HINDI_WORDS = {
    "\u0938\u094D\u0935\u093E\u0917\u0924",
    "\u092A\u094D\u0930\u0924\u0940\u0915\u094D\u0937\u093E",
    "\u0915\u093F",
};
constexpr size_t HINDI_WORDS_WITH_CONJUNCTS = 2;

// Arabic always reaches the font in our visual form; Hindi in logical order when SDL2_ttf takes its script,
// else as we order it.
struct ScriptCase {
    const char* what;
    uint8_t language;
    FontScriptFn library;  // SDL2_ttf's script call as the library has it
    bool font_shapes;
    const std::vector<std::string>& words;
};

std::vector<ScriptCase> script_cases() {
    return {
        {"Arabic", ARABIC, font_script_function(), false, ARABIC_WORDS},
        {"Hindi, shaped by the font", HINDI, font_script_function(), true, HINDI_WORDS},
        {"Hindi, library without the call", HINDI, nullptr, false, HINDI_WORDS},
        {"Hindi, library refusing the script", HINDI, refuses_script, false, HINDI_WORDS},
    };
}

// Each case switches to its language afresh, so that its first font decides whether the font shapes.
class Scripts : public TextSystemTest {
protected:
    void TearDown() override {
        restore_font_script_function();
        TextSystemTest::TearDown();
    }
    void start(uint8_t language, FontScriptFn library) {
        override_font_script_function(library);
        text_set_language(ts, ENGLISH);
        text_set_language(ts, language);
    }
    std::vector<int> conjunct_widths(FontScriptFn library) {
        start(HINDI, library);
        std::vector<int> widths;
        for (size_t i = 0; i < HINDI_WORDS_WITH_CONJUNCTS; ++i)
            widths.push_back(measure_text(ts, HINDI_WORDS[i], 18, false));
        return widths;
    }
};

TEST_F(Scripts, FontShapesHindiOnlyWhenTheLibraryTakesTheScript) {
    for (const ScriptCase& c : script_cases()) {
        start(c.language, c.library);
        EXPECT_EQ(ts.font_shapes_script, c.font_shapes) << c.what;
    }
}

TEST_F(Scripts, TextIsMeasuredInTheFormHandedToTheFont) {
    for (const ScriptCase& c : script_cases()) {
        start(c.language, c.library);
        for (const std::string& word : c.words) {
            const std::string handed = c.font_shapes ? word : shape_text(word, ts.shaping);
            for (bool bold : {false, true})
                EXPECT_EQ(measure_text(ts, word, 18, bold), width_in(font_for(ts, 18, bold), handed)) << c.what;
        }
    }
}

TEST_F(Scripts, TextRendersAsWideAsMeasured) {
    REQUIRE_GL();
    for (const ScriptCase& c : script_cases()) {
        start(c.language, c.library);
        for (const std::string& word : c.words)
            EXPECT_EQ(render_text(ts, word, 18, WHITE, false).width, measure_text(ts, word, 18, false)) << c.what;
    }
}

TEST_F(Scripts, ConjunctsShapedByTheFontAreNarrowerThanInOurOwnOrder) {
    const std::vector<int> by_font = conjunct_widths(font_script_function());
    const std::vector<int> by_us = conjunct_widths(nullptr);
    for (size_t i = 0; i < HINDI_WORDS_WITH_CONJUNCTS; ++i) EXPECT_LT(by_font[i], by_us[i]) << HINDI_WORDS[i];
}

// [SECTION] Every language's font

// Calls check(font) for every language's font at every size the pages use, in both weights, as it draws
// Latin letters (through the fallback font where the language's own has none).
template <typename Check>
void for_every_languages_font(TextSystem& ts, Check check) {
    for (uint8_t language = 0; language < LANGUAGE_COUNT; ++language) {
        text_set_language(ts, language);
        for (int size = 13; size <= 36; ++size) {
            for (bool bold : {false, true}) {
                SCOPED_TRACE(testing::Message() << LANGUAGES[language].code << " " << size << (bold ? " bold" : ""));
                TTF_Font* font = font_for(ts, size, bold);
                ASSERT_NE(font, nullptr);
                if (!TTF_GlyphIsProvided32(font, 'g')) font = fallback_font_for(ts, size, bold);
                check(font);
            }
        }
    }
}

class LanguageFonts : public TextSystemTest {};

// Some CJK fonts put "_" below their descent, where SDL2_ttf cuts it off.
TEST_F(LanguageFonts, InkTheUnderscoreAndTheDescender) {
    for_every_languages_font(ts, [](TTF_Font* font) {
        EXPECT_GT(inked_pixels(font, "_"), 0);
        EXPECT_GT(inked_pixels(font, "g"), 0);
    });
}

// Some CJK fonts give every Latin letter one width.
TEST_F(LanguageFonts, SpaceLatinLettersProportionally) {
    for_every_languages_font(ts, [](TTF_Font* font) { EXPECT_LT(width_in(font, "iiii"), width_in(font, "mmmm")); });
}

}  // namespace
