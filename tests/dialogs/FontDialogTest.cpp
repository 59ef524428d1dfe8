// The font dialog: preset, what OK and Cancel return, refused input and the sample.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>

#include "dialogs/FontDialog.h"
#include "support/ScriptedDialogs.h"

namespace {

using sw::app::FontChoice;
using sw::app::FontDialog;

const QString kGothic = QStringLiteral("ＭＳ ゴシック");
const QString kPGothic = QStringLiteral("ＭＳ Ｐゴシック");
const QString kMincho = QStringLiteral("ＭＳ 明朝");
const QString kPMincho = QStringLiteral("ＭＳ Ｐ明朝");

FontChoice Choice(QString name, int size, std::uint8_t style, sw::model::ColorRef color) {
    return FontChoice{std::move(name), size, style, color};
}

TEST(FontDialogText, SizeTextIsAPositiveWholeNumberWithinRange) {
    EXPECT_EQ(sw::app::FontSizeFromText("12"), 12);
    EXPECT_EQ(sw::app::FontSizeFromText(" 9 "), 9);
    EXPECT_EQ(sw::app::FontSizeFromText("1"), 1);
    EXPECT_EQ(sw::app::FontSizeFromText("999"), 999);
    EXPECT_EQ(sw::app::FontSizeFromText("007"), 7);
    for (const char* refused : {"", " ", "0", "-3", "+5", "1.5", "12pt", "abc", "1000",
                                "99999999999", "１２"})
        EXPECT_FALSE(sw::app::FontSizeFromText(QString::fromUtf8(refused))) << refused;
}

TEST(FontDialogText, FamilyListIsSortedAndCarriesWindowsNamesAndThePreset) {
    QStringList installed{"zeta [urw]", "IPAGothic", "alpha", QStringLiteral("나눔고딕"),
                          "IPAGothic", "Beta", "zeta [UKWN]"};
    QStringList expected{"alpha", "Arial", "Beta", "IPAGothic", "zeta",
                         kGothic, kPGothic, kMincho, kPMincho};
    // Full-width names sort after the Latin ones; the Hangul name cannot be stored; a
    // family from two foundries is listed once under its plain name.
    QStringList got = sw::app::FontFamilyChoices(installed, "Arial");
    ASSERT_EQ(got.size(), 9) << got.join('|').toStdString();
    for (const QString& name : expected) EXPECT_EQ(got.count(name), 1) << name.toStdString();
    EXPECT_EQ(got.mid(0, 5), expected.mid(0, 5));
    EXPECT_FALSE(got.contains(QStringLiteral("나눔고딕")));
    // A preset that is one of the Windows names is not listed twice.
    EXPECT_EQ(sw::app::FontFamilyChoices({}, kMincho).count(kMincho), 1);
    EXPECT_EQ(sw::app::FontFamilyChoices({}, "").size(), 4);
}

TEST(FontDialogText, FontForChoiceFollowsEveryAttribute) {
    for (std::uint8_t bits : {0, 1, 2, 4, 8, 15}) {
        QFont font = sw::app::FontForChoice(Choice("DejaVu Sans", 11, bits, 0));
        EXPECT_EQ(font.family(), "DejaVu Sans");
        EXPECT_EQ(font.pointSize(), 11);
        EXPECT_EQ(font.bold(), (bits & 1) != 0);
        EXPECT_EQ(font.italic(), (bits & 2) != 0);
        EXPECT_EQ(font.underline(), (bits & 4) != 0);
        EXPECT_EQ(font.strikeOut(), (bits & 8) != 0);
    }
    // Stored sizes the dialog would refuse are still drawn, at the nearest size it takes.
    EXPECT_EQ(sw::app::FontForChoice(Choice("x", 0, 0, 0)).pointSize(), 1);
    EXPECT_EQ(sw::app::FontForChoice(Choice("x", -40, 0, 0)).pointSize(), 1);
    EXPECT_EQ(sw::app::FontForChoice(Choice("x", 100000, 0, 0)).pointSize(), 999);
    // The Windows names keep their name and draw in their installed substitute.
    QFont mincho = sw::app::FontForChoice(Choice(kMincho, 12, 0, 0));
    EXPECT_EQ(mincho.family(), kMincho);
    EXPECT_EQ(QFontInfo(mincho).family(), "IPAMincho");
    EXPECT_EQ(QFontInfo(sw::app::FontForChoice(Choice(kPGothic, 12, 0, 0))).family(), "IPAPGothic");
}

TEST(FontDialogText, ColorRefIsRedInTheLowByte) {
    EXPECT_EQ(sw::app::ColorFromRef(0x00336699), QColor(0x99, 0x66, 0x33));
    EXPECT_EQ(sw::app::RefFromColor(QColor(0x99, 0x66, 0x33)), 0x00336699u);
}

class FontDialogTest : public ::testing::Test {
protected:
    sw::test::ScriptedDialogs dialogs;

    template <typename T>
    static T* Get(QWidget* dialog, const char* name) {
        T* widget = dialog->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }

    static void Show(QWidget* dialog) {
        dialog->show();
        dialog->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog));
    }

    // Replaces the field's text by typing, as a user does (also Japanese characters).
    static void Retype(QLineEdit* edit, const QString& text) {
        edit->setFocus();
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Backspace);
        for (QChar c : text) QTest::sendKeyEvent(QTest::Click, edit, Qt::Key_unknown, QString(c), {});
    }

    static bool ClickItem(QListWidget* list, const QString& text) {
        QList<QListWidgetItem*> found = list->findItems(text, Qt::MatchExactly);
        if (found.size() != 1) return false;
        list->scrollToItem(found.front());
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualItemRect(found.front()).center());
        return true;
    }

    static QColor SwatchColor(QPushButton* button) {
        return button->icon().pixmap(QSize(40, 14)).toImage().pixelColor(20, 7);
    }

    // Runs the modal dialog; act gets it once it is shown and must end it.
    std::optional<FontChoice> RunModal(const FontChoice& preset,
                                       std::function<void(QWidget*)> act) {
        bool acted = false;
        QTimer::singleShot(0, [&] {
            QWidget* shown = QApplication::activeModalWidget();
            if (!shown) return;
            acted = true;
            act(shown);
        });
        std::optional<FontChoice> result = FontDialog::Run(dialogs, nullptr, preset);
        EXPECT_TRUE(acted);
        return result;
    }
};

TEST_F(FontDialogTest, PresetIsShownInEveryControlAndTheSample) {
    FontDialog dialog(dialogs, Choice(kPMincho, 14, 1 | 4, 0x000000FF));
    Show(&dialog);
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("フォント"));
    EXPECT_EQ(Get<QLineEdit>(&dialog, "edtFontName")->text(), kPMincho);
    QListWidgetItem* nameItem = Get<QListWidget>(&dialog, "lstFontName")->currentItem();
    ASSERT_NE(nameItem, nullptr);
    EXPECT_EQ(nameItem->text(), kPMincho);
    EXPECT_TRUE(nameItem->isSelected());
    EXPECT_EQ(Get<QLineEdit>(&dialog, "edtFontSize")->text(), "14");
    QListWidgetItem* sizeItem = Get<QListWidget>(&dialog, "lstFontSize")->currentItem();
    ASSERT_NE(sizeItem, nullptr);
    EXPECT_EQ(sizeItem->text(), "14");
    EXPECT_TRUE(Get<QCheckBox>(&dialog, "chkBold")->isChecked());
    EXPECT_FALSE(Get<QCheckBox>(&dialog, "chkItalic")->isChecked());
    EXPECT_TRUE(Get<QCheckBox>(&dialog, "chkUnderline")->isChecked());
    EXPECT_FALSE(Get<QCheckBox>(&dialog, "chkStrikeOut")->isChecked());
    EXPECT_EQ(SwatchColor(Get<QPushButton>(&dialog, "btnFontColor")), QColor(Qt::red));

    QLabel* sample = Get<QLabel>(&dialog, "lblSample");
    EXPECT_EQ(sample->text(), QStringLiteral("AaBbあア亜"));
    EXPECT_EQ(sample->font().family(), kPMincho);
    EXPECT_EQ(QFontInfo(sample->font()).family(), "IPAPMincho");
    EXPECT_EQ(sample->font().pointSize(), 14);
    EXPECT_TRUE(sample->font().bold());
    EXPECT_TRUE(sample->font().underline());
    EXPECT_FALSE(sample->font().italic() || sample->font().strikeOut());
    EXPECT_EQ(sample->palette().color(QPalette::WindowText), QColor(Qt::red));
    EXPECT_TRUE(Get<QPushButton>(&dialog, "btnOK")->isEnabled());
}

TEST_F(FontDialogTest, OkWithoutChangeReturnsThePresetAlsoForOddStoredValues) {
    // An ordinary key, one whose name is not installed with a size the dialog would not
    // take and a style bit it does not show, and one with an empty name.
    for (const FontChoice& preset :
         {Choice(kGothic, 9, 0, 0), Choice("Arial Narrow", 0, 0x10 | 2 | 8, 0x00123456),
          Choice("", 5000, 15, 0x00FFFFFF), Choice(kGothic, -3, 0, 0)}) {
        std::optional<FontChoice> got = RunModal(preset, [](QWidget* shown) {
            QTest::mouseClick(Get<QPushButton>(shown, "btnOK"), Qt::LeftButton);
        });
        ASSERT_TRUE(got) << preset.name.toStdString();
        EXPECT_EQ(*got, preset) << preset.name.toStdString();
    }
    EXPECT_EQ(dialogs.colorRequests, 0);
}

TEST_F(FontDialogTest, CancelOrEscapeReturnsNothing) {
    FontChoice preset = Choice(kGothic, 9, 0, 0);
    EXPECT_FALSE(RunModal(preset, [](QWidget* shown) {
        Get<QCheckBox>(shown, "chkBold")->click();
        QTest::mouseClick(Get<QPushButton>(shown, "btnCancel"), Qt::LeftButton);
    }));
    EXPECT_FALSE(RunModal(preset, [](QWidget* shown) {
        Retype(Get<QLineEdit>(shown, "edtFontSize"), "20");
        QTest::keyClick(shown, Qt::Key_Escape);
    }));
}

TEST_F(FontDialogTest, EveryFieldChangedIsReturned) {
    dialogs.colors = {std::nullopt, sw::model::ColorRef{0x00FF8000}};
    std::optional<FontChoice> got = RunModal(Choice(kGothic, 9, 0, 0), [](QWidget* shown) {
        EXPECT_TRUE(ClickItem(Get<QListWidget>(shown, "lstFontName"), "IPAMincho"));
        EXPECT_TRUE(ClickItem(Get<QListWidget>(shown, "lstFontSize"), "36"));
        EXPECT_EQ(Get<QLineEdit>(shown, "edtFontSize")->text(), "36");
        for (const char* box : {"chkBold", "chkItalic", "chkUnderline", "chkStrikeOut"})
            Get<QCheckBox>(shown, box)->click();
        QPushButton* color = Get<QPushButton>(shown, "btnFontColor");
        color->click();  // cancelled in the colour dialog: black stays
        EXPECT_EQ(SwatchColor(color), QColor(Qt::black));
        color->click();
        EXPECT_EQ(SwatchColor(color), QColor(0x00, 0x80, 0xFF));
        QTest::mouseClick(Get<QPushButton>(shown, "btnOK"), Qt::LeftButton);
    });
    ASSERT_TRUE(got);
    EXPECT_EQ(*got, Choice("IPAMincho", 36, 15, 0x00FF8000));
    EXPECT_EQ(dialogs.colorRequests, 2);

    // One field at a time, from a key with every style bit set.
    FontChoice preset = Choice(kMincho, 12, 15, 0x000000FF);
    for (auto [box, bit] : {std::pair{"chkBold", 1}, {"chkItalic", 2}, {"chkUnderline", 4},
                            {"chkStrikeOut", 8}}) {
        FontDialog dialog(dialogs, preset);
        Get<QCheckBox>(&dialog, box)->click();
        ASSERT_TRUE(dialog.Choice());
        EXPECT_EQ(dialog.Choice()->style, 15 ^ bit) << box;
        EXPECT_EQ(dialog.Choice()->name, kMincho);
    }
    FontDialog typed(dialogs, preset);
    Show(&typed);
    Retype(Get<QLineEdit>(&typed, "edtFontSize"), "13");
    EXPECT_EQ(Get<QListWidget>(&typed, "lstFontSize")->selectedItems().size(), 0);
    Retype(Get<QLineEdit>(&typed, "edtFontName"), QStringLiteral("手書き風"));
    ASSERT_TRUE(typed.Choice());
    EXPECT_EQ(*typed.Choice(), Choice(QStringLiteral("手書き風"), 13, 15, 0x000000FF));
}

TEST_F(FontDialogTest, RefusedSizeDisablesOkAndEnterDoesNotClose) {
    FontDialog dialog(dialogs, Choice(kGothic, 9, 0, 0));
    Show(&dialog);
    QLineEdit* size = Get<QLineEdit>(&dialog, "edtFontSize");
    QPushButton* ok = Get<QPushButton>(&dialog, "btnOK");
    QLabel* sample = Get<QLabel>(&dialog, "lblSample");
    Retype(size, "24");
    EXPECT_EQ(sample->font().pointSize(), 24);
    for (const char* refused : {"0", "abc", "", "-5"}) {
        Retype(size, refused);
        EXPECT_FALSE(ok->isEnabled()) << refused;
        EXPECT_FALSE(dialog.Choice()) << refused;
        // The sample keeps the last size it could show.
        EXPECT_EQ(sample->font().pointSize(), 24) << refused;
    }
    // Typed key by key, "1000" passes through 1, 10 and 100 before it is refused.
    Retype(size, "1000");
    EXPECT_FALSE(ok->isEnabled());
    EXPECT_EQ(sample->font().pointSize(), 100);
    QTest::keyClick(size, Qt::Key_Return);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_NE(dialog.result(), QDialog::Accepted);
    Retype(size, "11");
    EXPECT_TRUE(ok->isEnabled());
    EXPECT_EQ(Get<QListWidget>(&dialog, "lstFontSize")->currentItem()->text(), "11");
    QTest::keyClick(size, Qt::Key_Return);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.Choice()->size, 11);
}

TEST_F(FontDialogTest, TypedNameFollowsTheListAndRefusesWhatCannotBeStored) {
    FontDialog dialog(dialogs, Choice("IPAGothic", 9, 0, 0));
    Show(&dialog);
    QLineEdit* name = Get<QLineEdit>(&dialog, "edtFontName");
    QListWidget* list = Get<QListWidget>(&dialog, "lstFontName");
    Retype(name, QStringLiteral("ＭＳ Ｐ"));
    EXPECT_EQ(name->text(), QStringLiteral("ＭＳ Ｐ"));  // the typed text stays
    ASSERT_NE(list->currentItem(), nullptr);
    EXPECT_EQ(list->currentItem()->text(), kPGothic);
    EXPECT_EQ(dialog.Choice()->name, QStringLiteral("ＭＳ Ｐ"));
    // Characters CP932 cannot hold are refused as they are typed.
    QTest::sendKeyEvent(QTest::Click, name, Qt::Key_unknown, QStringLiteral("나"), {});
    EXPECT_EQ(name->text(), QStringLiteral("ＭＳ Ｐ"));
    Retype(name, "");
    EXPECT_FALSE(Get<QPushButton>(&dialog, "btnOK")->isEnabled());
    Retype(name, "   ");
    EXPECT_FALSE(dialog.Choice());
}

TEST_F(FontDialogTest, SubstitutedWindowsNamesAreListedAndSelectable) {
    FontDialog dialog(dialogs, Choice("IPAGothic", 10, 0, 0));
    Show(&dialog);
    QListWidget* list = Get<QListWidget>(&dialog, "lstFontName");
    for (const QString& windowsName : {kGothic, kPGothic, kMincho, kPMincho})
        EXPECT_EQ(list->findItems(windowsName, Qt::MatchExactly).size(), 1) << windowsName.toStdString();
    ASSERT_TRUE(ClickItem(list, kMincho));
    EXPECT_EQ(Get<QLineEdit>(&dialog, "edtFontName")->text(), kMincho);
    EXPECT_EQ(dialog.Choice()->name, kMincho);
    EXPECT_EQ(QFontInfo(Get<QLabel>(&dialog, "lblSample")->font()).family(), "IPAMincho");
}

TEST_F(FontDialogTest, SampleFollowsEveryChoice) {
    dialogs.colors = {sw::model::ColorRef{0x0000C000}};
    FontDialog dialog(dialogs, Choice(kGothic, 9, 0, 0));
    Show(&dialog);
    QLabel* sample = Get<QLabel>(&dialog, "lblSample");
    ASSERT_TRUE(ClickItem(Get<QListWidget>(&dialog, "lstFontName"), kPMincho));
    Retype(Get<QLineEdit>(&dialog, "edtFontSize"), "28");
    Get<QCheckBox>(&dialog, "chkItalic")->click();
    Get<QCheckBox>(&dialog, "chkStrikeOut")->click();
    Get<QPushButton>(&dialog, "btnFontColor")->click();
    QFont font = sample->font();
    EXPECT_EQ(QFontInfo(font).family(), "IPAPMincho");
    EXPECT_EQ(font.pointSize(), 28);
    EXPECT_TRUE(font.italic() && font.strikeOut());
    EXPECT_FALSE(font.bold() || font.underline());
    EXPECT_EQ(sample->palette().color(QPalette::WindowText), QColor(0x00, 0xC0, 0x00));
    // What is drawn changes with it: the sample's pixels show the chosen colour.
    QImage shot = sample->grab().toImage();
    bool green = false;
    for (int y = 0; y < shot.height() && !green; ++y)
        for (int x = 0; x < shot.width() && !green; ++x)
            green = shot.pixelColor(x, y).green() > 150 && shot.pixelColor(x, y).red() < 80;
    EXPECT_TRUE(green);
    Get<QCheckBox>(&dialog, "chkStrikeOut")->click();
    EXPECT_FALSE(sample->font().strikeOut());
}

}  // namespace
