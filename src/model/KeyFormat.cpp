// Formatting commands and the text store of the current key.
#include "model/KeyFormat.h"

#include <algorithm>

#include "model/Clipboard.h"

namespace sw::model {

namespace {

constexpr std::int32_t kTypedSizeFallback = 7;
constexpr std::int32_t kStepSizeMin = 7;
constexpr std::int32_t kStepSizeMax = 72;

Refresh ShowCurrentPosition(const Workspace& ws) {
    Refresh refresh;
    refresh.Key(ws.editor.CurrentKeyPos);
    return refresh;
}

// Records kind, stores value into field of the current key and asks for the key, unless
// the field already holds value.
template <typename T>
Refresh ChangeField(Workspace& ws, ChangeKind kind, T KeyLabel::*field, const T& value) {
    if (!HasCurrentKey(ws.editor)) return {};
    KeyLabel& key = CurrentKey(ws);
    if (key.*field == value) return {};
    RecordKeyChange(ws, kind);
    key.*field = value;
    return ShowCurrentPosition(ws);
}

}  // namespace

KeyFont KeyFontOf(const KeyLabel& key) {
    return KeyFont{key.FontName, key.FontSize, key.FontStyle, key.FontColor};
}

std::int32_t SizeFromText(const QString& text, std::int32_t fallback) {
    bool ok = false;
    const int value = text.toInt(&ok, 10);
    return ok ? value : fallback;
}

Refresh SetFontName(Workspace& ws, const Bytes& name) {
    return ChangeField(ws, kChangeFontName, &KeyLabel::FontName, name);
}

Refresh SetFontSizeText(Workspace& ws, const QString& boxText) {
    return ChangeField(ws, kChangeFontSize, &KeyLabel::FontSize,
                       SizeFromText(boxText, kTypedSizeFallback));
}

Refresh StepFontSize(Workspace& ws, const QString& boxText, int step) {
    if (!HasCurrentKey(ws.editor)) return {};
    // Widened so that a typed size at the edge of the 32-bit range cannot overflow.
    const long long stepped = static_cast<long long>(SizeFromText(boxText, 0)) + step;
    const auto size = static_cast<std::int32_t>(
        std::clamp<long long>(stepped, kStepSizeMin, kStepSizeMax));
    ChangeField(ws, kChangeFontSize, &KeyLabel::FontSize, size);
    return ShowCurrentPosition(ws);
}

Refresh ToggleFontStyle(Workspace& ws, std::uint8_t bit) {
    if (!HasCurrentKey(ws.editor) || bit == 0) return {};
    RecordKeyChange(ws, kChangeFontStyle);
    KeyLabel& key = CurrentKey(ws);
    key.FontStyle = static_cast<std::uint8_t>(key.FontStyle ^ bit);
    return ShowCurrentPosition(ws);
}

Refresh SetAlignment(Workspace& ws, std::uint8_t alignment) {
    return ChangeField(ws, kChangeAlignment, &KeyLabel::Alignment, alignment);
}

Refresh SetLayout(Workspace& ws, std::uint8_t layout) {
    return ChangeField(ws, kChangeLayout, &KeyLabel::Layout, layout);
}

Refresh ApplyFormatRadio(Workspace& ws, int radioNumber) {
    switch (radioNumber) {
    case 1: return SetAlignment(ws, kAlignLeft);
    case 2: return SetAlignment(ws, kAlignCenter);
    case 3: return SetAlignment(ws, kAlignRight);
    case 4: return SetLayout(ws, kLayoutTop);
    case 5: return SetLayout(ws, kLayoutMiddle);
    case 6: return SetLayout(ws, kLayoutBottom);
    default: return {};
    }
}

int AlignmentRadioFor(std::uint8_t alignment) {
    switch (alignment) {
    case kAlignLeft: return 1;
    case kAlignCenter: return 2;
    case kAlignRight: return 3;
    default: return 0;
    }
}

int LayoutRadioFor(std::uint8_t layout) {
    switch (layout) {
    case kLayoutTop: return 4;
    case kLayoutMiddle: return 5;
    case kLayoutBottom: return 6;
    default: return 0;
    }
}

Refresh SetFontColor(Workspace& ws, ColorRef color) {
    return ChangeField(ws, kChangeFontColor, &KeyLabel::FontColor, color);
}

Refresh SetBackColor(Workspace& ws, ColorRef color) {
    return ChangeField(ws, kChangeBackColor, &KeyLabel::BackColor, color);
}

Refresh ApplyFontChoice(Workspace& ws, const KeyFont& chosen) {
    if (!HasCurrentKey(ws.editor)) return {};
    KeyLabel& key = CurrentKey(ws);
    ChangeKinds kinds = 0;
    if (chosen.name != key.FontName) kinds |= kChangeFontName;
    if (chosen.color != key.FontColor) kinds |= kChangeFontColor;
    if (chosen.style != key.FontStyle) kinds |= kChangeFontStyle;
    if (chosen.size != key.FontSize) kinds |= kChangeFontSize;
    if (kinds == 0) return {};
    RecordKeyChange(ws, kinds);
    key.FontName = chosen.name;
    key.FontColor = chosen.color;
    key.FontStyle = chosen.style;
    key.FontSize = chosen.size;
    return ShowCurrentPosition(ws);
}

std::pair<Bytes, Bytes> KeyLinesFromEditor(const Bytes& visualLine0, const Bytes& visualLine1) {
    if (visualLine0.empty()) return {visualLine1, Bytes{}};
    return {visualLine0, visualLine1};
}

Refresh StoreKeyText(Workspace& ws, const Bytes& visualLine0, const Bytes& visualLine1,
                     TextStore store) {
    EditorState& e = ws.editor;
    const int face = e.EditFace;
    if (face < 1 || face > kFaceCount || e.CurrentEntry < 1 || e.CurrentEntry > kEntryCount)
        return {};
    const int keyIndex = e.CurrentKeyIndex();
    if (keyIndex < 1 || keyIndex > kKeyCount) return {};
    KeyLabel& key = ws.labelSet.Entries[e.CurrentEntry].Faces[face].Keys[keyIndex];
    auto [line1, line2] = KeyLinesFromEditor(visualLine0, visualLine1);
    if (line1 != key.Line1 || line2 != key.Line2) {
        if (store == TextStore::Record) RecordKeyChange(ws, kChangeText, face);
        key.Line1 = std::move(line1);
        key.Line2 = std::move(line2);
    }
    if (face != e.CurrentFace) return {};
    return ShowCurrentPosition(ws);
}

}  // namespace sw::model
