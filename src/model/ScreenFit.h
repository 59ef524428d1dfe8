// Where a window goes when the place kept for it in the settings file cannot be reached on
// today's screens: plain rules over rectangles, no widgets.
#pragma once

#include <vector>

#include "model/Settings.h"

namespace sw::model {

struct ScreenRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

// A window counts as reachable when one screen shows at least this much of it (all of it
// when it is smaller), enough to take its title bar and pull it back.
constexpr int kReachableWidth = 100;
constexpr int kReachableHeight = 50;

// True when one of the screens shows enough of the window and, with a `handleHeight`, the
// whole height of the strip of that height along the window's top (its title bar and menu
// bar, by which it is moved and used); with no screen known, true.
bool IsReachable(const ScreenRect& window, const std::vector<ScreenRect>& screens,
                 int handleHeight = 0);

// The placement read from the settings file, made usable on these screens (their work
// areas; `home` is the one windows are centred on). A stored size (`hasSize`) is bounded
// by the work area of the screen it is placed on, and by the reachable minimum from below;
// a window that would show less than 100 × 50 pixels on every screen, or whose top strip
// of `handleHeight` pixels (title bar and menu bar) no screen shows whole, is centred on
// `home` (its top-left corner kept on `home` when the window is the larger).
// `size` is the window's own size, used for windows that keep no size.
WindowPlacement KeepReachable(const WindowPlacement& stored, bool hasSize, Size size,
                              const std::vector<ScreenRect>& screens, const ScreenRect& home,
                              int handleHeight = 0);

// Where a new window of size `size`, meant for `wanted` (its top-left corner), goes so that
// it does not hide a window of the program already there: moved right and down by `step`
// (a title bar) while its corner lies within half a step of another window's corner, and
// back to the top-left corner of `area` when it would leave it at the right or bottom.
ScreenRect CascadeFrom(const ScreenRect& wanted, const std::vector<ScreenRect>& others, int step,
                       const ScreenRect& area);

}  // namespace sw::model
