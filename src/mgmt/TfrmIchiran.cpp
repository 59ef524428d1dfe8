// The selection dialog: a two-column list of the 50 management numbers.
#include "mgmt/TfrmIchiran.h"

#include <QFrame>
#include <QKeyEvent>
#include <QListWidget>
#include <QPushButton>

#include "dialogs/DialogSupport.h"
#include "model/EntrySwitch.h"
#include "dialogs/WindowPlace.h"
#include "model/Cp932.h"

namespace sw::mgmt {
namespace {
constexpr int kItemHeight = 17;
constexpr int kItemsPerColumn = 25;
}  // namespace

TfrmIchiran::TfrmIchiran(sw::model::Workspace& ws, const QString& naisenText, QWidget* parent)
    : QDialog(parent), m_ws(ws), m_naisenText(naisenText) {
    setObjectName(QStringLiteral("TfrmIchiran"));
    sw::app::MakeFixedDialogWindow(this, kClientWidth, kClientHeight);
    setFont(sw::app::GothicFont(17));
    setWindowTitle(QString::fromUtf8(sw::model::kIchiranSection.caption));

    auto* panel = new QFrame(this);
    panel->setObjectName(QStringLiteral("Panel1"));
    panel->setGeometry(0, 0, kClientWidth, kClientHeight);
    panel->setFrameStyle(QFrame::Panel | QFrame::Raised);

    m_listBox1 = new QListWidget(panel);
    m_listBox1->setObjectName(QStringLiteral("ListBox1"));
    m_listBox1->setGeometry(4, 4, 730, 430);
    m_listBox1->setSelectionMode(QAbstractItemView::SingleSelection);
    m_listBox1->setSortingEnabled(false);
    // Two columns of 25: items flow down a column and wrap into the next.
    m_listBox1->setFlow(QListView::TopToBottom);
    m_listBox1->setWrapping(true);
    m_listBox1->setResizeMode(QListView::Adjust);
    m_listBox1->setUniformItemSizes(true);
    m_listBox1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_listBox1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    const int columnWidth = (730 - 2 * m_listBox1->frameWidth()) / 2;
    m_listBox1->setGridSize(QSize(columnWidth, kItemHeight));
    m_listBox1->installEventFilter(this);
    connect(m_listBox1, &QListWidget::itemDoubleClicked, this, [this] { Choose(); });

    m_button1 = new QPushButton(QStringLiteral("決定(&S)"), panel);
    m_button1->setObjectName(QStringLiteral("Button1"));
    m_button1->setGeometry(4, 437, 366, 29);
    m_button2 = new QPushButton(QStringLiteral("キャンセル(&C)"), panel);
    m_button2->setObjectName(QStringLiteral("Button2"));
    m_button2->setGeometry(369, 437, 366, 29);
    connect(m_button1, &QPushButton::clicked, this, &TfrmIchiran::Choose);
    connect(m_button2, &QPushButton::clicked, this, &TfrmIchiran::Button2Click);
}

void TfrmIchiran::showEvent(QShowEvent* event) {
    // Read once per opening; returning to the dialog from another window keeps its state.
    FormActivate();
    QDialog::showEvent(event);
}

void TfrmIchiran::FormActivate() {
    sw::app::WaitCursor wait;
    m_activated = true;
    m_placement = sw::model::ReadWindowPlacement(m_ws.settings.SettingsPath(),
                                                 sw::model::kIchiranSection,
                                                 sw::app::ScreenSizeFor(this),
                                                 {kClientWidth, kClientHeight}, &m_ws.settings.Seen);
    sw::app::PlaceWindow(this, m_placement);
    setWindowTitle(sw::model::DecodeCp932(m_placement.caption));

    m_listBox1->clear();
    const int shown = sw::model::EntryNumberOfField(m_naisenText);
    const int selected = shown > 0 ? shown - 1 : 0;
    for (int n = 1; n <= sw::model::kEntryCount; ++n) {
        auto* item = new QListWidgetItem(sw::model::SelectionItemText(n, m_ws.labelSet.Entries[n].Name));
        item->setSizeHint(QSize(m_listBox1->gridSize().width(), kItemHeight));
        m_listBox1->addItem(item);
    }
    m_listBox1->setCurrentRow(selected);
    m_listBox1->scrollToItem(m_listBox1->item(selected), QAbstractItemView::PositionAtTop);
    m_listBox1->setFocus(Qt::OtherFocusReason);
}

void TfrmIchiran::Choose() {
    QList<QListWidgetItem*> selected = m_listBox1->selectedItems();
    QListWidgetItem* item = selected.isEmpty() ? m_listBox1->currentItem() : selected.first();
    if (!item) return;
    // The two digits after "(" are the entry number.
    m_ws.editor.ChosenEntry = item->text().mid(1, 2).toInt();
    accept();
}

void TfrmIchiran::Button2Click() { reject(); }

void TfrmIchiran::done(int result) {
    if (result != QDialog::Accepted) m_ws.editor.ChosenEntry = 0;
    FormClose();
    QDialog::done(result);
}

void TfrmIchiran::FormClose() {
    if (!m_activated) return;  // never shown: nothing read, nothing to write
    sw::app::TakeWindowPlace(this, m_placement);
    sw::model::NoteSettingsWrite(m_ws.settings,
                                 sw::model::WriteWindowPlacement(m_ws.settings.WritePath(),
                                                                 sw::model::kIchiranSection, m_placement,
                                                                 &m_ws.settings.Seen));
}

void TfrmIchiran::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {  // Escape does nothing here
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

bool TfrmIchiran::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_listBox1 && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            Choose();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

sw::model::Refresh OpenSelection(QWidget* parent, sw::model::Workspace& ws,
                                 const QString& naisenText) {
    {
        TfrmIchiran dialog(ws, naisenText, parent);
        dialog.exec();
    }
    return ApplyChosenEntry(ws);
}

}  // namespace sw::mgmt
