// The GL floor of the start-up benchmark: what the setup program's own way
// of drawing costs before any of its content. Like the bare window it opens
// the same 960 x 600 OpenGL 3.3 core window and writes the same screenshot,
// but it draws its one frame the way the program must: the UI shader built,
// a full-window gradient blended over the back buffer (never a clear), and
// one 256 x 256 texture uploaded and drawn where the emblem sits. No fonts,
// no text, no painting of the emblem: the difference to the program is the
// program's own work, the difference to the bare window is the driver's.
#include <SDL.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "render/gl_api.h"
#include "render/ui_batch.h"

namespace {

// As the program's screenshot: read straight into a BGR bitmap (rows padded
// to 4 bytes, GL's packing at alignment 4), flip it and write it.
void save_bmp(const char* path, int width, int height) {
    SDL_Surface* surface =
        SDL_CreateRGBSurfaceWithFormat(0, width, height, 24, SDL_PIXELFORMAT_BGR24);
    if (!surface) return;
    auto* out = static_cast<uint8_t*>(surface->pixels);
    const size_t row = static_cast<size_t>(width) * 3, pitch = static_cast<size_t>(surface->pitch);
    gl.glPixelStorei(GL_PACK_ALIGNMENT, 4);
    gl.glReadPixels(0, 0, width, height, GL_BGR, GL_UNSIGNED_BYTE, out);
    std::vector<uint8_t> swap(row);
    for (int r = 0; r < height / 2; ++r) {
        uint8_t* top = out + static_cast<size_t>(r) * pitch;
        uint8_t* bottom = out + static_cast<size_t>(height - 1 - r) * pitch;
        std::memcpy(swap.data(), top, row);
        std::memcpy(top, bottom, row);
        std::memcpy(bottom, swap.data(), row);
    }
    SDL_SaveBMP_RW(surface, SDL_RWFromFile(path, "wb"), 1);
    SDL_FreeSurface(surface);
}

void draw_frame(UiContext& ui, uint32_t texture, int width, int height) {
    ui_begin_frame(ui, width, height, UiInput{});
    const UiColor top{0.14f, 0.11f, 0.08f, 1.0f}, bottom{0.06f, 0.05f, 0.04f, 1.0f};
    const float w = static_cast<float>(width), h = static_cast<float>(height);
    ui_push_draw(ui, 0, 6);
    ui_push_vertex(ui, 0, 0, 0, 0, top);
    ui_push_vertex(ui, w, 0, 0, 0, top);
    ui_push_vertex(ui, w, h, 0, 0, bottom);
    ui_push_vertex(ui, 0, 0, 0, 0, top);
    ui_push_vertex(ui, w, h, 0, 0, bottom);
    ui_push_vertex(ui, 0, h, 0, 0, bottom);
    ui_quad(ui, 45, 22, 205, 182, 0, 0, 1, 1, UiColor{1, 1, 1, 1}, texture);
    ui_end_frame(ui);
}

uint32_t flat_texture(int n) {
    const std::vector<uint8_t> pixels(static_cast<size_t>(n) * n * 4, 200);
    GLuint texture = 0;
    gl.glGenTextures(1, &texture);
    gl.glBindTexture(GL_TEXTURE_2D, texture);
    gl.glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, n, n, 0, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    gl.glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    gl.glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    gl.glBindTexture(GL_TEXTURE_2D, 0);
    return texture;
}

}  // namespace

int main(int, char**) {
    if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) return 1;
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_Window* window =
        SDL_CreateWindow("Torvanel", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, 960, 600,
                         SDL_WINDOW_OPENGL | SDL_WINDOW_ALLOW_HIGHDPI);
    if (!window) return 1;
    SDL_GLContext context = SDL_GL_CreateContext(window);
    if (!context || !load_gl_api()) return 1;
    SDL_GL_SetSwapInterval(1);

    UiContext ui;
    std::string error;
    if (!ui_init(ui, nullptr, &error)) return 1;
    const uint32_t texture = flat_texture(256);
    SDL_Event event;
    while (SDL_PollEvent(&event)) {
    }
    int width = 1, height = 1;
    SDL_GL_GetDrawableSize(window, &width, &height);
    draw_frame(ui, texture, width, height);
    if (const char* shot = std::getenv("ZR_SHOT")) save_bmp(shot, width, height);
    SDL_GL_SwapWindow(window);

    ui_shutdown(ui);
    gl.glDeleteTextures(1, &texture);
    SDL_GL_DeleteContext(context);
    SDL_DestroyWindow(window);
    SDL_Quit();
    return 0;
}
