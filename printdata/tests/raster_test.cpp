#include "platform/core/Error.h"
#include "printdata/Raster.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <unistd.h>

using namespace logosmith;
using Bytes = std::vector<std::uint8_t>;

namespace {

Bytes encode(const Picture& picture, const TInkRule& rule, bool doubled, std::uint8_t mode) {
    Bytes out;
    VectorSink sink(out);
    WriteBands(BuildInkPlanes(picture, rule, doubled), mode, sink);
    return out;
}

const TInkRule defaultPrint = irPrint(colours::black, colours::black);
const Bytes filler = {0x0D, 0x1B, 0x4A, 0x10};

// Remembers the size of every write, to show that lines are handed over whole.
class WriteSizes : public ByteSink {
  public:
    using ByteSink::write;
    void write(const std::uint8_t*, std::size_t size) override { sizes.push_back(size); }
    std::vector<std::size_t> sizes;
};

} // namespace

TEST(RasterExamples, TwoByTwoUnderThePrintRule) {
    Picture p(2, 2);
    p.setPixel(0, 0, colours::black);
    p.setPixel(1, 0, colours::red);
    p.setPixel(0, 1, colours::red);
    const Bytes expected = {0x1B, 0x72, 0x00, 0x1B, 0x2A, 0x00, 0x02, 0x00, 0x80, 0x00, 0x0D, 0x1B,
                            0x72, 0x01, 0x1B, 0x2A, 0x00, 0x02, 0x00, 0x40, 0x80, 0x1B, 0x4A, 0x10};
    EXPECT_EQ(encode(p, defaultPrint, false, 0), expected);
}

TEST(RasterExamples, OnlyTheNinthRowInked) {
    Picture p(1, 9);
    p.setPixel(0, 8, colours::black);
    Bytes expected = filler;
    expected.insert(expected.end(), {0x1B, 0x72, 0x00, 0x1B, 0x2A, 0x00, 0x01, 0x00, 0x80, 0x0D});
    expected.insert(expected.end(), filler.begin(), filler.end());
    EXPECT_EQ(encode(p, irStore(), false, 0), expected);

    p.setPixel(0, 8, colours::red);
    expected = filler;
    expected.insert(expected.end(),
                    {0x1B, 0x72, 0x01, 0x1B, 0x2A, 0x00, 0x01, 0x00, 0x80, 0x1B, 0x4A, 0x10});
    EXPECT_EQ(encode(p, irStore(), false, 0), expected);
}

TEST(RasterExamples, WidthDoublingRepeatsEveryColumn) {
    Picture p(3, 1);
    p.setPixel(0, 0, colours::black);
    p.setPixel(2, 0, colours::black);
    const Bytes expected = {0x1B, 0x72, 0x00, 0x1B, 0x2A, 0x01, 0x06, 0x00, 0x80, 0x80,
                            0x00, 0x00, 0x80, 0x80, 0x0D, 0x0D, 0x1B, 0x4A, 0x10};
    EXPECT_EQ(encode(p, irStore(), true, 1), expected);
}

TEST(RasterExamples, WidthTravelsLowByteFirst) {
    const Bytes at256 = encode(Picture(256, 1, colours::black), irStore(), false, 0);
    EXPECT_EQ(at256[6], 0x00);
    EXPECT_EQ(at256[7], 0x01);
    const Bytes at300 = encode(Picture(150, 1, colours::black), irStore(), true, 1);
    EXPECT_EQ(at300[6], 0x2C);
    EXPECT_EQ(at300[7], 0x01);
    EXPECT_EQ(at300.size(), 300u + 9 + 4);
}

TEST(RasterExamples, HeightDivisibleByEightEndsWithABlankBand) {
    const TInkPlanes planes = BuildInkPlanes(Picture(4, 16, colours::red), irStore(), false);
    EXPECT_EQ(planes.B, 3u);
    EXPECT_FALSE(planes.rBandEmpty(1));
    EXPECT_TRUE(planes.rBandEmpty(2));
    const Bytes bytes = encode(Picture(4, 16, colours::red), irStore(), false, 0);
    ASSERT_EQ(bytes.size(), 15u + 15 + 4);
    EXPECT_EQ(Bytes(bytes.end() - 7, bytes.end()),
              (Bytes{0x1B, 0x4A, 0x10, 0x0D, 0x1B, 0x4A, 0x10}));
}

TEST(InkRules, StoreTableIsExactAndFixed) {
    struct Case {
        Colour colour;
        bool l, r;
    };
    const Case cases[] = {{colours::black, true, false}, {colours::red, false, true},
                          {colours::green, true, true},  {colours::blue, true, true},
                          {{254, 0, 0}, false, false},   {{0, 0, 1}, false, false},
                          {{128, 0, 255}, false, false}, {colours::white, false, false}};
    for (const Case& c : cases) {
        const TInkPlanes planes = BuildInkPlanes(Picture(1, 1, c.colour), irStore(), false);
        EXPECT_EQ(planes.L[0] == 0x80, c.l) << c.colour.r << "," << c.colour.g << "," << c.colour.b;
        EXPECT_EQ(planes.R[0] == 0x80, c.r) << c.colour.r << "," << c.colour.g << "," << c.colour.b;
    }
}

TEST(InkRules, PrintRuleFollowsTheColourControls) {
    auto inks = [](Colour pixel, const TInkRule& rule) {
        const TInkPlanes planes = BuildInkPlanes(Picture(1, 1, pixel), rule, false);
        return std::pair<bool, bool>(planes.L[0] != 0, planes.R[0] != 0);
    };
    using P = std::pair<bool, bool>;
    EXPECT_EQ(inks(colours::green, defaultPrint), P(false, true));
    EXPECT_EQ(inks(colours::blue, defaultPrint), P(false, true));
    EXPECT_EQ(inks({254, 0, 0}, defaultPrint), P(false, false));
    EXPECT_EQ(inks({254, 0, 0}, irPrint({254, 0, 0}, colours::black)), P(true, false));
    EXPECT_EQ(inks({254, 0, 0}, irPrint(colours::black, {254, 0, 0})), P(false, true));
    // L is tested first: red as the L colour takes red away from the R cartridge ...
    EXPECT_EQ(inks(colours::red, irPrint(colours::red, colours::black)), P(true, false));
    // ... and black, no longer the L colour but still the user colour, goes to R.
    EXPECT_EQ(inks(colours::black, irPrint(colours::red, colours::black)), P(false, true));
    // A user colour prints under the print rule but is never stored.
    EXPECT_EQ(inks({128, 0, 255}, irPrint(colours::black, {128, 0, 255})), P(false, true));
    EXPECT_EQ(inks({128, 0, 255}, irStore()), P(false, false));
}

TEST(DoubleWidthTest, CopiesEachPixelTwiceAndMatchesTheDirectPath) {
    std::mt19937 random(7);
    Picture p(5, 11);
    const Colour palette[] = {
        colours::black, colours::red, colours::green, colours::white, {9, 8, 7}};
    for (int y = 0; y < p.height(); ++y)
        for (int x = 0; x < p.width(); ++x)
            p.setPixel(x, y, palette[random() % 5]);
    const Picture wide = DoubleWidth(p);
    ASSERT_EQ(wide.width(), 10);
    ASSERT_EQ(wide.height(), 11);
    for (int y = 0; y < wide.height(); ++y)
        for (int x = 0; x < wide.width(); ++x)
            ASSERT_EQ(wide.pixel(x, y), p.pixel(x / 2, y)) << x << "," << y;
    EXPECT_EQ(p, Picture(p)) << "the source is untouched";
    EXPECT_EQ(BuildInkPlanes(p, irStore(), true), BuildInkPlanes(wide, irStore(), false));
}

TEST(RasterLimits, WidthBeyondSixteenBitsIsRefusedNotWrapped) {
    const Picture wide(32768, 1); // 65536 dots when doubled
    EXPECT_NO_THROW(BuildInkPlanes(wide, irStore(), false));
    EXPECT_THROW(BuildInkPlanes(wide, irStore(), true), Error);
    TInkPlanes forged;
    forged.W = 70000;
    EXPECT_THROW(BandStreamLength(forged), Error);
    Bytes out;
    VectorSink sink(out);
    TInkPlanes inconsistent = BuildInkPlanes(Picture(4, 4), irStore(), false);
    inconsistent.R.pop_back();
    EXPECT_THROW(WriteBands(inconsistent, 0, sink), Error);
}

TEST(RasterStream, LengthEqualsBytesWrittenAndLinesGoOutWhole) {
    std::mt19937 random(2024);
    const Colour palette[] = {colours::white, colours::black, colours::red,
                              colours::green, colours::blue,  {200, 10, 10}};
    for (int round = 0; round < 60; ++round) {
        const int w = 1 + int(random() % 40), h = int(random() % 30);
        Picture p(w, h);
        // Sparse ink so that empty bands of each plane occur too.
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                if (random() % 7 == 0)
                    p.setPixel(x, y, palette[random() % 6]);
        const bool doubled = round % 2 == 1;
        const TInkRule rule = round % 3 == 0 ? defaultPrint : irStore();
        const TInkPlanes planes = BuildInkPlanes(p, rule, doubled);
        WriteSizes sizes;
        WriteBands(planes, doubled ? 1 : 0, sizes);
        std::uint64_t total = 0;
        for (std::size_t size : sizes.sizes) {
            EXPECT_TRUE(size == planes.W + 9 || size == planes.W + 11 || size == 4) << size;
            total += size;
        }
        EXPECT_EQ(BandStreamLength(planes), total);
        std::uint64_t emptyL = 0, emptyR = 0;
        for (std::uint32_t b = 0; b < planes.B; ++b) {
            emptyL += planes.lBandEmpty(b);
            emptyR += planes.rBandEmpty(b);
        }
        EXPECT_EQ(total, (2 * planes.W + 20) * planes.B - emptyL * (planes.W + 9) -
                             emptyR * (planes.W + 7));
    }
}

TEST(FileSinkTest, WritesTheSameBytesAsMemory) {
    const auto path = std::filesystem::temp_directory_path() /
                      ("printdata-sink-" + std::to_string(::getpid()) + ".prn");
    const Picture black = Picture(10, 8, colours::black);
    {
        FileSink file(path.string());
        WriteBands(BuildInkPlanes(black, irStore(), false), 0, file);
        file.close();
    }
    std::ifstream in(path, std::ios::binary);
    const Bytes written{std::istreambuf_iterator<char>(in), {}};
    EXPECT_EQ(written, encode(black, irStore(), false, 0));
    std::filesystem::remove(path);
    EXPECT_THROW(FileSink("/nonexistent-folder/x.prn"), FileError);
}
