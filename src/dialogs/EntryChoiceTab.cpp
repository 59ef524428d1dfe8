// The print dialog's page for the choice of management numbers.
#include "dialogs/EntryChoiceTab.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QRadioButton>
#include <QSpinBox>

namespace sw::app {

namespace {
// A management number as the rest of the program writes it: 01 to 50.
class EntryNumberBox : public QSpinBox {
public:
    using QSpinBox::QSpinBox;

protected:
    QString textFromValue(int value) const override {
        return QStringLiteral("%1").arg(value, 2, 10, QLatin1Char('0'));
    }
};
}  // namespace

EntryChoiceTab::EntryChoiceTab(const sw::model::PrintChoice& choice, int usedCount, QWidget* parent)
    : QWidget(parent), m_choice(choice) {
    setObjectName(QStringLiteral("EntryChoiceTab"));
    setWindowTitle(QStringLiteral("管理番号"));  // the tab's caption
    auto* layout = new QGridLayout(this);
    m_current = new QRadioButton(QStringLiteral("現在の管理番号（%1）").arg(choice.current, 2, 10, QLatin1Char('0')), this);
    m_current->setObjectName(QStringLiteral("rbCurrentEntry"));
    m_allUsed = new QRadioButton(
        QStringLiteral("名称またはキーの文字がある管理番号すべて（%1 件）").arg(usedCount), this);
    m_allUsed->setObjectName(QStringLiteral("rbUsedEntries"));
    m_range = new QRadioButton(QStringLiteral("範囲指定"), this);
    m_range->setObjectName(QStringLiteral("rbEntryRange"));
    m_from = new EntryNumberBox(this);
    m_from->setObjectName(QStringLiteral("spnEntryFrom"));
    m_to = new EntryNumberBox(this);
    m_to->setObjectName(QStringLiteral("spnEntryTo"));
    for (QSpinBox* box : {m_from, m_to}) box->setRange(1, sw::model::kEntryCount);
    m_from->setValue(choice.from);
    m_to->setValue(choice.to);

    auto* range = new QHBoxLayout;
    range->addWidget(m_range);
    range->addWidget(m_from);
    range->addWidget(new QLabel(QStringLiteral("～"), this));
    range->addWidget(m_to);
    range->addStretch(1);
    layout->addWidget(m_current, 0, 0);
    layout->addWidget(m_allUsed, 1, 0);
    layout->addLayout(range, 2, 0);
    layout->addWidget(new QLabel(QStringLiteral("1 枚に 1 つの管理番号を、番号順に印刷します。"), this), 3, 0);
    layout->setRowStretch(4, 1);

    switch (choice.scope) {
        case sw::model::PrintScope::Current: m_current->setChecked(true); break;
        case sw::model::PrintScope::AllUsed: m_allUsed->setChecked(true); break;
        case sw::model::PrintScope::Range: m_range->setChecked(true); break;
    }
    // Touching a range field chooses the range.
    for (QSpinBox* box : {m_from, m_to})
        connect(box, &QSpinBox::valueChanged, this, [this] { m_range->setChecked(true); });
}

sw::model::PrintChoice EntryChoiceTab::Choice() const {
    sw::model::PrintChoice choice = m_choice;
    choice.scope = m_allUsed->isChecked() ? sw::model::PrintScope::AllUsed
                   : m_range->isChecked() ? sw::model::PrintScope::Range
                                          : sw::model::PrintScope::Current;
    choice.from = m_from->value();
    choice.to = m_to->value();
    return choice;
}

}  // namespace sw::app
