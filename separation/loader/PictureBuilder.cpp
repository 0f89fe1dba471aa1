#include "separation/loader/PictureBuilder.h"

#include "separation/picture/Fitting.h"

#include <QImage>

#include <algorithm>
#include <cstring>

namespace logosmith::decoders {

void composeOnWhite(std::uint32_t argb, std::uint8_t* bgr) {
    const int a = int(argb >> 24);
    bgr[0] = overWhite(int(argb & 0xFF), a);
    bgr[1] = overWhite(int((argb >> 8) & 0xFF), a);
    bgr[2] = overWhite(int((argb >> 16) & 0xFF), a);
}

PictureBuilder::PictureBuilder(LoadOptions options) : fit_(options.fit) {}

void PictureBuilder::begin(std::int64_t width, std::int64_t height, bool writesEveryPixel) {
    Picture::checkSize(width, height);
    width_ = int(width);
    height_ = int(height);
    PictureSize size{width_, height_};
    if (fit_)
        size = fittedSize(width_, height_);
    // The old output goes first, so that two large pictures are never held at once.
    output_ = Picture();
    output_ = writesEveryPixel ? Picture(size.width, size.height, Picture::Uncleared{})
                               : Picture(size.width, size.height);
    sampled_ = size.width != width_;
    columns_.clear();
    outputColumn_.clear();
    if (sampled_) {
        columns_.resize(std::size_t(size.width));
        outputColumn_.assign(std::size_t(width_), -1);
        for (int x = 0; x < size.width; ++x) {
            columns_[std::size_t(x)] = nearestSource(x, size.width, width_);
            outputColumn_[std::size_t(columns_[std::size_t(x)])] = x;
        }
    }
    // Fitting never makes a picture taller, so no two output rows share a picture row.
    outputRow_.assign(std::size_t(height_), -1);
    for (int y = 0; y < size.height; ++y)
        outputRow_[std::size_t(nearestSource(y, size.height, height_))] = y;
}

void PictureBuilder::putRow(int y, const std::uint8_t* bgr) {
    if (!keeps(y))
        return;
    std::uint8_t* out = rowFor(y);
    if (!sampled_) {
        std::memcpy(out, bgr, output_.rowBytes());
        return;
    }
    for (const int x : columns_) {
        const std::uint8_t* p = bgr + std::size_t(x) * 3;
        out[0] = p[0];
        out[1] = p[1];
        out[2] = p[2];
        out += 3;
    }
}

void PictureBuilder::putPicture(Picture&& picture) {
    if (picture.width() == output_.width() && picture.height() == output_.height()) {
        output_ = std::move(picture);
        return;
    }
    for (int y = 0; y < height_; ++y)
        putRow(y, picture.row(y));
}

void PictureBuilder::putImage(const QImage& image) {
    // Every kept row is written below, so the output need not have been cleared.
    // Converted a band of rows at a time, and only bands with rows the output keeps, so a
    // large picture is never held twice over.
    constexpr int bandRows = 64;
    for (int top = 0; top < height_; top += bandRows) {
        const int rows = std::min(bandRows, height_ - top);
        bool any = false;
        for (int y = top; y < top + rows && !any; ++y)
            any = keeps(y);
        if (!any)
            continue;
        const QImage band = image.copy(0, top, width_, rows).convertToFormat(QImage::Format_ARGB32);
        for (int y = top; y < top + rows; ++y) {
            if (!keeps(y))
                continue;
            const auto* in = reinterpret_cast<const std::uint32_t*>(band.constScanLine(y - top));
            if (!sampled_) {
                std::uint8_t* out = rowFor(y);
                for (int x = 0; x < width_; ++x)
                    composeOnWhite(in[x], out + std::size_t(x) * 3);
                continue;
            }
            std::uint8_t* out = rowFor(y);
            for (const int x : columns_) {
                composeOnWhite(in[x], out);
                out += 3;
            }
        }
    }
}

Picture PictureBuilder::finish() {
    Picture done = std::move(output_);
    output_ = Picture();
    columns_.clear();
    outputColumn_.clear();
    outputRow_.clear();
    return done;
}

} // namespace logosmith::decoders
