#include "tools/mrx310-sim/SimPrinter.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

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

// A 10 x 8 all-black picture, centred.
Bytes centredBlackPrint() {
    Bytes band = {0x1B, 0x72, 0x00, 0x1B, 0x2A, 0x00, 0x0A, 0x00};
    band.insert(band.end(), 10, 0xFF);
    band.push_back(0x0D);
    return Bytes{0x1B, 0x61, 0x01} + band + Bytes{0x0D, 0x1B, 0x4A, 0x10} +
           Bytes{0x0D, 0x1B, 0x4A, 0x10} + Bytes{0x1B, 0x61, 0x00};
}

Bytes setupRecord(std::uint8_t mode, std::uint8_t position) {
    Bytes r = {0x1B, 0x78, 0x01, 0x02, mode, position};
    r.insert(r.end(), 20, 0x00);
    return r;
}

void expectRejectedAt(const Bytes& stream, std::size_t offset, const std::string& words = {}) {
    const SimPrinter p = simulate(stream);
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
    const Bytes pattern = {0x1B, 0x40, 0x1B, 0x78, 0x01, 0x01, 0x1D, 0x76, 0x66, 0x00};
    Bytes check = pattern;
    check[5] = 0x03;
    const Bytes setup =
        setupRecord(1, 1) + setupRecord(2, 4) + setupRecord(3, 6) + setupRecord(4, 7);
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
    SimPrinter p(true);
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

    SimPrinter empty(true);
    empty.finish();
    EXPECT_EQ(empty.firmwareSha256(),
              "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
    SimPrinter twoBlocks(true);
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
