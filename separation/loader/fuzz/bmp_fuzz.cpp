// Fuzz target: BMP files and packed bitmaps (as metafiles embed them), run-length ones included.

#include "separation/loader/BmpDecoder.h"
#include "separation/loader/fuzz/FuzzSupport.h"

using namespace logosmith;

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    fuzz::startGuiApplication(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const bool file = size >= 2 && data[0] == 'B' && data[1] == 'M';
    try {
        const std::size_t header = file && size > 14 ? 14 : 0;
        if (decoders::packedDibPixels(data + header, size - header) > fuzz::fuzzedPixelLimit)
            return 0;
    } catch (const DecodeError&) {
    }
    if (file)
        return fuzz::readAs(".bmp", data, size);
    return fuzz::readPicture([&] { return decoders::decodePackedDib(data, size); });
}
