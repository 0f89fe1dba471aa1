#include "app/library/TextLogoFiles.h"

#include "app/library/ImageLibrary.h"
#include "platform/core/AtomicFile.h"
#include "platform/core/Error.h"
#include "separation/loader/PictureLoader.h"
#include "separation/picture/BmpFile.h"

#include <QFile>
#include <QFileInfo>

namespace logosmith {

namespace {

QString stem(const QString& entryName) {
    return entryName.endsWith(QStringLiteral(".bmp"), Qt::CaseInsensitive) ? entryName.chopped(4)
                                                                           : entryName;
}

std::string settingsPath(const QString& folder, const QString& entryName) {
    return QFile::encodeName(folder + stem(entryName) + QStringLiteral(".logotext")).toStdString();
}

std::string picturePath(const QString& folder, const QString& entryName) {
    return QFile::encodeName(folder + stem(entryName) + QStringLiteral(".logotext.bmp"))
        .toStdString();
}

// The settings file is small; anything much larger was not written by this program.
constexpr qint64 maxSettingsFileBytes = 64 * 1024;

} // namespace

void saveTextLogoSource(const QString& folder, const QString& entryName,
                        const TextLogoSource& source) {
    if (source.picture)
        writeFileAtomically(picturePath(folder, entryName), encodeBmp24(*source.picture));
    else
        deleteFileIfExists(picturePath(folder, entryName));
    writeFileAtomically(settingsPath(folder, entryName), textLogoFileBytes(source.settings));
}

bool hasTextLogoSource(const QString& folder, const QString& entryName) {
    return fileExists(settingsPath(folder, entryName));
}

std::optional<TextLogoSource> loadTextLogoSource(const QString& folder, const QString& entryName) {
    const std::string path = settingsPath(folder, entryName);
    if (!fileExists(path))
        return std::nullopt;
    if (QFileInfo(QFile::decodeName(path.c_str())).size() > maxSettingsFileBytes)
        throw DecodeError("The text logo's settings are damaged: the file is larger than 64 KB");
    const std::vector<std::uint8_t> bytes = readWholeFile(path);
    TextLogoSource source{readTextLogoFile(bytes.data(), bytes.size()), std::nullopt};
    if (source.settings.placement != TextLogoSettings::Placement::TextOnly &&
        fileExists(picturePath(folder, entryName)))
        source.picture = decodePictureFile(picturePath(folder, entryName));
    return source;
}

void removeTextLogoSource(const QString& folder, const QString& entryName) {
    deleteFileIfExists(settingsPath(folder, entryName));
    deleteFileIfExists(picturePath(folder, entryName));
}

std::optional<QString> textLogoEntryName(const QString& name) {
    if (name.isEmpty() || name.contains('.') || name.contains('/') || name.contains('\\') ||
        name.contains(':') || name.contains(QChar(0)))
        return std::nullopt;
    const QString entry = name + QStringLiteral(".bmp");
    if (!isSafeLibraryName(entry))
        return std::nullopt;
    return entry;
}

} // namespace logosmith
