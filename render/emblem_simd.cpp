// The AVX2 road search. Every lane computes the same single-precision
// expressions as the scalar and SSE2 searches (nothing is fused: the file is
// built without contraction), so the three give the same bytes.
#include "render/emblem_simd.h"

#include "render/emblem.h"

#if (defined(__x86_64__) || defined(__i386__)) && defined(__GNUC__)
#define TORVANEL_EMBLEM_AVX2 1
#include <immintrin.h>
#else
#define TORVANEL_EMBLEM_AVX2 0
#endif

namespace {
bool g_wide_allowed = true;
}  // namespace

void emblem_allow_wide_simd(bool allowed) { g_wide_allowed = allowed; }

#if TORVANEL_EMBLEM_AVX2

bool emblem_wide_simd() {
    static const bool supported = __builtin_cpu_supports("avx2");
    return supported && g_wide_allowed;
}

__attribute__((target("avx2"))) void nearest_road_8(const RoadLine* lines, const uint8_t* list,
                                                    const uint8_t* end, const float* xs8, float y,
                                                    RoadHits8& out) {
    const __m256 x = _mm256_loadu_ps(xs8), yy = _mm256_set1_ps(y);
    const __m256 zero = _mm256_setzero_ps(), one = _mm256_set1_ps(1.0f);
    __m256 best = _mm256_set1_ps(1e30f), best_param = zero;
    __m256 best_segment = _mm256_castsi256_ps(_mm256_set1_epi32(-1));
    for (const uint8_t* c = list; c != end; ++c) {
        const RoadLine& g = lines[*c];
        const __m256 ax = _mm256_set1_ps(g.ax), ay = _mm256_set1_ps(g.ay);
        const __m256 dx = _mm256_set1_ps(g.dx), dy = _mm256_set1_ps(g.dy);
        __m256 p = zero;
        if (!(g.len2 <= 0.0f)) {
            const __m256 num = _mm256_add_ps(_mm256_mul_ps(_mm256_sub_ps(x, ax), dx),
                                             _mm256_mul_ps(_mm256_sub_ps(yy, ay), dy));
            p = _mm256_min_ps(_mm256_max_ps(_mm256_div_ps(num, _mm256_set1_ps(g.len2)), zero), one);
        }
        const __m256 ex = _mm256_sub_ps(x, _mm256_add_ps(ax, _mm256_mul_ps(dx, p)));
        const __m256 ey = _mm256_sub_ps(yy, _mm256_add_ps(ay, _mm256_mul_ps(dy, p)));
        const __m256 d2 = _mm256_add_ps(_mm256_mul_ps(ex, ex), _mm256_mul_ps(ey, ey));
        const __m256 nearer = _mm256_cmp_ps(d2, best, _CMP_LT_OQ);
        best = _mm256_blendv_ps(best, d2, nearer);
        best_param = _mm256_blendv_ps(best_param, p, nearer);
        best_segment = _mm256_blendv_ps(best_segment, _mm256_castsi256_ps(_mm256_set1_epi32(*c)),
                                        nearer);
    }
    _mm256_storeu_ps(out.d2, best);
    _mm256_storeu_ps(out.param, best_param);
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(out.segment), _mm256_castps_si256(best_segment));
}

#else

bool emblem_wide_simd() { return false; }

void nearest_road_8(const RoadLine*, const uint8_t*, const uint8_t*, const float*, float,
                    RoadHits8&) {}

#endif
