#include "tools/logosmith-cli/ConsoleDialogs.h"

#include <ostream>

namespace logosmith::cli {

ConsoleDialogs::ConsoleDialogs(std::ostream& errors, std::string prefix)
    : errors_(errors), prefix_(std::move(prefix)) {}

void ConsoleDialogs::print(const QString& text) {
    ++messagesShown_;
    // The program's texts keep their blanks: " Port does not exist " follows the colon as is.
    errors_ << prefix_ << text.toStdString() << std::endl;
}

void ConsoleDialogs::showMessage(const QString& text) {
    print(text);
}

void ConsoleDialogs::showWarning(const QString& text) {
    print(text);
}

void ConsoleDialogs::showConfirmation(const QString& text) {
    print(text);
}

bool ConsoleDialogs::askYesNo(const QString& text) {
    print(text);
    return false;
}

void ConsoleDialogs::showError(const QString& text) {
    print(text);
}

std::optional<QString> ConsoleDialogs::openFile(const QString&, const QString&) {
    return std::nullopt;
}

std::optional<QString> ConsoleDialogs::saveFile(const QString&, const QString&, const QString&) {
    return std::nullopt;
}

std::optional<std::uint32_t> ConsoleDialogs::pickColour(std::uint32_t) {
    return std::nullopt;
}

bool ConsoleDialogs::setUpPrinter(QPrinter&) {
    return false;
}

} // namespace logosmith::cli
