// Fuzz target: GIF files: our block walk, then Qt's reader.

#include "separation/loader/QtImageDecoder.h"
#include "separation/loader/fuzz/FuzzSupport.h"

using namespace logosmith;

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    fuzz::startGuiApplication(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size >= 10 &&
        std::int64_t(data[6] | data[7] << 8) * (data[8] | data[9] << 8) > fuzz::fuzzedPixelLimit)
        return 0;
    return fuzz::readAs(".gif", data, size);
}
