// The window, menu, status-bar and control layer on the Windows API.
#include "runtime/window.h"

#include <windows.h>
#include <commctrl.h>
#include <ole2.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "runtime/browser.h"
#include "runtime/files.h"
#include "runtime/handover.h"
#include "runtime/win32/layer.h"

namespace {

constexpr char TemplateClassName[] = "TemplateClass";
// Accelerator ids of the two focus keys; they move the focus, no event.
constexpr WORD ShortcutNextControl = 1212;
constexpr WORD ShortcutPreviousControl = 1213;

struct Control {
    int id = 0;
    HWND handle = nullptr;
    const ControlHandlers* handlers = nullptr;
};

struct Shortcut {
    int key = 0;  // virtual key plus the modifier bits of ShortcutAdd
    WORD command = 0;
};
// A part of a notch of the wheel under a zoom modifier: nothing is sent,
// and the browser does not zoom by itself either.
const Shortcut WheelKeptBack = {0, 0};

struct Layer {
    HINSTANCE instance = nullptr;
    bool oleStarted = false;

    HWND window = nullptr;
    std::string className;
    WindowCallback callback = nullptr;
    std::vector<Shortcut> shortcuts;

    // The event recorded while the current message was processed.
    bool recorded = false;
    int event = 0;
    int eventId = 0;
    int eventType = 0;

    HMENU menuBar = nullptr;
    HWND menuWindow = nullptr;
    HMENU currentMenu = nullptr;
    std::vector<HMENU> enclosingMenus;
    // The keyboard's letters taken in the bar and in each menu.
    std::map<HMENU, std::string> mnemonics;

    HWND statusBar = nullptr;
    int seenWidth = -1;
    int seenHeight = -1;

    HWND parent = nullptr;
    std::vector<Control> controls;
    HWND toolTips = nullptr;
    HFONT font = nullptr;
    bool busy = false;
};

Layer& TheLayer()
{
    static Layer layer;
    return layer;
}

Control* FindControl(int id)
{
    for (Control& control : TheLayer().controls)
        if (control.id == id) return &control;
    return nullptr;
}

void Record(int event, int id, int type)
{
    Layer& layer = TheLayer();
    layer.recorded = true;
    layer.event = event;
    layer.eventId = id;
    layer.eventType = type;
}

bool IsEditControl(HWND handle)
{
    char name[16] = {};
    GetClassNameA(handle, name, sizeof name);
    return lstrcmpiA(name, "Edit") == 0;
}

bool FocusInRichControl()
{
    HWND focus = GetFocus();
    if (!focus) return false;
    char name[64] = {};
    GetClassNameA(focus, name, sizeof name);
    return _strnicmp(name, "Rich", 4) == 0;
}

bool IsPlainTab(const MSG& message)
{
    return (message.message == WM_KEYDOWN || message.message == WM_SYSKEYDOWN) && message.wParam == VK_TAB &&
           GetKeyState(VK_CONTROL) >= 0 && GetKeyState(VK_SHIFT) >= 0 && GetKeyState(VK_MENU) >= 0;
}

bool IsPushButton(HWND handle)
{
    char name[16] = {};
    GetClassNameA(handle, name, sizeof name);
    const LONG_PTR type = GetWindowLongPtrA(handle, GWL_STYLE) & BS_TYPEMASK;
    return lstrcmpiA(name, "Button") == 0 && (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON);
}

// The focused control when it has a use of its own for the Enter key of the
// message: a push button (pressed), or a control type of its own (the
// browser, which follows its focused link). nullptr for any other.
HWND EnterTaker(const MSG& message)
{
    if (message.message != WM_KEYDOWN || message.wParam != VK_RETURN) return nullptr;
    HWND focus = GetFocus();
    if (!focus) return nullptr;
    for (const Control& control : TheLayer().controls) {
        if (control.handlers && (control.handle == focus || IsChild(control.handle, focus))) return focus;
        if (control.handle == focus && IsPushButton(focus)) return focus;
    }
    return nullptr;
}

void MoveFocus(bool backwards)
{
    HWND window = TheLayer().window;
    HWND focus = GetFocus();
    if (focus && !IsChild(window, focus)) focus = nullptr;
    HWND next = GetNextDlgTabItem(window, focus, backwards ? TRUE : FALSE);
    if (next) SetFocus(next);
}

// The status bar follows the window's size before anyone else sees it.
void KeepStatusBarInPlace(LPARAM size)
{
    Layer& layer = TheLayer();
    int width = LOWORD(size);
    int height = HIWORD(size);
    if (!layer.statusBar || (width == layer.seenWidth && height == layer.seenHeight)) return;
    layer.seenWidth = width;
    layer.seenHeight = height;
    SendMessageA(layer.statusBar, WM_SIZE, 0, 0);
    InvalidateRect(layer.statusBar, nullptr, TRUE);
}

void RecordCommand(WPARAM wParam, LPARAM lParam)
{
    WORD id = LOWORD(wParam);
    WORD code = HIWORD(wParam);
    if (lParam == 0) {
        if (code == 1 && id == ShortcutNextControl) return MoveFocus(false);
        if (code == 1 && id == ShortcutPreviousControl) return MoveFocus(true);
        return Record(EventMenu, id, 0);
    }
    HWND control = reinterpret_cast<HWND>(lParam);
    if (SuggestionsNotice(control, code)) return;
    int type = code;
    if (IsEditControl(control) && code == EN_SETFOCUS) type = EventFocusGained;
    if (IsEditControl(control) && code == EN_KILLFOCUS) type = EventFocusLost;
    Record(EventControl, id, type);
}

LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    Layer& layer = TheLayer();
    if (message == WM_SIZE && window == layer.window) KeepStatusBarInPlace(lParam);
    // The drop-down stays under the field only while the window stays put.
    if (window == layer.window &&
        (message == WM_MOVE || (message == WM_ACTIVATE && LOWORD(wParam) == WA_INACTIVE)))
        SuggestionsHide();
    if (layer.callback && window == layer.window) {
        intptr_t result = layer.callback(reinterpret_cast<intptr_t>(window), message, wParam, lParam);
        if (result != CallbackDefault) return result;
    }
    switch (message) {
    case WM_COMMAND: RecordCommand(wParam, lParam); return 0;
    case WM_HSCROLL:
    case WM_VSCROLL:
        if (lParam) {
            Record(EventControl, GetDlgCtrlID(reinterpret_cast<HWND>(lParam)), LOWORD(wParam));
            return 0;
        }
        break;
    case WM_CLOSE:
        // The application decides whether the window goes.
        Record(EventClose, 0, 0);
        return 0;
    case WM_COPYDATA:
        // Sent from another process while this one waits in GetMessage, so
        // the event is posted on for EventWait to see.
        if (!HandOverTake(reinterpret_cast<const COPYDATASTRUCT*>(lParam))) break;
        PostMessageA(window, HandOverArrivedMessage, 0, 0);
        return TRUE;
    case HandOverArrivedMessage: Record(EventHandOver, 0, 0); return 0;
    case WM_MOVE: Record(WM_MOVE, 0, 0); break;
    case WM_SIZE: Record(WM_SIZE, 0, 0); break;
    case WM_SETCURSOR:
        if (layer.busy) {
            SetCursor(LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_WAIT)));
            return TRUE;
        }
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

// The browser's own history keys: Alt+Left and Alt+Right, the keyboard's
// Back and Forward keys and the mouse's back and forward buttons. 0 for
// any other message.
int HistoryCommandOf(const MSG& message)
{
    bool keyDown = message.message == WM_KEYDOWN || message.message == WM_SYSKEYDOWN;
    if (keyDown && message.wParam == VK_BROWSER_BACK) return BrowserBack;
    if (keyDown && message.wParam == VK_BROWSER_FORWARD) return BrowserForward;
    bool altOnly = GetKeyState(VK_MENU) < 0 && GetKeyState(VK_CONTROL) >= 0 && GetKeyState(VK_SHIFT) >= 0;
    if (message.message == WM_SYSKEYDOWN && altOnly && message.wParam == VK_LEFT) return BrowserBack;
    if (message.message == WM_SYSKEYDOWN && altOnly && message.wParam == VK_RIGHT) return BrowserForward;
    if (message.message == WM_XBUTTONUP && HIWORD(message.wParam) == XBUTTON1) return BrowserBack;
    if (message.message == WM_XBUTTONUP && HIWORD(message.wParam) == XBUTTON2) return BrowserForward;
    return 0;
}

// Steps the window's browser control, wherever in the window the key or
// button was used; false when the message is not for our window.
bool StepBrowser(const MSG& message, int command)
{
    Layer& layer = TheLayer();
    if (!layer.window || (message.hwnd != layer.window && !IsChild(layer.window, message.hwnd))) return false;
    for (Control& control : layer.controls) {
        if (control.handlers && control.handlers->setState) {
            control.handlers->setState(control.handle, command);
            return true;
        }
    }
    return false;
}

const Shortcut* FindShortcut(int key)
{
    for (const Shortcut& shortcut : TheLayer().shortcuts)
        if (shortcut.key == key) return &shortcut;
    return nullptr;
}

int ModifierBitsNow()
{
    int bits = 0;
    if (GetKeyState(VK_SHIFT) < 0) bits |= ShortcutShift;
    if (GetKeyState(VK_CONTROL) < 0) bits |= ShortcutCtrl;
    if (GetKeyState(VK_MENU) < 0) bits |= ShortcutAlt;
    return bits;
}

// The shortcut a key press or a turn of the wheel stands for, with the
// modifiers held now. A wheel's notch is 120; the turns of a finer wheel
// add up to one.
const Shortcut* MatchShortcut(const MSG& message)
{
    if (message.message == WM_MOUSEWHEEL) {
        static int turned = 0;
        const int modifiers = ModifierBitsNow();
        if (!FindShortcut(KeyWheelForward | modifiers) && !FindShortcut(KeyWheelBackward | modifiers))
            return nullptr;
        turned += GET_WHEEL_DELTA_WPARAM(message.wParam);
        if (turned < WHEEL_DELTA && turned > -WHEEL_DELTA) return &WheelKeptBack;
        const int key = turned > 0 ? KeyWheelForward : KeyWheelBackward;
        turned += turned > 0 ? -WHEEL_DELTA : WHEEL_DELTA;
        const Shortcut* shortcut = FindShortcut(key | modifiers);
        return shortcut ? shortcut : &WheelKeptBack;
    }
    if (message.message != WM_KEYDOWN && message.message != WM_SYSKEYDOWN) return nullptr;
    return FindShortcut(static_cast<int>(message.wParam & 0xFFFF) | ModifierBitsNow());
}

// The first key bound to a command; 0 for none.
int ShortcutKeyOf(int command)
{
    for (const Shortcut& shortcut : TheLayer().shortcuts)
        if (shortcut.command == command) return shortcut.key;
    return 0;
}

// The entry of a command in a menu or its submenus. Not by command alone:
// a separator's command is 0, the Enter key's.
bool FindMenuEntry(HMENU menu, UINT id, HMENU& owner, int& position)
{
    const int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        MENUITEMINFOA item{};
        item.cbSize = sizeof item;
        item.fMask = MIIM_FTYPE | MIIM_ID | MIIM_SUBMENU;
        if (!GetMenuItemInfoA(menu, static_cast<UINT>(i), TRUE, &item)) continue;
        if (item.hSubMenu) {
            if (FindMenuEntry(item.hSubMenu, id, owner, position)) return true;
        } else if (!(item.fType & MFT_SEPARATOR) && item.wID == id) {
            owner = menu;
            position = i;
            return true;
        }
    }
    return false;
}

// Shows the key after a tab in the entry's text, as menus show their keys,
// unless the entry shows one already.
void ShowShortcutInMenu(int id, int key)
{
    HMENU owner = nullptr;
    int position = 0;
    if (!key || !TheLayer().menuBar ||
        !FindMenuEntry(TheLayer().menuBar, static_cast<UINT>(id), owner, position))
        return;
    char text[256] = {};
    GetMenuStringA(owner, static_cast<UINT>(position), text, sizeof text, MF_BYPOSITION);
    std::string shown = text;
    if (shown.find('\t') != std::string::npos) return;
    shown += "\t" + ShortcutKeyText(key);
    MENUITEMINFOA item{};
    item.cbSize = sizeof item;
    item.fMask = MIIM_STRING;
    item.dwTypeData = shown.data();
    SetMenuItemInfoA(owner, static_cast<UINT>(position), TRUE, &item);
}

void SetShortcut(int key, WORD command)
{
    Layer& layer = TheLayer();
    for (Shortcut& shortcut : layer.shortcuts) {
        if (shortcut.key == key) {
            shortcut.command = command;
            return;
        }
    }
    layer.shortcuts.push_back({key, command});
}

void DestroyControls()
{
    Layer& layer = TheLayer();
    // The table is taken first: a destroy handler may forget its entry.
    std::vector<Control> controls;
    controls.swap(layer.controls);
    for (Control& control : controls) {
        if (control.handlers && control.handlers->destroy) control.handlers->destroy(control.handle);
        DestroyWindow(control.handle);
    }
}

void CloseWindow()
{
    Layer& layer = TheLayer();
    if (!layer.window) return;
    TextFieldSuggestionsSet(0, nullptr, 0);
    DestroyControls();
    if (layer.toolTips) DestroyWindow(layer.toolTips);
    layer.toolTips = nullptr;
    DestroyWindow(layer.window);
    layer.window = nullptr;
    UnregisterClassA(layer.className.c_str(), layer.instance);
    layer.className.clear();
    layer.shortcuts.clear();
    layer.callback = nullptr;
    layer.menuBar = nullptr;  // destroyed with its window
    layer.menuWindow = nullptr;
    layer.currentMenu = nullptr;
    layer.enclosingMenus.clear();
    layer.statusBar = nullptr;
    layer.seenWidth = layer.seenHeight = -1;
    layer.parent = nullptr;
}

HWND CreateControl(int id, DWORD extendedStyle, const char* className, const std::string& text, DWORD style,
                   int x, int y, int width, int height)
{
    Layer& layer = TheLayer();
    HWND control =
        CreateWindowExA(extendedStyle, className, text.c_str(), style, x, y, width, height, layer.parent,
                        reinterpret_cast<HMENU>(static_cast<intptr_t>(id)), layer.instance, nullptr);
    if (!control) return nullptr;
    SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(layer.font), TRUE);
    ControlRegister(id, control, nullptr);
    return control;
}

// Centre of the screen or of the active window, for the outer size.
void CentreWindow(int32_t flags, int& x, int& y, int width, int height)
{
    RECT area{};
    HWND active = (flags & WindowCentreOnActive) ? GetActiveWindow() : nullptr;
    if (active && GetWindowRect(active, &area)) {
        x = (area.left + area.right) / 2 - width / 2;
        y = (area.top + area.bottom) / 2 - height / 2;
        if (x < 0) x = 0;
        if (y < 0) y = 0;
        return;
    }
    int screenWidth = GetSystemMetrics(SM_CXSCREEN);
    int screenHeight = GetSystemMetrics(SM_CYSCREEN);
    x = screenWidth / 2 - (width < screenWidth ? width : screenWidth) / 2;
    y = screenHeight / 2 - (height < screenHeight ? height : screenHeight) / 2;
}

}  // namespace

void LayerRecordMenuEvent(int id)
{
    Record(EventMenu, id, 0);
}

HWND ControlParent()
{
    return TheLayer().parent;
}

HWND ControlHandle(int id)
{
    Control* control = FindControl(id);
    return control ? control->handle : nullptr;
}

void ControlRegister(int id, HWND control, const ControlHandlers* handlers)
{
    if (Control* old = FindControl(id)) {
        HWND oldHandle = old->handle;
        const ControlHandlers* oldHandlers = old->handlers;
        *old = {id, control, handlers};
        if (oldHandle != control) {
            if (oldHandlers && oldHandlers->destroy) oldHandlers->destroy(oldHandle);
            DestroyWindow(oldHandle);
        }
        return;
    }
    TheLayer().controls.push_back({id, control, handlers});
}

void RuntimeStart()
{
    Layer& layer = TheLayer();
    layer.instance = GetModuleHandleA(nullptr);

    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof controls;
    controls.dwICC = ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES | ICC_BAR_CLASSES;
    InitCommonControlsEx(&controls);

    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_DBLCLKS;
    windowClass.lpfnWndProc = WindowProcedure;
    windowClass.hInstance = layer.instance;
    windowClass.hIcon = LoadIconA(layer.instance, MAKEINTRESOURCEA(1));
    windowClass.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_3DFACE + 1);
    windowClass.lpszClassName = TemplateClassName;
    RegisterClassExA(&windowClass);

    layer.font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    // The browser control is an OLE object living on this thread.
    layer.oleStarted = SUCCEEDED(OleInitialize(nullptr));
}

void RuntimeEnd()
{
    Layer& layer = TheLayer();
    CloseWindow();
    FileCloseAll();
    UnregisterClassA(TemplateClassName, layer.instance);
    if (layer.oleStarted) OleUninitialize();
    layer.oleStarted = false;
}

int WindowOpen(int number, int x, int y, int width, int height, int32_t flags, const std::string& title)
{
    Layer& layer = TheLayer();
    CloseWindow();

    DWORD style = static_cast<DWORD>(flags) & ~(WindowCentreOnScreen | WindowCentreOnActive);
    if (style == 0 || style == WS_VISIBLE) style |= WS_CAPTION;
    bool hidden = (style & WS_VISIBLE) != 0;
    if (hidden) style &= ~static_cast<DWORD>(WS_VISIBLE);
    bool maximized = !hidden && (style & WS_MAXIMIZE);
    style &= ~static_cast<DWORD>(WS_MAXIMIZE);

    RECT outer{0, 0, width, height};
    AdjustWindowRect(&outer, style, FALSE);
    int outerWidth = outer.right - outer.left;
    int outerHeight = outer.bottom - outer.top;
    if (flags & (WindowCentreOnScreen | WindowCentreOnActive))
        CentreWindow(flags, x, y, outerWidth, outerHeight);

    char className[32];
    std::snprintf(className, sizeof className, "WindowClass_%ld", static_cast<long>(number));
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof windowClass;
    if (!GetClassInfoExA(layer.instance, TemplateClassName, &windowClass)) return 0;
    windowClass.lpszClassName = className;
    if (!RegisterClassExA(&windowClass)) return 0;

    HWND window = CreateWindowExA(0, className, title.c_str(), style, x, y, outerWidth, outerHeight, nullptr,
                                  nullptr, layer.instance, nullptr);
    if (!window) {
        UnregisterClassA(className, layer.instance);
        return 0;
    }
    layer.window = window;
    layer.className = className;
    layer.parent = window;
    SetShortcut(VK_TAB, ShortcutNextControl);
    SetShortcut(VK_TAB | ShortcutShift, ShortcutPreviousControl);
    if (!hidden) {
        ShowWindow(window, maximized ? SW_SHOWMAXIMIZED : SW_SHOWNORMAL);
        UpdateWindow(window);
    }
    return 1;
}

intptr_t WindowHandle()
{
    return reinterpret_cast<intptr_t>(TheLayer().window);
}

int WindowAreaWidth()
{
    RECT area{};
    GetClientRect(TheLayer().window, &area);
    return area.right - area.left;
}

int WindowAreaHeight()
{
    HWND window = TheLayer().window;
    RECT area{};
    GetClientRect(window, &area);
    int height = area.bottom - area.top;
    if (window && GetMenu(window)) height += GetSystemMetrics(SM_CYMENU);
    return height;
}

void WindowSetCallback(WindowCallback callback)
{
    TheLayer().callback = callback;
}

namespace {

// One message taken from the queue: the event it gave, or its own number.
int HandleMessage(MSG& message)
{
    Layer& layer = TheLayer();
    layer.recorded = false;
    // Shortcuts are matched here rather than by TranslateAccelerator, which
    // looks a command up in the system menu first: there id 0, the Enter
    // key's, names a separator, and Wine then drops the key.
    const Shortcut* shortcut = nullptr;
    // Enter searches from the search field; the control that has the focus
    // keeps it when it has a use of its own for it.
    HWND enterTaker = EnterTaker(message);
    if (layer.window && GetActiveWindow() == layer.window && !(IsPlainTab(message) && FocusInRichControl()) &&
        !enterTaker)
        shortcut = MatchShortcut(message);
    int history = HistoryCommandOf(message);
    if (history && StepBrowser(message, history)) {
        // Taken here, so the component never steps through a history of its own.
    } else if (enterTaker && IsPushButton(enterTaker)) {
        // Outside a dialog a button takes only Space by itself.
        SendMessageA(enterTaker, BM_CLICK, 0, 0);
    } else if (SuggestionsTakeKey(message)) {
        // The drop-down's keys.
    } else if (shortcut == &WheelKeptBack) {
    } else if (shortcut) {
        // What an accelerator sends: the command with the code 1.
        SendMessageA(layer.window, WM_COMMAND, MAKEWPARAM(shortcut->command, 1), 0);
    } else {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return layer.recorded ? layer.event : static_cast<int>(message.message);
}

// Someone posted a quit (or the queue is gone): nothing will come again, so
// the loop ends as the close box would end it.
int QueueEnded()
{
    Record(EventClose, 0, 0);
    return EventClose;
}

}  // namespace

int EventWait()
{
    MSG message{};
    const BOOL got = GetMessageA(&message, nullptr, 0, 0);
    if (got == 0 || got == -1) return QueueEnded();
    return HandleMessage(message);
}

int EventPoll()
{
    MSG message{};
    if (!PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) return 0;
    if (message.message == WM_QUIT) return QueueEnded();
    return HandleMessage(message);
}

int EventControlId()
{
    return TheLayer().eventId;
}

int EventMenuId()
{
    return TheLayer().eventId;
}

void ShortcutAdd(int, int key, int menuId)
{
    SetShortcut(key, static_cast<WORD>(menuId));
    ShowShortcutInMenu(menuId, ShortcutKeyOf(menuId));
}

int MenuBarCreate(int, intptr_t window)
{
    Layer& layer = TheLayer();
    if (layer.menuBar) {
        if (layer.menuWindow && GetMenu(layer.menuWindow) == layer.menuBar) {
            SetMenu(layer.menuWindow, nullptr);
        }
        DestroyMenu(layer.menuBar);
    }
    layer.menuBar = CreateMenu();
    layer.menuWindow = reinterpret_cast<HWND>(window);
    layer.currentMenu = layer.menuBar;
    layer.enclosingMenus.clear();
    layer.mnemonics.clear();
    return layer.menuBar ? 1 : 0;
}

void MenuTitleAdd(const std::string& text)
{
    Layer& layer = TheLayer();
    if (!layer.menuBar) return;
    layer.enclosingMenus.clear();
    HMENU dropDown = CreatePopupMenu();
    const std::string marked = MenuTextWithMnemonic(text, layer.mnemonics[layer.menuBar]);
    AppendMenuA(layer.menuBar, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(dropDown), marked.c_str());
    layer.currentMenu = dropDown;
    SetMenu(layer.menuWindow, layer.menuBar);
    DrawMenuBar(layer.menuWindow);
}

void MenuItemAdd(int id, const std::string& text)
{
    Layer& layer = TheLayer();
    if (!layer.currentMenu) return;
    std::string marked = MenuTextWithMnemonic(text, layer.mnemonics[layer.currentMenu]);
    if (int key = ShortcutKeyOf(id)) marked += "\t" + ShortcutKeyText(key);
    AppendMenuA(layer.currentMenu, MF_STRING, static_cast<UINT_PTR>(id), marked.c_str());
    if (layer.menuWindow) DrawMenuBar(layer.menuWindow);
}

void MenuSeparatorAdd()
{
    Layer& layer = TheLayer();
    if (layer.currentMenu) AppendMenuA(layer.currentMenu, MF_SEPARATOR, 0, nullptr);
}

void MenuSubmenuOpen(const std::string& text)
{
    Layer& layer = TheLayer();
    if (!layer.currentMenu) return;
    HMENU submenu = CreatePopupMenu();
    const std::string marked = MenuTextWithMnemonic(text, layer.mnemonics[layer.currentMenu]);
    AppendMenuA(layer.currentMenu, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(submenu), marked.c_str());
    layer.enclosingMenus.push_back(layer.currentMenu);
    layer.currentMenu = submenu;
}

void MenuSubmenuClose()
{
    Layer& layer = TheLayer();
    if (layer.enclosingMenus.empty()) return;
    layer.currentMenu = layer.enclosingMenus.back();
    layer.enclosingMenus.pop_back();
}

int MenuCheckGet(int, int id)
{
    HMENU bar = TheLayer().menuBar;
    if (!bar) return 0;
    UINT state = GetMenuState(bar, static_cast<UINT>(id), MF_BYCOMMAND);
    if (state == static_cast<UINT>(-1)) return 0;
    return (state & (MF_CHECKED | MF_GRAYED | MF_DISABLED | MF_HILITE)) == MF_CHECKED ? 1 : 0;
}

void MenuCheckSet(int, int id, int state)
{
    HMENU bar = TheLayer().menuBar;
    if (!bar) return;
    MENUITEMINFOA item{};
    item.cbSize = sizeof item;
    item.fMask = MIIM_STATE;
    item.fState = state ? MFS_CHECKED : 0;
    SetMenuItemInfoA(bar, static_cast<UINT>(id), FALSE, &item);
}

int StatusBarCreate(int, intptr_t window)
{
    Layer& layer = TheLayer();
    HWND parent = reinterpret_cast<HWND>(window);
    if (layer.statusBar) DestroyWindow(layer.statusBar);
    layer.statusBar = CreateWindowExA(0, STATUSCLASSNAMEA, "", WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, parent,
                                      nullptr, layer.instance, nullptr);
    if (!layer.statusBar) return 0;
    int parts[1] = {-1};
    SendMessageA(layer.statusBar, SB_SETPARTS, 1, reinterpret_cast<LPARAM>(parts));
    layer.seenWidth = layer.seenHeight = -1;
    RECT area{};
    GetClientRect(parent, &area);
    SendMessageA(parent, WM_SIZE, SIZE_RESTORED, MAKELPARAM(area.right, area.bottom));
    return 1;
}

void StatusBarSetText(int, int field, const std::string& text, int flags)
{
    HWND statusBar = TheLayer().statusBar;
    if (!statusBar) return;
    std::string shown = text;
    if (flags & StatusRight) shown = "\t\t" + shown;
    else if (flags & StatusCentred) shown = "\t" + shown;
    WPARAM kind = static_cast<WPARAM>(field & 0xFF);
    if (flags & StatusRaised) kind |= SBT_POPOUT;
    if (flags & StatusNoBorder) kind |= SBT_NOBORDERS;
    SendMessageA(statusBar, SB_SETTEXTA, kind, reinterpret_cast<LPARAM>(shown.c_str()));
    if (flags & StatusNoBorder) InvalidateRect(statusBar, nullptr, TRUE);
}

void ControlParentSet(intptr_t window)
{
    TheLayer().parent = reinterpret_cast<HWND>(window);
}

int ButtonCreate(int id, int x, int y, int width, int height, const std::string& text)
{
    constexpr DWORD style = WS_CHILD | WS_VISIBLE | WS_GROUP | WS_TABSTOP | BS_PUSHBUTTON;
    return CreateControl(id, 0, "BUTTON", text, style, x, y, width, height) ? 1 : 0;
}

int TextFieldCreate(int id, int x, int y, int width, int height, const std::string& text)
{
    constexpr DWORD style = WS_CHILD | WS_VISIBLE | WS_GROUP | WS_TABSTOP | ES_AUTOHSCROLL;
    return CreateControl(id, WS_EX_CLIENTEDGE, "EDIT", text, style, x, y, width, height) ? 1 : 0;
}

int LabelCreate(int id, int x, int y, int width, int height, const std::string& text, int flags)
{
    if (flags == LabelGroupFrame) {
        constexpr DWORD frame = WS_CHILD | WS_VISIBLE | WS_GROUP | BS_GROUPBOX;
        return CreateControl(id, 0, "BUTTON", text, frame, x, y, width, height) ? 1 : 0;
    }
    DWORD style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_GROUP | SS_CENTER;
    if (flags != LabelSunken && flags != LabelEtched) style |= WS_BORDER;
    DWORD extended = flags == LabelSunken ? WS_EX_CLIENTEDGE : flags == LabelEtched ? WS_EX_STATICEDGE : 0;
    return CreateControl(id, extended, "STATIC", text, style, x, y, width, height) ? 1 : 0;
}

void ToolTipSet(int id, const std::string& text)
{
    Layer& layer = TheLayer();
    Control* control = FindControl(id);
    if (!control) return;
    if (!layer.toolTips) {
        layer.toolTips = CreateWindowExA(
            WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
            CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, layer.window, nullptr, layer.instance, nullptr);
        if (!layer.toolTips) return;
    }
    TOOLINFOA tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = GetParent(control->handle);
    tool.uId = reinterpret_cast<UINT_PTR>(control->handle);
    tool.lpszText = const_cast<char*>(text.c_str());
    // Setting it again replaces the text: drop the old tool first.
    SendMessageA(layer.toolTips, TTM_DELTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
    SendMessageA(layer.toolTips, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
}

void ControlSetText(int id, const std::string& text)
{
    Control* control = FindControl(id);
    if (!control) return;
    if (control->handlers && control->handlers->setText)
        return control->handlers->setText(control->handle, text);
    LayerSetTextQuietly(control->handle, text);
}

std::string ControlGetText(int id)
{
    Control* control = FindControl(id);
    if (!control) return "";
    if (control->handlers && control->handlers->getText) return control->handlers->getText(control->handle);
    std::string text(ControlTextLimit + 1, '\0');
    int length = GetWindowTextA(control->handle, text.data(), ControlTextLimit + 1);
    text.resize(length > 0 ? static_cast<size_t>(length) : 0);
    return text;
}

void ControlSetState(int id, int state)
{
    Control* control = FindControl(id);
    if (control && control->handlers && control->handlers->setState)
        control->handlers->setState(control->handle, state);
}

void ControlResize(int id, int x, int y, int width, int height)
{
    Control* control = FindControl(id);
    if (!control) return;
    RECT place{};
    GetWindowRect(control->handle, &place);
    MapWindowPoints(nullptr, GetParent(control->handle), reinterpret_cast<POINT*>(&place), 2);
    if (x == -1) x = place.left;
    if (y == -1) y = place.top;
    if (width == -1) width = place.right - place.left;
    if (height == -1) height = place.bottom - place.top;
    MoveWindow(control->handle, x, y, width, height, TRUE);
    char name[16] = {};
    GetClassNameA(control->handle, name, sizeof name);
    if (lstrcmpiA(name, "Button") == 0)
        RedrawWindow(control->handle, nullptr, nullptr,
                     RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW);
}

void BusyCursorSet(int busy)
{
    TheLayer().busy = busy != 0;
    SetCursor(LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(busy ? IDC_WAIT : IDC_ARROW)));
}

// Windows always has its desktop.
int WindowDisplayAvailable()
{
    return 1;
}

ScreenArea WindowPlaceNow()
{
    HWND window = TheLayer().window;
    RECT outer{};
    if (!window || IsIconic(window) || IsZoomed(window) || !GetWindowRect(window, &outer)) return {};
    return {outer.left, outer.top, WindowAreaWidth(), WindowAreaHeight()};
}

namespace {

BOOL CALLBACK CollectScreen(HMONITOR monitor, HDC, LPRECT, LPARAM areas)
{
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (GetMonitorInfoA(monitor, &info)) {
        const RECT& work = info.rcWork;
        reinterpret_cast<std::vector<ScreenArea>*>(areas)->push_back(
            {work.left, work.top, work.right - work.left, work.bottom - work.top});
    }
    return TRUE;
}

}  // namespace

std::vector<ScreenArea> ScreenAreas()
{
    std::vector<ScreenArea> areas;
    EnumDisplayMonitors(nullptr, nullptr, CollectScreen, reinterpret_cast<LPARAM>(&areas));
    return areas;
}
