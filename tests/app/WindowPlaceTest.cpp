// Every window comes up where the user can reach it: a place stored for other screens is
// replaced by the centred one, the preview's size by one that fits, and neither the
// unreachable place nor the oversized size is written back.
#include <gtest/gtest.h>

#include <QAction>
#include <QGuiApplication>
#include <QPushButton>
#include <QScreen>
#include <QToolButton>
#include <QTest>
#include <climits>

#include "app/Commands.h"
#include "app/Program.h"
#include "app/ProgramFixture.h"
#include "app/TfrmVersion.h"
#include "dialogs/WindowPlace.h"
#include "editor/TfrmMain.h"
#include "mgmt/TfrmIchiran.h"
#include "mgmt/TfrmNaisen.h"
#include "model/IniFile.h"
#include "model/ScreenFit.h"
#include "print/TfrmPreview.h"
#include "print/TfrmSettei.h"

namespace sw::app {
namespace {

using sw::model::KeepReachable;
using sw::model::ScreenRect;
using sw::model::WindowPlacement;
using sw::test::OnModal;

WindowPlacement At(int left, int top, int width = 0, int height = 0) {
    WindowPlacement p;
    p.left = left;
    p.top = top;
    p.width = width;
    p.height = height;
    return p;
}

// Two screens side by side, the second one higher and smaller.
const std::vector<ScreenRect> kScreens{{0, 0, 1920, 1080}, {1920, -200, 1280, 1024}};

TEST(KeepReachable, APlaceShowing100By50PixelsOnOneScreenIsKept) {
    const sw::model::Size dialog{659, 551};
    auto place = [&](int left, int top) {
        const WindowPlacement p = KeepReachable(At(left, top), false, dialog, kScreens, kScreens[0]);
        return QPoint(p.left, p.top);
    };
    const QPoint centred((1920 - 659) / 2, (1080 - 551) / 2);
    EXPECT_EQ(place(2500, -150), QPoint(2500, -150));       // on the second screen
    EXPECT_EQ(place(1920 - 100, 1080 - 50), QPoint(1820, 1030));  // exactly 100 × 50 shown
    EXPECT_EQ(place(1920 - 99, 500), QPoint(1821, 500));    // the rest lies on the second screen
    EXPECT_EQ(place(1000, 1080 - 49), centred);             // 49 pixels high shown
    EXPECT_EQ(place(-659 + 99, 100), centred);              // 99 pixels wide shown
    EXPECT_EQ(place(3200, 0), centred);                     // right of both screens
    EXPECT_EQ(place(1920 + 100, 900), centred);             // below the second screen
    EXPECT_EQ(place(INT_MAX, INT_MIN), centred);            // nonsense from a file
    // Centred on the screen it belongs to, and never with its top above that screen.
    const WindowPlacement big = KeepReachable(At(9000, 9000), false, {1500, 1100}, kScreens, kScreens[1]);
    EXPECT_EQ(QPoint(big.left, big.top), QPoint(1920, -200));
}

TEST(KeepReachable, ThePlaceIsKeptOnlyWithTheTitleBarAndMenuBarWholeOnAScreen) {
    const sw::model::Size window{756, 497};
    constexpr int kBars = 37 + 21;  // title bar and menu bar
    auto place = [&](int left, int top) {
        const WindowPlacement p = KeepReachable(At(left, top), false, window, kScreens, kScreens[0], kBars);
        return QPoint(p.left, p.top);
    };
    const QPoint centred((1920 - 756) / 2, (1080 - 497) / 2);
    EXPECT_EQ(place(-3, -30), centred);                  // as a Wayland session used to store it
    EXPECT_EQ(place(-3, 0), QPoint(-3, 0));
    EXPECT_EQ(place(300, 1080 - kBars), QPoint(300, 1080 - kBars));
    EXPECT_EQ(place(300, 1080 - kBars + 1), centred);   // the menu bar's last row off the screen
    EXPECT_EQ(place(2000, -200), QPoint(2000, -200));    // the top of the second screen
    EXPECT_EQ(place(2000, -201), centred);
    // Above the first screen, the bars count on the second one, with 100 pixels of them.
    EXPECT_EQ(place(1920 - 756 + 100, -100), QPoint(1264, -100));
    EXPECT_EQ(place(1920 - 756 + 99, -100), centred);
}

TEST(WindowPlace, OnlyWaylandLeavesThePlacingToTheCompositor) {
    EXPECT_FALSE(PlacesWindows(QStringLiteral("wayland")));
    EXPECT_FALSE(PlacesWindows(QStringLiteral("wayland-egl")));
    EXPECT_TRUE(PlacesWindows(QStringLiteral("xcb")));
    EXPECT_TRUE(PlacesWindows(QStringLiteral("offscreen")));
}

// A second program's window reads the same place as the first: it opens a title bar further
// right and down, past every window already there, and back at the top-left corner rather
// than off the screen.
TEST(CascadeFrom, ANewWindowStepsPastTheWindowsAtItsPlace) {
    using sw::model::CascadeFrom;
    const ScreenRect area{0, 0, 1280, 1024};
    const ScreenRect wanted{100, 100, 756, 500};
    auto at = [](const ScreenRect& r) { return std::pair{r.left, r.top}; };
    EXPECT_EQ(at(CascadeFrom(wanted, {}, 24, area)), std::pair(100, 100));
    EXPECT_EQ(at(CascadeFrom(wanted, {{400, 300, 756, 500}}, 24, area)), std::pair(100, 100));
    EXPECT_EQ(at(CascadeFrom(wanted, {{100, 100, 756, 500}}, 24, area)), std::pair(124, 124));
    EXPECT_EQ(at(CascadeFrom(wanted, {{105, 95, 756, 500}}, 24, area)), std::pair(124, 124));
    EXPECT_EQ(at(CascadeFrom(wanted, {{124, 124, 756, 500}, {100, 100, 756, 500}}, 24, area)),
              std::pair(148, 148));
    EXPECT_EQ(at(CascadeFrom({500, 510, 756, 500}, {{500, 510, 756, 500}}, 24, area)), std::pair(0, 0));
}

TEST(KeepReachable, AStoredSizeIsBoundedByItsScreen) {
    WindowPlacement p = KeepReachable(At(2000, -100, 5000, 4000), true, {}, kScreens, kScreens[0]);
    EXPECT_EQ(QRect(p.left, p.top, p.width, p.height), QRect(2000, -100, 1280, 1024));
    p = KeepReachable(At(10, 10, -5, 0), true, {}, kScreens, kScreens[0]);
    EXPECT_EQ(QSize(p.width, p.height), QSize(100, 50));
    // Off every screen: sized for the screen it is centred on.
    p = KeepReachable(At(-9000, 40, 3000, 700), true, {}, kScreens, kScreens[1]);
    EXPECT_EQ(QRect(p.left, p.top, p.width, p.height), QRect(1920, -200 + (1024 - 700) / 2, 1280, 700));
    // Without screens nothing is known, and nothing changes.
    p = KeepReachable(At(-9000, 40, 3000, 700), true, {}, {}, kScreens[0]);
    EXPECT_EQ(QRect(p.left, p.top, p.width, p.height), QRect(-9000, 40, 3000, 700));
}

class WindowPlaces : public sw::test::ProgramFixture {
protected:
    std::string Ini() { return cwd.File("Stripwise2.ini"); }
    QRect Screen() { return QGuiApplication::primaryScreen()->availableGeometry(); }
    QPoint Centred(const QWidget* window) {
        return {(Screen().width() - window->width()) / 2, (Screen().height() - window->height()) / 2};
    }
    void Store(const char* section, int left, int top) {
        sw::model::WriteIniInt(Ini(), section, "Top", top);
        sw::model::WriteIniInt(Ini(), section, "Left", left);
    }
    QPoint Stored(const char* section) {
        return {sw::model::ReadIniInt(Ini(), section, "Left", -1),
                sw::model::ReadIniInt(Ini(), section, "Top", -1)};
    }
    // Shows a dialog of type D through the command `open`, notes where it came up and
    // closes it with `close`.
    template <typename D>
    QPoint OpenAndClose(std::function<void()> open, std::function<void(D*)> close,
                        QPoint* centred = nullptr) {
        QPoint at(-1, -1);
        bool reached = false;
        OnModal<D>([&](D* d) {
            at = d->pos();
            if (centred) *centred = Centred(d);
            close(d);
        }, &reached);
        open();
        EXPECT_TRUE(reached);
        return at;
    }
};

TEST_F(WindowPlaces, TheMainWindowFromAnotherScreenIsCentredAndSoWritten) {
    program.reset();
    Store("Main", 5000, -3000);
    program = std::make_unique<Program>(*ws, dialogs, printer);
    EXPECT_EQ(w().pos(), Centred(&w()));
    dialogs.replies = {Reply::No};
    w().close();  // the close request writes the position, answered or not
    EXPECT_EQ(Stored("Main"), Centred(&w()));

    // A place from which 100 pixels of the title bar and the menu bar show is the user's
    // choice and stays.
    program.reset();
    Store("Main", Screen().width() - 100, Screen().height() - 100);
    program = std::make_unique<Program>(*ws, dialogs, printer);
    EXPECT_EQ(w().pos(), QPoint(Screen().width() - 100, Screen().height() - 100));

    // The title bar above the screen: centred.
    program.reset();
    Store("Main", -3, -30);
    program = std::make_unique<Program>(*ws, dialogs, printer);
    EXPECT_EQ(w().pos(), Centred(&w()));
}

TEST_F(WindowPlaces, EveryDialogFromAnotherScreenIsCentredAndSoWritten) {
    for (const char* section : {"Settei", "Naisen", "Ichiran", "Version"}) Store(section, -4000, 2000);
    QPoint centred;
    auto closeBox = [](QWidget* d) { d->close(); };

    EXPECT_EQ(OpenAndClose<sw::render::TfrmSettei>([&] { w().action("I1")->trigger(); }, closeBox, &centred),
              centred);
    EXPECT_EQ(Stored("Settei"), centred);
    EXPECT_EQ(OpenAndClose<sw::mgmt::TfrmNaisen>([&] { w().action("N3")->trigger(); }, closeBox, &centred),
              centred);
    EXPECT_EQ(Stored("Naisen"), centred);
    EXPECT_EQ(OpenAndClose<sw::mgmt::TfrmIchiran>([&] { w().action("N4")->trigger(); }, closeBox, &centred),
              centred);
    EXPECT_EQ(Stored("Ichiran"), centred);
    auto ok = [](TfrmVersion* d) { d->findChild<QPushButton*>("Button1")->click(); };
    EXPECT_EQ(OpenAndClose<TfrmVersion>([&] { w().action("About1")->trigger(); }, ok, &centred), centred);
    EXPECT_EQ(Stored("Version"), centred);
}

TEST_F(WindowPlaces, ThePreviewFitsItsScreen) {
    program.reset();
    sw::model::WriteIniInt(Ini(), "Preview", "Height", 5000);
    sw::model::WriteIniInt(Ini(), "Preview", "Width", 7000);
    Store("Preview", 30000, 30000);
    program = std::make_unique<Program>(*ws, dialogs, printer);
    ASSERT_TRUE(sw::test::ShowActive(&w()));
    sw::render::TfrmPreview& preview = program->preview();
    EXPECT_EQ(preview.size(), Screen().size());
    EXPECT_EQ(preview.pos(), Screen().topLeft());

    auto closeBox = [](QWidget* d) { d->close(); };
    OpenAndClose<sw::render::TfrmPreview>([&] { w().toolButton(5)->click(); }, closeBox);
    EXPECT_EQ(Stored("Preview"), Screen().topLeft());
    EXPECT_EQ(sw::model::ReadIniInt(Ini(), "Preview", "Width", -1), Screen().width());
    EXPECT_EQ(sw::model::ReadIniInt(Ini(), "Preview", "Height", -1), Screen().height());
}

}  // namespace
}  // namespace sw::app
