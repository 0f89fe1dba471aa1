// Fuzz target: PDF files through poppler. The loader draws in a child process, which would hide
// the drawing from the fuzzer's coverage and sanitizers; here the page is drawn in process, with
// poppler stopped between operations after a second.

#include "separation/loader/PdfDecoder.h"
#include "separation/loader/fuzz/FuzzSupport.h"

using namespace logosmith;

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    fuzz::startGuiApplication(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    return fuzz::readPicture([&] {
        decoders::PictureBuilder out(LoadOptions{size % 2 == 1});
        decoders::drawPdfPage(data, size, out,
                              std::chrono::steady_clock::now() + std::chrono::milliseconds(1000));
        return out.finish();
    });
}
