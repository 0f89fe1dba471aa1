#pragma once

#include <QString>
#include <memory>

namespace logosmith {

class ColourControlsModel;
class LibraryModel;
class SettingsStore;

// The library as the program opens it at start-up: the program folder fixed (rootDir, the
// stored "RootDir" or the program's own folder), the library folder made and cleared of what a
// crash left, and the history restored. A step that fails on outside data (the settings, the
// folders) is reported and start-up goes on with what could be read.
std::unique_ptr<LibraryModel> openLibrary(SettingsStore& store, const QString& programFolder,
                                          ColourControlsModel& pictures, QString& rootDir);

} // namespace logosmith
