#include "separation/loader/tests/loader_support.h"

#include "separation/picture/Fitting.h"

#include <QColor>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

using namespace loadertest;
using logosmith::LoadOptions;
using logosmith::colours::red;
using logosmith::colours::white;

namespace {

Bytes magick(const std::string& arguments, const std::string& name) {
    convert(arguments + " " + scratch(name));
    return readBytes(scratch(name));
}

// Opaque red up to column redEnd, blue at half opacity up to blueEnd, nothing after.
const std::string halfTransparent = "-size 21x9 xc:none -fill red -draw \"rectangle 0,0 9,8\" "
                                    "-fill \"rgba(0,0,255,0.5)\" -draw \"rectangle 10,0 15,8\"";

::testing::AssertionResult composedOnWhite(const Picture& p, int redEnd, int blueEnd, int width) {
    if (p.width() != width)
        return ::testing::AssertionFailure() << "width " << p.width() << ", expected " << width;
    for (int y = 0; y < p.height(); ++y) {
        if (auto r = near(p.pixel(redEnd / 2, y), red, 2); !r)
            return r << " (red)";
        if (auto r = near(p.pixel((redEnd + blueEnd) / 2, y), Colour{127, 127, 255}, 3); !r)
            return r << " (half blue)";
        if (p.pixel(width - 1, y) != white)
            return ::testing::AssertionFailure() << "not white where transparent";
    }
    return ::testing::AssertionSuccess();
}

// A one-page PDF of 24 x 12 points (32 x 16 pixels at 96 per inch) drawn by Qt: red on the
// left half, half-transparent blue on the next quarter, nothing on the last.
Bytes pdfPage(double widthPoints, double heightPoints, bool stripes = false) {
    const std::string path = scratch("page.pdf");
    {
        QPdfWriter writer(QString::fromStdString(path));
        writer.setPageSize(QPageSize(QSizeF(widthPoints, heightPoints), QPageSize::Point));
        writer.setPageMargins(QMarginsF(0, 0, 0, 0));
        writer.setResolution(72);
        QPainter painter(&writer);
        if (stripes) {
            for (int x = 0; x < int(widthPoints); x += 2)
                painter.fillRect(QRectF(x, 0, 1, heightPoints), Qt::black);
        } else {
            painter.fillRect(QRectF(0, 0, widthPoints / 2, heightPoints), Qt::red);
            painter.fillRect(QRectF(widthPoints / 2, 0, widthPoints / 4, heightPoints),
                             QColor(0, 0, 255, 128));
        }
    }
    return readBytes(path);
}

std::string svgHalf(const std::string& size) {
    return "<svg xmlns=\"http://www.w3.org/2000/svg\" " + size +
           "><rect width=\"10\" height=\"9\" fill=\"red\"/><rect x=\"10\" width=\"6\" "
           "height=\"9\" fill=\"blue\" fill-opacity=\"0.5\"/></svg>";
}

Bytes text(const std::string& s) {
    return Bytes(s.begin(), s.end());
}

} // namespace

TEST(NewerFormats, OpaqueFilesOfEveryKindLoadAtTheirOwnSize) {
    const std::string few = scratch("few.ppm");
    for (const char* kind :
         {"PNG24:", "PNG48:", "PNG8:", "-interlace PNG PNG24:", "-compress lzw TIFF:",
          "-depth 16 -compress zip TIFF:", "-type palette TIFF:",
          "-define tiff:tile-geometry=16x16 -compress zip TIFF:",
          "-define webp:lossless=true WEBP:"}) {
        SCOPED_TRACE(kind);
        const std::string options(kind);
        const std::string format = options.substr(options.rfind(' ') + 1);
        const std::string extension = format == "WEBP:"   ? "webp"
                                      : format == "TIFF:" ? "tif"
                                                          : "png";
        convert(few + " " + options.substr(0, options.size() - format.size()) + format +
                scratch("few." + extension));
        EXPECT_TRUE(
            samePixels(logosmith::decodePictureFile(scratch("few." + extension)), fixtures().few));
    }
    // Greys without colour, 8 and 16 bits a sample.
    const Picture greys = makePicture(21, 9, [](int x, int) {
        return Colour{x * 12, x * 12, x * 12};
    });
    writePpm(greys, scratch("greys.ppm"));
    for (const char* depth : {"8", "16"}) {
        convert(scratch("greys.ppm") + " -depth " + depth + " -define png:color-type=0 " +
                scratch("greys.png"));
        EXPECT_TRUE(samePixels(logosmith::decodePictureFile(scratch("greys.png")), greys)) << depth;
    }
    // Lossy WebP comes near; an animation gives its first frame.
    const Picture lossy = decodeBytes(magick(few + " -quality 95", "few.webp"), "few.webp");
    EXPECT_TRUE(near(lossy.pixel(3, 2), red, 24));
    writePpm(makePicture(21, 9, [](int, int) { return Colour{0, 255, 0}; }), scratch("green.ppm"));
    EXPECT_TRUE(samePixels(decodeBytes(magick("-delay 10 " + few + " " + scratch("green.ppm") +
                                                  " -define webp:lossless=true",
                                              "anim.webp"),
                                       "anim.webp"),
                           fixtures().few));
}

TEST(NewerFormats, TransparentPartsOfEveryKindAreComposedOnWhite) {
    for (const char* kind : {"PNG32:a.png", "PNG64:b.png", "TIFF:a.tif", "a.webp"}) {
        SCOPED_TRACE(kind);
        const std::string name(kind);
        const std::string file = name.substr(name.find(':') + 1);
        convert(halfTransparent + " -define webp:lossless=true " +
                name.substr(0, name.find(':') + 1) + scratch(file));
        EXPECT_TRUE(composedOnWhite(logosmith::decodePictureFile(scratch(file)), 10, 16, 21));
    }
    // Grey with alpha, and a palette whose transparent entry is white.
    const Picture greyAlpha = decodeBytes(
        magick(halfTransparent + " -colorspace Gray -define png:color-type=4", "ga.png"), "ga.png");
    EXPECT_EQ(greyAlpha.pixel(20, 4), white);
    EXPECT_EQ(greyAlpha.pixel(3, 4).r, greyAlpha.pixel(3, 4).b);
    const Picture palette = decodeBytes(
        magick("-size 21x9 xc:none -fill red -draw \"rectangle 0,0 9,8\" -type PaletteAlpha",
               "p.png"),
        "p.png");
    EXPECT_EQ(palette.pixel(3, 4), red);
    EXPECT_EQ(palette.pixel(15, 4), white);

    writeBytes(scratch("half.svg"), text(svgHalf("width=\"21\" height=\"9\"")));
    EXPECT_TRUE(composedOnWhite(logosmith::decodePictureFile(scratch("half.svg")), 10, 16, 21));
    writeBytes(scratch("half.pdf"), pdfPage(24, 12));
    const Picture page = logosmith::decodePictureFile(scratch("half.pdf"));
    EXPECT_EQ(page.height(), 16);
    EXPECT_TRUE(composedOnWhite(page, 16, 24, 32));
}

// SVG sizes: units at 96 pixels per inch, the view box where there is no size.
TEST(NewerFormats, VectorPicturesTakeTheirSizeFromTheirUnitsOrViewBox) {
    const struct {
        const char* attributes;
        int width, height;
    } cases[] = {{"width=\"25.4mm\" height=\"0.5in\"", 96, 48},
                 {"width=\"30pt\" height=\"15pt\" viewBox=\"0 0 21 9\"", 40, 20},
                 {"viewBox=\"0 0 30 20\"", 30, 20},
                 {"width=\"100%\" height=\"50%\" viewBox=\"0,0,64,32\"", 64, 16}};
    for (const auto& c : cases) {
        const Picture p = decodeBytes(text(svgHalf(c.attributes)), "sized.svg");
        EXPECT_EQ(p.width(), c.width) << c.attributes;
        EXPECT_EQ(p.height(), c.height) << c.attributes;
    }
}

// Fitted, vector pictures are drawn at the fitted size: one-unit stripes on a 1000-wide SVG
// come out as grey, where sampling a full-size drawing would keep pure black or white. (poppler
// keeps hairlines a pixel wide, so a PDF's stripes stay black.)
TEST(NewerFormats, FittedVectorPicturesAreDrawnAtTheFittedSize) {
    std::string stripes = "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"1000\" height=\"60\">";
    for (int x = 0; x < 1000; x += 2)
        stripes += "<rect x=\"" + std::to_string(x) + "\" width=\"1\" height=\"60\"/>";
    writeBytes(scratch("stripes.svg"), text(stripes + "</svg>"));
    writeBytes(scratch("stripes.pdf"), pdfPage(750, 45, true)); // 1000 x 60 pixels
    const logosmith::PictureSize fitted = logosmith::fittedSize(1000, 60);
    for (const char* name : {"stripes.svg", "stripes.pdf"}) {
        SCOPED_TRACE(name);
        const Picture full = logosmith::decodePictureFile(scratch(name));
        ASSERT_EQ(full.width(), 1000);
        const Picture p = logosmith::decodePictureFile(scratch(name), LoadOptions{true});
        ASSERT_EQ(p.width(), fitted.width);
        ASSERT_EQ(p.height(), fitted.height);
        if (std::string(name) == "stripes.pdf")
            continue;
        for (int x : {10, 100, 200}) {
            EXPECT_GT(p.pixel(x, 5).r, 60) << x;
            EXPECT_LT(p.pixel(x, 5).r, 200) << x;
        }
    }
}

TEST(NewerFormats, TruncatedForeignAndLyingFilesAreRefused) {
    const std::string few = scratch("few.ppm");
    const Bytes pdf = pdfPage(24, 12);
    const struct {
        Bytes good;
        const char* name;
        const char* foreign; // the message for a file of another kind
        std::size_t tail;    // a cut this near the end is refused too
    } kinds[] = {
        {magick(few, "t.png"), "t.png", "not a PNG", 12},
        {magick(few + " -compress lzw", "t.tif"), "t.tif", "not a TIFF", 12},
        {magick(few + " -define webp:lossless=true", "t.webp"), "t.webp", "not a WebP", 12},
        {text(svgHalf("width=\"21\" height=\"9\"")), "t.svg", "not an SVG", 12},
        // poppler rebuilds a lost cross-reference table: only a cut into the page's drawing
        // is damage.
        {pdf, "t.pdf", "not a PDF", pdf.size() / 2},
    };
    for (const auto& kind : kinds) {
        SCOPED_TRACE(kind.name);
        ASSERT_GT(kind.good.size(), 40u);
        for (std::size_t size : {std::size_t(1), std::size_t(12), std::size_t(40),
                                 kind.good.size() / 2, kind.good.size() - kind.tail})
            EXPECT_TRUE(refused(truncatedTo(kind.good, size), kind.name)) << size;
        EXPECT_TRUE(refused(readBytes(few), kind.name, kind.foreign));
    }
    // Sizes beyond what a picture may have, with the header otherwise sound.
    Bytes png = kinds[0].good;
    png[16] = png[17] = png[20] = png[21] = 0;
    png[18] = png[22] = 0x40; // 16384 x 16384
    EXPECT_TRUE(refused(png, "huge.png"));
    EXPECT_TRUE(
        refused(text(svgHalf("width=\"90000\" height=\"90000\"")), "huge.svg", "too large"));
    EXPECT_TRUE(refused(text(svgHalf("")), "nosize.svg", "no size"));
    EXPECT_TRUE(refused(text("<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"9\" height=\"9\">"
                             "<image href=\"/etc/passwd\" width=\"9\" height=\"9\"/></svg>"),
                        "outside.svg", "another file"));
}
