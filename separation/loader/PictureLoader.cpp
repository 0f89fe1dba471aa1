#include "separation/loader/PictureLoader.h"

#include "platform/core/Error.h"
#include "separation/loader/ByteSource.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace logosmith {

namespace {

// No picture the program can hold needs a bigger file (the largest 24-bit BMP is 192 MB);
// this stops a stray huge file from being read into memory whole.
constexpr long long maxFileBytes = 256LL * 1024 * 1024;

bool sameContent(const struct stat& a, const struct stat& b) {
    return a.st_size == b.st_size && a.st_mtim.tv_sec == b.st_mtim.tv_sec &&
           a.st_mtim.tv_nsec == b.st_mtim.tv_nsec;
}

} // namespace

struct PictureSource::OpenFile {
    int fd = -1;
    std::string path;
    const PictureFormat* format = nullptr;
    struct stat status {};
    int width = 0;
    int height = 0;

    ~OpenFile() {
        if (fd >= 0)
            ::close(fd);
    }

    Picture decode(LoadOptions options, int* ownWidth = nullptr, int* ownHeight = nullptr) const {
        decoders::ByteSource in(fd, std::size_t(status.st_size), path);
        decoders::PictureBuilder out(options);
        format->decode(in, out);
        if (ownWidth)
            *ownWidth = out.width(), *ownHeight = out.height();
        return out.finish();
    }
};

const std::string& PictureSource::path() const {
    return file_->path;
}

const PictureFormat& PictureSource::format() const {
    return *file_->format;
}

int PictureSource::width() const {
    return file_ ? file_->width : 0;
}

int PictureSource::height() const {
    return file_ ? file_->height : 0;
}

Picture PictureSource::decode(LoadOptions options) const {
    if (!file_)
        return Picture();
    struct stat now {};
    if (::fstat(file_->fd, &now) != 0 || !sameContent(now, file_->status))
        throw DecodeError("The picture file has been changed since it was loaded: " + file_->path);
    return file_->decode(options);
}

LoadedPicture loadPictureFile(const std::string& path, LoadOptions options) {
    const PictureFormat* format = pictureFormatFor(path);
    if (!format)
        throw DecodeError(unsupportedPictureMessage(path));
    auto file = std::make_shared<PictureSource::OpenFile>();
    file->path = path;
    file->format = format;
    // Not blocking: a FIFO named like a picture must not hang the load before it is refused.
    file->fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (file->fd < 0) {
        if (errno == ENOENT)
            throw FileError("Cannot open " + path + ": the file does not exist");
        throw FileError("Cannot open " + path + ": " + std::strerror(errno));
    }
    if (::fstat(file->fd, &file->status) != 0)
        throw FileError("Cannot open " + path + ": " + std::strerror(errno));
    if (!S_ISREG(file->status.st_mode))
        throw FileError("Cannot open " + path + ": it is not a file");
    if (file->status.st_size > maxFileBytes)
        throw DecodeError("The picture file is too large: " + path);
    if (file->status.st_size == 0)
        throw DecodeError("The picture file is empty: " + path);
    LoadedPicture loaded;
    loaded.picture = file->decode(options, &file->width, &file->height);
    loaded.source.file_ = std::move(file);
    return loaded;
}

Picture decodePictureFile(const std::string& path, LoadOptions options) {
    return loadPictureFile(path, options).picture;
}

Picture decodePictureBytes(const PictureFormat& format, const std::uint8_t* data, std::size_t size,
                           LoadOptions options) {
    decoders::ByteSource in(data, size);
    decoders::PictureBuilder out(options);
    format.decode(in, out);
    return out.finish();
}

} // namespace logosmith
