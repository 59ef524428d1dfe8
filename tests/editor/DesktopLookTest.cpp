// The main window under the desktop's colours and for screen readers: with a dark palette
// every fixed text and tool-bar glyph stays readable while the keys keep their own colours;
// tool buttons, fields and keys have names, and a key can be pressed to type into it.
#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
#include <QToolButton>
#include <algorithm>
#include <cmath>
#include <map>

#include "editor/EditorWindow.h"

namespace sw::editor {
namespace {

using sw::test::Sjis;

// WCAG contrast ratio of two colours.
double Contrast(const QColor& a, const QColor& b) {
    auto luminance = [](const QColor& c) {
        auto linear = [](double s) { return s <= 0.03928 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4); };
        return 0.2126 * linear(c.redF()) + 0.7152 * linear(c.greenF()) + 0.0722 * linear(c.blueF());
    };
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// How well what is drawn in `area` stands out: the ground is the commonest colour there, and
// the ink is taken at the fourth pixel by contrast with it, so that a stray pixel is no text.
double InkContrast(const QImage& image, const QRect& area) {
    std::map<QRgb, int> counts;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) ++counts[image.pixel(x, y)];
    const QColor ground(std::max_element(counts.begin(), counts.end(), [](auto& a, auto& b) {
                            return a.second < b.second;
                        })->first);
    std::vector<double> contrasts;
    for (const auto& [rgb, n] : counts) contrasts.insert(contrasts.end(), n, Contrast(QColor(rgb), ground));
    std::sort(contrasts.rbegin(), contrasts.rend());
    return contrasts.size() > 3 ? contrasts[3] : 1.0;
}

QPalette DarkPalette() {
    QPalette p(QColor(0x35, 0x35, 0x35), QColor(0x35, 0x35, 0x35));
    for (auto role : {QPalette::Base, QPalette::AlternateBase}) p.setColor(role, QColor(0x2A, 0x2A, 0x2A));
    for (auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText, QPalette::HighlightedText})
        p.setColor(role, QColor(0xF0, 0xF0, 0xF0));
    return p;
}

class DesktopLook : public sw::test::EditorWindow {
protected:
    void TearDown() override {
        EditorWindow::TearDown();
        QApplication::setPalette(m_desktop);
    }
    // Where a control (or a part of it) lies in a picture of the whole window.
    QRect In(const QWidget* control, QRect area = {}) {
        return (area.isNull() ? control->rect() : area).translated(control->mapTo(w.get(), QPoint()));
    }
    QAccessibleInterface* Accessible(QObject* object) { return QAccessible::queryAccessibleInterface(object); }

private:
    QPalette m_desktop = QApplication::palette();
};

TEST_F(DesktopLook, UnderALightOrDarkPaletteEveryFixedTextAndToolGlyphReadsAtContrast45) {
    ws->labelSet.Entries[1].Name = Sjis("本社受付");
    Key(1).Line1 = Sjis("内線");
    w->ShowEntry();
    w->ShowFace();
    // The desktop switches to the dark palette while the window is open, as a theme does.
    for (const QPalette& palette : {QApplication::palette(), DarkPalette()}) {
        SCOPED_TRACE(palette.color(QPalette::Window).name().toStdString());
        QApplication::setPalette(palette);
        w->edtName()->setFocus(Qt::TabFocusReason);
        QCoreApplication::processEvents();
        ASSERT_TRUE(w->edtName()->hasFocus());
        const QImage shot = w->grab().toImage();
        for (int p = 7; p <= 24; ++p) EXPECT_GE(InkContrast(shot, In(w->numberLabel(p))), 4.5) << "number " << p;
        EXPECT_GE(InkContrast(shot, In(w->pnlADial(), w->pnlADial()->contentsRect())), 4.5) << "auto-dial";
        for (int n : {15, 16, 17, 18, 19, 20, 22, 23, 24, 28, 29})
            EXPECT_GE(InkContrast(shot, In(w->toolButton(n))), 4.5) << "tool button " << n;
        EXPECT_GE(InkContrast(shot, In(w->edtName(), w->edtName()->contentsRect())), 4.5) << "focused name";
        EXPECT_EQ(w->edtName()->palette().color(QPalette::Base), QColor(166, 202, 240));

        // Left, the field takes the desktop's colours again.
        w->fontNameBox()->setFocus(Qt::TabFocusReason);
        QCoreApplication::processEvents();
        EXPECT_EQ(w->edtName()->palette().color(QPalette::Base), palette.color(QPalette::Base));
        EXPECT_GE(InkContrast(w->grab().toImage(), In(w->edtName(), w->edtName()->contentsRect())), 4.5);
        // The key keeps the colours the label set gives it: black on white.
        EXPECT_EQ(w->keyPanel(7)->color(), QColor(Qt::white));
        EXPECT_EQ(w->captionLabel(7)->palette().color(QPalette::WindowText), QColor(Qt::black));
    }
}

TEST_F(DesktopLook, ScreenReadersHearToolButtonsByCommandFieldsByCaptionAndKeysByNumberAndLines) {
    const auto tools = w->findChildren<QToolButton*>(QRegularExpression(QStringLiteral("^ToolButton\\d+$")));
    ASSERT_EQ(tools.size(), 26);
    for (QToolButton* tool : tools)
        EXPECT_EQ(Accessible(tool)->text(QAccessible::Name), tool->toolTip()) << tool->objectName().toStdString();
    EXPECT_EQ(Accessible(w->edtNaisen())->text(QAccessible::Name), QStringLiteral("Ｎｏ"));
    EXPECT_EQ(Accessible(w->edtName())->text(QAccessible::Name), QStringLiteral("管理名称"));

    // 30 keys: position 07 is key 07; with 18 keys it is key 01.
    Click(Radio(11));
    Key(7).Line1 = Sjis("内線");
    Key(7).Line2 = Sjis("営業");
    Key(8).Line2 = Sjis("受付");  // a lone second line
    w->ShowFace();
    QAccessibleInterface* key7 = Accessible(w->captionLabel(7));
    EXPECT_EQ(key7->role(), QAccessible::Button);
    EXPECT_EQ(key7->text(QAccessible::Name), QStringLiteral("キー 07、内線 / 営業"));
    EXPECT_EQ(Accessible(w->captionLabel(8))->text(QAccessible::Name), QStringLiteral("キー 08、受付"));
    EXPECT_FALSE(key7->state().selected);
    Click(Radio(12));
    EXPECT_EQ(key7->text(QAccessible::Name), QStringLiteral("キー 01"));
    EXPECT_TRUE(key7->state().selected);

    // Pressing a key opens it for typing; what is typed is what it is called then.
    QAccessibleInterface* key15 = Accessible(w->captionLabel(15));
    ASSERT_NE(key15->actionInterface(), nullptr);
    key15->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_EQ(e().CurrentKeyPos, 15);
    ASSERT_TRUE(w->keyMemo(15)->hasFocus());
    EXPECT_EQ(Accessible(w->keyMemo(15))->text(QAccessible::Name), QStringLiteral("キー 09"));
    EXPECT_TRUE(key15->state().selected);
    EXPECT_FALSE(key7->state().selected);
    Type(QStringLiteral("総務"));
    Press(Qt::Key_Tab);
    EXPECT_EQ(key15->text(QAccessible::Name), QStringLiteral("キー 09、総務"));
}

}  // namespace
}  // namespace sw::editor
