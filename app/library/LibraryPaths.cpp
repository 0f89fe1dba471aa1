#include "app/library/LibraryPaths.h"

#include "app/library/InstallLayout.h"
#include "platform/SettingsStore.h"
#include "platform/core/AtomicFile.h"
#include "platform/core/Error.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace logosmith {

namespace {

QString withTrailingSlash(const QString& folder) {
    return folder.endsWith('/') ? folder : folder + '/';
}

bool isWritableFolder(const QString& folder) {
    const QFileInfo info(folder);
    return info.isDir() && info.isWritable();
}

} // namespace

QString LibraryFileName(const QString& path) {
    const qsizetype cut =
        std::max({path.lastIndexOf('/'), path.lastIndexOf('\\'), path.lastIndexOf(':')});
    const QString name = path.mid(cut + 1);
    // Everything before the first dot; a name without any dot keeps nothing, so every such
    // picture shares the name ".bmp" (stored histories hold names made this way).
    const qsizetype dot = name.indexOf('.');
    return (dot >= 0 ? name.left(dot) : QString()) + QStringLiteral(".bmp");
}

QString resolveRootDir(SettingsStore& store, const QString& programFolder) {
    // An empty value names no folder: it would put the library at the file system's root.
    if (const auto stored = store.readText(QString(), QStringLiteral("RootDir"));
        stored && !stored->isEmpty())
        return *stored;

    QString root = withTrailingSlash(programFolder);
    // An installed program's folder is the system's even when it can be written (by root).
    if (!isWritableFolder(root) || isInstalledProgramFolder(root)) {
        const QString data = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
        if (data.isEmpty() || !QDir().mkpath(data) || !isWritableFolder(data))
            throw FileError("Cannot create the folder " + data.toStdString());
        root = withTrailingSlash(data);
    }
    store.writeText(QString(), QStringLiteral("RootDir"), root);
    store.sync();
    return root;
}

QString libraryFolder(const QString& rootDir) {
    return rootDir + QStringLiteral("/storeImage/");
}

bool ensureLibraryFolder(const QString& rootDir) {
    const QString folder = libraryFolder(rootDir);
    if (QFileInfo(folder).isDir())
        return true;
    // Only the library folder itself is created: a vanished program folder is reported by the
    // first file operation rather than silently rebuilt somewhere unexpected.
    if (!QFileInfo(rootDir).isDir())
        return false;
    return QDir().mkdir(folder) || QFileInfo(folder).isDir();
}

int removeStaleLibraryTemporaries(const QString& rootDir) {
    return removeStaleTemporaries(QFile::encodeName(libraryFolder(rootDir)).toStdString());
}

} // namespace logosmith
