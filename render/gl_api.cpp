// The GL entry-point table and its loader. The table is filled in the order
// of TORVANEL_GL_FUNCTIONS, every name is requested even after a failure so
// that one run reports every missing function.
#include "render/gl_api.h"

#include <SDL.h>

#include <cstdio>
#include <cstring>

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

// [SECTION] Null backend

namespace {

GLuint g_null_next_name = 0;

void APIENTRY null_gen_names(GLsizei n, GLuint* names) {
    for (GLsizei i = 0; i < n; ++i) names[i] = ++g_null_next_name;
}
GLuint APIENTRY null_create(void) { return ++g_null_next_name; }
GLuint APIENTRY null_create_shader(GLenum) { return ++g_null_next_name; }
void APIENTRY null_get_status(GLuint, GLenum, GLint* params) { *params = 1; }
GLenum APIENTRY null_framebuffer_status(GLenum) { return GL_FRAMEBUFFER_COMPLETE; }
GLint APIENTRY null_uniform_location(GLuint, const GLchar*) { return 0; }

// Every other entry point: same signature, no effect, a zero result.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-parameter"
#define TORVANEL_GL_NULL(ret, name, params) \
    ret APIENTRY null_##name params { return static_cast<ret>(0); }
TORVANEL_GL_FUNCTIONS(TORVANEL_GL_NULL)
#undef TORVANEL_GL_NULL
#pragma GCC diagnostic pop

struct NullEntry {
    const char* name;
    void* address;
};

}  // namespace

void* null_gl_lookup(const char* name) {
    static const NullEntry OVERRIDES[] = {
        {"glGenTextures", reinterpret_cast<void*>(null_gen_names)},
        {"glGenVertexArrays", reinterpret_cast<void*>(null_gen_names)},
        {"glGenBuffers", reinterpret_cast<void*>(null_gen_names)},
        {"glGenFramebuffers", reinterpret_cast<void*>(null_gen_names)},
        {"glCreateProgram", reinterpret_cast<void*>(null_create)},
        {"glCreateShader", reinterpret_cast<void*>(null_create_shader)},
        {"glGetShaderiv", reinterpret_cast<void*>(null_get_status)},
        {"glGetProgramiv", reinterpret_cast<void*>(null_get_status)},
        {"glCheckFramebufferStatus", reinterpret_cast<void*>(null_framebuffer_status)},
        {"glGetUniformLocation", reinterpret_cast<void*>(null_uniform_location)},
    };
    for (const NullEntry& entry : OVERRIDES)
        if (std::strcmp(entry.name, name) == 0) return entry.address;
#define TORVANEL_GL_NULL_ENTRY(ret, name_, params) \
    if (std::strcmp(#name_, name) == 0) return reinterpret_cast<void*>(null_##name_);
    TORVANEL_GL_FUNCTIONS(TORVANEL_GL_NULL_ENTRY)
#undef TORVANEL_GL_NULL_ENTRY
    return nullptr;
}
