#include "printdata/ByteSink.h"

#include "platform/core/Error.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace logosmith {

namespace {

[[noreturn]] void fileFailure(const std::string& what, const std::string& path) {
    throw FileError("Cannot " + what + " \"" + path + "\": " + std::strerror(errno));
}

} // namespace

FileSink::FileSink(const std::string& path) : path_(path) {
    fd_ = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd_ < 0)
        fileFailure("create", path);
}

FileSink::~FileSink() {
    if (fd_ >= 0)
        ::close(fd_);
}

void FileSink::write(const std::uint8_t* data, std::size_t size) {
    if (fd_ < 0) {
        errno = EBADF;
        fileFailure("write", path_);
    }
    // One call normally takes the whole line; the loop only covers short writes.
    while (size > 0) {
        const ssize_t n = ::write(fd_, data, size);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            fileFailure("write", path_);
        }
        data += n;
        size -= std::size_t(n);
    }
}

void FileSink::close() {
    if (fd_ < 0)
        return;
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0)
        fileFailure("close", path_);
}

} // namespace logosmith
