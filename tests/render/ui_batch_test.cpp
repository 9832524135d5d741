// The batch without a GL context: how quads and draws become vertices and
// commands, what ui_begin_frame resets, and the exact GL calls ui_end_frame
// makes, observed through recording stand-ins put into the GL table.
#include "render/ui_batch.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "render/gl_api.h"

namespace {

const UiColor WHITE = {1, 1, 1, 1};
const UiColor RED = {1, 0, 0, 0.5f};

// [SECTION] Commands

TEST(UiBatchCommands, TextureChangeStartsANewCommandEvenWhenItReturns) {
    UiContext ui;
    const uint32_t text_a = 7;
    ui_quad(ui, 0, 0, 10, 10, 0, 0, 1, 1, WHITE, text_a);
    ui_quad(ui, 0, 0, 20, 20, 0, 0, 1, 1, RED, 0);
    ui_quad(ui, 5, 5, 15, 15, 0, 0, 1, 1, WHITE, text_a);
    ASSERT_EQ(ui.draws.size(), 3u);
    EXPECT_EQ(ui.draws[0].texture, text_a);
    EXPECT_EQ(ui.draws[1].texture, 0u);
    EXPECT_EQ(ui.draws[2].texture, text_a);
    for (uint32_t i = 0; i < 3; ++i) {
        EXPECT_EQ(ui.draws[i].first, 6 * i);
        EXPECT_EQ(ui.draws[i].count, 6u);
    }
    EXPECT_EQ(ui.vertices.size(), 18u);
}

TEST(UiBatchCommands, SameTextureMergesIntoOneCommand) {
    UiContext ui;
    ui_quad(ui, 0, 0, 10, 10, 0, 0, 1, 1, WHITE, 3);
    ui_quad(ui, 20, 0, 30, 10, 0, 0, 1, 1, RED, 3);
    ASSERT_EQ(ui.draws.size(), 1u);
    EXPECT_EQ(ui.draws[0].texture, 3u);
    EXPECT_EQ(ui.draws[0].first, 0u);
    EXPECT_EQ(ui.draws[0].count, 12u);
    EXPECT_EQ(ui.vertices.size(), 12u);
}

// [SECTION] Vertices

TEST(UiBatchVertices, QuadCornersTextureCoordinatesAndColour) {
    UiContext ui;
    const UiColor c = {0.25f, 0.5f, 0.75f, 0.125f};
    ui_quad(ui, 1, 2, 30, 40, 0.1f, 0.2f, 0.9f, 0.8f, c, 5);
    ASSERT_EQ(ui.vertices.size(), 6u);
    // Triangles (x0,y0)-(x1,y0)-(x1,y1) and (x0,y0)-(x1,y1)-(x0,y1).
    const float expect[6][4] = {{1, 2, 0.1f, 0.2f}, {30, 2, 0.9f, 0.2f},  {30, 40, 0.9f, 0.8f},
                                {1, 2, 0.1f, 0.2f}, {30, 40, 0.9f, 0.8f}, {1, 40, 0.1f, 0.8f}};
    for (int i = 0; i < 6; ++i) {
        const UiVertex& v = ui.vertices[i];
        EXPECT_EQ(v.x, expect[i][0]) << i;
        EXPECT_EQ(v.y, expect[i][1]) << i;
        EXPECT_EQ(v.u, expect[i][2]) << i;
        EXPECT_EQ(v.v, expect[i][3]) << i;
        EXPECT_EQ(v.r, c.r);
        EXPECT_EQ(v.g, c.g);
        EXPECT_EQ(v.b, c.b);
        EXPECT_EQ(v.a, c.a);
    }
}

// [SECTION] Frames

TEST(UiBatchFrames, SizeBelowOneIsStoredAsOne) {
    UiContext ui;
    ui_begin_frame(ui, 0, -5, UiInput{});
    EXPECT_EQ(ui.width, 1);
    EXPECT_EQ(ui.height, 1);
    ui_begin_frame(ui, 960, 600, UiInput{});
    EXPECT_EQ(ui.width, 960);
    EXPECT_EQ(ui.height, 600);
}

TEST(UiBatchFrames, BeginFrameEmptiesTheBatchKeepsCapacityAndCopiesInput) {
    UiContext ui;
    ui.active_id = 4;
    for (int i = 0; i < 100; ++i) ui_quad(ui, 0, 0, 1, 1, 0, 0, 1, 1, WHITE, uint32_t(i % 2));
    const size_t vertex_capacity = ui.vertices.capacity();
    const size_t draw_capacity = ui.draws.capacity();
    const UiVertex* storage = ui.vertices.data();
    UiInput input;
    input.mouse_x = 12.5f;
    input.mouse_y = 7.0f;
    input.down = true;
    input.released = true;
    ui_begin_frame(ui, 800, 500, input);
    EXPECT_TRUE(ui.vertices.empty());
    EXPECT_TRUE(ui.draws.empty());
    EXPECT_EQ(ui.vertices.capacity(), vertex_capacity);
    EXPECT_EQ(ui.draws.capacity(), draw_capacity);
    EXPECT_EQ(ui.input.mouse_x, 12.5f);
    EXPECT_EQ(ui.input.mouse_y, 7.0f);
    EXPECT_TRUE(ui.input.down);
    EXPECT_FALSE(ui.input.pressed);
    EXPECT_TRUE(ui.input.released);
    EXPECT_EQ(ui.active_id, 4u);  // carried over from frame to frame
    // A steady frame of the same size reuses the same storage.
    for (int i = 0; i < 100; ++i) ui_quad(ui, 0, 0, 1, 1, 0, 0, 1, 1, WHITE, uint32_t(i % 2));
    EXPECT_EQ(ui.vertices.data(), storage);
    EXPECT_EQ(ui.vertices.capacity(), vertex_capacity);
}

// [SECTION] GL calls of ui_end_frame

std::vector<std::string> g_calls;

std::string str(const char* name, std::initializer_list<long long> args) {
    std::string s = name;
    s += '(';
    bool first = true;
    for (long long a : args) {
        if (!first) s += ',';
        s += std::to_string(a);
        first = false;
    }
    return s + ')';
}

// Replaces the GL table with recorders for the whole test, then restores it.
class UiEndFrameCalls : public ::testing::Test {
protected:
    GlApi saved;
    void SetUp() override {
        saved = gl;
        gl = GlApi{};
        g_calls.clear();
        gl.glEnable = [](GLenum cap) { g_calls.push_back(str("Enable", {cap})); };
        gl.glDisable = [](GLenum cap) { g_calls.push_back(str("Disable", {cap})); };
        gl.glBlendFunc = [](GLenum s, GLenum d) { g_calls.push_back(str("BlendFunc", {s, d})); };
        gl.glBindVertexArray = [](GLuint a) { g_calls.push_back(str("BindVertexArray", {a})); };
        gl.glBindBuffer = [](GLenum t, GLuint b) { g_calls.push_back(str("BindBuffer", {t, b})); };
        gl.glBufferData = [](GLenum t, GLsizeiptr size, const void* data, GLenum usage) {
            const float* f = static_cast<const float*>(data);
            // Also records the first vertex's position, to see the data itself went up.
            g_calls.push_back(
                str("BufferData", {t, size, (long long)f[0], (long long)f[1], usage}));
        };
        gl.glUseProgram = [](GLuint p) { g_calls.push_back(str("UseProgram", {p})); };
        // A query, not a state change: only its answers show up, as locations.
        gl.glGetUniformLocation = [](GLuint p, const GLchar* name) -> GLint {
            if (p != 3) return -1;
            return std::string(name) == "uScreen" ? 10 : std::string(name) == "uTex" ? 11 : 12;
        };
        gl.glUniform2f = [](GLint loc, GLfloat a, GLfloat b) {
            g_calls.push_back(str("Uniform2f", {loc, (long long)a, (long long)b}));
        };
        gl.glUniform1i = [](GLint loc, GLint v) { g_calls.push_back(str("Uniform1i", {loc, v})); };
        gl.glActiveTexture = [](GLenum t) { g_calls.push_back(str("ActiveTexture", {t})); };
        gl.glBindTexture = [](GLenum t, GLuint tex) {
            g_calls.push_back(str("BindTexture", {t, tex}));
        };
        gl.glDrawArrays = [](GLenum m, GLint first, GLsizei n) {
            g_calls.push_back(str("DrawArrays", {m, first, n}));
        };
    }
    void TearDown() override { gl = saved; }
};

TEST_F(UiEndFrameCalls, EmptyBatchMakesNoCall) {
    UiContext ui;
    ui_begin_frame(ui, 960, 600, UiInput{});
    ui_end_frame(ui);
    EXPECT_TRUE(g_calls.empty());
}

TEST_F(UiEndFrameCalls, OneUploadThenOneDrawPerCommandInOrder) {
    UiContext ui;
    ui.program = 3;
    ui.vao = 4;
    ui.vbo = 5;
    ui_begin_frame(ui, 0, 600, UiInput{});
    ui_quad(ui, 2, 3, 10, 10, 0, 0, 1, 1, WHITE, 0);
    ui_quad(ui, 0, 0, 10, 10, 0, 0, 1, 1, WHITE, 0);
    ui_quad(ui, 0, 0, 10, 10, 0, 0, 1, 1, WHITE, 8);
    ui_end_frame(ui);
    const std::vector<std::string> expect = {
        str("Disable", {GL_DEPTH_TEST}),
        str("Disable", {GL_CULL_FACE}),
        str("Disable", {GL_SCISSOR_TEST}),
        str("Enable", {GL_BLEND}),
        str("BlendFunc", {GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA}),
        str("BindVertexArray", {4}),
        str("BindBuffer", {GL_ARRAY_BUFFER, 5}),
        str("BufferData", {GL_ARRAY_BUFFER, 18 * 32, 2, 3, GL_STREAM_DRAW}),
        str("UseProgram", {3}),
        str("Uniform2f", {10, 1, 600}),
        str("Uniform1i", {11, 0}),
        str("Uniform1i", {12, 0}),
        str("ActiveTexture", {GL_TEXTURE0}),
        str("Uniform1i", {12, 0}),
        str("BindTexture", {GL_TEXTURE_2D, 0}),
        str("DrawArrays", {GL_TRIANGLES, 0, 12}),
        str("Uniform1i", {12, 1}),
        str("BindTexture", {GL_TEXTURE_2D, 8}),
        str("DrawArrays", {GL_TRIANGLES, 12, 6}),
        str("BindTexture", {GL_TEXTURE_2D, 0}),
        str("BindVertexArray", {0}),
        str("Disable", {GL_BLEND}),
    };
    EXPECT_EQ(g_calls, expect);
    // The batch stays until the next frame begins.
    EXPECT_EQ(ui.vertices.size(), 18u);
    EXPECT_EQ(ui.draws.size(), 2u);
}

}  // namespace
