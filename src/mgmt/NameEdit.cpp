// A management-name field that keeps to CP932 and to its byte limit.
#include "mgmt/NameEdit.h"

#include <QApplication>
#include <QFocusEvent>
#include <limits>

#include "dialogs/DialogSupport.h"
#include "model/Cp932.h"

namespace sw::mgmt {
namespace {

// Characters CP932 cannot hold (for a name from a file: the bytes that were not CP932).
int UnstorableCount(const QString& text) {
    // One conversion answers for the usual name; only a name that does not convert is
    // looked at character by character (ASCII always converts), so a name of a megabyte
    // costs milliseconds, not a conversion per character.
    if (sw::model::FitsCp932(text)) return 0;
    int count = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i].unicode() < 0x80) continue;
        qsizetype n = (text[i].isHighSurrogate() && i + 1 < text.size()) ? 2 : 1;
        if (!sw::model::FitsCp932(text.mid(i, n))) ++count;
        i += n - 1;
    }
    return count;
}

// CP932 bytes of the text; one conversion for text that converts whole.
int ByteLength(const QString& text) {
    sw::model::EncodeResult whole = sw::model::EncodeCp932(text);
    return whole.ok() ? static_cast<int>(whole.bytes.size()) : sw::model::Cp932Length(text);
}

bool IsLineBreak(QChar c) {
    return c == u'\r' || c == u'\n' || c == QChar::LineSeparator || c == QChar::ParagraphSeparator;
}

}  // namespace

QValidator::State Cp932NameValidator::validate(QString& input, int& pos) const {
    for (qsizetype i = input.size() - 1; i >= 0; --i) {
        if (!IsLineBreak(input[i])) continue;
        input.remove(i, 1);
        if (pos > i) --pos;
    }
    if (UnstorableCount(input) > m_previousUnstorable) {
        QApplication::beep();
        return Invalid;
    }
    if (m_byteLimit > 0) {
        const int bytes = ByteLength(input);
        if (bytes > m_byteLimit && bytes > m_previousBytes) {
            QApplication::beep();
            return Invalid;
        }
    }
    return Acceptable;
}

void Cp932NameValidator::SetPrevious(const QString& text) {
    // Only a field with a byte limit needs the count.
    m_previousBytes = m_byteLimit > 0 ? ByteLength(text) : 0;
    m_previousUnstorable = UnstorableCount(text);
}

NameEdit::NameEdit(QWidget* parent) : QLineEdit(parent), m_validator(new Cp932NameValidator(this)) {
    // Not the line edit's default of 32,767 characters: that would cut a longer stored name
    // as it is shown, and 登録完了 would store the cut one.
    setMaxLength(std::numeric_limits<int>::max());
    setValidator(m_validator);
    // Every accepted edit becomes the text the next edit is measured against.
    connect(this, &QLineEdit::textChanged, this,
            [this](const QString& text) { m_validator->SetPrevious(text); });
}

void NameEdit::SetByteLimit(int bytes) {
    m_validator->SetByteLimit(bytes);
    m_validator->SetPrevious(text());
}

void NameEdit::SetName(const QString& text) {
    m_validator->SetPrevious(text);
    setText(text);
}

void NameEdit::PlaceCaret() {
    // The name is selected, so that what is typed or committed by an input method replaces
    // it, as in any field; in a field with a byte limit only the part within the limit.
    const int limit = ByteLimit();
    const QString t = text();
    int chars = static_cast<int>(t.size());
    if (limit > 0) {
        chars = 0;
        int bytes = 0;
        while (chars < t.size()) {
            const int n = sw::model::Cp932Length(t.mid(chars, 1));
            if (bytes + n > limit) break;
            bytes += n;
            ++chars;
        }
    }
    if (chars > 0)
        setSelection(chars, -chars);  // selected from the start, caret at the start
    else {
        deselect();
        setCursorPosition(0);
    }
}

void NameEdit::focusInEvent(QFocusEvent* event) {
    QLineEdit::focusInEvent(event);
    if (m_entered) return;  // back from another window or a context menu
    m_entered = true;
    sw::app::SetFieldFocusLook(this, true);
    PlaceCaret();
}

void NameEdit::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    // Focus that only leaves for another window or a context menu (which may paste over
    // the selection) and comes back does not leave the field.
    if (event->reason() == Qt::ActiveWindowFocusReason || event->reason() == Qt::PopupFocusReason)
        return;
    m_entered = false;
    sw::app::SetFieldFocusLook(this, false);
}

}  // namespace sw::mgmt
