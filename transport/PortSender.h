#pragma once

#include "transport/PortSettings.h"
#include "transport/devices/PrinterDevice.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <stop_token>
#include <string>

namespace logosmith {

inline constexpr const char* kCheckPortSetting = " Check your port setting ";
inline constexpr const char* kPortDoesNotExist = " Port does not exist ";

inline constexpr std::size_t kPortPieceSize = 512;
inline constexpr std::size_t kAlignmentPieceSize = 2;
inline constexpr int kPortLineLimit = 512;
inline constexpr int kAlignmentLineLimit = 2;

enum class PortOutcome {
    Opened,     // the device is open: a port (a serial line set up) or a spool document
    NoPort,     // no port chosen: " Port does not exist "
    OpenFailed, // the device could not be opened: " Check your port setting "
};

struct PrinterPort {
    PortOutcome outcome = PortOutcome::NoPort;
    PortKind kind = PortKind::Parallel;
    std::unique_ptr<PrinterDevice> device;
    std::string reason; // why the open failed, for diagnostics
};

// Opens the chosen port through its kind (see openPortDevice). Throws TransferError when the
// port refuses: not a port at all, a serial line that cannot be set up as asked, a spooler
// without a default printer or one that refuses the job.
PrinterPort OpenPrinterPort(const PortSettings& settings, int lineLimit,
                            std::chrono::milliseconds writeTimeout = kDefaultWriteTimeout);

// One transfer of a file to the printer. The file is only read: whoever made it decides what
// becomes of it afterwards.
struct TransferRequest {
    std::string file;
    PortSettings port;
    std::chrono::milliseconds writeTimeout = kDefaultWriteTimeout;
    // One position of a progress bar (firmware download, alignment setup).
    std::function<void()> progressStep;
    // After each piece has reached the port, with its size.
    std::function<void(std::size_t)> pieceWritten;
    // A stop asked for here ends the transfer between two pieces (as failed).
    std::stop_token stop;
};

enum class TransferStatus {
    Sent,       // every byte has reached the port
    Spooled,    // the spooler has taken the whole document
    NoPort,     // no port is chosen; nothing was opened
    OpenFailed, // the port could not be opened (missing, switched off, held by another program)
    Refused,    // the port or the spooler would not take a transfer; nothing was sent
    TimedOut,   // the printer stopped taking data part of the way through
    Failed,     // anything else that ended the transfer: a file that cannot be read, a lost reader
};

// How a transfer ended, with the text the user must see.
struct TransferResult {
    TransferStatus status = TransferStatus::Failed;
    // Empty after success. The two port problems are the program's plain messages
    // (" Port does not exist ", " Check your port setting "); any other failure is reported
    // with this text in the error report.
    std::string message;
    // For a port that could not be opened: why, in words a person can act on (a group to join,
    // a busy device, a refused connection); empty when nothing more is known.
    std::string reason;

    bool succeeded() const {
        return status == TransferStatus::Sent || status == TransferStatus::Spooled;
    }
    bool isPortProblem() const {
        return status == TransferStatus::NoPort || status == TransferStatus::OpenFailed;
    }
};

// The three ways a file goes to the printer.
enum class TransferKind {
    Command,        // the general send: 512-byte pieces, no progress steps
    Firmware,       // 512-byte pieces, a step every FirmwareStepSize pieces
    AlignmentSetup, // 2-byte pieces, a step after each
};

// The general send: the file goes to the port in 512-byte pieces, or through the spooler for
// "U S B". Never throws: every way the transfer ends is in the result.
TransferResult SendToPrinter(const TransferRequest& request);

// The firmware file goes to the port in 512-byte pieces; progressStep runs after every
// FirmwareStepSize pieces ("U S B": 100 steps after the hand-over).
TransferResult DownloadFirmware(const TransferRequest& request);
// The firmware file's size divided by 51,200: the number of pieces per progress step.
// Throws FileError when the file cannot be opened.
std::int64_t FirmwareStepSize(const std::string& file);

// The alignment setup file goes out in 2-byte pieces with a progress step after each
// ("U S B": 52 steps after the hand-over).
TransferResult SendAlignmentSetup(const TransferRequest& request);

// One of the three above: opens the port, then TransferThrough.
TransferResult RunTransfer(TransferKind kind, const TransferRequest& request);

// A transfer through a device already open, of the given port kind: the file in pieces, the
// progress steps, the device finished after the last piece. For the spooler the whole file is
// one document and the progress steps come after the hand-over (firmware: 100 with 10 ms
// pauses; alignment setup: 52). The device is not finished when the transfer fails.
TransferResult TransferThrough(PrinterDevice& device, PortKind port, TransferKind kind,
                               const TransferRequest& request);

} // namespace logosmith
