// The emblem painter's eight-lane AVX2 kernels (road search and shading, the
// sun, pixel averaging), chosen at run time: the program is built for any
// x86-64, and only this file's functions are compiled for AVX2. Internal to
// the emblem painter.
#pragma once
#include <cstdint>

// One road segment as the search needs it.
struct RoadLine {
    float ax, ay, dx, dy, len2;
};

struct RoadHits8 {
    float d2[8];  // no over-alignment: Win64 stacks are only 16-byte aligned
    float param[8];
    int32_t segment[8];  // -1: no candidate
};

// Glow, asphalt and the dashed centre line over the colours of `count` groups
// of eight neighbouring samples, group t starting at sample at[t] of the colour
// planes red, green and blue, from their nearest segments: the same float
// operations per lane as the one-sample shading. arc[s] is the arc length at
// the start of segment s (121 entries).
void shade_road_8(const RoadHits8* groups, const int* at, int count, const float* arc, float* red,
                  float* green, float* blue);

// The sun's glow and disc over the sky colour sky[0..2] of the eight samples
// at xs8[j] and y = sy + 178, into red, green and blue[0..7]: the same float
// operations per lane as the four-sample sun, with the distance as glibc's
// hypotf gives it (the double square root of the double sum of squares).
void sun_over_8(const float* sky, const float* xs8, float sy, float* red, float* green, float* blue);

// Pixels 0 .. count - 1 (count a multiple of 8) of a pixel row with four by
// four samples a pixel: red, green and blue hold its four sample rows, `stride`
// floats apart, zero outside the shape; sample row i has the inside samples
// inside_begin[i] .. inside_end[i] - 1. Writes RGBA bytes as the one-pixel
// averaging does: sums over rows then columns, bytes of (sum / h) * 255 + 0.5,
// alpha h * 255 / 16, and all four zero where no sample is inside.
void average_pixels_8(const float* red, const float* green, const float* blue, int stride,
                      const int* inside_begin, const int* inside_end, int count, uint8_t* out);

// Whether the CPU runs AVX2 and the painter may use it (see emblem_allow_wide_simd).
bool emblem_wide_simd();
// The nearest of the candidates list..end for the samples of a block: on each
// of four sample rows at ys[0 .. 3], `halves` (1 or 2) groups of eight samples
// side by side at xs[0 .. 8 * halves - 1]; group h of row r goes to
// out[r * halves + h]. Exactly the float operations of the four-lane search,
// ties to the first.
void nearest_road_rows(const RoadLine* lines, const uint8_t* list, const uint8_t* end, const float* xs,
                       const float* ys, int halves, RoadHits8* out);
