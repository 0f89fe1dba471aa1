#pragma once

#include "separation/picture/Picture.h"

#include <QString>
#include <QStringList>
#include <cstdint>
#include <string>
#include <vector>

namespace logosmith {

// A logo made of lines of text, drawn for the printer: every pixel is L ink, R ink or paper.
struct TextLine {
    enum class Align { Left, Centre, Right };
    enum class Ink { Black, Red };

    QString text;
    QString font = defaultFont();
    int size = 24; // the font's pixel size in dots
    bool bold = false;
    bool italic = false;
    Align align = Align::Centre;
    Ink ink = Ink::Black;

    static QString defaultFont() { return QStringLiteral("DejaVu Sans"); }
    bool operator==(const TextLine&) const = default;
};

struct TextLogoSettings {
    // Where the text goes when it is set with the current picture.
    enum class Placement { TextOnly, UnderPicture, OverPicture };

    std::vector<TextLine> lines;
    int lineSpacing = 2; // dots between lines, and between the text and a picture
    int width = 255;     // the logo's width in dots
    Placement placement = Placement::TextOnly;

    bool operator==(const TextLogoSettings&) const = default;
};

// The limits of a text logo: beyond them a setting is refused when read and clamped when set.
inline constexpr int minTextSize = 6;
inline constexpr int maxTextSize = 255;
inline constexpr int minTextLogoWidth = 8;
inline constexpr int maxTextLogoWidth = 1015; // the widest line the printer prints
inline constexpr int maxLineSpacing = 64;
inline constexpr std::size_t maxTextLines = 50;
inline constexpr qsizetype maxLineLength = 200;

// What a render made, and what the person should know about it.
struct RenderedTextLogo {
    Picture picture;
    // A font that is not installed (and the one drawn instead), a line made smaller to fit.
    QStringList notes;
};

// The text of every line, one line after another ("\n" between lines).
QString joinedText(const TextLogoSettings& settings);
// The lines of a text, each with the look of `look` (its text replaced).
std::vector<TextLine> linesOf(const QString& text, const TextLine& look);

// Draws the text at the dot grid with full hinting and no smoothing, then takes every pixel as
// ink or paper, so no grey edge is left: L ink black (0, 0, 0), R ink red (255, 0, 0), paper
// white. Each line is aligned within the width; a line too wide for it is drawn at the largest
// size that fits. With a picture and a placement other than TextOnly the text goes under or
// over the picture, which keeps its own pixels, and the logo is as wide as the wider of the
// two. Throws Error when there is no text at all, or a picture is asked for and there is none.
RenderedTextLogo renderTextLogo(const TextLogoSettings& settings, const Picture* picture = nullptr);

// The settings as the file beside a text logo keeps them (JSON, UTF-8).
std::vector<std::uint8_t> textLogoFileBytes(const TextLogoSettings& settings);
// Reads such a file. Throws DecodeError naming what is wrong: not JSON, a value of the wrong
// kind, more than maxTextLines lines, a value outside its limits, more than 64 KB.
TextLogoSettings readTextLogoFile(const std::uint8_t* data, std::size_t size);

} // namespace logosmith
