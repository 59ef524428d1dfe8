// The widgets of one key position: the bevelled key panel, its caption label and its
// hidden in-place text editor.
#pragma once

#include <QLabel>
#include <QWidget>

#include "dialogs/Cp932Input.h"

namespace sw::editor {

// Initial: as created, until first selected and left (inner bevel lowered).
// Normal: selected once and left (outer bevel lowered).
// Selected: the current key position (outer bevel raised, inner bevel lowered).
enum class PanelLook { Initial, Normal, Selected };

// A key panel: filled with the key's background colour, framed by its bevels.
class KeyPanel : public QWidget {
    Q_OBJECT
public:
    explicit KeyPanel(QWidget* parent = nullptr);

    void setLook(PanelLook look);
    PanelLook look() const { return m_look; }
    void setColor(const QColor& color);
    QColor color() const { return m_color; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    PanelLook m_look = PanelLook::Initial;
    QColor m_color = Qt::white;
};

// A label that reports clicks and double clicks (the caption of a key, which selects it).
// A key whose text does not fit shows a small red triangle in its top right corner.
// For a screen reader it is a button named after the key ("キー 07、内線 / 営業"), selected
// while its key is the current one; pressing it opens the key for typing, as a double
// click does.
class CaptionLabel : public QLabel {
    Q_OBJECT
public:
    explicit CaptionLabel(QWidget* parent = nullptr);

    void setOverflowMark(bool shown);
    bool overflowMark() const { return m_overflow; }
    // True while the key panel it lies on shows the selected look.
    bool isCurrentKey() const;
    // What a double click does: the key selected, then opened for typing.
    void activate();

signals:
    void clicked();
    void doubleClicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    bool m_pressed = false;
    bool m_overflow = false;
};

// The in-place editor of a key: word wrap at its width, no scroll bars, CP932 only, and
// at most two visual lines: typing or pasting that would need a third line is refused with
// a beep, like a field at its maximum length, and a tooltip at the caret says what was
// left out (most desktops make no sound). Of a longer input-method commit what fits goes
// in. A key that holds more already (from a file, or after a font change) can still lose
// characters.
class KeyMemo : public Cp932PlainTextEdit {
    Q_OBJECT
public:
    static constexpr int kMaxLines = 2;
    explicit KeyMemo(QWidget* parent = nullptr);

    // Shows a key's lines, each non-empty one as a line of its own, with the editor's own
    // undo emptied and the text unmodified. A byte CP932 does not define (from a file) shows
    // as U+FFFD and that character carries the byte with it, through typing around it,
    // deleting and the editor's own undo, so that the line is stored with it again.
    void SetKeyText(const sw::model::Bytes& line1, const sw::model::Bytes& line2);
    // The bytes the U+FFFD characters in the text from `from` on (`length` characters, -1
    // to the end) stand for, in order. The input refuses U+FFFD, so every one has its byte.
    sw::model::Bytes UnshownBytes(int from, int length = -1) const;
    // Shown as a tooltip when typing or deleting beside such a byte is refused because the
    // byte and a neighbour would be stored as another character.
    static QString UnshownByteRefusal();

protected:
    bool AcceptsInsert(const QString& inserted) const override;
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void insertFromMimeData(const QMimeData* source) override;

private:
    // Whether `after` (the text with the characters from removedFrom to removedTo replaced)
    // still shows every byte CP932 does not define as it is; if not, says why in a tooltip.
    bool KeepsUnshownBytes(const QString& after, int removedFrom, int removedTo) const;
    // True when `inserted` at the caret would join such a byte to a neighbour (no tooltip).
    bool BreaksUnshownBytes(const QString& inserted) const;
    // A key that is not a deleting one: typed as usual, with the tooltip when what it types
    // does not fit.
    void TypeKey(QKeyEvent* event);
    // The tooltip that says the refused text did not fit.
    void TellLeftOut(const QString& refused, bool pasted);
};

}  // namespace sw::editor
