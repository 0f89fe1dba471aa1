#include "separation/loader/PictureLoader.h"
#include "separation/picture/BmpFile.h"
#include "separation/picture/Picture.h"

#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

using namespace logosmith;
namespace fs = std::filesystem;

namespace {

struct Result {
    int status = -1;
    std::string errors;
};

class CliConvert : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        std::string pattern = (fs::temp_directory_path() / "logosmith-cli-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        dir_ = pattern;
        // 300 x 200: a white band on top, red on the left, black on the right.
        Picture p(300, 200);
        for (int y = 20; y < 200; ++y)
            for (int x = 0; x < 300; ++x)
                p.setPixel(x, y, x < 150 ? colours::red : colours::black);
        writeBmpFile(p, path("logo.bmp"));
        writeBmpFile(Picture(2000, 50), path("wide.bmp"));
    }
    static void TearDownTestSuite() { fs::remove_all(dir_); }
    void SetUp() override { fs::remove(path("out.bmp")); }

    static std::string path(const std::string& name) { return (dir_ / name).string(); }

    static Result run(const QStringList& arguments) {
        const char* bin = std::getenv("LOGOSMITH_BIN_DIR");
        QProcess process;
        // As under cron, ssh or in a container: no per-user runtime folder.
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.remove("XDG_RUNTIME_DIR");
        process.setProcessEnvironment(environment);
        process.start(QString::fromUtf8(bin ? bin : ".") + "/logosmith-cli", arguments);
        process.waitForFinished(60000);
        Result r;
        r.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
        r.errors = process.readAllStandardError().toStdString();
        return r;
    }
    static Result convert(QStringList options, const std::string& input = "logo.bmp") {
        options.prepend(QString::fromStdString(path("out.bmp")));
        options.prepend(QString::fromStdString(path(input)));
        options.prepend("convert");
        return run(options);
    }
    static Picture output() { return decodePictureFile(path("out.bmp")); }

    static inline fs::path dir_;
};

} // namespace

TEST_F(CliConvert, LoadsFitsAndSeparatesLikeTheProgram) {
    const Result done = convert({});
    ASSERT_EQ(done.status, 0);
    EXPECT_EQ(done.errors, "") << "standard error carries only the tool's own messages";
    const Picture fitted = output();
    ASSERT_EQ(fitted.width(), 243);
    ASSERT_EQ(fitted.height(), 162);
    EXPECT_EQ(fitted.pixel(10, 100), colours::red); // red ink
    EXPECT_EQ(fitted.pixel(200, 100), colours::black);
    EXPECT_EQ(fitted.pixel(10, 5), colours::white);

    ASSERT_EQ(convert({"--no-fit", "--resize", "50"}).status, 0);
    EXPECT_EQ(output().width(), 150);
    EXPECT_EQ(output().height(), 100);
    ASSERT_EQ(convert({"--resize", "25"}).status, 0);
    EXPECT_EQ(output().width(), 60);
    EXPECT_EQ(output().height(), 40);
}

// The newer kinds of file: the same logo as PNG, TIFF and WebP, and drawn as SVG and PDF.
TEST_F(CliConvert, TakesEveryKindOfPicture) {
    for (const char* name : {"logo.png", "logo.tif", "logo.webp"}) {
        const std::string command =
            "convert '" + path("logo.bmp") + "' -define webp:lossless=true '" + path(name) + "'";
        ASSERT_EQ(std::system(command.c_str()), 0) << command;
    }
    std::ofstream(path("logo.svg"))
        << "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"300\" height=\"200\">"
           "<rect y=\"20\" width=\"150\" height=\"180\" fill=\"red\"/>"
           "<rect x=\"150\" y=\"20\" width=\"150\" height=\"180\"/></svg>";
    // 225 x 150 points are 300 x 200 pixels; PDF counts from the bottom.
    const std::string page = "1 0 0 rg 0 0 112.5 135 re f 0 g 112.5 0 112.5 135 re f";
    std::ofstream(path("logo.pdf"))
        << "%PDF-1.4\n1 0 obj <</Type/Catalog/Pages 2 0 R>> endobj\n"
           "2 0 obj <</Type/Pages/Kids[3 0 R]/Count 1>> endobj\n"
           "3 0 obj <</Type/Page/Parent 2 0 R/MediaBox[0 0 225 150]/Contents 4 0 R>> endobj\n"
           "4 0 obj <</Length "
        << page.size() << ">> stream\n"
        << page << "\nendstream endobj\ntrailer <</Root 1 0 R>>\n%%EOF\n";
    for (const char* name : {"logo.png", "logo.tif", "logo.webp", "logo.svg", "logo.pdf"}) {
        SCOPED_TRACE(name);
        const Result done = convert({}, name);
        ASSERT_EQ(done.status, 0) << done.errors;
        const Picture fitted = output();
        ASSERT_EQ(fitted.width(), 243);
        ASSERT_EQ(fitted.height(), 162);
        EXPECT_EQ(fitted.pixel(10, 100), colours::red);
        EXPECT_EQ(fitted.pixel(200, 100), colours::black);
        EXPECT_EQ(fitted.pixel(10, 5), colours::white);
    }
}

TEST_F(CliConvert, ModesColoursAndSwitchesReachTheSeparation) {
    // In Green mode red is nearer black than green: L ink, here painted in the chosen L colour.
    ASSERT_EQ(convert({"--mode", "green", "--l-color", "0000FF"}).status, 0);
    EXPECT_EQ(output().pixel(10, 100), colours::blue);
    EXPECT_EQ(output().pixel(200, 100), colours::blue);

    // The THRESHOLD hue 120 (green) as target in Red mode has the same effect on red.
    ASSERT_EQ(convert({"--threshold", "120"}).status, 0);
    EXPECT_EQ(output().pixel(10, 100), colours::black);

    ASSERT_EQ(convert({"--mode", "user", "--user-color", "00FF00"}).status, 0);
    EXPECT_EQ(output().pixel(10, 100), colours::green);

    // Off: black only; exchanging black and white turns the white band black.
    ASSERT_EQ(convert({"--mode", "off", "--swap-black-white"}).status, 0);
    EXPECT_EQ(output().pixel(10, 5), colours::black);
    EXPECT_EQ(output().pixel(200, 100), colours::white);
}

TEST_F(CliConvert, DitherNoneIsTheSeparationByteForByte) {
    auto bytes = [](const std::string& name) {
        std::ifstream in(path(name), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    };
    for (const QStringList& options : {QStringList{}, QStringList{"--mode", "green", "--invert"},
                                       QStringList{"--mode", "off"}}) {
        ASSERT_EQ(convert(options).status, 0);
        const std::string plain = bytes("out.bmp");
        ASSERT_EQ(convert(options + QStringList{"--dither", "none"}).status, 0);
        EXPECT_EQ(bytes("out.bmp"), plain) << options.join(' ').toStdString();
    }
}

TEST_F(CliConvert, BadInputEndsWithAMessageAndNoOutputFile) {
    std::ofstream(path("cut.bmp"), std::ios::binary) << "BM\x36\x00\x01\x00";
    const struct {
        QStringList options;
        const char* input;
        int status;
        const char* message;
    } cases[] = {
        {{}, "missing.bmp", 1, "missing.bmp"},
        {{}, "cut.bmp", 1, "truncated"},
        {{}, "wide.bmp", 1, "248 x 0"},
        {{"--threshold", "400"}, "logo.bmp", 2, "--threshold"},
        {{"--mode", "purple"}, "logo.bmp", 2, "--mode"},
        {{"--l-color", "red"}, "logo.bmp", 2, "RRGGBB"},
        {{"--resize", "60"}, "logo.bmp", 2, "--resize"},
        {{"--sharpen"}, "logo.bmp", 2, "unknown option"},
        {{"--r-value"}, "logo.bmp", 2, "needs a value"},
        {{"--dither", "floyd"}, "logo.bmp", 2, "--dither takes none, diffusion, ordered or best"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.options.join(' ').toStdString() + " " + c.input);
        const Result r = convert(c.options, c.input);
        EXPECT_EQ(r.status, c.status);
        EXPECT_NE(r.errors.find(c.message), std::string::npos) << r.errors;
        EXPECT_FALSE(fs::exists(path("out.bmp")));
    }
    EXPECT_EQ(run({"convert", QString::fromStdString(path("logo.bmp")),
                   QString::fromStdString(path("out.png"))})
                  .status,
              2);
    EXPECT_EQ(run({"stamp"}).status, 2);
    EXPECT_EQ(run({}).status, 2);
}
