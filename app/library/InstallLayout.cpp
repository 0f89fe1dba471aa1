#include "app/library/InstallLayout.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace logosmith {

namespace {

const QString helpPageName = QStringLiteral("help.html");

QString withTrailingSlash(const QString& folder) {
    return folder.endsWith('/') ? folder : folder + '/';
}

} // namespace

QString programFolder() {
    return withTrailingSlash(QCoreApplication::applicationDirPath());
}

QString installedDocFolder(const QString& programFolder) {
    // LOGOSMITH_DOC_FROM_BIN: the documentation folder relative to the program's, from the
    // install rules, so a package installed under any prefix finds its pages.
    return withTrailingSlash(
        QDir::cleanPath(withTrailingSlash(programFolder) + QStringLiteral(LOGOSMITH_DOC_FROM_BIN)));
}

bool isInstalledProgramFolder(const QString& programFolder) {
    return QFileInfo::exists(installedDocFolder(programFolder) + helpPageName);
}

QString helpPagePath(const QString& rootDir, const QString& programFolder) {
    const QString page = rootDir + QStringLiteral("help.htm");
    if (QFileInfo::exists(page) || QFileInfo::exists(page + 'l'))
        return QFileInfo::exists(page) ? page : page + 'l';
    // An installed program keeps its library in the data folder and its pages with its
    // documents.
    const QString installed = installedDocFolder(programFolder) + helpPageName;
    return QFileInfo::exists(installed) ? installed : page + 'l';
}

} // namespace logosmith
