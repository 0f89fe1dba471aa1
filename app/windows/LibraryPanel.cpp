// The library commands of the main window: the person is asked and told here, the library model
// does the rest. Pictures brought in from the desktop (dropped files, the clipboard) go through
// "Add Image" as if the open dialog had answered with them.
#include "app/windows/LibraryPanel.h"

#include "app/library/LibraryModel.h"
#include "app/library/LibraryPaths.h"
#include "app/library/TextLogoFiles.h"
#include "app/state/AppState.h"
#include "app/undo/UndoHistory.h"
#include "app/windows/Placement.h"
#include "app/windows/TextLogoDialog.h"
#include "platform/ErrorGuard.h"
#include "platform/SettingsStore.h"
#include "platform/UserDialogs.h"
#include "separation/controls/ColourControlsModel.h"
#include "separation/loader/PictureFormats.h"
#include "separation/loader/QtImageDecoder.h"
#include "separation/picture/BmpFile.h"
#include "separation/text/TextLogoModel.h"

#include <QClipboard>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHeaderView>
#include <QImage>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QTreeWidget>
#include <QUrl>
#include <algorithm>

using namespace logosmith;

namespace {

// Where the picture open dialog was left, kept between runs.
const QString pictureDialogGroup = QStringLiteral("PictureDialog");
const QString folderName = QStringLiteral("Folder");
const QString filterName = QStringLiteral("Filter");

// The picture open dialog, started where the person last chose a picture.
std::optional<QString> openPictureDialog(SettingsStore& store, UserDialogs& dialogs) {
    const QString filter = QString::fromStdString(pictureOpenFilter());
    FileDialogPlace place{store.readText(pictureDialogGroup, folderName, QString()),
                          store.readText(pictureDialogGroup, filterName, QString())};
    // An entry the dialog no longer offers (other formats, a hand-edited file) is not handed on.
    if (!filter.split(QStringLiteral(";;")).contains(place.filter))
        place.filter.clear();
    const std::optional<QString> path = dialogs.openPicture("Open Image", filter, &place);
    if (path) {
        store.writeText(pictureDialogGroup, folderName, place.folder);
        store.writeText(pictureDialogGroup, filterName, place.filter);
    }
    return path;
}

} // namespace

LibraryPanel::LibraryPanel(LibraryModel& library, const ColourControlsModel& pictures,
                           UndoHistory& history, AppState& state, SettingsStore& store,
                           UserDialogs& dialogs, QWidget* parent)
    : QWidget(parent), library_(library), pictures_(pictures), history_(history), state_(state),
      store_(store), dialogs_(dialogs), textLogo_(std::make_unique<TextLogoModel>()),
      textDialog_(std::make_unique<TextLogoDialog>(*textLogo_, pictures, this)) {
    setObjectName("LibraryPanel");
    pathBox_ = place<QLineEdit>(this, "Edit1", 8, 8, 289, 22);
    pathBox_->setReadOnly(true);

    list_ = place<QTreeWidget>(this, "ListView1", 8, 36, 289, 84);
    list_->setColumnCount(3);
    list_->setHeaderLabels({"n", "name", "size"});
    list_->setColumnWidth(0, 20);
    list_->setColumnWidth(1, 100);
    list_->setColumnWidth(2, 100);
    list_->setRootIsDecorated(false);
    list_->setSelectionBehavior(QAbstractItemView::SelectRows);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list_->header()->setStretchLastSection(false);

    auto* addButton = place<QPushButton>(this, "btnAddImage", "Add Image", 8, 154, 93, 26);
    auto* deleteButton =
        place<QPushButton>(this, "btnDeleteImage", "Delete Image", 106, 154, 93, 26);
    auto* openButton = place<QPushButton>(this, "btnLoad", "Open Image", 204, 154, 93, 26);
    auto* textButton = place<QPushButton>(
        this, "btnTextLogo", QString::fromUtf8("New Text Logo\u2026"), 8, 124, 141, 26);
    editTextButton_ = place<QPushButton>(this, "btnEditText", QString::fromUtf8("Edit Text\u2026"),
                                         156, 124, 141, 26);
    editTextButton_->setEnabled(false);

    connectGuarded(addButton, &QPushButton::clicked, this, &LibraryPanel::addImage);
    connectGuarded(openButton, &QPushButton::clicked, this, &LibraryPanel::addImage);
    connectGuarded(deleteButton, &QPushButton::clicked, this, &LibraryPanel::deleteImage);
    connectGuarded(list_, &QTreeWidget::itemClicked, this, &LibraryPanel::selectEntry);
    connectGuarded(textButton, &QPushButton::clicked, this, &LibraryPanel::newTextLogo);
    connectGuarded(editTextButton_, &QPushButton::clicked, this, &LibraryPanel::editTextLogo);
    connectGuarded(list_, &QTreeWidget::itemDoubleClicked, this, [this] {
        if (editTextButton_->isEnabled())
            editTextLogo();
    });
    connect(list_, &QTreeWidget::itemSelectionChanged, this, &LibraryPanel::showSelection);
    connect(&library_, &LibraryModel::entriesChanged, this, &LibraryPanel::showEntries);
    connect(&state_, &AppState::pathShown, pathBox_, &QLineEdit::setText);
    acceptDropsOn(list_->viewport());
    showEntries();
}

LibraryPanel::~LibraryPanel() = default;

void LibraryPanel::showSelection() {
    const int row = selectedRow();
    editTextButton_->setEnabled(
        row >= 0 && hasTextLogoSource(library_.library().folder(), library_.entries()[row].name));
}

void LibraryPanel::showEntries() {
    const int selected = selectedRow();
    list_->clear();
    for (const LibraryEntry& entry : library_.entries())
        list_->addTopLevelItem(new QTreeWidgetItem({entry.number, entry.name, entry.size}));
    if (selected >= 0 && selected < list_->topLevelItemCount())
        list_->topLevelItem(selected)->setSelected(true);
    showSelection();
}

int LibraryPanel::selectedRow() const {
    const QList<QTreeWidgetItem*> items = list_->selectedItems();
    return items.isEmpty() ? -1 : list_->indexOfTopLevelItem(items.constFirst());
}

void LibraryPanel::addImage() {
    add([this](LibraryStepRecorder&) { return openPictureDialog(store_, dialogs_); });
}

void LibraryPanel::addImageFile(const QString& path) {
    add([&path](LibraryStepRecorder&) { return std::optional<QString>(path); });
}

void LibraryPanel::add(
    const std::function<std::optional<QString>(LibraryStepRecorder&)>& choosePicture) {
    if (library_.isFull()) {
        dialogs_.showMessage(libraryFullMessage);
        return;
    }
    history_.recordLibraryStep("Add Image", [&](LibraryStepRecorder& step) {
        step.touchCommit(library_);
        library_.commit();
        const std::optional<QString> path = choosePicture(step);
        if (!path)
            return;
        state_.showPath(*path);
        state_.CurrentSourcePath = *path;
        // The new entry's own file is written by a later commit: it is the step's too.
        step.touchEntry(LibraryFileName(*path));
        switch (library_.add(*path)) {
        case LibraryModel::AddResult::Duplicate:
            dialogs_.showConfirmation(duplicateImageMessage);
            break;
        case LibraryModel::AddResult::ReservedName:
            dialogs_.showMessage(reservedNameMessage);
            break;
        case LibraryModel::AddResult::Added:
            step.keep();
            break;
        }
    });
}

void LibraryPanel::selectEntry() {
    const int row = selectedRow();
    if (row < 0)
        return;
    if (const std::optional<QString> pathBox = library_.select(row))
        state_.showPath(*pathBox);
}

void LibraryPanel::deleteImage() {
    const int row = selectedRow();
    if (row < 0) {
        if (!library_.isEmpty())
            dialogs_.showMessage(selectItemMessage);
        return;
    }
    history_.recordLibraryStep("Delete Image", [&](LibraryStepRecorder& step) {
        step.touchEntry(library_.entries()[row].name);
        step.touchCommit(library_);
        library_.remove(row);
        list_->clearSelection();
        SelectLastEntry();
        step.keep();
    });
}

void LibraryPanel::SelectLastEntry() {
    if (library_.isEmpty())
        return;
    QTreeWidgetItem* last = list_->topLevelItem(list_->topLevelItemCount() - 1);
    list_->clearSelection();
    list_->setCurrentItem(last);
    last->setSelected(true);
    list_->scrollToItem(last);
    selectEntry();
}

void LibraryPanel::acceptDropsOn(QWidget* target) {
    // A drop over any control without its own drop handling reaches the target.
    target->setAcceptDrops(true);
    target->installEventFilter(this);
}

bool LibraryPanel::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop)
        return QWidget::eventFilter(watched, event);
    auto* drag = static_cast<QDropEvent*>(event);
    // Anything that names files or addresses is taken, so that what cannot be loaded is told.
    if (!drag->mimeData()->hasUrls()) {
        drag->ignore();
        return true;
    }
    drag->acceptProposedAction();
    if (type == QEvent::Drop) {
        // After the drop has ended, so the program the files came from is not held up by the
        // messages the adds may show.
        const QList<QUrl> urls = drag->mimeData()->urls();
        QMetaObject::invokeMethod(
            this, [this, urls] { addDroppedPictures(urls); }, Qt::QueuedConnection);
    }
    return true;
}

void LibraryPanel::addDroppedPictures(const QList<QUrl>& urls) {
    for (const QUrl& url : urls) {
        // A full library says so once, however many files came.
        if (library_.isFull()) {
            dialogs_.showMessage(libraryFullMessage);
            return;
        }
        const QString path = url.isLocalFile() ? url.toLocalFile() : url.toString();
        // Refused before the current picture is committed, as the open dialog would not have
        // offered it.
        if (!url.isLocalFile() || !isSupportedPictureExtension(path.toStdString())) {
            dialogs_.showError(
                QString::fromStdString(unsupportedPictureMessage(path.toStdString())));
            continue;
        }
        guarded([&] { addImageFile(path); });
    }
}

void LibraryPanel::pasteImage() {
    const QImage image = QGuiApplication::clipboard()->image();
    if (image.isNull()) {
        dialogs_.showMessage(noPictureToPasteMessage);
        return;
    }
    // The picture becomes a file in the library folder under a name no file and no entry has,
    // which then is the new entry's own file. It is written only once the library has room.
    QString written;
    try {
        add([&](LibraryStepRecorder& step) {
            const QString folder = libraryFolder(state_.RootDir);
            QString path;
            for (int n = 1; path.isEmpty(); ++n) {
                const QString candidate = folder + QStringLiteral("pasted-%1.bmp").arg(n);
                if (!QFileInfo::exists(candidate) && !library_.library().IsInLibrary(candidate))
                    path = candidate;
            }
            step.touch(path);
            writeBmpFile(decoders::pictureOnWhite(image), path.toStdString());
            written = path;
            return std::optional<QString>(path);
        });
    } catch (...) {
        // A picture that could not be added leaves no file behind.
        if (!written.isEmpty())
            QFile::remove(written);
        throw;
    }
}

void LibraryPanel::newTextLogo() {
    if (library_.isFull()) {
        dialogs_.showMessage(libraryFullMessage);
        return;
    }
    // The first "text-N" that neither an entry nor a file of the library folder has.
    const QString folder = library_.library().folder();
    QString name;
    for (int n = 1; name.isEmpty(); ++n) {
        const QString candidate = QStringLiteral("text-%1").arg(n);
        if (!QFileInfo::exists(folder + candidate + ".bmp") &&
            !library_.library().IsInLibrary(candidate + ".bmp"))
            name = candidate;
    }
    std::optional<Picture> picture;
    if (!pictures_.working().isEmpty())
        picture = pictures_.working();
    textDialog_->startNew(
        name, std::move(picture),
        [this](const QString& chosen, const Picture& drawn, const TextLogoSettings& settings) {
            return addTextLogo(chosen, drawn, settings);
        });
}

bool LibraryPanel::addTextLogo(const QString& name, const Picture& picture,
                               const TextLogoSettings& settings) {
    const std::optional<QString> entry = textLogoEntryName(name);
    if (!entry) {
        dialogs_.showMessage("A library name may not be empty or hold \".\", \"/\", \"\\\" or "
                             "\":\", and cannot be \"tempImage\".");
        return false;
    }
    const QString path = library_.library().folder() + *entry;
    if (library_.library().IsInLibrary(path)) {
        dialogs_.showConfirmation(duplicateImageMessage);
        return false;
    }
    // A file of that name that is no entry is someone's: it is not written over.
    if (QFileInfo::exists(path)) {
        dialogs_.showMessage("The library folder already holds a file named " + *entry +
                             ". Choose another name.");
        return false;
    }
    if (library_.isFull()) {
        dialogs_.showMessage(libraryFullMessage);
        return false;
    }
    bool written = false;
    try {
        add([&](LibraryStepRecorder& step) {
            step.touchEntry(*entry);
            writeBmpFile(picture, path.toStdString());
            written = true;
            const TextLogoSource source{settings,
                                        settings.placement == TextLogoSettings::Placement::TextOnly
                                            ? std::nullopt
                                            : textLogo_->picture()};
            saveTextLogoSource(library_.library().folder(), *entry, source);
            return std::optional<QString>(path);
        });
    } catch (...) {
        // A logo that could not be added leaves nothing behind.
        if (written) {
            QFile::remove(path);
            removeTextLogoSource(library_.library().folder(), *entry);
        }
        throw;
    }
    showSelection();
    return true;
}

void LibraryPanel::editTextLogo() {
    const int row = selectedRow();
    if (row < 0)
        return;
    const QString entry = library_.entries()[row].name;
    const std::optional<TextLogoSource> source =
        loadTextLogoSource(library_.library().folder(), entry);
    if (!source) {
        dialogs_.showMessage(entry + " was not made from text.");
        return;
    }
    textDialog_->startEdit(
        entry.chopped(4), source->settings, source->picture,
        [this, entry](const QString&, const Picture& drawn, const TextLogoSettings& settings) {
            return saveTextLogo(entry, drawn, settings);
        });
}

bool LibraryPanel::saveTextLogo(const QString& entryName, const Picture& picture,
                                const TextLogoSettings& settings) {
    // The list may have changed while the dialog was open: the entry is found by its name.
    const QList<LibraryEntry>& entries = library_.entries();
    const auto found = std::find_if(entries.begin(), entries.end(),
                                    [&](const LibraryEntry& e) { return e.name == entryName; });
    if (found == entries.end()) {
        dialogs_.showMessage(entryName + " is no longer in the library.");
        return false;
    }
    saveTextLogoSource(library_.library().folder(), entryName,
                       {settings, settings.placement == TextLogoSettings::Placement::TextOnly
                                      ? std::nullopt
                                      : textLogo_->picture()});
    if (const std::optional<QString> pathBox =
            library_.replacePicture(int(found - entries.begin()), picture))
        state_.showPath(*pathBox);
    return true;
}
