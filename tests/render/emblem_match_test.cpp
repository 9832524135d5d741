// The painter against the plain per-sample one at every kernel level the build and the CPU offer (the
// portable level also in a build that has no other).
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "render/emblem.h"
#include "render/emblem_constants.h"
#include "tests/render/emblem_reference.h"

namespace {

// The least size, sizes that are no multiple of the kernels' blocks, either side of the step from 3 to 4
// samples a side per pixel at 128, and the largest.
const int SIZES[] = {16, 18, 100, 128, 129, 200, 256};

const char* level_name(EmblemLevel level) {
    switch (level) {
    case EmblemLevel::PORTABLE: return "portable";
    case EmblemLevel::SSE2: return "SSE2";
    case EmblemLevel::AVX2: return "AVX2";
    }
    return "?";
}

// The levels the build and this CPU offer, each once (a cap above them gives the highest offered).
std::vector<EmblemLevel> levels_offered() {
    std::vector<EmblemLevel> levels;
    for (EmblemLevel cap : {EmblemLevel::PORTABLE, EmblemLevel::SSE2, EmblemLevel::AVX2}) {
        const EmblemLevel level = emblem_cap_level(cap);
        if (std::find(levels.begin(), levels.end(), level) == levels.end()) levels.push_back(level);
    }
    return levels;
}

// The samples of an n-pixel painting along one axis, in design units: sample j of pixel p lies at
// ((j + 0.5) / k + p) * 256 / n, with k samples a side per pixel.
int samples_per_pixel(int n) { return n >= 128 ? 4 : 3; }
float sample_position(int n, int sample) {
    const int k = samples_per_pixel(n);
    return ((sample % k + 0.5f) / k + sample / k) * (256.0f / n);
}

// Each test may cap the level; the highest cap gives the default back.
class EmblemLevels : public testing::Test {
protected:
    void TearDown() override { emblem_cap_level(EmblemLevel::AVX2); }
};

TEST_F(EmblemLevels, EveryLevelPaintsThePlainPaintersBytes) {
    for (int n : SIZES) {
        std::vector<uint8_t> plain;
        paint_emblem_reference(n, plain);
        for (EmblemLevel level : levels_offered()) {
            SCOPED_TRACE(testing::Message() << "size " << n << ", " << level_name(level) << " kernels");
            emblem_cap_level(level);
            std::vector<uint8_t> fast(7, 0xAB);  // to be resized and cleared
            paint_emblem(n, fast);
            ASSERT_EQ(fast.size(), plain.size());
            const size_t first = std::mismatch(fast.begin(), fast.end(), plain.begin()).first - fast.begin();
            EXPECT_EQ(first, fast.size()) << "first difference at x " << first / 4 % n << ", y " << first / 4 / n;
        }
    }
}

// Equal bytes can hide a wrong tie between two equally near segments (a bend's shared end), so the road
// found for each sample is compared too, wherever the road reaches.
TEST_F(EmblemLevels, EveryLevelFindsThePlainPaintersRoadSegmentForEverySample) {
    for (EmblemLevel level : levels_offered()) {
        emblem_cap_level(level);
        for (int n : SIZES) {
            SCOPED_TRACE(testing::Message() << "size " << n << ", " << level_name(level) << " kernels");
            std::vector<EmblemRoadHit> hits;
            emblem_road_hits(n, hits);
            const int side = n * samples_per_pixel(n);
            ASSERT_EQ(hits.size(), static_cast<size_t>(side) * side);
            for (int y = 0; y < side; ++y) {
                for (int x = 0; x < side; ++x) {
                    const ReferenceRoadHit want = reference_road_nearest(sample_position(n, x), sample_position(n, y));
                    if (want.d2 > ROAD_REACH2) continue;  // out of reach: the road changes nothing
                    const EmblemRoadHit& got = hits[static_cast<size_t>(y) * side + x];
                    ASSERT_EQ(got.segment, want.segment) << "sample " << x << "," << y;
                    ASSERT_EQ(got.d2, want.d2) << "sample " << x << "," << y;
                    ASSERT_EQ(got.arc, want.arc) << "sample " << x << "," << y;
                }
            }
        }
    }
}

// A cap is an upper bound: asking for a lower level never leaves a higher one in use.
TEST_F(EmblemLevels, CapNeverLeavesAHigherLevelInUse) {
    for (EmblemLevel cap : {EmblemLevel::PORTABLE, EmblemLevel::SSE2, EmblemLevel::AVX2}) {
        SCOPED_TRACE(level_name(cap));
        EXPECT_LE(emblem_cap_level(cap), cap);
    }
}

}  // namespace
