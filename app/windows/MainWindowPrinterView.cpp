// The printer view's ways in: a command file chosen by the person, and the store as "Store"
// would send it now.
#include "app/windows/MainWindow.h"

#include "platform/UserDialogs.h"
#include "printdata/reader/PrinterFile.h"

using namespace logosmith;

void MainWindow::OpenPrinterFile1Click() {
    const std::optional<QString> file =
        dialogs_.openFile("Open Printer File", "print files (*.prn)");
    if (!file)
        return;
    links_.viewPrinterStream(*file,
                             [path = file->toStdString()] { return prn::readPrinterFile(path); });
}

void MainWindow::PrinterView1Click() {
    // Committed and built exactly as "Store" does, with its refusals, but only shown.
    links_.viewPrinterStream("What \"Store\" would send now", [this] {
        CommitCurrentImage();
        return prepareStore();
    });
}
