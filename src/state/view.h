// The [View] section of the settings file: the zoom, the window's remembered
// place and the single-window switch. [Setup] is never touched here.
#pragma once

#include <vector>

#include "runtime/window.h"
#include "state/state.h"

constexpr const char* ViewSection = "View";
constexpr int ZoomSmallest = 50;
constexpr int ZoomNormal = 100;
constexpr int ZoomLargest = 300;
// Smaller than this, the search field and the Go button overlap the buttons.
constexpr int WindowSmallestWidth = 200;
constexpr int WindowSmallestHeight = 100;
// How much of a window must lie on one screen, from its top edge down, for
// its title bar to be reached with the mouse.
constexpr int WindowReachable = 40;

// Reads the section into State.view: missing or unreadable values give the
// defaults (100 per cent, the default place, hand-over on).
void ReadViewSettings();
// Each stores the value (the zoom brought into its range) in State.view and
// writes its keys at once.
void WriteZoomSetting(int zoom);
void WriteWindowPlace(const WindowPlace& place);
void WriteSingleWindowSetting(int on);

// The zoom one step larger (direction > 0) or smaller (< 0), from the steps
// a browser offers, staying at either end of the range; direction 0 gives
// the normal size back.
int ZoomStep(int zoom, int direction);
// The place to open the window at: the remembered one when it was stored
// whole and its title bar lies on one of the screens (its size no larger
// than the screens' work areas together), else the default.
WindowPlace WindowPlaceToOpen(const ViewSettings& view, const std::vector<ScreenArea>& screens);
