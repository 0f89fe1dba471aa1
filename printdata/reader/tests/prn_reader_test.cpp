// The reader against the virtual printer: every stream the encoder and the alignment dialog
// make must give the same dots in both, and a broken stream must stop at the right byte.

#include "printdata/Commands.h"
#include "printdata/reader/StreamReader.h"
#include "printdata/reader/StreamView.h"
#include "printdata/tests/RandomLogos.h"
#include "tools/mrx310-sim/SimPrinter.h"

#include <gtest/gtest.h>

#include <random>

using namespace logosmith;
using prn::StreamKind;

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes concat(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const Bytes& part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

// Worked examples: a 10 x 8 black logo stored alone; the 2 x 2 picture (black, red / red,
// white) and a green pixel stored together; the 2 x 2 picture printed.
const Bytes blackBands = {0x1B, 0x72, 0x00, 0x1B, 0x2A, 0x00, 0x0A, 0x00, 0xFF,
                          0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,
                          0x0D, 0x0D, 0x1B, 0x4A, 0x10, 0x0D, 0x1B, 0x4A, 0x10};
const Bytes storeBlack = concat(
    {{0x1B, 0x67, 0x00, 0x01, 0x00, 0x21, 0x1B, 0x61, 0x01}, blackBands, {0x1B, 0x61, 0x00}});
const Bytes smallBands = {0x1B, 0x72, 0x00, 0x1B, 0x2A, 0x00, 0x02, 0x00, 0x80, 0x00, 0x0D, 0x1B,
                          0x72, 0x01, 0x1B, 0x2A, 0x00, 0x02, 0x00, 0x40, 0x80, 0x1B, 0x4A, 0x10};
const Bytes storeTwo = concat({{0x1B, 0x67, 0x00, 0x02, 0x00, 0x1E, 0x00, 0x1C, 0x1B, 0x61, 0x01},
                               smallBands,
                               {0x1B, 0x61, 0x00, 0x1B, 0x61, 0x01, 0x1B, 0x72, 0x00, 0x1B, 0x2A,
                                0x00, 0x01, 0x00, 0x80, 0x0D, 0x1B, 0x72, 0x01, 0x1B, 0x2A, 0x00,
                                0x01, 0x00, 0x80, 0x1B, 0x4A, 0x10, 0x1B, 0x61, 0x00}});
const Bytes pattern = {0x1B, 0x40, 0x1B, 0x78, 0x01, 0x01, 0x1D, 0x76, 0x66, 0x00};
// Low -3, normal 0, high +2, colour +3.
const Bytes setup = concat({{0x1B, 0x78, 0x01, 0x02, 0x01, 0x01},
                            Bytes(20, 0),
                            {0x1B, 0x78, 0x01, 0x02, 0x02, 0x04},
                            Bytes(20, 0),
                            {0x1B, 0x78, 0x01, 0x02, 0x03, 0x06},
                            Bytes(20, 0),
                            {0x1B, 0x78, 0x01, 0x02, 0x04, 0x07},
                            Bytes(20, 0)});

using testlogos::randomPicture;
using testlogos::userColour;

struct Case {
    std::string name;
    Bytes stream;
    StreamKind kind;
    std::uint8_t mode = 0; // of its bit images
    bool centred = false;
    std::string summary = {}; // the whole summary, when known
};

std::vector<Case> cases() {
    std::vector<Case> all = {
        {"worked store", storeBlack, StreamKind::store, 0, false,
         "store command: 1 logo\nlogo 1: 10 x 16 dots, single density, block of 33 bytes\n"},
        {"worked store of two", storeTwo, StreamKind::store, 0, false,
         "store command: 2 logos\nlogo 1: 2 x 8 dots, single density, block of 30 bytes\n"
         "logo 2: 1 x 8 dots, single density, block of 28 bytes\n"},
        {"worked print", smallBands, StreamKind::print, 0, false,
         "print command: 2 x 8 dots, single density\n"},
        {"print pattern", pattern, StreamKind::alignment, 0, false,
         "alignment command: print pattern\n"},
        {"check setup", AlignmentCommand(alignmentCheckSetup), StreamKind::alignment, 0, false,
         "alignment command: check setup\n"},
        {"setup", setup, StreamKind::setup, 0, false,
         "setup command: low -3, normal 0, high +2, colour +3\n"},
        {"setup built", SetupCommand({7, 3, 4, 1}), StreamKind::setup},
    };
    std::mt19937 random(19);
    for (const std::optional<int> choice : {std::optional<int>(1), {2}, {3}, {4}, {}}) {
        const Density density = densityForIndex(choice);
        const std::string name = choice ? "choice " + std::to_string(*choice) : "no choice";
        std::vector<Picture> logos;
        for (int h : {9, 1, 7, 8, 16, 17, 24, 25, 3, 40})
            logos.push_back(randomPicture(random, 1 + int(random() % 40), h));
        logos[4] = Picture(5, 16); // blank: fillers only
        const std::span<const Picture> ten(logos);
        all.push_back({"store 1, " + name, BuildStoreStream(ten.first(1), density),
                       StreamKind::store, density.mode});
        all.push_back(
            {"store 10, " + name, BuildStoreStream(ten, density), StreamKind::store, density.mode});
        for (const bool centred : {false, true}) {
            // The widest print that fits, and a small one.
            const int widest = int(maxPrintWidth) / (density.widthDoubled ? 2 : 1);
            for (const int width : {widest, 1 + int(random() % 60)}) {
                Bytes stream;
                VectorSink sink(stream);
                WritePrintStream(sink, randomPicture(random, width, 1 + int(random() % 30)),
                                 irPrint(colours::black, userColour), density, centred);
                all.push_back(
                    {"print " + std::to_string(width) + (centred ? " centred, " : ", ") + name,
                     stream, StreamKind::print, density.mode, centred});
            }
        }
    }
    return all;
}

// The reader's drawing against the simulator's dots: each dot of the simulator fills its dot
// in the drawing (2 units high, as wide as the density makes it), and nothing else is inked.
void expectSameDots(const prn::Sheet& sheet, const sim::Sheet& dots, std::uint8_t mode,
                    std::int64_t width, std::int64_t left) {
    EXPECT_EQ(sheet.columns, dots.width());
    EXPECT_EQ(sheet.dotRows(), dots.height());
    const prn::InkRaster raster = prn::renderSheet(sheet);
    ASSERT_FALSE(raster.cut);
    ASSERT_EQ(raster.width, std::max<std::int64_t>(width, 1));
    ASSERT_EQ(raster.height, std::max<std::int64_t>(2 * dots.height(), 1));
    const int du = prn::dotUnits(mode);
    std::int64_t inked = 0;
    for (std::int64_t y = 0; y < dots.height(); ++y)
        for (std::int64_t x = 0; x < dots.width(); ++x) {
            const std::uint8_t ink = dots.dot(x, y);
            inked += ink ? 2 * du : 0;
            for (int dy = 0; dy < 2; ++dy)
                for (int dx = 0; dx < du; ++dx)
                    ASSERT_EQ(raster.at(int(left + x * du + dx), 2 * y + dy), ink)
                        << "dot " << x << "," << y;
        }
    EXPECT_EQ(std::count_if(raster.inks.begin(), raster.inks.end(), [](auto i) { return i; }),
              inked);
}

} // namespace

TEST(PrnReader, ReadsEveryStreamWeMakeAsTheVirtualPrinterDoes) {
    for (const Case& c : cases()) {
        SCOPED_TRACE(c.name);
        const prn::Reading reading = prn::readPrinterStream(c.stream);
        ASSERT_TRUE(reading.ok()) << reading.fault->offset << ": " << reading.fault->message;
        const sim::SimPrinter printer = sim::simulate(c.stream);
        ASSERT_TRUE(printer.ok()) << printer.errors()[0].message;

        EXPECT_EQ(reading.kind(), c.kind);
        if (!c.summary.empty()) {
            EXPECT_EQ(prn::summaryText(reading), c.summary);
        }
        EXPECT_EQ(reading.alignment, printer.alignment());
        ASSERT_EQ(reading.logos.size(), printer.storedLogos().size());
        for (std::size_t k = 0; k < reading.logos.size(); ++k) {
            SCOPED_TRACE("logo " + std::to_string(k + 1));
            const prn::StoredLogo& logo = reading.logos[k];
            const sim::StoredLogo& stored = printer.storedLogos()[k];
            EXPECT_EQ(logo.number, stored.number);
            EXPECT_EQ(logo.bytes, stored.bytes);
            expectSameDots(logo.sheet, stored.sheet, c.mode,
                           stored.sheet.width() * prn::dotUnits(c.mode), 0);
        }
        const std::int64_t printed = printer.paper().width() * prn::dotUnits(c.mode);
        EXPECT_EQ(reading.paper.centred, c.centred);
        expectSameDots(reading.paper, printer.paper(), c.mode, prn::paperUnits,
                       c.centred ? (prn::paperUnits - printed) / 2 : 0);
    }
}

TEST(PrnReader, StopsAtTheFirstFaultyByte) {
    auto with = [](Bytes bytes, std::size_t at, std::uint8_t value) {
        bytes[at] = value;
        return bytes;
    };
    auto cut = [](const Bytes& bytes, std::size_t size) {
        return Bytes(bytes.begin(), bytes.begin() + std::ptrdiff_t(size));
    };
    Bytes tooWide = {0x1B, 0x2A, 0x01, 0xF7, 0x03}; // 1015 double-density columns fit
    tooWide.resize(tooWide.size() + 1015, 0x81);
    tooWide = concat({tooWide, {0x1B, 0x2A, 0x00, 0xF8, 0x03}, Bytes(1016, 0x81)});
    const struct {
        const char* name;
        Bytes stream;
        std::size_t offset;
        const char* says;
    } cases[] = {
        {"lone ESC", {0x1B}, 0, "ends inside ESC"},
        {"stray byte after a print", concat({smallBands, {'A'}}), 24, "byte 41 is not"},
        {"unknown command", {0x0D, 0x1B, 'Q', 0x00}, 1, "ESC Q is not"},
        {"ink 2", with(smallBands, 2, 2), 2, "ESC r takes"},
        {"mode 2", with(smallBands, 5, 2), 5, "ESC * takes the mode"},
        {"print cut in a bit image", cut(smallBands, 20), 14, "ends inside ESC * of 2 columns"},
        {"line past the paper", tooWide, 1020, "past the paper's edge"},
        {"store header cut", cut(storeTwo, 3), 0, "ends inside the store command"},
        {"ESC g 1", with(storeTwo, 2, 1), 2, "ESC g takes 0"},
        {"no logos", with(storeTwo, 3, 0), 3, "1 to 10 logos, not 0"},
        {"eleven logos", with(storeTwo, 3, 11), 3, "not 11"},
        {"length table cut", cut(storeTwo, 7), 6, "length table"},
        {"block too short for its framing", with(storeTwo, 7, 5), 6, "cannot hold"},
        {"block opening", with(storeTwo, 8, 0x0D), 8, "logo 1's block starts with 0D 61"},
        {"block opening left", with(storeTwo, 10, 0), 10, "not ESC a 1"},
        {"stray byte in a logo", with(storeTwo, 21, 0x0A), 21, "byte 0A is not a band command"},
        {"ESC @ in a logo", with(storeTwo, 12, '@'), 11, "ESC @ cannot be inside logo 1"},
        {"block length one too long", with(storeTwo, 5, 0x1F), 35,
         "ESC a 0 ends logo 1 1 byte before"},
        {"block length one too short", with(storeTwo, 5, 0x1D), 32,
         "ESC J crosses the end of logo 1's band data at offset 34"},
        {"block closing", with(storeTwo, 37, 1), 37, "not ESC a 0"},
        {"stream cut between logo commands", cut(storeTwo, 50), 50,
         "ends 12 bytes into logo 2's block of 28 bytes"},
        {"stream cut in a logo's bit image", cut(storeTwo, 47), 44, "ends inside ESC *"},
        {"stream cut in the closing", cut(storeTwo, 64), 63, "logo 2's closing ESC a 0"},
        {"alignment function 4", with(pattern, 5, 4), 5, "function 1, 2 or 3"},
        {"ESC x 2", with(pattern, 4, 2), 4, "ESC x takes 1"},
        {"GS v g", with(pattern, 8, 'g'), 8, "GS v takes f"},
        {"GS w", with(pattern, 7, 'w'), 6, "GS w is not"},
        {"setup mode 5", with(setup, 30, 5), 30, "mode 1 to 4"},
        {"setup position 8", with(setup, 5, 8), 5, "position 1 to 7"},
        {"setup padding", with(setup, 36, 1), 36, "byte 5 is 01"},
        {"setup cut", cut(setup, 100), 78, "ends inside ESC x 1 2"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const prn::Reading reading = prn::readPrinterStream(c.stream);
        ASSERT_FALSE(reading.ok());
        EXPECT_EQ(reading.fault->offset, c.offset) << reading.fault->message;
        EXPECT_NE(reading.fault->message.find(c.says), std::string::npos) << reading.fault->message;
    }

    // A store is whole or not at all: every cut of one is a fault, and its logos are not kept.
    for (std::size_t size = 1; size < storeTwo.size(); ++size) {
        const prn::Reading reading = prn::readPrinterStream(cut(storeTwo, size));
        ASSERT_FALSE(reading.ok()) << size;
        EXPECT_LE(reading.fault->offset, size);
        EXPECT_TRUE(reading.logos.empty());
    }
}

TEST(PrnReader, DrawingsOfHugeSheetsAreCut) {
    // A megabyte of 255-unit feeds with a dot at the top: paper far taller than any drawing.
    Bytes feeds = {0x1B, 0x2A, 0x00, 0x01, 0x00, 0x80};
    while (feeds.size() < (1u << 20))
        feeds.insert(feeds.end(), {0x1B, 0x4A, 0xFF});
    const prn::Reading reading = prn::readPrinterStream(feeds);
    ASSERT_TRUE(reading.ok());
    EXPECT_EQ(reading.paper.heightUnits, 255 * std::int64_t((feeds.size() - 6) / 3));
    const prn::InkRaster raster = prn::renderSheet(reading.paper);
    EXPECT_TRUE(raster.cut);
    EXPECT_EQ(raster.width, prn::paperUnits);
    EXPECT_LE(std::int64_t(raster.width) * raster.height, prn::maxRenderPixels);
    EXPECT_EQ(raster.at(0, 0), prn::inkL);

    EXPECT_FALSE(prn::readPrinterStream(Bytes(prn::maxStreamBytes + 1, 0x0D)).ok());
}
