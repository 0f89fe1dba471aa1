#include "app/windows/ColourControlsPanel.h"

#include "app/windows/Placement.h"
#include "app/windows/Swatch.h"
#include "platform/ErrorGuard.h"
#include "platform/UserDialogs.h"
#include "separation/controls/ColourControlsModel.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <vector>

using namespace logosmith;

namespace {

constexpr InkChoice inkChoices[4] = {InkChoice::Red, InkChoice::Green, InkChoice::Blue,
                                     InkChoice::Black};
constexpr RgbControl rgbControls[5] = {RgbControl::Invert, RgbControl::SwapBlackWhite,
                                       RgbControl::SwapGreenBlue, RgbControl::SwapRedBlue,
                                       RgbControl::SwapRedGreen};

QScrollBar* slider(QWidget* parent, const char* name, int x, int y, int maximum, int value) {
    auto* bar = place<QScrollBar>(parent, name, x, y, 150, 17);
    bar->setOrientation(Qt::Horizontal);
    bar->setRange(0, maximum);
    // An arrow click and a click in the track both move the slider by 1.
    bar->setSingleStep(1);
    bar->setPageStep(1);
    bar->setValue(value);
    return bar;
}

QLineEdit* valueBox(QWidget* parent, const char* name, int x, int y, const QString& text) {
    auto* box = place<QLineEdit>(parent, name, x, y, 40, 20);
    box->setText(text);
    return box;
}

Swatch* swatch(QWidget* parent, const char* name, int x, int y, int w, int h, Colour colour) {
    auto* s = place<Swatch>(parent, name, x, y, w, h);
    s->setColour(colour);
    return s;
}

void label(QWidget* parent, const QString& text, int x, int y, int w) {
    auto* l = new QLabel(text, parent);
    l->setGeometry(x, y, w, 17);
}

QGroupBox* group(QWidget* parent, const char* name, const QString& title, int y, int h) {
    auto* box = place<QGroupBox>(parent, name, 0, y, 293, h);
    box->setTitle(title);
    return box;
}

void setText(QLineEdit* box, const QString& text) {
    if (box->text() != text)
        box->setText(text);
}

} // namespace

ColourControlsPanel::ColourControlsPanel(ColourControlsModel& pictures, UserDialogs& dialogs,
                                         QWidget* parent)
    : QWidget(parent), pictures_(pictures), dialogs_(dialogs) {
    setObjectName("ColourControlsPanel");
    buildRangePanel();
    buildCartridgePanel();
    buildRgbPanel();
    connectControls();
    showState();
}

void ColourControlsPanel::buildRangePanel() {
    QGroupBox* range = group(this, "GroupBoxRange", "Change Color Range", 4, 150);
    label(range, "THRESHOLD", 10, 20, 150);
    thresholdSlider_ = slider(range, "ScrollBar2", 10, 38, 360, 360);
    thresholdBox_ = valueBox(range, "Edit2", 168, 36, "360");
    thresholdSwatch_ = swatch(range, "Shape6", 216, 36, 64, 21, colours::red);
    label(range, "R VALUE", 10, 60, 150);
    rValueSlider_ = slider(range, "ScrollBar1", 10, 78, 255, 100);
    rValueBox_ = valueBox(range, "e1", 168, 76, "100");
    rValueBox_->setReadOnly(true);
    rValueSwatch_ = swatch(range, "Shape3", 216, 76, 64, 21, colours::white);
    label(range, "L VALUE", 10, 100, 150);
    lValueSlider_ = slider(range, "ScrollBar3", 10, 118, 255, 100);
    lValueBox_ = valueBox(range, "Edit3", 168, 116, "100");
    lValueSwatch_ = swatch(range, "Shape7", 216, 116, 64, 21, colours::black);
}

void ColourControlsPanel::buildCartridgePanel() {
    QGroupBox* cartridge = group(this, "GroupBoxCartridge", "Cartridge Color", 158, 206);
    rCartridgeSwatch_ = swatch(cartridge, "Shape8", 10, 22, 30, 22, colours::red);
    rCartridgeName_ = place<QLineEdit>(cartridge, "Edit5", "  Red ", 46, 22, 110, 22);
    rCartridgeName_->setReadOnly(true);
    auto* rCartridge = place<QPushButton>(cartridge, "Button10", "R Cartridge", 166, 20, 116, 26);
    lCartridgeSwatch_ = swatch(cartridge, "Shape9", 10, 52, 30, 22, colours::black);
    lCartridgeName_ = place<QLineEdit>(cartridge, "Edit4", "  Black", 46, 52, 110, 22);
    lCartridgeName_->setReadOnly(true);
    auto* lCartridge = place<QPushButton>(cartridge, "Button1", "L Cartridge", 166, 50, 116, 26);
    connectGuarded(rCartridge, &QPushButton::clicked, this,
                   &ColourControlsPanel::chooseRCartridgeColour);
    connectGuarded(lCartridge, &QPushButton::clicked, this,
                   &ColourControlsPanel::chooseLCartridgeColour);

    inkButtons_ = {place<QRadioButton>(cartridge, "radioRed", "Red ", 36, 84, 100, 22),
                   place<QRadioButton>(cartridge, "RadioGreen", "Green  ", 36, 108, 100, 22),
                   place<QRadioButton>(cartridge, "RadioBlue", "Blue ", 172, 84, 100, 22),
                   place<QRadioButton>(cartridge, "RadioBlack", "Off", 172, 108, 100, 22)};
    swatch(cartridge, "Shape1", 12, 87, 16, 16, colours::red);
    swatch(cartridge, "Shape2", 12, 111, 16, 16, colours::green);
    swatch(cartridge, "Shape4", 148, 87, 16, 16, colours::blue);
    swatch(cartridge, "Shape5", 148, 111, 16, 16, colours::black);
    radiosChooseLInkBox_ = place<QCheckBox>(
        cartridge, "CheckBox1", "Color Change Select (Invert to L Cartridge )", 10, 140, 276, 44);
    QFont smaller = radiosChooseLInkBox_->font();
    smaller.setPointSizeF(smaller.pointSizeF() * 0.9);
    radiosChooseLInkBox_->setFont(smaller);
}

void ColourControlsPanel::buildRgbPanel() {
    QGroupBox* rgb = group(this, "GroupBoxRgb", "RGB control", 368, 200);
    const std::pair<const char*, const char*> boxes[5] = {
        {"InvertCheckBox", "Invert Color"},
        {"swapBlackWhite", "Exchange Black && White"},
        {"swapGreenBlue", "Exchange Green && Blue"},
        {"swapRedBlue", "Exchange Red && Blue"},
        {"swapRedGreen", "Exchange Red && Green"}};
    for (int i = 0; i < 5; ++i)
        rgbBoxes_[std::size_t(i)] =
            place<QCheckBox>(rgb, boxes[i].first, boxes[i].second, 12, 22 + 28 * i, 270, 22);
}

void ColourControlsPanel::connectControls() {
    ColourControlsModel* model = &pictures_;
    const std::pair<QScrollBar*, void (ColourControlsModel::*)(int)> sliders[] = {
        {thresholdSlider_, &ColourControlsModel::moveThreshold},
        {rValueSlider_, &ColourControlsModel::moveRValue},
        {lValueSlider_, &ColourControlsModel::moveLValue}};
    for (const auto& [bar, move] : sliders) {
        connectGuarded(bar, &QScrollBar::valueChanged, this,
                       [model, move = move](int position) { (model->*move)(position); });
        // A drag is one step to undo, however many moves it makes.
        connect(bar, &QScrollBar::sliderPressed, this,
                [model] { model->setContinuousChange(true); });
        connect(bar, &QScrollBar::sliderReleased, this,
                [model] { model->setContinuousChange(false); });
    }
    // A radio button's handler runs when it becomes selected, by the person or by the model.
    for (int i = 0; i < 4; ++i)
        connectGuarded(inkButtons_[std::size_t(i)], &QRadioButton::toggled, this,
                       [model, choice = inkChoices[i]](bool on) {
                           if (on)
                               model->selectInk(choice);
                       });
    connectGuarded(radiosChooseLInkBox_, &QCheckBox::toggled, this,
                   [model](bool on) { model->setRadiosChooseLInk(on); });
    for (int i = 0; i < 5; ++i)
        connectGuarded(
            rgbBoxes_[std::size_t(i)], &QCheckBox::toggled, this,
            [model, control = rgbControls[i]](bool on) { model->setRgbControl(control, on); });
    connect(model, &ColourControlsModel::changed, this, &ColourControlsPanel::showState);
}

void ColourControlsPanel::showState() {
    const ColourControlsState& now = pictures_.state();
    const SeparationSettings& settings = pictures_.settings();
    // The model's state goes into the widgets without running their handlers again.
    std::vector<QSignalBlocker> blocked;
    for (QWidget* control :
         {static_cast<QWidget*>(thresholdSlider_), static_cast<QWidget*>(rValueSlider_),
          static_cast<QWidget*>(lValueSlider_), static_cast<QWidget*>(radiosChooseLInkBox_)})
        blocked.emplace_back(control);
    for (QRadioButton* button : inkButtons_)
        blocked.emplace_back(button);
    for (QCheckBox* box : rgbBoxes_)
        blocked.emplace_back(box);

    thresholdSlider_->setValue(now.threshold);
    setText(thresholdBox_, now.thresholdText);
    thresholdSwatch_->setColour(now.thresholdSwatch);
    rValueSlider_->setValue(now.rValue);
    setText(rValueBox_, now.rValueText);
    rValueSwatch_->setColour(now.rValueSwatch);
    lValueSlider_->setValue(now.lValue);
    setText(lValueBox_, now.lValueText);
    lValueSwatch_->setColour(now.lValueSwatch);
    rCartridgeSwatch_->setColour(now.rCartridgeSwatch);
    setText(rCartridgeName_, now.rCartridgeName);
    lCartridgeSwatch_->setColour(now.lCartridgeSwatch);
    setText(lCartridgeName_, now.lCartridgeName);
    for (int i = 0; i < 4; ++i)
        if (now.ink == inkChoices[i])
            inkButtons_[std::size_t(i)]->setChecked(true);
    radiosChooseLInkBox_->setChecked(now.radiosChooseLInk);
    QRadioButton* off = inkButtons_[3];
    if (off->text() != now.blackCaption)
        off->setText(now.blackCaption);
    const bool flags[5] = {settings.invertColor, settings.swapBlackWhite, settings.swapGreenBlue,
                           settings.swapRedBlue, settings.swapRedGreen};
    for (int i = 0; i < 5; ++i)
        rgbBoxes_[std::size_t(i)]->setChecked(flags[i]);
}

void ColourControlsPanel::chooseRCartridgeColour() {
    const std::optional<std::uint32_t> chosen =
        dialogs_.pickColour(pictures_.state().rCartridgeSwatch.packed());
    if (chosen)
        pictures_.chooseRCartridgeColour(Colour::fromPacked(*chosen));
}

void ColourControlsPanel::chooseLCartridgeColour() {
    const std::optional<std::uint32_t> chosen =
        dialogs_.pickColour(pictures_.state().lCartridgeSwatch.packed());
    if (chosen)
        pictures_.chooseLCartridgeColour(Colour::fromPacked(*chosen));
}
