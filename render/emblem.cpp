// The sidebar emblem, painted once at start-up: a rounded square with a city
// skyline at sunset, lit windows and a winding road, supersampled into RGBA
// bytes and uploaded as one texture (the scene under the road lives in
// emblem_scene, the road's candidate lists in emblem_road, and the inner
// loops in one kernel file per instruction-set level, chosen once).
//
// Painting every sample in full costs about a million samples times 120 road
// segments. The painter below gives exactly the same bytes (every value comes
// from the same 32-bit float expressions, in the same order) but skips what
// provably cannot change a byte: the scene is painted in runs of samples that
// share every building and window, mixes whose weight is exactly zero are left
// out, the shape's inside is one run per sample row, and the nearest road
// segment is searched only among the few segments that can be nearest
// somewhere in a small block of pixels. Keep it that way: the tests compare it
// byte for byte with a plain one-sample-at-a-time painter.
#include "render/emblem.h"

#include <algorithm>
#include <array>
#include <cstddef>

#include "render/emblem_kernels.h"
#include "render/emblem_road.h"
#include "render/emblem_scene.h"
#include "render/gl_api.h"

// [SECTION] Painting

namespace {

// The per-painting tables and the colours of the sample rows of one pixel row.
struct Painter {
    int n = 0, k = 0, samples = 0;
    const EmblemKernels* kernels = nullptr;
    std::vector<float> coord;  // sample positions along either axis, plus spares
    EmblemScene scene;
    std::array<RoadLine, ROAD_SEGMENTS> lines;
    std::array<float, ROAD_POINTS> arc;  // arc length at each polyline point
    RoadBlocks blocks;
    // The road search's answers for one pixel row, and where each group
    // starts in the colour planes.
    std::vector<RoadHitGroup> groups;
    std::vector<int> group_at;
    // k rows of `samples` each, plus spare lanes (kernels work four or eight
    // samples at a time); a sample outside the shape holds colour zero.
    std::vector<float> red, green, blue;
    // Per sample row, the sample columns inside the shape: inside_begin ..
    // inside_end - 1 (the shape is convex).
    std::vector<int> inside_begin, inside_end;
};

// The rounded square: a square of side 256 with corners of radius 52.
bool inside_shape(float x, float y) {
    const float cx = clampf(x, 52.0f, 204.0f), cy = clampf(y, 52.0f, 204.0f);
    return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= 2704.0f;
}

// Along a sample row the float distance test only grows away from the
// central cross, so the inside samples form one run found by bisection.
void inside_run(const Painter& p, float y, int& begin, int& end) {
    const int middle = p.samples / 2;  // x near 128, inside if any sample of the row is
    begin = end = 0;
    if (!inside_shape(p.coord[middle], y)) return;
    const float* c = p.coord.data();
    begin = static_cast<int>(std::partition_point(c, c + middle, [&](float x) { return !inside_shape(x, y); }) - c);
    end = static_cast<int>(
        std::partition_point(c + middle, c + p.samples, [&](float x) { return inside_shape(x, y); }) - c);
}

void prepare(Painter& p, int n) {
    p.n = n;
    p.k = n >= 128 ? 4 : 3;
    p.samples = n * p.k;
    p.kernels = &emblem_kernels();
    const int k = p.k;
    const float u = 256.0f / n;
    // x and y use the same expression; the spares let any sample start a
    // group of eight.
    p.coord.assign(p.samples + GROUP_LANES, 0.0f);
    for (int px = 0; px < n; ++px)
        for (int j = 0; j < k; ++j) p.coord[px * k + j] = ((j + 0.5f) / k + px) * u;
    prepare_scene(p.scene, p.coord.data(), p.samples);
    p.inside_begin.resize(p.samples);
    p.inside_end.resize(p.samples);
    for (int q = 0; q < p.samples; ++q) inside_run(p, p.coord[q], p.inside_begin[q], p.inside_end[q]);

    const auto segments = road_segments();
    build_road_blocks(n, u, segments, p.blocks);
    for (int s = 0; s < ROAD_POINTS; ++s) p.arc[s] = road_polyline()[s].s;
    for (int s = 0; s < ROAD_SEGMENTS; ++s) {
        const RoadSegment& g = segments[s];
        p.lines[s] = {g.ax, g.ay, g.dx, g.dy, g.len2};
    }
    for (std::vector<float>* plane : {&p.red, &p.green, &p.blue})
        plane->resize(static_cast<size_t>(k) * p.samples + GROUP_LANES);
    // Each block's k sample rows of up to FINE_BLOCK * k samples.
    const size_t groups = static_cast<size_t>(p.blocks.per_row) * k * group_count(FINE_BLOCK * k);
    p.groups.resize(groups);
    p.group_at.resize(groups);
}

// Searches the road for the samples of pixel row py, block by block: each
// block with candidates adds group_count(its samples a row) groups for each
// of its sample rows to p.groups, group t starting at sample p.group_at[t]
// of the colour planes (sample row i starts at i * samples). Returns the
// number of groups.
int search_road(Painter& p, int py) {
    static_assert(FINE_BLOCK * 4 <= 2 * GROUP_LANES, "the kernels search up to 16 samples a row");
    const int block_row = (py / FINE_BLOCK) * p.blocks.per_row;
    int groups = 0;
    for (int px = 0; px < p.n; px += FINE_BLOCK) {
        const int block = block_row + px / FINE_BLOCK;
        if (p.blocks.count[block] == 0) continue;
        const int count = (std::min(p.n, px + FINE_BLOCK) - px) * p.k;
        const uint8_t* list = p.blocks.segments.data() + p.blocks.first[block];
        p.kernels->nearest_road(p.lines.data(), list, list + p.blocks.count[block], &p.coord[px * p.k], count,
                                &p.coord[py * p.k], p.k, &p.groups[groups]);
        for (int i = 0; i < p.k; ++i)
            for (int h = 0; h < group_count(count); ++h)
                p.group_at[groups++] = i * p.samples + px * p.k + h * GROUP_LANES;
    }
    return groups;
}

// Shades the sample rows of pixel row py into the colour planes.
void shade_pixel_row(Painter& p, int py) {
    float *red = p.red.data(), *green = p.green.data(), *blue = p.blue.data();
    for (int i = 0; i < p.k; ++i) {
        const size_t at = static_cast<size_t>(i) * p.samples;
        paint_scene_row(p.scene, *p.kernels, p.coord.data(), p.samples, py * p.k + i, red + at, green + at, blue + at);
    }
    const int groups = search_road(p, py);
    p.kernels->shade_road(p.groups.data(), p.group_at.data(), groups, p.arc.data(), red, green, blue);
    // Zero outside the shape, so that sums may take every sample.
    for (int i = 0; i < p.k; ++i) {
        const size_t at = static_cast<size_t>(i) * p.samples;
        const int begin = p.inside_begin[py * p.k + i], end = p.inside_end[py * p.k + i];
        for (float* plane : {red + at, green + at, blue + at}) {
            std::fill(plane, plane + begin, 0.0f);
            std::fill(plane + end, plane + p.samples, 0.0f);
        }
    }
}

}  // namespace

void paint_emblem(int n, std::vector<uint8_t>& pixels) {
    pixels.assign(static_cast<size_t>(std::max(n, 0)) * std::max(n, 0) * 4, 0);
    if (n <= 0) return;
    Painter p;
    prepare(p, n);
    for (int py = 0; py < n; ++py) {
        shade_pixel_row(p, py);
        p.kernels->average_pixels(p.red.data(), p.green.data(), p.blue.data(), p.samples, p.k,
                                  &p.inside_begin[py * p.k], &p.inside_end[py * p.k], 0, n,
                                  &pixels[static_cast<size_t>(py) * n * 4]);
    }
}

void emblem_road_hits(int n, std::vector<EmblemRoadHit>& hits) {
    hits.clear();
    if (n <= 0) return;
    Painter p;
    prepare(p, n);
    hits.assign(static_cast<size_t>(p.samples) * p.samples, EmblemRoadHit{-1, NO_HIT_D2, 0.0f});
    for (int py = 0; py < n; ++py) {
        EmblemRoadHit* rows = &hits[static_cast<size_t>(py * p.k) * p.samples];
        const int groups = search_road(p, py);
        for (int t = 0; t < groups; ++t) {
            const RoadHitGroup& g = p.groups[t];
            for (int j = 0; j < GROUP_LANES; ++j)
                if (g.segment[j] >= 0)
                    rows[p.group_at[t] + j] = {g.segment[j], g.d2[j], arc_at(p.arc.data(), g.segment[j], g.param[j])};
        }
    }
}

// [SECTION] Texture

uint32_t make_emblem_texture(int size, int* width_out, int* height_out) {
    const int n = std::max(size, 16);
    std::vector<uint8_t> pixels;
    paint_emblem(n, pixels);
    GLuint texture = 0;
    gl.glGenTextures(1, &texture);
    gl.glBindTexture(GL_TEXTURE_2D, texture);
    gl.glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, n, n, 0, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    gl.glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    gl.glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    gl.glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    gl.glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    gl.glBindTexture(GL_TEXTURE_2D, 0);
    if (width_out) *width_out = n;
    if (height_out) *height_out = n;
    return texture;
}
