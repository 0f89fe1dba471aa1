#pragma once

#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>
#include <gtest/gtest.h>

// The virtual printer in a process of its own, reading one stream from a pseudo-terminal,
// a TCP port or a file.
class SimProcess {
  public:
    static QString program() { return qEnvironmentVariable("LOGOSMITH_BIN_DIR") + "/mrx310-sim"; }

    // Starts it and waits for the first line it prints (the pty path, or "listening on ...").
    QString start(const QStringList& inputArguments) {
        process_.setProgram(program());
        process_.setArguments(QStringList{"--out", out_.path()} + inputArguments);
        process_.start();
        if (!process_.waitForStarted(10000))
            return {};
        while (!process_.canReadLine() && process_.waitForReadyRead(10000)) {
        }
        return QString::fromUtf8(process_.readLine()).trimmed();
    }

    // Runs it on a file to its end.
    bool runOnFile(const QString& file) {
        process_.start(program(), {"--out", out_.path(), file});
        return finish();
    }

    bool finish() {
        if (process_.state() != QProcess::NotRunning && !process_.waitForFinished(30000)) {
            process_.kill();
            return false;
        }
        return true;
    }

    QJsonObject report() const {
        QFile f(out_.path() + "/report.json");
        if (!f.open(QIODevice::ReadOnly))
            return {};
        return QJsonDocument::fromJson(f.readAll()).object();
    }
    QString outPath(const QString& name) const { return out_.path() + "/" + name; }

    ~SimProcess() {
        if (process_.state() != QProcess::NotRunning) {
            process_.kill();
            process_.waitForFinished(2000);
        }
    }

  private:
    QProcess process_;
    QTemporaryDir out_;
};
