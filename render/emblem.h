// The sidebar emblem: a rounded square with a city skyline at sunset, lit
// windows and a winding road with a dashed centre line, painted procedurally
// with supersampling into RGBA bytes and uploaded as one GL texture.
#pragma once
#include <cstdint>
#include <vector>

// Paints max(size, 16) pixels square and uploads it; returns the texture name.
// Either output may be null.
uint32_t make_emblem_texture(int size, int* width_out, int* height_out);
// Resizes `pixels` to n*n*4 zero bytes (RGBA, top row first) and paints the emblem.
void paint_emblem(int n, std::vector<uint8_t>& pixels);
// Whether (x, y) falls on a lit window of the building with this left edge and top.
bool window_lit(float left, float top, float x, float y, int seed);

// Lets the painter use AVX2 where the CPU has it (the default) or keeps it
// to SSE2; the bytes are the same either way (tests and benchmarks switch).
void emblem_allow_wide_simd(bool allowed);

// Where the painter finds the road for every sample of an n x n painting,
// for checking its search: samples row-major, n*k a side (k = 4 from n = 128
// up, else 3), sample j of pixel p at ((j + 0.5) / k + p) * 256 / n on either
// axis. Each hit is the first of the 120 polyline segments nearest to the
// sample, the squared distance and the arc length there; segment -1 or a
// squared distance above 784 where the road is out of reach (28 units).
struct EmblemRoadHit {
    int segment;
    float d2;
    float arc;
};
void emblem_road_hits(int n, std::vector<EmblemRoadHit>& hits);
