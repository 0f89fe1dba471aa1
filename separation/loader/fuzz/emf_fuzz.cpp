// Fuzz target: enhanced metafiles: our record walk, the SVG converter and Qt's SVG renderer.

#include "separation/loader/EmfDecoder.h"
#include "separation/loader/fuzz/FuzzSupport.h"

using namespace logosmith;

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    fuzz::startGuiApplication(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    try {
        const decoders::MetafileSize canvas = decoders::emfSize(data, size);
        if (std::int64_t(canvas.width) * canvas.height > fuzz::fuzzedPixelLimit)
            return 0;
    } catch (const DecodeError&) {
    }
    return fuzz::readPicture([&] { return decoders::decodeEmf(data, size); });
}
