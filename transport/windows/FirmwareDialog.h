#pragma once

#include "platform/widgets/FixedDialog.h"
#include "transport/PortSender.h"

#include <QElapsedTimer>
#include <QString>
#include <cstddef>
#include <functional>

namespace logosmith {
class CommandSender;
class PrintMethodModel;
} // namespace logosmith

class QLabel;
class QProgressBar;
class QPushButton;

// "Information": sends a firmware file to the printer, byte for byte, with a progress bar and
// the time left. The transfer goes out through the command sender; the dialog stays open and
// cannot be closed until it ends. Under the driver print method nothing is sent.
class FirmwareDialog : public logosmith::FixedDialog {
    Q_OBJECT
  public:
    // firmwareFile: the file "Download" sends, as the program's run state holds it then.
    FirmwareDialog(logosmith::CommandSender& sender, logosmith::PrintMethodModel& method,
                   std::function<QString()> firmwareFile, QWidget* parent = nullptr);

    // "firmware download": the bar back at 0, a firmware file asked for and, once one is
    // chosen (fileChosen), the dialog shown. Nothing is sent until "Download".
    void chooseFileAndShow();

    // Starts sending the file over the chosen port (or the spooler for "U S B"); when it has
    // ended, the dialog closes and asks the user to wait, or tells what went wrong. Throws
    // FileError, before any port is opened, when the file cannot be read.
    void DownloadFirmware(const QString& file);

  signals:
    // The person chose this firmware file.
    void fileChosen(const QString& file);
    // A piece of the firmware has reached the port.
    void pieceWritten(qsizetype size);

  private:
    void buildControls();
    void download();
    void pieceArrived(std::size_t size);
    void progressStep();
    // Closes the dialog and asks the user to wait, or tells what went wrong.
    void downloadEnded(const logosmith::TransferResult& result);

    logosmith::CommandSender& sender_;
    logosmith::PrintMethodModel& method_;
    std::function<QString()> firmwareFile_;
    QPushButton* downloadButton_ = nullptr;
    QPushButton* closeButton_ = nullptr;
    QProgressBar* progress_ = nullptr;
    // The time the download still needs, at the rate so far.
    QLabel* timeLeft_ = nullptr;
    // The running download, for the time left.
    qint64 fileSize_ = 0;
    qint64 sent_ = 0;
    QElapsedTimer clock_;
    qint64 lastEstimate_ = -1;
};
