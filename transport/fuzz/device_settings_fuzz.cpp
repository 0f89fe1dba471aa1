// Fuzz target: the "devices" group read back into the port-name map. Whatever the settings
// file holds, the map knows only the port names: the six device ports each lead to a non-empty
// path, and names outside them all lead nowhere. Nothing is opened.

#include "platform/fuzz/SettingsFuzzing.h"
#include "transport/DeviceSettings.h"

#include <cstdlib>

using namespace logosmith;

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    fuzz::startCoreApplication(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::FuzzedSettings settings(data, size);
    const DeviceMap devices = deviceMapFromSettings(settings.store());
    for (const char* name : {"LPT1", "LPT2", "COM1", "COM2", "COM3", "COM4"})
        if (devices.pathFor(name).empty())
            std::abort();
    for (const char* name : {"", "LPT3", "COM5", "U S B", "lpt1", "usb", "Network"})
        if (!devices.pathFor(name).empty())
            std::abort();
    return 0;
}
