// The change list of a key import.
#include "dialogs/KeyChangeDialog.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QTextBlockFormat>
#include <QTextCursor>
#include <QTextEdit>
#include <QVBoxLayout>

namespace sw::app {

namespace {

// Lines the user should look at twice stand out from the rest.
const QColor kSuspectBack{255, 236, 179};

QLabel* WrappedLabel(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setWordWrap(true);
    label->setTextFormat(Qt::PlainText);
    return label;
}

// One paragraph per line, wrapped at the window's width, so that a mark at the end of a
// long line stays in sight; a line with a mark has a background of its own.
QTextEdit* LineList(const QString& name, const QStringList& lines, QWidget* parent) {
    auto* list = new QTextEdit(parent);
    list->setObjectName(name);
    list->setReadOnly(true);
    list->setLineWrapMode(QTextEdit::WidgetWidth);
    QTextCursor cursor(list->document());
    for (qsizetype i = 0; i < lines.size(); ++i) {
        QTextBlockFormat block;
        block.setBottomMargin(2);
        if (lines[i].contains(QChar(0x203B))) block.setBackground(kSuspectBack);  // ※
        if (i == 0)
            cursor.setBlockFormat(block);
        else
            cursor.insertBlock(block);
        cursor.insertText(lines[i]);
    }
    list->moveCursor(QTextCursor::Start);
    return list;
}

}  // namespace

bool KeyChangeDialog::Run(QWidget* parent, const KeyChangeReview& review) {
    QDialog dialog(parent);
    dialog.setObjectName(QStringLiteral("KeyChangeDialog"));
    dialog.setWindowTitle(review.title);
    dialog.setSizeGripEnabled(true);
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(WrappedLabel(review.intro, &dialog));
    if (!review.notice.isEmpty()) {
        QLabel* notice = WrappedLabel(review.notice, &dialog);
        notice->setObjectName(QStringLiteral("lblNotice"));
        notice->setStyleSheet(QStringLiteral("color: #a04000;"));
        layout->addWidget(notice);
    }
    if (!review.changes.isEmpty())
        layout->addWidget(LineList(QStringLiteral("lstChanges"), review.changes, &dialog), 3);
    if (!review.refusals.isEmpty()) {
        layout->addWidget(WrappedLabel(
            QStringLiteral("次の %1 行は読み込みません。").arg(review.refusals.size()), &dialog));
        layout->addWidget(LineList(QStringLiteral("lstRefusals"), review.refusals, &dialog), 1);
    }
    layout->addWidget(WrappedLabel(review.question, &dialog));
    auto* buttons = new QDialogButtonBox(&dialog);
    QPushButton* ok = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QStringLiteral("キャンセル"), QDialogButtonBox::RejectRole);
    ok->setDefault(true);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout->addWidget(buttons);
    dialog.resize(760, 440);
    return dialog.exec() == QDialog::Accepted;
}

}  // namespace sw::app
