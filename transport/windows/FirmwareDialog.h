#pragma once

#include "platform/widgets/FixedDialog.h"
#include "transport/PortSender.h"

#include <QElapsedTimer>
#include <QString>
#include <cstddef>
#include <functional>

namespace logosmith {
class TransferWorker;
}

class QLabel;
class QProgressBar;
class QPushButton;

// "Information": sends a firmware file to the printer, byte for byte, with a progress bar and
// the time left. The transfer runs on the program's transfer worker; the dialog stays open and
// cannot be closed until it ends. No other window is reached from here: whoever creates the
// dialog hands in what it needs (the worker, the port settings, the print method, the file).
class FirmwareDialog : public logosmith::FixedDialog {
    Q_OBJECT
  public:
    FirmwareDialog(logosmith::TransferWorker& transfers,
                   logosmith::PortSettingsProvider portSettings, QWidget* parent = nullptr);

    // Whether the direct print method is chosen; with the other method nothing is sent.
    std::function<bool()> directMethodChosen = [] { return true; };
    // The firmware file chosen in the main window.
    std::function<QString()> firmwareFile;

    // Starts sending the file over the chosen port (or the spooler for "U S B"); when it has
    // ended, the dialog closes and asks the user to wait, or tells what went wrong. Throws
    // FileError, before any port is opened, when the file cannot be read.
    void DownloadFirmware(const QString& file);

    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Label4 = nullptr;
    QPushButton* BitBtn1 = nullptr;
    QPushButton* BitBtn2 = nullptr;
    QProgressBar* progress = nullptr;
    // The time the download still needs, at the rate so far.
    QLabel* timeLeft = nullptr;

  signals:
    // A piece of the firmware has reached the port.
    void pieceWritten(qsizetype size);

  public slots:
    void BitBtn1Click();
    void BitBtn2Click();

  private:
    void buildControls();
    void pieceArrived(std::size_t size);
    void progressStep();
    // Closes the dialog and asks the user to wait, or tells what went wrong.
    void downloadEnded(const logosmith::TransferResult& result);

    logosmith::TransferWorker& transfers_;
    logosmith::PortSettingsProvider portSettings_;
    // The running download, for the time left.
    qint64 fileSize_ = 0;
    qint64 sent_ = 0;
    QElapsedTimer clock_;
    qint64 lastEstimate_ = -1;
};
