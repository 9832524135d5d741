// The emblem painted the slow, obvious way: every sample is shaded in full
// and searches every road segment. The real painter skips work it can prove
// changes nothing, and must still produce these bytes exactly; the tests and
// the benchmark compare the two. Build with -ffp-contract=off like the real one.
#pragma once
#include <cstdint>
#include <vector>

// Resizes `pixels` to n*n*4 zero bytes and paints the emblem sample by sample.
void paint_emblem_reference(int n, std::vector<uint8_t>& pixels);

struct ReferenceRoadHit {
    int segment;  // first of the 120 segments at the smallest squared distance
    float d2;
    float arc;  // arc length of the road at the nearest point
};
// The nearest point of the road, searched over every segment.
ReferenceRoadHit reference_road_nearest(float x, float y);
