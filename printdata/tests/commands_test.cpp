#include "platform/core/Error.h"
#include "printdata/Commands.h"

#include <gtest/gtest.h>

using namespace logosmith;
using Bytes = std::vector<std::uint8_t>;

namespace {

const Density single = densityForIndex(1);
const Density doubled = densityForIndex(2);

Bytes blackTenByEightBands() {
    Bytes b = {0x1B, 0x72, 0x00, 0x1B, 0x2A, 0x00, 0x0A, 0x00};
    b.insert(b.end(), 10, 0xFF);
    b.insert(b.end(), {0x0D, 0x0D, 0x1B, 0x4A, 0x10, 0x0D, 0x1B, 0x4A, 0x10});
    return b;
}

Bytes printed(const Picture& p, Density d, bool centred, const TInkRule& rule = irStore()) {
    Bytes out;
    VectorSink sink(out);
    EXPECT_EQ(WritePrintStream(sink, p, rule, d, centred), PrintBuild::ok);
    return out;
}

PrintBuild printResult(int width, Density d) {
    Bytes out;
    VectorSink sink(out);
    const PrintBuild result = WritePrintStream(sink, Picture(width, 1), irStore(), d, true);
    if (result == PrintBuild::tooWide) {
        EXPECT_TRUE(out.empty()) << "nothing is written for a refused print";
    }
    return result;
}

} // namespace

TEST(DensityTest, ChoicesThatNameNoButtonAreNarrowWithModeOne) {
    EXPECT_EQ(densityForIndex(3), (Density{false, 0}));
    EXPECT_EQ(densityForIndex(4), (Density{true, 1}));
    for (std::optional<int> none :
         {std::optional<int>{}, std::optional<int>{0}, std::optional<int>{7}})
        EXPECT_EQ(densityForIndex(none), (Density{false, 1}));
}

TEST(StoreStream, OneBlackLogo) {
    const Picture logos[] = {Picture(10, 8, colours::black)};
    Bytes expected = {0x1B, 0x67, 0x00, 0x01, 0x00, 0x21, 0x1B, 0x61, 0x01};
    const Bytes bands = blackTenByEightBands();
    expected.insert(expected.end(), bands.begin(), bands.end());
    expected.insert(expected.end(), {0x1B, 0x61, 0x00});
    EXPECT_EQ(BuildStoreStream(logos, single), expected);
    EXPECT_EQ(expected.size(), 39u);
}

TEST(StoreStream, OneBlackLogoAtDoubleDensity) {
    const Picture logos[] = {Picture(10, 8, colours::black)};
    // 6 + (20 + 9) + 4 + 4 = 43 bytes in the block.
    Bytes expected = {0x1B, 0x67, 0x00, 0x01, 0x00, 0x2B, 0x1B, 0x61, 0x01,
                      0x1B, 0x72, 0x00, 0x1B, 0x2A, 0x01, 0x14, 0x00};
    expected.insert(expected.end(), 20, 0xFF);
    expected.insert(expected.end(),
                    {0x0D, 0x0D, 0x1B, 0x4A, 0x10, 0x0D, 0x1B, 0x4A, 0x10, 0x1B, 0x61, 0x00});
    EXPECT_EQ(BuildStoreStream(logos, doubled), expected);
    // The same picture printed, not centred: the block's band stream alone.
    EXPECT_EQ(printed(logos[0], doubled, false), Bytes(expected.begin() + 9, expected.end() - 3));
}

TEST(StoreStream, TwoLogosLengthsComeFirst) {
    Picture first(2, 2);
    first.setPixel(0, 0, colours::black);
    first.setPixel(1, 0, colours::red);
    first.setPixel(0, 1, colours::red);
    const Picture logos[] = {first, Picture(1, 1, colours::green)};
    const Bytes expected = {
        0x1B, 0x67, 0x00, 0x02, 0x00, 0x1E, 0x00, 0x1C,                                     //
        0x1B, 0x61, 0x01, 0x1B, 0x72, 0x00, 0x1B, 0x2A, 0x00, 0x02, 0x00, 0x80, 0x00, 0x0D, //
        0x1B, 0x72, 0x01, 0x1B, 0x2A, 0x00, 0x02, 0x00, 0x40, 0x80, 0x1B, 0x4A, 0x10, 0x1B, 0x61,
        0x00, 0x1B, 0x61, 0x01, 0x1B, 0x72, 0x00, 0x1B, 0x2A, 0x00, 0x01, 0x00, 0x80, 0x0D, //
        0x1B, 0x72, 0x01, 0x1B, 0x2A, 0x00, 0x01, 0x00, 0x80, 0x1B, 0x4A, 0x10, 0x1B, 0x61, 0x00};
    EXPECT_EQ(BuildStoreStream(logos, single), expected);
}

TEST(StoreStream, BlankAndUserColouredLogosGiveFillersOnly) {
    for (int h : {1, 8, 23, 24}) {
        const Picture logos[] = {Picture(30, h, {128, 0, 255})};
        const Bytes bytes = BuildStoreStream(logos, single);
        const unsigned length = 6 + 4 * (h / 8 + 1);
        EXPECT_EQ(bytes[4], length >> 8);
        EXPECT_EQ(bytes[5], length & 0xFF);
        EXPECT_EQ(bytes.size(), 6 + length);
    }
}

TEST(StoreStream, DoubleDensityWidensEveryLine) {
    const Picture logos[] = {Picture(10, 8, colours::blue)}; // both planes
    const Bytes bytes = BuildStoreStream(logos, doubled);
    // L line: 20 data bytes, m = 1; R line likewise; then the blank band's filler.
    const unsigned length = 6 + (20 + 9) + (20 + 11) + 4;
    EXPECT_EQ(bytes[4] << 8 | bytes[5], int(length));
    ASSERT_EQ(bytes.size(), 6 + length);
    EXPECT_EQ(Bytes(bytes.begin() + 9, bytes.begin() + 17),
              (Bytes{0x1B, 0x72, 0x00, 0x1B, 0x2A, 0x01, 20, 0}));
    EXPECT_EQ(Bytes(bytes.begin() + 38, bytes.begin() + 46),
              (Bytes{0x1B, 0x72, 0x01, 0x1B, 0x2A, 0x01, 20, 0}));
}

TEST(StoreStream, RefusesWhatCannotBeStored) {
    Bytes out;
    VectorSink sink(out);
    EXPECT_THROW(WriteStoreStream(sink, {}, single), Error);
    const std::vector<Picture> eleven(11, Picture(1, 1));
    EXPECT_THROW(WriteStoreStream(sink, eleven, single), Error);
    EXPECT_NO_THROW(BuildStoreStream(std::span(eleven).first(10), single));

    // 6000 x 100 black: 13 bands of 6013 bytes, more than a 16-bit length holds.
    const Picture logos[] = {Picture(8, 8), Picture(6000, 100, colours::black)};
    try {
        WriteStoreStream(sink, logos, single);
        FAIL() << "an oversized block was written";
    } catch (const Error& e) {
        EXPECT_NE(std::string(e.what()).find("Logo 2"), std::string::npos) << e.what();
    }
    EXPECT_TRUE(out.empty()) << "nothing may be written before the whole stream is known to fit";

    // h = 1, all black: the block is 6 + (W + 9) + 4 bytes; 65535 fits, 65536 does not.
    const Picture largest[] = {Picture(65516, 1, colours::black)};
    const Bytes bytes = BuildStoreStream(largest, single);
    EXPECT_EQ(bytes[4], 0xFF);
    EXPECT_EQ(bytes[5], 0xFF);
    EXPECT_EQ(bytes.size(), 6u + 65535);
    const Picture tooLarge[] = {Picture(65517, 1, colours::black)};
    EXPECT_THROW(BuildStoreStream(tooLarge, single), Error);
}

TEST(PrintStream, CentringFramesTheBands) {
    const Picture black = Picture(10, 8, colours::black);
    EXPECT_EQ(printed(black, single, false), blackTenByEightBands());
    Bytes centred = {0x1B, 0x61, 0x01};
    const Bytes bands = blackTenByEightBands();
    centred.insert(centred.end(), bands.begin(), bands.end());
    centred.insert(centred.end(), {0x1B, 0x61, 0x00});
    EXPECT_EQ(printed(black, single, true), centred);
}

TEST(PrintStream, WidthLimitAtBothDensities) {
    EXPECT_EQ(printResult(1015, single), PrintBuild::ok);
    EXPECT_EQ(printResult(1016, single), PrintBuild::tooWide);
    EXPECT_EQ(printResult(507, doubled), PrintBuild::ok);
    EXPECT_EQ(printResult(508, doubled), PrintBuild::tooWide);
    EXPECT_EQ(printResult(40000, doubled), PrintBuild::tooWide);
    EXPECT_STREQ(imageTooLargeMessage, "Image file size is too large.");
}

TEST(PrintStream, NoDensityChoiceIsNarrowWithModeOne) {
    // No density choice: narrow data, mode 1.
    const Bytes none = printed(Picture(1, 1, colours::black), densityForIndex(std::nullopt), false);
    EXPECT_EQ(none, (Bytes{0x1B, 0x72, 0x00, 0x1B, 0x2A, 0x01, 0x01, 0x00, 0x80, 0x0D, 0x0D, 0x1B,
                           0x4A, 0x10}));
}

TEST(AlignmentCommands, PatternAndCheck) {
    EXPECT_EQ(AlignmentCommand(alignmentPrintPattern),
              (Bytes{0x1B, 0x40, 0x1B, 0x78, 0x01, 0x01, 0x1D, 0x76, 0x66, 0x00}));
    EXPECT_EQ(AlignmentCommand(alignmentCheckSetup),
              (Bytes{0x1B, 0x40, 0x1B, 0x78, 0x01, 0x03, 0x1D, 0x76, 0x66, 0x00}));
}

TEST(AlignmentCommands, SetupRecords) {
    auto record = [](std::uint8_t mode, std::uint8_t position) {
        Bytes r = {0x1B, 0x78, 0x01, 0x02, mode, position};
        r.insert(r.end(), 20, 0);
        return r;
    };
    Bytes expected;
    for (auto [mode, position] : {std::pair{1, 1}, {2, 4}, {3, 6}, {4, 7}}) {
        const Bytes r = record(std::uint8_t(mode), std::uint8_t(position));
        expected.insert(expected.end(), r.begin(), r.end());
    }
    EXPECT_EQ(SetupCommand({1, 4, 6, 7}), expected);
    EXPECT_EQ(SetupCommand({1, 1, 1, 1}).size(), 104u);
    EXPECT_EQ(SetupCommand({1, 1, 1, 1})[26 + 5], 1);
    EXPECT_THROW(SetupCommand({1, 0, 1, 1}), Error);
    EXPECT_THROW(SetupCommand({1, 1, 1, 8}), Error);
}
