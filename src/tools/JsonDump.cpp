// JSON writer for the dump command; strings are decoded from CP932.
#include "tools/JsonDump.h"

#include <cstdio>

#include "model/Cp932.h"

namespace sw::tools {
namespace {

using namespace sw::model;

void AppendString(std::string& out, const Bytes& bytes) {
    std::string utf8 = DecodeCp932ToUtf8(bytes);
    out += '"';
    for (unsigned char c : utf8) {
        switch (c) {
            case '"': out += "\\\""; break;
            case '\\': out += "\\\\"; break;
            case '\n': out += "\\n"; break;
            case '\r': out += "\\r"; break;
            case '\t': out += "\\t"; break;
            default:
                if (c < 0x20 || c == 0x7F) {
                    char esc[8];
                    std::snprintf(esc, sizeof esc, "\\u%04x", c);
                    out += esc;
                } else {
                    out += static_cast<char>(c);
                }
        }
    }
    out += '"';
}

void AppendField(std::string& out, const char* name, long long value, bool last = false) {
    out += '"';
    out += name;
    out += "\":";
    out += std::to_string(value);
    if (!last) out += ',';
}

void AppendField(std::string& out, const char* name, const Bytes& value, bool last = false) {
    out += '"';
    out += name;
    out += "\":";
    AppendString(out, value);
    if (!last) out += ',';
}

}  // namespace

std::string LabelSetToJson(const LabelSet& set) {
    std::string out = "{\"entries\":[";
    for (int e = 1; e <= kEntryCount; ++e) {
        const ManagementEntry& entry = set.Entries[e];
        if (e > 1) out += ',';
        out += '{';
        AppendField(out, "name", entry.Name);
        AppendField(out, "buttonModel", entry.ButtonModel);
        out += "\"faces\":[";
        for (int f = 1; f <= kFaceCount; ++f) {
            const PrintFace& face = entry.Faces[f];
            if (f > 1) out += ',';
            out += '{';
            AppendField(out, "pictureFile", face.PictureFile);
            AppendField(out, "pictureLayout", face.PictureLayout);
            AppendField(out, "backgroundMode", face.BackgroundMode);
            AppendField(out, "backgroundColor", face.BackgroundColor);
            out += "\"keys\":[";
            for (int k = 1; k <= kKeyCount; ++k) {
                const KeyLabel& key = face.Keys[k];
                if (k > 1) out += ',';
                out += '{';
                AppendField(out, "alignment", key.Alignment);
                AppendField(out, "layout", key.Layout);
                AppendField(out, "line1", key.Line1);
                AppendField(out, "line2", key.Line2);
                AppendField(out, "backColor", key.BackColor);
                AppendField(out, "fontColor", key.FontColor);
                AppendField(out, "fontName", key.FontName);
                AppendField(out, "fontStyle", key.FontStyle);
                AppendField(out, "fontSize", key.FontSize, true);
                out += '}';
            }
            out += "]}";
        }
        out += "]}";
    }
    out += "]}\n";
    return out;
}

}  // namespace sw::tools
