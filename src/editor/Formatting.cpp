// The formatting commands of the current key: font name and size boxes, font dialog,
// colours, style toggles, size steps, and the alignment and layout buttons.
#include <QComboBox>
#include <QFocusEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>
#include <functional>

#include "dialogs/Dialogs.h"
#include "editor/TfrmMain.h"
#include "model/Cp932.h"
#include "model/KeyFormat.h"

namespace sw::editor {

using sw::model::Bytes;
using sw::model::DecodeCp932;
using sw::model::KeyLabel;

namespace {

// Calls back when a watched control loses the focus to another control of the window (not
// to a popup or another window, and not while the window is being destroyed: then it is
// no TfrmMain any more).
class FocusLeft : public QObject {
public:
    FocusLeft(TfrmMain* window, std::function<void()> left) : QObject(window), m_left(std::move(left)) {}

    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::FocusOut &&
            static_cast<QFocusEvent*>(event)->reason() != Qt::PopupFocusReason &&
            static_cast<QFocusEvent*>(event)->reason() != Qt::ActiveWindowFocusReason &&
            qobject_cast<TfrmMain*>(parent()))
            m_left();
        return false;
    }

private:
    std::function<void()> m_left;
};

// Marks the box whose typing is being applied, so that showing the key leaves the text
// and caret of that box as the user has them.
class TypedBox {
public:
    TypedBox(QComboBox*& slot, QComboBox* box) : m_slot(slot) { m_slot = box; }
    ~TypedBox() { m_slot = nullptr; }
    TypedBox(const TypedBox&) = delete;
    TypedBox& operator=(const TypedBox&) = delete;

private:
    QComboBox*& m_slot;
};

// A name shown or chosen on screen as stored bytes: the stored bytes when it is the name
// they show, otherwise its CP932 encoding; nothing when CP932 cannot hold it.
std::optional<Bytes> NameBytes(const QString& name, const Bytes& stored) {
    if (DecodeCp932(stored) == name) return stored;
    sw::model::EncodeResult encoded = sw::model::EncodeCp932(name);
    if (!encoded.ok()) return std::nullopt;
    return std::move(encoded.bytes);
}

}  // namespace

void TfrmMain::BindFormatting() {
    for (QComboBox* box : {m_comboBox1, m_comboBox2}) {
        // What is typed is what is stored: no completion fills in the rest of a name.
        box->setCompleter(nullptr);
        // Left alone, a box shows the stored value again ("abc" typed as a size shows 7).
        box->installEventFilter(new FocusLeft(this, [this] {
            if (const KeyLabel* key = KeyAt(m_ws.editor.CurrentKeyPos)) ShowKeyFormat(*key);
        }));
    }
    // Only the user's edits and choices count; text put in by the program runs nothing.
    connect(m_comboBox1->lineEdit(), &QLineEdit::textEdited, this, [this] { ComboBox1Change(); });
    connect(m_comboBox1, &QComboBox::textActivated, this, [this] { ComboBox1Change(); });
    connect(m_comboBox2->lineEdit(), &QLineEdit::textEdited, this, [this] { ComboBox2Change(); });
    connect(m_comboBox2, &QComboBox::textActivated, this, [this] { ComboBox2Change(); });

    auto button = [this](const char* name) { return findChild<QPushButton*>(QString::fromLatin1(name)); };
    connect(button("btnFont"), &QPushButton::clicked, this, [this] { btnFontClick(); });
    connect(button("btnColor1"), &QPushButton::clicked, this, [this] { btnColor1Click(); });
    connect(button("btnColor"), &QPushButton::clicked, this, [this] { btnColorClick(); });
    for (int n = 1; n <= 6; ++n)
        connect(m_radio[static_cast<size_t>(n)], &QRadioButton::clicked, this, [this, n] { RadioButton1Click(n); });
    for (int n = 15; n <= 20; ++n)
        connect(toolButton(n), &QToolButton::clicked, this, [this, n] { ToolButton15Click(n); });
    for (int n = 22; n <= 24; ++n)
        connect(toolButton(n), &QToolButton::clicked, this, [this, n] { ToolButton22Click(n); });
    for (int n = 28; n <= 29; ++n)
        connect(toolButton(n), &QToolButton::clicked, this, [this, n] { ToolButton29Click(n); });
}

void TfrmMain::ComboBox1Change() {
    const KeyLabel* key = KeyAt(m_ws.editor.CurrentKeyPos);
    if (m_programChange || !key) return;
    const std::optional<Bytes> name = NameBytes(m_comboBox1->currentText(), key->FontName);
    if (!name) return;
    TypedBox typing(m_typedBox, m_comboBox1);
    PerformRefresh(sw::model::SetFontName(m_ws, *name));
}

void TfrmMain::ComboBox2Change() {
    if (m_programChange) return;
    TypedBox typing(m_typedBox, m_comboBox2);
    PerformRefresh(sw::model::SetFontSizeText(m_ws, m_comboBox2->currentText()));
}

void TfrmMain::btnFontClick() {
    const KeyLabel* key = KeyAt(m_ws.editor.CurrentKeyPos);
    if (!key) return;
    const sw::app::FontChoice preset{DecodeCp932(key->FontName), key->FontSize, key->FontStyle,
                                     key->FontColor};
    const std::optional<sw::app::FontChoice> chosen = m_dialogs.ChooseFont(this, preset);
    key = KeyAt(m_ws.editor.CurrentKeyPos);
    if (!chosen || !key) return;
    const Bytes name = NameBytes(chosen->name, key->FontName).value_or(key->FontName);
    PerformRefresh(sw::model::ApplyFontChoice(
        m_ws, sw::model::KeyFont{name, chosen->size, chosen->style, chosen->color}));
}

void TfrmMain::btnColor1Click() {
    if (m_ws.editor.KeyEditorOpen) CloseKeyEditor();
    const KeyLabel* key = KeyAt(m_ws.editor.CurrentKeyPos);
    if (!key) return;
    const std::optional<sw::model::ColorRef> color = m_dialogs.ChooseColor(this, key->FontColor);
    if (color) PerformRefresh(sw::model::SetFontColor(m_ws, *color));
}

void TfrmMain::btnColorClick() {
    if (m_ws.editor.KeyEditorOpen) CloseKeyEditor();
    const KeyLabel* key = KeyAt(m_ws.editor.CurrentKeyPos);
    if (!key) return;
    const std::optional<sw::model::ColorRef> color = m_dialogs.ChooseColor(this, key->BackColor);
    if (color) PerformRefresh(sw::model::SetBackColor(m_ws, *color));
}

void TfrmMain::RadioButton1Click(int number) {
    if (m_programChange) return;
    // A button that shows the value the key already has changes nothing.
    PerformRefresh(sw::model::ApplyFormatRadio(m_ws, number));
}

void TfrmMain::ToolButton15Click(int number) {
    const int radio = number - 14;
    if (radio < 1 || radio > 6) return;
    if (m_ws.editor.KeyEditorOpen) CloseKeyEditor();
    m_programChange = true;
    m_radio[static_cast<size_t>(radio)]->setChecked(true);
    m_programChange = false;
    PerformRefresh(sw::model::ApplyFormatRadio(m_ws, radio));
}

void TfrmMain::ToolButton22Click(int number) {
    std::uint8_t bit = 0;
    switch (number) {
        case 22: bit = sw::model::kStyleBold; break;
        case 23: bit = sw::model::kStyleItalic; break;
        case 24: bit = sw::model::kStyleUnderline; break;
        default: return;
    }
    if (m_ws.editor.KeyEditorOpen) CloseKeyEditor();
    PerformRefresh(sw::model::ToggleFontStyle(m_ws, bit));
}

void TfrmMain::ToolButton29Click(int number) {
    if (number != 28 && number != 29) return;
    if (m_ws.editor.KeyEditorOpen) CloseKeyEditor();
    // The step starts from what the size box shows, not from the stored size.
    PerformRefresh(sw::model::StepFontSize(m_ws, m_comboBox2->currentText(), number == 28 ? +1 : -1));
}

}  // namespace sw::editor
