#pragma once

#include "separation/Separation.h"

#include <QMainWindow>
#include <QString>
#include <cstdint>
#include <functional>
#include <vector>

class ColourControlsPanel;
class FormStorage;
class LibraryPanel;
class PreviewPanel;
class QAction;
class QMenu;
class QPushButton;
class SendProgressBar;
class StorePrintPanel;

namespace logosmith {
class AppState;
class ColourControlsModel;
class DitheringModel;
class EditorCommandModel;
class LibraryModel;
class PrinterJobs;
class PrintMethodModel;
class SettingsStore;
class TransferWorker;
class UndoHistory;
class UserDialogs;
} // namespace logosmith

// What the main window and its panels show and work with. The session owns all of it.
struct MainWindowParts {
    logosmith::SettingsStore& store;
    logosmith::UserDialogs& dialogs;
    logosmith::AppState& state;
    logosmith::ColourControlsModel& pictures;
    logosmith::DitheringModel& dithering;
    logosmith::LibraryModel& library;
    logosmith::PrintMethodModel& printMethod;
    logosmith::EditorCommandModel& editor;
    logosmith::PrinterJobs& jobs;
    logosmith::TransferWorker& transfers;
    logosmith::UndoHistory& history;
};

// What the main window asks of the session's other windows. No window reaches into another.
class MainWindowLinks {
  public:
    virtual ~MainWindowLinks() = default;

    // Opens the session's window of this object name ("ResolutionForm", "PortForm", …) as it
    // opens from the menu; one already open is only brought to the front.
    virtual void openDialog(const QString& name) = 0;
    // Shows in the printer view the command stream that `bytes` answers, under `source`. The
    // view is emptied first, so a stream that cannot be had or read leaves nothing stale; the
    // error goes on to the caller.
    virtual void viewPrinterStream(const QString& source,
                                   const std::function<std::vector<std::uint8_t>()>& bytes) = 0;
};

// The main window: a frame of fixed size that holds the four panels (library, preview, colour
// controls, store and print), the menus and the exit line. The panels bind to the models; the
// frame only lays them out and hands the menu items to them.
class MainWindow : public QMainWindow {
    Q_OBJECT
  public:
    MainWindow(const MainWindowParts& parts, MainWindowLinks& links, QWidget* parent = nullptr);
    // Runs the close-down unless the person chose to quit without it.
    ~MainWindow() override;

    // The library's last entry selected and shown, as at start-up.
    void SelectLastEntry();
    // Adds a picture file to the library as "Add Image" does once the open dialog has answered
    // (a file given on the command line).
    void addImageFile(const QString& path);

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void buildMenus();
    void buildFileMenu();
    void buildEditMenu();
    void buildViewMenu();
    void buildSettingMenu();
    void buildDitheringMenu(QMenu* setting);
    void buildHelpMenus();
    void showPrintMethod();
    void showDithering();
    void enablePictureCommands();
    void transferRunning(bool running);
    void openPrinterFile();
    void viewStore();
    void openHelp();
    // Commits the last entry and writes the history; the history is written even when the
    // commit fails. Throws the first failure.
    void CloseDown();
    // The close-down before the program ends; when it fails, asks whether to quit anyway.
    // Answers whether the program may end.
    bool closeDownBeforeLeaving();
    void exitProgram();

    MainWindowParts parts_;
    MainWindowLinks& links_;
    FormStorage* formStorage_ = nullptr;
    // The person chose to quit although the close-down could not write; the destruction then
    // does not try (and report) again.
    bool leftWithoutSaving_ = false;

    LibraryPanel* library_ = nullptr;
    PreviewPanel* preview_ = nullptr;
    ColourControlsPanel* colours_ = nullptr;
    StorePrintPanel* storePrint_ = nullptr;
    SendProgressBar* sendProgress_ = nullptr;
    QPushButton* exitButton_ = nullptr;

    // The menu items whose state changes during the run.
    QAction* saveItem_ = nullptr;
    QMenu* printSubmenu_ = nullptr;
    QAction* printItem_ = nullptr;
    QAction* printToFileItem_ = nullptr;
    QAction* exitItem_ = nullptr;
    QAction* portSettingsItem_ = nullptr;
    QAction* alignmentItem_ = nullptr;
    QMenu* resizeSubmenu_ = nullptr;
    std::vector<std::pair<QAction*, logosmith::DitherMode>> ditheringItems_;
    QAction* firmwareItem_ = nullptr;
};

// Asked after a close-down that could not write.
inline const QString quitAnywayQuestion =
    QStringLiteral("The library could not be saved (see the previous message).\n\n"
                   "Quit anyway? What is already stored stays as it is; the changes not yet "
                   "saved are lost.");
