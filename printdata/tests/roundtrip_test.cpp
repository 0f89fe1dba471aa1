// Streams from the encoder read back by the virtual printer: every dot of both inks must land
// where the picture put it.

#include "printdata/Commands.h"
#include "printdata/tests/RandomLogos.h"
#include "tools/mrx310-sim/SimPrinter.h"

#include <gtest/gtest.h>

#include <random>

using namespace logosmith;
using sim::Sheet;

namespace {

using testlogos::randomPicture;
using testlogos::userColour;

std::uint8_t expectedInk(Colour c, bool store) {
    if (store) {
        if (c == colours::black)
            return Sheet::inkL;
        if (c == colours::red)
            return Sheet::inkR;
        if (c == colours::green || c == colours::blue)
            return Sheet::inkL | Sheet::inkR;
        return Sheet::none;
    }
    if (c == colours::black)
        return Sheet::inkL;
    if (c == colours::red || c == colours::green || c == colours::blue || c == userColour)
        return Sheet::inkR;
    return Sheet::none;
}

void expectSameDots(const Picture& p, const Sheet& sheet, bool doubled, bool store) {
    const int scale = doubled ? 2 : 1;
    ASSERT_EQ(sheet.width(), p.width() * scale);
    ASSERT_EQ(sheet.height(), 8 * (p.height() / 8 + 1));
    for (int y = 0; y < sheet.height(); ++y)
        for (int x = 0; x < sheet.width(); ++x) {
            const std::uint8_t want =
                y < p.height() ? expectedInk(p.pixel(x / scale, y), store) : 0;
            ASSERT_EQ(sheet.dot(x, y), want) << "dot " << x << "," << y;
        }
}

} // namespace

TEST(RoundTrip, PrintedDotsMatchThePicture) {
    std::mt19937 random(31);
    for (int h : {1, 7, 8, 9, 15, 16, 17, 24, 25}) {
        for (int index : {1, 2}) {
            const Density density = densityForIndex(index);
            const Picture p = randomPicture(random, 1 + int(random() % 37), h);
            std::vector<std::uint8_t> stream;
            VectorSink sink(stream);
            ASSERT_EQ(
                WritePrintStream(sink, p, irPrint(colours::black, userColour), density, index == 2),
                PrintBuild::ok);
            const sim::SimPrinter printer = sim::simulate(stream, sim::Expect::print);
            ASSERT_TRUE(printer.ok()) << printer.errors()[0].message;
            SCOPED_TRACE("height " + std::to_string(h) + " density " + std::to_string(index));
            expectSameDots(p, printer.paper(), density.widthDoubled, false);
            EXPECT_EQ(printer.bitImageModes(), std::vector<int>{density.mode});
        }
    }
}

TEST(RoundTrip, StoredLogosMatchTheirPictures) {
    std::mt19937 random(97);
    for (int index : {1, 2}) {
        const Density density = densityForIndex(index);
        std::vector<Picture> logos;
        for (int h : {1, 7, 8, 9, 16, 17, 31, 32, 33, 40})
            logos.push_back(randomPicture(random, 1 + int(random() % 30), h));
        const sim::SimPrinter printer =
            sim::simulate(BuildStoreStream(logos, density), sim::Expect::store);
        ASSERT_TRUE(printer.ok()) << printer.errors()[0].message;
        ASSERT_EQ(printer.storedLogos().size(), logos.size());
        for (std::size_t k = 0; k < logos.size(); ++k) {
            SCOPED_TRACE("logo " + std::to_string(k + 1) + " density " + std::to_string(index));
            expectSameDots(logos[k], printer.storedLogos()[k].sheet, density.widthDoubled, true);
        }
        EXPECT_EQ(printer.paper().height(), 0);
    }
}
