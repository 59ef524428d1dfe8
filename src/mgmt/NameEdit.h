// A management-name field: holds only what CP932 can store, optionally at most a number of
// CP932 bytes, on one line; light blue while it has the focus.
#pragma once

#include <QLineEdit>
#include <QValidator>

namespace sw::mgmt {

// Refuses an edit that adds a character CP932 cannot hold or that makes the text longer
// than the byte limit; line breaks are taken out of typed or pasted text. The checks are
// made against the text the field held before the edit, so a name that already breaks
// them (read from a file) can still be shortened or corrected.
class Cp932NameValidator : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString& input, int& pos) const override;

    void SetByteLimit(int bytes) { m_byteLimit = bytes; }
    int ByteLimit() const { return m_byteLimit; }
    void SetPrevious(const QString& text);

private:
    int m_byteLimit = 0;  // 0: no limit
    int m_previousBytes = 0;
    int m_previousUnstorable = 0;
};

class NameEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit NameEdit(QWidget* parent = nullptr);

    // At most this many CP932 bytes can be typed; 0 for no limit.
    void SetByteLimit(int bytes);
    int ByteLimit() const { return m_validator->ByteLimit(); }

    // Shows a stored name; it counts as the field's text before the next edit.
    void SetName(const QString& text);

protected:
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    // Caret to the start; the name selected (with a byte limit: what fits into it). A click
    // afterwards puts the caret where it points, as in any field.
    void PlaceCaret();

    Cp932NameValidator* m_validator;
    bool m_entered = false;  // the field was entered and has not been left for another control
};

}  // namespace sw::mgmt
