#include "app/undo/UndoHistory.h"

#include "app/library/TextLogoFiles.h"

#include <QUndoCommand>

namespace logosmith {

namespace {

constexpr int colourStepId = 1;
// Enough for a session's work; a step may hold a working picture.
constexpr int stepLimit = 100;

// What a colour step is called in the Edit menu.
QString nameOf(const ColourControlsSnapshot& before, const ColourControlsSnapshot& after) {
    const ColourControlsState &a = before.state, &b = after.state;
    if (after.working)
        return QStringLiteral("Fit and Resize");
    if (before.settings.dither != after.settings.dither)
        return QStringLiteral("Dithering");
    if (a.ink != b.ink || a.radiosChooseLInk != b.radiosChooseLInk ||
        a.rCartridgeSwatch != b.rCartridgeSwatch || a.lCartridgeSwatch != b.lCartridgeSwatch)
        return QStringLiteral("Cartridge Color");
    if (a.threshold != b.threshold)
        return QStringLiteral("THRESHOLD");
    if (a.rValue != b.rValue)
        return QStringLiteral("R VALUE");
    if (a.lValue != b.lValue)
        return QStringLiteral("L VALUE");
    if (a.center != b.center || a.stretch != b.stretch)
        return QStringLiteral("Fit Center");
    return QStringLiteral("Color Setting");
}

class ColourStep : public QUndoCommand {
  public:
    ColourStep(UndoHistory& history, ColourControlsModel& pictures, ColourControlsSnapshot before,
               ColourControlsSnapshot after, int drag)
        : QUndoCommand(nameOf(before, after)), history_(history), pictures_(pictures),
          before_(std::move(before)), after_(std::move(after)), drag_(drag) {}

    int id() const override { return colourStepId; }
    bool mergeWith(const QUndoCommand* other) override {
        const auto* next = static_cast<const ColourStep*>(other);
        if (drag_ == 0 || next->drag_ != drag_)
            return false;
        after_ = next->after_;
        return true;
    }
    void undo() override {
        history_.putBack([&] { pictures_.restore(before_); });
    }
    void redo() override {
        if (std::exchange(first_, false))
            return; // it has just happened
        history_.putBack([&] { pictures_.restore(after_); });
    }

  private:
    UndoHistory& history_;
    ColourControlsModel& pictures_;
    ColourControlsSnapshot before_;
    ColourControlsSnapshot after_;
    int drag_;
    bool first_ = true;
};

struct LibraryMoment {
    FileMemento files;
    LibraryModel::State library;
    ColourControlsSnapshot pictures;
};

class LibraryStep : public QUndoCommand {
  public:
    LibraryStep(const QString& text, UndoHistory& history, ColourControlsModel& pictures,
                LibraryModel& library, LibraryMoment before, LibraryMoment after)
        : QUndoCommand(text), history_(history), pictures_(pictures), library_(library),
          before_(std::move(before)), after_(std::move(after)) {}

    void undo() override { putBack(before_); }
    void redo() override {
        if (std::exchange(first_, false))
            return;
        putBack(after_);
    }

  private:
    void putBack(const LibraryMoment& moment) {
        history_.putBack([&] {
            moment.files.putBack();
            library_.restoreState(moment.library);
            pictures_.restore(moment.pictures);
        });
    }

    UndoHistory& history_;
    ColourControlsModel& pictures_;
    LibraryModel& library_;
    LibraryMoment before_;
    LibraryMoment after_;
    bool first_ = true;
};

} // namespace

void LibraryStepRecorder::touchCommit(const LibraryModel& library) {
    const ImageLibrary& images = library.library();
    touch(images.tempImagePath());
    if (!images.isEmpty())
        touch(images.storedFilePath(images.lastIndex()));
}

void LibraryStepRecorder::touchEntry(const QString& entryName) {
    touch(folder_ + entryName);
    const QString stem = entryName.chopped(4);
    touch(folder_ + stem + QStringLiteral(".logotext"));
    touch(folder_ + stem + QStringLiteral(".logotext.bmp"));
}

UndoHistory::UndoHistory(ColourControlsModel& pictures, LibraryModel& library, QObject* parent)
    : QObject(parent), pictures_(pictures), library_(library) {
    stack_.setUndoLimit(stepLimit);
    connect(&pictures_, &ColourControlsModel::stepTaken, this, &UndoHistory::colourStep);
    connect(&pictures_, &ColourControlsModel::pictureLoaded, this, [this] {
        if (!busy_)
            stack_.clear();
    });
}

UndoHistory::~UndoHistory() = default;

void UndoHistory::colourStep(const ColourControlsSnapshot& before,
                             const ColourControlsSnapshot& after, bool continuing) {
    if (busy_)
        return;
    // A held slider's moves share one number; the first move after a release starts anew.
    if (continuing && !dragging_)
        ++drag_;
    dragging_ = continuing;
    stack_.push(new ColourStep(*this, pictures_, before, after, continuing ? drag_ : 0));
}

void UndoHistory::recordLibraryStep(const QString& text,
                                    const std::function<void(LibraryStepRecorder&)>& action) {
    if (busy_) {
        LibraryStepRecorder ignored(library_.library().folder());
        action(ignored);
        return;
    }
    LibraryStepRecorder recorder(library_.library().folder());
    LibraryMoment before{{}, library_.state(), pictures_.snapshot()};
    busy_ = true;
    try {
        action(recorder);
    } catch (...) {
        busy_ = false;
        throw;
    }
    busy_ = false;
    if (!recorder.kept())
        return;
    before.files = recorder.files();
    LibraryMoment after{recorder.files().now(), library_.state(), pictures_.snapshot()};
    stack_.push(
        new LibraryStep(text, *this, pictures_, library_, std::move(before), std::move(after)));
}

void UndoHistory::putBack(const std::function<void()>& restore) {
    busy_ = true;
    dragging_ = false;
    try {
        restore();
    } catch (...) {
        if (!failure_)
            failure_ = std::current_exception();
    }
    busy_ = false;
}

void UndoHistory::rethrowFailure() {
    if (std::exception_ptr failure = std::exchange(failure_, nullptr))
        std::rethrow_exception(failure);
}

void UndoHistory::undo() {
    stack_.undo();
    rethrowFailure();
}

void UndoHistory::redo() {
    stack_.redo();
    rethrowFailure();
}

} // namespace logosmith
