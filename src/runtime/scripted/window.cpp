// The window layer and the browser control for tests: every call is
// recorded in the script, events and answers come from its queues.
#include "runtime/browser.h"
#include "runtime/files.h"
#include "runtime/scripted/script.h"
#include "runtime/window.h"

// The one stored id of the last event; EventControlId and EventMenuId share it.
int& ScriptLastEventId();

namespace {

constexpr intptr_t TheWindowHandle = 1;

RecordedControl* FindControl(int id)
{
    auto found = TheScript().controls.find(id);
    return found == TheScript().controls.end() ? nullptr : &found->second;
}

bool IsBrowser(const RecordedControl* control)
{
    return control && control->kind == "browser";
}

int CreateControl(const std::string& kind, int id, int x, int y, int width, int height,
                  const std::string& text, int flags)
{
    RecordedControl control;
    control.kind = kind;
    control.x = x;
    control.y = y;
    control.width = width;
    control.height = height;
    control.text = text;
    control.flags = flags;
    TheScript().controls[id] = control;
    return 1;
}

RecordedMenuEntry* FindMenuItem(int id)
{
    for (auto& entry : TheScript().menu)
        if (entry.kind == "item" && entry.id == id) return &entry;
    return nullptr;
}

}  // namespace

void RuntimeStart()
{
    ScriptLastEventId() = 0;
}

void RuntimeEnd()
{
    TheScript().runtimeEnded = true;
    FileCloseAll();
}

int WindowOpen(int, int x, int y, int width, int height, int32_t flags, const std::string& title)
{
    Script& script = TheScript();
    if (!script.windowOpenResult) return 0;
    script.windowOpened = true;
    script.windowX = x;
    script.windowY = y;
    script.windowWidth = width;
    script.windowHeight = height;
    script.windowFlags = flags;
    script.windowTitle = title;
    return script.windowOpenResult;
}

intptr_t WindowHandle()
{
    return TheScript().windowOpened ? TheWindowHandle : 0;
}

int WindowAreaWidth()
{
    return TheScript().areaWidth;
}

int WindowAreaHeight()
{
    return TheScript().areaHeight;
}

void WindowSetCallback(WindowCallback callback)
{
    TheScript().callback = callback;
}

int EventWait()
{
    Script& script = TheScript();
    script.eventsHandedOut += 1;
    ScriptShowPending();
    if (script.events.empty()) {
        ScriptLastEventId() = 0;
        return EventClose;
    }
    ScriptedEvent event = script.events.front();
    script.events.pop_front();
    if (!event.link.empty()) ScriptFollowLink(event.link);
    ScriptLastEventId() = event.id;
    return event.code;
}

int EventPoll()
{
    Script& script = TheScript();
    script.polls += 1;
    if (script.events.empty() || !script.events.front().duringWork) return 0;
    const ScriptedEvent event = script.events.front();
    script.events.pop_front();
    ScriptLastEventId() = event.id;
    return event.code;
}

int EventControlId()
{
    return ScriptLastEventId();
}

int EventMenuId()
{
    return ScriptLastEventId();
}

void ShortcutAdd(int, int key, int menuId)
{
    for (auto& shortcut : TheScript().shortcuts) {
        if (shortcut.first == key) {
            shortcut.second = menuId;
            return;
        }
    }
    TheScript().shortcuts.emplace_back(key, menuId);
}

int MenuBarCreate(int, intptr_t)
{
    if (!TheScript().menuBarResult) return 0;
    TheScript().menu.clear();
    return TheScript().menuBarResult;
}

void MenuTitleAdd(const std::string& text)
{
    TheScript().menu.push_back(RecordedMenuEntry{"title", -1, text, 0});
}

void MenuItemAdd(int id, const std::string& text)
{
    TheScript().menu.push_back(RecordedMenuEntry{"item", id, text, 0});
}

void MenuSeparatorAdd()
{
    TheScript().menu.push_back(RecordedMenuEntry{"separator", -1, "", 0});
}

void MenuSubmenuOpen(const std::string& text)
{
    TheScript().menu.push_back(RecordedMenuEntry{"submenu", -1, text, 0});
}

void MenuSubmenuClose()
{
    TheScript().menu.push_back(RecordedMenuEntry{"submenu-end", -1, "", 0});
}

int MenuCheckGet(int, int id)
{
    RecordedMenuEntry* item = FindMenuItem(id);
    return item ? item->checked : 0;
}

void MenuCheckSet(int, int id, int state)
{
    if (RecordedMenuEntry* item = FindMenuItem(id)) item->checked = state ? 1 : 0;
}

// Like the real layer, the new status bar sends the window a size message.
int StatusBarCreate(int, intptr_t)
{
    Script& script = TheScript();
    if (script.callback) {
        uintptr_t size =
            (static_cast<uintptr_t>(script.areaHeight & 0xFFFF) << 16) | (script.areaWidth & 0xFFFF);
        script.callback(WindowHandle(), MessageSize, 0, static_cast<intptr_t>(size));
    }
    return 1;
}

void StatusBarSetText(int number, int field, const std::string& text, int)
{
    if (number != 0 || field != 0) return;
    TheScript().statusText = text;
    TheScript().statusHistory.push_back(text);
}

void ControlParentSet(intptr_t) {}

int ButtonCreate(int id, int x, int y, int width, int height, const std::string& text)
{
    return CreateControl("button", id, x, y, width, height, text, 0);
}

int TextFieldCreate(int id, int x, int y, int width, int height, const std::string& text)
{
    return CreateControl("textfield", id, x, y, width, height, text, 0);
}

int LabelCreate(int id, int x, int y, int width, int height, const std::string& text, int flags)
{
    return CreateControl("label", id, x, y, width, height, text, flags);
}

void ToolTipSet(int id, const std::string& text)
{
    if (RecordedControl* control = FindControl(id)) control->tooltip = text;
}

void ControlSetText(int id, const std::string& text)
{
    RecordedControl* control = FindControl(id);
    if (!control) return;
    if (!IsBrowser(control)) {
        control->text = text;
        return;
    }
    if (text.empty()) return;
    TheScript().navigations.push_back(text);
    HistoryNavigate(TheScript().browser, BrowserEntryOf(text));
}

std::string ControlGetText(int id)
{
    RecordedControl* control = FindControl(id);
    if (!control) return "";
    if (IsBrowser(control)) return ScriptShownAddress();
    return control->text.substr(0, ControlTextLimit);
}

void ControlSetState(int id, int state)
{
    RecordedControl* control = FindControl(id);
    if (!IsBrowser(control)) return;
    BrowserHistory& history = TheScript().browser;
    TheScript().browserStates.push_back(state);
    if (state == BrowserBack) HistoryStep(history, -1);
    else if (state == BrowserForward) HistoryStep(history, 1);
    else if (state == BrowserStop) HistoryStop(history);
    else if (state == BrowserReload) HistoryReload(history);
}

void ControlResize(int id, int x, int y, int width, int height)
{
    RecordedControl* control = FindControl(id);
    if (!control) return;
    if (x != -1) control->x = x;
    if (y != -1) control->y = y;
    if (width != -1) control->width = width;
    if (height != -1) control->height = height;
}

void BusyCursorSet(int busy)
{
    TheScript().busy.push_back(busy);
}

int BrowserCreate(int id, int x, int y, int width, int height, const std::string& address)
{
    if (!TheScript().browserCreateResult) return 0;
    CreateControl("browser", id, x, y, width, height, address, 0);
    if (!address.empty()) HistoryNavigate(TheScript().browser, BrowserEntryOf(address));
    return TheScript().browserCreateResult;
}

std::string BrowserTargetAddress(int id)
{
    if (!IsBrowser(FindControl(id))) return "";
    const BrowserEntry* target = HistoryTarget(TheScript().browser);
    return target ? BrowserEntryAddress(*target) : "";
}

std::string BrowserTargetPage(int id)
{
    if (!IsBrowser(FindControl(id))) return "";
    const BrowserEntry* target = HistoryTarget(TheScript().browser);
    return target ? target->page : "";
}

void BrowserShowCopy(int id, const std::string& copyPath, const std::string& page)
{
    if (!IsBrowser(FindControl(id))) return;
    TheScript().navigations.push_back(copyPath);
    HistoryShowCopy(TheScript().browser, copyPath, page);
}

std::string BrowserTakeOutsideAddress(int id)
{
    if (!IsBrowser(FindControl(id))) return "";
    std::string address = TheScript().outsideAddress;
    TheScript().outsideAddress.clear();
    return address;
}

int WindowDisplayAvailable()
{
    return 1;
}

ScreenArea WindowPlaceNow()
{
    const Script& script = TheScript();
    if (!script.windowOpened || script.windowMaximised) return {};
    return {script.windowX, script.windowY, script.areaWidth, script.areaHeight};
}

std::vector<ScreenArea> ScreenAreas()
{
    return TheScript().screens;
}

void TextFieldSuggestionsSet(int id, SuggestionSource source, int menuId)
{
    Script& script = TheScript();
    script.suggestionField = id;
    script.suggestionSource = source;
    script.suggestionMenu = menuId;
}

void BrowserZoomSet(int id, int percent)
{
    if (IsBrowser(FindControl(id))) TheScript().zooms.push_back(percent);
}

void BrowserFind(int id, int step, const std::string& notFoundText)
{
    if (!IsBrowser(FindControl(id))) return;
    const char* kind = step == 0 ? "find " : step < 0 ? "previous " : "next ";
    TheScript().pageCommands.push_back(kind + notFoundText);
}

void BrowserPrint(int id)
{
    if (IsBrowser(FindControl(id))) TheScript().pageCommands.push_back("print");
}
