// The emblem's road: its polyline, and the search for the nearest segment of
// each sample among candidate lists kept per block of pixels. Internal to the
// emblem painter.
#pragma once
#include <array>
#include <cstdint>
#include <vector>

// The road search runs four samples at a time on SSE2; elsewhere (or when
// built with TORVANEL_EMBLEM_SSE2=0) one at a time, with the same result.
#ifndef TORVANEL_EMBLEM_SSE2
#if defined(__SSE2__) || defined(_M_X64)
#define TORVANEL_EMBLEM_SSE2 1
#else
#define TORVANEL_EMBLEM_SSE2 0
#endif
#endif
#if TORVANEL_EMBLEM_SSE2
#include <emmintrin.h>
#endif

constexpr int ROAD_STEPS = 40;  // polyline points per Bezier curve
constexpr int ROAD_POINTS = 3 * ROAD_STEPS + 1;
constexpr int ROAD_SEGMENTS = ROAD_POINTS - 1;
// Pixels a side of the blocks with their own candidate lists.
constexpr int FINE_BLOCK = 4;

struct RoadPoint {
    float x, y, s;  // s: arc length from the start of the road
};

// v < lo ? lo : (v > hi ? hi : v), written so that it compiles to max and min.
inline float clampf(float v, float lo, float hi) {
    const float r = v < lo ? lo : v;
    return r > hi ? hi : r;
}

// The road polyline, built on first use and kept until exit.
const std::array<RoadPoint, ROAD_POINTS>& road_polyline();
// The arc length at parameter `param` of a segment.
float road_arc(int segment, float param);
// Whether the centre line is drawn at arc length `along` >= 0: fmod(along, 24) < 12
// without the library call. In double, along - 24 k is exact, and along / 24
// cannot round up to the next whole number (a float below 24 m lies at least
// one float step below it, far more than a double's rounding).
inline bool dash_on(float along) {
    const double a = along;
    return a - 24.0 * static_cast<double>(static_cast<long long>(a / 24.0)) < 12.0;
}

struct RoadSegment {
    float ax, ay, dx, dy, len2;
    float min_x, max_x, min_y, max_y;  // bounding box, widened by BOX_MARGIN
};
// Every segment, with its box.
std::array<RoadSegment, ROAD_SEGMENTS> road_segments();

// Candidate lists for every FINE_BLOCK x FINE_BLOCK block of pixels.
struct RoadBlocks {
    int per_row = 0;
    std::vector<uint32_t> first;  // per fine block, its list's offset into `segments`
    std::vector<uint8_t> count;   // per fine block, its list's length
    std::vector<uint8_t> segments;
};
// The candidate lists of an n x n painting whose pixels are u units a side.
void build_road_blocks(int n, float u, const std::array<RoadSegment, ROAD_SEGMENTS>& segments,
                       RoadBlocks& blocks);

// The nearest candidate of four samples on one row: lane j holds the sample
// at xs4[j]. Candidates come in increasing order and only a strictly smaller
// squared distance replaces the best, so ties go to the first segment as in
// a search of the whole road; each distance is computed with exactly the
// same float operations (in SSE2 lanes where available: they round like
// scalar single-precision code, and nothing here is fused).
struct RoadHits {
    alignas(16) float d2[4];
    alignas(16) float param[4];
    alignas(16) int32_t segment[4];  // -1: no candidate
};
#if TORVANEL_EMBLEM_SSE2
// A segment's values broadcast to all four lanes, ready to use.
struct SegmentLanes {
    __m128 ax, ay, dx, dy, len2;
};
using RoadLanes = std::array<SegmentLanes, ROAD_SEGMENTS>;
#else
using RoadLanes = std::array<RoadSegment, ROAD_SEGMENTS>;
#endif
void broadcast_segments(const std::array<RoadSegment, ROAD_SEGMENTS>& segments, RoadLanes& lanes);
void nearest_road(const RoadLanes& segments, const uint8_t* list, const uint8_t* end,
                  const float* xs4, float y, RoadHits& out);
