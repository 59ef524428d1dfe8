// Key panel bevels, caption clicks and the in-place editor's set-up.
#include "editor/KeyWidgets.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QTextCursor>
#include <QTextDocument>
#include <QToolTip>
#include <vector>

#include "editor/VisualLines.h"
#include "model/Cp932.h"

namespace sw::editor {

namespace {
const QColor kShadow(128, 128, 128);     // clBtnShadow
const QColor kHighlight(255, 255, 255);  // clBtnHighlight
const QColor kOverflowMark(220, 0, 0);
constexpr int kOverflowMarkSize = 7;

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

void KeyMemo::keyPressEvent(QKeyEvent* event) {
    // A typed character (not a control key) that CP932 can hold but the key cannot take.
    const QString text = event->text();
    const bool typed = !text.isEmpty() && (text.at(0).isPrint() || text.at(0).isSurrogate());
    const QString kept = typed ? KeepCp932(text) : QString();
    const bool leftOut = !kept.isEmpty() && !AcceptsInsert(kept);
    Cp932PlainTextEdit::keyPressEvent(event);
    if (leftOut) TellLeftOut(kept, false);
}

void KeyMemo::inputMethodEvent(QInputMethodEvent* event) {
    const QString commit = event->commitString();
    const QString kept = KeepCp932(commit);
    if (kept.isEmpty() || AcceptsInsert(kept)) {
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
    if (VisualLines(after, font(), EditorTextWidth(*this), wordWrapMode(), kMaxLines + 1).size() <= kMaxLines)
        return true;
    // A key that holds more than it can show may lose characters, but gains no line.
    return after.size() < before.size() && after.count(u'\n') < kMaxLines;
}

}  // namespace sw::editor
