// The fast separation of a whole picture. Everything that depends only on the settings is
// folded into small tables once per rebuild, so each pixel costs three table reads, one add and
// one step-table read. Where the processor has 64-byte byte permutes, 64 pixels at a time go
// through vector registers instead. Big pictures are split between the cores; the helper
// threads live only inside the call, so the caller still sees one synchronous rebuild.
//
// Why that is exact: the colour score is a sum of one term per channel (|target - X| minus the
// allowance of X when the mode counts X), and the black and paper scores depend only on the
// channel sum s. For a fixed s the class as a function of the colour score c is a single step:
// below a threshold the class tied to c wins, at or above it the better of black and paper
// (which depends on s alone). So one threshold and one colour per s decide every pixel.

#include "separation/Separation.h"

#include "separation/CpuFeatures.h"
#include "separation/PlanePermutes.h"
#include "separation/SeparationInternal.h"
#include "separation/SpreadRows.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <utility>
#include <vector>

#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#endif

namespace logosmith {

using namespace separation_detail;

namespace {

// Each byte-table entry holds the channel's colour term (biased to stay positive) above the
// channel value itself; adding three entries gives the biased colour score and the sum at once.
constexpr int sumBits = 10;
constexpr std::uint32_t sumMask = (1u << sumBits) - 1;
constexpr int termBias = 256;           // one colour term lies in -255..255
constexpr int scoreBias = 3 * termBias; // the sum of three biased terms
constexpr int maxSum = 765;

// What one channel sum decides: below the threshold (a biased colour score) the colour is
// colour[1], at or above it colour[0]. Sixteen bytes, so the colour is one indexed read.
struct Step {
    std::int32_t threshold;
    std::uint32_t colour[2];
    std::uint32_t highIsPaper; // colour[0] is the paper colour rather than highInkColour
};

struct PreviewTables {
    std::array<std::array<std::uint32_t, 256>, 3> byteTable; // by byte: 0 blue, 1 green, 2 red
    std::array<Step, maxSum + 1> steps;
    // The same rule in pieces, for the vector kernel: per byte of a pixel its target channel
    // and whether its allowance counts; the allowance of each value; the three colours.
    std::array<int, 3> byteTarget{};
    std::array<bool, 3> byteCounted{};
    std::array<std::uint8_t, 256> allowance{};
    std::uint32_t lowColour = 0;
    std::uint32_t highInkColour = 0;
    std::uint32_t paperColour = 0;
};

void buildTables(const SeparationSettings& settings, PreviewTables& tables) {
    const InkMode mode = effectiveMode(settings.inkMode);
    const int lValue = clampChannel(settings.lValue);
    const bool invert = settings.invertColor;

    ColourScoreTerms terms;
    buildColourScoreTerms(settings, terms);
    tables.allowance = terms.allowance;
    for (std::size_t byteIndex = 0; byteIndex < 3; ++byteIndex) {
        tables.byteTarget[byteIndex] = terms.target[byteIndex];
        tables.byteCounted[byteIndex] = terms.counted[byteIndex];
        for (std::size_t v = 0; v < 256; ++v)
            tables.byteTable[byteIndex][v] =
                (std::uint32_t(terms.term[byteIndex][v] + termBias) << sumBits) | std::uint32_t(v);
    }

    const Colour rInk = paintClass(settings, PixelClass::RInk);
    const Colour lInk = paintClass(settings, PixelClass::LInk);
    const Colour paper = paintClass(settings, PixelClass::Paper);
    const std::uint32_t rInkBgr = bgrOf(rInk), lInkBgr = bgrOf(lInk), paperBgr = bgrOf(paper);
    tables.paperColour = paperBgr;

    constexpr std::int32_t always = 1 << 24; // above every biased score
    constexpr std::int32_t never = 0;        // biased scores are at least 0

    if (mode == InkMode::BlackOnly) {
        tables.lowColour = tables.highInkColour = lInkBgr;
        for (int s = 0; s <= maxSum; ++s) {
            bool ink = 2 * s < 610 + lValue;
            if (invert)
                ink = !ink;
            tables.steps[std::size_t(s)] = Step{ink ? always : never, {paperBgr, lInkBgr}, 1};
        }
        return;
    }

    // Below the threshold the class tied to the colour score wins: RInk normally, LInk when
    // Invert Color put the colour score in the black slot (Red, Green, Blue).
    const bool colourSlotIsInk = invert && mode != InkMode::User;
    const std::uint32_t lowColour = colourSlotIsInk ? lInkBgr : rInkBgr;
    const std::uint32_t highInk = colourSlotIsInk ? rInkBgr : lInkBgr;
    tables.lowColour = lowColour;
    tables.highInkColour = highInk;
    // Whether the colour score wins its ties with the black/paper pair.
    const bool colourScoreWinsTies = (mode == InkMode::Red) ? colourSlotIsInk : !colourSlotIsInk;

    for (int s = 0; s <= maxSum; ++s) {
        int black = s - blackAllowance(lValue, s);
        int paperScore = maxSum - s;
        if (invert && mode == InkMode::User)
            std::swap(black, paperScore);
        // colourScoreWinsTies: low when c <= min(black, paper).
        // Otherwise low when c < black and c <= paper.
        const int threshold =
            colourScoreWinsTies ? std::min(black, paperScore) + 1 : std::min(black, paperScore + 1);
        const bool highIsPaper = black > paperScore;
        tables.steps[std::size_t(s)] = Step{std::clamp(threshold + scoreBias, never, always),
                                            {highIsPaper ? paperBgr : highInk, lowColour},
                                            highIsPaper};
    }
}

// Both numbers are far below 2^31, so the sign of the difference is the comparison; the
// result indexes the step's colour pair, so there is no branch to mispredict.
inline std::uint32_t colourOfStep(const Step* steps, std::uint32_t v) {
    const Step& step = steps[v & sumMask];
    const std::uint32_t below = std::uint32_t(std::int32_t(v >> sumBits) - step.threshold) >> 31;
    return step.colour[below];
}

// Three small tables, one per byte: cheap to build, for pictures of any size.
struct ByteLookup {
    const std::uint32_t* blueTable;
    const std::uint32_t* greenTable;
    const std::uint32_t* redTable;
    std::uint32_t operator()(const std::uint8_t* p) const {
        return blueTable[p[0]] + greenTable[p[1]] + redTable[p[2]];
    }
};

inline void store32(std::uint8_t* p, std::uint32_t v) {
    std::memcpy(p, &v, 4);
}

void separateRange(const ByteLookup& tables, const Step* steps, const std::uint8_t* in,
                   std::uint8_t* out, std::size_t count) {
    // Four pixels are twelve bytes, written as three 32-bit words. All four are read before
    // any is written, so working and preview may be the same buffer.
    const ByteLookup lookup = tables; // a local copy stays in registers across the stores
    std::size_t i = 0;
    for (; i + 4 <= count; i += 4) {
        const std::uint8_t* p = in + 3 * i;
        const std::uint32_t c0 = colourOfStep(steps, lookup(p));
        const std::uint32_t c1 = colourOfStep(steps, lookup(p + 3));
        const std::uint32_t c2 = colourOfStep(steps, lookup(p + 6));
        const std::uint32_t c3 = colourOfStep(steps, lookup(p + 9));
        std::uint8_t* q = out + 3 * i;
        store32(q, c0 | (c1 << 24));
        store32(q + 4, (c1 >> 8) | (c2 << 16));
        store32(q + 8, (c2 >> 16) | (c3 << 8));
    }
    for (; i < count; ++i) {
        const std::uint32_t colour = colourOfStep(steps, lookup(in + 3 * i));
        std::uint8_t* q = out + 3 * i;
        q[0] = std::uint8_t(colour);
        q[1] = std::uint8_t(colour >> 8);
        q[2] = std::uint8_t(colour >> 16);
    }
}

#if defined(__x86_64__) && defined(__GNUC__)
#define LOGOSMITH_SEPARATION_VECTOR 1
// The compiler's own vector headers trip this warning (their "undefined" vectors).
#pragma GCC diagnostic push
#if !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif

// Sixteen pixels of the group: widen their bytes, add up sum and colour score, gather the
// step of each sum and record which pixels fall below the threshold and which go to paper.
template <int Quarter>
__attribute__((target("avx512f,avx512bw,avx512vbmi"))) inline void
scoreQuarter(const __m512i (&plane)[3], const __m512i (&distance)[3], const __m512i (&credit)[3],
             const std::int32_t* stepWords, std::uint64_t& below, std::uint64_t& highIsPaper) {
    __m512i sum = _mm512_setzero_si512(), score = _mm512_setzero_si512();
    for (int j = 0; j < 3; ++j) {
        sum = _mm512_add_epi32(sum,
                               _mm512_cvtepu8_epi32(_mm512_extracti32x4_epi32(plane[j], Quarter)));
        score = _mm512_add_epi32(
            score, _mm512_cvtepu8_epi32(_mm512_extracti32x4_epi32(distance[j], Quarter)));
        score = _mm512_sub_epi32(
            score, _mm512_cvtepu8_epi32(_mm512_extracti32x4_epi32(credit[j], Quarter)));
    }
    const __m512i word = _mm512_i32gather_epi32(sum, stepWords, 4);
    const __m512i threshold = _mm512_srai_epi32(_mm512_slli_epi32(word, 16), 16);
    below |= std::uint64_t(_mm512_cmplt_epi32_mask(score, threshold)) << (16 * Quarter);
    highIsPaper |= std::uint64_t(_mm512_test_epi32_mask(word, _mm512_set1_epi32(1 << 16)))
                   << (16 * Quarter);
}

// 64 pixels at a time on processors with byte permutes (AVX-512 VBMI): the pixel bytes are
// split into three planes, the distances and allowances are worked out 64 bytes at once (the
// allowance through 256-entry byte-permute lookups), and only the per-sum step is gathered.
// Returns how many pixels it did; the scalar loop does the rest. It reads each 192-byte group
// whole before writing it, so working and preview may be the same buffer.
__attribute__((target("avx512f,avx512bw,avx512vbmi"))) std::size_t
separateRangeVector(const PreviewTables& tables, const std::uint8_t* in, std::uint8_t* out,
                    std::size_t count) {
    if (count < 64)
        return 0;
    const PlanePermutes& permutes = planePermutes();
    __m512i allowance[4];
    for (int part = 0; part < 4; ++part)
        allowance[part] = _mm512_loadu_si512(tables.allowance.data() + 64 * part);
    __m512i target[3];
    for (int j = 0; j < 3; ++j)
        target[j] = _mm512_set1_epi8(char(tables.byteTarget[std::size_t(j)]));
    // Step words: low 16 bits the plain threshold (colour score below it -> low colour), bit
    // 16 set when the high colour is paper.
    alignas(64) std::int32_t stepWords[maxSum + 1];
    for (int sum = 0; sum <= maxSum; ++sum) {
        const Step& step = tables.steps[std::size_t(sum)];
        const int threshold = std::clamp(step.threshold - scoreBias, -1000, 1000);
        stepWords[sum] = std::int32_t(std::uint16_t(std::int16_t(threshold))) |
                         std::int32_t(step.highIsPaper << 16);
    }
    __m512i lowByte[3], inkByte[3], paperByte[3];
    for (int j = 0; j < 3; ++j) {
        lowByte[j] = _mm512_set1_epi8(char(tables.lowColour >> (8 * j)));
        inkByte[j] = _mm512_set1_epi8(char(tables.highInkColour >> (8 * j)));
        paperByte[j] = _mm512_set1_epi8(char(tables.paperColour >> (8 * j)));
    }

    std::size_t i = 0;
    for (; i + 64 <= count; i += 64) {
        const std::uint8_t* p = in + 3 * i;
        const __m512i block0 = _mm512_loadu_si512(p);
        const __m512i block1 = _mm512_loadu_si512(p + 64);
        const __m512i block2 = _mm512_loadu_si512(p + 128);
        __m512i plane[3], distance[3], credit[3];
        for (int j = 0; j < 3; ++j) {
            plane[j] =
                _mm512_permutex2var_epi8(block0, _mm512_load_si512(permutes.splitLow[j]), block1);
            plane[j] =
                _mm512_mask_permutexvar_epi8(plane[j], permutes.splitFromThird[j],
                                             _mm512_load_si512(permutes.splitHigh[j]), block2);
            distance[j] = _mm512_or_si512(_mm512_subs_epu8(plane[j], target[j]),
                                          _mm512_subs_epu8(target[j], plane[j]));
            if (tables.byteCounted[std::size_t(j)]) {
                const __m512i lowHalf =
                    _mm512_permutex2var_epi8(allowance[0], plane[j], allowance[1]);
                const __m512i highHalf =
                    _mm512_permutex2var_epi8(allowance[2], plane[j], allowance[3]);
                credit[j] =
                    _mm512_mask_blend_epi8(_mm512_movepi8_mask(plane[j]), lowHalf, highHalf);
            } else {
                credit[j] = _mm512_setzero_si512();
            }
        }
        std::uint64_t below = 0, highIsPaper = 0;
        scoreQuarter<0>(plane, distance, credit, stepWords, below, highIsPaper);
        scoreQuarter<1>(plane, distance, credit, stepWords, below, highIsPaper);
        scoreQuarter<2>(plane, distance, credit, stepWords, below, highIsPaper);
        scoreQuarter<3>(plane, distance, credit, stepWords, below, highIsPaper);
        __m512i colour[3];
        for (int j = 0; j < 3; ++j)
            colour[j] = _mm512_mask_blend_epi8(
                below, _mm512_mask_blend_epi8(highIsPaper, inkByte[j], paperByte[j]), lowByte[j]);
        std::uint8_t* q = out + 3 * i;
        for (int j = 0; j < 3; ++j) {
            __m512i joined = _mm512_permutex2var_epi8(
                colour[0], _mm512_load_si512(permutes.joinLow[j]), colour[1]);
            joined =
                _mm512_mask_permutexvar_epi8(joined, permutes.joinFromThird[j],
                                             _mm512_load_si512(permutes.joinHigh[j]), colour[2]);
            _mm512_storeu_si512(q + 64 * j, joined);
        }
    }
    return i;
}

#pragma GCC diagnostic pop
#endif

// Below this many pixels a second thread costs more than it saves.
constexpr std::size_t pixelsPerThread = std::size_t(1) << 17;

} // namespace

namespace separation_detail {

void rebuildPreviewWith(PreviewKernel kernel, const SeparationSettings& settings,
                        const Picture& working, Picture& preview) {
    if (working.isEmpty())
        return;
    // Every preview pixel is written below, so a new preview is not cleared first; the old one
    // goes before the new one is made, so the two are never held at once.
    if (preview.width() != working.width() || preview.height() != working.height()) {
        preview = Picture();
        preview = Picture(working.width(), working.height(), Picture::Uncleared{});
    }

    PreviewTables tables;
    buildTables(settings, tables);

    const ByteLookup lookup{tables.byteTable[0].data(), tables.byteTable[1].data(),
                            tables.byteTable[2].data()};
    const Step* steps = tables.steps.data();
    [[maybe_unused]] const bool vector =
        kernel == PreviewKernel::Fastest && cpuFeatures().byteShuffles;
    // Rows are packed, so a run of rows is one run of pixels.
    const std::size_t width = std::size_t(working.width());
    const std::uint8_t* in = working.bytes();
    std::uint8_t* out = preview.bytes();
    auto separate = [&](int firstRow, int endRow) {
        const std::size_t begin = width * std::size_t(firstRow);
        const std::size_t count = width * std::size_t(endRow - firstRow);
        std::size_t done = 0;
#ifdef LOGOSMITH_SEPARATION_VECTOR
        if (vector)
            done = separateRangeVector(tables, in + 3 * begin, out + 3 * begin, count);
#endif
        separateRange(lookup, steps, in + 3 * (begin + done), out + 3 * (begin + done),
                      count - done);
    };
    // Each thread's share in two runs: the vector loop sets up its step words at every call,
    // which costs more than a few more runs would save.
    const int rows = working.height();
    const unsigned threads = threadsForPixels(width * std::size_t(rows), pixelsPerThread);
    const int runs = 2 * int(threads);
    spreadRows(threads, rows, (rows + runs - 1) / runs, separate);
}

} // namespace separation_detail

void rebuildPreview(const SeparationSettings& settings, const Picture& working, Picture& preview) {
    rebuildPreview(settings, working, preview, std::stop_token());
}

bool rebuildPreview(const SeparationSettings& settings, const Picture& working, Picture& preview,
                    const std::stop_token& stop) {
    switch (settings.dither) {
    case DitherMode::Diffusion:
    case DitherMode::Ordered:
    case DitherMode::Best:
        return rebuildDithered(PreviewKernel::Fastest, settings, working, preview, stop);
    case DitherMode::None:
        break;
    }
    rebuildPreviewWith(PreviewKernel::Fastest, settings, working, preview);
    return true;
}

} // namespace logosmith
