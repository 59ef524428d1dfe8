// The selection dialog: the 50 management numbers with their names, one to pick.
#pragma once

#include <QDialog>
#include <QString>

#include "model/Refresh.h"
#include "model/Settings.h"
#include "model/Workspace.h"

class QListWidget;
class QListWidgetItem;
class QPushButton;

namespace sw::mgmt {

class TfrmIchiran : public QDialog {
    Q_OBJECT
public:
    static constexpr int kClientWidth = 740;
    static constexpr int kClientHeight = 472;

    // naisenText: what the main window's number field edtNaisen shows; its entry is
    // preselected, the first one when it names no entry.
    TfrmIchiran(sw::model::Workspace& ws, const QString& naisenText, QWidget* parent = nullptr);

    QListWidget* List() const { return m_listBox1; }

    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FormActivate();
    void FormClose();
    void Choose();        // 決定, a double-click or Enter in the list
    void Button2Click();  // キャンセル

    sw::model::Workspace& m_ws;
    QString m_naisenText;
    sw::model::WindowPlacement m_placement;
    bool m_activated = false;  // the section has been read
    QListWidget* m_listBox1 = nullptr;
    QPushButton* m_button1 = nullptr;
    QPushButton* m_button2 = nullptr;
};

// The selection command of the main window, once an open key editor has been closed:
// runs the dialog modally; EditorState::ChosenEntry holds the choice (0 = cancelled).
// Returns what the main window shows again (ApplyChosenEntry): empty after a cancel, when
// the main window only puts the focus back into edtName.
sw::model::Refresh OpenSelection(QWidget* parent, sw::model::Workspace& ws,
                                 const QString& naisenText);

}  // namespace sw::mgmt
