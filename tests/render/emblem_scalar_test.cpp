// The emblem painter built without SSE2 (as on machines that lack it) must
// give the same bytes as the plain per-sample painter too.
#include <gtest/gtest.h>

#include <vector>

#include "render/emblem.h"
#include "tests/render/emblem_reference.h"

namespace {

TEST(EmblemWithoutSse2, SameBytesAsThePlainPainter) {
    for (int n : {16, 100, 256}) {
        std::vector<uint8_t> plain, painted;
        paint_emblem_reference(n, plain);
        paint_emblem(n, painted);
        ASSERT_EQ(painted.size(), plain.size()) << n;
        size_t differing = 0;
        for (size_t i = 0; i < plain.size(); ++i) differing += painted[i] != plain[i];
        EXPECT_EQ(differing, 0u) << "size " << n;
    }
}

}  // namespace
