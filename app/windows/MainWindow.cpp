#include "app/windows/MainWindow.h"

#include "app/jobs/PrinterJobs.h"
#include "app/library/InstallLayout.h"
#include "app/library/LibraryModel.h"
#include "app/state/AppState.h"
#include "app/undo/UndoHistory.h"
#include "app/windows/ColourControlsPanel.h"
#include "app/windows/LibraryPanel.h"
#include "app/windows/Placement.h"
#include "app/windows/PreviewPanel.h"
#include "app/windows/SendProgressBar.h"
#include "app/windows/StorePrintPanel.h"
#include "platform/ErrorGuard.h"
#include "platform/SettingsStore.h"
#include "platform/UserDialogs.h"
#include "platform/widgets/FormStorage.h"
#include "printdata/reader/PrinterFile.h"
#include "separation/controls/ColourControlsModel.h"
#include "separation/controls/DitheringModel.h"
#include "separation/loader/PictureFormats.h"
#include "transport/PrintMethodModel.h"
#include "transport/TransferWorker.h"

#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QIcon>
#include <QKeySequence>
#include <QMenuBar>
#include <QPushButton>
#include <QThread>
#include <QUrl>

using namespace logosmith;

namespace {

constexpr int clientWidth = 606;
constexpr int clientHeight = 609;

QAction* addItem(QMenu* menu, const char* name, const QString& caption) {
    QAction* action = menu->addAction(caption);
    action->setObjectName(name);
    return action;
}

QMenu* addMenu(QMenu* menu, const char* name, const QString& caption) {
    QMenu* sub = menu->addMenu(caption);
    sub->setObjectName(name);
    sub->menuAction()->setObjectName(QString(name) + "_item");
    return sub;
}

// Ends the program's event loop. exit(), not quit(): quit() first closes every window, which
// would store the windows' settings as a close-box leaving ("Visible" "0") instead of at their
// destruction. Outside a running loop there is nothing to end, and exit() would instead make
// the next dialog's loop return at once.
void endEventLoop() {
    if (QThread::currentThread()->loopLevel() > 0)
        QCoreApplication::exit(0);
}

} // namespace

MainWindow::MainWindow(const MainWindowParts& parts, MainWindowLinks& links, QWidget* parent)
    : QMainWindow(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                              Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                              Qt::WindowCloseButtonHint),
      parts_(parts), links_(links) {
    setObjectName("Form1");
    setWindowTitle("KORVANT MRX-310 Logosmith");
    auto* client = new QWidget(this);
    client->setObjectName("client");
    client->setFixedSize(clientWidth, clientHeight);
    setCentralWidget(client);

    library_ = new LibraryPanel(parts.library, parts.pictures, parts.history, parts.state,
                                parts.store, parts.dialogs, client);
    library_->setGeometry(0, 0, 305, 184);
    preview_ = new PreviewPanel(parts.pictures, parts.editor, parts.state, parts.dialogs, client);
    preview_->setGeometry(0, 184, 305, 306);
    colours_ = new ColourControlsPanel(parts.pictures, parts.dialogs, client);
    colours_->setGeometry(305, 0, 301, 570);
    storePrint_ = new StorePrintPanel(parts.jobs, parts.printMethod, parts.pictures,
                                      parts.transfers, parts.state, parts.dialogs, client);
    storePrint_->setGeometry(0, 490, 305, 119);

    // The exit line, in the free place below the colour panels.
    sendProgress_ = new SendProgressBar(client);
    sendProgress_->setObjectName("transferProgress");
    sendProgress_->setGeometry(306, 579, 94, 20);
    auto* printerView =
        place<QPushButton>(client, "btnPrinterView", "Printer View", 406, 576, 93, 26);
    exitButton_ = place<QPushButton>(client, "Button9", "Exit", 505, 576, 93, 26);
    connect(storePrint_, &StorePrintPanel::sendStarted, sendProgress_, &SendProgressBar::begin);
    connect(storePrint_, &StorePrintPanel::pieceSent, sendProgress_, &SendProgressBar::advance);
    connect(storePrint_, &StorePrintPanel::sendEnded, sendProgress_, &SendProgressBar::end);
    connectGuarded(printerView, &QPushButton::clicked, this, &MainWindow::viewStore);
    connectGuarded(exitButton_, &QPushButton::clicked, this, &MainWindow::exitProgram);

    buildMenus();
    library_->acceptDropsOn(this);
    connect(&parts.printMethod, &PrintMethodModel::changed, this, &MainWindow::showPrintMethod);
    connect(&parts.dithering, &DitheringModel::changed, this, &MainWindow::showDithering);
    connect(&parts.pictures, &ColourControlsModel::pictureLoaded, this,
            [this](const QString& path) {
                if (pictureFormatFor(path.toStdString())->becomesWindowIcon)
                    QApplication::setWindowIcon(QIcon(path));
                enablePictureCommands();
            });
    connect(&parts.transfers, &TransferWorker::busyChanged, this, &MainWindow::transferRunning);
    showPrintMethod();
    showDithering();

    setFixedSize(clientWidth, clientHeight + menuBar()->sizeHint().height());
    // Placement and the print method survive restarts; applying a stored "DriverPrinter"
    // chooses the driver method as a click would.
    formStorage_ = new FormStorage(this, parts.store, "main",
                                   {"DirectPrint.Checked", "DriverPrinter.Checked"}, true);
}

MainWindow::~MainWindow() {
    formStorage_->windowDestroying();
    if (!leftWithoutSaving_)
        guarded([this] { CloseDown(); });
}

void MainWindow::buildMenus() {
    menuBar()->setObjectName("MainMenu1");
    buildFileMenu();
    buildSettingMenu();
    buildHelpMenus();
    // After the design's four menus, so that every way through those stays as it was.
    buildEditMenu();
    buildViewMenu();
}

void MainWindow::buildFileMenu() {
    QMenu* file = menuBar()->addMenu("file");
    file->setObjectName("file1");
    QAction* open = addItem(file, "open1", "open");
    QAction* paste = addItem(file, "PasteImage1", "Paste Image");
    QAction* textLogo = addItem(file, "NewTextLogo1", QString::fromUtf8("New Text Logo\u2026"));
    saveItem_ = addItem(file, "save1", "save");
    file->addSeparator();
    QAction* openPrinterFile =
        addItem(file, "OpenPrinterFile1", QString::fromUtf8("Open Printer File\u2026"));
    QAction* printerView = addItem(file, "PrinterView1", "Printer View");
    file->addSeparator();
    printSubmenu_ = addMenu(file, "exit1", " print..");
    printItem_ = addItem(printSubmenu_, "PrintOnPrinter1", "Print On Printer");
    printToFileItem_ = addItem(printSubmenu_, "PrintToFile1", "Print To File");
    // Offered by the design, never enabled, and doing nothing.
    addItem(printSubmenu_, "StoreInPrinter1", "Store In Printer")->setEnabled(false);
    file->addSeparator();
    exitItem_ = addItem(file, "exit2", "exit");
    for (QAction* item : {saveItem_, printItem_, printToFileItem_})
        item->setEnabled(false);

    // The desktop's usual keys, shown beside the items.
    open->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    paste->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_V));
    saveItem_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    exitItem_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));

    connectGuarded(open, &QAction::triggered, library_, &LibraryPanel::addImage);
    connectGuarded(paste, &QAction::triggered, library_, &LibraryPanel::pasteImage);
    connectGuarded(textLogo, &QAction::triggered, library_, &LibraryPanel::newTextLogo);
    connectGuarded(saveItem_, &QAction::triggered, preview_, &PreviewPanel::saveImage);
    connectGuarded(openPrinterFile, &QAction::triggered, this, &MainWindow::openPrinterFile);
    connectGuarded(printerView, &QAction::triggered, this, &MainWindow::viewStore);
    connectGuarded(printItem_, &QAction::triggered, storePrint_, &StorePrintPanel::print);
    connectGuarded(printToFileItem_, &QAction::triggered, storePrint_,
                   &StorePrintPanel::storeToFile);
    connectGuarded(exitItem_, &QAction::triggered, this, &MainWindow::exitProgram);
}

void MainWindow::buildEditMenu() {
    QMenu* edit = menuBar()->addMenu("Edit");
    edit->setObjectName("edit1");
    QAction* undo = addItem(edit, "Undo1", "Undo");
    QAction* redo = addItem(edit, "Redo1", "Redo");
    undo->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    redo->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z));
    UndoHistory* history = &parts_.history;
    QUndoStack* stack = &history->stack();
    // The stack's own actions would undo outside the error guard; these run inside it.
    connectGuarded(undo, &QAction::triggered, this, [history] { history->undo(); });
    connectGuarded(redo, &QAction::triggered, this, [history] { history->redo(); });
    const auto show = [stack, undo, redo] {
        undo->setEnabled(stack->canUndo());
        undo->setText(stack->canUndo() ? "Undo " + stack->undoText() : QStringLiteral("Undo"));
        redo->setEnabled(stack->canRedo());
        redo->setText(stack->canRedo() ? "Redo " + stack->redoText() : QStringLiteral("Redo"));
    };
    connect(stack, &QUndoStack::indexChanged, this, show);
    connect(stack, &QUndoStack::canUndoChanged, this, show);
    connect(stack, &QUndoStack::canRedoChanged, this, show);
    connect(stack, &QUndoStack::undoTextChanged, this, show);
    connect(stack, &QUndoStack::redoTextChanged, this, show);
    show();
}

void MainWindow::buildViewMenu() {
    QMenu* view = menuBar()->addMenu("View");
    view->setObjectName("view1");
    QAction* in = addItem(view, "ZoomIn1", "Zoom In");
    QAction* out = addItem(view, "ZoomOut1", "Zoom Out");
    QAction* fitted = addItem(view, "ZoomFit1", "Fit");
    QAction* actual = addItem(view, "ZoomActual1", "100%");
    view->addSeparator();
    QAction* window = addItem(view, "PreviewWindow1", QString::fromUtf8("Preview Window\u2026"));
    in->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::Key_Plus), QKeySequence(Qt::CTRL | Qt::Key_Equal)});
    out->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Minus));
    actual->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_0));
    connect(in, &QAction::triggered, preview_, &PreviewPanel::zoomIn);
    connect(out, &QAction::triggered, preview_, &PreviewPanel::zoomOut);
    connect(fitted, &QAction::triggered, preview_, [this] { preview_->setZoom(0); });
    connect(actual, &QAction::triggered, preview_, [this] { preview_->setZoom(100); });
    connectGuarded(window, &QAction::triggered, this, [this] { links_.openDialog("PreviewForm"); });
    // The zoom is kept beside the window's other settings, in a group older runs do not read.
    const QString group = QStringLiteral("preview"), name = QStringLiteral("Zoom");
    preview_->setZoom(parts_.store.readText(group, name, QStringLiteral("100")).toInt());
    connect(preview_, &PreviewPanel::zoomChanged, this, [this, group, name](int percent) {
        parts_.store.writeText(group, name, QString::number(percent));
    });
}

void MainWindow::buildSettingMenu() {
    QMenu* setting = menuBar()->addMenu("Setting");
    setting->setObjectName("help1");
    QAction* resolution = addItem(setting, "SetResolution1", "Resolution Setting");
    portSettingsItem_ = addItem(setting, "SetCommunicationPort1", "Communication Port Setting");
    QAction* editor = addItem(setting, "SetImageEditer1", "Default Image Editor");
    QMenu* method = addMenu(setting, "SetPrintmethod1", "Print method Setting");
    QAction* direct = addItem(method, "directtoport1", "direct to port");
    // Never enabled: a stored "DriverPrinter" check state is the way to this method.
    QAction* driver = addItem(method, "WindowPrintDriver1", "Window Print Driver");
    driver->setEnabled(false);
    setting->addSeparator();
    alignmentItem_ = addItem(setting, "CheckveticalAlignment1", "Check vetical Alignment");
    setting->addSeparator();
    QAction* restore = addItem(setting, "RestoredefaultSetting1", "Restore default Setting");
    resizeSubmenu_ = addMenu(setting, "ImageResize1", "Image Resize");
    const std::pair<const char*, int> sizes[] = {
        {"N1001", 100}, {"N751", 75}, {"N501", 50}, {"N251", 25}};
    ColourControlsModel* pictures = &parts_.pictures;
    for (const auto& [name, percent] : sizes)
        connectGuarded(addItem(resizeSubmenu_, name, QStringLiteral("%1%").arg(percent)),
                       &QAction::triggered, this,
                       [pictures, percent = percent] { pictures->resizeByPercent(percent); });
    buildDitheringMenu(setting);
    setting->addSeparator();
    // Offered by the design and doing nothing.
    addItem(setting, "SaveSettingsOnExit1", "Exit");

    // The items that only open a dialog, by the dialog's name.
    const std::pair<QAction*, const char*> openers[] = {{resolution, "ResolutionForm"},
                                                        {portSettingsItem_, "PortForm"},
                                                        {editor, "ImageEditorForm"},
                                                        {alignmentItem_, "verticalForm"}};
    for (const auto& [item, dialog] : openers)
        connectGuarded(item, &QAction::triggered, this,
                       [this, dialog = dialog] { links_.openDialog(dialog); });
    PrintMethodModel* printMethod = &parts_.printMethod;
    connectGuarded(direct, &QAction::triggered, this,
                   [printMethod] { printMethod->choose(PrintMethodModel::Method::Direct); });
    connectGuarded(driver, &QAction::triggered, this,
                   [printMethod] { printMethod->choose(PrintMethodModel::Method::Driver); });
    connectGuarded(restore, &QAction::triggered, this, [pictures] { pictures->restoreDefaults(); });
}

void MainWindow::buildDitheringMenu(QMenu* setting) {
    QMenu* dithering = addMenu(setting, "Dithering1", "Dithering");
    auto* exclusive = new QActionGroup(dithering);
    exclusive->setExclusive(true);
    const std::tuple<const char*, const char*, DitherMode> items[] = {
        {"NoDithering1", "No Dithering", DitherMode::None},
        {"ErrorDiffusion1", "Error Diffusion", DitherMode::Diffusion},
        {"OrderedDithering1", "Ordered Dithering", DitherMode::Ordered},
        {"BestDithering1", "Best (slower)", DitherMode::Best}};
    DitheringModel* model = &parts_.dithering;
    for (const auto& [name, caption, mode] : items) {
        QAction* item = addItem(dithering, name, caption);
        item->setCheckable(true);
        exclusive->addAction(item);
        ditheringItems_.emplace_back(item, mode);
        connectGuarded(item, &QAction::triggered, this,
                       [model, mode = mode] { model->choose(mode); });
    }
}

void MainWindow::buildHelpMenus() {
    QMenu* download = menuBar()->addMenu("download");
    download->setObjectName("download1");
    firmwareItem_ = addItem(download, "firmwaredownload1", "firmware download");
    connectGuarded(firmwareItem_, &QAction::triggered, this,
                   [this] { links_.openDialog("DownloadForm"); });

    QMenu* help = menuBar()->addMenu("help");
    help->setObjectName("help2");
    QAction* information = addItem(help, "PrinterInfo1", "Information");
    QAction* page = addItem(help, "help3", "help");
    page->setShortcut(QKeySequence(Qt::Key_F1));
    connectGuarded(information, &QAction::triggered, this,
                   [this] { links_.openDialog("helpForm"); });
    connectGuarded(page, &QAction::triggered, this, &MainWindow::openHelp);
}

void MainWindow::showPrintMethod() {
    // The port settings and the alignment belong to the direct method.
    const bool direct = parts_.printMethod.isDirect();
    portSettingsItem_->setEnabled(direct);
    alignmentItem_->setEnabled(direct);
}

void MainWindow::showDithering() {
    for (const auto& [item, mode] : ditheringItems_)
        if (mode == parts_.dithering.mode())
            item->setChecked(true);
}

void MainWindow::enablePictureCommands() {
    for (QAction* item : {saveItem_, printItem_, printToFileItem_})
        item->setEnabled(true);
    resizeSubmenu_->menuAction()->setEnabled(true);
}

void MainWindow::transferRunning(bool running) {
    // Whole submenus, so that the items' own states come back untouched. " print.." holds the
    // commands that write the scratch file.
    printSubmenu_->menuAction()->setEnabled(!running);
    firmwareItem_->setEnabled(!running);
    exitButton_->setEnabled(!running);
    exitItem_->setEnabled(!running);
}

void MainWindow::SelectLastEntry() {
    library_->SelectLastEntry();
}

void MainWindow::addImageFile(const QString& path) {
    library_->addImageFile(path);
}

void MainWindow::openPrinterFile() {
    const std::optional<QString> file =
        parts_.dialogs.openFile("Open Printer File", "print files (*.prn)");
    if (!file)
        return;
    links_.viewPrinterStream(*file,
                             [path = file->toStdString()] { return prn::readPrinterFile(path); });
}

void MainWindow::viewStore() {
    // Committed and built exactly as "Store" does, with its refusals, but only shown.
    links_.viewPrinterStream("What \"Store\" would send now",
                             [this] { return parts_.jobs.storeCommand(); });
}

void MainWindow::openHelp() {
    const QString page = helpPagePath(parts_.state.RootDir, programFolder());
    // Without a browser (or xdg-open) nothing would appear at all: say where the page is.
    if (!QDesktopServices::openUrl(QUrl::fromLocalFile(page)))
        parts_.dialogs.showMessage("The help page could not be opened: no web browser was "
                                   "found.\nOpen this file in a web browser to read it:\n" +
                                   page);
}

void MainWindow::CloseDown() {
    parts_.library.closeDown(parts_.store);
}

bool MainWindow::closeDownBeforeLeaving() {
    if (guarded([this] { CloseDown(); }))
        return true;
    // The failure has been reported. A person who cannot save (a read-only folder, a full disk)
    // must still be able to quit; nothing already stored is touched either way.
    if (!parts_.dialogs.askYesNo(quitAnywayQuestion))
        return false;
    leftWithoutSaving_ = true;
    return true;
}

void MainWindow::exitProgram() {
    if (parts_.transfers.isBusy())
        return;
    if (closeDownBeforeLeaving())
        endEventLoop();
}

void MainWindow::closeEvent(QCloseEvent* event) {
    // The program does not end under a transfer: the printer would be left with half a stream.
    if (parts_.transfers.isBusy() || !closeDownBeforeLeaving()) {
        event->ignore();
        return;
    }
    event->accept();
    // Closing the main window ends the program even while dialogs are open; those are stored
    // at their destruction.
    endEventLoop();
}
