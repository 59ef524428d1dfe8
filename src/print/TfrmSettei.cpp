// The print fine-adjustment dialog: two offset fields and the buttons that take or drop them.
#include "print/TfrmSettei.h"

#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QStringList>
#include <climits>

#include "dialogs/Dialogs.h"

#include "dialogs/DialogSupport.h"
#include "dialogs/WindowPlace.h"
#include "model/Cp932.h"
#include "model/FieldNumber.h"
#include "model/IniFile.h"
#include "print/CalibrationPrint.h"
#include "print/PrintJob.h"
#include "render/SheetFit.h"
#include "render/SheetRenderer.h"

namespace sw::render {

QString FormatOffsetField(int value) { return QStringLiteral("%1").arg(value, 4); }

QString FacesOffPaper(int sayu, int jyoge) {
    const QRectF paper(0, 0, kA4LongSideMm, kA4ShortSideMm);
    QStringList faces;
    QRectF off;
    for (int face = 1; face <= sw::model::kFaceCount; ++face) {
        const QRectF box = FaceBoxMm(face, sayu, jyoge);
        if (paper.contains(box)) continue;
        faces << QStringLiteral("印刷面") + FaceNumber(face);
        off |= box;
    }
    if (faces.isEmpty()) return {};
    return QStringLiteral("この値では%1が A4 の用紙からはみ出します（%2）。")
        .arg(faces.join(QStringLiteral("、")), CutText(CutOff(off, paper.size())));
}

int OffsetFieldValue(const QString& text) {
    const std::optional<qlonglong> value = sw::model::FieldNumber(text);
    return value && *value >= INT_MIN && *value <= INT_MAX ? static_cast<int>(*value) : 0;
}

OffsetEdit::OffsetEdit(QWidget* parent) : QLineEdit(parent) {
    setMaxLength(16);
    setAttribute(Qt::WA_InputMethodEnabled, false);  // numbers: no input method
}

void OffsetEdit::focusInEvent(QFocusEvent* event) {
    QLineEdit::focusInEvent(event);
    if (m_entered) return;  // back from another window or a context menu
    m_entered = true;
    emit Entered(this);
}

void OffsetEdit::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    // Focus that only leaves for another window or a context menu and comes back does not
    // leave the field.
    if (event->reason() == Qt::ActiveWindowFocusReason || event->reason() == Qt::PopupFocusReason)
        return;
    m_entered = false;
    emit Exited(this);
}

void OffsetEdit::mouseReleaseEvent(QMouseEvent* event) {
    QLineEdit::mouseReleaseEvent(event);
    emit Clicked(this);
}

namespace {

QFrame* LoweredPanel(QWidget* parent, const QString& name, QRect geometry) {
    auto* panel = new QFrame(parent);
    panel->setObjectName(name);
    panel->setGeometry(geometry);
    panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    return panel;
}

QLabel* PlacedLabel(QWidget* parent, const QString& name, const QString& text, QPoint at) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    label->adjustSize();
    label->move(at);
    return label;
}

}  // namespace

TfrmSettei::TfrmSettei(sw::model::Workspace& ws, QWidget* parent, PrintTarget* printer,
                       sw::app::Dialogs* dialogs)
    : FieldDialog(parent), m_ws(ws), m_printer(printer), m_dialogs(dialogs) {
    setObjectName(QStringLiteral("TfrmSettei"));
    sw::app::MakeFixedDialogWindow(this, kClientWidth, kClientHeight);
    setFont(sw::app::GothicFont(13));
    setWindowTitle(QString::fromUtf8(sw::model::kSetteiSection.caption));

    auto* panel1 = new QFrame(this);
    panel1->setObjectName(QStringLiteral("Panel1"));
    panel1->setGeometry(0, 0, 385, 257);
    panel1->setFrameStyle(QFrame::Box | QFrame::Plain);

    auto rowCaption = [panel1](const QString& name, const QString& text, int top) {
        QFrame* box = LoweredPanel(panel1, name, QRect(44, top, 69, 34));
        auto* label = new QLabel(text, box);
        label->setGeometry(box->contentsRect());
        label->setAlignment(Qt::AlignCenter);
    };
    auto offsetRow = [panel1](const QString& panelName, int top, const QString& labelA,
                              const QString& textA, const QString& editName,
                              const QString& labelB) {
        QFrame* row = LoweredPanel(panel1, panelName, QRect(113, top, 224, 34));
        PlacedLabel(row, labelA, textA, QPoint(16, 10));
        auto* edit = new OffsetEdit(row);
        edit->setObjectName(editName);
        edit->setGeometry(52, 6, 34, 21);
        PlacedLabel(row, labelB, QStringLiteral("×0.1㎜移動する"), QPoint(97, 10));
        return edit;
    };
    rowCaption(QStringLiteral("Panel3"), QStringLiteral("上下移動"), 53);
    m_edit1 = offsetRow(QStringLiteral("Panel2"), 53, QStringLiteral("Label3"),
                        QStringLiteral("上へ"), QStringLiteral("Edit1"), QStringLiteral("Label4"));
    rowCaption(QStringLiteral("Panel16"), QStringLiteral("左右移動"), 116);
    m_edit2 = offsetRow(QStringLiteral("Panel17"), 116, QStringLiteral("Label1"),
                        QStringLiteral("右へ"), QStringLiteral("Edit2"), QStringLiteral("Label2"));

    m_button2 = new QPushButton(QStringLiteral("設定終了(&X)"), panel1);
    m_button2->setObjectName(QStringLiteral("Button2"));
    m_button2->setGeometry(41, 180, 149, 45);
    m_button2->setFont(sw::app::GothicFont(17));
    m_button1 = new QPushButton(QStringLiteral("キャンセル(&C)"), panel1);
    m_button1->setObjectName(QStringLiteral("Button1"));
    m_button1->setGeometry(190, 180, 149, 45);
    m_button1->setFont(sw::app::GothicFont(17));
    // Above the fields, right-aligned with them: a check print that neither takes nor drops
    // the values.
    m_testPrint = new QPushButton(QStringLiteral("テスト印刷(&T)"), panel1);
    m_testPrint->setObjectName(QStringLiteral("TestPrintButton"));
    m_testPrint->setGeometry(237, 12, 100, 30);
    m_testPrint->setEnabled(m_printer != nullptr && m_dialogs != nullptr);
    for (QPushButton* button : {m_button2, m_button1, m_testPrint}) button->setAutoDefault(false);
    connect(m_button2, &QPushButton::clicked, this, &TfrmSettei::Button2Click);
    connect(m_button1, &QPushButton::clicked, this, &TfrmSettei::Button1Click);
    connect(m_testPrint, &QPushButton::clicked, this, &TfrmSettei::TestPrintClick);

    for (OffsetEdit* edit : {m_edit1, m_edit2}) {
        connect(edit, &OffsetEdit::Entered, this, &TfrmSettei::Edit1Enter);
        connect(edit, &OffsetEdit::Exited, this, &TfrmSettei::Edit1Exit);
        connect(edit, &OffsetEdit::Clicked, this, &TfrmSettei::Edit1Click);
    }

    QWidget::setTabOrder(m_button2, m_button1);
    QWidget::setTabOrder(m_button1, m_edit1);
    QWidget::setTabOrder(m_edit1, m_edit2);
    QWidget::setTabOrder(m_edit2, m_testPrint);
    for (QWidget* w : {static_cast<QWidget*>(m_button2), static_cast<QWidget*>(m_button1),
                       static_cast<QWidget*>(m_edit1), static_cast<QWidget*>(m_edit2),
                       static_cast<QWidget*>(m_testPrint)})
        w->installEventFilter(this);
}

void TfrmSettei::showEvent(QShowEvent* event) {
    // Read once per opening; returning to the dialog from another window keeps what
    // has been typed.
    FormActivate();
    QDialog::showEvent(event);
}

void TfrmSettei::FormActivate() {
    sw::app::WaitCursor wait;
    m_activated = true;
    // The file's offsets replace the ones in memory; an offset missing from the file
    // (say, it could not be written) keeps the one in memory rather than becoming 0.
    m_placement = sw::model::ReadSetteiSettings(m_ws.settings.SettingsPath(), sw::app::ScreenSizeFor(this),
                                                {kClientWidth, kClientHeight}, m_ws.settings);
    sw::app::PlaceWindow(this, m_placement);
    setWindowTitle(sw::model::DecodeCp932(m_placement.caption));
    m_edit1->setText(FormatOffsetField(m_ws.settings.Jyoge));
    m_edit2->setText(FormatOffsetField(m_ws.settings.Sayu));
    m_button2->setFocus(Qt::OtherFocusReason);
}

void TfrmSettei::Edit1Enter(OffsetEdit* edit) {
    const int value = OffsetFieldValue(edit->text());
    edit->setText(QString::number(value));
    sw::app::SetFieldFocusLook(edit, true);
    edit->selectAll();
}

void TfrmSettei::Edit1Exit(OffsetEdit* edit) {
    sw::app::SetFieldFocusLook(edit, false);
    edit->setText(FormatOffsetField(OffsetFieldValue(edit->text())));
}

void TfrmSettei::Edit1Click(OffsetEdit* edit) { edit->selectAll(); }

void TfrmSettei::Button2Click() {
    const int jyoge = OffsetFieldValue(m_edit1->text());
    const int sayu = OffsetFieldValue(m_edit2->text());
    if (!AgreeToFacesOffPaper(sayu, jyoge, QStringLiteral("このまま設定しますか？"))) return;
    m_ws.settings.Jyoge = jyoge;
    m_ws.settings.Sayu = sayu;
    accept();
}

bool TfrmSettei::AgreeToFacesOffPaper(int sayu, int jyoge, const QString& question) {
    const QString faces = FacesOffPaper(sayu, jyoge);
    if (faces.isEmpty() || m_dialogs == nullptr) return true;
    if (m_dialogs->Message(this, sw::app::MessageKind::Confirmation, faces + question,
                           sw::app::Buttons::YesNoDefaultNo) == sw::app::Reply::Yes)
        return true;
    // Back to the value that puts the faces off the paper.
    QRectF all;
    for (int face = 1; face <= sw::model::kFaceCount; ++face) all |= FaceBoxMm(face, sayu, jyoge);
    const SheetCut cut = CutOff(all, QSizeF(kA4LongSideMm, kA4ShortSideMm));
    (cut.left > 0 || cut.right > 0 ? m_edit2 : m_edit1)->setFocus(Qt::OtherFocusReason);
    return false;
}

void TfrmSettei::Button1Click() { reject(); }

void TfrmSettei::TestPrintClick() {
    if (m_printer == nullptr || m_dialogs == nullptr) return;
    // The sheet shows the values as typed, not yet taken: checking them on paper before
    // 設定終了 is the point of the test print. Neither the settings nor the file change.
    const int jyoge = OffsetFieldValue(m_edit1->text());
    const int sayu = OffsetFieldValue(m_edit2->text());
    if (!AgreeToFacesOffPaper(sayu, jyoge, QStringLiteral("このままテスト印刷しますか？"))) return;
    const int entry = m_ws.editor.CurrentEntry;
    const std::int32_t model = entry >= 1 && entry <= sw::model::kEntryCount
                                   ? m_ws.labelSet.Entries[entry].ButtonModel
                                   : sw::model::kModel30;
    PrintCalibrationSheet(this, *m_printer, *m_dialogs, CalibrationOptions{model, entry, sayu, jyoge});
}

void TfrmSettei::done(int result) {
    FormClose();
    QDialog::done(result);
}

void TfrmSettei::FormClose() {
    if (!m_activated) return;  // never shown: nothing read, nothing to write
    sw::app::TakeWindowPlace(this, m_placement);
    sw::model::NoteSettingsWrite(
        m_ws.settings,
        sw::model::WriteSetteiSettings(m_ws.settings.WritePath(), m_placement, m_ws.settings));
}

void TfrmSettei::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {  // only the two buttons and the close box close it
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

bool TfrmSettei::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && FormKeyDown(watched, static_cast<QKeyEvent*>(event)))
        return true;
    return QDialog::eventFilter(watched, event);
}

bool TfrmSettei::FormKeyDown(QObject* target, QKeyEvent* event) {
    return MoveFocusOnFormKey(target, event);
}

void ShowPrintAdjustment(QWidget* parent, sw::model::Workspace& ws, PrintTarget* printer,
                         sw::app::Dialogs* dialogs) {
    TfrmSettei dialog(ws, parent, printer, dialogs);
    dialog.exec();
}

}  // namespace sw::render
