#pragma once

#include "separation/picture/Picture.h"

#include <string>
#include <vector>

namespace logosmith {

// The bytes of a 24-bit BMP file of the picture: bottom-up rows padded to 4 bytes.
std::vector<std::uint8_t> encodeBmp24(const Picture& picture);

// Writes the picture as a 24-bit BMP file, replacing any file there, a band of rows at a time
// (the file is never held whole). The data goes to a temporary file in the same folder that is
// renamed over the target, so a crash or a full disk never leaves a truncated picture behind.
// Throws FileError.
void writeBmpFile(const Picture& picture, const std::string& path);

} // namespace logosmith
