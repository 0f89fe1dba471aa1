// Undo and redo in the real program: every kind of step puts back the exact preview, the list
// and the library's files; and the preview's zoom.

#include "app/undo/UndoHistory.h"
#include "app/windows/PictureView.h"
#include "app/windows/ZoomArea.h"
#include "app/windows/tests/AppFixture.h"

#include "separation/loader/PictureLoader.h"

#include <QCheckBox>
#include <QRadioButton>
#include <QScrollBar>
#include <QWheelEvent>

using namespace logosmith;

class Undo : public AppFixture {
  protected:
    void undo() { item("Undo1")->trigger(); }
    void redo() { item("Redo1")->trigger(); }
    Picture preview() { return pictures().preview(); }
    QScrollBar* slider(const char* name) { return ui<QScrollBar>(name); }
};

TEST_F(Undo, ColourStepsComeBackExactlyAndADragIsOneStep) {
    addPicture(makePicture("logo.bmp", 300, 120));
    const Picture loaded = preview();
    EXPECT_EQ(item("Undo1")->text(), "Undo Add Image");

    // A drag: pressed, moved three times, released.
    QScrollBar* threshold = slider("ScrollBar2");
    emit threshold->sliderPressed();
    for (int value : {300, 200, 120})
        threshold->setValue(value);
    emit threshold->sliderReleased();
    const Picture dragged = preview();
    ui<QRadioButton>("RadioGreen")->click();
    const Picture green = preview();
    item("N501")->trigger(); // 50 %: a new working picture
    const Picture halved = preview();
    item("ErrorDiffusion1")->trigger();
    const Picture dithered = preview();
    ASSERT_NE(halved, dithered);
    EXPECT_EQ(item("Undo1")->text(), "Undo Dithering");

    undo();
    EXPECT_EQ(preview(), halved);
    EXPECT_TRUE(item("NoDithering1")->isChecked());
    EXPECT_EQ(settingsStore().readText("Dithering", "Mode").value_or(""), "none");
    undo();
    EXPECT_EQ(preview(), green);
    EXPECT_EQ(pictures().working().width(), 243);
    undo();
    EXPECT_EQ(preview(), dragged);
    EXPECT_TRUE(ui<QRadioButton>("radioRed")->isChecked());
    undo(); // the whole drag
    EXPECT_EQ(preview(), loaded);
    EXPECT_EQ(threshold->value(), 360);
    EXPECT_EQ(item("Undo1")->text(), "Undo Add Image");

    for (const Picture* expected : {&dragged, &green, &halved, &dithered}) {
        redo();
        EXPECT_EQ(preview(), *expected);
    }
    EXPECT_TRUE(item("ErrorDiffusion1")->isChecked());
    EXPECT_EQ(threshold->value(), 120);
}

TEST_F(Undo, ADeleteComesBackWithItsFileAndPlaceAndAnAddGoesAgain) {
    addPicture(makePicture("first.bmp"));
    addPicture(makePicture("second.bmp", 50, 20));
    addPicture(makePicture("third.bmp", 60, 24));
    library().commit();
    const QByteArray second = contents(libraryDir() + "second.bmp");
    const QByteArray scratch = contents(libraryDir() + "tempImage.bmp");
    const QList<LibraryEntry> three = library().entries();
    const Picture shown = preview();

    clickRow(1);
    ASSERT_FALSE(item("Undo1")->isEnabled()) << "showing another picture starts the history";
    button("btnDeleteImage")->click();
    EXPECT_FALSE(QFile::exists(libraryDir() + "second.bmp"));
    ASSERT_EQ(library().entries().size(), 2);

    undo();
    EXPECT_EQ(library().entries(), three);
    EXPECT_EQ(contents(libraryDir() + "second.bmp"), second);
    EXPECT_EQ(contents(libraryDir() + "tempImage.bmp"), scratch);
    redo();
    EXPECT_EQ(library().entries().size(), 2);
    EXPECT_FALSE(QFile::exists(libraryDir() + "second.bmp"));
    undo();

    // Adding a fourth and taking it back: the list, the files and the picture before it.
    clickRow(2);
    ui<QRadioButton>("RadioBlue")->click();
    const Picture blue = preview();
    addPicture(makePicture("fourth.bmp", 70, 28));
    library().commit();
    ASSERT_TRUE(QFile::exists(libraryDir() + "fourth.bmp"));
    undo();
    EXPECT_EQ(library().entries(), three);
    EXPECT_FALSE(QFile::exists(libraryDir() + "fourth.bmp"));
    EXPECT_EQ(preview(), blue);
    // The last entry is live again: a commit writes what is shown, nothing of the fourth.
    library().commit();
    EXPECT_EQ(decodePictureFile((libraryDir() + "third.bmp").toStdString()), blue);
    redo();
    EXPECT_EQ(library().entries().size(), 4);
    EXPECT_EQ(pictures().working().width(), 70);
    EXPECT_NE(shown, preview());
}

// The preview zooms with whole dots, Ctrl + wheel keeps the dot under the pointer, and the zoom
// comes back at the next start.
TEST_F(Undo, ThePreviewZoomsAroundThePointerAndKeepsItsZoom) {
    addPicture(makePicture("logo.bmp", 250, 200));
    auto* area = ui<ZoomArea>("ImageZoom");
    auto* view = ui<PictureView>("Image2");
    EXPECT_EQ(area->zoom(), 100);
    EXPECT_EQ(view->scale(), 1.0);

    // From 200 %, where the picture is larger than the view, every step keeps the dot.
    area->setZoom(200);
    const QPoint pointer(150, 110);
    const QPointF under = area->dotAt(pointer);
    for (int turn = 0; turn < 3; ++turn) {
        QWheelEvent wheel(QPointF(pointer), area->viewport()->mapToGlobal(QPointF(pointer)),
                          QPoint(), QPoint(0, 120), Qt::NoButton, Qt::ControlModifier,
                          Qt::NoScrollPhase, false);
        QApplication::sendEvent(area->viewport(), &wheel);
        const QPointF now = area->dotAt(pointer);
        EXPECT_NEAR(now.x(), under.x(), 0.5) << turn;
        EXPECT_NEAR(now.y(), under.y(), 0.5) << turn;
    }
    EXPECT_EQ(area->zoom(), 600);
    EXPECT_EQ(view->scale(), 6.0);
    EXPECT_EQ(view->drawing().size(), QSize(250, 200)) << "the drawing itself stays dot for dot";

    item("ZoomFit1")->trigger();
    EXPECT_EQ(view->scale(), 1.0) << "the largest whole number of pixels a dot that fits";
    item("ZoomOut1")->trigger();
    EXPECT_EQ(area->zoom(), ZoomArea::fit) << "nothing below 100 % but Fit";
    item("ZoomIn1")->trigger();
    item("ZoomIn1")->trigger();
    EXPECT_EQ(area->zoom(), 300);
    restart();
    EXPECT_EQ(ui<ZoomArea>("ImageZoom")->zoom(), 300);
    EXPECT_EQ(settingsStore().readText("preview", "Zoom").value_or(""), "300");
}
