#pragma once

#include "separation/picture/Colour.h"

#include <cstddef>
#include <cstdint>
#include <new>
#include <utility>
#include <vector>

namespace logosmith {

namespace detail {

// Memory for pixels. It is not cleared when allocated (pictures fill it as they are made), and
// large blocks are asked of the system directly, aligned for huge pages where it offers them:
// a 48-megapixel picture then costs a few hundred page faults instead of thirty-six thousand.
void* allocatePixels(std::size_t bytes);
void releasePixels(void* memory, std::size_t bytes) noexcept;

template <class T> struct PixelAllocator {
    using value_type = T;
    PixelAllocator() = default;
    template <class U> PixelAllocator(const PixelAllocator<U>&) noexcept {}
    T* allocate(std::size_t count) { return static_cast<T*>(allocatePixels(count * sizeof(T))); }
    void deallocate(T* memory, std::size_t count) noexcept {
        releasePixels(memory, count * sizeof(T));
    }
    // Default-initialised: bytes are left as they are.
    template <class U> void construct(U* at) noexcept { ::new (static_cast<void*>(at)) U; }
    template <class U, class... Args> void construct(U* at, Args&&... args) {
        ::new (static_cast<void*>(at)) U(std::forward<Args>(args)...);
    }
    friend bool operator==(const PixelAllocator&, const PixelAllocator&) { return true; }
};

} // namespace detail

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

    // A picture whose pixels are left as the memory holds them, for a maker that writes every
    // one of them (a decoder, the separation). Throws as above.
    struct Uncleared {};
    Picture(int width, int height, Uncleared);

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
    std::vector<std::uint8_t, detail::PixelAllocator<std::uint8_t>> data_;
};

// A new white w x h picture with source drawn stretched into it, nearest pixel, no smoothing.
Picture stretchNearest(const Picture& source, int width, int height);

// The source row (or column) that nearest-pixel stretching draws at target row `target` when
// `sourceCount` rows are stretched to `targetCount`. Decoders that keep only the rows a
// stretch samples use the same rule, so their pictures match stretchNearest's exactly.
inline int nearestSource(int target, int targetCount, int sourceCount) {
    const auto s = int(std::int64_t(target) * sourceCount / targetCount);
    return s < sourceCount - 1 ? s : sourceCount - 1;
}

} // namespace logosmith
