#pragma once

#include "platform/UserDialogs.h"

#include <QList>
#include <QString>
#include <deque>
#include <functional>

namespace logosmith::testing {

// The person, scripted: answers queued by the test, every box shown recorded in order.
// An unexpected question (nothing queued) counts as "cancel" and is recorded too.
class ScriptedDialogs : public UserDialogs {
  public:
    struct Shown {
        QString kind; // "message", "warning", "confirmation", "question", "error", "open", ...
        QString text;
        QString details; // the smaller text under a message, if any
    };

    // File dialog answers; an empty text stands for "cancel".
    std::deque<QString> openAnswers;
    std::deque<QString> saveAnswers;
    std::deque<std::optional<std::uint32_t>> colourAnswers;
    std::deque<bool> yesNoAnswers;
    // Runs when the print dialog would open; answers false (cancel) when empty.
    std::function<bool(QPrinter&)> printerSetUp;
    // Runs while a message box would be open (the person reads it, then presses OK).
    std::function<void(const Shown&)> onMessage;

    QList<Shown> shown;

    void showMessage(const QString& text) override { record("message", text); }
    void showMessageWithDetails(const QString& text, const QString& details) override {
        record("message", text, details);
    }
    void showWarning(const QString& text) override { record("warning", text); }
    void showConfirmation(const QString& text) override { record("confirmation", text); }
    bool askYesNo(const QString& text) override;
    void showError(const QString& text) override { record("error", text); }
    std::optional<QString> openFile(const QString& caption, const QString& filter) override;
    // Records the place it was given (lastPicturePlace); a choice leaves the chosen file's
    // folder and pictureFilterChoice (empty: the entry shown) in it.
    std::optional<QString> openPicture(const QString& caption, const QString& filter,
                                       FileDialogPlace* place = nullptr) override;
    std::optional<QString> saveFile(const QString& caption, const QString& filter,
                                    const QString& defaultSuffix) override;
    std::optional<std::uint32_t> pickColour(std::uint32_t initial) override;
    bool setUpPrinter(QPrinter& printer) override;

    // The texts of the boxes of one kind, in order.
    QStringList texts(const QString& kind) const;
    QStringList allTexts() const;
    void clear() { shown.clear(); }
    // Everything back as new: no boxes shown, no answers queued, no hooks.
    void reset() { *this = ScriptedDialogs(); }

    QString lastOpenFilter;
    FileDialogPlace lastPicturePlace;
    QString pictureFilterChoice;
    QString lastSaveFilter;
    QString lastSaveSuffix;

  private:
    void record(const QString& kind, const QString& text, const QString& details = {});
};

// Installs a fresh ScriptedDialogs for the duration of a test.
ScriptedDialogs& scriptedDialogs();

} // namespace logosmith::testing
