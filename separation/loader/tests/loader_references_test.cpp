#include "separation/loader/tests/hostile_files.h"

using namespace loadertest;

namespace {

Bytes text(const std::string& s) {
    return Bytes(s.begin(), s.end());
}

} // namespace

// A picture sent by anyone must not copy a file of the person's into the logo: every way a
// file can name another one, at any depth, is refused, and the private picture is never drawn.
TEST(SvgReferences, EveryReferenceToAnotherFileIsRefusedAtAnyDepth) {
    const std::string picture = scratch("private.png"), styleSheet = scratch("private.css");
    convert("-size 9x9 xc:red " + picture);
    writeBytes(styleSheet, text("rect { fill: red }"));
    // The file is there and readable: a refusal below is ours, not a missing file.
    ASSERT_TRUE(near(logosmith::decodePictureFile(picture).pixel(4, 4), Colour{255, 0, 0}, 0));
    for (const HostileFile& file : fileReferences(picture, styleSheet))
        EXPECT_TRUE(refused(file.bytes, file.name, "from another file")) << file.name;

    // Same-document references and embedded pictures are drawn, at any depth.
    const std::string circle = svgDocument(
        30, 30,
        "<defs><circle id=\"c\" cx=\"15\" cy=\"15\" r=\"12\"/></defs><use xlink:href=\"#c\" "
        "fill=\"url(#g)\"/><linearGradient id=\"g\"><stop stop-color=\"#0000ff\"/>"
        "</linearGradient>");
    const std::string twice = svgDocument(30, 30, svgImage(circle, 30, 30));
    const Picture p = decodeBytes(text(svgDocument(30, 30, svgImage(twice, 30, 30))), "deep.svg");
    EXPECT_TRUE(near(p.pixel(15, 15), Colour{0, 0, 255}, 8));
    EXPECT_TRUE(near(p.pixel(1, 1), Colour{255, 255, 255}, 8));
}
