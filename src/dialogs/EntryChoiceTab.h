// The 「管理番号」 page of the print dialog: print the current management number, every one
// with a name or key text, or a from–to range.
#pragma once

#include <QWidget>

#include "model/PrintChoice.h"

class QRadioButton;
class QSpinBox;

namespace sw::app {

class EntryChoiceTab : public QWidget {
public:
    // `choice` preselects the page; `usedCount` is shown beside "all used".
    EntryChoiceTab(const sw::model::PrintChoice& choice, int usedCount, QWidget* parent = nullptr);

    // The choice as the page shows it now; the current entry is the one it was made with.
    sw::model::PrintChoice Choice() const;

private:
    sw::model::PrintChoice m_choice;
    QRadioButton* m_current = nullptr;
    QRadioButton* m_allUsed = nullptr;
    QRadioButton* m_range = nullptr;
    QSpinBox* m_from = nullptr;
    QSpinBox* m_to = nullptr;
};

}  // namespace sw::app
