// Fuzz target: the "nport" group's six list indices as the port settings model reads them at
// start-up, with the "devices" group they lead through. Whatever the settings file holds, every
// choice is an entry of its list or none, and the serial line and device that follow are sound
// or refused with an error.

#include "platform/core/Error.h"
#include "platform/fuzz/SettingsFuzzing.h"
#include "transport/PortSettingsModel.h"

#include <cstdlib>

using namespace logosmith;

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    fuzz::startCoreApplication(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::FuzzedSettings settings(data, size);
    PortSettingsModel model(settings.store());
    try {
        model.load();
    } catch (const SettingsError&) {
    }
    const PortSettings p = model.settings();
    auto within = [](int index, std::size_t entries) {
        return index >= -1 && index < int(entries);
    };
    if (!within(p.port, kPortEntries.size()) || !within(p.baud, kBaudEntries.size()) ||
        !within(p.parity, kParityEntries.size()) || !within(p.data, kDataBitEntries.size()) ||
        !within(p.stop, kStopBitEntries.size()) || !within(p.flow, kFlowEntries.size()))
        std::abort();
    const std::string name = devicePortName(p.port);
    if (!name.empty() && name.rfind("LPT", 0) != 0 && name.rfind("COM", 0) != 0)
        std::abort();
    // A parallel or serial entry always leads to a device; no port leads nowhere.
    if ((!name.empty() && p.device.empty()) || (p.port == -1 && !p.device.empty()))
        std::abort();
    try {
        const SerialLine line = serialLineFor(p);
        if ((line.dataBits != 7 && line.dataBits != 8) ||
            (line.stopBits != 1 && line.stopBits != 2))
            std::abort();
        serialLineTermios(termios{}, line);
    } catch (const TransferError&) {
    }
    return 0;
}
