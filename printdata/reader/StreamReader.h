#pragma once

// Reads a printer command stream (a .prn file, or what "Store" would send) the way the MRX-310
// takes it: the logos a store command leaves in its memory, the paper a print produces and the
// alignment it is given. Written from the command definitions alone; the encoder is not used.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace logosmith::prn {

// Inks laid on one dot.
enum Ink : std::uint8_t { noInk = 0, inkL = 1, inkR = 2, inkBoth = inkL | inkR };

// Sheets are measured in printer units. Across: half a single-density dot, so a single-density
// dot (mode 0) is 2 units wide and a double-density dot (mode 1) 1 unit. Down: one feed unit
// (ESC J n feeds n); a dot row is 2 units, an 8-dot band 16.
inline constexpr int unitsPerDotRow = 2;
constexpr int dotUnits(std::uint8_t mode) {
    return mode == 0 ? 2 : 1;
}

// The paper's line: the widest line a print may carry, 1015 single-density dots. A line that
// would reach past it is a fault.
inline constexpr std::int64_t paperUnits = 2 * 1015;
// Longer streams are refused unread; a whole store command is well under 1 MB.
inline constexpr std::size_t maxStreamBytes = std::size_t(8) << 20;
// The printer's logo memory.
inline constexpr int maxLogos = 10;

// One bit image (ESC * m nL nH d1..dk) where the printer laid it.
struct BitImage {
    std::size_t offset = 0;  // of its ESC * in the stream
    std::int64_t x = 0;      // left edge in units from the sheet's left, justification applied
    std::int64_t y = 0;      // top edge in feed units from the sheet's top
    std::size_t first = 0;   // its column bytes are Sheet::columnBytes[first, first + count)
    std::uint32_t count = 0; // columns; bit 7 of a column byte is its top dot
    std::uint8_t mode = 0;   // 0 single, 1 double density
    Ink ink = inkL;

    std::int64_t widthUnits() const { return std::int64_t(count) * dotUnits(mode); }
};

// The dots laid on one sheet: the paper of a print, or one stored logo.
struct Sheet {
    std::vector<BitImage> images;
    std::vector<std::uint8_t> columnBytes;
    std::int64_t widthUnits = 0;  // the paper's line, or the widest line of a logo
    std::int64_t heightUnits = 0; // everything fed, or further when ink lies below the last feed
    std::int64_t columns = 0;     // the most columns any one line held
    std::uint8_t modes = 0;       // bit m set when a bit image of mode m was laid
    bool centred = false;         // some line was centred (ESC a 1)

    bool empty() const { return images.empty() && heightUnits == 0; }
    std::int64_t dotRows() const { return (heightUnits + 1) / unitsPerDotRow; }
    // The density all its bit images share; none when it has none or mixes them.
    std::optional<std::uint8_t> mode() const;
};

struct StoredLogo {
    int number = 0;         // 1..N in stream order
    std::size_t offset = 0; // of the block's first byte
    std::size_t bytes = 0;  // the block's length, ESC a framing included
    Sheet sheet;            // as wide as its widest line, its lines centred on it
};

// ESC x 1 n functions.
enum class AlignmentFunction : std::uint8_t { printPattern = 1, setAlignment = 2, checkSetup = 3 };

// Where and why reading stopped: the first byte of the faulty command, or the offending byte
// when a byte has a value the command does not take. Nothing after it was read.
struct Fault {
    std::size_t offset = 0;
    std::string message;
};

enum class StreamKind { empty, store, print, alignment, setup, mixed };

struct Reading {
    std::size_t bytes = 0; // the stream's length
    std::optional<Fault> fault;
    // The logo memory after the last complete store command (each replaces it whole).
    std::vector<StoredLogo> logos;
    int storeCommands = 0;
    // What was printed, paperUnits wide. Lines still unprinted at the end are printed.
    Sheet paper;
    int printCommands = 0; // ESC a, ESC r, ESC *, CR and ESC J outside store commands
    // Every ESC x 1 n in stream order, and the positions set by ESC x 1 2 for the modes low,
    // normal, high and colour: 1..7 (the shown value + 4), 0 for a mode not set.
    std::vector<AlignmentFunction> functions;
    std::optional<std::array<int, 4>> alignment;

    bool ok() const { return !fault; }
    StreamKind kind() const;
};

// Reads the stream up to its end or its first fault; what was read before a fault is kept.
// Work and memory grow linearly with the stream; one longer than maxStreamBytes is a fault at
// that offset.
Reading readPrinterStream(std::span<const std::uint8_t> bytes);

} // namespace logosmith::prn
