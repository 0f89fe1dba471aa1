#include "tools/logosmith-cli/tests/CliProcess.h"

#include <QElapsedTimer>
#include <QJsonObject>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

using namespace logosmith::clitest;
namespace fs = std::filesystem;

namespace {

// A whole store command (one 10 x 8 black logo), so the printer has a sound stream to check.
const std::vector<unsigned char> storeCommand = {
    0x1B, 0x67, 0x00, 0x01, 0x00, 0x21, 0x1B, 0x61, 0x01, 0x1B, 0x72, 0x00, 0x1B,
    0x2A, 0x00, 0x0A, 0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,
    0xFF, 0x0D, 0x0D, 0x1B, 0x4A, 0x10, 0x0D, 0x1B, 0x4A, 0x10, 0x1B, 0x61, 0x00};

// A private settings folder, temporary folder and command file for each case.
class CliSend : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        fs::create_directories(path("config/KORVANT"));
        fs::create_directories(path("tmp"));
        fs::create_directories(path("runtime"));
        fs::permissions(path("runtime"), fs::perms::owner_all);
        std::ofstream(path("store.prn"), std::ios::binary)
            .write(reinterpret_cast<const char*>(storeCommand.data()),
                   std::streamsize(storeCommand.size()));
    }
    std::string path(const std::string& name) const {
        return dir_.filePath(QString::fromStdString(name)).toStdString();
    }
    void mapDevices(const std::string& lines) {
        std::ofstream(path("config/KORVANT/logosmith.ini")) << "[devices]\n" << lines;
    }
    Result send(QStringList options) {
        options.prepend(QString::fromStdString(path("store.prn")));
        options.prepend("send");
        return runCli(options, {"XDG_CONFIG_HOME=" + QString::fromStdString(path("config")),
                                "TMPDIR=" + QString::fromStdString(path("tmp")),
                                // else Qt makes its runtime folder inside TMPDIR
                                "XDG_RUNTIME_DIR=" + QString::fromStdString(path("runtime"))});
    }
    // The user's file is never the one the transfer deletes, and no copy is left behind.
    void expectFileKeptAndNoCopyLeft() {
        EXPECT_EQ(fileBytes(path("store.prn")), storeCommand);
        EXPECT_TRUE(fs::is_empty(path("tmp")));
    }

    QTemporaryDir dir_;
};

} // namespace

TEST_F(CliSend, ReachesThePrinterOverAMappedSerialPortAndKeepsTheFile) {
    QTemporaryDir simOut;
    QProcess sim;
    sim.start(program("mrx310-sim"), {"--out", simOut.path(), "--expect", "store", "--pty"});
    ASSERT_TRUE(sim.waitForStarted(5000));
    while (!sim.canReadLine())
        ASSERT_TRUE(sim.waitForReadyRead(5000));
    const std::string slave = sim.readLine().trimmed().toStdString();
    mapDevices("COM1=" + slave + "\n");

    const Result r = send({"--port", "COM1", "--baud", "19200", "--parity", "even", "--data", "7",
                           "--stop", "2", "--flow", "xon"});
    EXPECT_EQ(r.status, 0) << r.errors;
    EXPECT_NE(r.output.find("39 bytes sent to COM1"), std::string::npos) << r.output;
    ASSERT_TRUE(sim.waitForFinished(30000));
    const QJsonObject report = readReport(simOut.path());
    EXPECT_TRUE(report["ok"].toBool());
    EXPECT_EQ(report["bytes"].toInt(), int(storeCommand.size()));
    expectFileKeptAndNoCopyLeft();
}

TEST_F(CliSend, APortThatCannotBeOpenedIsReportedAsAFailure) {
    mapDevices("COM2=" + path("no-such-tty") + "\n");
    Result r = send({"--port", "COM2"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.errors.find(" Check your port setting "), std::string::npos) << r.errors;
    expectFileKeptAndNoCopyLeft();

    // A missing file fails before any port is opened.
    r = runCli({"send", QString::fromStdString(path("gone.prn")), "--port", "COM2"},
               {"XDG_CONFIG_HOME=" + QString::fromStdString(path("config"))});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.errors.find("gone.prn"), std::string::npos) << r.errors;
}

// Only devices are ports: a map naming a plain file is refused, naming it, and the file is
// left as it was; only a plain file of printer-stream size is sent, and a device is refused
// at once instead of copied until the disk is full.
TEST_F(CliSend, PlainFilesAreNoPortsAndOnlyPlainFilesOfStreamSizeAreSent) {
    const std::vector<unsigned char> precious{'k', 'e', 'e', 'p'};
    std::ofstream(path("not-a-port"), std::ios::binary).write("keep", 4);
    mapDevices("LPT1=" + path("not-a-port") + "\nCOM1=" + path("not-a-port") + "\n");
    for (const char* port : {"LPT1", "COM1"}) {
        const Result r = send({"--port", port});
        EXPECT_EQ(r.status, 1) << port;
        EXPECT_NE(r.errors.find(path("not-a-port") + " is not a printer port"), std::string::npos)
            << r.errors;
        EXPECT_EQ(fileBytes(path("not-a-port")), precious);
        expectFileKeptAndNoCopyLeft();
    }

    const QStringList env{"XDG_CONFIG_HOME=" + QString::fromStdString(path("config")),
                          "TMPDIR=" + QString::fromStdString(path("tmp")),
                          "XDG_RUNTIME_DIR=" + QString::fromStdString(path("runtime"))};
    Result r = runCli({"send", "/dev/zero", "--port", "LPT1"}, env);
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.errors.find("/dev/zero is not a regular file"), std::string::npos) << r.errors;
    fs::resize_file(path("store.prn"), 17 * 1024 * 1024); // a sparse file: no disk needed
    r = runCli({"send", QString::fromStdString(path("store.prn")), "--port", "LPT1"}, env);
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.errors.find("larger than any printer stream"), std::string::npos) << r.errors;
    EXPECT_TRUE(fs::is_empty(path("tmp")));
}

TEST_F(CliSend, BadOptionsAreUsageErrors) {
    const QStringList cases[] = {
        {},
        {"--port", "COM9"},
        {"--port", "COM1", "--baud", "1200"},
        {"--port", "COM1", "--parity", "mark"},
        {"--port", "COM1", "--flow", "rts"},
        {"--port", "COM1", "second.prn"},
        {"--port"},
    };
    for (const QStringList& options : cases) {
        SCOPED_TRACE(options.join(' ').toStdString());
        const Result r = send(options);
        EXPECT_EQ(r.status, 2);
        EXPECT_NE(r.errors.find("usage: logosmith-cli send"), std::string::npos) << r.errors;
        expectFileKeptAndNoCopyLeft();
    }
}

TEST_F(CliSend, ReachesANetworkPrinterAndReportsAClosedPortWithinSeconds) {
    QTemporaryDir simOut;
    QProcess sim;
    sim.start(program("mrx310-sim"), {"--out", simOut.path(), "--expect", "store", "--tcp", "0"});
    ASSERT_TRUE(sim.waitForStarted(5000));
    while (!sim.canReadLine())
        ASSERT_TRUE(sim.waitForReadyRead(5000));
    const QString where = QString::fromLocal8Bit(sim.readLine()).trimmed();
    const QString address = "127.0.0.1:" + where.section(':', -1);

    Result r = send({"--port", "tcp://" + address});
    EXPECT_EQ(r.status, 0) << r.errors;
    EXPECT_NE(r.output.find("39 bytes sent to " + address.toStdString()), std::string::npos)
        << r.output;
    ASSERT_TRUE(sim.waitForFinished(30000));
    const QJsonObject report = readReport(simOut.path());
    EXPECT_TRUE(report["ok"].toBool());
    EXPECT_EQ(report["bytes"].toInt(), int(storeCommand.size()));
    expectFileKeptAndNoCopyLeft();

    // The simulator has gone: nothing listens there now.
    QElapsedTimer clock;
    clock.start();
    r = send({"--port", "tcp://" + address});
    EXPECT_LT(clock.elapsed(), 5000);
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.errors.find(" Check your port setting "), std::string::npos) << r.errors;
    EXPECT_NE(r.errors.find("refused the connection"), std::string::npos) << r.errors;
    EXPECT_EQ(send({"--port", "tcp://printer:99999"}).status, 2);
}

TEST(CliHelp, EverySubcommandAnswersHelpWithItsUsage) {
    for (const char* name : {"convert", "text", "store", "print", "send", "ports", "view"}) {
        SCOPED_TRACE(name);
        const Result r = runCli({name, "--help"});
        EXPECT_EQ(r.status, 0);
        EXPECT_EQ(r.output.rfind(std::string("usage: logosmith-cli ") + name, 0), 0u) << r.output;
    }
    // "ports" lists what this machine has, one tab-separated line each.
    const Result ports = runCli({"ports"});
    EXPECT_EQ(ports.status, 0) << ports.errors;
    std::istringstream lines(ports.output);
    for (std::string line; std::getline(lines, line);) {
        EXPECT_EQ(std::count(line.begin(), line.end(), '\t'), 3) << line;
        const std::string path = line.substr(line.find('\t', line.find('\t') + 1) + 1);
        if (line.find("\tqueue\t") == std::string::npos) {
            EXPECT_TRUE(fs::exists(path.substr(0, path.find('\t')))) << line;
        }
    }
}
