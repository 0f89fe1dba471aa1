#pragma once

#include "app/library/ImageLibrary.h"
#include "app/library/StoreCommandFile.h"
#include "printdata/Density.h"

#include <QObject>
#include <cstdint>
#include <optional>
#include <vector>

namespace logosmith {

class ColourControlsModel;
class SettingsStore;

// The image library as the main window's commands use it: the entries with their files and
// history, the current picture that a commit writes over the last entry (the colour-controls
// model, which also loads what an entry shows), and the logo slots a store reads. The window
// asks the person and shows the messages; the rest is here.
class LibraryModel : public QObject {
    Q_OBJECT
  public:
    // folder: the library folder, ending with "/" (see libraryFolder).
    LibraryModel(const QString& folder, ColourControlsModel& pictures);

    const ImageLibrary& library() const { return library_; }
    const QList<LibraryEntry>& entries() const { return library_.entries(); }
    bool isEmpty() const { return library_.isEmpty(); }
    bool isFull() const { return library_.isFull(); }
    bool LastImageLive() const { return library_.LastImageLive(); }
    // How many library images the store command covers (1 until the first store).
    int storeImageCount() const { return storeImageCount_; }

    // CommitCurrentImage: while the shown picture is the live last entry, its preview and
    // working picture are written as that entry's files. Throws FileError.
    void commit();

    enum class AddResult { Added, Duplicate, ReservedName };
    // "Add Image" once the person has chosen a picture file: a name already in the library or
    // the scratch file's name is refused; otherwise the picture is loaded and becomes the new
    // last entry. Throws what the load throws, and then adds nothing.
    AddResult add(const QString& path);
    // A click on entry `row`: commits, then loads the entry's picture (the last entry from its
    // scratch source when there is one). Answers the path box's text, or nothing when the entry's
    // stored file has gone, in which case nothing is loaded.
    std::optional<QString> select(int row);
    // "Delete Image" on entry `row` (no commit of the last entry first unless another entry
    // goes; see ImageLibrary::deleteEntry). What a text logo keeps beside its file goes too.
    void remove(int row);
    // Entry `row` made again (a text logo edited): its new picture written and shown as a click
    // on the entry shows it. Answers the path box's text.
    std::optional<QString> replacePicture(int row, const Picture& picture);

    // The list as an undo step keeps it, and puts it back (the files are the step's).
    struct State {
        QList<LibraryEntry> entries;
        bool lastImageLive = false;
    };
    State state() const { return {library_.entries(), library_.LastImageLive()}; }
    void restoreState(const State& state);

    // The history: restored at start-up; written at the close-down after the commit, even
    // when the commit fails (the first failure is thrown afterwards).
    void restoreHistory(const SettingsStore& store);
    void closeDown(SettingsStore& store);

    // The store command for the library as it is on disk, built whole; refused (Error) when
    // the library cannot be stored as it is: no picture at all, a stored file missing, a logo
    // too large for the stream.
    std::vector<std::uint8_t> buildStoreCommand(Density density);

  signals:
    // Entries were added, removed or restored.
    void entriesChanged();

  private:
    ColourControlsModel& pictures_;
    ImageLibrary library_;
    LibrarySlots storeSlots_;
    int storeImageCount_ = 1;
};

} // namespace logosmith
