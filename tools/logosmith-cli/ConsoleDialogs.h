#pragma once

#include "platform/UserDialogs.h"

#include <iosfwd>
#include <string>

namespace logosmith::cli {

// The program's message boxes on a terminal: every message goes to the error stream and counts
// as a failure of the command. Nobody is there to answer, so questions get "No" and pickers
// are cancelled.
class ConsoleDialogs : public UserDialogs {
  public:
    // prefix starts each line, e.g. "logosmith-cli send:".
    ConsoleDialogs(std::ostream& errors, std::string prefix);

    int messagesShown() const { return messagesShown_; }

    void showMessage(const QString& text) override;
    void showWarning(const QString& text) override;
    void showConfirmation(const QString& text) override;
    bool askYesNo(const QString& text) override;
    void showError(const QString& text) override;
    std::optional<QString> openFile(const QString& caption, const QString& filter) override;
    std::optional<QString> saveFile(const QString& caption, const QString& filter,
                                    const QString& defaultSuffix) override;
    std::optional<std::uint32_t> pickColour(std::uint32_t initial) override;
    bool setUpPrinter(QPrinter& printer) override;

  private:
    void print(const QString& text);

    std::ostream& errors_;
    std::string prefix_;
    int messagesShown_ = 0;
};

} // namespace logosmith::cli
