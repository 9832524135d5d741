// The GL loader; the UI batch without a context (commands, GL calls) and on a real one
// (shaders, framebuffer contents); the emblem's coverage, sampling, windows and texture.
#include <SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <set>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include "render/emblem.h"
#include "render/gl_api.h"
#include "render/ui_batch.h"
#include "tests/support/gl_context.h"

namespace {

const UiColor WHITE = {1, 1, 1, 1};

// [SECTION] Loader

std::set<std::string> g_hidden;
// A fake driver: the address of a name is the name itself, unless it is hidden.
void* fake_lookup(const char* name) { return g_hidden.count(name) ? nullptr : const_cast<char*>(name); }

TEST(GlLoader, EachHiddenNameGivesOneLineInTableOrderAndFalse) {
    const GlApi saved = gl;
    const std::pair<std::set<std::string>, const char*> rows[] = {
        {{}, ""}, {{"glGenFramebuffers"}, "missing GL function glGenFramebuffers\n"},
        {{"glReadPixels", "glClearColor"}, "missing GL function glClearColor\nmissing GL function glReadPixels\n"}};
    for (const auto& [hidden, err] : rows) {
        SCOPED_TRACE(err);
        g_hidden = hidden;
        gl = GlApi{};
        testing::internal::CaptureStderr();
        const bool ok = load_gl_api_with(fake_lookup);
        EXPECT_EQ(testing::internal::GetCapturedStderr(), err);
        EXPECT_EQ(ok, hidden.empty());
#define TORVANEL_CHECK_SLOT(ret, name, params) \
    EXPECT_STREQ(reinterpret_cast<const char*>(gl.name), g_hidden.count(#name) ? nullptr : #name);
        TORVANEL_GL_FUNCTIONS(TORVANEL_CHECK_SLOT)
#undef TORVANEL_CHECK_SLOT
    }
    gl = saved;
}

// Success means every slot is filled and nothing was printed (the table above): a failing load in the context
// helper would only skip the GL tests, so it fails here.
TEST(GlLoader, RealContextLoadsEverything) {
    if (!gl_test_context() && !SDL_GL_GetCurrentContext()) GTEST_SKIP() << "no OpenGL 3.3";
    gl = GlApi{};
    EXPECT_TRUE(load_gl_api());
}

TEST(GlLoader, NullBackendLoadsEverythingAndHandsOutFreshNames) {
    const GlApi saved = gl;
    EXPECT_TRUE(load_gl_api_with(null_gl_lookup));
    EXPECT_EQ(null_gl_lookup("glNotAFunction"), nullptr);
    GLuint names[3] = {};
    gl.glGenTextures(2, names);
    gl.glGenBuffers(1, names + 2);
    EXPECT_TRUE(names[0] != 0 && names[1] != names[0] && names[2] != names[1] && names[2] != 0);
    UiContext ui;
    std::string log;
    ASSERT_TRUE(ui_init(ui, nullptr, &log)) << log;
    EXPECT_NE(ui.program, 0u);
    ui_begin_frame(ui, 960, 600, {});
    ui_quad(ui, 0, 0, 10, 10, 0, 0, 1, 1, WHITE, names[0]);
    ui_end_frame(ui);
    ui_shutdown(ui);
    gl = saved;
}

// [SECTION] Batch without GL

template <typename T>
std::string text(T v) {
    if constexpr (std::is_pointer_v<T>) return std::to_string(reinterpret_cast<uintptr_t>(v));
    else return std::to_string(static_cast<long long>(v));
}
template <typename... A>
std::string call(const char* name, A... a) { return (std::string(name) + ... + (" " + text(a))); }

TEST(UiBatch, QuadsInARowWithOneTextureShareACommand) {
    const std::pair<std::vector<uint32_t>, const char*> rows[] = {  // text, rectangle, the same text again
        {{7, 0, 7}, " 7 0 6; 0 6 6; 7 12 6;"}, {{3, 3}, " 3 0 12;"}};
    for (const auto& [textures, want] : rows) {
        UiContext ui;
        for (uint32_t t : textures) ui_quad(ui, 0, 0, 10, 10, 0, 0, 1, 1, WHITE, t);
        std::string got;  // texture, first vertex, count
        for (const UiDrawCmd& d : ui.draws) got += call("", d.texture, d.first, d.count) + ";";
        EXPECT_EQ(got, want);
        EXPECT_EQ(ui.vertices.size(), 6 * textures.size()) << want;
    }
}

TEST(UiBatch, ClipTrimsQuadsAndTheirTextureCoordinatesOnlyWhileSet) {
    // Quads of 0..10 x 0..20 at (x, y) with coordinates 0..1 against the clip 5..15 x 5..15: the first and
    // third vertex as (x, y, u, v) each, or none when nothing is left.
    const struct { float x, y; std::vector<float> want; } rows[] = {
        {6, 6, {6, 6, 0, 0, 15, 15, 0.9f, 0.45f}},     // cut right and bottom
        {0, 0, {5, 5, 0.5f, 0.25f, 10, 15, 1, 0.75f}},  // cut left, top and bottom
        {5, -5, {5, 5, 0, 0.5f, 15, 15, 1, 1}},        // cut at the top only
        {15, 0, {}}, {0, 15, {}}, {-10, 0, {}}};       // touching or outside: nothing
    for (const auto& row : rows) {
        UiContext ui;
        ui_set_clip(ui, {5, 5, 10, 10});
        ui_quad(ui, row.x, row.y, row.x + 10, row.y + 20, 0, 0, 1, 1, WHITE, 7);
        std::vector<float> got;
        for (size_t i = 0; ui.vertices.size() == 6 && i <= 2; i += 2)
            got.insert(got.end(), {ui.vertices[i].x, ui.vertices[i].y, ui.vertices[i].u, ui.vertices[i].v});
        ASSERT_EQ(got.size(), row.want.size()) << row.x << "," << row.y;
        for (size_t i = 0; i < got.size(); ++i) EXPECT_FLOAT_EQ(got[i], row.want[i]) << row.x << "," << row.y;
        EXPECT_EQ(ui.draws.size(), got.empty() ? 0u : 1u);
    }
    // Inside the clip, once it is cleared or in a new frame, a quad is pushed bit for bit as without one.
    const auto odd = [](UiContext& c) { ui_quad(c, 0.3f, 0.7f, 9.1f, 7.9f, 0.1f, 0.2f, 0.9f, 0.6f, WHITE, 0); };
    const auto beyond = [](UiContext& c) { ui_quad(c, 20, 20, 30, 30, 0, 0, 1, 1, WHITE, 0); };
    UiContext plain, clipped;
    odd(plain), beyond(plain);
    const auto same = [&] {
        return clipped.vertices.size() == plain.vertices.size() &&
               std::memcmp(clipped.vertices.data(), plain.vertices.data(), plain.vertices.size() * sizeof(UiVertex)) == 0;
    };
    ui_set_clip(clipped, {0.3f, 0.7f, 8.8f, 7.5f});  // touching on three sides
    odd(clipped);
    ui_clear_clip(clipped);
    beyond(clipped);
    EXPECT_TRUE(same()) << "inside the clip, then cleared";
    ui_set_clip(clipped, {0, 0, 1, 1});
    ui_begin_frame(clipped, 40, 40, UiInput{});  // empties the batch and starts unclipped
    odd(clipped), beyond(clipped);
    EXPECT_TRUE(same()) << "in a new frame";
}

std::vector<std::string> g_calls;

TEST(UiBatch, EndFrameUploadsOnceThenDrawsEachCommandInOrder) {
    const GlApi saved = gl;
#define TORVANEL_RECORD(ret, name, params) \
    gl.name = [](auto... a) -> ret { return g_calls.push_back(call(#name, a...)), ret(); };
    TORVANEL_GL_FUNCTIONS(TORVANEL_RECORD)
#undef TORVANEL_RECORD
    // Uniform locations: the letter after the u ('S' for uScreen).
    gl.glGetUniformLocation = [](GLuint program, const GLchar* name) -> GLint { return program == 3 ? name[1] : -1; };
    UiContext ui;
    ui.program = 3, ui.vao = 4, ui.vbo = 5;
    ui_quad(ui, 0, 0, 10, 10, 0, 0, 1, 1, WHITE, 0);
    ui_begin_frame(ui, 0, 600, UiInput{});  // empties the batch; a width of 0 is stored as 1
    EXPECT_EQ(std::pair(ui.width, ui.height), std::pair(1, 600));
    ui_end_frame(ui);
    EXPECT_TRUE(g_calls.empty());  // an empty batch makes no call at all
    for (uint32_t texture : {0, 0, 8}) ui_quad(ui, 0, 0, 10, 10, 0, 0, 1, 1, WHITE, texture);
    ui_end_frame(ui);
    gl = saved;
    const void* data = ui.vertices.data();
    EXPECT_EQ(g_calls, (std::vector<std::string>{
        call("glDisable", GL_DEPTH_TEST), call("glDisable", GL_CULL_FACE), call("glDisable", GL_SCISSOR_TEST),
        call("glEnable", GL_BLEND), call("glBlendFunc", GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA),
        call("glBindVertexArray", 4), call("glBindBuffer", GL_ARRAY_BUFFER, 5),
        call("glBufferData", GL_ARRAY_BUFFER, 18 * 32, data, GL_STREAM_DRAW), call("glUseProgram", 3),
        call("glUniform2f", 'S', 1, 600), call("glUniform1i", 'T', 0), call("glUniform1i", 'U', 0),
        call("glActiveTexture", GL_TEXTURE0),  // then per command:
        call("glUniform1i", 'U', 0), call("glBindTexture", GL_TEXTURE_2D, 0), call("glDrawArrays", GL_TRIANGLES, 0, 12),
        call("glUniform1i", 'U', 1), call("glBindTexture", GL_TEXTURE_2D, 8), call("glDrawArrays", GL_TRIANGLES, 12, 6),
        call("glBindTexture", GL_TEXTURE_2D, 0), call("glBindVertexArray", 0), call("glDisable", GL_BLEND)}));
}

// [SECTION] Batch on GL

struct Probe { int x, y, rgba[4]; };  // x, y from the top left

struct UiOnGl : ::testing::Test {
    UiContext ui;
    int width = 0, height = 0;
    void SetUp() override {
        REQUIRE_GL();
        SDL_GL_GetDrawableSize(gl_test_window(), &width, &height);
        std::string error;
        ASSERT_TRUE(ui_init(ui, nullptr, &error)) << error;
        gl.glClearColor(0, 0, 0, 1);
        gl.glClear(GL_COLOR_BUFFER_BIT);
        ui_begin_frame(ui, width, height, UiInput{});
    }
    void TearDown() override { ui_shutdown(ui); }
    void expect_pixels(std::initializer_list<Probe> probes) {
        gl.glPixelStorei(GL_PACK_ALIGNMENT, 1);
        for (const Probe& p : probes) {
            uint8_t got[4] = {};
            gl.glReadPixels(p.x, height - 1 - p.y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, got);
            for (int c = 0; c < 4; ++c)
                EXPECT_NEAR(got[c], p.rgba[c], 1) << p.x << "," << p.y << " channel " << c;
        }
    }
};

TEST_F(UiOnGl, ShadersBuildAndABrokenSourceFailsWithItsLog) {
    uint32_t program = 0;
    std::string log = "kept";
    ASSERT_TRUE(build_program(program, UI_VERTEX_SHADER_SOURCE, UI_FRAGMENT_SHADER_SOURCE, &log));
    EXPECT_NE(program, 0u);
    EXPECT_EQ(log, "kept");
    const char* broken = "#version 330 core\nout vec4 c;\nvoid main(){ c = vec4(1.0) }\n";
    EXPECT_EQ(compile_shader(GL_FRAGMENT_SHADER, broken, &log), 0u);
    EXPECT_EQ(log.rfind("kept", 0), 0u);  // appended to
    const size_t compiled = log.size();
    EXPECT_GT(compiled, 4u);
    EXPECT_FALSE(build_program(program, UI_VERTEX_SHADER_SOURCE, broken, &log));
    EXPECT_EQ(program, 0u);  // the earlier program is gone too
    EXPECT_GT(log.size(), compiled);
}

TEST_F(UiOnGl, EmptyFrameKeepsBlendingQuadsLandFromTheTopLeftAndTexturesMultiplyTheColour) {
    auto is_enabled =
        reinterpret_cast<GLboolean(APIENTRY*)(GLenum)>(SDL_GL_GetProcAddress("glIsEnabled"));
    gl.glEnable(GL_BLEND);
    ui_end_frame(ui);
    EXPECT_TRUE(is_enabled(GL_BLEND));  // a drawing frame would end with it off
    const float w = float(width), h = float(height);
    ui_quad(ui, 0, 0, 10, 10, 0, 0, 1, 1, {1, 0, 0, 1}, 0);
    ui_quad(ui, w - 10, h - 10, w, h, 0, 0, 1, 1, {0, 1, 0, 1}, 0);
    ui_quad(ui, 100, 50, 140, 70, 0, 0, 1, 1, {0, 0, 1, 1}, 0);
    ui_quad(ui, 120, 50, 140, 70, 0, 0, 1, 1, {1, 1, 1, 0.5f}, 0);  // blended over the blue
    const uint8_t texels[8] = {255, 128, 0, 255, 255, 255, 255, 255};  // orange, white
    GLuint texture = 0;
    gl.glGenTextures(1, &texture);
    gl.glBindTexture(GL_TEXTURE_2D, texture);
    gl.glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    gl.glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, 2, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels);
    gl.glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    gl.glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    ui_quad(ui, 200, 100, 240, 140, 0, 0, 1, 1, {0.5f, 1, 1, 1}, texture);
    ui_quad(ui, 300, 100, 340, 140, 0, 0, 1, 1, {0.5f, 1, 1, 1}, 0);  // not sampled
    ui_end_frame(ui);
    gl.glDeleteTextures(1, &texture);
    expect_pixels({{0, 0, {255, 0, 0, 255}}, {9, 9, {255, 0, 0, 255}}, {10, 10, {0, 0, 0, 255}},
                   {width - 1, height - 1, {0, 255, 0, 255}}, {width - 11, height - 1, {0, 0, 0, 255}},
                   {105, 55, {0, 0, 255, 255}}, {105, 71, {0, 0, 0, 255}}, {130, 60, {128, 128, 255, 255}},
                   {205, 120, {128, 128, 0, 255}}, {235, 120, {128, 255, 255, 255}}, {305, 120, {128, 255, 255, 255}}});
}

// [SECTION] Emblem

std::vector<uint8_t> painted(int n) {
    std::vector<uint8_t> image(7, 0xAB);  // to be resized and cleared
    paint_emblem(n, image);
    return image;
}

TEST(Emblem, ClearCornersOpaqueTopCentreAndAlphaInWholeSamples) {
    // {size, samples per pixel}: 3 x 3 below 128, 4 x 4 from 128 up.
    for (auto [n, m] : {std::pair{16, 9}, {127, 9}, {128, 16}, {256, 16}}) {
        SCOPED_TRACE(n);
        const auto image = painted(n);
        ASSERT_EQ(image.size(), size_t(n) * n * 4);
        auto at = [&](int x, int y, int channel) { return image[(size_t(y) * n + x) * 4 + channel]; };
        for (auto [x, y] : {std::pair{0, 0}, {n - 1, 0}, {0, n - 1}, {n - 1, n - 1}})
            for (int c = 0; c < 4; ++c) EXPECT_EQ(at(x, y, c), 0) << x << "," << y << " channel " << c;
        EXPECT_EQ(at(n / 2, 0, 3), 255);
        std::set<int> steps, partial;
        for (int h = 0; h <= m; ++h) steps.insert(h * 255 / m);
        for (size_t i = 3; i < image.size(); i += 4) {
            ASSERT_TRUE(steps.count(image[i])) << "alpha " << int(image[i]);
            if (image[i] != 0 && image[i] != 255) partial.insert(image[i]);
        }
        EXPECT_GE(partial.size(), size_t(n > 16 ? m / 2 : 2));
    }
}

TEST(Emblem, NoWindowWhereTheColumnOffsetModSixIsTwoOrLess) {
    for (int seed : {7, 11, 91})
        for (float left : {0.0f, 38.0f, 112.0f})
            for (int cell = 0; cell < 6; ++cell)
                for (float wall : {0.0f, 0.5f, 1.0f, 1.99f, 2.0f})
                    for (float dy = 0.0f; dy < 60.0f; dy += 0.7f)
                        EXPECT_FALSE(window_lit(left, 100, left + cell * 6 + wall, 100 + dy, seed))
                            << left << " " << cell << " " << wall << " " << dy << " " << seed;
    EXPECT_TRUE(window_lit(0, 0, 2.01f, 2.21f, 7) && window_lit(38, 142, 53, 159, 7));
}

TEST(Emblem, TexturesAreAtLeastSixteenAndHoldThePaintingOfTheirSize) {
    REQUIRE_GL();
    auto get_tex_image = reinterpret_cast<void(APIENTRY*)(GLenum, GLint, GLenum, GLenum, void*)>(
        SDL_GL_GetProcAddress("glGetTexImage"));
    for (auto [wanted, n] : {std::pair{8, 16}, {20, 20}, {40, 40}}) {
        int w = 0, h = 0;
        GLuint texture = make_emblem_texture(wanted, &w, &h);
        EXPECT_EQ(std::pair(w, h), std::pair(n, n));
        std::vector<uint8_t> uploaded(256 * 256 * 4);  // room for any size it may wrongly have
        gl.glBindTexture(GL_TEXTURE_2D, texture);
        gl.glPixelStorei(GL_PACK_ALIGNMENT, 1);
        get_tex_image(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, uploaded.data());
        gl.glBindTexture(GL_TEXTURE_2D, 0);
        gl.glDeleteTextures(1, &texture);
        uploaded.resize(size_t(n) * n * 4);
        EXPECT_EQ(uploaded, painted(n)) << n;
    }
}

}  // namespace
