#pragma once

#include "separation/picture/Colour.h"

#include <QWidget>

// A plain colour swatch with a thin frame.
class Swatch : public QWidget {
    Q_OBJECT
  public:
    explicit Swatch(QWidget* parent = nullptr) : QWidget(parent) {}

    void setColour(logosmith::Colour colour) {
        if (colour == colour_)
            return;
        colour_ = colour;
        update();
    }
    logosmith::Colour colour() const { return colour_; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    logosmith::Colour colour_ = logosmith::colours::white;
};
