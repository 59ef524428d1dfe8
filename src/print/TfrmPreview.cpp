// The preview window: zoom, page layout from the printer, painting the sheet, printing
// copies, and its section of the settings file.
#include "print/TfrmPreview.h"

#include <QApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include "dialogs/Dialogs.h"
#include "render/Artwork.h"
#include "dialogs/Cp932Input.h"
#include "dialogs/WindowPlace.h"
#include "model/Cp932.h"
#include "model/PrintChoice.h"
#include "print/EntryPrint.h"
#include "render/SheetRenderer.h"

namespace sw::render {

// The printable area of the paper; paints the sheet.
class PaintBox : public QWidget {
public:
    PaintBox(TfrmPreview* preview, QWidget* parent) : QWidget(parent), m_preview(preview) {
        setObjectName(QStringLiteral("PaintBox1"));
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter canvas(this);
        m_preview->PaintBox1Paint(canvas);
    }

private:
    TfrmPreview* m_preview;
};

namespace {
constexpr int kPaperMargin = 8;  // Panel2 sits 8 pixels into the scroll box
}  // namespace

TfrmPreview::TfrmPreview(sw::model::Workspace& ws, PrintTarget& printer, sw::app::Dialogs& dialogs,
                         QWidget* parent)
    : QDialog(parent), m_ws(ws), m_printer(printer), m_dialogs(dialogs) {
    setObjectName(QStringLiteral("frmPreview"));
    setModal(true);
    QFont windowFont(QStringLiteral("ＭＳ Ｐゴシック"));
    windowFont.setPixelSize(12);
    setFont(windowFont);
    resize(kClientWidth, kClientHeight);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto* panel1 = new QFrame(this);
    panel1->setObjectName(QStringLiteral("Panel1"));
    panel1->setFrameShape(QFrame::Panel);
    panel1->setFrameShadow(QFrame::Raised);
    panel1->setFixedHeight(41);
    layout->addWidget(panel1);

    m_btnPrint = new QPushButton(QStringLiteral("印刷(&P)"), panel1);
    m_btnPrint->setObjectName(QStringLiteral("btnPrint"));
    m_btnPrint->setGeometry(8, 8, 75, 25);
    m_btnPrint->setAutoDefault(false);
    m_speedButton1 = new QToolButton(panel1);
    m_speedButton1->setObjectName(QStringLiteral("SpeedButton1"));
    m_speedButton1->setGeometry(96, 8, 25, 25);
    m_speedButton1->setIcon(sw::render::ZoomIcon(true));
    m_speedButton1->setIconSize(QSize(16, 16));
    m_speedButton1->setFocusPolicy(Qt::NoFocus);
    m_speedButton2 = new QToolButton(panel1);
    m_speedButton2->setObjectName(QStringLiteral("SpeedButton2"));
    m_speedButton2->setGeometry(121, 8, 25, 25);
    m_speedButton2->setIcon(sw::render::ZoomIcon(false));
    m_speedButton2->setIconSize(QSize(16, 16));
    m_speedButton2->setFocusPolicy(Qt::NoFocus);
    m_label1 = new QLabel(QStringLiteral("x100%"), panel1);
    m_label1->setObjectName(QStringLiteral("Label1"));
    m_label1->setGeometry(152, 16, 60, 14);
    m_btnClose = new QPushButton(QStringLiteral("閉じる(&C)"), panel1);
    m_btnClose->setObjectName(QStringLiteral("btnClose"));
    m_btnClose->setGeometry(336, 8, 75, 25);
    m_btnClose->setAutoDefault(false);
    m_btnPrev = new QPushButton(QStringLiteral("前へ"), panel1);
    m_btnPrev->setObjectName(QStringLiteral("btnPrev"));
    m_btnPrev->setGeometry(220, 8, 50, 25);
    m_btnPrev->setAutoDefault(false);
    m_btnNext = new QPushButton(QStringLiteral("次へ"), panel1);
    m_btnNext->setObjectName(QStringLiteral("btnNext"));
    m_btnNext->setGeometry(272, 8, 50, 25);
    m_btnNext->setAutoDefault(false);
    m_lblEntry = new QLabel(panel1);
    m_lblEntry->setObjectName(QStringLiteral("lblEntry"));
    m_lblEntry->setGeometry(424, 16, 200, 14);

    // Above the paper, only when the sheet passes the printer's printable area.
    m_lblCut = new QLabel(this);
    m_lblCut->setObjectName(QStringLiteral("lblCut"));
    m_lblCut->setContentsMargins(8, 4, 8, 4);
    QPalette red = m_lblCut->palette();
    red.setColor(QPalette::WindowText, Qt::red);
    m_lblCut->setPalette(red);
    m_lblCut->setVisible(false);
    layout->addWidget(m_lblCut);

    m_scrollBox1 = new QScrollArea(this);
    m_scrollBox1->setObjectName(QStringLiteral("ScrollBox1"));
    m_scrollBox1->setWidgetResizable(false);
    layout->addWidget(m_scrollBox1, 1);
    m_sheet = new QWidget;
    m_sheet->setObjectName(QStringLiteral("ScrollBox1Contents"));
    m_panel2 = new QWidget(m_sheet);
    m_panel2->setObjectName(QStringLiteral("Panel2"));
    m_panel2->move(kPaperMargin, kPaperMargin);
    m_panel2->setAutoFillBackground(true);
    QPalette white = m_panel2->palette();
    white.setColor(QPalette::Window, Qt::white);
    m_panel2->setPalette(white);
    m_paintBox1 = new PaintBox(this, m_panel2);
    m_scrollBox1->setWidget(m_sheet);

    connect(m_btnPrint, &QPushButton::clicked, this, &TfrmPreview::btnPrintClick);
    connect(m_speedButton1, &QToolButton::clicked, this, &TfrmPreview::SpeedButton1Click);
    connect(m_speedButton2, &QToolButton::clicked, this, &TfrmPreview::SpeedButton2Click);
    connect(m_btnClose, &QPushButton::clicked, this, &TfrmPreview::btnCloseClick);
    connect(m_btnPrev, &QPushButton::clicked, this, &TfrmPreview::btnPrevClick);
    connect(m_btnNext, &QPushButton::clicked, this, &TfrmPreview::btnNextClick);
    // Coming back to the program from another one is not an activation of this window
    // among the program's own windows: it keeps its zoom then.
    connect(qApp, &QGuiApplication::applicationStateChanged, this, [this](Qt::ApplicationState state) {
        if (state != Qt::ApplicationActive) m_returningFromOutside = true;
    });

    // FormCreate.
    QSize screen = QGuiApplication::primaryScreen() ? QGuiApplication::primaryScreen()->size()
                                                    : QSize(kClientWidth, kClientHeight);
    sw::model::WindowPlacement placement = sw::model::ReadWindowPlacement(
        m_ws.settings.SettingsPath(), sw::model::kPreviewSection, {screen.width(), screen.height()},
        {kClientWidth, kClientHeight}, &m_ws.settings.Seen);
    sw::app::PlaceWindow(this, placement, true);
    m_caption = placement.caption;
    setWindowTitle(sw::model::DecodeCp932(m_caption));
    m_firstShowDone = false;
}

int TfrmPreview::ScreenDpi() const { return logicalDpiY(); }

void TfrmPreview::ShowPreview() {
    m_drawButtonOutlines = true;
    m_failureShown = false;
    exec();
}

void TfrmPreview::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    m_brokenShown.clear();  // each showing tells its broken pictures once
    StartPaging();
    if (!m_firstShowDone) {
        m_firstShowDone = true;
        SetZoom(100);
        return;
    }
    LayOutPreviewPage();
}

bool TfrmPreview::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate) {
        // FormActivate: every activation among the program's windows returns to 100 %.
        if (m_returningFromOutside)
            m_returningFromOutside = false;
        else
            SetZoom(100);
    }
    return QDialog::event(event);
}

void TfrmPreview::SetZoom(int zoomPercent) {
    if (zoomPercent == m_zoomPercent || zoomPercent < kMinZoom || zoomPercent > kMaxZoom) return;
    m_zoomPercent = zoomPercent;
    LayOutPreviewPage();
    update();
}

void TfrmPreview::SpeedButton1Click() { SetZoom(m_zoomPercent + kZoomStep); }

void TfrmPreview::SpeedButton2Click() { SetZoom(m_zoomPercent - kZoomStep); }

void TfrmPreview::LayOutPreviewPage() {
    m_printer.SetUpA4Landscape();
    const PreviewPage page = LayOutPreview(m_printer.Geometry(), ScreenDpi(), m_zoomPercent);
    m_panel2->resize(page.paper);
    m_paintBox1->setGeometry(page.printable);
    m_sheet->resize(page.paper + QSize(2 * kPaperMargin, 2 * kPaperMargin));
    m_cut = CutOff(SheetInkMm(m_ws.settings.Sayu, m_ws.settings.Jyoge), PrintableSizeMm(m_printer.Geometry()));
    ShowCutState();
    ShowZoomState();
    m_paintBox1->update();
}

void TfrmPreview::ShowZoomState() {
    m_speedButton1->setEnabled(m_zoomPercent < kMaxZoom);
    m_speedButton2->setEnabled(m_zoomPercent > kMinZoom);
    m_label1->setText(QStringLiteral("x%1%").arg(m_zoomPercent));
}

void TfrmPreview::ShowCutState() {
    m_lblCut->setVisible(m_cut.Any());
    if (m_cut.Any())
        m_lblCut->setText(DoesNotFitText(m_cut) + QStringLiteral("赤い線の外側は印刷されません。"));
}

void TfrmPreview::MarkCutEdges(QPainter& canvas) {
    if (!m_cut.Any()) return;
    // The printable area's edges where the sheet runs past them.
    const int w = m_paintBox1->width();
    const int h = m_paintBox1->height();
    constexpr int kMark = 2;
    if (m_cut.left > 0) canvas.fillRect(QRect(0, 0, kMark, h), Qt::red);
    if (m_cut.right > 0) canvas.fillRect(QRect(w - kMark, 0, kMark, h), Qt::red);
    if (m_cut.top > 0) canvas.fillRect(QRect(0, 0, w, kMark), Qt::red);
    if (m_cut.bottom > 0) canvas.fillRect(QRect(0, h - kMark, w, kMark), Qt::red);
}

void TfrmPreview::StartPaging() {
    // Every showing starts at the editor's current management number; the set is fixed while
    // the preview is open, as nothing can be edited from here.
    m_entries = sw::model::PreviewEntries(m_ws.labelSet, m_ws.editor.CurrentEntry);
    m_shownIndex = 0;
    for (size_t i = 0; i < m_entries.size(); ++i)
        if (m_entries[i] == m_ws.editor.CurrentEntry) m_shownIndex = static_cast<int>(i);
    ShowEntryState();
}

int TfrmPreview::ShownEntry() const {
    if (m_shownIndex < 0 || m_shownIndex >= static_cast<int>(m_entries.size())) return m_ws.editor.CurrentEntry;
    return m_entries[static_cast<size_t>(m_shownIndex)];
}

void TfrmPreview::ShowEntryState() {
    const int count = static_cast<int>(m_entries.size());
    m_btnPrev->setEnabled(m_shownIndex > 0);
    m_btnNext->setEnabled(m_shownIndex + 1 < count);
    m_lblEntry->setText(QStringLiteral("管理番号 %1 (%2/%3)")
                            .arg(ShownEntry(), 2, 10, QLatin1Char('0'))
                            .arg(count == 0 ? 1 : m_shownIndex + 1)
                            .arg(count == 0 ? 1 : count));
}

void TfrmPreview::btnPrevClick() {
    if (m_shownIndex <= 0) return;
    --m_shownIndex;
    ShowEntryState();
    m_paintBox1->update();
}

void TfrmPreview::btnNextClick() {
    if (m_shownIndex + 1 >= static_cast<int>(m_entries.size())) return;
    ++m_shownIndex;
    ShowEntryState();
    m_paintBox1->update();
}

void TfrmPreview::PaintBox1Paint(QPainter& canvas) {
    if (m_zoomPercent < kMinZoom) return;  // not laid out yet
    RenderResult result = RenderEntrySheet(canvas, PreviewResolution(ScreenDpi(), m_zoomPercent), m_ws,
                                           ShownEntry(), m_drawButtonOutlines);
    canvas.resetTransform();
    MarkCutEdges(canvas);
    if (!result.ok) ReportRenderFailure(result.message);
    // The sheet shows the broken face marked; why it is marked is told once per file.
    for (const sw::render::PictureProblem& picture : result.broken) ReportBrokenPicture(picture);
    // Painting happens again and again: the message comes after the paint, and the dialogs
    // name each missing file only once.
    for (const sw::render::PictureProblem& picture : result.pictures) {
        if (!picture.missing) continue;
        const QString path = sw::model::DecodeCp932(picture.path);
        QTimer::singleShot(0, this, [this, path] { m_dialogs.ReportMissingPicture(this, path); });
    }
}

void TfrmPreview::ReportRenderFailure(const QString& message) {
    // Painting happens again and again; the failure is told once, after the paint.
    if (m_failureShown) return;
    m_failureShown = true;
    QTimer::singleShot(0, this, [this, message] {
        m_dialogs.Message(this, sw::app::MessageKind::Error, message, sw::app::Buttons::Ok);
    });
}

void TfrmPreview::ReportBrokenPicture(const PictureProblem& picture) {
    if (m_brokenShown.contains(picture.path)) return;
    m_brokenShown.insert(picture.path);
    const QString message = picture.message;
    QTimer::singleShot(0, this, [this, message] {
        m_dialogs.Message(this, sw::app::MessageKind::Error, message, sw::app::Buttons::Ok);
    });
}

QImage TfrmPreview::PaintedPage() { return m_paintBox1->grab().toImage(); }

void TfrmPreview::btnPrintClick() {
    m_drawButtonOutlines = false;
    // The page keeps the printer set-up it was laid out with; the entry on the page is the
    // current one of the print dialog, and each copy is a job of its own.
    PrintChosenEntries(this, m_printer, m_dialogs, m_ws, ShownEntry(), true);
    m_drawButtonOutlines = true;
    m_paintBox1->update();
}

void TfrmPreview::btnCloseClick() { close(); }

void TfrmPreview::done(int result) {
    // FormClose: the window's place, size and caption, whatever closed it.
    sw::model::WindowPlacement placement;
    sw::app::TakeWindowPlace(this, placement);
    placement.height = height();
    placement.width = width();
    sw::editor::StoreFieldText(m_caption, windowTitle());
    placement.caption = m_caption;
    sw::model::NoteSettingsWrite(
        m_ws.settings,
        sw::model::WriteWindowPlacement(m_ws.settings.WritePath(), sw::model::kPreviewSection, placement,
                                        &m_ws.settings.Seen));
    QDialog::done(result);
}

}  // namespace sw::render
