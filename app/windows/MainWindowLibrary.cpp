// The library commands of the main window: the person is asked and told here, the library model
// does the rest.
#include "app/windows/MainWindow.h"

#include "app/library/LibraryModel.h"
#include "platform/SettingsStore.h"
#include "platform/UserDialogs.h"
#include "separation/loader/PictureFormats.h"

#include <QLineEdit>
#include <QTreeWidget>

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

void MainWindow::refreshLibraryList() {
    const int selected = selectedLibraryRow();
    ListView1->clear();
    for (const LibraryEntry& entry : library_->entries())
        ListView1->addTopLevelItem(new QTreeWidgetItem({entry.number, entry.name, entry.size}));
    if (selected >= 0 && selected < ListView1->topLevelItemCount())
        ListView1->topLevelItem(selected)->setSelected(true);
}

int MainWindow::selectedLibraryRow() const {
    const QList<QTreeWidgetItem*> items = ListView1->selectedItems();
    return items.isEmpty() ? -1 : ListView1->indexOfTopLevelItem(items.constFirst());
}

void MainWindow::CommitCurrentImage() {
    library_->commit();
}

void MainWindow::loadPicture(const QString& path) {
    pictures_.loadPicture(path.toStdString());
}

void MainWindow::btnAddImageClick() {
    addImage([this] { return openPictureDialog(store_, dialogs_); });
}

void MainWindow::addImageFile(const QString& path) {
    addImage([&path] { return std::optional<QString>(path); });
}

void MainWindow::addImage(const std::function<std::optional<QString>()>& choosePicture) {
    if (library_->isFull()) {
        dialogs_.showMessage(libraryFullMessage);
        return;
    }
    library_->commit();
    const std::optional<QString> path = choosePicture();
    if (!path)
        return;
    Edit1->setText(*path);
    state_.CurrentSourcePath = *path;
    switch (library_->add(*path)) {
    case LibraryModel::AddResult::Duplicate:
        dialogs_.showConfirmation(duplicateImageMessage);
        break;
    case LibraryModel::AddResult::ReservedName:
        dialogs_.showMessage(reservedNameMessage);
        break;
    case LibraryModel::AddResult::Added:
        break;
    }
}

void MainWindow::ListView1Click() {
    const int row = selectedLibraryRow();
    if (row < 0)
        return;
    if (const std::optional<QString> pathBox = library_->select(row))
        Edit1->setText(*pathBox);
}

void MainWindow::btnDeleteImageClick() {
    const int row = selectedLibraryRow();
    if (row < 0) {
        if (!library_->isEmpty())
            dialogs_.showMessage(selectItemMessage);
        return;
    }
    library_->remove(row);
    ListView1->clearSelection();
    SelectLastEntry();
}

void MainWindow::SelectLastEntry() {
    if (library_->isEmpty())
        return;
    QTreeWidgetItem* last = ListView1->topLevelItem(ListView1->topLevelItemCount() - 1);
    ListView1->clearSelection();
    ListView1->setCurrentItem(last);
    last->setSelected(true);
    ListView1->scrollToItem(last);
    ListView1Click();
}
