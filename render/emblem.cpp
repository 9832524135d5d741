// The sidebar emblem, painted once at start-up: a rounded square with a city
// skyline at sunset, lit windows and a winding road, supersampled into RGBA
// bytes and uploaded as one texture (the scene under the road lives in
// emblem_scene, the road itself in emblem_road).
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
#include <cmath>
#include <cstddef>

#include "render/emblem_road.h"
#include "render/emblem_scene.h"
#include "render/emblem_simd.h"
#include "render/gl_api.h"

// [SECTION] Road shading

namespace {

constexpr Color ROAD_GLOW = {1.0f, 0.78f, 0.38f};
constexpr Color ASPHALT = {0.12f, 0.13f, 0.21f};
constexpr Color CENTRE_LINE = {1.0f, 0.94f, 0.74f};

// Glow, asphalt and the dashed centre line, for a sample whose nearest
// segment lies within reach (d2 <= 784: beyond, D >= 28 and every weight is
// zero). A mix with weight zero leaves the colour as it is.
inline void shade_road(int segment, float d2, float param, Color& col) {
    const float dist = std::sqrt(d2);
    const float glow = 0.5f * smooth((dist - 28.0f) / -15.0f);
    col = mix(col, ROAD_GLOW, glow);
    const float cover = smooth((dist - 12.9f) / -1.7999992f);
    if (cover == 0.0f) return;
    col = mix(col, ASPHALT, cover);
    float line = smooth((dist - 2.0f) / -1.1f);
    if (line != 0.0f && !dash_on(road_arc(segment, param))) line = 0.0f;
    col = mix(col, CENTRE_LINE, cover * line);
}


// shade_road for four neighbouring samples at once. Every lane may be
// shaded: out of reach (or with no candidate, d2 = 1e30) each weight is
// exactly zero and a mix of weight zero adds only a signed zero to a
// non-negative colour, so nothing changes; likewise the early return above
// only skips mixes of weight zero. The centre line's dash test stays scalar.
inline void shade_road4(const float* d2, const float* param, const int32_t* segment, float* red,
                        float* green, float* blue) {
#if TORVANEL_EMBLEM_SSE2
    const __m128 d2s = _mm_loadu_ps(d2);
    if (_mm_movemask_ps(_mm_cmple_ps(d2s, _mm_set1_ps(784.0f))) == 0) return;  // all out of reach
    const __m128 dist = _mm_sqrt_ps(d2s);
    __m128 r = _mm_loadu_ps(red), g = _mm_loadu_ps(green), b = _mm_loadu_ps(blue);
    const __m128 glow = _mm_mul_ps(
        _mm_set1_ps(0.5f),
        smooth4(_mm_div_ps(_mm_sub_ps(dist, _mm_set1_ps(28.0f)), _mm_set1_ps(-15.0f))));
    mix4(r, g, b, ROAD_GLOW, glow);
    // From 12.9 on the asphalt and the centre line weigh exactly zero, from 2 on the line.
    if (_mm_movemask_ps(_mm_cmplt_ps(dist, _mm_set1_ps(12.9f))) != 0) {
        const __m128 cover =
            smooth4(_mm_div_ps(_mm_sub_ps(dist, _mm_set1_ps(12.9f)), _mm_set1_ps(-1.7999992f)));
        mix4(r, g, b, ASPHALT, cover);
        if (_mm_movemask_ps(_mm_cmplt_ps(dist, _mm_set1_ps(2.0f))) != 0) {
            __m128 line =
                smooth4(_mm_div_ps(_mm_sub_ps(dist, _mm_set1_ps(2.0f)), _mm_set1_ps(-1.1f)));
            const int drawn = ~_mm_movemask_ps(_mm_cmpeq_ps(line, _mm_setzero_ps())) & 15;
            alignas(16) float lines[4];
            _mm_store_ps(lines, line);
            for (int j = 0; j < 4; ++j)
                if ((drawn >> j & 1) && !dash_on(road_arc(segment[j], param[j])))
                    lines[j] = 0.0f;
            line = _mm_load_ps(lines);
            mix4(r, g, b, CENTRE_LINE, _mm_mul_ps(cover, line));
        }
    }
    _mm_storeu_ps(red, r);
    _mm_storeu_ps(green, g);
    _mm_storeu_ps(blue, b);
#else
    for (int j = 0; j < 4; ++j) {
        if (segment[j] < 0 || !(d2[j] <= 784.0f)) continue;
        Color c = {red[j], green[j], blue[j]};
        shade_road(segment[j], d2[j], param[j], c);
        red[j] = c.r;
        green[j] = c.g;
        blue[j] = c.b;
    }
#endif
}

// [SECTION] Painting

uint8_t to_byte(float v) {
    if (v <= 0.0f) return 0;
    if (v >= 255.0f) return 255;
    return static_cast<uint8_t>(v);
}

// The per-painting tables and the colours of the sample rows of one pixel row.
struct Painter {
    int n = 0, k = 0, samples = 0;
    std::vector<float> coord;  // sample positions along either axis, plus spares
    EmblemScene scene;
    RoadLanes lanes;
    std::array<RoadLine, ROAD_SEGMENTS> lines;  // for the eight-sample search
    std::array<float, ROAD_POINTS> arc;         // arc length at each polyline point
    RoadBlocks blocks;
    // The eight-sample searches of one pixel row, and where each starts.
    std::vector<RoadHits8> groups;
    std::vector<int> group_at;
    // k rows of `samples` each, plus spare lanes (samples are shaded four or
    // eight at a time); a sample outside the shape holds colour zero.
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
    end = static_cast<int>(std::partition_point(c + middle, c + p.samples, [&](float x) { return inside_shape(x, y); }) - c);
}

void prepare(Painter& p, int n) {
    p.n = n;
    p.k = n >= 128 ? 4 : 3;
    p.samples = n * p.k;
    const int k = p.k;
    const float u = 256.0f / n;
    // x and y use the same expression; the spares let any sample start a
    // group of eight.
    p.coord.assign(p.samples + 8, 0.0f);
    for (int px = 0; px < n; ++px)
        for (int j = 0; j < k; ++j) p.coord[px * k + j] = ((j + 0.5f) / k + px) * u;
    prepare_scene(p.scene, p.coord.data(), p.samples);
    p.inside_begin.resize(p.samples);
    p.inside_end.resize(p.samples);
    for (int q = 0; q < p.samples; ++q) inside_run(p, p.coord[q], p.inside_begin[q], p.inside_end[q]);

    const auto segments = road_segments();
    build_road_blocks(n, u, segments, p.blocks);
    broadcast_segments(segments, p.lanes);
    for (int s = 0; s < ROAD_POINTS; ++s) p.arc[s] = road_polyline()[s].s;
    for (int s = 0; s < ROAD_SEGMENTS; ++s) {
        const RoadSegment& g = segments[s];
        p.lines[s] = {g.ax, g.ay, g.dx, g.dy, g.len2};
    }
    for (std::vector<float>* plane : {&p.red, &p.green, &p.blue})
        plane->resize(static_cast<size_t>(k) * p.samples + 8);
    p.groups.resize(p.samples / 2 + 8);  // eight samples on each of four sample rows
    p.group_at.resize(p.samples / 2 + 8);
}

// Searches the road for the samples of pixel row py that have candidates.
// hit4(sample row i, first sample column, d2[4], param[4], segment[4]) takes
// four neighbouring samples at a time (segment -1 in a lane: none within
// reach). With AVX2 and four samples a pixel, each block's pixels are searched
// eight samples and four sample rows at a time instead, into p.groups[0 ..
// count - 1], group t starting at p.group_at[t] of the colour planes (sample
// row i starts at i * samples); returns that count.
template <typename Hit4>
int search_road(Painter& p, int py, Hit4&& hit4) {
    static_assert(FINE_BLOCK == 4, "a block's row of pixels fills two groups of eight samples");
    const int block_row = (py / FINE_BLOCK) * p.blocks.per_row;
    int wide_end = 0, groups = 0;  // pixels before wide_end go eight samples at a time
    if (p.k == 4 && emblem_wide_simd()) {
        wide_end = p.n / 2 * 2;
        for (int px = 0; px < wide_end; px += FINE_BLOCK) {
            const int block = block_row + px / FINE_BLOCK;
            if (p.blocks.count[block] == 0) continue;
            const int halves = std::min(2, (wide_end - px) / 2);
            const uint8_t* list = p.blocks.segments.data() + p.blocks.first[block];
            nearest_road_rows(p.lines.data(), list, list + p.blocks.count[block], &p.coord[px * 4],
                              &p.coord[py * 4], halves, &p.groups[groups]);
            for (int i = 0; i < 4; ++i)
                for (int h = 0; h < halves; ++h) p.group_at[groups++] = i * p.samples + (px + 2 * h) * 4;
        }
    }
    RoadHits hits;
    for (int i = 0; i < p.k; ++i) {
        const float y = p.coord[py * p.k + i];
        for (int px = wide_end; px < p.n; ++px) {
            const int block = block_row + px / FINE_BLOCK;
            if (p.blocks.count[block] == 0) continue;
            const uint8_t* list = p.blocks.segments.data() + p.blocks.first[block];
            nearest_road(p.lanes, list, list + p.blocks.count[block], &p.coord[px * p.k], y, hits);
            // With three samples a pixel the fourth lane is the next pixel's
            // first sample, searched again there: only the first k count.
            if (p.k == 3) {
                hits.segment[3] = -1;
                hits.d2[3] = 1e30f;
            }
            hit4(i, px * p.k, hits.d2, hits.param, hits.segment);
        }
    }
    return groups;
}

// Shades the sample rows of pixel row py into the colour planes.
void shade_pixel_row(Painter& p, int py) {
    float *red = p.red.data(), *green = p.green.data(), *blue = p.blue.data();
    for (int i = 0; i < p.k; ++i) {
        const size_t at = static_cast<size_t>(i) * p.samples;
        paint_scene_row(p.scene, p.coord.data(), p.samples, py * p.k + i, red + at, green + at, blue + at);
    }
    const int groups = search_road(p, py, [&](int i, int q, const float* d2, const float* param,
                                              const int32_t* segment) {
        const size_t at = static_cast<size_t>(i) * p.samples + q;
        shade_road4(d2, param, segment, red + at, green + at, blue + at);
    });
    shade_road_8(p.groups.data(), p.group_at.data(), groups, p.arc.data(), red, green, blue);
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

// Writes pixel px of a pixel row from its samples' sums.
void store_pixel(const Painter& p, int px, float sr, float sg, float sb, int h, uint8_t* out) {
    if (h == 0) return;
    out += static_cast<size_t>(px) * 4;
    out[0] = to_byte(sr / h * 255.0f + 0.5f);
    out[1] = to_byte(sg / h * 255.0f + 0.5f);
    out[2] = to_byte(sb / h * 255.0f + 0.5f);
    out[3] = static_cast<uint8_t>(h * 255 / (p.k * p.k));
}

// How many samples of pixel px of pixel row py lie inside the shape.
int inside_count(const Painter& p, int py, int px) {
    int h = 0;
    for (int qy = py * p.k; qy < (py + 1) * p.k; ++qy)
        h += std::max(0, std::min(p.inside_end[qy], (px + 1) * p.k) - std::max(p.inside_begin[qy], px * p.k));
    return h;
}

#if TORVANEL_EMBLEM_SSE2
// The sums of one colour plane for the four pixels from px on (four samples
// a pixel): lane t is pixel px + t, summed over rows then columns like the
// scalar loop.
__m128 plane_sums4(const Painter& p, const float* plane, int px) {
    __m128 sum = _mm_setzero_ps();
    for (int i = 0; i < 4; ++i) {
        const float* at = plane + static_cast<size_t>(i) * p.samples + px * 4;
        __m128 s0 = _mm_loadu_ps(at), s1 = _mm_loadu_ps(at + 4), s2 = _mm_loadu_ps(at + 8),
               s3 = _mm_loadu_ps(at + 12);
        _MM_TRANSPOSE4_PS(s0, s1, s2, s3);
        sum = _mm_add_ps(_mm_add_ps(_mm_add_ps(_mm_add_ps(sum, s0), s1), s2), s3);
    }
    return sum;
}

// to_byte(sum / h * 255 + 0.5) of four lanes, as integers.
__m128i channel_bytes4(__m128 sum, __m128 h) {
    const __m128 v = _mm_add_ps(_mm_mul_ps(_mm_div_ps(sum, h), _mm_set1_ps(255.0f)), _mm_set1_ps(0.5f));
    // Up to 0 gives 0 and from 255 on 255 as in to_byte; in between both truncate.
    return _mm_cvttps_epi32(_mm_min_ps(_mm_set1_ps(255.0f), _mm_max_ps(_mm_setzero_ps(), v)));
}
#endif

// Averages the shaded sample rows into pixel row py of `out`. Outside samples
// hold zero, and adding zero to a non-negative sum changes nothing, so every
// sample is added.
void average_pixel_row(const Painter& p, int py, uint8_t* out) {
    bool core = true;  // every sample inside the shape
    for (int qy = py * p.k; qy < (py + 1) * p.k; ++qy)
        core = core && p.inside_begin[qy] == 0 && p.inside_end[qy] == p.samples;
    int px = 0;
    if (p.k == 4 && emblem_wide_simd()) {
        px = p.n / 8 * 8;
        average_pixels_8(p.red.data(), p.green.data(), p.blue.data(), p.samples, &p.inside_begin[py * 4],
                         &p.inside_end[py * 4], px, out);
    }
#if TORVANEL_EMBLEM_SSE2
    if (p.k == 4) {
        for (; px + 3 < p.n; px += 4) {
            alignas(16) int32_t h[4];
            for (int t = 0; t < 4; ++t) h[t] = core ? 16 : inside_count(p, py, px + t);
            const __m128 hs = _mm_cvtepi32_ps(_mm_load_si128(reinterpret_cast<const __m128i*>(h)));
            alignas(16) int32_t bytes[3][4];
            _mm_store_si128(reinterpret_cast<__m128i*>(bytes[0]),
                            channel_bytes4(plane_sums4(p, p.red.data(), px), hs));
            _mm_store_si128(reinterpret_cast<__m128i*>(bytes[1]),
                            channel_bytes4(plane_sums4(p, p.green.data(), px), hs));
            _mm_store_si128(reinterpret_cast<__m128i*>(bytes[2]),
                            channel_bytes4(plane_sums4(p, p.blue.data(), px), hs));
            for (int t = 0; t < 4; ++t) {
                if (h[t] == 0) continue;
                uint8_t* o = out + static_cast<size_t>(px + t) * 4;
                o[0] = static_cast<uint8_t>(bytes[0][t]);
                o[1] = static_cast<uint8_t>(bytes[1][t]);
                o[2] = static_cast<uint8_t>(bytes[2][t]);
                o[3] = static_cast<uint8_t>(h[t] * 255 / 16);
            }
        }
    }
#endif
    for (; px < p.n; ++px) {
        float sr = 0, sg = 0, sb = 0;
        for (int i = 0; i < p.k; ++i) {
            const size_t base = static_cast<size_t>(i) * p.samples + px * p.k;
            for (int j = 0; j < p.k; ++j) {
                sr += p.red[base + j];
                sg += p.green[base + j];
                sb += p.blue[base + j];
            }
        }
        store_pixel(p, px, sr, sg, sb, core ? p.k * p.k : inside_count(p, py, px), out);
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
        average_pixel_row(p, py, &pixels[static_cast<size_t>(py) * n * 4]);
    }
}

void emblem_road_hits(int n, std::vector<EmblemRoadHit>& hits) {
    hits.clear();
    if (n <= 0) return;
    Painter p;
    prepare(p, n);
    hits.assign(static_cast<size_t>(p.samples) * p.samples, EmblemRoadHit{-1, 1e30f, 0.0f});
    for (int py = 0; py < n; ++py) {
        EmblemRoadHit* rows = &hits[static_cast<size_t>(py * p.k) * p.samples];
        auto keep = [&](size_t at, int segment, float d2, float param) {
            if (segment >= 0) rows[at] = {segment, d2, road_arc(segment, param)};
        };
        const int groups = search_road(p, py, [&](int i, int q, const float* d2, const float* param,
                                                  const int32_t* segment) {
            for (int j = 0; j < 4; ++j) keep(size_t(i) * p.samples + q + j, segment[j], d2[j], param[j]);
        });
        for (int t = 0; t < groups; ++t)
            for (int j = 0; j < 8; ++j)
                keep(p.group_at[t] + j, p.groups[t].segment[j], p.groups[t].d2[j], p.groups[t].param[j]);
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
