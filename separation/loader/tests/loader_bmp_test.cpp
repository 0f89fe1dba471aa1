#include "separation/loader/tests/loader_support.h"

using namespace loadertest;
using logosmith::colours::black;
using logosmith::colours::red;
using logosmith::colours::white;

namespace {

// ImageMagick output of a reference picture; the options end with the output format prefix.
Bytes magickBmp(const std::string& source, const std::string& options, const std::string& name) {
    convert(scratch(source) + " " + options + scratch(name));
    return readBytes(scratch(name));
}

// A BMP with a 40-byte header around hand-written pixel bytes.
Bytes handMadeBmp(int width, int height, int bits, std::uint32_t compression,
                  const std::vector<std::uint32_t>& table, const Bytes& pixels) {
    Bytes b = {'B', 'M'};
    const std::uint32_t offset = 14 + 40 + std::uint32_t(table.size()) * 4;
    append32(b, offset + std::uint32_t(pixels.size()));
    append32(b, 0);
    append32(b, offset);
    append32(b, 40);
    append32(b, std::uint32_t(width));
    append32(b, std::uint32_t(height));
    append16(b, 1);
    append16(b, unsigned(bits));
    append32(b, compression);
    append32(b, std::uint32_t(pixels.size()));
    append32(b, 2835);
    append32(b, 2835);
    append32(b, bits <= 8 ? std::uint32_t(table.size()) : 0);
    append32(b, 0);
    for (std::uint32_t entry : table)
        append32(b, entry); // 0x00RRGGBB is stored blue, green, red, 0
    b.insert(b.end(), pixels.begin(), pixels.end());
    return b;
}

} // namespace

TEST(BmpLoading, EveryDepthImageMagickWritesDecodesToTheSamePixels) {
    struct Case {
        const char* source;
        const char* options;
        const char* name;
    };
    const Case cases[] = {
        {"rich.ppm", "BMP3:", "rich24.bmp"},
        {"rich.ppm", "-type palette BMP3:", "rich8.bmp"},
        {"rich.ppm", "-type palette -compress RLE BMP3:", "rich-rle8.bmp"},
        {"few.ppm", "-type palette BMP3:", "few4.bmp"},
        {"few.ppm", "-define bmp:subtype=RGB565 BMP:", "few565.bmp"},
        {"few.ppm", "-define bmp:subtype=RGB555 BMP:", "few555.bmp"},
        {"few.ppm", "-alpha set BMP:", "few32.bmp"},
        {"rich.ppm", "BMP2:", "rich-os2.bmp"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string target = std::string(c.options) + scratch(c.name);
        convert(scratch(c.source) + " " + target);
        const Picture& expected =
            std::string(c.source) == "rich.ppm" ? fixtures().rich : fixtures().few;
        EXPECT_TRUE(samePixels(logosmith::decodePictureFile(scratch(c.name)), expected));
    }
}

TEST(BmpLoading, MonochromeRowsKeepTheirBitOrder) {
    const Picture checker =
        makePicture(13, 3, [](int x, int y) { return (x / 3 + y) % 2 ? black : white; });
    writePpm(checker, scratch("checker.ppm"));
    const Bytes bytes = magickBmp("checker.ppm", "-monochrome BMP3:", "mono.bmp");
    ASSERT_EQ(bytes[28], 1);
    EXPECT_TRUE(samePixels(decodeBytes(bytes, "mono.bmp"), checker));
}

TEST(BmpLoading, TopDownRowsAndAlphaAreHonoured) {
    // Two rows of two 24-bit pixels, stored top row first (negative height).
    const Bytes topDown = handMadeBmp(2, -2, 24, 0, {},
                                      {0, 0, 255, 255, 0, 0, 0, 0, // top: red, blue
                                       0, 255, 0, 0, 0, 0, 0, 0}); // bottom: green, black
    const Picture p = decodeBytes(topDown, "topdown.bmp");
    EXPECT_EQ(p.pixel(0, 0), red);
    EXPECT_EQ(p.pixel(1, 0), logosmith::colours::blue);
    EXPECT_EQ(p.pixel(0, 1), logosmith::colours::green);

    // Half-transparent red from ImageMagick's 32-bit alpha output comes out pink on white.
    convert(scratch("few.ppm") +
            " -alpha set -channel A -evaluate set 50% +channel BMP:" + scratch("alpha.bmp"));
    EXPECT_TRUE(near(logosmith::decodePictureFile(scratch("alpha.bmp")).pixel(0, 0),
                     Colour{255, 128, 128}, 2));
}

TEST(BmpLoading, RunLengthEscapesAndSkippedPixelsStayWhite) {
    // RLE4, 4 x 2, palette black/red. Bottom row: a run of 4 alternating 0,1. Top row: a
    // literal of three (1,1,0); its last pixel is never written.
    const Bytes rle4 =
        handMadeBmp(4, 2, 4, 2, {0x000000, 0xFF0000}, {4, 0x01, 0, 0, 0, 3, 0x11, 0x00, 0, 1});
    const Picture p = decodeBytes(rle4, "four.rle");
    EXPECT_EQ(p.pixel(0, 1), black);
    EXPECT_EQ(p.pixel(1, 1), red);
    EXPECT_EQ(p.pixel(3, 1), red);
    EXPECT_EQ(p.pixel(0, 0), red);
    EXPECT_EQ(p.pixel(2, 0), black);
    EXPECT_EQ(p.pixel(3, 0), white);

    // RLE8, 5 x 3: one red pixel, a move of 2 right and 1 up, one more red, then the end.
    const Bytes rle8 =
        handMadeBmp(5, 3, 8, 1, {0x000000, 0xFF0000}, {1, 1, 0, 2, 2, 1, 1, 1, 0, 1});
    const Picture q = decodeBytes(rle8, "eight.bmp");
    EXPECT_EQ(q.pixel(0, 2), red);
    EXPECT_EQ(q.pixel(1, 2), white);
    EXPECT_EQ(q.pixel(3, 1), red);
    EXPECT_EQ(q.pixel(4, 0), white);

    // The same stream without its end-of-bitmap mark is a truncated file.
    Bytes cut = truncatedTo(rle8, rle8.size() - 2);
    put32(cut, 2, std::uint32_t(cut.size()));
    put32(cut, 34, 8);
    EXPECT_TRUE(refused(cut, "cut.bmp", "truncated"));
    // A run-length mark on a 24-bit header is a lie.
    EXPECT_TRUE(refused(handMadeBmp(1, 1, 24, 1, {}, {0, 0, 0, 0}), "lie.bmp", "damaged"));
}

TEST(BmpLoading, TruncatedFilesAreRefusedAtEveryStage) {
    const Bytes good = magickBmp("rich.ppm", "-type palette BMP3:", "good8.bmp");
    ASSERT_NO_THROW(decodeBytes(good, "good8.bmp"));
    for (std::size_t size : {std::size_t(1), std::size_t(13), std::size_t(20), std::size_t(54),
                             std::size_t(200), good.size() / 2, good.size() - 1}) {
        SCOPED_TRACE(size);
        EXPECT_TRUE(refused(truncatedTo(good, size), "short.bmp"));
    }
    EXPECT_TRUE(refused({}, "empty.bmp", "empty"));
    // A file header whose size field is honest about a longer file is still refused when
    // only the rows are cut (the case Qt's reader lets through).
    Bytes rowsCut = truncatedTo(good, good.size() - 10);
    put32(rowsCut, 2, std::uint32_t(rowsCut.size()));
    EXPECT_TRUE(refused(rowsCut, "rowscut.bmp", "truncated"));
}

TEST(BmpLoading, LyingHeadersAreRefusedBeforeAllocating) {
    const Bytes good = magickBmp("rich.ppm", "BMP3:", "lies24.bmp");
    auto withField = [&](std::size_t at, std::uint32_t value) {
        Bytes b = good;
        put32(b, at, value);
        return b;
    };
    EXPECT_TRUE(refused(withField(18, 100000), "wide.bmp", "too large"));
    EXPECT_TRUE(refused(withField(22, 0x80000000u), "tall.bmp", "too large"));
    EXPECT_TRUE(refused(withField(18, 30000), "big.bmp", "truncated")); // fits, but no bytes
    EXPECT_TRUE(refused(withField(18, 0), "none.bmp", "no pixels"));
    EXPECT_TRUE(refused(withField(14, 41), "header.bmp", "unsupported"));
    EXPECT_TRUE(refused(withField(10, 1u << 30), "offset.bmp", "truncated"));
    EXPECT_TRUE(refused(withField(10, 20), "inside.bmp", "inside"));
    Bytes depth = good;
    put16(depth, 28, 7);
    EXPECT_TRUE(refused(depth, "depth.bmp", "bits per pixel"));
    // An absurd colour count cannot make the reader walk past the colour table.
    Bytes palette = magickBmp("rich.ppm", "-type palette BMP3:", "pal.bmp");
    put32(palette, 46, 0xFFFFFFFFu);
    EXPECT_TRUE(samePixels(decodeBytes(palette, "pal.bmp"), fixtures().rich));
    // Other files behind the extension.
    convert(scratch("few.ppm") + " " + scratch("real.jpg"));
    EXPECT_TRUE(refused(readBytes(scratch("real.jpg")), "fake.bmp", "not a BMP"));
    const std::string text = "BM but only text";
    EXPECT_TRUE(refused(Bytes(text.begin(), text.end()), "text.bmp"));
}

// A 52-byte header holds the colour masks but not the alpha one that compression 6 adds: that
// mask follows the header, and a file that ends there is cut, not read past its end.
TEST(BmpLoading, AlphaMaskAfterAShortHeaderIsReadOnlyWhenThere) {
    Bytes b = {'B', 'M'};
    append32(b, 74);
    append32(b, 0);
    append32(b, 70);
    for (std::uint32_t v : {52u, 1u, 1u})
        append32(b, v);
    append16(b, 1);
    append16(b, 32);
    for (std::uint32_t v : {6u, 4u, 2835u, 2835u, 0u, 0u, 0xFF0000u, 0xFF00u, 0xFFu})
        append32(b, v);
    const Bytes cut = truncatedTo(b, 66);
    append32(b, 0xFF000000u);
    b.insert(b.end(), {0, 0, 255, 128}); // red, half covering
    EXPECT_TRUE(near(decodeBytes(b, "alpha52.bmp").pixel(0, 0), Colour{255, 127, 127}, 1));
    Bytes header66 = cut;
    put32(header66, 2, 66);
    put32(header66, 10, 66);
    EXPECT_TRUE(refused(header66, "alpha66.bmp", "truncated"));
}
