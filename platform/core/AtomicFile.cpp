#include "platform/core/AtomicFile.h"

#include "platform/core/Error.h"

#include <cctype>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
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

constexpr const char* temporaryPrefix = ".logosmith-";

// Whether a directory entry is one of our temporaries: the prefix and mkstemp's six letters.
bool isTemporaryName(const char* name) {
    const std::size_t prefix = std::strlen(temporaryPrefix);
    if (std::strncmp(name, temporaryPrefix, prefix) != 0 || std::strlen(name) != prefix + 6)
        return false;
    for (const char* c = name + prefix; *c; ++c)
        if (!std::isalnum(static_cast<unsigned char>(*c)))
            return false;
    return true;
}

// A new temporary beside path, locked. Between its creation and the lock another program
// clearing stale temporaries may take it for a dead writer's and remove it; then a new one is
// made, as a write into a removed file could never be renamed into place.
int lockedTemporary(const std::string& path, std::string& temp) {
    for (int attempt = 0; attempt < 8; ++attempt) {
        temp = folderOf(path) + "/" + temporaryPrefix + "XXXXXX";
        const int fd = ::mkstemp(temp.data());
        if (fd < 0)
            throw FileError("Cannot create " + path + ": " + systemText());
        // Held until the rename: a temporary whose lock can be taken belongs to a writer
        // that died.
        ::flock(fd, LOCK_EX);
        struct stat held {
        }, named{};
        if (::fstat(fd, &held) == 0 && ::lstat(temp.c_str(), &named) == 0 &&
            held.st_dev == named.st_dev && held.st_ino == named.st_ino)
            return fd;
        ::close(fd);
    }
    throw FileError("Cannot create " + path + ": its temporary files keep being removed");
}

} // namespace

void writeFileAtomically(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    writeFileAtomically(path, [&](const ByteWriter& write) { write(bytes.data(), bytes.size()); });
}

void writeFileAtomically(const std::string& path,
                         const std::function<void(const ByteWriter&)>& produce) {
    std::string temp;
    const int fd = lockedTemporary(path, temp);
    try {
        // Each finished stretch of the file is handed to the disk at once, so that the final
        // flush waits for the last stretch only.
        constexpr std::size_t stretch = 8 * 1024 * 1024;
        std::size_t written = 0, flushed = 0;
        produce([&](const std::uint8_t* data, std::size_t size) {
            writeAll(fd, data, size, path);
            written += size;
            if (written - flushed >= stretch) {
                ::sync_file_range(fd, off64_t(flushed), off64_t(written - flushed),
                                  SYNC_FILE_RANGE_WRITE);
                flushed = written;
            }
        });
        // A replaced file keeps its permissions (and, where we may, its owner).
        struct stat old {};
        if (::stat(path.c_str(), &old) == 0 && S_ISREG(old.st_mode)) {
            if ((old.st_uid != ::geteuid() || old.st_gid != ::getegid()) &&
                ::fchown(fd, old.st_uid, old.st_gid) != 0) {
                // only the owner of the folder's files may give them away; ours it is then
            }
            ::fchmod(fd, old.st_mode & 07777);
        } else {
            ::fchmod(fd, 0644);
        }
        if (::fsync(fd) != 0)
            throw FileError("Cannot write " + path + ": " + systemText());
        if (::rename(temp.c_str(), path.c_str()) != 0)
            throw FileError("Cannot create " + path + ": " + systemText());
    } catch (...) {
        ::unlink(temp.c_str());
        ::close(fd);
        throw;
    }
    ::close(fd);
}

int removeStaleTemporaries(const std::string& folder) noexcept {
    DIR* dir = ::opendir(folder.c_str());
    if (!dir)
        return 0;
    int removed = 0;
    while (const dirent* entry = ::readdir(dir)) {
        if (!isTemporaryName(entry->d_name))
            continue;
        const int fd =
            ::openat(::dirfd(dir), entry->d_name, O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK);
        if (fd < 0)
            continue;
        struct stat st {};
        // Only our own plain files, and only when no living writer holds them.
        if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == ::geteuid() &&
            ::flock(fd, LOCK_EX | LOCK_NB) == 0 && ::unlinkat(::dirfd(dir), entry->d_name, 0) == 0)
            ++removed;
        ::close(fd);
    }
    ::closedir(dir);
    return removed;
}

std::vector<std::uint8_t> readWholeFile(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        throw FileError("Cannot open " + path + ": " + systemText());
    struct stat st {};
    std::size_t expected = 0;
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size > 0)
        expected = std::size_t(st.st_size);
    // One more byte than the file has, so that its end is seen by the first reads.
    std::vector<std::uint8_t> out(expected + 1);
    std::size_t size = 0;
    for (;;) {
        if (size == out.size())
            out.resize(out.size() * 2);
        const ssize_t n = ::read(fd, out.data() + size, out.size() - size);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            const std::string text = systemText();
            ::close(fd);
            throw FileError("Cannot read " + path + ": " + text);
        }
        if (n == 0)
            break;
        size += std::size_t(n);
    }
    ::close(fd);
    out.resize(size);
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
