// Typing key texts in place: the key editors, moving from key to key, storing what was
// typed when an editor loses the focus, and the window-wide keys.
#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMenuBar>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextLayout>
#include <algorithm>

#include "editor/TfrmMain.h"
#include "editor/VisualLines.h"
#include "model/Cp932.h"
#include "model/KeyFormat.h"

namespace sw::editor {

using sw::model::Bytes;
using sw::model::DecodeCp932;
using sw::model::KeyLabel;

namespace {

// True for the focus an editor seems to lose and regain while it stays the window's
// focused control: a popup opens (its own context menu, a menu of the window) or another
// window is activated. The text is not stored then, and the caret stays where it is;
// every command that acts on keys closes the editor first.
bool KeepsFocus(const QEvent* event) {
    const Qt::FocusReason reason = static_cast<const QFocusEvent*>(event)->reason();
    return reason == Qt::PopupFocusReason || reason == Qt::ActiveWindowFocusReason;
}

// Follows the focus of the key editors: entering one marks it focused, leaving it stores
// its text.
class KeyEditorFocus : public QObject {
public:
    explicit KeyEditorFocus(TfrmMain* window) : QObject(window) {}

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::FocusIn && event->type() != QEvent::FocusOut) return false;
        if (KeepsFocus(event)) return false;
        // While the window is being destroyed it is no TfrmMain any more.
        auto* window = qobject_cast<TfrmMain*>(parent());
        if (!window) return false;
        sw::model::EditorState& e = window->workspace().editor;
        if (event->type() == QEvent::FocusIn) {
            e.MemoFocused = 1;
        } else if (e.MemoFocused && watched == window->keyMemo(e.CurrentKeyPos)) {
            window->CommitKeyEditor();
        } else {
            e.MemoFocused = 0;
        }
        return false;
    }
};

// A visual line as stored bytes. A line that shows a stored line as it is keeps that
// line's bytes (bytes CP932 does not define survive); a line that cannot be encoded (it
// shows such bytes and was edited) keeps the stored line of its place.
Bytes LineBytes(const QString& text, const KeyLabel& key, const Bytes& atPlace) {
    if (DecodeCp932(key.Line1) == text) return key.Line1;
    if (DecodeCp932(key.Line2) == text) return key.Line2;
    sw::model::EncodeResult encoded = sw::model::EncodeCp932(text);
    return encoded.ok() ? std::move(encoded.bytes) : atPlace;
}

// The visual line the caret is on, counted from 0 over the whole text.
int CaretVisualLine(const QPlainTextEdit& editor) {
    const QTextCursor cursor = editor.textCursor();
    int line = 0;
    for (QTextBlock b = editor.document()->firstBlock(); b.isValid() && b != cursor.block(); b = b.next())
        line += b.layout() ? std::max(1, b.layout()->lineCount()) : 1;
    const QTextLayout* layout = cursor.block().layout();
    if (layout && layout->lineCount() > 0)
        line += std::max(0, layout->lineForTextPosition(cursor.positionInBlock()).lineNumber());
    return line;
}

// An editor shows the two lines a key holds from its top, as the key does, also when a
// large font lets the second line show only in part; only typing beyond them scrolls.
void KeepKeyLinesInView(QPlainTextEdit* editor) {
    // The editor scrolls itself with the scroll bar's signals blocked; its viewport
    // update after a scroll is what can be seen.
    QObject::connect(editor, &QPlainTextEdit::updateRequest, editor, [editor](const QRect&, int dy) {
        QScrollBar* bar = editor->verticalScrollBar();
        if (dy != 0 && bar->value() != 0 && CaretVisualLine(*editor) < 2) bar->setValue(0);
    });
}

bool IsEnter(const QKeyEvent* event) {
    return event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
}

}  // namespace

void TfrmMain::BindKeyEditing() {
    auto* focus = new KeyEditorFocus(this);
    for (int p = 1; p <= 30; ++p) {
        keyMemo(p)->installEventFilter(focus);
        KeepKeyLinesInView(keyMemo(p));
    }
    connect(this, &TfrmMain::keyDoubleClicked, this, [this](int position) {
        // The first click of the double click has selected the key already.
        if (position != m_ws.editor.CurrentKeyPos) SelectKey(position);
        if (position == m_ws.editor.CurrentKeyPos) OpenKeyEditor();
    });
}

void TfrmMain::OpenKeyEditor() {
    sw::model::EditorState& e = m_ws.editor;
    const KeyLabel* key = KeyAt(e.CurrentKeyPos);
    if (!key) return;
    KeyMemo* memo = keyMemo(e.CurrentKeyPos);
    e.KeyEditorOpen = 1;
    e.EditFace = e.CurrentFace;
    keyPanel(e.CurrentKeyPos)->hide();
    memo->clear();
    memo->setFont(KeyFont(*key));
    memo->show();
    memo->raise();
    memo->setFocus(Qt::OtherFocusReason);
    // Each non-empty line as a line of its own; setting the text also forgets the
    // editor's own undo steps of another key.
    QStringList lines;
    if (!key->Line1.empty()) lines.append(DecodeCp932(key->Line1));
    if (!key->Line2.empty()) lines.append(DecodeCp932(key->Line2));
    memo->setPlainText(lines.join(QLatin1Char('\n')));
    QTextCursor cursor = memo->textCursor();
    cursor.movePosition(QTextCursor::Start);
    memo->setTextCursor(cursor);
}

void TfrmMain::CommitKeyEditor() {
    sw::model::EditorState& e = m_ws.editor;
    e.MemoFocused = 0;
    KeyMemo* memo = keyMemo(e.CurrentKeyPos);
    const int k = e.CurrentKeyIndex();
    if (!memo || k < 1 || k > sw::model::kKeyCount || e.EditFace < 1 ||
        e.EditFace > sw::model::kFaceCount)
        return;
    const KeyLabel& key = m_ws.labelSet.Entries[e.CurrentEntry].Faces[e.EditFace].Keys[k];
    const QStringList lines = EditorVisualLines(*memo);
    const Bytes line0 = LineBytes(LineAt(lines, 0), key, key.Line1);
    const Bytes line1 = LineBytes(LineAt(lines, 1), key, key.Line2);
    PerformRefresh(sw::model::StoreKeyText(m_ws, line0, line1));
}

void TfrmMain::ParkFocusOffKeyEditor() {
    // The face area takes the focus from the editor before it is hidden; otherwise the
    // toolkit would hand the focus to whatever control follows in the tab order. Losing
    // the focus stores the editor's text.
    QWidget* focused = focusWidget();
    for (int p = 1; p <= 30; ++p) {
        if (focused == keyMemo(p)) {
            m_panel1->setFocus(Qt::OtherFocusReason);
            return;
        }
    }
}

void TfrmMain::CloseKeyEditor() {
    sw::model::EditorState& e = m_ws.editor;
    e.KeyEditorOpen = 0;
    if (KeyPanel* panel = keyPanel(e.CurrentKeyPos)) {
        panel->show();
        ParkFocusOffKeyEditor();
        keyMemo(e.CurrentKeyPos)->hide();
        SetPanelLook(e.CurrentKeyPos, PanelLook::Normal);
    }
    ShowCurrentKey();
}

void TfrmMain::MoveKeyEditor(int step) {
    sw::model::EditorState& e = m_ws.editor;
    const int from = e.CurrentKeyPos;
    if (!keyPanel(from)) return;
    ParkFocusOffKeyEditor();
    keyPanel(from)->show();
    keyMemo(from)->hide();
    SetPanelLook(from, PanelLook::Normal);
    ShowKey(from);

    int to = from + (step < 0 ? -1 : 1);
    if (to > e.LastKeyPos) to = e.FirstKeyPos;
    if (to < e.FirstKeyPos) to = e.LastKeyPos;
    e.CurrentKeyPos = to;
    ShowKey(to);
    ShowCurrentKey();
    OpenKeyEditor();
}

bool TfrmMain::FormKeyDown(QKeyEvent* event) {
    QWidget* focused = QApplication::focusWidget();
    // The menu bar walked by keyboard keeps its own keys.
    if (qobject_cast<QMenuBar*>(focused)) return false;
    sw::model::EditorState& e = m_ws.editor;
    const bool inEditor = e.MemoFocused && focused && focused == keyMemo(e.CurrentKeyPos);
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    const bool ctrlOrAlt = modifiers & (Qt::ControlModifier | Qt::AltModifier);

    if (IsEnter(event)) {
        // Enter never reaches a control; a key never gets a line break from it.
        if (ctrlOrAlt) return inEditor;
        if (inEditor)
            MoveKeyEditor(+1);
        else
            focusNextPrevChild(true);
        return true;
    }
    switch (event->key()) {
        case Qt::Key_Tab:
        case Qt::Key_Backtab:
            if (!inEditor || ctrlOrAlt) return false;
            MoveKeyEditor(event->key() == Qt::Key_Backtab || (modifiers & Qt::ShiftModifier) ? -1 : +1);
            return true;
        case Qt::Key_Up:
        case Qt::Key_Down: {
            if (modifiers & Qt::AltModifier) return false;
            const bool forward = event->key() == Qt::Key_Down;
            // The control left behind does not get the arrow as well: a box would step
            // its list (and change the key) after the focus had left it.
            if (inEditor)
                MoveKeyEditor(forward ? +1 : -1);
            else
                focusNextPrevChild(forward);
            return true;
        }
        default:
            break;
    }

    // Ctrl alone with C, X, V, U works on keys; inside a key editor they stay the
    // editor's own text commands.
    if (modifiers != Qt::ControlModifier || e.MemoFocused) return false;
    switch (event->key()) {
        case Qt::Key_C: RunEditCommand(EditCommand::KeyCopy); return true;
        case Qt::Key_X: RunEditCommand(EditCommand::KeyCut); return true;
        case Qt::Key_V:
            if (e.PasteEnabled) RunEditCommand(EditCommand::KeyPaste);
            return true;
        case Qt::Key_U:
            if (e.UndoEnabled) RunEditCommand(EditCommand::Undo);
            return true;
        default:
            return false;
    }
}

}  // namespace sw::editor
