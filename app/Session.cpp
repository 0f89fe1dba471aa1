#include "app/Session.h"

#include "app/CommandLine.h"
#include "app/jobs/PrinterJobs.h"
#include "app/library/LibraryModel.h"
#include "app/library/LibraryStartup.h"
#include "app/state/AppState.h"
#include "app/state/EditorCommandModel.h"
#include "app/undo/UndoHistory.h"
#include "app/windows/EditorDialog.h"
#include "app/windows/EditorHandoff.h"
#include "app/windows/InformationDialog.h"
#include "app/windows/PictureView.h"
#include "app/windows/PreviewWindow.h"
#include "platform/ErrorGuard.h"
#include "platform/SettingsStore.h"
#include "platform/widgets/QtUserDialogs.h"
#include "printdata/settings/ResolutionModel.h"
#include "printdata/windows/PrinterViewWindow.h"
#include "printdata/windows/ResolutionDialog.h"
#include "separation/controls/ColourControlsModel.h"
#include "separation/controls/DitheringModel.h"
#include "transport/AlignmentModel.h"
#include "transport/CommandSender.h"
#include "transport/PortSettingsModel.h"
#include "transport/PrintMethodModel.h"
#include "transport/TransferWorker.h"
#include "transport/windows/AlignmentDialog.h"
#include "transport/windows/FirmwareDialog.h"
#include "transport/windows/PortSettingsDialog.h"

#include <QCoreApplication>
#include <QFile>
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
    // Start-up runs inside the error guard like every action. The start-up steps that read
    // outside data report their failures and go on, so the program comes up with what could be
    // read; only windows that could not be made at all end it.
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

void Session::createModels() {
    transfers_ = std::make_unique<TransferWorker>();
    state_ = std::make_unique<AppState>();
    pictures_ = std::make_unique<ColourControlsModel>();
    // The best halftone must not hold up the window.
    pictures_->setBackgroundRefinement(true);
    dithering_ = std::make_unique<DitheringModel>(store_, *pictures_);
    printMethod_ = std::make_unique<PrintMethodModel>();
    editor_ = std::make_unique<EditorCommandModel>(defaultEditorCommand());
    ports_ = std::make_unique<PortSettingsModel>(store_);
    resolution_ = std::make_unique<ResolutionModel>(store_);
    alignment_ = std::make_unique<AlignmentModel>();

    pictures_->moveLValue(100);
    // Before the library's last entry loads, so its first preview is already dithered.
    dithering_->load();
    library_ = openLibrary(store_, QCoreApplication::applicationDirPath() + "/", *pictures_,
                           state_->RootDir);
    sender_ = std::make_unique<CommandSender>(
        *transfers_, *ports_, QFile::encodeName(state_->RootDir + "tlsdlek.prn").toStdString());
    jobs_ = std::make_unique<PrinterJobs>(*library_, *pictures_, *resolution_, *sender_);
    history_ = std::make_unique<UndoHistory>(*pictures_, *library_);
}

void Session::createWindows() {
    createModels();
    main_ = std::make_unique<MainWindow>(MainWindowParts{store_, dialogs_, *state_, *pictures_,
                                                         *dithering_, *library_, *printMethod_,
                                                         *editor_, *jobs_, *transfers_, *history_},
                                         static_cast<MainWindowLinks&>(*this));
    guarded([this] { main_->SelectLastEntry(); });

    AppState* state = state_.get();
    download_ = std::make_unique<FirmwareDialog>(*sender_, *printMethod_,
                                                 [state] { return state->CurrentSourcePath; });
    QObject::connect(download_.get(), &FirmwareDialog::fileChosen, state,
                     [state](const QString& file) {
                         state->showPath(file);
                         state->CurrentSourcePath = file;
                     });
    addOpener("DownloadForm", [this] { download_->chooseFileAndShow(); });

    information_ = std::make_unique<InformationDialog>();
    information_->showFilesFolder(state_->RootDir);
    addOpener("helpForm", [this] { information_->showModeless(); });

    editorDialog_ = std::make_unique<EditorDialog>(store_);
    QObject::connect(editorDialog_.get(), &EditorDialog::commandChosen, editor_.get(),
                     &EditorCommandModel::choose);
    addOpener("ImageEditorForm", [this] { editorDialog_->showModeless(); });

    // The port and resolution settings are read as their dialogs are made, and are in force
    // before the dialogs are ever shown.
    guarded([this] { ports_->load(); });
    port_ = std::make_unique<PortSettingsDialog>(*ports_);
    addOpener("PortForm", [this] { port_->showModeless(); });

    guarded([this] { resolution_->load(); });
    resolutionDialog_ = std::make_unique<ResolutionDialog>(*resolution_, store_);
    addOpener("ResolutionForm", [this] { resolutionDialog_->showModeless(); });

    alignmentDialog_ = std::make_unique<AlignmentDialog>(*alignment_, *printMethod_, *sender_);
    addOpener("verticalForm", [this] { alignmentDialog_->showModeless(); });

    printerView_ = std::make_unique<PrinterViewWindow>(store_);
    previewWindow_ = std::make_unique<PreviewWindow>(*pictures_, store_);
    addOpener("PreviewForm", [this] { previewWindow_->showModeless(); });
}

void Session::addOpener(const QString& name, std::function<void()> open) {
    openers_[name] = std::move(open);
}

void Session::closeWindows() {
    openers_.clear();
    previewWindow_.reset();
    printerView_.reset();
    alignmentDialog_.reset();
    resolutionDialog_.reset();
    port_.reset();
    editorDialog_.reset();
    information_.reset();
    download_.reset();
    main_.reset();
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

void Session::openDialog(const QString& name) {
    const auto opener = openers_.find(name);
    if (opener != openers_.end())
        opener->second();
}

void Session::viewPrinterStream(const QString& source,
                                const std::function<std::vector<std::uint8_t>()>& bytes) {
    printerView_->showStream(source, bytes);
}

} // namespace logosmith
