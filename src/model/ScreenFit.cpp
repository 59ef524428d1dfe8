// A stored window place kept where the user can reach the window.
#include "model/ScreenFit.h"

#include <algorithm>
#include <cstdlib>

namespace sw::model {

namespace {

// The width and height of the part of `a` that lies on `b`.
Size Overlap(const ScreenRect& a, const ScreenRect& b) {
    // In 64 bits: stored values come from a file and may be near the ends of int.
    const long long left = std::max<long long>(a.left, b.left);
    const long long top = std::max<long long>(a.top, b.top);
    const long long right = std::min<long long>(static_cast<long long>(a.left) + a.width,
                                                static_cast<long long>(b.left) + b.width);
    const long long bottom = std::min<long long>(static_cast<long long>(a.top) + a.height,
                                                 static_cast<long long>(b.top) + b.height);
    if (right <= left || bottom <= top) return {};
    return {static_cast<int>(right - left), static_cast<int>(bottom - top)};
}

bool Contains(const ScreenRect& screen, int x, int y) {
    return x >= screen.left && y >= screen.top && x - screen.left < screen.width &&
           y - screen.top < screen.height;
}

}  // namespace

bool IsReachable(const ScreenRect& window, const std::vector<ScreenRect>& screens, int handleHeight) {
    if (screens.empty()) return true;
    const int needWidth = std::min(kReachableWidth, std::max(window.width, 1));
    const int needHeight = std::min(kReachableHeight, std::max(window.height, 1));
    return std::any_of(screens.begin(), screens.end(), [&](const ScreenRect& screen) {
        const Size shown = Overlap(window, screen);
        if (shown.width < needWidth || shown.height < needHeight) return false;
        if (handleHeight <= 0) return true;
        const long long top = window.top;
        return top >= screen.top && top + handleHeight <= static_cast<long long>(screen.top) + screen.height;
    });
}

WindowPlacement KeepReachable(const WindowPlacement& stored, bool hasSize, Size size,
                              const std::vector<ScreenRect>& screens, const ScreenRect& home,
                              int handleHeight) {
    WindowPlacement p = stored;
    if (screens.empty()) return p;
    // The screen the window's top-left corner is stored on bounds its size; one stored off
    // every screen is sized for the screen it will be centred on.
    auto bound = [&](const ScreenRect& screen) {
        p.width = std::clamp(stored.width, kReachableWidth, std::max(screen.width, kReachableWidth));
        p.height = std::clamp(stored.height, kReachableHeight, std::max(screen.height, kReachableHeight));
    };
    if (hasSize) {
        auto on = std::find_if(screens.begin(), screens.end(), [&](const ScreenRect& screen) {
            return Contains(screen, stored.left, stored.top);
        });
        bound(on != screens.end() ? *on : home);
        size = {p.width, p.height};
    }
    if (IsReachable({p.left, p.top, size.width, size.height}, screens, handleHeight)) return p;
    if (hasSize) {
        bound(home);
        size = {p.width, p.height};
    }
    // A window larger than its screen keeps its title bar on the screen.
    p.left = home.left + std::max(0, Centred(home.width, size.width));
    p.top = home.top + std::max(0, Centred(home.height, size.height));
    return p;
}

ScreenRect CascadeFrom(const ScreenRect& wanted, const std::vector<ScreenRect>& others, int step,
                       const ScreenRect& area) {
    ScreenRect place = wanted;
    step = std::max(step, 1);
    auto covers = [&](const ScreenRect& other) {
        return std::abs(static_cast<long long>(other.left) - place.left) * 2 < step &&
               std::abs(static_cast<long long>(other.top) - place.top) * 2 < step;
    };
    // Each window can push it on once; one more round finds a free place or gives up.
    for (size_t round = 0; round <= others.size(); ++round) {
        if (std::none_of(others.begin(), others.end(), covers)) break;
        place.left += step;
        place.top += step;
        const bool leaves = static_cast<long long>(place.left) + place.width > static_cast<long long>(area.left) + area.width ||
                            static_cast<long long>(place.top) + place.height > static_cast<long long>(area.top) + area.height;
        if (leaves && area.width > 0 && area.height > 0) {
            place.left = area.left;
            place.top = area.top;
        }
    }
    return place;
}

}  // namespace sw::model
