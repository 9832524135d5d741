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

// The instruction-set levels the painter's inner loops come in, lowest first.
// The painter uses the highest one the build and the CPU offer; the bytes are
// the same at every level.
enum class EmblemLevel { PORTABLE, SSE2, AVX2 };
// Keeps the painter at or below `highest` (tests and benchmarks compare the
// levels; AVX2 gives the default back) and returns the level it now uses.
EmblemLevel emblem_cap_level(EmblemLevel highest);

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
