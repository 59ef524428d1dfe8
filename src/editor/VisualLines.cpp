// Word wrap measured with QTextLayout, the same engine the editors wrap with.
#include "editor/VisualLines.h"

#include <QPlainTextEdit>
#include <QTextDocument>
#include <QTextLayout>
#include <QWidget>

namespace sw::editor {

namespace {
// No line of a key can hold this many characters at any size the screen shows.
constexpr qsizetype kMeasuredCharsPerLine = 512;
}  // namespace

QStringList VisualLines(const QString& text, const QFont& font, qreal width,
                        QTextOption::WrapMode wrapMode, int maxLines, QList<qsizetype>* starts) {
    QStringList lines;
    if (starts) starts->clear();
    qsizetype paragraphStart = 0;
    QTextOption option;
    option.setWrapMode(wrapMode);
    auto full = [&] { return maxLines > 0 && lines.size() >= maxLines; };
    const QStringList paragraphs = text.split(u'\n');
    for (const QString& paragraph : paragraphs) {
        if (full()) break;
        const qsizetype start = paragraphStart;
        paragraphStart += paragraph.size() + 1;
        if (paragraph.isEmpty()) {
            lines.append(QString());
            if (starts) starts->append(start);
            continue;
        }
        // Only so much of a long paragraph is laid out as can fill the lines asked for: a
        // line break is looked for up to the end of a word, and a word of megabytes (a
        // damaged file) would cost that much for every line.
        QString part = paragraph;
        if (maxLines > 0) part.truncate(kMeasuredCharsPerLine * maxLines);
        QTextLayout layout(part, font);
        layout.setTextOption(option);
        layout.beginLayout();
        while (!full()) {
            QTextLine line = layout.createLine();
            if (!line.isValid()) break;
            line.setLineWidth(width);
            lines.append(part.mid(line.textStart(), line.textLength()));
            if (starts) starts->append(start + line.textStart());
        }
        layout.endLayout();
    }
    return lines;
}

qreal EditorTextWidth(const QPlainTextEdit& editor) {
    return editor.contentsRect().width() - 2 * editor.document()->documentMargin();
}

QStringList EditorVisualLines(const QPlainTextEdit& editor, int maxLines, QList<qsizetype>* starts) {
    return VisualLines(editor.toPlainText(), editor.font(), EditorTextWidth(editor),
                       editor.wordWrapMode(), maxLines, starts);
}

}  // namespace sw::editor
