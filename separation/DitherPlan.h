#pragma once

// What the dithering's files share: the plan built from the settings, the four-lane share
// arithmetic, one row's working storage and the steps every way of dithering takes.

#include "separation/Separation.h"
#include "separation/SeparationInternal.h"

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <stop_token>
#include <vector>

#if defined(__x86_64__) && defined(__GNUC__)
// The AVX-512 loops of DitherVector.cpp are built, for processors that have byte permutes.
#define LOGOSMITH_DITHER_VECTOR 1
#define LOGOSMITH_AVX512 __attribute__((target("avx512f,avx512bw,avx512vbmi")))
#endif

namespace logosmith::separation_detail {

// Linear light of each sRGB byte in 16 bits: plenty for dots, and the same numbers whichever
// loop reads them.
const std::array<std::uint16_t, 256>& linearTable();

// Which shares a rebuild can use at all, from the ink colours.
enum class Layout {
    Triangle, // L, R and paper span a plane
    LEdge,    // no usable R ink (Off, or R ink on the line of L ink and paper)
    REdge,    // L ink shows as paper: only R ink and paper
    PaperOnly
};

// Everything that depends only on the settings, built once per rebuild. Byte positions are
// those of a pixel (0 blue, 1 green, 2 red) with the channel exchanges folded in.
struct DitherPlan {
    Layout layout = Layout::PaperOnly;
    bool lUsable = false;
    // d1 = (c - P).e1 and d2 = (c - P).e2, where e1 = L - P and e2 = R - P in linear RGB, as
    // ((q0 * a[0] + q1 * a[1]) + q2 * a[2]) + offset from the 16-bit linear values q.
    std::array<float, 3> a1{}, a2{};
    float offset1 = 0, offset2 = 0;
    // The plain rule's colour score in pieces.
    ColourScoreTerms score;
    // A pixel may take R ink when its colour score is below this limit for its channel sum.
    std::array<std::int32_t, 766> rLimit{};
    // The same limits as a rule, s - L VALUE / (765 / s) + tie, for the vector loops.
    bool rDots = false;
    int lValue = 0, tie = 0;
    // Gram matrix of e1, e2 and what the projections need of it.
    float g11 = 0, g12 = 0, g22 = 0;
    float invDet = 0, invG11 = 0, invG22 = 0, invLR = 0;
    float k = 1, lBend = 0; // the L VALUE curve k*w / (1 + (k - 1)*w)
    // Display colour (bytes blue, green, red) of each dot: 0 paper, 1 L ink, 2 R ink.
    std::array<std::uint32_t, 3> paint{};
};

void buildPlan(const SeparationSettings& settings, DitherPlan& plan);

// Four lanes of the share arithmetic. Selects, minima and maxima are spelt out so that any
// wider loop doing the same steps gets the same bits.
using Floats = float __attribute__((vector_size(16)));
using Ints = std::int32_t __attribute__((vector_size(16)));
constexpr std::size_t lanes = 4;
// Rows are worked on in whole blocks of this many pixels; the spare lanes are never used.
constexpr std::size_t block = 64;

inline Floats pick(Ints mask, Floats yes, Floats no) {
    return std::bit_cast<Floats>((mask & std::bit_cast<Ints>(yes)) |
                                 (~mask & std::bit_cast<Ints>(no)));
}
inline Floats clamp01(Floats x) {
    const Floats zero = Floats{} + 0.0f, one = Floats{} + 1.0f;
    x = pick(x > zero, x, zero);
    return pick(x < one, x, one);
}
inline Floats load(const float* p) {
    Floats v;
    std::memcpy(&v, p, sizeof v);
    return v;
}
inline void save(float* p, Floats v) {
    std::memcpy(p, &v, sizeof v);
}

// The Gram matrix in the diffusion's fixed point: A = u*g11 + v*g12 and B = u*g12 + v*g22.
struct GramScale {
    float g11 = 0, g12 = 0, g22 = 0;
};

// One row's shares: u (L ink), v (R ink) and whether the pixel may take R ink (0 or -1); the
// dots chosen; for the diffusion also A and B in fixed point.
struct RowShares {
    std::vector<float> u, v;
    std::vector<std::int32_t> mayTakeR;
    std::vector<std::uint8_t> dots;
    std::vector<std::int32_t> a, b;
    std::size_t width;
    explicit RowShares(std::size_t pixels, bool diffusion = false)
        : u(padded(pixels)), v(padded(pixels)), mayTakeR(padded(pixels)), dots(padded(pixels)),
          a(diffusion ? padded(pixels) : 0), b(a.size()), width(pixels) {}
    static std::size_t padded(std::size_t width) { return (width + block - 1) / block * block; }
};

// The portable way to a row's shares: table reads pixel by pixel, then four lanes at a time.
void portableShares(const DitherPlan& plan, const std::uint8_t* in, std::size_t width,
                    RowShares& w);

// Paints a row of dots (0 paper, 1 L ink, 2 R ink) in their display colours.
void paintRow(const DitherPlan& plan, const std::uint8_t* dots, std::size_t width,
              std::uint8_t* out);

// The dots of the whole picture into preview, sized like working. vector: by the AVX-512 loops;
// fastest (diffusion and best): with the helper threads and the vector pass from pixel to
// pixel, where the processor has them. dots, when given, also gets the diffusion's dots (0 paper,
// 1 L ink, 2 R ink), row after row. The best halftone gives up, leaving preview unfinished and
// returning false, when stop is requested.
void rebuildOrdered(const DitherPlan& plan, bool vector, const Picture& working, Picture& preview);
void rebuildDiffused(const DitherPlan& plan, bool vector, bool fastest, const Picture& working,
                     Picture& preview, std::uint8_t* dots = nullptr);
bool rebuildBest(const DitherPlan& plan, bool vector, bool fastest, const Picture& working,
                 Picture& preview, const std::stop_token& stop);

#ifdef LOGOSMITH_DITHER_VECTOR
// The diffusion's A and B of a row, 64 pixels at a time; the last group is read from a copy.
LOGOSMITH_AVX512 void vectorInnerProducts(const DitherPlan& plan, const GramScale& scale,
                                          const std::uint8_t* in, std::size_t width, RowShares& w);

// Ordered dots of a row, 64 pixels at a time, painted straight into out; the last group goes
// through a copy. thresholds: the matrix row, 16 values.
LOGOSMITH_AVX512 void vectorOrdered(const DitherPlan& plan, const std::uint8_t* in,
                                    std::size_t width, const float* thresholds, std::uint8_t* out);
#endif

} // namespace logosmith::separation_detail
