#pragma once

#include "platform/core/Error.h"

#include <cstddef>
#include <cstdint>

namespace logosmith::decoders {

// Little-endian reads from a byte range. Decoders ask with `fits` first and throw their own
// message; a read that still falls outside the range throws the reader's truncation message
// instead of reading past the file.
class ByteReader {
  public:
    ByteReader(const std::uint8_t* data, std::size_t size,
               const char* truncatedMessage = "The file is truncated")
        : data_(data), size_(size), truncatedMessage_(truncatedMessage) {}

    std::size_t size() const { return size_; }
    const std::uint8_t* data() const { return data_; }
    bool fits(std::size_t offset, std::size_t count) const {
        return offset <= size_ && count <= size_ - offset;
    }
    std::uint8_t u8(std::size_t at) const {
        need(at, 1);
        return data_[at];
    }
    std::uint16_t u16(std::size_t at) const {
        need(at, 2);
        return std::uint16_t(data_[at] | (data_[at + 1] << 8));
    }
    std::int16_t s16(std::size_t at) const { return std::int16_t(u16(at)); }
    std::uint32_t u32(std::size_t at) const {
        need(at, 4);
        return std::uint32_t(data_[at]) | (std::uint32_t(data_[at + 1]) << 8) |
               (std::uint32_t(data_[at + 2]) << 16) | (std::uint32_t(data_[at + 3]) << 24);
    }
    std::int32_t s32(std::size_t at) const { return std::int32_t(u32(at)); }

  private:
    void need(std::size_t at, std::size_t count) const {
        if (!fits(at, count)) [[unlikely]]
            throw DecodeError(truncatedMessage_);
    }

    const std::uint8_t* data_;
    std::size_t size_;
    const char* truncatedMessage_;
};

} // namespace logosmith::decoders
