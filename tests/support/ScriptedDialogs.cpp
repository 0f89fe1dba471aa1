#include "tests/support/ScriptedDialogs.h"

#include <QFileInfo>

namespace logosmith::testing {

void ScriptedDialogs::record(const QString& kind, const QString& text, const QString& details) {
    shown.append({kind, text, details});
    if (onMessage)
        onMessage(shown.constLast());
}

bool ScriptedDialogs::askYesNo(const QString& text) {
    record("question", text);
    if (yesNoAnswers.empty())
        return false;
    const bool answer = yesNoAnswers.front();
    yesNoAnswers.pop_front();
    return answer;
}

std::optional<QString> ScriptedDialogs::openFile(const QString& caption, const QString& filter) {
    shown.append({"open", caption, {}});
    lastOpenFilter = filter;
    if (openAnswers.empty())
        return std::nullopt;
    const QString answer = openAnswers.front();
    openAnswers.pop_front();
    if (answer.isEmpty())
        return std::nullopt;
    return answer;
}

std::optional<QString> ScriptedDialogs::openPicture(const QString& caption, const QString& filter,
                                                    FileDialogPlace* place) {
    lastPicturePlace = place ? *place : FileDialogPlace{};
    const std::optional<QString> path = openFile(caption, filter);
    if (path && place) {
        place->folder = QFileInfo(*path).absolutePath();
        // Like Qt's dialog: the entry chosen, else the one shown, else the first.
        if (!pictureFilterChoice.isEmpty())
            place->filter = pictureFilterChoice;
        else if (place->filter.isEmpty())
            place->filter = filter.section(QStringLiteral(";;"), 0, 0);
    }
    return path;
}

std::optional<QString> ScriptedDialogs::saveFile(const QString& caption, const QString& filter,
                                                 const QString& defaultSuffix) {
    shown.append({"save", caption, {}});
    lastSaveFilter = filter;
    lastSaveSuffix = defaultSuffix;
    if (saveAnswers.empty())
        return std::nullopt;
    const QString answer = saveAnswers.front();
    saveAnswers.pop_front();
    if (answer.isEmpty())
        return std::nullopt;
    return answer;
}

std::optional<std::uint32_t> ScriptedDialogs::pickColour(std::uint32_t) {
    shown.append({"colour", {}, {}});
    if (colourAnswers.empty())
        return std::nullopt;
    auto answer = colourAnswers.front();
    colourAnswers.pop_front();
    return answer;
}

bool ScriptedDialogs::setUpPrinter(QPrinter& printer) {
    shown.append({"print", {}, {}});
    return printerSetUp ? printerSetUp(printer) : false;
}

QStringList ScriptedDialogs::texts(const QString& kind) const {
    QStringList out;
    for (const Shown& s : shown)
        if (s.kind == kind)
            out << s.text;
    return out;
}

QStringList ScriptedDialogs::allTexts() const {
    QStringList out;
    for (const Shown& s : shown)
        out << s.kind + ": " + s.text;
    return out;
}

ScriptedDialogs& scriptedDialogs() {
    static ScriptedDialogs* current = nullptr;
    if (!current) {
        current = new ScriptedDialogs();
        installUserDialogs(current);
    }
    return *current;
}

} // namespace logosmith::testing
