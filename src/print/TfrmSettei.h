// The print fine-adjustment dialog: the printout's shift up and to the right, in tenths
// of a millimetre.
#pragma once

#include <QLineEdit>
#include <QString>

#include "dialogs/DialogSupport.h"
#include "model/Settings.h"
#include "model/Workspace.h"

class QPushButton;

namespace sw::app {
class Dialogs;
}

namespace sw::render {

class PrintTarget;

// "%4.0d": the value right-aligned in at least four characters ("  15", "  -5", "   0").
QString FormatOffsetField(int value);
// The integer a field holds (blanks around it and a sign allowed); 0 for anything else,
// also for a number beyond the 32-bit range.
int OffsetFieldValue(const QString& text);

// The A4 paper, landscape, in millimetres.
constexpr double kA4LongSideMm = 297;
constexpr double kA4ShortSideMm = 210;

// When the adjustment puts part of a face box off the A4 paper (the printable area's corner
// taken at the paper's corner: a printer's margins only move the faces further right and down),
// the warning that says which faces and how far: "この値では印刷面３、印刷面４が A4 の用紙からはみ出します（右
// 12.3 mm）。"; empty when every face lies on the paper.
QString FacesOffPaper(int sayu, int jyoge);

// An offset field: tells the dialog when it is entered, left and clicked.
class OffsetEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit OffsetEdit(QWidget* parent = nullptr);

signals:
    void Entered(OffsetEdit* edit);
    void Exited(OffsetEdit* edit);
    void Clicked(OffsetEdit* edit);

protected:
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    bool m_entered = false;  // entered and not yet left for another control
};

class TfrmSettei : public sw::app::FieldDialog {
    Q_OBJECT
public:
    static constexpr int kClientWidth = 386;
    static constexpr int kClientHeight = 256;

    // With a printer and dialogs, テスト印刷 prints the calibration sheet; without, it is
    // disabled.
    explicit TfrmSettei(sw::model::Workspace& ws, QWidget* parent = nullptr,
                        PrintTarget* printer = nullptr, sw::app::Dialogs* dialogs = nullptr);

    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FormActivate();
    void FormClose();
    bool FormKeyDown(QObject* target, QKeyEvent* event);
    void Edit1Enter(OffsetEdit* edit);
    void Edit1Exit(OffsetEdit* edit);
    void Edit1Click(OffsetEdit* edit);
    void Button2Click();  // 設定終了: take both fields
    void Button1Click();  // キャンセル
    void TestPrintClick();  // テスト印刷: the calibration sheet with the typed values
    // Values that put a face off the paper are asked about first (いいえ by default: the focus
    // goes back to the field to mend). True when they may be used.
    bool AgreeToFacesOffPaper(int sayu, int jyoge, const QString& question);

    sw::model::Workspace& m_ws;
    sw::model::WindowPlacement m_placement;
    bool m_activated = false;  // the section has been read
    OffsetEdit* m_edit1 = nullptr;  // Jyoge, up
    OffsetEdit* m_edit2 = nullptr;  // Sayu, right
    QPushButton* m_button2 = nullptr;
    QPushButton* m_button1 = nullptr;
    QPushButton* m_testPrint = nullptr;
    PrintTarget* m_printer = nullptr;
    sw::app::Dialogs* m_dialogs = nullptr;
};

// The print fine-adjustment command of the main window, once an open key editor has
// been closed: runs the dialog modally. After 設定終了 ws.settings.Sayu and Jyoge hold the
// new offsets; the dialog has written its section of the settings file in any case.
// テスト印刷 prints through `printer` with `dialogs` when both are given.
void ShowPrintAdjustment(QWidget* parent, sw::model::Workspace& ws, PrintTarget* printer = nullptr,
                         sw::app::Dialogs* dialogs = nullptr);

}  // namespace sw::render
