// Fuzz target: SVG files: our document walk, then Qt's renderer under the paint budget.

#include "separation/loader/SvgDecoder.h"
#include "separation/loader/fuzz/FuzzSupport.h"

using namespace logosmith;

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    fuzz::startGuiApplication(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    return fuzz::readAs(".svg", data, size);
}
