// Fuzz target: PNG files through libpng, whole and fitted.

#include "separation/loader/fuzz/FuzzSupport.h"

#include <algorithm>

using namespace logosmith;

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    fuzz::startGuiApplication(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Capped, so that the product of two sides cannot overflow.
    auto be32 = [&](std::size_t at) {
        const std::int64_t v =
            std::int64_t(data[at]) << 24 | data[at + 1] << 16 | data[at + 2] << 8 | data[at + 3];
        return std::min<std::int64_t>(v, 1 << 20);
    };
    if (size >= 24 && be32(16) * be32(20) > fuzz::fuzzedPixelLimit)
        return 0;
    return fuzz::readAs(".png", data, size);
}
