#include "separation/loader/ByteSource.h"

#include "platform/core/Error.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace logosmith::decoders {

namespace {

// Reads that continue the last one take this much at once; reads elsewhere take what they ask
// for, so a decoder hopping over most rows of a large file does not read the rows between.
constexpr std::size_t readAhead = 256 * 1024;

} // namespace

ByteSource::ByteSource(const std::uint8_t* data, std::size_t size) : memory_(data), size_(size) {}

ByteSource::ByteSource(int fd, std::size_t size, std::string name)
    : size_(size), fd_(fd), name_(std::move(name)) {}

std::size_t ByteSource::readAt(std::size_t offset, std::uint8_t* into, std::size_t count) {
    std::size_t done = 0;
    while (done < count) {
        const ssize_t n = ::pread(fd_, into + done, count - done, off_t(offset + done));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            throw FileError("Cannot read " + name_ + ": " + std::strerror(errno));
        }
        if (n == 0)
            break; // the file has shrunk
        done += std::size_t(n);
    }
    return done;
}

const std::uint8_t* ByteSource::view(std::size_t offset, std::size_t count,
                                     const char* truncatedMessage) {
    if (offset > size_ || count > size_ - offset)
        throw DecodeError(truncatedMessage);
    if (memory_ || whole_)
        return (memory_ ? memory_ : whole_.get()) + offset;
    if (offset >= windowStart_ && offset - windowStart_ + count <= windowSize_)
        return window_.data() + (offset - windowStart_);
    const bool onward = offset >= windowStart_ && offset <= windowStart_ + windowSize_;
    const std::size_t want = std::min(size_ - offset, onward ? std::max(count, readAhead) : count);
    if (window_.size() < want)
        window_.resize(want);
    windowStart_ = offset;
    windowSize_ = readAt(offset, window_.data(), want);
    if (windowSize_ < count)
        throw DecodeError(truncatedMessage);
    return window_.data();
}

const std::uint8_t* ByteSource::all() {
    if (memory_)
        return memory_;
    if (!whole_) {
        // Not cleared first: every byte is read over, and the pages are touched only once.
        whole_.reset(new std::uint8_t[std::max<std::size_t>(size_, 1)]);
        size_ = readAt(0, whole_.get(), size_);
        window_ = {};
        windowSize_ = 0;
    }
    return whole_.get();
}

} // namespace logosmith::decoders
