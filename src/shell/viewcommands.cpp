#include "shell/viewcommands.h"

#include <string>
#include <vector>

#include "helpindex/typeahead.h"
#include "runtime/browser.h"
#include "runtime/text.h"
#include "runtime/window.h"
#include "shell/mainwindow.h"
#include "state/texts.h"
#include "state/view.h"

namespace {

struct KeyBinding {
    int key;
    int menuId;
};

// Plus is Shift+"=" on many keyboards and a key of its own on others; the
// keypad's keys and the wheel under Ctrl zoom too, as in a web browser.
const KeyBinding ViewKeys[] = {
    {'F' | ShortcutCtrl, MenuFindInPage},
    {KeyF3, MenuFindNext},
    {KeyF3 | ShortcutShift, MenuFindPrevious},
    {KeyPlus | ShortcutCtrl, MenuZoomIn},
    {KeyPlus | ShortcutCtrl | ShortcutShift, MenuZoomIn},
    {KeyAdd | ShortcutCtrl, MenuZoomIn},
    {KeyWheelForward | ShortcutCtrl, MenuZoomIn},
    {KeyMinus | ShortcutCtrl, MenuZoomOut},
    {KeySubtract | ShortcutCtrl, MenuZoomOut},
    {KeyWheelBackward | ShortcutCtrl, MenuZoomOut},
    {'0' | ShortcutCtrl, MenuZoomNormal},
    {KeyNumpad0 | ShortcutCtrl, MenuZoomNormal},
    {'P' | ShortcutCtrl, MenuPrint},
    // The browser's own history keys, bound too so that the menu shows them.
    {KeyLeft | ShortcutAlt, MenuBack},
    {KeyRight | ShortcutAlt, MenuNext},
    {KeyEscape, MenuStop},
};

Suggestions SearchFieldSuggestions(const std::string& typed)
{
    TypeAheadRows rows = TypeAheadKeywords(typed, TypeAheadScreenful);
    Suggestions suggestions;
    suggestions.rows = std::move(rows.keywords);
    if (rows.more > 0) suggestions.note = TextFromInteger(rows.more) + TypeAheadMoreText;
    return suggestions;
}

void Zoom(int direction)
{
    WriteZoomSetting(ZoomStep(State.view.zoom, direction));
    BrowserZoomSet(BrowserControl, State.view.zoom);
}

}  // namespace

WindowPlace WindowPlaceAtStart()
{
    return WindowPlaceToOpen(State.view, ScreenAreas());
}

void AddViewMenu()
{
    MenuTitleAdd(MenuViewText);
    MenuItemAdd(MenuBack, BackText);
    MenuItemAdd(MenuNext, NextText);
    MenuItemAdd(MenuStop, MenuStopText);
    MenuSeparatorAdd();
    MenuItemAdd(MenuFindInPage, MenuFindText);
    MenuItemAdd(MenuFindNext, MenuFindNextText);
    MenuItemAdd(MenuFindPrevious, MenuFindPreviousText);
    MenuSeparatorAdd();
    MenuItemAdd(MenuZoomIn, MenuZoomInText);
    MenuItemAdd(MenuZoomOut, MenuZoomOutText);
    MenuItemAdd(MenuZoomNormal, MenuZoomNormalText);
    MenuSeparatorAdd();
    MenuItemAdd(MenuPrint, MenuPrintText);
}

void AddViewCommands()
{
    for (const KeyBinding& binding : ViewKeys) ShortcutAdd(0, binding.key, binding.menuId);
    // A chosen keyword is searched for as if typed and Enter pressed.
    TextFieldSuggestionsSet(SearchField, SearchFieldSuggestions, MenuSearch);
    if (State.view.zoom != ZoomNormal) BrowserZoomSet(BrowserControl, State.view.zoom);
}

int RunViewCommand(int id)
{
    switch (id) {
    case MenuFindInPage: BrowserFind(BrowserControl, 0, FindNotFoundText); return 1;
    case MenuFindNext: BrowserFind(BrowserControl, 1, FindNotFoundText); return 1;
    case MenuFindPrevious: BrowserFind(BrowserControl, -1, FindNotFoundText); return 1;
    case MenuZoomIn: Zoom(1); return 1;
    case MenuZoomOut: Zoom(-1); return 1;
    case MenuZoomNormal: Zoom(0); return 1;
    case MenuPrint: BrowserPrint(BrowserControl); return 1;
    case MenuBack: ControlSetState(BrowserControl, BrowserBack); return 1;
    case MenuNext: ControlSetState(BrowserControl, BrowserForward); return 1;
    // Long work takes its Stop itself; without any there is nothing to stop.
    case MenuStop: return 1;
    default: return 0;
    }
}

void RememberWindowPlace()
{
    const ScreenArea now = WindowPlaceNow();
    if (now.width <= 0 || now.height <= 0) return;
    const WindowPlace place = {now.x, now.y, now.width, now.height};
    const WindowPlace& kept = State.view.place;
    // An unchanged place (the default one on a first run) leaves the
    // settings file as it is.
    if (kept.x == place.x && kept.y == place.y && kept.width == place.width && kept.height == place.height)
        return;
    WriteWindowPlace(place);
}
