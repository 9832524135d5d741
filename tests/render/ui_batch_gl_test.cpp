// The batch renderer on a real GL context: the shader program, its failure
// logs, and what a frame actually puts into the framebuffer.
#include <SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "render/gl_api.h"
#include "render/ui_batch.h"
#include "tests/support/gl_context.h"

namespace {

// Queries outside the program's own table, asked of SDL directly.
template <typename Fn>
Fn extra(const char* name) {
    return reinterpret_cast<Fn>(SDL_GL_GetProcAddress(name));
}
using IsEnabledFn = GLboolean(APIENTRY*)(GLenum);
using GetAttribLocationFn = GLint(APIENTRY*)(GLuint, const GLchar*);
using GetErrorFn = GLenum(APIENTRY*)(void);

const char* const BROKEN_FRAGMENT =
    "\n#version 330 core\nout vec4 c;\nvoid main(){ c = vec4(1.0) }\n";

// [SECTION] Shader program

TEST(UiShaders, SourcesStartWithANewlineAndEndEveryLine) {
    const std::string vs = UI_VERTEX_SHADER_SOURCE, fs = UI_FRAGMENT_SHADER_SOURCE;
    EXPECT_EQ(vs.rfind("\n#version 330 core\nlayout(location=0) in vec2 aPos;\n", 0), 0u);
    EXPECT_EQ(fs.rfind("\n#version 330 core\nin vec2 vUV; in vec4 vCol;\n", 0), 0u);
    EXPECT_EQ(std::count(vs.begin(), vs.end(), '\n'), 12);  // the leading one and 11 lines
    EXPECT_EQ(std::count(fs.begin(), fs.end(), '\n'), 11);
    EXPECT_EQ(vs.substr(vs.size() - 3), "\n}\n");
    EXPECT_EQ(fs.substr(fs.size() - 3), "\n}\n");
}

TEST(UiShaders, CompileAndLinkWithTheVertexLayoutLocations) {
    REQUIRE_GL();
    uint32_t program = 0;
    std::string log = "kept";
    ASSERT_TRUE(build_program(program, UI_VERTEX_SHADER_SOURCE, UI_FRAGMENT_SHADER_SOURCE, &log));
    EXPECT_NE(program, 0u);
    EXPECT_EQ(log, "kept");
    auto get_attrib = extra<GetAttribLocationFn>("glGetAttribLocation");
    EXPECT_EQ(get_attrib(program, "aPos"), 0);
    EXPECT_EQ(get_attrib(program, "aUV"), 1);
    EXPECT_EQ(get_attrib(program, "aCol"), 2);
    EXPECT_GE(gl.glGetUniformLocation(program, "uScreen"), 0);
    EXPECT_GE(gl.glGetUniformLocation(program, "uUseTex"), 0);
    delete_program(program);
    EXPECT_EQ(program, 0u);
}

TEST(UiShaders, AttributesWithoutLayoutGetTheFixedNumbering) {
    REQUIRE_GL();
    const char* vs =
        "#version 330 core\nin vec2 aPos; in vec3 aNrm; in vec4 aCol; in vec4 aData; in vec2 aUV;\n"
        "out vec4 v;\nvoid main(){ v = aCol + aData + vec4(aNrm, aUV.x); gl_Position = "
        "vec4(aPos, aUV.y, 1.0); }\n";
    const char* fs = "#version 330 core\nin vec4 v; out vec4 c;\nvoid main(){ c = v; }\n";
    uint32_t program = 0;
    ASSERT_TRUE(build_program(program, vs, fs, nullptr));
    auto get_attrib = extra<GetAttribLocationFn>("glGetAttribLocation");
    EXPECT_EQ(get_attrib(program, "aPos"), 0);
    EXPECT_EQ(get_attrib(program, "aNrm"), 1);
    EXPECT_EQ(get_attrib(program, "aCol"), 2);
    EXPECT_EQ(get_attrib(program, "aData"), 3);
    EXPECT_EQ(get_attrib(program, "aUV"), 4);
    delete_program(program);
}

TEST(UiShaders, BrokenSourceGivesZeroAndAppendsTheLog) {
    REQUIRE_GL();
    std::string log = "start:";
    EXPECT_EQ(compile_shader(GL_FRAGMENT_SHADER, BROKEN_FRAGMENT, &log), 0u);
    EXPECT_GT(log.size(), 6u);
    EXPECT_EQ(log.rfind("start:", 0), 0u);
    EXPECT_EQ(log.find('\0'), std::string::npos);
    EXPECT_LE(log.size(), 6u + 1023u);
    // Without a log to fill it still just fails.
    EXPECT_EQ(compile_shader(GL_FRAGMENT_SHADER, BROKEN_FRAGMENT, nullptr), 0u);
}

TEST(UiShaders, FailedBuildLeavesNoProgramAndLogsWhy) {
    REQUIRE_GL();
    uint32_t program = 0;
    std::string log;
    EXPECT_FALSE(build_program(program, UI_VERTEX_SHADER_SOURCE, BROKEN_FRAGMENT, &log));
    EXPECT_EQ(program, 0u);
    EXPECT_FALSE(log.empty());

    // Compiles alone but cannot link: a function declared and never defined.
    const char* vs = "#version 330 core\nvoid main(){ gl_Position = vec4(0.0); }\n";
    const char* fs = "#version 330 core\nout vec4 c;\nvec4 shade();\nvoid main(){ c = shade(); }\n";
    std::string link_log;
    EXPECT_FALSE(build_program(program, vs, fs, &link_log));
    EXPECT_EQ(program, 0u);
    EXPECT_FALSE(link_log.empty());
}

// [SECTION] Frames on screen

class UiFrame : public ::testing::Test {
protected:
    UiContext ui;
    int width = 0, height = 0;
    void SetUp() override {
        REQUIRE_GL();
        SDL_GL_GetDrawableSize(gl_test_window(), &width, &height);
        std::string error;
        ASSERT_TRUE(ui_init(ui, nullptr, &error)) << error;
        gl.glClearColor(0, 0, 0, 1);
        gl.glClear(GL_COLOR_BUFFER_BIT);
    }
    void TearDown() override {
        if (ui.program) ui_shutdown(ui);
    }
    // RGBA at (x, y) in top-left-origin window pixels.
    std::vector<int> read(int x, int y) {
        uint8_t p[4] = {};
        gl.glPixelStorei(GL_PACK_ALIGNMENT, 1);
        gl.glReadPixels(x, height - 1 - y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, p);
        return {p[0], p[1], p[2], p[3]};
    }
};

TEST_F(UiFrame, InitCreatesObjectsAndShutdownReleasesThem) {
    EXPECT_NE(ui.program, 0u);
    EXPECT_NE(ui.vao, 0u);
    EXPECT_NE(ui.vbo, 0u);
    ui_shutdown(ui);
    EXPECT_EQ(ui.program, 0u);
    EXPECT_EQ(ui.vao, 0u);
    EXPECT_EQ(ui.vbo, 0u);
}

TEST_F(UiFrame, EmptyFrameLeavesBlendingAlone) {
    auto is_enabled = extra<IsEnabledFn>("glIsEnabled");
    gl.glEnable(GL_BLEND);
    ui_begin_frame(ui, width, height, UiInput{});
    ui_end_frame(ui);
    EXPECT_TRUE(is_enabled(GL_BLEND));
    gl.glDisable(GL_BLEND);
    // A frame with something in it ends with blending off.
    gl.glEnable(GL_BLEND);
    ui_quad(ui, 0, 0, 1, 1, 0, 0, 1, 1, {1, 1, 1, 1}, 0);
    ui_end_frame(ui);
    EXPECT_FALSE(is_enabled(GL_BLEND));
}

TEST_F(UiFrame, ColouredQuadsLandOnTheirPixelsFromTheTopLeft) {
    ui_begin_frame(ui, width, height, UiInput{});
    ui_quad(ui, 0, 0, 10, 10, 0, 0, 1, 1, {1, 0, 0, 1}, 0);
    ui_quad(ui, float(width - 10), float(height - 10), float(width), float(height), 0, 0, 1, 1,
            {0, 1, 0, 1}, 0);
    ui_quad(ui, 100, 50, 140, 70, 0, 0, 1, 1, {0, 0, 1, 1}, 0);
    // Half-transparent white over the blue: straight alpha blending.
    ui_quad(ui, 120, 50, 140, 70, 0, 0, 1, 1, {1, 1, 1, 0.5f}, 0);
    ui_end_frame(ui);
    EXPECT_EQ(read(0, 0), (std::vector<int>{255, 0, 0, 255}));
    EXPECT_EQ(read(9, 9), (std::vector<int>{255, 0, 0, 255}));
    EXPECT_EQ(read(10, 10), (std::vector<int>{0, 0, 0, 255}));
    EXPECT_EQ(read(width - 1, height - 1), (std::vector<int>{0, 255, 0, 255}));
    EXPECT_EQ(read(width - 11, height - 1)[1], 0);
    EXPECT_EQ(read(105, 55), (std::vector<int>{0, 0, 255, 255}));
    std::vector<int> mixed = read(130, 60);
    EXPECT_NEAR(mixed[0], 128, 1);
    EXPECT_NEAR(mixed[1], 128, 1);
    EXPECT_NEAR(mixed[2], 255, 1);
    EXPECT_EQ(read(105, 71), (std::vector<int>{0, 0, 0, 255}));
    EXPECT_EQ(extra<GetErrorFn>("glGetError")(), GLenum(GL_NO_ERROR));
}

TEST_F(UiFrame, TexturedQuadMultipliesTheVertexColour) {
    // 2 x 2 texels: left column orange, right column white.
    const uint8_t texels[16] = {255, 128, 0, 255, 255, 255, 255, 255,
                                255, 128, 0, 255, 255, 255, 255, 255};
    GLuint texture = 0;
    gl.glGenTextures(1, &texture);
    gl.glBindTexture(GL_TEXTURE_2D, texture);
    gl.glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    gl.glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, 2, 2, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels);
    gl.glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    gl.glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    gl.glBindTexture(GL_TEXTURE_2D, 0);

    ui_begin_frame(ui, width, height, UiInput{});
    ui_quad(ui, 200, 100, 240, 140, 0, 0, 1, 1, {0.5f, 1, 1, 1}, texture);
    ui_quad(ui, 300, 100, 340, 140, 0, 0, 1, 1, {0.5f, 1, 1, 1}, 0);
    ui_end_frame(ui);
    std::vector<int> left = read(205, 120), right = read(235, 120), plain = read(305, 120);
    EXPECT_NEAR(left[0], 128, 1);
    EXPECT_NEAR(left[1], 128, 1);
    EXPECT_EQ(left[2], 0);
    EXPECT_NEAR(right[0], 128, 1);
    EXPECT_EQ(right[1], 255);
    EXPECT_EQ(right[2], 255);
    // The untextured quad after it is not sampled from the texture.
    EXPECT_NEAR(plain[0], 128, 1);
    EXPECT_EQ(plain[2], 255);
    gl.glDeleteTextures(1, &texture);
}

}  // namespace
