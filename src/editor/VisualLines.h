// The lines of a text as a word-wrapping editor shows them at a given width and font.
#pragma once

#include <QFont>
#include <QStringList>
#include <QTextOption>

class QPlainTextEdit;

namespace sw::editor {

// Every visual line of text, paragraph by paragraph ("\n" separates paragraphs), wrapped at
// width pixels with the given font and wrap mode. An empty paragraph is one empty line.
// With maxLines > 0 the measure stops once that many lines are found (enough to tell
// whether a text fits a key), so a long text costs no more than its first lines.
// With `starts`, also where each line begins in text.
QStringList VisualLines(const QString& text, const QFont& font, qreal width,
                        QTextOption::WrapMode wrapMode, int maxLines = 0,
                        QList<qsizetype>* starts = nullptr);

// The width the editor wraps its text at: its contents minus the document margins.
qreal EditorTextWidth(const QPlainTextEdit& editor);

// The visual lines of what the editor holds, computed at its width and font.
QStringList EditorVisualLines(const QPlainTextEdit& editor, int maxLines = 0,
                              QList<qsizetype>* starts = nullptr);

// Visual line i, empty when there is none.
inline QString LineAt(const QStringList& lines, int i) {
    return i < lines.size() ? lines[i] : QString();
}

}  // namespace sw::editor
