#pragma once

#include "tools/mrx310-sim/Sheet.h"

#include <QCryptographicHash>

#include <array>
#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace logosmith::sim {

// What a stream must be. `anything` reads it as the printer would: any run of the commands it
// knows. The others demand exactly one such document, laid out byte for byte as our encoder
// and dialogs write it; `align` takes either the alignment command or the setup command, and
// `firmware` passes everything through, only counted and hashed.
enum class Expect { anything, store, print, align, firmware };

std::optional<Expect> expectFromName(std::string_view name);
const char* expectName(Expect expect);

// The most the simulator reads and renders, so that no stream can make it run out of memory
// or time. Each sheet (the paper, each stored logo) is at most maxSheetSide dots each way,
// which is what PNG readers take; all sheets together cost at most maxPaperDots to render.
// A stream that needs more is refused at the command that would cross the line.
inline constexpr std::int64_t maxSheetSide = 1000000;
inline constexpr std::int64_t maxPaperDots = std::int64_t(1) << 25;
// Command streams (not firmware) are held whole until they end, up to this many bytes.
inline constexpr std::size_t maxStreamBytes = std::size_t(64) << 20;

struct SimError {
    std::size_t offset;
    std::string message;
};

struct StoredLogo {
    int number;
    std::size_t bytes; // the block length, framing included
    Sheet sheet;
};

// The virtual MRX-310. Bytes are fed in pieces as they arrive; finish() checks the whole
// stream strictly. The first fault stops the check: after it the stream cannot be trusted.
// Offsets name the first byte of the faulty command, or the offending byte itself when a
// command's byte has a value that is not allowed or is not the one expected.
class SimPrinter {
  public:
    explicit SimPrinter(Expect expect = Expect::anything);

    void feed(const std::uint8_t* data, std::size_t size);
    void feed(const std::vector<std::uint8_t>& data) { feed(data.data(), data.size()); }
    void finish();

    bool ok() const { return errors_.empty(); }
    const std::vector<SimError>& errors() const { return errors_; }
    std::size_t bytes() const { return bytes_; }
    Expect expect() const { return expect_; }
    const Sheet& paper() const { return paper_; }
    const std::vector<StoredLogo>& storedLogos() const { return logos_; }
    // Count per command received ("CR", "ESC *", "ESC x 1 2", ...), commands never seen left out.
    std::map<std::string, int> commands() const;
    // Positions 1..7 for the modes low, normal, high, colour; 0 for a mode never set.
    std::optional<std::array<int, 4>> alignment() const { return alignment_; }
    bool firmware() const { return expect_ == Expect::firmware; }
    const std::string& firmwareSha256() const { return sha256_; }
    // Modes seen in bit images (0 single, 1 double density).
    const std::vector<int>& bitImageModes() const { return modes_; }

    // The report as JSON; extra is inserted verbatim as further members (may be empty).
    std::string reportJson(const std::string& extra = {}) const;

  private:
    enum Command {
        cmdCR,
        cmdBitImage,
        cmdInit,
        cmdFeed,
        cmdJustify,
        cmdStore,
        cmdColour,
        cmdPattern,
        cmdSetAlignment,
        cmdCheckSetup,
        cmdEnding,
        commandKinds
    };
    struct Head;
    struct Cursor;
    struct Band;
    struct Image;
    void parseAll();
    void parseExpected();
    bool parseBandCommand(Cursor& c, Head& head);
    void parseStore(Cursor& c, bool strict);
    void parseAlignment(Cursor& c);
    void parseEnding(Cursor& c);
    void parseBandStream(Cursor& c, Head& head, std::int64_t maxColumns);
    void parseBitImageLine(Cursor& c, Head& head, Image& image, bool lLine);
    void parsePrintDocument(Cursor& c);
    void parseAlignDocument(Cursor& c);
    void drawBitImage(Head& head, std::size_t start, const std::uint8_t* columns,
                      std::size_t count);
    void feedPaper(Head& head, std::size_t start, int units);
    void checkRoom(const Sheet& sheet, std::int64_t width, std::int64_t height,
                   std::size_t start) const;
    void count(Command command) { ++commands_[command]; }

    Expect expect_;
    bool finished_ = false;
    bool overflowed_ = false;
    std::size_t bytes_ = 0;
    std::vector<std::uint8_t> data_;
    // Held by pointer because the hash cannot be moved and the printer is returned by value.
    std::unique_ptr<QCryptographicHash> hash_ =
        std::make_unique<QCryptographicHash>(QCryptographicHash::Sha256);
    std::string sha256_;

    std::vector<SimError> errors_;
    Sheet paper_;
    std::vector<StoredLogo> logos_;
    std::int64_t finishedLogoDots_ = 0; // every logo of every store so far
    std::array<int, commandKinds> commands_{};
    std::optional<std::array<int, 4>> alignment_;
    std::vector<int> modes_;
};

// Convenience for tests and tools: the whole stream at once.
SimPrinter simulate(const std::vector<std::uint8_t>& stream, Expect expect = Expect::anything);

} // namespace logosmith::sim
