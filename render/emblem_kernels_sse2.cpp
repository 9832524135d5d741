// The emblem painter's kernels four samples at a time in SSE2, which every
// x86-64 CPU runs. SSE2 lanes round like scalar single-precision code, so each
// lane computes exactly what the portable kernels compute for its sample.
#include <emmintrin.h>

#include <cstddef>

#include "render/emblem_kernels.h"

namespace {

inline __m128 smooth4(__m128 e) {
    e = _mm_min_ps(_mm_set1_ps(1.0f), _mm_max_ps(_mm_setzero_ps(), e));  // as clampf
    return _mm_mul_ps(_mm_mul_ps(e, e), _mm_sub_ps(_mm_set1_ps(3.0f), _mm_mul_ps(_mm_set1_ps(2.0f), e)));
}

// c + (t - c) * w on each plane.
inline void mix4(__m128& r, __m128& g, __m128& b, const Color& t, __m128 w) {
    r = _mm_add_ps(r, _mm_mul_ps(_mm_sub_ps(_mm_set1_ps(t.r), r), w));
    g = _mm_add_ps(g, _mm_mul_ps(_mm_sub_ps(_mm_set1_ps(t.g), g), w));
    b = _mm_add_ps(b, _mm_mul_ps(_mm_sub_ps(_mm_set1_ps(t.b), b), w));
}

// [SECTION] Road

// The search for four neighbouring samples at xs4 on each of ROWS sample
// rows at once: one candidate's values serve every row, and the rows'
// independent dependency chains overlap. Row r's lanes go to lanes `lane` ..
// lane + 3 of out[r * stride].
template <int ROWS>
void nearest_rows4(const RoadLine* lines, const uint8_t* list, const uint8_t* end, const float* xs4, const float* ys,
                   RoadHitGroup* out, int stride, int lane) {
    const __m128 x = _mm_loadu_ps(xs4);
    const __m128 zero = _mm_setzero_ps(), one = _mm_set1_ps(1.0f);
    __m128 best[ROWS], best_param[ROWS];
    __m128i best_segment[ROWS];
    for (int r = 0; r < ROWS; ++r) {
        best[r] = _mm_set1_ps(NO_HIT_D2);
        best_param[r] = zero;
        best_segment[r] = _mm_set1_epi32(-1);
    }
    for (const uint8_t* s = list; s != end; ++s) {
        const RoadLine& g = lines[*s];
        const __m128 ax = _mm_set1_ps(g.ax), ay = _mm_set1_ps(g.ay);
        const __m128 dx = _mm_set1_ps(g.dx), dy = _mm_set1_ps(g.dy);
        const __m128 len2 = _mm_set1_ps(g.len2);
        const __m128i segment = _mm_set1_epi32(*s);
        const bool degenerate = g.len2 <= 0.0f;
        const __m128 along_x = _mm_mul_ps(_mm_sub_ps(x, ax), dx);
        for (int r = 0; r < ROWS; ++r) {
            const __m128 y = _mm_set1_ps(ys[r]);
            __m128 p = zero;
            if (!degenerate) {
                const __m128 num = _mm_add_ps(along_x, _mm_mul_ps(_mm_sub_ps(y, ay), dy));
                // max then min clamps like clampf; a -0 turned into +0 changes
                // no sum, product or distance below.
                p = _mm_min_ps(_mm_max_ps(_mm_div_ps(num, len2), zero), one);
            }
            const __m128 ex = _mm_sub_ps(x, _mm_add_ps(ax, _mm_mul_ps(dx, p)));
            const __m128 ey = _mm_sub_ps(y, _mm_add_ps(ay, _mm_mul_ps(dy, p)));
            const __m128 d2 = _mm_add_ps(_mm_mul_ps(ex, ex), _mm_mul_ps(ey, ey));
            const __m128 nearer = _mm_cmplt_ps(d2, best[r]);
            best[r] = _mm_or_ps(_mm_and_ps(nearer, d2), _mm_andnot_ps(nearer, best[r]));
            best_param[r] = _mm_or_ps(_mm_and_ps(nearer, p), _mm_andnot_ps(nearer, best_param[r]));
            const __m128i take = _mm_castps_si128(nearer);
            best_segment[r] = _mm_or_si128(_mm_and_si128(take, segment), _mm_andnot_si128(take, best_segment[r]));
        }
    }
    for (int r = 0; r < ROWS; ++r) {
        RoadHitGroup& hits = out[r * stride];
        _mm_storeu_ps(hits.d2 + lane, best[r]);
        _mm_storeu_ps(hits.param + lane, best_param[r]);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(hits.segment + lane), best_segment[r]);
    }
}

void nearest_road(const RoadLine* lines, const uint8_t* list, const uint8_t* end, const float* xs, int count,
                  const float* ys, int rows, RoadHitGroup* out) {
    const int groups = group_count(count);
    for (int c = 0; c * 4 < count; ++c) {
        RoadHitGroup* first = out + c / 2;
        const int lane = c % 2 * 4;
        if (rows == 4) {
            nearest_rows4<4>(lines, list, end, xs + 4 * c, ys, first, groups, lane);
        } else if (rows == 3) {
            nearest_rows4<3>(lines, list, end, xs + 4 * c, ys, first, groups, lane);
        } else {
            for (int r = 0; r < rows; ++r)
                nearest_rows4<1>(lines, list, end, xs + 4 * c, ys + r, first + r * groups, groups, lane);
        }
    }
    clear_lanes_past(count, rows, out);
}

// The shading of four neighbouring samples of a group. Every lane may be
// shaded: out of reach (or with no hit) each weight is exactly zero and a mix
// of weight zero adds only a signed zero to a non-negative colour, so nothing
// changes; the portable kernel's early return likewise only skips mixes of
// weight zero. The centre line's dash test stays scalar.
void shade_road4(const RoadHitGroup& hits, int lane, const float* arc, float* red, float* green, float* blue) {
    const __m128 d2 = _mm_loadu_ps(hits.d2 + lane);
    if (_mm_movemask_ps(_mm_cmple_ps(d2, _mm_set1_ps(ROAD_REACH2))) == 0) return;  // all out of reach
    const __m128 dist = _mm_sqrt_ps(d2);
    __m128 r = _mm_loadu_ps(red), g = _mm_loadu_ps(green), b = _mm_loadu_ps(blue);
    const __m128 glow =
        _mm_mul_ps(_mm_set1_ps(ROAD_GLOW_STRENGTH),
                   smooth4(_mm_div_ps(_mm_sub_ps(dist, _mm_set1_ps(ROAD_REACH)), _mm_set1_ps(ROAD_GLOW_SPREAD))));
    mix4(r, g, b, ROAD_GLOW, glow);
    // From ASPHALT_EDGE on the asphalt and the centre line weigh exactly zero, from LINE_EDGE on the line.
    if (_mm_movemask_ps(_mm_cmplt_ps(dist, _mm_set1_ps(ASPHALT_EDGE))) != 0) {
        const __m128 cover =
            smooth4(_mm_div_ps(_mm_sub_ps(dist, _mm_set1_ps(ASPHALT_EDGE)), _mm_set1_ps(ASPHALT_SPREAD)));
        mix4(r, g, b, ASPHALT, cover);
        if (_mm_movemask_ps(_mm_cmplt_ps(dist, _mm_set1_ps(LINE_EDGE))) != 0) {
            __m128 line = smooth4(_mm_div_ps(_mm_sub_ps(dist, _mm_set1_ps(LINE_EDGE)), _mm_set1_ps(LINE_SPREAD)));
            const int drawn = ~_mm_movemask_ps(_mm_cmpeq_ps(line, _mm_setzero_ps())) & 15;
            float lines[4];
            _mm_storeu_ps(lines, line);
            for (int j = 0; j < 4; ++j) {
                const int s = hits.segment[lane + j];
                if ((drawn >> j & 1) && !dash_on(arc_at(arc, s, hits.param[lane + j]))) lines[j] = 0.0f;
            }
            line = _mm_loadu_ps(lines);
            mix4(r, g, b, CENTRE_LINE, _mm_mul_ps(cover, line));
        }
    }
    _mm_storeu_ps(red, r);
    _mm_storeu_ps(green, g);
    _mm_storeu_ps(blue, b);
}

void shade_road(const RoadHitGroup* groups, const int* at, int count, const float* arc, float* red, float* green,
                float* blue) {
    for (int t = 0; t < count; ++t)
        for (int lane = 0; lane < GROUP_LANES; lane += 4) {
            const int q = at[t] + lane;
            shade_road4(groups[t], lane, arc, red + q, green + q, blue + q);
        }
}

// [SECTION] Sun

// hypot of four float pairs as glibc's hypotf computes it: the double square
// root of the double sum of squares, rounded to float.
__m128 hypot4(__m128 x, __m128 y) {
    auto half = [](__m128d a, __m128d b) {
        return _mm_cvtpd_ps(_mm_sqrt_pd(_mm_add_pd(_mm_mul_pd(a, a), _mm_mul_pd(b, b))));
    };
    const __m128 lo = half(_mm_cvtps_pd(x), _mm_cvtps_pd(y));
    const __m128 hi = half(_mm_cvtps_pd(_mm_movehl_ps(x, x)), _mm_cvtps_pd(_mm_movehl_ps(y, y)));
    return _mm_movelh_ps(lo, hi);
}

// The sun for the four samples at xs4. Both mixes may run everywhere: out of
// the glow's or the disc's reach their weight is exactly zero and a mix of
// weight zero adds only a signed zero to a non-negative colour.
void sun_over4(const Color& sky, const float* xs4, float sy, float* red, float* green, float* blue) {
    const __m128 sx = _mm_sub_ps(_mm_loadu_ps(xs4), _mm_set1_ps(SUN_X));
    const __m128 d = hypot4(sx, _mm_set1_ps(sy));
    const __m128 glow = smooth4(_mm_mul_ps(_mm_sub_ps(d, _mm_set1_ps(SUN_GLOW_REACH)), _mm_set1_ps(SUN_GLOW_SLOPE)));
    __m128 r = _mm_set1_ps(sky.r), g = _mm_set1_ps(sky.g), b = _mm_set1_ps(sky.b);
    mix4(r, g, b, SUN_GLOW, _mm_mul_ps(_mm_set1_ps(SUN_GLOW_STRENGTH), _mm_mul_ps(glow, glow)));
    if (_mm_movemask_ps(_mm_cmplt_ps(d, _mm_set1_ps(SUN_DISC_EDGE))) == 0) {  // the disc weighs zero
        _mm_storeu_ps(red, r);
        _mm_storeu_ps(green, g);
        _mm_storeu_ps(blue, b);
        return;
    }
    const __m128 q =
        _mm_min_ps(_mm_set1_ps(1.0f), _mm_max_ps(_mm_setzero_ps(), _mm_div_ps(d, _mm_set1_ps(SUN_DISC_RADIUS))));
    const __m128 tg = _mm_add_ps(_mm_set1_ps(SUN_DISC_GREEN), _mm_mul_ps(_mm_set1_ps(SUN_GREEN_FALL), q));
    const __m128 tb = _mm_sub_ps(_mm_set1_ps(SUN_DISC_BLUE), _mm_mul_ps(_mm_set1_ps(SUN_BLUE_FALL), q));
    const __m128 w = smooth4(_mm_mul_ps(_mm_sub_ps(d, _mm_set1_ps(SUN_DISC_EDGE)), _mm_set1_ps(SUN_DISC_SLOPE)));
    _mm_storeu_ps(red, _mm_add_ps(r, _mm_mul_ps(_mm_sub_ps(_mm_set1_ps(SUN_DISC_RED), r), w)));
    _mm_storeu_ps(green, _mm_add_ps(g, _mm_mul_ps(_mm_sub_ps(tg, g), w)));
    _mm_storeu_ps(blue, _mm_add_ps(b, _mm_mul_ps(_mm_sub_ps(tb, b), w)));
}

void sun_run(const Color& sky, const float* xs, int count, float sy, float* red, float* green, float* blue) {
    for (int q = 0; q < count; q += 4) sun_over4(sky, xs + q, sy, red + q, green + q, blue + q);
}

// [SECTION] Averaging

// The sums of one colour plane for the four pixels from sample column `at`
// on (four samples a pixel): lane t is pixel t, summed over rows then columns
// like the portable loop.
__m128 plane_sums4(const float* plane, int stride, size_t at) {
    __m128 sum = _mm_setzero_ps();
    for (int i = 0; i < 4; ++i) {
        const float* row = plane + static_cast<size_t>(i) * stride + at;
        __m128 s0 = _mm_loadu_ps(row), s1 = _mm_loadu_ps(row + 4), s2 = _mm_loadu_ps(row + 8),
               s3 = _mm_loadu_ps(row + 12);
        _MM_TRANSPOSE4_PS(s0, s1, s2, s3);
        sum = _mm_add_ps(_mm_add_ps(_mm_add_ps(_mm_add_ps(sum, s0), s1), s2), s3);
    }
    return sum;
}

// to_byte(sum / h * 255 + 0.5) of four lanes, as integers.
__m128i channel_bytes4(__m128 sum, __m128 h) {
    const __m128 v = _mm_add_ps(_mm_mul_ps(_mm_div_ps(sum, h), _mm_set1_ps(255.0f)), _mm_set1_ps(0.5f));
    // Up to 0 gives 0 and from 255 on 255 as in to_byte; in between both truncate.
    return _mm_cvttps_epi32(_mm_min_ps(_mm_set1_ps(255.0f), _mm_max_ps(_mm_setzero_ps(), v)));
}

// Four samples a pixel: four pixels at a time; the rest as the portable kernel does.
void average_pixels(const float* red, const float* green, const float* blue, int stride, int k, const int* inside_begin,
                    const int* inside_end, int first, int end, uint8_t* out) {
    int px = first;
    for (; k == 4 && px + 3 < end; px += 4) {
        alignas(16) int32_t h[4];
        for (int t = 0; t < 4; ++t) {
            const int left = (px + t) * 4;
            h[t] = 0;
            for (int i = 0; i < 4; ++i) {
                const int right = left + 4 < inside_end[i] ? left + 4 : inside_end[i];
                const int overlap = right - (left > inside_begin[i] ? left : inside_begin[i]);
                h[t] += overlap > 0 ? overlap : 0;
            }
        }
        const __m128 hs = _mm_cvtepi32_ps(_mm_load_si128(reinterpret_cast<const __m128i*>(h)));
        const size_t at = static_cast<size_t>(px) * 4;
        alignas(16) int32_t bytes[3][4];
        _mm_store_si128(reinterpret_cast<__m128i*>(bytes[0]), channel_bytes4(plane_sums4(red, stride, at), hs));
        _mm_store_si128(reinterpret_cast<__m128i*>(bytes[1]), channel_bytes4(plane_sums4(green, stride, at), hs));
        _mm_store_si128(reinterpret_cast<__m128i*>(bytes[2]), channel_bytes4(plane_sums4(blue, stride, at), hs));
        for (int t = 0; t < 4; ++t) {
            // No sample inside: zero (its sums divide by zero).
            const bool empty = h[t] == 0;
            uint8_t* o = out + (at + static_cast<size_t>(t) * 4);
            o[0] = empty ? 0 : static_cast<uint8_t>(bytes[0][t]);
            o[1] = empty ? 0 : static_cast<uint8_t>(bytes[1][t]);
            o[2] = empty ? 0 : static_cast<uint8_t>(bytes[2][t]);
            o[3] = static_cast<uint8_t>(h[t] * 255 / 16);
        }
    }
    average_pixels_portable(red, green, blue, stride, k, inside_begin, inside_end, px, end, out);
}

}  // namespace

EmblemKernels sse2_kernels() { return {EmblemLevel::SSE2, nearest_road, shade_road, sun_run, average_pixels}; }
