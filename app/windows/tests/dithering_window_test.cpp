#include "app/windows/tests/AppFixture.h"

#include "app/windows/PictureView.h"

#include <QCheckBox>
#include <QScrollBar>

using namespace logosmith;

namespace {

// How many preview pixels are black, red and white; fails on any other colour.
struct Dots {
    int black = 0, red = 0, white = 0;
};

Dots countDots(const Picture& p) {
    Dots d;
    for (int y = 0; y < p.height(); ++y)
        for (int x = 0; x < p.width(); ++x) {
            const Colour c = p.pixel(x, y);
            if (c == colours::black)
                ++d.black;
            else if (c == colours::red)
                ++d.red;
            else if (c == colours::white)
                ++d.white;
            else
                ADD_FAILURE() << "not an ink colour at " << x << "," << y;
        }
    return d;
}

} // namespace

class DitheringWindow : public AppFixture {
  protected:
    // A red-to-white ramp over a black-to-white one: tones the plain separation cannot show.
    QString makeShaded() {
        Picture p(120, 40);
        for (int y = 0; y < p.height(); ++y)
            for (int x = 0; x < p.width(); ++x) {
                const std::uint8_t t = std::uint8_t(x * 255 / 119);
                p.setPixel(x, y, y < 20 ? Colour{255, t, t} : Colour{t, t, t});
            }
        const QString path = pictures_.path() + "/shaded.bmp";
        writeBmpFile(p, path.toStdString());
        return path;
    }
    bool onScreen(const Picture& p) { return ui<PictureView>("Image2")->drawing() == toQImage(p); }
    QString storedMode() {
        return settingsStore().readText("Dithering", "Mode").value_or("<none>");
    }
};

TEST_F(DitheringWindow, TheChoiceRedoesThePreviewUnderTheColourControlsAndNoneGivesItBack) {
    addPicture(makeShaded());
    ASSERT_TRUE(dialogs().texts("error").isEmpty());
    const Picture plain = pictures().preview();
    EXPECT_TRUE(item("NoDithering1")->isChecked());

    item("ErrorDiffusion1")->trigger();
    EXPECT_TRUE(item("ErrorDiffusion1")->isChecked());
    EXPECT_FALSE(item("NoDithering1")->isChecked());
    const Picture diffused = pictures().preview();
    EXPECT_NE(diffused, plain);
    EXPECT_TRUE(onScreen(diffused));
    const Dots before = countDots(diffused);
    EXPECT_GT(before.red, 0);
    EXPECT_GT(before.black, 0);

    // L VALUE lays the L ink thicker; Invert exchanges the dots' inks and keeps their places.
    ui<QScrollBar>("ScrollBar3")->setValue(200);
    EXPECT_GT(countDots(pictures().preview()).black, before.black);
    ui<QScrollBar>("ScrollBar3")->setValue(100);
    EXPECT_EQ(pictures().preview(), diffused);
    ui<QCheckBox>("InvertCheckBox")->setChecked(true);
    const Dots inverted = countDots(pictures().preview());
    EXPECT_EQ(inverted.black, before.red);
    EXPECT_EQ(inverted.red, before.black);
    EXPECT_TRUE(onScreen(pictures().preview()));
    ui<QCheckBox>("InvertCheckBox")->setChecked(false);

    item("OrderedDithering1")->trigger();
    EXPECT_NE(pictures().preview(), diffused);
    countDots(pictures().preview());

    item("NoDithering1")->trigger();
    EXPECT_EQ(pictures().preview(), plain);
    EXPECT_TRUE(onScreen(plain));
    EXPECT_EQ(storedMode(), "none");
}

TEST_F(DitheringWindow, TheChoiceSurvivesARestartInItsOwnGroupAndADamagedValueMeansNone) {
    // Never chosen: the settings file gains nothing.
    stop();
    EXPECT_FALSE(settingsStore().groupExists("Dithering"));
    start();

    addPicture(makeShaded());
    item("ErrorDiffusion1")->trigger();
    const Picture diffused = pictures().preview();
    stop();
    EXPECT_TRUE(contents(settingsStore().fileName()).contains("[Dithering]\nMode=diffusion\n"));

    // The library's last entry loads at start-up already dithered.
    start();
    EXPECT_TRUE(item("ErrorDiffusion1")->isChecked());
    EXPECT_EQ(pictures().preview(), diffused);

    for (const char* damaged : {"floyd", "2", "", "ordered;diffusion"}) {
        SCOPED_TRACE(damaged);
        stop();
        settingsStore().writeText("Dithering", "Mode", damaged);
        settingsStore().sync();
        start();
        EXPECT_TRUE(item("NoDithering1")->isChecked());
        EXPECT_EQ(pictures().settings().dither, DitherMode::None);
        // The stored value stays until a choice is made.
        EXPECT_EQ(storedMode(), damaged);
    }
    item("NoDithering1")->trigger();
    EXPECT_EQ(storedMode(), "none");
}
