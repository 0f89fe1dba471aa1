#include "app/windows/MainWindow.h"

#include "app/library/LibraryModel.h"
#include "app/windows/EditorHandoff.h"
#include "app/windows/PictureView.h"
#include "app/windows/Swatch.h"
#include "platform/ErrorGuard.h"
#include "platform/SettingsStore.h"
#include "platform/UserDialogs.h"
#include "platform/widgets/FormStorage.h"
#include "transport/TransferWorker.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QFrame>
#include <QGroupBox>
#include <QHeaderView>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QThread>
#include <QTimer>
#include <QTreeWidget>
#include <exception>

using namespace logosmith;

namespace {

constexpr int clientWidth = 606;
constexpr int clientHeight = 609;

template <class W> W* place(QWidget* parent, const char* name, int x, int y, int w, int h) {
    W* widget = new W(parent);
    widget->setObjectName(name);
    widget->setGeometry(x, y, w, h);
    return widget;
}

template <class W>
W* place(QWidget* parent, const char* name, const QString& caption, int x, int y, int w, int h) {
    W* widget = place<W>(parent, name, x, y, w, h);
    widget->setText(caption);
    return widget;
}

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

} // namespace

MainWindow::MainWindow(SettingsStore& store, UserDialogs& dialogs, MainWindowLinks& links,
                       TransferWorker& transfers, QWidget* parent)
    : QMainWindow(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                              Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                              Qt::WindowCloseButtonHint),
      store_(store), dialogs_(dialogs), links_(links), transfers_(transfers) {
    setObjectName("Form1");
    setWindowTitle("KORVANT MRX-310 Logosmith");
    auto* client = new QWidget(this);
    client->setObjectName("client");
    client->setFixedSize(clientWidth, clientHeight);
    setCentralWidget(client);
    buildControls(client);
    buildColourPanels(client);
    buildMenu();
    connectHandlers();
    connectColourHandlers();
    acceptPictureDrops();
    showColourControls();
    setFixedSize(clientWidth, clientHeight + menuBar()->sizeHint().height());
    // Placement and the print method survive restarts; applying a stored "DriverPrinter"
    // runs its handler as a click would.
    FormStorage2 = new FormStorage(this, store_, "main",
                                   {"DirectPrint.Checked", "DriverPrinter.Checked"}, true);
}

MainWindow::~MainWindow() {
    FormStorage2->windowDestroying();
    if (library_ && !leftWithoutSaving_)
        guarded([this] { CloseDown(); });
}

void MainWindow::buildControls(QWidget* client) {
    Edit1 = place<QLineEdit>(client, "Edit1", 8, 8, 289, 22);
    Edit1->setReadOnly(true);

    ListView1 = place<QTreeWidget>(client, "ListView1", 8, 36, 289, 112);
    ListView1->setColumnCount(3);
    ListView1->setHeaderLabels({"n", "name", "size"});
    ListView1->setColumnWidth(0, 20);
    ListView1->setColumnWidth(1, 100);
    ListView1->setColumnWidth(2, 100);
    ListView1->setRootIsDecorated(false);
    ListView1->setSelectionBehavior(QAbstractItemView::SelectRows);
    ListView1->setSelectionMode(QAbstractItemView::SingleSelection);
    ListView1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ListView1->header()->setStretchLastSection(false);

    btnAddImage = place<QPushButton>(client, "btnAddImage", "Add Image", 8, 154, 93, 26);
    btnDeleteImage = place<QPushButton>(client, "btnDeleteImage", "Delete Image", 106, 154, 93, 26);
    btnLoad = place<QPushButton>(client, "btnLoad", "Open Image", 204, 154, 93, 26);

    // Both views sit at the same place; the working picture's view is never shown.
    auto* frame = place<QFrame>(client, "ImageFrame", 6, 184, 293, 237);
    frame->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    Image1 = place<PictureView>(frame, "Image1", 2, 2, 289, 233);
    Image1->hide();
    Image2 = place<PictureView>(frame, "Image2", 2, 2, 289, 233);

    btnSave = place<QPushButton>(client, "btnSave", "Save Image", 8, 426, 93, 26);
    btnEdit = place<QPushButton>(client, "btnEdit", "Image Editor", 106, 426, 93, 26);
    btnCenter = place<QPushButton>(client, "btnCenter", "Fit Center", 204, 426, 93, 26);
    btnScale = place<QPushButton>(client, "btnScale", "Scale to Fit", 204, 458, 93, 26);
    btnScale->hide();
    scaleCheckBox = place<QCheckBox>(client, "scaleCheckBox", "Fit Scale", 10, 458, 90, 24);
    scaleCheckBox->setChecked(true);
    UpdateCheckBox = place<QCheckBox>(client, "UpdateCheckBox", "Update", 108, 458, 90, 24);
    UpdateCheckBox->setChecked(true);
    Button15 = place<QPushButton>(client, "Button15", "Update", 204, 458, 93, 26);

    GroupBoxStore = place<QGroupBox>(client, "GroupBoxStore", 8, 490, 289, 56);
    GroupBoxStore->setTitle("Store Command");
    btnStorePrinter =
        place<QPushButton>(GroupBoxStore, "btnStorePrinter", "Store", 10, 22, 128, 26);
    btnPrintFile =
        place<QPushButton>(GroupBoxStore, "btnPrintFile", "Store to File", 150, 22, 128, 26);

    GroupBoxPrint = place<QGroupBox>(client, "GroupBoxPrint", 8, 550, 289, 52);
    GroupBoxPrint->setTitle("Print  Select");
    DirectPrint = place<QRadioButton>(GroupBoxPrint, "DirectPrint", "Direct Print", 10, 22, 96, 24);
    DirectPrint->setChecked(true);
    DriverPrinter =
        place<QRadioButton>(GroupBoxPrint, "DriverPrinter", "Window  Driver", 104, 22, 120, 24);
    DriverPrinter->setEnabled(false);
    btnPrint = place<QPushButton>(GroupBoxPrint, "btnPrint", "Print", 226, 20, 56, 26);

    Button9 = place<QPushButton>(client, "Button9", "Exit", 505, 576, 93, 26);
    // In the free place beside "Exit".
    btnPrinterView = place<QPushButton>(client, "btnPrinterView", "Printer View", 406, 576, 93, 26);
    transferProgress = place<QProgressBar>(client, "transferProgress", 306, 579, 94, 20);
    transferProgress->hide();
    transferProgressDelay_ = new QTimer(this);
    transferProgressDelay_->setSingleShot(true);
    transferProgressDelay_->setInterval(500);
    connect(transferProgressDelay_, &QTimer::timeout, transferProgress, &QWidget::show);
}

void MainWindow::buildMenu() {
    QMenuBar* bar = menuBar();
    bar->setObjectName("MainMenu1");

    file1 = bar->addMenu("file");
    file1->setObjectName("file1");
    open1 = addItem(file1, "open1", "open");
    PasteImage1 = addItem(file1, "PasteImage1", "Paste Image");
    save1 = addItem(file1, "save1", "save");
    file1->addSeparator();
    OpenPrinterFile1 =
        addItem(file1, "OpenPrinterFile1", QString::fromUtf8("Open Printer File\u2026"));
    PrinterView1 = addItem(file1, "PrinterView1", "Printer View");
    file1->addSeparator();
    exit1 = addMenu(file1, "exit1", " print..");
    PrintOnPrinter1 = addItem(exit1, "PrintOnPrinter1", "Print On Printer");
    PrintToFile1 = addItem(exit1, "PrintToFile1", "Print To File");
    StoreInPrinter1 = addItem(exit1, "StoreInPrinter1", "Store In Printer");
    file1->addSeparator();
    exit2 = addItem(file1, "exit2", "exit");

    help1 = bar->addMenu("Setting");
    help1->setObjectName("help1");
    SetResolution1 = addItem(help1, "SetResolution1", "Resolution Setting");
    SetCommunicationPort1 = addItem(help1, "SetCommunicationPort1", "Communication Port Setting");
    SetImageEditer1 = addItem(help1, "SetImageEditer1", "Default Image Editor");
    SetPrintmethod1 = addMenu(help1, "SetPrintmethod1", "Print method Setting");
    directtoport1 = addItem(SetPrintmethod1, "directtoport1", "direct to port");
    WindowPrintDriver1 = addItem(SetPrintmethod1, "WindowPrintDriver1", "Window Print Driver");
    WindowPrintDriver1->setEnabled(false);
    help1->addSeparator();
    CheckveticalAlignment1 = addItem(help1, "CheckveticalAlignment1", "Check vetical Alignment");
    help1->addSeparator();
    RestoredefaultSetting1 = addItem(help1, "RestoredefaultSetting1", "Restore default Setting");
    ImageResize1 = addMenu(help1, "ImageResize1", "Image Resize");
    N1001 = addItem(ImageResize1, "N1001", "100%");
    N751 = addItem(ImageResize1, "N751", "75%");
    N501 = addItem(ImageResize1, "N501", "50%");
    N251 = addItem(ImageResize1, "N251", "25%");
    buildDitheringMenu();
    help1->addSeparator();
    SaveSettingsOnExit1 = addItem(help1, "SaveSettingsOnExit1", "Exit");

    download1 = bar->addMenu("download");
    download1->setObjectName("download1");
    firmwaredownload1 = addItem(download1, "firmwaredownload1", "firmware download");

    help2 = bar->addMenu("help");
    help2->setObjectName("help2");
    PrinterInfo1 = addItem(help2, "PrinterInfo1", "Information");
    help3 = addItem(help2, "help3", "help");

    // The desktop's usual keys, shown beside the items.
    const std::pair<QAction*, QKeySequence> keys[] = {
        {open1, QKeySequence(Qt::CTRL | Qt::Key_O)},
        {PasteImage1, QKeySequence(Qt::CTRL | Qt::Key_V)},
        {save1, QKeySequence(Qt::CTRL | Qt::Key_S)},
        {exit2, QKeySequence(Qt::CTRL | Qt::Key_Q)},
        {help3, QKeySequence(Qt::Key_F1)}};
    for (const auto& [action, key] : keys)
        action->setShortcut(key);
}

// Every user action starts through connectGuarded: an error ends it where it happened, is
// reported, and the program goes on.
void MainWindow::connectHandlers() {
    const auto onClick = [this](QPushButton* button, void (MainWindow::*handler)()) {
        connectGuarded(button, &QPushButton::clicked, this, handler);
    };
    const auto onTrigger = [this](QAction* item, void (MainWindow::*handler)()) {
        connectGuarded(item, &QAction::triggered, this, handler);
    };
    onClick(btnAddImage, &MainWindow::btnAddImageClick);
    onClick(btnLoad, &MainWindow::btnAddImageClick);
    onTrigger(open1, &MainWindow::btnAddImageClick);
    onTrigger(PasteImage1, &MainWindow::pasteImage);
    onClick(btnDeleteImage, &MainWindow::btnDeleteImageClick);
    connectGuarded(ListView1, &QTreeWidget::itemClicked, this, &MainWindow::ListView1Click);

    // A radio button's handler runs when it becomes checked, by the person or from code.
    connectGuarded(DirectPrint, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            DirectPrintClick();
    });
    connectGuarded(DriverPrinter, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            DriverPrinterClick();
    });
    connectGuarded(directtoport1, &QAction::triggered, this,
                   [this] { DirectPrint->setChecked(true); });
    // The menu item is never enabled; a stored "DriverPrinter" is the way to this method.
    connectGuarded(WindowPrintDriver1, &QAction::triggered, this,
                   [this] { DriverPrinter->setChecked(true); });

    // The menu items that only open a dialog.
    const std::pair<QAction*, MainWindowLinks::Dialog> openers[] = {
        {SetResolution1, MainWindowLinks::Dialog::Resolution},
        {SetCommunicationPort1, MainWindowLinks::Dialog::PortSettings},
        {SetImageEditer1, MainWindowLinks::Dialog::Editor},
        {PrinterInfo1, MainWindowLinks::Dialog::Information},
        // Showing the dialog puts its progress bar back to 0.
        {CheckveticalAlignment1, MainWindowLinks::Dialog::Alignment}};
    for (const auto& [item, dialog] : openers)
        connectGuarded(item, &QAction::triggered, this,
                       [this, dialog = dialog] { links_.openDialog(dialog); });
    onTrigger(firmwaredownload1, &MainWindow::firmwaredownload1Click);

    onClick(btnStorePrinter, &MainWindow::btnStorePrinterClick);
    onClick(btnPrintFile, &MainWindow::btnPrintFileClick);
    onTrigger(PrintToFile1, &MainWindow::btnPrintFileClick);
    onClick(btnPrint, &MainWindow::btnPrintClick);
    onTrigger(PrintOnPrinter1, &MainWindow::PrintOnPrinter1Click);
    onClick(btnEdit, &MainWindow::btnEditClick);
    onClick(btnSave, &MainWindow::btnSaveClick);
    onTrigger(save1, &MainWindow::btnSaveClick);
    onTrigger(help3, &MainWindow::help3Click);
    onTrigger(OpenPrinterFile1, &MainWindow::OpenPrinterFile1Click);
    onTrigger(PrinterView1, &MainWindow::PrinterView1Click);
    onClick(btnPrinterView, &MainWindow::PrinterView1Click);

    onClick(Button9, &MainWindow::Button9Click);
    onTrigger(exit2, &MainWindow::Button9Click);
    connect(&transfers_, &TransferWorker::busyChanged, this, &MainWindow::transferRunning);
}

void MainWindow::transferRunning(bool running) {
    // Whole groups and submenus, so that the commands' own states (which the picture and the
    // print method decide) come back untouched.
    GroupBoxStore->setEnabled(!running);
    GroupBoxPrint->setEnabled(!running);
    exit1->menuAction()->setEnabled(!running); // " print..": the commands writing the scratch file
    firmwaredownload1->setEnabled(!running);
    Button9->setEnabled(!running);
    exit2->setEnabled(!running);
}

void MainWindow::formCreate() {
    // The separation settings start at their start-up values in the colour-controls model.
    DirectPrint->setChecked(true);

    for (QPushButton* b :
         {btnPrint, btnSave, btnScale, btnPrintFile, btnCenter, btnStorePrinter, btnEdit})
        b->setEnabled(false);
    save1->setEnabled(false);
    SetCommunicationPort1->setEnabled(true);
    for (QAction* a : {PrintOnPrinter1, PrintToFile1, StoreInPrinter1})
        a->setEnabled(false);

    state_.EditorCommand = defaultEditorCommand();
    pictures_.moveLValue(100);
    // Before the library's last entry loads, so its first preview is already dithered.
    restoreDithering();

    // From here on a step can fail on outside data (the settings, the folders, a damaged library
    // file). Each failure is reported and start-up goes on: the window comes up with the library
    // list as far as it could be read, and without a picture when the last entry cannot load.
    const QString programFolder = QCoreApplication::applicationDirPath() + "/";
    guarded([this, &programFolder] { state_.RootDir = resolveRootDir(store_, programFolder); });
    if (state_.RootDir.isEmpty())
        state_.RootDir = programFolder;
    // Only the library folder is created, and only inside a program folder that exists: a
    // stored folder on a missing disk shows its failure at the first file operation.
    ensureLibraryFolder(state_.RootDir);
    // What a crash between writing and renaming left behind in the library folder.
    guarded([this] { removeStaleLibraryTemporaries(state_.RootDir); });

    library_ = std::make_unique<LibraryModel>(libraryFolder(state_.RootDir), pictures_);
    connect(library_.get(), &LibraryModel::entriesChanged, this, &MainWindow::refreshLibraryList);
    guarded([this] { library_->restoreHistory(store_); });
    guarded([this] { SelectLastEntry(); });
}

void MainWindow::enablePictureCommands() {
    for (QPushButton* b : {btnPrint, btnSave, btnScale, btnPrintFile, btnCenter, btnEdit})
        b->setEnabled(true);
    for (QAction* a : {save1, PrintOnPrinter1, PrintToFile1})
        a->setEnabled(true);
    ImageResize1->menuAction()->setEnabled(true);
    btnStorePrinter->setEnabled(DirectPrint->isChecked());
}

void MainWindow::DirectPrintClick() {
    SetCommunicationPort1->setEnabled(true);
    CheckveticalAlignment1->setEnabled(true);
    btnStorePrinter->setEnabled(btnPrint->isEnabled());
}

void MainWindow::DriverPrinterClick() {
    CheckveticalAlignment1->setEnabled(false);
    SetCommunicationPort1->setEnabled(false);
    btnStorePrinter->setEnabled(false);
}

bool MainWindow::directPrintChosen() const {
    return DirectPrint->isChecked();
}

void MainWindow::setEditorCommand(const QString& command) {
    state_.EditorCommand = command;
}

void MainWindow::CloseDown() {
    if (library_)
        library_->closeDown(store_);
}

bool MainWindow::closeDownBeforeLeaving() {
    if (guarded([this] { CloseDown(); }))
        return true;
    // The failure has been reported. A person who cannot save (a read-only folder, a full disk)
    // must still be able to quit; nothing already stored is touched either way.
    if (!dialogs_.askYesNo(quitAnywayQuestion))
        return false;
    leftWithoutSaving_ = true;
    return true;
}

namespace {

// Ends the program's event loop. exit(), not quit(): quit() first closes every window, which
// would store the windows' settings as a close-box leaving ("Visible" "0") instead of at their
// destruction. Outside a running loop there is nothing to end, and exit() would instead make
// the next dialog's loop return at once.
void endEventLoop() {
    if (QThread::currentThread()->loopLevel() > 0)
        QCoreApplication::exit(0);
}

} // namespace

void MainWindow::Button9Click() {
    if (transfers_.isBusy())
        return;
    if (closeDownBeforeLeaving())
        endEventLoop();
}

void MainWindow::closeEvent(QCloseEvent* event) {
    // The program does not end under a transfer: the printer would be left with half a stream.
    if (transfers_.isBusy()) {
        event->ignore();
        return;
    }
    if (!closeDownBeforeLeaving()) {
        event->ignore();
        return;
    }
    event->accept();
    // Closing the main window ends the program even while dialogs are open; those are stored
    // at their destruction.
    endEventLoop();
}

void MainWindow::firmwaredownload1Click() {
    if (transfers_.isBusy())
        return;
    links_.resetFirmwareProgress();
    const std::optional<QString> file = dialogs_.openFile("firmware download", "*.fls (*.fls)");
    if (!file)
        return;
    Edit1->setText(*file);
    state_.CurrentSourcePath = *file;
    links_.openDialog(MainWindowLinks::Dialog::Firmware);
}
