#include "separation/loader/tests/loader_support.h"

#include "separation/picture/Fitting.h"

#include <string>

using namespace loadertest;
using logosmith::LoadOptions;

namespace {

// Colour changing at every pixel in both directions, so that a sampled row or column taken
// one off is seen, and chroma that subsampling has to smooth.
Colour busy(int x, int y) {
    return Colour{(x * 7 + y * 3) & 0xFF, ((x * 13) ^ (y * 5)) & 0xFF, (y * 11 + (x >> 2)) & 0xFF};
}

struct Sample {
    int width, height;
};

// Sizes just over the fitting width, odd ones, a picture left alone, tall and low ones; 2000 x 50
// fits to 248 x 0.
constexpr Sample sizes[] = {{256, 100}, {300, 200}, {257, 513}, {1001, 77},
                            {255, 300}, {2000, 50}, {4099, 33}, {640, 481}};

// A fitted load equals fitting the full-size picture, pixel for pixel, and the full-size
// load through a source reopened later equals the first.
::testing::AssertionResult fittedLoadMatches(const std::string& path) {
    const Picture full = logosmith::decodePictureFile(path);
    const Picture expected = logosmith::fitToWidth(full);
    const logosmith::LoadedPicture fitted = logosmith::loadPictureFile(path, LoadOptions{true});
    if (auto same = samePixels(fitted.picture, expected); !same)
        return same << " (fitted)";
    if (fitted.source.width() != full.width() || fitted.source.height() != full.height())
        return ::testing::AssertionFailure() << "the source gives another size";
    if (auto same = samePixels(fitted.source.decode(LoadOptions{false}), full); !same)
        return same << " (full size again)";
    return ::testing::AssertionSuccess();
}

} // namespace

TEST(FittedLoading, JpegRowsEqualFittingTheFullPicture) {
    const char* const kinds[][2] = {{"-sampling-factor 2x2 -quality 90", "420"},
                                    {"-sampling-factor 2x1", "422"},
                                    {"-sampling-factor 1x1", "444"},
                                    {"-colorspace Gray", "grey"},
                                    {"-interlace Plane", "progressive"},
                                    {"-colorspace CMYK", "cmyk"},
                                    {"-define jpeg:restart-interval=1", "restarts"}};
    for (const Sample& size : sizes) {
        const std::string ppm = scratch("busy.ppm");
        writePpm(makePicture(size.width, size.height, busy), ppm);
        for (const auto& kind : kinds) {
            const std::string name = "busy-" + std::to_string(size.width) + "x" +
                                     std::to_string(size.height) + "-" + kind[1] + ".jpg";
            SCOPED_TRACE(name);
            convert(ppm + " " + kind[0] + " " + scratch(name));
            EXPECT_TRUE(fittedLoadMatches(scratch(name)));
        }
    }
}

TEST(FittedLoading, BmpRowsEqualFittingTheFullPicture) {
    const char* const kinds[][2] = {{"BMP3:", "24"},
                                    {"-type palette BMP3:", "8"},
                                    {"-type palette -compress RLE BMP3:", "rle8"},
                                    {"-colors 16 -compress RLE BMP3:", "rle4"},
                                    {"-type bilevel BMP3:", "1"},
                                    {"-define bmp:subtype=RGB565 BMP:", "565"},
                                    {"-alpha set -channel A -fx 'i/w' +channel BMP:", "alpha"}};
    for (const Sample& size : sizes) {
        const std::string ppm = scratch("busy.ppm");
        writePpm(makePicture(size.width, size.height, busy), ppm);
        for (const auto& kind : kinds) {
            const std::string name = "busy-" + std::to_string(size.width) + "x" +
                                     std::to_string(size.height) + "-" + kind[1] + ".bmp";
            SCOPED_TRACE(name);
            convert(ppm + " " + kind[0] + scratch(name));
            EXPECT_TRUE(fittedLoadMatches(scratch(name)));
        }
    }
}
