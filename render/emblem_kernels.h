// The emblem painter's inner loops (its kernels) and the table the painter
// calls them through. Each instruction-set level has its kernels in a file
// of its own, built for that level: emblem_kernels_portable.cpp (any CPU),
// emblem_kernels_sse2.cpp and emblem_kernels_avx2.cpp (x86-64 builds only).
// The table is filled once, from what the CPU runs (emblem_choice_*.cpp), so
// the painting code never asks. Every level computes, per sample, the same
// single-precision expressions in the same order (nothing is fused: these
// files are built without contraction), so all give the same bytes.
// Internal to the emblem painter.
//
// The helpers below are static: each kernel file keeps its own copy, so a
// copy built for AVX2 can never stand in for another file's at link time.
// For the same reason the AVX2 file calls nothing inline from elsewhere.
#pragma once
#include <cstdint>

#include "render/emblem.h"
#include "render/emblem_constants.h"

// [SECTION] Shared records

// One road segment as the search needs it: start, direction, squared length.
struct RoadLine {
    float ax, ay, dx, dy, len2;
};

constexpr int GROUP_LANES = 8;
// The road search's answer for eight neighbouring samples of one sample row.
struct RoadHitGroup {
    float d2[GROUP_LANES];  // no over-alignment: Win64 stacks are only 16-byte aligned
    float param[GROUP_LANES];
    int32_t segment[GROUP_LANES];  // -1: no hit (d2 is then NO_HIT_D2)
};
constexpr float NO_HIT_D2 = 1e30f;

// [SECTION] The table

struct EmblemKernels {
    EmblemLevel level;
    // The nearest of the candidate segments list .. end - 1 (increasing, ties
    // to the first) for `rows` sample rows at ys[0 .. rows - 1], each with
    // `count` (up to 16) samples at xs[0 .. count - 1]; xs may be read up to
    // the next multiple of 8. Row r goes to out[r * groups .. ], groups =
    // group_count(count); lanes from `count` on hold no hit.
    void (*nearest_road)(const RoadLine* lines, const uint8_t* list, const uint8_t* end, const float* xs, int count,
                         const float* ys, int rows, RoadHitGroup* out);
    // Glow, asphalt and the dashed centre line over `count` groups, group t
    // at samples at[t] .. at[t] + 7 of the colour planes; arc[s] is the arc
    // length where segment s starts. Lanes without a hit keep their colour.
    void (*shade_road)(const RoadHitGroup* groups, const int* at, int count, const float* arc, float* red, float* green,
                       float* blue);
    // The sun's glow and disc over the sky colour for the `count` samples at
    // xs[0 ..] on the sample row sy units below the sun's centre, into
    // red, green and blue[0 ..]; up to 7 samples past `count` may be written.
    void (*sun_run)(const Color& sky, const float* xs, int count, float sy, float* red, float* green, float* blue);
    // Pixels first .. end - 1 of a pixel row of k by k samples a pixel into
    // RGBA bytes at out[4 * pixel]: red, green and blue hold its k sample
    // rows, `stride` floats apart, zero outside the shape, whose inside on
    // sample row i is inside_begin[i] .. inside_end[i] - 1. A pixel with no
    // sample inside gets four zero bytes.
    void (*average_pixels)(const float* red, const float* green, const float* blue, int stride, int k,
                           const int* inside_begin, const int* inside_end, int first, int end, uint8_t* out);
};

// Each level's table, from that level's file.
EmblemKernels portable_kernels();
EmblemKernels sse2_kernels();
EmblemKernels avx2_kernels();

// The table the painter uses: the highest level the CPU runs (asked once, on
// first use) up to the cap set by emblem_cap_level.
const EmblemKernels& emblem_kernels();

// The portable averaging, which the wider levels leave the odd pixels to.
void average_pixels_portable(const float* red, const float* green, const float* blue, int stride, int k,
                             const int* inside_begin, const int* inside_end, int first, int end, uint8_t* out);

// [SECTION] Shared helpers

// The groups of eight that `count` samples fill.
static inline int group_count(int count) { return (count + GROUP_LANES - 1) / GROUP_LANES; }

// Clears lanes `count` .. of each row's last group (see nearest_road).
static inline void clear_lanes_past(int count, int rows, RoadHitGroup* out) {
    if (count % GROUP_LANES == 0) return;
    const int groups = group_count(count);
    for (int r = 0; r < rows; ++r) {
        RoadHitGroup& last = out[r * groups + groups - 1];
        for (int j = count - (groups - 1) * GROUP_LANES; j < GROUP_LANES; ++j) {
            last.d2[j] = NO_HIT_D2;
            last.param[j] = 0.0f;
            last.segment[j] = -1;
        }
    }
}

// v < lo ? lo : (v > hi ? hi : v), written so that it compiles to max and min.
static inline float clampf(float v, float lo, float hi) {
    const float r = v < lo ? lo : v;
    return r > hi ? hi : r;
}

static inline float smooth(float e) {
    e = clampf(e, 0.0f, 1.0f);
    return e * e * (3.0f - 2.0f * e);
}

static inline Color mix(const Color& c, const Color& t, float w) {
    return {c.r + (t.r - c.r) * w, c.g + (t.g - c.g) * w, c.b + (t.b - c.b) * w};
}

// Whether the centre line is drawn at arc length `along` >= 0: fmod(along,
// DASH_PERIOD) < DASH_LENGTH without the library call. In double, along - 24 k
// is exact, and along / 24 cannot round up to the next whole number (a float
// below 24 m lies at least one float step below it, far more than a double's
// rounding).
static inline bool dash_on(float along) {
    const double a = along;
    return a - DASH_PERIOD * static_cast<double>(static_cast<long long>(a / DASH_PERIOD)) < DASH_LENGTH;
}

// The arc length at parameter `param` of segment s.
static inline float arc_at(const float* arc, int s, float param) { return arc[s] + (arc[s + 1] - arc[s]) * param; }
