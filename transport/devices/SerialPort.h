#pragma once

#include "transport/devices/PortDevice.h"

#include <memory>
#include <string>
#include <termios.h>

namespace logosmith {

enum class SerialParity { None, Odd, Even };
enum class SerialFlow { None, XonXoff, Hardware };

// The printer's flow-control letters: 'P' pauses the sender, 'X' lets it go on.
inline constexpr unsigned char kPrinterXon = 0x58;
inline constexpr unsigned char kPrinterXoff = 0x50;

struct SerialLine {
    int baudRate = 2400;
    int dataBits = 8; // 7 or 8
    SerialParity parity = SerialParity::None;
    int stopBits = 1; // 1 or 2
    SerialFlow flow = SerialFlow::None;
};

// "COM1" … "COM4": a serial line opened read/write and held exclusively (TIOCEXCL, and a lock
// because root ignores TIOCEXCL) for as long as the device lives.
class SerialPort : public PortDevice {
  public:
    // Opens the line and sets it up as given. Throws PortOpenError when the device cannot be
    // opened or is held by another program, NotAPortError when the path is not a serial line,
    // TransferError when the device refuses the line set-up.
    static std::unique_ptr<SerialPort> open(const std::string& path, const SerialLine& line,
                                            std::chrono::milliseconds writeTimeout);
    // Lets the next opener in even if the terminal stays open elsewhere.
    ~SerialPort() override;

    // Waits until the line has sent what the kernel still holds (bounded by the time-out).
    void finish() override;

  private:
    using PortDevice::PortDevice;

    // Set once this device has made the line exclusive: a line found held by another program
    // keeps that program's claim.
    bool exclusive_ = false;
};

// The terminal settings for a serial line, built from the device's current ones: raw bytes,
// the given speed, size, parity, stop bits and flow control. Throws TransferError for a speed
// or size a serial line cannot have.
termios serialLineTermios(const termios& current, const SerialLine& line);

// Applies a serial line set-up to an open terminal device: raw bytes, the given speed, size,
// parity, stop bits and flow control, DTR dropped and RTS raised. Throws TransferError.
void applySerialLine(int fd, const SerialLine& line, const std::string& pathForMessages);

} // namespace logosmith
