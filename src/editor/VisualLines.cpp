// Word wrap measured with QTextLayout, the same engine the editors wrap with.
#include "editor/VisualLines.h"

#include <QPlainTextEdit>
#include <QTextDocument>
#include <QTextLayout>
#include <QWidget>

#include "editor/ScreenColors.h"

namespace sw::editor {

void PaintFieldColor(QWidget* field, sw::model::ColorRef color) {
    QPalette p = field->palette();
    p.setColor(QPalette::Base, ColorFromRef(color));
    field->setPalette(p);
}

QStringList VisualLines(const QString& text, const QFont& font, qreal width,
                        QTextOption::WrapMode wrapMode) {
    QStringList lines;
    QTextOption option;
    option.setWrapMode(wrapMode);
    const QStringList paragraphs = text.split(u'\n');
    for (const QString& paragraph : paragraphs) {
        if (paragraph.isEmpty()) {
            lines.append(QString());
            continue;
        }
        QTextLayout layout(paragraph, font);
        layout.setTextOption(option);
        layout.beginLayout();
        for (;;) {
            QTextLine line = layout.createLine();
            if (!line.isValid()) break;
            line.setLineWidth(width);
            lines.append(paragraph.mid(line.textStart(), line.textLength()));
        }
        layout.endLayout();
    }
    return lines;
}

qreal EditorTextWidth(const QPlainTextEdit& editor) {
    return editor.contentsRect().width() - 2 * editor.document()->documentMargin();
}

QStringList EditorVisualLines(const QPlainTextEdit& editor) {
    return VisualLines(editor.toPlainText(), editor.font(), EditorTextWidth(editor),
                       editor.wordWrapMode());
}

}  // namespace sw::editor
