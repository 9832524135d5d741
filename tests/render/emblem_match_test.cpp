// The painter against the plain per-sample one, with and without AVX2 (also built into a binary without SSE2).
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "render/emblem.h"
#include "tests/render/emblem_reference.h"

namespace {

// Bytes, then each sample's road hit: byte equality can hide a wrong tie between two equally
// near segments (a bend's shared end). Once with AVX2 allowed (where the CPU has it), once kept to SSE2.
TEST(EmblemMatchesPlainPainter, SameBytesAndSameRoadSegmentDistanceAndArcPerSample) {
    for (bool wide : {true, false}) {
        emblem_allow_wide_simd(wide);
        for (int n : {16, 18, 100, 128, 129, 200, 256}) {
            SCOPED_TRACE(testing::Message() << "size " << n << (wide ? ", AVX2 allowed" : ", kept to SSE2"));
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
    emblem_allow_wide_simd(true);
}

}  // namespace
