// Text fields that refuse characters CP932 cannot hold, as they are typed, pasted or
// committed by an input method, and the helpers that store field text into the document.
#pragma once

#include <QPlainTextEdit>
#include <QValidator>

#include "model/LabelSet.h"

class QComboBox;
class QLineEdit;

namespace sw::editor {

// Validator for single-line fields: text with a character CP932 cannot hold is Invalid,
// so the line edit undoes the keystroke or paste that brought it. With stripLineBreaks
// the line breaks of pasted text are removed instead of refused.
class Cp932Validator : public QValidator {
    Q_OBJECT
public:
    explicit Cp932Validator(bool stripLineBreaks, QObject* parent = nullptr);
    State validate(QString& input, int& pos) const override;

private:
    bool m_stripLineBreaks;
};

// Puts a Cp932Validator on the field (owned by the field).
void RefuseNonCp932(QLineEdit* field, bool stripLineBreaks = false);
void RefuseNonCp932(QComboBox* box);

// Multi-line editor that refuses, with the system beep, every typed or input-method
// character CP932 cannot hold (one by one, surrogate pairs included: the rest of what was
// typed goes in), and pasted or dropped text holding such a character. Everything else
// behaves as QPlainTextEdit.
class Cp932PlainTextEdit : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit Cp932PlainTextEdit(QWidget* parent = nullptr);

    // How many pieces of input were refused so far (each with a beep).
    int refusedCount() const { return m_refused; }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    bool canInsertFromMimeData(const QMimeData* source) const override;
    void insertFromMimeData(const QMimeData* source) override;

    // Whether the text may take `inserted` in place of its selection (or at the caret).
    // Refused input beeps like CP932 text does.
    virtual bool AcceptsInsert(const QString& inserted) const;
    // Counts a refusal and beeps.
    void Refuse();

private:
    int m_refused = 0;
};

// The characters of text CP932 can hold, in order; a surrogate pair counts as one character.
QString KeepCp932(const QString& text);

// Stores shown text into a document field. The field keeps its bytes when the text is the
// one the bytes show (so bytes that are not valid CP932 survive) and when the text cannot
// be encoded. Returns true when the field changed.
bool StoreFieldText(sw::model::Bytes& field, const QString& text);

}  // namespace sw::editor
