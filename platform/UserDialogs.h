#pragma once

#include <QString>
#include <cstdint>
#include <optional>

class QPrinter;

namespace logosmith {

// Where a file dialog starts: a folder and the entry of its filter shown first (empty: the
// dialog's own choice).
struct FileDialogPlace {
    QString folder;
    QString filter;
};

// Everything the program asks of the person in front of it. The program uses real Qt dialogs
// (QtUserDialogs); GUI tests install a scripted implementation. Nothing else is faked.
class UserDialogs {
  public:
    virtual ~UserDialogs() = default;

    // A plain message box with one "OK" button.
    virtual void showMessage(const QString& text) = 0;
    // The same box with a second, smaller text under the message: what the program found out
    // about it. Without details it is the plain box.
    virtual void showMessageWithDetails(const QString& text, const QString& details);
    // A warning box with one "OK" button.
    virtual void showWarning(const QString& text) = 0;
    // A confirmation-kind box (question icon) that offers only "OK".
    virtual void showConfirmation(const QString& text) = 0;
    // A question with "Yes" and "No"; true for "Yes".
    virtual bool askYesNo(const QString& text) = 0;
    // The application's general error report.
    virtual void showError(const QString& text) = 0;

    // File dialogs. The filter uses Qt's form, e.g. "print files (*.prn)". nullopt: cancelled.
    virtual std::optional<QString> openFile(const QString& caption, const QString& filter) = 0;
    // The picture open dialog: a file dialog with a preview of the picture pointed at. Given a
    // place, it starts there, and a choice leaves in it the chosen file's folder and the filter
    // entry in use.
    virtual std::optional<QString> openPicture(const QString& caption, const QString& filter,
                                               FileDialogPlace* place = nullptr);
    virtual std::optional<QString> saveFile(const QString& caption, const QString& filter,
                                            const QString& defaultSuffix) = 0;

    // The colour picker: a packed colour R + 256*G + 65536*B, nullopt when cancelled.
    virtual std::optional<std::uint32_t> pickColour(std::uint32_t initial) = 0;

    // The print dialog: sets up the printer and answers false when cancelled.
    virtual bool setUpPrinter(QPrinter& printer) = 0;
};

// The dialogs the general error report shows its boxes through. The session installs its own;
// the test mains install the scripted person. Answers the dialogs installed before.
UserDialogs& userDialogs();
UserDialogs* installUserDialogs(UserDialogs* dialogs);

} // namespace logosmith
