#pragma once

#include <QString>
#include <QWidget>

// The main window's panels keep the window design's fixed places: each control is made at its
// rectangle, under its design name as object name.
template <class W> W* place(QWidget* parent, const char* name, int x, int y, int w, int h) {
    W* widget = new W(parent);
    widget->setObjectName(QString::fromLatin1(name));
    widget->setGeometry(x, y, w, h);
    return widget;
}

template <class W>
W* place(QWidget* parent, const char* name, const QString& caption, int x, int y, int w, int h) {
    W* widget = place<W>(parent, name, x, y, w, h);
    widget->setText(caption);
    return widget;
}
