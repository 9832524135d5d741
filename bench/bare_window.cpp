// The baseline of the start-up benchmark: the least a program can do to show
// the setup window. It opens the same 960 x 600 OpenGL 3.3 core window,
// clears it, swaps once and, like the setup program under ZR_SHOT, reads the
// back buffer and writes it as a 24-bit BMP before it ends.
#include <SDL.h>
#include <SDL_opengl.h>

#include <cstdlib>
#include <cstring>
#include <vector>

#include "bench/bench_window.h"

namespace {

using ClearColorFn = void(APIENTRY*)(GLfloat, GLfloat, GLfloat, GLfloat);
using ClearFn = void(APIENTRY*)(GLbitfield);
using PixelStoreiFn = void(APIENTRY*)(GLenum, GLint);
using ReadPixelsFn = void(APIENTRY*)(GLint, GLint, GLsizei, GLsizei, GLenum, GLenum, void*);

void save_bmp(const char* path, int width, int height) {
    auto pixel_store = reinterpret_cast<PixelStoreiFn>(SDL_GL_GetProcAddress("glPixelStorei"));
    auto read_pixels = reinterpret_cast<ReadPixelsFn>(SDL_GL_GetProcAddress("glReadPixels"));
    if (!pixel_store || !read_pixels) return;
    const size_t row = static_cast<size_t>(width) * 3;
    std::vector<uint8_t> pixels(row * static_cast<size_t>(height), 0);
    pixel_store(GL_PACK_ALIGNMENT, 1);
    read_pixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
    SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormat(0, width, height, 24, SDL_PIXELFORMAT_RGB24);
    if (!surface) return;
    auto* out = static_cast<uint8_t*>(surface->pixels);
    for (int r = 0; r < height; ++r)
        std::memcpy(out + static_cast<size_t>(height - 1 - r) * surface->pitch,
                    pixels.data() + static_cast<size_t>(r) * row, row);
    SDL_SaveBMP_RW(surface, SDL_RWFromFile(path, "wb"), 1);
    SDL_FreeSurface(surface);
}

}  // namespace

int main(int, char**) {
    SDL_Window* window = nullptr;
    SDL_GLContext context = nullptr;
    if (!open_bench_window(window, context)) return 1;
    int width = 1, height = 1;
    SDL_GL_GetDrawableSize(window, &width, &height);
    auto clear_color = reinterpret_cast<ClearColorFn>(SDL_GL_GetProcAddress("glClearColor"));
    auto clear = reinterpret_cast<ClearFn>(SDL_GL_GetProcAddress("glClear"));
    if (!clear_color || !clear) return 1;
    clear_color(0.1f, 0.08f, 0.06f, 1.0f);
    clear(GL_COLOR_BUFFER_BIT);
    SDL_GL_SwapWindow(window);
    if (const char* shot = std::getenv("ZR_SHOT")) save_bmp(shot, width, height);
    close_bench_window(window, context);
    return 0;
}
