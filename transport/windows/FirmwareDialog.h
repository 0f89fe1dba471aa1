#pragma once

#include "platform/widgets/FixedDialog.h"

#include <QString>
#include <cstddef>
#include <functional>

class QLabel;
class QProgressBar;
class QPushButton;

// "Information": sends a firmware file to the printer, byte for byte, with a progress bar.
// The main window is not reached from here; it hands in what the dialog needs through the
// public functions below.
class FirmwareDialog : public logosmith::FixedDialog {
    Q_OBJECT
  public:
    explicit FirmwareDialog(QWidget* parent = nullptr);

    // Whether the direct print method is chosen; with the other method nothing is sent.
    std::function<bool()> directMethodChosen = [] { return true; };
    // The firmware file chosen in the main window.
    std::function<QString()> firmwareFile;

    // Sends the file over the chosen port (or the spooler for "U S B"). Answers true only when
    // every byte has gone out; a port problem has been shown to the user when it answers false.
    // Throws (for the error report) when the file cannot be read or the transfer breaks off.
    bool DownloadFirmware(const QString& file);

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

  protected:
  private:
    void buildControls();
    void progressStep();
};

extern FirmwareDialog* DownloadForm;
