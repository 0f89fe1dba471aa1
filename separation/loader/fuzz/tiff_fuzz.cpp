// Fuzz target: TIFF files through libtiff (scanlines and its RGBA reader), whole and fitted,
// within the work budget's time.

#include "separation/loader/fuzz/FuzzSupport.h"

using namespace logosmith;

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    fuzz::startGuiApplication(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    return fuzz::withinBudget([&] { return fuzz::readAs(".tif", data, size); });
}
