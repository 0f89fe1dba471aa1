#include "app/windows/EditorHandoff.h"

#include <QDir>
#include <QProcess>
#include <QStandardPaths>

QString defaultEditorCommand() {
    for (const char* editor : {"gimp", "kolourpaint", "pinta"})
        if (!QStandardPaths::findExecutable(editor).isEmpty())
            return editor;
    return "xdg-open";
}

QString editorExchangeFile() {
    QString folder = QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
    if (folder.isEmpty())
        folder = QDir::homePath() + "/.cache/logosmith";
    QDir().mkpath(folder);
    return folder + "/korvantMRX310.bmp";
}

bool startEditor(const QString& command, const QString& exchangeFile) {
    QStringList arguments = QProcess::splitCommand(command);
    if (arguments.isEmpty())
        return false;
    const QString program = arguments.takeFirst();
    arguments << exchangeFile;
    return QProcess::startDetached(program, arguments);
}
