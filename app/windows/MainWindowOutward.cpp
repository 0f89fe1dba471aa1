// The main window's outward-facing actions: the external editor, saving, help.
#include "app/windows/MainWindow.h"

#include "app/library/InstallLayout.h"
#include "app/windows/EditorHandoff.h"
#include "platform/UserDialogs.h"
#include "separation/picture/BmpFile.h"

#include <QDesktopServices>
#include <QLineEdit>
#include <QUrl>

using namespace logosmith;

void MainWindow::btnEditClick() {
    dialogs_.showMessage("This function only affects last image");
    const QString exchange = editorExchangeFile();
    writeBmpFile(pictures_.preview(), exchange.toStdString());
    if (!startEditor(state_.EditorCommand, exchange))
        dialogs_.showMessage("Not found   " + state_.EditorCommand +
                             ". Check Default Image Editor Setting ");
    // The person edits and saves in the editor, then presses OK here.
    dialogs_.showMessage("Logosmith will now update the last image!");
    loadPicture(exchange);
}

void MainWindow::btnSaveClick() {
    const std::optional<QString> path = dialogs_.saveFile("Save Image", "bmp files (*.bmp)", "bmp");
    if (!path)
        return;
    Edit1->setText(*path);
    // Always BMP data, whatever the extension of the chosen name.
    writeBmpFile(pictures_.preview(), path->toStdString());
}

void MainWindow::help3Click() {
    const QString page = helpPagePath(state_.RootDir, programFolder());
    // Without a browser (or xdg-open) nothing would appear at all: say where the page is.
    if (!QDesktopServices::openUrl(QUrl::fromLocalFile(page)))
        dialogs_.showMessage("The help page could not be opened: no web browser was found.\n"
                             "Open this file in a web browser to read it:\n" +
                             page);
}
