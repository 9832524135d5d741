// The emblem's scene under the road, in runs of sample columns (see the header).
#include "render/emblem_scene.h"

#include <algorithm>
#include <cmath>

#include "render/emblem.h"
#include "render/emblem_simd.h"

// [SECTION] Scene

namespace {

struct Building {
    float left, right, top;
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
constexpr float NO_TOP = 1e30f;

constexpr Color FAR_BODY = {0.11f, 0.13f, 0.25f};
constexpr Color FAR_LIT = {0.98f, 0.8f, 0.46f};
constexpr Color NEAR_BODY = {0.08f, 0.09f, 0.18f};
constexpr Color NEAR_LIT = {1.0f, 0.84f, 0.5f};
constexpr Color ROOF_EDGE = {0.04f, 0.05f, 0.11f};
constexpr Color ANTENNA = {0.8f, 0.84f, 0.92f};
constexpr Color SUN_GLOW = {1.0f, 0.72f, 0.36f};

// Single-precision differences of the palette's end colours; each sits one
// unit in the last place away from the nearest float of its decimal value,
// and the image depends on that.
constexpr float SKY_BLUE_RISE = 0x1.333332p-3f;     // 0.15 -> 0.14999999
constexpr float SUN_GREEN_FALL = -0x1.28f5c4p-2f;   // -0.29 -> -0.29000002
constexpr float GROUND_BLUE_FALL = -0x1.eb852p-5f;  // -0.06 -> -0.060000002

// Beyond 120 units from the sun's centre its glow and disc weigh exactly zero.
constexpr float SUN_REACH2 = 14401.5f;

// [SECTION] Windows

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

// [SECTION] Tables

namespace {

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

bool same_axis(const WindowAxis& a, const WindowAxis& b) { return a.open == b.open && a.cell == b.cell; }

bool same_column(const SampleColumn& a, const SampleColumn& b) {
    for (int s = 0; s < 2; ++s)
        if (a.near_top[s] != b.near_top[s] || a.far_top[s] != b.far_top[s] ||
            a.near_building[s] != b.near_building[s] || a.far_building[s] != b.far_building[s] ||
            !same_axis(a.near_window[s], b.near_window[s]) || !same_axis(a.far_window[s], b.far_window[s]))
            return false;
    return a.antenna == b.antenna;
}

SampleRow sample_row(float y) {
    SampleRow r;
    const float t = std::pow(clampf(y / 204.0f, 0.0f, 1.0f), 1.7f);
    r.sky = {0.05f + 0.93f * t, 0.07f + 0.49f * t, 0.17f + SKY_BLUE_RISE * t};
    const float g = clampf((y - 204.0f) / 50.0f, 0.0f, 1.0f);
    r.ground = {0.07f - 0.04f * g, 0.08f - 0.04f * g, 0.14f + GROUND_BLUE_FALL * g};
    r.antenna = y >= 80.0f && y < 98.0f;
    for (int b = 0; b < NEAR_COUNT; ++b)
        r.near_window[b] = y >= NEAR_BUILDINGS[b].top && y < GROUND_Y ? window_row(NEAR_BUILDINGS[b].top, y)
                                                                        : WindowAxis{false, 0};
    for (int b = 0; b < FAR_COUNT; ++b)
        r.far_window[b] = y >= FAR_BUILDINGS[b].top && y < GROUND_Y ? window_row(FAR_BUILDINGS[b].top, y)
                                                                      : WindowAxis{false, 0};
    return r;
}

}  // namespace

void prepare_scene(EmblemScene& scene, const float* coord, int samples) {
    scene.runs.clear();
    scene.run_start.clear();
    scene.rows.resize(samples);
    for (int q = 0; q < samples; ++q) {
        const float v = coord[q];
        SampleColumn c;
        cover_column(NEAR_BUILDINGS, NEAR_COUNT, v, c.near_top, c.near_building, c.near_window);
        cover_column(FAR_BUILDINGS, FAR_COUNT, v, c.far_top, c.far_building, c.far_window);
        c.antenna = std::fabs(v - 129.0f) < 1.1f;
        if (scene.runs.empty() || !same_column(scene.runs.back(), c)) {
            scene.runs.push_back(c);
            scene.run_start.push_back(q);
        }
        scene.rows[q] = sample_row(v);
    }
    scene.run_start.push_back(samples);
}

// [SECTION] Shading

namespace {

// The colour of a building or the antenna where one covers (y, column);
// false (and `out` untouched) for open sky. Each layer overwrites the ones
// before it completely, so only the topmost one present is looked at.
bool shade_solid(const SampleColumn& column, const SampleRow& row, float y, Color& out) {
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
        const bool lit = wc.open && wr.open && window_hash_lit(wr.cell, wc.cell, NEAR_FIRST_SEED + b);
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

// sun_over for the four samples at xs[j] and y = sy + 178. Both mixes may run
// everywhere: out of the glow's or the disc's reach their weight is exactly
// zero and a mix of weight zero adds only a signed zero to a non-negative colour.
void sun_over4(const Color& sky, const float* xs, float sy, float* red, float* green, float* blue) {
    const __m128 sx = _mm_sub_ps(_mm_loadu_ps(xs), _mm_set1_ps(128.0f));
    const __m128 d = hypot4(sx, _mm_set1_ps(sy));
    const __m128 glow = smooth4(_mm_mul_ps(_mm_sub_ps(d, _mm_set1_ps(120.0f)), _mm_set1_ps(-0.015625f)));
    __m128 r = _mm_set1_ps(sky.r), g = _mm_set1_ps(sky.g), b = _mm_set1_ps(sky.b);
    mix4(r, g, b, SUN_GLOW, _mm_mul_ps(_mm_set1_ps(0.55f), _mm_mul_ps(glow, glow)));
    if (_mm_movemask_ps(_mm_cmplt_ps(d, _mm_set1_ps(57.0f))) == 0) {  // the disc weighs zero from 57 on
        _mm_storeu_ps(red, r);
        _mm_storeu_ps(green, g);
        _mm_storeu_ps(blue, b);
        return;
    }
    const __m128 q = _mm_min_ps(_mm_set1_ps(1.0f), _mm_max_ps(_mm_setzero_ps(), _mm_div_ps(d, _mm_set1_ps(56.0f))));
    const __m128 tg = _mm_add_ps(_mm_set1_ps(0.93f), _mm_mul_ps(_mm_set1_ps(SUN_GREEN_FALL), q));
    const __m128 tb = _mm_sub_ps(_mm_set1_ps(0.66f), _mm_mul_ps(_mm_set1_ps(0.36f), q));
    const __m128 w = smooth4(_mm_mul_ps(_mm_sub_ps(d, _mm_set1_ps(57.0f)), _mm_set1_ps(-0.5f)));
    _mm_storeu_ps(red, _mm_add_ps(r, _mm_mul_ps(_mm_sub_ps(_mm_set1_ps(1.0f), r), w)));
    _mm_storeu_ps(green, _mm_add_ps(g, _mm_mul_ps(_mm_sub_ps(tg, g), w)));
    _mm_storeu_ps(blue, _mm_add_ps(b, _mm_mul_ps(_mm_sub_ps(tb, b), w)));
}
#else
// The sun's glow and disc over the sky colour `col` at (x, y).
Color sun_over(Color col, float x, float y) {
    const float sx = x - 128.0f, sy = y - 178.0f;
    if (sx * sx + sy * sy <= SUN_REACH2) {
        const float d = std::hypot(sx, sy);
        const float glow = smooth((d - 120.0f) * -0.015625f);
        col = mix(col, SUN_GLOW, 0.55f * (glow * glow));
        if (d < 57.0f) {  // the disc weighs zero from 57 on
            const float q = clampf(d / 56.0f, 0.0f, 1.0f);
            col = mix(col, {1.0f, 0.93f + SUN_GREEN_FALL * q, 0.66f - 0.36f * q}, smooth((d - 57.0f) * -0.5f));
        }
    }
    return col;
}
#endif

// The sun over open sky samples begin .. end - 1 of a row; writes up to seven
// samples past `end`, which the caller paints over afterwards.
void sun_run(const SampleRow& row, const float* coord, float y, int begin, int end, float* red,
             float* green, float* blue) {
#if TORVANEL_EMBLEM_SSE2
    const float sy = y - 178.0f;
    int q = begin;
#ifdef __GLIBC__
    if (emblem_wide_simd()) {
        const float sky[3] = {row.sky.r, row.sky.g, row.sky.b};
        for (; q < end; q += 8) sun_over_8(sky, coord + q, sy, red + q, green + q, blue + q);
    }
#endif
    for (; q < end; q += 4) sun_over4(row.sky, coord + q, sy, red + q, green + q, blue + q);
#else
    for (int q = begin; q < end; ++q) {
        const Color c = sun_over(row.sky, coord[q], y);
        red[q] = c.r;
        green[q] = c.g;
        blue[q] = c.b;
    }
#endif
}

// Colour c over samples begin .. end - 1; may write up to three samples past `end`.
void fill(int begin, int end, const Color& c, float* red, float* green, float* blue) {
#if TORVANEL_EMBLEM_SSE2
    const __m128 r = _mm_set1_ps(c.r), g = _mm_set1_ps(c.g), b = _mm_set1_ps(c.b);
    for (int q = begin; q < end; q += 4) {
        _mm_storeu_ps(red + q, r);
        _mm_storeu_ps(green + q, g);
        _mm_storeu_ps(blue + q, b);
    }
#else
    std::fill(red + begin, red + end, c.r);
    std::fill(green + begin, green + end, c.g);
    std::fill(blue + begin, blue + end, c.b);
#endif
}

}  // namespace

void paint_scene_row(const EmblemScene& scene, const float* coord, int samples, int qy, float* red,
                     float* green, float* blue) {
    const float y = coord[qy];
    const SampleRow& row = scene.rows[qy];
    if (y >= GROUND_Y) {
        fill(0, samples, row.ground, red, green, blue);
        return;
    }
    const float sy = y - 178.0f;
    const bool sunny = sy * sy <= SUN_REACH2;
    // Left to right, so that what the sun writes past a run's end is painted over by the next run.
    for (size_t r = 0; r < scene.runs.size(); ++r) {
        const int begin = scene.run_start[r], end = scene.run_start[r + 1];
        Color c = row.sky;
        if (shade_solid(scene.runs[r], row, y, c) || !sunny) {
            fill(begin, end, c, red, green, blue);
            continue;
        }
        // The squared distance grows away from x = 128, so the run's sample nearest to it decides.
        const float sx = clampf(128.0f, coord[begin], coord[end - 1]) - 128.0f;
        if (sx * sx + sy * sy <= SUN_REACH2)
            sun_run(row, coord, y, begin, end, red, green, blue);
        else
            fill(begin, end, c, red, green, blue);
    }
}
