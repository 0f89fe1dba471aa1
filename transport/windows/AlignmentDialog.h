#pragma once

#include "platform/core/ScratchFile.h"
#include "platform/widgets/FixedDialog.h"
#include "transport/PortSender.h"

#include <QString>
#include <array>
#include <functional>
#include <string>

namespace logosmith {
class TransferWorker;
}

class QGroupBox;
class QProgressBar;
class QPushButton;
class QRadioButton;

// "Vertical Alignment": prints the alignment pattern or the current setup, and sets the four
// alignment values. The choices live in the radio buttons for the whole run. Its commands go out
// on the program's transfer worker; the dialog cannot be closed until one has ended. Whoever
// creates the dialog hands in the worker, the port settings, the print method and the scratch
// command file.
class AlignmentDialog : public logosmith::FixedDialog {
    Q_OBJECT
  public:
    AlignmentDialog(logosmith::TransferWorker& transfers,
                    logosmith::PortSettingsProvider portSettings, QWidget* parent = nullptr);

    // Whether the direct print method is chosen; with the other method nothing is written or sent.
    std::function<bool()> directMethodChosen = [] { return true; };
    // The scratch command file ("tlsdlek.prn" in the program folder).
    std::function<QString()> scratchFile;

    // The checked position, 1 to 7, of each row: low, normal, high, colour speed.
    std::array<int, 4> positions() const;

    // Write the 10-byte alignment command (function 1: pattern, 3: check setup) or the 104-byte
    // setup command as a new scratch command file.
    void WriteAlignmentCommand(int function);
    void WriteSetupCommand();
    // Starts sending the scratch command file in 2-byte pieces, a bar step after each; the
    // file is deleted when the transfer ends.
    void SendAlignmentSetup();

    // One row of seven radio buttons per print mode; index 0 is "-3", index 6 is "3".
    std::array<QRadioButton*, 7> l{};
    std::array<QRadioButton*, 7> n{};
    std::array<QRadioButton*, 7> h{};
    std::array<QRadioButton*, 7> c{};
    QPushButton* Button1 = nullptr;
    QPushButton* Button2 = nullptr;
    QPushButton* Button3 = nullptr;
    QPushButton* Button4 = nullptr;
    QProgressBar* progress = nullptr;

  signals:
    // A piece of a command has reached the port.
    void pieceWritten(qsizetype size);

  public slots:
    void Button1Click();
    void Button2Click();
    void Button3Click();
    void Button4Click();

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void buildControls();
    void FormShow();
    void printAlignmentCommand(int function);
    // Starts sending a scratch command file the action has written; the end of the transfer
    // deletes it and reports how it went.
    void send(logosmith::TransferKind kind, logosmith::ScratchFile scratch);
    std::string scratchPath() const;
    void progressStep();

    logosmith::TransferWorker& transfers_;
    logosmith::PortSettingsProvider portSettings_;
};
