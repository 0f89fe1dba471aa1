#pragma once

#include <QString>

namespace logosmith {

class SettingsStore;

// The scratch copy of the last entry's source picture inside the library folder.
inline const QString tempImageName = QStringLiteral("tempImage.bmp");

// The library's name for a picture file: the file-name part of the path (after the last "/",
// "\" or ":"), cut before its first "." and ".bmp" appended; letter case unchanged.
// "C:\pics\shop.logo.gif" gives "shop.bmp"; a name without any dot gives just ".bmp".
QString LibraryFileName(const QString& path);

// The program folder every working path is built from, ending with "/". A stored "RootDir" is
// used unchanged. Otherwise programFolder is taken, or, when that folder cannot be written or
// holds an installed program, the per-user data folder (created); the choice is stored as
// "RootDir".
// Throws FileError when no usable folder exists, SettingsError when it cannot be stored.
QString resolveRootDir(SettingsStore& store, const QString& programFolder);

// rootDir + "/storeImage/"; paths are plain concatenations, a doubled "/" is harmless.
QString libraryFolder(const QString& rootDir);

// Creates the library folder inside rootDir when it is missing. Answers whether the folder is
// there afterwards; when it is not, the first file operation reports the failure.
bool ensureLibraryFolder(const QString& rootDir);

// Removes what a program killed while writing a library file left in the library folder (see
// removeStaleTemporaries); nothing else there is touched. Answers how many went.
int removeStaleLibraryTemporaries(const QString& rootDir);

} // namespace logosmith
