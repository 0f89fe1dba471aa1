#pragma once

#include "separation/loader/ByteSource.h"
#include "separation/loader/PictureBuilder.h"

namespace logosmith::decoders {

// The first picture of a TIFF file through libtiff. Strips of grey, palette, RGB and CMYK
// pictures of 1 to 16 bits per sample, with or without alpha, are read a scanline at a time
// (only a strip's compressed bytes are held); every other kind libtiff can turn into colour
// (tiles, YCbCr, CIE Lab, separate planes) goes through its RGBA reader a strip or a row of
// tiles at a time. Rows come out as the file stores them (the orientation tag is not applied);
// alpha is composed over white. A file that ends before the data its
// directory points at, a damaged strip or any libtiff error throws DecodeError; warnings
// about tags the program does not use are ignored.
void decodeTiff(ByteSource& in, PictureBuilder& out);

} // namespace logosmith::decoders
