// Loading pictures into the main window, fitting and resizing them.
#include "app/windows/MainWindow.h"

#include "app/windows/PictureView.h"
#include "app/windows/Swatch.h"
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

void MainWindow::loadPicture(const QString& path) {
    // Decoding comes first: a bad file ends the load before anything on screen changes.
    Picture decoded = decodePictureFile(path.toStdString());
    if (QFileInfo(path).suffix().compare("ico", Qt::CaseInsensitive) == 0)
        QApplication::setWindowIcon(QIcon(path));

    decodedImage = std::move(decoded);
    showWorking(settings.fitOnLoad ? fitToWidth(decodedImage) : decodedImage);
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
        showWorking(fitToWidth(workingImage));
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
    showWorking(logosmith::resizeByPercent(base, percent));
    Image2->redraw(previewImage);
    rebuildPreview();
}
