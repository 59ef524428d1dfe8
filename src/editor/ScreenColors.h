// Document colours (COLORREF 0x00BBGGRR) on screen, and the fixed colours of controls.
#pragma once

#include <QColor>
#include <QPalette>
#include <QWidget>

#include "model/LabelSet.h"

namespace sw::editor {

inline QColor ColorFromRef(sw::model::ColorRef c) {
    return QColor(static_cast<int>(c & 0xFF), static_cast<int>((c >> 8) & 0xFF),
                  static_cast<int>((c >> 16) & 0xFF));
}

inline sw::model::ColorRef RefFromColor(const QColor& c) {
    return static_cast<sw::model::ColorRef>(c.red() | (c.green() << 8) | (c.blue() << 16));
}

// A warning in text on the window's own background: dark red on a light window, light red
// on a dark one, readable on either.
inline QColor WarningTextOn(const QColor& background) {
    return background.lightnessF() < 0.5 ? QColor(0xFF, 0x8A, 0x80) : QColor(0xB0, 0x00, 0x00);
}

// A control that shows black text on a fixed white ground (a number beside a key, the
// auto-dial number), whatever the desktop's colours.
inline void PaintBlackOnWhite(QWidget* control) {
    QPalette p = control->palette();
    p.setColor(QPalette::Window, Qt::white);
    p.setColor(QPalette::WindowText, Qt::black);
    control->setPalette(p);
    control->setAutoFillBackground(true);
}

}  // namespace sw::editor
