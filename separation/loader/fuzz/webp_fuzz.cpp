// Fuzz target: WebP files through libwebp, still and animated, whole and fitted.

#include "separation/loader/fuzz/FuzzSupport.h"

#include <webp/decode.h>

using namespace logosmith;

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    fuzz::startGuiApplication(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    int width = 0, height = 0;
    if (WebPGetInfo(data, size, &width, &height) &&
        std::int64_t(width) * height > fuzz::fuzzedPixelLimit)
        return 0;
    return fuzz::readAs(".webp", data, size);
}
