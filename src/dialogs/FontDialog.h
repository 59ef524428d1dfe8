// The program's own font dialog: name, size, the four style bits and the colour of a key.
#pragma once

#include <QColor>
#include <QDialog>
#include <QFont>
#include <QString>
#include <QStringList>
#include <optional>
#include <utility>
#include <vector>

#include "dialogs/Dialogs.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace sw::app {

// Sizes a typed size may take in the dialog.
constexpr int kMinDialogFontSize = 1;
constexpr int kMaxDialogFontSize = 999;

// The Windows font names label sets carry, with the installed font each one is drawn in.
const std::vector<std::pair<QString, QString>>& WindowsFontSubstitutes();

// The family list: the installed families CP932 can hold, the Windows font names and the
// preset name (so a stored name is always there), sorted without regard to case, no
// name twice.
QStringList FontFamilyChoices(const QStringList& installed, const QString& preset);

// "8" "9" "10" "11" "12" "14" "16" "18" "20" "22" "24" "26" "28" "36" "48" "72"
QStringList FontSizeChoices();

// A typed size: decimal digits (blanks around allowed) within
// kMinDialogFontSize..kMaxDialogFontSize, otherwise nothing.
std::optional<int> FontSizeFromText(const QString& text);

// The font a choice is shown in: a Windows name is backed by its installed substitute,
// sizes outside the dialog's range are drawn at its nearest end.
QFont FontForChoice(const FontChoice& choice);

QColor ColorFromRef(sw::model::ColorRef color);
sw::model::ColorRef RefFromColor(const QColor& color);

// The sample text shown in the chosen font.
QString FontSampleText();

// Modal dialog "フォント". The colour button asks dialogs.ChooseColor, so scripted tests
// answer it. OK is disabled while the name or the size typed is refused; a preset value
// the dialog would refuse (an empty name, size 0) is still accepted unchanged.
class FontDialog : public QDialog {
    Q_OBJECT
public:
    FontDialog(Dialogs& dialogs, const FontChoice& preset, QWidget* parent = nullptr);

    // What the dialog shows now; nothing while the typed name or size is refused.
    std::optional<FontChoice> Choice() const;

    // Shows the dialog modally; the choice on OK, nothing on Cancel.
    static std::optional<FontChoice> Run(Dialogs& dialogs, QWidget* parent,
                                         const FontChoice& preset);

private:
    void NameTyped(const QString& text);
    void NamePicked();
    void SizeTyped(const QString& text);
    void SizePicked();
    void ColorClicked();
    void Update();
    FontChoice Shown() const;
    std::optional<QString> ValidName() const;
    std::optional<int> ValidSize() const;

    Dialogs& m_dialogs;
    FontChoice m_preset;
    sw::model::ColorRef m_color;
    int m_sampleSize;

    QLineEdit* m_nameEdit;
    QListWidget* m_nameList;
    QLineEdit* m_sizeEdit;
    QListWidget* m_sizeList;
    QCheckBox* m_bold;
    QCheckBox* m_italic;
    QCheckBox* m_underline;
    QCheckBox* m_strikeOut;
    QPushButton* m_colorButton;
    QLabel* m_sample;
    QPushButton* m_ok;
};

}  // namespace sw::app
