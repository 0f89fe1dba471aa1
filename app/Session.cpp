#include "app/Session.h"

#include "app/CommandLine.h"
#include "app/windows/EditorDialog.h"
#include "app/windows/InformationDialog.h"
#include "app/windows/PictureView.h"
#include "platform/ErrorGuard.h"
#include "platform/SettingsStore.h"
#include "platform/widgets/QtUserDialogs.h"
#include "printdata/windows/PrinterViewWindow.h"
#include "printdata/windows/ResolutionDialog.h"
#include "transport/TransferWorker.h"
#include "transport/windows/AlignmentDialog.h"
#include "transport/windows/FirmwareDialog.h"
#include "transport/windows/PortSettingsDialog.h"

#include <QProgressBar>
#include <QTimer>

namespace logosmith {

namespace {

QtUserDialogs* realDialogs() {
    auto* dialogs = new QtUserDialogs();
    dialogs->setPicturePreview(previewPictureFile);
    return dialogs;
}

} // namespace

Session::Session()
    : ownStore_(std::make_unique<SettingsStore>()), ownDialogs_(realDialogs()), store_(*ownStore_),
      dialogs_(*ownDialogs_) {
    previousReport_ = installUserDialogs(&dialogs_);
    // Start-up runs inside the error guard like every action. The main window's own start-up
    // steps report their failures and go on, so the program comes up with what could be read;
    // only windows that could not be made at all end it.
    if (!guarded([this] { createWindows(); }))
        closeWindows();
    else
        ownDialogs_->setParentWindow(main_.get());
}

Session::Session(SettingsStore& store, UserDialogs& dialogs) : store_(store), dialogs_(dialogs) {
    previousReport_ = installUserDialogs(&dialogs_);
    if (!guarded([this] { createWindows(); }))
        closeWindows();
}

Session::~Session() {
    closeWindows();
    installUserDialogs(previousReport_);
}

void Session::createWindows() {
    transfers_ = std::make_unique<TransferWorker>();
    main_ = std::make_unique<MainWindow>(store_, dialogs_, static_cast<MainWindowLinks&>(*this),
                                         *transfers_);
    main_->formCreate();
    // Every transfer reads the port dialog's lists afresh as it starts.
    const PortSettingsProvider portSettings = [this] { return port_->portSettings(); };
    download_ = std::make_unique<FirmwareDialog>(*transfers_, portSettings);
    information_ = std::make_unique<InformationDialog>();
    information_->showFilesFolder(main_->state().RootDir);
    editor_ = std::make_unique<EditorDialog>(store_);
    port_ = std::make_unique<PortSettingsDialog>(store_);
    resolution_ = std::make_unique<ResolutionDialog>(store_);
    alignment_ = std::make_unique<AlignmentDialog>(*transfers_, portSettings);
    printerView_ = std::make_unique<PrinterViewWindow>(store_);

    MainWindow* main = main_.get();
    QObject::connect(editor_.get(), &EditorDialog::commandChosen, main,
                     &MainWindow::setEditorCommand);
    // The maintenance dialogs read the main window's live choices through these queries.
    download_->directMethodChosen = [main] { return main->directPrintChosen(); };
    download_->firmwareFile = [main] { return main->state().CurrentSourcePath; };
    alignment_->directMethodChosen = [main] { return main->directPrintChosen(); };
    alignment_->scratchFile = [main] { return main->scratchFilePath(); };
}

void Session::closeWindows() {
    printerView_.reset();
    alignment_.reset();
    resolution_.reset();
    port_.reset();
    editor_.reset();
    information_.reset();
    download_.reset();
    main_.reset();
    transfers_.reset();
}

void Session::start(const QStringList& pictures) {
    main_->show();
    if (pictures.isEmpty())
        return;
    // Pictures from the file manager's "Open with" are added once the event loop runs, so a
    // close during their messages ends the program as it does at any other time.
    QTimer::singleShot(0, main_.get(),
                       [this, pictures] { addPicturesFromCommandLine(*main_, pictures); });
}

void Session::openDialog(Dialog dialog) {
    switch (dialog) {
    case Dialog::Resolution:
        resolution_->showModeless();
        break;
    case Dialog::PortSettings:
        port_->showModeless();
        break;
    case Dialog::Editor:
        editor_->showModeless();
        break;
    case Dialog::Information:
        information_->showModeless();
        break;
    case Dialog::Firmware:
        download_->showModeless();
        break;
    case Dialog::Alignment:
        alignment_->showModeless();
        break;
    }
}

void Session::resetFirmwareProgress() {
    download_->progress->setValue(0);
}

Density Session::density() const {
    return resolution_->density();
}

PortSettings Session::portSettings() const {
    return port_->portSettings();
}

void Session::viewPrinterStream(const QString& source,
                                const std::function<std::vector<std::uint8_t>()>& bytes) {
    printerView_->showStream(source, bytes);
}

} // namespace logosmith
