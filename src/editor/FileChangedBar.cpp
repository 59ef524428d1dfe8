// The bar that tells of a change to the document's file on disk: between the tool bar and the
// panels, with 読み込み直す and 閉じる. The window grows while it is shown.
#include <QApplication>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>

#include "editor/TfrmMain.h"

namespace sw::editor {

namespace {

// A pale yellow with black text, on light and dark desktops alike.
const QColor kBarColor(0xFF, 0xF4, 0xC4);
const QColor kBarTextColor(Qt::black);
constexpr int kToolBarHeight = 25;

}  // namespace

void TfrmMain::BuildFileChangedBar(QWidget* client) {
    auto* bar = new QFrame(client);
    bar->setObjectName(QStringLiteral("FileChangedBar"));
    bar->setFrameShape(QFrame::StyledPanel);
    bar->setGeometry(0, kToolBarHeight, kClientWidth, kFileChangedBarHeight);
    bar->setAutoFillBackground(true);
    QPalette colours = bar->palette();
    colours.setColor(QPalette::Window, kBarColor);
    colours.setColor(QPalette::WindowText, kBarTextColor);
    bar->setPalette(colours);

    auto* layout = new QHBoxLayout(bar);
    layout->setContentsMargins(8, 2, 4, 2);
    m_fileChangedText = new QLabel(bar);
    m_fileChangedText->setObjectName(QStringLiteral("lblFileChanged"));
    m_fileChangedText->setTextFormat(Qt::PlainText);
    layout->addWidget(m_fileChangedText, 1);
    auto* reload = new QPushButton(QStringLiteral("読み込み直す"), bar);
    reload->setObjectName(QStringLiteral("btnReload"));
    auto* close = new QPushButton(QStringLiteral("閉じる"), bar);
    close->setObjectName(QStringLiteral("btnCloseBar"));
    for (QPushButton* button : {reload, close}) {
        // The buttons keep the window's own colours.
        button->setPalette(palette());
        button->setAutoDefault(false);
        layout->addWidget(button);
    }
    connect(reload, &QPushButton::clicked, this, [this] {
        if (m_reloadRequested) m_reloadRequested();
    });
    connect(close, &QPushButton::clicked, this, [this] { HideFileChangedBar(); });
    bar->hide();
    m_fileChangedBar = bar;
}

bool TfrmMain::FileChangedBarShown() const { return !m_fileChangedBar->isHidden(); }

void TfrmMain::ShowFileChangedBar(const QString& text) {
    // A long file name is shortened in its middle; the whole text is the tooltip.
    const int room = kClientWidth - 240;
    m_fileChangedText->setText(m_fileChangedText->fontMetrics().elidedText(text, Qt::ElideMiddle, room));
    m_fileChangedText->setToolTip(text);
    if (FileChangedBarShown()) return;
    MakeRoomForFileChangedBar(true);
    m_fileChangedBar->show();
    m_fileChangedBar->raise();
}

void TfrmMain::HideFileChangedBar() {
    if (!FileChangedBarShown()) return;
    // The focus on a bar button goes back to the name field rather than to the next control.
    const bool focusOnBar = m_fileChangedBar->isAncestorOf(QApplication::focusWidget());
    m_fileChangedBar->hide();
    MakeRoomForFileChangedBar(false);
    if (focusOnBar) FocusName();
}

void TfrmMain::MakeRoomForFileChangedBar(bool room) {
    // Everything below the tool bar moves down by the bar's height (or back up), and the
    // window grows with it: the key area keeps its whole size.
    const int extra = room ? kFileChangedBarHeight : 0;
    QWidget* client = centralWidget();
    for (QWidget* child : client->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (child != m_toolBar && child != m_fileChangedBar)
            child->move(child->x(), child->y() + (room ? kFileChangedBarHeight : -kFileChangedBarHeight));
    }
    client->setFixedSize(kClientWidth, kClientHeight + extra);
    setFixedSize(kClientWidth, kClientHeight + extra + menuBar()->sizeHint().height());
}

}  // namespace sw::editor
