#include "transport/windows/AlignmentDialog.h"

#include "platform/ErrorGuard.h"
#include "printdata/Commands.h"
#include "transport/AlignmentModel.h"
#include "transport/CommandSender.h"
#include "transport/PrintMethodModel.h"
#include "transport/windows/TransferReport.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace {

// One bar position per 2-byte piece of the 104-byte setup command.
constexpr int setupSteps = 52;

QGroupBox* makeRow(QWidget* parent, const QString& caption, char letter,
                   std::array<QRadioButton*, 7>& buttons) {
    static const char* const captions[7] = {"-3", "-2", "-1", "0", "1", "2", "3"};
    auto* box = new QGroupBox(caption, parent);
    box->setObjectName(QStringLiteral("GroupBox_%1").arg(QLatin1Char(letter)));
    auto* row = new QHBoxLayout(box);
    row->setContentsMargins(6, 2, 6, 2);
    for (int k = 0; k < 7; ++k) {
        // Buttons sharing a group box exclude each other, so each row keeps one choice.
        buttons[std::size_t(k)] = new QRadioButton(QString::fromLatin1(captions[k]), box);
        buttons[std::size_t(k)]->setObjectName(
            QStringLiteral("%1%2").arg(QLatin1Char(letter)).arg(k + 1));
        row->addWidget(buttons[std::size_t(k)]);
    }
    return box;
}

QPushButton* makeButton(QWidget* parent, const char* name, const QString& caption) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(QString::fromLatin1(name));
    return button;
}

} // namespace

AlignmentDialog::AlignmentDialog(logosmith::AlignmentModel& alignment,
                                 logosmith::PrintMethodModel& method,
                                 logosmith::CommandSender& sender, QWidget* parent)
    : FixedDialog("Vertical Alignment", 440, 360, parent), alignment_(alignment), method_(method),
      sender_(sender) {
    setObjectName("verticalForm");
    buildControls();
    showPositions();
    connect(&alignment_, &logosmith::AlignmentModel::changed, this,
            &AlignmentDialog::showPositions);
}

void AlignmentDialog::buildControls() {
    auto* setup = new QGroupBox("Vertical Setup", this);
    setup->setObjectName("GroupBox1");
    auto* rows = new QVBoxLayout(setup);
    const std::pair<const char*, char> captions[4] = {
        {"Low Speed", 'l'}, {"Normal Speed", 'n'}, {"High Speed", 'h'}, {"Color ", 'c'}};
    for (int r = 0; r < 4; ++r) {
        auto& row = rows_[std::size_t(r)];
        rows->addWidget(makeRow(setup, captions[r].first, captions[r].second, row));
        for (int k = 0; k < 7; ++k)
            connect(row[std::size_t(k)], &QRadioButton::toggled, this, [this, r, k](bool on) {
                if (on)
                    alignment_.choose(r, k + 1);
            });
    }

    auto* setupButton = makeButton(setup, "Button3", "Setup");
    progress_ = new QProgressBar(setup);
    progress_->setObjectName("progress");
    progress_->setRange(0, setupSteps);
    progress_->setValue(0);
    auto* setupLine = new QHBoxLayout();
    setupLine->addWidget(setupButton);
    setupLine->addWidget(progress_, 1);
    rows->addLayout(setupLine);

    auto* pattern = makeButton(this, "Button1", "Print Pattern");
    auto* check = makeButton(this, "Button2", "Check Setup");
    exitButton_ = makeButton(this, "Button4", "Exit");
    auto* buttons = new QHBoxLayout();
    buttons->addWidget(pattern);
    buttons->addWidget(check);
    buttons->addStretch();
    buttons->addWidget(exitButton_);
    commands_ = {pattern, check, setupButton};

    auto* column = new QVBoxLayout(this);
    column->addWidget(setup);
    column->addLayout(buttons);

    connect(pattern, &QPushButton::clicked, this,
            [this] { printAlignmentCommand(logosmith::alignmentPrintPattern); });
    connect(check, &QPushButton::clicked, this,
            [this] { printAlignmentCommand(logosmith::alignmentCheckSetup); });
    connect(setupButton, &QPushButton::clicked, this, &AlignmentDialog::setUpAlignment);
    connect(exitButton_, &QPushButton::clicked, this, &QWidget::close);
    // One transfer at a time, whichever window started it.
    connect(&sender_.transfers(), &logosmith::TransferWorker::busyChanged, this, [this](bool busy) {
        for (QPushButton* command : commands_)
            command->setEnabled(!busy);
    });
}

void AlignmentDialog::showPositions() {
    for (int r = 0; r < 4; ++r) {
        QRadioButton* chosen =
            rows_[std::size_t(r)][std::size_t(alignment_.positions()[std::size_t(r)] - 1)];
        const QSignalBlocker blocked(chosen);
        chosen->setChecked(true);
    }
}

void AlignmentDialog::send(logosmith::TransferKind kind, const std::vector<std::uint8_t>& command) {
    logosmith::TransferWorker::Listener listener;
    listener.pieceWritten = [this](std::size_t size) { emit pieceWritten(qsizetype(size)); };
    listener.progressStep = [this] { progressStep(); };
    listener.finished = [this](const logosmith::TransferResult& result) {
        setBusy(false);
        exitButton_->setEnabled(true);
        logosmith::guarded([&] { logosmith::reportTransferResult(result); });
    };
    if (!sender_.sendCommand(kind, command, this, std::move(listener)))
        return;
    setBusy(true);
    exitButton_->setEnabled(false);
}

void AlignmentDialog::printAlignmentCommand(std::uint8_t function) {
    if (sender_.busy() || !method_.isDirect())
        return;
    logosmith::guarded(
        [&] { send(logosmith::TransferKind::Command, logosmith::AlignmentCommand(function)); });
}

void AlignmentDialog::setUpAlignment() {
    if (sender_.busy() || !method_.isDirect())
        return;
    logosmith::guarded([this] {
        progress_->setValue(0);
        send(logosmith::TransferKind::AlignmentSetup,
             logosmith::SetupCommand(alignment_.positions()));
    });
}

void AlignmentDialog::progressStep() {
    if (progress_->value() < progress_->maximum())
        progress_->setValue(progress_->value() + 1);
}

void AlignmentDialog::showEvent(QShowEvent* event) {
    // Every showing starts with an empty bar; a window coming back from the task bar is not a
    // new showing.
    if (!event->spontaneous())
        progress_->setValue(0);
    FixedDialog::showEvent(event);
}
