#include "separation/loader/PictureLoader.h"

#include "platform/core/AtomicFile.h"
#include "platform/core/Error.h"
#include "separation/loader/BmpDecoder.h"
#include "separation/loader/EmfDecoder.h"
#include "separation/loader/JpegDecoder.h"
#include "separation/loader/QtImageDecoder.h"
#include "separation/loader/WmfPlayer.h"

#include <cctype>
#include <sys/stat.h>

namespace logosmith {

namespace {

// No picture the program can hold needs a bigger file (the largest 24-bit BMP is 192 MB);
// this stops a stray huge file from being read into memory whole.
constexpr long long maxFileBytes = 256LL * 1024 * 1024;

enum class Kind { Unknown, Bmp, Jpeg, Ico, Gif, Emf, Wmf };

Kind kindOf(const std::string& path) {
    const std::string ext = pictureExtension(path);
    if (ext == ".BMP" || ext == ".RLE")
        return Kind::Bmp;
    if (ext == ".JPG" || ext == ".JPEG")
        return Kind::Jpeg;
    if (ext == ".ICO")
        return Kind::Ico;
    if (ext == ".GIF")
        return Kind::Gif;
    if (ext == ".EMF")
        return Kind::Emf;
    if (ext == ".WMF")
        return Kind::Wmf;
    return Kind::Unknown;
}

} // namespace

std::string pictureExtension(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    const std::size_t dot = path.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return {};
    std::string ext = path.substr(dot);
    for (char& c : ext)
        c = char(std::toupper(static_cast<unsigned char>(c)));
    return ext;
}

bool isSupportedPictureExtension(const std::string& path) {
    return kindOf(path) != Kind::Unknown;
}

Picture decodePictureFile(const std::string& path) {
    const Kind kind = kindOf(path);
    if (kind == Kind::Unknown)
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
    const std::uint8_t* data = bytes.data();
    const std::size_t size = bytes.size();
    switch (kind) {
    case Kind::Bmp:
        return decoders::decodeBmp(data, size);
    case Kind::Jpeg:
        return decoders::decodeJpeg(data, size);
    case Kind::Ico:
        return decoders::decodeIco(data, size);
    case Kind::Gif:
        return decoders::decodeGif(data, size);
    case Kind::Emf:
        return decoders::decodeEmf(data, size);
    case Kind::Wmf:
        return decoders::playWmf(data, size);
    case Kind::Unknown:
        break;
    }
    throw DecodeError("Unknown picture type: " + path);
}

} // namespace logosmith
