#pragma once

#include "platform/widgets/FixedDialog.h"
#include "separation/text/TextLogo.h"

#include <functional>
#include <optional>

class QCheckBox;
class QComboBox;
class QFontComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QSpinBox;

namespace logosmith {
class ColourControlsModel;
class TextLogoModel;
} // namespace logosmith

// "Text Logo": lines of text, each with its font, size in dots, style, alignment and ink, set
// alone or under or over the current picture, with the dots shown exactly as they will print.
// "Add to Library" hands the logo on; the dialog only edits the text logo model.
class TextLogoDialog : public logosmith::FixedDialog {
    Q_OBJECT
  public:
    // What "Add to Library" (or "Save" when a logo is edited again) does with the logo: the
    // library name chosen, the drawn picture and its settings. Answers whether it was taken;
    // the dialog closes then.
    using Accept = std::function<bool(const QString& name, const logosmith::Picture& picture,
                                      const logosmith::TextLogoSettings& settings)>;

    // The preview separates the text as a load would with the colour controls of `pictures`.
    TextLogoDialog(logosmith::TextLogoModel& model, const logosmith::ColourControlsModel& pictures,
                   QWidget* parent = nullptr);

    // A new logo under a free name; the picture is what "under" and "over" set the text with.
    void startNew(const QString& name, std::optional<logosmith::Picture> picture, Accept accept);
    // A logo of the library made again, under its own name.
    void startEdit(const QString& name, const logosmith::TextLogoSettings& settings,
                   std::optional<logosmith::Picture> picture, Accept accept);

  private:
    void buildControls();
    void showModel();
    void showLine();
    void accept();

    logosmith::TextLogoModel& model_;
    const logosmith::ColourControlsModel& pictures_;
    Accept accept_;
    QLineEdit* nameBox_ = nullptr;
    QPlainTextEdit* textBox_ = nullptr;
    QFontComboBox* fontBox_ = nullptr;
    QSpinBox* sizeBox_ = nullptr;
    QCheckBox* boldBox_ = nullptr;
    QCheckBox* italicBox_ = nullptr;
    QComboBox* alignBox_ = nullptr;
    QComboBox* inkBox_ = nullptr;
    QSpinBox* spacingBox_ = nullptr;
    QSpinBox* widthBox_ = nullptr;
    QComboBox* placementBox_ = nullptr;
    QLabel* preview_ = nullptr;
    QLabel* note_ = nullptr;
    QPushButton* okButton_ = nullptr;
};
