#pragma once

#include "separation/text/TextLogo.h"

#include <QObject>
#include <optional>

namespace logosmith {

// The text logo being made or edited: its settings, the line being worked on (whose look the
// font, size, style, alignment and ink controls change), the picture it may be set with, and
// the logo drawn anew after every change, or why it cannot be drawn.
class TextLogoModel : public QObject {
    Q_OBJECT
  public:
    explicit TextLogoModel(QObject* parent = nullptr);

    const TextLogoSettings& settings() const { return settings_; }
    // A logo reopened; the first line becomes the current one.
    void setSettings(const TextLogoSettings& settings);
    // The text of every line. Lines keep their looks in order; a line added takes the look of
    // the line before it. At most maxTextLines lines of maxLineLength characters are kept.
    void setText(const QString& text);

    int currentLine() const { return currentLine_; }
    void setCurrentLine(int line);
    const TextLine& currentLook() const { return settings_.lines[std::size_t(currentLine_)]; }
    void setFont(const QString& family);
    void setSize(int dots);
    void setBold(bool on);
    void setItalic(bool on);
    void setAlign(TextLine::Align align);
    void setInk(TextLine::Ink ink);

    void setLineSpacing(int dots);
    void setWidth(int dots);
    void setPlacement(TextLogoSettings::Placement placement);
    // The picture the text goes under or over (the current picture of the program), or none.
    void setPicture(std::optional<Picture> picture);
    bool hasPicture() const { return picture_.has_value(); }
    const std::optional<Picture>& picture() const { return picture_; }

    // The logo as it will be added; empty when it cannot be drawn (see problem()).
    const RenderedTextLogo& rendered() const { return rendered_; }
    const QString& problem() const { return problem_; }

  signals:
    // Anything above changed, and the logo has been drawn again.
    void changed();

  private:
    template <class Change> void change(Change&& apply);
    void render();

    TextLogoSettings settings_;
    int currentLine_ = 0;
    std::optional<Picture> picture_;
    RenderedTextLogo rendered_;
    QString problem_;
};

} // namespace logosmith
