// The fast separation of a whole picture. Everything that depends only on the settings is
// folded into small tables once per rebuild, so each pixel costs three table reads, one add,
// one step-table read, one compare and three byte writes.
//
// Why that is exact: the colour score is a sum of one term per channel (|target - X| minus the
// allowance of X when the mode counts X), and the black and paper scores depend only on the
// channel sum s. For a fixed s the class as a function of the colour score c is a single step:
// below a threshold the class tied to c wins, at or above it the better of black and paper
// (which depends on s alone). So one threshold and one colour per s decide every pixel.

#include "Separation.h"

#include "SeparationInternal.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <thread>
#include <utility>
#include <vector>

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
    std::uint32_t unused;
};

struct PreviewTables {
    std::array<std::array<std::uint32_t, 256>, 3> byteTable; // by byte: 0 blue, 1 green, 2 red
    std::array<Step, maxSum + 1> steps;
};

// Colour as the three bytes blue, green, red from the low end.
std::uint32_t bgrOf(Colour c) {
    return std::uint32_t(c.b) | (std::uint32_t(c.g) << 8) | (std::uint32_t(c.r) << 16);
}

void buildTables(const SeparationSettings& settings, PreviewTables& tables) {
    const InkMode mode = effectiveMode(settings.inkMode);
    const int rValue = clampChannel(settings.rValue);
    const int lValue = clampChannel(settings.lValue);
    const Colour target = clampColour(settings.targetColor);
    const bool invert = settings.invertColor;

    // Which input channel (0 red, 1 green, 2 blue) each logical channel takes after the
    // exchanges, applied in their fixed order.
    std::array<int, 3> source{0, 1, 2};
    if (settings.swapRedGreen)
        std::swap(source[0], source[1]);
    if (settings.swapRedBlue)
        std::swap(source[0], source[2]);
    if (settings.swapGreenBlue)
        std::swap(source[1], source[2]);

    const std::array<int, 3> targetOf{target.r, target.g, target.b};
    std::array<bool, 3> counted{false, false, false};
    switch (mode) {
    case InkMode::Red:
        counted = {false, true, true};
        break;
    case InkMode::Green:
        counted = {true, false, true};
        break;
    case InkMode::Blue:
        counted = {true, true, false};
        break;
    case InkMode::User:
        counted = {true, true, true};
        break;
    default:
        break;
    }

    std::array<int, 256> allowance{};
    for (int v = 0; v < 256; ++v)
        allowance[std::size_t(v)] = colourAllowance(rValue, v);

    for (int logical = 0; logical < 3; ++logical) {
        const int inputChannel = source[std::size_t(logical)];
        const int byteIndex = 2 - inputChannel; // bytes are blue, green, red
        auto& table = tables.byteTable[std::size_t(byteIndex)];
        for (int v = 0; v < 256; ++v) {
            int term = std::abs(targetOf[std::size_t(logical)] - v);
            if (counted[std::size_t(logical)])
                term -= allowance[std::size_t(v)];
            table[std::size_t(v)] = (std::uint32_t(term + termBias) << sumBits) | std::uint32_t(v);
        }
    }

    const Colour rInk = paintClass(settings, PixelClass::RInk);
    const Colour lInk = paintClass(settings, PixelClass::LInk);
    const Colour paper = paintClass(settings, PixelClass::Paper);
    const std::uint32_t rInkBgr = bgrOf(rInk), lInkBgr = bgrOf(lInk), paperBgr = bgrOf(paper);

    constexpr std::int32_t always = 1 << 24; // above every biased score
    constexpr std::int32_t never = 0;        // biased scores are at least 0

    if (mode == InkMode::BlackOnly) {
        for (int s = 0; s <= maxSum; ++s) {
            bool ink = 2 * s < 610 + lValue;
            if (invert)
                ink = !ink;
            tables.steps[std::size_t(s)] = Step{ink ? always : never, {paperBgr, lInkBgr}, 0};
        }
        return;
    }

    // Below the threshold the class tied to the colour score wins: RInk normally, LInk when
    // Invert Color put the colour score in the black slot (Red, Green, Blue).
    const bool colourSlotIsInk = invert && mode != InkMode::User;
    const std::uint32_t lowColour = colourSlotIsInk ? lInkBgr : rInkBgr;
    // Whether the colour score wins its ties with the black/paper pair.
    const bool colourScoreWinsTies = (mode == InkMode::Red) ? colourSlotIsInk : !colourSlotIsInk;

    for (int s = 0; s <= maxSum; ++s) {
        int black = s - blackAllowance(lValue, s);
        int paper = maxSum - s;
        if (invert && mode == InkMode::User)
            std::swap(black, paper);
        // colourScoreWinsTies: low when c <= min(black, paper).
        // Otherwise low when c < black and c <= paper.
        const int threshold =
            colourScoreWinsTies ? std::min(black, paper) + 1 : std::min(black, paper + 1);
        std::uint32_t high;
        if (black <= paper)
            high = colourSlotIsInk ? rInkBgr : lInkBgr;
        else
            high = paperBgr;
        tables.steps[std::size_t(s)] =
            Step{std::clamp(threshold + scoreBias, never, always), {high, lowColour}, 0};
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

// Below this many pixels a second thread costs more than it saves.
constexpr std::size_t pixelsPerThread = std::size_t(1) << 17;
constexpr unsigned maxThreads = 8;

} // namespace

void rebuildPreview(const SeparationSettings& settings, const Picture& working, Picture& preview) {
    if (working.isEmpty())
        return;
    if (preview.width() != working.width() || preview.height() != working.height())
        preview = Picture(working.width(), working.height());

    PreviewTables tables;
    buildTables(settings, tables);

    // Rows are packed, so the picture is one run of pixels; split it into equal parts.
    const std::size_t pixels = std::size_t(working.width()) * std::size_t(working.height());
    const std::uint8_t* in = working.bytes();
    std::uint8_t* out = preview.bytes();
    unsigned parts = std::max(1u, std::min(std::thread::hardware_concurrency(), maxThreads));
    parts =
        unsigned(std::min<std::size_t>(parts, std::max<std::size_t>(1, pixels / pixelsPerThread)));
    const std::size_t perPart = (pixels + parts - 1) / parts;

    const ByteLookup lookup{tables.byteTable[0].data(), tables.byteTable[1].data(),
                            tables.byteTable[2].data()};
    const Step* steps = tables.steps.data();
    auto separate = [&](std::size_t begin, std::size_t count) {
        separateRange(lookup, steps, in + 3 * begin, out + 3 * begin, count);
    };

    std::vector<std::thread> helpers;
    helpers.reserve(parts);
    for (unsigned part = 1; part < parts; ++part) {
        const std::size_t begin = std::min(pixels, perPart * part);
        const std::size_t count = std::min(pixels, begin + perPart) - begin;
        auto work = [&separate, begin, count] { separate(begin, count); };
        try {
            helpers.emplace_back(work);
        } catch (...) {
            work(); // no thread to be had: do that part here
        }
    }
    separate(0, std::min(perPart, pixels));
    for (auto& helper : helpers)
        helper.join();
}

} // namespace logosmith
