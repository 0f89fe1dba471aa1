#include "platform/core/AtomicFile.h"

#include "platform/core/Error.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace logosmith {

namespace {

std::string systemText() {
    return std::strerror(errno);
}

void writeAll(int fd, const std::uint8_t* data, std::size_t size, const std::string& path) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            throw FileError("Cannot write " + path + ": " + systemText());
        }
        data += n;
        size -= std::size_t(n);
    }
}

std::string folderOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? std::string(".") : path.substr(0, slash + 1);
}

} // namespace

void writeFileAtomically(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::string temp = folderOf(path) + "/.logosmith-XXXXXX";
    const int fd = ::mkstemp(temp.data());
    if (fd < 0)
        throw FileError("Cannot create " + path + ": " + systemText());
    try {
        writeAll(fd, bytes.data(), bytes.size(), path);
        ::fchmod(fd, 0644);
        if (::fsync(fd) != 0)
            throw FileError("Cannot write " + path + ": " + systemText());
        if (::close(fd) != 0)
            throw FileError("Cannot write " + path + ": " + systemText());
    } catch (...) {
        ::close(fd);
        ::unlink(temp.c_str());
        throw;
    }
    if (::rename(temp.c_str(), path.c_str()) != 0) {
        const std::string reason = systemText();
        ::unlink(temp.c_str());
        throw FileError("Cannot create " + path + ": " + reason);
    }
}

std::vector<std::uint8_t> readWholeFile(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        throw FileError("Cannot open " + path + ": " + systemText());
    std::vector<std::uint8_t> out;
    std::uint8_t buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            const std::string text = systemText();
            ::close(fd);
            throw FileError("Cannot read " + path + ": " + text);
        }
        if (n == 0)
            break;
        out.insert(out.end(), buffer, buffer + n);
    }
    ::close(fd);
    return out;
}

bool fileExists(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

void deleteFileIfExists(const std::string& path) {
    if (::unlink(path.c_str()) != 0 && errno != ENOENT)
        throw FileError("Cannot delete " + path + ": " + systemText());
}

} // namespace logosmith
