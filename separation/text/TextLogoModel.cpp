#include "separation/text/TextLogoModel.h"

#include "platform/core/Error.h"

#include <algorithm>

namespace logosmith {

TextLogoModel::TextLogoModel(QObject* parent) : QObject(parent) {
    settings_.lines.push_back(TextLine{});
    render();
}

template <class Change> void TextLogoModel::change(Change&& apply) {
    const TextLogoSettings before = settings_;
    const int line = currentLine_;
    apply();
    if (settings_ == before && line == currentLine_)
        return;
    render();
    emit changed();
}

void TextLogoModel::render() {
    problem_.clear();
    try {
        rendered_ = renderTextLogo(settings_, picture_ ? &*picture_ : nullptr);
    } catch (const Error& error) {
        rendered_ = RenderedTextLogo{};
        problem_ = QString::fromStdString(error.what());
    }
}

void TextLogoModel::setSettings(const TextLogoSettings& settings) {
    change([&] {
        settings_ = settings;
        if (settings_.lines.empty())
            settings_.lines.push_back(TextLine{});
        currentLine_ = 0;
    });
}

void TextLogoModel::setText(const QString& text) {
    change([&] {
        QStringList parts = text.split(QLatin1Char('\n'));
        while (std::size_t(parts.size()) > maxTextLines)
            parts.removeLast();
        std::vector<TextLine> lines;
        for (qsizetype i = 0; i < parts.size(); ++i) {
            TextLine line = std::size_t(i) < settings_.lines.size()
                                ? settings_.lines[std::size_t(i)]
                            : lines.empty() ? TextLine{}
                                            : lines.back();
            line.text = parts[i].left(maxLineLength);
            lines.push_back(std::move(line));
        }
        settings_.lines = std::move(lines);
        currentLine_ = std::min(currentLine_, int(settings_.lines.size()) - 1);
    });
}

void TextLogoModel::setCurrentLine(int line) {
    change([&] { currentLine_ = std::clamp(line, 0, int(settings_.lines.size()) - 1); });
}

void TextLogoModel::setFont(const QString& family) {
    change([&] { settings_.lines[std::size_t(currentLine_)].font = family; });
}

void TextLogoModel::setSize(int dots) {
    change([&] {
        settings_.lines[std::size_t(currentLine_)].size =
            std::clamp(dots, minTextSize, maxTextSize);
    });
}

void TextLogoModel::setBold(bool on) {
    change([&] { settings_.lines[std::size_t(currentLine_)].bold = on; });
}

void TextLogoModel::setItalic(bool on) {
    change([&] { settings_.lines[std::size_t(currentLine_)].italic = on; });
}

void TextLogoModel::setAlign(TextLine::Align align) {
    change([&] { settings_.lines[std::size_t(currentLine_)].align = align; });
}

void TextLogoModel::setInk(TextLine::Ink ink) {
    change([&] { settings_.lines[std::size_t(currentLine_)].ink = ink; });
}

void TextLogoModel::setLineSpacing(int dots) {
    change([&] { settings_.lineSpacing = std::clamp(dots, 0, maxLineSpacing); });
}

void TextLogoModel::setWidth(int dots) {
    change([&] { settings_.width = std::clamp(dots, minTextLogoWidth, maxTextLogoWidth); });
}

void TextLogoModel::setPlacement(TextLogoSettings::Placement placement) {
    change([&] { settings_.placement = placement; });
}

void TextLogoModel::setPicture(std::optional<Picture> picture) {
    picture_ = std::move(picture);
    render();
    emit changed();
}

} // namespace logosmith
