#include "tests/support/PrinterTestSupport.h"

#include "platform/SettingsStore.h"
#include "transport/TransferWorker.h"

#include <QApplication>
#include <QComboBox>
#include <QCryptographicHash>
#include <QEventLoop>
#include <QFile>
#include <QJsonDocument>
#include <QProcessEnvironment>
#include <QTimer>
#include <fcntl.h>
#include <stdexcept>
#include <unistd.h>

namespace logosmith::testing {

namespace {

QString binDir() {
    const QString dir = qEnvironmentVariable("LOGOSMITH_BIN_DIR");
    return dir.isEmpty() ? QStringLiteral(".") : dir;
}

QString sourceDir() {
    return qEnvironmentVariable("LOGOSMITH_SOURCE_DIR");
}

// Runs a command to its end; answers its output, or sets `failed`.
QString run(const QString& program, const QStringList& arguments, bool& failed) {
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    failed = !process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit ||
             process.exitCode() != 0;
    return QString::fromLocal8Bit(process.readAll());
}

} // namespace

Simulator::Simulator(Expect expect, const QString& input, const QStringList& options) {
    const char* const expectNames[] = {"store", "print", "align", "firmware"};
    QStringList arguments{"--out", out_.path(), "--expect", expectNames[int(expect)]};
    arguments << options;
    if (input == "tcp")
        arguments << "--tcp"
                  << "0";
    else if (input == "pty")
        arguments << "--pty";
    else
        arguments << input; // a file: read to its end, nothing to wait for
    process_.start(binDir() + "/mrx310-sim", arguments);
    if (!process_.waitForStarted(5000))
        throw std::runtime_error("mrx310-sim did not start");
    if (input != "tcp" && input != "pty")
        return;
    while (!process_.canReadLine())
        if (!process_.waitForReadyRead(5000))
            throw std::runtime_error("mrx310-sim said nothing");
    where_ = QString::fromLocal8Bit(process_.readLine()).trimmed();
}

Simulator::~Simulator() {
    if (process_.state() != QProcess::NotRunning) {
        process_.kill();
        process_.waitForFinished(5000);
    }
}

int Simulator::tcpPort() const {
    return where_.section(':', -1).toInt();
}

QJsonObject Simulator::report(int timeoutMs) {
    // The dialogs let events through while they send, so the simulator's end may be known.
    if (process_.state() != QProcess::NotRunning && !process_.waitForFinished(timeoutMs))
        return {};
    QFile file(out_.path() + "/report.json");
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QJsonDocument::fromJson(file.readAll()).object();
}

PrivateSpooler::PrivateSpooler() {
    // lpadmin and cupsaccept live in sbin, which ordinary users often lack on PATH.
    qputenv("PATH", "/usr/sbin:/sbin:" + qgetenv("PATH"));
    bool failed = false;
    const QString script = sourceDir() + "/tests/integration/private-cupsd.sh";
    const QString output = run("bash", {script, "start", dir_.path()}, failed);
    if (failed) {
        problem_ = output.isEmpty() ? QStringLiteral("cupsd did not start") : output;
        return;
    }
    // Every client in this process, and the lpadmin calls below, talk to this scheduler only.
    qputenv("CUPS_SERVER", socketPath().toLocal8Bit());
    qputenv("CUPS_SERVERROOT", dir_.path().toLocal8Bit());
    qunsetenv("LPDEST");
    qunsetenv("PRINTER");
}

PrivateSpooler::~PrivateSpooler() {
    bool failed = false;
    run("bash", {sourceDir() + "/tests/integration/private-cupsd.sh", "stop", dir_.path()}, failed);
}

bool PrivateSpooler::makeDefaultQueue(const QString& name, int port) {
    bool failed = false;
    run("lpadmin", {"-p", name, "-E", "-v", QString("socket://127.0.0.1:%1").arg(port)}, failed);
    if (failed)
        return false;
    run("lpadmin", {"-d", name}, failed);
    return !failed;
}

bool PrivateSpooler::removeQueue(const QString& name) {
    bool failed = false;
    run("lpadmin", {"-x", name}, failed);
    return !failed;
}

namespace {

// The running program's port list, found by name; none in a test of a single dialog.
QComboBox* programPortList() {
    for (QWidget* window : QApplication::topLevelWidgets())
        if (window->objectName() == QLatin1String("PortForm"))
            return window->findChild<QComboBox*>("PortCombo");
    return nullptr;
}

} // namespace

PortSettingsModel& testPortSettings() {
    static PortSettingsModel* settings = new PortSettingsModel(logosmith::settingsStore());
    return *settings;
}

SendingParts::SendingParts()
    : sender(transfers, testPortSettings(),
             QFile::encodeName(dir.filePath("tlsdlek.prn")).toStdString()) {}

QString SendingParts::scratchFile() const {
    return QString::fromStdString(sender.scratchFile());
}

void choosePort(int index) {
    if (QComboBox* list = programPortList())
        list->setCurrentIndex(index);
    else
        testPortSettings().choose(PortSettingsModel::Port, index);
}

void chooseCom1(const QString& devicePath) {
    logosmith::settingsStore().writeText("devices", "COM1", devicePath);
    logosmith::settingsStore().sync();
    choosePort(2);
}

bool waitForTransfer(TransferWorker& worker, int timeoutMs) {
    if (!worker.isBusy())
        return true;
    QEventLoop loop;
    QObject::connect(&worker, &TransferWorker::busyChanged, &loop, [&loop](bool busy) {
        // The loop ends once the whole end has been handled, listener included.
        if (!busy)
            loop.quit();
    });
    QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
    loop.exec();
    return !worker.isBusy();
}

QString fileSha256(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QCryptographicHash hash(QCryptographicHash::Sha256);
    hash.addData(&file);
    return QString::fromLatin1(hash.result().toHex());
}

void writePatternFile(const QString& path, qint64 size) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw std::runtime_error("cannot write the firmware file");
    QByteArray block(64 * 1024, Qt::Uninitialized);
    quint32 state = 12345;
    for (qint64 left = size; left > 0;) {
        for (char& byte : block) {
            state = state * 1103515245u + 12345u;
            byte = char(state >> 16);
        }
        const qint64 now = qMin<qint64>(left, block.size());
        if (file.write(block.constData(), now) != now)
            throw std::runtime_error("cannot write the firmware file");
        left -= now;
    }
}

} // namespace logosmith::testing
