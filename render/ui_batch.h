// The UI batch renderer: every frame the widgets append coloured, optionally
// textured triangles to one vertex array; ui_end_frame uploads it in one
// buffer update and draws one glDrawArrays per run of vertices sharing a
// texture, with one small shader. UiContext also carries the frame's mouse
// input and the id of the widget holding the mouse.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "render/ui_types.h"

struct TextSystem;

struct UiVertex {      // 32 bytes
    float x, y;        // drawable pixels, origin top-left, y down
    float u, v;        // texture coordinates, ignored without a texture
    float r, g, b, a;  // straight alpha
};

struct UiDrawCmd {
    uint32_t texture;  // GL texture name, 0 for none
    uint32_t first;    // first vertex of the run
    uint32_t count;    // vertices, a multiple of 3
};

struct UiContext {
    TextSystem* text = nullptr;  // not owned; null draws no text and measures 0
    uint32_t program = 0;
    uint32_t vao = 0;
    uint32_t vbo = 0;
    std::vector<UiVertex> vertices;  // the current frame's batch; capacity kept
    std::vector<UiDrawCmd> draws;    // runs of the batch, in drawing order
    int32_t width = 1;               // drawable size, each at least 1
    int32_t height = 1;
    // The size the GL viewport was last set to (0 before the first draw): a
    // window moved to a monitor of another scale gets a new drawable size.
    int32_t viewport_width = 0;
    int32_t viewport_height = 0;
    UiInput input;
    uint32_t active_id = 0;  // widget that captured the mouse with a press; 0 for none
    // While set, ui_quad trims its quads to `clip` on the CPU, so a clipped
    // area costs no GL state and no extra draw call. Cleared every frame.
    bool clipping = false;
    UiRect clip = {0, 0, 0, 0};
};

extern const char* const UI_VERTEX_SHADER_SOURCE;
extern const char* const UI_FRAGMENT_SHADER_SOURCE;

// Compiles one shader; returns its name, or 0 with the info log appended to *log (if given).
uint32_t compile_shader(uint32_t type, const char* source, std::string* log);
// Builds and links a program (deleting any previous one in `program`); false with the log appended.
bool build_program(uint32_t& program, const char* vertex_source, const char* fragment_source, std::string* log);
// glDeleteProgram when non-zero, then 0.
void delete_program(uint32_t& program);

// Stores the text system, builds the UI program and, only then, the vertex array and buffer.
bool ui_init(UiContext& ui, TextSystem* text, std::string* error);
void ui_shutdown(UiContext& ui);
// Stores the drawable size (each at least 1) and the input; empties the batch, keeping capacity.
void ui_begin_frame(UiContext& ui, int width, int height, const UiInput& input);
// The next n vertices use `texture`: grows the last command when it has the same texture.
void ui_push_draw(UiContext& ui, uint32_t texture, uint32_t n);
void ui_push_vertex(UiContext& ui, float x, float y, float u, float v, const UiColor& c);
// Clips the following quads to `r` (drawable pixels) until ui_clear_clip or the next frame.
// Only ui_quad is trimmed: triangles pushed vertex by vertex are drawn whole.
void ui_set_clip(UiContext& ui, const UiRect& r);
void ui_clear_clip(UiContext& ui);
// Two triangles (x0,y0)-(x1,y0)-(x1,y1) and (x0,y0)-(x1,y1)-(x0,y1), one colour. Under a clip
// the corners and texture coordinates are cut back to it (nothing is pushed when nothing is
// left); a quad inside the clip is pushed exactly as without one.
void ui_quad(UiContext& ui, float x0, float y0, float x1, float y1, float s0, float t0, float s1, float t1,
             const UiColor& c, uint32_t texture);
// Uploads and draws the batch over the whole drawable (the viewport follows
// its size); an empty batch makes no GL call at all.
void ui_end_frame(UiContext& ui);
