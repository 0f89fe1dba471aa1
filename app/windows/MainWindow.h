#pragma once

#include "app/library/StoreCommandFile.h"
#include "separation/Separation.h"
#include "separation/picture/Picture.h"

#include <QImage>
#include <QMainWindow>
#include <QPoint>
#include <QSize>
#include <QString>
#include <functional>
#include <optional>

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
class PictureView;
class FormStorage;
class Swatch;

namespace logosmith {
class ImageLibrary;
class TransferWorker;
} // namespace logosmith

// The run state the whole program shares, held by the main window.
struct AppState {
    QString RootDir;
    QString EditorCommand;
    QString CurrentSourcePath;
    int StoreImageCount = 1;
};

// The main window: library list, two-colour preview, colour panels, store and print commands.
class MainWindow : public QMainWindow {
    Q_OBJECT
  public:
    // Store and Print go out on the program's transfer worker, which every window shares.
    explicit MainWindow(logosmith::TransferWorker& transfers, QWidget* parent = nullptr);
    ~MainWindow() override;

    // Start-up steps run while the window is created.
    void formCreate();

    AppState state;
    logosmith::SeparationSettings settings;
    logosmith::Picture decodedImage;
    logosmith::Picture workingImage;
    logosmith::Picture previewImage;

    // Loads a picture file as the current picture (decode, fit, reset the colour controls,
    // separate, enable the picture commands). Throws and changes nothing on a bad file.
    void loadPicture(const QString& path);
    // Adds a picture file to the library as "Add Image" does once the open dialog has answered
    // (a file given on the command line).
    void addImageFile(const QString& path);
    void rebuildPreview();
    // Commits the last entry and writes the history; the history is written even when the
    // commit fails. Throws the first failure.
    void CloseDown();
    // The scratch command file: the program folder + "tlsdlek.prn".
    QString scratchFilePath() const;

    logosmith::ImageLibrary& library() { return *library_; }

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

    // Menu items.
    QMenu* file1 = nullptr;
    QAction* open1 = nullptr;
    QAction* save1 = nullptr;
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
    QMenu* download1 = nullptr;
    QAction* firmwaredownload1 = nullptr;
    QMenu* help2 = nullptr;
    QAction* PrinterInfo1 = nullptr;
    QAction* help3 = nullptr;

  public slots:
    // Library.
    void btnAddImageClick();
    void ListView1Click();
    void btnDeleteImageClick();
    // Sizing.
    void scaleCheckBoxClick();
    void btnCenterClick();
    void btnScaleClick();
    void resizeByPercent(int percent);
    // Colour controls.
    void ScrollBar2Change();
    void ScrollBar1Change();
    void ScrollBar3Change();
    void radioRedClick();
    void RadioGreenClick();
    void RadioBlueClick();
    void RadioBlackClick();
    void CheckBox1Click();
    void Button10Click();
    void Button1Click();
    void rgbControlClick();
    void UpdateCheckBoxClick();
    void Button15Click();
    void RestoredefaultSetting1Click();
    // Print method.
    void DirectPrintClick();
    void DriverPrinterClick();
    void directtoport1Click();
    void WindowPrintDriver1Click();
    // Store and print.
    void btnStorePrinterClick();
    void btnPrintFileClick();
    void btnPrintClick();
    void PrintOnPrinter1Click();
    bool BuildPrintFile();
    // Sends the scratch command file (direct method) or prints through the driver. The send
    // runs on the transfer worker; its end deletes the file and tells what went wrong.
    void SendToPrinter();
    void PrintThroughDriver();
    // Editor, saving, help.
    void btnEditClick();
    void btnSaveClick();
    void save1Click();
    void help3Click();
    // Dialogs.
    void SetResolution1Click();
    void SetCommunicationPort1Click();
    void SetImageEditer1Click();
    void PrinterInfo1Click();
    void firmwaredownload1Click();
    void CheckveticalAlignment1Click();
    // Leaving.
    void Button9Click();
    void exit2Click();

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void buildControls(QWidget* client);
    void buildColourPanels(QWidget* client);
    void buildMenu();
    void connectHandlers();
    void connectColourHandlers();
    void enablePictureCommands();
    // The close-down before the program ends; when it fails, asks whether to quit anyway.
    // Answers whether the program may end.
    bool closeDownBeforeLeaving();
    void SelectLastEntry();
    // "Add Image" with the picture chosen by choosePicture (nullopt: nothing chosen).
    void addImage(const std::function<std::optional<QString>()>& choosePicture);
    void CommitCurrentImage();
    void refreshLibraryList();
    std::vector<std::uint8_t> prepareStore();
    int selectedLibraryRow() const;
    void setViewFlags(bool stretch, bool center);
    void showWorking(const logosmith::Picture& picture);
    void resetSeparationForLoad();
    // While any transfer runs, the commands that would start another (or end the program) are
    // off; the rest of the window stays usable.
    void transferRunning(bool running);
    void sendScratchFile();
    // The radio buttons' two meanings: the L-ink colour while CheckBox1 is ticked, else the
    // R-ink mode.
    void chooseLInkColour(logosmith::Colour colour, const QString& name);
    void chooseInkMode(logosmith::InkMode mode, logosmith::Colour colour, const QString& name,
                       int threshold);

    logosmith::TransferWorker& transfers_;
    QTimer* transferProgressDelay_ = nullptr;
    FormStorage* FormStorage2 = nullptr;
    logosmith::ImageLibrary* library_ = nullptr;
    logosmith::LibrarySlots storeSlots_;
    // The person chose to quit although the close-down could not write; the destruction then
    // does not try (and report) again.
    bool leftWithoutSaving_ = false;
};

extern MainWindow* Form1;

// Asked after a close-down that could not write.
inline const QString quitAnywayQuestion =
    QStringLiteral("The library could not be saved (see the previous message).\n\n"
                   "Quit anyway? What is already stored stays as it is; the changes not yet "
                   "saved are lost.");

// Where the driver print puts a picture: centred on the page, one pixel per device pixel.
QPoint driverPrintOrigin(const QSize& page, const QSize& picture);

// What the picture open dialog previews: the file read by the program's own loader, so the
// preview is what a load gives. Throws as a load does.
QImage previewPictureFile(const QString& path);
