// Parallel ports against real FIFOs standing in for /dev/lp0: the test is the printer reading
// the FIFO, the program writes to it as "LPT1".

#include "transport/PortSender.h"
#include "transport/tests/TransportTestSupport.h"

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
        installUserDialogs(&dialogs_);
    }
    void TearDown() override {
        installUserDialogs(nullptr);
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
        r.port = PortSettings{port, 2, 0, 1, 0, 0};
        r.devices = devices_;
        r.writeTimeout = 5s;
        return r;
    }

    ScratchDir dir_;
    RecordingDialogs dialogs_;
    DeviceMap devices_;
    std::string fifo_;
    int reader_ = -1;
};

TEST_F(ParallelPort, TheFileArrivesUnchangedAndIsDeleted) {
    const std::string file = dir_.path("tlsdlek.prn");
    const auto data = patternBytes(300 * 1024 + 7);
    writeFile(file, data);
    ByteCollector printer(openPrinter(), true);
    std::vector<std::size_t> pieces;
    TransferRequest r = request(file);
    r.pieceWritten = [&](std::size_t size) { pieces.push_back(size); };

    EXPECT_EQ(SendToPrinter(r), TransferOutcome::Sent);
    ASSERT_TRUE(printer.waitDone(5s));
    EXPECT_EQ(printer.bytes(), data);
    ASSERT_EQ(pieces.size(), 601u);
    EXPECT_EQ(pieces.back(), 7u);
    EXPECT_FALSE(exists(file));
    EXPECT_TRUE(dialogs_.messages.isEmpty());
}

TEST_F(ParallelPort, AnEmptyFileOpensThePortSendsNothingAndIsDeleted) {
    const std::string file = dir_.path("tlsdlek.prn");
    writeFile(file, {});
    ByteCollector printer(openPrinter(), true);
    EXPECT_EQ(SendToPrinter(request(file)), TransferOutcome::Sent);
    ASSERT_TRUE(printer.waitDone(5s)) << "the port was never opened and closed";
    EXPECT_EQ(printer.count(), 0u);
    EXPECT_FALSE(exists(file));
}

TEST_F(ParallelPort, AMissingOrSwitchedOffDeviceGivesTheMessage) {
    const std::string file = dir_.path("tlsdlek.prn");
    // Nobody reads the FIFO: the printer is off.
    writeFile(file, patternBytes(10));
    EXPECT_EQ(SendToPrinter(request(file)), TransferOutcome::OpenFailed);
    // LPT2 leads to a device that is not there.
    devices_.set("LPT2", dir_.path("lp1"));
    writeFile(file, patternBytes(10));
    EXPECT_EQ(SendToPrinter(request(file, 1)), TransferOutcome::OpenFailed);
    EXPECT_EQ(dialogs_.messages,
              (QStringList{" Check your port setting ", " Check your port setting "}));
    EXPECT_FALSE(exists(file));
}

TEST_F(ParallelPort, NoChosenPortGivesTheMessageAndOpensNothing) {
    const std::string file = dir_.path("tlsdlek.prn");
    for (int port : {-1, 7, 9}) {
        writeFile(file, patternBytes(10));
        EXPECT_EQ(SendToPrinter(request(file, port)), TransferOutcome::NoPort);
        EXPECT_FALSE(exists(file));
    }
    EXPECT_EQ(dialogs_.messages, QStringList(3, QStringLiteral(" Port does not exist ")));
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
    EXPECT_THROW(SendToPrinter(request(file)), TransferError);
    printer.join();
    EXPECT_FALSE(exists(file));
}

TEST_F(ParallelPort, APrinterThatStopsTakingDataEndsInAnErrorAfterTheTimeOut) {
    const std::string file = dir_.path("tlsdlek.prn");
    writeFile(file, patternBytes(1024 * 1024));
    openPrinter(); // opened, never read
    TransferRequest r = request(file);
    r.writeTimeout = 300ms;
    const auto start = std::chrono::steady_clock::now();
    try {
        SendToPrinter(r);
        ADD_FAILURE() << "a stalled printer was reported as sent";
    } catch (const TransferError& error) {
        EXPECT_NE(std::string(error.what()).find("did not take the data"), std::string::npos)
            << error.what();
    }
    EXPECT_LT(std::chrono::steady_clock::now() - start, 5s);
    EXPECT_FALSE(exists(file));
}

TEST_F(ParallelPort, AMissingCommandFileIsReportedRatherThanSilentlySendingNothing) {
    ByteCollector printer(openPrinter(), true);
    EXPECT_THROW(SendToPrinter(request(dir_.path("tlsdlek.prn"))), FileError);
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
    EXPECT_EQ(DownloadFirmware(r), TransferOutcome::Sent);
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

TEST_F(ParallelPort, FirmwarePortProblemsGiveTheMessagesAndKeepTheFile) {
    const std::string file = dir_.path("printer.fls");
    writeFile(file, patternBytes(1000));
    EXPECT_EQ(DownloadFirmware(request(file)), TransferOutcome::OpenFailed);
    EXPECT_EQ(DownloadFirmware(request(file, -1)), TransferOutcome::NoPort);
    EXPECT_EQ(dialogs_.messages,
              (QStringList{" Check your port setting ", " Port does not exist "}));
    EXPECT_TRUE(exists(file));
}

} // namespace
