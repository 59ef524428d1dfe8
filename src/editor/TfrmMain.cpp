// Creation of the main window (settings, font list, reset of the label set), controls by
// name, window-wide keys, the close request and the title.
#include "editor/TfrmMain.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QDropEvent>
#include <QFileInfo>
#include <QIcon>
#include <QMimeData>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTabWidget>
#include <QToolButton>

#include "render/Artwork.h"
#include "dialogs/WindowPlace.h"
#include "model/Cp932.h"
#include "model/DocumentOps.h"
#include "model/Settings.h"

namespace sw::editor {

namespace {

// Sees every key press of the application and hands those meant for the window to it
// before the focused control gets them.
class KeyPreview : public QObject {
public:
    explicit KeyPreview(TfrmMain* window) : QObject(window), m_window(window) {}

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::KeyPress) return false;
        auto* widget = qobject_cast<QWidget*>(watched);
        // A key press travels up to the parents when a control ignores it; take it once,
        // at the focused control.
        if (!widget || widget != QApplication::focusWidget()) return false;
        if (widget != m_window && !m_window->isAncestorOf(widget)) return false;
        return m_window->FormKeyDown(static_cast<QKeyEvent*>(event));
    }

private:
    TfrmMain* m_window;
};

// Takes a label-set file dragged over any control of the window (the text fields would
// otherwise take the file's name as text) and hands it to the window when dropped.
class FileDrop : public QObject {
public:
    FileDrop(TfrmMain* window, std::function<void(const QString&)>* opener)
        : QObject(window), m_window(window), m_opener(opener) {}

    bool eventFilter(QObject* watched, QEvent* event) override {
        const QEvent::Type type = event->type();
        if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop) return false;
        auto* widget = qobject_cast<QWidget*>(watched);
        if (!widget || (widget != m_window && !m_window->isAncestorOf(widget))) return false;
        auto* drop = static_cast<QDropEvent*>(event);
        const QString file =
            drop->mimeData() ? TfrmMain::DroppedLabelSet(drop->mimeData()->urls()) : QString();
        if (file.isEmpty()) return false;
        drop->setDropAction(Qt::CopyAction);
        drop->accept();
        if (type == QEvent::Drop && *m_opener) {
            // Opening asks questions in dialogs of its own: not inside the drag's own loop.
            QMetaObject::invokeMethod(m_window, [opener = *m_opener, file] { opener(file); },
                                      Qt::QueuedConnection);
        }
        return true;
    }

private:
    TfrmMain* m_window;
    std::function<void(const QString&)>* m_opener;
};

bool IsWindowSwitch(const QEvent* event) {
    auto reason = static_cast<const QFocusEvent*>(event)->reason();
    return reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason;
}

}  // namespace

TfrmMain::TfrmMain(sw::model::Workspace& ws, sw::app::Dialogs& dialogs, QWidget* parent)
    : QMainWindow(parent), m_ws(ws), m_dialogs(dialogs) {
    setObjectName(QStringLiteral("frmMain"));
    // The icon of the desktop menu when it is installed, else the program's own artwork.
    setWindowIcon(QIcon::fromTheme(QStringLiteral("stripwise2"), sw::render::ProgramIcon()));
    QFont windowFont(QStringLiteral("ＭＳ Ｐゴシック"));
    windowFont.setPixelSize(12);
    setFont(windowFont);

    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("ClientArea"));
    client->setFixedSize(kClientWidth, kClientHeight);
    setCentralWidget(client);
    BuildMenus();
    BuildToolBar(client);
    BuildManagementPanel(client);
    BuildFormattingPanel(client);
    BuildBackgroundPanel(client);
    BuildFaceTabs(client);
    BuildExitPanel(client);
    ShowThemeColours();
    BuildFileChangedBar(client);
    setFixedSize(kClientWidth, kClientHeight + menuBar()->sizeHint().height());
    setWindowFlag(Qt::MSWindowsFixedSizeDialogHint, true);

    for (QObject* field : {static_cast<QObject*>(m_edtNaisen), static_cast<QObject*>(m_edtName)})
        field->installEventFilter(this);
    // Focus entering these applies the Ｎｏ field first.
    for (const char* name : {"btnFont", "btnColor", "btnColor1", "btnSelect", "Button1",
                             "Button3", "btnCopy1", "btnCopy2", "btnCopy3", "btnCopy4",
                             "btnDelete"})
        findChild<QWidget*>(QString::fromLatin1(name))->installEventFilter(this);
    for (QComboBox* box : {m_comboBox1, m_comboBox2}) box->installEventFilter(this);
    for (int n : {9, 10, 11, 12}) m_radio[static_cast<size_t>(n)]->installEventFilter(this);
    qApp->installEventFilter(new KeyPreview(this));
    setAcceptDrops(true);
    qApp->installEventFilter(new FileDrop(this, &m_fileDropped));

    connect(m_tabPage, &QTabWidget::currentChanged, this, [this](int index) {
        if (!m_programChange) tabPageChange(index);
    });
    connect(m_radio[11], &QRadioButton::clicked, this, [this] { RadioButton11Click(0); });
    connect(m_radio[12], &QRadioButton::clicked, this, [this] { RadioButton11Click(1); });
    BindKeyEditing();
    BindFormatting();
    BindFaceBackground();
    BindFaceCopy();

    // InitialiseEditorState.
    sw::model::AppSettings& settings = m_ws.settings;
    // main() chooses the settings folder; a window made without it keeps the working folder.
    if (settings.ProgramDir.empty())
        settings.ProgramDir = sw::model::WithTrailingSlash(QDir::currentPath().toStdString());
    QSize screen = QGuiApplication::primaryScreen() ? QGuiApplication::primaryScreen()->size()
                                                    : QSize(kClientWidth, kClientHeight);
    sw::model::WindowPlacement placement = sw::model::ReadMainSettings(
        settings.SettingsPath(), {screen.width(), screen.height()}, {width(), height()}, settings);
    sw::app::PlaceWindow(this, placement);
    SetDocumentTitle(QString());
    sw::model::EditorState& e = m_ws.editor;
    e.CurrentEntry = 1;
    e.ShownModel = -1;
    e.CurrentKeyPos = 1;
    e.MemoFocused = 0;
    FillFontNames();
    ClearScreenBackground();
    e.ApplyKeyRange(sw::model::KeyRangeFor(sw::model::kModel18));
    sw::model::ResetLabelSet(m_ws);
    ShowResetLabelSet();
}

TfrmMain::~TfrmMain() {
    // The controls are destroyed after this; what they still signal as they go (a font
    // box losing the focus reports a choice) must reach no handler of the window.
    for (QObject* control : findChildren<QObject*>()) control->disconnect(this);
    disconnect(m_menuBarFocusLeft);
}

KeyPanel* TfrmMain::keyPanel(int position) const {
    return position >= 1 && position <= 30 ? m_positions[static_cast<size_t>(position)].panel : nullptr;
}

CaptionLabel* TfrmMain::captionLabel(int position) const {
    return position >= 1 && position <= 30 ? m_positions[static_cast<size_t>(position)].caption : nullptr;
}

KeyMemo* TfrmMain::keyMemo(int position) const {
    return position >= 1 && position <= 30 ? m_positions[static_cast<size_t>(position)].memo : nullptr;
}

QLabel* TfrmMain::numberLabel(int position) const {
    return position >= 1 && position <= 30 ? m_positions[static_cast<size_t>(position)].number : nullptr;
}

QAction* TfrmMain::action(const QString& name) const { return findChild<QAction*>(name); }

QToolButton* TfrmMain::toolButton(int number) const {
    return m_toolBar->findChild<QToolButton*>(QStringLiteral("ToolButton%1").arg(number));
}

void TfrmMain::UpdateEditCommandStates() {
    const sw::model::EditorState& e = m_ws.editor;
    action(QStringLiteral("N7"))->setEnabled(e.PasteEnabled);
    toolButton(10)->setEnabled(e.PasteEnabled);
    action(QStringLiteral("N5"))->setEnabled(e.FormatPasteEnabled);
    action(QStringLiteral("N11"))->setEnabled(e.EntryPasteEnabled);
    toolButton(13)->setEnabled(e.EntryPasteEnabled);
    action(QStringLiteral("N9"))->setEnabled(e.DeselectEnabled);
    action(QStringLiteral("Undo1"))->setEnabled(e.UndoEnabled);
}

void TfrmMain::UpdateFaceCopyButtons() {
    for (int n = 1; n <= 4; ++n)
        m_btnCopy[static_cast<size_t>(n)]->setEnabled(n != m_ws.editor.CurrentFace);
}

void TfrmMain::SetDocumentTitle(const QString& fileName) {
    m_titleFileName = fileName;
    QString title = sw::model::DecodeCp932(m_ws.settings.TitleBase);
    if (!fileName.isEmpty()) title += QStringLiteral("＜") + fileName + QStringLiteral("＞");
    if (m_modifiedMark) title.prepend(QStringLiteral("＊"));
    setWindowTitle(title);
}

QString TfrmMain::DroppedLabelSet(const QList<QUrl>& urls) {
    for (const QUrl& url : urls) {
        if (!url.isLocalFile()) continue;
        const QString path = url.toLocalFile();
        if (path.endsWith(QStringLiteral(".stw"), Qt::CaseInsensitive) && QFileInfo(path).isFile()) return path;
    }
    return {};
}

void TfrmMain::SetModifiedMark(bool modified) {
    m_modifiedMark = modified;
    SetDocumentTitle(m_titleFileName);
}

void TfrmMain::FocusName() {
    // Right after a modal dialog the window is active again only a moment later; the name
    // field is entered then.
    m_enterNamePending = !isActiveWindow();
    m_edtName->setFocus(Qt::OtherFocusReason);
}

void TfrmMain::closeEvent(QCloseEvent* event) {
    if (m_closeQuery && !m_closeQuery()) {
        event->ignore();
        return;
    }
    event->accept();
}

void TfrmMain::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::PaletteChange) ShowThemeColours();
    // Whatever follows the activation (a look at the disk, a bar shown) comes after it.
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && m_activated)
        QMetaObject::invokeMethod(this, [this] { if (m_activated && isActiveWindow()) m_activated(); },
                                  Qt::QueuedConnection);
}

bool TfrmMain::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type == QEvent::FocusIn && watched == m_edtName && m_enterNamePending) {
        m_enterNamePending = false;
        watched->event(event);
        edtNameEnter();
        return true;
    }
    if (type == QEvent::FocusIn && !IsWindowSwitch(event)) {
        if (watched == m_edtNaisen || watched == m_edtName) {
            // The field takes the focus first (a field entered by Tab selects all), then
            // the window sets the selection it wants.
            watched->event(event);
            if (watched == m_edtNaisen)
                edtNaisenEnter();
            else
                edtNameEnter();
            return true;
        } else {
            ApplyEntryNumber();
        }
    } else if (type == QEvent::FocusOut && !IsWindowSwitch(event)) {
        if (watched == m_edtNaisen) edtNaisenExit();
        if (watched == m_edtName) edtNameExit();
    } else if (type == QEvent::MouseButtonRelease) {
        // Let the field finish its own click first (it places the caret), then act.
        if (watched == m_edtNaisen) {
            QMetaObject::invokeMethod(this, [this] { edtNaisenClick(); }, Qt::QueuedConnection);
        } else if (watched == m_edtName) {
            QMetaObject::invokeMethod(this, [this] { edtNameClick(); }, Qt::QueuedConnection);
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

}  // namespace sw::editor
