// The colour panels of the main window: which colours go to which ink.
#include "app/windows/MainWindow.h"

#include "app/windows/PictureView.h"
#include "app/windows/Swatch.h"
#include "platform/ErrorGuard.h"
#include "platform/UserDialogs.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>

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
    auto onValue = [this](QScrollBar* bar, void (MainWindow::*handler)()) {
        connect(bar, &QScrollBar::valueChanged, this,
                [this, handler] { guarded([this, handler] { (this->*handler)(); }); });
    };
    onValue(ScrollBar2, &MainWindow::ScrollBar2Change);
    onValue(ScrollBar1, &MainWindow::ScrollBar1Change);
    onValue(ScrollBar3, &MainWindow::ScrollBar3Change);

    // A radio button's handler runs when it becomes selected, by the user or by code.
    auto onSelect = [this](QRadioButton* button, void (MainWindow::*handler)()) {
        connect(button, &QRadioButton::toggled, this, [this, handler](bool on) {
            if (on)
                guarded([this, handler] { (this->*handler)(); });
        });
    };
    onSelect(radioRed, &MainWindow::radioRedClick);
    onSelect(RadioGreen, &MainWindow::RadioGreenClick);
    onSelect(RadioBlue, &MainWindow::RadioBlueClick);
    onSelect(RadioBlack, &MainWindow::RadioBlackClick);

    auto onToggle = [this](QCheckBox* box, void (MainWindow::*handler)()) {
        connect(box, &QCheckBox::toggled, this,
                [this, handler] { guarded([this, handler] { (this->*handler)(); }); });
    };
    onToggle(CheckBox1, &MainWindow::CheckBox1Click);
    for (QCheckBox* box :
         {InvertCheckBox, swapBlackWhite, swapGreenBlue, swapRedBlue, swapRedGreen})
        onToggle(box, &MainWindow::rgbControlClick);
    onToggle(UpdateCheckBox, &MainWindow::UpdateCheckBoxClick);

    connect(Button10, &QPushButton::clicked, this,
            [this] { guarded([this] { Button10Click(); }); });
    connect(Button1, &QPushButton::clicked, this, [this] { guarded([this] { Button1Click(); }); });
    connect(Button15, &QPushButton::clicked, this,
            [this] { guarded([this] { Button15Click(); }); });
    connect(RestoredefaultSetting1, &QAction::triggered, this,
            [this] { guarded([this] { RestoredefaultSetting1Click(); }); });
}

void MainWindow::rebuildPreview() {
    settings.invertColor = InvertCheckBox->isChecked();
    settings.swapRedGreen = swapRedGreen->isChecked();
    settings.swapRedBlue = swapRedBlue->isChecked();
    settings.swapGreenBlue = swapGreenBlue->isChecked();
    settings.swapBlackWhite = swapBlackWhite->isChecked();
    if (workingImage.isEmpty() && previewImage.isEmpty())
        return;
    logosmith::rebuildPreview(settings, workingImage, previewImage);
    if (settings.liveUpdate)
        Image2->redraw(previewImage);
}

void MainWindow::ScrollBar2Change() {
    const int position = ScrollBar2->value();
    Edit2->setText(QString::number(position));
    settings.targetColor = hueToTarget(position);
    Shape6->setColour(settings.targetColor);
    rebuildPreview();
}

void MainWindow::ScrollBar1Change() {
    const int position = ScrollBar1->value();
    e1->setText(QString::number(position));
    switch (settings.inkMode) {
    case InkMode::Red:
        Shape3->setColour(tintOf(position, colours::red));
        break;
    case InkMode::Green:
        Shape3->setColour(tintOf(position, colours::green));
        break;
    case InkMode::Blue:
        Shape3->setColour(tintOf(position, colours::blue));
        break;
    default:
        break;
    }
    settings.rValue = position;
    rebuildPreview();
}

void MainWindow::ScrollBar3Change() {
    const int position = ScrollBar3->value();
    Edit3->setText(QString::number(position));
    settings.lValue = position;
    if (!CheckBox1->isChecked()) {
        Shape7->setColour(tintOf(position, colours::black));
    } else if (settings.lColor == colours::red || settings.lColor == colours::green ||
               settings.lColor == colours::blue) {
        Shape7->setColour(tintOf(position, settings.lColor));
    }
    rebuildPreview();
}

void MainWindow::chooseLInkColour(Colour colour, const QString& name) {
    Edit4->setText(name);
    Shape9->setColour(colour);
    Shape7->setColour(colour);
    settings.lColor = colour;
    rebuildPreview();
}

void MainWindow::chooseInkMode(InkMode mode, Colour colour, const QString& name, int threshold) {
    settings.inkMode = mode;
    Edit5->setText(name);
    Shape8->setColour(colour);
    if (mode == InkMode::BlackOnly) {
        settings.targetColor = settings.lColor;
    } else {
        Shape3->setColour(colour);
        settings.targetColor = colour;
    }
    ScrollBar1->setValue(100);
    ScrollBar2->setValue(threshold);
    rebuildPreview();
}

void MainWindow::radioRedClick() {
    if (CheckBox1->isChecked())
        chooseLInkColour(colours::red, " Red");
    else
        chooseInkMode(InkMode::Red, colours::red, " Red", 360);
}

void MainWindow::RadioGreenClick() {
    if (CheckBox1->isChecked())
        chooseLInkColour(colours::green, " Green");
    else
        chooseInkMode(InkMode::Green, colours::green, " Green ", 120);
}

void MainWindow::RadioBlueClick() {
    if (CheckBox1->isChecked())
        chooseLInkColour(colours::blue, " Blue");
    else
        chooseInkMode(InkMode::Blue, colours::blue, " Blue", 240);
}

void MainWindow::RadioBlackClick() {
    if (CheckBox1->isChecked())
        chooseLInkColour(colours::black, " Black");
    else
        chooseInkMode(InkMode::BlackOnly, colours::black, "  Off ", 0);
}

void MainWindow::CheckBox1Click() {
    if (!CheckBox1->isChecked()) {
        RadioBlack->setText("Off");
        return;
    }
    RadioBlack->setText("Black");
    RadioBlack->setChecked(true);
    Edit4->setText(" Black");
    Shape9->setColour(colours::black);
    settings.lColor = colours::black;
    rebuildPreview();
}

void MainWindow::Button10Click() {
    const std::optional<std::uint32_t> chosen = userDialogs().pickColour(Shape8->colour().packed());
    if (!chosen)
        return;
    const Colour colour = Colour::fromPacked(*chosen);
    Shape8->setColour(colour);
    Edit5->setText("User");
    settings.userColor = colour;
    settings.inkMode = InkMode::User;
    rebuildPreview();
}

void MainWindow::Button1Click() {
    const std::optional<std::uint32_t> chosen = userDialogs().pickColour(Shape9->colour().packed());
    if (!chosen)
        return;
    const Colour colour = Colour::fromPacked(*chosen);
    Shape9->setColour(colour);
    Edit4->setText("Base");
    settings.lColor = colour;
    rebuildPreview();
}

void MainWindow::rgbControlClick() {
    rebuildPreview();
}

void MainWindow::UpdateCheckBoxClick() {
    settings.liveUpdate = UpdateCheckBox->isChecked();
    if (settings.liveUpdate)
        Image2->redraw(previewImage);
}

void MainWindow::Button15Click() {
    settings.liveUpdate = true;
    Image2->redraw(previewImage);
}

void MainWindow::RestoredefaultSetting1Click() {
    settings.liveUpdate = true;
    radioRed->setChecked(true);
    Shape8->setColour(colours::red);
    settings.targetColor = colours::red;
    settings.inkMode = InkMode::Red;
    ScrollBar1->setValue(100);
    settings.rValue = 100;
    ScrollBar2->setValue(360);
    Edit5->setText("  Red");
    Shape9->setColour(colours::black);
    Edit4->setText("  Black");
    settings.lColor = colours::black;
    setViewFlags(Image2->stretch(), false);
    for (QCheckBox* box :
         {InvertCheckBox, swapRedGreen, swapRedBlue, swapGreenBlue, swapBlackWhite})
        box->setChecked(false);
    // Fitting is left alone: the "Fit Scale" box and the flag behind it always agree.
    rebuildPreview();
    Image2->redraw(previewImage);
}
