// CP932 checks on text fields and the store of field text into the document.
#include "dialogs/Cp932Input.h"

#include <QApplication>
#include <QComboBox>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMimeData>

#include "model/Cp932.h"

namespace sw::editor {

using sw::model::FitsCp932;

Cp932Validator::Cp932Validator(bool stripLineBreaks, QObject* parent)
    : QValidator(parent), m_stripLineBreaks(stripLineBreaks) {}

QValidator::State Cp932Validator::validate(QString& input, int& pos) const {
    if (m_stripLineBreaks) {
        QString stripped;
        stripped.reserve(input.size());
        int newPos = pos;
        for (qsizetype i = 0; i < input.size(); ++i) {
            QChar c = input[i];
            if (c == u'\n' || c == u'\r' || c == QChar::LineSeparator ||
                c == QChar::ParagraphSeparator) {
                if (i < pos) --newPos;
                continue;
            }
            stripped.append(c);
        }
        input = stripped;
        pos = newPos;
    }
    return FitsCp932(input) ? Acceptable : Invalid;
}

void RefuseNonCp932(QLineEdit* field, bool stripLineBreaks) {
    field->setValidator(new Cp932Validator(stripLineBreaks, field));
}

void RefuseNonCp932(QComboBox* box) { box->setValidator(new Cp932Validator(true, box)); }

QString KeepCp932(const QString& text) {
    if (FitsCp932(text)) return text;
    QString kept;
    kept.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const qsizetype length =
            text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate() ? 2 : 1;
        const QString character = text.mid(i, length);
        if (FitsCp932(character)) kept += character;
        i += length - 1;
    }
    return kept;
}

Cp932PlainTextEdit::Cp932PlainTextEdit(QWidget* parent) : QPlainTextEdit(parent) {}

void Cp932PlainTextEdit::Refuse() {
    ++m_refused;
    QApplication::beep();
}

bool Cp932PlainTextEdit::AcceptsInsert(const QString&) const { return true; }

void Cp932PlainTextEdit::keyPressEvent(QKeyEvent* event) {
    const QString text = event->text();
    // Typed characters (a surrogate pair's first half is no printable character by itself);
    // control keys such as Backspace carry control characters and pass.
    if (text.isEmpty() || !(text.at(0).isPrint() || text.at(0).isSurrogate())) {
        QPlainTextEdit::keyPressEvent(event);
        return;
    }
    const QString kept = KeepCp932(text);
    if (kept.size() != text.size()) Refuse();
    if (kept.isEmpty() || !AcceptsInsert(kept)) {
        if (!kept.isEmpty()) Refuse();
        event->accept();
        return;
    }
    if (kept == text) {
        QPlainTextEdit::keyPressEvent(event);
        return;
    }
    QKeyEvent filtered(event->type(), event->key(), event->modifiers(), kept, event->isAutoRepeat(),
                       static_cast<quint16>(event->count()));
    QPlainTextEdit::keyPressEvent(&filtered);
    event->accept();
}

void Cp932PlainTextEdit::inputMethodEvent(QInputMethodEvent* event) {
    const QString commit = event->commitString();
    const QString kept = KeepCp932(commit);
    if (kept.size() != commit.size()) Refuse();
    const bool acceptable = kept.isEmpty() || AcceptsInsert(kept);
    if (!acceptable) Refuse();
    if (kept == commit && acceptable) {
        QPlainTextEdit::inputMethodEvent(event);
        return;
    }
    // Keep the composition state; what the key cannot hold does not go in.
    QInputMethodEvent filtered(event->preeditString(), event->attributes());
    if (acceptable)
        filtered.setCommitString(kept, event->replacementStart(), event->replacementLength());
    QPlainTextEdit::inputMethodEvent(&filtered);
    event->accept();
}

bool Cp932PlainTextEdit::canInsertFromMimeData(const QMimeData* source) const {
    return source->hasText() && FitsCp932(source->text());
}

void Cp932PlainTextEdit::insertFromMimeData(const QMimeData* source) {
    if (!source->hasText() || !FitsCp932(source->text()) || !AcceptsInsert(source->text())) {
        Refuse();
        return;
    }
    QPlainTextEdit::insertFromMimeData(source);
}

bool StoreFieldText(sw::model::Bytes& field, const QString& text) {
    if (sw::model::DecodeCp932(field) == text) return false;
    sw::model::EncodeResult encoded = sw::model::EncodeCp932(text);
    if (!encoded.ok() || encoded.bytes == field) return false;
    field = std::move(encoded.bytes);
    return true;
}

}  // namespace sw::editor
