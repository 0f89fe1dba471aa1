#include "printdata/Commands.h"

#include "platform/core/Error.h"

#include <string>

namespace logosmith {

void WriteStoreStream(ByteSink& out, std::span<const Picture> logos, Density density) {
    if (logos.empty())
        throw Error("There is no logo to store.");
    if (logos.size() > std::size_t(maxStoredLogos))
        throw Error("At most " + std::to_string(maxStoredLogos) + " logos can be stored; " +
                    std::to_string(logos.size()) + " were given.");

    // All planes first: every length goes out before the first block.
    std::vector<TInkPlanes> planes;
    std::vector<std::uint8_t> head{0x1B, 0x67, 0x00, std::uint8_t(logos.size())};
    for (std::size_t k = 0; k < logos.size(); ++k) {
        planes.push_back(BuildInkPlanes(logos[k], irStore(), density.widthDoubled));
        const std::uint64_t length = 6 + BandStreamLength(planes.back());
        if (length > maxStoreBlockLength)
            throw Error("Logo " + std::to_string(k + 1) + " is too large to store: it needs " +
                        std::to_string(length) + " bytes, at most " +
                        std::to_string(maxStoreBlockLength) + " fit.");
        head.push_back(std::uint8_t(length >> 8));
        head.push_back(std::uint8_t(length & 0xFF));
    }
    out.write(head);

    static const std::uint8_t centre[3] = {0x1B, 0x61, 0x01};
    static const std::uint8_t left[3] = {0x1B, 0x61, 0x00};
    for (const TInkPlanes& logo : planes) {
        out.write(centre, sizeof centre);
        WriteBands(logo, density.mode, out);
        out.write(left, sizeof left);
    }
}

std::vector<std::uint8_t> BuildStoreStream(std::span<const Picture> logos, Density density) {
    std::vector<std::uint8_t> bytes;
    VectorSink sink(bytes);
    WriteStoreStream(sink, logos, density);
    return bytes;
}

PrintBuild WritePrintStream(ByteSink& out, const Picture& preview, const TInkRule& rule,
                            Density density, bool centred) {
    if (std::uint64_t(preview.width()) * (density.widthDoubled ? 2 : 1) > maxPrintWidth)
        return PrintBuild::tooWide;
    const TInkPlanes planes = BuildInkPlanes(preview, rule, density.widthDoubled);
    static const std::uint8_t centre[3] = {0x1B, 0x61, 0x01};
    static const std::uint8_t left[3] = {0x1B, 0x61, 0x00};
    if (centred)
        out.write(centre, sizeof centre);
    WriteBands(planes, density.mode, out);
    if (centred)
        out.write(left, sizeof left);
    return PrintBuild::ok;
}

std::vector<std::uint8_t> AlignmentCommand(std::uint8_t function) {
    return {0x1B, 0x40, 0x1B, 0x78, 0x01, function, 0x1D, 0x76, 0x66, 0x00};
}

std::vector<std::uint8_t> SetupCommand(const std::array<int, 4>& positions) {
    std::vector<std::uint8_t> bytes;
    bytes.reserve(104);
    for (std::size_t i = 0; i < positions.size(); ++i) {
        const int position = positions[i];
        if (position < 1 || position > 7)
            throw Error("Alignment position " + std::to_string(position) + " of mode " +
                        std::to_string(i + 1) + " is outside 1 to 7.");
        bytes.insert(bytes.end(),
                     {0x1B, 0x78, 0x01, 0x02, std::uint8_t(i + 1), std::uint8_t(position)});
        bytes.insert(bytes.end(), 20, 0x00);
    }
    return bytes;
}

} // namespace logosmith
