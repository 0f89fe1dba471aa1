#include "app/windows/StorePrintPanel.h"

#include "app/jobs/PrinterJobs.h"
#include "app/state/AppState.h"
#include "app/windows/PictureView.h"
#include "app/windows/Placement.h"
#include "platform/ErrorGuard.h"
#include "platform/UserDialogs.h"
#include "platform/core/Error.h"
#include "printdata/Commands.h"
#include "separation/controls/ColourControlsModel.h"
#include "transport/PrintMethodModel.h"
#include "transport/TransferWorker.h"
#include "transport/windows/TransferReport.h"

#include <QFileInfo>
#include <QGroupBox>
#include <QPainter>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>

using namespace logosmith;

namespace {

const QString storeWarning =
    QStringLiteral(" Please wait until download is completed. \r When complete, both the LEFT "
                   "CARTRIDGE LED and RIGHT CARTRIDGE LED are ON.");

} // namespace

StorePrintPanel::StorePrintPanel(PrinterJobs& jobs, PrintMethodModel& method,
                                 ColourControlsModel& pictures, TransferWorker& transfers,
                                 AppState& state, UserDialogs& dialogs, QWidget* parent)
    : QWidget(parent), jobs_(jobs), method_(method), state_(state), dialogs_(dialogs) {
    setObjectName("StorePrintPanel");
    storeGroup_ = place<QGroupBox>(this, "GroupBoxStore", 8, 0, 289, 56);
    storeGroup_->setTitle("Store Command");
    storeButton_ = place<QPushButton>(storeGroup_, "btnStorePrinter", "Store", 10, 22, 128, 26);
    storeToFileButton_ =
        place<QPushButton>(storeGroup_, "btnPrintFile", "Store to File", 150, 22, 128, 26);

    printGroup_ = place<QGroupBox>(this, "GroupBoxPrint", 8, 60, 289, 52);
    printGroup_->setTitle("Print  Select");
    directButton_ = place<QRadioButton>(printGroup_, "DirectPrint", "Direct Print", 10, 22, 96, 24);
    driverButton_ =
        place<QRadioButton>(printGroup_, "DriverPrinter", "Window  Driver", 104, 22, 120, 24);
    // Nothing enables the driver method; a stored check state is the way to it.
    driverButton_->setEnabled(false);
    printButton_ = place<QPushButton>(printGroup_, "btnPrint", "Print", 226, 20, 56, 26);
    for (QPushButton* command : {storeButton_, storeToFileButton_, printButton_})
        command->setEnabled(false);

    connectGuarded(storeButton_, &QPushButton::clicked, this, &StorePrintPanel::store);
    connectGuarded(storeToFileButton_, &QPushButton::clicked, this, &StorePrintPanel::storeToFile);
    connectGuarded(printButton_, &QPushButton::clicked, this, &StorePrintPanel::print);
    // A radio button's choice counts when it becomes checked, by the person or from code (a
    // stored check state).
    const std::pair<QRadioButton*, PrintMethodModel::Method> methods[] = {
        {directButton_, PrintMethodModel::Method::Direct},
        {driverButton_, PrintMethodModel::Method::Driver}};
    for (const auto& [button, choice] : methods)
        connectGuarded(button, &QRadioButton::toggled, this, [this, choice = choice](bool on) {
            if (on)
                method_.choose(choice);
        });
    connect(&method_, &PrintMethodModel::changed, this, &StorePrintPanel::showMethod);
    connect(&pictures, &ColourControlsModel::pictureLoaded, this,
            &StorePrintPanel::enablePictureCommands);
    connect(&transfers, &TransferWorker::busyChanged, this, &StorePrintPanel::transferRunning);
    showMethod();
}

void StorePrintPanel::showMethod() {
    const bool direct = method_.isDirect();
    {
        const QSignalBlocker blockedDirect(directButton_);
        const QSignalBlocker blockedDriver(driverButton_);
        (direct ? directButton_ : driverButton_)->setChecked(true);
    }
    // "Store" needs a picture and the direct method; the driver method prints pictures only.
    storeButton_->setEnabled(direct && pictureLoaded_);
}

void StorePrintPanel::enablePictureCommands() {
    pictureLoaded_ = true;
    printButton_->setEnabled(true);
    storeToFileButton_->setEnabled(true);
    storeButton_->setEnabled(method_.isDirect());
}

void StorePrintPanel::transferRunning(bool running) {
    // Whole groups, so that the commands' own states come back untouched.
    storeGroup_->setEnabled(!running);
    printGroup_->setEnabled(!running);
}

void StorePrintPanel::store() {
    if (jobs_.busy())
        return;
    const std::vector<std::uint8_t> command = jobs_.storeCommand();
    // The warning means the data goes out now: every refusal has come before it.
    dialogs_.showWarning(storeWarning);
    send(command);
}

void StorePrintPanel::storeToFile() {
    // The scratch file is in use while a transfer runs.
    if (jobs_.busy())
        return;
    const std::vector<std::uint8_t> command = jobs_.storeCommand();
    const std::optional<QString> destination =
        dialogs_.saveFile("Store to File", "print files (*.prn)", "prn");
    if (!destination)
        return;
    state_.showPath(*destination);
    jobs_.save(command, *destination, [&] {
        return dialogs_.askYesNo(*destination + " already exists.\nDo you want to replace it?");
    });
}

void StorePrintPanel::print() {
    if (jobs_.busy())
        return;
    // The driver method prints the picture itself and needs no command file.
    if (!method_.isDirect()) {
        printThroughDriver();
        return;
    }
    const std::optional<std::vector<std::uint8_t>> command = jobs_.printCommand();
    if (!command) {
        dialogs_.showMessage(imageTooLargeMessage);
        return;
    }
    send(*command);
}

void StorePrintPanel::send(const std::vector<std::uint8_t>& command) {
    TransferWorker::Listener listener;
    listener.pieceWritten = [this](std::size_t size) { emit pieceSent(size); };
    listener.finished = [this](const TransferResult& result) {
        emit sendEnded();
        guarded([&] { reportTransferResult(result); });
    };
    if (jobs_.send(command, this, std::move(listener)))
        emit sendStarted(qint64(command.size()));
}

void StorePrintPanel::printThroughDriver() {
    const QImage image = toQImage(jobs_.driverPicture());
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
