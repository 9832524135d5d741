// The GL floor of the start-up benchmark: what the setup program's own way
// of drawing costs before any of its content. Like the bare window it opens
// the same 960 x 600 OpenGL 3.3 core window and writes the same screenshot
// (with the program's own code), but it draws its one frame the way the
// program must: the UI shader built, a full-window gradient blended over the
// back buffer (never a clear), and one 256 x 256 texture uploaded and drawn
// where the emblem sits. No fonts, no text, no painting of the emblem: what
// the program spends beyond this is its own work, what this spends beyond
// the bare window is the driver's.
#include <SDL.h>

#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "app/automation.h"
#include "bench/bench_window.h"
#include "render/gl_api.h"
#include "render/ui_batch.h"

namespace {

void draw_frame(UiContext& ui, uint32_t texture, int width, int height) {
    ui_begin_frame(ui, width, height, UiInput{});
    const UiColor top{0.14f, 0.11f, 0.08f, 1.0f}, bottom{0.06f, 0.05f, 0.04f, 1.0f};
    const float w = static_cast<float>(width), h = static_cast<float>(height);
    ui_push_draw(ui, 0, 6);
    for (const auto& [x, y] : {std::pair{0.0f, 0.0f}, {w, 0.0f}, {w, h}, {0.0f, 0.0f}, {w, h}, {0.0f, h}})
        ui_push_vertex(ui, x, y, 0, 0, y == 0 ? top : bottom);
    ui_quad(ui, 45, 22, 205, 182, 0, 0, 1, 1, UiColor{1, 1, 1, 1}, texture);
    ui_end_frame(ui);
}

// A flat texture of the emblem's size, sampled as the emblem is.
uint32_t flat_texture(int n) {
    const std::vector<uint8_t> pixels(static_cast<size_t>(n) * n * 4, 200);
    GLuint texture = 0;
    gl.glGenTextures(1, &texture);
    gl.glBindTexture(GL_TEXTURE_2D, texture);
    gl.glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, n, n, 0, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    for (const GLenum filter : {GL_TEXTURE_MIN_FILTER, GL_TEXTURE_MAG_FILTER})
        gl.glTexParameteri(GL_TEXTURE_2D, filter, GL_LINEAR);
    for (const GLenum wrap : {GL_TEXTURE_WRAP_S, GL_TEXTURE_WRAP_T})
        gl.glTexParameteri(GL_TEXTURE_2D, wrap, GL_CLAMP_TO_EDGE);
    gl.glBindTexture(GL_TEXTURE_2D, 0);
    return texture;
}

}  // namespace

int main(int, char**) {
    SDL_Window* window = nullptr;
    SDL_GLContext context = nullptr;
    if (!open_bench_window(window, context) || !load_gl_api()) return 1;
    UiContext ui;
    std::string error;
    if (!ui_init(ui, nullptr, &error)) return 1;
    const uint32_t texture = flat_texture(256);
    int width = 1, height = 1;
    SDL_GL_GetDrawableSize(window, &width, &height);
    draw_frame(ui, texture, width, height);
    if (const char* shot = std::getenv("ZR_SHOT")) save_screenshot(shot, width, height);
    SDL_GL_SwapWindow(window);
    ui_shutdown(ui);
    gl.glDeleteTextures(1, &texture);
    close_bench_window(window, context);
    return 0;
}
