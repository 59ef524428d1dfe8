// Document colours (COLORREF 0x00BBGGRR) on screen, and the colours of focused fields.
#pragma once

#include <QColor>

#include "model/LabelSet.h"

class QWidget;

namespace sw::editor {

inline QColor ColorFromRef(sw::model::ColorRef c) {
    return QColor(static_cast<int>(c & 0xFF), static_cast<int>((c >> 8) & 0xFF),
                  static_cast<int>((c >> 16) & 0xFF));
}

inline sw::model::ColorRef RefFromColor(const QColor& c) {
    return static_cast<sw::model::ColorRef>(c.red() | (c.green() << 8) | (c.blue() << 16));
}

// clSkyBlue: an input field with the focus is painted light blue (RGB 166, 202, 240).
constexpr sw::model::ColorRef kFocusColor = 0x00F0CAA6;
// clWindow.
constexpr sw::model::ColorRef kWindowColor = 0x00FFFFFF;

// Paints the field's text background (QPalette::Base).
void PaintFieldColor(QWidget* field, sw::model::ColorRef color);

}  // namespace sw::editor
