#pragma once

// Pieces shared by the printer tests: the printer simulator as a real program at a
// pseudo-terminal or TCP port, a private spooler, and the port choice.

#include "transport/CommandSender.h"
#include "transport/PortSettingsModel.h"
#include "transport/PrintMethodModel.h"
#include "transport/TransferWorker.h"

#include <QJsonObject>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <cstdint>
#include <vector>

namespace logosmith::testing {

// The one document a simulator demands (its --expect): anything else in the stream fails it.
enum class Expect { store, print, align, firmware };

// mrx310-sim reading one transfer; its report is read once the sender has let go.
class Simulator {
  public:
    // input: "pty", "tcp" or the path of a file to read; options are added to the command
    // line (e.g. "--xoff-after", "1024" to pause the sender).
    Simulator(Expect expect, const QString& input, const QStringList& options = {});
    ~Simulator();
    Simulator(const Simulator&) = delete;
    Simulator& operator=(const Simulator&) = delete;

    // The slave path of a pty simulator.
    QString slavePath() const { return where_; }
    // The port a TCP simulator listens on.
    int tcpPort() const;
    // Waits for the simulator to end and reads report.json; empty when it did not end in time.
    QJsonObject report(int timeoutMs = 30000);
    // A file the simulator wrote ("paper.png", "logo-1.png").
    QString outPath(const QString& name) const { return out_.path() + "/" + name; }

  private:
    QTemporaryDir out_;
    QProcess process_;
    QString where_;
};

// A throw-away CUPS scheduler whose default queue leads to a TCP port: the one every test that
// needs a spooler starts.
class PrivateSpooler {
  public:
    PrivateSpooler();
    ~PrivateSpooler();
    PrivateSpooler(const PrivateSpooler&) = delete;
    PrivateSpooler& operator=(const PrivateSpooler&) = delete;

    // Empty when the scheduler is running; otherwise why it could not start.
    const QString& problem() const { return problem_; }
    // Makes a raw queue to 127.0.0.1:port the default printer.
    bool makeDefaultQueue(const QString& name, int port);
    // Removes every queue, so that there is no default printer.
    bool removeQueue(const QString& name);
    // The scheduler's socket, which CUPS_SERVER names while it runs.
    QString socketPath() const { return dir_.path() + "/cups.sock"; }

  private:
    QTemporaryDir dir_;
    QString problem_;
};

// The port settings of a test of one dialog, over the settings file every test shares.
logosmith::PortSettingsModel& testPortSettings();

// What a maintenance dialog sends through, as the session makes it: the test's port settings,
// the print method, a worker and a command sender whose scratch file is in a folder of its own.
struct SendingParts {
    SendingParts();
    QString scratchFile() const;

    logosmith::PrintMethodModel method;
    logosmith::TransferWorker transfers;
    QTemporaryDir dir;
    logosmith::CommandSender sender;
};

// Points "COM1" at a device path and chooses it: in the running program's port dialog, or in
// the test's port settings.
void chooseCom1(const QString& devicePath);
// Chooses the port list's entry by index (-1: nothing chosen, 6: "U S B").
void choosePort(int index);

// Runs the event loop until the worker's transfer has ended and its end has been told (at once
// when none runs). False when it was still running after the time-out.
bool waitForTransfer(TransferWorker& worker, int timeoutMs = 60000);

// The SHA-256 of a file, as lower-case hex.
QString fileSha256(const QString& path);
// Writes a file of `size` bytes that change from position to position, without holding it.
void writePatternFile(const QString& path, qint64 size);

} // namespace logosmith::testing
