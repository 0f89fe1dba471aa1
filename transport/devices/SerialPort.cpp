#include "transport/devices/SerialPort.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <thread>
#include <unistd.h>

namespace logosmith {

namespace {

std::string systemMessage(int error) {
    return std::strerror(error);
}

speed_t speedFor(int baudRate) {
    switch (baudRate) {
    case 50:
        return B50;
    case 75:
        return B75;
    case 110:
        return B110;
    case 134:
        return B134;
    case 150:
        return B150;
    case 200:
        return B200;
    case 300:
        return B300;
    case 600:
        return B600;
    case 1200:
        return B1200;
    case 1800:
        return B1800;
    case 2400:
        return B2400;
    case 4800:
        return B4800;
    case 9600:
        return B9600;
    case 19200:
        return B19200;
    case 38400:
        return B38400;
    case 57600:
        return B57600;
    case 115200:
        return B115200;
    case 230400:
        return B230400;
    case 460800:
        return B460800;
    case 921600:
        return B921600;
    default:
        return B0;
    }
}

// Modem-line changes: pseudo-terminals and some adapters have no modem lines at all.
void changeModemLine(int fd, unsigned long request, int line, const std::string& path) {
    if (::ioctl(fd, request, &line) == 0)
        return;
    if (errno == ENOTTY || errno == EINVAL)
        return;
    throw TransferError("Cannot set the modem lines of " + path + ": " + systemMessage(errno));
}

} // namespace

termios serialLineTermios(const termios& current, const SerialLine& line) {
    const speed_t speed = speedFor(line.baudRate);
    if (speed == B0)
        throw TransferError("The serial speed " + std::to_string(line.baudRate) +
                            " bit/s is not supported");
    if (line.dataBits != 7 && line.dataBits != 8)
        throw TransferError("A serial line has 7 or 8 data bits, not " +
                            std::to_string(line.dataBits));

    termios tio = current;
    // Raw bytes both ways: no translation, no echo, no signals, parity not checked on input.
    tio.c_iflag &= ~(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | IXON | IXOFF |
                     IXANY | INPCK | IUCLC | IMAXBEL);
    tio.c_oflag &= ~OPOST;
    tio.c_lflag &= ~(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
    tio.c_cflag &= ~(CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS | HUPCL);
    tio.c_cflag |= CREAD | CLOCAL | (line.dataBits == 7 ? CS7 : CS8);
    if (line.parity != SerialParity::None)
        tio.c_cflag |= PARENB | (line.parity == SerialParity::Odd ? PARODD : 0);
    if (line.stopBits == 2)
        tio.c_cflag |= CSTOPB;
    if (line.flow == SerialFlow::XonXoff)
        tio.c_iflag |= IXON | IXOFF; // never IXANY: only 'X' may resume
    if (line.flow == SerialFlow::Hardware)
        tio.c_cflag |= CRTSCTS;
    tio.c_cc[VSTART] = kPrinterXon;
    tio.c_cc[VSTOP] = kPrinterXoff;
    tio.c_cc[VMIN] = 1;
    tio.c_cc[VTIME] = 0;
    ::cfsetispeed(&tio, speed);
    ::cfsetospeed(&tio, speed);
    return tio;
}

void applySerialLine(int fd, const SerialLine& line, const std::string& path) {
    termios current{};
    if (::tcgetattr(fd, &current) != 0)
        throw TransferError(path + " is not a serial line: " + systemMessage(errno));
    const termios tio = serialLineTermios(current, line);
    if (::tcsetattr(fd, TCSANOW, &tio) != 0)
        throw TransferError(path + " refused the serial line settings: " + systemMessage(errno));

    changeModemLine(fd, TIOCMBIC, TIOCM_DTR, path);
    changeModemLine(fd, TIOCMBIS, TIOCM_RTS, path);
}

std::unique_ptr<SerialPort> SerialPort::open(const std::string& path, const SerialLine& line,
                                             std::chrono::milliseconds writeTimeout) {
    std::unique_ptr<SerialPort> port(
        new SerialPort(openDeviceFile(path, O_RDWR), path, writeTimeout));
    port->requireDevice("a serial port must be a serial line", [](const struct stat& st, int fd) {
        return S_ISCHR(st.st_mode) && ::isatty(fd);
    });
    // TIOCEXCL keeps other openers out, but root ignores it; the lock covers that case.
    if (::flock(port->fd(), LOCK_EX | LOCK_NB) != 0)
        throw PortOpenError(busyReason(path));
    port->exclusive_ = ::ioctl(port->fd(), TIOCEXCL) == 0;
    applySerialLine(port->fd(), line, path);
    return port;
}

SerialPort::~SerialPort() {
    if (exclusive_)
        ::ioctl(fd(), TIOCNXCL);
}

void SerialPort::finish() {
    const auto deadline = std::chrono::steady_clock::now() + writeTimeout();
    for (;;) {
        int pending = 0;
        if (::ioctl(fd(), TIOCOUTQ, &pending) != 0 || pending <= 0)
            return;
        if (std::chrono::steady_clock::now() >= deadline)
            throw TransferTimeout("The printer on " + path() + " did not take the last " +
                                  std::to_string(pending) + " bytes");
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

} // namespace logosmith
