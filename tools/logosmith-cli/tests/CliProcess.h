#pragma once

// Runs the built programs (logosmith-cli, mrx310-sim) as real processes for the CLI tests.

#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace logosmith::clitest {

struct Result {
    int status = -1;
    std::string output;
    std::string errors;
};

inline QString program(const char* name) {
    const char* bin = std::getenv("LOGOSMITH_BIN_DIR");
    return QString::fromUtf8(bin ? bin : ".") + "/" + name;
}

// Runs logosmith-cli with the arguments; extra environment entries are NAME=VALUE.
inline Result runCli(const QStringList& arguments, const QStringList& environment = {}) {
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const QString& entry : environment)
        env.insert(entry.section('=', 0, 0), entry.section('=', 1));
    process.setProcessEnvironment(env);
    process.start(program("logosmith-cli"), arguments);
    process.waitForFinished(60000);
    Result r;
    r.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    r.output = process.readAllStandardOutput().toStdString();
    r.errors = process.readAllStandardError().toStdString();
    return r;
}

inline std::vector<unsigned char> fileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline QJsonObject readReport(const QString& dir) {
    std::ifstream in((dir + "/report.json").toStdString());
    const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    return QJsonDocument::fromJson(QByteArray::fromStdString(text)).object();
}

} // namespace logosmith::clitest
