#pragma once

#include "separation/Separation.h"

#include <array>
#include <cstdint>
#include <stop_token>

namespace logosmith::separation_detail {

// Settings values are forced into 0..255 and an unknown mode is taken as BlackOnly, in the
// reference and the fast path alike, so no table index can escape and both agree.
int clampChannel(int value);
Colour clampColour(Colour c);
InkMode effectiveMode(InkMode mode);

// Colour allowance of one channel value: rValue div (255 div value), 0 for a zero channel.
inline int colourAllowance(int rValue, int value) {
    return value == 0 ? 0 : rValue / (255 / value);
}

// Black allowance of a channel sum 0..765: lValue div (765 div sum), 0 for black.
inline int blackAllowance(int lValue, int sum) {
    return sum == 0 ? 0 : lValue / (765 / sum);
}

// Colour as the three bytes blue, green, red from the low end, as a pixel holds it.
inline std::uint32_t bgrOf(Colour c) {
    return std::uint32_t(c.b) | (std::uint32_t(c.g) << 8) | (std::uint32_t(c.r) << 16);
}

// The plain rule's colour score in pieces, by byte position of a pixel (0 blue, 1 green, 2 red)
// with the channel exchanges folded in: each position's target and whether its allowance
// counts, the allowance of each value, and the term |target - v| (less the allowance where it
// counts) of each position and value. The score is the sum of the three terms.
struct ColourScoreTerms {
    std::array<int, 3> source{};          // input channel (0 red) of each logical channel
    std::array<std::uint8_t, 3> target{}; // by byte position
    std::array<bool, 3> counted{};
    std::array<std::uint8_t, 256> allowance{};
    std::array<std::array<std::int32_t, 256>, 3> term{};
};
void buildColourScoreTerms(const SeparationSettings& settings, ColourScoreTerms& terms);

// The whole-picture separation with a choice of pixel loop: Fastest uses the vector loop where
// the processor has one, Portable always the plain table loop. Both give identical pictures.
enum class PreviewKernel { Fastest, Portable };
void rebuildPreviewWith(PreviewKernel kernel, const SeparationSettings& settings,
                        const Picture& working, Picture& preview);

// The dithered separation, for settings.dither Diffusion, Ordered and Best, with the same choice
// of pixel loop; Portable also keeps the work on one thread. Both give identical pictures. False
// when stop was requested before the best halftone was finished.
bool rebuildDithered(PreviewKernel kernel, const SeparationSettings& settings,
                     const Picture& working, Picture& preview, const std::stop_token& stop = {});

} // namespace logosmith::separation_detail
