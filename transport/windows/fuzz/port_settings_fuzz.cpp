// Fuzz target: the "nport" group's six list indices as the port settings dialog reads them
// when it is created. Whatever the settings file holds, every list shows an entry of its own
// or none, and the serial line and device name that follow are sound or refused with an error.

#include "platform/fuzz/WindowFuzzing.h"
#include "transport/PortSettings.h"
#include "transport/windows/PortSettingsDialog.h"

#include <cstdlib>

using namespace logosmith;

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    fuzz::startWidgetApplication(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::FuzzedSettings settings(data, size);
    PortSettingsDialog dialog(settings.store());
    const PortSettings p = dialog.portSettings();
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
