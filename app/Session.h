#pragma once

#include "app/windows/MainWindow.h"

#include <QStringList>
#include <functional>
#include <map>
#include <memory>

class AlignmentDialog;
class EditorDialog;
class FirmwareDialog;
class InformationDialog;
class PortSettingsDialog;
class PrinterViewWindow;
class PreviewWindow;
class ResolutionDialog;

namespace logosmith {

class AlignmentModel;
class AppState;
class ColourControlsModel;
class CommandSender;
class DitheringModel;
class EditorCommandModel;
class LibraryModel;
class PortSettingsModel;
class PrinterJobs;
class PrintMethodModel;
class QtUserDialogs;
class ResolutionModel;
class SettingsStore;
class TransferWorker;
class UndoHistory;
class UserDialogs;

// The program's composition root: the settings store, the person (the dialogs seam), the models
// that hold every setting and the run's state, the printer jobs, and the eight windows, made
// once in their fixed order (main window, download, information, editor, port, resolution,
// alignment, printer view) and destroyed in the reverse order when the session ends, the main
// window last (its destruction runs the close-down). Windows bind to the models; no window
// reaches into another.
class Session : private MainWindowLinks {
  public:
    // The program's own session: the user's settings file and the real dialogs.
    Session();
    // A session over a given store and person (tests, tools).
    Session(SettingsStore& store, UserDialogs& dialogs);
    ~Session() override;
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    // False when a window could not be made at all: the failure has been reported, and the
    // session holds no windows (the program ends).
    bool windowsMade() const { return main_ != nullptr; }
    MainWindow& mainWindow() { return *main_; }
    TransferWorker& transfers() { return *transfers_; }

    // The models the windows show.
    const AppState& state() const { return *state_; }
    const ColourControlsModel& pictures() const { return *pictures_; }
    LibraryModel& library() { return *library_; }
    PortSettingsModel& portSettings() { return *ports_; }
    ResolutionModel& resolution() { return *resolution_; }
    PrintMethodModel& printMethod() { return *printMethod_; }
    const EditorCommandModel& editorCommand() const { return *editor_; }
    UndoHistory& history() { return *history_; }

    // Shows the main window, then, once the event loop runs, adds the pictures given on the
    // command line as "Add Image" would, in order.
    void start(const QStringList& pictures = {});

  private:
    void createModels();
    void createWindows();
    // Destroys the windows, the main window last.
    void closeWindows();
    // How the menu opens a window, by its object name.
    void addOpener(const QString& name, std::function<void()> open);

    // MainWindowLinks.
    void openDialog(const QString& name) override;
    void viewPrinterStream(const QString& source,
                           const std::function<std::vector<std::uint8_t>()>& bytes) override;

    std::unique_ptr<SettingsStore> ownStore_;
    std::unique_ptr<QtUserDialogs> ownDialogs_;
    SettingsStore& store_;
    UserDialogs& dialogs_;
    // The error report's dialogs before this session installed its own.
    UserDialogs* previousReport_ = nullptr;

    // The models and the worker outlive every window.
    std::unique_ptr<TransferWorker> transfers_;
    std::unique_ptr<AppState> state_;
    std::unique_ptr<ColourControlsModel> pictures_;
    std::unique_ptr<DitheringModel> dithering_;
    std::unique_ptr<PrintMethodModel> printMethod_;
    std::unique_ptr<EditorCommandModel> editor_;
    std::unique_ptr<PortSettingsModel> ports_;
    std::unique_ptr<ResolutionModel> resolution_;
    std::unique_ptr<AlignmentModel> alignment_;
    std::unique_ptr<LibraryModel> library_;
    std::unique_ptr<CommandSender> sender_;
    std::unique_ptr<PrinterJobs> jobs_;
    std::unique_ptr<UndoHistory> history_;

    std::unique_ptr<MainWindow> main_;
    std::unique_ptr<FirmwareDialog> download_;
    std::unique_ptr<InformationDialog> information_;
    std::unique_ptr<EditorDialog> editorDialog_;
    std::unique_ptr<PortSettingsDialog> port_;
    std::unique_ptr<ResolutionDialog> resolutionDialog_;
    std::unique_ptr<AlignmentDialog> alignmentDialog_;
    std::unique_ptr<PrinterViewWindow> printerView_;
    std::unique_ptr<PreviewWindow> previewWindow_;
    std::map<QString, std::function<void()>> openers_;
};

} // namespace logosmith
