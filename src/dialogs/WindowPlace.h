// Windows put where the settings file keeps them, as long as the user can reach them there.
#pragma once

#include <vector>

#include "model/ScreenFit.h"
#include "model/Settings.h"

class QString;
class QWidget;

namespace sw::app {

// The work areas of the screens, as they are now.
std::vector<sw::model::ScreenRect> ScreenAreas();

// Moves the window to the stored place (and, with `hasSize`, gives it the stored size), kept
// reachable: a place that would leave less than 100 × 50 pixels of the window on every
// screen, or would put its title bar or menu bar off the screens, becomes the centre of
// the window's screen, and a stored size is bounded by the screen. Returns the placement
// used; what the window later writes back is its present place, so a stored place that
// could not be reached is never written again.
sw::model::WindowPlacement PlaceWindow(QWidget* window, const sw::model::WindowPlacement& stored,
                                       bool hasSize = false);

// False for the Wayland platforms, where the compositor alone places windows: a window's
// place read there is no place the program chose, and is not kept.
bool PlacesWindows(const QString& platformName);

// The window's present place into `placement`, to be written back; on a platform that
// does not place windows it is marked as no place.
void TakeWindowPlace(const QWidget* window, sw::model::WindowPlacement& placement);

}  // namespace sw::app
