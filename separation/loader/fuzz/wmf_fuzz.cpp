// Fuzz target: Windows metafiles through our player, within the work budget's time.

#include "separation/loader/WmfPlayer.h"
#include "separation/loader/fuzz/FuzzSupport.h"

using namespace logosmith;

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    fuzz::startGuiApplication(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    return fuzz::withinBudget([&] {
        return fuzz::readMetafile([&] { return decoders::wmfSize(data, size); },
                                  [&] { return decoders::playWmf(data, size); });
    });
}
