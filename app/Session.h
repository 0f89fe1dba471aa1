#pragma once

#include "app/windows/MainWindow.h"

#include <QStringList>
#include <memory>

class AlignmentDialog;
class EditorDialog;
class FirmwareDialog;
class InformationDialog;
class PortSettingsDialog;
class PrinterViewWindow;
class ResolutionDialog;

namespace logosmith {

class QtUserDialogs;
class SettingsStore;
class TransferWorker;
class UserDialogs;

// The program's composition root: the settings store, the person (the dialogs seam) and the
// eight windows, made once in their fixed order (main window, download, information, editor,
// port, resolution, alignment, printer view) and destroyed in the reverse order when the session
// ends, the main window last (its destruction runs the close-down). The session hands each window
// what it reads of the others; no window reaches into another.
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

    // Shows the main window, then, once the event loop runs, adds the pictures given on the
    // command line as "Add Image" would, in order.
    void start(const QStringList& pictures = {});

  private:
    void createWindows();
    // Destroys the windows, the main window last.
    void closeWindows();

    // MainWindowLinks: what the main window reads of the others and opens in them.
    void openDialog(Dialog dialog) override;
    void resetFirmwareProgress() override;
    Density density() const override;
    PortSettings portSettings() const override;
    void viewPrinterStream(const QString& source,
                           const std::function<std::vector<std::uint8_t>()>& bytes) override;

    std::unique_ptr<SettingsStore> ownStore_;
    std::unique_ptr<QtUserDialogs> ownDialogs_;
    SettingsStore& store_;
    UserDialogs& dialogs_;
    // The error report's dialogs before this session installed its own.
    UserDialogs* previousReport_ = nullptr;

    // The one worker every window's transfers run on; it outlives the windows.
    std::unique_ptr<TransferWorker> transfers_;
    std::unique_ptr<MainWindow> main_;
    std::unique_ptr<FirmwareDialog> download_;
    std::unique_ptr<InformationDialog> information_;
    std::unique_ptr<EditorDialog> editor_;
    std::unique_ptr<PortSettingsDialog> port_;
    std::unique_ptr<ResolutionDialog> resolution_;
    std::unique_ptr<AlignmentDialog> alignment_;
    std::unique_ptr<PrinterViewWindow> printerView_;
};

} // namespace logosmith
