#include "transport/windows/FirmwareDialog.h"

#include "platform/ErrorGuard.h"
#include "platform/UserDialogs.h"
#include "platform/core/Error.h"
#include "transport/DeviceSettings.h"
#include "transport/TimeLeft.h"
#include "transport/TransferWorker.h"
#include "transport/windows/TransferReport.h"

#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

namespace {

const QString kWaitMessage = QStringLiteral("please wait until completing download");

QLabel* makeLabel(QWidget* parent, const char* name, const QString& text, int extraPoints = 0) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    QFont font = label->font();
    font.setBold(true);
    if (extraPoints > 0)
        font.setPointSize(font.pointSize() + extraPoints);
    label->setFont(font);
    return label;
}

// Looked at before the port is opened, so that a wrong file costs nothing and is named plainly
// instead of surfacing as a system error halfway through the transfer.
void requireReadableFirmware(const QString& file) {
    if (file.isEmpty())
        throw logosmith::FileError("No firmware file has been chosen.");
    const QFileInfo info(file);
    const std::string shown = ("\"" + file + "\"").toStdString();
    if (!info.exists())
        throw logosmith::FileError("The firmware file " + shown + " does not exist.");
    if (!info.isFile())
        throw logosmith::FileError(shown + " is not a firmware file.");
    QFile probe(file);
    if (!probe.open(QIODevice::ReadOnly))
        throw logosmith::FileError("The firmware file " + shown + " cannot be read.");
}

} // namespace

FirmwareDialog::FirmwareDialog(logosmith::TransferWorker& transfers,
                               logosmith::PortSettingsProvider portSettings, QWidget* parent)
    : FixedDialog("Information", 400, 330, parent), transfers_(transfers),
      portSettings_(std::move(portSettings)) {
    setObjectName("DownloadForm");
    buildControls();
}

void FirmwareDialog::buildControls() {
    Label3 = makeLabel(this, "Label3", "Firmware Download", 4);
    Label1 = makeLabel(this, "Label1", "Warnning : Check your Printer LED.");
    Label2 = makeLabel(this, "Label2",
                       " After starting the download, please wait until the \n"
                       " download is complete. When complete, both the\n"
                       " LEFT CARTRIDGE LED and RIGHT CARTRIDGE\n"
                       " LED are ON.");
    Label4 = makeLabel(this, "Label4",
                       " If you operate the printer before LEFT CARTRIDGE \n"
                       " LED and RIGHT CARTRIDGE LED are ON, or \n"
                       " while the LED are blinking you may cause permanent \n"
                       " damage to your printer.");

    BitBtn1 = new QPushButton(style()->standardIcon(QStyle::SP_DialogOkButton), "Download", this);
    BitBtn1->setObjectName("BitBtn1");
    BitBtn1->setDefault(true);
    BitBtn2 = new QPushButton(style()->standardIcon(QStyle::SP_DialogCancelButton), "Close", this);
    BitBtn2->setObjectName("BitBtn2");
    BitBtn2->setAutoDefault(false);

    progress = new QProgressBar(this);
    progress->setObjectName("progress");
    progress->setRange(0, 100);
    progress->setValue(0);
    timeLeft = new QLabel(this);
    timeLeft->setObjectName("timeLeft");

    auto* buttons = new QHBoxLayout();
    buttons->addStretch();
    buttons->addWidget(BitBtn1);
    buttons->addWidget(BitBtn2);
    buttons->addStretch();

    auto* column = new QVBoxLayout(this);
    column->addWidget(Label3, 0, Qt::AlignHCenter);
    column->addWidget(Label1);
    column->addWidget(Label2);
    column->addWidget(Label4);
    column->addStretch();
    column->addLayout(buttons);
    column->addWidget(progress);
    column->addWidget(timeLeft);

    connect(BitBtn1, &QPushButton::clicked, this, &FirmwareDialog::BitBtn1Click);
    connect(BitBtn2, &QPushButton::clicked, this, &FirmwareDialog::BitBtn2Click);
    // One transfer at a time, whichever window started it; the dialog is left open meanwhile.
    connect(&transfers_, &logosmith::TransferWorker::busyChanged, BitBtn1,
            [this](bool busy) { BitBtn1->setEnabled(!busy); });
}

void FirmwareDialog::DownloadFirmware(const QString& file) {
    requireReadableFirmware(file);
    logosmith::TransferRequest request =
        logosmith::makeTransferRequest(QFile::encodeName(file).toStdString(), portSettings_());
    logosmith::TransferWorker::Listener listener;
    listener.pieceWritten = [this](std::size_t size) { pieceArrived(size); };
    listener.progressStep = [this] { progressStep(); };
    listener.finished = [this](const logosmith::TransferResult& result) {
        setBusy(false);
        BitBtn2->setEnabled(true);
        timeLeft->clear();
        logosmith::guarded([&] { downloadEnded(result); });
    };
    if (!transfers_.start(logosmith::TransferKind::Firmware, std::move(request), this,
                          std::move(listener)))
        return;
    setBusy(true);
    BitBtn2->setEnabled(false);
    fileSize_ = QFileInfo(file).size();
    sent_ = 0;
    clock_.start();
    lastEstimate_ = -1;
}

void FirmwareDialog::BitBtn1Click() {
    if (transfers_.isBusy())
        return;
    logosmith::guarded([this] {
        // With the driver method nothing is sent and nobody is asked to wait.
        if (!directMethodChosen || !directMethodChosen()) {
            close();
            return;
        }
        DownloadFirmware(firmwareFile ? firmwareFile() : QString());
    });
}

void FirmwareDialog::pieceArrived(std::size_t size) {
    emit pieceWritten(qsizetype(size));
    sent_ += static_cast<qint64>(size);
    // A new estimate a few times a second is plenty, however small the pieces.
    const qint64 elapsed = clock_.elapsed();
    if (lastEstimate_ >= 0 && elapsed - lastEstimate_ < 250)
        return;
    const auto left =
        logosmith::estimateTimeLeft(sent_, fileSize_, std::chrono::milliseconds(elapsed));
    if (!left)
        return;
    lastEstimate_ = elapsed;
    timeLeft->setText(QString::fromStdString(logosmith::timeLeftText(*left)));
}

void FirmwareDialog::downloadEnded(const logosmith::TransferResult& result) {
    if (result.succeeded()) {
        close();
        // Telling the user to wait only makes sense once the printer has the whole file.
        logosmith::userDialogs().showMessage(kWaitMessage);
        return;
    }
    logosmith::reportTransferResult(result);
    // A port problem ends the download; after any other failure the dialog stays for another
    // try.
    if (result.isPortProblem())
        close();
}

void FirmwareDialog::BitBtn2Click() {
    close();
}

void FirmwareDialog::progressStep() {
    if (progress->value() < progress->maximum())
        progress->setValue(progress->value() + 1);
}
