// Key panel bevels, caption clicks and the in-place editor's set-up.
#include "editor/KeyWidgets.h"

#include <QMouseEvent>
#include <QPainter>
#include <QTextDocument>

namespace sw::editor {

namespace {
const QColor kShadow(128, 128, 128);     // clBtnShadow
const QColor kHighlight(255, 255, 255);  // clBtnHighlight

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

}  // namespace sw::editor
