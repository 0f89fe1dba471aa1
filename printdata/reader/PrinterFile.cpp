#include "printdata/reader/PrinterFile.h"

#include "platform/core/Error.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace logosmith::prn {

namespace {

std::string notAStream(const std::string& name, const std::string& why) {
    return name + " is not a printer stream: " + why;
}

std::string tooLong(const std::string& path, std::uint64_t size) {
    return notAStream(path, "it is " + std::to_string(size) + " bytes, more than the " +
                                std::to_string(maxStreamBytes) + " read at most");
}

// Closes the descriptor however reading ends.
struct Descriptor {
    int fd;
    ~Descriptor() { ::close(fd); }
};

} // namespace

std::vector<std::uint8_t> readPrinterFile(const std::string& path) {
    // Not blocking: opening a pipe must not wait for a writer that never comes.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        throw FileError("Cannot open " + path + ": " + std::strerror(errno));
    const Descriptor closer{fd};
    // Asked of the open file, so that what is read is what was checked.
    struct stat st {};
    if (::fstat(fd, &st) != 0)
        throw FileError("Cannot read " + path + ": " + std::strerror(errno));
    if (!S_ISREG(st.st_mode))
        throw Error(notAStream(path, "it is not a plain file"));
    if (std::uint64_t(st.st_size) > maxStreamBytes)
        throw Error(tooLong(path, std::uint64_t(st.st_size)));

    // Read to the end, but never past the bound: a file may grow after it was measured.
    std::vector<std::uint8_t> bytes;
    bytes.reserve(std::size_t(st.st_size) + 1);
    std::uint8_t buffer[65536];
    while (bytes.size() <= maxStreamBytes) {
        const std::size_t want = std::min(sizeof buffer, maxStreamBytes + 1 - bytes.size());
        const ssize_t n = ::read(fd, buffer, want);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            throw FileError("Cannot read " + path + ": " + std::strerror(errno));
        }
        if (n == 0)
            return bytes;
        bytes.insert(bytes.end(), buffer, buffer + n);
    }
    throw Error(tooLong(path, bytes.size()));
}

void requirePrinterStream(const Reading& reading, const std::string& name) {
    if (reading.fault)
        throw Error(notAStream(
            name, "reading stopped at offset " + std::to_string(reading.fault->offset) + " of " +
                      std::to_string(reading.bytes) + ": " + reading.fault->message));
    if (reading.kind() == StreamKind::empty)
        throw Error(notAStream(name, "it holds no store, print or alignment command"));
}

} // namespace logosmith::prn
