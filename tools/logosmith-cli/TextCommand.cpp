#include "tools/logosmith-cli/TextCommand.h"

#include "platform/core/AtomicFile.h"
#include "separation/picture/BmpFile.h"
#include "separation/text/TextLogo.h"
#include "tools/logosmith-cli/Options.h"

#include <iostream>
#include <ostream>

namespace logosmith::cli {

namespace {

// The text logo "New Text Logo…" makes, every line with the same look, written as a BMP file
// that store and print take like any logo.
int run(const std::vector<std::string>& arguments, std::ostream& out) {
    const Options options(arguments, {"font", "size", "align", "ink", "width", "line-spacing"},
                          {"bold", "italic"});
    if (options.positional().size() != 2)
        throw UsageError("text needs the text and an output file");
    const std::string& output = options.positional()[1];
    TextLine look;
    if (const auto font = options.value("font"))
        look.font = QString::fromStdString(*font);
    look.size = options.integer("size", minTextSize, maxTextSize).value_or(look.size);
    look.bold = options.flag("bold");
    look.italic = options.flag("italic");
    look.align = TextLine::Align(
        options.choice("align", {"left", "center", "right"}, int(TextLine::Align::Centre)));
    look.ink = TextLine::Ink(options.choice("ink", {"black", "red"}, int(TextLine::Ink::Black)));
    TextLogoSettings settings;
    settings.width =
        options.integer("width", minTextLogoWidth, maxTextLogoWidth).value_or(settings.width);
    settings.lineSpacing =
        options.integer("line-spacing", 0, maxLineSpacing).value_or(settings.lineSpacing);
    const QString text = QString::fromStdString(options.positional()[0]);
    if (text.split('\n').size() > qsizetype(maxTextLines))
        throw UsageError("a text logo holds at most " + std::to_string(maxTextLines) + " lines");
    settings.lines = linesOf(text, look);
    for (const TextLine& line : settings.lines)
        if (line.text.size() > maxLineLength)
            throw UsageError("a line holds at most " + std::to_string(maxLineLength) +
                             " characters");

    const RenderedTextLogo logo = renderTextLogo(settings);
    for (const QString& note : logo.notes)
        std::cerr << "logosmith-cli text: " << note.toStdString() << "\n";
    writeFileAtomically(output, encodeBmp24(logo.picture));
    out << output << ": " << logo.picture.width() << " x " << logo.picture.height() << ", "
        << settings.lines.size() << (settings.lines.size() == 1 ? " line\n" : " lines\n");
    return 0;
}

} // namespace

Subcommand textSubcommand() {
    return Subcommand{"text",
                      "TEXT OUT.bmp [--font NAME] [--size DOTS] [--bold] [--italic]\n"
                      "        [--align left|center|right] [--ink black|red] [--width DOTS]\n"
                      "        [--line-spacing DOTS]",
                      "draw a text logo (a newline in TEXT starts a new line) as \"New Text "
                      "Logo\" draws it",
                      &run};
}

} // namespace logosmith::cli
