#pragma once

#include "separation/picture/Picture.h"

#include <string>

namespace logosmith {

// The extension of the file name (from its last dot, dot included), upper-cased; empty when
// the name has no dot. Dots in folder names do not count.
std::string pictureExtension(const std::string& path);

// Whether decodePictureFile has a decoder for the file's extension: ".BMP", ".RLE", ".JPG",
// ".JPEG", ".ICO", ".GIF", ".EMF", ".WMF", in any letter case.
bool isSupportedPictureExtension(const std::string& path);

// Reads a picture file by its extension into a picture of the file's own size drawn on white
// (transparent parts white). Throws FileError when the file cannot be read and DecodeError
// when it is damaged, truncated, too large, of another type than its extension says, or of an
// unsupported type. Metafiles (".EMF", ".WMF") are drawn with QPainter and need a
// QGuiApplication.
Picture decodePictureFile(const std::string& path);

} // namespace logosmith
