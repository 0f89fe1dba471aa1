#include "separation/loader/tests/loader_support.h"
#include "separation/loader/tests/metafile_writers.h"

using namespace loadertest;
using logosmith::colours::black;
using logosmith::colours::blue;
using logosmith::colours::green;
using logosmith::colours::red;
using logosmith::colours::white;

namespace {

constexpr std::uint32_t nullPen = 0x80000008;

Bytes sampleEmf() {
    return EmfWriter(100, 60)
        .select(nullPen)
        .brush(1, red)
        .select(1)
        .rectangle(10, 10, 50, 50)
        .brush(2, blue)
        .select(2)
        .ellipse(60, 10, 90, 50)
        .finish();
}

Bytes sampleWmf() {
    return WmfWriter(0, 0, 200, 100, 96)
        .windowOrg(0, 0)
        .windowExt(200, 100)
        .pen(5, 0, black) // slot 0: no outline
        .select(0)
        .solidBrush(red) // slot 1
        .select(1)
        .rectangle(10, 10, 60, 60)
        .solidBrush(blue) // slot 2
        .select(2)
        .ellipse(80, 10, 140, 60)
        .remove(1)
        .solidBrush(green) // reuses slot 1
        .select(1)
        .polygon({150, 90, 190, 90, 170, 60})
        .finish();
}

} // namespace

TEST(WmfPlaying, ShapesAreFilledWithTheSelectedBrushesAtThePlaceableSize) {
    const Picture p = decodeBytes(sampleWmf(), "shapes.wmf");
    ASSERT_EQ(p.width(), 200);
    ASSERT_EQ(p.height(), 100);
    EXPECT_EQ(p.pixel(35, 35), red);
    EXPECT_EQ(p.pixel(110, 35), blue); // ellipses are filled
    EXPECT_EQ(p.pixel(81, 11), white); // outside the ellipse, inside its box
    EXPECT_EQ(p.pixel(170, 85), green);
    EXPECT_EQ(p.pixel(5, 95), white);
    EXPECT_EQ(p.pixel(65, 35), white); // no outline: the null pen
}

TEST(WmfPlaying, WindowExtentScalesTwipsAndFillModeDecidesHoles) {
    // 2880 x 1440 twips at 1440 per inch: 192 x 96 pixels.
    const std::vector<int> outer = {0, 0, 1440, 0, 1440, 1440, 0, 1440};
    const std::vector<int> inner = {480, 480, 960, 480, 960, 960, 480, 960};
    auto draw = [&](int fillMode) {
        return WmfWriter(0, 0, 2880, 1440, 1440)
            .windowOrg(0, 0)
            .windowExt(2880, 1440)
            .record(0x0106, {fillMode})
            .pen(0, 30, black) // 30 twips: 2 pixels wide
            .select(0)
            .solidBrush(red)
            .select(1)
            .polyPolygon({outer, inner})
            .record(0x0214, {720, 1800}) // move to (1800, 720)
            .record(0x0213, {720, 2700}) // line to (2700, 720)
            .finish();
    };
    const Picture alternate = decodeBytes(draw(1), "alternate.wmf");
    ASSERT_EQ(alternate.width(), 192);
    ASSERT_EQ(alternate.height(), 96);
    EXPECT_EQ(alternate.pixel(10, 10), red);
    EXPECT_EQ(alternate.pixel(48, 48), white);  // the hole
    EXPECT_EQ(alternate.pixel(150, 48), black); // the line at y = 720 twips
    EXPECT_EQ(alternate.pixel(150, 40), white);
    const Picture winding = decodeBytes(draw(2), "winding.wmf");
    EXPECT_EQ(winding.pixel(48, 48), red);
}

TEST(WmfPlaying, WithoutPlaceableHeaderTheWindowExtentGivesTheSize) {
    const Bytes bytes = WmfWriter()
                            .windowOrg(100, 100)
                            .windowExt(40, 30)
                            .record(0x012D, {0x7F}) // selecting nothing is harmless
                            .solidBrush(blue)
                            .select(0)
                            .rectangle(100, 100, 120, 130)
                            .finish();
    const Picture p = decodeBytes(bytes, "plain.wmf");
    ASSERT_EQ(p.width(), 40);
    ASSERT_EQ(p.height(), 30);
    EXPECT_EQ(p.pixel(10, 15), blue);
    EXPECT_EQ(p.pixel(30, 15), white);
}

TEST(WmfPlaying, DamagedTruncatedAndLyingFilesAreRefused) {
    const Bytes good = sampleWmf();
    for (std::size_t size : {std::size_t(3), std::size_t(22), std::size_t(30), std::size_t(45),
                             good.size() / 2, good.size() - 1}) {
        SCOPED_TRACE(size);
        EXPECT_TRUE(refused(truncatedTo(good, size), "short.wmf"));
    }
    // A record claiming fewer than three words would never advance.
    Bytes zero = good;
    put32(zero, 40, 0);
    EXPECT_TRUE(refused(zero, "zero.wmf", "damaged"));
    // A polygon claiming more points than its record holds.
    const Bytes polygon = WmfWriter(0, 0, 10, 10, 96).record(0x0324, {500, 1, 1, 5, 5}).finish();
    EXPECT_TRUE(refused(polygon, "polygon.wmf", "too short"));
    const Bytes poly2 = WmfWriter(0, 0, 10, 10, 96).record(0x0538, {2, 3, 40000, 1, 1}).finish();
    EXPECT_TRUE(refused(poly2, "polypolygon.wmf", "too short"));
    EXPECT_TRUE(refused(WmfWriter(0, 0, 32000, 32000, 1).finish(), "huge.wmf", "too large"));
    EXPECT_TRUE(refused(WmfWriter(0, 0, 100, 100, 0).finish(), "inch.wmf", "units per inch"));
    EXPECT_TRUE(refused(WmfWriter().finish(), "nosize.wmf", "size"));
    const std::string text = "This is a note, not a metafile at all.";
    EXPECT_TRUE(refused(Bytes(text.begin(), text.end()), "note.wmf", "not a WMF"));
}

// Writers disagree whether the standard header's file size counts the placeable header; both
// files are whole, and only records running past the end make a file truncated.
TEST(WmfPlaying, FileSizeMayCountThePlaceableHeaderToo) {
    auto square = [] {
        return WmfWriter(0, 0, 200, 100, 96).solidBrush(red).select(0).rectangle(10, 10, 60, 60);
    };
    const Bytes whole = square().finish(true);
    const Picture p = decodeBytes(whole, "whole.wmf");
    EXPECT_EQ(p.pixel(30, 30), red);
    EXPECT_TRUE(samePixels(p, decodeBytes(square().finish(), "standard.wmf")));
    EXPECT_TRUE(refused(truncatedTo(whole, whole.size() - 2), "cut.wmf", "truncated"));
}

TEST(EmfDrawing, RecordsAreDrawnOnWhiteAtTheFrameSize) {
    const Picture p = decodeBytes(sampleEmf(), "shapes.emf");
    ASSERT_EQ(p.width(), 100);
    ASSERT_EQ(p.height(), 60);
    EXPECT_TRUE(near(p.pixel(30, 30), red, 8));
    EXPECT_TRUE(near(p.pixel(75, 30), blue, 8));
    EXPECT_EQ(p.pixel(5, 5), white);
    EXPECT_EQ(p.pixel(95, 55), white);
}

TEST(EmfDrawing, IncompleteRecordChainsNeverReachTheConverter) {
    const Bytes good = sampleEmf();
    for (std::size_t size : {std::size_t(4), std::size_t(40), std::size_t(87), std::size_t(100),
                             good.size() / 2, good.size() - 4}) {
        SCOPED_TRACE(size);
        EXPECT_TRUE(refused(truncatedTo(good, size), "short.emf"));
    }
    Bytes zero = good;
    put32(zero, 88 + 4, 0); // first record's size
    EXPECT_TRUE(refused(zero, "zero.emf", "damaged"));
    Bytes beyond = good;
    put32(beyond, 88 + 4, 0x7FFFFFF0);
    EXPECT_TRUE(refused(beyond, "beyond.emf", "truncated"));
    Bytes noEnd = good;
    put32(noEnd, good.size() - 20, 43); // the EOF record turned into a rectangle
    EXPECT_TRUE(refused(noEnd, "noend.emf", "truncated"));
    Bytes huge = good;
    put32(huge, 32, 0x7FFFFFFF); // frame right edge
    EXPECT_TRUE(refused(huge, "huge.emf", "too large"));
    Bytes sizeless = good;
    for (std::size_t at = 8; at < 40; at += 4)
        put32(sizeless, at, 0);
    put32(sizeless, 16, 0xFFFFFFFFu); // bounds ending before they start
    put32(sizeless, 20, 0xFFFFFFFFu);
    EXPECT_TRUE(refused(sizeless, "sizeless.emf", "size"));
    EXPECT_TRUE(refused(sampleWmf(), "wmf.emf", "not an EMF"));
}

TEST(Corruption, RandomlyDamagedMetafilesFailCleanly) {
    std::mt19937 random(7);
    corruptRepeatedly(sampleWmf(), "c.wmf", random);
    corruptRepeatedly(sampleEmf(), "c.emf", random);
}
