// The emblem painter's kernels eight samples at a time in AVX2. The build
// compiles this file alone for AVX2 and the painter calls it only where the
// CPU runs AVX2, so nothing here may be shared with other files: only
// intrinsics, this file's own functions and the static helpers of the kernel
// header (see there).
#include <immintrin.h>

#include <cstddef>

#include "render/emblem_kernels.h"

namespace {

inline __m256 smooth8(__m256 e) {
    e = _mm256_min_ps(_mm256_set1_ps(1.0f), _mm256_max_ps(_mm256_setzero_ps(), e));  // as clampf
    return _mm256_mul_ps(_mm256_mul_ps(e, e),
                         _mm256_sub_ps(_mm256_set1_ps(3.0f), _mm256_mul_ps(_mm256_set1_ps(2.0f), e)));
}

// c + (t - c) * w on each plane.
inline void mix8(__m256& r, __m256& g, __m256& b, const Color& t, __m256 w) {
    r = _mm256_add_ps(r, _mm256_mul_ps(_mm256_sub_ps(_mm256_set1_ps(t.r), r), w));
    g = _mm256_add_ps(g, _mm256_mul_ps(_mm256_sub_ps(_mm256_set1_ps(t.g), g), w));
    b = _mm256_add_ps(b, _mm256_mul_ps(_mm256_sub_ps(_mm256_set1_ps(t.b), b), w));
}

// [SECTION] Road

// The search for ROWS sample rows of H groups of eight samples side by side
// at once: one candidate's values serve every group, and the groups'
// independent dependency chains overlap.
template <int H, int ROWS>
void nearest_chains(const RoadLine* lines, const uint8_t* list, const uint8_t* end, const float* xs, const float* ys,
                    RoadHitGroup* out) {
    constexpr int CHAINS = H * ROWS;
    const __m256 zero = _mm256_setzero_ps(), one = _mm256_set1_ps(1.0f);
    __m256 x[H];
    for (int h = 0; h < H; ++h) x[h] = _mm256_loadu_ps(xs + GROUP_LANES * h);
    __m256 best[CHAINS], best_param[CHAINS], best_segment[CHAINS];
    for (int c = 0; c < CHAINS; ++c) {
        best[c] = _mm256_set1_ps(NO_HIT_D2);
        best_param[c] = zero;
        best_segment[c] = _mm256_castsi256_ps(_mm256_set1_epi32(-1));
    }
    for (const uint8_t* s = list; s != end; ++s) {
        const RoadLine& g = lines[*s];
        const __m256 ax = _mm256_set1_ps(g.ax), ay = _mm256_set1_ps(g.ay);
        const __m256 dx = _mm256_set1_ps(g.dx), dy = _mm256_set1_ps(g.dy);
        const __m256 len2 = _mm256_set1_ps(g.len2);
        const __m256 segment = _mm256_castsi256_ps(_mm256_set1_epi32(*s));
        const bool degenerate = g.len2 <= 0.0f;
        __m256 along_x[H];
        for (int h = 0; h < H; ++h) along_x[h] = _mm256_mul_ps(_mm256_sub_ps(x[h], ax), dx);
        for (int c = 0; c < CHAINS; ++c) {
            const __m256 y = _mm256_set1_ps(ys[c / H]);
            const int h = c % H;
            __m256 p = zero;
            if (!degenerate) {
                const __m256 num = _mm256_add_ps(along_x[h], _mm256_mul_ps(_mm256_sub_ps(y, ay), dy));
                p = _mm256_min_ps(_mm256_max_ps(_mm256_div_ps(num, len2), zero), one);
            }
            const __m256 ex = _mm256_sub_ps(x[h], _mm256_add_ps(ax, _mm256_mul_ps(dx, p)));
            const __m256 ey = _mm256_sub_ps(y, _mm256_add_ps(ay, _mm256_mul_ps(dy, p)));
            const __m256 d2 = _mm256_add_ps(_mm256_mul_ps(ex, ex), _mm256_mul_ps(ey, ey));
            const __m256 nearer = _mm256_cmp_ps(d2, best[c], _CMP_LT_OQ);
            best[c] = _mm256_blendv_ps(best[c], d2, nearer);
            best_param[c] = _mm256_blendv_ps(best_param[c], p, nearer);
            best_segment[c] = _mm256_blendv_ps(best_segment[c], segment, nearer);
        }
    }
    for (int c = 0; c < CHAINS; ++c) {
        _mm256_storeu_ps(out[c].d2, best[c]);
        _mm256_storeu_ps(out[c].param, best_param[c]);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out[c].segment), _mm256_castps_si256(best_segment[c]));
    }
}

// Four-row blocks, as four samples a pixel give, in one pass; others a row at a time.
void nearest_road(const RoadLine* lines, const uint8_t* list, const uint8_t* end, const float* xs, int count,
                  const float* ys, int rows, RoadHitGroup* out) {
    const int groups = group_count(count);
    if (rows == 4 && groups == 2) {
        nearest_chains<2, 4>(lines, list, end, xs, ys, out);
    } else if (rows == 4 && groups == 1) {
        nearest_chains<1, 4>(lines, list, end, xs, ys, out);
    } else {
        for (int r = 0; r < rows; ++r) {
            if (groups == 2) nearest_chains<2, 1>(lines, list, end, xs, ys + r, out + r * groups);
            else nearest_chains<1, 1>(lines, list, end, xs, ys + r, out + r * groups);
        }
    }
    clear_lanes_past(count, rows, out);
}

// Lanes out of reach are shaded as well: where a weight is exactly zero its
// mix adds only a signed zero to a non-negative colour. One pass over a whole
// pixel row's groups lets the out-of-order core overlap the long square root
// and division chains of neighbouring groups.
void shade_road(const RoadHitGroup* groups, const int* at, int count, const float* arc, float* red, float* green,
                float* blue) {
    for (int t = 0; t < count; ++t) {
        const RoadHitGroup& hits = groups[t];
        const __m256 d2 = _mm256_loadu_ps(hits.d2);
        if (_mm256_movemask_ps(_mm256_cmp_ps(d2, _mm256_set1_ps(ROAD_REACH2), _CMP_LE_OQ)) == 0) continue;
        const __m256 dist = _mm256_sqrt_ps(d2);
        const __m256 glow = _mm256_mul_ps(
            _mm256_set1_ps(ROAD_GLOW_STRENGTH),
            smooth8(_mm256_div_ps(_mm256_sub_ps(dist, _mm256_set1_ps(ROAD_REACH)), _mm256_set1_ps(ROAD_GLOW_SPREAD))));
        const int q = at[t];
        __m256 r = _mm256_loadu_ps(red + q), g = _mm256_loadu_ps(green + q), b = _mm256_loadu_ps(blue + q);
        mix8(r, g, b, ROAD_GLOW, glow);
        // From ASPHALT_EDGE on the asphalt and the centre line weigh exactly zero (about half the groups).
        if (_mm256_movemask_ps(_mm256_cmp_ps(dist, _mm256_set1_ps(ASPHALT_EDGE), _CMP_LT_OQ)) != 0) {
            const __m256 cover = smooth8(
                _mm256_div_ps(_mm256_sub_ps(dist, _mm256_set1_ps(ASPHALT_EDGE)), _mm256_set1_ps(ASPHALT_SPREAD)));
            __m256 line =
                smooth8(_mm256_div_ps(_mm256_sub_ps(dist, _mm256_set1_ps(LINE_EDGE)), _mm256_set1_ps(LINE_SPREAD)));
            const int drawn = ~_mm256_movemask_ps(_mm256_cmp_ps(line, _mm256_setzero_ps(), _CMP_EQ_OQ)) & 255;
            if (drawn != 0) {  // the dash: only near the centre line
                float lines[GROUP_LANES];
                _mm256_storeu_ps(lines, line);
                for (int j = 0; j < GROUP_LANES; ++j) {
                    if ((drawn >> j & 1) && !dash_on(arc_at(arc, hits.segment[j], hits.param[j]))) lines[j] = 0.0f;
                }
                line = _mm256_loadu_ps(lines);
            }
            mix8(r, g, b, ASPHALT, cover);
            mix8(r, g, b, CENTRE_LINE, _mm256_mul_ps(cover, line));
        }
        _mm256_storeu_ps(red + q, r);
        _mm256_storeu_ps(green + q, g);
        _mm256_storeu_ps(blue + q, b);
    }
}

// [SECTION] Sun

// The float rounding of sqrt(x * x + y2) in double, four lanes: hypot as
// glibc's hypotf computes it.
inline __m128 hypot4_double(__m128 x, __m256d y2) {
    const __m256d xd = _mm256_cvtps_pd(x);
    return _mm256_cvtpd_ps(_mm256_sqrt_pd(_mm256_add_pd(_mm256_mul_pd(xd, xd), y2)));
}

// The sun for the eight samples at xs8: the same float operations per lane
// as the portable sun.
void sun_over8(const Color& sky, const float* xs8, float sy, float* red, float* green, float* blue) {
    const __m256 sx = _mm256_sub_ps(_mm256_loadu_ps(xs8), _mm256_set1_ps(SUN_X));
    const __m256d sy2 = _mm256_set1_pd(double(sy) * double(sy));
    const __m256 d = _mm256_set_m128(hypot4_double(_mm256_extractf128_ps(sx, 1), sy2),
                                     hypot4_double(_mm256_castps256_ps128(sx), sy2));
    const __m256 glow =
        smooth8(_mm256_mul_ps(_mm256_sub_ps(d, _mm256_set1_ps(SUN_GLOW_REACH)), _mm256_set1_ps(SUN_GLOW_SLOPE)));
    __m256 r = _mm256_set1_ps(sky.r), g = _mm256_set1_ps(sky.g), b = _mm256_set1_ps(sky.b);
    mix8(r, g, b, SUN_GLOW, _mm256_mul_ps(_mm256_set1_ps(SUN_GLOW_STRENGTH), _mm256_mul_ps(glow, glow)));
    // From SUN_DISC_EDGE on the disc weighs exactly zero.
    if (_mm256_movemask_ps(_mm256_cmp_ps(d, _mm256_set1_ps(SUN_DISC_EDGE), _CMP_LT_OQ)) == 0) {
        _mm256_storeu_ps(red, r);
        _mm256_storeu_ps(green, g);
        _mm256_storeu_ps(blue, b);
        return;
    }
    const __m256 q = _mm256_min_ps(
        _mm256_set1_ps(1.0f), _mm256_max_ps(_mm256_setzero_ps(), _mm256_div_ps(d, _mm256_set1_ps(SUN_DISC_RADIUS))));
    const __m256 tg = _mm256_add_ps(_mm256_set1_ps(SUN_DISC_GREEN), _mm256_mul_ps(_mm256_set1_ps(SUN_GREEN_FALL), q));
    const __m256 tb = _mm256_sub_ps(_mm256_set1_ps(SUN_DISC_BLUE), _mm256_mul_ps(_mm256_set1_ps(SUN_BLUE_FALL), q));
    const __m256 w =
        smooth8(_mm256_mul_ps(_mm256_sub_ps(d, _mm256_set1_ps(SUN_DISC_EDGE)), _mm256_set1_ps(SUN_DISC_SLOPE)));
    _mm256_storeu_ps(red, _mm256_add_ps(r, _mm256_mul_ps(_mm256_sub_ps(_mm256_set1_ps(SUN_DISC_RED), r), w)));
    _mm256_storeu_ps(green, _mm256_add_ps(g, _mm256_mul_ps(_mm256_sub_ps(tg, g), w)));
    _mm256_storeu_ps(blue, _mm256_add_ps(b, _mm256_mul_ps(_mm256_sub_ps(tb, b), w)));
}

void sun_run(const Color& sky, const float* xs, int count, float sy, float* red, float* green, float* blue) {
    for (int q = 0; q < count; q += GROUP_LANES) sun_over8(sky, xs + q, sy, red + q, green + q, blue + q);
}

// [SECTION] Averaging

// The sums of one colour plane for eight pixels from sample 0 of `plane` on,
// lanes in the order of pixels 0, 2, 4, 6, 1, 3, 5, 7 (each half of the
// register transposes on its own).
__m256 plane_sums8(const float* plane, int stride) {
    __m256 sum = _mm256_setzero_ps();
    for (int i = 0; i < 4; ++i) {
        const float* at = plane + static_cast<size_t>(i) * stride;
        const __m256 a0 = _mm256_loadu_ps(at), a1 = _mm256_loadu_ps(at + 8);
        const __m256 a2 = _mm256_loadu_ps(at + 16), a3 = _mm256_loadu_ps(at + 24);
        const __m256 t0 = _mm256_unpacklo_ps(a0, a1), t1 = _mm256_unpackhi_ps(a0, a1);
        const __m256 t2 = _mm256_unpacklo_ps(a2, a3), t3 = _mm256_unpackhi_ps(a2, a3);
        sum = _mm256_add_ps(sum, _mm256_shuffle_ps(t0, t2, 0x44));  // sample 0 of each pixel
        sum = _mm256_add_ps(sum, _mm256_shuffle_ps(t0, t2, 0xee));
        sum = _mm256_add_ps(sum, _mm256_shuffle_ps(t1, t3, 0x44));
        sum = _mm256_add_ps(sum, _mm256_shuffle_ps(t1, t3, 0xee));
    }
    return sum;
}

// to_byte(sum / h * 255 + 0.5): up to 0 gives 0, from 255 on 255, truncated between.
__m256i channel_bytes8(__m256 sum, __m256 h) {
    const __m256 v = _mm256_add_ps(_mm256_mul_ps(_mm256_div_ps(sum, h), _mm256_set1_ps(255.0f)), _mm256_set1_ps(0.5f));
    return _mm256_cvttps_epi32(_mm256_min_ps(_mm256_set1_ps(255.0f), _mm256_max_ps(_mm256_setzero_ps(), v)));
}

// Four samples a pixel: eight pixels at a time; the rest as the portable kernel does.
void average_pixels(const float* red, const float* green, const float* blue, int stride, int k, const int* inside_begin,
                    const int* inside_end, int first, int end, uint8_t* out) {
    const __m256i order = _mm256_setr_epi32(0, 2, 4, 6, 1, 3, 5, 7);    // pixel of each lane
    const __m256i natural = _mm256_setr_epi32(0, 4, 1, 5, 2, 6, 3, 7);  // lane of each pixel
    int px = first;
    for (; k == 4 && px + 7 < end; px += 8) {
        // Inside samples: the overlap of each sample row's inside run with the pixel.
        const __m256i left = _mm256_slli_epi32(_mm256_add_epi32(order, _mm256_set1_epi32(px)), 2);
        const __m256i right = _mm256_add_epi32(left, _mm256_set1_epi32(4));
        __m256i h = _mm256_setzero_si256();
        for (int i = 0; i < 4; ++i) {
            const __m256i overlap = _mm256_sub_epi32(_mm256_min_epi32(right, _mm256_set1_epi32(inside_end[i])),
                                                     _mm256_max_epi32(left, _mm256_set1_epi32(inside_begin[i])));
            h = _mm256_add_epi32(h, _mm256_max_epi32(overlap, _mm256_setzero_si256()));
        }
        const __m256 hs = _mm256_cvtepi32_ps(h);
        const size_t at = static_cast<size_t>(px) * 4;
        const __m256i r = channel_bytes8(plane_sums8(red + at, stride), hs);
        const __m256i g = channel_bytes8(plane_sums8(green + at, stride), hs);
        const __m256i b = channel_bytes8(plane_sums8(blue + at, stride), hs);
        const __m256i alpha = _mm256_srli_epi32(_mm256_mullo_epi32(h, _mm256_set1_epi32(255)), 4);
        __m256i rgba = _mm256_or_si256(_mm256_or_si256(r, _mm256_slli_epi32(g, 8)),
                                       _mm256_or_si256(_mm256_slli_epi32(b, 16), _mm256_slli_epi32(alpha, 24)));
        // No sample inside: the pixel stays zero (its sums divide by zero).
        rgba = _mm256_andnot_si256(_mm256_cmpeq_epi32(h, _mm256_setzero_si256()), rgba);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + at), _mm256_permutevar8x32_epi32(rgba, natural));
    }
    average_pixels_portable(red, green, blue, stride, k, inside_begin, inside_end, px, end, out);
}

}  // namespace

EmblemKernels avx2_kernels() { return {EmblemLevel::AVX2, nearest_road, shade_road, sun_run, average_pixels}; }
