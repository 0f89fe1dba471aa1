#pragma once

#include <QList>
#include <QString>
#include <QWidget>
#include <functional>
#include <optional>

class QLineEdit;
class QPushButton;
class QTreeWidget;
class QUrl;

namespace logosmith {
class AppState;
class LibraryModel;
class SettingsStore;
class UserDialogs;
} // namespace logosmith

// "Paste Image" with no picture on the clipboard.
inline const QString noPictureToPasteMessage =
    QStringLiteral("There is no picture on the clipboard to paste.");

// The top left of the main window: the path box and the image library list with its add,
// delete and open buttons. It shows the library model and asks the person; the model does the
// rest.
class LibraryPanel : public QWidget {
    Q_OBJECT
  public:
    LibraryPanel(logosmith::LibraryModel& library, logosmith::AppState& state,
                 logosmith::SettingsStore& store, logosmith::UserDialogs& dialogs, QWidget* parent);

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
    // The last entry selected, scrolled to and shown.
    void SelectLastEntry();
    // Takes pictures dropped on `target` as dropped on the list.
    void acceptDropsOn(QWidget* target);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void add(const std::function<std::optional<QString>()>& choosePicture);
    void selectEntry();
    void deleteImage();
    void showEntries();
    int selectedRow() const;

    logosmith::LibraryModel& library_;
    logosmith::AppState& state_;
    logosmith::SettingsStore& store_;
    logosmith::UserDialogs& dialogs_;
    QLineEdit* pathBox_ = nullptr;
    QTreeWidget* list_ = nullptr;
};
