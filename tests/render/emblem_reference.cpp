// Straight transcription of the emblem algorithm, kept deliberately naive and
// independent of render/emblem.cpp (own road, own window hash) so the two can
// be compared byte for byte.
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
const Building NEAR_ROW[9] = {{8, 40, 186},    {38, 66, 142},   {64, 96, 198},
                              {94, 116, 172},  {112, 146, 98},  {142, 166, 140},
                              {164, 192, 188}, {190, 218, 150}, {214, 248, 176}};
const float BEZIER[3][4][2] = {{{176, 80}, {176, 38}, {80, 38}, {80, 90}},
                               {{80, 90}, {80, 132}, {176, 124}, {176, 166}},
                               {{176, 166}, {176, 214}, {80, 214}, {80, 180}}};

float clampf(float v, float lo, float hi) { return v < lo ? lo : (v > hi ? hi : v); }
float smooth(float e) {
    e = clampf(e, 0.0f, 1.0f);
    return e * e * (3.0f - 2.0f * e);
}
Color mix(Color c, Color t, float w) {
    return {c.r + (t.r - c.r) * w, c.g + (t.g - c.g) * w, c.b + (t.b - c.b) * w};
}

bool lit(float left, float top, float x, float y, int seed) {
    float fx = std::fmod(x - left, 6.0f);
    if (!(fx > 2.0f)) return false;
    float fy = std::fmod(y - top, 7.0f);
    if (!(fy > 2.2f)) return false;
    uint32_t column = static_cast<uint32_t>(static_cast<int>((x - left) / 6.0f));
    uint32_t row = static_cast<uint32_t>(static_cast<int>((y - top) / 7.0f));
    uint32_t h = row * 668265263u + static_cast<uint32_t>(seed) * 2246822519u + column * 374761393u;
    h ^= h >> 13;
    h *= 1274126177u;
    h ^= h >> 16;
    return h % 3 == 0;
}

void build_road(RoadPoint* points) {
    int count = 0;
    for (int seg = 0; seg < 3; ++seg) {
        for (int i = seg == 0 ? 0 : 1; i <= 40; ++i) {
            float t = i / 40.0f;
            float mt = 1.0f - t;
            float b0 = mt * mt * mt, b1 = 3.0f * mt * mt * t, b2 = 3.0f * mt * t * t,
                  b3 = t * t * t;
            const float(*p)[2] = BEZIER[seg];
            RoadPoint q;
            q.x = b0 * p[0][0] + b1 * p[1][0] + b2 * p[2][0] + b3 * p[3][0];
            q.y = b0 * p[0][1] + b1 * p[1][1] + b2 * p[2][1] + b3 * p[3][1];
            q.s = count == 0 ? 0.0f
                             : points[count - 1].s +
                                   std::hypot(q.x - points[count - 1].x, q.y - points[count - 1].y);
            points[count++] = q;
        }
    }
}

// Every segment in order, keeping the first strictly nearest one.
ReferenceRoadHit nearest_on_road(float x, float y, const RoadPoint* road) {
    ReferenceRoadHit hit = {-1, 1e30f, 0.0f};
    for (int i = 1; i < 121; ++i) {
        const RoadPoint& a = road[i - 1];
        const RoadPoint& b = road[i];
        float dx = b.x - a.x, dy = b.y - a.y;
        float len2 = dx * dx + dy * dy;
        float p =
            len2 <= 0.0f ? 0.0f : clampf(((x - a.x) * dx + (y - a.y) * dy) / len2, 0.0f, 1.0f);
        float ex = x - (a.x + dx * p), ey = y - (a.y + dy * p);
        float d2 = ex * ex + ey * ey;
        if (d2 < hit.d2) hit = {i - 1, d2, a.s + (b.s - a.s) * p};
    }
    return hit;
}

Color shade(float x, float y, const RoadPoint* road) {
    float t = std::pow(clampf(y / 204.0f, 0.0f, 1.0f), 1.7f);
    // The hex factors are 0.15, -0.29 and -0.06 as float differences give
    // them, one ulp away from the nearest floats.
    Color col = {0.05f + 0.93f * t, 0.07f + 0.49f * t, 0.17f + 0x1.333332p-3f * t};

    float d = std::hypot(x - 128.0f, y - 178.0f);
    float glow = smooth((d - 120.0f) * -0.015625f);
    col = mix(col, {1.0f, 0.72f, 0.36f}, 0.55f * (glow * glow));
    float q = clampf(d / 56.0f, 0.0f, 1.0f);
    col = mix(col, {1.0f, 0.93f + -0x1.28f5c4p-2f * q, 0.66f - 0.36f * q},
              smooth((d - 57.0f) * -0.5f));

    for (const Building& b : FAR_ROW) {
        if (x >= b.left && x < b.right && y >= b.top && y < 204.0f) {
            col = {0.11f, 0.13f, 0.25f};
            if (lit(b.left, b.top, x, y, 91)) col = {0.98f, 0.8f, 0.46f};
        }
    }
    for (int r = 0; r < 9; ++r) {
        const Building& b = NEAR_ROW[r];
        if (x >= b.left && x < b.right && y >= b.top && y < 204.0f) {
            col = {0.08f, 0.09f, 0.18f};
            if (lit(b.left, b.top, x, y, 7 + r)) col = {1.0f, 0.84f, 0.5f};
            if (y - b.top < 1.6f) col = {0.04f, 0.05f, 0.11f};
        }
    }

    if (std::fabs(x - 129.0f) < 1.1f && y >= 80.0f && y < 98.0f) {
        col = {0.8f, 0.84f, 0.92f};
    } else if (y >= 204.0f) {
        float g = clampf((y - 204.0f) / 50.0f, 0.0f, 1.0f);
        col = {0.07f - 0.04f * g, 0.08f - 0.04f * g, 0.14f + -0x1.eb852p-5f * g};
    }

    const ReferenceRoadHit nearest = nearest_on_road(x, y, road);
    const float best = nearest.d2, arc = nearest.arc;
    float dist = std::sqrt(best);
    float phase = std::fmod(arc, 24.0f);
    col = mix(col, {1.0f, 0.78f, 0.38f}, 0.5f * smooth((dist - 28.0f) / -15.0f));
    float cover = smooth((dist - 12.9f) / -1.7999992f);
    col = mix(col, {0.12f, 0.13f, 0.21f}, cover);
    float line = phase < 12.0f ? smooth((dist - 2.0f) / -1.1f) : 0.0f;
    return mix(col, {1.0f, 0.94f, 0.74f}, cover * line);
}

uint8_t to_byte(float v) {
    if (v <= 0.0f) return 0;
    if (v >= 255.0f) return 255;
    return static_cast<uint8_t>(v);
}

}  // namespace

ReferenceRoadHit reference_road_nearest(float x, float y) {
    static const struct Road {
        RoadPoint points[121];
        Road() { build_road(points); }
    } road;
    return nearest_on_road(x, y, road.points);
}

void paint_emblem_reference(int n, std::vector<uint8_t>& pixels) {
    pixels.assign(static_cast<size_t>(n) * n * 4, 0);
    RoadPoint road[121];
    build_road(road);
    const int k = n >= 128 ? 4 : 3;
    const int m = k * k;
    const float u = 256.0f / n;
    for (int py = 0; py < n; ++py) {
        for (int px = 0; px < n; ++px) {
            float r = 0, g = 0, b = 0;
            int h = 0;
            for (int i = 0; i < k; ++i) {
                for (int j = 0; j < k; ++j) {
                    float x = ((j + 0.5f) / k + px) * u;
                    float y = ((i + 0.5f) / k + py) * u;
                    float cx = clampf(x, 52.0f, 204.0f), cy = clampf(y, 52.0f, 204.0f);
                    if ((x - cx) * (x - cx) + (y - cy) * (y - cy) > 2704.0f) continue;
                    Color c = shade(x, y, road);
                    r += c.r;
                    g += c.g;
                    b += c.b;
                    ++h;
                }
            }
            if (h == 0) continue;
            uint8_t* out = &pixels[(static_cast<size_t>(py) * n + px) * 4];
            out[0] = to_byte(r / h * 255.0f + 0.5f);
            out[1] = to_byte(g / h * 255.0f + 0.5f);
            out[2] = to_byte(b / h * 255.0f + 0.5f);
            out[3] = static_cast<uint8_t>(h * 255 / m);
        }
    }
}
