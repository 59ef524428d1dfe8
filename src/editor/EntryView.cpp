// The current entry on screen: number and name fields, face tabs, key model, and the
// refreshes after a reset, a load or a plain document operation.
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTabWidget>

#include "dialogs/DialogSupport.h"
#include "dialogs/Dialogs.h"
#include "editor/ScreenColors.h"
#include "editor/TfrmMain.h"
#include "model/Cp932.h"

namespace sw::editor {

namespace {

QString TwoDigits(int n) { return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0')); }

// The number field as a decimal integer, 0 when it is not one.
int FieldNumber(const QLineEdit* field) {
    bool ok = false;
    int n = field->text().toInt(&ok, 10);
    return ok ? n : 0;
}

}  // namespace

void TfrmMain::ShowEntry() {
    sw::model::EditorState& e = m_ws.editor;
    const sw::model::ManagementEntry& entry = m_ws.labelSet.Entries[e.CurrentEntry];
    m_edtNaisen->setText(TwoDigits(e.CurrentEntry));
    m_edtName->setText(sw::model::DecodeCp932(entry.Name));
    // Any model other than 30 keys is laid out as 18 keys.
    const int model = entry.ButtonModel == sw::model::kModel30 ? sw::model::kModel30 : sw::model::kModel18;
    if (model != e.ShownModel) {
        e.ShownModel = model;
        LayOutKeyGrid();
    }
    ShowFaceBackground();
}

bool TfrmMain::ApplyEntryNumber() {
    sw::model::EditorState& e = m_ws.editor;
    const int n = FieldNumber(m_edtNaisen);
    if (n == e.CurrentEntry) return true;
    if (n < 1 || n > sw::model::kEntryCount) {
        m_dialogs.Message(this, sw::app::MessageKind::Error, QStringLiteral("Ｎｏが誤っています。"),
                          sw::app::Buttons::Ok);
        sw::app::SetFieldFocusLook(m_edtNaisen, true);
        m_edtNaisen->setSelection(0, 2);
        m_edtNaisen->setFocus(Qt::OtherFocusReason);
        return false;
    }
    // An open key editor belongs to the key of the entry shown until now.
    if (e.KeyEditorOpen) CloseKeyEditor();
    SetPanelLook(e.CurrentKeyPos, PanelLook::Normal);
    e.CurrentEntry = n;
    ShowEntry();
    ShowFace();
    ShowCurrentKey();
    return true;
}

void TfrmMain::edtNaisenEnter() {
    const int n = FieldNumber(m_edtNaisen);
    m_edtNaisen->setText(n == 0 ? QString() : QString::number(n));
    sw::app::SetFieldFocusLook(m_edtNaisen, true);
    m_edtNaisen->setSelection(0, 2);
}

void TfrmMain::edtNaisenExit() {
    sw::app::SetFieldFocusLook(m_edtNaisen, false);
    const int n = FieldNumber(m_edtNaisen);
    // Leaving the field does not switch the entry; the next ApplyEntryNumber does.
    m_edtNaisen->setText(n >= 0 && n <= 99 ? TwoDigits(n) : QString::number(n));
}

void TfrmMain::edtNaisenClick() {
    if (m_ws.editor.KeyEditorOpen) CloseKeyEditor();
    m_edtNaisen->setSelection(0, 2);
}

void TfrmMain::edtNameEnter() {
    if (!ApplyEntryNumber()) return;
    sw::app::SetFieldFocusLook(m_edtName, true);
    m_edtName->setCursorPosition(0);
    m_edtName->deselect();
}

void TfrmMain::edtNameExit() {
    sw::app::SetFieldFocusLook(m_edtName, false);
    StoreEntryName();
}

void TfrmMain::edtNameClick() {
    if (m_ws.editor.KeyEditorOpen) CloseKeyEditor();
    m_edtName->deselect();
    m_edtName->setCursorPosition(0);
}

void TfrmMain::StoreEntryName() {
    StoreFieldText(m_ws.labelSet.Entries[m_ws.editor.CurrentEntry].Name, m_edtName->text());
}

void TfrmMain::tabPageChange(int index) {
    sw::model::EditorState& e = m_ws.editor;
    e.CurrentFace = index + 1;
    // The open editor stores its text into EditFace, still the face that was shown.
    if (e.KeyEditorOpen) CloseKeyEditor();
    e.EditFace = e.CurrentFace;
    SetPanelLook(e.CurrentKeyPos, PanelLook::Normal);
    ShowEntry();
    ShowFace();
    e.CurrentKeyPos = 7;  // position 07 in both models
    ShowCurrentKey();
    UpdateFaceCopyButtons();
}

void TfrmMain::RadioButton11Click(int model) {
    sw::model::EditorState& e = m_ws.editor;
    if (e.KeyEditorOpen) CloseKeyEditor();
    SetPanelLook(e.CurrentKeyPos, PanelLook::Normal);
    std::int32_t& stored = m_ws.labelSet.Entries[e.CurrentEntry].ButtonModel;
    if (model != stored) {
        stored = model;
        ShowEntry();
        ShowFace();
    }
    ShowCurrentKey();
}

void TfrmMain::ShowResetLabelSet() {
    m_programChange = true;
    m_tabPage->setCurrentIndex(0);
    m_programChange = false;
    UpdateFaceCopyButtons();
    ShowEntry();
    for (int k = 1; k <= sw::model::kKeyCount; ++k) ShowKeyCleared(k);
    UpdateEditCommandStates();
    ShowCurrentKey();
}

void TfrmMain::ShowLoadedLabelSet() {
    m_programChange = true;
    m_tabPage->setCurrentIndex(0);
    m_programChange = false;
    UpdateFaceCopyButtons();
    ShowEntry();
    ShowFace();
    UpdateEditCommandStates();
    ShowCurrentKey();
}

void TfrmMain::PerformRefresh(const sw::model::Refresh& refresh) {
    if (refresh.entry) ShowEntry();
    if (refresh.face) ShowFace();
    for (int position : refresh.positions) ShowKey(position);
    if (refresh.currentKey) ShowCurrentKey();
    UpdateEditCommandStates();
}

}  // namespace sw::editor
