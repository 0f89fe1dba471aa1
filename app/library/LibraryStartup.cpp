#include "app/library/LibraryStartup.h"

#include "app/library/LibraryModel.h"
#include "app/library/LibraryPaths.h"
#include "platform/ErrorGuard.h"

namespace logosmith {

std::unique_ptr<LibraryModel> openLibrary(SettingsStore& store, const QString& programFolder,
                                          ColourControlsModel& pictures, QString& rootDir) {
    rootDir.clear();
    guarded([&] { rootDir = resolveRootDir(store, programFolder); });
    if (rootDir.isEmpty())
        rootDir = programFolder;
    // Only the library folder is created, and only inside a program folder that exists: a
    // stored folder on a missing disk shows its failure at the first file operation.
    ensureLibraryFolder(rootDir);
    // What a crash between writing and renaming left behind in the library folder.
    guarded([&] { removeStaleLibraryTemporaries(rootDir); });
    auto library = std::make_unique<LibraryModel>(libraryFolder(rootDir), pictures);
    guarded([&] { library->restoreHistory(store); });
    return library;
}

} // namespace logosmith
