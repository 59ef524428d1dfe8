// The face background on screen and its controls: picture or single colour, stretched or
// repeated picture, choosing and removing the picture, choosing the colour.
#include <QEvent>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QToolButton>
#include <functional>

#include "dialogs/Dialogs.h"
#include "editor/ScreenColors.h"
#include "editor/TfrmMain.h"
#include "model/Cp932.h"
#include "render/Pictures.h"

namespace sw::editor {

namespace {

// Image2, the face area the background shows in.
constexpr int kFaceWidth = 458;
constexpr int kFaceHeight = 277;

// Calls back on every mouse press on the widgets it watches (the strip drawings, which
// are pictures without a click of their own).
class PressWatcher : public QObject {
public:
    PressWatcher(QObject* parent, std::function<void()> pressed)
        : QObject(parent), m_pressed(std::move(pressed)) {}

    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::MouseButtonPress) m_pressed();
        return false;
    }

private:
    std::function<void()> m_pressed;
};

// Why a chosen picture path cannot be kept in the document, or an empty text when it can.
// The path goes into the label-set file as CP932 bytes on a line of its own.
QString PathRefusal(const QString& path) {
    if (path.contains(QLatin1Char('\n')) || path.contains(QLatin1Char('\r')))
        return QStringLiteral("ファイル名に改行が含まれているため、背景画像に使えません。\n%1")
            .arg(QString(path).replace(QLatin1Char('\n'), QLatin1Char(' ')).replace(QLatin1Char('\r'), QLatin1Char(' ')));
    const sw::model::EncodeResult encoded = sw::model::EncodeCp932(path);
    if (!encoded.ok()) {
        const char32_t bad = *encoded.badChar;
        return QStringLiteral("ファイル名の文字「%1」は保存できないため、この画像は背景画像に使えません。\n%2")
            .arg(QString::fromUcs4(&bad, 1), path);
    }
    // Some characters are stored as another one with the same CP932 code (〜 as ～); the
    // stored name would then name another file.
    if (sw::model::DecodeCp932(encoded.bytes) != path)
        return QStringLiteral("ファイル名に保存すると別の文字になる文字が含まれているため、この画像は背景画像に使えません。\n%1")
            .arg(path);
    return {};
}

}  // namespace

void TfrmMain::BindFaceBackground() {
    connect(m_btnSelect, &QPushButton::clicked, this, [this] {
        if (EntryNumberStands()) btnSelectClick();
    });
    connect(m_button1, &QPushButton::clicked, this, [this] {
        if (EntryNumberStands()) Button1Click();
    });
    connect(m_button3, &QPushButton::clicked, this, [this] {
        if (EntryNumberStands()) Button3Click();
    });
    // A radio button runs its handler when it becomes checked by the user (mouse or arrow
    // keys); the program's own checking from ShowFaceBackground does not.
    for (int n : {7, 8}) {
        connect(m_radio[static_cast<size_t>(n)], &QRadioButton::toggled, this, [this, n](bool on) {
            if (on && !m_programChange) RadioButton7Click(n);
        });
    }
    for (int n : {9, 10}) {
        connect(m_radio[static_cast<size_t>(n)], &QRadioButton::toggled, this, [this, n](bool on) {
            if (on && !m_programChange) RadioButton9Click(n);
        });
    }
    m_image418->installEventFilter(new PressWatcher(this, [this] { Image418Click(); }));
    m_image430->installEventFilter(new PressWatcher(this, [this] { Image430Click(); }));
}

bool TfrmMain::EntryNumberStands() const {
    bool ok = false;
    const int n = m_edtNaisen->text().toInt(&ok, 10);
    return ok && n == m_ws.editor.CurrentEntry;
}

void TfrmMain::ClearScreenBackground() { SetScreenBackground(sw::render::BlankPicture()); }

void TfrmMain::SetScreenBackground(const QImage& image) {
    // Image2 shows the top-left part of what it is given, as large as the face area.
    m_image2->setPixmap(QPixmap::fromImage(image.copy(0, 0, kFaceWidth, kFaceHeight)));
    ShowMissingPicture({});
}

void TfrmMain::ShowMissingPicture(const QString& path) {
    // A path too long for the label keeps its file name and loses its folders.
    const QFontMetrics fm(m_lblMissingPicture->font());
    const int width = m_lblMissingPicture->width();
    QString shown = path;
    if (fm.horizontalAdvance(path) > width)
        shown = fm.elidedText(QStringLiteral("…/") + path.mid(path.lastIndexOf(QLatin1Char('/')) + 1),
                              Qt::ElideRight, width);
    m_lblMissingPicture->setText(shown);
    m_lblMissingPicture->setToolTip(
        path.isEmpty() ? QString() : QStringLiteral("背景画像「%1」が見つかりません。").arg(path));
}

QImage TfrmMain::ScreenBackground() const { return m_image2->pixmap().toImage(); }

void TfrmMain::PaintScreenSolidBackground() {
    const sw::model::EditorState& e = m_ws.editor;
    QImage solid(kFaceWidth, kFaceHeight, QImage::Format_RGB32);
    solid.fill(ColorFromRef(m_ws.labelSet.Entries[e.CurrentEntry].Faces[e.CurrentFace].BackgroundColor));
    SetScreenBackground(solid);
}

void TfrmMain::ShowScreenPicture(const QImage& picture) {
    const sw::model::EditorState& e = m_ws.editor;
    const sw::model::PrintFace& face = m_ws.labelSet.Entries[e.CurrentEntry].Faces[e.CurrentFace];
    // Scaled once per picture, face size and layout; switching back costs nothing.
    SetScreenBackground(sw::render::ScreenFacePicture(picture, QSize(kFaceWidth, kFaceHeight),
                                                      face.PictureLayout != 0));
}

void TfrmMain::PrepareScreenBackground() {
    const sw::model::EditorState& e = m_ws.editor;
    const sw::model::PrintFace& face = m_ws.labelSet.Entries[e.CurrentEntry].Faces[e.CurrentFace];
    if (face.PictureFile.empty()) {
        ClearScreenBackground();
        return;
    }
    sw::render::PictureLoad load = sw::render::LoadScreenPicture(
        face.PictureFile, QSize(kFaceWidth, kFaceHeight), face.PictureLayout != 0);
    switch (load.status) {
        case sw::render::PictureStatus::Ok:
            ShowScreenPicture(load.image);
            return;
        case sw::render::PictureStatus::Missing: {
            // The face shows white and keeps the path: the file may be on a drive that is
            // not mounted now. The path shows in red, and the user is told once per file.
            const QString path = sw::model::DecodeCp932(face.PictureFile);
            ClearScreenBackground();
            ShowMissingPicture(path);
            QTimer::singleShot(0, this, [this, path] { m_dialogs.ReportMissingPicture(this, path); });
            return;
        }
        case sw::render::PictureStatus::Error:
            ReportPictureError(load.message);
            break;
    }
    ClearScreenBackground();
}

void TfrmMain::ReportPictureError(const QString& message) {
    // A picture that cannot be read is reported once, not at every showing of its face,
    // and after the operation that showed the face has finished.
    if (m_reportedPictureErrors.contains(message)) return;
    m_reportedPictureErrors.insert(message);
    QTimer::singleShot(0, this, [this, message] {
        m_dialogs.Message(this, sw::app::MessageKind::Error, message, sw::app::Buttons::Ok);
    });
}

void TfrmMain::EnableBackgroundControls(bool pictureMode) {
    m_btnSelect->setEnabled(pictureMode);
    m_button1->setEnabled(pictureMode);
    m_groupBox4->setEnabled(pictureMode);
    toolButton(27)->setEnabled(pictureMode);
    m_radio[9]->setEnabled(pictureMode);
    m_radio[10]->setEnabled(pictureMode);
    m_button3->setEnabled(!pictureMode);
}

void TfrmMain::ShowFaceBackground() {
    const sw::model::EditorState& e = m_ws.editor;
    const sw::model::PrintFace& face = m_ws.labelSet.Entries[e.CurrentEntry].Faces[e.CurrentFace];
    if (face.BackgroundMode != 0) {
        PaintScreenSolidBackground();
    } else if (!face.PictureFile.empty()) {
        PrepareScreenBackground();
    } else {
        ClearScreenBackground();
    }
    m_programChange = true;
    m_radio[face.PictureLayout != 0 ? 10 : 9]->setChecked(true);
    m_radio[face.BackgroundMode != 0 ? 8 : 7]->setChecked(true);
    m_programChange = false;
    EnableBackgroundControls(face.BackgroundMode == 0);
}

void TfrmMain::btnSelectClick() { ChooseBackgroundPicture(); }

void TfrmMain::ChooseBackgroundPicture() {
    sw::model::EditorState& e = m_ws.editor;
    if (e.KeyEditorOpen) CloseKeyEditor();
    sw::model::PrintFace& face = m_ws.labelSet.Entries[e.CurrentEntry].Faces[e.CurrentFace];
    const std::optional<QString> chosen = m_dialogs.ChooseFile(
        this, sw::app::FileKind::OpenPicture, sw::model::DecodeCp932(face.PictureFile));
    if (!chosen) return;

    // Refused names leave the face as it was.
    const QString refusal = PathRefusal(*chosen);
    if (!refusal.isEmpty()) {
        m_dialogs.Message(this, sw::app::MessageKind::Error, refusal, sw::app::Buttons::Ok);
        return;
    }
    const sw::model::Bytes stored = sw::model::EncodeCp932(*chosen).bytes;
    sw::render::PictureLoad load = sw::render::LoadPicture(stored);
    switch (load.status) {
        case sw::render::PictureStatus::Ok:
            face.PictureFile = stored;
            ShowScreenPicture(load.image);
            return;
        case sw::render::PictureStatus::Missing:
            face.PictureFile.clear();
            ClearScreenBackground();
            m_dialogs.Message(this, sw::app::MessageKind::Error, QStringLiteral("ファイルが存在しません。"),
                              sw::app::Buttons::Ok);
            FocusName();
            return;
        case sw::render::PictureStatus::Error:
            // The face keeps the picture it had; the reason is shown this once.
            m_dialogs.Message(this, sw::app::MessageKind::Error, load.message, sw::app::Buttons::Ok);
            return;
    }
}

void TfrmMain::Button1Click() {
    sw::model::EditorState& e = m_ws.editor;
    if (e.KeyEditorOpen) CloseKeyEditor();
    // Mode and layout stay: a picture chosen next is shown the same way.
    m_ws.labelSet.Entries[e.CurrentEntry].Faces[e.CurrentFace].PictureFile.clear();
    ClearScreenBackground();
}

void TfrmMain::Button3Click() {
    const sw::model::EditorState& e = m_ws.editor;
    sw::model::PrintFace& face = m_ws.labelSet.Entries[e.CurrentEntry].Faces[e.CurrentFace];
    const std::optional<sw::model::ColorRef> chosen = m_dialogs.ChooseColor(this, face.BackgroundColor);
    if (!chosen || *chosen == face.BackgroundColor) return;
    face.BackgroundColor = *chosen;
    PaintScreenSolidBackground();
}

void TfrmMain::RadioButton7Click(int sender) {
    const sw::model::EditorState& e = m_ws.editor;
    sw::model::PrintFace& face = m_ws.labelSet.Entries[e.CurrentEntry].Faces[e.CurrentFace];
    if (sender == 7) {
        // Back to the picture the face kept while it was single-coloured.
        face.BackgroundMode = 0;
        if (!face.PictureFile.empty())
            PrepareScreenBackground();
        else
            ClearScreenBackground();
        m_programChange = true;
        m_radio[face.PictureLayout != 0 ? 10 : 9]->setChecked(true);
        m_programChange = false;
        EnableBackgroundControls(true);
    } else {
        face.BackgroundMode = 1;
        ClearScreenBackground();
        if (face.BackgroundColor != sw::model::kWhite) PaintScreenSolidBackground();
        EnableBackgroundControls(false);
    }
}

void TfrmMain::RadioButton9Click(int sender) {
    const sw::model::EditorState& e = m_ws.editor;
    if (e.KeyEditorOpen) CloseKeyEditor();
    sw::model::PrintFace& face = m_ws.labelSet.Entries[e.CurrentEntry].Faces[e.CurrentFace];
    const std::int32_t layout = sender == 10 ? 1 : 0;
    if (layout == face.PictureLayout) return;
    face.PictureLayout = layout;
    PrepareScreenBackground();
}

void TfrmMain::Image418Click() {
    if (m_ws.editor.KeyEditorOpen) CloseKeyEditor();
}

}  // namespace sw::editor
