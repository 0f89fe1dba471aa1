// Fuzz target: enhanced metafiles: our record walk, the SVG converter and Qt's SVG renderer.

#include "separation/loader/EmfDecoder.h"
#include "separation/loader/fuzz/FuzzSupport.h"

using namespace logosmith;

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    fuzz::startGuiApplication(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    return fuzz::readMetafile([&] { return decoders::emfSize(data, size); },
                              [&] { return decoders::decodeEmf(data, size); });
}
