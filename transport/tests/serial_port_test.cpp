// Serial ports against real pseudo-terminals: the test holds the master side, the program opens
// the slave as "COM1" through the "devices" settings group.

#include "platform/SettingsStore.h"
#include "tests/support/TransportTestSupport.h"
#include "transport/DeviceSettings.h"
#include "transport/PortSender.h"

#include <cstring>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

using namespace logosmith;
using namespace transport_test;
using namespace std::chrono_literals;

namespace {

class SerialPort : public ::testing::Test {
  protected:
    void SetUp() override {
        store_.writeText("devices", "COM1", QString::fromStdString(pty_.slavePath()));
        store_.sync();
    }
    TransferRequest request(const std::string& file, PortSettings port) const {
        TransferRequest r;
        r.file = file;
        r.port = port;
        r.writeTimeout = 5s;
        return r;
    }

    PortSettings com1(int baud = 2, int parity = 0, int data = 1, int stop = 0,
                      int flow = 0) const {
        return withDevice({2, baud, parity, data, stop, flow, {}}, store_);
    }

    termios slaveLine() const { return pty_.line(); }

    ScratchDir dir_;
    SettingsStore store_{QString::fromStdString(dir_.path("logosmith.ini"))};
    Pty pty_;
};

TEST_F(SerialPort, EveryChoiceOfTheSettingsReachesTheLine) {
    const speed_t speeds[] = {B2400, B4800, B9600, B19200, B38400, B57600};
    for (int baud = -1; baud <= 6; ++baud)
        for (int parity = 0; parity < 3; ++parity)
            for (int data = 0; data < 2; ++data)
                for (int stop = 0; stop < 2; ++stop)
                    for (int flow = 0; flow < 3; ++flow) {
                        SCOPED_TRACE(testing::Message() << baud << parity << data << stop << flow);
                        PrinterPort port =
                            OpenPrinterPort(com1(baud, parity, data, stop, flow), kPortLineLimit);
                        ASSERT_EQ(port.outcome, PortOutcome::Opened) << port.reason;
                        const termios tio = slaveLine();
                        // No entry chosen, or one past the list: 2400 bit/s.
                        const speed_t speed = baud >= 0 && baud < 6 ? speeds[baud] : B2400;
                        EXPECT_EQ(::cfgetospeed(&tio), speed);
                        EXPECT_EQ((tio.c_cflag & CSTOPB) != 0, stop == 1);
                        EXPECT_EQ((tio.c_cflag & CRTSCTS) != 0, flow == 2);
                        EXPECT_EQ((tio.c_iflag & IXON) != 0, flow == 1);
                        EXPECT_EQ((tio.c_iflag & IXOFF) != 0, flow == 1);
                        EXPECT_EQ(tio.c_iflag & (IXANY | ICRNL | INLCR | ISTRIP | INPCK), 0u);
                        EXPECT_EQ(tio.c_oflag & OPOST, 0u);
                        EXPECT_EQ(tio.c_lflag & (ICANON | ECHO | ISIG | IEXTEN), 0u);
                        EXPECT_EQ(tio.c_cc[VSTART], 0x58);
                        EXPECT_EQ(tio.c_cc[VSTOP], 0x50);
                    }
}

// Pseudo-terminals keep no data size or parity (the kernel forces CS8 without parity), so
// those are checked on the settings built for the line.
TEST(SerialLineSetUp, SizeAndParityFollowTheChoicesAndNothingOfTheOldLineSurvives) {
    termios everything{};
    std::memset(&everything, 0xff, sizeof everything);
    for (int parity = 0; parity < 3; ++parity)
        for (int data = 0; data < 2; ++data)
            for (int flow = 0; flow < 3; ++flow) {
                SCOPED_TRACE(testing::Message() << parity << data << flow);
                const termios tio = serialLineTermios(
                    everything, serialLineFor(PortSettings{2, 2, parity, data, 0, flow, {}}));
                EXPECT_EQ(tio.c_cflag & CSIZE, data == 0 ? CS7 : CS8);
                EXPECT_EQ((tio.c_cflag & PARENB) != 0, parity != 0);
                EXPECT_EQ((tio.c_cflag & PARODD) != 0, parity == 1);
                EXPECT_EQ(tio.c_cflag & (CMSPAR | CSTOPB | HUPCL), 0u);
                EXPECT_EQ((tio.c_cflag & CRTSCTS) != 0, flow == 2);
                EXPECT_EQ(tio.c_iflag & (IXANY | INPCK | ISTRIP | ICRNL | IGNCR | INLCR), 0u);
                EXPECT_EQ((tio.c_iflag & (IXON | IXOFF)) == (IXON | IXOFF), flow == 1);
                EXPECT_EQ(tio.c_oflag & OPOST, 0u);
                EXPECT_EQ(tio.c_lflag & (ICANON | ECHO | ISIG | IEXTEN), 0u);
                EXPECT_EQ(::cfgetospeed(&tio), B9600);
            }
    EXPECT_THROW(serialLineTermios(everything, SerialLine{1234567}), TransferError);
}

TEST_F(SerialPort, ASerialLineWithoutAChosenParityOrFlowIsRefusedWithAReason) {
    EXPECT_THROW(OpenPrinterPort(com1(2, -1), kPortLineLimit), TransferError);
    EXPECT_THROW(OpenPrinterPort(com1(2, 0, 1, 0, 3), kPortLineLimit), TransferError);
    // A send over such a line is refused before anything is written, saying why.
    const std::string file = dir_.path("tlsdlek.prn");
    writeFile(file, patternBytes(10));
    const TransferResult result = SendToPrinter(request(file, com1(2, -1)));
    EXPECT_EQ(result.status, TransferStatus::Refused);
    EXPECT_NE(result.message.find("parity"), std::string::npos) << result.message;
}

TEST_F(SerialPort, TheFileArrivesByteForByteInPiecesOf512) {
    const std::string file = dir_.path("tlsdlek.prn");
    const auto data = patternBytes(1300);
    writeFile(file, data);
    ByteCollector printer(pty_.master(), false, data.size());
    std::vector<std::size_t> pieces;
    TransferRequest r = request(file, com1());
    r.pieceWritten = [&](std::size_t size) { pieces.push_back(size); };

    EXPECT_EQ(SendToPrinter(r).status, TransferStatus::Sent);
    ASSERT_TRUE(printer.waitDone(5s));
    EXPECT_EQ(printer.bytes(), data);
    EXPECT_EQ(pieces, (std::vector<std::size_t>{512, 512, 276}));

    // The port is released after a transfer: a second one gets in.
    writeFile(file, patternBytes(10, 2));
    ByteCollector again(pty_.master(), false, 10);
    EXPECT_EQ(SendToPrinter(request(file, com1())).status, TransferStatus::Sent);
    ASSERT_TRUE(again.waitDone(5s));
    EXPECT_EQ(again.bytes(), patternBytes(10, 2));
}

TEST_F(SerialPort, TheLettersPAndXPauseAndResumeTheSender) {
    const std::string file = dir_.path("firmware.fls");
    const auto data = patternBytes(400 * 1024);
    writeFile(file, data);
    std::atomic<bool> finished{false};
    TransferRequest r = request(file, com1(5, 0, 1, 0, 1));
    r.writeTimeout = 10s;
    std::thread sender([&] {
        EXPECT_EQ(DownloadFirmware(r).status, TransferStatus::Sent);
        finished = true;
    });

    // Let the transfer start, then pause it as the printer would.
    std::vector<std::uint8_t> got;
    std::uint8_t buffer[4096];
    auto readAvailable = [&](std::chrono::milliseconds period) {
        const auto end = std::chrono::steady_clock::now() + period;
        while (std::chrono::steady_clock::now() < end) {
            const ssize_t n = ::read(pty_.master(), buffer, sizeof buffer);
            if (n > 0)
                got.insert(got.end(), buffer, buffer + n);
            else
                std::this_thread::sleep_for(2ms);
        }
    };
    while (got.size() < 1024)
        readAvailable(5ms);
    ASSERT_EQ(::write(pty_.master(), "P", 1), 1);
    readAvailable(300ms); // what was already on its way
    const std::size_t atPause = got.size();
    readAvailable(700ms);
    EXPECT_EQ(got.size(), atPause) << "bytes kept coming after P";
    EXPECT_FALSE(finished);
    EXPECT_LT(atPause, data.size());

    ASSERT_EQ(::write(pty_.master(), "X", 1), 1);
    const auto deadline = std::chrono::steady_clock::now() + 20s;
    while (got.size() < data.size() && std::chrono::steady_clock::now() < deadline)
        readAvailable(10ms);
    sender.join();
    EXPECT_TRUE(finished);
    EXPECT_EQ(got, data);
}

TEST_F(SerialPort, APortHeldByAnotherProgramGivesTheMessage) {
    int ready[2];
    int release[2];
    ASSERT_EQ(::pipe(ready), 0);
    ASSERT_EQ(::pipe(release), 0);
    const pid_t holder = ::fork();
    ASSERT_GE(holder, 0);
    if (holder == 0) {
        ::close(release[1]); // else the wait below never sees the parent let go
        char c = 0;
        try {
            const auto held =
                logosmith::SerialPort::open(pty_.slavePath(), SerialLine{}, kDefaultWriteTimeout);
            c = 1;
            (void)!::write(ready[1], &c, 1);
            (void)!::read(release[0], &c, 1);
        } catch (...) {
            (void)!::write(ready[1], &c, 1);
        }
        ::_exit(0);
    }
    ::close(ready[1]);
    ::close(release[0]);
    char c = 0;
    ASSERT_EQ(::read(ready[0], &c, 1), 1);
    ASSERT_EQ(c, 1) << "the other program could not take the port";

    const std::string file = dir_.path("tlsdlek.prn");
    writeFile(file, patternBytes(100));
    const TransferResult result = SendToPrinter(request(file, com1()));
    EXPECT_EQ(result.status, TransferStatus::OpenFailed);
    EXPECT_EQ(result.message, " Check your port setting ");

    ::close(release[1]);
    ::waitpid(holder, nullptr, 0);
    ::close(ready[0]);
    std::uint8_t buffer[256];
    EXPECT_LE(::read(pty_.master(), buffer, sizeof buffer), 0)
        << "data reached a port held elsewhere";

    // Once the other program lets go, the port is ours again.
    writeFile(file, patternBytes(100));
    ByteCollector printer(pty_.master(), false, 100);
    EXPECT_EQ(SendToPrinter(request(file, com1())).status, TransferStatus::Sent);
    ASSERT_TRUE(printer.waitDone(5s));
}

TEST_F(SerialPort, AnAlignmentSetupGoesOutInTwoBytePiecesWithAStepEach) {
    const std::string file = dir_.path("tlsdlek.prn");
    const auto data = patternBytes(104);
    writeFile(file, data);
    ByteCollector printer(pty_.master(), false, data.size());
    std::vector<std::size_t> pieces;
    int steps = 0;
    TransferRequest r = request(file, com1(2, 0, 1, 0, 1));
    r.pieceWritten = [&](std::size_t size) { pieces.push_back(size); };
    r.progressStep = [&] { ++steps; };
    EXPECT_EQ(SendAlignmentSetup(r).status, TransferStatus::Sent);
    ASSERT_TRUE(printer.waitDone(5s));
    EXPECT_EQ(printer.bytes(), data);
    EXPECT_EQ(pieces, std::vector<std::size_t>(52, 2));
    EXPECT_EQ(steps, 52);
}

} // namespace
