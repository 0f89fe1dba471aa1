#pragma once

#include "printdata/ByteSink.h"
#include "printdata/Density.h"
#include "printdata/Raster.h"
#include "separation/picture/Picture.h"

#include <array>
#include <cstdint>
#include <span>
#include <vector>

namespace logosmith {

// The printer's logo memory.
inline constexpr int maxStoredLogos = 10;
// A store block's length travels as 16 bits.
inline constexpr std::uint64_t maxStoreBlockLength = 65535;
// An L line (W + 9 bytes) may not exceed 1024 bytes.
inline constexpr std::uint32_t maxPrintWidth = 1015;
inline constexpr const char* imageTooLargeMessage = "Image file size is too large.";

// The store command for logos 1..N in order: ESC g 0 N, the big-endian block lengths, then
// each block (ESC a 1, the band stream under irStore, ESC a 0). Every picture is checked before
// the first byte is written: no logos, more than 10, or a block over 65535 bytes (the error
// names the logo) throw Error and leave the sink untouched.
void WriteStoreStream(ByteSink& out, std::span<const Picture> logos, Density density);
std::vector<std::uint8_t> BuildStoreStream(std::span<const Picture> logos, Density density);

enum class PrintBuild { ok, tooWide };

// The print command for one preview: the band stream under rule, framed by ESC a 1 / ESC a 0
// when centred. A preview wider than maxPrintWidth dots gives tooWide and writes nothing; the
// caller shows imageTooLargeMessage.
PrintBuild WritePrintStream(ByteSink& out, const Picture& preview, const TInkRule& rule,
                            Density density, bool centred);

// Functions of the 10-byte alignment command.
inline constexpr std::uint8_t alignmentPrintPattern = 1;
inline constexpr std::uint8_t alignmentCheckSetup = 3;

// ESC @, ESC x 1 function, GS v f NUL.
std::vector<std::uint8_t> AlignmentCommand(std::uint8_t function);

// Four 26-byte records setting the alignment of the modes low, normal, high and colour to
// positions 1..7 (shown value + 4). Throws Error for a position outside 1..7.
std::vector<std::uint8_t> SetupCommand(const std::array<int, 4>& positions);

} // namespace logosmith
