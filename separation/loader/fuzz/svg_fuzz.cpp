// Fuzz target: SVG files: our inspection of every embedded document, then Qt's renderer under
// the paint budget, within the work budget's time. The loader draws in a child process, which
// would hide the drawing from the fuzzer's coverage and sanitizers; here it is drawn in process.

#include "separation/loader/SvgDecoder.h"
#include "separation/loader/fuzz/FuzzSupport.h"

using namespace logosmith;

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    fuzz::startGuiApplication(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    return fuzz::withinBudget([&] {
        return fuzz::readPicture([&] {
            const decoders::SvgInspection inspection = decoders::inspectSvg(data, size);
            decoders::PictureBuilder out(LoadOptions{size % 2 == 1});
            decoders::drawSvg(data, size, inspection, out);
            return out.finish();
        });
    });
}
