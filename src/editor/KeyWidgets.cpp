// Key panel bevels, caption clicks and the in-place editor's set-up.
#include "editor/KeyWidgets.h"

#include <QMouseEvent>
#include <QPainter>
#include <QTextCursor>
#include <QTextDocument>

#include "editor/VisualLines.h"

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
}  // namespace

KeyPanel::KeyPanel(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void KeyPanel::setLook(PanelLook look) {
    if (m_look == look) return;
    m_look = look;
    update();
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
