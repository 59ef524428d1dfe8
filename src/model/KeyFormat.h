// The formatting commands and the text store of the current key, as plain operations:
// each records its undo (nothing when nothing changes), stores, and says what to show.
//
// After each call the window applies the five edit command states (see Clipboard.h) and
// runs ShowKey for the returned positions; ShowKey(CurrentKeyPos) also refreshes the font
// name box, the size box and the alignment and layout radio buttons. Putting text into
// those boxes or checking those buttons from the program must not call these again.
// Which commands close an open key editor first is the window's part: colour, size step,
// style toggle and the alignment tool buttons do; font dialog, name and size boxes and
// the radio buttons leave the editor open.
#pragma once

#include <QString>
#include <cstdint>
#include <utility>

#include "model/Refresh.h"
#include "model/Workspace.h"

namespace sw::model {

// The four font attributes the font dialog shows and returns.
struct KeyFont {
    Bytes name;
    std::int32_t size = 9;
    std::uint8_t style = 0;  // kStyleBold | kStyleItalic | kStyleUnderline | kStyleStrikeOut
    ColorRef color = kBlack;
    bool operator==(const KeyFont&) const = default;
};

// The font dialog's preset for a key.
KeyFont KeyFontOf(const KeyLabel& key);

// The decimal number in a size box text (surrounding blanks and a sign allowed), or
// fallback when the text is not a 32-bit decimal integer (also when empty).
std::int32_t SizeFromText(const QString& text, std::int32_t fallback);

// ComboBox1 text changed by the user: stores the name as typed when it differs.
Refresh SetFontName(Workspace& ws, const Bytes& name);

// ComboBox2 text changed by the user (every keystroke): 7 when the text is not a number,
// otherwise the number as typed, also 0, negative or very large.
Refresh SetFontSizeText(Workspace& ws, const QString& boxText);

// ToolButton28 (step +1) and ToolButton29 (step -1): from the size box's text (0 when not
// a number), one point up or down, kept within 7..72. Always returns the current position
// so that ShowKey puts the resulting size into the size box, also when nothing changed.
Refresh StepFontSize(Workspace& ws, const QString& boxText, int step);

// ToolButton22/23/24: flips one style bit (kStyleBold, kStyleItalic, kStyleUnderline);
// records every time, so two clicks are two undo points.
Refresh ToggleFontStyle(Workspace& ws, std::uint8_t bit);

// Alignment (kAlignLeft, kAlignRight, kAlignCenter) and layout (kLayoutTop,
// kLayoutMiddle, kLayoutBottom); nothing when the key already holds the value.
Refresh SetAlignment(Workspace& ws, std::uint8_t alignment);
Refresh SetLayout(Workspace& ws, std::uint8_t layout);

// RadioButton1..6 clicked (1 左揃, 2 中央, 3 右揃, 4 上端, 5 中央, 6 下端); the
// alignment tool buttons ToolButton15..20 check radio button 1..6, which lands here too.
Refresh ApplyFormatRadio(Workspace& ws, int radioNumber);

// The radio button (1..6) that shows a key's alignment and its layout, 0 for a value
// no button shows.
int AlignmentRadioFor(std::uint8_t alignment);
int LayoutRadioFor(std::uint8_t layout);

// Colour dialog results of btnColor1 / ToolButton26 and btnColor / ToolButton25.
Refresh SetFontColor(Workspace& ws, ColorRef color);
Refresh SetBackColor(Workspace& ws, ColorRef color);

// Font dialog confirmed with OK: records exactly the attributes that differ (name,
// colour, style, size) as one undo point and stores them; nothing when none differs.
Refresh ApplyFontChoice(Workspace& ws, const KeyFont& chosen);

// The two stored lines from the first two visual lines of a key editor: an empty first
// line never stays in front of text.
std::pair<Bytes, Bytes> KeyLinesFromEditor(const Bytes& visualLine0, const Bytes& visualLine1);

// A key editor lost the focus: stores its first two visual lines into key
// CurrentKeyPos - KeyOffset of face EditFace (not CurrentFace while a face switch closes
// the editor); records the text change only when the lines differ. Returns the current
// position when EditFace is the face shown.
//
// With TextStore::BeforePaste the text is stored without an undo record of its own: a
// recorded change would empty the clipboard that a paste is about to use. The paste then
// records the key with its typed text, so undoing the paste brings that text back.
enum class TextStore { Record, BeforePaste };
Refresh StoreKeyText(Workspace& ws, const Bytes& visualLine0, const Bytes& visualLine1,
                     TextStore store = TextStore::Record);

}  // namespace sw::model
