#include "separation/loader/PictureFormats.h"

#include "separation/loader/BmpDecoder.h"
#include "separation/loader/EmfDecoder.h"
#include "separation/loader/JpegDecoder.h"
#include "separation/loader/PdfDecoder.h"
#include "separation/loader/PngDecoder.h"
#include "separation/loader/QtImageDecoder.h"
#include "separation/loader/SvgDecoder.h"
#include "separation/loader/TiffDecoder.h"
#include "separation/loader/WebpDecoder.h"
#include "separation/loader/WmfPlayer.h"

#include <algorithm>
#include <cctype>

namespace logosmith {

namespace {

// The extensions the open dialog's first filter entry lists, in its order. That entry stays as
// it is; formats added later reach the dialog through the second entry.
const char* const firstEntryExtensions[] = {".bmp", ".jpg", ".gif", ".ico", ".wmf", ".emf", ".rle"};

std::string lowerCase(std::string text) {
    for (char& c : text)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

bool inFirstEntry(const std::string& extension) {
    return std::find(std::begin(firstEntryExtensions), std::end(firstEntryExtensions), extension) !=
           std::end(firstEntryExtensions);
}

// Metafiles are drawn at their own size and then fitted like any picture.
template <Picture (*draw)(const std::uint8_t*, std::size_t)>
void drawnAtOwnSize(decoders::ByteSource& in, decoders::PictureBuilder& out) {
    Picture picture = draw(in.all(), in.size());
    out.begin(picture.width(), picture.height(), true);
    out.putPicture(std::move(picture));
}

// "*.a *.b (*.a *.b)": the patterns are the entry's own description.
std::string filterEntry(const std::string& patterns) {
    return patterns + " (" + patterns + ")";
}

} // namespace

const std::vector<PictureFormat>& pictureFormats() {
    static const std::vector<PictureFormat> formats = {
        {{".bmp"}, &decoders::decodeBmp},
        // A run-length-compressed BMP under its own extension.
        {{".rle"}, &decoders::decodeBmp},
        {{".jpg", ".jpeg"}, &decoders::decodeJpeg},
        // The largest picture of the icon, which also becomes the window icon.
        {{".ico"}, &decoders::decodeIco, true},
        // The first frame; an animation does not move.
        {{".gif"}, &decoders::decodeGif},
        {{".emf"}, &drawnAtOwnSize<&decoders::decodeEmf>},
        {{".wmf"}, &drawnAtOwnSize<&decoders::playWmf>},
        {{".png"}, &decoders::decodePng},
        {{".tif", ".tiff"}, &decoders::decodeTiff},
        {{".webp"}, &decoders::decodeWebp},
        // Drawn at the fitted size when fitting, at 96 pixels per inch otherwise.
        {{".svg"}, &decoders::decodeSvg},
        // The first page, drawn as SVG pictures are.
        {{".pdf"}, &decoders::decodePdf},
    };
    return formats;
}

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

const PictureFormat* pictureFormatFor(const std::string& path) {
    const std::string extension = lowerCase(pictureExtension(path));
    for (const PictureFormat& format : pictureFormats())
        if (std::find(format.extensions.begin(), format.extensions.end(), extension) !=
            format.extensions.end())
            return &format;
    return nullptr;
}

bool isSupportedPictureExtension(const std::string& path) {
    return pictureFormatFor(path) != nullptr;
}

std::string unsupportedPictureMessage(const std::string& path) {
    return "Pictures of the type \"" + pictureExtension(path) + "\" cannot be loaded: " + path;
}

std::string pictureOpenFilter() {
    std::string first;
    for (const char* extension : firstEntryExtensions)
        first += (first.empty() ? "*" : " *") + std::string(extension);
    std::string filter = filterEntry(first);

    std::string all;
    bool beyondFirstEntry = false;
    for (const PictureFormat& format : pictureFormats()) {
        beyondFirstEntry = beyondFirstEntry || std::none_of(format.extensions.begin(),
                                                            format.extensions.end(), inFirstEntry);
        for (const std::string& extension : format.extensions)
            all += (all.empty() ? "*" : " *") + extension;
    }
    if (beyondFirstEntry)
        filter += ";;All pictures (" + all + ")";
    return filter;
}

std::string pictureExtensionList() {
    std::vector<std::string> extensions;
    for (const PictureFormat& format : pictureFormats())
        extensions.insert(extensions.end(), format.extensions.begin(), format.extensions.end());
    std::string list;
    for (std::size_t i = 0; i < extensions.size(); ++i) {
        if (i > 0)
            list += i + 1 == extensions.size() ? " or " : ", ";
        list += extensions[i];
    }
    return list;
}

} // namespace logosmith
