// The emblem: its rounded-square coverage, supersampling, window grid,
// determinism, a few landmarks of the picture, byte equality with the plain
// per-sample painter, and the texture made from it.
#include "render/emblem.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>
#include <vector>

#include "render/gl_api.h"
#include "tests/render/emblem_reference.h"
#include "tests/support/gl_context.h"

namespace {

struct Rgba {
    int r, g, b, a;
};

Rgba pixel(const std::vector<uint8_t>& image, int n, int x, int y) {
    const uint8_t* p = &image[(static_cast<size_t>(y) * n + x) * 4];
    return {p[0], p[1], p[2], p[3]};
}

std::vector<uint8_t> painted(int n) {
    std::vector<uint8_t> image;
    paint_emblem(n, image);
    return image;
}

// Alpha values a pixel may have with m samples: (h * 255) / m for h in 0..m.
std::set<int> alpha_steps(int m) {
    std::set<int> steps;
    for (int h = 0; h <= m; ++h) steps.insert(h * 255 / m);
    return steps;
}

// [SECTION] Coverage and supersampling

TEST(EmblemCoverage, CornersTransparentAndTopCentreOpaque) {
    const int n = 256;
    std::vector<uint8_t> image(7, 0xAB);  // resized and cleared first
    paint_emblem(n, image);
    ASSERT_EQ(image.size(), size_t(n) * n * 4);
    for (auto [x, y] : {std::pair{0, 0}, {n - 1, 0}, {0, n - 1}, {n - 1, n - 1}}) {
        Rgba p = pixel(image, n, x, y);
        EXPECT_EQ(p.r + p.g + p.b + p.a, 0) << x << "," << y;
    }
    EXPECT_EQ(pixel(image, n, n / 2, 0).a, 255);
    EXPECT_EQ(pixel(image, n, 0, n / 2).a, 255);
    EXPECT_EQ(pixel(image, n, n / 2, n / 2).a, 255);
}

TEST(EmblemCoverage, EdgeAlphaComesInStepsOfOneSample) {
    // 4 x 4 samples from 128 up, 3 x 3 below: alpha is (hits * 255) / samples.
    for (auto [n, m] : {std::pair{16, 9}, {100, 9}, {128, 16}, {256, 16}}) {
        const auto image = painted(n);
        const auto steps = alpha_steps(m);
        std::set<int> partial;
        for (int y = 0; y < n; ++y)
            for (int x = 0; x < n; ++x) {
                int a = pixel(image, n, x, y).a;
                ASSERT_TRUE(steps.count(a))
                    << "alpha " << a << " at " << x << "," << y << " of " << n;
                if (a != 0 && a != 255) partial.insert(a);
            }
        // The rounded corners cross pixels at many kinds of coverage.
        EXPECT_GE(partial.size(), n >= 100 ? size_t(m / 2) : 2u) << n;
    }
}

TEST(EmblemCoverage, EdgePixelsKeepTheirColourUndimmed) {
    // Near the top corners only the dark-blue sky is painted; a pixel that
    // is only partly covered still averages its covered samples, so its blue
    // stays that of the sky instead of shrinking with the alpha.
    const int n = 256;
    const auto image = painted(n);
    int checked = 0;
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < n; ++x) {
            Rgba p = pixel(image, n, x, y);
            if (p.a == 0 || p.a == 255) continue;
            EXPECT_GE(p.b, 42) << x << "," << y;
            EXPECT_LE(p.b, 46) << x << "," << y;
            ++checked;
        }
    EXPECT_GT(checked, 20);
}

// [SECTION] Picture

TEST(EmblemPicture, LandmarksHaveTheirColours) {
    const int n = 256;
    const auto image = painted(n);
    // Top of the sky: dark blue, (0.05, 0.07, 0.17) plus a trace of the gradient.
    Rgba sky = pixel(image, n, 128, 2);
    EXPECT_NEAR(sky.r, 13, 1);
    EXPECT_NEAR(sky.g, 18, 1);
    EXPECT_NEAR(sky.b, 43, 1);
    // The road starts at (176, 80) heading up, centre line on for its first 12 units.
    Rgba line = pixel(image, n, 175, 76);
    EXPECT_EQ(line.r, 255);
    EXPECT_EQ(line.g, 240);
    EXPECT_EQ(line.b, 189);
    // Bottom of the ground, far from the road: the darkest ground colour.
    Rgba ground = pixel(image, n, 128, 254);
    EXPECT_EQ(ground.r, 8);
    EXPECT_EQ(ground.g, 10);
    EXPECT_EQ(ground.b, 20);
    // The antenna on top of the tallest building.
    Rgba antenna = pixel(image, n, 128, 88);
    EXPECT_NEAR(antenna.r, 204, 2);
    EXPECT_NEAR(antenna.b, 235, 2);
    // The sun sits low behind the skyline, left of the tall tower: its disc
    // shows orange in the gap above the lower buildings.
    Rgba sun = pixel(image, n, 90, 150);
    EXPECT_GT(sun.r, 240);
    EXPECT_GT(sun.g, 150);
    EXPECT_LT(sun.g, 200);
    EXPECT_LT(sun.b, 120);
}

TEST(EmblemPicture, DashedCentreLineAlternatesAlongTheRoad) {
    // Straight up from the start of the road the arc length equals the
    // distance from (176, 80): units 0..12 are line, 12..24 are bare asphalt.
    const int n = 256;
    const auto image = painted(n);
    Rgba on = pixel(image, n, 175, 74);
    Rgba off = pixel(image, n, 175, 64);
    EXPECT_GT(on.r, 200);
    EXPECT_LT(off.r, 60);
    EXPECT_LT(off.b, 80);
}

TEST(EmblemPicture, PaintingTwiceGivesTheSameBytes) {
    for (int n : {16, 256}) EXPECT_EQ(painted(n), painted(n)) << n;
}

// [SECTION] Windows

TEST(EmblemWindows, DarkBetweenWindowsWhateverTheHash) {
    // Column offsets (mod 6) of 2.0 or less and row offsets (mod 7) of 2.2
    // or less are wall.
    for (int seed : {7, 11, 91})
        for (float left : {0.0f, 38.0f, 112.0f})
            for (int cell = 0; cell < 6; ++cell)
                for (float wall : {0.0f, 0.5f, 1.0f, 1.99f, 2.0f, 2.2f})
                    for (float open = 0.0f; open < 60.0f; open += 0.7f) {
                        const float top = 100.0f;
                        EXPECT_FALSE(window_lit(left, top, left + cell * 6 + std::min(wall, 2.0f),
                                                top + open, seed));
                        EXPECT_FALSE(
                            window_lit(left, top, left + open, top + cell * 7 + wall, seed));
                    }
}

TEST(EmblemWindows, KnownWindowsOfTheGrid) {
    // (row, column) of the grid cell under seeds 7 and 91.
    EXPECT_TRUE(window_lit(0, 0, 3, 3, 7));        // (0, 0)
    EXPECT_FALSE(window_lit(0, 0, 9, 3, 7));       // (0, 1)
    EXPECT_TRUE(window_lit(0, 0, 15, 17, 7));      // (2, 2)
    EXPECT_TRUE(window_lit(38, 142, 53, 159, 7));  // (2, 2) of a building at (38, 142)
    EXPECT_TRUE(window_lit(0, 0, 21, 3, 91));      // (0, 3)
    EXPECT_TRUE(window_lit(0, 0, 3, 17, 91));      // (2, 0)
    EXPECT_FALSE(window_lit(0, 0, 15, 17, 91));    // (2, 2)
    // Inside one window every point agrees; the lit part is 4 by 4.8 units.
    EXPECT_TRUE(window_lit(0, 0, 2.01f, 2.21f, 7));
    EXPECT_TRUE(window_lit(0, 0, 5.99f, 6.99f, 7));
}

// [SECTION] Against the plain painter

TEST(EmblemReference, SameBytesAsThePlainPainter) {
    for (int n : {16, 100, 256}) {
        std::vector<uint8_t> plain;
        paint_emblem_reference(n, plain);
        const auto fast = painted(n);
        ASSERT_EQ(fast.size(), plain.size()) << n;
        size_t differing = 0, first = fast.size();
        for (size_t i = 0; i < fast.size(); ++i)
            if (fast[i] != plain[i]) {
                if (differing++ == 0) first = i;
            }
        EXPECT_EQ(differing, 0u) << "size " << n << ": first difference at pixel " << first / 4
                                 << " (x " << (first / 4) % n << ", y " << (first / 4) / n << ")";
    }
}

TEST(EmblemReference, RoadSearchFindsTheSameSegmentDistanceAndArc) {
    // Wherever the road is within reach, the pruned search must settle on the
    // very segment a search of all of them keeps, ties included (a sample
    // beyond a bend is equally near both segments' shared end), with the same
    // squared distance and the same arc length to the last bit.
    for (int n : {16, 100, 256}) {
        std::vector<EmblemRoadHit> hits;
        emblem_road_hits(n, hits);
        const int k = n >= 128 ? 4 : 3;
        const int side = n * k;
        ASSERT_EQ(hits.size(), size_t(side) * side);
        std::vector<float> coord(side);
        for (int p = 0; p < n; ++p)
            for (int j = 0; j < k; ++j) coord[p * k + j] = ((j + 0.5f) / k + p) * (256.0f / n);
        int within = 0, mismatches = 0;
        for (int qy = 0; qy < side; ++qy) {
            for (int qx = 0; qx < side; ++qx) {
                const ReferenceRoadHit want = reference_road_nearest(coord[qx], coord[qy]);
                const EmblemRoadHit& got = hits[size_t(qy) * side + qx];
                if (want.d2 > 784.0f) {
                    // Out of reach: any candidate found must be at least as far.
                    if (got.segment >= 0 && got.d2 < want.d2) ++mismatches;
                    continue;
                }
                ++within;
                if (got.segment != want.segment || got.d2 != want.d2 || got.arc != want.arc) {
                    if (mismatches++ < 5)
                        ADD_FAILURE() << "n " << n << " sample (" << coord[qx] << ", " << coord[qy]
                                      << "): segment " << got.segment << " vs " << want.segment
                                      << ", d2 " << got.d2 << " vs " << want.d2 << ", arc "
                                      << got.arc << " vs " << want.arc;
                }
            }
        }
        EXPECT_EQ(mismatches, 0) << n;
        EXPECT_GT(within, side * side / 5) << n;  // the road and its glow cover much of the image
    }
}

// [SECTION] Texture

TEST(EmblemTexture, SmallSizesAreRaisedToSixteenAndUploadedAsPainted) {
    REQUIRE_GL();
    int w = 0, h = 0;
    uint32_t texture = make_emblem_texture(8, &w, &h);
    ASSERT_NE(texture, 0u);
    EXPECT_EQ(w, 16);
    EXPECT_EQ(h, 16);
    auto get_tex_image = reinterpret_cast<void(APIENTRY*)(GLenum, GLint, GLenum, GLenum, void*)>(
        SDL_GL_GetProcAddress("glGetTexImage"));
    auto get_parameter = reinterpret_cast<void(APIENTRY*)(GLenum, GLenum, GLint*)>(
        SDL_GL_GetProcAddress("glGetTexParameteriv"));
    ASSERT_TRUE(get_tex_image && get_parameter);
    std::vector<uint8_t> uploaded(16 * 16 * 4, 0x55);
    gl.glBindTexture(GL_TEXTURE_2D, texture);
    gl.glPixelStorei(GL_PACK_ALIGNMENT, 1);
    get_tex_image(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, uploaded.data());
    for (auto [name, want] : {std::pair{GL_TEXTURE_MIN_FILTER, GL_LINEAR},
                              {GL_TEXTURE_MAG_FILTER, GL_LINEAR},
                              {GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE},
                              {GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE}}) {
        GLint value = 0;
        get_parameter(GL_TEXTURE_2D, name, &value);
        EXPECT_EQ(value, GLint(want)) << name;
    }
    gl.glBindTexture(GL_TEXTURE_2D, 0);
    EXPECT_EQ(uploaded, painted(16));
    gl.glDeleteTextures(1, &texture);
    // Both outputs may be left out.
    texture = make_emblem_texture(32, nullptr, nullptr);
    EXPECT_NE(texture, 0u);
    gl.glDeleteTextures(1, &texture);
}

}  // namespace
