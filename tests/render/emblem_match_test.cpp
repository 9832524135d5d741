// The painter against the plain per-sample one at every kernel level the build and the CPU offer (the
// portable level also in a build that has no other).
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "render/emblem.h"
#include "tests/render/emblem_reference.h"

namespace {

const char* level_name(EmblemLevel level) {
    switch (level) {
        case EmblemLevel::PORTABLE: return "portable";
        case EmblemLevel::SSE2: return "SSE2";
        case EmblemLevel::AVX2: return "AVX2";
    }
    return "?";
}

// Bytes, then each sample's road hit: byte equality can hide a wrong tie between two equally
// near segments (a bend's shared end).
TEST(EmblemMatchesPlainPainter, SameBytesAndSameRoadSegmentDistanceAndArcPerSample) {
    std::vector<EmblemLevel> tested;
    for (EmblemLevel cap : {EmblemLevel::AVX2, EmblemLevel::SSE2, EmblemLevel::PORTABLE}) {
        const EmblemLevel level = emblem_cap_level(cap);
        if (std::find(tested.begin(), tested.end(), level) != tested.end()) continue;
        tested.push_back(level);
        for (int n : {16, 18, 100, 128, 129, 200, 256}) {
            SCOPED_TRACE(testing::Message() << "size " << n << ", " << level_name(level) << " kernels");
            std::vector<uint8_t> plain, fast(7, 0xAB);  // to be resized and cleared
            paint_emblem_reference(n, plain);
            paint_emblem(n, fast);
            ASSERT_EQ(fast.size(), plain.size());
            const size_t first = std::mismatch(fast.begin(), fast.end(), plain.begin()).first - fast.begin();
            EXPECT_EQ(first, fast.size()) << "first difference at x " << first / 4 % n << ", y " << first / 4 / n;
            std::vector<EmblemRoadHit> hits;
            emblem_road_hits(n, hits);
            const int k = n >= 128 ? 4 : 3, side = n * k;
            ASSERT_EQ(hits.size(), size_t(side) * side);
            auto coord = [&](int q) { return ((q % k + 0.5f) / k + q / k) * (256.0f / n); };
            for (int q = 0; q < side * side; ++q) {
                const ReferenceRoadHit want = reference_road_nearest(coord(q % side), coord(q / side));
                const EmblemRoadHit& got = hits[size_t(q)];
                ASSERT_TRUE(want.d2 > 784.0f  // out of reach: the road changes nothing
                            || (got.segment == want.segment && got.d2 == want.d2 && got.arc == want.arc))
                    << "sample " << q % side << "," << q / side << ": segment " << got.segment;
            }
        }
    }
    emblem_cap_level(EmblemLevel::AVX2);
}

// A cap is an upper bound: asking for a lower level never leaves a higher one in use.
TEST(EmblemKernelLevel, CapNeverLeavesAHigherLevelInUse) {
    for (EmblemLevel cap : {EmblemLevel::PORTABLE, EmblemLevel::SSE2, EmblemLevel::AVX2}) {
        SCOPED_TRACE(level_name(cap));
        EXPECT_LE(emblem_cap_level(cap), cap);
    }
    emblem_cap_level(EmblemLevel::AVX2);
}

}  // namespace
