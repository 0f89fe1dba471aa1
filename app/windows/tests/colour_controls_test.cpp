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
    Colour stripe(int index) const { return Form1->pictures().preview().pixel(index * 10 + 5, 5); }
};

TEST_F(ColourControls, ALoadStartsInRedModeWithTheSlidersAtTheirPlaces) {
    EXPECT_TRUE(Form1->radioRed->isChecked());
    EXPECT_EQ(Form1->pictures().settings().inkMode, InkMode::Red);
    EXPECT_EQ(Form1->ScrollBar1->value(), 100);
    EXPECT_EQ(Form1->ScrollBar2->value(), 360);
    EXPECT_EQ(Form1->ScrollBar3->value(), 100);
    // The load writes " Red ", then selecting the red button for the first time writes " Red".
    EXPECT_EQ(Form1->Edit5->text(), " Red");
    EXPECT_EQ(stripe(0), colours::red);
    EXPECT_EQ(stripe(3), colours::black);
    EXPECT_EQ(stripe(4), colours::red); // grey 128 goes to the colour ink
    EXPECT_EQ(stripe(5), colours::white);
}

TEST_F(ColourControls, GreenRightAfterALoad) {
    Form1->RadioGreen->click();
    EXPECT_EQ(Form1->pictures().settings().inkMode, InkMode::Green);
    EXPECT_EQ(Form1->pictures().settings().targetColor, colours::green);
    EXPECT_EQ(Form1->ScrollBar2->value(), 120);
    EXPECT_EQ(Form1->Edit2->text(), "120");
    EXPECT_EQ(Form1->Shape6->colour(), colours::green);
    EXPECT_EQ(Form1->Edit5->text(), " Green ");
    EXPECT_EQ(Form1->Shape3->colour(), colours::green);
    EXPECT_EQ(stripe(1), colours::green);
    EXPECT_EQ(stripe(0), colours::black); // pure red is black in green mode
}

TEST_F(ColourControls, OffLeavesOnlyTheLInkAndPaper) {
    Form1->RadioBlack->click();
    EXPECT_EQ(Form1->pictures().settings().inkMode, InkMode::BlackOnly);
    EXPECT_EQ(Form1->ScrollBar2->value(), 0);
    EXPECT_EQ(Form1->Edit5->text(), "  Off ");
    for (std::uint32_t c : coloursIn(Form1->pictures().preview()))
        EXPECT_TRUE(c == colours::black.packed() || c == colours::white.packed()) << c;
}

TEST_F(ColourControls, WithCheckBox1TheRadioButtonsChooseTheLInkColour) {
    Form1->RadioBlue->click(); // R ink blue first
    Form1->CheckBox1->click();
    EXPECT_EQ(Form1->RadioBlack->text(), "Black");
    EXPECT_TRUE(Form1->RadioBlack->isChecked());
    EXPECT_EQ(Form1->pictures().settings().inkMode, InkMode::Blue); // the R ink keeps its mode

    Form1->radioRed->click();
    EXPECT_EQ(Form1->pictures().settings().lColor, colours::red);
    EXPECT_EQ(Form1->Edit4->text(), " Red");
    EXPECT_EQ(Form1->Shape9->colour(), colours::red);
    EXPECT_EQ(stripe(3), colours::red);  // black dots now in the L ink's red
    EXPECT_EQ(stripe(2), colours::blue); // the R ink keeps its colour

    Form1->ScrollBar3->setValue(200);
    EXPECT_EQ(Form1->Shape7->colour(), (Colour{255, 55, 55}));

    Form1->CheckBox1->click();
    EXPECT_EQ(Form1->RadioBlack->text(), "Off");
    EXPECT_EQ(Form1->pictures().settings().lColor, colours::red); // cleared: the L colour stays
}

TEST_F(ColourControls, TickingCheckBox1WhileOffIsSelectedStillMakesTheLInkBlack) {
    Form1->RadioBlack->click();
    dialogs().colourAnswers.push_back(colours::blue.packed());
    Form1->Button1->click(); // the L ink blue, chosen earlier
    Form1->CheckBox1->click();
    EXPECT_EQ(Form1->pictures().settings().lColor, colours::black);
    EXPECT_EQ(Form1->Edit4->text(), " Black");
    EXPECT_EQ(Form1->pictures().settings().inkMode, InkMode::BlackOnly);
}

TEST_F(ColourControls, TheColourPickersChangeNothingWhenCancelled) {
    const Picture before = Form1->pictures().preview();
    Form1->Button10->click(); // nothing queued: cancelled
    EXPECT_EQ(Form1->pictures().settings().inkMode, InkMode::Red);
    EXPECT_EQ(Form1->Edit5->text(), " Red");
    EXPECT_EQ(Form1->pictures().preview(), before);

    dialogs().colourAnswers.push_back(Colour{128, 0, 255}.packed());
    Form1->Button10->click();
    EXPECT_EQ(Form1->Edit5->text(), "User");
    EXPECT_EQ(Form1->pictures().settings().inkMode, InkMode::User);
    EXPECT_EQ(stripe(0), (Colour{128, 0, 255}));

    dialogs().colourAnswers.push_back(Colour{0, 0, 128}.packed());
    Form1->Button1->click();
    EXPECT_EQ(Form1->Edit4->text(), "Base");
    EXPECT_EQ(stripe(3), (Colour{0, 0, 128}));
}

TEST_F(ColourControls, RValueTintsItsSwatchOnlyInTheThreePureModes) {
    Form1->ScrollBar1->setValue(55);
    EXPECT_EQ(Form1->Shape3->colour(), (Colour{255, 200, 200}));
    EXPECT_EQ(Form1->pictures().settings().rValue, 55);

    Form1->RadioBlack->click(); // BlackOnly; the slider goes back to 100
    const Colour before = Form1->Shape3->colour();
    Form1->ScrollBar1->setValue(10);
    EXPECT_EQ(Form1->Shape3->colour(), before);
    EXPECT_EQ(Form1->pictures().settings().rValue, 10);

    dialogs().colourAnswers.push_back(Colour{1, 2, 3}.packed());
    Form1->Button10->click();
    Form1->ScrollBar1->setValue(20);
    EXPECT_EQ(Form1->Shape3->colour(), before);
}

TEST_F(ColourControls, RestoreDefaultsKeepsLValueAndFitting) {
    Form1->ScrollBar3->setValue(200);
    EXPECT_EQ(Form1->Shape7->colour(), (Colour{55, 55, 55})) << "the grey tint of 200";
    Form1->RadioGreen->click();
    Form1->InvertCheckBox->click();
    Form1->swapRedBlue->click();
    Form1->btnCenter->click();
    dialogs().colourAnswers.push_back(Colour{0, 0, 128}.packed());
    Form1->Button1->click(); // the L ink dark blue
    Form1->RestoredefaultSetting1->trigger();

    EXPECT_EQ(Form1->ScrollBar3->value(), 200);
    EXPECT_EQ(Form1->pictures().settings().lValue, 200);
    EXPECT_TRUE(Form1->radioRed->isChecked());
    EXPECT_EQ(Form1->pictures().settings().inkMode, InkMode::Red);
    EXPECT_EQ(Form1->ScrollBar2->value(), 360);
    EXPECT_EQ(Form1->Edit5->text(), "  Red");
    EXPECT_EQ(Form1->Edit4->text(), "  Black");
    EXPECT_EQ(Form1->pictures().settings().lColor, colours::black);
    EXPECT_EQ(Form1->Shape9->colour(), colours::black);
    EXPECT_EQ(stripe(3), colours::black);
    EXPECT_FALSE(Form1->InvertCheckBox->isChecked());
    EXPECT_FALSE(Form1->swapRedBlue->isChecked());
    EXPECT_FALSE(Form1->Image2->center());
    EXPECT_TRUE(Form1->pictures().settings().fitOnLoad);
    EXPECT_TRUE(Form1->scaleCheckBox->isChecked());
}

// A click in a slider's track moves it by 1, like a click on its arrow.
TEST_F(ColourControls, AClickInASlidersTrackMovesItByOne) {
    QScrollBar* bar = Form1->ScrollBar3; // at 100 of 255: track on both sides of the handle
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
    EXPECT_EQ(Form1->Edit3->text(), "101");
    click(25);
    EXPECT_EQ(bar->value(), 100);
}

TEST_F(ColourControls, WithUpdateClearedThePreviewChangesButTheViewDoesNot) {
    Form1->UpdateCheckBox->click();
    const QImage shown = Form1->Image2->drawing();
    Form1->RadioGreen->click();
    EXPECT_EQ(stripe(1), colours::green);
    EXPECT_EQ(Form1->Image2->drawing(), shown);

    Form1->Button15->click();
    EXPECT_EQ(Form1->Image2->drawing(), toQImage(Form1->pictures().preview()));
    EXPECT_FALSE(Form1->UpdateCheckBox->isChecked());
    Form1->RadioBlue->click(); // the button switched live update back on
    EXPECT_EQ(Form1->Image2->drawing(), toQImage(Form1->pictures().preview()));
}

TEST_F(ColourControls, ALoadResetsTheControlsButKeepsTheUserColourAndTheRgbBoxes) {
    dialogs().colourAnswers.push_back(Colour{10, 20, 30}.packed());
    Form1->Button10->click();
    Form1->swapBlackWhite->click();
    Form1->ScrollBar2->setValue(200);
    Form1->ScrollBar3->setValue(200);
    Form1->btnCenter->click();
    addPicture(makePicture("second.bmp"));
    EXPECT_EQ(Form1->pictures().settings().userColor, (Colour{10, 20, 30}));
    EXPECT_TRUE(Form1->swapBlackWhite->isChecked());
    EXPECT_EQ(Form1->pictures().settings().inkMode, InkMode::Red);
    EXPECT_EQ(Form1->ScrollBar2->value(), 360);
    // L VALUE back at 100: the slider, its box and the setting agree.
    EXPECT_EQ(Form1->ScrollBar3->value(), 100);
    EXPECT_EQ(Form1->Edit3->text(), "100");
    EXPECT_EQ(Form1->pictures().settings().lValue, 100);
    EXPECT_FALSE(Form1->Image2->center());
    EXPECT_FALSE(Form1->Image1->center());
    EXPECT_EQ(Form1->pictures().preview().pixel(39, 5), colours::white); // black swapped to paper
}
