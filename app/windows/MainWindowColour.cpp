// The colour panels and the picture views of the main window, bound to the colour-controls model:
// the model holds every rule, the window shows its state and hands it the person's changes.
#include "app/windows/MainWindow.h"

#include "app/windows/PictureView.h"
#include "app/windows/Swatch.h"
#include "platform/ErrorGuard.h"
#include "platform/UserDialogs.h"
#include "separation/loader/PictureFormats.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSignalBlocker>

using namespace logosmith;

namespace {

template <class W> W* put(QWidget* parent, const char* name, int x, int y, int w, int h) {
    W* widget = new W(parent);
    widget->setObjectName(name);
    widget->setGeometry(x, y, w, h);
    return widget;
}

QScrollBar* slider(QWidget* parent, const char* name, int x, int y, int maximum, int value) {
    auto* bar = put<QScrollBar>(parent, name, x, y, 150, 17);
    bar->setOrientation(Qt::Horizontal);
    bar->setRange(0, maximum);
    // An arrow click and a click in the track both move the slider by 1.
    bar->setSingleStep(1);
    bar->setPageStep(1);
    bar->setValue(value);
    return bar;
}

QLineEdit* valueBox(QWidget* parent, const char* name, int x, int y, const QString& text) {
    auto* box = put<QLineEdit>(parent, name, x, y, 40, 20);
    box->setText(text);
    return box;
}

Swatch* swatch(QWidget* parent, const char* name, int x, int y, int w, int h, Colour colour) {
    auto* s = put<Swatch>(parent, name, x, y, w, h);
    s->setColour(colour);
    return s;
}

void label(QWidget* parent, const QString& text, int x, int y, int w) {
    auto* l = new QLabel(text, parent);
    l->setGeometry(x, y, w, 17);
}

} // namespace

void MainWindow::buildColourPanels(QWidget* client) {
    GroupBoxRange = put<QGroupBox>(client, "GroupBoxRange", 305, 4, 293, 150);
    GroupBoxRange->setTitle("Change Color Range");
    label(GroupBoxRange, "THRESHOLD", 10, 20, 150);
    ScrollBar2 = slider(GroupBoxRange, "ScrollBar2", 10, 38, 360, 360);
    Edit2 = valueBox(GroupBoxRange, "Edit2", 168, 36, "360");
    Shape6 = swatch(GroupBoxRange, "Shape6", 216, 36, 64, 21, colours::red);
    label(GroupBoxRange, "R VALUE", 10, 60, 150);
    ScrollBar1 = slider(GroupBoxRange, "ScrollBar1", 10, 78, 255, 100);
    e1 = valueBox(GroupBoxRange, "e1", 168, 76, "100");
    e1->setReadOnly(true);
    Shape3 = swatch(GroupBoxRange, "Shape3", 216, 76, 64, 21, colours::white);
    label(GroupBoxRange, "L VALUE", 10, 100, 150);
    ScrollBar3 = slider(GroupBoxRange, "ScrollBar3", 10, 118, 255, 100);
    Edit3 = valueBox(GroupBoxRange, "Edit3", 168, 116, "100");
    Shape7 = swatch(GroupBoxRange, "Shape7", 216, 116, 64, 21, colours::black);

    GroupBoxCartridge = put<QGroupBox>(client, "GroupBoxCartridge", 305, 158, 293, 206);
    GroupBoxCartridge->setTitle("Cartridge Color");
    Shape8 = swatch(GroupBoxCartridge, "Shape8", 10, 22, 30, 22, colours::red);
    Edit5 = put<QLineEdit>(GroupBoxCartridge, "Edit5", 46, 22, 110, 22);
    Edit5->setText("  Red ");
    Edit5->setReadOnly(true);
    Button10 = put<QPushButton>(GroupBoxCartridge, "Button10", 166, 20, 116, 26);
    Button10->setText("R Cartridge");
    Shape9 = swatch(GroupBoxCartridge, "Shape9", 10, 52, 30, 22, colours::black);
    Edit4 = put<QLineEdit>(GroupBoxCartridge, "Edit4", 46, 52, 110, 22);
    Edit4->setText("  Black");
    Edit4->setReadOnly(true);
    Button1 = put<QPushButton>(GroupBoxCartridge, "Button1", 166, 50, 116, 26);
    Button1->setText("L Cartridge");

    radioRed = put<QRadioButton>(GroupBoxCartridge, "radioRed", 36, 84, 100, 22);
    radioRed->setText("Red ");
    RadioGreen = put<QRadioButton>(GroupBoxCartridge, "RadioGreen", 36, 108, 100, 22);
    RadioGreen->setText("Green  ");
    RadioBlue = put<QRadioButton>(GroupBoxCartridge, "RadioBlue", 172, 84, 100, 22);
    RadioBlue->setText("Blue ");
    RadioBlack = put<QRadioButton>(GroupBoxCartridge, "RadioBlack", 172, 108, 100, 22);
    RadioBlack->setText("Off");
    Shape1 = swatch(GroupBoxCartridge, "Shape1", 12, 87, 16, 16, colours::red);
    Shape2 = swatch(GroupBoxCartridge, "Shape2", 12, 111, 16, 16, colours::green);
    Shape4 = swatch(GroupBoxCartridge, "Shape4", 148, 87, 16, 16, colours::blue);
    Shape5 = swatch(GroupBoxCartridge, "Shape5", 148, 111, 16, 16, colours::black);
    CheckBox1 = put<QCheckBox>(GroupBoxCartridge, "CheckBox1", 10, 140, 276, 44);
    CheckBox1->setText("Color Change Select (Invert to L Cartridge )");
    QFont smaller = CheckBox1->font();
    smaller.setPointSizeF(smaller.pointSizeF() * 0.9);
    CheckBox1->setFont(smaller);

    GroupBoxRgb = put<QGroupBox>(client, "GroupBoxRgb", 305, 368, 293, 200);
    GroupBoxRgb->setTitle("RGB control");
    InvertCheckBox = put<QCheckBox>(GroupBoxRgb, "InvertCheckBox", 12, 22, 270, 22);
    InvertCheckBox->setText("Invert Color");
    swapBlackWhite = put<QCheckBox>(GroupBoxRgb, "swapBlackWhite", 12, 50, 270, 22);
    swapBlackWhite->setText("Exchange Black && White");
    swapGreenBlue = put<QCheckBox>(GroupBoxRgb, "swapGreenBlue", 12, 78, 270, 22);
    swapGreenBlue->setText("Exchange Green && Blue");
    swapRedBlue = put<QCheckBox>(GroupBoxRgb, "swapRedBlue", 12, 106, 270, 22);
    swapRedBlue->setText("Exchange Red && Blue");
    swapRedGreen = put<QCheckBox>(GroupBoxRgb, "swapRedGreen", 12, 134, 270, 22);
    swapRedGreen->setText("Exchange Red && Green");
}

void MainWindow::connectColourHandlers() {
    ColourControlsModel* model = &pictures_;
    const std::pair<QScrollBar*, void (ColourControlsModel::*)(int)> sliders[] = {
        {ScrollBar2, &ColourControlsModel::moveThreshold},
        {ScrollBar1, &ColourControlsModel::moveRValue},
        {ScrollBar3, &ColourControlsModel::moveLValue}};
    for (const auto& [bar, move] : sliders)
        connectGuarded(bar, &QScrollBar::valueChanged, this,
                       [model, move = move](int position) { (model->*move)(position); });

    // A radio button's handler runs when it becomes selected, by the person or by the model.
    const std::pair<QRadioButton*, InkChoice> radios[] = {{radioRed, InkChoice::Red},
                                                          {RadioGreen, InkChoice::Green},
                                                          {RadioBlue, InkChoice::Blue},
                                                          {RadioBlack, InkChoice::Black}};
    for (const auto& [button, choice] : radios)
        connectGuarded(button, &QRadioButton::toggled, this, [model, choice = choice](bool on) {
            if (on)
                model->selectInk(choice);
        });

    connectGuarded(CheckBox1, &QCheckBox::toggled, this,
                   [model](bool on) { model->setRadiosChooseLInk(on); });
    const std::pair<QCheckBox*, RgbControl> rgb[] = {{InvertCheckBox, RgbControl::Invert},
                                                     {swapBlackWhite, RgbControl::SwapBlackWhite},
                                                     {swapGreenBlue, RgbControl::SwapGreenBlue},
                                                     {swapRedBlue, RgbControl::SwapRedBlue},
                                                     {swapRedGreen, RgbControl::SwapRedGreen}};
    for (const auto& [box, control] : rgb)
        connectGuarded(box, &QCheckBox::toggled, this,
                       [model, control = control](bool on) { model->setRgbControl(control, on); });
    connectGuarded(UpdateCheckBox, &QCheckBox::toggled, this,
                   [model](bool on) { model->setUpdateTicked(on); });
    connectGuarded(scaleCheckBox, &QCheckBox::toggled, this,
                   [model](bool on) { model->setFitScale(on); });

    connectGuarded(Button10, &QPushButton::clicked, this, &MainWindow::Button10Click);
    connectGuarded(Button1, &QPushButton::clicked, this, &MainWindow::Button1Click);
    connectGuarded(Button15, &QPushButton::clicked, this, [model] { model->updateNow(); });
    connectGuarded(RestoredefaultSetting1, &QAction::triggered, this,
                   [model] { model->restoreDefaults(); });
    connectGuarded(btnCenter, &QPushButton::clicked, this, [model] { model->centre(); });
    connectGuarded(btnScale, &QPushButton::clicked, this, [model] { model->stretch(); });
    const std::pair<QAction*, int> sizes[] = {{N1001, 100}, {N751, 75}, {N501, 50}, {N251, 25}};
    for (const auto& [item, percent] : sizes)
        connectGuarded(item, &QAction::triggered, this,
                       [model, percent = percent] { model->resizeByPercent(percent); });

    // The model's changes reach the widgets; these run inside the action that caused them.
    connect(model, &ColourControlsModel::changed, this, &MainWindow::showColourControls);
    connect(model, &ColourControlsModel::drawWorking, this,
            [this] { Image1->redraw(pictures_.working()); });
    connect(model, &ColourControlsModel::drawPreview, this,
            [this] { Image2->redraw(pictures_.preview()); });
    connect(model, &ColourControlsModel::pictureLoaded, this, [this](const QString& path) {
        if (pictureFormatFor(path.toStdString())->becomesWindowIcon)
            QApplication::setWindowIcon(QIcon(path));
        enablePictureCommands();
    });
}

void MainWindow::showColourControls() {
    const ColourControlsState& now = pictures_.state();
    const SeparationSettings& settings = pictures_.settings();
    // The model's state goes into the widgets without running their handlers again.
    const QSignalBlocker blocked[] = {
        QSignalBlocker(ScrollBar2),     QSignalBlocker(ScrollBar1),
        QSignalBlocker(ScrollBar3),     QSignalBlocker(radioRed),
        QSignalBlocker(RadioGreen),     QSignalBlocker(RadioBlue),
        QSignalBlocker(RadioBlack),     QSignalBlocker(CheckBox1),
        QSignalBlocker(InvertCheckBox), QSignalBlocker(swapBlackWhite),
        QSignalBlocker(swapGreenBlue),  QSignalBlocker(swapRedBlue),
        QSignalBlocker(swapRedGreen),   QSignalBlocker(UpdateCheckBox),
        QSignalBlocker(scaleCheckBox)};

    const auto setText = [](QLineEdit* box, const QString& text) {
        if (box->text() != text)
            box->setText(text);
    };
    ScrollBar2->setValue(now.threshold);
    setText(Edit2, now.thresholdText);
    Shape6->setColour(now.thresholdSwatch);
    ScrollBar1->setValue(now.rValue);
    setText(e1, now.rValueText);
    Shape3->setColour(now.rValueSwatch);
    ScrollBar3->setValue(now.lValue);
    setText(Edit3, now.lValueText);
    Shape7->setColour(now.lValueSwatch);
    Shape8->setColour(now.rCartridgeSwatch);
    setText(Edit5, now.rCartridgeName);
    Shape9->setColour(now.lCartridgeSwatch);
    setText(Edit4, now.lCartridgeName);
    const std::pair<QRadioButton*, InkChoice> radios[] = {{radioRed, InkChoice::Red},
                                                          {RadioGreen, InkChoice::Green},
                                                          {RadioBlue, InkChoice::Blue},
                                                          {RadioBlack, InkChoice::Black}};
    for (const auto& [button, choice] : radios)
        if (now.ink == choice)
            button->setChecked(true);
    CheckBox1->setChecked(now.radiosChooseLInk);
    if (RadioBlack->text() != now.blackCaption)
        RadioBlack->setText(now.blackCaption);
    InvertCheckBox->setChecked(settings.invertColor);
    swapBlackWhite->setChecked(settings.swapBlackWhite);
    swapGreenBlue->setChecked(settings.swapGreenBlue);
    swapRedBlue->setChecked(settings.swapRedBlue);
    swapRedGreen->setChecked(settings.swapRedGreen);
    UpdateCheckBox->setChecked(now.updateTicked);
    scaleCheckBox->setChecked(settings.fitOnLoad);
    for (PictureView* view : {Image1, Image2}) {
        view->setStretch(now.stretch);
        view->setCenter(now.center);
    }
}

void MainWindow::Button10Click() {
    const std::optional<std::uint32_t> chosen =
        dialogs_.pickColour(pictures_.state().rCartridgeSwatch.packed());
    if (chosen)
        pictures_.chooseRCartridgeColour(Colour::fromPacked(*chosen));
}

void MainWindow::Button1Click() {
    const std::optional<std::uint32_t> chosen =
        dialogs_.pickColour(pictures_.state().lCartridgeSwatch.packed());
    if (chosen)
        pictures_.chooseLCartridgeColour(Colour::fromPacked(*chosen));
}
