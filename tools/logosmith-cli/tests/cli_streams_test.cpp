#include "tools/logosmith-cli/tests/CliProcess.h"

#include "separation/loader/PictureLoader.h"
#include "separation/picture/BmpFile.h"
#include "separation/picture/Picture.h"
#include "tools/mrx310-sim/SimPrinter.h"

#include <QJsonArray>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <filesystem>

using namespace logosmith;
using namespace logosmith::clitest;
namespace fs = std::filesystem;

namespace {

using Bytes = std::vector<unsigned char>;

class CliStreams : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        writeBmpFile(Picture(10, 8, colours::black), path("black.bmp"));
        Picture small(2, 2); // black, red / red, white
        small.setPixel(0, 0, colours::black);
        small.setPixel(1, 0, colours::red);
        small.setPixel(0, 1, colours::red);
        writeBmpFile(small, path("small.bmp"));
        writeBmpFile(Picture(1, 1, colours::green), path("green.bmp"));
    }
    std::string path(const char* name) const { return dir_.filePath(name).toStdString(); }
    QString arg(const char* name) const { return dir_.filePath(name); }
    Bytes output() const { return fileBytes(path("out.prn")); }

    QTemporaryDir dir_;
};

// The 27-byte band stream of a 10 x 8 all-black picture at single density.
const Bytes blackBands = {0x1B, 0x72, 0x00, 0x1B, 0x2A, 0x00, 0x0A, 0x00, 0xFF,
                          0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,
                          0x0D, 0x0D, 0x1B, 0x4A, 0x10, 0x0D, 0x1B, 0x4A, 0x10};

Bytes concat(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const Bytes& part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

// A store command of one logo, read by the printer, holds every dot of the logo, which itself
// holds nothing but the inks (the rows below it, up to the band's end, are paper).
void expectStoredDotForDot(const Bytes& stored, const Picture& logoPicture) {
    const sim::SimPrinter printer = sim::simulate(stored);
    ASSERT_TRUE(printer.ok());
    ASSERT_EQ(printer.storedLogos().size(), 1u);
    const sim::Sheet& logo = printer.storedLogos()[0].sheet;
    ASSERT_EQ(logo.width(), logoPicture.width());
    int wrong = 0;
    for (int y = 0; y < logo.height(); ++y)
        for (int x = 0; x < logo.width(); ++x) {
            const Colour c = y < logoPicture.height() ? logoPicture.pixel(x, y) : colours::white;
            ASSERT_TRUE(c == colours::black || c == colours::red || c == colours::white)
                << x << "," << y;
            const int ink = c == colours::black ? sim::Sheet::inkL
                            : c == colours::red ? sim::Sheet::inkR
                                                : sim::Sheet::none;
            wrong += logo.dot(x, y) != ink;
        }
    EXPECT_EQ(wrong, 0);
}

} // namespace

TEST_F(CliStreams, StoreWritesTheStoreCommandByteForByte) {
    ASSERT_EQ(runCli({"store", arg("out.prn"), arg("black.bmp")}).status, 0);
    EXPECT_EQ(output(), concat({{0x1B, 0x67, 0x00, 0x01, 0x00, 0x21, 0x1B, 0x61, 0x01},
                                blackBands,
                                {0x1B, 0x61, 0x00}}));

    ASSERT_EQ(runCli({"store", arg("out.prn"), arg("small.bmp"), arg("green.bmp")}).status, 0);
    EXPECT_EQ(output(), (Bytes{0x1B, 0x67, 0x00, 0x02, 0x00, 0x1E, 0x00, 0x1C, 0x1B, 0x61, 0x01,
                               0x1B, 0x72, 0x00, 0x1B, 0x2A, 0x00, 0x02, 0x00, 0x80, 0x00, 0x0D,
                               0x1B, 0x72, 0x01, 0x1B, 0x2A, 0x00, 0x02, 0x00, 0x40, 0x80, 0x1B,
                               0x4A, 0x10, 0x1B, 0x61, 0x00, 0x1B, 0x61, 0x01, 0x1B, 0x72, 0x00,
                               0x1B, 0x2A, 0x00, 0x01, 0x00, 0x80, 0x0D, 0x1B, 0x72, 0x01, 0x1B,
                               0x2A, 0x00, 0x01, 0x00, 0x80, 0x1B, 0x4A, 0x10, 0x1B, 0x61, 0x00}));
}

TEST_F(CliStreams, DoubleDensityStoresWidenedLogosThePrinterAccepts) {
    for (const bool doubled : {false, true}) {
        SCOPED_TRACE(doubled ? "double" : "single");
        QStringList arguments{"store", arg("out.prn"), arg("small.bmp"), arg("green.bmp")};
        if (doubled)
            arguments << "--density"
                      << "double";
        ASSERT_EQ(runCli(arguments).status, 0);

        QTemporaryDir simOut;
        QProcess sim;
        sim.start(program("mrx310-sim"),
                  {"--out", simOut.path(), "--expect", "store", arg("out.prn")});
        ASSERT_TRUE(sim.waitForFinished(30000));
        EXPECT_EQ(sim.exitCode(), 0);
        const QJsonObject report = readReport(simOut.path());
        EXPECT_TRUE(report["ok"].toBool());
        const QJsonArray logos = report["stored_logos"].toArray();
        ASSERT_EQ(logos.size(), 2);
        EXPECT_EQ(logos[0].toObject()["width"].toInt(), doubled ? 4 : 2);
        EXPECT_EQ(logos[1].toObject()["width"].toInt(), doubled ? 2 : 1);
        EXPECT_EQ(report["bit_image_modes"].toArray(), QJsonArray{doubled ? 1 : 0});
    }
}

TEST_F(CliStreams, StoreRefusesWithoutLeavingAFile) {
    // 1000 x 600 black needs 76 bands of 1013 bytes: more than a 16-bit block length holds.
    writeBmpFile(Picture(1000, 600, colours::black), path("huge.bmp"));
    Result r = runCli({"store", arg("out.prn"), arg("black.bmp"), arg("huge.bmp")});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.errors.find("Logo 2 is too large"), std::string::npos) << r.errors;
    EXPECT_FALSE(fs::exists(path("out.prn")));

    // A failed store leaves an earlier file as it was.
    std::ofstream(path("out.prn")) << "earlier";
    EXPECT_EQ(runCli({"store", arg("out.prn"), arg("huge.bmp")}).status, 1);
    EXPECT_EQ(runCli({"store", arg("out.prn"), arg("missing.bmp")}).status, 1);
    EXPECT_EQ(output(), (Bytes{'e', 'a', 'r', 'l', 'i', 'e', 'r'}));

    const Bytes logo = fileBytes(path("black.bmp"));
    QStringList eleven{"store", arg("new.prn")};
    for (int i = 0; i < 11; ++i)
        eleven << arg("black.bmp");
    EXPECT_EQ(runCli(eleven).status, 2);
    EXPECT_EQ(runCli({"store", arg("new.prn")}).status, 2);
    EXPECT_EQ(runCli({"store", arg("black.bmp"), arg("black.bmp")}).status, 2);
    EXPECT_FALSE(fs::exists(path("new.prn")));
    EXPECT_EQ(fileBytes(path("black.bmp")), logo);
}

TEST_F(CliStreams, PrintWritesTheBandStreamOfThePreview) {
    ASSERT_EQ(runCli({"print", arg("out.prn"), arg("black.bmp")}).status, 0);
    EXPECT_EQ(output(), blackBands);
    ASSERT_EQ(runCli({"print", arg("out.prn"), arg("black.bmp"), "--center"}).status, 0);
    EXPECT_EQ(output(), concat({{0x1B, 0x61, 0x01}, blackBands, {0x1B, 0x61, 0x00}}));

    // The colour options are the preview's ink colours: red taken as L ink prints like black.
    writeBmpFile(Picture(10, 8, colours::red), path("red.bmp"));
    ASSERT_EQ(runCli({"print", arg("out.prn"), arg("red.bmp"), "--l-color", "FF0000"}).status, 0);
    EXPECT_EQ(output(), blackBands);

    // A user colour goes to the R cartridge only when named.
    writeBmpFile(Picture(1, 1, Colour{128, 0, 255}), path("user.bmp"));
    ASSERT_EQ(runCli({"print", arg("out.prn"), arg("user.bmp"), "--user-color", "8000ff"}).status,
              0);
    EXPECT_EQ(output(),
              (Bytes{0x1B, 0x72, 0x01, 0x1B, 0x2A, 0x00, 0x01, 0x00, 0x80, 0x1B, 0x4A, 0x10}));
}

TEST_F(CliStreams, PrintRefusesPicturesWiderThanAnLLine) {
    const struct {
        int width;
        const char* density;
        bool fits;
    } cases[] = {{1015, "single", true},
                 {1016, "single", false},
                 {507, "double", true},
                 {508, "double", false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.width) + " " + c.density);
        fs::remove(path("out.prn"));
        writeBmpFile(Picture(c.width, 1, colours::black), path("wide.bmp"));
        const Result r = runCli({"print", arg("out.prn"), arg("wide.bmp"), "--density", c.density});
        EXPECT_EQ(r.status, c.fits ? 0 : 1);
        EXPECT_EQ(fs::exists(path("out.prn")), c.fits);
        EXPECT_EQ(r.errors.find("Image file size is too large.") != std::string::npos, !c.fits);
    }
    EXPECT_EQ(runCli({"print", arg("out.prn"), arg("black.bmp"), "--l-color", "black"}).status, 2);
    EXPECT_EQ(runCli({"print", arg("out.prn")}).status, 2);
}

TEST_F(CliStreams, DitheredPicturesAreStoredAndPrintedDotForDot) {
    // 300 x 90, fitted on loading: a red-to-white ramp over a black-to-white one.
    Picture shaded(300, 90);
    for (int y = 0; y < shaded.height(); ++y)
        for (int x = 0; x < shaded.width(); ++x) {
            const int t = x * 255 / 299;
            shaded.setPixel(x, y, y < 45 ? Colour{255, t, t} : Colour{t, t, t});
        }
    writeBmpFile(shaded, path("shaded.bmp"));
    std::vector<Picture> previews;
    for (const char* dither : {"none", "diffusion", "ordered", "best"}) {
        SCOPED_TRACE(dither);
        ASSERT_EQ(
            runCli({"convert", arg("shaded.bmp"), arg("preview.bmp"), "--dither", dither}).status,
            0);
        const Picture preview = decodePictureFile(path("preview.bmp"));
        previews.push_back(preview);

        // Storing or printing the picture with --dither is storing or printing its preview.
        ASSERT_EQ(runCli({"store", arg("out.prn"), arg("shaded.bmp"), "--dither", dither}).status,
                  0);
        const Bytes stored = output();
        ASSERT_EQ(runCli({"store", arg("out.prn"), arg("preview.bmp")}).status, 0);
        EXPECT_EQ(output(), stored);
        ASSERT_EQ(runCli({"print", arg("out.prn"), arg("shaded.bmp"), "--dither", dither}).status,
                  0);
        const Bytes printed = output();
        ASSERT_EQ(runCli({"print", arg("out.prn"), arg("preview.bmp")}).status, 0);
        EXPECT_EQ(output(), printed);

        // The printer keeps every dot of the preview, which holds nothing but the inks.
        expectStoredDotForDot(stored, preview);
    }
    EXPECT_NE(previews[1], previews[0]);
    EXPECT_NE(previews[2], previews[0]);
    EXPECT_NE(previews[2], previews[1]);
    EXPECT_NE(previews[3], previews[1]); // the best halftone improves on the diffusion
    EXPECT_EQ(runCli({"store", arg("out.prn"), arg("shaded.bmp"), "--dither", "random"}).status, 2);
}

TEST_F(CliStreams, ATextLogoIsStoredDotForDotAndEmptyTextIsRefused) {
    const Result made = runCli({"text", "Fischhaus Nord\nTel. 0431 / 77 12", arg("text.bmp"),
                                "--size", "22", "--bold", "--ink", "red", "--align", "left"});
    ASSERT_EQ(made.status, 0) << made.errors;
    EXPECT_EQ(made.output.find(path("text.bmp") + ": 255 x "), 0u) << made.output;
    const Picture logo = decodePictureFile(path("text.bmp"));
    ASSERT_EQ(runCli({"store", arg("out.prn"), arg("text.bmp")}).status, 0);
    expectStoredDotForDot(output(), logo);

    const Result empty = runCli({"text", "  \n ", arg("empty.bmp")});
    EXPECT_EQ(empty.status, 1);
    EXPECT_NE(empty.errors.find("There is no text to make a logo of"), std::string::npos);
    EXPECT_FALSE(fs::exists(path("empty.bmp")));
    const Result missing = runCli({"text", "Kiosk", arg("kiosk.bmp"), "--font", "No Such Face"});
    EXPECT_EQ(missing.status, 0);
    EXPECT_NE(missing.errors.find("The font \"No Such Face\" is not on this computer"),
              std::string::npos)
        << missing.errors;
    EXPECT_EQ(runCli({"text", "Kiosk", arg("k.bmp"), "--width", "2000"}).status, 2);
}
