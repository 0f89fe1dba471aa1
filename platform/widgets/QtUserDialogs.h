#pragma once

#include "platform/UserDialogs.h"
#include "platform/widgets/PicturePreview.h"

class QWidget;

namespace logosmith {

// The real dialogs: QMessageBox, QFileDialog, QColorDialog, QPrintDialog.
class QtUserDialogs : public UserDialogs {
  public:
    void setParentWindow(QWidget* parent) { parent_ = parent; }
    // How the picture open dialog reads the file it previews.
    void setPicturePreview(PicturePreview::Decoder decoder) { decoder_ = std::move(decoder); }

    void showMessage(const QString& text) override;
    void showMessageWithDetails(const QString& text, const QString& details) override;
    void showWarning(const QString& text) override;
    void showConfirmation(const QString& text) override;
    bool askYesNo(const QString& text) override;
    void showError(const QString& text) override;
    std::optional<QString> openFile(const QString& caption, const QString& filter) override;
    // Starts in the place given, else in the folder of the picture chosen last in this run.
    std::optional<QString> openPicture(const QString& caption, const QString& filter,
                                       FileDialogPlace* place = nullptr) override;
    std::optional<QString> saveFile(const QString& caption, const QString& filter,
                                    const QString& defaultSuffix) override;
    std::optional<std::uint32_t> pickColour(std::uint32_t initial) override;
    bool setUpPrinter(QPrinter& printer) override;

  private:
    QWidget* parent_ = nullptr;
    PicturePreview::Decoder decoder_;
    QString pictureFolder_;
};

} // namespace logosmith
