#pragma once

#include <QPoint>
#include <QSize>
#include <QWidget>
#include <cstddef>

class QGroupBox;
class QPushButton;
class QRadioButton;

namespace logosmith {
class AppState;
class ColourControlsModel;
class PrinterJobs;
class PrintMethodModel;
class TransferWorker;
class UserDialogs;
} // namespace logosmith

// The "Store Command" and "Print  Select" groups: storing the library in the printer, saving
// the store command as a file, printing a test copy, and the print method. The printer jobs
// build and send; this panel asks the person and tells how it went.
class StorePrintPanel : public QWidget {
    Q_OBJECT
  public:
    StorePrintPanel(logosmith::PrinterJobs& jobs, logosmith::PrintMethodModel& method,
                    logosmith::ColourControlsModel& pictures, logosmith::TransferWorker& transfers,
                    logosmith::AppState& state, logosmith::UserDialogs& dialogs, QWidget* parent);

    // "Store": the library sent to the printer's logo memory.
    void store();
    // "Store to File": the same command saved as a .prn file.
    void storeToFile();
    // "Print": one test copy of the preview, by the chosen print method.
    void print();

  signals:
    // A send of Store or Print: started with this many bytes, a piece of it written, ended.
    void sendStarted(qint64 size);
    void pieceSent(std::size_t size);
    void sendEnded();

  private:
    void showMethod();
    void enablePictureCommands();
    void transferRunning(bool running);
    void send(const std::vector<std::uint8_t>& command);
    void printThroughDriver();

    logosmith::PrinterJobs& jobs_;
    logosmith::PrintMethodModel& method_;
    logosmith::AppState& state_;
    logosmith::UserDialogs& dialogs_;
    bool pictureLoaded_ = false;
    QGroupBox* storeGroup_ = nullptr;
    QGroupBox* printGroup_ = nullptr;
    QPushButton* storeButton_ = nullptr;
    QPushButton* storeToFileButton_ = nullptr;
    QPushButton* printButton_ = nullptr;
    QRadioButton* directButton_ = nullptr;
    QRadioButton* driverButton_ = nullptr;
};

// Where the driver print puts a picture: centred on the page, one pixel per device pixel.
QPoint driverPrintOrigin(const QSize& page, const QSize& picture);
