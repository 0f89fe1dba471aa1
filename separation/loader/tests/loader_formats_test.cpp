#include "separation/loader/tests/loader_support.h"

#include <algorithm>
#include <sstream>

using namespace loadertest;
using logosmith::colours::blue;
using logosmith::colours::green;
using logosmith::colours::red;
using logosmith::colours::white;

namespace {

// 32 x 32 in four 16 x 16 quarters, so JPEG blocks never straddle two colours.
Colour quarters(int x, int y) {
    if (y < 16)
        return x < 16 ? red : blue;
    return x < 16 ? green : Colour{255, 255, 0};
}

Bytes magick(const std::string& source, const std::string& options, const std::string& name) {
    convert(scratch(source) + " " + options + " " + scratch(name));
    return readBytes(scratch(name));
}

std::size_t findMarker(const Bytes& b, std::uint8_t marker) {
    for (std::size_t i = 0; i + 1 < b.size(); ++i)
        if (b[i] == 0xFF && b[i + 1] == marker)
            return i;
    return b.size();
}

class JpegLoading : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { writePpm(makePicture(32, 32, quarters), scratch("q.ppm")); }
};

} // namespace

TEST(PictureFiles, ExtensionsAreComparedInUpperCaseFromTheFileName) {
    EXPECT_EQ(logosmith::pictureExtension("/a/b/logo.JpEg"), ".JPEG");
    EXPECT_EQ(logosmith::pictureExtension("/a/b.v2/logo"), "");
    EXPECT_EQ(logosmith::pictureExtension("logo."), ".");
    for (const char* name : {"a.bmp", "a.Rle", "a.jpg", "a.JPEG", "a.ico", "a.gif", "a.emf",
                             "a.Wmf", "a.PNG", "a.tif", "a.Tiff", "a.webp", "a.SVG", "a.pdf"})
        EXPECT_TRUE(logosmith::isSupportedPictureExtension(name)) << name;
    for (const char* name : {"a.psd", "a.svgz", "a", "a.bmp.txt", "dir.bmp/a"})
        EXPECT_FALSE(logosmith::isSupportedPictureExtension(name)) << name;
}

// The dialog's filter and the tool's messages come from the table; the filter's entry is the one
// the dialog has always offered, and each of its patterns reaches a decoder.
TEST(PictureFiles, TheFormatTableMakesTheOpenFilterAndTheListOfExtensions) {
    const std::string filter = logosmith::pictureOpenFilter();
    // The newer kinds follow the first entry in one of their own.
    EXPECT_EQ(filter, "*.bmp *.jpg *.gif *.ico *.wmf *.emf *.rle "
                      "(*.bmp *.jpg *.gif *.ico *.wmf *.emf *.rle);;"
                      "All pictures (*.bmp *.rle *.jpg *.jpeg *.ico *.gif *.emf *.wmf *.png *.tif "
                      "*.tiff *.webp *.svg *.pdf)");
    std::istringstream patterns(filter.substr(0, filter.find(" (")));
    for (std::string pattern; patterns >> pattern;)
        EXPECT_TRUE(logosmith::isSupportedPictureExtension("logo" + pattern.substr(1))) << pattern;
    EXPECT_EQ(logosmith::pictureExtensionList(), ".bmp, .rle, .jpg, .jpeg, .ico, .gif, .emf, .wmf, "
                                                 ".png, .tif, .tiff, .webp, .svg or .pdf");
    EXPECT_TRUE(logosmith::pictureFormatFor("/pics/Shop.ICO")->becomesWindowIcon);
    EXPECT_FALSE(logosmith::pictureFormatFor("/pics/shop.gif")->becomesWindowIcon);
}

TEST(PictureFiles, UnreadableAndUnsupportedFilesGiveErrorsWithMessages) {
    EXPECT_THROW(logosmith::decodePictureFile(scratch("missing.bmp")), logosmith::FileError);
    std::filesystem::create_directories(scratch("folder.bmp"));
    EXPECT_THROW(logosmith::decodePictureFile(scratch("folder.bmp")), logosmith::FileError);
    writeBytes(scratch("x.psd"), {1, 2, 3});
    try {
        logosmith::decodePictureFile(scratch("x.psd"));
        ADD_FAILURE() << "a .psd file loaded";
    } catch (const logosmith::DecodeError& e) {
        EXPECT_NE(std::string(e.what()).find(".PSD"), std::string::npos) << e.what();
    }
    // Mixed-case extensions and ".rle" reach their decoders.
    convert(scratch("few.ppm") + " -type palette -compress RLE BMP3:" + scratch("upper.ReL"));
    std::filesystem::rename(scratch("upper.ReL"), scratch("Logo.RlE"));
    EXPECT_TRUE(samePixels(logosmith::decodePictureFile(scratch("Logo.RlE")), fixtures().few));
}

TEST_F(JpegLoading, ColourGreyAndCmykFilesDecodeNearTheirColours) {
    const Picture colour = decodeBytes(magick("q.ppm", "-quality 95", "q.jpg"), "Q.JPEG");
    ASSERT_EQ(colour.width(), 32);
    ASSERT_EQ(colour.height(), 32);
    for (int y : {3, 12, 20, 28})
        for (int x : {3, 12, 20, 28})
            EXPECT_TRUE(near(colour.pixel(x, y), quarters(x, y), 12)) << x << "," << y;

    const Picture grey = decodeBytes(magick("q.ppm", "-colorspace Gray", "g.jpg"), "g.jpg");
    const Colour g = grey.pixel(4, 4);
    EXPECT_EQ(g.r, g.g);
    EXPECT_EQ(g.g, g.b);
    EXPECT_LT(std::abs(g.r - 54), 12);    // red's luma
    EXPECT_GT(grey.pixel(28, 28).r, 200); // yellow is light

    const Bytes cmykBytes = magick("q.ppm", "-colorspace CMYK -quality 95", "c.jpg");
    ASSERT_LT(findMarker(cmykBytes, 0xEE), cmykBytes.size()) << "expected an Adobe marker";
    const Picture cmyk = decodeBytes(cmykBytes, "c.jpg");
    for (int y : {4, 28})
        for (int x : {4, 28})
            EXPECT_TRUE(near(cmyk.pixel(x, y), quarters(x, y), 16)) << x << "," << y;
}

TEST_F(JpegLoading, TruncatedCorruptAndLyingFilesGiveLibjpegErrorCodes) {
    const Bytes good = magick("q.ppm", "-quality 90", "good.jpg");
    for (std::size_t size : {std::size_t(1), std::size_t(2), std::size_t(30), std::size_t(200),
                             good.size() / 2, good.size() - 2}) {
        SCOPED_TRACE(size);
        EXPECT_TRUE(refused(truncatedTo(good, size), "short.jpg", "JPEG error #"));
    }
    EXPECT_TRUE(refused({}, "empty.jpg"));

    const std::size_t sof = findMarker(good, 0xC0);
    ASSERT_LT(sof + 9, good.size());
    Bytes huge = good;
    huge[sof + 5] = 0xEA, huge[sof + 6] = 0x60; // 60000 rows
    huge[sof + 7] = 0xEA, huge[sof + 8] = 0x60; // 60000 columns
    EXPECT_TRUE(refused(huge, "huge.jpg", "too large"));
    huge[sof + 5] = 0xFF, huge[sof + 6] = 0xFF; // beyond what libjpeg accepts at all
    EXPECT_TRUE(refused(huge, "huger.jpg", "JPEG error #"));

    // Scan data wiped out: libjpeg sees markers in the middle of the data.
    Bytes wiped = good;
    const std::size_t sos = findMarker(good, 0xDA);
    std::fill(wiped.begin() + std::ptrdiff_t(sos + 20), wiped.end() - 2, std::uint8_t(0xFF));
    EXPECT_TRUE(refused(wiped, "wiped.jpg", "JPEG error #"));

    EXPECT_TRUE(refused(readBytes(scratch("few.ppm")), "ppm.jpg", "JPEG error #"));
}

TEST(GifLoading, FirstFrameAtScreenSizeWithTransparencyWhite) {
    convert(scratch("few.ppm") + " " + scratch("few.gif"));
    EXPECT_TRUE(samePixels(logosmith::decodePictureFile(scratch("few.gif")), fixtures().few));

    convert(scratch("few.ppm") + " -transparent red " + scratch("clear.gif"));
    const Picture clear = logosmith::decodePictureFile(scratch("clear.gif"));
    EXPECT_EQ(clear.pixel(0, 0), white);
    EXPECT_EQ(clear.pixel(15, 0), blue);

    writePpm(makePicture(21, 9, [](int, int) { return green; }), scratch("green.ppm"));
    convert("-delay 10 " + scratch("few.ppm") + " " + scratch("green.ppm") + " " +
            scratch("anim.gif"));
    EXPECT_TRUE(samePixels(logosmith::decodePictureFile(scratch("anim.gif")), fixtures().few));
}

TEST(GifLoading, TruncatedLyingAndForeignFilesAreRefused) {
    const Bytes good = magick("few.ppm", "", "few.gif");
    for (std::size_t size : {std::size_t(3), std::size_t(8), std::size_t(13), std::size_t(40),
                             good.size() / 2, good.size() - 2}) {
        SCOPED_TRACE(size);
        EXPECT_TRUE(refused(truncatedTo(good, size), "short.gif"));
    }
    Bytes huge = good;
    put16(huge, 6, 65535);
    put16(huge, 8, 65535);
    EXPECT_TRUE(refused(huge, "huge.gif", "too large"));
    EXPECT_TRUE(refused(readBytes(scratch("few.ppm")), "ppm.gif", "not a GIF"));
}

TEST(IconLoading, TheLargestEntryIsDrawnOnWhite) {
    // Left half red, right half transparent.
    convert("-size 32x32 xc:none -fill red -draw \"rectangle 0,0 15,31\" " + scratch("half.png"));
    convert(scratch("half.png") + " -define icon:auto-resize=16,48,32 " + scratch("half.ico"));
    const Picture icon = logosmith::decodePictureFile(scratch("half.ico"));
    ASSERT_EQ(icon.width(), 48);
    ASSERT_EQ(icon.height(), 48);
    EXPECT_TRUE(near(icon.pixel(6, 24), red, 8));
    EXPECT_EQ(icon.pixel(40, 24), white);
}

TEST(IconLoading, DirectoriesPointingOutsideTheFileAreRefused) {
    convert("-size 32x32 xc:none -fill red -draw \"rectangle 0,0 15,31\" " + scratch("half.png"));
    const Bytes good = magick("half.png", "-define icon:auto-resize=16,48,32", "half.ico");
    ASSERT_GT(good.size(), 6u + 3 * 16);
    for (std::size_t size : {std::size_t(4), std::size_t(20), std::size_t(60), good.size() - 1}) {
        SCOPED_TRACE(size);
        EXPECT_TRUE(refused(truncatedTo(good, size), "short.ico", "truncated"));
    }
    Bytes lying = good;
    put32(lying, 6 + 12, 0xFFFFFFF0u); // first entry's offset
    EXPECT_TRUE(refused(lying, "lying.ico", "truncated"));
    Bytes none = good;
    put16(none, 4, 0);
    EXPECT_TRUE(refused(none, "none.ico", "no picture"));
    // Entry bytes that are no picture at all.
    Bytes garbage = good;
    const std::uint32_t offset = garbage[6 + 12] | (garbage[6 + 13] << 8);
    for (std::size_t i = offset; i < offset + 40 && i < garbage.size(); ++i)
        garbage[i] = 0xA5;
    put16(garbage, 4, 1);
    EXPECT_TRUE(refused(garbage, "garbage.ico", "damaged"));
    EXPECT_TRUE(refused(magick("few.ppm", "", "few.gif"), "gif.ico", "not an icon"));
}
