#include "tests/support/gl_context.h"

#include <SDL.h>

#include <cstdio>
#include <cstdlib>

#include "render/gl_api.h"

namespace {
SDL_Window* g_window = nullptr;
SDL_GLContext g_context = nullptr;
bool g_ok = false;

bool open_context() {
#ifndef _WIN32  // offscreen has GL only through EGL on Windows; there the display is used
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
#endif
    if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) return false;
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3), SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
    g_window = SDL_CreateWindow("test", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, 960, 600,
                                SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
    return g_window && (g_context = SDL_GL_CreateContext(g_window)) && load_gl_api();
}
}  // namespace

bool gl_test_context() {
    static const bool ok = g_ok = open_context() || (std::fprintf(stderr, "no GL: %s\n", SDL_GetError()), false);
    return ok && (SDL_GL_MakeCurrent(g_window, g_context), true);
}

SDL_Window* gl_test_window() { return g_ok ? g_window : nullptr; }
