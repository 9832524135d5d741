// The text system on this machine's fonts: font choice, handles, textures and their cache, shaped measuring.
#include <SDL_ttf.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "i18n/languages.h"
#include "render/gl_api.h"
#include "tests/support/portable.h"
#include "tests/support/gl_context.h"
#include "text/font_script.h"
#include "text/elide.h"
#include "text/shaping.h"
#include "text/text_render.h"

namespace {
constexpr uint32_t WHITE = 0xFFFFFFFFu;
const std::string DEJAVU = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
const std::string DEJAVU_BOLD = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf";
const std::string MISSING = "/nonexistent/a.ttf";
const FontPair NOWHERE[1] = {{MISSING.c_str(), MISSING.c_str()}};
const std::string DEVANAGARI_WORD = "\xE0\xA4\xB8\xE0\xA5\x87\xE0\xA4\x9F\xE0\xA4\x85\xE0\xA4\xAA";
const std::string MIXED_LINE = "Torvanel " + DEVANAGARI_WORD;

int refuses_script(TTF_Font*, const char*) { return -1; }  // an SDL2_ttf built without HarfBuzz

int inked_pixels(TTF_Font* font, const char* text) {  // alpha above a quarter, the text rendered alone (ARGB)
    SDL_Surface* s = TTF_RenderUTF8_Blended(font, text, SDL_Color{255, 255, 255, 255});
    int inked = 0;
    for (int i = 0; s && i < s->w * s->h; ++i)
        inked += static_cast<const uint32_t*>(s->pixels)[i / s->w * s->pitch / 4 + i % s->w] >> 24 > 64;
    return SDL_FreeSurface(s), inked;
}
int width_in(TTF_Font* f, const std::string& t) { int w = -1; return TTF_SizeUTF8(f, t.c_str(), &w, nullptr), w; }

template <typename Fn> Fn gl_extra(const char* name) { return reinterpret_cast<Fn>(SDL_GL_GetProcAddress(name)); }

struct Text : testing::Test {
    TextSystem ts;
    std::string diag;
    FontLists lists = {{NOWHERE, 1}, {NOWHERE, 1}, {NOWHERE, 1}, {NOWHERE, 1}, {NOWHERE, 1}};
    void SetUp() override { ASSERT_TRUE(text_init(ts, &diag)); }
    void TearDown() override { text_shutdown(ts); set_font_lists(nullptr); }
    bool restart_with_lists(uint8_t lang = 0) {
        return text_shutdown(ts), set_font_lists(&lists), text_init(ts, &diag, lang);
    }
    std::string paths() const { return ts.regular_font_path + " " + ts.bold_font_path; }
};
}  // namespace

TEST_F(Text, EachLanguageGetsItsWritingSystemsFontHereAndReplacedListsFallBack) {
    const std::string dir = "/usr/share/fonts/truetype/", dejavu = DEJAVU + " " + DEJAVU_BOLD,
                      wqy = dir + "wqy/wqy-zenhei.ttc", gothic = dir + "fonts-japanese-gothic.ttf",
                      noto = dir + "noto/NotoSansDevanagari-";
    // English 0, Russian 7, Chinese 10, Japanese 11, Arabic 12, Hindi 13; shaping None, Arabic, Devanagari
    const std::tuple<int, std::string, int> rows[] = {{7, dejavu, 0}, {12, dejavu, 1}, {10, wqy + " " + wqy, 0},
        {11, gothic + " " + gothic, 0}, {0, dejavu, 0}, {13, noto + "Regular.ttf " + noto + "Bold.ttf", 2}};
    for (const auto& row : rows) {
        load_fonts_for_language(ts, uint8_t(std::get<0>(row)), &diag);
        EXPECT_EQ(std::tuple(int(ts.language), paths(), int(ts.shaping)), row);
    }
    EXPECT_EQ(diag, "");  // no language needed the fallback
    const FontPair japanese[2] = {{MISSING.c_str(), DEJAVU_BOLD.c_str()}, {DEJAVU.c_str(), MISSING.c_str()}};
    const FontPair fallback[2] = {{MISSING.c_str(), DEJAVU.c_str()}, {DEJAVU_BOLD.c_str(), DEJAVU.c_str()}};
    lists.japanese = {japanese, 2}, lists.fallback = {fallback, 2};
    ASSERT_TRUE(restart_with_lists());
    for (uint8_t language : {0, 12, 13}) {  // Arabic and Hindi with no font of their own, and a note each
        load_fonts_for_language(ts, language, &diag);
        EXPECT_EQ(paths(), DEJAVU_BOLD + " " + DEJAVU) << int(language);
    }
    const std::string note = "No font for this language, using " + DEJAVU_BOLD + "\n";
    ASSERT_TRUE(restart_with_lists(11));  // Japanese reads its own list only; a missing bold is the regular
    EXPECT_EQ(std::make_tuple(ts.language, diag, paths(), ts.font_files.size()),
              std::make_tuple(11, note + note, DEJAVU + " " + DEJAVU, 2u));
}

TEST_F(Text, NothingOpensMeansNoTextAndNoFileIsHeldOpen) {
    const std::string plain = make_temp_dir("torvanel-not-a-font") + "/plain.ttf";
    std::ofstream(plain) << "plain text, not a font";
    const FontPair not_fonts[1] = {{plain.c_str(), plain.c_str()}};
    lists.fallback = {not_fonts, 1};
    EXPECT_FALSE(restart_with_lists());
    EXPECT_EQ(ts.font_files.at(plain), nullptr);  // closed as soon as it proved no font
    const TextTexture t = render_text(ts, "Next", 18, WHITE, false);  // measured 0, the size as line skip
    EXPECT_EQ(std::vector<int64_t>({measure_text(ts, "Next", 18, false), line_skip(ts, 18, false), t.texture, t.width,
                                    t.height}), std::vector<int64_t>({0, 18, 0, 0, 0}));
    TextSystem never_started;  // nothing opens before TTF_Init
    EXPECT_TRUE(!load_fonts_for_language(never_started, 0, nullptr) && never_started.font_files.empty());
}

TEST_F(Text, EachSizeAndWeightOpensOnceFromOneSharedFileAndAFailureIsRemembered) {
#ifdef _WIN32
    GTEST_SKIP() << "a font file that is open cannot be deleted there";
#endif
    const std::string copy = make_temp_dir("torvanel-font") + "/copy.ttf";
    std::filesystem::copy_file(DEJAVU, copy, std::filesystem::copy_options::overwrite_existing);
    const FontPair only[1] = {{copy.c_str(), copy.c_str()}};
    lists.fallback = {only, 1};
    ASSERT_TRUE(restart_with_lists());
    TTF_Font *r = font_for(ts, 20, false), *b = font_for(ts, 20, true);
    std::filesystem::remove(copy);  // the file opened once serves every later size
    EXPECT_TRUE(r && b && r != b && font_for(ts, 20, false) == r && font_for(ts, 20, true) == b);
    TTF_Font* own = TTF_OpenFont(DEJAVU.c_str(), 36);  // measured as a handle of its own opened from the path
    EXPECT_EQ(width_in(font_for(ts, 36, false), "Wavy Torvanel"), width_in(own, "Wavy Torvanel"));
    TTF_CloseFont(own);
    EXPECT_TRUE(font_for(ts, 65536, false) == nullptr && ts.fonts.at(2 * 65536) == nullptr);  // too large, remembered
    // One file; the handle that proved it opens serves its size, and nothing else was opened.
    EXPECT_TRUE(ts.font_files.size() == 1u && ts.fonts.size() == 5u && ts.fonts.at(2 * PROBE_POINT_SIZE) != nullptr);
}

TEST_F(Text, TextureHasTheMeasuredSizeAndColourTopRowFirstAndIsCachedPerTextSizeColourAndWeight) {
    REQUIRE_GL();
    for (bool bold : {false, true}) {
        const TextTexture t = render_text(ts, "Install now", 18, WHITE, bold);
        int w = 0, h = 0;
        EXPECT_TRUE(TTF_SizeUTF8(font_for(ts, 18, bold), "Install now", &w, &h) == 0 && t.width == w && t.height == h);
    }
    const TextTexture t = render_text(ts, "_", 40, 0x2080C0FFu, false);  // read back: all ink this colour, low down
    std::vector<uint32_t> px(static_cast<size_t>(t.width * t.height));  // 0xRRGGBBAA
    gl.glBindTexture(GL_TEXTURE_2D, t.texture);
    gl_extra<void(APIENTRY*)(GLenum, GLint, GLenum, GLenum, void*)>("glGetTexImage")(
        GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_INT_8_8_8_8, px.data());
    size_t top_ink = px.size(), inked = 0, other = 0;
    for (size_t i = 0; i < px.size(); ++i)
        if (px[i] & 0xFF) ++inked, other += px[i] >> 8 != 0x2080C0, top_ink = std::min(top_ink, i / size_t(t.width));
    EXPECT_TRUE(inked > 0 && other == 0 && top_ink * 2 >= size_t(t.height)) << inked << " " << other << " " << top_ink;
    clear_text_cache(ts);
    render_text(ts, "Next", 18, WHITE, false);
    ts.cache.begin()->second.width = 999;  // a hit answers what is stored
    EXPECT_EQ(render_text(ts, "Next", 18, WHITE, false).width, 999);
    render_text(ts, "Next", 18, 0xFF0000FFu, false), render_text(ts, "Next", 18, WHITE, true);  // two more
    GLint limit = 0;
    gl_extra<void(APIENTRY*)(GLenum, GLint*)>("glGetIntegerv")(GL_MAX_TEXTURE_SIZE, &limit);
    for (const std::string& text : {std::string(), std::string(size_t(limit) / 4, 'W')}) {  // none, or too wide
        const TextTexture none = render_text(ts, text, 18, WHITE, false);  // draws and caches nothing
        EXPECT_TRUE(none.texture == 0 && none.width == 0 && none.height == 0) << text.size();
    }
    EXPECT_EQ(ts.cache.size(), 3u);
}

TEST_F(Text, CacheStartsAfreshOnAMissPastItsLimitAndOnAnotherLanguageOnly) {
    REQUIRE_GL();
    std::vector<uint32_t> names;
    for (int i = 0; i <= 900; ++i) names.push_back(render_text(ts, std::to_string(i), 10, WHITE, false).texture);
    text_set_language(ts, 0);  // the same language keeps the textures, and so does a hit past the limit
    EXPECT_TRUE(render_text(ts, "17", 10, WHITE, false).texture == names[17] && ts.fonts.size() == 2u);
    const uint32_t fresh = render_text(ts, "new", 10, WHITE, false).texture;
    EXPECT_EQ(ts.cache.size(), 1u);
    text_set_language(ts, 7);
    const auto is_texture = gl_extra<GLboolean(APIENTRY*)(GLuint)>("glIsTexture");
    EXPECT_TRUE(ts.cache.empty() && ts.fonts.count(2 * 10) == 0 && is_texture(fresh));  // the batch may still draw it
    text_end_frame(ts);
    EXPECT_FALSE(is_texture(fresh));
}

TEST_F(Text, MixedLineIsMeasuredAndDrawnRunByRun) {
    text_set_language(ts, 13);
    TTF_Font *font = font_for(ts, 18, false), *fallback = fallback_font_for(ts, 18, false);
    if (!font || TTF_GlyphIsProvided32(font, 'T')) GTEST_SKIP() << "the Hindi font has Latin letters";
    const int width = measure_text(ts, MIXED_LINE, 18, false);  // the space stays with the Latin run
    EXPECT_EQ(width, width_in(fallback, "Torvanel ") + width_in(font, DEVANAGARI_WORD));
    if (gl_test_context()) { EXPECT_EQ(render_text(ts, MIXED_LINE, 18, WHITE, false).width, width); }  // one texture
}

TEST_F(Text, EachScriptReachesTheFontInTheFormItIsDrawnAndRendersAsMeasured) {
    // Arabic always in our visual form; Hindi in logical order when SDL2_ttf takes its script, else as we order it.
    const std::vector<std::string> arabic = {encode_utf8({0x645, 0x631, 0x62D, 0x628, 0x627})},
        hindi = {"\u0938\u094D\u0935\u093E\u0917\u0924", "\u092A\u094D\u0930\u0924\u0940\u0915\u094D\u0937\u093E",
                 "\u0915\u093F"};  // welcome and wait, with conjuncts; ki, its vowel sign I drawn first
    const struct { uint8_t language; FontScriptFn library; bool font_shapes; const decltype(hindi)& words; } rows[] = {
        {12, font_script_function(), false, arabic}, {13, font_script_function(), true, hindi},
        {13, nullptr, false, hindi}, {13, refuses_script, false, hindi}};
    std::vector<int> widths[2];
    for (const auto& row : rows) {
        override_font_script_function(row.library);
        text_set_language(ts, 0), text_set_language(ts, row.language);
        EXPECT_EQ(ts.font_shapes_script, row.font_shapes) << int(row.language);
        for (const std::string& w : row.words) {
            const std::string handed = row.font_shapes ? w : shape_text(w, ts.shaping);
            for (bool bold : {false, true})
                EXPECT_EQ(measure_text(ts, w, 18, bold), width_in(font_for(ts, 18, bold), handed)) << w;
            const int width = measure_text(ts, w, 18, false);
            if (gl_test_context()) { EXPECT_EQ(render_text(ts, w, 18, WHITE, false).width, width) << w; }
            if (row.language == 13) widths[row.font_shapes].push_back(width);
        }
    }
    restore_font_script_function();
    for (size_t i = 0; i < 2; ++i) EXPECT_LT(widths[1][i], widths[0][i]) << hindi[i];  // conjuncts are narrower
}

TEST_F(Text, EveryLanguagesFontInksUnderscoreAndDescenderAndSpacesLatinProportionally) {
    // Some CJK fonts put "_" below their descent, where SDL2_ttf cuts it off, and give Latin letters one width.
    for (uint8_t language = 0; language < LANGUAGE_COUNT; ++language) {
        text_set_language(ts, language);
        for (int size = 13; size <= 36; ++size)
            for (bool bold : {false, true}) {
                TTF_Font* font = font_for(ts, size, bold);
                SCOPED_TRACE(testing::Message() << LANGUAGES[language].code << " " << size << (bold ? "b" : ""));
                ASSERT_NE(font, nullptr);
                if (!TTF_GlyphIsProvided32(font, 'g')) font = fallback_font_for(ts, size, bold);  // as drawn
                EXPECT_TRUE(inked_pixels(font, "_") > 0 && inked_pixels(font, "g") > 0);
                EXPECT_LT(width_in(font, "iiii"), width_in(font, "mmmm"));
            }
    }
}

TEST(Elide, APathTooWideKeepsItsEndsAndGivesUpTheMiddle) {
    const MeasureText bytes = [](const std::string& t) { return static_cast<int>(t.size()); };  // "…" is 3
    const std::string path = "C:/Users/Ann/AppData/Local/Programs/Torvanel";  // 44 bytes
    // A long name with two-byte letters near its end is never cut inside one (at 32 and 35 a byte would fit).
    const std::string a(14, 'a'), b(14, 'b'), name = std::string(4000, 'a') + "\xC5\x81\xC5\x81\xC3\xB3" + b;
    const struct { const std::string& text; int width; std::string want; } rows[] = {
        {path, 44, path}, {path, 43, "C:/Users/Ann/…/Local/Programs/Torvanel"}, {path, 15, "C:/…/Torvanel"},
        {path, 14, "C:/Us…rvanel"}, {path, 2, "…"}, {name, 35, a + "aa…\xC3\xB3" + b}, {name, 32, a + "a…" + b}};
    for (const auto& r : rows) EXPECT_EQ(elide_path_middle(r.text, r.width, bytes), r.want) << r.width;
}
