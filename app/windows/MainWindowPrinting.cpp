// Storing the library in the printer, saving the store command, printing a test copy.
#include "app/windows/MainWindow.h"

#include "app/library/LibraryModel.h"
#include "app/library/StoreCommandFile.h"
#include "app/windows/PictureView.h"
#include "platform/ErrorGuard.h"
#include "platform/UserDialogs.h"
#include "platform/core/AtomicFile.h"
#include "platform/core/Error.h"
#include "platform/core/ScratchFile.h"
#include "printdata/ByteSink.h"
#include "printdata/Commands.h"
#include "separation/picture/Fitting.h"
#include "transport/DeviceSettings.h"
#include "transport/PortSender.h"
#include "transport/TransferWorker.h"
#include "transport/windows/TransferReport.h"

#include <QFileInfo>
#include <QLineEdit>
#include <QPainter>
#include <QPrinter>
#include <QProgressBar>
#include <QRadioButton>
#include <QTimer>
#include <climits>
#include <memory>

using namespace logosmith;

QString MainWindow::scratchFilePath() const {
    return state_.RootDir + "tlsdlek.prn";
}

// Reads the library and builds the store command, refusing before anything is asked, announced
// or sent when the library cannot be stored as it is.
std::vector<std::uint8_t> MainWindow::prepareStore() {
    return library_->buildStoreCommand(links_.density());
}

void MainWindow::btnStorePrinterClick() {
    if (transfers_.isBusy())
        return;
    CommitCurrentImage();
    const std::vector<std::uint8_t> command = prepareStore();
    // The warning means the data goes out now: every refusal has come before it.
    dialogs_.showWarning(
        " Please wait until download is completed. \r When complete, both the LEFT CARTRIDGE "
        "LED and RIGHT CARTRIDGE LED are ON.");
    BuildStoreFile(scratchFilePath(), command);
    SendToPrinter();
}

void MainWindow::btnPrintFileClick() {
    // The scratch file is in use while a transfer runs.
    if (transfers_.isBusy())
        return;
    CommitCurrentImage();
    const std::vector<std::uint8_t> command = prepareStore();
    const std::optional<QString> destination =
        dialogs_.saveFile("Store to File", "print files (*.prn)", "prn");
    if (!destination)
        return;
    Edit1->setText(*destination);
    ScratchFile scratch(scratchFilePath().toStdString());
    BuildStoreFile(scratchFilePath(), command);
    if (!QFileInfo::exists(*destination) ||
        dialogs_.askYesNo(*destination + " already exists.\nDo you want to replace it?"))
        CopyCommandFile(scratchFilePath(), *destination);
    scratch.remove();
}

bool MainWindow::BuildPrintFile() {
    std::vector<std::uint8_t> bytes;
    VectorSink stream(bytes);
    const PrintBuild result =
        WritePrintStream(stream, pictures_.preview(),
                         irPrint(pictures_.settings().lColor, pictures_.settings().userColor),
                         links_.density(), pictures_.state().center);
    if (result == PrintBuild::tooWide) {
        dialogs_.showMessage(imageTooLargeMessage);
        return false;
    }
    writeFileAtomically(scratchFilePath().toStdString(), bytes);
    return true;
}

void MainWindow::btnPrintClick() {
    if (transfers_.isBusy())
        return;
    // The driver method prints the picture itself and needs no command file.
    if (!DirectPrint->isChecked()) {
        SendToPrinter();
        return;
    }
    if (BuildPrintFile())
        SendToPrinter();
}

void MainWindow::PrintOnPrinter1Click() {
    btnPrintClick();
}

void MainWindow::SendToPrinter() {
    if (DirectPrint->isChecked())
        sendScratchFile();
    else if (DriverPrinter->isChecked())
        PrintThroughDriver();
}

void MainWindow::sendScratchFile() {
    // The command file was written for this send alone: it goes when the send ends, whatever
    // the outcome.
    auto scratch = std::make_shared<ScratchFile>(scratchFilePath().toStdString());
    TransferRequest request = makeTransferRequest(scratch->path(), links_.portSettings());
    TransferWorker::Listener listener;
    listener.pieceWritten = [this](std::size_t size) {
        transferProgress->setValue(transferProgress->value() + static_cast<int>(size));
    };
    listener.finished = [this, scratch](const TransferResult& result) {
        transferProgressDelay_->stop();
        transferProgress->hide();
        guarded([&] {
            if (result.succeeded())
                scratch->remove();
            else
                scratch->removeQuietly();
            reportTransferResult(result);
        });
    };
    const qint64 size = QFileInfo(scratchFilePath()).size();
    if (!transfers_.start(TransferKind::Command, std::move(request), this, std::move(listener)))
        return;
    transferProgress->setRange(0, static_cast<int>(std::min<qint64>(size, INT_MAX)));
    transferProgress->setValue(0);
    // A send that is over in a moment shows no bar at all.
    transferProgressDelay_->start();
}

void MainWindow::PrintThroughDriver() {
    const Picture& preview = pictures_.preview();
    const QImage image = toQImage(pictures_.state().stretch ? fitToWidth(preview) : preview);
    QPrinter printer(QPrinter::HighResolution);
    printer.setFullPage(true);
    if (!dialogs_.setUpPrinter(printer))
        return;
    QPainter painter;
    if (!painter.begin(&printer))
        throw Error("The printer could not start the document.");
    // Unscaled, one picture pixel to one device pixel, centred on the whole page.
    const QRect page = printer.pageLayout().fullRectPixels(printer.resolution());
    painter.drawImage(driverPrintOrigin(page.size(), image.size()), image);
    painter.end();
}

QPoint driverPrintOrigin(const QSize& page, const QSize& picture) {
    return QPoint((page.width() - picture.width()) / 2, (page.height() - picture.height()) / 2);
}
