// Loading pictures into the main window, fitting and resizing them.
#include "app/windows/MainWindow.h"

#include "app/windows/PictureView.h"
#include "app/windows/Swatch.h"
#include "platform/core/Error.h"
#include "separation/loader/PictureLoader.h"
#include "separation/picture/Fitting.h"

#include <QApplication>
#include <QCheckBox>
#include <QFileInfo>
#include <QIcon>
#include <QLineEdit>
#include <QRadioButton>
#include <QScrollBar>

using namespace logosmith;

void MainWindow::setViewFlags(bool stretch, bool center) {
    for (PictureView* view : {Image1, Image2}) {
        view->setStretch(stretch);
        view->setCenter(center);
    }
}

// Both views get the picture: the working image, and a same-size preview about to be
// overwritten by the separation.
void MainWindow::showWorking(const Picture& picture) {
    workingImage = picture;
    previewImage = picture;
    Image1->redraw(workingImage);
}

void MainWindow::resetSeparationForLoad() {
    settings.targetColor = colours::red;
    ScrollBar1->setValue(100);
    ScrollBar2->setValue(360);
    ScrollBar3->setValue(100);
    settings.rValue = 100;
    settings.lValue = 100;
    Edit5->setText(" Red ");
    Shape8->setColour(colours::red);
    Shape7->setColour(colours::black);
    radioRed->setChecked(true);
    settings.inkMode = InkMode::Red;
}

namespace {

// A picture without pixels previews, stores and prints nothing, and a library entry made of one
// could never be written. The actions that would make one the current picture refuse instead
// and change nothing.
void refuseEmpty(const Picture& result, const Picture& from, const QString& how,
                 const QString& advice) {
    if (!result.isEmpty())
        return;
    throw Error(QStringLiteral("The picture is %1 x %2 pixels: %3 it would be %4 x %5 pixels and "
                               "print nothing. %6")
                    .arg(from.width())
                    .arg(from.height())
                    .arg(how)
                    .arg(result.width())
                    .arg(result.height())
                    .arg(advice)
                    .toStdString());
}

const QString whenFitted = QStringLiteral("fitted to %1 dots").arg(maxFitWidth);

} // namespace

QImage previewPictureFile(const QString& path) {
    return toQImage(decodePictureFile(path.toStdString()));
}

void MainWindow::loadPicture(const QString& path) {
    // Decoding and fitting come first: a bad file, or one that would fit to nothing, ends the
    // load before anything on screen changes.
    Picture decoded = decodePictureFile(path.toStdString());
    Picture working = settings.fitOnLoad ? fitToWidth(decoded) : decoded;
    if (settings.fitOnLoad)
        refuseEmpty(working, decoded, whenFitted,
                    QStringLiteral("Clear \"Fit Scale\" to use it at full size."));
    if (pictureFormatFor(path.toStdString())->becomesWindowIcon)
        QApplication::setWindowIcon(QIcon(path));

    decodedImage = std::move(decoded);
    showWorking(working);
    setViewFlags(false, Image2->center());
    resetSeparationForLoad();
    rebuildPreview();
    Image2->redraw(previewImage);
    enablePictureCommands();
    setViewFlags(false, false);
}

void MainWindow::scaleCheckBoxClick() {
    if (scaleCheckBox->isChecked()) {
        settings.fitOnLoad = true;
        if (workingImage.isEmpty() && decodedImage.isEmpty())
            return;
        // The box stays ticked, so later loads are fitted; this picture keeps its size.
        Picture fitted = fitToWidth(workingImage);
        refuseEmpty(fitted, workingImage, whenFitted,
                    QStringLiteral("It keeps its size; the next pictures are fitted."));
        showWorking(fitted);
    } else {
        settings.fitOnLoad = false;
        if (decodedImage.isEmpty())
            return;
        showWorking(decodedImage);
        setViewFlags(false, false);
    }
    rebuildPreview();
    Image2->redraw(previewImage);
}

void MainWindow::btnCenterClick() {
    setViewFlags(Image2->stretch(), true);
}

void MainWindow::btnScaleClick() {
    setViewFlags(true, Image2->center());
}

void MainWindow::resizeByPercent(int percent) {
    // Nothing is loaded yet: there is no picture to resize.
    if (decodedImage.isEmpty())
        return;
    const Picture base = scaleCheckBox->isChecked() ? fitToWidth(decodedImage) : decodedImage;
    Picture resized = logosmith::resizeByPercent(base, percent);
    refuseEmpty(resized, base, QStringLiteral("at %1%").arg(percent),
                QStringLiteral("It keeps its size."));
    showWorking(resized);
    Image2->redraw(previewImage);
    rebuildPreview();
}
