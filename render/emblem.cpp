// The sidebar emblem, painted once at start-up: a rounded square with a city
// skyline at sunset, lit windows and a winding road, supersampled into RGBA
// bytes and uploaded as one texture (the road itself lives in emblem_road).
//
// Painting every sample in full costs about a million samples times 120 road
// segments. The painter below gives exactly the same bytes (every value comes
// from the same 32-bit float expressions, in the same order) but skips what
// provably cannot change a byte: values that depend on one axis only are
// computed once per sample row or column, only the topmost scene layer is
// shaded, mixes whose weight is exactly zero are left out, and the nearest
// road segment is searched only among the few segments that can be nearest
// anywhere in a small block of pixels. Keep it that way: the tests compare it
// byte for byte with a plain one-sample-at-a-time painter.
#include "render/emblem.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>

#include "render/emblem_road.h"
#include "render/emblem_simd.h"
#include "render/gl_api.h"

// [SECTION] Scene

namespace {

struct Building {
    float left, right, top;
};
struct Color {
    float r, g, b;
};

constexpr float GROUND_Y = 204.0f;
constexpr int FAR_COUNT = 8;
constexpr int NEAR_COUNT = 9;
// {left, right, top}; later rows of a table are drawn over earlier ones.
const Building FAR_BUILDINGS[FAR_COUNT] = {
    {0, 30, 170},    {28, 58, 152},   {56, 84, 180},   {82, 106, 160},
    {150, 178, 166}, {176, 202, 146}, {200, 230, 178}, {226, 256, 160},
};
const Building NEAR_BUILDINGS[NEAR_COUNT] = {
    {8, 40, 186},    {38, 66, 142},   {64, 96, 198},   {94, 116, 172},  {112, 146, 98},
    {142, 166, 140}, {164, 192, 188}, {190, 218, 150}, {214, 248, 176},
};
constexpr int FAR_SEED = 91;
constexpr int NEAR_FIRST_SEED = 7;

constexpr Color FAR_BODY = {0.11f, 0.13f, 0.25f};
constexpr Color FAR_LIT = {0.98f, 0.8f, 0.46f};
constexpr Color NEAR_BODY = {0.08f, 0.09f, 0.18f};
constexpr Color NEAR_LIT = {1.0f, 0.84f, 0.5f};
constexpr Color ROOF_EDGE = {0.04f, 0.05f, 0.11f};
constexpr Color ANTENNA = {0.8f, 0.84f, 0.92f};
constexpr Color SUN_GLOW = {1.0f, 0.72f, 0.36f};
constexpr Color ROAD_GLOW = {1.0f, 0.78f, 0.38f};
constexpr Color ASPHALT = {0.12f, 0.13f, 0.21f};
constexpr Color CENTRE_LINE = {1.0f, 0.94f, 0.74f};

// Single-precision differences of the palette's end colours; each sits one
// unit in the last place away from the nearest float of its decimal value,
// and the image depends on that.
constexpr float SKY_BLUE_RISE = 0x1.333332p-3f;     // 0.15 -> 0.14999999
constexpr float SUN_GREEN_FALL = -0x1.28f5c4p-2f;   // -0.29 -> -0.29000002
constexpr float GROUND_BLUE_FALL = -0x1.eb852p-5f;  // -0.06 -> -0.060000002

float smooth(float e) {
    e = clampf(e, 0.0f, 1.0f);
    return e * e * (3.0f - 2.0f * e);
}
Color mix(const Color& c, const Color& t, float w) {
    return {c.r + (t.r - c.r) * w, c.g + (t.g - c.g) * w, c.b + (t.b - c.b) * w};
}

// [SECTION] Windows

// One axis of the window grid: whether the offset lies in the lit part of its
// cell, and which cell it is.
struct WindowAxis {
    bool open;
    uint32_t cell;
};

WindowAxis window_axis(float offset, float period, float edge) {
    float f = std::fmod(offset, period);
    if (!(f > edge)) return {false, 0};
    return {true, static_cast<uint32_t>(static_cast<int>(offset / period))};
}
WindowAxis window_column(float left, float x) { return window_axis(x - left, 6.0f, 2.0f); }
WindowAxis window_row(float top, float y) { return window_axis(y - top, 7.0f, 2.2f); }

bool window_hash_lit(uint32_t row, uint32_t column, int seed) {
    uint32_t h = row * 668265263u + static_cast<uint32_t>(seed) * 2246822519u + column * 374761393u;
    h ^= h >> 13;
    h *= 1274126177u;
    h ^= h >> 16;
    return h % 3 == 0;
}

}  // namespace

bool window_lit(float left, float top, float x, float y, int seed) {
    WindowAxis column = window_column(left, x);
    if (!column.open) return false;
    WindowAxis row = window_row(top, y);
    if (!row.open) return false;
    return window_hash_lit(row.cell, column.cell, seed);
}

// [SECTION] Road shading

namespace {

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
    if (line != 0.0f && !(std::fmod(road_arc(segment, param), 24.0f) < 12.0f)) line = 0.0f;
    col = mix(col, CENTRE_LINE, cover * line);
}

#if TORVANEL_EMBLEM_SSE2
__m128 smooth4(__m128 e) {
    e = _mm_min_ps(_mm_set1_ps(1.0f), _mm_max_ps(_mm_setzero_ps(), e));  // as clampf
    return _mm_mul_ps(_mm_mul_ps(e, e), _mm_sub_ps(_mm_set1_ps(3.0f), _mm_mul_ps(_mm_set1_ps(2.0f), e)));
}
void mix4(__m128& r, __m128& g, __m128& b, const Color& t, __m128 w) {
    r = _mm_add_ps(r, _mm_mul_ps(_mm_sub_ps(_mm_set1_ps(t.r), r), w));
    g = _mm_add_ps(g, _mm_mul_ps(_mm_sub_ps(_mm_set1_ps(t.g), g), w));
    b = _mm_add_ps(b, _mm_mul_ps(_mm_sub_ps(_mm_set1_ps(t.b), b), w));
}
#endif

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
                if ((drawn >> j & 1) && !(std::fmod(road_arc(segment[j], param[j]), 24.0f) < 12.0f))
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

constexpr float NO_TOP = 1e30f;

// What one sample column (one x) needs: the buildings covering it, latest
// in table order first, each with its top (NO_TOP for none) and window column.
struct SampleColumn {
    float near_top[2];
    float far_top[2];
    int8_t near_building[2];
    int8_t far_building[2];
    WindowAxis near_window[2];
    WindowAxis far_window[2];
    bool antenna;
};

// What one sample row (one y) needs.
struct SampleRow {
    Color sky;     // before the sun
    Color ground;  // used when y >= GROUND_Y
    bool antenna;
    bool core;  // 52 <= y <= 204: the whole row lies inside the shape
    WindowAxis near_window[NEAR_COUNT];
    WindowAxis far_window[FAR_COUNT];
};

// Neighbouring buildings of a row overlap pairwise only, so at most two of
// a row cover any x.
void cover_column(const Building* buildings, int count, float x, float top[2], int8_t building[2],
                  WindowAxis window[2]) {
    int found = 0;
    for (int i = count - 1; i >= 0 && found < 2; --i) {
        if (x >= buildings[i].left && x < buildings[i].right) {
            top[found] = buildings[i].top;
            building[found] = static_cast<int8_t>(i);
            window[found] = window_column(buildings[i].left, x);
            ++found;
        }
    }
    for (; found < 2; ++found) {
        top[found] = NO_TOP;
        building[found] = -1;
        window[found] = {false, 0};
    }
}

inline Color sun_over(Color col, float x, float y);

// Everything below the road: sky, sun, buildings, antenna and ground, for a
// sample above the ground. Each layer overwrites the ones before it
// completely, so only the topmost one present is computed.
inline Color shade_scene(const SampleColumn& column, const SampleRow& row, float x, float y);

// shade_scene where a building or the antenna covers the sample; false (and
// `out` untouched) for open sky.
inline bool shade_solid(const SampleColumn& column, const SampleRow& row, float y, Color& out) {
    if (column.antenna && row.antenna) {
        out = ANTENNA;
        return true;
    }
    const int near_slot = y >= column.near_top[0] ? 0 : (y >= column.near_top[1] ? 1 : -1);
    if (near_slot >= 0) {
        const int b = column.near_building[near_slot];
        if (y - NEAR_BUILDINGS[b].top < 1.6f) {
            out = ROOF_EDGE;
            return true;
        }
        const WindowAxis& wc = column.near_window[near_slot];
        const WindowAxis& wr = row.near_window[b];
        const bool lit =
            wc.open && wr.open && window_hash_lit(wr.cell, wc.cell, NEAR_FIRST_SEED + b);
        out = lit ? NEAR_LIT : NEAR_BODY;
        return true;
    }
    const int far_slot = y >= column.far_top[0] ? 0 : (y >= column.far_top[1] ? 1 : -1);
    if (far_slot >= 0) {
        const int b = column.far_building[far_slot];
        const WindowAxis& wc = column.far_window[far_slot];
        const WindowAxis& wr = row.far_window[b];
        const bool lit = wc.open && wr.open && window_hash_lit(wr.cell, wc.cell, FAR_SEED);
        out = lit ? FAR_LIT : FAR_BODY;
        return true;
    }
    return false;
}

inline Color shade_scene(const SampleColumn& column, const SampleRow& row, float x, float y) {
    Color col;
    if (shade_solid(column, row, y, col)) return col;
    return sun_over(row.sky, x, y);
}

// The sun's glow and disc over the sky colour `col` at (x, y).
inline Color sun_over(Color col, float x, float y) {
    const float sx = x - 128.0f, sy = y - 178.0f;
    // Beyond 120 units both the glow and the disc weigh exactly zero.
    if (sx * sx + sy * sy <= 14401.5f) {
        const float d = std::hypot(sx, sy);
        const float glow = smooth((d - 120.0f) * -0.015625f);
        col = mix(col, SUN_GLOW, 0.55f * (glow * glow));
        if (d < 57.0f) {  // the disc weighs zero from 57 on
            const float q = clampf(d / 56.0f, 0.0f, 1.0f);
            col = mix(col, {1.0f, 0.93f + SUN_GREEN_FALL * q, 0.66f - 0.36f * q},
                      smooth((d - 57.0f) * -0.5f));
        }
    }
    return col;
}

uint8_t to_byte(float v) {
    if (v <= 0.0f) return 0;
    if (v >= 255.0f) return 255;
    return static_cast<uint8_t>(v);
}

// The per-painting tables and the colours of the sample rows of one pixel row.
struct Painter {
    int n = 0, k = 0, samples = 0;
    std::vector<float> coord;  // sample positions along either axis, plus a spare
    std::vector<SampleColumn> columns;
    std::vector<SampleRow> rows;
    RoadLanes lanes;
    std::array<RoadLine, ROAD_SEGMENTS> lines;  // for the eight-sample search
    std::array<float, ROAD_POINTS> arc;         // arc length at each polyline point
    RoadBlocks blocks;
    // k rows of `samples` each, plus spare lanes (samples are shaded four at
    // a time); a sample outside the shape keeps colour zero.
    std::vector<float> red, green, blue;
    std::vector<uint8_t> inside;  // k rows of `samples`
    std::vector<int32_t> sky;     // one sample row, + spare lanes: -1 where open sky
};

void prepare(Painter& p, int n) {
    p.n = n;
    p.k = n >= 128 ? 4 : 3;
    p.samples = n * p.k;
    const int k = p.k;
    const float u = 256.0f / n;
    // x and y use the same expression; the spares let any sample start a
    // group of four.
    p.coord.assign(p.samples + 4, 0.0f);
    for (int px = 0; px < n; ++px)
        for (int j = 0; j < k; ++j) p.coord[px * k + j] = ((j + 0.5f) / k + px) * u;

    p.columns.resize(p.samples);
    p.rows.resize(p.samples);
    for (int q = 0; q < p.samples; ++q) {
        const float v = p.coord[q];
        SampleColumn& c = p.columns[q];
        cover_column(NEAR_BUILDINGS, NEAR_COUNT, v, c.near_top, c.near_building, c.near_window);
        cover_column(FAR_BUILDINGS, FAR_COUNT, v, c.far_top, c.far_building, c.far_window);
        c.antenna = std::fabs(v - 129.0f) < 1.1f;

        SampleRow& r = p.rows[q];
        const float t = std::pow(clampf(v / 204.0f, 0.0f, 1.0f), 1.7f);
        r.sky = {0.05f + 0.93f * t, 0.07f + 0.49f * t, 0.17f + SKY_BLUE_RISE * t};
        const float g = clampf((v - 204.0f) / 50.0f, 0.0f, 1.0f);
        r.ground = {0.07f - 0.04f * g, 0.08f - 0.04f * g, 0.14f + GROUND_BLUE_FALL * g};
        r.antenna = v >= 80.0f && v < 98.0f;
        r.core = v >= 52.0f && v <= 204.0f;
        for (int b = 0; b < NEAR_COUNT; ++b)
            r.near_window[b] = v >= NEAR_BUILDINGS[b].top && v < GROUND_Y
                                   ? window_row(NEAR_BUILDINGS[b].top, v)
                                   : WindowAxis{false, 0};
        for (int b = 0; b < FAR_COUNT; ++b)
            r.far_window[b] = v >= FAR_BUILDINGS[b].top && v < GROUND_Y
                                  ? window_row(FAR_BUILDINGS[b].top, v)
                                  : WindowAxis{false, 0};
    }
    const auto segments = road_segments();
    build_road_blocks(n, u, segments, p.blocks);
    broadcast_segments(segments, p.lanes);
    for (int s = 0; s < ROAD_POINTS; ++s) p.arc[s] = road_polyline()[s].s;
    for (int s = 0; s < ROAD_SEGMENTS; ++s) {
        const RoadSegment& g = segments[s];
        p.lines[s] = {g.ax, g.ay, g.dx, g.dy, g.len2};
    }
    for (std::vector<float>* plane : {&p.red, &p.green, &p.blue})
        plane->resize(static_cast<size_t>(k) * p.samples + 4);
    p.inside.resize(static_cast<size_t>(k) * p.samples);
    p.sky.assign(p.samples + 4, 0);
}

// Calls hit4(first sample column, d2[4], param[4], segment[4]) for every
// four neighbouring samples of sample row i of pixel row py that have road
// candidates (segment -1 in a lane: none within reach).
// With AVX2 and four samples a pixel, hit8(first sample column, hits) takes
// eight samples at once instead.
template <typename Hit4, typename Hit8>
void for_each_road_hit(const Painter& p, int py, int i, Hit4&& hit4, Hit8&& hit8) {
    const float y = p.coord[py * p.k + i];
    const int block_row = (py / FINE_BLOCK) * p.blocks.per_row;
    RoadHits hits;
    int px = 0;
    // With four samples a pixel, the two pixels of a block fill eight lanes.
    if (p.k == 4 && FINE_BLOCK % 2 == 0 && emblem_wide_simd()) {
        RoadHits8 hits8;
        for (; px + 1 < p.n; px += 2) {
            const int block = block_row + px / FINE_BLOCK;
            if (p.blocks.count[block] == 0) continue;
            const uint8_t* list = p.blocks.segments.data() + p.blocks.first[block];
            nearest_road_8(p.lines.data(), list, list + p.blocks.count[block], &p.coord[px * 4], y,
                           hits8);
            hit8(px * 4, hits8);
        }
    }
    for (; px < p.n; ++px) {
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
        hit4(px * p.k, hits.d2, hits.param, hits.segment);
    }
}

#if TORVANEL_EMBLEM_SSE2
// std::hypot of four float pairs. glibc's hypotf is the double square root
// of the double sum of squares, rounded to float, which SSE2 does exactly;
// elsewhere the library is called lane by lane.
__m128 hypot4(__m128 x, __m128 y) {
#ifdef __GLIBC__
    auto half = [](__m128d a, __m128d b) {
        return _mm_cvtpd_ps(_mm_sqrt_pd(_mm_add_pd(_mm_mul_pd(a, a), _mm_mul_pd(b, b))));
    };
    const __m128 lo = half(_mm_cvtps_pd(x), _mm_cvtps_pd(y));
    const __m128 hi = half(_mm_cvtps_pd(_mm_movehl_ps(x, x)), _mm_cvtps_pd(_mm_movehl_ps(y, y)));
    return _mm_movelh_ps(lo, hi);
#else
    alignas(16) float xs[4], ys[4];
    _mm_store_ps(xs, x);
    _mm_store_ps(ys, y);
    for (int j = 0; j < 4; ++j) xs[j] = std::hypot(xs[j], ys[j]);
    return _mm_load_ps(xs);
#endif
}

// sun_over for the four samples at xs[j], y = sy + 178, where sky[j] is -1;
// the other lanes keep their colour. Both mixes may run everywhere: out of
// the glow's or the disc's reach their weight is exactly zero.
void sun_over4(const Color& sky_color, const float* xs, float sy, const int32_t* sky, float* red,
               float* green, float* blue) {
    const __m128 open = _mm_castsi128_ps(_mm_loadu_si128(reinterpret_cast<const __m128i*>(sky)));
    if (_mm_movemask_ps(open) == 0) return;
    const __m128 sx = _mm_sub_ps(_mm_loadu_ps(xs), _mm_set1_ps(128.0f));
    const __m128 d = hypot4(sx, _mm_set1_ps(sy));
    const __m128 glow = smooth4(_mm_mul_ps(_mm_sub_ps(d, _mm_set1_ps(120.0f)), _mm_set1_ps(-0.015625f)));
    __m128 r = _mm_set1_ps(sky_color.r), g = _mm_set1_ps(sky_color.g), b = _mm_set1_ps(sky_color.b);
    mix4(r, g, b, SUN_GLOW, _mm_mul_ps(_mm_set1_ps(0.55f), _mm_mul_ps(glow, glow)));
    const __m128 q = _mm_min_ps(_mm_set1_ps(1.0f),
                                _mm_max_ps(_mm_setzero_ps(), _mm_div_ps(d, _mm_set1_ps(56.0f))));
    const __m128 tg = _mm_add_ps(_mm_set1_ps(0.93f), _mm_mul_ps(_mm_set1_ps(SUN_GREEN_FALL), q));
    const __m128 tb = _mm_sub_ps(_mm_set1_ps(0.66f), _mm_mul_ps(_mm_set1_ps(0.36f), q));
    const __m128 w = smooth4(_mm_mul_ps(_mm_sub_ps(d, _mm_set1_ps(57.0f)), _mm_set1_ps(-0.5f)));
    r = _mm_add_ps(r, _mm_mul_ps(_mm_sub_ps(_mm_set1_ps(1.0f), r), w));
    g = _mm_add_ps(g, _mm_mul_ps(_mm_sub_ps(tg, g), w));
    b = _mm_add_ps(b, _mm_mul_ps(_mm_sub_ps(tb, b), w));
    auto keep = [&](float* plane, __m128 v) {
        const __m128 old = _mm_loadu_ps(plane);
        _mm_storeu_ps(plane, _mm_or_ps(_mm_and_ps(open, v), _mm_andnot_ps(open, old)));
    };
    keep(red, r);
    keep(green, g);
    keep(blue, b);
}
#endif

// Shades sample row i of pixel row py into the colour planes and inside row i.
void shade_sample_row(Painter& p, int py, int i) {
    const int qy = py * p.k + i;
    const float y = p.coord[qy];
    const SampleRow& row = p.rows[qy];
    const size_t at = static_cast<size_t>(i) * p.samples;
    float *red = &p.red[at], *green = &p.green[at], *blue = &p.blue[at];
    uint8_t* inside = &p.inside[static_cast<size_t>(i) * p.samples];

    // The rounded square: only samples outside its central cross can miss.
    if (row.core) {
        std::fill(inside, inside + p.samples, uint8_t(1));
    } else {
        const float cy = clampf(y, 52.0f, 204.0f);
        for (int q = 0; q < p.samples; ++q) {
            const float x = p.coord[q];
            const float cx = clampf(x, 52.0f, 204.0f);
            inside[q] = (x - cx) * (x - cx) + (y - cy) * (y - cy) <= 2704.0f;
        }
    }
    if (y >= GROUND_Y) {
        std::fill(red, red + p.samples, row.ground.r);
        std::fill(green, green + p.samples, row.ground.g);
        std::fill(blue, blue + p.samples, row.ground.b);
    } else {
#if TORVANEL_EMBLEM_SSE2
        // Open sky first takes the row's sky colour; the sun goes over it four at a time.
        int32_t* sky = p.sky.data();
        for (int q = 0; q < p.samples; ++q) {
            Color c = row.sky;
            sky[q] = inside[q] && !shade_solid(p.columns[q], row, y, c) ? -1 : 0;
            red[q] = c.r;
            green[q] = c.g;
            blue[q] = c.b;
        }
        const float sy = y - 178.0f;
        if (sy * sy <= 14401.5f)
            for (int q = 0; q < p.samples; q += 4)
                sun_over4(row.sky, &p.coord[q], sy, &sky[q], red + q, green + q, blue + q);
#else
        for (int q = 0; q < p.samples; ++q)
            if (inside[q]) {
                const Color c = shade_scene(p.columns[q], row, p.coord[q], y);
                red[q] = c.r;
                green[q] = c.g;
                blue[q] = c.b;
            }
#endif
    }

    for_each_road_hit(p, py, i, [&](int q, const float* d2, const float* param,
                                    const int32_t* segment) {
        shade_road4(d2, param, segment, red + q, green + q, blue + q);
    }, [&](int q, const RoadHits8& hits) {
        shade_road_8(hits, p.arc.data(), red + q, green + q, blue + q);
    });
    // Zero outside the shape, so that sums may take every sample.
    if (!row.core)
        for (int q = 0; q < p.samples; ++q)
            if (!inside[q]) red[q] = green[q] = blue[q] = 0.0f;
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

// How many samples of pixel px lie inside the shape.
int inside_count(const Painter& p, int px) {
    int h = 0;
    for (int i = 0; i < p.k; ++i)
        for (int j = 0; j < p.k; ++j) h += p.inside[static_cast<size_t>(i) * p.samples + px * p.k + j];
    return h;
}

#if TORVANEL_EMBLEM_SSE2
// The sums of one colour plane for the four pixels from px on (four samples
// a pixel): lane t is pixel px + t, summed over rows then columns like the
// scalar loop. Outside samples hold zero, and adding zero to a non-negative
// sum changes nothing, so every sample is added.
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

// Averages the shaded sample rows into pixel row `out`; `core`: every sample
// lies inside the shape.
void average_pixel_row(const Painter& p, bool core, uint8_t* out) {
    int px = 0;
#if TORVANEL_EMBLEM_SSE2
    if (p.k == 4) {
        for (; px + 3 < p.n; px += 4) {
            alignas(16) int32_t h[4];
            for (int t = 0; t < 4; ++t) h[t] = core ? 16 : inside_count(p, px + t);
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
                if (!p.inside[base + j]) continue;
                sr += p.red[base + j];
                sg += p.green[base + j];
                sb += p.blue[base + j];
            }
        }
        store_pixel(p, px, sr, sg, sb, core ? p.k * p.k : inside_count(p, px), out);
    }
}

}  // namespace

void paint_emblem(int n, std::vector<uint8_t>& pixels) {
    pixels.assign(static_cast<size_t>(std::max(n, 0)) * std::max(n, 0) * 4, 0);
    if (n <= 0) return;
    Painter p;
    prepare(p, n);
    for (int py = 0; py < n; ++py) {
        bool core = true;
        for (int i = 0; i < p.k; ++i) {
            shade_sample_row(p, py, i);
            core = core && p.rows[py * p.k + i].core;
        }
        average_pixel_row(p, core, &pixels[static_cast<size_t>(py) * n * 4]);
    }
}

void emblem_road_hits(int n, std::vector<EmblemRoadHit>& hits) {
    hits.clear();
    if (n <= 0) return;
    Painter p;
    prepare(p, n);
    hits.assign(static_cast<size_t>(p.samples) * p.samples, EmblemRoadHit{-1, 1e30f, 0.0f});
    for (int py = 0; py < n; ++py) {
        for (int i = 0; i < p.k; ++i) {
            EmblemRoadHit* row = &hits[static_cast<size_t>(py * p.k + i) * p.samples];
            for_each_road_hit(p, py, i, [&](int q, const float* d2, const float* param,
                                            const int32_t* segment) {
                for (int j = 0; j < 4; ++j)
                    if (segment[j] >= 0) row[q + j] = {segment[j], d2[j], road_arc(segment[j], param[j])};
            }, [&](int q, const RoadHits8& h) {
                for (int j = 0; j < 8; ++j)
                    if (h.segment[j] >= 0) row[q + j] = {h.segment[j], h.d2[j], road_arc(h.segment[j], h.param[j])};
            });
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
