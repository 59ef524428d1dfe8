// The registration dialog: names and key models of all 50 management numbers in one table.
#pragma once

#include "dialogs/DialogSupport.h"
#include "model/Refresh.h"
#include "model/Settings.h"
#include "model/Workspace.h"

class QPushButton;
class QRadioButton;
class QScrollArea;

namespace sw::mgmt {

class NameEdit;

class TfrmNaisen : public sw::app::FieldDialog {
    Q_OBJECT
public:
    static constexpr int kClientWidth = 659;
    static constexpr int kClientHeight = 551;

    explicit TfrmNaisen(sw::model::Workspace& ws, QWidget* parent = nullptr);

    NameEdit* NameField(int entry) const { return m_names[entry - 1]; }
    // The "18ボタン" (RadioButton 2n) and "30ボタン" (RadioButton 2n-1) buttons of an entry.
    QRadioButton* Radio18(int entry) const { return m_radio18[entry - 1]; }
    QRadioButton* Radio30(int entry) const { return m_radio30[entry - 1]; }
    QScrollArea* ScrollBox() const { return m_scrollBox; }

    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildTable(QWidget* table);
    void FormActivate();
    void FormClose();
    // The window sees every key before the focused control.
    bool FormKeyDown(QObject* target, QKeyEvent* event);
    void Button2Click();  // 登録完了: the table into the label set, then close
    void Button1Click();  // キャンセル

    sw::model::Workspace& m_ws;
    sw::model::WindowPlacement m_placement;
    bool m_activated = false;  // the section has been read
    QScrollArea* m_scrollBox = nullptr;
    QPushButton* m_button2 = nullptr;
    QPushButton* m_button1 = nullptr;
    NameEdit* m_names[sw::model::kEntryCount] = {};
    QRadioButton* m_radio18[sw::model::kEntryCount] = {};
    QRadioButton* m_radio30[sw::model::kEntryCount] = {};
};

// The registration command of the main window, once an open key editor has been closed:
// runs the dialog modally and returns what the main window shows again, which it does
// however the dialog ended (see FinishRegistration), then puts the focus into edtName.
sw::model::Refresh OpenRegistration(QWidget* parent, sw::model::Workspace& ws);

}  // namespace sw::mgmt
