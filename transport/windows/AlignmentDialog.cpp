#include "transport/windows/AlignmentDialog.h"

#include "platform/ErrorGuard.h"
#include "platform/core/AtomicFile.h"
#include "platform/core/Error.h"
#include "platform/core/ScratchFile.h"
#include "printdata/Commands.h"
#include "transport/DeviceSettings.h"
#include "transport/PortSender.h"
#include "transport/TransferWorker.h"
#include "transport/windows/TransferReport.h"

#include <QFile>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QVBoxLayout>

namespace {

// One bar position per 2-byte piece of the 104-byte setup command.
constexpr int kSetupSteps = 52;

QGroupBox* makeRow(QWidget* parent, const QString& caption, char letter,
                   std::array<QRadioButton*, 7>& buttons) {
    static const char* const captions[7] = {"-3", "-2", "-1", "0", "1", "2", "3"};
    auto* box = new QGroupBox(caption, parent);
    box->setObjectName(QStringLiteral("GroupBox_%1").arg(QLatin1Char(letter)));
    auto* row = new QHBoxLayout(box);
    row->setContentsMargins(6, 2, 6, 2);
    for (int k = 0; k < 7; ++k) {
        // Buttons sharing a group box exclude each other, so each row keeps one choice.
        buttons[k] = new QRadioButton(QString::fromLatin1(captions[k]), box);
        buttons[k]->setObjectName(QStringLiteral("%1%2").arg(QLatin1Char(letter)).arg(k + 1));
        row->addWidget(buttons[k]);
    }
    buttons[0]->setChecked(true);
    return box;
}

int checkedPosition(const std::array<QRadioButton*, 7>& buttons) {
    for (int k = 0; k < 7; ++k)
        if (buttons[k]->isChecked())
            return k + 1;
    return 0;
}

} // namespace

AlignmentDialog::AlignmentDialog(logosmith::TransferWorker& transfers,
                                 logosmith::PortSettingsProvider portSettings, QWidget* parent)
    : FixedDialog("Vertical Alignment", 440, 360, parent), transfers_(transfers),
      portSettings_(std::move(portSettings)) {
    setObjectName("verticalForm");
    buildControls();
}

void AlignmentDialog::buildControls() {
    auto* setup = new QGroupBox("Vertical Setup", this);
    setup->setObjectName("GroupBox1");
    auto* rows = new QVBoxLayout(setup);
    rows->addWidget(makeRow(setup, "Low Speed", 'l', l));
    rows->addWidget(makeRow(setup, "Normal Speed", 'n', n));
    rows->addWidget(makeRow(setup, "High Speed", 'h', h));
    rows->addWidget(makeRow(setup, "Color ", 'c', c));

    Button3 = new QPushButton("Setup", setup);
    Button3->setObjectName("Button3");
    progress = new QProgressBar(setup);
    progress->setObjectName("progress");
    progress->setRange(0, kSetupSteps);
    progress->setValue(0);
    auto* setupLine = new QHBoxLayout();
    setupLine->addWidget(Button3);
    setupLine->addWidget(progress, 1);
    rows->addLayout(setupLine);

    Button1 = new QPushButton("Print Pattern", this);
    Button1->setObjectName("Button1");
    Button2 = new QPushButton("Check Setup", this);
    Button2->setObjectName("Button2");
    Button4 = new QPushButton("Exit", this);
    Button4->setObjectName("Button4");
    auto* buttons = new QHBoxLayout();
    buttons->addWidget(Button1);
    buttons->addWidget(Button2);
    buttons->addStretch();
    buttons->addWidget(Button4);

    auto* column = new QVBoxLayout(this);
    column->addWidget(setup);
    column->addLayout(buttons);

    connect(Button1, &QPushButton::clicked, this, &AlignmentDialog::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &AlignmentDialog::Button2Click);
    connect(Button3, &QPushButton::clicked, this, &AlignmentDialog::Button3Click);
    connect(Button4, &QPushButton::clicked, this, &AlignmentDialog::Button4Click);
    // One transfer at a time, whichever window started it.
    connect(&transfers_, &logosmith::TransferWorker::busyChanged, this, [this](bool busy) {
        for (QPushButton* command : {Button1, Button2, Button3})
            command->setEnabled(!busy);
    });
}

std::array<int, 4> AlignmentDialog::positions() const {
    return {checkedPosition(l), checkedPosition(n), checkedPosition(h), checkedPosition(c)};
}

std::string AlignmentDialog::scratchPath() const {
    const QString path = scratchFile ? scratchFile() : QString();
    if (path.isEmpty())
        throw logosmith::Error("The folder for the command file is not known.");
    return QFile::encodeName(path).toStdString();
}

void AlignmentDialog::WriteAlignmentCommand(int function) {
    logosmith::writeFileAtomically(
        scratchPath(), logosmith::AlignmentCommand(static_cast<std::uint8_t>(function)));
}

void AlignmentDialog::WriteSetupCommand() {
    logosmith::writeFileAtomically(scratchPath(), logosmith::SetupCommand(positions()));
}

void AlignmentDialog::send(logosmith::TransferKind kind, logosmith::ScratchFile scratch) {
    logosmith::TransferRequest request =
        logosmith::makeTransferRequest(scratch.path(), portSettings_());
    // The command never outlives its action, sent or not: the end of the transfer deletes it.
    auto command = std::make_shared<logosmith::ScratchFile>(std::move(scratch));
    logosmith::TransferWorker::Listener listener;
    listener.pieceWritten = [this](std::size_t size) { emit pieceWritten(qsizetype(size)); };
    listener.progressStep = [this] { progressStep(); };
    listener.finished = [this, command](const logosmith::TransferResult& result) {
        setBusy(false);
        Button4->setEnabled(true);
        logosmith::guarded([&] {
            if (result.succeeded())
                command->remove();
            else
                command->removeQuietly();
            logosmith::reportTransferResult(result);
        });
    };
    if (!transfers_.start(kind, std::move(request), this, std::move(listener)))
        return;
    setBusy(true);
    Button4->setEnabled(false);
}

void AlignmentDialog::SendAlignmentSetup() {
    logosmith::ScratchFile scratch(scratchPath());
    if (!directMethodChosen || !directMethodChosen())
        return;
    send(logosmith::TransferKind::AlignmentSetup, std::move(scratch));
}

void AlignmentDialog::printAlignmentCommand(int function) {
    if (transfers_.isBusy() || !directMethodChosen || !directMethodChosen())
        return;
    logosmith::guarded([this, function] {
        logosmith::ScratchFile scratch(scratchPath());
        WriteAlignmentCommand(function);
        send(logosmith::TransferKind::Command, std::move(scratch));
    });
}

void AlignmentDialog::Button1Click() {
    printAlignmentCommand(logosmith::alignmentPrintPattern);
}

void AlignmentDialog::Button2Click() {
    printAlignmentCommand(logosmith::alignmentCheckSetup);
}

void AlignmentDialog::Button3Click() {
    if (transfers_.isBusy() || !directMethodChosen || !directMethodChosen())
        return;
    logosmith::guarded([this] {
        progress->setValue(0);
        logosmith::ScratchFile scratch(scratchPath());
        WriteSetupCommand();
        send(logosmith::TransferKind::AlignmentSetup, std::move(scratch));
    });
}

void AlignmentDialog::Button4Click() {
    close();
}

void AlignmentDialog::FormShow() {
    progress->setValue(0);
}

void AlignmentDialog::progressStep() {
    if (progress->value() < progress->maximum())
        progress->setValue(progress->value() + 1);
}

void AlignmentDialog::showEvent(QShowEvent* event) {
    // A window coming back from the task bar is not a new showing.
    if (!event->spontaneous())
        FormShow();
    FixedDialog::showEvent(event);
}
