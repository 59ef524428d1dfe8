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

Cp932PlainTextEdit::Cp932PlainTextEdit(QWidget* parent) : QPlainTextEdit(parent) {}

void Cp932PlainTextEdit::keyPressEvent(QKeyEvent* event) {
    const QString text = event->text();
    if (!text.isEmpty() && text.at(0).isPrint() && !FitsCp932(text)) {
        ++m_refused;
        event->accept();
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

void Cp932PlainTextEdit::inputMethodEvent(QInputMethodEvent* event) {
    if (event->commitString().isEmpty() || FitsCp932(event->commitString())) {
        QPlainTextEdit::inputMethodEvent(event);
        return;
    }
    // Keep the composition state, drop the text that cannot be stored.
    ++m_refused;
    QInputMethodEvent filtered(event->preeditString(), event->attributes());
    QPlainTextEdit::inputMethodEvent(&filtered);
    event->accept();
}

bool Cp932PlainTextEdit::canInsertFromMimeData(const QMimeData* source) const {
    return source->hasText() && FitsCp932(source->text());
}

void Cp932PlainTextEdit::insertFromMimeData(const QMimeData* source) {
    if (!source->hasText() || !FitsCp932(source->text())) {
        ++m_refused;
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
