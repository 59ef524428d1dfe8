// Stored window places checked against the screens before a window is moved there.
#include "dialogs/WindowPlace.h"

#include <QGuiApplication>
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
                                             ScreenAreas(), RectOf(home->availableGeometry()));
    }
    window->move(placement.left, placement.top);
    if (hasSize) window->resize(placement.width, placement.height);
    return placement;
}

}  // namespace sw::app
