// Straight transcription of the emblem algorithm with its own road and window hash.
// Build with -ffp-contract=off like the real painter.
#include "tests/render/emblem_reference.h"

#include <cmath>

namespace {

struct Building {
    float left, right, top;
};
struct Color {
    float r, g, b;
};
struct RoadPoint {
    float x, y, s;
};

const Building FAR_ROW[8] = {{0, 30, 170},    {28, 58, 152},   {56, 84, 180},   {82, 106, 160},
                             {150, 178, 166}, {176, 202, 146}, {200, 230, 178}, {226, 256, 160}};
const Building NEAR_ROW[9] = {{8, 40, 186},    {38, 66, 142},   {64, 96, 198},   {94, 116, 172}, {112, 146, 98},
                              {142, 166, 140}, {164, 192, 188}, {190, 218, 150}, {214, 248, 176}};
const float BEZIER[3][4][2] = {{{176, 80}, {176, 38}, {80, 38}, {80, 90}},
                               {{80, 90}, {80, 132}, {176, 124}, {176, 166}},
                               {{176, 166}, {176, 214}, {80, 214}, {80, 180}}};

float clampf(float v, float lo, float hi) { return v < lo ? lo : (v > hi ? hi : v); }
float smooth(float e) {
    const float c = clampf(e, 0.0f, 1.0f);
    return c * c * (3.0f - 2.0f * c);
}
Color mix(Color c, Color t, float w) { return {c.r + (t.r - c.r) * w, c.g + (t.g - c.g) * w, c.b + (t.b - c.b) * w}; }
uint8_t to_byte(float v) { return v <= 0.0f ? 0 : (v >= 255.0f ? 255 : static_cast<uint8_t>(v)); }

bool lit(float left, float top, float x, float y, int seed) {
    if (!(std::fmod(x - left, 6.0f) > 2.0f) || !(std::fmod(y - top, 7.0f) > 2.2f)) return false;
    uint32_t column = static_cast<uint32_t>(static_cast<int>((x - left) / 6.0f));
    uint32_t row = static_cast<uint32_t>(static_cast<int>((y - top) / 7.0f));
    uint32_t h = row * 668265263u + static_cast<uint32_t>(seed) * 2246822519u + column * 374761393u;
    h ^= h >> 13;
    h *= 1274126177u;
    h ^= h >> 16;
    return h % 3 == 0;
}

// 121 points, 40 steps along each of the three curves, with the arc length so far.
struct Road {
    RoadPoint p[121];
    Road() {
        int n = 0;
        for (int seg = 0; seg < 3; ++seg) {
            for (int i = seg == 0 ? 0 : 1; i <= 40; ++i) {
                float t = i / 40.0f, mt = 1.0f - t;
                float w[4] = {mt * mt * mt, 3.0f * mt * mt * t, 3.0f * mt * t * t, t * t * t};
                const float(*c)[2] = BEZIER[seg];
                float x = w[0] * c[0][0] + w[1] * c[1][0] + w[2] * c[2][0] + w[3] * c[3][0];
                float y = w[0] * c[0][1] + w[1] * c[1][1] + w[2] * c[2][1] + w[3] * c[3][1];
                float s = n == 0 ? 0.0f : p[n - 1].s + std::hypot(x - p[n - 1].x, y - p[n - 1].y);
                p[n++] = {x, y, s};
            }
        }
    }
};

Color shade(float x, float y) {
    float t = std::pow(clampf(y / 204.0f, 0.0f, 1.0f), 1.7f);
    // 0.15, -0.29 and -0.06 as float differences give them, one ulp off the nearest floats.
    Color col = {0.05f + 0.93f * t, 0.07f + 0.49f * t, 0.17f + 0x1.333332p-3f * t};
    float d = std::hypot(x - 128.0f, y - 178.0f);
    float glow = smooth((d - 120.0f) * -0.015625f);
    col = mix(col, {1.0f, 0.72f, 0.36f}, 0.55f * (glow * glow));
    float q = clampf(d / 56.0f, 0.0f, 1.0f);
    col = mix(col, {1.0f, 0.93f + -0x1.28f5c4p-2f * q, 0.66f - 0.36f * q}, smooth((d - 57.0f) * -0.5f));

    for (const Building& b : FAR_ROW)
        if (x >= b.left && x < b.right && y >= b.top && y < 204.0f)
            col = lit(b.left, b.top, x, y, 91) ? Color{0.98f, 0.8f, 0.46f} : Color{0.11f, 0.13f, 0.25f};
    for (int r = 0; r < 9; ++r) {
        const Building& b = NEAR_ROW[r];
        if (!(x >= b.left && x < b.right && y >= b.top && y < 204.0f)) continue;
        col = lit(b.left, b.top, x, y, 7 + r) ? Color{1.0f, 0.84f, 0.5f} : Color{0.08f, 0.09f, 0.18f};
        if (y - b.top < 1.6f) col = {0.04f, 0.05f, 0.11f};
    }
    if (std::fabs(x - 129.0f) < 1.1f && y >= 80.0f && y < 98.0f) {
        col = {0.8f, 0.84f, 0.92f};
    } else if (y >= 204.0f) {
        float g = clampf((y - 204.0f) / 50.0f, 0.0f, 1.0f);
        col = {0.07f - 0.04f * g, 0.08f - 0.04f * g, 0.14f + -0x1.eb852p-5f * g};
    }

    const ReferenceRoadHit road = reference_road_nearest(x, y);
    float dist = std::sqrt(road.d2);
    col = mix(col, {1.0f, 0.78f, 0.38f}, 0.5f * smooth((dist - 28.0f) / -15.0f));
    float cover = smooth((dist - 12.9f) / -1.7999992f);
    col = mix(col, {0.12f, 0.13f, 0.21f}, cover);
    float line = std::fmod(road.arc, 24.0f) < 12.0f ? smooth((dist - 2.0f) / -1.1f) : 0.0f;
    return mix(col, {1.0f, 0.94f, 0.74f}, cover * line);
}

}  // namespace

ReferenceRoadHit reference_road_nearest(float x, float y) {
    static const Road road;
    ReferenceRoadHit hit = {-1, 1e30f, 0.0f};
    for (int i = 0; i < 120; ++i) {
        const RoadPoint &a = road.p[i], &b = road.p[i + 1];
        float dx = b.x - a.x, dy = b.y - a.y;
        float len2 = dx * dx + dy * dy;
        float p = len2 <= 0.0f ? 0.0f : clampf(((x - a.x) * dx + (y - a.y) * dy) / len2, 0.0f, 1.0f);
        float ex = x - (a.x + dx * p), ey = y - (a.y + dy * p);
        float d2 = ex * ex + ey * ey;
        if (d2 < hit.d2) hit = {i, d2, a.s + (b.s - a.s) * p};
    }
    return hit;
}

void paint_emblem_reference(int n, std::vector<uint8_t>& pixels) {
    pixels.assign(static_cast<size_t>(n) * n * 4, 0);
    const int k = n >= 128 ? 4 : 3;
    const float u = 256.0f / n;
    for (int py = 0; py < n; ++py) {
        for (int px = 0; px < n; ++px) {
            Color sum = {0, 0, 0};
            int h = 0;
            for (int i = 0; i < k; ++i) {
                for (int j = 0; j < k; ++j) {
                    float x = ((j + 0.5f) / k + px) * u, y = ((i + 0.5f) / k + py) * u;
                    float cx = clampf(x, 52.0f, 204.0f), cy = clampf(y, 52.0f, 204.0f);
                    if ((x - cx) * (x - cx) + (y - cy) * (y - cy) > 2704.0f) continue;
                    Color c = shade(x, y);
                    sum = {sum.r + c.r, sum.g + c.g, sum.b + c.b};
                    ++h;
                }
            }
            if (h == 0) continue;
            uint8_t* out = &pixels[(static_cast<size_t>(py) * n + px) * 4];
            out[0] = to_byte(sum.r / h * 255.0f + 0.5f);
            out[1] = to_byte(sum.g / h * 255.0f + 0.5f);
            out[2] = to_byte(sum.b / h * 255.0f + 0.5f);
            out[3] = static_cast<uint8_t>(h * 255 / (k * k));
        }
    }
}
