#pragma once

#include "platform/widgets/FixedDialog.h"
#include "transport/PortSender.h"

#include <QString>
#include <cstddef>
#include <functional>

class QLabel;
class QProgressBar;
class QPushButton;

// "Information": sends a firmware file to the printer, byte for byte, with a progress bar.
// No other window is reached from here: whoever creates the dialog hands in what it needs (the
// port settings, the print method, the chosen file).
class FirmwareDialog : public logosmith::FixedDialog {
    Q_OBJECT
  public:
    explicit FirmwareDialog(logosmith::PortSettingsProvider portSettings,
                            QWidget* parent = nullptr);

    // Whether the direct print method is chosen; with the other method nothing is sent.
    std::function<bool()> directMethodChosen = [] { return true; };
    // The firmware file chosen in the main window.
    std::function<QString()> firmwareFile;

    // Sends the file over the chosen port (or the spooler for "U S B") and answers how the
    // transfer ended. Throws FileError, before any port is opened, when the file cannot be read.
    logosmith::TransferResult DownloadFirmware(const QString& file);

    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Label4 = nullptr;
    QPushButton* BitBtn1 = nullptr;
    QPushButton* BitBtn2 = nullptr;
    QProgressBar* progress = nullptr;

  signals:
    // A piece of the firmware has reached the port.
    void pieceWritten(qsizetype size);

  public slots:
    void BitBtn1Click();
    void BitBtn2Click();

  private:
    void buildControls();
    void progressStep();
    // Closes the dialog and asks the user to wait, or tells what went wrong.
    void downloadEnded(const logosmith::TransferResult& result);

    logosmith::PortSettingsProvider portSettings_;
};

extern FirmwareDialog* DownloadForm;
