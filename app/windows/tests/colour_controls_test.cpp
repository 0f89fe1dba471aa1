#include "app/windows/tests/AppFixture.h"

#include "app/windows/PictureView.h"
#include "app/windows/Swatch.h"

#include <QAction>
#include <QCheckBox>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>

using namespace logosmith;

namespace {

// The set of colours a preview holds.
QList<std::uint32_t> coloursIn(const Picture& p) {
    QList<std::uint32_t> seen;
    for (int y = 0; y < p.height(); ++y)
        for (int x = 0; x < p.width(); ++x) {
            const std::uint32_t c = p.pixel(x, y).packed();
            if (!seen.contains(c))
                seen << c;
        }
    return seen;
}

} // namespace

// A picture with red, green, blue, black, grey and white stripes, loaded through "Add Image".
class ColourControls : public AppFixture {
  protected:
    void SetUp() override {
        AppFixture::SetUp();
        Picture p(60, 10);
        const Colour stripes[] = {colours::red,   colours::green,        colours::blue,
                                  colours::black, Colour{128, 128, 128}, colours::white};
        for (int y = 0; y < 10; ++y)
            for (int x = 0; x < 60; ++x)
                p.setPixel(x, y, stripes[x / 10]);
        const QString path = pictures_.path() + "/stripes.bmp";
        writeBmpFile(p, path.toStdString());
        addPicture(path);
        ASSERT_TRUE(dialogs().texts("error").isEmpty());
    }
    Colour stripe(int index) { return pictures().preview().pixel(index * 10 + 5, 5); }
};

TEST_F(ColourControls, ALoadStartsInRedModeWithTheSlidersAtTheirPlaces) {
    EXPECT_TRUE(ui<QRadioButton>("radioRed")->isChecked());
    EXPECT_EQ(pictures().settings().inkMode, InkMode::Red);
    EXPECT_EQ(ui<QScrollBar>("ScrollBar1")->value(), 100);
    EXPECT_EQ(ui<QScrollBar>("ScrollBar2")->value(), 360);
    EXPECT_EQ(ui<QScrollBar>("ScrollBar3")->value(), 100);
    // The load writes " Red ", then selecting the red button for the first time writes " Red".
    EXPECT_EQ(ui<QLineEdit>("Edit5")->text(), " Red");
    EXPECT_EQ(stripe(0), colours::red);
    EXPECT_EQ(stripe(3), colours::black);
    EXPECT_EQ(stripe(4), colours::red); // grey 128 goes to the colour ink
    EXPECT_EQ(stripe(5), colours::white);
}

TEST_F(ColourControls, GreenRightAfterALoad) {
    ui<QRadioButton>("RadioGreen")->click();
    EXPECT_EQ(pictures().settings().inkMode, InkMode::Green);
    EXPECT_EQ(pictures().settings().targetColor, colours::green);
    EXPECT_EQ(ui<QScrollBar>("ScrollBar2")->value(), 120);
    EXPECT_EQ(ui<QLineEdit>("Edit2")->text(), "120");
    EXPECT_EQ(ui<Swatch>("Shape6")->colour(), colours::green);
    EXPECT_EQ(ui<QLineEdit>("Edit5")->text(), " Green ");
    EXPECT_EQ(ui<Swatch>("Shape3")->colour(), colours::green);
    EXPECT_EQ(stripe(1), colours::green);
    EXPECT_EQ(stripe(0), colours::black); // pure red is black in green mode
}

TEST_F(ColourControls, OffLeavesOnlyTheLInkAndPaper) {
    ui<QRadioButton>("RadioBlack")->click();
    EXPECT_EQ(pictures().settings().inkMode, InkMode::BlackOnly);
    EXPECT_EQ(ui<QScrollBar>("ScrollBar2")->value(), 0);
    EXPECT_EQ(ui<QLineEdit>("Edit5")->text(), "  Off ");
    for (std::uint32_t c : coloursIn(pictures().preview()))
        EXPECT_TRUE(c == colours::black.packed() || c == colours::white.packed()) << c;
}

TEST_F(ColourControls, WithCheckBox1TheRadioButtonsChooseTheLInkColour) {
    ui<QRadioButton>("RadioBlue")->click(); // R ink blue first
    ui<QCheckBox>("CheckBox1")->click();
    EXPECT_EQ(ui<QRadioButton>("RadioBlack")->text(), "Black");
    EXPECT_TRUE(ui<QRadioButton>("RadioBlack")->isChecked());
    EXPECT_EQ(pictures().settings().inkMode, InkMode::Blue); // the R ink keeps its mode

    ui<QRadioButton>("radioRed")->click();
    EXPECT_EQ(pictures().settings().lColor, colours::red);
    EXPECT_EQ(ui<QLineEdit>("Edit4")->text(), " Red");
    EXPECT_EQ(ui<Swatch>("Shape9")->colour(), colours::red);
    EXPECT_EQ(stripe(3), colours::red);  // black dots now in the L ink's red
    EXPECT_EQ(stripe(2), colours::blue); // the R ink keeps its colour

    ui<QScrollBar>("ScrollBar3")->setValue(200);
    EXPECT_EQ(ui<Swatch>("Shape7")->colour(), (Colour{255, 55, 55}));

    ui<QCheckBox>("CheckBox1")->click();
    EXPECT_EQ(ui<QRadioButton>("RadioBlack")->text(), "Off");
    EXPECT_EQ(pictures().settings().lColor, colours::red); // cleared: the L colour stays
}

TEST_F(ColourControls, TickingCheckBox1WhileOffIsSelectedStillMakesTheLInkBlack) {
    ui<QRadioButton>("RadioBlack")->click();
    dialogs().colourAnswers.push_back(colours::blue.packed());
    button("Button1")->click(); // the L ink blue, chosen earlier
    ui<QCheckBox>("CheckBox1")->click();
    EXPECT_EQ(pictures().settings().lColor, colours::black);
    EXPECT_EQ(ui<QLineEdit>("Edit4")->text(), " Black");
    EXPECT_EQ(pictures().settings().inkMode, InkMode::BlackOnly);
}

TEST_F(ColourControls, TheColourPickersChangeNothingWhenCancelled) {
    const Picture before = pictures().preview();
    button("Button10")->click(); // nothing queued: cancelled
    EXPECT_EQ(pictures().settings().inkMode, InkMode::Red);
    EXPECT_EQ(ui<QLineEdit>("Edit5")->text(), " Red");
    EXPECT_EQ(pictures().preview(), before);

    dialogs().colourAnswers.push_back(Colour{128, 0, 255}.packed());
    button("Button10")->click();
    EXPECT_EQ(ui<QLineEdit>("Edit5")->text(), "User");
    EXPECT_EQ(pictures().settings().inkMode, InkMode::User);
    EXPECT_EQ(stripe(0), (Colour{128, 0, 255}));

    dialogs().colourAnswers.push_back(Colour{0, 0, 128}.packed());
    button("Button1")->click();
    EXPECT_EQ(ui<QLineEdit>("Edit4")->text(), "Base");
    EXPECT_EQ(stripe(3), (Colour{0, 0, 128}));
}

TEST_F(ColourControls, RValueTintsItsSwatchOnlyInTheThreePureModes) {
    ui<QScrollBar>("ScrollBar1")->setValue(55);
    EXPECT_EQ(ui<Swatch>("Shape3")->colour(), (Colour{255, 200, 200}));
    EXPECT_EQ(pictures().settings().rValue, 55);

    ui<QRadioButton>("RadioBlack")->click(); // BlackOnly; the slider goes back to 100
    const Colour before = ui<Swatch>("Shape3")->colour();
    ui<QScrollBar>("ScrollBar1")->setValue(10);
    EXPECT_EQ(ui<Swatch>("Shape3")->colour(), before);
    EXPECT_EQ(pictures().settings().rValue, 10);

    dialogs().colourAnswers.push_back(Colour{1, 2, 3}.packed());
    button("Button10")->click();
    ui<QScrollBar>("ScrollBar1")->setValue(20);
    EXPECT_EQ(ui<Swatch>("Shape3")->colour(), before);
}

TEST_F(ColourControls, RestoreDefaultsKeepsLValueAndFitting) {
    ui<QScrollBar>("ScrollBar3")->setValue(200);
    EXPECT_EQ(ui<Swatch>("Shape7")->colour(), (Colour{55, 55, 55})) << "the grey tint of 200";
    ui<QRadioButton>("RadioGreen")->click();
    ui<QCheckBox>("InvertCheckBox")->click();
    ui<QCheckBox>("swapRedBlue")->click();
    button("btnCenter")->click();
    dialogs().colourAnswers.push_back(Colour{0, 0, 128}.packed());
    button("Button1")->click(); // the L ink dark blue
    item("RestoredefaultSetting1")->trigger();

    EXPECT_EQ(ui<QScrollBar>("ScrollBar3")->value(), 200);
    EXPECT_EQ(pictures().settings().lValue, 200);
    EXPECT_TRUE(ui<QRadioButton>("radioRed")->isChecked());
    EXPECT_EQ(pictures().settings().inkMode, InkMode::Red);
    EXPECT_EQ(ui<QScrollBar>("ScrollBar2")->value(), 360);
    EXPECT_EQ(ui<QLineEdit>("Edit5")->text(), "  Red");
    EXPECT_EQ(ui<QLineEdit>("Edit4")->text(), "  Black");
    EXPECT_EQ(pictures().settings().lColor, colours::black);
    EXPECT_EQ(ui<Swatch>("Shape9")->colour(), colours::black);
    EXPECT_EQ(stripe(3), colours::black);
    EXPECT_FALSE(ui<QCheckBox>("InvertCheckBox")->isChecked());
    EXPECT_FALSE(ui<QCheckBox>("swapRedBlue")->isChecked());
    EXPECT_FALSE(ui<PictureView>("Image2")->center());
    EXPECT_TRUE(pictures().settings().fitOnLoad);
    EXPECT_TRUE(ui<QCheckBox>("scaleCheckBox")->isChecked());
}

// A click in a slider's track moves it by 1, like a click on its arrow.
TEST_F(ColourControls, AClickInASlidersTrackMovesItByOne) {
    QScrollBar* bar =
        ui<QScrollBar>("ScrollBar3"); // at 100 of 255: track on both sides of the handle
    const auto click = [bar](int x) {
        const QPointF at(x, bar->height() / 2);
        QMouseEvent press(QEvent::MouseButtonPress, at, bar->mapToGlobal(at), Qt::LeftButton,
                          Qt::LeftButton, Qt::NoModifier);
        QMouseEvent release(QEvent::MouseButtonRelease, at, bar->mapToGlobal(at), Qt::LeftButton,
                            Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(bar, &press);
        QApplication::sendEvent(bar, &release);
    };
    click(bar->width() - 25);
    EXPECT_EQ(bar->value(), 101);
    EXPECT_EQ(ui<QLineEdit>("Edit3")->text(), "101");
    click(25);
    EXPECT_EQ(bar->value(), 100);
}

TEST_F(ColourControls, WithUpdateClearedThePreviewChangesButTheViewDoesNot) {
    ui<QCheckBox>("UpdateCheckBox")->click();
    const QImage shown = ui<PictureView>("Image2")->drawing();
    ui<QRadioButton>("RadioGreen")->click();
    EXPECT_EQ(stripe(1), colours::green);
    EXPECT_EQ(ui<PictureView>("Image2")->drawing(), shown);

    button("Button15")->click();
    EXPECT_EQ(ui<PictureView>("Image2")->drawing(), toQImage(pictures().preview()));
    EXPECT_FALSE(ui<QCheckBox>("UpdateCheckBox")->isChecked());
    ui<QRadioButton>("RadioBlue")->click(); // the button switched live update back on
    EXPECT_EQ(ui<PictureView>("Image2")->drawing(), toQImage(pictures().preview()));
}

TEST_F(ColourControls, ALoadResetsTheControlsButKeepsTheUserColourAndTheRgbBoxes) {
    dialogs().colourAnswers.push_back(Colour{10, 20, 30}.packed());
    button("Button10")->click();
    ui<QCheckBox>("swapBlackWhite")->click();
    ui<QScrollBar>("ScrollBar2")->setValue(200);
    ui<QScrollBar>("ScrollBar3")->setValue(200);
    button("btnCenter")->click();
    addPicture(makePicture("second.bmp"));
    EXPECT_EQ(pictures().settings().userColor, (Colour{10, 20, 30}));
    EXPECT_TRUE(ui<QCheckBox>("swapBlackWhite")->isChecked());
    EXPECT_EQ(pictures().settings().inkMode, InkMode::Red);
    EXPECT_EQ(ui<QScrollBar>("ScrollBar2")->value(), 360);
    // L VALUE back at 100: the slider, its box and the setting agree.
    EXPECT_EQ(ui<QScrollBar>("ScrollBar3")->value(), 100);
    EXPECT_EQ(ui<QLineEdit>("Edit3")->text(), "100");
    EXPECT_EQ(pictures().settings().lValue, 100);
    EXPECT_FALSE(ui<PictureView>("Image2")->center());
    EXPECT_FALSE(ui<PictureView>("Image1")->center());
    EXPECT_EQ(pictures().preview().pixel(39, 5), colours::white); // black swapped to paper
}
