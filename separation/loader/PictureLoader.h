#pragma once

#include "separation/loader/PictureFormats.h"
#include "separation/picture/Picture.h"

#include <string>

namespace logosmith {

// Reads a picture file by its extension (the table of pictureFormats) into a picture of the
// file's own size drawn on white (transparent parts white). Throws FileError when the file
// cannot be read and DecodeError when it is damaged, truncated, too large, of another type than
// its extension says, or of an unsupported type. Metafiles (".EMF", ".WMF") are drawn with
// QPainter and need a QGuiApplication.
Picture decodePictureFile(const std::string& path);

} // namespace logosmith
