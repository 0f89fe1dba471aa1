// The dithering's AVX-512 loops: 64 pixels at a time from the picture's bytes to the
// diffusion's A and B or to painted ordered dots, with the portable loops' arithmetic step for
// step, so that both give the same bits.

#include "separation/DitherPlan.h"
#include "separation/PlanePermutes.h"

#ifdef LOGOSMITH_DITHER_VECTOR

#include <cstddef>
#include <cstdint>
#include <cstring>

#include <immintrin.h>

// Helpers of the vector loops: inlined, so that their vectors never pass through memory.
#define LOGOSMITH_AVX512_INLINE                                                                    \
    __attribute__((target("avx512f,avx512bw,avx512vbmi"), always_inline)) inline
// GCC's own vector headers trip this warning (their "undefined" vectors).
#pragma GCC diagnostic push
#if !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif

namespace logosmith::separation_detail {

namespace {

// The plane permutes, with the vector loops' own tables.
struct alignas(64) PlaneShuffles : PlanePermutes {
    std::uint8_t linearLow[256], linearHigh[256];
    // Byte indices that join the low and high bytes of pixels 16q to 16q + 15 into 32-bit
    // lanes (the upper two bytes are masked off).
    alignas(64) std::uint8_t quarterJoin[4][64];
    PlaneShuffles() {
        for (int q = 0; q < 4; ++q)
            for (int k = 0; k < 64; ++k)
                quarterJoin[q][k] = std::uint8_t(16 * q + k / 4 + (k % 4 == 1 ? 64 : 0));
        const auto& lin = linearTable();
        for (int v = 0; v < 256; ++v) {
            linearLow[v] = std::uint8_t(lin[std::size_t(v)]);
            linearHigh[v] = std::uint8_t(lin[std::size_t(v)] >> 8);
        }
    }
};

const PlaneShuffles& planeShuffles() {
    static const PlaneShuffles shuffles;
    return shuffles;
}

LOGOSMITH_AVX512_INLINE __m512i lookup256(const __m512i (&table)[4], __m512i index) {
    const __m512i low = _mm512_permutex2var_epi8(table[0], index, table[1]);
    const __m512i high = _mm512_permutex2var_epi8(table[2], index, table[3]);
    return _mm512_mask_blend_epi8(_mm512_movepi8_mask(index), low, high);
}

LOGOSMITH_AVX512_INLINE void load256(const std::uint8_t* bytes, __m512i (&table)[4]) {
    for (int part = 0; part < 4; ++part)
        table[part] = _mm512_loadu_si512(bytes + 64 * part);
}

// The share arithmetic of sharesFromProjections on 16 lanes, step for step.
struct VectorShares {
    __m512 a1[3], a2[3], offset1, offset2;
    __m512 g11, g12, g22, invDet, invG11, invG22, invLR, lrShift, k, bend;
    Layout layout;
    bool curved;

    LOGOSMITH_AVX512_INLINE explicit VectorShares(const DitherPlan& plan)
        : layout(plan.layout), curved(plan.lBend != 0) {
        for (int j = 0; j < 3; ++j) {
            a1[j] = _mm512_set1_ps(plan.a1[std::size_t(j)]);
            a2[j] = _mm512_set1_ps(plan.a2[std::size_t(j)]);
        }
        offset1 = _mm512_set1_ps(plan.offset1);
        offset2 = _mm512_set1_ps(plan.offset2);
        g11 = _mm512_set1_ps(plan.g11);
        g12 = _mm512_set1_ps(plan.g12);
        g22 = _mm512_set1_ps(plan.g22);
        invDet = _mm512_set1_ps(plan.invDet);
        invG11 = _mm512_set1_ps(plan.invG11);
        invG22 = _mm512_set1_ps(plan.invG22);
        invLR = _mm512_set1_ps(plan.invLR);
        lrShift = _mm512_set1_ps(plan.g11 - plan.g12);
        k = _mm512_set1_ps(plan.k);
        bend = _mm512_set1_ps(plan.lBend);
    }

    LOGOSMITH_AVX512_INLINE static __m512 clamp01(__m512 x) {
        return _mm512_min_ps(_mm512_max_ps(x, _mm512_setzero_ps()), _mm512_set1_ps(1.0f));
    }

    LOGOSMITH_AVX512_INLINE void shares(const __m512 (&q)[3], __mmask16 may, __m512& u,
                                        __m512& v) const {
        const __m512 d1 = _mm512_add_ps(
            _mm512_add_ps(_mm512_add_ps(_mm512_mul_ps(q[0], a1[0]), _mm512_mul_ps(q[1], a1[1])),
                          _mm512_mul_ps(q[2], a1[2])),
            offset1);
        const __m512 d2 = _mm512_add_ps(
            _mm512_add_ps(_mm512_add_ps(_mm512_mul_ps(q[0], a2[0]), _mm512_mul_ps(q[1], a2[1])),
                          _mm512_mul_ps(q[2], a2[2])),
            offset2);
        const __m512 zero = _mm512_setzero_ps(), one = _mm512_set1_ps(1.0f);
        const __m512 two = _mm512_set1_ps(2.0f);
        __m512 fu, fv;
        switch (layout) {
        case Layout::Triangle: {
            const __m512 u0 = _mm512_mul_ps(
                _mm512_sub_ps(_mm512_mul_ps(g22, d1), _mm512_mul_ps(g12, d2)), invDet);
            const __m512 v0 = _mm512_mul_ps(
                _mm512_sub_ps(_mm512_mul_ps(g11, d2), _mm512_mul_ps(g12, d1)), invDet);
            const __m512 tl = clamp01(_mm512_mul_ps(d1, invG11));
            const __m512 tr = clamp01(_mm512_mul_ps(d2, invG22));
            const __m512 tm =
                clamp01(_mm512_mul_ps(_mm512_add_ps(_mm512_sub_ps(d2, d1), lrShift), invLR));
            const __m512 um = _mm512_sub_ps(one, tm);
            const __m512 costL =
                _mm512_mul_ps(tl, _mm512_sub_ps(_mm512_mul_ps(tl, g11), _mm512_mul_ps(two, d1)));
            const __m512 costR =
                _mm512_mul_ps(tr, _mm512_sub_ps(_mm512_mul_ps(tr, g22), _mm512_mul_ps(two, d2)));
            const __m512 costM = _mm512_add_ps(
                _mm512_mul_ps(
                    um, _mm512_sub_ps(_mm512_add_ps(_mm512_mul_ps(um, g11),
                                                    _mm512_mul_ps(_mm512_mul_ps(two, tm), g12)),
                                      _mm512_mul_ps(two, d1))),
                _mm512_mul_ps(tm, _mm512_sub_ps(_mm512_mul_ps(tm, g22), _mm512_mul_ps(two, d2))));
            const __mmask16 rBeatsL = _mm512_cmp_ps_mask(costR, costL, _CMP_LT_OQ);
            const __mmask16 middle =
                _mm512_cmp_ps_mask(costM, _mm512_mask_blend_ps(rBeatsL, costL, costR), _CMP_LT_OQ);
            const __m512 edgeU =
                _mm512_mask_blend_ps(middle, _mm512_mask_blend_ps(rBeatsL, tl, zero), um);
            const __m512 edgeV =
                _mm512_mask_blend_ps(middle, _mm512_mask_blend_ps(rBeatsL, zero, tr), tm);
            const __mmask16 inside = _mm512_cmp_ps_mask(u0, zero, _CMP_GE_OQ) &
                                     _mm512_cmp_ps_mask(v0, zero, _CMP_GE_OQ) &
                                     _mm512_cmp_ps_mask(_mm512_add_ps(u0, v0), one, _CMP_LE_OQ);
            fu = _mm512_mask_blend_ps(may, tl, _mm512_mask_blend_ps(inside, edgeU, u0));
            fv = _mm512_mask_blend_ps(may, zero, _mm512_mask_blend_ps(inside, edgeV, v0));
            break;
        }
        case Layout::LEdge:
            fu = clamp01(_mm512_mul_ps(d1, invG11));
            fv = zero;
            break;
        case Layout::REdge:
            fu = zero;
            fv = _mm512_mask_blend_ps(may, zero, clamp01(_mm512_mul_ps(d2, invG22)));
            break;
        default:
            fu = fv = zero;
            break;
        }
        if (!curved) { // L VALUE 100: k = 1, nothing to bend
            u = fu;
            v = fv;
            return;
        }
        const __m512 rest = _mm512_div_ps(one, _mm512_add_ps(one, _mm512_mul_ps(bend, fu)));
        u = _mm512_mul_ps(_mm512_mul_ps(k, fu), rest);
        v = _mm512_mul_ps(fv, rest);
    }
};

// 64 pixels split into planes: each byte's 16-bit linear value as its low and high bytes, and
// the channel sum and the plain colour score of each pixel in 16 bits (pixels 0-31, 32-63).
struct PixelGroup {
    __m512i linearLow[3], linearHigh[3], sum[2], score[2];
};

// What the R-ink limit table holds, worked out on 16 lanes.
struct RLimitRule {
    __m512 whole, lValue;
    __m512i tie;
    __mmask16 rDots;
    LOGOSMITH_AVX512_INLINE explicit RLimitRule(const DitherPlan& plan)
        : whole(_mm512_set1_ps(765.0f)), lValue(_mm512_set1_ps(float(plan.lValue))),
          tie(_mm512_set1_epi32(plan.tie)), rDots(plan.rDots ? 0xffff : 0) {}
};

struct VectorTables {
    __m512i linearLow[4], linearHigh[4], allowance[4];
    __m512i target[3];
    bool counted[3];
};

// Sixteen-bit words of bytes 0-31 (Half 0) or 32-63 (Half 1).
template <int Half> LOGOSMITH_AVX512_INLINE __m512i wordsOf(__m512i bytes) {
    return _mm512_cvtepu8_epi16(_mm512_extracti64x4_epi64(bytes, Half));
}

LOGOSMITH_AVX512_INLINE void loadGroup(const PlaneShuffles& sh, const VectorTables& t,
                                       const std::uint8_t* p, PixelGroup& g) {
    const __m512i block0 = _mm512_loadu_si512(p);
    const __m512i block1 = _mm512_loadu_si512(p + 64);
    const __m512i block2 = _mm512_loadu_si512(p + 128);
    g.sum[0] = g.sum[1] = g.score[0] = g.score[1] = _mm512_setzero_si512();
#pragma GCC unroll 3
    for (int j = 0; j < 3; ++j) {
        __m512i plane = _mm512_permutex2var_epi8(block0, _mm512_load_si512(sh.splitLow[j]), block1);
        plane = _mm512_mask_permutexvar_epi8(plane, sh.splitFromThird[j],
                                             _mm512_load_si512(sh.splitHigh[j]), block2);
        g.linearLow[j] = lookup256(t.linearLow, plane);
        g.linearHigh[j] = lookup256(t.linearHigh, plane);
        g.sum[0] = _mm512_add_epi16(g.sum[0], wordsOf<0>(plane));
        g.sum[1] = _mm512_add_epi16(g.sum[1], wordsOf<1>(plane));
        const __m512i distance = _mm512_or_si512(_mm512_subs_epu8(plane, t.target[j]),
                                                 _mm512_subs_epu8(t.target[j], plane));
        g.score[0] = _mm512_add_epi16(g.score[0], wordsOf<0>(distance));
        g.score[1] = _mm512_add_epi16(g.score[1], wordsOf<1>(distance));
        if (t.counted[j]) {
            const __m512i credit = lookup256(t.allowance, plane);
            g.score[0] = _mm512_sub_epi16(g.score[0], wordsOf<0>(credit));
            g.score[1] = _mm512_sub_epi16(g.score[1], wordsOf<1>(credit));
        }
    }
}

// Quarter Q (16 pixels) of a group: the linear values as floats and the R-ink permission.
template <int Q>
LOGOSMITH_AVX512_INLINE __mmask16 quarterOf(const PlaneShuffles& sh, const PixelGroup& g,
                                            const RLimitRule& rLimit, __m512 (&q)[3]) {
    const __m512i join = _mm512_load_si512(sh.quarterJoin[Q]);
    constexpr __mmask64 lowTwoBytes = 0x3333333333333333;
#pragma GCC unroll 3
    for (int j = 0; j < 3; ++j)
        q[j] = _mm512_cvtepi32_ps(
            _mm512_maskz_permutex2var_epi8(lowTwoBytes, g.linearLow[j], join, g.linearHigh[j]));
    const __m512i sum = _mm512_cvtepu16_epi32(_mm512_extracti64x4_epi64(g.sum[Q / 2], Q % 2));
    const __m512i score = _mm512_cvtepi16_epi32(_mm512_extracti64x4_epi64(g.score[Q / 2], Q % 2));
    // L VALUE / (765 / sum) in floats is exact: each quotient is at least 1/765 from the next
    // whole number, far more than a float's rounding. A sum of 0 gives 765 / 0 = infinity and
    // an allowance of 0, as it should.
    const __m512 sums = _mm512_cvtepi32_ps(sum);
    const __m512 share =
        _mm512_roundscale_ps(_mm512_div_ps(rLimit.whole, sums), _MM_FROUND_TO_NEG_INF);
    const __m512i allowance = _mm512_cvttps_epi32(_mm512_div_ps(rLimit.lValue, share));
    const __m512i limit = _mm512_add_epi32(_mm512_sub_epi32(sum, allowance), rLimit.tie);
    return rLimit.rDots & _mm512_cmplt_epi32_mask(score, limit);
}

LOGOSMITH_AVX512_INLINE void tablesOf(const DitherPlan& plan, VectorTables& t) {
    const PlaneShuffles& sh = planeShuffles();
    load256(sh.linearLow, t.linearLow);
    load256(sh.linearHigh, t.linearHigh);
    load256(plan.score.allowance.data(), t.allowance);
    for (int j = 0; j < 3; ++j) {
        t.target[j] = _mm512_set1_epi8(char(plan.score.target[std::size_t(j)]));
        t.counted[j] = plan.score.counted[std::size_t(j)];
    }
}

template <int Q>
LOGOSMITH_AVX512_INLINE void storeQuarter(const PlaneShuffles& sh, const VectorShares& vs,
                                          const PixelGroup& g, const RLimitRule& rLimit,
                                          const __m512 (&gram)[3], std::int32_t* a, std::int32_t* b,
                                          std::int32_t* may) {
    __m512 q[3], su, sv;
    const __mmask16 mayR = quarterOf<Q>(sh, g, rLimit, q);
    vs.shares(q, mayR, su, sv);
    const __m512 fa = _mm512_add_ps(_mm512_mul_ps(su, gram[0]), _mm512_mul_ps(sv, gram[1]));
    const __m512 fb = _mm512_add_ps(_mm512_mul_ps(su, gram[1]), _mm512_mul_ps(sv, gram[2]));
    _mm512_storeu_si512(a + 16 * Q, _mm512_cvttps_epi32(fa));
    _mm512_storeu_si512(b + 16 * Q, _mm512_cvttps_epi32(fb));
    _mm512_storeu_si512(may + 16 * Q, _mm512_maskz_set1_epi32(mayR, -1));
}

} // namespace

LOGOSMITH_AVX512 void vectorInnerProducts(const DitherPlan& plan, const GramScale& scale,
                                          const std::uint8_t* in, std::size_t width, RowShares& w) {
    const PlaneShuffles& sh = planeShuffles();
    VectorTables t;
    tablesOf(plan, t);
    const VectorShares vs(plan);
    const RLimitRule rLimit(plan);
    const __m512 gram[3] = {_mm512_set1_ps(scale.g11), _mm512_set1_ps(scale.g12),
                            _mm512_set1_ps(scale.g22)};
    alignas(64) std::uint8_t last[192] = {};
    for (std::size_t x = 0; x < width; x += 64) {
        const std::uint8_t* group = in + 3 * x;
        if (x + 64 > width) {
            std::memcpy(last, group, 3 * (width - x));
            group = last;
        }
        PixelGroup g;
        loadGroup(sh, t, group, g);
        std::int32_t* a = w.a.data() + x;
        std::int32_t* b = w.b.data() + x;
        std::int32_t* may = w.mayTakeR.data() + x;
        storeQuarter<0>(sh, vs, g, rLimit, gram, a, b, may);
        storeQuarter<1>(sh, vs, g, rLimit, gram, a, b, may);
        storeQuarter<2>(sh, vs, g, rLimit, gram, a, b, may);
        storeQuarter<3>(sh, vs, g, rLimit, gram, a, b, may);
    }
}

namespace {

template <int Q>
LOGOSMITH_AVX512_INLINE void orderedQuarter(const PlaneShuffles& sh, const VectorShares& vs,
                                            const PixelGroup& g, const RLimitRule& rLimit,
                                            __m512 threshold, std::uint64_t& lDots,
                                            std::uint64_t& rDots) {
    __m512 q[3], u, v;
    const __mmask16 mayR = quarterOf<Q>(sh, g, rLimit, q);
    vs.shares(q, mayR, u, v);
    const __mmask16 l = _mm512_cmp_ps_mask(threshold, u, _CMP_LT_OQ);
    const __mmask16 r =
        __mmask16(~l) & _mm512_cmp_ps_mask(threshold, _mm512_add_ps(u, v), _CMP_LT_OQ);
    lDots |= std::uint64_t(l) << (16 * Q);
    rDots |= std::uint64_t(r) << (16 * Q);
}

} // namespace

LOGOSMITH_AVX512 void vectorOrdered(const DitherPlan& plan, const std::uint8_t* in,
                                    std::size_t width, const float* thresholds, std::uint8_t* out) {
    const PlaneShuffles& sh = planeShuffles();
    VectorTables t;
    tablesOf(plan, t);
    const VectorShares vs(plan);
    const RLimitRule rLimit(plan);
    const __m512 threshold = _mm512_loadu_ps(thresholds);
    __m512i paper[3], lInk[3], rInk[3];
    for (int j = 0; j < 3; ++j) {
        paper[j] = _mm512_set1_epi8(char(plan.paint[0] >> (8 * j)));
        lInk[j] = _mm512_set1_epi8(char(plan.paint[1] >> (8 * j)));
        rInk[j] = _mm512_set1_epi8(char(plan.paint[2] >> (8 * j)));
    }
    alignas(64) std::uint8_t last[192] = {};
    for (std::size_t x = 0; x < width; x += 64) {
        const bool whole = x + 64 <= width;
        if (!whole)
            std::memcpy(last, in + 3 * x, 3 * (width - x));
        PixelGroup g;
        loadGroup(sh, t, whole ? in + 3 * x : last, g);
        std::uint64_t lDots = 0, rDots = 0;
        orderedQuarter<0>(sh, vs, g, rLimit, threshold, lDots, rDots);
        orderedQuarter<1>(sh, vs, g, rLimit, threshold, lDots, rDots);
        orderedQuarter<2>(sh, vs, g, rLimit, threshold, lDots, rDots);
        orderedQuarter<3>(sh, vs, g, rLimit, threshold, lDots, rDots);
        __m512i colour[3];
        for (int j = 0; j < 3; ++j)
            colour[j] = _mm512_mask_blend_epi8(
                lDots, _mm512_mask_blend_epi8(rDots, paper[j], rInk[j]), lInk[j]);
        std::uint8_t* q = whole ? out + 3 * x : last;
        for (int j = 0; j < 3; ++j) {
            __m512i joined =
                _mm512_permutex2var_epi8(colour[0], _mm512_load_si512(sh.joinLow[j]), colour[1]);
            joined = _mm512_mask_permutexvar_epi8(joined, sh.joinFromThird[j],
                                                  _mm512_load_si512(sh.joinHigh[j]), colour[2]);
            _mm512_storeu_si512(q + 64 * j, joined);
        }
        if (!whole)
            std::memcpy(out + 3 * x, last, 3 * (width - x));
    }
}

} // namespace logosmith::separation_detail

#pragma GCC diagnostic pop
#endif
