#include "separation/Separation.h"

#include <gtest/gtest.h>

using namespace logosmith;

namespace {

// The state every picture load leaves behind: Red mode, red target, both allowances 100.
SeparationSettings afterLoad() {
    SeparationSettings s;
    s.inkMode = InkMode::Red;
    s.targetColor = colours::red;
    s.rValue = 100;
    s.lValue = 100;
    return s;
}

// A colour whose channel sum is exactly sum (0..765).
Colour withSum(int sum) {
    return Colour{std::min(sum, 255), std::clamp(sum - 255, 0, 255), std::clamp(sum - 510, 0, 255)};
}

} // namespace

TEST(HueToTarget, TellingPositionsMatchDoubleTruncation) {
    EXPECT_EQ(hueToTarget(0), (Colour{255, 0, 0}));
    EXPECT_EQ(hueToTarget(4), (Colour{255, 17, 0}));
    EXPECT_EQ(hueToTarget(60), (Colour{255, 255, 0}));
    EXPECT_EQ(hueToTarget(92), (Colour{118, 255, 0}));
    EXPECT_EQ(hueToTarget(120), (Colour{0, 255, 0}));
    EXPECT_EQ(hueToTarget(180), (Colour{0, 255, 255}));
    EXPECT_EQ(hueToTarget(240), (Colour{0, 0, 255}));
    EXPECT_EQ(hueToTarget(300), (Colour{255, 0, 255}));
    EXPECT_EQ(hueToTarget(359), (Colour{255, 0, 4}));
    EXPECT_EQ(hueToTarget(360), (Colour{255, 0, 0}));
}

TEST(HueToTarget, EveryPositionIsSaturatedAndOutOfRangeWraps) {
    for (int p = 0; p <= 360; ++p) {
        const Colour c = hueToTarget(p);
        EXPECT_EQ(std::max({c.r, c.g, c.b}), 255) << p;
        EXPECT_EQ(std::min({c.r, c.g, c.b}), 0) << p;
    }
    EXPECT_EQ(hueToTarget(-1), hueToTarget(359));
    EXPECT_EQ(hueToTarget(720 + 92), hueToTarget(92));
}

TEST(SeparatePixel, RedModeAfterLoad) {
    const SeparationSettings s = afterLoad();
    EXPECT_EQ(separatePixel(s, {255, 0, 0}), colours::red);
    EXPECT_EQ(separatePixel(s, {0, 0, 0}), colours::black);
    EXPECT_EQ(separatePixel(s, {255, 255, 255}), colours::white);
    EXPECT_EQ(separatePixel(s, {128, 128, 128}), colours::red);
    EXPECT_EQ(separatePixel(s, {100, 100, 100}), colours::black);
    EXPECT_EQ(separatePixel(s, {180, 180, 180}), colours::white);
    EXPECT_EQ(separatePixel(s, {255, 128, 128}), colours::red);
    EXPECT_EQ(separatePixel(s, {200, 60, 60}), colours::red);
    // Colour and black scores both 231: black wins the tie in Red mode.
    EXPECT_EQ(classifyPixel(s, {86, 65, 130}), PixelClass::LInk);
}

TEST(SeparatePixel, InvertAndExchangesInRedMode) {
    SeparationSettings inverted = afterLoad();
    inverted.invertColor = true;
    EXPECT_EQ(separatePixel(inverted, {0, 0, 0}), colours::red);
    EXPECT_EQ(separatePixel(inverted, {255, 0, 0}), colours::black);
    EXPECT_EQ(separatePixel(inverted, {128, 128, 128}), colours::black);
    EXPECT_EQ(separatePixel(inverted, {255, 255, 255}), colours::white);

    SeparationSettings blackWhite = afterLoad();
    blackWhite.swapBlackWhite = true;
    EXPECT_EQ(separatePixel(blackWhite, {0, 0, 0}), colours::white);
    EXPECT_EQ(separatePixel(blackWhite, {255, 255, 255}), colours::black);
    EXPECT_EQ(separatePixel(blackWhite, {255, 0, 0}), colours::red);

    SeparationSettings redGreen = afterLoad();
    redGreen.swapRedGreen = true;
    EXPECT_EQ(separatePixel(redGreen, {0, 255, 0}), colours::red);

    // The three exchanges in their order amount to exchanging red and blue.
    SeparationSettings all = afterLoad();
    all.swapRedGreen = all.swapRedBlue = all.swapGreenBlue = true;
    EXPECT_EQ(separatePixel(all, {0, 0, 255}), colours::red);
    EXPECT_EQ(separatePixel(all, {255, 0, 0}), colours::black);
}

TEST(SeparatePixel, GreenModeGivesTiesToTheColour) {
    SeparationSettings s = afterLoad();
    s.inkMode = InkMode::Green;
    s.targetColor = colours::green;
    EXPECT_EQ(separatePixel(s, {255, 0, 0}), colours::black);
    EXPECT_EQ(separatePixel(s, {0, 255, 0}), colours::green);
    EXPECT_EQ(separatePixel(s, {128, 128, 128}), colours::green);
    EXPECT_EQ(classifyPixel(s, {0, 130, 45}), PixelClass::RInk); // 150 against 150
}

TEST(SeparatePixel, BlackOnlyStepsAtTheDarknessThreshold) {
    struct Case {
        int lValue;
        int lastBlackSum;
    };
    for (const Case c : {Case{100, 354}, Case{155, 382}, Case{0, 304}, Case{255, 432}}) {
        SeparationSettings s = afterLoad();
        s.inkMode = InkMode::BlackOnly;
        s.lValue = c.lValue;
        s.lColor = Colour{0, 0, 200}; // the L ink colour is what black pixels get
        for (int sum = 0; sum <= 765; ++sum) {
            const Colour expected = sum <= c.lastBlackSum ? s.lColor : colours::white;
            ASSERT_EQ(separatePixel(s, withSum(sum)), expected)
                << "lValue " << c.lValue << " sum " << sum;
        }
        // Red pixels are just dark pixels here: there is no R ink.
        EXPECT_NE(classifyPixel(s, colours::red), PixelClass::RInk);
    }
}

TEST(SeparatePixel, ChoicesWhereTheBoxesWouldOtherwiseBeDead) {
    // Invert Color in BlackOnly exchanges black and paper.
    SeparationSettings blackOnly = afterLoad();
    blackOnly.inkMode = InkMode::BlackOnly;
    blackOnly.invertColor = true;
    EXPECT_EQ(separatePixel(blackOnly, colours::black), colours::white);
    EXPECT_EQ(separatePixel(blackOnly, colours::white), colours::black);

    // User mode: the chosen colour paints R ink; Exchange Black & White is honoured.
    SeparationSettings user = afterLoad();
    user.inkMode = InkMode::User;
    user.userColor = Colour{10, 200, 30};
    EXPECT_EQ(separatePixel(user, colours::red), user.userColor);
    EXPECT_EQ(separatePixel(user, colours::black), colours::black);
    user.swapBlackWhite = true;
    EXPECT_EQ(separatePixel(user, colours::black), colours::white);
    EXPECT_EQ(separatePixel(user, colours::white), colours::black);
    EXPECT_EQ(separatePixel(user, colours::red), user.userColor);

    // Invert in User mode exchanges black and paper scores.
    user.swapBlackWhite = false;
    user.invertColor = true;
    EXPECT_EQ(separatePixel(user, colours::black), colours::white);
    EXPECT_EQ(separatePixel(user, colours::white), colours::black);
}

TEST(SeparatePixel, StartUpSettingsAndBadValuesStayWithinTheThreeColours) {
    const SeparationSettings startUp;
    EXPECT_EQ(startUp.inkMode, InkMode::None);
    EXPECT_TRUE(startUp.liveUpdate);
    EXPECT_TRUE(startUp.fitOnLoad);
    // No ink mode chosen yet: only L ink and paper, never a fourth colour.
    EXPECT_EQ(separatePixel(startUp, colours::black), colours::black);
    EXPECT_EQ(separatePixel(startUp, colours::red), colours::black);
    EXPECT_EQ(separatePixel(startUp, colours::white), colours::white);

    SeparationSettings wild = afterLoad();
    wild.rValue = 100000;
    wild.lValue = -7;
    wild.targetColor = Colour{900, -3, 40};
    SeparationSettings tame = afterLoad();
    tame.rValue = 255;
    tame.lValue = 0;
    tame.targetColor = Colour{255, 0, 40};
    for (int v = 0; v < 256; v += 5)
        EXPECT_EQ(separatePixel(wild, {v, 255 - v, v / 2}),
                  separatePixel(tame, {v, 255 - v, v / 2}));
}

TEST(TintOf, SwatchTintsOfTheFourPureColours) {
    EXPECT_EQ(tintOf(100, colours::red), (Colour{255, 155, 155}));
    EXPECT_EQ(tintOf(100, colours::green), (Colour{155, 255, 155}));
    EXPECT_EQ(tintOf(100, colours::blue), (Colour{155, 155, 255}));
    EXPECT_EQ(tintOf(100, colours::black), (Colour{155, 155, 155}));
    EXPECT_EQ(tintOf(0, colours::black), colours::white);
    EXPECT_EQ(tintOf(255, colours::blue), colours::blue);
    EXPECT_EQ(tintOf(999, colours::red), colours::red);
}
