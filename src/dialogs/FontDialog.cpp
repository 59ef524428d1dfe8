// The program's own font dialog: Qt's font dialog has no colour, a key's font has one.
#include "dialogs/FontDialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QValidator>
#include <QVBoxLayout>
#include <algorithm>

#include "model/Cp932.h"

namespace sw::app {

using sw::model::ColorRef;

const std::vector<std::pair<QString, QString>>& WindowsFontSubstitutes() {
    static const std::vector<std::pair<QString, QString>> table{
        {QStringLiteral("ＭＳ ゴシック"), QStringLiteral("IPAGothic")},
        {QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("IPAPGothic")},
        {QStringLiteral("ＭＳ 明朝"), QStringLiteral("IPAMincho")},
        {QStringLiteral("ＭＳ Ｐ明朝"), QStringLiteral("IPAPMincho")},
    };
    return table;
}

QStringList FontFamilyChoices(const QStringList& installed, const QString& preset) {
    QStringList names;
    for (QString family : installed) {
        // A family installed by two foundries comes as "Name [foundry]"; a label set
        // stores the plain name.
        qsizetype foundry = family.lastIndexOf(QStringLiteral(" ["));
        if (foundry > 0 && family.endsWith(QLatin1Char(']'))) family.truncate(foundry);
        // A family CP932 cannot hold could never be stored in a label set.
        if (!family.isEmpty() && sw::model::FitsCp932(family)) names.append(family);
    }
    for (const auto& [windowsName, substitute] : WindowsFontSubstitutes()) names.append(windowsName);
    if (!preset.isEmpty()) names.append(preset);
    std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        int order = a.compare(b, Qt::CaseInsensitive);
        return order != 0 ? order < 0 : a < b;
    });
    names.erase(std::unique(names.begin(), names.end()), names.end());
    return names;
}

QStringList FontSizeChoices() {
    QStringList sizes;
    for (int size : {8, 9, 10, 11, 12, 14, 16, 18, 20, 22, 24, 26, 28, 36, 48, 72})
        sizes.append(QString::number(size));
    return sizes;
}

std::optional<int> FontSizeFromText(const QString& text) {
    QString digits = text.trimmed();
    if (digits.isEmpty() || digits.size() > 9) return std::nullopt;
    for (QChar c : digits)
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) return std::nullopt;
    int size = digits.toInt();
    if (size < kMinDialogFontSize || size > kMaxDialogFontSize) return std::nullopt;
    return size;
}

QFont FontForChoice(const FontChoice& choice) {
    QFont font;
    QStringList families{choice.name};
    for (const auto& [windowsName, substitute] : WindowsFontSubstitutes())
        if (choice.name == windowsName) families.append(substitute);
    font.setFamilies(families);
    font.setPointSize(std::clamp(choice.size, kMinDialogFontSize, kMaxDialogFontSize));
    font.setBold(choice.style & sw::model::kStyleBold);
    font.setItalic(choice.style & sw::model::kStyleItalic);
    font.setUnderline(choice.style & sw::model::kStyleUnderline);
    font.setStrikeOut(choice.style & sw::model::kStyleStrikeOut);
    return font;
}

QColor ColorFromRef(ColorRef color) {
    return QColor(static_cast<int>(color & 0xFF), static_cast<int>((color >> 8) & 0xFF),
                  static_cast<int>((color >> 16) & 0xFF));
}

ColorRef RefFromColor(const QColor& color) {
    return static_cast<ColorRef>(color.red() | (color.green() << 8) | (color.blue() << 16));
}

QString FontSampleText() { return QStringLiteral("AaBbあア亜"); }

namespace {

// Refuses a character CP932 cannot hold as it is typed or pasted; characters the
// preset already carries stay editable so an odd stored name can still be changed.
class Cp932NameValidator : public QValidator {
public:
    Cp932NameValidator(QString preset, QObject* parent)
        : QValidator(parent), m_preset(std::move(preset)) {}

    State validate(QString& input, int&) const override {
        for (char32_t c : input.toUcs4()) {
            QString one = QString::fromUcs4(&c, 1);
            if (!sw::model::FitsCp932(one) && !m_preset.contains(one)) return Invalid;
        }
        return Acceptable;
    }

private:
    QString m_preset;
};

QIcon ColorSwatch(ColorRef color) {
    QPixmap pixmap(40, 14);
    pixmap.fill(ColorFromRef(color));
    QPainter painter(&pixmap);
    painter.setPen(Qt::black);
    painter.drawRect(pixmap.rect().adjusted(0, 0, -1, -1));
    return QIcon(pixmap);
}

// Puts the list's selection on the item matching text, without touching the text.
void FollowInList(QListWidget* list, const QString& text, bool prefixMatch) {
    QListWidgetItem* match = nullptr;
    for (int row = 0; row < list->count() && !match; ++row)
        if (list->item(row)->text().compare(text, Qt::CaseInsensitive) == 0) match = list->item(row);
    for (int row = 0; prefixMatch && !text.isEmpty() && row < list->count() && !match; ++row)
        if (list->item(row)->text().startsWith(text, Qt::CaseInsensitive)) match = list->item(row);
    QSignalBlocker block(list);
    if (match) {
        list->setCurrentItem(match);
        list->scrollToItem(match, QAbstractItemView::PositionAtCenter);
    } else {
        list->clearSelection();
        list->setCurrentItem(nullptr);
    }
}

}  // namespace

FontDialog::FontDialog(Dialogs& dialogs, const FontChoice& preset, QWidget* parent)
    : QDialog(parent),
      m_dialogs(dialogs),
      m_preset(preset),
      m_color(preset.color),
      m_sampleSize(preset.size) {
    setObjectName(QStringLiteral("FontDialog"));
    setWindowTitle(QStringLiteral("フォント"));
    setModal(true);

    m_nameEdit = new QLineEdit(preset.name, this);
    m_nameEdit->setObjectName(QStringLiteral("edtFontName"));
    m_nameEdit->setValidator(new Cp932NameValidator(preset.name, m_nameEdit));
    m_nameList = new QListWidget(this);
    m_nameList->setObjectName(QStringLiteral("lstFontName"));
    m_nameList->addItems(FontFamilyChoices(QFontDatabase::families(), preset.name));
    m_nameList->setFixedSize(220, 150);
    m_nameEdit->setFixedWidth(220);
    auto* nameLabel = new QLabel(QStringLiteral("フォント名(&F):"), this);
    nameLabel->setBuddy(m_nameEdit);

    m_sizeEdit = new QLineEdit(QString::number(preset.size), this);
    m_sizeEdit->setObjectName(QStringLiteral("edtFontSize"));
    m_sizeEdit->setAttribute(Qt::WA_InputMethodEnabled, false);
    m_sizeEdit->setFixedWidth(64);
    m_sizeList = new QListWidget(this);
    m_sizeList->setObjectName(QStringLiteral("lstFontSize"));
    m_sizeList->addItems(FontSizeChoices());
    m_sizeList->setFixedSize(64, 150);
    auto* sizeLabel = new QLabel(QStringLiteral("サイズ(&S):"), this);
    sizeLabel->setBuddy(m_sizeEdit);

    auto* styleBox = new QGroupBox(QStringLiteral("スタイル"), this);
    m_bold = new QCheckBox(QStringLiteral("太字(&B)"), styleBox);
    m_bold->setObjectName(QStringLiteral("chkBold"));
    m_italic = new QCheckBox(QStringLiteral("斜体(&I)"), styleBox);
    m_italic->setObjectName(QStringLiteral("chkItalic"));
    m_underline = new QCheckBox(QStringLiteral("下線(&U)"), styleBox);
    m_underline->setObjectName(QStringLiteral("chkUnderline"));
    m_strikeOut = new QCheckBox(QStringLiteral("取り消し線(&K)"), styleBox);
    m_strikeOut->setObjectName(QStringLiteral("chkStrikeOut"));
    m_bold->setChecked(preset.style & sw::model::kStyleBold);
    m_italic->setChecked(preset.style & sw::model::kStyleItalic);
    m_underline->setChecked(preset.style & sw::model::kStyleUnderline);
    m_strikeOut->setChecked(preset.style & sw::model::kStyleStrikeOut);
    m_colorButton = new QPushButton(styleBox);
    m_colorButton->setObjectName(QStringLiteral("btnFontColor"));
    m_colorButton->setIconSize(QSize(40, 14));
    auto* colorLabel = new QLabel(QStringLiteral("色(&C):"), styleBox);
    colorLabel->setBuddy(m_colorButton);
    auto* styleLayout = new QVBoxLayout(styleBox);
    for (QCheckBox* box : {m_bold, m_italic, m_underline, m_strikeOut}) styleLayout->addWidget(box);
    styleLayout->addSpacing(6);
    auto* colorRow = new QHBoxLayout;
    colorRow->addWidget(colorLabel);
    colorRow->addWidget(m_colorButton);
    colorRow->addStretch();
    styleLayout->addLayout(colorRow);
    styleLayout->addStretch();

    auto* sampleBox = new QGroupBox(QStringLiteral("サンプル"), this);
    m_sample = new QLabel(FontSampleText(), sampleBox);
    m_sample->setObjectName(QStringLiteral("lblSample"));
    m_sample->setAlignment(Qt::AlignCenter);
    // A fixed box: a large size shows cut off instead of growing the dialog.
    m_sample->setFixedHeight(72);
    m_sample->setMinimumWidth(300);
    m_sample->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    // The sample shows the key's own text colour, on white as on the key strip: on a dark
    // window a black key text would not show.
    m_sample->setAutoFillBackground(true);
    QPalette paper = m_sample->palette();
    paper.setColor(QPalette::Window, Qt::white);
    m_sample->setPalette(paper);
    auto* sampleLayout = new QVBoxLayout(sampleBox);
    sampleLayout->addWidget(m_sample);

    auto* buttons = new QDialogButtonBox(this);
    m_ok = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    m_ok->setObjectName(QStringLiteral("btnOK"));
    m_ok->setDefault(true);
    QPushButton* cancel = buttons->addButton(QStringLiteral("キャンセル"), QDialogButtonBox::RejectRole);
    cancel->setObjectName(QStringLiteral("btnCancel"));

    auto* grid = new QGridLayout(this);
    grid->addWidget(nameLabel, 0, 0);
    grid->addWidget(sizeLabel, 0, 1);
    grid->addWidget(m_nameEdit, 1, 0);
    grid->addWidget(m_sizeEdit, 1, 1);
    grid->addWidget(m_nameList, 2, 0);
    grid->addWidget(m_sizeList, 2, 1);
    grid->addWidget(styleBox, 0, 2, 3, 1);
    grid->addWidget(sampleBox, 3, 0, 1, 3);
    grid->addWidget(buttons, 4, 0, 1, 3);
    grid->setSizeConstraint(QLayout::SetFixedSize);

    connect(m_nameEdit, &QLineEdit::textEdited, this, &FontDialog::NameTyped);
    connect(m_nameList, &QListWidget::itemSelectionChanged, this, &FontDialog::NamePicked);
    connect(m_sizeEdit, &QLineEdit::textEdited, this, &FontDialog::SizeTyped);
    connect(m_sizeList, &QListWidget::itemSelectionChanged, this, &FontDialog::SizePicked);
    for (QCheckBox* box : {m_bold, m_italic, m_underline, m_strikeOut})
        connect(box, &QCheckBox::toggled, this, &FontDialog::Update);
    connect(m_colorButton, &QPushButton::clicked, this, &FontDialog::ColorClicked);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    FollowInList(m_nameList, preset.name, false);
    FollowInList(m_sizeList, m_sizeEdit->text(), false);
    Update();
}

void FontDialog::NameTyped(const QString& text) {
    FollowInList(m_nameList, text, true);
    Update();
}

void FontDialog::NamePicked() {
    QList<QListWidgetItem*> picked = m_nameList->selectedItems();
    if (picked.isEmpty()) return;
    m_nameEdit->setText(picked.constFirst()->text());
    Update();
}

void FontDialog::SizeTyped(const QString& text) {
    FollowInList(m_sizeList, text.trimmed(), false);
    Update();
}

void FontDialog::SizePicked() {
    QList<QListWidgetItem*> picked = m_sizeList->selectedItems();
    if (picked.isEmpty()) return;
    m_sizeEdit->setText(picked.constFirst()->text());
    Update();
}

void FontDialog::ColorClicked() {
    if (std::optional<ColorRef> chosen = m_dialogs.ChooseColor(this, m_color)) m_color = *chosen;
    Update();
}

std::optional<QString> FontDialog::ValidName() const {
    QString name = m_nameEdit->text();
    if (name == m_preset.name) return name;
    if (name.trimmed().isEmpty() || !sw::model::FitsCp932(name)) return std::nullopt;
    return name;
}

std::optional<int> FontDialog::ValidSize() const {
    QString text = m_sizeEdit->text();
    if (text == QString::number(m_preset.size)) return m_preset.size;
    return FontSizeFromText(text);
}

FontChoice FontDialog::Shown() const {
    FontChoice shown;
    shown.name = m_nameEdit->text();
    shown.size = m_sampleSize;
    shown.style = static_cast<std::uint8_t>(
        (m_bold->isChecked() ? sw::model::kStyleBold : 0) |
        (m_italic->isChecked() ? sw::model::kStyleItalic : 0) |
        (m_underline->isChecked() ? sw::model::kStyleUnderline : 0) |
        (m_strikeOut->isChecked() ? sw::model::kStyleStrikeOut : 0));
    // Bits the dialog does not show travel through unchanged.
    shown.style |= m_preset.style & ~std::uint8_t{0x0F};
    shown.color = m_color;
    return shown;
}

std::optional<FontChoice> FontDialog::Choice() const {
    std::optional<QString> name = ValidName();
    std::optional<int> size = ValidSize();
    if (!name || !size) return std::nullopt;
    FontChoice choice = Shown();
    choice.name = *name;
    choice.size = *size;
    return choice;
}

void FontDialog::Update() {
    // While the typed size is refused the sample keeps the last size it could show.
    if (std::optional<int> size = ValidSize()) m_sampleSize = *size;
    m_sample->setFont(FontForChoice(Shown()));
    QPalette palette = m_sample->palette();
    palette.setColor(QPalette::WindowText, ColorFromRef(m_color));
    m_sample->setPalette(palette);
    m_colorButton->setIcon(ColorSwatch(m_color));
    m_colorButton->setToolTip(ColorFromRef(m_color).name(QColor::HexRgb));
    m_ok->setEnabled(ValidName() && ValidSize());
}

std::optional<FontChoice> FontDialog::Run(Dialogs& dialogs, QWidget* parent,
                                          const FontChoice& preset) {
    FontDialog dialog(dialogs, preset, parent);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.Choice();
}

}  // namespace sw::app
