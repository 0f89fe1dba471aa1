// Parallel ports against real FIFOs standing in for /dev/lp0: the test is the printer reading
// the FIFO, the program writes to it as "LPT1".

#include "tests/support/TransportTestSupport.h"
#include "transport/PortSender.h"
#include "transport/devices/DeviceMap.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace logosmith;
using namespace transport_test;
using namespace std::chrono_literals;

namespace {

class ParallelPort : public ::testing::Test {
  protected:
    void SetUp() override {
        fifo_ = dir_.path("lp0");
        ASSERT_EQ(::mkfifo(fifo_.c_str(), 0600), 0);
        devices_.set("LPT1", fifo_);
    }
    void TearDown() override {
        if (reader_ >= 0)
            ::close(reader_);
    }

    // The printer switched on: a reader is at the FIFO.
    int openPrinter() {
        reader_ = ::open(fifo_.c_str(), O_RDONLY | O_NONBLOCK);
        return reader_;
    }

    TransferRequest request(const std::string& file, int port = 0) const {
        TransferRequest r;
        r.file = file;
        r.port = PortSettings{port, 2, 0, 1, 0, 0, {}};
        r.port.device = devices_.pathFor(devicePortName(port));
        r.writeTimeout = 5s;
        return r;
    }

    ScratchDir dir_;
    DeviceMap devices_;
    std::string fifo_;
    int reader_ = -1;
};

TEST_F(ParallelPort, TheFileArrivesUnchangedAndIsOnlyRead) {
    const std::string file = dir_.path("tlsdlek.prn");
    const auto data = patternBytes(300 * 1024 + 7);
    writeFile(file, data);
    ByteCollector printer(openPrinter(), true);
    std::vector<std::size_t> pieces;
    TransferRequest r = request(file);
    r.pieceWritten = [&](std::size_t size) { pieces.push_back(size); };

    const TransferResult result = SendToPrinter(r);
    EXPECT_EQ(result.status, TransferStatus::Sent);
    EXPECT_EQ(result.message, "");
    ASSERT_TRUE(printer.waitDone(5s));
    EXPECT_EQ(printer.bytes(), data);
    ASSERT_EQ(pieces.size(), 601u);
    EXPECT_EQ(pieces.back(), 7u);
    EXPECT_TRUE(exists(file)) << "whoever made the file decides what becomes of it";
}

TEST_F(ParallelPort, AnEmptyFileOpensThePortAndSendsNothing) {
    const std::string file = dir_.path("tlsdlek.prn");
    writeFile(file, {});
    ByteCollector printer(openPrinter(), true);
    EXPECT_EQ(SendToPrinter(request(file)).status, TransferStatus::Sent);
    ASSERT_TRUE(printer.waitDone(5s)) << "the port was never opened and closed";
    EXPECT_EQ(printer.count(), 0u);
}

TEST_F(ParallelPort, AMissingOrSwitchedOffDeviceGivesTheMessage) {
    const std::string file = dir_.path("tlsdlek.prn");
    writeFile(file, patternBytes(10));
    // Nobody reads the FIFO: the printer is off. LPT2 leads to a device that is not there.
    devices_.set("LPT2", dir_.path("lp1"));
    for (int port : {0, 1}) {
        const TransferResult result = SendToPrinter(request(file, port));
        EXPECT_EQ(result.status, TransferStatus::OpenFailed);
        EXPECT_EQ(result.message, " Check your port setting ");
        EXPECT_TRUE(result.isPortProblem());
    }
}

TEST_F(ParallelPort, NoChosenPortGivesTheMessageAndOpensNothing) {
    const std::string file = dir_.path("tlsdlek.prn");
    writeFile(file, patternBytes(10));
    for (int port : {-1, 8, 9}) {
        const TransferResult result = SendToPrinter(request(file, port));
        EXPECT_EQ(result.status, TransferStatus::NoPort);
        EXPECT_EQ(result.message, " Port does not exist ");
    }
}

TEST_F(ParallelPort, APrinterThatGoesAwayMidTransferIsAnErrorNotSuccess) {
    const std::string file = dir_.path("tlsdlek.prn");
    writeFile(file, patternBytes(1024 * 1024));
    openPrinter();
    std::thread printer([&] {
        std::uint8_t buffer[1000];
        std::size_t got = 0;
        while (got < 1000) {
            const ssize_t n = ::read(reader_, buffer, sizeof buffer - got);
            if (n > 0)
                got += static_cast<std::size_t>(n);
            else
                std::this_thread::sleep_for(1ms);
        }
        ::close(reader_);
        reader_ = -1;
    });
    const TransferResult result = SendToPrinter(request(file));
    printer.join();
    EXPECT_EQ(result.status, TransferStatus::Failed);
    EXPECT_NE(result.message.find("Broken pipe"), std::string::npos) << result.message;
    EXPECT_FALSE(result.isPortProblem()) << "an error for the error report, not a port message";
}

TEST_F(ParallelPort, APrinterThatStopsTakingDataEndsInAnErrorAfterTheTimeOut) {
    const std::string file = dir_.path("tlsdlek.prn");
    writeFile(file, patternBytes(1024 * 1024));
    openPrinter(); // opened, never read
    TransferRequest r = request(file);
    r.writeTimeout = 300ms;
    const auto start = std::chrono::steady_clock::now();
    const TransferResult result = SendToPrinter(r);
    EXPECT_EQ(result.status, TransferStatus::TimedOut) << "a stalled printer was reported as sent";
    EXPECT_NE(result.message.find("did not take the data"), std::string::npos) << result.message;
    EXPECT_LT(std::chrono::steady_clock::now() - start, 5s);
}

TEST_F(ParallelPort, AMissingOrUnsendableFileIsReportedRatherThanSilentlySendingNothing) {
    ByteCollector printer(openPrinter(), true);
    TransferResult result = SendToPrinter(request(dir_.path("tlsdlek.prn")));
    EXPECT_EQ(result.status, TransferStatus::Failed);
    EXPECT_NE(result.message.find("tlsdlek.prn"), std::string::npos) << result.message;
    // A FIFO in the file's place is refused at once instead of waited on.
    const std::string fifo = dir_.path("not-a-file.prn");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    result = SendToPrinter(request(fifo));
    EXPECT_EQ(result.status, TransferStatus::Failed);
    EXPECT_NE(result.message.find("is not a file that can be sent"), std::string::npos)
        << result.message;
}

struct FirmwareCase {
    std::size_t size;
    std::int64_t stepSize;
    std::size_t pieces;
    std::size_t lastPiece;
    int steps;
};

class FirmwareDownload : public ParallelPort, public ::testing::WithParamInterface<FirmwareCase> {};

TEST_P(FirmwareDownload, StreamsTheFileAndStepsEveryStepSizePieces) {
    const FirmwareCase expected = GetParam();
    const std::string file = dir_.path("printer.fls");
    const auto data = patternBytes(expected.size, 3);
    writeFile(file, data);
    EXPECT_EQ(FirmwareStepSize(file), expected.stepSize);

    ByteCollector printer(openPrinter(), true);
    std::vector<std::size_t> pieces;
    std::vector<std::size_t> piecesAtStep;
    TransferRequest r = request(file);
    r.pieceWritten = [&](std::size_t size) { pieces.push_back(size); };
    r.progressStep = [&] { piecesAtStep.push_back(pieces.size()); };
    EXPECT_EQ(DownloadFirmware(r).status, TransferStatus::Sent);
    ASSERT_TRUE(printer.waitDone(10s));
    EXPECT_EQ(printer.bytes(), data);
    EXPECT_TRUE(exists(file)) << "a firmware file is never deleted";
    ASSERT_EQ(pieces.size(), expected.pieces);
    EXPECT_EQ(pieces.back(), expected.lastPiece);
    ASSERT_EQ(piecesAtStep.size(), static_cast<std::size_t>(expected.steps));
    for (std::size_t i = 0; i < piecesAtStep.size(); ++i)
        ASSERT_EQ(piecesAtStep[i], (i + 1) * static_cast<std::size_t>(expected.stepSize));
}

INSTANTIATE_TEST_SUITE_P(Sizes, FirmwareDownload,
                         ::testing::Values(FirmwareCase{1024000, 20, 2000, 512, 100},
                                           FirmwareCase{1000000, 19, 1954, 64, 102},
                                           FirmwareCase{60000, 1, 118, 96, 118},
                                           FirmwareCase{51199, 0, 100, 511, 0}));

TEST_F(ParallelPort, FirmwarePortProblemsGiveTheMessages) {
    const std::string file = dir_.path("printer.fls");
    writeFile(file, patternBytes(1000));
    EXPECT_EQ(DownloadFirmware(request(file)).message, " Check your port setting ");
    EXPECT_EQ(DownloadFirmware(request(file, -1)).message, " Port does not exist ");
}

} // namespace
