#include "app/library/LibraryModel.h"

#include "app/library/TextLogoFiles.h"
#include "platform/SettingsStore.h"
#include "separation/controls/ColourControlsModel.h"

#include <exception>

namespace logosmith {

LibraryModel::LibraryModel(const QString& folder, ColourControlsModel& pictures)
    : pictures_(pictures), library_(folder) {}

void LibraryModel::commit() {
    library_.CommitCurrentImage(pictures_.finishedPreview(), pictures_.working());
}

LibraryModel::AddResult LibraryModel::add(const QString& path) {
    if (library_.IsInLibrary(path))
        return AddResult::Duplicate;
    if (ImageLibrary::isReservedName(path))
        return AddResult::ReservedName;
    pictures_.loadPicture(path.toStdString());
    library_.AddLibraryEntry(path);
    emit entriesChanged();
    return AddResult::Added;
}

std::optional<QString> LibraryModel::select(int row) {
    commit();
    const std::optional<LibrarySelection> selection = library_.selectionFor(row);
    if (!selection)
        return std::nullopt;
    pictures_.loadPicture(selection->fileToLoad.toStdString());
    library_.selectionLoaded(*selection);
    return selection->pathBoxText;
}

void LibraryModel::remove(int row) {
    const QString name =
        row >= 0 && row < library_.count() ? library_.entries()[row].name : QString();
    library_.deleteEntry(row, pictures_.finishedPreview(), pictures_.working());
    emit entriesChanged();
    if (!name.isEmpty())
        removeTextLogoSource(library_.folder(), name);
}

std::optional<QString> LibraryModel::replacePicture(int row, const Picture& picture) {
    library_.replacePicture(row, picture, pictures_.finishedPreview(), pictures_.working());
    return select(row);
}

void LibraryModel::restoreState(const State& state) {
    library_.restoreEntries(state.entries, state.lastImageLive);
    emit entriesChanged();
}

void LibraryModel::restoreHistory(const SettingsStore& store) {
    library_.RestoreHistory(store);
    emit entriesChanged();
}

void LibraryModel::closeDown(SettingsStore& store) {
    // The history is written even when the last picture cannot be: the entries already stored
    // come back at the next start whatever became of the last one.
    std::exception_ptr commitFailure;
    try {
        commit();
    } catch (...) {
        commitFailure = std::current_exception();
    }
    library_.SaveHistory(store);
    store.sync();
    if (commitFailure)
        std::rethrow_exception(commitFailure);
}

std::vector<std::uint8_t> LibraryModel::buildStoreCommand(Density density) {
    LoadLibraryImages(library_, storeSlots_, storeImageCount_);
    checkStorable(library_, storeSlots_, storeImageCount_);
    return BuildStoreCommand(storeSlots_, storeImageCount_, density);
}

} // namespace logosmith
