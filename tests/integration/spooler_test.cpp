// The "U S B" path end to end: a private CUPS scheduler with a raw queue whose socket:// device
// is a TCP listener in this test, standing in for the printer.

#include "tests/support/PrinterTestSupport.h"
#include "tests/support/TransportTestSupport.h"
#include "transport/PortSender.h"
#include "transport/devices/RawSpoolJob.h"
#include "transport/devices/SpoolerJob.h"

#include <cups/cups.h>
#include <gtest/gtest.h>
#include <unistd.h>

using namespace logosmith;
using namespace transport_test;
using namespace std::chrono_literals;

namespace {

bool cupsdInstalled() {
    return ::access("/usr/sbin/cupsd", X_OK) == 0 ||
           std::system("command -v cupsd >/dev/null") == 0;
}

int run(const std::string& command) {
    return std::system(command.c_str());
}

class Spooler : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        if (!cupsdInstalled())
            return;
        // The user's own lpoptions must not choose a printer for these tests.
        home_ = new ScratchDir;
        ::setenv("HOME", home_->dir().c_str(), 1);
        printer_ = new TcpPrinter;
        cups_ = new logosmith::testing::PrivateSpooler;
    }
    static void TearDownTestSuite() {
        delete cups_;
        delete printer_;
        delete home_;
        cups_ = nullptr;
        printer_ = nullptr;
        home_ = nullptr;
    }

    void SetUp() override {
        if (!cupsdInstalled())
            GTEST_SKIP() << "cupsd is not installed";
        ASSERT_TRUE(cups_->problem().isEmpty()) << cups_->problem().toStdString();
        cupsSetServer(nullptr); // follow CUPS_SERVER again
        // A fresh default raw queue for each test.
        ASSERT_TRUE(cups_->makeDefaultQueue("mrx310", printer_->port()));
        ASSERT_EQ(run("cupsaccept mrx310"), 0);
    }

    TransferRequest usb(const std::string& file) {
        TransferRequest r;
        r.file = file;
        r.port = PortSettings{kUsbPort, 2, 0, 1, 0, 0, {}};
        return r;
    }

    static inline logosmith::testing::PrivateSpooler* cups_ = nullptr;
    static inline ScratchDir* home_ = nullptr;
    static inline TcpPrinter* printer_ = nullptr;
    ScratchDir dir_;
};

TEST_F(Spooler, UsbHandsTheFileToTheDefaultPrinterUnchanged) {
    const std::string file = dir_.path("tlsdlek.prn");
    const auto data = patternBytes(70000, 5);
    writeFile(file, data);
    const TransferResult result = SendToPrinter(usb(file));
    EXPECT_EQ(result.status, TransferStatus::Spooled);
    EXPECT_EQ(result.message, "");
    EXPECT_TRUE(exists(file)) << "whoever made the file decides what becomes of it";
    const auto job = printer_->nextJob(30s);
    ASSERT_TRUE(job.has_value()) << "nothing reached the printer";
    EXPECT_EQ(*job, data);
}

// "U S B" can name a queue other than the default one; the queues are listed, the default first.
TEST_F(Spooler, ANamedQueueTakesTheJobInsteadOfTheDefaultOne) {
    TcpPrinter other;
    ASSERT_EQ(run("lpadmin -p mrx-other -E -v socket://127.0.0.1:" + std::to_string(other.port())),
              0);
    const std::vector<PrintQueue> queues = printQueues();
    ASSERT_EQ(queues.size(), 2u);
    EXPECT_EQ(queues[0].name, "mrx310");
    EXPECT_TRUE(queues[0].isDefault);
    EXPECT_EQ(queues[1].name, "mrx-other");

    const std::string file = dir_.path("tlsdlek.prn");
    writeFile(file, patternBytes(3000, 8));
    TransferRequest r = usb(file);
    r.port.device = "mrx-other";
    EXPECT_EQ(SendToPrinter(r).status, TransferStatus::Spooled);
    EXPECT_EQ(other.nextJob(30s), patternBytes(3000, 8));
    EXPECT_FALSE(printer_->nextJob(500ms).has_value()) << "the default queue got it too";

    r.port.device = "no-such-queue";
    const TransferResult missing = SendToPrinter(r);
    EXPECT_EQ(missing.status, TransferStatus::Refused);
    EXPECT_NE(missing.message.find("no-such-queue"), std::string::npos) << missing.message;
    ASSERT_EQ(run("lpadmin -x mrx-other"), 0);
}

TEST_F(Spooler, FirmwareOverUsbKeepsTheFileAndStepsAHundredTimesAfterTheHandOver) {
    const std::string file = dir_.path("printer.fls");
    const auto data = patternBytes(200000, 6);
    writeFile(file, data);
    int steps = 0;
    TransferRequest r = usb(file);
    r.progressStep = [&] { ++steps; };
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(DownloadFirmware(r).status, TransferStatus::Spooled);
    EXPECT_GE(std::chrono::steady_clock::now() - start, 1000ms);
    EXPECT_EQ(steps, 100);
    EXPECT_TRUE(exists(file));
    const auto job = printer_->nextJob(30s);
    ASSERT_TRUE(job.has_value());
    EXPECT_EQ(*job, data);
}

TEST_F(Spooler, AlignmentSetupOverUsbStepsFiftyTwoTimes) {
    const std::string file = dir_.path("tlsdlek.prn");
    const auto data = patternBytes(104, 7);
    writeFile(file, data);
    int steps = 0;
    TransferRequest r = usb(file);
    r.progressStep = [&] { ++steps; };
    EXPECT_EQ(SendAlignmentSetup(r).status, TransferStatus::Spooled);
    EXPECT_EQ(steps, 52);
    const auto job = printer_->nextJob(30s);
    ASSERT_TRUE(job.has_value());
    EXPECT_EQ(*job, data);
}

TEST_F(Spooler, ASecondBeginDocIsRefusedAndLeavesTheOpenDocumentAlone) {
    SpoolerJob job;
    EXPECT_FALSE(job.Write("early")) << "nothing can be written before a start";
    ASSERT_TRUE(job.BeginDoc("Print")) << job.lastError();
    EXPECT_EQ(job.status, 0);
    EXPECT_TRUE(job.documentOpen);
    EXPECT_FALSE(job.BeginDoc("Print"));
    EXPECT_EQ(job.status, 2);
    EXPECT_TRUE(job.documentOpen);
    EXPECT_FALSE(job.Write(""));
    ASSERT_TRUE(job.Write("\x1b@ok"));
    EXPECT_EQ(job.bytesWritten, 4u);
    ASSERT_TRUE(job.EndDoc()) << job.lastError();
    EXPECT_FALSE(job.documentOpen);
    const auto printed = printer_->nextJob(30s);
    ASSERT_TRUE(printed.has_value());
    EXPECT_EQ(std::string(printed->begin(), printed->end()), "\x1b@ok");
}

TEST_F(Spooler, WithoutADefaultPrinterTheErrorIsTheResult) {
    ASSERT_EQ(run("lpadmin -x mrx310"), 0);
    const std::string file = dir_.path("printer.fls");
    writeFile(file, patternBytes(100));
    int steps = 0;
    TransferRequest r = usb(file);
    r.progressStep = [&] { ++steps; };
    for (const TransferResult& result : {SendToPrinter(r), DownloadFirmware(r)}) {
        EXPECT_FALSE(result.succeeded());
        EXPECT_FALSE(result.isPortProblem()) << "for the error report, not a port message";
        EXPECT_EQ(result.message, "There is no default printer currently selected");
    }
    EXPECT_EQ(steps, 0);
}

TEST_F(Spooler, AQueueThatRefusesJobsIsAnErrorNotSilentLoss) {
    ASSERT_EQ(run("cupsreject mrx310"), 0);
    const std::string file = dir_.path("tlsdlek.prn");
    writeFile(file, patternBytes(100));
    int steps = 0;
    TransferRequest r = usb(file);
    r.progressStep = [&] { ++steps; };
    const TransferResult result = SendAlignmentSetup(r);
    EXPECT_FALSE(result.succeeded()) << "a refused job was reported as sent";
    EXPECT_NE(result.message.find("refused"), std::string::npos) << result.message;
    EXPECT_EQ(steps, 0) << "no progress for data that never left";
    EXPECT_FALSE(printer_->nextJob(500ms).has_value());
}

TEST_F(Spooler, ASpoolerThatIsNotRunningIsAClearError) {
    const std::string deadSocket = dir_.path("cups.sock");
    ::setenv("CUPS_SERVER", deadSocket.c_str(), 1);
    cupsSetServer(nullptr);
    const std::string file = dir_.path("tlsdlek.prn");
    writeFile(file, patternBytes(100));
    const std::string message = SendToPrinter(usb(file)).message;
    ::setenv("CUPS_SERVER", cups_->socketPath().toLocal8Bit().constData(), 1);
    cupsSetServer(nullptr);
    EXPECT_NE(message.find("spooler cannot be reached"), std::string::npos) << message;
}

} // namespace
