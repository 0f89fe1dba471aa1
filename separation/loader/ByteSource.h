#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace logosmith::decoders {

// The bytes of a picture file as a decoder reads them: all in memory, or an open file read
// piece by piece, so that a decoder that needs only some rows of a large file reads only those
// and never holds the whole file.
class ByteSource {
  public:
    // Bytes in memory, not copied; they must outlive the source.
    ByteSource(const std::uint8_t* data, std::size_t size);
    // An open regular file of `size` bytes (its size when it was opened), read with pread from
    // the start; the descriptor is not owned. `name` is for messages.
    ByteSource(int fd, std::size_t size, std::string name);
    ByteSource(const ByteSource&) = delete;
    ByteSource& operator=(const ByteSource&) = delete;

    std::size_t size() const { return size_; }

    // `count` bytes from `offset`; the pointer stays valid until the next call of view or all.
    // Throws DecodeError with `truncatedMessage` when the bytes are not all there (past the
    // size, or a file that has shrunk since), FileError when the file cannot be read.
    const std::uint8_t* view(std::size_t offset, std::size_t count, const char* truncatedMessage);

    // The whole content at once; a file is read once, into one buffer of its size, and kept
    // while the source lives. A file that has shrunk since it was opened gives fewer bytes, and
    // size() says how many.
    const std::uint8_t* all();

  private:
    std::size_t readAt(std::size_t offset, std::uint8_t* into, std::size_t count);

    const std::uint8_t* memory_ = nullptr;
    std::size_t size_ = 0;
    int fd_ = -1;
    std::string name_;
    std::unique_ptr<std::uint8_t[]> whole_;
    std::vector<std::uint8_t> window_;
    std::size_t windowStart_ = 0;
    std::size_t windowSize_ = 0;
};

} // namespace logosmith::decoders
