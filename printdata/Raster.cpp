#include "printdata/Raster.h"

#include "platform/core/Error.h"

#include <algorithm>
#include <string>

namespace logosmith {

namespace {

enum : std::uint8_t { toL = 1, toR = 2 };

// A pixel's three bytes as one key, in memory order blue, green, red.
constexpr std::uint32_t keyOf(const std::uint8_t* p) {
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16;
}
constexpr std::uint32_t keyOf(Colour c) {
    return std::uint32_t(c.b & 0xFF) | std::uint32_t(c.g & 0xFF) << 8 |
           std::uint32_t(c.r & 0xFF) << 16;
}

constexpr std::uint32_t blackKey = keyOf(colours::black);
constexpr std::uint32_t redKey = keyOf(colours::red);
constexpr std::uint32_t greenKey = keyOf(colours::green);
constexpr std::uint32_t blueKey = keyOf(colours::blue);

// The rule as a handful of exact keys, checked in order; first match wins.
struct Classifier {
    std::uint32_t keys[5];
    std::uint8_t inks[5];
    int count = 0;

    explicit Classifier(const TInkRule& rule) {
        if (rule.kind == TInkRule::irStore) {
            add(blackKey, toL);
            add(redKey, toR);
            add(greenKey, toL | toR);
            add(blueKey, toL | toR);
        } else {
            add(keyOf(rule.lColor), toL);
            add(redKey, toR);
            add(greenKey, toR);
            add(blueKey, toR);
            add(keyOf(rule.userColor), toR);
        }
    }
    void add(std::uint32_t key, std::uint8_t ink) {
        keys[count] = key;
        inks[count] = ink;
        ++count;
    }
    std::uint8_t operator()(std::uint32_t key) const {
        for (int i = 0; i < count; ++i)
            if (keys[i] == key)
                return inks[i];
        return 0;
    }
};

bool allZero(const std::uint8_t* bytes, std::size_t size) {
    return std::all_of(bytes, bytes + size, [](std::uint8_t b) { return b == 0; });
}

void checkPlanes(const TInkPlanes& planes) {
    if (planes.W > maxBitImageWidth)
        throw Error("The image is " + std::to_string(planes.W) +
                    " dots wide; a bit image holds at most " + std::to_string(maxBitImageWidth) +
                    " dots");
    const std::size_t size = std::size_t(planes.B) * planes.W;
    if (planes.B != planes.H / 8 + 1 || planes.L.size() != size || planes.R.size() != size)
        throw Error("Malformed ink planes: " + std::to_string(planes.B) + " bands of " +
                    std::to_string(planes.W) + " dots for " + std::to_string(planes.H) + " rows");
}

} // namespace

bool TInkPlanes::lBandEmpty(std::uint32_t b) const {
    return allZero(lBand(b), W);
}
bool TInkPlanes::rBandEmpty(std::uint32_t b) const {
    return allZero(rBand(b), W);
}

Picture DoubleWidth(const Picture& source) {
    Picture wide(source.width() * 2, source.height());
    for (int y = 0; y < source.height(); ++y) {
        const std::uint8_t* in = source.row(y);
        std::uint8_t* out = wide.row(y);
        for (int x = 0; x < source.width(); ++x, in += 3, out += 6) {
            out[0] = out[3] = in[0];
            out[1] = out[4] = in[1];
            out[2] = out[5] = in[2];
        }
    }
    return wide;
}

std::uint32_t inkPlaneWidth(const Picture& source, bool widthDoubled) {
    const std::uint64_t width = std::uint64_t(source.width()) * (widthDoubled ? 2 : 1);
    if (width > maxBitImageWidth)
        throw Error("The image is " + std::to_string(width) +
                    " dots wide; a bit image holds at most " + std::to_string(maxBitImageWidth) +
                    " dots");
    return std::uint32_t(width);
}

TInkPlanes BuildInkPlanes(const Picture& source, const TInkRule& rule, bool widthDoubled) {
    TInkPlanes planes;
    planes.W = inkPlaneWidth(source, widthDoubled);
    planes.H = std::uint32_t(source.height());
    planes.B = planes.H / 8 + 1;
    planes.L.assign(std::size_t(planes.B) * planes.W, 0);
    planes.R.assign(std::size_t(planes.B) * planes.W, 0);

    const Classifier classify(rule);
    const int width = source.width();
    for (int y = 0; y < source.height(); ++y) {
        const std::uint8_t bit = std::uint8_t(0x80 >> (y & 7));
        std::uint8_t* l = planes.L.data() + std::size_t(y >> 3) * planes.W;
        std::uint8_t* r = planes.R.data() + std::size_t(y >> 3) * planes.W;
        const std::uint8_t* p = source.row(y);
        for (int x = 0; x < width; ++x, p += 3) {
            const std::uint8_t ink = classify(keyOf(p));
            if (ink == 0)
                continue;
            const std::size_t at = widthDoubled ? std::size_t(x) * 2 : std::size_t(x);
            if (ink & toL) {
                l[at] |= bit;
                if (widthDoubled)
                    l[at + 1] |= bit;
            }
            if (ink & toR) {
                r[at] |= bit;
                if (widthDoubled)
                    r[at + 1] |= bit;
            }
        }
    }
    return planes;
}

void WriteBands(const TInkPlanes& planes, std::uint8_t mode, ByteSink& out) {
    checkPlanes(planes);
    const std::uint8_t nL = std::uint8_t(planes.W & 0xFF);
    const std::uint8_t nH = std::uint8_t(planes.W >> 8);
    static const std::uint8_t filler[4] = {0x0D, 0x1B, 0x4A, 0x10};

    std::vector<std::uint8_t> line;
    line.reserve(planes.W + 11);
    for (std::uint32_t b = 0; b < planes.B; ++b) {
        if (!planes.lBandEmpty(b)) {
            line.assign({0x1B, 0x72, 0x00, 0x1B, 0x2A, mode, nL, nH});
            line.insert(line.end(), planes.lBand(b), planes.lBand(b) + planes.W);
            line.push_back(0x0D);
            out.write(line);
        }
        if (!planes.rBandEmpty(b)) {
            line.assign({0x1B, 0x72, 0x01, 0x1B, 0x2A, mode, nL, nH});
            line.insert(line.end(), planes.rBand(b), planes.rBand(b) + planes.W);
            line.insert(line.end(), {0x1B, 0x4A, 0x10});
            out.write(line);
        } else {
            out.write(filler, sizeof filler);
        }
    }
}

std::uint64_t BandStreamLength(const TInkPlanes& planes) {
    checkPlanes(planes);
    std::uint64_t length = 0;
    for (std::uint32_t b = 0; b < planes.B; ++b) {
        if (!planes.lBandEmpty(b))
            length += planes.W + 9;
        length += planes.rBandEmpty(b) ? 4 : planes.W + 11;
    }
    return length;
}

} // namespace logosmith
