#include "tools/logosmith-cli/tests/CliProcess.h"

#include "separation/picture/BmpFile.h"
#include "separation/picture/Picture.h"

#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <filesystem>

using namespace logosmith;
using namespace logosmith::clitest;

namespace {

// One pixel of a written picture, in printer units (a single-density dot is 2 x 2, a
// double-density dot 1 x 2).
struct Probe {
    const char* png;
    int x, y;
    QRgb colour;
};

const QRgb paper = qRgb(255, 255, 255), black = qRgb(0, 0, 0), red = qRgb(255, 0, 0),
           both = qRgb(112, 0, 112);

} // namespace

TEST(CliView, DrawsStoresAndPrintsAndRefusesOtherFiles) {
    QTemporaryDir dir;
    auto path = [&](const char* name) { return dir.filePath(name); };
    // Black, red, green across the top, a black dot in the second band.
    Picture logo(3, 9);
    logo.setPixel(0, 0, colours::black);
    logo.setPixel(1, 0, colours::red);
    logo.setPixel(2, 0, colours::green);
    logo.setPixel(0, 8, colours::black);
    writeBmpFile(logo, path("logo.bmp").toStdString());
    writeBmpFile(Picture(10, 8, colours::black), path("black.bmp").toStdString());
    ASSERT_EQ(runCli({"store", path("store.prn"), path("logo.bmp"), "--density", "double"}).status,
              0);
    ASSERT_EQ(runCli({"print", path("print.prn"), path("black.bmp"), "--center"}).status, 0);
    auto store = fileBytes(path("store.prn").toStdString());
    store.resize(store.size() - 2);
    std::ofstream(path("cut.prn").toStdString(), std::ios::binary)
        .write(reinterpret_cast<const char*>(store.data()), std::streamsize(store.size()));

    const struct {
        const char* file;
        int status;
        std::string says; // on standard output, or on standard error for a refusal
        std::vector<Probe> probes;
    } cases[] = {
        // 6 double-density dots across (3 pixels widened), two bands: 6 x 32 units. Block:
        // ESC a framing 6, band 0 an L and an R line (15 + 17), band 1 an L line and a filler.
        {"store.prn",
         0,
         "store command: 1 logo\nlogo 1: 6 x 16 dots, double density, block of 57 bytes\n",
         {{"logo-1.png", 0, 0, black},
          {"logo-1.png", 1, 1, black},
          {"logo-1.png", 2, 0, red},
          {"logo-1.png", 3, 1, red},
          {"logo-1.png", 4, 0, both},
          {"logo-1.png", 5, 1, both},
          {"logo-1.png", 0, 2, paper},
          {"logo-1.png", 1, 17, black},
          {"logo-1.png", 0, 18, paper},
          {"logo-1.png", 2, 16, paper}}},
        // 10 single-density dots are 20 units, centred on the 2030-unit line from unit 1005.
        {"print.prn",
         0,
         "print command: 10 x 16 dots, single density, centred\n",
         {{"paper.png", 1005, 0, black},
          {"paper.png", 1024, 15, black},
          {"paper.png", 1004, 0, paper},
          {"paper.png", 1025, 15, paper},
          {"paper.png", 1005, 16, paper}}},
        {"logo.bmp",
         1,
         "logo.bmp is not a printer stream: reading stopped at offset 0 of 162: byte 42 is not "
         "a printer command\n",
         {}},
        {"cut.prn",
         1,
         "reading stopped at offset 60 of 61: the stream ends inside logo 1's closing ESC a 0",
         {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        QTemporaryDir out;
        const QString into = out.filePath("view");
        const Result r = runCli({"view", path(c.file), "--out", into});
        EXPECT_EQ(r.status, c.status) << r.errors;
        if (c.status != 0) {
            EXPECT_NE(r.errors.find(c.says), std::string::npos) << r.errors;
            EXPECT_FALSE(std::filesystem::exists(into.toStdString()));
            continue;
        }
        EXPECT_EQ(r.output, c.says);
        const auto summary = fileBytes((into + "/summary.txt").toStdString());
        EXPECT_EQ(std::string(summary.begin(), summary.end()), c.says);
        for (const Probe& p : c.probes) {
            const QImage image(into + "/" + p.png);
            ASSERT_FALSE(image.isNull()) << p.png;
            EXPECT_EQ(image.pixel(p.x, p.y), p.colour) << p.png << " " << p.x << "," << p.y;
        }
    }
    EXPECT_EQ(runCli({"view", path("print.prn")}).status, 2);
}
