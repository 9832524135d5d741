// The UI batch renderer: building the one shader program, collecting the
// frame's triangles into runs that share a texture, and drawing them.
#include "render/ui_batch.h"

#include <algorithm>
#include <cstddef>

#include "render/gl_api.h"

static_assert(sizeof(UiVertex) == 32, "the vertex layout below assumes 32-byte vertices");
static_assert(sizeof(UiDrawCmd) == 12, "three 32-bit fields");

// [SECTION] Shader sources

const char* const UI_VERTEX_SHADER_SOURCE = R"(
#version 330 core
layout(location=0) in vec2 aPos;
layout(location=1) in vec2 aUV;
layout(location=2) in vec4 aCol;
uniform vec2 uScreen;
out vec2 vUV; out vec4 vCol;
void main(){
    vec2 ndc = vec2(aPos.x / uScreen.x * 2.0 - 1.0, 1.0 - aPos.y / uScreen.y * 2.0);
    gl_Position = vec4(ndc, 0.0, 1.0);
    vUV = aUV; vCol = aCol;
}
)";

const char* const UI_FRAGMENT_SHADER_SOURCE = R"(
#version 330 core
in vec2 vUV; in vec4 vCol;
out vec4 fragColor;
uniform sampler2D uTex;
uniform int uUseTex;
void main(){
    vec4 c = vCol;
    if (uUseTex == 1) c *= texture(uTex, vUV);
    fragColor = c;
}
)";

// [SECTION] Shaders and programs

namespace {
constexpr int INFO_LOG_SIZE = 1024;
}  // namespace

uint32_t compile_shader(uint32_t type, const char* source, std::string* log) {
    GLuint shader = gl.glCreateShader(type);
    gl.glShaderSource(shader, 1, &source, nullptr);
    gl.glCompileShader(shader);
    GLint status = 0;
    gl.glGetShaderiv(shader, GL_COMPILE_STATUS, &status);
    if (status != 0) return shader;
    char buffer[INFO_LOG_SIZE] = {};
    gl.glGetShaderInfoLog(shader, INFO_LOG_SIZE, nullptr, buffer);
    if (log) log->append(buffer);
    gl.glDeleteShader(shader);
    return 0;
}

bool build_program(uint32_t& program, const char* vertex_source, const char* fragment_source, std::string* log) {
    if (program != 0) gl.glDeleteProgram(program);
    program = 0;
    GLuint vs = compile_shader(GL_VERTEX_SHADER, vertex_source, log);
    if (vs == 0) return false;
    GLuint fs = compile_shader(GL_FRAGMENT_SHADER, fragment_source, log);
    if (fs == 0) {
        gl.glDeleteShader(vs);
        return false;
    }
    GLuint prog = gl.glCreateProgram();
    gl.glAttachShader(prog, vs);
    gl.glAttachShader(prog, fs);
    // One fixed attribute numbering for every program this renderer may
    // build; explicit layout qualifiers in a shader take precedence.
    gl.glBindAttribLocation(prog, 0, "aPos");
    gl.glBindAttribLocation(prog, 1, "aNrm");
    gl.glBindAttribLocation(prog, 2, "aCol");
    gl.glBindAttribLocation(prog, 3, "aData");
    gl.glBindAttribLocation(prog, 4, "aUV");
    gl.glLinkProgram(prog);
    gl.glDeleteShader(vs);
    gl.glDeleteShader(fs);
    GLint status = 0;
    gl.glGetProgramiv(prog, GL_LINK_STATUS, &status);
    if (status != 0) {
        program = prog;
        return true;
    }
    char buffer[INFO_LOG_SIZE] = {};
    gl.glGetProgramInfoLog(prog, INFO_LOG_SIZE, nullptr, buffer);
    if (log) log->append(buffer);
    gl.glDeleteProgram(prog);
    return false;
}

void delete_program(uint32_t& program) {
    if (program != 0) gl.glDeleteProgram(program);
    program = 0;
}

// [SECTION] Context lifetime

bool ui_init(UiContext& ui, TextSystem* text, std::string* error) {
    ui.text = text;
    if (!build_program(ui.program, UI_VERTEX_SHADER_SOURCE, UI_FRAGMENT_SHADER_SOURCE, error)) return false;
    gl.glGenVertexArrays(1, &ui.vao);
    gl.glGenBuffers(1, &ui.vbo);
    gl.glBindVertexArray(ui.vao);
    gl.glBindBuffer(GL_ARRAY_BUFFER, ui.vbo);
    const GLsizei stride = sizeof(UiVertex);
    gl.glEnableVertexAttribArray(0);
    gl.glVertexAttribPointer(0, 2, GL_FLOAT, GL_FALSE, stride, reinterpret_cast<const void*>(offsetof(UiVertex, x)));
    gl.glEnableVertexAttribArray(1);
    gl.glVertexAttribPointer(1, 2, GL_FLOAT, GL_FALSE, stride, reinterpret_cast<const void*>(offsetof(UiVertex, u)));
    gl.glEnableVertexAttribArray(2);
    gl.glVertexAttribPointer(2, 4, GL_FLOAT, GL_FALSE, stride, reinterpret_cast<const void*>(offsetof(UiVertex, r)));
    gl.glBindVertexArray(0);
    return true;
}

void ui_shutdown(UiContext& ui) {
    delete_program(ui.program);
    if (ui.vbo != 0) gl.glDeleteBuffers(1, &ui.vbo);
    if (ui.vao != 0) gl.glDeleteVertexArrays(1, &ui.vao);
    ui.vbo = 0;
    ui.vao = 0;
}

// [SECTION] Building the batch

void ui_begin_frame(UiContext& ui, int width, int height, const UiInput& input) {
    ui.width = std::max(width, 1);
    ui.height = std::max(height, 1);
    ui.input = input;
    ui.clipping = false;
    ui.vertices.clear();
    ui.draws.clear();
}

void ui_push_draw(UiContext& ui, uint32_t texture, uint32_t n) {
    if (!ui.draws.empty() && ui.draws.back().texture == texture) {
        ui.draws.back().count += n;
        return;
    }
    ui.draws.push_back(UiDrawCmd{texture, static_cast<uint32_t>(ui.vertices.size()), n});
}

void ui_push_vertex(UiContext& ui, float x, float y, float u, float v, const UiColor& c) {
    ui.vertices.push_back(UiVertex{x, y, u, v, c.r, c.g, c.b, c.a});
}

namespace {

// Cuts the span a0..a1 (either order) to lo..hi, moving its texture
// coordinates t0..t1 in proportion; false when nothing is left.
bool trim_span(float& a0, float& a1, float& t0, float& t1, float lo, float hi) {
    if (a0 > a1) return trim_span(a1, a0, t1, t0, lo, hi);
    if (a1 <= lo || a0 >= hi) return false;
    const float from = a0, to = a1, t_from = t0, t_to = t1;
    if (from < lo) {
        a0 = lo;
        t0 = t_from + (t_to - t_from) * (lo - from) / (to - from);
    }
    if (to > hi) {
        a1 = hi;
        t1 = t_to - (t_to - t_from) * (to - hi) / (to - from);
    }
    return true;
}

}  // namespace

void ui_set_clip(UiContext& ui, const UiRect& r) {
    ui.clipping = true;
    ui.clip = r;
}

void ui_clear_clip(UiContext& ui) { ui.clipping = false; }

void ui_quad(UiContext& ui, float x0, float y0, float x1, float y1, float s0, float t0, float s1, float t1,
             const UiColor& c, uint32_t texture) {
    if (ui.clipping) {
        const UiRect& r = ui.clip;
        if (!trim_span(x0, x1, s0, s1, r.x, r.x + r.w)) return;
        if (!trim_span(y0, y1, t0, t1, r.y, r.y + r.h)) return;
    }
    ui_push_draw(ui, texture, 6);
    ui_push_vertex(ui, x0, y0, s0, t0, c);
    ui_push_vertex(ui, x1, y0, s1, t0, c);
    ui_push_vertex(ui, x1, y1, s1, t1, c);
    ui_push_vertex(ui, x0, y0, s0, t0, c);
    ui_push_vertex(ui, x1, y1, s1, t1, c);
    ui_push_vertex(ui, x0, y1, s0, t1, c);
}

// [SECTION] Drawing the batch

void ui_end_frame(UiContext& ui) {
    if (ui.vertices.empty()) return;
    if (ui.width != ui.viewport_width || ui.height != ui.viewport_height) {
        gl.glViewport(0, 0, ui.width, ui.height);
        ui.viewport_width = ui.width;
        ui.viewport_height = ui.height;
    }
    gl.glDisable(GL_DEPTH_TEST);
    gl.glDisable(GL_CULL_FACE);
    gl.glDisable(GL_SCISSOR_TEST);
    gl.glEnable(GL_BLEND);
    gl.glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);

    gl.glBindVertexArray(ui.vao);
    gl.glBindBuffer(GL_ARRAY_BUFFER, ui.vbo);
    gl.glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(ui.vertices.size() * sizeof(UiVertex)), ui.vertices.data(),
                    GL_STREAM_DRAW);

    gl.glUseProgram(ui.program);
    gl.glUniform2f(gl.glGetUniformLocation(ui.program, "uScreen"), static_cast<float>(ui.width),
                   static_cast<float>(ui.height));
    gl.glUniform1i(gl.glGetUniformLocation(ui.program, "uTex"), 0);
    gl.glUniform1i(gl.glGetUniformLocation(ui.program, "uUseTex"), 0);
    gl.glActiveTexture(GL_TEXTURE0);
    const GLint use_tex = gl.glGetUniformLocation(ui.program, "uUseTex");
    for (const UiDrawCmd& cmd : ui.draws) {
        gl.glUniform1i(use_tex, cmd.texture != 0 ? 1 : 0);
        gl.glBindTexture(GL_TEXTURE_2D, cmd.texture);
        gl.glDrawArrays(GL_TRIANGLES, static_cast<GLint>(cmd.first), static_cast<GLsizei>(cmd.count));
    }

    gl.glBindTexture(GL_TEXTURE_2D, 0);
    gl.glBindVertexArray(0);
    gl.glDisable(GL_BLEND);
}
