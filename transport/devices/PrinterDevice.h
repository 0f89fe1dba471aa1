#pragma once

#include "platform/core/Error.h"

#include <chrono>
#include <cstddef>
#include <cstdint>

namespace logosmith {

// The device could not be opened: missing, busy or held by another program.
class PortOpenError : public TransferError {
  public:
    using TransferError::TransferError;
};

// The device map names something that is not a port (a plain file, a folder): refused before
// anything is written. Not a PortOpenError, so its message, which names the path, is shown.
class NotAPortError : public TransferError {
  public:
    using TransferError::TransferError;
};

// The printer stopped taking data: nothing moved for the whole write time-out.
class TransferTimeout : public TransferError {
  public:
    using TransferError::TransferError;
};

inline constexpr std::chrono::milliseconds kDefaultWriteTimeout{30000};

// One open way to the printer: a parallel port, a serial line, a spool document. Every port
// type is one class behind this interface. A write either delivers every byte or throws, so
// lost data is never reported as sent.
class PrinterDevice {
  public:
    PrinterDevice() = default;
    PrinterDevice(const PrinterDevice&) = delete;
    PrinterDevice& operator=(const PrinterDevice&) = delete;
    // A device let go without finish() withdraws what it can: a spool document is cancelled.
    virtual ~PrinterDevice() = default;

    // Hands every byte over. Throws TransferError, TransferTimeout when the printer takes
    // nothing for the write time-out.
    virtual void write(const std::uint8_t* data, std::size_t size) = 0;
    // Ends the transfer after the last byte: a serial line waits until it has sent what it
    // holds, a spool document is closed and handed to the spooler. Throws as write() does.
    virtual void finish() = 0;
};

} // namespace logosmith
