#pragma once

#include "separation/loader/PictureBuilder.h"
#include "separation/loader/PictureFormats.h"
#include "separation/picture/Picture.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace logosmith {

struct LoadedPicture;

// A picture file as it was when it was loaded. It keeps the file open, so the picture can be
// decoded again later (the full-size picture after a fitted load) without being held in memory
// meanwhile; a file replaced since (written elsewhere and renamed over, as the library's files
// are) still gives the picture that was loaded. Copies share the open file.
class PictureSource {
  public:
    PictureSource() = default;

    // Whether a file was loaded.
    bool isOpen() const { return file_ != nullptr; }
    const std::string& path() const;
    const PictureFormat& format() const;
    // The picture's own size, as the load found it.
    int width() const;
    int height() const;

    // Decodes the file again as the options say: the full-size picture, or the fitted one.
    // Throws DecodeError when the file has been changed in place since it was loaded (its size
    // or modification time differ), and as decodePictureFile does.
    Picture decode(LoadOptions options) const;

  private:
    struct OpenFile;
    friend LoadedPicture loadPictureFile(const std::string& path, LoadOptions options);

    std::shared_ptr<const OpenFile> file_;
};

// What a load gives: the picture to show and the way back to its file.
struct LoadedPicture {
    // The full-size picture, or the fitted one when the options say so (exactly fitToWidth of
    // the full-size picture; SVG and PDF pictures are drawn at that size instead).
    Picture picture;
    PictureSource source;
};

// Reads a picture file by its extension (the table of pictureFormats) into a picture of the
// file's own size drawn on white (transparent parts white), or straight into its fitted
// picture. Throws FileError when the file cannot be read and DecodeError when it is damaged,
// truncated, too large, of another type than its extension says, or of an unsupported type.
// Metafiles, SVG and PDF pictures are drawn with QPainter and need a QGuiApplication.
LoadedPicture loadPictureFile(const std::string& path, LoadOptions options);

// The picture alone, full size unless the options ask for fitting.
Picture decodePictureFile(const std::string& path, LoadOptions options = {});

// A file's bytes already in memory decoded as a file of the given format (tests and fuzzing).
Picture decodePictureBytes(const PictureFormat& format, const std::uint8_t* data, std::size_t size,
                           LoadOptions options = {});

} // namespace logosmith
