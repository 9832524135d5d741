// The GL loader; the UI batch without a context and on a real one; the emblem's texture.
#include <SDL.h>
#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "render/emblem.h"
#include "render/gl_api.h"
#include "render/ui_batch.h"
#include "tests/support/gl_context.h"

namespace {

const UiColor WHITE = {1, 1, 1, 1};

std::set<std::string> g_hidden;
// A fake driver: the address of a name is the name itself, unless it is hidden.
void* fake_lookup(const char* name) { return g_hidden.count(name) ? nullptr : const_cast<char*>(name); }

TEST(GlLoader, EachHiddenNameGivesOneLineInTableOrderAndFalse) {
    const GlApi saved = gl;
    g_hidden = {"glReadPixels", "glClearColor"};
    gl = GlApi{};
    testing::internal::CaptureStderr();
    EXPECT_FALSE(load_gl_api_with(fake_lookup));
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "missing GL function glClearColor\nmissing GL function glReadPixels\n");
#define TORVANEL_CHECK_SLOT(ret, name, params) \
    EXPECT_STREQ(reinterpret_cast<const char*>(gl.name), g_hidden.count(#name) ? nullptr : #name);
    TORVANEL_GL_FUNCTIONS(TORVANEL_CHECK_SLOT)
#undef TORVANEL_CHECK_SLOT
    gl = saved;
}

TEST(UiBatch, ClipTrimsQuadsAndTheirTextureCoordinatesAndLeavesThoseInsideAlone) {
    // Quads 0..10 x 0..20 at (x, y), coordinates 0..1, clip 5..15 x 5..15: vertices 0 and 2 as x, y, u, v, if any.
    const struct { float x, y; std::vector<float> want; } rows[] = {
        {6, 6, {6, 6, 0, 0, 15, 15, 0.9f, 0.45f}}, {0, 0, {5, 5, 0.5f, 0.25f, 10, 15, 1, 0.75f}}, {15, 0, {}}};
    for (const auto& row : rows) {
        UiContext ui;
        ui_set_clip(ui, {5, 5, 10, 10});
        ui_quad(ui, row.x, row.y, row.x + 10, row.y + 20, 0, 0, 1, 1, WHITE, 7);
        std::vector<float> got;
        for (size_t i = 0; ui.vertices.size() == 6 && i <= 2; i += 2)
            got.insert(got.end(), {ui.vertices[i].x, ui.vertices[i].y, ui.vertices[i].u, ui.vertices[i].v});
        ASSERT_EQ(got.size(), row.want.size()) << row.x;
        for (size_t i = 0; i < got.size(); ++i) EXPECT_FLOAT_EQ(got[i], row.want[i]) << row.x;
        EXPECT_EQ(ui.draws.size(), got.empty() ? 0u : 1u);
    }
    UiContext plain, clipped;  // a quad inside the clip (touching three sides) is pushed bit for bit as without one
    ui_set_clip(clipped, {0.3f, 0.7f, 8.8f, 7.5f});
    for (UiContext* c : {&plain, &clipped}) ui_quad(*c, 0.3f, 0.7f, 9.1f, 7.9f, 0.1f, 0.2f, 0.9f, 0.6f, WHITE, 0);
    ASSERT_EQ(clipped.vertices.size(), 6u);
    EXPECT_EQ(memcmp(plain.vertices.data(), clipped.vertices.data(), 6 * sizeof(UiVertex)), 0);
}

std::vector<std::string> g_gl;

// On the benchmarks' null backend the UI starts; an empty batch draws nothing, and each run of quads with one
// texture is one draw call.
TEST(UiBatch, EndFrameUploadsOnceThenDrawsEachRunOfATextureInOrder) {
    const GlApi saved = gl;
    EXPECT_TRUE(load_gl_api_with(null_gl_lookup) && !null_gl_lookup("glNotAFunction"));
    UiContext ui;
    EXPECT_TRUE(ui_init(ui, nullptr, nullptr) && ui.program != 0);
    gl.glBufferData = [](GLenum, GLsizeiptr n, const void*, GLenum) { g_gl.push_back("up " + std::to_string(n)); };
    gl.glBindTexture = [](GLenum, GLuint t) { g_gl.push_back("tex " + std::to_string(t)); };
    gl.glDrawArrays = [](GLenum, GLint i, GLsizei n) { g_gl.push_back(std::to_string(i) + "+" + std::to_string(n)); };
    ui_quad(ui, 0, 0, 10, 10, 0, 0, 1, 1, WHITE, 0);
    ui_begin_frame(ui, 0, 600, UiInput{});  // empties the batch; a width of 0 is stored as 1
    ui_end_frame(ui);
    EXPECT_TRUE(g_gl.empty() && ui.width == 1);
    for (uint32_t texture : {0, 0, 8, 0}) ui_quad(ui, 0, 0, 10, 10, 0, 0, 1, 1, WHITE, texture);
    ui_end_frame(ui);
    ui_shutdown(ui);
    gl = saved;
    EXPECT_EQ(g_gl, (std::vector<std::string>{"up 768", "tex 0", "0+12", "tex 8", "12+6", "tex 0", "18+6", "tex 0"}));
}

// The UI program builds with an unchanged log; quads land from the top left, blend, and textures multiply the
// colour; a broken shader fails with its log appended and takes the earlier program with it.
TEST(UiOnGl, ShadersAndPixels) {
    REQUIRE_GL();
    int width = 0, height = 0;
    SDL_GL_GetDrawableSize(gl_test_window(), &width, &height);
    UiContext ui;
    std::string log = "kept";
    ASSERT_TRUE(ui_init(ui, nullptr, &log)) << log;
    EXPECT_EQ(log, "kept");
    gl.glClearColor(0, 0, 0, 1);
    gl.glClear(GL_COLOR_BUFFER_BIT);
    ui_begin_frame(ui, width, height, UiInput{});
    ui_quad(ui, 0, 0, 10, 10, 0, 0, 1, 1, {1, 0, 0, 1}, 0);
    ui_quad(ui, width - 10.0f, height - 10.0f, float(width), float(height), 0, 0, 1, 1, {0, 1, 0, 1}, 0);
    ui_quad(ui, 100, 50, 140, 70, 0, 0, 1, 1, {0, 0, 1, 1}, 0);
    ui_quad(ui, 120, 50, 140, 70, 0, 0, 1, 1, {1, 1, 1, 0.5f}, 0);  // blended over the blue
    const uint8_t texels[8] = {255, 128, 0, 255, 255, 255, 255, 255};  // orange, white
    GLuint texture = 0;
    gl.glGenTextures(1, &texture);
    gl.glBindTexture(GL_TEXTURE_2D, texture);
    gl.glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, 2, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels);
    gl.glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    gl.glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    ui_quad(ui, 200, 100, 240, 140, 0, 0, 1, 1, {0.5f, 1, 1, 1}, texture);
    ui_quad(ui, 300, 100, 340, 140, 0, 0, 1, 1, {0.5f, 1, 1, 1}, 0);  // not sampled
    ui_end_frame(ui);
    gl.glDeleteTextures(1, &texture);
    const struct { int x, y, rgba[4]; } probes[] = {  // x, y from the top left
        {0, 0, {255, 0, 0, 255}}, {9, 9, {255, 0, 0, 255}}, {10, 10, {0, 0, 0, 255}},
        {width - 1, height - 1, {0, 255, 0, 255}}, {width - 11, height - 1, {0, 0, 0, 255}},
        {105, 55, {0, 0, 255, 255}}, {105, 71, {0, 0, 0, 255}}, {130, 60, {128, 128, 255, 255}},
        {205, 120, {128, 128, 0, 255}}, {235, 120, {128, 255, 255, 255}}, {305, 120, {128, 255, 255, 255}}};
    for (const auto& p : probes) {
        uint8_t got[4] = {};
        gl.glReadPixels(p.x, height - 1 - p.y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, got);
        for (int c = 0; c < 4; ++c) EXPECT_NEAR(got[c], p.rgba[c], 1) << p.x << "," << p.y << " channel " << c;
    }
    const char* broken = "#version 330 core\nout vec4 c;\nvoid main(){ c = vec4(1.0) }\n";
    EXPECT_FALSE(build_program(ui.program, UI_VERTEX_SHADER_SOURCE, broken, &log));
    EXPECT_TRUE(ui.program == 0 && log.rfind("kept", 0) == 0 && log.size() > 4) << log;
    ui_shutdown(ui);
}

TEST(Emblem, TexturesAreAtLeastSixteenAndHoldThePaintingOfTheirSize) {
    REQUIRE_GL();
    const auto get_tex_image = reinterpret_cast<void(APIENTRY*)(GLenum, GLint, GLenum, GLenum, void*)>(
        SDL_GL_GetProcAddress("glGetTexImage"));
    for (auto [wanted, n] : {std::pair{8, 16}, {40, 40}}) {
        int w = 0, h = 0;
        GLuint texture = make_emblem_texture(wanted, &w, &h);
        std::vector<uint8_t> uploaded(256 * 256 * 4), painting;  // room for any size it may wrongly have
        gl.glBindTexture(GL_TEXTURE_2D, texture);
        get_tex_image(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, uploaded.data());
        gl.glDeleteTextures(1, &texture);
        paint_emblem(n, painting);
        uploaded.resize(painting.size());
        EXPECT_TRUE(w == n && h == n && uploaded == painting) << n;
    }
}

}  // namespace
