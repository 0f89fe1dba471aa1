#pragma once

// What a reading looks like: sheets drawn in the printer's proportions and a short summary.

#include "printdata/reader/StreamReader.h"

#include <cstdint>
#include <string>
#include <vector>

namespace logosmith::prn {

struct Rgb {
    std::uint8_t r, g, b;
    friend constexpr bool operator==(const Rgb&, const Rgb&) = default;
};

// Printed colours: paper white, L black, R red, both inks on one dot dark purple.
constexpr Rgb inkColour(std::uint8_t ink) {
    switch (ink & inkBoth) {
    case inkL:
        return {0, 0, 0};
    case inkR:
        return {255, 0, 0};
    case inkBoth:
        return {112, 0, 112};
    default:
        return {255, 255, 255};
    }
}

// The most pixels a drawing holds (32 MiB of inks); a sheet that needs more is cut at the bottom.
inline constexpr std::int64_t maxRenderPixels = std::int64_t(1) << 25;

// A sheet drawn one pixel per unit each way: a single-density dot is 2 x 2 pixels, a
// double-density dot 1 x 2. Each pixel holds the inks laid on it.
struct InkRaster {
    int width = 1; // at least 1 x 1, even for a sheet with nothing on it
    int height = 1;
    bool cut = false; // the sheet is larger than the drawing; its bottom or right is left out
    std::vector<std::uint8_t> inks;

    Ink at(int x, int y) const { return Ink(inks[std::size_t(y) * std::size_t(width) + x]); }
};

InkRaster renderSheet(const Sheet& sheet, std::int64_t maxPixels = maxRenderPixels);

// One line for a stored logo ("logo 2: 80 x 32 dots, double density, block of 1234 bytes") and
// for the paper of a print ("print command: 10 x 16 dots, single density, centred").
std::string logoLine(const StoredLogo& logo);
std::string paperLine(const Sheet& paper);

// A few lines for people: the kind of stream, each logo's size in dots, density and block
// length, the paper's size, the alignment functions and values; the fault last.
std::string summaryText(const Reading& reading);

} // namespace logosmith::prn
