#include "tools/mrx310-sim/Sheet.h"

#include <algorithm>

namespace logosmith::sim {

void Sheet::lay(std::int64_t x, std::int64_t y, Ink ink, const std::uint8_t* columns,
                std::size_t count) {
    width_ = std::max(width_, x + std::int64_t(count));
    const int rows = inkedRows(columns, count);
    if (rows == 0)
        return; // blank columns only widen the sheet
    inkRows_ = std::max(inkRows_, y + rows);
    strokes_.push_back({x, y, columns_.size(), count, ink});
    columns_.insert(columns_.end(), columns, columns + count);
}

int Sheet::inkedRows(const std::uint8_t* columns, std::size_t count) {
    std::uint8_t any = 0;
    for (std::size_t i = 0; i < count; ++i)
        any |= columns[i];
    // Bit 7 is the top dot, bit 0 the eighth: the lowest set bit is the lowest row inked.
    int rows = 8;
    while (rows > 0 && !(any & (0x100 >> rows)))
        --rows;
    return rows;
}

std::uint8_t Sheet::dot(std::int64_t x, std::int64_t y) const {
    std::uint8_t inks = none;
    for (const Stroke& s : strokes_)
        if (x >= s.x && x < s.x + std::int64_t(s.count) && y >= s.y && y < s.y + 8 &&
            (columns_[s.at + std::size_t(x - s.x)] & (0x80 >> (y - s.y))))
            inks |= s.ink;
    return inks;
}

std::int64_t Sheet::dotsFor(std::int64_t width, std::int64_t height) {
    return std::max<std::int64_t>(1, width) * std::max<std::int64_t>(1, height);
}

std::vector<std::uint8_t> Sheet::render(int& width, int& height) const {
    width = int(std::max<std::int64_t>(1, width_));
    height = int(std::max<std::int64_t>(1, this->height()));
    const std::size_t w = std::size_t(width);
    std::vector<std::uint8_t> dots(w * std::size_t(height), none);
    for (const Stroke& s : strokes_)
        for (std::size_t i = 0; i < s.count; ++i) {
            const std::uint8_t column = columns_[s.at + i];
            for (int bit = 0; bit < 8; ++bit)
                if (column & (0x80 >> bit))
                    dots[std::size_t(s.y + bit) * w + std::size_t(s.x) + i] |= s.ink;
        }
    return dots;
}

} // namespace logosmith::sim
