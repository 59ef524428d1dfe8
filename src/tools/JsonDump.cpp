// JSON for the dump command, written by QJsonDocument; strings are decoded from CP932.
#include "tools/JsonDump.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "model/Cp932.h"

namespace sw::tools {

using namespace sw::model;

std::string LabelSetToJson(const LabelSet& set) {
    QJsonArray entries;
    for (int e = 1; e <= kEntryCount; ++e) {
        const ManagementEntry& entry = set.Entries[e];
        QJsonArray faces;
        for (int f = 1; f <= kFaceCount; ++f) {
            const PrintFace& face = entry.Faces[f];
            QJsonArray keys;
            for (int k = 1; k <= kKeyCount; ++k) {
                const KeyLabel& key = face.Keys[k];
                keys.append(QJsonObject{
                    {"alignment", key.Alignment},
                    {"layout", key.Layout},
                    {"line1", DecodeCp932(key.Line1)},
                    {"line2", DecodeCp932(key.Line2)},
                    {"backColor", static_cast<qint64>(key.BackColor)},
                    {"fontColor", static_cast<qint64>(key.FontColor)},
                    {"fontName", DecodeCp932(key.FontName)},
                    {"fontStyle", key.FontStyle},
                    {"fontSize", key.FontSize},
                });
            }
            faces.append(QJsonObject{
                {"pictureFile", DecodeCp932(face.PictureFile)},
                {"pictureLayout", face.PictureLayout},
                {"backgroundMode", face.BackgroundMode},
                {"backgroundColor", static_cast<qint64>(face.BackgroundColor)},
                {"keys", keys},
            });
        }
        entries.append(QJsonObject{
            {"name", DecodeCp932(entry.Name)},
            {"buttonModel", entry.ButtonModel},
            {"faces", faces},
        });
    }
    return QJsonDocument(QJsonObject{{"entries", entries}}).toJson(QJsonDocument::Compact).toStdString() + "\n";
}

}  // namespace sw::tools
