// The emblem's road polyline and its candidate lists.
#include "render/emblem_road.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

// [SECTION] Polyline

namespace {

const float ROAD_BEZIER[3][4][2] = {{{176, 80}, {176, 38}, {80, 38}, {80, 90}},
                                    {{80, 90}, {80, 132}, {176, 124}, {176, 166}},
                                    {{176, 166}, {176, 214}, {80, 214}, {80, 180}}};

std::array<RoadPoint, ROAD_POINTS> build_road_polyline() {
    std::array<RoadPoint, ROAD_POINTS> points{};
    int count = 0;
    for (int seg = 0; seg < 3; ++seg) {
        const float(*p)[2] = ROAD_BEZIER[seg];
        for (int i = seg == 0 ? 0 : 1; i <= ROAD_STEPS; ++i) {
            float t = i / static_cast<float>(ROAD_STEPS);
            float mt = 1.0f - t;
            float b0 = mt * mt * mt, b1 = 3.0f * mt * mt * t, b2 = 3.0f * mt * t * t, b3 = t * t * t;
            RoadPoint q;
            q.x = b0 * p[0][0] + b1 * p[1][0] + b2 * p[2][0] + b3 * p[3][0];
            q.y = b0 * p[0][1] + b1 * p[1][1] + b2 * p[2][1] + b3 * p[3][1];
            q.s = 0.0f;
            if (count > 0) {
                const RoadPoint& prev = points[count - 1];
                q.s = prev.s + std::hypot(q.x - prev.x, q.y - prev.y);
            }
            points[count++] = q;
        }
    }
    return points;
}

}  // namespace

const std::array<RoadPoint, ROAD_POINTS>& road_polyline() {
    static const std::array<RoadPoint, ROAD_POINTS> points = build_road_polyline();
    return points;
}

// [SECTION] Candidate lists

namespace {

// Widening of the boxes: far more than the rounding of a projected point
// (a few ulps of 256), so a box holds every point the float projection onto
// its segment can produce.
constexpr float BOX_MARGIN = 1.0f / 64.0f;
// The road changes nothing from ROAD_REACH2 on; a little more for rounding.
constexpr double LIST_REACH2 = 784.1;
// Pixel blocks with their own candidate lists: wide ones against all
// segments, coarse ones against their wide block's list, fine ones against
// their coarse block's. A segment that can be nearest somewhere in a block can
// be so somewhere in any block holding it, so every level keeps it.
constexpr int WIDE_BLOCK = 32;
constexpr int COARSE_BLOCK = 8;

}  // namespace

std::array<RoadSegment, ROAD_SEGMENTS> road_segments() {
    const auto& road = road_polyline();
    std::array<RoadSegment, ROAD_SEGMENTS> segments{};
    for (int i = 0; i < ROAD_SEGMENTS; ++i) {
        const RoadPoint& a = road[i];
        const RoadPoint& b = road[i + 1];
        RoadSegment& g = segments[i];
        g.ax = a.x;
        g.ay = a.y;
        g.dx = b.x - a.x;
        g.dy = b.y - a.y;
        g.len2 = g.dx * g.dx + g.dy * g.dy;
        g.min_x = std::min(a.x, b.x) - BOX_MARGIN;
        g.max_x = std::max(a.x, b.x) + BOX_MARGIN;
        g.min_y = std::min(a.y, b.y) - BOX_MARGIN;
        g.max_y = std::max(a.y, b.y) + BOX_MARGIN;
    }
    return segments;
}

namespace {

struct Box {
    double x0, x1, y0, y1;
};

double box_distance2(const Box& r, const RoadSegment& g) {
    double ox = std::max(0.0, std::max(g.min_x - r.x1, r.x0 - g.max_x));
    double oy = std::max(0.0, std::max(g.min_y - r.y1, r.y0 - g.max_y));
    return ox * ox + oy * oy;
}

double segment_distance2(double x, double y, const RoadSegment& g) {
    double len2 = double(g.dx) * g.dx + double(g.dy) * g.dy;
    double p = len2 <= 0 ? 0 : ((x - g.ax) * g.dx + (y - g.ay) * g.dy) / len2;
    p = std::min(1.0, std::max(0.0, p));
    double ex = x - (g.ax + g.dx * p), ey = y - (g.ay + g.dy * p);
    return ex * ex + ey * ey;
}

// Appends, in increasing order, the segments of `from` that can be nearest to
// some point of the box while nearer than LIST_REACH2. Distance to a segment
// is convex, so its worst case over the box is at a corner; a segment whose
// box lies farther than the worst case of another one never wins there.
void road_candidates(const Box& box, const std::array<RoadSegment, ROAD_SEGMENTS>& segments, const uint8_t* from,
                     size_t count, std::vector<uint8_t>& out) {
    double lower[ROAD_SEGMENTS];
    int probe = -1;
    for (size_t c = 0; c < count; ++c) {
        lower[c] = box_distance2(box, segments[from[c]]);
        if (probe < 0 || lower[c] < lower[probe]) probe = static_cast<int>(c);
    }
    if (probe < 0 || lower[probe] > LIST_REACH2) return;
    double worst = 0;
    for (double px : {box.x0, box.x1})
        for (double py : {box.y0, box.y1}) worst = std::max(worst, segment_distance2(px, py, segments[from[probe]]));
    const double limit = std::min(worst * 1.001 + 0.01, LIST_REACH2);
    for (size_t c = 0; c < count; ++c)
        if (lower[c] <= limit) out.push_back(from[c]);
}

// A segment as the pruning below needs it, in double.
struct Span {
    double ax, ay, dx, dy, inv_len2;
    double clamp, interior;  // the margins below as parameter steps
    bool joins_next;         // its float end is exactly the start of the next
};

// Projection margins, in units along a segment: CLAMP_MARGIN puts a point
// surely past a segment's end for the float search too (its parameter clamps
// exactly), INTERIOR_MARGIN keeps the foot so far inside that the squared
// distances differ by 0.25, far above their rounding (about 0.01 at 28 units).
constexpr double CLAMP_MARGIN = 1.0 / 64.0;
constexpr double INTERIOR_MARGIN = 0.5;

void build_spans(const std::array<RoadSegment, ROAD_SEGMENTS>& segments, Span* spans) {
    for (int s = 0; s < ROAD_SEGMENTS; ++s) {
        const RoadSegment& g = segments[s];
        const double len2 = double(g.dx) * g.dx + double(g.dy) * g.dy;
        const double len = std::sqrt(len2);
        // A segment of no length never takes part (its parameter is always 0).
        spans[s] = {g.ax, g.ay, g.dx, g.dy, len2 > 0 ? 1 / len2 : 0, CLAMP_MARGIN / len, INTERIOR_MARGIN / len, false};
        if (s + 1 < ROAD_SEGMENTS)
            spans[s].joins_next = len2 > 0 && g.ax + g.dx == segments[s + 1].ax && g.ay + g.dy == segments[s + 1].ay;
    }
}

// The range of a segment's projection parameter over the box (it is linear
// in the point, so corners bound it).
void param_range(const Box& r, const Span& g, double& lo, double& hi) {
    lo = (((g.dx > 0 ? r.x0 : r.x1) - g.ax) * g.dx + ((g.dy > 0 ? r.y0 : r.y1) - g.ay) * g.dy) * g.inv_len2;
    hi = (((g.dx > 0 ? r.x1 : r.x0) - g.ax) * g.dx + ((g.dy > 0 ? r.y1 : r.y0) - g.ay) * g.dy) * g.inv_len2;
}

// Whether, at every point of the box, segment s loses the search to a
// neighbour: its foot clamps to the end it shares with that neighbour, which
// is then nearer by a margin (its own foot lies inside it or beyond its far
// end), or, past a convex corner, exactly as near (both searches compute the
// shared point with the same float operations) and first in order.
bool loses_to_neighbour(const Box& box, const Span* spans, int s) {
    double lo, hi;
    param_range(box, spans[s], lo, hi);
    if (hi <= -spans[s].clamp && s > 0 && spans[s - 1].joins_next) {
        const Span& before = spans[s - 1];
        param_range(box, before, lo, hi);
        return hi <= 1 - before.interior || lo >= 1 + before.clamp;
    }
    if (lo >= 1 + spans[s].clamp && spans[s].joins_next) {
        const Span& after = spans[s + 1];
        param_range(box, after, lo, hi);
        return lo >= after.interior;
    }
    return false;
}

// Removes from list[begin ..] the segments that lose to a neighbour everywhere in the box.
void drop_losers(const Box& box, const Span* spans, std::vector<uint8_t>& list, size_t begin) {
    list.erase(
        std::remove_if(list.begin() + begin, list.end(), [&](uint8_t s) { return loses_to_neighbour(box, spans, s); }),
        list.end());
}

}  // namespace

void build_road_blocks(int n, float u, const std::array<RoadSegment, ROAD_SEGMENTS>& segments, RoadBlocks& blocks) {
    // Pixel p covers [p*u, (p+1)*u]; the margin covers the rounding of the
    // sample positions.
    const double margin = 1.0 / 64.0;
    auto pixel_box = [&](int x0, int y0, int size) {
        return Box{x0 * double(u) - margin, std::min(x0 + size, n) * double(u) + margin, y0 * double(u) - margin,
                   std::min(y0 + size, n) * double(u) + margin};
    };
    uint8_t all[ROAD_SEGMENTS];
    RoadSegment whole = segments[0];  // only its box is used
    for (int i = 0; i < ROAD_SEGMENTS; ++i) {
        all[i] = static_cast<uint8_t>(i);
        whole.min_x = std::min(whole.min_x, segments[i].min_x);
        whole.max_x = std::max(whole.max_x, segments[i].max_x);
        whole.min_y = std::min(whole.min_y, segments[i].min_y);
        whole.max_y = std::max(whole.max_y, segments[i].max_y);
    }

    Span spans[ROAD_SEGMENTS];
    build_spans(segments, spans);

    blocks.per_row = (n + FINE_BLOCK - 1) / FINE_BLOCK;
    blocks.first.assign(blocks.per_row * blocks.per_row, 0);
    blocks.count.assign(blocks.per_row * blocks.per_row, 0);
    blocks.segments.clear();
    // One coarse block: its list from the wide block's, then its fine blocks' lists.
    std::vector<uint8_t> coarse;
    auto fill_coarse = [&](int cx, int cy, const std::vector<uint8_t>& wide) {
        coarse.clear();
        const Box coarse_box = pixel_box(cx, cy, COARSE_BLOCK);
        road_candidates(coarse_box, segments, wide.data(), wide.size(), coarse);
        drop_losers(coarse_box, spans, coarse, 0);
        if (coarse.empty()) return;
        for (int fy = cy; fy < std::min(cy + COARSE_BLOCK, n); fy += FINE_BLOCK) {
            for (int fx = cx; fx < std::min(cx + COARSE_BLOCK, n); fx += FINE_BLOCK) {
                const size_t begin = blocks.segments.size();
                const Box box = pixel_box(fx, fy, FINE_BLOCK);
                road_candidates(box, segments, coarse.data(), coarse.size(), blocks.segments);
                drop_losers(box, spans, blocks.segments, begin);
                const int b = (fy / FINE_BLOCK) * blocks.per_row + fx / FINE_BLOCK;
                blocks.first[b] = static_cast<uint32_t>(begin);
                blocks.count[b] = static_cast<uint8_t>(blocks.segments.size() - begin);
            }
        }
    };
    std::vector<uint8_t> wide;
    for (int wy = 0; wy < n; wy += WIDE_BLOCK) {
        for (int wx = 0; wx < n; wx += WIDE_BLOCK) {
            const Box box = pixel_box(wx, wy, WIDE_BLOCK);
            if (box_distance2(box, whole) > LIST_REACH2) continue;
            wide.clear();
            road_candidates(box, segments, all, ROAD_SEGMENTS, wide);
            if (wide.empty()) continue;
            for (int cy = wy; cy < std::min(wy + WIDE_BLOCK, n); cy += COARSE_BLOCK)
                for (int cx = wx; cx < std::min(wx + WIDE_BLOCK, n); cx += COARSE_BLOCK) fill_coarse(cx, cy, wide);
        }
    }
}
