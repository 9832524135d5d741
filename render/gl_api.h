// GlApi: the one table of OpenGL entry points the program calls through.
// Nothing links against libGL: load_gl_api asks SDL for every address once,
// right after the context is made current. All 61 are required, including
// the ones this program never calls.
#pragma once
#include <SDL_opengl.h>

// X(return type, name, parameter list) for every entry point, in load order.
#define TORVANEL_GL_FUNCTIONS(X)                                                                                       \
    X(void, glClearColor, (GLfloat r, GLfloat g, GLfloat b, GLfloat a))                                                \
    X(void, glClear, (GLbitfield mask))                                                                                \
    X(void, glViewport, (GLint x, GLint y, GLsizei w, GLsizei h))                                                      \
    X(void, glScissor, (GLint x, GLint y, GLsizei w, GLsizei h))                                                       \
    X(void, glEnable, (GLenum cap))                                                                                    \
    X(void, glDisable, (GLenum cap))                                                                                   \
    X(void, glDepthFunc, (GLenum func))                                                                                \
    X(void, glDepthMask, (GLboolean flag))                                                                             \
    X(void, glBlendFunc, (GLenum sfactor, GLenum dfactor))                                                             \
    X(void, glCullFace, (GLenum mode))                                                                                 \
    X(void, glFrontFace, (GLenum mode))                                                                                \
    X(void, glPolygonOffset, (GLfloat factor, GLfloat units))                                                          \
    X(void, glPixelStorei, (GLenum pname, GLint param))                                                                \
    X(void, glDrawArrays, (GLenum mode, GLint first, GLsizei count))                                                   \
    X(void, glFinish, (void))                                                                                          \
    X(void, glGenTextures, (GLsizei n, GLuint * textures))                                                             \
    X(void, glDeleteTextures, (GLsizei n, const GLuint* textures))                                                     \
    X(void, glBindTexture, (GLenum target, GLuint texture))                                                            \
    X(void, glTexImage2D,                                                                                              \
      (GLenum target, GLint level, GLint internalformat, GLsizei width, GLsizei height, GLint border, GLenum format,   \
       GLenum type, const void* pixels))                                                                               \
    X(void, glTexParameteri, (GLenum target, GLenum pname, GLint param))                                               \
    X(void, glActiveTexture, (GLenum texture))                                                                         \
    X(void, glGenVertexArrays, (GLsizei n, GLuint * arrays))                                                           \
    X(void, glDeleteVertexArrays, (GLsizei n, const GLuint* arrays))                                                   \
    X(void, glBindVertexArray, (GLuint array))                                                                         \
    X(void, glGenBuffers, (GLsizei n, GLuint * buffers))                                                               \
    X(void, glDeleteBuffers, (GLsizei n, const GLuint* buffers))                                                       \
    X(void, glBindBuffer, (GLenum target, GLuint buffer))                                                              \
    X(void, glBufferData, (GLenum target, GLsizeiptr size, const void* data, GLenum usage))                            \
    X(void, glBufferSubData, (GLenum target, GLintptr offset, GLsizeiptr size, const void* data))                      \
    X(void, glEnableVertexAttribArray, (GLuint index))                                                                 \
    X(void, glDisableVertexAttribArray, (GLuint index))                                                                \
    X(void, glVertexAttribPointer,                                                                                     \
      (GLuint index, GLint size, GLenum type, GLboolean normalized, GLsizei stride, const void* pointer))              \
    X(GLuint, glCreateShader, (GLenum type))                                                                           \
    X(void, glShaderSource, (GLuint shader, GLsizei count, const GLchar* const* string, const GLint* length))          \
    X(void, glCompileShader, (GLuint shader))                                                                          \
    X(void, glGetShaderiv, (GLuint shader, GLenum pname, GLint * params))                                              \
    X(void, glGetShaderInfoLog, (GLuint shader, GLsizei bufSize, GLsizei * length, GLchar * log))                      \
    X(void, glDeleteShader, (GLuint shader))                                                                           \
    X(GLuint, glCreateProgram, (void))                                                                                 \
    X(void, glAttachShader, (GLuint program, GLuint shader))                                                           \
    X(void, glBindAttribLocation, (GLuint program, GLuint index, const GLchar* name))                                  \
    X(void, glLinkProgram, (GLuint program))                                                                           \
    X(void, glGetProgramiv, (GLuint program, GLenum pname, GLint * params))                                            \
    X(void, glGetProgramInfoLog, (GLuint program, GLsizei bufSize, GLsizei * length, GLchar * log))                    \
    X(void, glDeleteProgram, (GLuint program))                                                                         \
    X(void, glUseProgram, (GLuint program))                                                                            \
    X(GLint, glGetUniformLocation, (GLuint program, const GLchar* name))                                               \
    X(void, glUniform1i, (GLint location, GLint v0))                                                                   \
    X(void, glUniform1f, (GLint location, GLfloat v0))                                                                 \
    X(void, glUniform2f, (GLint location, GLfloat v0, GLfloat v1))                                                     \
    X(void, glUniform3f, (GLint location, GLfloat v0, GLfloat v1, GLfloat v2))                                         \
    X(void, glUniform4f, (GLint location, GLfloat v0, GLfloat v1, GLfloat v2, GLfloat v3))                             \
    X(void, glUniformMatrix4fv, (GLint location, GLsizei count, GLboolean transpose, const GLfloat* value))            \
    X(void, glGenFramebuffers, (GLsizei n, GLuint * framebuffers))                                                     \
    X(void, glDeleteFramebuffers, (GLsizei n, const GLuint* framebuffers))                                             \
    X(void, glBindFramebuffer, (GLenum target, GLuint framebuffer))                                                    \
    X(void, glFramebufferTexture2D, (GLenum target, GLenum attachment, GLenum textarget, GLuint texture, GLint level)) \
    X(GLenum, glCheckFramebufferStatus, (GLenum target))                                                               \
    X(void, glDrawBuffer, (GLenum buf))                                                                                \
    X(void, glReadBuffer, (GLenum src))                                                                                \
    X(void, glReadPixels, (GLint x, GLint y, GLsizei width, GLsizei height, GLenum format, GLenum type, void* pixels))

#define TORVANEL_GL_MEMBER(ret, name, params) ret(APIENTRY* name) params = nullptr;
struct GlApi {
    TORVANEL_GL_FUNCTIONS(TORVANEL_GL_MEMBER)
};
#undef TORVANEL_GL_MEMBER

constexpr int GL_ENTRY_POINT_COUNT = 61;

// The process-wide table: written by load_gl_api, read by every GL caller as gl.glEnable(...).
extern GlApi gl;

// Address lookup used by the loader; SDL_GL_GetProcAddress unless a test replaces it.
using GlProcLookup = void* (*)(const char* name);

// Requests all 61 entry points in order with SDL_GL_GetProcAddress, storing
// each address (null included); writes "missing GL function %s\n" to stderr
// per missing name and returns false if any was missing. Needs a current context.
bool load_gl_api();
// As load_gl_api, with another address lookup (tests hide names through it).
bool load_gl_api_with(GlProcLookup lookup);
// A lookup for the null backend: every name resolves to a function that does
// nothing, except that glGen* and glCreate* hand out fresh non-zero names and
// status queries report success, so code runs unchanged without a GPU
// (benchmarks measure the program's own CPU time through it). Null for
// names outside the table.
void* null_gl_lookup(const char* name);
