#include "separation/controls/ColourControlsModel.h"
#include "separation/picture/BmpFile.h"
#include "separation/picture/Fitting.h"

#include <QTemporaryDir>
#include <fstream>
#include <gtest/gtest.h>

using namespace logosmith;

namespace {

// A real picture file loaded through the real loader; the model's signals counted.
class Controls : public ::testing::Test {
  protected:
    void SetUp() override {
        QObject::connect(&model, &ColourControlsModel::changed, [this] { ++changes; });
        QObject::connect(&model, &ColourControlsModel::drawPreview, [this] { ++draws; });
    }
    std::string picture(int width, int height, Colour colour = colours::red) {
        const std::string path =
            dir.filePath(QString("p%1x%2.bmp").arg(width).arg(height)).toStdString();
        writeBmpFile(Picture(width, height, colour), path);
        return path;
    }

    QTemporaryDir dir;
    ColourControlsModel model;
    int changes = 0;
    int draws = 0;
};

} // namespace

// Handlers run handlers (a radio button moves two sliders); the window hears once at the end,
// and a control set to the value it has runs nothing at all.
TEST_F(Controls, AChangeIsToldOnceAndARepeatedValueRunsNothing) {
    model.loadPicture(picture(40, 30));
    changes = draws = 0;
    model.selectInk(InkChoice::Green);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(model.state().threshold, 120);
    EXPECT_EQ(model.settings().targetColor, colours::green);
    EXPECT_EQ(model.preview().pixel(0, 0), colours::black); // red is L ink in Green mode

    changes = draws = 0;
    model.selectInk(InkChoice::Green);
    model.moveThreshold(120);
    model.setRgbControl(RgbControl::Invert, false);
    model.setRadiosChooseLInk(false);
    EXPECT_EQ(changes, 0);
    EXPECT_EQ(draws, 0);
}

// "Off" with THRESHOLD already at 0: the slider's handler does not run, so the target stays
// the L colour the button set; and a cleared "Update" keeps the view's drawing.
TEST_F(Controls, OffKeepsItsTargetWhenTheSliderDoesNotMove) {
    model.loadPicture(picture(10, 10));
    model.chooseLCartridgeColour(Colour{0, 0, 128});
    model.moveThreshold(0);
    model.setUpdateTicked(false);
    draws = 0;
    model.selectInk(InkChoice::Black);
    EXPECT_EQ(model.settings().inkMode, InkMode::BlackOnly);
    EXPECT_EQ(model.settings().targetColor, (Colour{0, 0, 128}));
    EXPECT_EQ(model.state().rCartridgeName, "  Off ");
    EXPECT_EQ(draws, 0);
    EXPECT_EQ(model.preview().pixel(0, 0), (Colour{0, 0, 128})); // recomputed all the same
}

// A picture that would end without pixels is refused, whichever step would empty it, and the
// picture in place stays with its settings; a refused "Fit Scale" still ticks the box.
TEST_F(Controls, StepsThatWouldLeaveNoPixelsChangeNothing) {
    model.loadPicture(picture(40, 3));
    model.selectInk(InkChoice::Blue);
    const ColourControlsState state = model.state();
    const Picture preview = model.preview();
    try {
        model.loadPicture(picture(2000, 50));
        ADD_FAILURE() << "an empty picture was loaded";
    } catch (const EmptyPictureError& refused) {
        EXPECT_EQ(refused.width(), 248);
        EXPECT_EQ(refused.height(), 0);
    }
    EXPECT_THROW(model.resizeByPercent(25), EmptyPictureError); // 10 x 0
    EXPECT_EQ(model.state(), state);
    EXPECT_EQ(model.preview(), preview);

    model.setFitScale(false);
    model.loadPicture(picture(2000, 50));
    changes = 0;
    EXPECT_THROW(model.setFitScale(true), EmptyPictureError);
    EXPECT_EQ(changes, 1) << "the window must show the ticked box";
    EXPECT_TRUE(model.settings().fitOnLoad);
    EXPECT_EQ(model.working().width(), 2000);
}

// A fitted load holds no full-size picture: resizing and clearing "Fit Scale" decode the file
// again, as it was loaded even after another file has been saved over it; a file rewritten in
// place is refused and the picture stays.
TEST_F(Controls, TheLoadedFileIsDecodedAgainAsItWasLoaded) {
    Picture original(600, 400);
    for (int y = 0; y < original.height(); ++y)
        for (int x = 0; x < original.width(); ++x)
            original.setPixel(x, y, Colour{std::uint8_t(x * 7), std::uint8_t(y * 3), 90});
    const std::string path = dir.filePath("logo.bmp").toStdString();
    writeBmpFile(original, path);
    model.loadPicture(path);
    writeBmpFile(Picture(50, 50, colours::blue), path); // a new file renamed over the name
    EXPECT_EQ(model.decoded().width(), 600);

    const Picture fitted = fitToWidth(original);
    model.resizeByPercent(50);
    EXPECT_TRUE(model.working() == resizeByPercent(fitted, 50));
    model.resizeByPercent(75);
    EXPECT_TRUE(model.working() == resizeByPercent(fitted, 75));
    model.setFitScale(false);
    EXPECT_TRUE(model.working() == original);
    model.resizeByPercent(25);
    model.resizeByPercent(50);
    EXPECT_TRUE(model.working() == resizeByPercent(original, 50));

    model.loadPicture(path);
    model.resizeByPercent(50);
    const Picture resized = model.working();
    const std::vector<std::uint8_t> other = encodeBmp24(Picture(60, 50, colours::green));
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(other.data()), std::streamsize(other.size()));
    EXPECT_THROW(model.resizeByPercent(75), DecodeError);
    EXPECT_TRUE(model.working() == resized);
}
