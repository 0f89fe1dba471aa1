#pragma once

#include "app/library/LibraryPaths.h"

#include <QList>
#include <QString>
#include <optional>

namespace logosmith {

class Picture;
class SettingsStore;

// One row of the library list: "n", "name", "size", all as shown.
struct LibraryEntry {
    QString number;
    QString name;
    QString size;

    friend bool operator==(const LibraryEntry&, const LibraryEntry&) = default;
};

// The messages the main window shows for the library's refusals.
inline const QString libraryFullMessage =
    QStringLiteral(" The limit of 10 Images has been reached. You cannot add another image ");
inline const QString duplicateImageMessage = QStringLiteral("This Image is already added.");
inline const QString selectItemMessage = QStringLiteral("Please Select the Item.");
inline const QString reservedNameMessage =
    QStringLiteral("A picture named \"tempImage\" cannot be added: the library uses that name "
                   "for its own scratch file. Please rename the picture and add it again.");

// What a click on a library row loads: the file to hand to the picture loader, the value
// LastImageLive takes once that load has succeeded, and the text for the path box.
struct LibrarySelection {
    QString fileToLoad;
    bool liveAfterLoad = false;
    QString pathBoxText;
};

// The image library: up to 10 entries mirrored in the library folder (one BMP per entry plus
// the last entry's source in "tempImage.bmp") and in the settings group "history".
//
// Names are compared without regard to letter case. The library folder may sit on a file
// system that ignores case, where "Logo.bmp" and "logo.bmp" are one file; refusing such pairs
// everywhere means no entry's stored file can ever be overwritten by another entry.
class ImageLibrary {
  public:
    static constexpr int capacity = 10;

    // folder: the library folder, ending with "/" (see libraryFolder).
    explicit ImageLibrary(QString folder);

    const QString& folder() const { return folder_; }
    const QList<LibraryEntry>& entries() const { return entries_; }
    int count() const { return int(entries_.size()); }
    bool isEmpty() const { return entries_.isEmpty(); }
    bool isFull() const { return count() >= capacity; }
    // The last entry's index, or -1 when the library is empty.
    int lastIndex() const { return count() - 1; }

    // True while the displayed picture is the last entry's and can be converted again from
    // "tempImage.bmp"; the next CommitCurrentImage then rewrites its files.
    bool LastImageLive() const { return lastImageLive_; }

    // The stored file of an entry: folder + name. Throws Error for an index out of range.
    QString storedFilePath(int index) const;
    QString tempImagePath() const { return folder_ + tempImageName; }

    // The index of the entry whose name equals LibraryFileName(path), ignoring case.
    std::optional<int> findDuplicate(const QString& path) const;
    bool IsInLibrary(const QString& path) const { return findDuplicate(path).has_value(); }
    // A picture whose library name would be "tempImage.bmp" (any case) is refused.
    static bool isReservedName(const QString& path);

    // Appends the entry for a freshly loaded picture (number = count + 1, name =
    // LibraryFileName, size = the source file's length in bytes) and sets LastImageLive. Nothing
    // is written to the folder until the next CommitCurrentImage. Throws Error when the library
    // is full or the name is taken or reserved, FileError when the source cannot be measured;
    // on any failure LastImageLive becomes false, because the displayed picture then belongs to
    // no entry and must not be committed over the previous last entry.
    void AddLibraryEntry(const QString& sourcePath);

    // When LastImageLive: writes preview as the last entry's stored file and working as
    // "tempImage.bmp", each atomically (the old file stays whole until the new one replaces
    // it). Otherwise does nothing. Throws FileError; LastImageLive keeps its value.
    void CommitCurrentImage(const Picture& preview, const Picture& working);

    // What selecting entry index loads (call after CommitCurrentImage). Nothing (nullopt) when
    // the index is invalid or the stored file is missing. The last entry loads "tempImage.bmp"
    // when that file is there.
    std::optional<LibrarySelection> selectionFor(int index) const;
    // Records a selection whose picture has been loaded.
    void selectionLoaded(const LibrarySelection& selection);

    // Deletes entry index: its stored file, "tempImage.bmp" when it is the last entry, the row;
    // renumbers the entries behind it; LastImageLive becomes false. When another entry is
    // deleted while the last one is live, the last one is committed first (preview, working)
    // so its picture survives. The window selects the last entry afterwards.
    // Throws FileError when a file cannot be written or deleted (the row then stays).
    void deleteEntry(int index, const Picture& preview, const Picture& working);
    // A new picture for entry index (a text logo made again): the live last entry committed
    // first, then the picture written as the entry's stored file and, for the last entry, as
    // its source too. LastImageLive is false afterwards, so nothing of the picture shown before
    // is written over it; select the entry to show it. Throws FileError.
    void replacePicture(int index, const Picture& picture, const Picture& preview,
                        const Picture& working);

    // Rebuilds the list from the group "history": "n1".."n10"; a missing value ends the list, an
    // empty one is skipped, as are names whose file is not in the folder and names that could
    // reach outside it or onto the scratch file. "n" is the slot number. A missing group leaves
    // the list as it is. LastImageLive becomes false.
    void RestoreHistory(const SettingsStore& store);
    // The entries and LastImageLive put back as they were (an undo); the files are the caller's.
    void restoreEntries(const QList<LibraryEntry>& entries, bool lastImageLive) {
        entries_ = entries;
        lastImageLive_ = lastImageLive;
    }
    // Writes every entry to consecutive slots and empty text to the remaining slots up to 10.
    void SaveHistory(SettingsStore& store) const;

  private:
    void writePicture(const Picture& picture, const QString& path) const;

    QString folder_;
    QList<LibraryEntry> entries_;
    bool lastImageLive_ = false;
};

// A history name that stays inside the library folder and is not the scratch file.
bool isSafeLibraryName(const QString& name);

} // namespace logosmith
