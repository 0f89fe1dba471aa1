#include "separation/loader/PictureLoader.h"

#include "platform/core/AtomicFile.h"
#include "platform/core/Error.h"

#include <sys/stat.h>

namespace logosmith {

namespace {

// No picture the program can hold needs a bigger file (the largest 24-bit BMP is 192 MB);
// this stops a stray huge file from being read into memory whole.
constexpr long long maxFileBytes = 256LL * 1024 * 1024;

} // namespace

Picture decodePictureFile(const std::string& path) {
    const PictureFormat* format = pictureFormatFor(path);
    if (!format)
        throw DecodeError("Pictures of the type \"" + pictureExtension(path) +
                          "\" cannot be loaded: " + path);
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        throw FileError("Cannot open " + path + ": the file does not exist");
    if (!S_ISREG(st.st_mode))
        throw FileError("Cannot open " + path + ": it is not a file");
    if (st.st_size > maxFileBytes)
        throw DecodeError("The picture file is too large: " + path);
    const std::vector<std::uint8_t> bytes = readWholeFile(path);
    if (bytes.empty())
        throw DecodeError("The picture file is empty: " + path);
    return format->decode(bytes.data(), bytes.size());
}

} // namespace logosmith
