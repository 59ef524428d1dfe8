// Pictures this program draws for itself: the two key strip
// drawings, the tool bar icons, the zoom glyphs and the program icon.
#pragma once

#include <QIcon>
#include <QImage>

namespace sw::render {

// The strip drawing of the 30-key (thirtyKeys) or the 18-key model: 460 x 271 pixels, a
// thin rounded frame and a rounded button (0x00F5F5F5, outline 0x003B3B3B) under every
// key panel of the model. White is transparent.
QImage StripDrawing(bool thirtyKeys);

// 16 x 16 icon of tool button number (1-6, 8-13, 15-20, 22-29); null for other numbers.
// Lines and letters drawn on the bare tool bar take `ink`, the text colour of the tool
// bar's palette, so that they show on a dark tool bar as on a light one.
QIcon ToolIcon(int number, const QColor& ink);

// Magnifier with a red plus (zoomIn) or minus, with a grey image for the disabled state.
QIcon ZoomIcon(bool zoomIn);

// 32 x 32 program icon.
QIcon ProgramIcon();

}  // namespace sw::render
