#include "app/library/ImageLibrary.h"

#include "platform/SettingsStore.h"
#include "platform/core/AtomicFile.h"
#include "platform/core/Error.h"
#include "separation/picture/BmpFile.h"
#include "separation/picture/Picture.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>

namespace logosmith {

namespace {

const QString historyGroup = QStringLiteral("history");

std::string localPath(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

bool sameName(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

} // namespace

bool isSafeLibraryName(const QString& name) {
    if (name.isEmpty() || name.contains('/') || name.contains('\\') ||
        name.contains(QStringLiteral("..")) || name.contains(QChar(0)))
        return false;
    if (sameName(name, tempImageName))
        return false;
    return name.endsWith(QStringLiteral(".bmp"));
}

ImageLibrary::ImageLibrary(QString folder) : folder_(std::move(folder)) {}

QString ImageLibrary::storedFilePath(int index) const {
    if (index < 0 || index >= count())
        throw Error("There is no library entry number " + std::to_string(index + 1));
    return folder_ + entries_[index].name;
}

std::optional<int> ImageLibrary::findDuplicate(const QString& path) const {
    const QString name = LibraryFileName(path);
    for (int i = 0; i < count(); ++i)
        if (sameName(entries_[i].name, name))
            return i;
    return std::nullopt;
}

bool ImageLibrary::isReservedName(const QString& path) {
    return sameName(LibraryFileName(path), tempImageName);
}

void ImageLibrary::AddLibraryEntry(const QString& sourcePath) {
    try {
        if (isFull())
            throw Error(libraryFullMessage.toStdString());
        if (isReservedName(sourcePath))
            throw Error(reservedNameMessage.toStdString());
        if (IsInLibrary(sourcePath))
            throw Error(duplicateImageMessage.toStdString());
        const QFileInfo source(sourcePath);
        if (!source.isFile())
            throw FileError("Cannot read " + sourcePath.toStdString());
        entries_.append(LibraryEntry{QString::number(count() + 1), LibraryFileName(sourcePath),
                                     QString::number(source.size())});
        lastImageLive_ = true;
    } catch (...) {
        lastImageLive_ = false;
        throw;
    }
}

void ImageLibrary::writePicture(const Picture& picture, const QString& path) const {
    writeFileAtomically(localPath(path), encodeBmp24(picture));
}

void ImageLibrary::CommitCurrentImage(const Picture& preview, const Picture& working) {
    if (!lastImageLive_ || isEmpty())
        return;
    // An empty picture here is a fault of the caller; writing it would destroy a good file.
    if (preview.isEmpty() || working.isEmpty())
        throw Error("There is no picture to store in the library");
    writePicture(preview, storedFilePath(lastIndex()));
    writePicture(working, tempImagePath());
}

std::optional<LibrarySelection> ImageLibrary::selectionFor(int index) const {
    if (index < 0 || index >= count())
        return std::nullopt;
    const QString stored = storedFilePath(index);
    if (!fileExists(localPath(stored)))
        return std::nullopt;
    const QString pathBox = QStringLiteral("/storeImage/") + entries_[index].name;
    if (index == lastIndex() && fileExists(localPath(tempImagePath())))
        return LibrarySelection{tempImagePath(), true, pathBox};
    return LibrarySelection{stored, false, pathBox};
}

void ImageLibrary::selectionLoaded(const LibrarySelection& selection) {
    lastImageLive_ = selection.liveAfterLoad;
}

void ImageLibrary::deleteEntry(int index, const Picture& preview, const Picture& working) {
    const QString stored = storedFilePath(index);
    const bool isLast = index == lastIndex();
    // The live last entry may not have been written yet; without this commit its picture
    // would be gone once the selection moves to it.
    if (!isLast)
        CommitCurrentImage(preview, working);
    deleteFileIfExists(localPath(stored));
    if (isLast)
        deleteFileIfExists(localPath(tempImagePath()));
    entries_.removeAt(index);
    lastImageLive_ = false;
    for (int i = index; i < count(); ++i)
        entries_[i].number = QString::number(i + 1);
}

void ImageLibrary::replacePicture(int index, const Picture& picture, const Picture& preview,
                                  const Picture& working) {
    if (index < 0 || index >= count() || picture.isEmpty())
        throw Error("There is no picture to store in the library");
    CommitCurrentImage(preview, working);
    writePicture(picture, storedFilePath(index));
    if (index == lastIndex())
        writePicture(picture, tempImagePath());
    lastImageLive_ = false;
}

void ImageLibrary::RestoreHistory(const SettingsStore& store) {
    if (!store.groupExists(historyGroup))
        return;
    entries_.clear();
    lastImageLive_ = false;
    for (int k = 1; k <= capacity; ++k) {
        const QString slot = QString::number(k);
        const std::optional<QString> name = store.readText(historyGroup, "n" + slot);
        if (!name)
            break;
        if (name->isEmpty())
            continue;
        // A hand-edited or foreign history must not lead the library outside its folder, onto
        // its scratch file, or to a second entry sharing one stored file.
        const bool taken =
            std::any_of(entries_.begin(), entries_.end(),
                        [&](const LibraryEntry& e) { return sameName(e.name, *name); });
        if (!isSafeLibraryName(*name) || taken)
            continue;
        if (!fileExists(localPath(folder_ + *name)))
            continue;
        entries_.append(
            LibraryEntry{slot, *name, store.readText(historyGroup, "s" + slot, QString())});
    }
}

void ImageLibrary::SaveHistory(SettingsStore& store) const {
    for (int k = 1; k <= capacity; ++k) {
        const QString slot = QString::number(k);
        const bool used = k <= count();
        store.writeText(historyGroup, "n" + slot, used ? entries_[k - 1].name : QString());
        store.writeText(historyGroup, "s" + slot, used ? entries_[k - 1].size : QString());
    }
    store.sync();
}

} // namespace logosmith
