// The label set: 50 management numbers, 4 print faces each, 30 key labels per face.
#pragma once

#include <cstdint>
#include <string>

#include "model/OneBased.h"

namespace sw::model {

// Text in the document is kept as CP932 bytes exactly as typed or read.
using Bytes = std::string;

// COLORREF: 0x00BBGGRR, red in the low byte.
using ColorRef = std::uint32_t;

constexpr int kEntryCount = 50;
constexpr int kFaceCount = 4;
constexpr int kKeyCount = 30;

constexpr ColorRef kWhite = 0x00FFFFFF;
constexpr ColorRef kBlack = 0x00000000;

// "ＭＳ ゴシック" in CP932.
extern const Bytes kDefaultFontName;

enum Alignment : std::uint8_t { kAlignLeft = 0, kAlignRight = 1, kAlignCenter = 2 };
enum Layout : std::uint8_t { kLayoutTop = 0, kLayoutMiddle = 1, kLayoutBottom = 2 };

enum FontStyleBits : std::uint8_t {
    kStyleBold = 1,
    kStyleItalic = 2,
    kStyleUnderline = 4,
    kStyleStrikeOut = 8,
};

// ButtonModel values; anything other than 0 is treated as 18 keys by the editor.
enum ButtonModel : std::int32_t { kModel30 = 0, kModel18 = 1 };

struct KeyLabel {
    std::uint8_t Alignment = kAlignCenter;
    std::uint8_t Layout = kLayoutMiddle;
    Bytes Line1;
    Bytes Line2;
    ColorRef BackColor = kWhite;
    ColorRef FontColor = kBlack;
    Bytes FontName = kDefaultFontName;
    std::uint8_t FontStyle = 0;
    std::int32_t FontSize = 9;

    bool operator==(const KeyLabel&) const = default;
};

struct PrintFace {
    Bytes PictureFile;
    std::int32_t PictureLayout = 0;   // 0 = stretch (拡大縮小), 1 = tile at actual size (実寸並列)
    std::int32_t BackgroundMode = 0;  // 0 = picture (画像), 1 = single colour (単色)
    ColorRef BackgroundColor = kWhite;
    OneBased<KeyLabel, kKeyCount> Keys;

    bool operator==(const PrintFace&) const = default;
};

struct ManagementEntry {
    Bytes Name;
    std::int32_t ButtonModel = kModel18;
    OneBased<PrintFace, kFaceCount> Faces;

    bool operator==(const ManagementEntry&) const = default;
};

struct LabelSet {
    OneBased<ManagementEntry, kEntryCount> Entries;

    bool operator==(const LabelSet&) const = default;
};

// Grid positions in use for a key model. Position p shows key index p - KeyOffset;
// position 07 is key 1 under the 18-key model.
struct KeyRange {
    int KeyOffset;
    int FirstKeyPos;
    int LastKeyPos;
    bool operator==(const KeyRange&) const = default;
};

KeyRange KeyRangeFor(std::int32_t buttonModel);

// Whether the sheet prints grid position 1..30 under a key model: every position for 30 keys,
// 07 to 24 for 18 keys, none for an unknown model.
bool PositionPrinted(std::int32_t buttonModel, int position);

// Every entry, face and key label back to its reset value.
void ResetDocument(LabelSet& set);

// A KeyLabel with every field zero or empty: what the copy buffers hold before the
// first "新規作成".
KeyLabel ZeroKeyLabel();

}  // namespace sw::model
