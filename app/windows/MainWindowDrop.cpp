// Pictures brought in from the desktop: files dropped on the window or the library list, and the
// clipboard's picture. Each goes through "Add Image" as if the open dialog had answered with it.
#include "app/windows/MainWindow.h"

#include "app/library/LibraryModel.h"
#include "app/library/LibraryPaths.h"
#include "platform/ErrorGuard.h"
#include "platform/UserDialogs.h"
#include "separation/loader/PictureFormats.h"
#include "separation/loader/QtImageDecoder.h"
#include "separation/picture/BmpFile.h"

#include <QClipboard>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>
#include <QTreeWidget>
#include <QUrl>

using namespace logosmith;

void MainWindow::acceptPictureDrops() {
    // A drop over any control without its own drop handling reaches the window.
    setAcceptDrops(true);
    installEventFilter(this);
    ListView1->viewport()->setAcceptDrops(true);
    ListView1->viewport()->installEventFilter(this);
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop)
        return QMainWindow::eventFilter(watched, event);
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

void MainWindow::addDroppedPictures(const QList<QUrl>& urls) {
    for (const QUrl& url : urls) {
        // A full library says so once, however many files came.
        if (library_->isFull()) {
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

void MainWindow::pasteImage() {
    const QImage image = QGuiApplication::clipboard()->image();
    if (image.isNull()) {
        dialogs_.showMessage(noPictureToPasteMessage);
        return;
    }
    // The picture becomes a file in the library folder under a name no file and no entry has,
    // which then is the new entry's own file. It is written only once the library has room.
    QString written;
    try {
        addImage([&] {
            const QString folder = libraryFolder(state_.RootDir);
            QString path;
            for (int n = 1; path.isEmpty(); ++n) {
                const QString candidate = folder + QStringLiteral("pasted-%1.bmp").arg(n);
                if (!QFileInfo::exists(candidate) && !library_->library().IsInLibrary(candidate))
                    path = candidate;
            }
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
