#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace logosmith::decoders {

// Little-endian reads from a byte range. Every read is checked; callers ask with `fits`
// first or let `need` throw the decoder's own DecodeError text.
class ByteReader {
  public:
    ByteReader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    std::size_t size() const { return size_; }
    const std::uint8_t* data() const { return data_; }
    bool fits(std::size_t offset, std::size_t count) const {
        return offset <= size_ && count <= size_ - offset;
    }
    std::uint8_t u8(std::size_t at) const { return data_[at]; }
    std::uint16_t u16(std::size_t at) const {
        return std::uint16_t(data_[at] | (data_[at + 1] << 8));
    }
    std::int16_t s16(std::size_t at) const { return std::int16_t(u16(at)); }
    std::uint32_t u32(std::size_t at) const {
        return std::uint32_t(data_[at]) | (std::uint32_t(data_[at + 1]) << 8) |
               (std::uint32_t(data_[at + 2]) << 16) | (std::uint32_t(data_[at + 3]) << 24);
    }
    std::int32_t s32(std::size_t at) const { return std::int32_t(u32(at)); }

  private:
    const std::uint8_t* data_;
    std::size_t size_;
};

} // namespace logosmith::decoders
