#pragma once

#include "platform/core/Error.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>
#include <termios.h>

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

enum class SerialParity { None, Odd, Even };
enum class SerialFlow { None, XonXoff, Hardware };

// The printer's flow-control letters: 'P' pauses the sender, 'X' lets it go on.
inline constexpr unsigned char kPrinterXon = 0x58;
inline constexpr unsigned char kPrinterXoff = 0x50;

inline constexpr std::chrono::milliseconds kDefaultWriteTimeout{30000};

struct SerialLine {
    int baudRate = 2400;
    int dataBits = 8; // 7 or 8
    SerialParity parity = SerialParity::None;
    int stopBits = 1; // 1 or 2
    SerialFlow flow = SerialFlow::None;
};

// An open printer port. Writes are bounded by a time-out and either deliver every byte to the
// device or throw TransferError; lost data is never reported as sent.
class PortDevice {
  public:
    // A parallel port (a character device, or a FIFO standing in for one), opened write-only
    // and shared. Throws PortOpenError when it cannot be opened, NotAPortError when the path
    // is something else.
    static PortDevice openParallel(const std::string& path);
    // A serial port, opened read/write and held exclusively, with the line set up as given.
    // Throws PortOpenError when the device cannot be opened or is held by another program,
    // NotAPortError when the path is not a serial line, TransferError when the device refuses
    // the line set-up.
    static PortDevice openSerial(const std::string& path, const SerialLine& line);

    PortDevice(PortDevice&& other) noexcept;
    PortDevice& operator=(PortDevice&& other) noexcept;
    PortDevice(const PortDevice&) = delete;
    PortDevice& operator=(const PortDevice&) = delete;
    ~PortDevice();

    // Each call must finish within this time, or TransferError is thrown.
    void setWriteTimeout(std::chrono::milliseconds timeout) { timeout_ = timeout; }

    // Writes every byte, retrying partial writes; throws TransferError on failure,
    // TransferTimeout when the printer takes nothing for the write time-out.
    void writeAll(const std::uint8_t* data, std::size_t size);
    // Waits until a serial line has sent what the kernel still holds (bounded by the time-out).
    void finish();

    int fd() const { return fd_; }
    const std::string& path() const { return path_; }
    bool isSerial() const { return serial_; }

  private:
    PortDevice(int fd, std::string path, bool serial);
    void close() noexcept;

    int fd_ = -1;
    std::string path_;
    bool serial_ = false;
    std::chrono::milliseconds timeout_ = kDefaultWriteTimeout;
};

// The terminal settings for a serial line, built from the device's current ones: raw bytes,
// the given speed, size, parity, stop bits and flow control. Throws TransferError for a speed
// or size a serial line cannot have.
termios serialLineTermios(const termios& current, const SerialLine& line);

// Applies a serial line set-up to an open terminal device: raw bytes, the given speed, size,
// parity, stop bits and flow control, DTR dropped and RTS raised. Throws TransferError.
void applySerialLine(int fd, const SerialLine& line, const std::string& pathForMessages);

} // namespace logosmith
