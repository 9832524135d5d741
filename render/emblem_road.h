// The emblem's road: its polyline, and the lists of candidate segments kept
// per block of pixels that the search for each sample's nearest segment runs
// over (the search itself is a kernel). Internal to the emblem painter.
#pragma once
#include <array>
#include <cstdint>
#include <vector>

constexpr int ROAD_STEPS = 40;  // polyline points per Bezier curve
constexpr int ROAD_POINTS = 3 * ROAD_STEPS + 1;
constexpr int ROAD_SEGMENTS = ROAD_POINTS - 1;
// Pixels a side of the blocks with their own candidate lists.
constexpr int FINE_BLOCK = 4;

struct RoadPoint {
    float x, y, s;  // s: arc length from the start of the road
};

// The road polyline, built on first use and kept until exit.
const std::array<RoadPoint, ROAD_POINTS>& road_polyline();

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
void build_road_blocks(int n, float u, const std::array<RoadSegment, ROAD_SEGMENTS>& segments, RoadBlocks& blocks);
