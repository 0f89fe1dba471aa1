#pragma once

#include "app/library/LibraryModel.h"
#include "app/undo/FileMemento.h"
#include "separation/controls/ColourControlsModel.h"

#include <QObject>
#include <QUndoStack>
#include <exception>
#include <functional>

namespace logosmith {

// What a library step changes, told by the step as it goes: the files it is about to change
// (kept as they are before), and whether there was a step at all.
class LibraryStepRecorder {
  public:
    explicit LibraryStepRecorder(QString folder) : folder_(std::move(folder)) {}
    // A file of the library folder (or any other) the step is about to change.
    void touch(const QString& path) { files_.keep(path); }
    // The files a commit of the last entry writes.
    void touchCommit(const LibraryModel& library);
    // The entry's stored file and what a text logo keeps beside it.
    void touchEntry(const QString& entryName);
    // The step happened and is to be kept (a cancelled or refused one is not).
    void keep() { kept_ = true; }

    const FileMemento& files() const { return files_; }
    bool kept() const { return kept_; }

  private:
    QString folder_;
    FileMemento files_;
    bool kept_ = false;
};

// The run's undo history: every change of the colour controls (a slider drag one step), fitting
// and resizing, the dithering mode, and adding and deleting library pictures. Undo puts back the
// pictures, the list and the library's files exactly as they were. Showing another picture
// (a click on another entry, the editor's return) starts the history afresh: a step of one
// picture must never be put back over another.
class UndoHistory : public QObject {
    Q_OBJECT
  public:
    UndoHistory(ColourControlsModel& pictures, LibraryModel& library, QObject* parent = nullptr);
    ~UndoHistory() override;

    QUndoStack& stack() { return stack_; }

    // Throw what a step met (a file that cannot be written back) once the history has moved.
    void undo();
    void redo();

    // Runs a library step and records it: `action` names the files it changes before changing
    // them, and calls keep() when the step happened. What it throws goes on, recording nothing.
    void recordLibraryStep(const QString& text,
                           const std::function<void(LibraryStepRecorder&)>& action);

    // For the steps: put back what they kept, the history standing still meanwhile.
    void putBack(const std::function<void()>& restore);

  private:
    void colourStep(const ColourControlsSnapshot& before, const ColourControlsSnapshot& after,
                    bool continuing);
    void rethrowFailure();

    ColourControlsModel& pictures_;
    LibraryModel& library_;
    QUndoStack stack_;
    bool busy_ = false; // a step is being recorded or put back
    int drag_ = 0;      // counts held sliders, so one drag's moves merge
    bool dragging_ = false;
    std::exception_ptr failure_;
};

} // namespace logosmith
