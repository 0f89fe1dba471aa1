#pragma once

#include "separation/text/TextLogo.h"

#include <QList>
#include <QString>
#include <QWidget>
#include <functional>
#include <memory>
#include <optional>

class QLineEdit;
class QPushButton;
class QTreeWidget;
class QUrl;
class TextLogoDialog;

namespace logosmith {
class AppState;
class ColourControlsModel;
class LibraryModel;
class SettingsStore;
class LibraryStepRecorder;
class TextLogoModel;
class UndoHistory;
class UserDialogs;
} // namespace logosmith

// "Paste Image" with no picture on the clipboard.
inline const QString noPictureToPasteMessage =
    QStringLiteral("There is no picture on the clipboard to paste.");

// The top left of the main window: the path box and the image library list with its add,
// delete and open buttons, and the text logos made and made again in their dialog. It shows the
// library model and asks the person; the model does the rest.
class LibraryPanel : public QWidget {
    Q_OBJECT
  public:
    LibraryPanel(logosmith::LibraryModel& library, const logosmith::ColourControlsModel& pictures,
                 logosmith::UndoHistory& history, logosmith::AppState& state,
                 logosmith::SettingsStore& store, logosmith::UserDialogs& dialogs, QWidget* parent);
    ~LibraryPanel() override;

    // "Add Image" / "Open Image": the picture open dialog, then the picture added.
    void addImage();
    // "Add Image" with a file already chosen (the command line, a drop).
    void addImageFile(const QString& path);
    // Files dropped on the window or the list, each added in order; an address that is not a
    // local file, or a file of a type the loader lacks, is refused with the loader's message.
    void addDroppedPictures(const QList<QUrl>& urls);
    // "Paste Image": the clipboard's picture written as "pasted-N.bmp" (the first N free in the
    // library folder and the list) and added as a file is.
    void pasteImage();
    // "New Text Logo…": the text logo dialog for a new logo, which "Add to Library" adds as a
    // picture like any other, its text settings kept beside it.
    void newTextLogo();
    // "Edit Text…" (or a double click): the selected text logo made again in the dialog.
    void editTextLogo();
    // The last entry selected, scrolled to and shown.
    void SelectLastEntry();
    // Takes pictures dropped on `target` as dropped on the list.
    void acceptDropsOn(QWidget* target);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    // "Add Image" with the picture chosen by choosePicture (nothing: cancelled), one undo step.
    // A picture made for the library (pasted, text) is written by choosePicture, which names
    // the files it writes to the step first.
    void add(const std::function<std::optional<QString>(logosmith::LibraryStepRecorder&)>&
                 choosePicture);
    void selectEntry();
    void deleteImage();
    void showEntries();
    void showSelection();
    int selectedRow() const;
    bool addTextLogo(const QString& name, const logosmith::Picture& picture,
                     const logosmith::TextLogoSettings& settings);
    bool saveTextLogo(const QString& entryName, const logosmith::Picture& picture,
                      const logosmith::TextLogoSettings& settings);

    logosmith::LibraryModel& library_;
    const logosmith::ColourControlsModel& pictures_;
    logosmith::UndoHistory& history_;
    logosmith::AppState& state_;
    logosmith::SettingsStore& store_;
    logosmith::UserDialogs& dialogs_;
    QLineEdit* pathBox_ = nullptr;
    QTreeWidget* list_ = nullptr;
    QPushButton* editTextButton_ = nullptr;
    std::unique_ptr<logosmith::TextLogoModel> textLogo_;
    std::unique_ptr<TextLogoDialog> textDialog_;
};
