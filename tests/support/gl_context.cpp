#include "tests/support/gl_context.h"

#include <SDL.h>

#include <cstdio>
#include <cstdlib>

#include "platform/platform.h"
#include "render/gl_api.h"

namespace {

SDL_Window* g_window = nullptr;
SDL_GLContext g_context = nullptr;
bool g_opened = false;

bool open_context() {
#if TORVANEL_POSIX  // offscreen has GL only through EGL on Windows; there the display is used
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
#endif
    if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) return false;
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
    g_window = SDL_CreateWindow("test", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, 960, 600,
                                SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
    if (!g_window) return false;
    g_context = SDL_GL_CreateContext(g_window);
    return g_context && load_gl_api();
}

// Every test of a process asks; the reason there is no context is said once.
bool open_context_or_say_why() {
    g_opened = open_context();
    if (!g_opened) std::fprintf(stderr, "no GL: %s\n", SDL_GetError());
    return g_opened;
}

}  // namespace

bool gl_test_context() {
    static const bool opened = open_context_or_say_why();
    if (!opened) return false;
    SDL_GL_MakeCurrent(g_window, g_context);
    return true;
}

SDL_Window* gl_test_window() { return g_opened ? g_window : nullptr; }
