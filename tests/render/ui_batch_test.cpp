// The UI batch: quads trimmed to a clip on the CPU, the calls a frame makes on the null backend, and the
// pixels it draws on a real context.
#include <SDL.h>
#include <gtest/gtest.h>

#include <cstring>
#include <initializer_list>
#include <string>
#include <vector>

#include "render/gl_api.h"
#include "render/ui_batch.h"
#include "tests/support/gl_context.h"

namespace {

const UiColor WHITE = {1, 1, 1, 1};

// [SECTION] Clipping

// Every clip case draws a quad this size, texture coordinates 0..1, at some place against this clip.
constexpr float QUAD_WIDTH = 10;
constexpr float QUAD_HEIGHT = 20;
const UiRect CLIP = {5, 5, 10, 10};

struct Corner {
    float x, y;
    float u, v;
};

UiContext clipped_quad(float left, float top) {
    UiContext ui;
    ui_set_clip(ui, CLIP);
    ui_quad(ui, left, top, left + QUAD_WIDTH, top + QUAD_HEIGHT, 0, 0, 1, 1, WHITE, 7);
    return ui;
}

void expect_corner(const UiVertex& got, const Corner& want) {
    EXPECT_FLOAT_EQ(got.x, want.x);
    EXPECT_FLOAT_EQ(got.y, want.y);
    EXPECT_FLOAT_EQ(got.u, want.u);
    EXPECT_FLOAT_EQ(got.v, want.v);
}

TEST(UiBatch, ClipTrimsAQuadAndItsTextureCoordinatesToTheClip) {
    const struct {
        const char* what;
        float left, top;
        Corner top_left;      // the quad's first vertex
        Corner bottom_right;  // its third
    } rows[] = {
        {"cut on the right and at the bottom", 6, 6, {6, 6, 0, 0}, {15, 15, 0.9f, 0.45f}},
        {"cut on the left, at the top and at the bottom", 0, 0, {5, 5, 0.5f, 0.25f}, {10, 15, 1, 0.75f}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        const UiContext ui = clipped_quad(row.left, row.top);
        ASSERT_EQ(ui.vertices.size(), 6u);
        expect_corner(ui.vertices[0], row.top_left);
        expect_corner(ui.vertices[2], row.bottom_right);
        EXPECT_EQ(ui.draws.size(), 1u);
    }
}

TEST(UiBatch, QuadOutsideTheClipPushesNoVertexAndNoDraw) {
    const UiContext ui = clipped_quad(CLIP.x + CLIP.w, 0);  // touching the clip's right edge only
    EXPECT_TRUE(ui.vertices.empty());
    EXPECT_TRUE(ui.draws.empty());
}

TEST(UiBatch, QuadInsideTheClipIsPushedBitForBitAsWithoutOne) {
    UiContext plain;
    UiContext clipped;
    ui_set_clip(clipped, {0.3f, 0.7f, 8.8f, 7.5f});  // touching the quad's left, top and right sides
    for (UiContext* ui : {&plain, &clipped}) ui_quad(*ui, 0.3f, 0.7f, 9.1f, 7.9f, 0.1f, 0.2f, 0.9f, 0.6f, WHITE, 0);
    ASSERT_EQ(clipped.vertices.size(), 6u);
    ASSERT_EQ(plain.vertices.size(), 6u);
    EXPECT_EQ(std::memcmp(plain.vertices.data(), clipped.vertices.data(), 6 * sizeof(UiVertex)), 0);
}

TEST(UiBatch, BeginFrameKeepsTheDrawableAtLeastOnePixelEachWay) {
    UiContext ui;
    ui_begin_frame(ui, 0, -5, UiInput{});
    EXPECT_EQ(ui.width, 1);
    EXPECT_EQ(ui.height, 1);
}

// [SECTION] The calls of a frame on the null backend

std::vector<std::string> g_calls;

void APIENTRY record_buffer_data(GLenum, GLsizeiptr bytes, const void*, GLenum) {
    g_calls.push_back("upload " + std::to_string(bytes));
}
void APIENTRY record_bind_texture(GLenum, GLuint texture) {
    g_calls.push_back("bind texture " + std::to_string(texture));
}
void APIENTRY record_draw_arrays(GLenum, GLint first, GLsizei count) {
    g_calls.push_back("draw " + std::to_string(first) + "+" + std::to_string(count));
}

// The UI started on the null backend, with the calls that upload, bind and draw recorded.
class UiBatchOnNullGl : public testing::Test {
protected:
    void SetUp() override {
        saved_ = gl;
        ASSERT_TRUE(load_gl_api_with(null_gl_lookup));
        ASSERT_TRUE(ui_init(ui, nullptr, nullptr));
        gl.glBufferData = record_buffer_data;
        gl.glBindTexture = record_bind_texture;
        gl.glDrawArrays = record_draw_arrays;
        g_calls.clear();
    }
    void TearDown() override {
        ui_shutdown(ui);
        gl = saved_;
    }

    UiContext ui;

private:
    GlApi saved_;
};

TEST_F(UiBatchOnNullGl, EmptyBatchMakesNoCall) {
    ui_quad(ui, 0, 0, 10, 10, 0, 0, 1, 1, WHITE, 0);
    ui_begin_frame(ui, 960, 600, UiInput{});  // empties the batch
    ui_end_frame(ui);
    EXPECT_TRUE(g_calls.empty());
}

TEST_F(UiBatchOnNullGl, EndFrameUploadsOnceThenDrawsEachRunOfATextureInOrder) {
    for (uint32_t texture : {0, 0, 8, 0}) ui_quad(ui, 0, 0, 10, 10, 0, 0, 1, 1, WHITE, texture);
    ui_end_frame(ui);
    const std::vector<std::string> expected = {
        "upload " + std::to_string(4 * 6 * sizeof(UiVertex)),
        "bind texture 0",
        "draw 0+12",
        "bind texture 8",
        "draw 12+6",
        "bind texture 0",
        "draw 18+6",
        "bind texture 0",  // left unbound
    };
    EXPECT_EQ(g_calls, expected);
}

// [SECTION] Pixels on a real context

struct Rgba {
    int r, g, b, a;
};

struct Probe {
    const char* what;
    int x, y;  // from the top left
    Rgba want;
};

const char* const EARLIER_LOG = "an earlier line\n";

// A frame begun over the whole window, cleared to black; the log holds an earlier line.
class UiOnGl : public testing::Test {
protected:
    void SetUp() override {
        REQUIRE_GL();
        SDL_GL_GetDrawableSize(gl_test_window(), &width, &height);
        ASSERT_TRUE(ui_init(ui, nullptr, &log)) << log;
        gl.glClearColor(0, 0, 0, 1);
        gl.glClear(GL_COLOR_BUFFER_BIT);
        ui_begin_frame(ui, width, height, UiInput{});
    }
    void TearDown() override { ui_shutdown(ui); }

    void expect_pixels(std::initializer_list<Probe> probes) const {
        for (const Probe& probe : probes) {
            SCOPED_TRACE(probe.what);
            uint8_t got[4] = {};
            gl.glReadPixels(probe.x, height - 1 - probe.y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, got);
            EXPECT_NEAR(got[0], probe.want.r, 1);
            EXPECT_NEAR(got[1], probe.want.g, 1);
            EXPECT_NEAR(got[2], probe.want.b, 1);
            EXPECT_NEAR(got[3], probe.want.a, 1);
        }
    }

    int width = 0;
    int height = 0;
    std::string log = EARLIER_LOG;
    UiContext ui;
};

TEST_F(UiOnGl, ProgramBuildsWithoutAddingToTheLog) { EXPECT_EQ(log, EARLIER_LOG); }

TEST_F(UiOnGl, QuadsLandOnTheirPixelsCountedFromTheTopLeft) {
    const float right = static_cast<float>(width);
    const float bottom = static_cast<float>(height);
    ui_quad(ui, 0, 0, 10, 10, 0, 0, 1, 1, {1, 0, 0, 1}, 0);
    ui_quad(ui, right - 10, bottom - 10, right, bottom, 0, 0, 1, 1, {0, 1, 0, 1}, 0);
    ui_end_frame(ui);
    expect_pixels({
        {"top left quad, first pixel", 0, 0, {255, 0, 0, 255}},
        {"top left quad, last pixel", 9, 9, {255, 0, 0, 255}},
        {"past the top left quad", 10, 10, {0, 0, 0, 255}},
        {"bottom right quad, last pixel", width - 1, height - 1, {0, 255, 0, 255}},
        {"left of the bottom right quad", width - 11, height - 1, {0, 0, 0, 255}},
    });
}

TEST_F(UiOnGl, TranslucentQuadBlendsOverWhatIsBelow) {
    ui_quad(ui, 100, 50, 140, 70, 0, 0, 1, 1, {0, 0, 1, 1}, 0);
    ui_quad(ui, 120, 50, 140, 70, 0, 0, 1, 1, {1, 1, 1, 0.5f}, 0);
    ui_end_frame(ui);
    expect_pixels({
        {"blue alone", 105, 55, {0, 0, 255, 255}},
        {"half white over blue", 130, 60, {128, 128, 255, 255}},
    });
}

TEST_F(UiOnGl, TextureMultipliesTheQuadsColour) {
    const uint8_t orange_then_white[8] = {255, 128, 0, 255, 255, 255, 255, 255};
    GLuint texture = 0;
    gl.glGenTextures(1, &texture);
    gl.glBindTexture(GL_TEXTURE_2D, texture);
    gl.glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, 2, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, orange_then_white);
    gl.glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    gl.glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    ui_quad(ui, 200, 100, 240, 140, 0, 0, 1, 1, {0.5f, 1, 1, 1}, texture);
    ui_end_frame(ui);
    gl.glDeleteTextures(1, &texture);
    expect_pixels({
        {"half red times orange", 205, 120, {128, 128, 0, 255}},
        {"half red times white", 235, 120, {128, 255, 255, 255}},
    });
}

const char* const BROKEN_FRAGMENT_SHADER = "#version 330 core\nout vec4 c;\nvoid main(){ c = vec4(1.0) }\n";

TEST_F(UiOnGl, BrokenShaderFailsWithItsLogAppended) {
    EXPECT_FALSE(build_program(ui.program, UI_VERTEX_SHADER_SOURCE, BROKEN_FRAGMENT_SHADER, &log));
    EXPECT_EQ(log.rfind(EARLIER_LOG, 0), 0u) << log;
    EXPECT_GT(log.size(), std::strlen(EARLIER_LOG)) << log;
}

TEST_F(UiOnGl, BrokenShaderDeletesTheProgramItReplaces) {
    const auto is_program = reinterpret_cast<GLboolean(APIENTRY*)(GLuint)>(SDL_GL_GetProcAddress("glIsProgram"));
    const uint32_t replaced = ui.program;
    build_program(ui.program, UI_VERTEX_SHADER_SOURCE, BROKEN_FRAGMENT_SHADER, &log);
    EXPECT_EQ(ui.program, 0u);
    EXPECT_FALSE(is_program(replaced));
}

}  // namespace
