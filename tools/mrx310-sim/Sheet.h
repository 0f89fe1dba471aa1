#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace logosmith::sim {

// Printed dots in columns (one per bit-image column byte received, whatever the mode byte)
// and dot rows (one per 2 feed units). Only the bit images are kept, so a sheet costs what was
// sent, not its area; the dots are laid out when the sheet is rendered.
class Sheet {
  public:
    enum Ink : std::uint8_t { none = 0, inkL = 1, inkR = 2 };

    // One bit image of `count` column bytes from column x, its top dot on row y.
    void lay(std::int64_t x, std::int64_t y, Ink ink, const std::uint8_t* columns,
             std::size_t count);
    // The inks laid on one dot.
    std::uint8_t dot(std::int64_t x, std::int64_t y) const;
    // Columns reached by any bit image, blank ones included.
    std::int64_t width() const { return width_; }
    // Dot rows: all rows fed, or further when ink lies below the last feed.
    std::int64_t height() const { return fedRows_ > inkRows_ ? fedRows_ : inkRows_; }
    void feedRows(std::int64_t rows) { fedRows_ += rows; }
    std::int64_t fedRows() const { return fedRows_; }

    // Rows from the top of a bit image down to its lowest inked dot: 0 (no ink) to 8.
    static int inkedRows(const std::uint8_t* columns, std::size_t count);
    // What a sheet of this size costs to render: its area, at least one dot.
    static std::int64_t dotsFor(std::int64_t width, std::int64_t height);
    std::int64_t dots() const { return dotsFor(width_, height()); }

    // One byte per dot, rows top first, each the inks laid on it (0 paper, 1 L, 2 R, 3 both);
    // at least 1 x 1.
    std::vector<std::uint8_t> render(int& width, int& height) const;

  private:
    struct Stroke {
        std::int64_t x;
        std::int64_t y;
        std::size_t at; // first column byte in columns_
        std::size_t count;
        Ink ink;
    };
    std::vector<std::uint8_t> columns_;
    std::vector<Stroke> strokes_;
    std::int64_t width_ = 0;
    std::int64_t inkRows_ = 0;
    std::int64_t fedRows_ = 0;
};

} // namespace logosmith::sim
