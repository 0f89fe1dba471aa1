#include "platform/widgets/QtUserDialogs.h"

#include <QColorDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>

namespace logosmith {

namespace {
// The message boxes' own title. The windows' titles are their captions alone, so no display
// name is set for the application (Qt would append it to every title).
QString title() {
    return QStringLiteral("Logosmith");
}
} // namespace

void QtUserDialogs::showMessage(const QString& text) {
    QMessageBox::information(parent_, title(), text, QMessageBox::Ok);
}

void QtUserDialogs::showMessageWithDetails(const QString& text, const QString& details) {
    if (details.isEmpty()) {
        showMessage(text);
        return;
    }
    QMessageBox box(QMessageBox::Information, title(), text, QMessageBox::Ok, parent_);
    box.setInformativeText(details);
    box.exec();
}

void QtUserDialogs::showWarning(const QString& text) {
    QMessageBox::warning(parent_, title(), text, QMessageBox::Ok);
}

void QtUserDialogs::showConfirmation(const QString& text) {
    QMessageBox::question(parent_, title(), text, QMessageBox::Ok, QMessageBox::Ok);
}

bool QtUserDialogs::askYesNo(const QString& text) {
    return QMessageBox::question(parent_, title(), text, QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::No) == QMessageBox::Yes;
}

void QtUserDialogs::showError(const QString& text) {
    QMessageBox::critical(parent_, title(), text, QMessageBox::Ok);
}

std::optional<QString> QtUserDialogs::openFile(const QString& caption, const QString& filter) {
    const QString path = QFileDialog::getOpenFileName(parent_, caption, QString(), filter);
    if (path.isEmpty())
        return std::nullopt;
    return path;
}

std::optional<QString> QtUserDialogs::openPicture(const QString& caption, const QString& filter,
                                                  FileDialogPlace* place) {
    const bool placed = place && !place->folder.isEmpty();
    QFileDialog dialog(parent_, caption, placed ? place->folder : pictureFolder_, filter);
    dialog.setFileMode(QFileDialog::ExistingFile);
    if (place && !place->filter.isEmpty())
        dialog.selectNameFilter(place->filter);
    attachPicturePreview(dialog, decoder_);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    const QString path = dialog.selectedFiles().constFirst();
    pictureFolder_ = QFileInfo(path).absolutePath();
    if (place)
        *place = FileDialogPlace{pictureFolder_, dialog.selectedNameFilter()};
    return path;
}

std::optional<QString> QtUserDialogs::saveFile(const QString& caption, const QString& filter,
                                               const QString& defaultSuffix) {
    QFileDialog dialog(parent_, caption, QString(), filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(defaultSuffix);
    // The program itself decides whether an existing file may be replaced.
    dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().constFirst();
}

std::optional<std::uint32_t> QtUserDialogs::pickColour(std::uint32_t initial) {
    const QColor start(int(initial & 0xFF), int((initial >> 8) & 0xFF),
                       int((initial >> 16) & 0xFF));
    const QColor chosen = QColorDialog::getColor(start, parent_);
    if (!chosen.isValid())
        return std::nullopt;
    return std::uint32_t(chosen.red()) | (std::uint32_t(chosen.green()) << 8) |
           (std::uint32_t(chosen.blue()) << 16);
}

bool QtUserDialogs::setUpPrinter(QPrinter& printer) {
    QPrintDialog dialog(&printer, parent_);
    return dialog.exec() == QDialog::Accepted;
}

} // namespace logosmith
