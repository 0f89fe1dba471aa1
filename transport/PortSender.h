#pragma once

#include "platform/devices/DeviceMap.h"
#include "platform/devices/PortDevice.h"
#include "transport/PortSettings.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace logosmith {

inline constexpr const char* kCheckPortSetting = " Check your port setting ";
inline constexpr const char* kPortDoesNotExist = " Port does not exist ";

inline constexpr std::size_t kPortPieceSize = 512;
inline constexpr std::size_t kAlignmentPieceSize = 2;
inline constexpr int kPortLineLimit = 512;
inline constexpr int kAlignmentLineLimit = 2;

enum class PortOutcome {
    Opened,     // ports 0–5: the device is open (a serial line is set up)
    Spooler,    // "U S B": the data goes through the print spooler
    NoPort,     // no port chosen: " Port does not exist "
    OpenFailed, // the device could not be opened: " Check your port setting "
};

struct PrinterPort {
    PortOutcome outcome = PortOutcome::NoPort;
    std::optional<PortDevice> device;
    std::string reason; // why the open failed, for diagnostics
};

// Opens the chosen port. lineLimit is the serial input threshold of the senders (512, or 2 for
// the alignment setup); Linux keeps its own thresholds, so it only documents the caller's intent.
// Throws TransferError when a serial line cannot be set up as asked.
PrinterPort OpenPrinterPort(const PortSettings& settings, int lineLimit, const DeviceMap& devices);

// One transfer of a file to the printer.
struct TransferRequest {
    std::string file;
    PortSettings port;
    DeviceMap devices;
    std::chrono::milliseconds writeTimeout = kDefaultWriteTimeout;
    // One position of a progress bar (firmware download, alignment setup).
    std::function<void()> progressStep;
    // After each piece has reached the port, with its size.
    std::function<void(std::size_t)> pieceWritten;
};

enum class TransferOutcome { Sent, Spooled, NoPort, OpenFailed };

// The general send: the file goes to the port in 512-byte pieces, or through the spooler for
// "U S B", and is deleted afterwards whatever the outcome. The port messages are shown through
// userDialogs(); transfer failures throw (TransferError, FileError) for the error report.
TransferOutcome SendToPrinter(const TransferRequest& request);

// The firmware file goes to the port in 512-byte pieces; progressStep runs after every
// FirmwareStepSize pieces ("U S B": 100 steps after the hand-over). The file is kept.
TransferOutcome DownloadFirmware(const TransferRequest& request);
// The firmware file's size divided by 51,200: the number of pieces per progress step.
// Throws FileError when the file cannot be opened.
std::int64_t FirmwareStepSize(const std::string& file);

// The alignment setup file goes out in 2-byte pieces with a progress step after each
// ("U S B": 52 steps after the hand-over); the file is deleted afterwards whatever happened.
TransferOutcome SendAlignmentSetup(const TransferRequest& request);

// The message the user sees for an outcome; empty when there is none.
const char* transferMessage(TransferOutcome outcome);

} // namespace logosmith
