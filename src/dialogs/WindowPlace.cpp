// Stored window places checked against the screens before a window is moved there.
#include "dialogs/WindowPlace.h"

#include <QGuiApplication>
#include <QMainWindow>
#include <QScreen>
#include <QWidget>

namespace sw::app {

namespace {

sw::model::ScreenRect RectOf(const QRect& r) { return {r.x(), r.y(), r.width(), r.height()}; }

// The screen a window is centred on: its parent's, its own, or the primary one.
QScreen* HomeScreen(const QWidget* window) {
    const QWidget* anchor = window->parentWidget() ? window->parentWidget() : window;
    QScreen* screen = anchor->screen();
    return screen ? screen : QGuiApplication::primaryScreen();
}

// A window manager's title bar is up to about this high (GNOME's is 37 pixels); the real
// height is known only once the window has been framed.
constexpr int kUsualTitleBarHeight = 40;

// The strip along the window's top that has to be on a screen: title bar and menu bar.
int HandleHeight(const QWidget* window) {
    int height = window->geometry().top() - window->frameGeometry().top();
    if (height <= 0) height = kUsualTitleBarHeight;
    if (const auto* main = qobject_cast<const QMainWindow*>(window); main && main->menuWidget())
        height += main->menuWidget()->sizeHint().height();
    return height;
}

}  // namespace

std::vector<sw::model::ScreenRect> ScreenAreas() {
    std::vector<sw::model::ScreenRect> areas;
    for (const QScreen* screen : QGuiApplication::screens())
        areas.push_back(RectOf(screen->availableGeometry()));
    return areas;
}

sw::model::WindowPlacement PlaceWindow(QWidget* window, const sw::model::WindowPlacement& stored,
                                       bool hasSize) {
    QScreen* home = HomeScreen(window);
    sw::model::WindowPlacement placement = stored;
    if (home) {
        placement = sw::model::KeepReachable(stored, hasSize, {window->width(), window->height()},
                                             ScreenAreas(), RectOf(home->availableGeometry()),
                                             HandleHeight(window));
    }
    window->move(placement.left, placement.top);
    if (hasSize) window->resize(placement.width, placement.height);
    return placement;
}

bool PlacesWindows(const QString& platformName) {
    return !platformName.startsWith(QLatin1String("wayland"));
}

void TakeWindowPlace(const QWidget* window, sw::model::WindowPlacement& placement) {
    placement.top = window->pos().y();
    placement.left = window->pos().x();
    placement.placed = PlacesWindows(QGuiApplication::platformName());
}

}  // namespace sw::app
