#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace logosmith::sim {

// An 8-bit RGB PNG, rows top first, 3 bytes per pixel. Stored (uncompressed) deflate blocks
// keep the writer free of a compression library; the pictures are small.
std::vector<std::uint8_t> encodePng(int width, int height, const std::vector<std::uint8_t>& rgb);

// Writes the PNG to path; throws logosmith::FileError.
void writePng(const std::string& path, int width, int height, const std::vector<std::uint8_t>& rgb);

} // namespace logosmith::sim
