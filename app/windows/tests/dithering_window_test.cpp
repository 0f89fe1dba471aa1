#include "app/windows/tests/AppFixture.h"

#include "app/windows/PictureView.h"

#include "separation/loader/PictureLoader.h"

#include <QCheckBox>
#include <QScrollBar>

#include <chrono>
#include <thread>

using namespace logosmith;

namespace {

// How many preview pixels are black and red; fails on any colour but the three inks'.
std::pair<int, int> blackAndRed(const Picture& p) {
    std::pair<int, int> n;
    for (int y = 0; y < p.height(); ++y)
        for (int x = 0; x < p.width(); ++x) {
            const Colour c = p.pixel(x, y);
            n.first += c == colours::black;
            n.second += c == colours::red;
            EXPECT_TRUE(c == colours::black || c == colours::red || c == colours::white);
        }
    return n;
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

    item("ErrorDiffusion1")->trigger();
    const Picture diffused = pictures().preview();
    EXPECT_NE(diffused, plain);
    const auto [black, red] = blackAndRed(diffused);
    EXPECT_GT(red, 0);

    // L VALUE lays the L ink thicker; Invert exchanges the dots' inks and keeps their places.
    ui<QScrollBar>("ScrollBar3")->setValue(200);
    EXPECT_GT(blackAndRed(pictures().preview()).first, black);
    ui<QScrollBar>("ScrollBar3")->setValue(100);
    ui<QCheckBox>("InvertCheckBox")->setChecked(true);
    EXPECT_EQ(blackAndRed(pictures().preview()), std::make_pair(red, black));
    EXPECT_TRUE(onScreen(pictures().preview()));
    ui<QCheckBox>("InvertCheckBox")->setChecked(false);

    item("OrderedDithering1")->trigger();
    EXPECT_NE(pictures().preview(), diffused);
    blackAndRed(pictures().preview());

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

    for (const char* damaged : {"floyd", "2", ""}) {
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

TEST_F(DitheringWindow, BestShowsTheDiffusionWhileASliderMovesAndThenTheBestPictureEverywhere) {
    addPicture(makeShaded());
    auto separated = [&](DitherMode dither) {
        SeparationSettings s = pictures().settings();
        s.dither = dither;
        Picture preview;
        rebuildPreview(s, pictures().working(), preview);
        return preview;
    };
    item("BestDithering1")->trigger();
    EXPECT_EQ(storedMode(), "best");
    QTRY_VERIFY(!pictures().refining());
    const Picture best = pictures().preview();
    EXPECT_EQ(best, separated(DitherMode::Best));
    ASSERT_NE(best, separated(DitherMode::Diffusion));
    EXPECT_TRUE(onScreen(best));

    // While the slider is held the diffusion stands in, however long it is held.
    QScrollBar* lValue = ui<QScrollBar>("ScrollBar3");
    emit lValue->sliderPressed();
    lValue->setValue(150);
    QTest::qWait(200);
    EXPECT_TRUE(pictures().refining());
    EXPECT_EQ(pictures().preview(), separated(DitherMode::Diffusion));
    EXPECT_TRUE(onScreen(pictures().preview()));
    emit lValue->sliderReleased();
    QTRY_VERIFY(!pictures().refining());
    const Picture thicker = separated(DitherMode::Best);
    EXPECT_EQ(pictures().preview(), thicker);
    EXPECT_TRUE(onScreen(thicker));

    // A best picture finished for settings that have moved on since is dropped.
    item("Undo1")->trigger();
    std::this_thread::sleep_for(std::chrono::milliseconds(300)); // it is finished, not handed over
    emit lValue->sliderPressed();
    lValue->setValue(180);
    QTest::qWait(100);
    EXPECT_EQ(pictures().preview(), separated(DitherMode::Diffusion));

    // Committed while the slider is still held, the library gets the best picture.
    library().commit();
    const Picture committed = decodePictureFile((libraryDir() + "shaded.bmp").toStdString());
    EXPECT_EQ(committed, separated(DitherMode::Best));
    EXPECT_EQ(pictures().preview(), committed);
    emit lValue->sliderReleased();

    // Undo puts back the exact best picture of the step before.
    item("Undo1")->trigger();
    QTRY_VERIFY(!pictures().refining());
    EXPECT_EQ(pictures().preview(), best);
}
