#include "transport/PortSender.h"

#include "transport/PortKind.h"

#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace logosmith {

namespace {

// The spooler takes the document in large pieces: it is one document however it is cut.
constexpr std::size_t kSpoolPieceSize = 64 * 1024;

// What the spooler does after the hand-over, by what was sent (the spool modes 1, 2 and 3).
enum class SpoolMode { Command = 1, Firmware = 2, Alignment = 3 };
constexpr int kFirmwareSpoolSteps = 100;
constexpr int kAlignmentSpoolSteps = 52;

// A file opened for reading, closed on every way out.
class InputFile {
  public:
    explicit InputFile(const std::string& path) : path_(path) {
        // Non-blocking, so that a FIFO put in a file's place is refused instead of waited on.
        fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
        if (fd_ < 0)
            throw FileError("Cannot open " + path + ": " + std::strerror(errno));
        struct stat info {};
        if (::fstat(fd_, &info) != 0 || !S_ISREG(info.st_mode)) {
            ::close(fd_);
            throw FileError(path + " is not a file that can be sent");
        }
        size_ = info.st_size;
    }
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;
    ~InputFile() { ::close(fd_); }

    std::size_t read(std::uint8_t* buffer, std::size_t size) {
        for (;;) {
            const ssize_t got = ::read(fd_, buffer, size);
            if (got >= 0)
                return static_cast<std::size_t>(got);
            if (errno != EINTR)
                throw FileError("Cannot read " + path_ + ": " + std::strerror(errno));
        }
    }

    std::int64_t size() const { return size_; }

  private:
    std::string path_;
    int fd_ = -1;
    std::int64_t size_ = 0;
};

void stopIfAsked(const std::stop_token& stop) {
    if (stop.stop_requested())
        throw TransferError("The transfer was stopped before its end");
}

// Streams a file to the device piece by piece, then finishes the device; afterPiece runs once
// each piece is written.
void copyToDevice(const std::string& file, PrinterDevice& device, std::size_t pieceSize,
                  const std::function<void(std::size_t)>& afterPiece, const std::stop_token& stop) {
    InputFile input(file);
    std::vector<std::uint8_t> buffer(pieceSize);
    for (;;) {
        stopIfAsked(stop);
        const std::size_t got = input.read(buffer.data(), pieceSize);
        if (got == 0)
            break;
        device.write(buffer.data(), got);
        if (afterPiece)
            afterPiece(got);
    }
    device.finish();
}

// The spooler's side of a transfer: the whole file goes into one raw document, and only once
// the spooler has taken it do the mode's progress steps run.
void SpoolRawFile(PrinterDevice& spooler, const TransferRequest& request, SpoolMode mode) {
    copyToDevice(request.file, spooler, kSpoolPieceSize, request.pieceWritten, request.stop);
    if (mode == SpoolMode::Command)
        return;
    const int steps = mode == SpoolMode::Firmware ? kFirmwareSpoolSteps : kAlignmentSpoolSteps;
    for (int i = 0; i < steps; ++i) {
        stopIfAsked(request.stop);
        if (request.progressStep)
            request.progressStep();
        if (mode == SpoolMode::Firmware)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

TransferResult portProblem(const PrinterPort& port) {
    if (port.outcome == PortOutcome::NoPort)
        return {TransferStatus::NoPort, kPortDoesNotExist, {}};
    return {TransferStatus::OpenFailed, kCheckPortSetting, port.reason};
}

// Runs the part of a transfer after the port is open and turns whatever ends it into a result.
template <class Body> TransferResult outcomeOf(Body&& body) noexcept {
    try {
        return body();
    } catch (const TransferTimeout& error) {
        return {TransferStatus::TimedOut, error.what(), {}};
    } catch (const std::exception& error) {
        return {TransferStatus::Failed, error.what(), {}};
    } catch (...) {
        return {TransferStatus::Failed, "Unknown error", {}};
    }
}

} // namespace

PrinterPort OpenPrinterPort(const PortSettings& settings, int lineLimit,
                            std::chrono::milliseconds writeTimeout) {
    PrinterPort result;
    const std::optional<PortKind> kind = portKind(settings.port);
    if (!kind)
        return result;
    result.kind = *kind;
    try {
        result.device = openPortDevice(settings.port, settings, lineLimit, writeTimeout);
    } catch (const PortOpenError& error) {
        result.outcome = PortOutcome::OpenFailed;
        result.reason = error.what();
        return result;
    }
    result.outcome = PortOutcome::Opened;
    return result;
}

std::int64_t FirmwareStepSize(const std::string& file) {
    return InputFile(file).size() / 51200;
}

TransferResult TransferThrough(PrinterDevice& device, PortKind port, TransferKind kind,
                               const TransferRequest& request) {
    return outcomeOf([&] {
        if (port == PortKind::Spooler) {
            SpoolRawFile(device, request,
                         kind == TransferKind::Firmware         ? SpoolMode::Firmware
                         : kind == TransferKind::AlignmentSetup ? SpoolMode::Alignment
                                                                : SpoolMode::Command);
            return TransferResult{TransferStatus::Spooled, {}, {}};
        }
        // A firmware bar moves once per step size of pieces, a setup bar after every piece.
        const bool setup = kind == TransferKind::AlignmentSetup;
        const std::int64_t piecesPerStep = kind == TransferKind::Firmware
                                               ? FirmwareStepSize(request.file)
                                           : setup ? 1
                                                   : 0;
        std::int64_t pieces = 0;
        copyToDevice(
            request.file, device, setup ? kAlignmentPieceSize : kPortPieceSize,
            [&](std::size_t size) {
                if (request.pieceWritten)
                    request.pieceWritten(size);
                if (piecesPerStep > 0 && ++pieces == piecesPerStep) {
                    pieces = 0;
                    if (request.progressStep)
                        request.progressStep();
                }
            },
            request.stop);
        return TransferResult{TransferStatus::Sent, {}, {}};
    });
}

TransferResult RunTransfer(TransferKind kind, const TransferRequest& request) {
    PrinterPort port;
    try {
        port = OpenPrinterPort(request.port,
                               kind == TransferKind::AlignmentSetup ? kAlignmentLineLimit
                                                                    : kPortLineLimit,
                               request.writeTimeout);
    } catch (const std::exception& error) {
        // A port that refuses has been sent nothing.
        return {TransferStatus::Refused, error.what(), {}};
    }
    if (port.outcome != PortOutcome::Opened)
        return portProblem(port);
    return TransferThrough(*port.device, port.kind, kind, request);
}

TransferResult SendToPrinter(const TransferRequest& request) {
    return RunTransfer(TransferKind::Command, request);
}

TransferResult DownloadFirmware(const TransferRequest& request) {
    return RunTransfer(TransferKind::Firmware, request);
}

TransferResult SendAlignmentSetup(const TransferRequest& request) {
    return RunTransfer(TransferKind::AlignmentSetup, request);
}

} // namespace logosmith
