// The library commands of the main window: add, select, delete, commit.
#include "app/windows/MainWindow.h"

#include "app/library/ImageLibrary.h"
#include "platform/SettingsStore.h"
#include "platform/UserDialogs.h"
#include "separation/loader/PictureFormats.h"

#include <QLineEdit>
#include <QTreeWidget>

using namespace logosmith;

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
    library_->CommitCurrentImage(previewImage, workingImage);
}

void MainWindow::btnAddImageClick() {
    addImage([] {
        return userDialogs().openPicture("Open Image", QString::fromStdString(pictureOpenFilter()));
    });
}

void MainWindow::addImageFile(const QString& path) {
    addImage([&path] { return std::optional<QString>(path); });
}

void MainWindow::addImage(const std::function<std::optional<QString>()>& choosePicture) {
    if (library_->isFull()) {
        userDialogs().showMessage(libraryFullMessage);
        return;
    }
    CommitCurrentImage();
    const std::optional<QString> path = choosePicture();
    if (!path)
        return;
    Edit1->setText(*path);
    state.CurrentSourcePath = *path;
    if (library_->IsInLibrary(*path)) {
        userDialogs().showConfirmation(duplicateImageMessage);
        return;
    }
    if (ImageLibrary::isReservedName(*path)) {
        userDialogs().showMessage(reservedNameMessage);
        return;
    }
    loadPicture(*path);
    library_->AddLibraryEntry(state.CurrentSourcePath);
    refreshLibraryList();
}

void MainWindow::ListView1Click() {
    const int row = selectedLibraryRow();
    if (row < 0)
        return;
    CommitCurrentImage();
    const std::optional<LibrarySelection> selection = library_->selectionFor(row);
    if (!selection)
        return;
    loadPicture(selection->fileToLoad);
    library_->selectionLoaded(*selection);
    Edit1->setText(selection->pathBoxText);
}

void MainWindow::btnDeleteImageClick() {
    const int row = selectedLibraryRow();
    if (row < 0) {
        if (!library_->isEmpty())
            userDialogs().showMessage(selectItemMessage);
        return;
    }
    library_->deleteEntry(row, previewImage, workingImage);
    ListView1->clearSelection();
    refreshLibraryList();
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
