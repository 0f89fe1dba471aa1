#include "transport/windows/FirmwareDialog.h"

#include "platform/ErrorGuard.h"
#include "platform/UserDialogs.h"
#include "platform/core/Error.h"
#include "transport/CommandSender.h"
#include "transport/PrintMethodModel.h"
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

FirmwareDialog::FirmwareDialog(logosmith::CommandSender& sender,
                               logosmith::PrintMethodModel& method,
                               std::function<QString()> firmwareFile, QWidget* parent)
    : FixedDialog("Information", 400, 330, parent), sender_(sender), method_(method),
      firmwareFile_(std::move(firmwareFile)) {
    setObjectName("DownloadForm");
    buildControls();
}

void FirmwareDialog::buildControls() {
    QLabel* const heading = makeLabel(this, "Label3", "Firmware Download", 4);
    QLabel* const warning = makeLabel(this, "Label1", "Warnning : Check your Printer LED.");
    QLabel* const wait = makeLabel(this, "Label2",
                                   " After starting the download, please wait until the \n"
                                   " download is complete. When complete, both the\n"
                                   " LEFT CARTRIDGE LED and RIGHT CARTRIDGE\n"
                                   " LED are ON.");
    QLabel* const damage = makeLabel(this, "Label4",
                                     " If you operate the printer before LEFT CARTRIDGE \n"
                                     " LED and RIGHT CARTRIDGE LED are ON, or \n"
                                     " while the LED are blinking you may cause permanent \n"
                                     " damage to your printer.");

    downloadButton_ =
        new QPushButton(style()->standardIcon(QStyle::SP_DialogOkButton), "Download", this);
    downloadButton_->setObjectName("BitBtn1");
    downloadButton_->setDefault(true);
    closeButton_ =
        new QPushButton(style()->standardIcon(QStyle::SP_DialogCancelButton), "Close", this);
    closeButton_->setObjectName("BitBtn2");
    closeButton_->setAutoDefault(false);

    progress_ = new QProgressBar(this);
    progress_->setObjectName("progress");
    progress_->setRange(0, 100);
    progress_->setValue(0);
    timeLeft_ = new QLabel(this);
    timeLeft_->setObjectName("timeLeft");

    auto* buttons = new QHBoxLayout();
    buttons->addStretch();
    buttons->addWidget(downloadButton_);
    buttons->addWidget(closeButton_);
    buttons->addStretch();

    auto* column = new QVBoxLayout(this);
    column->addWidget(heading, 0, Qt::AlignHCenter);
    column->addWidget(warning);
    column->addWidget(wait);
    column->addWidget(damage);
    column->addStretch();
    column->addLayout(buttons);
    column->addWidget(progress_);
    column->addWidget(timeLeft_);

    connect(downloadButton_, &QPushButton::clicked, this, &FirmwareDialog::download);
    connect(closeButton_, &QPushButton::clicked, this, &QWidget::close);
    // One transfer at a time, whichever window started it; the dialog is left open meanwhile.
    connect(&sender_.transfers(), &logosmith::TransferWorker::busyChanged, downloadButton_,
            [this](bool busy) { downloadButton_->setEnabled(!busy); });
}

void FirmwareDialog::chooseFileAndShow() {
    if (sender_.busy())
        return;
    progress_->setValue(0);
    const std::optional<QString> file =
        logosmith::userDialogs().openFile("firmware download", "*.fls (*.fls)");
    if (!file)
        return;
    emit fileChosen(*file);
    showModeless();
}

void FirmwareDialog::DownloadFirmware(const QString& file) {
    requireReadableFirmware(file);
    logosmith::TransferWorker::Listener listener;
    listener.pieceWritten = [this](std::size_t size) { pieceArrived(size); };
    listener.progressStep = [this] { progressStep(); };
    listener.finished = [this](const logosmith::TransferResult& result) {
        setBusy(false);
        closeButton_->setEnabled(true);
        timeLeft_->clear();
        logosmith::guarded([&] { downloadEnded(result); });
    };
    if (!sender_.sendFile(logosmith::TransferKind::Firmware, QFile::encodeName(file).toStdString(),
                          this, std::move(listener)))
        return;
    setBusy(true);
    closeButton_->setEnabled(false);
    fileSize_ = QFileInfo(file).size();
    sent_ = 0;
    clock_.start();
    lastEstimate_ = -1;
}

void FirmwareDialog::download() {
    if (sender_.busy())
        return;
    logosmith::guarded([this] {
        // With the driver method nothing is sent and nobody is asked to wait.
        if (!method_.isDirect()) {
            close();
            return;
        }
        DownloadFirmware(firmwareFile_ ? firmwareFile_() : QString());
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
    timeLeft_->setText(QString::fromStdString(logosmith::timeLeftText(*left)));
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

void FirmwareDialog::progressStep() {
    if (progress_->value() < progress_->maximum())
        progress_->setValue(progress_->value() + 1);
}
