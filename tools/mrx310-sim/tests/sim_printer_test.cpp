#include "tools/mrx310-sim/SimPrinter.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using logosmith::sim::Expect;
using logosmith::sim::maxPaperDots;
using logosmith::sim::maxSheetSide;
using logosmith::sim::maxStreamBytes;
using logosmith::sim::Sheet;
using logosmith::sim::SimPrinter;
using logosmith::sim::simulate;
using Bytes = std::vector<std::uint8_t>;

namespace {

Bytes operator+(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// Two logos: the 2 x 2 picture (black, red / red, white) and one pure green pixel.
const Bytes twoLogoStore = {
    0x1B, 0x67, 0x00, 0x02, 0x00, 0x1E, 0x00, 0x1C, // header, lengths
    0x1B, 0x61, 0x01, 0x1B, 0x72, 0x00, 0x1B, 0x2A, 0x00, 0x02, 0x00, 0x80, 0x00, 0x0D, // logo 1
    0x1B, 0x72, 0x01, 0x1B, 0x2A, 0x00, 0x02, 0x00, 0x40, 0x80, 0x1B, 0x4A, 0x10, 0x1B, 0x61,
    0x00, 0x1B, 0x61, 0x01, 0x1B, 0x72, 0x00, 0x1B, 0x2A, 0x00, 0x01, 0x00, 0x80, 0x0D, // logo 2
    0x1B, 0x72, 0x01, 0x1B, 0x2A, 0x00, 0x01, 0x00, 0x80, 0x1B, 0x4A, 0x10, 0x1B, 0x61, 0x00};

// The lines of a band record, as the encoder writes them.
Bytes line(std::uint8_t colour, const Bytes& columns, std::uint8_t mode = 0) {
    const auto w = columns.size();
    Bytes l = Bytes{0x1B, 0x72, colour, 0x1B, 0x2A, mode, std::uint8_t(w), std::uint8_t(w >> 8)} +
              columns;
    return colour == 0 ? l + Bytes{0x0D} : l + Bytes{0x1B, 0x4A, 0x10};
}
Bytes lLine(const Bytes& columns, std::uint8_t mode = 0) {
    return line(0, columns, mode);
}
Bytes rLine(const Bytes& columns, std::uint8_t mode = 0) {
    return line(1, columns, mode);
}
const Bytes filler = {0x0D, 0x1B, 0x4A, 0x10};

// A 10 x 8 all-black picture: 27 bytes.
const Bytes blackPrint = lLine(Bytes(10, 0xFF)) + filler + filler;

// The same, centred.
Bytes centredBlackPrint() {
    return Bytes{0x1B, 0x61, 0x01} + blackPrint + Bytes{0x1B, 0x61, 0x00};
}

Bytes setupRecord(std::uint8_t mode, std::uint8_t position) {
    Bytes r = {0x1B, 0x78, 0x01, 0x02, mode, position};
    r.insert(r.end(), 20, 0x00);
    return r;
}

const Bytes pattern = {0x1B, 0x40, 0x1B, 0x78, 0x01, 0x01, 0x1D, 0x76, 0x66, 0x00};
const Bytes setup = setupRecord(1, 1) + setupRecord(2, 4) + setupRecord(3, 6) + setupRecord(4, 7);

void expectRejectedAt(const Bytes& stream, std::size_t offset, const std::string& words = {},
                      Expect expect = Expect::anything) {
    const SimPrinter p = simulate(stream, expect);
    ASSERT_FALSE(p.ok());
    ASSERT_EQ(p.errors().size(), 1u);
    EXPECT_EQ(p.errors()[0].offset, offset) << p.errors()[0].message;
    if (!words.empty()) {
        EXPECT_NE(p.errors()[0].message.find(words), std::string::npos) << p.errors()[0].message;
    }
}

} // namespace

TEST(SimPrinterAccepts, StoreOfTwoLogosKeepsEachLogosDots) {
    const SimPrinter p = simulate(twoLogoStore);
    ASSERT_TRUE(p.ok()) << p.errors()[0].message;
    ASSERT_EQ(p.storedLogos().size(), 2u);
    const Sheet& first = p.storedLogos()[0].sheet;
    EXPECT_EQ(p.storedLogos()[0].bytes, 30u);
    EXPECT_EQ(first.width(), 2);
    EXPECT_EQ(first.height(), 8);
    EXPECT_EQ(first.dot(0, 0), Sheet::inkL);
    EXPECT_EQ(first.dot(1, 0), Sheet::inkR);
    EXPECT_EQ(first.dot(0, 1), Sheet::inkR);
    EXPECT_EQ(first.dot(1, 1), Sheet::none);
    EXPECT_EQ(p.storedLogos()[1].sheet.dot(0, 0), Sheet::inkL | Sheet::inkR);
    EXPECT_EQ(p.paper().height(), 0) << "storing prints nothing";
    EXPECT_EQ(p.commands().at("ESC g"), 1);
}

TEST(SimPrinterAccepts, PrintAdvancesSixteenUnitsPerBand) {
    const SimPrinter p = simulate(centredBlackPrint());
    ASSERT_TRUE(p.ok()) << p.errors()[0].message;
    EXPECT_EQ(p.paper().width(), 10);
    EXPECT_EQ(p.paper().height(), 16);
    EXPECT_EQ(p.paper().dot(9, 7), Sheet::inkL);
    EXPECT_EQ(p.paper().dot(9, 8), Sheet::none);
    EXPECT_EQ(p.commands().at("ESC J"), 2);
}

TEST(SimPrinterAccepts, AlignmentPatternCheckAndSetup) {
    Bytes check = pattern;
    check[5] = 0x03;
    const SimPrinter p = simulate(pattern + check + setup);
    ASSERT_TRUE(p.ok()) << p.errors()[0].message;
    EXPECT_EQ(p.commands().at("ESC x 1 1"), 1);
    EXPECT_EQ(p.commands().at("ESC x 1 3"), 1);
    EXPECT_EQ(p.commands().at("GS v f NUL"), 2);
    ASSERT_TRUE(p.alignment());
    EXPECT_EQ(*p.alignment(), (std::array<int, 4>{1, 4, 6, 7}));
}

TEST(SimPrinterRejects, EveryTruncationOfAStore) {
    for (std::size_t size = 1; size < twoLogoStore.size(); ++size) {
        const SimPrinter p =
            simulate(Bytes(twoLogoStore.begin(), twoLogoStore.begin() + long(size)));
        ASSERT_FALSE(p.ok()) << "prefix of " << size << " bytes was accepted";
        EXPECT_LE(p.errors()[0].offset, size);
    }
    // Cut inside logo 1's second bit image: the error names that command's start.
    expectRejectedAt(Bytes(twoLogoStore.begin(), twoLogoStore.begin() + 28), 25, "ESC *");
    // Cut between two commands of logo 2.
    expectRejectedAt(Bytes(twoLogoStore.begin(), twoLogoStore.begin() + 50), 50, "logo 2");
    // Cut inside the length table.
    expectRejectedAt(Bytes(twoLogoStore.begin(), twoLogoStore.begin() + 7), 0, "length table");
}

TEST(SimPrinterRejects, LengthsThatDisagreeWithTheirBlocks) {
    Bytes longer = twoLogoStore;
    longer[5] = 0x1F; // 31 for a 30-byte block: ESC a 0 comes one byte early
    expectRejectedAt(longer, 35, "length in the table is 31");

    Bytes shorter = twoLogoStore;
    shorter[5] = 0x1D; // 29: the closing ESC a 0 runs over the block's end
    expectRejectedAt(shorter, 35, "logo 1's block (29 bytes)");

    Bytes tiny = twoLogoStore;
    tiny[7] = 0x05;
    expectRejectedAt(tiny, 6, "shorter than its 6 framing bytes");
}

TEST(SimPrinterRejects, BadValuesAtTheirOwnOffset) {
    Bytes count = twoLogoStore;
    count[3] = 11;
    expectRejectedAt(count, 3, "1 to 10");
    count[3] = 0;
    expectRejectedAt(count, 3);

    Bytes colour = twoLogoStore;
    colour[13] = 2; // ESC r 2
    expectRejectedAt(colour, 13, "ESC r");

    Bytes mode = twoLogoStore;
    mode[16] = 3; // ESC * 3
    expectRejectedAt(mode, 16, "mode");

    Bytes framing = twoLogoStore;
    framing[10] = 0x00; // ESC a 0 where the block must open with ESC a 1
    expectRejectedAt(framing, 8, "begin with ESC a 1");

    Bytes stray = centredBlackPrint();
    stray.insert(stray.begin() + 3, 0x00);
    expectRejectedAt(stray, 3, "0x00");

    expectRejectedAt(Bytes{0x1B, 0x40, 0x1B, 0x51}, 3, "after ESC");
    expectRejectedAt(Bytes{0x1B, 0x61, 0x02}, 2);
    expectRejectedAt(Bytes{0x1B, 0x2A, 0x00, 0x05, 0x00, 0xFF}, 0, "past the end of the stream");
    expectRejectedAt(Bytes{0x1B}, 0, "ESC");
}

TEST(SimPrinterRejects, StrayCommandsInsideALogoBlock) {
    Bytes init = twoLogoStore;
    init[12] = 0x40; // ESC @ in place of ESC r
    expectRejectedAt(init, 11, "in logo 1's block");
}

TEST(SimPrinterRejects, MalformedAlignmentCommands) {
    expectRejectedAt(Bytes{0x1B, 0x78, 0x02, 0x01}, 2);
    expectRejectedAt(Bytes{0x1B, 0x78, 0x01, 0x04}, 3, "unknown");
    expectRejectedAt(setupRecord(5, 1), 4, "mode");
    expectRejectedAt(setupRecord(1, 0), 5, "position");
    expectRejectedAt(setupRecord(1, 8), 5, "position");
    Bytes padding = setupRecord(1, 1) + setupRecord(2, 1);
    padding[26 + 19] = 0x01;
    expectRejectedAt(padding, 26 + 19, "zero bytes");
    const Bytes record = setupRecord(1, 1);
    expectRejectedAt(Bytes(record.begin(), record.begin() + 25), 0);
    expectRejectedAt(Bytes{0x1D, 0x76, 0x67, 0x00}, 2, "GS");
    expectRejectedAt(Bytes{0x1D, 0x76, 0x66}, 0, "GS v f NUL");
}

TEST(SimPrinterFirmware, CountsAndHashesWhateverArrives) {
    SimPrinter p(Expect::firmware);
    // Bytes that would be rejected as commands are fine as firmware; pieces of odd sizes
    // cross the hash's 64-byte blocks.
    const std::string million(1000000, 'a');
    const auto* data = reinterpret_cast<const std::uint8_t*>(million.data());
    std::size_t at = 0;
    for (std::size_t piece = 1; at < million.size(); piece = piece * 3 % 1000 + 1) {
        const std::size_t take = std::min(piece, million.size() - at);
        p.feed(data + at, take);
        at += take;
    }
    p.finish();
    EXPECT_TRUE(p.ok());
    EXPECT_EQ(p.bytes(), 1000000u);
    EXPECT_EQ(p.firmwareSha256(),
              "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0");

    SimPrinter empty(Expect::firmware);
    empty.finish();
    EXPECT_EQ(empty.firmwareSha256(),
              "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
    SimPrinter twoBlocks(Expect::firmware);
    const std::string text = "abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq";
    twoBlocks.feed(reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
    twoBlocks.finish();
    EXPECT_EQ(twoBlocks.firmwareSha256(),
              "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1");
}

TEST(SimPrinterReport, CarriesOffsetsAndEscapedMessages) {
    const SimPrinter p = simulate(Bytes{0x0D, 0x22});
    const std::string json = p.reportJson("\"input\": \"file\"");
    EXPECT_NE(json.find("\"ok\": false"), std::string::npos);
    EXPECT_NE(json.find("{\"offset\": 1, \"message\": \"unexpected byte 0x22\"}"),
              std::string::npos);
    EXPECT_NE(json.find("\"input\": \"file\""), std::string::npos);
}

TEST(SimPrinterRejects, DamagedStreamsEndInAnErrorInsideTheStream) {
    // Flipped, dropped and added bytes anywhere: never a crash or a read past the end, and a
    // rejection always points into the bytes received.
    std::uint32_t seed = 12345;
    auto next = [&seed] { return seed = seed * 1103515245u + 12345u, seed >> 8; };
    const Bytes sources[] = {twoLogoStore, centredBlackPrint(), setupRecord(2, 3)};
    for (int round = 0; round < 3000; ++round) {
        Bytes s = sources[round % 3];
        const std::size_t at = next() % s.size();
        switch (next() % 3) {
        case 0:
            s[at] = std::uint8_t(next());
            break;
        case 1:
            s.erase(s.begin() + long(at));
            break;
        default:
            s.insert(s.begin() + long(at), std::uint8_t(next()));
        }
        const SimPrinter p = simulate(s);
        if (!p.ok()) {
            ASSERT_LE(p.errors()[0].offset, s.size());
        }
    }
}

TEST(SimPrinterExpects, EachDocumentAsWrittenAndNoOther) {
    const Bytes firmware = {0x00, 0x1B, 0xFF};
    const Bytes wide = lLine(Bytes(1015, 0x80)) + rLine(Bytes(1015, 0x40)) + filler;
    const struct {
        Expect expect;
        std::vector<Bytes> documents;
    } kinds[] = {{Expect::store, {twoLogoStore}},
                 {Expect::print, {blackPrint, centredBlackPrint(), wide}},
                 {Expect::align, {pattern, setup}},
                 {Expect::firmware, {firmware}}};
    for (const auto& kind : kinds)
        for (const auto& other : kinds)
            for (const Bytes& document : other.documents) {
                const SimPrinter p = simulate(document, kind.expect);
                // Firmware is whatever arrives.
                EXPECT_EQ(p.ok(), &kind == &other || kind.expect == Expect::firmware)
                    << expectName(kind.expect) << " took a " << expectName(other.expect)
                    << " document of " << document.size() << " bytes";
            }

    // Expecting a document changes nothing of what it does.
    const SimPrinter store = simulate(twoLogoStore, Expect::store);
    ASSERT_EQ(store.storedLogos().size(), 2u);
    EXPECT_EQ(store.storedLogos()[0].sheet.dot(1, 0), Sheet::inkR);
    EXPECT_EQ(store.commands(), simulate(twoLogoStore).commands());
    const SimPrinter print = simulate(centredBlackPrint(), Expect::print);
    EXPECT_EQ(print.paper().height(), 16);
    EXPECT_EQ(print.commands(), simulate(centredBlackPrint()).commands());
    EXPECT_EQ(simulate(setup, Expect::align).alignment(), simulate(setup).alignment());
}

// What our encoder and dialogs never write, refused at its offset when a document is
// expected; the printer itself takes most of it.
TEST(SimPrinterExpects, AnythingElseIsAnErrorAtItsOffset) {
    Bytes oddFeed = rLine({0x80}) + filler;
    oddFeed[11] = 0x11;
    Bytes oddFiller = blackPrint;
    oddFiller[22] = 0x08;
    Bytes noCr = lLine(Bytes(10, 0xFF));
    noCr.pop_back();
    const Bytes two = {0xFF, 0xFF};
    const Bytes top = {0x80, 0x80, 0x80};
    Bytes longer = twoLogoStore;
    longer[5] = 0x1F;
    const Bytes emptyBlock = {0x1B, 0x67, 0x00, 0x01, 0x00, 0x06,
                              0x1B, 0x61, 0x01, 0x1B, 0x61, 0x00};
    const struct {
        Expect expect;
        Bytes stream;
        std::size_t offset;
        const char* words;
        bool printerTakesIt;
    } cases[] = {
        {Expect::print, oddFeed, 11, "ESC J 16", true},
        {Expect::print, oddFiller, 22, "ESC J 16", true},
        {Expect::print, noCr + rLine(Bytes(10, 0x40)) + filler, 18, "CR", true},
        {Expect::print,
         lLine(two) + filler + Bytes{0x1B, 0x2A, 0x00, 0x01, 0x00, 0x80, 0x0D} + filler, 15,
         "ESC r", true},
        {Expect::print, lLine(two) + Bytes{0x1B, 0x4A, 0x10} + filler, 11, "ESC J", true},
        {Expect::print, lLine(two) + lLine(two) + filler, 11, "R line", true},
        {Expect::print, lLine(Bytes(3, 0)) + filler, 3, "no dot", true},
        {Expect::print, rLine(Bytes(3, 0)) + filler, 3, "no dot", true},
        {Expect::print, lLine(two) + filler + lLine(top) + filler, 21, "columns", true},
        {Expect::print, lLine(two) + filler + lLine(two, 1) + filler, 20, "mode", true},
        {Expect::print, lLine({0x01}) + filler, 0, "bottom row", true},
        {Expect::print, rLine({0x80}) + filler + lLine({0x03}) + rLine({0x01}), 16, "bottom row",
         true},
        {Expect::print, lLine(Bytes(1016, 0x80)) + filler, 6, "1015", true},
        {Expect::print, Bytes{0x1B, 0x61, 0x01} + blackPrint, 30, "ESC a 0", true},
        {Expect::print, blackPrint + Bytes{0x1B, 0x61, 0x00}, 27, "after it", true},
        {Expect::print, filler + pattern, 4, "after it", true},
        {Expect::store, twoLogoStore + twoLogoStore, 66, "second store", true},
        {Expect::store, twoLogoStore + Bytes{0x0D}, 66, "after it", true},
        {Expect::store, blackPrint, 0, "ESC g", true},
        {Expect::store, emptyBlock, 9, "band record", true},
        {Expect::store, longer, 35, "length in the table is 31", false},
        {Expect::align, Bytes(pattern.begin() + 2, pattern.end()), 0, "ESC @", true},
        {Expect::align, Bytes(pattern.begin(), pattern.begin() + 6), 6, "GS v f NUL", true},
        {Expect::align, Bytes(pattern.begin(), pattern.begin() + 6) + blackPrint, 6, "GS v f NUL",
         true},
        {Expect::align,
         setupRecord(2, 1) + setupRecord(1, 1) + setupRecord(3, 1) + setupRecord(4, 1), 4, "mode",
         true},
        {Expect::align, Bytes(setup.begin(), setup.begin() + 78), 78, "setup record 4", true},
        {Expect::align, pattern + setup, 10, "after it", true},
        {Expect::store, {}, 0, "empty", true},
        {Expect::print, {}, 0, "empty", true},
        {Expect::align, {}, 0, "empty", true},
        {Expect::firmware, {}, 0, "empty", true},
    };
    for (const auto& one : cases) {
        SCOPED_TRACE(std::string(expectName(one.expect)) + " case at " +
                     std::to_string(one.offset));
        expectRejectedAt(one.stream, one.offset, one.words, one.expect);
        EXPECT_EQ(simulate(one.stream).ok(), one.printerTakesIt);
    }
}

// Paper and logos together are rendered up to a cap; the command that would need more is
// the error, before anything is allocated for it.
TEST(SimPrinterLimits, PaperAndLogosBeyondTheCapAreRefusedAtTheCommandThatNeedsThem) {
    Bytes wide = {0x1B, 0x2A, 0x00, 0xFF, 0xFF};
    wide.insert(wide.end(), 65535, 0xFF);
    Bytes feeds = wide;
    for (int i = 0; i < 1000; ++i)
        feeds = feeds + Bytes{0x1B, 0x4A, 0xFF};
    std::int64_t n = 1; // the first feed that makes the paper too large
    while (65535 * std::max<std::int64_t>(8, 255 * n / 2) <= maxPaperDots)
        ++n;
    expectRejectedAt(feeds, wide.size() + 3 * std::size_t(n - 1), "at most 33554432 dots");

    // A logo 32000 dots wide over 8000 blank bands, in a block of 64,019 bytes.
    const Bytes band = lLine(Bytes(32000, 0x80)) + filler;
    Bytes blanks;
    for (int i = 0; i < 8000; ++i)
        blanks = blanks + filler;
    const std::size_t length = 3 + band.size() + blanks.size() + 3;
    const Bytes store =
        Bytes{0x1B, 0x67, 0x00, 0x01, std::uint8_t(length >> 8), std::uint8_t(length)} +
        Bytes{0x1B, 0x61, 0x01} + band + blanks + Bytes{0x1B, 0x61, 0x00};
    std::int64_t bands = 1; // bands fed when the logo becomes too large, paper's dot included
    while (32000 * 8 * bands + 1 <= maxPaperDots)
        ++bands;
    const std::size_t feed = 6 + 3 + band.size() - 3 + 4 * std::size_t(bands - 1);
    for (Expect e : {Expect::anything, Expect::store})
        expectRejectedAt(store, feed, "at most 33554432 dots", e);
}

// 8.5 million feeds of 255 units once overflowed the feed position and were reported as a
// sound stream that printed 0 x 0.
TEST(SimPrinterLimits, MillionsOfFeedsStopAtTheLongestPaper) {
    Bytes feeds;
    feeds.reserve(3 * 8500000);
    for (int i = 0; i < 8500000; ++i)
        feeds.insert(feeds.end(), {0x1B, 0x4A, 0xFF});
    const SimPrinter p = simulate(feeds);
    std::int64_t n = 1;
    while (255 * n / 2 <= maxSheetSide)
        ++n;
    ASSERT_FALSE(p.ok());
    EXPECT_EQ(p.errors()[0].offset, 3 * std::size_t(n - 1)) << p.errors()[0].message;
    EXPECT_EQ(p.paper().height(), 255 * (n - 1) / 2);
}

TEST(SimPrinterLimits, AStreamIsHeldOnlyUpToItsLimit) {
    const Bytes crs(std::size_t(1) << 20, 0x0D);
    SimPrinter p;
    for (std::size_t fed = 0; fed <= maxStreamBytes; fed += crs.size())
        p.feed(crs);
    p.finish();
    ASSERT_FALSE(p.ok());
    EXPECT_EQ(p.errors()[0].offset, maxStreamBytes);
    EXPECT_EQ(p.bytes(), maxStreamBytes + crs.size());

    // A fault inside the bytes held is still the one reported.
    SimPrinter q(Expect::print);
    for (std::size_t fed = 0; fed <= maxStreamBytes; fed += crs.size())
        q.feed(crs);
    q.finish();
    ASSERT_FALSE(q.ok());
    EXPECT_EQ(q.errors()[0].offset, 1u) << q.errors()[0].message;
}
