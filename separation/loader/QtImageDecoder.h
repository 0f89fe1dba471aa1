#pragma once

#include "separation/loader/ByteSource.h"
#include "separation/loader/PictureBuilder.h"
#include "separation/picture/Picture.h"

#include <cstddef>
#include <cstdint>

class QImage;

namespace logosmith::decoders {

// The first frame of a GIF file at the file's screen size, transparent parts white. The block
// structure up to the end of the first frame is checked first, so a truncated file is refused
// (Qt's reader would quietly return part of a picture).
void decodeGif(ByteSource& in, PictureBuilder& out);

// The largest picture of an icon file (by area, then by colour depth), transparent parts white.
// The directory is checked against the file before anything is decoded.
void decodeIco(ByteSource& in, PictureBuilder& out);

// Caps what Qt's image readers may allocate for one picture, for our own readers and for the
// pictures Qt decodes inside other files (icons, the SVG drawn for an EMF). Idempotent.
void limitQtImageAllocations();

// Any Qt image composed over white into a picture of its own size.
Picture pictureOnWhite(const QImage& image);

} // namespace logosmith::decoders
