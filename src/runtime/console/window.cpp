// The window layer and the browser control without a window: operations
// succeed quietly, control texts are kept so they read back, and the
// browser goes nowhere.
#include <map>
#include <set>

#include "runtime/browser.h"
#include "runtime/files.h"
#include "runtime/window.h"

namespace {

constexpr intptr_t TheWindowHandle = 1;

std::map<int, std::string> controlTexts;
std::set<int> browsers;
int windowOpen = 0;

}  // namespace

void RuntimeStart()
{
    controlTexts.clear();
    browsers.clear();
    windowOpen = 0;
}

void RuntimeEnd()
{
    FileCloseAll();
}

int WindowOpen(int, int, int, int, int, int32_t, const std::string&)
{
    windowOpen = 1;
    return 1;
}

intptr_t WindowHandle()
{
    return windowOpen ? TheWindowHandle : 0;
}

int WindowAreaWidth()
{
    return 0;
}

int WindowAreaHeight()
{
    return 0;
}

void WindowSetCallback(WindowCallback) {}

// No user can send an event, so the first wait ends the loop.
int EventWait()
{
    return EventClose;
}

int EventPoll()
{
    return 0;
}

int EventControlId()
{
    return 0;
}

int EventMenuId()
{
    return 0;
}

void ShortcutAdd(int, int, int) {}

int MenuBarCreate(int, intptr_t)
{
    return 1;
}

void MenuTitleAdd(const std::string&) {}
void MenuItemAdd(int, const std::string&) {}
void MenuSeparatorAdd() {}
void MenuSubmenuOpen(const std::string&) {}
void MenuSubmenuClose() {}

int MenuCheckGet(int, int)
{
    return 0;
}

void MenuCheckSet(int, int, int) {}

int StatusBarCreate(int, intptr_t)
{
    return 1;
}

void StatusBarSetText(int, int, const std::string&, int) {}
void ControlParentSet(intptr_t) {}

int ButtonCreate(int id, int, int, int, int, const std::string& text)
{
    controlTexts[id] = text;
    return 1;
}

int TextFieldCreate(int id, int, int, int, int, const std::string& text)
{
    controlTexts[id] = text;
    return 1;
}

int LabelCreate(int id, int, int, int, int, const std::string& text, int)
{
    controlTexts[id] = text;
    return 1;
}

void ToolTipSet(int, const std::string&) {}

void ControlSetText(int id, const std::string& text)
{
    if (browsers.count(id)) return;
    controlTexts[id] = text;
}

std::string ControlGetText(int id)
{
    if (browsers.count(id)) return "";
    auto found = controlTexts.find(id);
    return found == controlTexts.end() ? "" : found->second;
}

void ControlSetState(int, int) {}
void ControlResize(int, int, int, int, int) {}
void BusyCursorSet(int) {}

int BrowserCreate(int id, int, int, int, int, const std::string&)
{
    browsers.insert(id);
    controlTexts.erase(id);
    return 1;
}

std::string BrowserTargetAddress(int)
{
    return "";
}

std::string BrowserTargetPage(int)
{
    return "";
}

void BrowserShowCopy(int, const std::string&, const std::string&) {}

std::string BrowserTakeOutsideAddress(int)
{
    return "";
}

// There is no window to show, so nothing stands in the way.
int WindowDisplayAvailable()
{
    return 1;
}

// No window, no screens: nothing to remember or to offer.
ScreenArea WindowPlaceNow()
{
    return {};
}

std::vector<ScreenArea> ScreenAreas()
{
    return {};
}

void TextFieldSuggestionsSet(int, SuggestionSource, int) {}
void BrowserZoomSet(int, int) {}
void BrowserFind(int, int, const std::string&) {}
void BrowserPrint(int) {}
