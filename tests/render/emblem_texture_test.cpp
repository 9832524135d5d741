// The emblem's texture on a real context.
#include <SDL.h>
#include <gtest/gtest.h>

#include <vector>

#include "render/emblem.h"
#include "render/gl_api.h"
#include "tests/support/gl_context.h"

namespace {

// make_emblem_texture paints max(size, 16) pixels square.
const struct {
    const char* what;
    int requested;
    int side;
} SIZES[] = {
    {"a small request is raised to the least size", 8, 16},
    {"a larger one is painted as asked", 40, 40},
};

// The bytes of the texture, as many as a painting of `side` pixels has.
std::vector<uint8_t> texture_bytes(GLuint texture, int side) {
    using GetTexImage = void(APIENTRY*)(GLenum, GLint, GLenum, GLenum, void*);
    const auto get_tex_image = reinterpret_cast<GetTexImage>(SDL_GL_GetProcAddress("glGetTexImage"));
    std::vector<uint8_t> bytes(256 * 256 * 4);  // room for any size the texture may wrongly have
    gl.glBindTexture(GL_TEXTURE_2D, texture);
    get_tex_image(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, bytes.data());
    bytes.resize(static_cast<size_t>(side) * side * 4);
    return bytes;
}

TEST(EmblemTexture, IsNeverSmallerThanSixteenPixels) {
    REQUIRE_GL();
    for (const auto& size : SIZES) {
        SCOPED_TRACE(size.what);
        int width = 0;
        int height = 0;
        GLuint texture = make_emblem_texture(size.requested, &width, &height);
        gl.glDeleteTextures(1, &texture);
        EXPECT_EQ(width, size.side);
        EXPECT_EQ(height, size.side);
    }
}

TEST(EmblemTexture, HoldsThePaintingOfItsSize) {
    REQUIRE_GL();
    for (const auto& size : SIZES) {
        SCOPED_TRACE(size.what);
        GLuint texture = make_emblem_texture(size.requested, nullptr, nullptr);
        const std::vector<uint8_t> uploaded = texture_bytes(texture, size.side);
        gl.glDeleteTextures(1, &texture);
        std::vector<uint8_t> painting;
        paint_emblem(size.side, painting);
        EXPECT_TRUE(uploaded == painting);
    }
}

}  // namespace
