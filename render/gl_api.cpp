// The GL entry-point table and its loader. The table is filled in the order
// of TORVANEL_GL_FUNCTIONS, every name is requested even after a failure so
// that one run reports every missing function.
#include "render/gl_api.h"

#include <SDL.h>

#include <cstdio>

GlApi gl;

namespace {
void* sdl_lookup(const char* name) { return SDL_GL_GetProcAddress(name); }
}  // namespace

bool load_gl_api() { return load_gl_api_with(sdl_lookup); }

bool load_gl_api_with(GlProcLookup lookup) {
    bool ok = true;
#define TORVANEL_GL_LOAD(ret, name, params)                          \
    {                                                                \
        void* address = lookup(#name);                               \
        gl.name = reinterpret_cast<decltype(gl.name)>(address);      \
        if (!address) {                                              \
            std::fprintf(stderr, "missing GL function %s\n", #name); \
            ok = false;                                              \
        }                                                            \
    }
    TORVANEL_GL_FUNCTIONS(TORVANEL_GL_LOAD)
#undef TORVANEL_GL_LOAD
    return ok;
}
