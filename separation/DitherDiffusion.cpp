// Error diffusion: serpentine Floyd-Steinberg on each pixel's shares, with a helper thread
// that works out the shares of the rows ahead on big pictures.

#include "separation/CpuFeatures.h"
#include "separation/DitherPlan.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <bit>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <thread>
#include <vector>

#ifdef LOGOSMITH_DITHER_VECTOR
#include <immintrin.h>
#endif

namespace logosmith::separation_detail {

namespace {

// The diffusion's A and B of a row, by the vector kernel where there is one.
void innerProductsOfRow(const DitherPlan& plan, const GramScale& scale, bool vector,
                        const std::uint8_t* in, std::size_t width, RowShares& w) {
#ifdef LOGOSMITH_DITHER_VECTOR
    if (vector) {
        vectorInnerProducts(plan, scale, in, width, w);
        return;
    }
#else
    (void)vector;
#endif
    portableShares(plan, in, width, w);
    const Floats g11 = Floats{} + scale.g11, g12 = Floats{} + scale.g12;
    const Floats g22 = Floats{} + scale.g22;
    for (std::size_t x = 0; x < w.u.size(); x += lanes) {
        const Floats u = load(w.u.data() + x), v = load(w.v.data() + x);
        const Ints a = __builtin_convertvector(u * g11 + v * g12, Ints);
        const Ints b = __builtin_convertvector(u * g12 + v * g22, Ints);
        std::memcpy(w.a.data() + x, &a, sizeof a);
        std::memcpy(w.b.data() + x, &b, sizeof b);
    }
}

// Serpentine Floyd-Steinberg. The error is carried not as (u, v) but as A = u*g11 + v*g12 and
// B = u*g12 + v*g22, the inner products with e1 and e2: in those the nearest dot is a few
// compares (L when A > g11/2 and A - B >= (g11 - g22)/2, else R when B > g22/2, else paper).
// Where R ink is not allowed only the part of the error along the L-paper line is kept: B
// becomes A*g12/g11, so no R is owed there. Between L and R the test leans a hair towards L,
// so that rounding at the point where all three are equally near cannot put an R dot into a
// grey. A and B are fixed-point integers: the pass from pixel to pixel cannot be shared out,
// and a chain of integer adds and compares is much shorter than one of float sums. Integer
// sums are exact, so the scalar pass and the vector one give the same dots.
class Diffusion {
  public:
    // wideRows: the work on whole rows may use 16-lane vectors; vectorPass: the pass from
    // pixel to pixel may use vector registers.
    Diffusion(const DitherPlan& plan, std::size_t width, bool wideRows, bool vectorPass)
        : wide(wideRows), vectorChain(vectorPass), errorA(RowShares::padded(width) + 2),
          errorB(RowShares::padded(width) + 2) {
        // The larger of |L - P|^2 and |R - P|^2 becomes 2^22: room for errors many times that.
        // The dots' A and B are multiples of 16, so that 7/16 of them is exact.
        const double largest = std::max({double(plan.g11), double(plan.g22), 1e-30});
        const double scale = double(1 << 22) / largest;
        scaled = {float(plan.g11 * scale), float(plan.g12 * scale), float(plan.g22 * scale)};
        auto fixed16 = [&](double g) { return 16 * std::int32_t(std::lround(g * scale / 16)); };
        lA = fixed16(plan.g11);
        lB = fixed16(plan.g12);
        rB = fixed16(plan.g22);
        halfL = plan.lUsable ? lA / 2 : never;
        halfR = rB / 2;
        halfLR = (lA - rB) / 2 - std::int32_t(std::lround(1e-4 * (lA + rB))) - 1;
        // B along the L-paper line is A * g12 / g11, here in 2^-16 steps and 7/16 of it in
        // 2^-20 steps; kept within bounds for an L ink that shows as little more than paper.
        const double alongL = std::clamp(plan.lUsable ? plan.g12 / plan.g11 : 0.0, -64.0, 64.0);
        along = std::int32_t(std::lround(alongL * double(1 << 16)));
        along7 = std::int32_t(std::lround(7.0 / 16 * alongL * double(1 << 20)));
    }

    const GramScale& gram() const { return scaled; }

    // The dots of row y (A and B in w.a and w.b), serpentine: even rows run to the right.
    void row(int y, RowShares& w) {
        const bool toRight = (y & 1) == 0;
#ifdef LOGOSMITH_DITHER_VECTOR
        wide ? prepareWide(w, toRight) : prepare(w, toRight);
        vectorChain ? passVector(w, toRight) : pass(w, toRight);
        wide ? settleWide(w) : settle(w);
#else
        prepare(w, toRight);
        pass(w, toRight);
        settle(w);
#endif
    }

  private:
    // Beyond any A, B or carry, with room for 7 times it in 32 bits.
    static constexpr std::int32_t never = 1 << 27;
    using Wide = std::int32_t __attribute__((vector_size(64)));

    // Adds the error that the row above left to A and B: 3/16 from the pixel behind the way
    // this row runs (the row above ran the other way), 5/16 from straight above and 1/16 from
    // ahead; the carry along the row took the other 7/16. Where R ink is not allowed, B is
    // set so low that the R test never passes and the L-or-R test always does.
    __attribute__((always_inline)) inline void prepareRow(RowShares& w, bool toRight) {
        const std::int32_t* __restrict mayR = w.mayTakeR.data();
        std::int32_t* const values[2] = {w.a.data(), w.b.data()};
        const std::int32_t* const errors[2] = {errorA.data() + 1, errorB.data() + 1};
        // The row's place of the pixel behind and ahead, in the errors one place on.
        const std::size_t behind = toRight ? 0 : 2, ahead = 2 - behind;
        for (std::size_t x = 0; x < w.a.size(); x += 16) {
            Wide may;
            std::memcpy(&may, mayR + x, sizeof may);
            for (int channel = 0; channel < 2; ++channel) {
                Wide value, back, middle, front;
                std::memcpy(&value, values[channel] + x, sizeof value);
                std::memcpy(&back, errors[channel] + x - 1 + behind, sizeof back);
                std::memcpy(&middle, errors[channel] + x, sizeof middle);
                std::memcpy(&front, errors[channel] + x - 1 + ahead, sizeof front);
                value += (back + back + back + (middle << 2) + middle + front) >> 4;
                if (channel == 1)
                    value = (may & value) | (~may & -never);
                std::memcpy(values[channel] + x, &value, sizeof value);
            }
        }
    }
    void prepare(RowShares& w, bool toRight) {
        prepareRow(w, toRight);
    }
#ifdef LOGOSMITH_DITHER_VECTOR
    __attribute__((target("avx512f"))) void prepareWide(RowShares& w, bool toRight) {
        prepareRow(w, toRight);
    }
#endif

    // After the pass, A and B hold each pixel's value with the carry it got. From those the
    // same compares as in the pass give the dots, and the errors left for the row below:
    // where R ink is not allowed, B's error lies along the L-paper line.
    __attribute__((always_inline)) inline void settleRow(RowShares& w) {
        using WideBytes = std::uint8_t __attribute__((vector_size(16)));
        using WideFloats = float __attribute__((vector_size(64)));
        const Wide lane = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15};
        const Wide width = Wide{} + std::int32_t(w.width);
        const Wide overL = Wide{} + halfL, overR = Wide{} + halfR, overLR = Wide{} + halfLR;
        const float alongBy = float(along) / 65536.0f;
        const std::int32_t* __restrict full = w.a.data();
        const std::int32_t* __restrict fullB = w.b.data();
        const std::int32_t* __restrict mayR = w.mayTakeR.data();
        std::uint8_t* __restrict dots = w.dots.data();
        std::int32_t* __restrict ea = errorA.data() + 1;
        std::int32_t* __restrict eb = errorB.data() + 1;
        // Selects spelt out as masks, which every vector width does in the same steps.
        for (std::size_t x = 0; x < w.a.size(); x += 16) {
            Wide a, b, may;
            std::memcpy(&a, full + x, sizeof a);
            std::memcpy(&b, fullB + x, sizeof b);
            std::memcpy(&may, mayR + x, sizeof may);
            // v > limit as the sign of limit - v (no value comes near 2^31): the compiler would
            // work a vector compare out lane by lane in a function built for wider vectors
            // than the rest of the program.
            const Wide isL = ((overL - a) >> 31) & ((overLR - (a - b)) >> 31);
            const Wide isR = ~isL & ((overR - b) >> 31);
            const WideBytes dot = __builtin_convertvector((isL & 1) | (isR & 2), WideBytes);
            std::memcpy(dots + x, &dot, sizeof dot);
            const Wide alongA =
                __builtin_convertvector(__builtin_convertvector(a, WideFloats) * alongBy, Wide);
            const Wide inRow = (lane + std::int32_t(x) - width) >> 31;
            const Wide errA = a - ((isL & lA) | (isR & lB));
            const Wide errB = ((may & b) | (~may & alongA)) - ((isL & lB) | (isR & rB));
            const Wide leftA = errA & inRow, leftB = errB & inRow;
            std::memcpy(ea + x, &leftA, sizeof leftA);
            std::memcpy(eb + x, &leftB, sizeof leftB);
        }
    }
    void settle(RowShares& w) {
        settleRow(w);
    }
#ifdef LOGOSMITH_DITHER_VECTOR
    __attribute__((target("avx512f"))) void settleWide(RowShares& w) {
        settleRow(w);
    }
#endif

    // The pass from pixel to pixel in direction Step (+1 or -1). Only the carries (7/16 of
    // the error) are on the chain from one pixel to the next; each is worked out from the
    // pixel's value and the dot straight away, not from the error, to keep the chain short.
    // The pass leaves each pixel's value with its carry in A and B, and nothing else.
    void pass(RowShares& w, bool toRight) {
        toRight ? run<1>(w) : run<-1>(w);
    }
    template <int Step> void run(RowShares& w) {
        const std::size_t width = w.width;
        std::int32_t* __restrict inA = w.a.data();
        std::int32_t* __restrict inB = w.b.data();
        const std::int32_t* __restrict mayR = w.mayTakeR.data();
        const std::int32_t lA7 = 7 * lA / 16, lB7 = 7 * lB / 16, rB7 = 7 * rB / 16;
        const std::int64_t along7By = along7;
        std::int32_t ca = 0, cb = 0;
        for (std::size_t i = 0; i < width; ++i) {
            const std::size_t x = Step > 0 ? i : width - 1 - i;
            const std::int32_t a = inA[x] + ca, b = inB[x] + cb;
            inA[x] = a;
            inB[x] = b;
            // L where A passes and A - B does; else R where B passes (never without R ink).
            const bool l = (a > halfL) & (a - b > halfLR);
            const bool passB = b > halfR;
            const std::int32_t alongA7 = std::int32_t((along7By * a) >> 20);
            ca = ((7 * a) >> 4) - (l ? lA7 : passB ? lB7 : 0);
            cb = (mayR[x] ? (7 * b) >> 4 : alongA7) - (l ? lB7 : passB ? rB7 : 0);
        }
    }

#ifdef LOGOSMITH_DITHER_VECTOR
#define LOGOSMITH_AVX2_INLINE __attribute__((target("avx2"), always_inline)) static inline
    LOGOSMITH_AVX2_INLINE Ints at(const std::int32_t* p) {
        return Ints{*p};
    }
    // 7/16 of v, rounded down.
    LOGOSMITH_AVX2_INLINE Ints seventh(Ints v) {
        return ((v << 3) - v) >> 4;
    }
    // v times by, shifted right, in the low 32 bits of a 64-bit product: the same for either
    // shift.
    LOGOSMITH_AVX2_INLINE Ints times(Ints v, __m128i by, int shift) {
        return std::bit_cast<Ints>(
            _mm_srl_epi64(_mm_mul_epi32(std::bit_cast<__m128i>(v), by), _mm_cvtsi32_si128(shift)));
    }
#undef LOGOSMITH_AVX2_INLINE

    // The same pass on lane 0 of vector registers, where a compare, a select and an add each
    // take one cycle. Compares that give masks in vector registers are quicker here than
    // those into mask registers, so this is not built for the widest vectors.
    void passVector(RowShares& w, bool toRight) {
        toRight ? runVector<1>(w) : runVector<-1>(w);
    }
    template <int Step> __attribute__((target("avx2"))) void runVector(RowShares& w) {
        const std::size_t width = w.width;
        std::int32_t* __restrict inA = w.a.data();
        std::int32_t* __restrict inB = w.b.data();
        const std::int32_t* __restrict mayR = w.mayTakeR.data();
        const Ints lA7 = Ints{} + 7 * lA / 16, lB7 = Ints{} + 7 * lB / 16;
        const Ints rB7 = Ints{} + 7 * rB / 16;
        const Ints overL = Ints{} + halfL, overR = Ints{} + halfR, overLR = Ints{} + halfLR;
        const __m128i along7By = _mm_set1_epi64x(along7);
        Ints ca{}, cb{};
        for (std::size_t i = 0; i < width; ++i) {
            const std::size_t x = Step > 0 ? i : width - 1 - i;
            const Ints a = at(inA + x) + ca, b = at(inB + x) + cb;
            inA[x] = a[0];
            inB[x] = b[0];
            const Ints isL = (a > overL) & (a - b > overLR);
            const Ints passB = b > overR;
            // What R would take, less it again where L is taken instead: the compares of B
            // are ready before those of A - B.
            const Ints rA7 = passB & lB7;
            ca = (seventh(a) - rA7) - (isL & (lA7 - rA7));
            cb = (at(mayR + x) ? seventh(b) : times(a, along7By, 20)) - (isL ? lB7 : passB & rB7);
        }
    }
#endif

    bool wide, vectorChain;
    GramScale scaled;
    std::int32_t lA, lB, rB;           // A and B of the L dot (lA, lB) and the R dot (lB, rB)
    std::int32_t halfL, halfR, halfLR; // the thresholds above, for ">"
    std::int32_t along, along7;        // B along the L-paper line
    // The last row's error, one place on, with a zero at either end.
    std::vector<std::int32_t> errorA, errorB;
};

// Below this many pixels a helper thread for the diffusion costs more than it saves.
constexpr std::size_t pixelsForHelper = std::size_t(1) << 16;

} // namespace

// Only the diffusion itself has to go row after row. On a big picture a helper thread works
// out the shares of the rows ahead, in a ring of rows, and paints each finished row's dots
// before its slot takes a new row. Rows to shade are claimed from a common counter: when this
// thread comes to a row nobody has claimed yet it does that work itself, so a helper that the
// system keeps waiting costs nothing but its help. The dots are the same as on one thread,
// and the caller still sees one synchronous rebuild. Only the fastest kernel takes the helper
// and the vector pass from pixel to pixel; the portable one is the yardstick for both.
void rebuildDiffused(const DitherPlan& plan, bool vector, bool fastest, const Picture& working,
                     Picture& preview, std::uint8_t* dots) {
    const std::size_t width = std::size_t(working.width());
    const int rows = working.height();
    // The work on whole rows also uses 16-lane vectors where there are, and the pass from pixel
    // to pixel vector registers from AVX2 on.
    Diffusion diffusion(plan, width, vector && cpuFeatures().avx512, fastest && cpuFeatures().avx2);
    auto shade = [&](int y, RowShares& w) {
        innerProductsOfRow(plan, diffusion.gram(), vector, working.row(y), width, w);
    };
    auto paint = [&](int y, const RowShares& w) {
        paintRow(plan, w.dots.data(), width, preview.row(y));
        if (dots)
            std::memcpy(dots + std::size_t(y) * width, w.dots.data(), width);
    };

    if (fastest && width * std::size_t(rows) >= pixelsForHelper &&
        std::thread::hardware_concurrency() > 1) {
        constexpr int ring = 16;
        std::vector<RowShares> slots(ring, RowShares(width, true));
        std::array<std::atomic<int>, ring> shadedRow{}; // per slot: 1 + the row shaded in it
        std::atomic<int> claimed{0}, finished{0};
        // Claims row y when nobody has yet; its slot's last row is painted before it is shaded.
        auto claim = [&](int y) { return claimed.compare_exchange_strong(y, y + 1); };
        auto paintAndShade = [&](int y, RowShares& w) {
            if (y >= ring)
                paint(y - ring, w);
            shade(y, w);
        };
        auto work = [&] {
            for (int y; (y = claimed.load()) < rows;) {
                const int done = finished.load(std::memory_order_acquire);
                if (y >= done + ring) { // its slot still holds a row in use
                    finished.wait(done, std::memory_order_acquire);
                } else if (claim(y)) {
                    std::atomic<int>& slot = shadedRow[std::size_t(y % ring)];
                    paintAndShade(y, slots[std::size_t(y % ring)]);
                    slot.store(y + 1, std::memory_order_release);
                    slot.notify_one();
                }
            }
        };
        std::thread thread;
        try {
            thread = std::thread(work);
        } catch (...) {
            // No thread to be had: this one claims every row.
        }
        for (int y = 0; y < rows; ++y) {
            RowShares& w = slots[std::size_t(y % ring)];
            std::atomic<int>& slot = shadedRow[std::size_t(y % ring)];
            if (claim(y)) {
                paintAndShade(y, w);
            } else {
                for (int row; (row = slot.load(std::memory_order_acquire)) != y + 1;)
                    slot.wait(row, std::memory_order_acquire);
            }
            diffusion.row(y, w);
            finished.store(y + 1, std::memory_order_release);
            finished.notify_one();
        }
        if (thread.joinable())
            thread.join();
        for (int y = std::max(0, rows - ring); y < rows; ++y)
            paint(y, slots[std::size_t(y % ring)]);
        return;
    }
    RowShares w(width, true);
    for (int y = 0; y < rows; ++y) {
        shade(y, w);
        diffusion.row(y, w);
        paint(y, w);
    }
}

} // namespace logosmith::separation_detail
