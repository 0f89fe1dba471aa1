#include "separation/picture/Picture.h"

#include "platform/core/Error.h"

#include <algorithm>
#include <string>

namespace logosmith {

void Picture::checkSize(std::int64_t width, std::int64_t height) {
    if (width < 0 || height < 0 || width > maxSide || height > maxSide ||
        width * height > maxPixels)
        throw DecodeError("The picture is too large (" + std::to_string(width) + " x " +
                          std::to_string(height) + " pixels)");
}

Picture::Picture(int width, int height, Colour colour) {
    checkSize(width, height);
    width_ = width;
    height_ = height;
    data_.assign(std::size_t(width) * std::size_t(height) * 3, 0xFF);
    if (colour == colours::white)
        return;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            setPixel(x, y, colour);
}

Picture stretchNearest(const Picture& source, int width, int height) {
    Picture out(width, height);
    if (source.isEmpty() || out.isEmpty())
        return out;
    // Source column for every target column, computed once.
    auto sourceX = std::vector<int>(std::size_t(width));
    for (int x = 0; x < width; ++x)
        sourceX[std::size_t(x)] =
            std::min(source.width() - 1, int(std::int64_t(x) * source.width() / width));
    for (int y = 0; y < height; ++y) {
        const int sy =
            std::min(source.height() - 1, int(std::int64_t(y) * source.height() / height));
        const std::uint8_t* in = source.row(sy);
        std::uint8_t* dst = out.row(y);
        for (int x = 0; x < width; ++x) {
            const std::uint8_t* p = in + std::size_t(sourceX[std::size_t(x)]) * 3;
            dst[0] = p[0];
            dst[1] = p[1];
            dst[2] = p[2];
            dst += 3;
        }
    }
    return out;
}

} // namespace logosmith
