#pragma once

#include "printdata/Density.h"
#include "separation/controls/ColourControlsModel.h"
#include "transport/PortSettings.h"

#include <QMainWindow>
#include <QPoint>
#include <QSize>
#include <QString>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QAction;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QScrollBar;
class QTimer;
class QTreeWidget;
class QUrl;
class PictureView;
class FormStorage;
class Swatch;

namespace logosmith {
class LibraryModel;
class SettingsStore;
class UserDialogs;
class TransferWorker;
} // namespace logosmith

// The run state the whole program shares, held by the main window.
struct AppState {
    QString RootDir;
    QString EditorCommand;
    QString CurrentSourcePath;
};

// What the main window reads from the session's other windows and opens in them. The session
// root implements it; no window reaches into another.
class MainWindowLinks {
  public:
    virtual ~MainWindowLinks() = default;

    enum class Dialog { Resolution, PortSettings, Editor, Information, Firmware, Alignment };
    // Shows a dialog modeless; one already open is only brought to the front.
    virtual void openDialog(Dialog dialog) = 0;
    // The firmware dialog's bar back at 0, before the firmware file is asked for.
    virtual void resetFirmwareProgress() = 0;
    // The resolution dialog's choice and the port dialog's lists, as they are now.
    virtual logosmith::Density density() const = 0;
    virtual logosmith::PortSettings portSettings() const = 0;
    // Shows in the printer view the command stream that `bytes` answers, under `source`. The
    // view is emptied first, so a stream that cannot be had or read leaves nothing stale; the
    // error goes on to the caller.
    virtual void viewPrinterStream(const QString& source,
                                   const std::function<std::vector<std::uint8_t>()>& bytes) = 0;
};

// The main window: library list, two-colour preview, colour panels, store and print commands.
// Its controls carry the names of the window's design as object names; what they show comes
// from the colour-controls and library models, which hold the rules.
class MainWindow : public QMainWindow {
    Q_OBJECT
  public:
    // Store and Print go out on the program's transfer worker, which every window shares.
    MainWindow(logosmith::SettingsStore& store, logosmith::UserDialogs& dialogs,
               MainWindowLinks& links, logosmith::TransferWorker& transfers,
               QWidget* parent = nullptr);
    ~MainWindow() override;

    // Start-up steps run while the window is created: the controls' start state, the program
    // folder, the library restored and its last entry shown. A step that fails on outside data
    // is reported and start-up goes on.
    void formCreate();

    const AppState& state() const { return state_; }
    // The colour controls, the separation settings, the loaded file and the pictures under the
    // preview.
    logosmith::ColourControlsModel& pictures() { return pictures_; }
    // The image library (after formCreate).
    logosmith::LibraryModel& library() { return *library_; }

    // Adds a picture file to the library as "Add Image" does once the open dialog has answered
    // (a file given on the command line).
    void addImageFile(const QString& path);
    // Whether "Direct Print" is the print method.
    bool directPrintChosen() const;
    // The scratch command file: the program folder + "tlsdlek.prn".
    QString scratchFilePath() const;

  public slots:
    // The editor dialog's "OK".
    void setEditorCommand(const QString& command);

  protected:
    void closeEvent(QCloseEvent* event) override;
    // Files dropped on the window or the library list.
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void buildControls(QWidget* client);
    void buildColourPanels(QWidget* client);
    void buildMenu();
    void connectHandlers();
    void connectColourHandlers();
    void enablePictureCommands();
    // Shows the colour-controls model's state in the colour panels, boxes and views.
    void showColourControls();
    // Setting -> Dithering: the submenu, the stored choice read back, a choice made, the model's
    // mode shown by the checked item.
    void buildDitheringMenu();
    void restoreDithering();
    void chooseDithering(logosmith::DitherMode mode);
    void showDithering();

    // Library.
    void btnAddImageClick();
    void ListView1Click();
    void btnDeleteImageClick();
    void SelectLastEntry();
    // "Add Image" with the picture chosen by choosePicture (nullopt: nothing chosen).
    void addImage(const std::function<std::optional<QString>()>& choosePicture);
    void CommitCurrentImage();
    void loadPicture(const QString& path);
    void refreshLibraryList();
    int selectedLibraryRow() const;
    // Dropped files: each added as "Add Image" adds it, in order; an address that is not a
    // local file, or a file of a type the loader lacks, is refused with the loader's message.
    void acceptPictureDrops();
    void addDroppedPictures(const QList<QUrl>& urls);
    // "Paste Image": the clipboard's picture written as "pasted-N.bmp" (the first N free in the
    // library folder and the list) and added as "Add Image" adds a file.
    void pasteImage();
    // The colour pickers: the dialog is the window's, the rest the model's.
    void Button10Click();
    void Button1Click();
    // Print method.
    void DirectPrintClick();
    void DriverPrinterClick();
    // Store and print.
    std::vector<std::uint8_t> prepareStore();
    void btnStorePrinterClick();
    void btnPrintFileClick();
    void btnPrintClick();
    void PrintOnPrinter1Click();
    bool BuildPrintFile();
    // Sends the scratch command file (direct method) or prints through the driver. The send
    // runs on the transfer worker; its end deletes the file and tells what went wrong.
    void SendToPrinter();
    void sendScratchFile();
    // While any transfer runs, the commands that would start another (or end the program) are
    // off; the rest of the window stays usable.
    void transferRunning(bool running);
    void PrintThroughDriver();
    // The printer view: a command file, or what "Store" would send now.
    void OpenPrinterFile1Click();
    void PrinterView1Click();
    // Editor, saving, help.
    void btnEditClick();
    void btnSaveClick();
    void help3Click();
    void firmwaredownload1Click();
    // Leaving.
    // Commits the last entry and writes the history; the history is written even when the
    // commit fails. Throws the first failure.
    void CloseDown();
    // The close-down before the program ends; when it fails, asks whether to quit anyway.
    // Answers whether the program may end.
    bool closeDownBeforeLeaving();
    void Button9Click();

    logosmith::SettingsStore& store_;
    logosmith::UserDialogs& dialogs_;
    MainWindowLinks& links_;
    logosmith::TransferWorker& transfers_;
    QTimer* transferProgressDelay_ = nullptr;
    AppState state_;
    logosmith::ColourControlsModel pictures_;
    std::unique_ptr<logosmith::LibraryModel> library_;
    FormStorage* FormStorage2 = nullptr;
    // The person chose to quit although the close-down could not write; the destruction then
    // does not try (and report) again.
    bool leftWithoutSaving_ = false;

    // Controls, named as in the window design.
    QLineEdit* Edit1 = nullptr;
    QTreeWidget* ListView1 = nullptr;
    QPushButton* btnAddImage = nullptr;
    QPushButton* btnDeleteImage = nullptr;
    QPushButton* btnLoad = nullptr;
    PictureView* Image1 = nullptr;
    PictureView* Image2 = nullptr;
    QPushButton* btnSave = nullptr;
    QPushButton* btnEdit = nullptr;
    QPushButton* btnCenter = nullptr;
    QPushButton* btnScale = nullptr;
    QCheckBox* scaleCheckBox = nullptr;
    QCheckBox* UpdateCheckBox = nullptr;
    QPushButton* Button15 = nullptr;

    QGroupBox* GroupBoxRange = nullptr;
    QScrollBar* ScrollBar2 = nullptr;
    QLineEdit* Edit2 = nullptr;
    Swatch* Shape6 = nullptr;
    QScrollBar* ScrollBar1 = nullptr;
    QLineEdit* e1 = nullptr;
    Swatch* Shape3 = nullptr;
    QScrollBar* ScrollBar3 = nullptr;
    QLineEdit* Edit3 = nullptr;
    Swatch* Shape7 = nullptr;

    QGroupBox* GroupBoxCartridge = nullptr;
    Swatch* Shape8 = nullptr;
    QLineEdit* Edit5 = nullptr;
    QPushButton* Button10 = nullptr;
    Swatch* Shape9 = nullptr;
    QLineEdit* Edit4 = nullptr;
    QPushButton* Button1 = nullptr;
    QRadioButton* radioRed = nullptr;
    QRadioButton* RadioGreen = nullptr;
    QRadioButton* RadioBlue = nullptr;
    QRadioButton* RadioBlack = nullptr;
    Swatch* Shape1 = nullptr;
    Swatch* Shape2 = nullptr;
    Swatch* Shape4 = nullptr;
    Swatch* Shape5 = nullptr;
    QCheckBox* CheckBox1 = nullptr;

    QGroupBox* GroupBoxRgb = nullptr;
    QCheckBox* InvertCheckBox = nullptr;
    QCheckBox* swapBlackWhite = nullptr;
    QCheckBox* swapGreenBlue = nullptr;
    QCheckBox* swapRedBlue = nullptr;
    QCheckBox* swapRedGreen = nullptr;

    QGroupBox* GroupBoxStore = nullptr;
    QPushButton* btnStorePrinter = nullptr;
    QPushButton* btnPrintFile = nullptr;
    QGroupBox* GroupBoxPrint = nullptr;
    QRadioButton* DirectPrint = nullptr;
    QRadioButton* DriverPrinter = nullptr;
    QPushButton* btnPrint = nullptr;
    QPushButton* Button9 = nullptr;
    // How far a send of Store or Print has come; shown only when it takes more than a moment.
    QProgressBar* transferProgress = nullptr;
    QPushButton* btnPrinterView = nullptr;

    // Menu items.
    QMenu* file1 = nullptr;
    QAction* open1 = nullptr;
    QAction* PasteImage1 = nullptr;
    QAction* save1 = nullptr;
    QAction* OpenPrinterFile1 = nullptr;
    QAction* PrinterView1 = nullptr;
    QMenu* exit1 = nullptr;
    QAction* PrintOnPrinter1 = nullptr;
    QAction* PrintToFile1 = nullptr;
    QAction* StoreInPrinter1 = nullptr;
    QAction* exit2 = nullptr;
    QMenu* help1 = nullptr;
    QAction* SetResolution1 = nullptr;
    QAction* SetCommunicationPort1 = nullptr;
    QAction* SetImageEditer1 = nullptr;
    QMenu* SetPrintmethod1 = nullptr;
    QAction* directtoport1 = nullptr;
    QAction* WindowPrintDriver1 = nullptr;
    QAction* CheckveticalAlignment1 = nullptr;
    QAction* RestoredefaultSetting1 = nullptr;
    QMenu* ImageResize1 = nullptr;
    QAction* N1001 = nullptr;
    QAction* N751 = nullptr;
    QAction* N501 = nullptr;
    QAction* N251 = nullptr;
    QAction* SaveSettingsOnExit1 = nullptr;
    QMenu* Dithering1 = nullptr;
    QAction* NoDithering1 = nullptr;
    QAction* ErrorDiffusion1 = nullptr;
    QAction* OrderedDithering1 = nullptr;
    QMenu* download1 = nullptr;
    QAction* firmwaredownload1 = nullptr;
    QMenu* help2 = nullptr;
    QAction* PrinterInfo1 = nullptr;
    QAction* help3 = nullptr;
};

// Asked after a close-down that could not write.
inline const QString quitAnywayQuestion =
    QStringLiteral("The library could not be saved (see the previous message).\n\n"
                   "Quit anyway? What is already stored stays as it is; the changes not yet "
                   "saved are lost.");

// "Paste Image" with no picture on the clipboard.
inline const QString noPictureToPasteMessage =
    QStringLiteral("There is no picture on the clipboard to paste.");

// Where the driver print puts a picture: centred on the page, one pixel per device pixel.
QPoint driverPrintOrigin(const QSize& page, const QSize& picture);
