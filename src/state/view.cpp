#include "state/view.h"

#include <algorithm>
#include <cstdint>
#include <string>

#include "runtime/text.h"
#include "state/settings.h"

namespace {

// The steps browsers offer, so Ctrl+plus feels the same here.
const int ZoomSteps[] = {50, 67, 75, 80, 90, 100, 110, 125, 150, 175, 200, 250, 300};
// Screen coordinates and sizes never need more; a longer number is a damaged
// value, not a place.
constexpr size_t MostDigits = 6;

// 1 when the key holds a whole number (an optional sign and digits), which
// is then in `value`; a missing key, letters or an empty value give 0.
int ReadWholeNumber(const std::string& key, int& value)
{
    const std::string text = ReadSettingText(ViewSection, key, "");
    size_t digits = !text.empty() && (text[0] == '-' || text[0] == '+') ? 1 : 0;
    if (text.size() == digits || text.size() - digits > MostDigits) return 0;
    for (size_t i = digits; i < text.size(); ++i)
        if (text[i] < '0' || text[i] > '9') return 0;
    value = TextToInteger(text);
    return 1;
}

int ZoomInRange(int zoom)
{
    return std::clamp(zoom, ZoomSmallest, ZoomLargest);
}

// The window's top edge lies on the screen, and enough of the strip below it
// to take hold of the title bar.
bool TitleBarOn(const WindowPlace& place, const ScreenArea& screen)
{
    const int64_t left = std::max<int64_t>(place.x, screen.x);
    const int64_t right = std::min<int64_t>(int64_t{place.x} + place.width, int64_t{screen.x} + screen.width);
    return right - left >= WindowReachable && place.y >= screen.y &&
           int64_t{place.y} + WindowReachable <= int64_t{screen.y} + screen.height;
}

// A damaged size (999999) would make a window of a gigabyte that no longer
// answers: no larger than the work areas together, so a window the user
// spread over two screens keeps its size.
WindowPlace NoLargerThanScreens(WindowPlace place, const std::vector<ScreenArea>& screens)
{
    int64_t left = INT64_MAX, top = INT64_MAX, right = INT64_MIN, bottom = INT64_MIN;
    for (const ScreenArea& screen : screens) {
        left = std::min<int64_t>(left, screen.x);
        top = std::min<int64_t>(top, screen.y);
        right = std::max(right, int64_t{screen.x} + screen.width);
        bottom = std::max(bottom, int64_t{screen.y} + screen.height);
    }
    place.width = static_cast<int>(std::min<int64_t>(place.width, right - left));
    place.height = static_cast<int>(std::min<int64_t>(place.height, bottom - top));
    return place;
}

}  // namespace

void ReadViewSettings()
{
    State.view = ViewSettings{};
    int value = 0;
    if (ReadWholeNumber("Zoom", value)) State.view.zoom = ZoomInRange(value);
    if (ReadWholeNumber("SingleWindow", value)) State.view.singleWindow = value != 0 ? 1 : 0;
    WindowPlace place;
    if (ReadWholeNumber("WindowX", place.x) && ReadWholeNumber("WindowY", place.y) &&
        ReadWholeNumber("WindowWidth", place.width) && ReadWholeNumber("WindowHeight", place.height)) {
        State.view.place = place;
        State.view.placeRemembered = 1;
    }
}

void WriteZoomSetting(int zoom)
{
    State.view.zoom = ZoomInRange(zoom);
    WriteSettingInteger(ViewSection, "Zoom", State.view.zoom);
}

void WriteWindowPlace(const WindowPlace& place)
{
    State.view.place = place;
    State.view.placeRemembered = 1;
    const struct {
        const char* key;
        int value;
    } keys[] = {{"WindowX", place.x},
                {"WindowY", place.y},
                {"WindowWidth", place.width},
                {"WindowHeight", place.height}};
    // The first key that cannot be stored is said; the rest are not tried.
    for (const auto& key : keys)
        if (!WriteSettingInteger(ViewSection, key.key, key.value)) break;
}

void WriteSingleWindowSetting(int on)
{
    State.view.singleWindow = on ? 1 : 0;
    WriteSettingInteger(ViewSection, "SingleWindow", State.view.singleWindow);
}

int ZoomStep(int zoom, int direction)
{
    if (direction == 0) return ZoomNormal;
    if (direction > 0) {
        for (int step : ZoomSteps)
            if (step > zoom) return step;
        return ZoomLargest;
    }
    for (auto step = std::rbegin(ZoomSteps); step != std::rend(ZoomSteps); ++step)
        if (*step < zoom) return *step;
    return ZoomSmallest;
}

WindowPlace WindowPlaceToOpen(const ViewSettings& view, const std::vector<ScreenArea>& screens)
{
    const WindowPlace& place = view.place;
    if (!view.placeRemembered || place.width < WindowSmallestWidth || place.height < WindowSmallestHeight)
        return DefaultWindowPlace;
    for (const ScreenArea& screen : screens)
        if (TitleBarOn(place, screen)) return NoLargerThanScreens(place, screens);
    return DefaultWindowPlace;
}
