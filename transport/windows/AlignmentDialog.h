#pragma once

#include "platform/widgets/FixedDialog.h"
#include "transport/PortSender.h"

#include <array>
#include <cstdint>
#include <vector>

class QProgressBar;
class QPushButton;
class QRadioButton;

namespace logosmith {
class AlignmentModel;
class CommandSender;
class PrintMethodModel;
} // namespace logosmith

// "Vertical Alignment": prints the alignment pattern or the current setup, and sets the four
// alignment values, which the alignment model holds for the run. Its commands go out through
// the command sender; the dialog cannot be closed until one has ended. Under the driver print
// method nothing is written or sent.
class AlignmentDialog : public logosmith::FixedDialog {
    Q_OBJECT
  public:
    AlignmentDialog(logosmith::AlignmentModel& alignment, logosmith::PrintMethodModel& method,
                    logosmith::CommandSender& sender, QWidget* parent = nullptr);

  signals:
    // A piece of a command has reached the port.
    void pieceWritten(qsizetype size);

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void buildControls();
    void showPositions();
    void printAlignmentCommand(std::uint8_t function);
    void setUpAlignment();
    void send(logosmith::TransferKind kind, const std::vector<std::uint8_t>& command);
    void progressStep();

    logosmith::AlignmentModel& alignment_;
    logosmith::PrintMethodModel& method_;
    logosmith::CommandSender& sender_;
    // One row of seven radio buttons per print mode (low, normal, high, colour).
    std::array<std::array<QRadioButton*, 7>, 4> rows_{};
    std::array<QPushButton*, 3> commands_{}; // "Print Pattern", "Check Setup", "Setup"
    QPushButton* exitButton_ = nullptr;
    QProgressBar* progress_ = nullptr;
};
