#include "separation/Separation.h"

#include "separation/SeparationInternal.h"

#include <algorithm>
#include <cstdlib>
#include <utility>

namespace logosmith {

namespace separation_detail {

int clampChannel(int value) {
    return std::clamp(value, 0, 255);
}

Colour clampColour(Colour c) {
    return Colour{clampChannel(c.r), clampChannel(c.g), clampChannel(c.b)};
}

InkMode effectiveMode(InkMode mode) {
    switch (mode) {
    case InkMode::Red:
    case InkMode::Green:
    case InkMode::Blue:
    case InkMode::User:
    case InkMode::BlackOnly:
        return mode;
    default:
        // No R ink chosen (or a value from nowhere): only L ink and paper.
        return InkMode::BlackOnly;
    }
}

void buildColourScoreTerms(const SeparationSettings& settings, ColourScoreTerms& terms) {
    const InkMode mode = effectiveMode(settings.inkMode);
    const int rValue = clampChannel(settings.rValue);
    const Colour target = clampColour(settings.targetColor);

    // Which input channel each logical channel takes after the exchanges, applied in their
    // fixed order.
    terms.source = {0, 1, 2};
    if (settings.swapRedGreen)
        std::swap(terms.source[0], terms.source[1]);
    if (settings.swapRedBlue)
        std::swap(terms.source[0], terms.source[2]);
    if (settings.swapGreenBlue)
        std::swap(terms.source[1], terms.source[2]);

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
    for (int v = 0; v < 256; ++v)
        terms.allowance[std::size_t(v)] = std::uint8_t(colourAllowance(rValue, v));
    for (std::size_t logical = 0; logical < 3; ++logical) {
        const std::size_t byteIndex = std::size_t(2 - terms.source[logical]); // blue, green, red
        terms.target[byteIndex] = std::uint8_t(targetOf[logical]);
        terms.counted[byteIndex] = counted[logical];
        for (int v = 0; v < 256; ++v) {
            int term = std::abs(targetOf[logical] - v);
            if (counted[logical])
                term -= terms.allowance[std::size_t(v)];
            terms.term[byteIndex][std::size_t(v)] = term;
        }
    }
}

} // namespace separation_detail

using namespace separation_detail;

Colour hueToTarget(int position) {
    position %= 360; // 360 is 0; anything beyond the slider wraps around the circle
    if (position < 0)
        position += 360;
    const double h = position / 60.0;
    const int sector = int(h);
    const double f = h - sector;
    // Truncation after double products; exact fractions would round some positions up.
    const int t = int(255 * f);
    const int q = int(255 * (1 - f));
    switch (sector) {
    case 0:
        return Colour{255, t, 0};
    case 1:
        return Colour{q, 255, 0};
    case 2:
        return Colour{0, 255, t};
    case 3:
        return Colour{0, q, 255};
    case 4:
        return Colour{t, 0, 255};
    default:
        return Colour{255, 0, q};
    }
}

PixelClass classifyPixel(const SeparationSettings& settings, Colour pixel) {
    const InkMode mode = effectiveMode(settings.inkMode);
    const int rValue = clampChannel(settings.rValue);
    const int lValue = clampChannel(settings.lValue);
    const Colour target = clampColour(settings.targetColor);
    int r = clampChannel(pixel.r);
    int g = clampChannel(pixel.g);
    int b = clampChannel(pixel.b);

    // Channel exchanges, each on the result of the one before.
    if (settings.swapRedGreen)
        std::swap(r, g);
    if (settings.swapRedBlue)
        std::swap(r, b);
    if (settings.swapGreenBlue)
        std::swap(g, b);

    const int sum = r + g + b;

    if (mode == InkMode::BlackOnly) {
        int blackScore = sum;
        int paperScore = 765 - sum;
        if (lValue >= 155)
            paperScore += lValue - 155;
        else
            blackScore += 155 - lValue;
        bool ink = blackScore < paperScore; // a tie goes to paper
        if (settings.invertColor)
            ink = !ink;
        return ink ? PixelClass::LInk : PixelClass::Paper;
    }

    const int kR = colourAllowance(rValue, r);
    const int kG = colourAllowance(rValue, g);
    const int kB = colourAllowance(rValue, b);
    const int kL = blackAllowance(lValue, sum);

    const int distance = std::abs(target.r - r) + std::abs(target.g - g) + std::abs(target.b - b);
    int colourScore = distance;
    switch (mode) {
    case InkMode::Red:
        colourScore -= kG + kB;
        break;
    case InkMode::Green:
        colourScore -= kR + kB;
        break;
    case InkMode::Blue:
        colourScore -= kR + kG;
        break;
    default: // User
        colourScore -= kR + kG + kB;
        break;
    }
    int blackScore = sum - kL;
    int paperScore = 765 - sum;

    if (settings.invertColor) {
        if (mode == InkMode::User)
            std::swap(blackScore, paperScore);
        else
            std::swap(blackScore, colourScore);
    }

    const bool blackNearest = blackScore <= colourScore && blackScore <= paperScore;
    const bool colourNearest = colourScore <= blackScore && colourScore <= paperScore;
    if (mode == InkMode::Red) {
        // Black wins an exact tie with the colour.
        if (blackNearest)
            return PixelClass::LInk;
        if (colourNearest)
            return PixelClass::RInk;
        return PixelClass::Paper;
    }
    // Green, Blue and User: the colour wins an exact tie with black.
    if (colourNearest)
        return PixelClass::RInk;
    if (blackNearest)
        return PixelClass::LInk;
    return PixelClass::Paper;
}

Colour paintClass(const SeparationSettings& settings, PixelClass pixelClass) {
    const Colour lColor = clampColour(settings.lColor);
    switch (pixelClass) {
    case PixelClass::RInk:
        switch (effectiveMode(settings.inkMode)) {
        case InkMode::Red:
            return SeparationSettings::redInk;
        case InkMode::Green:
            return SeparationSettings::greenInk;
        case InkMode::Blue:
            return SeparationSettings::blueInk;
        case InkMode::User:
            return clampColour(settings.userColor);
        default:
            return SeparationSettings::paperColor; // BlackOnly never yields RInk
        }
    case PixelClass::LInk:
        return settings.swapBlackWhite ? SeparationSettings::paperColor : lColor;
    case PixelClass::Paper:
    default:
        return settings.swapBlackWhite ? lColor : SeparationSettings::paperColor;
    }
}

Colour separatePixel(const SeparationSettings& settings, Colour pixel) {
    return paintClass(settings, classifyPixel(settings, pixel));
}

Colour tintOf(int strength, Colour pure) {
    const int v = std::clamp(strength, 0, 255);
    auto channel = [v](int c) { return 255 - v * (255 - std::clamp(c, 0, 255)) / 255; };
    return Colour{channel(pure.r), channel(pure.g), channel(pure.b)};
}

} // namespace logosmith
