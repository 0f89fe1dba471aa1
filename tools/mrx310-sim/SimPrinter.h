#pragma once

#include <QCryptographicHash>

#include <array>
#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace logosmith::sim {

// Printed dots in columns (one per bit-image column byte received, whatever the mode byte)
// and dot rows (one per 2 feed units). Each dot holds the inks laid on it.
class Sheet {
  public:
    enum Ink : std::uint8_t { none = 0, inkL = 1, inkR = 2 };

    void lay(int x, int y, Ink ink);
    // Counts columns reached by a bit image, blank ones included.
    void reach(int columns) { width_ = columns > width_ ? columns : width_; }
    std::uint8_t dot(int x, int y) const;
    // Columns reached by any bit image.
    int width() const { return width_; }
    // Dot rows: all rows fed, or further when ink lies below the last feed.
    int height() const;
    void feedRows(int rows) { fedRows_ += rows; }
    int fedRows() const { return fedRows_; }

    // RGB for a PNG, at least 1 x 1: paper white, L black, R red, both dark purple.
    std::vector<std::uint8_t> toRgb(int& width, int& height) const;

  private:
    std::vector<std::vector<std::uint8_t>> rows_;
    int width_ = 0;
    int fedRows_ = 0;
};

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
// command's byte has a value that is not allowed.
class SimPrinter {
  public:
    explicit SimPrinter(bool firmware = false);

    void feed(const std::uint8_t* data, std::size_t size);
    void feed(const std::vector<std::uint8_t>& data) { feed(data.data(), data.size()); }
    void finish();

    bool ok() const { return errors_.empty(); }
    const std::vector<SimError>& errors() const { return errors_; }
    std::size_t bytes() const { return bytes_; }
    const Sheet& paper() const { return paper_; }
    const std::vector<StoredLogo>& storedLogos() const { return logos_; }
    const std::map<std::string, int>& commands() const { return commands_; }
    // Positions 1..7 for the modes low, normal, high, colour; 0 for a mode never set.
    std::optional<std::array<int, 4>> alignment() const { return alignment_; }
    bool firmware() const { return firmware_; }
    const std::string& firmwareSha256() const { return sha256_; }
    // Modes seen in bit images (0 single, 1 double density).
    const std::vector<int>& bitImageModes() const { return modes_; }

    // The report as JSON; extra is inserted verbatim as further members (may be empty).
    std::string reportJson(const std::string& extra = {}) const;

  private:
    struct Head;
    struct Cursor;
    void parseAll();
    bool parseBandCommand(Cursor& c, Head& head);
    void parseStore(Cursor& c);
    void parseAlignment(Cursor& c);
    void parseEnding(Cursor& c);
    void count(const std::string& command) { ++commands_[command]; }

    bool firmware_;
    bool finished_ = false;
    std::size_t bytes_ = 0;
    std::vector<std::uint8_t> data_;
    // Held by pointer because the hash cannot be moved and the printer is returned by value.
    std::unique_ptr<QCryptographicHash> hash_ =
        std::make_unique<QCryptographicHash>(QCryptographicHash::Sha256);
    std::string sha256_;

    std::vector<SimError> errors_;
    Sheet paper_;
    std::vector<StoredLogo> logos_;
    std::map<std::string, int> commands_;
    std::optional<std::array<int, 4>> alignment_;
    std::vector<int> modes_;
};

// Convenience for tests and tools: the whole stream at once.
SimPrinter simulate(const std::vector<std::uint8_t>& stream);

} // namespace logosmith::sim
