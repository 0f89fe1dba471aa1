#include "separation/picture/Fitting.h"

#include <gtest/gtest.h>

#include <stdexcept>

using namespace logosmith;

namespace {

// Every pixel distinct enough to tell which source pixel landed where.
Picture numbered(int width, int height) {
    Picture p(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            p.setPixel(x, y, Colour{x % 256, y % 256, (x / 256) * 16 + (y / 256)});
    return p;
}

void expectSize(const Picture& p, int width, int height) {
    EXPECT_EQ(p.width(), width);
    EXPECT_EQ(p.height(), height);
}

} // namespace

TEST(FitToWidth, ShrinksInFlooredNinetyFivePercentSteps) {
    expectSize(fitToWidth(Picture(300, 200)), 243, 162);
    expectSize(fitToWidth(Picture(256, 100)), 243, 95);
    expectSize(fitToWidth(Picture(640, 480)), 248, 186);
    expectSize(fitToWidth(Picture(1024, 768)), 248, 186);
    expectSize(fitToWidth(Picture(268, 1000)), 254, 950); // one step from 268 is 254
    expectSize(fitToWidth(Picture(10, 5000)), 10, 5000);  // height alone is never limited
}

TEST(FitToWidth, PicturesAtMostTheLimitComeBackUnchanged) {
    const Picture narrow = numbered(255, 300);
    EXPECT_EQ(fitToWidth(narrow), narrow);
    const Picture tiny = numbered(1, 1);
    EXPECT_EQ(fitToWidth(tiny), tiny);
    EXPECT_TRUE(fitToWidth(Picture()).isEmpty());
}

TEST(FitToWidth, AWideLowPictureLosesItsHeightWithoutFailing) {
    const Picture fitted = fitToWidth(numbered(2000, 50));
    expectSize(fitted, 248, 0);
    EXPECT_TRUE(fitted.isEmpty());
    EXPECT_EQ(fitted.byteCount(), 0u);
}

TEST(ResizeByPercent, AlwaysStartsFromTheBaseItIsGiven) {
    const Picture base = fitToWidth(numbered(300, 200));
    expectSize(resizeByPercent(base, 75), 182, 121);
    expectSize(resizeByPercent(base, 50), 121, 81);
    expectSize(resizeByPercent(base, 25), 60, 40);
    EXPECT_EQ(resizeByPercent(base, 100), base);
    const Picture quarter = resizeByPercent(base, 25);
    EXPECT_EQ(quarter.pixel(59, 39), base.pixel(59 * 243 / 60, 39 * 162 / 40));
    expectSize(resizeByPercent(Picture(3, 3), 25), 0, 0);
}

TEST(ResizeByPercent, PercentagesOutsideOneToHundredAreProgrammingErrors) {
    EXPECT_THROW(resizeByPercent(Picture(4, 4), 0), std::invalid_argument);
    EXPECT_THROW(resizeByPercent(Picture(4, 4), 150), std::invalid_argument);
}
