// Typing key texts in place: the key editors, moving from key to key, storing what was
// typed when an editor loses the focus, and the window-wide keys.
#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextLayout>
#include <algorithm>
#include <memory>
#include <tuple>

#include "dialogs/Cp932Input.h"
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
// The menu bar taking the keyboard (Alt, or Escape on an open menu) is such a popup too:
// a paste chosen from there still finds the clipboard as it was.
bool KeepsFocus(const QEvent* event) {
    const Qt::FocusReason reason = static_cast<const QFocusEvent*>(event)->reason();
    return reason == Qt::PopupFocusReason || reason == Qt::ActiveWindowFocusReason ||
           reason == Qt::MenuBarFocusReason;
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

// A visual line as stored bytes; `unshown` are the bytes its U+FFFD characters stand for.
// A line that shows a stored line as it is keeps that line's bytes (a character CP932 has
// twice keeps its code); any other line is encoded, each U+FFFD as its byte again. Only a
// line that still cannot be encoded (no character the input lets in) keeps the stored line
// of its place.
Bytes LineBytes(const QString& text, const Bytes& unshown, const KeyLabel& key, const Bytes& atPlace) {
    for (const Bytes* stored : {&key.Line1, &key.Line2}) {
        Bytes storedUnshown;
        if (DecodeCp932(*stored, storedUnshown) == text && storedUnshown == unshown) return *stored;
    }
    sw::model::EncodeResult encoded = sw::model::EncodeCp932(text, unshown);
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

// Longer key texts are wrapped anywhere in the editor, not at word ends.
constexpr qsizetype kWordWrapChars = 4096;

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
    // The keyboard going on from the menu bar to another control of the window leaves the
    // editor that the menu bar held it for: its text is stored then.
    m_menuBarFocusLeft = connect(qApp, &QApplication::focusChanged, this, [this](QWidget* old, QWidget* now) {
        const sw::model::EditorState& e = m_ws.editor;
        if (!e.MemoFocused || !qobject_cast<QMenuBar*>(old) || !now || qobject_cast<QMenu*>(now)) return;
        if (now != keyMemo(e.CurrentKeyPos) && isAncestorOf(now)) CommitKeyEditor();
    });
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
    // A key of many thousand characters (a damaged file) is wrapped anywhere: looking for
    // the end of a word in a line that has none costs the whole line for every visual line,
    // minutes for a megabyte. Such a key holds far more than it can show either way.
    const QString text = EditorText(*key);
    memo->setWordWrapMode(text.size() > kWordWrapChars ? QTextOption::WrapAnywhere
                                                       : QTextOption::WrapAtWordBoundaryOrAnywhere);
    memo->show();
    memo->raise();
    memo->setFocus(Qt::OtherFocusReason);
    // Setting the text also forgets the editor's own undo steps of another key. Only what
    // is typed from here on changes the key.
    memo->SetKeyText(key->Line1, key->Line2);
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
    Bytes line0;
    Bytes line1;
    if (!TypedKeyLines(line0, line1)) {
        // Nothing typed: the key stays exactly as stored, also when the editor wraps it
        // into other lines than the stored ones.
        if (e.EditFace == e.CurrentFace) ShowKey(e.CurrentKeyPos);
        UpdateEditCommandStates();
        return;
    }
    memo->document()->setModified(false);
    const sw::model::TextStore store =
        m_storeBeforePaste ? sw::model::TextStore::BeforePaste : sw::model::TextStore::Record;
    PerformRefresh(sw::model::StoreKeyText(m_ws, line0, line1, store));
}

bool TfrmMain::TypedKeyLines(Bytes& line0, Bytes& line1) const {
    const sw::model::EditorState& e = m_ws.editor;
    const KeyMemo* memo = keyMemo(e.CurrentKeyPos);
    const int k = e.CurrentKeyIndex();
    if (!memo || !memo->document()->isModified() || k < 1 || k > sw::model::kKeyCount ||
        e.EditFace < 1 || e.EditFace > sw::model::kFaceCount)
        return false;
    const KeyLabel& key = m_ws.labelSet.Entries[e.CurrentEntry].Faces[e.EditFace].Keys[k];
    QString first;
    QString second;
    Bytes firstUnshown;
    Bytes secondUnshown;
    QList<qsizetype> starts;
    const QStringList lines = EditorVisualLines(*memo, KeyMemo::kMaxLines + 1, &starts);
    if (lines.size() <= KeyMemo::kMaxLines) {
        first = LineAt(lines, 0);
        second = LineAt(lines, 1);
        auto unshownOf = [&](int line) {
            return memo->UnshownBytes(static_cast<int>(starts[line]), static_cast<int>(lines[line].size()));
        };
        if (!first.isEmpty()) firstUnshown = unshownOf(0);
        if (!second.isEmpty()) secondUnshown = unshownOf(1);
    } else {
        // A key that held more than two lines' worth (from a file, or after a font change)
        // and was only shortened keeps its own two lines; nothing is cut off.
        const QStringList paragraphs = memo->toPlainText().split(QLatin1Char('\n'));
        first = paragraphs.value(0);
        second = paragraphs.mid(1).join(QString());
        firstUnshown = memo->UnshownBytes(0, static_cast<int>(first.size()));
        secondUnshown = memo->UnshownBytes(static_cast<int>(first.size()) + 1);
    }
    line0 = LineBytes(first, firstUnshown, key, key.Line1);
    line1 = LineBytes(second, secondUnshown, key, key.Line2);
    return true;
}

std::unique_ptr<sw::model::LabelSet> TfrmMain::DocumentAsShown() const {
    auto shown = std::make_unique<sw::model::LabelSet>(m_ws.labelSet);
    const sw::model::EditorState& e = m_ws.editor;
    Bytes line0;
    Bytes line1;
    if (TypedKeyLines(line0, line1)) {
        KeyLabel& key = shown->Entries[e.CurrentEntry].Faces[e.EditFace].Keys[e.CurrentKeyIndex()];
        std::tie(key.Line1, key.Line2) = sw::model::KeyLinesFromEditor(line0, line1);
    }
    if (e.CurrentEntry >= 1 && e.CurrentEntry <= sw::model::kEntryCount)
        StoreFieldText(shown->Entries[e.CurrentEntry].Name, m_edtName->text());
    return shown;
}

void TfrmMain::CloseKeyEditorForPaste() {
    if (!m_ws.editor.KeyEditorOpen) return;
    m_storeBeforePaste = true;
    CloseKeyEditor();
    m_storeBeforePaste = false;
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
        // An editor that lent the keyboard to a popup or the menu bar has not stored yet.
        if (e.MemoFocused) CommitKeyEditor();
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
    if (auto* bar = qobject_cast<QMenuBar*>(focused)) {
        // The menu bar walked by keyboard (after Alt, or Escape on an open menu) keeps its
        // own keys, but Ctrl+C/X/V/U give the keyboard back to the control that had it and
        // act there.
        const bool ctrlKey = (event->modifiers() & ~Qt::KeypadModifier) == Qt::ControlModifier &&
                             (event->key() == Qt::Key_C || event->key() == Qt::Key_X ||
                              event->key() == Qt::Key_V || event->key() == Qt::Key_U);
        if (!ctrlKey) return false;
        QKeyEvent leave(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QApplication::sendEvent(bar, &leave);
        QWidget* back = QApplication::focusWidget();
        if (back && back != bar) QApplication::sendEvent(back, event);
        return true;
    }
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
        case Qt::Key_Z:
            // Ctrl+Z is 元に戻す too, except in a text field with typing of its own to undo.
            // (A focused field takes the key before the menu's shortcut, so the window acts here.)
            if (auto* field = qobject_cast<QLineEdit*>(focused); field && field->isUndoAvailable())
                return false;
            [[fallthrough]];
        case Qt::Key_U:
            if (e.UndoEnabled) RunEditCommand(EditCommand::Undo);
            return true;
        default:
            return false;
    }
}

}  // namespace sw::editor
