// The registration dialog: a scrolling table of 50 rows, name and key model per entry.
#include "mgmt/TfrmNaisen.h"

#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <algorithm>
#include <iterator>

#include "dialogs/DialogSupport.h"
#include "model/EntrySwitch.h"
#include "dialogs/WindowPlace.h"
#include "mgmt/NameEdit.h"
#include "model/Cp932.h"

namespace sw::mgmt {
namespace {

constexpr int kRowsPerColumn = 25;
constexpr int kRowTop = 28;
constexpr int kRowHeight = 24;
// The name fields of these entries hold at most 16 bytes (8 full-width characters).
constexpr int kShortNameBytes = 16;

bool HasShortName(int entry) {
    return (entry >= 21 && entry <= 25) || (entry >= 46 && entry <= 50);
}

QString TwoDigits(int n) { return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0')); }

QLabel* BoxLabel(QWidget* parent, const QString& name, const QString& text, QRect geometry,
                 QFrame::Shadow shadow) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setGeometry(geometry);
    label->setFrameStyle(QFrame::Panel | shadow);
    label->setAlignment(Qt::AlignCenter);
    return label;
}

}  // namespace

TfrmNaisen::TfrmNaisen(sw::model::Workspace& ws, QWidget* parent) : FieldDialog(parent), m_ws(ws) {
    setObjectName(QStringLiteral("TfrmNaisen"));
    sw::app::MakeFixedDialogWindow(this, kClientWidth, kClientHeight);
    setFont(sw::app::GothicFont(17));
    setWindowTitle(QString::fromUtf8(sw::model::kNaisenSection.caption));

    m_scrollBox = new QScrollArea(this);
    m_scrollBox->setObjectName(QStringLiteral("ScrollBox1"));
    m_scrollBox->setGeometry(0, 0, 658, 516);
    m_scrollBox->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_scrollBox->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_scrollBox->setFocusPolicy(Qt::NoFocus);
    auto* table = new QFrame;
    table->setObjectName(QStringLiteral("Panel1"));
    table->setFixedSize(636, 636);
    BuildTable(table);
    m_scrollBox->setWidget(table);

    m_button2 = new QPushButton(QStringLiteral("登録完了(&X)"), this);
    m_button2->setObjectName(QStringLiteral("Button2"));
    m_button2->setGeometry(8, 519, 321, 29);
    m_button1 = new QPushButton(QStringLiteral("キャンセル(&C)"), this);
    m_button1->setObjectName(QStringLiteral("Button1"));
    m_button1->setGeometry(329, 519, 321, 29);
    for (QPushButton* button : {m_button2, m_button1}) button->setAutoDefault(false);
    connect(m_button2, &QPushButton::clicked, this, &TfrmNaisen::Button2Click);
    connect(m_button1, &QPushButton::clicked, this, &TfrmNaisen::Button1Click);

    // Focus order: row by row from entry 01 to 50, then the two buttons. Of a row's two
    // radio buttons only the checked one takes the focus from the keyboard.
    QWidget* previous = nullptr;
    auto chain = [&previous](QWidget* w) {
        if (previous) QWidget::setTabOrder(previous, w);
        previous = w;
    };
    for (int n = 1; n <= sw::model::kEntryCount; ++n) {
        chain(m_names[n - 1]);
        chain(m_radio18[n - 1]);
        chain(m_radio30[n - 1]);
    }
    chain(m_button2);
    chain(m_button1);

    for (QWidget* w : findChildren<QWidget*>())
        if (w->focusPolicy() != Qt::NoFocus) w->installEventFilter(this);
}

void TfrmNaisen::BuildTable(QWidget* table) {
    const QFont small = sw::app::GothicFont(13);
    const QFont radioFont = sw::app::GothicFont(12);
    for (int column = 0; column < 2; ++column) {
        const int boxX = column == 0 ? 8 : 318;
        const int rowX = column == 0 ? 43 : 353;
        const QString side = column == 0 ? QStringLiteral("L") : QStringLiteral("R");
        const QRect headings[3] = {QRect(boxX, 6, 34, 19), QRect(rowX, 6, 125, 19),
                                   QRect(rowX + 125, 6, 144, 19)};
        const QString texts[3] = {QStringLiteral("No"), QStringLiteral("内線名前"),
                                  column == 0 ? QStringLiteral("ボタン数")
                                              : QStringLiteral("電話機種類")};
        for (int i = 0; i < 3; ++i) {
            QLabel* h = BoxLabel(table, QStringLiteral("lblHead%1%2").arg(side).arg(i + 1),
                                 texts[i], headings[i], QFrame::Raised);
            h->setFont(small);
        }
        for (int row = 1; row <= kRowsPerColumn; ++row) {
            const int n = column * kRowsPerColumn + row;
            const int top = kRowTop + kRowHeight * (row - 1);
            BoxLabel(table, QStringLiteral("pnlNo") + TwoDigits(n), TwoDigits(n),
                     QRect(boxX, top, 34, 24), QFrame::Raised);

            auto* panel = new QFrame(table);
            panel->setObjectName(QStringLiteral("pnlRow") + TwoDigits(n));
            panel->setGeometry(rowX, top, 269, 24);
            panel->setFont(small);

            auto* name = new NameEdit(panel);
            name->setObjectName(QStringLiteral("edtName") + TwoDigits(n));
            name->setGeometry(3, 3, 118, 21);
            if (HasShortName(n)) name->SetByteLimit(kShortNameBytes);
            m_names[n - 1] = name;

            // The radio buttons reach to the next one (and to the row's end) so that the
            // indicator and "18ボタン" fit side by side.
            auto* r18 = new QRadioButton(QStringLiteral("18ボタン"), panel);
            r18->setObjectName(QStringLiteral("RadioButton%1").arg(2 * n));
            r18->setGeometry(130, 4, 69, 15);
            r18->setFont(radioFont);
            auto* r30 = new QRadioButton(QStringLiteral("30ボタン"), panel);
            r30->setObjectName(QStringLiteral("RadioButton%1").arg(2 * n - 1));
            r30->setGeometry(199, 4, 70, 15);
            r30->setFont(radioFont);
            // The two share the row panel: one group. Like any group of radio buttons it
            // is one stop for the keyboard, at its checked button.
            for (QRadioButton* r : {r18, r30}) {
                r->setFocusPolicy(Qt::ClickFocus);
                connect(r, &QRadioButton::toggled, r, [r](bool checked) {
                    r->setFocusPolicy(checked ? Qt::StrongFocus : Qt::ClickFocus);
                });
            }
            r18->setChecked(true);
            m_radio18[n - 1] = r18;
            m_radio30[n - 1] = r30;
        }
    }
}

void TfrmNaisen::showEvent(QShowEvent* event) {
    // The dialog is shown once per opening; that is when it reads its section and the
    // label set. Returning to it from another window keeps what has been typed.
    FormActivate();
    QDialog::showEvent(event);
}

void TfrmNaisen::FormActivate() {
    sw::app::WaitCursor wait;
    m_activated = true;
    m_placement = sw::model::ReadWindowPlacement(m_ws.settings.SettingsPath(),
                                                 sw::model::kNaisenSection,
                                                 sw::app::ScreenSizeFor(this),
                                                 {kClientWidth, kClientHeight}, &m_ws.settings.Seen);
    sw::app::PlaceWindow(this, m_placement);
    setWindowTitle(sw::model::DecodeCp932(m_placement.caption));
    for (int n = 1; n <= sw::model::kEntryCount; ++n) {
        const sw::model::ManagementEntry& entry = m_ws.labelSet.Entries[n];
        m_names[n - 1]->SetName(sw::model::DecodeCp932(entry.Name));
        (entry.ButtonModel != sw::model::kModel30 ? m_radio18 : m_radio30)[n - 1]->setChecked(true);
    }
    m_names[0]->setFocus(Qt::OtherFocusReason);
}

void TfrmNaisen::Button2Click() {
    for (int n = 1; n <= sw::model::kEntryCount; ++n) {
        sw::model::ManagementEntry& entry = m_ws.labelSet.Entries[n];
        const QString text = m_names[n - 1]->text();
        // A name shown as it is stored keeps its exact bytes, even bytes that are not CP932.
        if (text != sw::model::DecodeCp932(entry.Name)) {
            sw::model::EncodeResult encoded = sw::model::EncodeCp932(text);
            if (encoded.ok()) {
                entry.Name = encoded.bytes;
            } else {
                // Only a character that stood for bytes that were not CP932 can remain
                // unstorable (the field refuses new ones); it is kept as "?".
                sw::model::Bytes bytes;
                for (QChar c : text) {
                    sw::model::EncodeResult one = sw::model::EncodeCp932(QString(c));
                    bytes += one.ok() ? one.bytes : sw::model::Bytes("?");
                }
                entry.Name = bytes;
            }
        }
        if (m_radio30[n - 1]->isChecked())
            entry.ButtonModel = sw::model::kModel30;
        else if (entry.ButtonModel == sw::model::kModel30)
            entry.ButtonModel = sw::model::kModel18;
        // An 18-key entry keeps the value it had (a file may hold another non-zero value).
    }
    accept();
}

void TfrmNaisen::Button1Click() { reject(); }

void TfrmNaisen::done(int result) {
    FormClose();
    QDialog::done(result);
}

void TfrmNaisen::FormClose() {
    if (!m_activated) return;  // never shown: nothing read, nothing to write
    sw::app::TakeWindowPlace(this, m_placement);
    // The title is the one read from the file; writing its bytes keeps it exactly.
    sw::model::NoteSettingsWrite(m_ws.settings,
                                 sw::model::WriteWindowPlacement(m_ws.settings.WritePath(),
                                                                 sw::model::kNaisenSection, m_placement,
                                                                 &m_ws.settings.Seen));
}

void TfrmNaisen::keyPressEvent(QKeyEvent* event) {
    // Escape does not close the table: it would throw away what has been typed.
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

bool TfrmNaisen::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && FormKeyDown(watched, static_cast<QKeyEvent*>(event)))
        return true;
    if (event->type() == QEvent::FocusIn) {
        // The whole row of the focused control comes into view, with the headings above
        // the first row.
        auto* w = qobject_cast<QWidget*>(watched);
        if (w && w->parentWidget() && m_scrollBox->widget()->isAncestorOf(w))
            m_scrollBox->ensureWidgetVisible(w->parentWidget(), 0, kRowTop);
    }
    return QDialog::eventFilter(watched, event);
}

bool TfrmNaisen::FormKeyDown(QObject* target, QKeyEvent* event) {
    // From a name field Down and Up go straight to the next and previous entry's name, past
    // the row's radio buttons; after entry 50 comes 登録完了.
    const int key = event->key();
    if (key == Qt::Key_Down || key == Qt::Key_Up) {
        auto* const* at = std::find(std::begin(m_names), std::end(m_names), target);
        if (at != std::end(m_names)) {
            const int entry = static_cast<int>(at - std::begin(m_names)) + 1;
            const int next = entry + (key == Qt::Key_Down ? 1 : -1);
            QWidget* to = next > sw::model::kEntryCount ? static_cast<QWidget*>(m_button2)
                          : next >= 1                   ? static_cast<QWidget*>(m_names[next - 1])
                                                        : nullptr;
            if (to) {
                to->setFocus(key == Qt::Key_Down ? Qt::TabFocusReason : Qt::BacktabFocusReason);
                return true;
            }
        }
    }
    return MoveFocusOnFormKey(target, event);
}

sw::model::Refresh OpenRegistration(QWidget* parent, sw::model::Workspace& ws) {
    BeginRegistration(ws);
    {
        TfrmNaisen dialog(ws, parent);
        dialog.exec();
    }
    return FinishRegistration(ws);
}

}  // namespace sw::mgmt
