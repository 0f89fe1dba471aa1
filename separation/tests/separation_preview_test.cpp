#include "separation/Separation.h"
#include "separation/SeparationInternal.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

using namespace logosmith;

namespace {

Picture randomPicture(int width, int height, std::mt19937& rng) {
    Picture p(width, height);
    std::uniform_int_distribution<int> byte(0, 255);
    for (std::size_t i = 0; i < p.byteCount(); ++i)
        p.bytes()[i] = std::uint8_t(byte(rng));
    return p;
}

// Greys, pure and half colours and their neighbours: where scores tie most often.
Picture awkwardPicture() {
    std::vector<Colour> colours;
    const int levels[] = {0, 1, 2, 63, 64, 85, 86, 127, 128, 129, 154, 155, 254, 255};
    for (int r : levels)
        for (int g : levels)
            for (int b : levels)
                colours.push_back(Colour{r, g, b});
    for (int s = 0; s <= 765; ++s)
        colours.push_back(Colour{s / 3, (s + 1) / 3, (s + 2) / 3});
    Picture p(int(colours.size()), 1);
    for (std::size_t i = 0; i < colours.size(); ++i)
        p.setPixel(int(i), 0, colours[i]);
    return p;
}

// Returns "" when preview equals separatePixel at every pixel, else the first difference.
std::string firstMismatch(const SeparationSettings& s, const Picture& working,
                          const Picture& preview) {
    if (preview.width() != working.width() || preview.height() != working.height())
        return "size differs";
    for (int y = 0; y < working.height(); ++y)
        for (int x = 0; x < working.width(); ++x) {
            const Colour in = working.pixel(x, y);
            const Colour expected = separatePixel(s, in);
            const Colour got = preview.pixel(x, y);
            if (got != expected)
                return "pixel (" + std::to_string(in.r) + "," + std::to_string(in.g) + "," +
                       std::to_string(in.b) + ") gave (" + std::to_string(got.r) + "," +
                       std::to_string(got.g) + "," + std::to_string(got.b) + ")";
        }
    return "";
}

using separation_detail::PreviewKernel;
using separation_detail::rebuildPreviewWith;

// Every whole-picture check runs both pixel loops: the vector one (where the processor has it)
// and the portable one that every other machine uses.
const PreviewKernel kernels[] = {PreviewKernel::Fastest, PreviewKernel::Portable};

void applyFlags(SeparationSettings& s, unsigned flags) {
    s.invertColor = flags & 1;
    s.swapRedGreen = flags & 2;
    s.swapRedBlue = flags & 4;
    s.swapGreenBlue = flags & 8;
    s.swapBlackWhite = flags & 16;
}

} // namespace

TEST(RebuildPreview, EqualsThePixelRuleForEveryModeAndFlag) {
    std::mt19937 rng(20240611);
    const Picture random = randomPicture(61, 17, rng);
    const Picture awkward = awkwardPicture();
    struct Allowances {
        int r, l;
    };
    const Allowances allowances[] = {{100, 100}, {0, 0},   {255, 255},
                                     {37, 211},  {1, 154}, {254, 156}};
    const InkMode modes[] = {InkMode::None, InkMode::Red,       InkMode::Green,
                             InkMode::Blue, InkMode::BlackOnly, InkMode::User};
    int round = 0;
    for (InkMode mode : modes)
        for (unsigned flags = 0; flags < 32; ++flags)
            for (const Allowances a : allowances) {
                SeparationSettings s;
                s.inkMode = mode;
                s.rValue = a.r;
                s.lValue = a.l;
                s.targetColor = hueToTarget(round * 37 % 361);
                if (round % 3 == 0)
                    s.targetColor = Colour{int(rng() % 256), int(rng() % 256), int(rng() % 256)};
                s.lColor = Colour{0, 0, int(rng() % 256)};
                s.userColor = Colour{200, 100, 50};
                applyFlags(s, flags);
                ++round;
                for (const Picture* working : {&random, &awkward})
                    for (PreviewKernel kernel : kernels) {
                        Picture preview;
                        rebuildPreviewWith(kernel, s, *working, preview);
                        ASSERT_EQ(firstMismatch(s, *working, preview), "")
                            << "mode " << int(mode) << " flags " << flags << " rValue " << a.r
                            << " lValue " << a.l << " kernel " << int(kernel);
                    }
            }
}

TEST(RebuildPreview, EveryColourOnceAcrossThreadsForSeveralSettings) {
    // 4096 x 4096 holds each 24-bit colour once and is big enough to be split between threads.
    Picture all(4096, 4096);
    for (std::uint32_t i = 0; i < (1u << 24); ++i) {
        std::uint8_t* p = all.bytes() + 3 * std::size_t(i);
        p[0] = std::uint8_t(i);
        p[1] = std::uint8_t(i >> 8);
        p[2] = std::uint8_t(i >> 16);
    }
    std::vector<SeparationSettings> cases(4);
    cases[0].inkMode = InkMode::Red;
    cases[0].targetColor = colours::red;
    cases[0].rValue = cases[0].lValue = 100;
    cases[1] = cases[0];
    cases[1].inkMode = InkMode::Green;
    cases[1].targetColor = hueToTarget(92);
    cases[1].invertColor = cases[1].swapRedBlue = true;
    cases[2].inkMode = InkMode::User;
    cases[2].targetColor = Colour{30, 140, 250};
    cases[2].rValue = 177;
    cases[2].lValue = 59;
    cases[2].userColor = Colour{1, 2, 3};
    cases[2].invertColor = cases[2].swapGreenBlue = cases[2].swapBlackWhite = true;
    cases[3].inkMode = InkMode::BlackOnly;
    cases[3].lValue = 201;
    Picture preview;
    for (const SeparationSettings& s : cases)
        for (PreviewKernel kernel : kernels) {
            rebuildPreviewWith(kernel, s, all, preview);
            ASSERT_EQ(firstMismatch(s, all, preview), "")
                << "mode " << int(s.inkMode) << " kernel " << int(kernel);
        }
}

TEST(RebuildPreview, SizesPreviewWorksInPlaceAndIgnoresAnEmptyPicture) {
    std::mt19937 rng(7);
    SeparationSettings s;
    s.inkMode = InkMode::Blue;
    s.targetColor = colours::blue;
    s.rValue = 90;
    s.lValue = 120;

    // An odd pixel count that splits unevenly between threads.
    const Picture working = randomPicture(1001, 263, rng);
    Picture preview(3, 5);
    rebuildPreview(s, working, preview);
    EXPECT_EQ(firstMismatch(s, working, preview), "");

    for (PreviewKernel kernel : kernels) {
        Picture same = working;
        rebuildPreviewWith(kernel, s, same, same);
        EXPECT_EQ(same, preview);
    }

    const Picture before = preview;
    rebuildPreview(s, Picture(), preview);
    EXPECT_EQ(preview, before);
    rebuildPreview(s, Picture(0, 7), preview);
    EXPECT_EQ(preview, before);
}
