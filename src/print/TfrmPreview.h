// The preview window: the sheet of the current entry on a white page of the printer's paper
// size, at 50 to 150 %, paging through the management numbers in use, with printing from there.
#pragma once

#include <QDialog>
#include <set>
#include <vector>

#include "model/Settings.h"
#include "model/Workspace.h"
#include "print/PrintJob.h"
#include "render/SheetFit.h"

class QLabel;
class QPushButton;
class QScrollArea;
class QToolButton;

namespace sw::app {
class Dialogs;
}

namespace sw::render {

constexpr int kMinZoom = 50;
constexpr int kMaxZoom = 150;
constexpr int kZoomStep = 25;

class TfrmPreview : public QDialog {
    Q_OBJECT
public:
    static constexpr int kClientWidth = 766;
    static constexpr int kClientHeight = 573;

    // FormCreate: position, size and caption from the Preview section of the settings file.
    TfrmPreview(sw::model::Workspace& ws, PrintTarget& printer, sw::app::Dialogs& dialogs,
                QWidget* parent = nullptr);

    // ShowPreview: button outlines on, shown modally; returns when it closes.
    void ShowPreview();

    // Nothing happens for the zoom in force or one outside 50..150.
    void SetZoom(int zoomPercent);
    void LayOutPreviewPage();
    void SpeedButton1Click();  // zoom in
    void SpeedButton2Click();  // zoom out
    void btnPrintClick();
    void btnCloseClick();
    void btnPrevClick();  // 前へ: the management number before in the paged set
    void btnNextClick();  // 次へ: the one after

    // The management number on the page; paging never changes the editor's current one.
    int ShownEntry() const;
    // What 前へ and 次へ page through: the used management numbers and the current one.
    const std::vector<int>& PagedEntries() const { return m_entries; }

    int ZoomPercent() const { return m_zoomPercent; }
    bool DrawButtonOutlines() const { return m_drawButtonOutlines; }
    // The screen's pixels per inch the page is laid out and drawn with.
    int ScreenDpi() const;
    // The sheet as the paint box shows it now.
    QImage PaintedPage();

    void done(int result) override;  // FormClose

protected:
    void showEvent(QShowEvent* event) override;  // FormShow
    bool event(QEvent* event) override;          // FormActivate

private:
    friend class PaintBox;
    void PaintBox1Paint(QPainter& canvas);
    void ShowZoomState();
    void ShowCutState();
    void MarkCutEdges(QPainter& canvas);
    void StartPaging();
    void ShowEntryState();
    void ReportRenderFailure(const QString& message);
    void ReportBrokenPicture(const PictureProblem& picture);

    sw::model::Workspace& m_ws;
    PrintTarget& m_printer;
    sw::app::Dialogs& m_dialogs;
    int m_zoomPercent = 0;
    bool m_firstShowDone = false;
    bool m_drawButtonOutlines = true;
    bool m_failureShown = false;         // a render failure is shown once per showing
    std::set<sw::model::Bytes> m_brokenShown;  // broken picture files told this showing
    bool m_returningFromOutside = false; // the program itself was not active before
    sw::model::Bytes m_caption;
    std::vector<int> m_entries;  // paged set, in number order
    int m_shownIndex = 0;        // into m_entries

    QPushButton* m_btnPrint = nullptr;
    QToolButton* m_speedButton1 = nullptr;
    QToolButton* m_speedButton2 = nullptr;
    QLabel* m_label1 = nullptr;
    QPushButton* m_btnClose = nullptr;
    QPushButton* m_btnPrev = nullptr;
    QPushButton* m_btnNext = nullptr;
    QLabel* m_lblEntry = nullptr;
    QLabel* m_lblCut = nullptr;  // what the printable area cuts off, when it does
    SheetCut m_cut;
    QScrollArea* m_scrollBox1 = nullptr;
    QWidget* m_sheet = nullptr;  // what the scroll box scrolls: the paper with a margin
    QWidget* m_panel2 = nullptr;
    QWidget* m_paintBox1 = nullptr;
};

}  // namespace sw::render
