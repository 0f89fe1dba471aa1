#pragma once

#include "transport/PortSettings.h"
#include "transport/devices/PrinterDevice.h"

#include <chrono>
#include <memory>

namespace logosmith {

// Opens the device of the chosen port entry, whose kind says which class it is: a parallel
// port or serial line at the settings' device (its usual device when none is given), or a
// document on the default printer.
// lineLimit is the serial input threshold of the senders (512, or 2 for the alignment setup);
// Linux keeps its own thresholds, so it only documents the caller's intent.
// Throws PortOpenError (missing, switched off, held elsewhere), NotAPortError, and
// TransferError for a line or spooler that refuses.
std::unique_ptr<PrinterDevice> openPortDevice(int port, const PortSettings& settings, int lineLimit,
                                              std::chrono::milliseconds writeTimeout);

} // namespace logosmith
