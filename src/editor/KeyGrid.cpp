// The key grid: showing keys (never changing them), the selected key and its format,
// laying the grid out for a key model, and selecting a key.
#include <QComboBox>
#include <QLabel>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QTextDocument>

#include "editor/ScreenColors.h"
#include "editor/TfrmMain.h"
#include "editor/VisualLines.h"
#include "model/Cp932.h"
#include "render/SheetRenderer.h"

namespace sw::editor {

using sw::model::DecodeCp932;
using sw::model::KeyLabel;

namespace {

QString TwoDigits(int n) { return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0')); }

Qt::Alignment HorizontalOf(std::uint8_t alignment) {
    switch (alignment) {
        case sw::model::kAlignLeft: return Qt::AlignLeft;
        case sw::model::kAlignRight: return Qt::AlignRight;
        default: return Qt::AlignHCenter;
    }
}

Qt::Alignment VerticalOf(std::uint8_t layout) {
    switch (layout) {
        case sw::model::kLayoutTop: return Qt::AlignTop;
        case sw::model::kLayoutBottom: return Qt::AlignBottom;
        default: return Qt::AlignVCenter;
    }
}

// Sizes from a file may be anything; the screen shows them within what a font can take.
int ScreenPointSize(std::int32_t size) { return std::clamp<std::int32_t>(size, 1, 500); }

// A key line longer than this cannot show in full on a key; only the part that can show is
// laid out, so that a line of megabytes from a damaged file shows at once.
constexpr qsizetype kShownChars = 512;
// The tooltip of a key that does not fit shows its whole text, up to this many characters.
constexpr qsizetype kTooltipChars = 4096;

// The part of a line a clipped caption shows: its start, its end, or its middle.
QString ShownPart(const QString& line, std::uint8_t alignment) {
    if (line.size() <= kShownChars) return line;
    switch (alignment) {
        case sw::model::kAlignLeft: return line.left(kShownChars);
        case sw::model::kAlignRight: return line.right(kShownChars);
        default: return line.mid((line.size() - kShownChars) / 2, kShownChars);
    }
}

QString CaptionOf(const QString& line1, const QString& line2) {
    if (line2.isEmpty()) return line1;
    if (line1.isEmpty()) return line2;
    return line1 + QLatin1Char('\n') + line2;
}

// What a screen reader says for a key: its number and its lines, "キー 07、内線 / 営業".
QString KeyAccessibleName(int keyNumber, const QString& line1, const QString& line2) {
    QStringList lines;
    for (const QString& line : {line1, line2})
        if (!line.isEmpty()) lines.append(line.left(kShownChars));
    QString name = QStringLiteral("キー ") + TwoDigits(keyNumber);
    if (!lines.isEmpty()) name += QStringLiteral("、") + lines.join(QStringLiteral(" / "));
    return name;
}

void SetBoxText(QComboBox* box, const QString& text) {
    if (box->currentText() != text) box->setEditText(text);
}

void SetTextColors(QWidget* w, const QColor& text, const QColor* base) {
    QPalette p = w->palette();
    p.setColor(QPalette::WindowText, text);
    p.setColor(QPalette::Text, text);
    if (base) p.setColor(QPalette::Base, *base);
    w->setPalette(p);
}

}  // namespace

QString TfrmMain::CaptionText(const KeyLabel& key) {
    return CaptionOf(DecodeCp932(key.Line1), DecodeCp932(key.Line2));
}

QString TfrmMain::EditorText(const KeyLabel& key) {
    // Each non-empty line as a line of its own.
    QStringList lines;
    if (!key.Line1.empty()) lines.append(DecodeCp932(key.Line1));
    if (!key.Line2.empty()) lines.append(DecodeCp932(key.Line2));
    return lines.join(QLatin1Char('\n'));
}

QFont TfrmMain::KeyFont(const KeyLabel& key) {
    QFont font(DecodeCp932(key.FontName));
    font.setPointSize(ScreenPointSize(key.FontSize));
    font.setBold(key.FontStyle & sw::model::kStyleBold);
    font.setItalic(key.FontStyle & sw::model::kStyleItalic);
    font.setUnderline(key.FontStyle & sw::model::kStyleUnderline);
    font.setStrikeOut(key.FontStyle & sw::model::kStyleStrikeOut);
    return font;
}

KeyLabel* TfrmMain::KeyAt(int position) {
    const sw::model::EditorState& e = m_ws.editor;
    int k = position - e.KeyOffset;
    if (position < 1 || position > 30 || k < 1 || k > sw::model::kKeyCount) return nullptr;
    return &m_ws.labelSet.Entries[e.CurrentEntry].Faces[e.CurrentFace].Keys[k];
}

KeyLabel& TfrmMain::CurrentKey() {
    KeyLabel* key = KeyAt(m_ws.editor.CurrentKeyPos);
    Q_ASSERT(key);
    return *key;
}

void TfrmMain::SetPanelLook(int position, PanelLook look) {
    KeyPanel* panel = keyPanel(position);
    if (!panel) return;
    if (look == PanelLook::Selected) {
        // Only one position looks selected at a time.
        if (m_selectedPanel != 0 && m_selectedPanel != position)
            keyPanel(m_selectedPanel)->setLook(PanelLook::Normal);
        m_selectedPanel = position;
    } else if (m_selectedPanel == position) {
        m_selectedPanel = 0;
    }
    panel->setLook(look);
}

void TfrmMain::ShowKey(int position) {
    KeyLabel* key = KeyAt(position);
    if (!key) return;
    Position& pos = m_positions[static_cast<size_t>(position)];
    const QColor back = ColorFromRef(key->BackColor);
    const QColor ink = ColorFromRef(key->FontColor);
    const QFont font = KeyFont(*key);
    const Qt::Alignment horizontal = HorizontalOf(key->Alignment);

    pos.panel->setColor(back);

    pos.memo->setFont(font);
    QTextOption option = pos.memo->document()->defaultTextOption();
    option.setAlignment(horizontal);
    pos.memo->document()->setDefaultTextOption(option);
    SetTextColors(pos.memo, ink, &back);

    pos.caption->setAlignment(horizontal | VerticalOf(key->Layout));
    SetTextColors(pos.caption, ink, nullptr);
    pos.caption->setFont(font);
    ShowKeyText(position);

    if (position == m_ws.editor.CurrentKeyPos) ShowKeyFormat(*key);
}

void TfrmMain::ShowFace() {
    const sw::model::EditorState& e = m_ws.editor;
    for (int p = e.FirstKeyPos; p <= e.LastKeyPos; ++p) ShowKey(p);
}

void TfrmMain::ShowKeyFormat(const KeyLabel& key) {
    // Filling the boxes and buttons from here is not a change made by the user.
    m_programChange = true;
    {
        const QSignalBlocker block1(m_comboBox1);
        const QSignalBlocker block2(m_comboBox2);
        // The box being typed in keeps what the user typed (and the caret); it shows the
        // stored value again when it loses the focus.
        if (m_typedBox != m_comboBox1) SetBoxText(m_comboBox1, DecodeCp932(key.FontName));
        if (m_typedBox != m_comboBox2) SetBoxText(m_comboBox2, QString::number(key.FontSize));
    }
    switch (key.Alignment) {
        case sw::model::kAlignLeft: m_radio[1]->setChecked(true); break;
        case sw::model::kAlignRight: m_radio[3]->setChecked(true); break;
        case sw::model::kAlignCenter: m_radio[2]->setChecked(true); break;
        default: break;
    }
    switch (key.Layout) {
        case sw::model::kLayoutTop: m_radio[4]->setChecked(true); break;
        case sw::model::kLayoutMiddle: m_radio[5]->setChecked(true); break;
        case sw::model::kLayoutBottom: m_radio[6]->setChecked(true); break;
        default: break;
    }
    m_programChange = false;
}

void TfrmMain::ShowCurrentKey() {
    const sw::model::EditorState& e = m_ws.editor;
    KeyLabel* key = KeyAt(e.CurrentKeyPos);
    if (!key) return;
    m_pnlADial->setText(TwoDigits(e.CurrentKeyPos - e.KeyOffset));
    m_pnlADial->setAccessibleName(QStringLiteral("オートダイヤル ") + m_pnlADial->text());
    SetPanelLook(e.CurrentKeyPos, PanelLook::Selected);
    ShowKeyFormat(*key);
}

void TfrmMain::ShowKeyText(int position) {
    const KeyLabel* key = KeyAt(position);
    if (!key) return;
    Position& pos = m_positions[static_cast<size_t>(position)];
    const QString line1 = DecodeCp932(key->Line1);
    const QString line2 = DecodeCp932(key->Line2);
    // The caption shows the stored lines as they are, clipped by the key; a key whose lines
    // do not fit (as the sheet would print them) is marked and tells its whole text.
    pos.caption->setText(CaptionOf(ShownPart(line1, key->Alignment), ShownPart(line2, key->Alignment)));
    const bool overflows = line1.size() > kShownChars || line2.size() > kShownChars ||
                           sw::render::CheckKeyFit(*key, m_ws.editor.CurrentFace, position).Any();
    pos.caption->setOverflowMark(overflows);
    QString whole;
    if (overflows) {
        whole = CaptionOf(line1, line2);
        if (whole.size() > kTooltipChars) whole = whole.left(kTooltipChars) + QStringLiteral("…");
        whole = Qt::convertFromPlainText(whole, Qt::WhiteSpaceNormal);
    }
    pos.caption->setToolTip(whole);
    const int keyNumber = position - m_ws.editor.KeyOffset;
    pos.caption->setAccessibleName(KeyAccessibleName(keyNumber, line1, line2));
    pos.memo->setAccessibleName(QStringLiteral("キー ") + TwoDigits(keyNumber));

    // An open editor that is not being typed in shows the key's text again (after an undo,
    // say); what is being typed stays until it is stored.
    const sw::model::EditorState& e = m_ws.editor;
    if (e.KeyEditorOpen && position == e.CurrentKeyPos && !pos.memo->hasFocus() &&
        !pos.memo->document()->isModified()) {
        sw::model::Bytes unshown;
        DecodeCp932(key->Line1, unshown);
        DecodeCp932(key->Line2, unshown);
        if (pos.memo->toPlainText() != EditorText(*key) || pos.memo->UnshownBytes(0) != unshown)
            pos.memo->SetKeyText(key->Line1, key->Line2);
    }
}

void TfrmMain::LayOutKeyGrid() {
    sw::model::EditorState& e = m_ws.editor;
    const std::int32_t model = m_ws.labelSet.Entries[e.CurrentEntry].ButtonModel;
    const bool thirty = model == sw::model::kModel30;
    e.ApplyKeyRange(sw::model::KeyRangeFor(model));
    e.CurrentKeyPos = e.FirstKeyPos;
    for (int p = 1; p <= 30; ++p) {
        const bool outerRow = p <= 6 || p >= 25;
        Position& pos = m_positions[static_cast<size_t>(p)];
        if (outerRow) pos.panel->setVisible(thirty);
        const bool numbered = thirty || !outerRow;
        pos.number->setVisible(numbered);
        if (numbered) pos.number->setText(TwoDigits(p - e.KeyOffset));
    }
    m_image430->setVisible(thirty);
    m_image418->setVisible(!thirty);
    if (thirty)
        m_image1->setGeometry(39, 27, 396, 227);
    else
        m_image1->setGeometry(39, 72, 396, 137);
    m_programChange = true;
    m_radio[thirty ? 11 : 12]->setChecked(true);
    m_programChange = false;
}

void TfrmMain::ShowKeyCleared(int position) {
    if (position < 1 || position > 30) return;
    const sw::model::EditorState& e = m_ws.editor;
    // Every key of the face holds the reset values here, so key index = position serves
    // every position, also those the 18-key model leaves out.
    const KeyLabel& key = m_ws.labelSet.Entries[e.CurrentEntry].Faces[e.CurrentFace].Keys[position];
    Position& pos = m_positions[static_cast<size_t>(position)];
    pos.panel->setColor(ColorFromRef(key.BackColor));
    QFont captionFont = pos.caption->font();
    captionFont.setPointSize(ScreenPointSize(key.FontSize));
    pos.caption->setFont(captionFont);
    pos.caption->setText(DecodeCp932(key.Line1));
    pos.caption->setOverflowMark(false);
    pos.caption->setToolTip(QString());
    if (position >= e.FirstKeyPos && position <= e.LastKeyPos)
        pos.caption->setAccessibleName(
            KeyAccessibleName(position - e.KeyOffset, DecodeCp932(key.Line1), QString()));
    QFont memoFont = pos.memo->font();
    memoFont.setPointSize(ScreenPointSize(key.FontSize));
    pos.memo->setFont(memoFont);
    pos.memo->clear();
}

void TfrmMain::SelectKey(int position) {
    if (!keyPanel(position)) return;
    sw::model::EditorState& e = m_ws.editor;
    if (e.KeyEditorOpen) CloseKeyEditor();
    const int old = e.CurrentKeyPos;
    if (KeyPanel* panel = keyPanel(old)) {
        panel->show();
        keyMemo(old)->hide();
        ShowKey(old);
        SetPanelLook(old, PanelLook::Normal);
    }
    e.CurrentKeyPos = position;
    ShowCurrentKey();
}

void TfrmMain::StoreKeyEditorText() {
    // Only an open editor holds typed text; a closed one stored it when it lost the focus.
    const sw::model::EditorState& e = m_ws.editor;
    if (e.KeyEditorOpen && e.MemoFocused) CommitKeyEditor();
}

}  // namespace sw::editor
