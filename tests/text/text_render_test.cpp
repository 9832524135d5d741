// Text textures on a real GL context: their size and pixels, the cache's
// keys, hits and limit, and measuring after shaping.
#include <SDL.h>
#include <SDL_ttf.h>
#include <gtest/gtest.h>

#include "render/gl_api.h"
#include "tests/support/gl_context.h"
#include "text/shaping.h"
#include "text/text_render.h"

namespace {

constexpr uint32_t WHITE = 0xFFFFFFFFu;

// RGBA bytes of a texture, its first uploaded row first.
std::vector<uint8_t> read_texture(const TextTexture& t) {
    std::vector<uint8_t> px(static_cast<size_t>(t.width * t.height * 4));
    GLuint fbo = 0;
    gl.glGenFramebuffers(1, &fbo);
    gl.glBindFramebuffer(GL_FRAMEBUFFER, fbo);
    gl.glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, t.texture, 0);
    if (gl.glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) px.clear();
    gl.glReadBuffer(GL_COLOR_ATTACHMENT0);
    gl.glPixelStorei(GL_PACK_ALIGNMENT, 1);
    if (!px.empty()) gl.glReadPixels(0, 0, t.width, t.height, GL_RGBA, GL_UNSIGNED_BYTE, px.data());
    gl.glBindFramebuffer(GL_FRAMEBUFFER, 0);
    gl.glDeleteFramebuffers(1, &fbo);
    return px;
}

// glIsTexture is not among the program's entry points; the tests fetch it themselves.
bool is_texture(uint32_t name) {
    using IsTexture = GLboolean(APIENTRY*)(GLuint);
    static auto fn = reinterpret_cast<IsTexture>(SDL_GL_GetProcAddress("glIsTexture"));
    return fn && fn(name) == GL_TRUE;
}

class TextTextures : public testing::Test {
protected:
    TextSystem ts;
    void SetUp() override {
        REQUIRE_GL();
        ASSERT_TRUE(text_init(ts, nullptr));
    }
    void TearDown() override { text_shutdown(ts); }
};

}  // namespace

// [SECTION] Textures

TEST_F(TextTextures, SizeIsWhatSdlTtfReports) {
    for (bool bold : {false, true}) {
        const TextTexture t = render_text(ts, "Install now", 18, WHITE, bold);
        ASSERT_NE(t.texture, 0u);
        int w = 0, h = 0;
        ASSERT_EQ(TTF_SizeUTF8(font_for(ts, 18, bold), "Install now", &w, &h), 0);
        EXPECT_EQ(t.width, w);
        EXPECT_EQ(t.height, h);
        EXPECT_EQ(measure_text(ts, "Install now", 18, bold), w);
    }
    EXPECT_GT(measure_text(ts, "Install now", 30, false),
              measure_text(ts, "Install now", 18, false));
}

TEST_F(TextTextures, PixelsCarryTheColourTopRowFirst) {
    const TextTexture t = render_text(ts, "_", 40, 0x2080C0FFu, false);
    const std::vector<uint8_t> px = read_texture(t);
    ASSERT_EQ(px.size(), static_cast<size_t>(t.width * t.height * 4));
    int inked = 0, solid = 0, wrong = 0;
    long row_sum = 0;
    for (size_t i = 0; i < px.size(); i += 4) {
        if (px[i + 3] == 0) continue;
        ++inked;
        solid += px[i + 3] == 255;
        wrong += px[i] != 0x20 || px[i + 1] != 0x80 || px[i + 2] != 0xC0;
        row_sum += static_cast<long>(i / 4) / t.width;
    }
    ASSERT_GT(inked, 0);
    EXPECT_GT(solid, 0);
    EXPECT_EQ(wrong, 0);
    // An underscore lies below the baseline: its ink is in the lower rows.
    EXPECT_GT(row_sum / inked, t.height / 2);
}

// [SECTION] Cache

TEST_F(TextTextures, KeysHitsAndSeparateEntries) {
    EXPECT_EQ(text_cache_key("Next", 18, WHITE, false), "18|4294967295|Next");
    EXPECT_EQ(text_cache_key("Next", 18, WHITE, true), "18b|4294967295|Next");
    EXPECT_EQ(text_cache_key("a|b", -3, 0xFFu, false), "-3|255|a|b");
    const TextTexture a = render_text(ts, "Next", 18, WHITE, false);
    ASSERT_EQ(ts.cache.count("18|4294967295|Next"), 1u);
    ts.cache["18|4294967295|Next"].width = 999;  // a hit answers what is stored
    const TextTexture again = render_text(ts, "Next", 18, WHITE, false);
    EXPECT_EQ(again.texture, a.texture);
    EXPECT_EQ(again.width, 999);

    const uint32_t names[] = {a.texture, render_text(ts, "Next", 18, 0xFF0000FFu, false).texture,
                              render_text(ts, "Next", 18, WHITE, true).texture,
                              render_text(ts, "Next", 19, WHITE, false).texture};
    EXPECT_EQ(ts.cache.size(), 4u);
    EXPECT_EQ(ts.cache.count("18b|4294967295|Next"), 1u);
    for (int i = 1; i < 4; ++i) EXPECT_NE(names[i], names[0]);

    // The empty text draws nothing and leaves the cache alone.
    const TextTexture none = render_text(ts, "", 18, WHITE, false);
    EXPECT_EQ(none.texture + none.width + none.height, 0u);
    EXPECT_EQ(measure_text(ts, "", 18, false), 0);
    EXPECT_EQ(ts.cache.size(), 4u);
}

TEST_F(TextTextures, PastTheLimitAMissStartsAfreshAndAHitDoesNot) {
    std::vector<uint32_t> names;
    for (int i = 0; i <= 900; ++i)  // at exactly 900 entries a miss still adds
        names.push_back(render_text(ts, std::to_string(i), 10, WHITE, false).texture);
    ASSERT_EQ(ts.cache.size(), 901u);
    EXPECT_EQ(render_text(ts, "17", 10, WHITE, false).texture, names[17]);
    EXPECT_EQ(ts.cache.size(), 901u);
    const TextTexture fresh = render_text(ts, "new", 10, WHITE, false);
    ASSERT_NE(fresh.texture, 0u);
    EXPECT_EQ(ts.cache.size(), 1u);
    EXPECT_EQ(ts.cache.count(text_cache_key("new", 10, WHITE, false)), 1u);
    int alive = 0;
    for (uint32_t n : names) alive += n != fresh.texture && is_texture(n);
    EXPECT_EQ(alive, 0);  // the dropped textures were deleted
}

TEST_F(TextTextures, LanguageSwitchKeepsOrDeletesTextures) {
    const TextTexture a = render_text(ts, "Next", 18, WHITE, false);
    text_set_language(ts, 0);
    EXPECT_EQ(render_text(ts, "Next", 18, WHITE, false).texture, a.texture);
    EXPECT_TRUE(is_texture(a.texture));
    text_set_language(ts, 7);
    EXPECT_TRUE(ts.cache.empty());
    EXPECT_FALSE(is_texture(a.texture));
}

// [SECTION] Measuring shaped text

TEST_F(TextTextures, ScriptsAreMeasuredAsDrawn) {
    struct {
        uint8_t language;
        std::vector<uint32_t> logical, drawn;
    } const cases[] = {
        {12, {0x645, 0x631, 0x62D, 0x628, 0x627}, {0xFE8E, 0xFE92, 0xFEA3, 0xFEAE, 0xFEE3}},
        {13,
         {0x939, 0x93F, 0x928, 0x94D, 0x926, 0x940},
         {0x93F, 0x939, 0x928, 0x94D, 0x926, 0x940}},
    };
    for (const auto& c : cases) {
        text_set_language(ts, c.language);
        const std::string logical = encode_utf8(c.logical);
        const int width = measure_text(ts, logical, 24, false);
        EXPECT_EQ(render_text(ts, logical, 24, WHITE, false).width, width);
        EXPECT_EQ(ts.cache.count(text_cache_key(logical, 24, WHITE, false)), 1u);
        const ShapingMode mode = ts.shaping;
        ts.shaping = ShapingMode::None;
        EXPECT_EQ(width, measure_text(ts, encode_utf8(c.drawn), 24, false));
        EXPECT_GT(width, 0);
        ts.shaping = mode;
    }
}
