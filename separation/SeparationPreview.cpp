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

struct Step {
    std::int32_t threshold; // biased colour score below which lowColour applies
    std::uint32_t highColour;
};

struct PreviewTables {
    std::array<std::array<std::uint32_t, 256>, 3> byteTable; // by byte: 0 blue, 1 green, 2 red
    std::array<Step, maxSum + 1> steps;
    std::uint32_t lowColour = 0;
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
        tables.lowColour = lInkBgr;
        for (int s = 0; s <= maxSum; ++s) {
            bool ink = 2 * s < 610 + lValue;
            if (invert)
                ink = !ink;
            tables.steps[std::size_t(s)] = Step{ink ? always : never, paperBgr};
        }
        return;
    }

    // Below the threshold the class tied to the colour score wins: RInk normally, LInk when
    // Invert Color put the colour score in the black slot (Red, Green, Blue).
    const bool colourSlotIsInk = invert && mode != InkMode::User;
    tables.lowColour = colourSlotIsInk ? lInkBgr : rInkBgr;
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
        tables.steps[std::size_t(s)] = Step{std::clamp(threshold + scoreBias, never, always), high};
    }
}

void separateRange(const PreviewTables& tables, const std::uint8_t* in, std::uint8_t* out,
                   std::size_t count) {
    const auto& t0 = tables.byteTable[0];
    const auto& t1 = tables.byteTable[1];
    const auto& t2 = tables.byteTable[2];
    const Step* steps = tables.steps.data();
    const std::uint32_t lowColour = tables.lowColour;
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint8_t* p = in + 3 * i;
        const std::uint32_t v = t0[p[0]] + t1[p[1]] + t2[p[2]];
        const Step step = steps[v & sumMask];
        const std::uint32_t colour =
            std::int32_t(v >> sumBits) < step.threshold ? lowColour : step.highColour;
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

    std::vector<std::thread> helpers;
    helpers.reserve(parts);
    for (unsigned part = 1; part < parts; ++part) {
        const std::size_t begin = std::min(pixels, perPart * part);
        const std::size_t count = std::min(pixels, begin + perPart) - begin;
        auto work = [&tables, in, out, begin, count] {
            separateRange(tables, in + 3 * begin, out + 3 * begin, count);
        };
        try {
            helpers.emplace_back(work);
        } catch (...) {
            work(); // no thread to be had: do that part here
        }
    }
    separateRange(tables, in, out, std::min(perPart, pixels));
    for (auto& helper : helpers)
        helper.join();
}

} // namespace logosmith
