#include "separation/picture/Fitting.h"

#include <cstdint>
#include <stdexcept>
#include <string>

namespace logosmith {

PictureSize fittedSize(int width, int height) {
    std::int64_t w = width;
    std::int64_t h = height;
    // Both sides are floored at every step, so the height shrinks a little faster than the
    // width; printers of the stored logos have always seen these exact sizes.
    while (w > maxFitWidth) {
        w = w * 95 / 100;
        h = h * 95 / 100;
    }
    return PictureSize{int(w), int(h)};
}

Picture fitToWidth(const Picture& picture) {
    if (picture.width() <= maxFitWidth)
        return picture;
    const PictureSize size = fittedSize(picture.width(), picture.height());
    return stretchNearest(picture, size.width, size.height);
}

Picture resizeByPercent(const Picture& base, int percent) {
    if (percent < 1 || percent > 100)
        throw std::invalid_argument("resize percentage out of range: " + std::to_string(percent));
    if (percent == 100)
        return base;
    const int w = int(std::int64_t(base.width()) * percent / 100);
    const int h = int(std::int64_t(base.height()) * percent / 100);
    return stretchNearest(base, w, h);
}

} // namespace logosmith
