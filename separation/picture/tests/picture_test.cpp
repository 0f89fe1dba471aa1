#include "platform/core/Error.h"
#include "separation/picture/BmpFile.h"
#include "separation/picture/Picture.h"

#include <gtest/gtest.h>

using namespace logosmith;

TEST(Picture, NewPicturesAreWhiteAndRowsArePackedBgr) {
    Picture p(3, 2);
    EXPECT_EQ(p.pixel(2, 1), colours::white);
    p.setPixel(1, 0, Colour{10, 20, 30});
    const std::uint8_t* row = p.row(0);
    EXPECT_EQ(row[3], 30); // blue first
    EXPECT_EQ(row[4], 20);
    EXPECT_EQ(row[5], 10);
    EXPECT_EQ(p.rowBytes(), 9u);
}

TEST(Picture, AbsurdSizesAreRefusedBeforeAllocation) {
    EXPECT_THROW(Picture(70000, 1), DecodeError);
    EXPECT_THROW(Picture(-1, 5), DecodeError);
    EXPECT_THROW(Picture(60000, 60000), DecodeError);
    EXPECT_NO_THROW(Picture(4000, 3000));
    EXPECT_TRUE(Picture(248, 0).isEmpty());
}

TEST(Picture, StretchNearestRepeatsAndDropsWholePixels) {
    Picture src(2, 1);
    src.setPixel(0, 0, colours::red);
    src.setPixel(1, 0, colours::blue);
    const Picture wide = stretchNearest(src, 4, 2);
    EXPECT_EQ(wide.pixel(0, 0), colours::red);
    EXPECT_EQ(wide.pixel(1, 1), colours::red);
    EXPECT_EQ(wide.pixel(2, 0), colours::blue);
    EXPECT_EQ(wide.pixel(3, 1), colours::blue);
    const Picture narrow = stretchNearest(wide, 1, 1);
    EXPECT_EQ(narrow.pixel(0, 0), colours::red);
}

TEST(BmpFile, RowsAreBottomUpAndPaddedToFourBytes) {
    Picture p(1, 2);
    p.setPixel(0, 0, Colour{1, 2, 3}); // top
    p.setPixel(0, 1, Colour{4, 5, 6}); // bottom, written first
    const auto bytes = encodeBmp24(p);
    ASSERT_EQ(bytes.size(), 54u + 2 * 4);
    EXPECT_EQ(bytes[0], 'B');
    EXPECT_EQ(bytes[28], 24); // bits per pixel
    EXPECT_EQ(bytes[54], 6);  // bottom row's blue
    EXPECT_EQ(bytes[57], 0);  // padding
    EXPECT_EQ(bytes[58], 3);  // top row's blue
}
