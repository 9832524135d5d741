// The emblem's scene under the road, in runs of sample columns (see the header).
#include "render/emblem_scene.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "render/emblem.h"

// [SECTION] Scene

namespace {

struct Building {
    float left, right, top;
};

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
        r.near_window[b] =
            y >= NEAR_BUILDINGS[b].top && y < GROUND_Y ? window_row(NEAR_BUILDINGS[b].top, y) : WindowAxis{false, 0};
    for (int b = 0; b < FAR_COUNT; ++b)
        r.far_window[b] =
            y >= FAR_BUILDINGS[b].top && y < GROUND_Y ? window_row(FAR_BUILDINGS[b].top, y) : WindowAxis{false, 0};
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

// Colour c over samples begin .. end - 1, four at a time (each copy of four
// floats is one vector store); may write up to three samples past `end`.
void fill(int begin, int end, const Color& c, float* red, float* green, float* blue) {
    const float r[4] = {c.r, c.r, c.r, c.r}, g[4] = {c.g, c.g, c.g, c.g}, b[4] = {c.b, c.b, c.b, c.b};
    for (int q = begin; q < end; q += 4) {
        std::memcpy(red + q, r, sizeof r);
        std::memcpy(green + q, g, sizeof g);
        std::memcpy(blue + q, b, sizeof b);
    }
}

}  // namespace

void paint_scene_row(const EmblemScene& scene, const EmblemKernels& kernels, const float* coord, int samples, int qy,
                     float* red, float* green, float* blue) {
    const float y = coord[qy];
    const SampleRow& row = scene.rows[qy];
    if (y >= GROUND_Y) {
        fill(0, samples, row.ground, red, green, blue);
        return;
    }
    const float sy = y - SUN_Y;
    const bool sunny = sy * sy <= SUN_REACH2;
    // Left to right, so that what the sun writes past a run's end is painted over by the next run.
    for (size_t r = 0; r < scene.runs.size(); ++r) {
        const int begin = scene.run_start[r], end = scene.run_start[r + 1];
        Color c = row.sky;
        if (shade_solid(scene.runs[r], row, y, c) || !sunny) {
            fill(begin, end, c, red, green, blue);
            continue;
        }
        // The squared distance grows away from the sun's x, so the run's sample nearest to it decides.
        const float sx = clampf(SUN_X, coord[begin], coord[end - 1]) - SUN_X;
        if (sx * sx + sy * sy <= SUN_REACH2)
            kernels.sun_run(row.sky, coord + begin, end - begin, sy, red + begin, green + begin, blue + begin);
        else fill(begin, end, c, red, green, blue);
    }
}
