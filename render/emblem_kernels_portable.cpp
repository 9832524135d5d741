// The emblem painter's kernels in plain C++, one sample at a time: what every
// CPU runs, and the reference the wider levels keep to lane for lane.
#include <algorithm>
#include <cmath>
#include <cstddef>

#include "render/emblem_kernels.h"

namespace {

// [SECTION] Road

void nearest_road(const RoadLine* lines, const uint8_t* list, const uint8_t* end, const float* xs, int count,
                  const float* ys, int rows, RoadHitGroup* out) {
    const int groups = group_count(count);
    for (int r = 0; r < rows; ++r) {
        const float y = ys[r];
        for (int j = 0; j < groups * GROUP_LANES; ++j) {
            RoadHitGroup& hits = out[r * groups + j / GROUP_LANES];
            const int lane = j % GROUP_LANES;
            hits.d2[lane] = NO_HIT_D2;
            hits.param[lane] = 0.0f;
            hits.segment[lane] = -1;
            if (j >= count) continue;
            const float x = xs[j];
            for (const uint8_t* s = list; s != end; ++s) {
                const RoadLine& g = lines[*s];
                const float p =
                    g.len2 <= 0.0f ? 0.0f : clampf(((x - g.ax) * g.dx + (y - g.ay) * g.dy) / g.len2, 0.0f, 1.0f);
                const float ex = x - (g.ax + g.dx * p), ey = y - (g.ay + g.dy * p);
                const float d2 = ex * ex + ey * ey;
                if (d2 < hits.d2[lane]) {
                    hits.d2[lane] = d2;
                    hits.param[lane] = p;
                    hits.segment[lane] = *s;
                }
            }
        }
    }
}

// Glow, asphalt and the dashed centre line over one sample within reach of
// its nearest segment. A mix with weight zero leaves the colour as it is.
Color shade_sample(Color col, float d2, int segment, float param, const float* arc) {
    const float dist = std::sqrt(d2);
    const float glow = ROAD_GLOW_STRENGTH * smooth((dist - ROAD_REACH) / ROAD_GLOW_SPREAD);
    col = mix(col, ROAD_GLOW, glow);
    const float cover = smooth((dist - ASPHALT_EDGE) / ASPHALT_SPREAD);
    if (cover == 0.0f) return col;
    col = mix(col, ASPHALT, cover);
    float line = smooth((dist - LINE_EDGE) / LINE_SPREAD);
    if (line != 0.0f && !dash_on(arc_at(arc, segment, param))) line = 0.0f;
    return mix(col, CENTRE_LINE, cover * line);
}

void shade_road(const RoadHitGroup* groups, const int* at, int count, const float* arc, float* red, float* green,
                float* blue) {
    for (int t = 0; t < count; ++t) {
        const RoadHitGroup& hits = groups[t];
        for (int j = 0; j < GROUP_LANES; ++j) {
            // Beyond reach every weight is zero.
            if (hits.segment[j] < 0 || !(hits.d2[j] <= ROAD_REACH2)) continue;
            const int q = at[t] + j;
            const Color c = shade_sample({red[q], green[q], blue[q]}, hits.d2[j], hits.segment[j], hits.param[j], arc);
            red[q] = c.r;
            green[q] = c.g;
            blue[q] = c.b;
        }
    }
}

// [SECTION] Sun

// The sun's glow and disc over the sky colour `col` at (x, SUN_Y + sy).
Color sun_over(Color col, float x, float sy) {
    const float sx = x - SUN_X;
    if (sx * sx + sy * sy <= SUN_REACH2) {
        const float d = std::hypot(sx, sy);
        const float glow = smooth((d - SUN_GLOW_REACH) * SUN_GLOW_SLOPE);
        col = mix(col, SUN_GLOW, SUN_GLOW_STRENGTH * (glow * glow));
        if (d < SUN_DISC_EDGE) {
            const float q = clampf(d / SUN_DISC_RADIUS, 0.0f, 1.0f);
            const Color disc = {SUN_DISC_RED, SUN_DISC_GREEN + SUN_GREEN_FALL * q, SUN_DISC_BLUE - SUN_BLUE_FALL * q};
            col = mix(col, disc, smooth((d - SUN_DISC_EDGE) * SUN_DISC_SLOPE));
        }
    }
    return col;
}

void sun_run(const Color& sky, const float* xs, int count, float sy, float* red, float* green, float* blue) {
    for (int q = 0; q < count; ++q) {
        const Color c = sun_over(sky, xs[q], sy);
        red[q] = c.r;
        green[q] = c.g;
        blue[q] = c.b;
    }
}

// [SECTION] Averaging

uint8_t to_byte(float v) {
    if (v <= 0.0f) return 0;
    if (v >= 255.0f) return 255;
    return static_cast<uint8_t>(v);
}

}  // namespace

// Sums over sample rows, then columns; bytes of (sum / h) * 255 + 0.5.
void average_pixels_portable(const float* red, const float* green, const float* blue, int stride, int k,
                             const int* inside_begin, const int* inside_end, int first, int end, uint8_t* out) {
    for (int px = first; px < end; ++px) {
        int h = 0;
        for (int i = 0; i < k; ++i) {
            const int overlap = std::min(inside_end[i], (px + 1) * k) - std::max(inside_begin[i], px * k);
            h += std::max(0, overlap);
        }
        uint8_t* o = out + static_cast<size_t>(px) * 4;
        if (h == 0) {
            o[0] = o[1] = o[2] = o[3] = 0;
            continue;
        }
        float sr = 0, sg = 0, sb = 0;
        for (int i = 0; i < k; ++i) {
            const size_t base = static_cast<size_t>(i) * stride + static_cast<size_t>(px) * k;
            for (int j = 0; j < k; ++j) {
                sr += red[base + j];
                sg += green[base + j];
                sb += blue[base + j];
            }
        }
        o[0] = to_byte(sr / h * 255.0f + 0.5f);
        o[1] = to_byte(sg / h * 255.0f + 0.5f);
        o[2] = to_byte(sb / h * 255.0f + 0.5f);
        o[3] = static_cast<uint8_t>(h * 255 / (k * k));
    }
}

EmblemKernels portable_kernels() {
    return {EmblemLevel::PORTABLE, nearest_road, shade_road, sun_run, average_pixels_portable};
}
