// makeguidesample: writes the label set and background picture that the guide's screenshots show.
#include <QColor>
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <cstdio>
#include <memory>

#include "model/Cp932.h"
#include "model/LabelSet.h"
#include "model/LabelSetFile.h"

namespace {

using namespace sw::model;

Bytes Sjis(const char* utf8) { return EncodeCp932(QString::fromUtf8(utf8)).bytes; }

ColorRef Ref(int r, int g, int b) {
    return ColorRef(r) | (ColorRef(g) << 8) | (ColorRef(b) << 16);
}

void SetKey(PrintFace& face, int key, const char* line1, const char* line2 = "") {
    face.Keys[key].Line1 = Sjis(line1);
    face.Keys[key].Line2 = Sjis(line2);
}

// A soft picture for the face margins: a gradient with thin diagonal stripes.
QImage BackgroundPicture() {
    QImage image(320, 200, QImage::Format_RGB888);
    QPainter painter(&image);
    QLinearGradient gradient(0, 0, 320, 200);
    gradient.setColorAt(0, QColor(0xcf, 0xe3, 0xf5));
    gradient.setColorAt(1, QColor(0xf6, 0xe7, 0xc8));
    painter.fillRect(image.rect(), gradient);
    painter.setPen(QPen(QColor(255, 255, 255, 150), 3));
    for (int x = -200; x < 320; x += 18) painter.drawLine(x, 200, x + 200, 0);
    return image;
}

// A small tile for the repeated background.
QImage TilePicture() {
    QImage image(24, 24, QImage::Format_RGB888);
    image.fill(QColor(0xe8, 0xf3, 0xe4));
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0xa9, 0xd1, 0x9c));
    painter.drawEllipse(QPointF(12, 12), 5, 5);
    return image;
}

void FillSalesEntry(ManagementEntry& entry, const std::string& picture, const std::string& tile) {
    entry.Name = Sjis("本社 営業部");
    entry.ButtonModel = kModel18;
    PrintFace& face = entry.Faces[1];
    face.PictureFile = picture;
    // Keys 1 to 18: the bottom row of the 18-key strip first. Key 16 is left for the
    // picture of typing into a key.
    const char* lines[][2] = {
        {"外線１", ""},      {"外線２", ""},      {"外線３", ""},     {"外線４", ""},
        {"代表", "0312345678"}, {"保留", ""},      {"営業一課", "内線 211"}, {"営業二課", "内線 212"},
        {"営業三課", "内線 213"}, {"部長", "内線 201"}, {"課長", "内線 202"}, {"FAX", ""},
        {"総務部", "内線 301"}, {"経理部", "内線 302"}, {"技術部", "内線 401"}, {"", ""},
        {"受付", "内線 100"}, {"転送", ""},
    };
    for (int key = 1; key <= 18; ++key) SetKey(face, key, lines[key - 1][0], lines[key - 1][1]);
    for (int key = 1; key <= 4; ++key) {
        face.Keys[key].BackColor = Ref(0xff, 0xf2, 0xb3);
        face.Keys[key].FontStyle = kStyleBold;
    }
    face.Keys[5].FontColor = Ref(0xc0, 0x10, 0x10);
    face.Keys[5].FontSize = 8;
    face.Keys[6].BackColor = Ref(0xd9, 0xea, 0xf7);
    face.Keys[10].Alignment = kAlignLeft;
    face.Keys[11].Alignment = kAlignLeft;
    face.Keys[12].FontName = Sjis("ＭＳ 明朝");
    face.Keys[18].BackColor = Ref(0xd9, 0xea, 0xf7);

    PrintFace& second = entry.Faces[2];
    second.BackgroundMode = 1;
    second.BackgroundColor = Ref(0xdc, 0xec, 0xf8);
    for (int key = 1; key <= 18; ++key) second.Keys[key] = face.Keys[key];

    PrintFace& third = entry.Faces[3];
    third.PictureFile = tile;
    third.PictureLayout = 1;
    SetKey(third, 1, "外線１");
    SetKey(third, 2, "外線２");
}

void FillOfficeEntry(ManagementEntry& entry, const char* name, int model) {
    entry.Name = Sjis(name);
    entry.ButtonModel = model;
    PrintFace& face = entry.Faces[1];
    const char* names[] = {"外線１", "外線２", "外線３", "外線４", "外線５", "外線６",
                           "代表", "保留", "転送", "会議", "パーク１", "パーク２"};
    for (int key = 1; key <= 12; ++key) SetKey(face, key, names[key - 1]);
    for (int key = 13; key <= (model == kModel30 ? 30 : 18); ++key)
        SetKey(face, key, "内線", QStringLiteral("%1").arg(200 + key).toUtf8().constData());
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: makeguidesample OUTDIR\n");
        return 2;
    }
    QDir dir(QString::fromLocal8Bit(argv[1]));
    if (!dir.mkpath(QStringLiteral("."))) {
        std::fprintf(stderr, "makeguidesample: cannot make %s\n", argv[1]);
        return 1;
    }
    const QString picture = dir.absoluteFilePath(QStringLiteral("haikei.bmp"));
    const QString tile = dir.absoluteFilePath(QStringLiteral("mizutama.bmp"));
    if (!BackgroundPicture().save(picture, "BMP") || !TilePicture().save(tile, "BMP")) {
        std::fprintf(stderr, "makeguidesample: cannot write the pictures\n");
        return 1;
    }
    auto set = std::make_unique<LabelSet>();
    FillSalesEntry(set->Entries[1], EncodeCp932(picture).bytes, EncodeCp932(tile).bytes);
    FillOfficeEntry(set->Entries[2], "本社 総務部", kModel30);
    FillOfficeEntry(set->Entries[3], "大阪支店", kModel18);
    FillOfficeEntry(set->Entries[4], "名古屋営業所", kModel18);
    FillOfficeEntry(set->Entries[5], "福岡営業所", kModel18);
    FillOfficeEntry(set->Entries[6], "物流センター", kModel30);
    set->Entries[7].Name = Sjis("会議室");
    set->Entries[26].Name = Sjis("予備");
    const QString out = dir.absoluteFilePath(QStringLiteral("本社.stw"));
    SaveResult saved = SaveLabelSetFile(out.toStdString(), *set);
    if (!saved.ok) {
        std::fprintf(stderr, "makeguidesample: %s\n", saved.message.c_str());
        return 1;
    }
    std::printf("%s\n", out.toLocal8Bit().constData());
    return 0;
}
