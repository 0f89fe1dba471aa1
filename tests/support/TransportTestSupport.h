#pragma once

// Shared pieces of the transport tests: scratch folders, files of known bytes, a pseudo-terminal
// and readers standing in for the printer at a pty or FIFO.

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <optional>
#include <string>
#include <termios.h>
#include <thread>
#include <vector>

namespace transport_test {

// A fresh folder, removed with everything in it afterwards.
class ScratchDir {
  public:
    ScratchDir();
    ~ScratchDir();
    std::string path(const std::string& name) const { return dir_ + "/" + name; }
    const std::string& dir() const { return dir_; }

  private:
    std::string dir_;
};

// Bytes that differ from position to position, so that a lost or repeated piece shows.
std::vector<std::uint8_t> patternBytes(std::size_t size, unsigned seed = 1);
void writeFile(const std::string& path, const std::vector<std::uint8_t>& bytes);
bool exists(const std::string& path);

// A pseudo-terminal standing in for a serial printer: the test holds the master side, read
// without blocking, and keeps the slave open, so that the line a port set up can be read back and
// the master never reads a hang-up.
class Pty {
  public:
    Pty();
    ~Pty();
    Pty(const Pty&) = delete;
    Pty& operator=(const Pty&) = delete;

    int master() const { return master_; }
    int slave() const { return slave_; }
    const std::string& slavePath() const { return slavePath_; }
    // The slave's line settings as they are now.
    termios line() const;
    // Everything that has arrived so far.
    std::vector<std::uint8_t> take();

  private:
    int master_ = -1;
    int slave_ = -1;
    std::string slavePath_;
};

// Reads everything that arrives on a file descriptor on a thread of its own.
class ByteCollector {
  public:
    // stopAtHangUp: end when the writer side closes (FIFO); a pty master instead reads until
    // stop() or until `expected` bytes have arrived.
    ByteCollector(int fd, bool stopAtHangUp, std::size_t expected = 0);
    ~ByteCollector();

    // Waits for the reader to end (hang-up or expected count); false on time-out.
    bool waitDone(std::chrono::milliseconds timeout);
    std::vector<std::uint8_t> bytes();
    std::size_t count();
    void stop();

  private:
    void run();

    int fd_;
    bool stopAtHangUp_;
    std::size_t expected_;
    std::atomic<bool> stop_{false};
    std::atomic<bool> done_{false};
    std::mutex mutex_;
    std::vector<std::uint8_t> bytes_;
    std::thread thread_;
};

// A printer on the network: takes connections on 127.0.0.1 and keeps what each one delivered.
class TcpPrinter {
  public:
    TcpPrinter();
    ~TcpPrinter();
    TcpPrinter(const TcpPrinter&) = delete;
    TcpPrinter& operator=(const TcpPrinter&) = delete;

    int port() const { return port_; }
    // What the next connection delivered before it closed; nothing within the time-out.
    std::optional<std::vector<std::uint8_t>> nextJob(std::chrono::milliseconds timeout);

  private:
    void run();

    int listener_ = -1;
    int port_ = 0;
    std::atomic<bool> stop_{false};
    std::thread thread_;
    std::mutex mutex_;
    std::condition_variable arrived_;
    std::deque<std::vector<std::uint8_t>> jobs_;
};

} // namespace transport_test
