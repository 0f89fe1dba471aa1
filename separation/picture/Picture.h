#pragma once

#include "separation/picture/Colour.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace logosmith {

// The one picture type of the program: 24 bits per pixel, bytes blue, green, red, rows top
// first and packed without padding, direct row access. New pictures are white.
class Picture {
  public:
    // The largest picture the program will allocate: about 64 million pixels (192 MB).
    // Decoders refuse headers that claim more before they allocate anything.
    static constexpr std::int64_t maxPixels = 64LL * 1024 * 1024;
    static constexpr int maxSide = 65535;

    Picture() = default;
    // A picture of one colour, white unless told. Throws DecodeError when the size is
    // negative or beyond the limits above.
    Picture(int width, int height, Colour colour = colours::white);

    int width() const { return width_; }
    int height() const { return height_; }
    bool isEmpty() const { return width_ == 0 || height_ == 0; }
    std::size_t rowBytes() const { return std::size_t(width_) * 3; }

    std::uint8_t* row(int y) { return data_.data() + std::size_t(y) * rowBytes(); }
    const std::uint8_t* row(int y) const { return data_.data() + std::size_t(y) * rowBytes(); }
    std::uint8_t* bytes() { return data_.data(); }
    const std::uint8_t* bytes() const { return data_.data(); }
    std::size_t byteCount() const { return data_.size(); }

    Colour pixel(int x, int y) const {
        const std::uint8_t* p = row(y) + std::size_t(x) * 3;
        return Colour{p[2], p[1], p[0]};
    }
    void setPixel(int x, int y, Colour c) {
        std::uint8_t* p = row(y) + std::size_t(x) * 3;
        p[0] = std::uint8_t(c.b);
        p[1] = std::uint8_t(c.g);
        p[2] = std::uint8_t(c.r);
    }

    friend bool operator==(const Picture&, const Picture&) = default;

    // Throws DecodeError when width x height is beyond the limits; used by decoders before
    // they allocate anything.
    static void checkSize(std::int64_t width, std::int64_t height);

  private:
    int width_ = 0;
    int height_ = 0;
    std::vector<std::uint8_t> data_;
};

// A new white w x h picture with source drawn stretched into it, nearest pixel, no smoothing.
Picture stretchNearest(const Picture& source, int width, int height);

} // namespace logosmith
