#include "separation/text/TextLogo.h"

#include "platform/core/Error.h"

#include <QFont>
#include <QFontInfo>
#include <QFontMetrics>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace logosmith {

namespace {

constexpr std::size_t maxFileBytes = 64 * 1024;

QFont fontFor(const TextLine& line, int size) {
    QFont font(line.font);
    font.setPixelSize(size);
    font.setBold(line.bold);
    font.setItalic(line.italic);
    // Glyphs fitted to whole dots, never smoothed: a printer has no grey.
    font.setHintingPreference(QFont::PreferFullHinting);
    font.setStyleStrategy(QFont::StyleStrategy(QFont::NoAntialias | QFont::NoSubpixelAntialias));
    return font;
}

struct LaidLine {
    TextLine line;
    QFont font;
    int advance = 0;
    int ascent = 0;
    int height = 0;
};

LaidLine layOut(const TextLine& line, int width, QStringList& notes) {
    LaidLine laid{line, fontFor(line, line.size), 0, 0, 0};
    int size = line.size;
    for (;;) {
        const QFontMetrics metrics(laid.font);
        laid.advance = metrics.horizontalAdvance(line.text);
        laid.ascent = metrics.ascent();
        laid.height = metrics.height();
        if (laid.advance <= width || size <= minTextSize)
            break;
        // The largest size that fits, found by the ratio and then step by step.
        size = std::max(minTextSize, std::min(size - 1, size * width / std::max(1, laid.advance)));
        laid.font = fontFor(line, size);
    }
    if (size != line.size)
        notes << QStringLiteral("\"%1\" is drawn at %2 dots instead of %3 to fit the width of %4 "
                                "dots.")
                     .arg(line.text)
                     .arg(size)
                     .arg(line.size)
                     .arg(width);
    return laid;
}

const Colour inkColour[2] = {colours::black, colours::red};

// The text block: each line drawn black on white at the dot grid, then every pixel taken as
// ink (darker than the middle grey) or paper.
Picture drawLines(const std::vector<LaidLine>& lines, int width, int spacing) {
    int height = 0;
    for (std::size_t i = 0; i < lines.size(); ++i)
        height += lines[i].height + (i > 0 ? spacing : 0);
    Picture block(width, std::max(1, height));
    QImage mask(width, 1, QImage::Format_Grayscale8);
    int top = 0;
    for (const LaidLine& laid : lines) {
        mask = QImage(width, laid.height, QImage::Format_Grayscale8);
        mask.fill(255);
        {
            QPainter painter(&mask);
            painter.setRenderHint(QPainter::TextAntialiasing, false);
            painter.setFont(laid.font);
            painter.setPen(Qt::black);
            const int x = laid.line.align == TextLine::Align::Left    ? 0
                          : laid.line.align == TextLine::Align::Right ? width - laid.advance
                                                                      : (width - laid.advance) / 2;
            painter.drawText(QPoint(x, laid.ascent), laid.line.text);
        }
        const Colour ink = inkColour[int(laid.line.ink)];
        for (int y = 0; y < laid.height && top + y < block.height(); ++y) {
            const std::uint8_t* in = mask.constScanLine(y);
            for (int x = 0; x < width; ++x)
                if (in[x] < 128)
                    block.setPixel(x, top + y, ink);
        }
        top += laid.height + spacing;
    }
    return block;
}

void place(const Picture& from, Picture& onto, int left, int top) {
    for (int y = 0; y < from.height(); ++y)
        std::copy_n(from.row(y), from.rowBytes(), onto.row(top + y) + std::size_t(left) * 3);
}

[[noreturn]] void damaged(const std::string& what) {
    throw DecodeError("The text logo's settings are damaged: " + what);
}

int boundedInteger(const QJsonObject& object, const char* name, int fallback, int low, int high) {
    const QJsonValue value = object.value(QLatin1String(name));
    if (value.isUndefined())
        return fallback;
    const double number = value.toDouble(-1e300);
    // Range first: converting a number outside int's range is undefined.
    if (!value.isDouble() || !(number >= low && number <= high) || number != std::floor(number))
        damaged(std::string(name) + " must be a whole number from " + std::to_string(low) + " to " +
                std::to_string(high));
    return int(number);
}

template <class E, std::size_t N>
E named(const QJsonObject& object, const char* name, E fallback, const char* const (&names)[N]) {
    const QJsonValue value = object.value(QLatin1String(name));
    if (value.isUndefined())
        return fallback;
    for (std::size_t i = 0; i < N; ++i)
        if (value.toString() == QLatin1String(names[i]))
            return E(i);
    damaged(std::string(name) + " has a value this program does not know");
}

const char* const alignNames[] = {"left", "center", "right"};
const char* const inkNames[] = {"black", "red"};
const char* const placementNames[] = {"text", "under", "over"};

} // namespace

QString joinedText(const TextLogoSettings& settings) {
    QStringList texts;
    for (const TextLine& line : settings.lines)
        texts << line.text;
    return texts.join(QLatin1Char('\n'));
}

std::vector<TextLine> linesOf(const QString& text, const TextLine& look) {
    std::vector<TextLine> lines;
    for (const QString& part : text.split(QLatin1Char('\n'))) {
        TextLine line = look;
        line.text = part;
        lines.push_back(std::move(line));
    }
    return lines;
}

RenderedTextLogo renderTextLogo(const TextLogoSettings& settings, const Picture* picture) {
    const bool withPicture = settings.placement != TextLogoSettings::Placement::TextOnly;
    if (std::none_of(settings.lines.begin(), settings.lines.end(),
                     [](const TextLine& line) { return !line.text.trimmed().isEmpty(); }))
        throw Error("There is no text to make a logo of: type at least one line.");
    if (withPicture && (!picture || picture->isEmpty()))
        throw Error("There is no picture to set the text with: add or select a picture first.");
    RenderedTextLogo out;
    const int width = std::clamp(settings.width, minTextLogoWidth, maxTextLogoWidth);
    const int spacing = std::clamp(settings.lineSpacing, 0, maxLineSpacing);
    std::vector<LaidLine> laid;
    QStringList missing;
    for (const TextLine& line : settings.lines) {
        TextLine bounded = line;
        bounded.size = std::clamp(line.size, minTextSize, maxTextSize);
        // Fontconfig finds a stand-in for any family; the one it found says whether it is there.
        const QString drawn = QFontInfo(fontFor(bounded, bounded.size)).family();
        if (drawn.compare(line.font, Qt::CaseInsensitive) != 0 && !missing.contains(line.font)) {
            missing << line.font;
            out.notes << QStringLiteral("The font \"%1\" is not on this computer; \"%2\" is used "
                                        "instead.")
                             .arg(line.font, drawn);
        }
        laid.push_back(layOut(bounded, width, out.notes));
    }
    Picture text = drawLines(laid, width, spacing);
    if (!withPicture) {
        out.picture = std::move(text);
        return out;
    }
    const int logoWidth = std::max(text.width(), picture->width());
    out.picture = Picture(logoWidth, text.height() + spacing + picture->height());
    const bool under = settings.placement == TextLogoSettings::Placement::UnderPicture;
    place(*picture, out.picture, (logoWidth - picture->width()) / 2,
          under ? 0 : text.height() + spacing);
    place(text, out.picture, (logoWidth - text.width()) / 2,
          under ? picture->height() + spacing : 0);
    return out;
}

std::vector<std::uint8_t> textLogoFileBytes(const TextLogoSettings& settings) {
    QJsonArray lines;
    for (const TextLine& line : settings.lines)
        lines.append(QJsonObject{{"text", line.text},
                                 {"font", line.font},
                                 {"size", line.size},
                                 {"bold", line.bold},
                                 {"italic", line.italic},
                                 {"align", alignNames[int(line.align)]},
                                 {"ink", inkNames[int(line.ink)]}});
    const QJsonObject root{{"version", 1},
                           {"width", settings.width},
                           {"lineSpacing", settings.lineSpacing},
                           {"placement", placementNames[int(settings.placement)]},
                           {"lines", lines}};
    const QByteArray json = QJsonDocument(root).toJson(QJsonDocument::Indented);
    return std::vector<std::uint8_t>(json.begin(), json.end());
}

TextLogoSettings readTextLogoFile(const std::uint8_t* data, std::size_t size) {
    if (size > maxFileBytes)
        damaged("the file is larger than 64 KB");
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size)), &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        damaged("it is not a JSON object");
    const QJsonObject root = document.object();
    if (boundedInteger(root, "version", 1, 1, 1) != 1)
        damaged("unknown version");
    TextLogoSettings settings;
    settings.width =
        boundedInteger(root, "width", settings.width, minTextLogoWidth, maxTextLogoWidth);
    settings.lineSpacing =
        boundedInteger(root, "lineSpacing", settings.lineSpacing, 0, maxLineSpacing);
    settings.placement = named(root, "placement", settings.placement, placementNames);
    const QJsonValue lines = root.value(QLatin1String("lines"));
    if (!lines.isArray())
        damaged("it has no lines");
    if (std::size_t(lines.toArray().size()) > maxTextLines)
        damaged("it has more than " + std::to_string(maxTextLines) + " lines");
    for (const QJsonValue& value : lines.toArray()) {
        if (!value.isObject())
            damaged("a line is not an object");
        const QJsonObject object = value.toObject();
        TextLine line;
        const QJsonValue text = object.value(QLatin1String("text"));
        const QJsonValue font = object.value(QLatin1String("font"));
        if (!text.isString() || (!font.isUndefined() && !font.isString()))
            damaged("a line's text or font is not text");
        line.text = text.toString();
        if (line.text.size() > maxLineLength || line.text.contains(QLatin1Char('\n')))
            damaged("a line is longer than " + std::to_string(maxLineLength) + " characters");
        if (font.isString())
            line.font = font.toString().left(100);
        line.size = boundedInteger(object, "size", line.size, minTextSize, maxTextSize);
        line.bold = object.value(QLatin1String("bold")).toBool(false);
        line.italic = object.value(QLatin1String("italic")).toBool(false);
        line.align = named(object, "align", line.align, alignNames);
        line.ink = named(object, "ink", line.ink, inkNames);
        settings.lines.push_back(std::move(line));
    }
    return settings;
}

} // namespace logosmith
