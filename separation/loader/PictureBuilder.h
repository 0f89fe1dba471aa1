#pragma once

#include "separation/picture/Picture.h"

#include <cstdint>
#include <vector>

class QImage;

namespace logosmith {

// How a picture file is loaded.
struct LoadOptions {
    // Fitted to maxFitWidth as a load with "Fit Scale" ticked fits it: the picture comes out
    // exactly as fitToWidth of the full-size picture, but the full-size picture is never made
    // (vector pictures are drawn at the fitted size instead, so their edges stay sharp).
    bool fit = false;
};

namespace decoders {

// Where a decoder puts the picture it reads. The decoder announces the picture's own size,
// then hands over rows top first (or in any order); the builder keeps the whole picture, or,
// when fitting, only the rows and columns that fitting's nearest-pixel stretch samples, so a
// fitted load never holds the full-size picture. Decoders ask which rows are kept and skip the
// work for the others.
class PictureBuilder {
  public:
    explicit PictureBuilder(LoadOptions options = {});

    // The picture's own size. Throws DecodeError when it is beyond Picture's limits; then makes
    // the output: the full size, or the fitted size when fitting. The output starts white,
    // unless the decoder says it will write every pixel the output keeps (then the memory is
    // touched only once, by the decoder).
    void begin(std::int64_t width, std::int64_t height, bool writesEveryPixel = false);

    // Whether the output is fitted.
    bool fits() const { return fit_; }

    // The picture's own size (after begin).
    int width() const { return width_; }
    int height() const { return height_; }

    // The picture being made. Vector pictures draw into it at its size.
    Picture& output() { return output_; }

    // Whether the output's columns are a sample of the picture's: false when the output is as
    // wide as the picture, and then output row y holds all of picture row y.
    bool sampled() const { return sampled_; }
    // The picture column behind each output column (only when sampled).
    const std::vector<int>& sourceColumns() const { return columns_; }
    // The output column that shows picture column x, or -1 when none does.
    int columnFor(int x) const { return sampled_ ? outputColumn_[std::size_t(x)] : x; }

    // Whether picture row y (top first) appears in the output.
    bool keeps(int y) const { return outputRow_[std::size_t(y)] >= 0; }
    // The output row that shows picture row y; only for rows it keeps.
    std::uint8_t* rowFor(int y) { return output_.row(outputRow_[std::size_t(y)]); }

    // A whole picture row in blue, green, red order: its sampled pixels go to the output.
    // Rows the output does not keep are ignored.
    void putRow(int y, const std::uint8_t* bgr);
    // A whole picture of the size given to begin; taken over as it is when the output is the
    // whole picture.
    void putPicture(Picture&& picture);
    // A whole Qt image of the size given to begin, composed over white.
    void putImage(const QImage& image);

    // The finished picture; the builder is empty afterwards.
    Picture finish();

  private:
    bool fit_;
    int width_ = 0;
    int height_ = 0;
    bool sampled_ = false;
    Picture output_;
    std::vector<int> columns_;
    std::vector<int> outputColumn_;
    std::vector<int> outputRow_;
};

// One colour channel of value c at opacity a (0 to 255) over white.
inline std::uint8_t overWhite(int c, int a) {
    return std::uint8_t((c * a + 255 * (255 - a) + 127) / 255);
}

// Composes one Qt ARGB32 (not premultiplied) pixel over white into blue, green, red.
void composeOnWhite(std::uint32_t argb, std::uint8_t* bgr);

// Composes blue, green, red, alpha (not premultiplied) over white into blue, green, red.
inline void composeBgraOnWhite(const std::uint8_t* bgra, std::uint8_t* bgr) {
    bgr[0] = overWhite(bgra[0], bgra[3]);
    bgr[1] = overWhite(bgra[1], bgra[3]);
    bgr[2] = overWhite(bgra[2], bgra[3]);
}

} // namespace decoders
} // namespace logosmith
