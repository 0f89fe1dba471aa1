// Storing the library in the printer, saving the store command, printing a test copy.
#include "uMain.h"

#include "AtomicFile.h"
#include "ByteSink.h"
#include "Commands.h"
#include "DeviceSettings.h"
#include "Error.h"
#include "Fitting.h"
#include "ImageLibrary.h"
#include "PictureView.h"
#include "PortSender.h"
#include "StoreCommandFile.h"
#include "UserDialogs.h"
#include "uPortForm.h"
#include "uResolution.h"

#include <QFileInfo>
#include <QLineEdit>
#include <QPainter>
#include <QPrinter>
#include <QRadioButton>

using namespace logosmith;

QString TForm1::scratchFilePath() const {
    return state.RootDir + "tlsdlek.prn";
}

// Refuses before anything is sent or asked when the library cannot be stored as it is.
void TForm1::loadStoreSlots() {
    LoadLibraryImages(*library_, storeSlots_, state.StoreImageCount);
    checkStorable(*library_, storeSlots_, state.StoreImageCount);
}

void TForm1::btnStorePrinterClick() {
    CommitCurrentImage();
    loadStoreSlots();
    userDialogs().showWarning(
        " Please wait until download is completed. \r When complete, both the LEFT CARTRIDGE "
        "LED and RIGHT CARTRIDGE LED are ON.");
    BuildStoreFile(scratchFilePath(), storeSlots_, state.StoreImageCount,
                   ResolutionForm->density());
    SendToPrinter();
}

void TForm1::btnPrintFileClick() {
    CommitCurrentImage();
    loadStoreSlots();
    const std::optional<QString> destination =
        userDialogs().saveFile("Store to File", "print files (*.prn)", "prn");
    if (!destination)
        return;
    Edit1->setText(*destination);
    const QString scratch = scratchFilePath();
    runThenDelete(scratch.toStdString(), [&] {
        BuildStoreFile(scratch, storeSlots_, state.StoreImageCount, ResolutionForm->density());
        if (QFileInfo::exists(*destination) &&
            !userDialogs().askYesNo(*destination + " already exists.\nDo you want to replace it?"))
            return;
        CopyCommandFile(scratch, *destination);
    });
}

bool TForm1::BuildPrintFile() {
    std::vector<std::uint8_t> bytes;
    VectorSink stream(bytes);
    const PrintBuild result =
        WritePrintStream(stream, previewImage, irPrint(settings.lColor, settings.userColor),
                         ResolutionForm->density(), Image2->center());
    if (result == PrintBuild::tooWide) {
        userDialogs().showMessage(imageTooLargeMessage);
        return false;
    }
    writeFileAtomically(scratchFilePath().toStdString(), bytes);
    return true;
}

void TForm1::btnPrintClick() {
    // The driver method prints the picture itself and needs no command file.
    if (!DirectPrint->isChecked()) {
        SendToPrinter();
        return;
    }
    if (BuildPrintFile())
        SendToPrinter();
}

void TForm1::PrintOnPrinter1Click() {
    btnPrintClick();
}

void TForm1::SendToPrinter() {
    if (DirectPrint->isChecked()) {
        const std::string scratch = scratchFilePath().toStdString();
        runThenDelete(scratch, [&] {
            logosmith::SendToPrinter(makeTransferRequest(scratch, PortForm->portSettings()));
        });
    } else if (DriverPrinter->isChecked()) {
        PrintThroughDriver();
    }
}

void TForm1::PrintThroughDriver() {
    const QImage image = toQImage(Image2->stretch() ? fitToWidth(previewImage) : previewImage);
    QPrinter printer(QPrinter::HighResolution);
    printer.setFullPage(true);
    if (!userDialogs().setUpPrinter(printer))
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
