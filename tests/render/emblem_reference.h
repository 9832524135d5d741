// The emblem painted the slow, obvious way (every sample shaded in full against every road
// segment), kept independent of render/emblem.cpp; the tests and the benchmark compare the two.
#pragma once
#include <cstdint>
#include <vector>

// Resizes `pixels` to n*n*4 zero bytes and paints the emblem sample by sample.
void paint_emblem_reference(int n, std::vector<uint8_t>& pixels);

// The first of the 120 road segments nearest to (x, y): the squared distance and the arc length
// of the road at the nearest point.
struct ReferenceRoadHit {
    int segment;
    float d2, arc;
};
ReferenceRoadHit reference_road_nearest(float x, float y);
