#include "printdata/reader/SheetImage.h"

#include <algorithm>

namespace logosmith::prn {

QImage sheetImage(const InkRaster& raster) {
    QImage image(raster.width, raster.height, QImage::Format_Indexed8);
    QList<QRgb> colours;
    for (std::uint8_t ink : {noInk, inkL, inkR, inkBoth}) {
        const Rgb c = inkColour(ink);
        colours.push_back(qRgb(c.r, c.g, c.b));
    }
    image.setColorTable(colours);
    for (int y = 0; y < raster.height; ++y)
        std::copy_n(raster.inks.data() + std::size_t(y) * std::size_t(raster.width), raster.width,
                    image.scanLine(y));
    return image;
}

} // namespace logosmith::prn
