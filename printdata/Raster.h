#pragma once

#include "printdata/ByteSink.h"
#include "separation/picture/Colour.h"
#include "separation/picture/Picture.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace logosmith {

// The widest bit image: its width travels as a 16-bit field.
inline constexpr std::uint32_t maxBitImageWidth = 65535;

// One image as two planes of 8-dot column bytes. Band b of a plane holds W bytes starting at
// b * W; bit 7 of a byte is the top dot of the band.
struct TInkPlanes {
    std::uint32_t W = 0;         // dots across: the picture's width, doubled with width doubling
    std::uint32_t H = 0;         // dot rows
    std::uint32_t B = 1;         // bands: floor(H / 8) + 1, so a height divisible by 8 ends blank
    std::vector<std::uint8_t> L; // the L cartridge (black)
    std::vector<std::uint8_t> R; // the R cartridge (red)

    const std::uint8_t* lBand(std::uint32_t b) const { return L.data() + std::size_t(b) * W; }
    const std::uint8_t* rBand(std::uint32_t b) const { return R.data() + std::size_t(b) * W; }
    bool lBandEmpty(std::uint32_t b) const;
    bool rBandEmpty(std::uint32_t b) const;
    friend bool operator==(const TInkPlanes&, const TInkPlanes&) = default;
};

// Which ink a pixel colour gets. Print copies follow the colour controls of the moment; stored
// logos follow a fixed table.
struct TInkRule {
    enum Kind { irPrint, irStore };
    Kind kind = irStore;
    Colour lColor = colours::black;    // irPrint only: the L-ink display colour
    Colour userColor = colours::black; // irPrint only: the R-ink colour of the User mode
};

inline TInkRule irPrint(Colour lColor, Colour userColor) {
    return TInkRule{TInkRule::irPrint, lColor, userColor};
}
inline TInkRule irStore() {
    return TInkRule{TInkRule::irStore, colours::black, colours::black};
}

// A new picture 2w x h whose pixel (x, y) is the source's (x / 2, y).
Picture DoubleWidth(const Picture& source);

// The data width for a picture: w, or 2w with width doubling. Throws Error when that exceeds
// maxBitImageWidth; the width is never cut to 16 bits.
std::uint32_t inkPlaneWidth(const Picture& source, bool widthDoubled);

// Classifies every pixel of source by exact colour and packs the two planes. The same as
// encoding DoubleWidth(source) when widthDoubled, without building the wide copy.
TInkPlanes BuildInkPlanes(const Picture& source, const TInkRule& rule, bool widthDoubled);

// Appends the band stream of the planes: per band an L line (only when the L band has ink), then
// an R line or the 4-byte feed filler. Each line goes to the sink in one write. mode is the
// bit-image mode byte (0 single, 1 double density). Throws Error for malformed planes.
void WriteBands(const TInkPlanes& planes, std::uint8_t mode, ByteSink& out);

// The number of bytes WriteBands will append for the planes.
std::uint64_t BandStreamLength(const TInkPlanes& planes);

} // namespace logosmith
