// The main window: tool bar, management and formatting panels, background panel, face tabs
// with the 30-position key grid, and the refresh operations every editor command calls.
#pragma once

#include <QMainWindow>
#include <QSet>
#include <QUrl>
#include <array>
#include <functional>
#include <memory>

#include "editor/KeyWidgets.h"
#include "model/Refresh.h"
#include "model/Workspace.h"

class QAction;
class QComboBox;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTabWidget;
class QToolButton;

namespace sw::app {
class Dialogs;
}

namespace sw::editor {

constexpr int kClientWidth = 756;
constexpr int kClientHeight = 476;
// The bar about a file changed on disk, between the tool bar and the rest of the window.
constexpr int kFileChangedBarHeight = 30;

class TfrmMain : public QMainWindow {
    Q_OBJECT
public:
    // FormCreate: builds every control, reads the main window's settings from the working
    // directory and resets the label set (entry 01, face 1, position 07 selected).
    TfrmMain(sw::model::Workspace& ws, sw::app::Dialogs& dialogs, QWidget* parent = nullptr);
    ~TfrmMain() override;

    sw::model::Workspace& workspace() { return m_ws; }
    sw::app::Dialogs& dialogs() { return m_dialogs; }

    // --- Refresh operations (all act on CurrentEntry and CurrentFace) ---
    void ShowKey(int position);
    void ShowFace();
    void ShowCurrentKey();
    void ShowEntry();
    void LayOutKeyGrid();
    void ShowKeyCleared(int position);
    // True when the Ｎｏ field names a valid entry (switching to it when it is another one);
    // false after "Ｎｏが誤っています。" has been shown.
    bool ApplyEntryNumber();
    // The key's two lines in its caption, as stored (showing never changes them): clipped,
    // with the overflow mark and the whole text as tooltip when they do not fit the key.
    void ShowKeyText(int position);
    // The current face's background into Image2, and the background radio buttons.
    void ShowFaceBackground();
    // The current face's picture into Image2, stretched over the face area or repeated at
    // its own size; a picture file that is gone is forgotten.
    void PrepareScreenBackground();
    // Image2 filled with the current face's single colour.
    void PaintScreenSolidBackground();
    // The image Image2 shows (for a look at the face background).
    QImage ScreenBackground() const;
    // Shows again what a plain document operation reports as changed.
    void PerformRefresh(const sw::model::Refresh& refresh);
    // Menu items and tool buttons of the five edit command states follow EditorState.
    void UpdateEditCommandStates();
    // Face copy buttons: the one of the face shown is disabled.
    void UpdateFaceCopyButtons();
    void SetPanelLook(int position, PanelLook look);

    // The window's part of a reset of the label set (start and "新規作成"): face tab 1,
    // face copy buttons, ShowEntry, ShowKeyCleared for 1..30, command states, ShowCurrentKey.
    void ShowResetLabelSet();
    // After a label set was loaded: as above, but every used position is shown in full.
    void ShowLoadedLabelSet();
    // Image2 back to the blank picture.
    void ClearScreenBackground();

    // --- Face background commands (FaceBackground.cpp) ---
    // 画像選択 and tool button 27: a picture file for the current face.
    void ChooseBackgroundPicture();
    void btnSelectClick();
    void Button1Click();  // 画像削除
    void Button3Click();  // 単色選択
    void RadioButton7Click(int sender);  // 7 = 画像, 8 = 単色
    void RadioButton9Click(int sender);  // 9 = 拡大縮小, 10 = 実寸並列
    // A click on a strip drawing (18 or 30 keys) closes the key editor.
    void Image418Click();
    void Image430Click() { Image418Click(); }

    // --- Key texts from and to CSV (KeyCsvTransfer.cpp) ---
    // CSV から読み込み: the two lines of the current entry's keys from a CSV file. The keys
    // that change and the rows that cannot be taken are listed first; OK applies, キャンセル
    // changes nothing. The whole import is one undo step.
    void ImportKeyCsv();
    // CSV に書き出し: every key of the current entry to a CSV file (UTF-8 with a byte order
    // mark), numbered as the grid's number labels show them.
    void ExportKeyCsv();
    // Excel 形式で書き出し: the same list as a workbook whose line columns are text.
    void ExportKeyXlsx();

    // --- Face copy and clear (FaceCopy.cpp) ---
    void btnCopy1Click(int targetFace);  // btnCopy1..4
    void btnDeleteClick();

    // --- Events ---
    void SelectKey(int position);
    void tabPageChange(int index);
    void RadioButton11Click(int model);  // 0 = 30 keys (RadioButton11), 1 = 18 keys (RadioButton12)
    // Hides the in-place editor of the current key and shows its panel again (the editor's
    // losing the focus stores its text).
    void CloseKeyEditor();

    // --- What the tool-bar commands store before they act ---
    // What an open key editor holds, into the current key.
    void StoreKeyEditorText();
    // Closes an open key editor before a paste: its text is stored without an undo record
    // of its own, which would empty the clipboard the paste is about to use.
    void CloseKeyEditorForPaste();
    // The name field into the current entry.
    void StoreEntryName();
    // The document as the screen shows it: the label set with what the open key editor and
    // the name field hold and have not stored yet. Stores nothing and records no undo.
    std::unique_ptr<sw::model::LabelSet> DocumentAsShown() const;

    // Title base alone (empty fileName) or title base + "＜" + fileName + "＞", after a
    // leading "＊" while the label set holds unsaved changes.
    void SetDocumentTitle(const QString& fileName);
    void SetModifiedMark(bool modified);
    // Focus back to the name field after a document command.
    void FocusName();

    // Window-wide key handling, seen before the focused control: Enter, Up and Down move
    // the focus (in a key editor: to the next or previous key), Ctrl+C/X/V/U run the key
    // clipboard and undo outside the key editors. Returns true when the key was used up.
    bool FormKeyDown(QKeyEvent* event);

    // --- In-place key text editing (KeyEditing.cpp) ---
    // Shows the editor of CurrentKeyPos over its panel with the key's two lines, focused.
    void OpenKeyEditor();
    // A key editor lost the focus: its first two visual lines go to the key of EditFace.
    void CommitKeyEditor();
    // What the open key editor would store, when anything was typed into it.
    bool TypedKeyLines(sw::model::Bytes& line0, sw::model::Bytes& line1) const;
    // Leaves the open editor for the next (+1) or previous (-1) used position, wrapping
    // from the last used position to the first and back, and opens the editor there.
    void MoveKeyEditor(int step);

    // --- Formatting commands of the current key (Formatting.cpp) ---
    void ComboBox1Change();           // font name typed or chosen
    void ComboBox2Change();           // font size typed or chosen
    void btnFontClick();              // font dialog
    void btnColor1Click();            // font colour (also ToolButton26)
    void btnColorClick();             // background colour (also ToolButton25)
    void RadioButton1Click(int number);  // RadioButton1..6
    void ToolButton15Click(int number);  // ToolButton15..20: alignment and layout
    void ToolButton22Click(int number);  // ToolButton22..24: bold, italic, underline
    void ToolButton29Click(int number);  // ToolButton28 (+1), ToolButton29 (-1)

    // --- Key clipboard and undo (EditCommands.cpp) ---
    enum class EditCommand {
        KeyCut, KeyCopy, KeyPaste, FormatCopy, FormatPaste,
        EntryCut, EntryCopy, EntryPaste, Undo, Deselect
    };
    // Runs the command on the workspace and shows what it changed; the menu items and tool
    // buttons then follow the five edit command states.
    void RunEditCommand(EditCommand command);

    // --- The bar about the file changed on disk (FileChangedBar.cpp) ---
    // Shows the bar with `text` and the buttons 読み込み直す and 閉じる above the key area;
    // the window grows by the bar's height and all below the tool bar moves down by it, so
    // that nothing is covered. It asks nothing: the user goes on working as before.
    void ShowFileChangedBar(const QString& text);
    void HideFileChangedBar();
    bool FileChangedBarShown() const;
    QWidget* fileChangedBar() const { return m_fileChangedBar; }
    // 読み込み直す on the bar (閉じる only hides it).
    void SetReloadRequested(std::function<void()> reload) { m_reloadRequested = std::move(reload); }
    // Each time the window has become the active one, once the activation is through.
    void SetActivated(std::function<void()> activated) { m_activated = std::move(activated); }

    // Asked at every close request; the close goes ahead when it returns true.
    void SetCloseQuery(std::function<bool()> query) { m_closeQuery = std::move(query); }
    // A label-set file (*.stw) dropped anywhere on the window goes here.
    void SetFileDropped(std::function<void(const QString&)> opener) { m_fileDropped = std::move(opener); }
    // The label-set file among dropped URLs: the first local file named *.stw, else empty.
    static QString DroppedLabelSet(const QList<QUrl>& urls);

    // True while the program itself fills controls (their change handlers do nothing).
    bool IsProgramChange() const { return m_programChange; }

    // --- Controls by name ---
    KeyPanel* keyPanel(int position) const;
    CaptionLabel* captionLabel(int position) const;
    KeyMemo* keyMemo(int position) const;
    QLabel* numberLabel(int position) const;
    QAction* action(const QString& name) const;
    QToolButton* toolButton(int number) const;
    QLineEdit* edtNaisen() const { return m_edtNaisen; }
    QLineEdit* edtName() const { return m_edtName; }
    QTabWidget* tabPage() const { return m_tabPage; }
    QComboBox* fontNameBox() const { return m_comboBox1; }
    QComboBox* fontSizeBox() const { return m_comboBox2; }
    QLabel* pnlADial() const { return m_pnlADial; }

    // The text a key's caption label shows for its two lines.
    static QString CaptionText(const sw::model::KeyLabel& key);
    // The text an opened key editor starts with: each non-empty line as a line.
    static QString EditorText(const sw::model::KeyLabel& key);
    // The screen font of a key label.
    static QFont KeyFont(const sw::model::KeyLabel& key);

signals:
    // A double click on a caption label (the first click has selected the key).
    void keyDoubleClicked(int position);

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The current entry's keys to a CSV file or, with `workbook`, an .xlsx (KeyCsvTransfer.cpp).
    void ExportKeyList(bool workbook);
    // Moves all below the tool bar down by the file-changed bar's height, or back up, and
    // sizes the window to match (FileChangedBar.cpp).
    void MakeRoomForFileChangedBar(bool room);
    struct Position {
        KeyPanel* panel = nullptr;
        CaptionLabel* caption = nullptr;
        KeyMemo* memo = nullptr;
        QLabel* number = nullptr;
    };

    // Layout (MainWindowLayout.cpp).
    void BuildMenus();
    void BuildToolBar(QWidget* client);
    void BuildManagementPanel(QWidget* client);
    void BuildFormattingPanel(QWidget* client);
    void BuildBackgroundPanel(QWidget* client);
    void BuildFaceTabs(QWidget* client);
    void BuildKeyGrid(QWidget* panel1);
    void BuildExitPanel(QWidget* client);
    void BuildFileChangedBar(QWidget* client);
    void FillFontNames();
    // Tool-bar glyphs in the palette's text colour, warnings readable on its window colour.
    void ShowThemeColours();

    // Field events (EntryView.cpp).
    void edtNaisenEnter();
    void edtNaisenExit();
    void edtNaisenClick();
    void edtNameEnter();
    void edtNameExit();
    void edtNameClick();

    sw::model::KeyLabel* KeyAt(int position);
    sw::model::KeyLabel& CurrentKey();
    void ShowKeyFormat(const sw::model::KeyLabel& key);
    void SetScreenBackground(const QImage& image);
    void ReportPictureError(const QString& message);
    // The stored path of a picture that is gone, in red under 画像選択; empty hides it.
    void ShowMissingPicture(const QString& path);
    // Editing and formatting bindings (KeyEditing.cpp, Formatting.cpp).
    void BindKeyEditing();
    void BindFormatting();
    void ParkFocusOffKeyEditor();
    // Binds the background and face copy controls (FaceBackground.cpp, FaceCopy.cpp).
    void BindFaceBackground();
    void BindFaceCopy();
    // The controls of the background mode in force enabled, those of the other disabled.
    void EnableBackgroundControls(bool pictureMode);
    // The current face's picture on screen, already loaded, stretched or repeated.
    void ShowScreenPicture(const QImage& picture);
    // False when a click arrives after applying the Ｎｏ field on focus failed: the field
    // does not name the entry shown, and the button's command is not carried out.
    bool EntryNumberStands() const;

    sw::model::Workspace& m_ws;
    sw::app::Dialogs& m_dialogs;
    std::function<bool()> m_closeQuery;
    std::function<void(const QString&)> m_fileDropped;
    std::function<void()> m_reloadRequested;
    std::function<void()> m_activated;

    std::array<Position, 31> m_positions{};  // 1..30
    int m_selectedPanel = 0;                 // position that shows the selected look
    bool m_programChange = false;            // set while the program fills controls
    bool m_enterNamePending = false;         // the name field is entered once the window is active
    bool m_storeBeforePaste = false;         // the editor's text goes in without an undo record
    QMetaObject::Connection m_menuBarFocusLeft;
    QSet<QString> m_reportedPictureErrors;
    QComboBox* m_typedBox = nullptr;         // the font box whose typing is being applied
    QString m_titleFileName;                 // the file named in the title
    bool m_modifiedMark = false;             // the title shows unsaved changes
    QString m_csvPath;                       // the CSV file last read or written

    QWidget* m_toolBar = nullptr;
    QLineEdit* m_edtNaisen = nullptr;
    QLineEdit* m_edtName = nullptr;
    QLabel* m_pnlADial = nullptr;
    QComboBox* m_comboBox1 = nullptr;
    QComboBox* m_comboBox2 = nullptr;
    std::array<QRadioButton*, 13> m_radio{};  // RadioButton1..12
    std::array<QPushButton*, 5> m_btnCopy{};  // btnCopy1..4
    QGroupBox* m_groupBox4 = nullptr;
    QPushButton* m_btnSelect = nullptr;
    QPushButton* m_button1 = nullptr;
    QLabel* m_lblMissingPicture = nullptr;
    QPushButton* m_button3 = nullptr;
    QTabWidget* m_tabPage = nullptr;
    QWidget* m_panel1 = nullptr;
    QLabel* m_image2 = nullptr;
    QLabel* m_image1 = nullptr;
    QLabel* m_image430 = nullptr;
    QLabel* m_image418 = nullptr;
    QWidget* m_fileChangedBar = nullptr;
    QLabel* m_fileChangedText = nullptr;
};

}  // namespace sw::editor
