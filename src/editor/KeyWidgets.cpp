// Key panel bevels, caption clicks and the in-place editor's set-up.
#include "editor/KeyWidgets.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QToolTip>
#include <climits>
#include <vector>

#include "editor/VisualLines.h"
#include "model/Cp932.h"

namespace sw::editor {

namespace {
const QColor kShadow(128, 128, 128);     // clBtnShadow
const QColor kHighlight(255, 255, 255);  // clBtnHighlight
const QColor kOverflowMark(220, 0, 0);
constexpr QChar kUnshownMark(0xFFFD);
// The character format property of a U+FFFD that holds the byte it shows.
constexpr int kUnshownByteProperty = QTextFormat::UserProperty + 1;
constexpr int kOverflowMarkSize = 7;

// Whether text, each U+FFFD standing for the next of `unshown`, is stored as bytes that show
// the same again. A byte that CP932 does not define as a character by itself may begin one
// of two bytes: next to the byte of a typed character it would become another character.
bool ShowsAgain(const QString& text, const sw::model::Bytes& unshown) {
    if (unshown.empty()) return true;
    size_t used = 0;
    for (const QString& paragraph : text.split(u'\n')) {
        const auto marks = static_cast<size_t>(paragraph.count(kUnshownMark));
        if (marks == 0) continue;
        const std::string_view bytes = std::string_view(unshown).substr(used, marks);
        used += marks;
        const sw::model::EncodeResult encoded = sw::model::EncodeCp932(paragraph, bytes);
        if (!encoded.ok()) return false;
        sw::model::Bytes back;
        if (sw::model::DecodeCp932(encoded.bytes, back) != paragraph || back != bytes) return false;
    }
    return true;
}

// One bevel ring along the inside of rect.
void DrawBevel(QPainter& p, const QRect& rect, bool raised) {
    const QColor& topLeft = raised ? kHighlight : kShadow;
    const QColor& bottomRight = raised ? kShadow : kHighlight;
    p.setPen(topLeft);
    p.drawLine(rect.topLeft(), rect.topRight());
    p.drawLine(rect.topLeft(), rect.bottomLeft());
    p.setPen(bottomRight);
    p.drawLine(rect.bottomLeft(), rect.bottomRight());
    p.drawLine(rect.topRight(), rect.bottomRight());
}
// A key as a screen reader sees it.
class KeyAccessible : public QAccessibleWidget {
public:
    explicit KeyAccessible(CaptionLabel* caption) : QAccessibleWidget(caption, QAccessible::Button) {}

    QAccessible::State state() const override {
        QAccessible::State state = QAccessibleWidget::state();
        state.selectable = true;
        state.selected = static_cast<const CaptionLabel*>(widget())->isCurrentKey();
        return state;
    }
    QStringList actionNames() const override { return {pressAction()}; }
    void doAction(const QString& name) override {
        if (name == pressAction()) static_cast<CaptionLabel*>(widget())->activate();
    }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }
};

QAccessibleInterface* KeyAccessibleFactory(const QString& className, QObject* object) {
    if (className != QLatin1String("sw::editor::CaptionLabel") || !object || !object->isWidgetType())
        return nullptr;
    return new KeyAccessible(static_cast<CaptionLabel*>(object));
}

}  // namespace

KeyPanel::KeyPanel(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void KeyPanel::setLook(PanelLook look) {
    if (m_look == look) return;
    const bool wasSelected = m_look == PanelLook::Selected;
    m_look = look;
    update();
    if (wasSelected != (look == PanelLook::Selected) && QAccessible::isActive()) {
        for (CaptionLabel* caption : findChildren<CaptionLabel*>(Qt::FindDirectChildrenOnly)) {
            QAccessible::State changed;
            changed.selected = true;
            QAccessibleStateChangeEvent event(caption, changed);
            QAccessible::updateAccessibility(&event);
        }
    }
}

void KeyPanel::setColor(const QColor& color) {
    if (m_color == color) return;
    m_color = color;
    update();
}

void KeyPanel::paintEvent(QPaintEvent*) {
    QPainter p(this);
    QRect r = rect();
    p.fillRect(r, m_color);
    switch (m_look) {
        case PanelLook::Initial:  // inner lowered, no outer bevel: the ring lies at the edge
        case PanelLook::Normal:   // outer lowered, no inner bevel
            DrawBevel(p, r, false);
            break;
        case PanelLook::Selected:
            DrawBevel(p, r, true);
            DrawBevel(p, r.adjusted(1, 1, -1, -1), false);
            break;
    }
}

CaptionLabel::CaptionLabel(QWidget* parent) : QLabel(parent) {
    static const bool kFactoryInstalled = [] {
        QAccessible::installFactory(KeyAccessibleFactory);
        return true;
    }();
    Q_UNUSED(kFactoryInstalled);
    setTextFormat(Qt::PlainText);
    setWordWrap(false);
    setAutoFillBackground(false);
    setAttribute(Qt::WA_TranslucentBackground);
}

void CaptionLabel::setOverflowMark(bool shown) {
    if (m_overflow == shown) return;
    m_overflow = shown;
    update();
}

void CaptionLabel::paintEvent(QPaintEvent* event) {
    QLabel::paintEvent(event);
    if (!m_overflow) return;
    QPainter p(this);
    p.setPen(Qt::NoPen);
    p.setBrush(kOverflowMark);
    const int right = width();
    const QPoint corner[] = {QPoint(right - kOverflowMarkSize, 0), QPoint(right, 0),
                             QPoint(right, kOverflowMarkSize)};
    p.drawPolygon(corner, 3);
}

bool CaptionLabel::isCurrentKey() const {
    const auto* panel = qobject_cast<const KeyPanel*>(parentWidget());
    return panel && panel->look() == PanelLook::Selected;
}

void CaptionLabel::activate() {
    emit clicked();
    emit doubleClicked();
}

void CaptionLabel::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) m_pressed = true;
    event->accept();
}

void CaptionLabel::mouseReleaseEvent(QMouseEvent* event) {
    bool wasPressed = m_pressed;
    m_pressed = false;
    event->accept();
    if (wasPressed && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
}

void CaptionLabel::mouseDoubleClickEvent(QMouseEvent* event) {
    event->accept();
    if (event->button() == Qt::LeftButton) emit doubleClicked();
}

KeyMemo::KeyMemo(QWidget* parent) : Cp932PlainTextEdit(parent) {
    setFrameShape(QFrame::Box);
    setLineWidth(1);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    setTabChangesFocus(true);
    document()->setDocumentMargin(1);
    setAttribute(Qt::WA_InputMethodEnabled, true);
}

void KeyMemo::SetKeyText(const sw::model::Bytes& line1, const sw::model::Bytes& line2) {
    sw::model::Bytes unshown;
    QStringList lines;
    if (!line1.empty()) lines.append(sw::model::DecodeCp932(line1, unshown));
    if (!line2.empty()) lines.append(sw::model::DecodeCp932(line2, unshown));
    const QString text = lines.join(QLatin1Char('\n'));
    setPlainText(text);
    if (!unshown.empty()) {
        // Marked in one edit block (laid out once) and without an undo step of its own:
        // the editor's undo starts from the key as stored. A plain text position is the
        // document position, blocks being one "\n" apart.
        document()->setUndoRedoEnabled(false);
        QTextCursor cursor(document());
        cursor.beginEditBlock();
        size_t next = 0;
        for (qsizetype i = text.indexOf(kUnshownMark); i >= 0 && next < unshown.size();
             i = text.indexOf(kUnshownMark, i + 1)) {
            QTextCharFormat format;
            format.setProperty(kUnshownByteProperty, static_cast<unsigned char>(unshown[next++]));
            cursor.setPosition(static_cast<int>(i));
            cursor.setPosition(static_cast<int>(i) + 1, QTextCursor::KeepAnchor);
            cursor.mergeCharFormat(format);
        }
        cursor.endEditBlock();
        document()->setUndoRedoEnabled(true);
    }
    document()->setModified(false);
}

sw::model::Bytes KeyMemo::UnshownBytes(int from, int length) const {
    const int to = length < 0 ? INT_MAX : from + length;
    sw::model::Bytes bytes;
    for (QTextBlock block = document()->firstBlock(); block.isValid() && block.position() < to;
         block = block.next()) {
        if (block.position() + block.length() <= from) continue;
        for (QTextBlock::iterator it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const QString text = fragment.text();
            const QVariant byte = fragment.charFormat().property(kUnshownByteProperty);
            for (qsizetype i = text.indexOf(kUnshownMark); i >= 0; i = text.indexOf(kUnshownMark, i + 1)) {
                const int at = fragment.position() + static_cast<int>(i);
                if (at >= from && at < to && byte.isValid()) bytes.push_back(static_cast<char>(byte.toInt()));
            }
        }
    }
    return bytes;
}

void KeyMemo::TypeKey(QKeyEvent* event) {
    // A typed character (not a control key) that CP932 can hold but the key cannot take.
    const QString text = event->text();
    const bool typed = !text.isEmpty() && (text.at(0).isPrint() || text.at(0).isSurrogate());
    const QString kept = typed ? KeepCp932(text) : QString();
    const bool leftOut = !kept.isEmpty() && !BreaksUnshownBytes(kept) && !AcceptsInsert(kept);
    Cp932PlainTextEdit::keyPressEvent(event);
    if (leftOut) TellLeftOut(kept, false);
}

void KeyMemo::inputMethodEvent(QInputMethodEvent* event) {
    const QString commit = event->commitString();
    const QString kept = KeepCp932(commit);
    // Refused beside a byte that cannot be shown: the editor says why itself.
    if (kept.isEmpty() || BreaksUnshownBytes(kept) || AcceptsInsert(kept)) {
        Cp932PlainTextEdit::inputMethodEvent(event);
        return;
    }
    // The longest start of the commit that still fits two lines, found by halving over
    // whole characters (a surrogate pair is never split).
    std::vector<qsizetype> ends;  // possible lengths of the part that goes in
    for (qsizetype i = 0; i < commit.size(); ++i)
        if (!(commit[i].isLowSurrogate() && i > 0 && commit[i - 1].isHighSurrogate())) ends.push_back(i);
    ends.push_back(commit.size());
    size_t fits = 0;                 // ends[fits] is known to fit (nothing always does)
    size_t refused = ends.size() - 1;  // ends[refused] is known not to
    while (refused - fits > 1) {
        const size_t middle = fits + (refused - fits) / 2;
        if (AcceptsInsert(KeepCp932(commit.left(ends[middle]))))
            fits = middle;
        else
            refused = middle;
    }
    const qsizetype length = ends[fits];
    QInputMethodEvent part(event->preeditString(), event->attributes());
    part.setCommitString(commit.left(length), event->replacementStart(), event->replacementLength());
    Cp932PlainTextEdit::inputMethodEvent(&part);
    Refuse();
    TellLeftOut(KeepCp932(commit.mid(length)), false);
    event->accept();
}

void KeyMemo::insertFromMimeData(const QMimeData* source) {
    const int refusedBefore = refusedCount();
    Cp932PlainTextEdit::insertFromMimeData(source);
    // Text CP932 cannot hold is refused for another reason; what is left is the key's size.
    if (refusedCount() > refusedBefore && source->hasText() && sw::model::FitsCp932(source->text()))
        TellLeftOut(source->text(), true);
}

void KeyMemo::TellLeftOut(const QString& refused, bool pasted) {
    constexpr qsizetype kShownChars = 20;
    QString shown = refused.simplified();
    if (shown.size() > kShownChars) shown = shown.left(kShownChars) + QStringLiteral("…");
    const QString text =
        pasted ? QStringLiteral("キーに入るのは２行までです。貼り付ける文字が入りきらないため、貼り付けませんでした。")
               : QStringLiteral("キーに入るのは２行までです。入りきらない「%1」は入力されませんでした。").arg(shown);
    QToolTip::showText(viewport()->mapToGlobal(cursorRect().bottomLeft()), text, this, QRect(), 5000);
}

bool KeyMemo::AcceptsInsert(const QString& inserted) const {
    const QString before = toPlainText();
    const QTextCursor cursor = textCursor();
    QString typed = inserted;
    typed.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    typed.replace(u'\r', u'\n');
    typed.replace(QChar::ParagraphSeparator, u'\n');
    const QString after = before.left(cursor.selectionStart()) + typed + before.mid(cursor.selectionEnd());
    if (!KeepsUnshownBytes(after, cursor.selectionStart(), cursor.selectionEnd())) return false;
    if (VisualLines(after, font(), EditorTextWidth(*this), wordWrapMode(), kMaxLines + 1).size() <= kMaxLines)
        return true;
    // A key that holds more than it can show may lose characters, but gains no line.
    return after.size() < before.size() && after.count(u'\n') < kMaxLines;
}

bool KeyMemo::BreaksUnshownBytes(const QString& inserted) const {
    const QString before = toPlainText();
    const QTextCursor cursor = textCursor();
    const QString after = before.left(cursor.selectionStart()) + inserted + before.mid(cursor.selectionEnd());
    return !ShowsAgain(after, UnshownBytes(0, cursor.selectionStart()) + UnshownBytes(cursor.selectionEnd()));
}

bool KeyMemo::KeepsUnshownBytes(const QString& after, int removedFrom, int removedTo) const {
    if (ShowsAgain(after, UnshownBytes(0, removedFrom) + UnshownBytes(removedTo))) return true;
    QToolTip::showText(viewport()->mapToGlobal(cursorRect().bottomLeft()), UnshownByteRefusal(), viewport());
    return false;
}

QString KeyMemo::UnshownByteRefusal() {
    return QStringLiteral("表示できないバイト（\uFFFD）が隣の文字とつながって別の文字になるため、"
                          "ここはこのように変えられません。");
}

void KeyMemo::keyPressEvent(QKeyEvent* event) {
    // The keys that delete: what would be left is checked like typed text.
    const bool backspace = event->key() == Qt::Key_Backspace && !(event->modifiers() & ~Qt::ShiftModifier);
    QTextCursor::MoveOperation extent = QTextCursor::NoMove;
    if (backspace) extent = QTextCursor::PreviousCharacter;
    else if (event->matches(QKeySequence::Delete)) extent = QTextCursor::NextCharacter;
    else if (event->matches(QKeySequence::DeleteStartOfWord)) extent = QTextCursor::PreviousWord;
    else if (event->matches(QKeySequence::DeleteEndOfWord)) extent = QTextCursor::NextWord;
    else if (event->matches(QKeySequence::DeleteEndOfLine)) extent = QTextCursor::EndOfBlock;
    const bool cut = event->matches(QKeySequence::Cut) && !isReadOnly();
    if (extent != QTextCursor::NoMove || cut) {
        QTextCursor removed = textCursor();
        if (!removed.hasSelection() && !cut) removed.movePosition(extent, QTextCursor::KeepAnchor);
        if (removed.hasSelection()) {
            const QString before = toPlainText();
            const int from = removed.selectionStart();
            const int to = removed.selectionEnd();
            if (!KeepsUnshownBytes(before.left(from) + before.mid(to), from, to)) {
                Refuse();
                event->accept();
                return;
            }
        }
    }
    TypeKey(event);
}

}  // namespace sw::editor
