// Every control of the main window at its place: menus, tool bar, the three left panels,
// the face tabs with the key grid, and the exit panel.
#include <QAction>
#include <QComboBox>
#include <QFontDatabase>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTabWidget>
#include <QToolButton>
#include <limits>

#include "dialogs/FontDialog.h"
#include "render/Artwork.h"
#include "dialogs/Cp932Input.h"
#include "editor/ScreenColors.h"
#include "editor/TfrmMain.h"
#include "model/Cp932.h"
#include "model/Settings.h"
#include "render/Pictures.h"

namespace sw::editor {

namespace {

QFrame* NewPanel(QWidget* parent, const char* name, QRect geometry) {
    auto* panel = new QFrame(parent);
    panel->setObjectName(QString::fromLatin1(name));
    panel->setFrameShape(QFrame::Panel);
    panel->setFrameShadow(QFrame::Raised);
    panel->setLineWidth(1);
    panel->setGeometry(geometry);
    return panel;
}

// A caption cell beside a field ("Ｎｏ", "管理名称", "オートダイヤル").
QLabel* NewCaption(QWidget* parent, const char* name, const QString& text, QRect geometry) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setFrameShape(QFrame::Panel);
    label->setFrameShadow(QFrame::Raised);
    label->setAlignment(Qt::AlignCenter);
    label->setGeometry(geometry);
    return label;
}

QPushButton* NewButton(QWidget* parent, const char* name, const QString& text, QRect geometry) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setGeometry(geometry);
    button->setAutoDefault(false);
    return button;
}

QRadioButton* NewRadio(QWidget* parent, const char* name, const QString& text, QPoint at,
                       int width = 64) {
    auto* radio = new QRadioButton(text, parent);
    radio->setObjectName(QString::fromLatin1(name));
    radio->setGeometry(at.x(), at.y(), width, 17);
    return radio;
}

QGroupBox* NewGroup(QWidget* parent, const char* name, const QString& title, QRect geometry) {
    auto* group = new QGroupBox(title, parent);
    group->setObjectName(QString::fromLatin1(name));
    group->setGeometry(geometry);
    return group;
}

}  // namespace

void TfrmMain::BuildMenus() {
    QMenuBar* bar = menuBar();
    bar->setObjectName(QStringLiteral("MainMenu1"));
    auto add = [this](QMenu* menu, const char* name, const char* caption) {
        QAction* a = menu->addAction(QString::fromUtf8(caption));
        a->setObjectName(QString::fromLatin1(name));
        a->setParent(this);
        return a;
    };
    QMenu* file = bar->addMenu(QStringLiteral("ファイル(&F)"));
    file->setObjectName(QStringLiteral("File1"));
    add(file, "New1", "新規作成(&N)");
    add(file, "Open1", "開く(&O)");
    add(file, "SaveAs1", "名前を付けて保存(&A)");
    file->addSeparator();
    add(file, "CsvImport1", "CSV から読み込み(&R)…");
    add(file, "CsvExport1", "CSV に書き出し(&W)…");
    add(file, "XlsxExport1", "Excel 形式で書き出し(&E)…");
    file->addSeparator();
    add(file, "N2", "シートのプレビュー(&V)");
    add(file, "Print1", "シートの印刷(&P)");
    add(file, "I1", "印刷の微調整(&I)");
    file->addSeparator();
    // The label sets opened or saved last; hidden until there are some.
    for (int n = 1; n <= sw::model::kRecentFileCount; ++n)
        add(file, QStringLiteral("Recent%1").arg(n).toLatin1().constData(), "")->setVisible(false);
    QAction* recentEnd = file->addSeparator();
    recentEnd->setObjectName(QStringLiteral("RecentSeparator"));
    recentEnd->setParent(this);
    recentEnd->setVisible(false);
    add(file, "Exit1", "終了(&X)");

    QMenu* edit = bar->addMenu(QStringLiteral("編集(&E)"));
    edit->setObjectName(QStringLiteral("Edit1"));
    add(edit, "Cut1", "切り取り(&T)");
    add(edit, "Copy1", "コピー(&C)");
    add(edit, "N7", "貼り付け(&P)");
    edit->addSeparator();
    add(edit, "N6", "書式コピー");
    add(edit, "N5", "書式貼り付け");
    edit->addSeparator();
    add(edit, "N10", "全切り取り");
    add(edit, "N8", "全コピー");
    add(edit, "N11", "全貼り付け");
    edit->addSeparator();
    add(edit, "Undo1", "元に戻す(&U)");
    add(edit, "N9", "選択解除(&R)");

    QMenu* management = bar->addMenu(QStringLiteral("管理番号(&P)"));
    management->setObjectName(QStringLiteral("N1"));
    add(management, "N3", "管理番号一覧登録");
    add(management, "N4", "管理番号選択");

    QMenu* help = bar->addMenu(QStringLiteral("ヘルプ(&H)"));
    help->setObjectName(QStringLiteral("Help1"));
    add(help, "de1", "Stripwise２　 のヘルプ(&H)");
    help->addSeparator();
    add(help, "About1", "バージョン情報(&A)");

    // Keys of their own for the common commands, shown in the menus. Ctrl+C, X, V and U
    // stay with the window's key handling (FormKeyDown), which knows the key editors;
    // Ctrl+Z is a second key for 元に戻す (inside a text field it undoes the typing).
    const std::pair<const char*, QKeySequence> keys[] = {
        {"New1", QKeySequence(Qt::CTRL | Qt::Key_N)},   {"Open1", QKeySequence(Qt::CTRL | Qt::Key_O)},
        {"SaveAs1", QKeySequence(Qt::CTRL | Qt::Key_S)}, {"Print1", QKeySequence(Qt::CTRL | Qt::Key_P)},
        {"de1", QKeySequence(Qt::Key_F1)},              {"Exit1", QKeySequence(Qt::CTRL | Qt::Key_Q)},
        {"Undo1", QKeySequence(Qt::CTRL | Qt::Key_Z)}};
    for (const auto& [name, key] : keys) action(QString::fromLatin1(name))->setShortcut(key);
}

void TfrmMain::BuildToolBar(QWidget* client) {
    m_toolBar = new QFrame(client);
    m_toolBar->setObjectName(QStringLiteral("ToolBar1"));
    m_toolBar->setGeometry(0, 0, kClientWidth, 25);
    struct Tool {
        int number;  // 0 = separator
        const char* hint;
    };
    static const Tool kTools[] = {
        {1, "新規作成"}, {2, "開く"}, {3, "保存"}, {4, "印刷"}, {5, "印刷プレビュー"},
        {6, "印刷微調整"}, {0, nullptr}, {9, "切り取り"}, {8, "コピー"}, {10, "張り付け"},
        {11, "全切り取り"}, {12, "全コピー"}, {13, "全張り付け"}, {0, nullptr},
        {15, "左揃"}, {16, "中央揃"}, {17, "右揃"}, {18, "上揃"}, {19, "中揃"}, {20, "下揃"},
        {0, nullptr}, {22, "太字"}, {23, "斜体"}, {24, "下線"}, {25, "背景色"},
        {26, "フォントの色"}, {27, "画像の挿入"}, {28, "フォントサイズ拡大"},
        {29, "フォントサイズ縮小"},
    };
    int x = 0;
    for (const Tool& tool : kTools) {
        if (tool.number == 0) {
            x += 8;
            continue;
        }
        auto* button = new QToolButton(m_toolBar);
        button->setObjectName(QStringLiteral("ToolButton%1").arg(tool.number));
        button->setGeometry(x, 1, 25, 23);
        button->setIconSize(QSize(16, 16));
        button->setToolTip(QString::fromUtf8(tool.hint));
        // A screen reader says the command; the tooltip alone would be only its description.
        button->setAccessibleName(button->toolTip());
        button->setAutoRaise(true);
        button->setFocusPolicy(Qt::NoFocus);
        x += 25;
    }
}

void TfrmMain::BuildManagementPanel(QWidget* client) {
    QFrame* panel = NewPanel(client, "Panel150", QRect(0, 25, 257, 124));
    NewButton(panel, "Button2", QStringLiteral("管理番号一覧登録"), QRect(12, 6, 234, 21));
    QLabel* lblNaisen = NewCaption(panel, "lblNaisen", QStringLiteral("Ｎｏ"), QRect(12, 33, 84, 21));
    m_edtNaisen = new QLineEdit(panel);
    // The caption names its field for a screen reader.
    lblNaisen->setBuddy(m_edtNaisen);
    m_edtNaisen->setObjectName(QStringLiteral("edtNaisen"));
    m_edtNaisen->setGeometry(96, 33, 21, 21);
    m_edtNaisen->setMaxLength(2);
    m_edtNaisen->setText(QStringLiteral("00"));
    m_edtNaisen->setTextMargins(0, 0, 0, 0);
    m_edtNaisen->setAttribute(Qt::WA_InputMethodEnabled, false);
    m_edtNaisen->setInputMethodHints(Qt::ImhPreferNumbers | Qt::ImhLatinOnly);
    RefuseNonCp932(m_edtNaisen, true);
    NewButton(panel, "btnNaisen", QStringLiteral("管理番号選択"), QRect(129, 33, 117, 21));
    QLabel* lblName = NewCaption(panel, "lblName", QStringLiteral("管理名称"), QRect(12, 59, 84, 21));
    m_edtName = new QLineEdit(panel);
    lblName->setBuddy(m_edtName);
    m_edtName->setObjectName(QStringLiteral("edtName"));
    m_edtName->setGeometry(96, 59, 118, 21);
    m_edtName->setAttribute(Qt::WA_InputMethodEnabled, true);
    // A line edit cuts its text at 32,767 characters unless told otherwise; a stored name
    // of any length is shown and kept whole.
    m_edtName->setMaxLength(std::numeric_limits<int>::max());
    RefuseNonCp932(m_edtName, true);
    // Enter in the Ｎｏ field moves on to the name field.
    QWidget::setTabOrder(m_edtNaisen, m_edtName);
    QGroupBox* models = NewGroup(panel, "GroupBox5", QStringLiteral("ボタン数"), QRect(12, 83, 234, 36));
    m_radio[12] = NewRadio(models, "RadioButton12", QStringLiteral("18ボタン"), QPoint(35, 15), 80);
    m_radio[11] = NewRadio(models, "RadioButton11", QStringLiteral("30ボタン"), QPoint(123, 15), 80);
}

void TfrmMain::BuildFormattingPanel(QWidget* client) {
    QFrame* panel = NewPanel(client, "Panel5", QRect(0, 147, 257, 192));
    NewCaption(panel, "lblADial", QStringLiteral("オートダイヤル"), QRect(12, 6, 105, 21));
    m_pnlADial = new QLabel(QStringLiteral("01"), panel);
    m_pnlADial->setObjectName(QStringLiteral("pnlADial"));
    m_pnlADial->setGeometry(116, 6, 25, 21);
    m_pnlADial->setFrameShape(QFrame::Panel);
    m_pnlADial->setFrameShadow(QFrame::Sunken);
    m_pnlADial->setAlignment(Qt::AlignCenter);
    PaintBlackOnWhite(m_pnlADial);

    m_comboBox1 = new QComboBox(panel);
    m_comboBox1->setObjectName(QStringLiteral("ComboBox1"));
    m_comboBox1->setEditable(true);
    m_comboBox1->setInsertPolicy(QComboBox::NoInsert);
    m_comboBox1->setGeometry(12, 31, 195, 21);
    RefuseNonCp932(m_comboBox1);
    m_comboBox2 = new QComboBox(panel);
    m_comboBox2->setObjectName(QStringLiteral("ComboBox2"));
    m_comboBox2->setEditable(true);
    m_comboBox2->setInsertPolicy(QComboBox::NoInsert);
    m_comboBox2->setGeometry(205, 31, 41, 21);
    // The two boxes have no caption on screen; a screen reader tells what they hold.
    m_comboBox1->setAccessibleDescription(QStringLiteral("フォント名"));
    m_comboBox2->setAccessibleDescription(QStringLiteral("フォントサイズ"));
    for (const char* size : {"8", "9", "10", "11", "12", "14", "16", "18", "20", "22", "24",
                             "26", "28", "36", "48", "72"})
        m_comboBox2->addItem(QString::fromLatin1(size));
    RefuseNonCp932(m_comboBox2);

    NewButton(panel, "btnFont", QStringLiteral("フォント選択"), QRect(12, 58, 117, 21));
    NewButton(panel, "btnColor1", QStringLiteral("文字色選択"), QRect(129, 58, 117, 21));
    NewButton(panel, "btnColor", QStringLiteral("背景色選択"), QRect(12, 81, 117, 21));

    QGroupBox* horizontal =
        NewGroup(panel, "GroupBox1", QStringLiteral("水平文字配置"), QRect(12, 109, 234, 38));
    m_radio[1] = NewRadio(horizontal, "RadioButton1", QStringLiteral("左揃"), QPoint(19, 16));
    m_radio[2] = NewRadio(horizontal, "RadioButton2", QStringLiteral("中央"), QPoint(87, 16));
    m_radio[3] = NewRadio(horizontal, "RadioButton3", QStringLiteral("右揃"), QPoint(155, 16));
    QGroupBox* vertical =
        NewGroup(panel, "GroupBox2", QStringLiteral("垂直文字配置"), QRect(12, 149, 234, 38));
    m_radio[4] = NewRadio(vertical, "RadioButton4", QStringLiteral("上端"), QPoint(19, 16));
    m_radio[5] = NewRadio(vertical, "RadioButton5", QStringLiteral("中央"), QPoint(87, 16));
    m_radio[6] = NewRadio(vertical, "RadioButton6", QStringLiteral("下端"), QPoint(155, 16));
}

void TfrmMain::BuildBackgroundPanel(QWidget* client) {
    QFrame* panel = NewPanel(client, "Panel9", QRect(0, 337, 257, 138));
    QFont buttonFont(QStringLiteral("ＭＳ ゴシック"));
    buttonFont.setPixelSize(12);
    QGroupBox* mode = NewGroup(panel, "GroupBox3", QStringLiteral("背景画像"), QRect(12, 2, 234, 38));
    m_radio[7] = NewRadio(mode, "RadioButton7", QStringLiteral("画像"), QPoint(35, 15));
    m_radio[8] = NewRadio(mode, "RadioButton8", QStringLiteral("単色"), QPoint(123, 15));
    m_btnSelect = NewButton(panel, "btnSelect", QStringLiteral("画像選択"), QRect(10, 46, 117, 21));
    m_button3 = NewButton(panel, "Button3", QStringLiteral("単色選択"), QRect(128, 46, 117, 21));
    m_button1 = NewButton(panel, "Button1", QStringLiteral("画像削除"), QRect(10, 70, 117, 21));
    for (QPushButton* b : {m_btnSelect, m_button3, m_button1}) {
        b->setFont(buttonFont);
        b->setFocusPolicy(Qt::ClickFocus);  // not a tab stop
    }
    // A stored picture that is gone: its path in red beside 画像削除, the whole path on hover.
    m_lblMissingPicture = new QLabel(panel);
    m_lblMissingPicture->setObjectName(QStringLiteral("lblMissingPicture"));
    m_lblMissingPicture->setGeometry(QRect(128, 70, 117, 21));
    m_lblMissingPicture->setFont(buttonFont);
    m_groupBox4 = NewGroup(panel, "GroupBox4", QStringLiteral("画像配置"), QRect(12, 95, 234, 38));
    m_radio[9] = NewRadio(m_groupBox4, "RadioButton9", QStringLiteral("拡大縮小"), QPoint(35, 16), 80);
    m_radio[10] = NewRadio(m_groupBox4, "RadioButton10", QStringLiteral("実寸並列"), QPoint(123, 16), 80);
}

void TfrmMain::BuildFaceTabs(QWidget* client) {
    m_tabPage = new QTabWidget(client);
    m_tabPage->setObjectName(QStringLiteral("tabPage"));
    m_tabPage->setGeometry(258, 26, 497, 403);
    for (const char* caption : {"印刷面１", "印刷面２", "印刷面３", "印刷面４"}) {
        // One face area serves all four tabs; the pages themselves stay empty.
        auto* page = new QWidget;
        m_tabPage->addTab(page, QString::fromUtf8(caption));
    }

    // Clicking a tab takes the focus, so a name being typed is stored before the face changes.
    if (auto* bar = m_tabPage->findChild<QTabBar*>()) bar->setFocusPolicy(Qt::StrongFocus);

    m_panel1 = new QFrame(m_tabPage);
    m_panel1->setObjectName(QStringLiteral("Panel1"));
    m_panel1->setGeometry(11, 32, 468, 289);
    static_cast<QFrame*>(m_panel1)->setFrameShape(QFrame::Panel);
    static_cast<QFrame*>(m_panel1)->setFrameShadow(QFrame::Sunken);

    QFont buttonFont(QStringLiteral("ＭＳ ゴシック"));
    buttonFont.setPixelSize(12);
    const QPoint copyAt[5] = {{}, {18, 336}, {18, 365}, {154, 336}, {154, 365}};
    for (int n = 1; n <= 4; ++n) {
        static const char* const kCaptions[5] = {"", "印刷面１にコピー", "印刷面２にコピー",
                                                 "印刷面３にコピー", "印刷面４にコピー"};
        QByteArray name = "btnCopy" + QByteArray::number(n);
        m_btnCopy[n] = NewButton(m_tabPage, name.constData(), QString::fromUtf8(kCaptions[n]),
                                 QRect(copyAt[n], QSize(117, 21)));
    }
    QPushButton* clear = NewButton(m_tabPage, "btnDelete", QStringLiteral("この印刷面を消去"),
                                   QRect(354, 336, 117, 21));
    for (int n = 1; n <= 4; ++n) {
        m_btnCopy[n]->setFont(buttonFont);
        m_btnCopy[n]->setFocusPolicy(Qt::ClickFocus);
        m_btnCopy[n]->raise();
    }
    clear->setFont(buttonFont);
    clear->setFocusPolicy(Qt::ClickFocus);
    clear->raise();
    m_panel1->raise();

    BuildKeyGrid(m_panel1);
}

void TfrmMain::BuildKeyGrid(QWidget* panel1) {
    // From back to front: background, white backdrop, strip drawings, number labels, key
    // panels, editors.
    m_image2 = new QLabel(panel1);
    m_image2->setObjectName(QStringLiteral("Image2"));
    m_image2->setGeometry(5, 5, 458, 277);
    m_image2->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    m_image1 = new QLabel(panel1);
    m_image1->setObjectName(QStringLiteral("Image1"));
    m_image1->setGeometry(39, 25, 396, 231);
    m_image1->setScaledContents(true);
    m_image1->setPixmap(QPixmap::fromImage(sw::render::BlankPicture()));

    m_image430 = new QLabel(panel1);
    m_image430->setObjectName(QStringLiteral("Image430"));
    m_image430->setGeometry(5, 5, 458, 277);
    m_image430->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_image430->setPixmap(QPixmap::fromImage(sw::render::StripDrawing(true)));
    m_image418 = new QLabel(panel1);
    m_image418->setObjectName(QStringLiteral("Image418"));
    m_image418->setGeometry(5, 5, 458, 277);
    m_image418->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_image418->setPixmap(QPixmap::fromImage(sw::render::StripDrawing(false)));
    m_image430->hide();

    static const int kRowTop[6] = {0, 207, 162, 117, 72, 26};
    QFont numberFont = font();
    numberFont.setPixelSize(10);
    for (int p = 1; p <= 30; ++p) {
        int row = (p - 1) / 6 + 1;
        int column = (p - 1) % 6 + 1;
        int left = 39 + (column - 1) * 66;
        int top = kRowTop[row];
        auto* number = new QLabel(QStringLiteral("%1").arg(p, 2, 10, QLatin1Char('0')), panel1);
        number->setObjectName(QStringLiteral("Label%1").arg(p, 2, 10, QLatin1Char('0')));
        number->setGeometry(left + 27, top + (row == 5 ? 33 : 32), 12, 12);
        number->setAlignment(Qt::AlignCenter);
        number->setFont(numberFont);
        PaintBlackOnWhite(number);
        m_positions[static_cast<size_t>(p)].number = number;
    }
    for (int p = 1; p <= 30; ++p) {
        int row = (p - 1) / 6 + 1;
        int column = (p - 1) % 6 + 1;
        int left = 39 + (column - 1) * 66;
        int top = kRowTop[row];
        QString nn = QStringLiteral("%1").arg(p, 2, 10, QLatin1Char('0'));
        auto* panel = new KeyPanel(panel1);
        panel->setObjectName(QStringLiteral("Panel") + nn);
        panel->setGeometry(left, top, 67, 27);
        auto* caption = new CaptionLabel(panel);
        caption->setObjectName(QStringLiteral("Label") + nn + QStringLiteral("1"));
        caption->setGeometry(1, 1, 65, 26);
        caption->setAlignment(Qt::AlignCenter);
        connect(caption, &CaptionLabel::clicked, this, [this, p] { SelectKey(p); });
        connect(caption, &CaptionLabel::doubleClicked, this, [this, p] { emit keyDoubleClicked(p); });
        Position& pos = m_positions[static_cast<size_t>(p)];
        pos.panel = panel;
        pos.caption = caption;
    }
    for (int p = 1; p <= 30; ++p) {
        int row = (p - 1) / 6 + 1;
        int column = (p - 1) % 6 + 1;
        int left = 39 + (column - 1) * 66;
        int top = kRowTop[row];
        auto* memo = new KeyMemo(panel1);
        memo->setObjectName(QStringLiteral("Memo%1").arg(p, 2, 10, QLatin1Char('0')));
        memo->setGeometry(left, row == 5 ? top : top - 1, 67, 34);
        memo->hide();
        m_positions[static_cast<size_t>(p)].memo = memo;
    }
    // The editor wraps the tab order round the used keys with two sentinels of no size;
    // they take the focus once the in-place editing is bound to them.
    for (int s : {31, 32}) {
        auto* sentinel = new KeyMemo(panel1);
        sentinel->setObjectName(QStringLiteral("Memo%1").arg(s));
        sentinel->setGeometry(-10, -10, 0, 0);
        sentinel->setFocusPolicy(Qt::NoFocus);
    }
}

void TfrmMain::ShowThemeColours() {
    // Drawn anew whenever the desktop's colours change (a dark theme switched on). The
    // window's palette is the one already changed; its controls follow it afterwards.
    const QColor ink = palette().color(QPalette::WindowText);
    for (QToolButton* button : m_toolBar->findChildren<QToolButton*>()) {
        const int number = button->objectName().mid(QStringLiteral("ToolButton").size()).toInt();
        button->setIcon(sw::render::ToolIcon(number, ink));
    }
    QPalette warning = m_lblMissingPicture->palette();
    warning.setColor(QPalette::WindowText, WarningTextOn(palette().color(QPalette::Window)));
    m_lblMissingPicture->setPalette(warning);
}

void TfrmMain::BuildExitPanel(QWidget* client) {
    QFrame* panel = NewPanel(client, "Panel2", QRect(256, 427, 499, 48));
    NewButton(panel, "Button6", QStringLiteral("終　　了"), QRect(392, 12, 94, 25));
}

void TfrmMain::FillFontNames() {
    // The printer uses the fonts installed for the screen; the Windows names are offered
    // beside them because they are what stored labels name (and are drawn in their
    // substitutes).
    m_comboBox1->addItems(sw::app::FontFamilyChoices(QFontDatabase::families(), QString()));
}

}  // namespace sw::editor
