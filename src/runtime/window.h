// The window, its menu, status bar and controls, and the event queue.
// Declared once; each program links exactly one realization (qt/, win32/,
// scripted/ for the tests, console/ for kelpra-cli).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The numbers below are the Windows platform's own; every realization
// speaks them, so the core reads the same on each.

// Event codes that EventWait returns and the loop tells apart.
constexpr int EventControl = 13100;
constexpr int EventMenu = 13101;
constexpr int EventClose = 16;
// Event types of a text field's control event (its focus).
constexpr int EventFocusGained = 14000;
constexpr int EventFocusLost = 14001;

// Returned by a window callback to let the layer process the message itself.
constexpr intptr_t CallbackDefault = static_cast<intptr_t>(0xE0E0E0E1u);
// The platform's messages that reach the callback as events of their own.
constexpr uint32_t MessageMove = 3;
constexpr uint32_t MessageSize = 5;

// WindowOpen flags: the platform's window styles, and two bits of the
// layer's own that it removes before the style is used.
constexpr uint32_t WindowCentreOnScreen = 0x1;
constexpr uint32_t WindowCentreOnActive = 0x2;
constexpr uint32_t StyleMaximizeBox = 0x10000;
constexpr uint32_t StyleMinimizeBox = 0x20000;
constexpr uint32_t StyleSizingBorder = 0x40000;
constexpr uint32_t StyleSystemMenu = 0x80000;
constexpr uint32_t StyleCaption = 0xC00000;
constexpr uint32_t StyleMaximized = 0x1000000;
// Given to WindowOpen: the window starts hidden (otherwise it is made visible).
constexpr uint32_t StyleHidden = 0x10000000;
// Caption, system menu, sizing border, minimize and maximize boxes.
constexpr uint32_t StyleOverlappedWindow =
    StyleCaption | StyleSystemMenu | StyleSizingBorder | StyleMinimizeBox | StyleMaximizeBox;

// StatusBarSetText flags; 0 is left-aligned with a sunken border.
constexpr int StatusRaised = 1;
constexpr int StatusNoBorder = 2;
constexpr int StatusCentred = 4;
constexpr int StatusRight = 8;

// LabelCreate flags: a group frame, a sunken edge, a thin etched edge; any
// other value draws a plain border.
constexpr int LabelGroupFrame = 0;
constexpr int LabelSunken = 1;
constexpr int LabelEtched = 2;

// ShortcutAdd keys: a virtual-key code plus modifier bits.
constexpr int KeyTab = 0x09;
constexpr int KeyEnter = 0x0D;
constexpr int KeyEscape = 0x1B;
constexpr int ShortcutShift = 0x10000;
constexpr int ShortcutCtrl = 0x20000;
constexpr int ShortcutAlt = 0x40000;

// ControlGetText gives at most this many bytes.
constexpr int ControlTextLimit = 31999;

using WindowCallback = intptr_t (*)(intptr_t window, uint32_t message, uintptr_t firstParameter,
                                    intptr_t secondParameter);

// 1 when there is a display for the window to open on. Asked before
// RuntimeStart, which may not come back without one.
int WindowDisplayAvailable();
// Sets up the layer's tables; the first call of the run.
void RuntimeStart();
// The end routine: every window and control closed, every file closed.
void RuntimeEnd();

int WindowOpen(int number, int x, int y, int width, int height, int32_t flags, const std::string& title);
intptr_t WindowHandle();
int WindowAreaWidth();
int WindowAreaHeight();
void WindowSetCallback(WindowCallback callback);
int EventWait();
// EventWait that never waits: the window does what it has to do now (draw,
// follow its size, take a hand-over) and gives the next event it has, or 0
// when it has none. Long work calls it between pages so the window stays
// alive.
int EventPoll();
int EventControlId();
int EventMenuId();
void ShortcutAdd(int window, int key, int menuId);

int MenuBarCreate(int number, intptr_t window);
void MenuTitleAdd(const std::string& text);
void MenuItemAdd(int id, const std::string& text);
void MenuSeparatorAdd();
void MenuSubmenuOpen(const std::string& text);
void MenuSubmenuClose();
int MenuCheckGet(int menu, int id);
void MenuCheckSet(int menu, int id, int state);

int StatusBarCreate(int number, intptr_t window);
void StatusBarSetText(int number, int field, const std::string& text, int flags);

void ControlParentSet(intptr_t window);
int ButtonCreate(int id, int x, int y, int width, int height, const std::string& text);
int TextFieldCreate(int id, int x, int y, int width, int height, const std::string& text);
int LabelCreate(int id, int x, int y, int width, int height, const std::string& text, int flags);
void ToolTipSet(int id, const std::string& text);
void ControlSetText(int id, const std::string& text);
std::string ControlGetText(int id);
void ControlSetState(int id, int state);
void ControlResize(int id, int x, int y, int width, int height);

// Shows the busy cursor (nonzero) while a command rewrites files.
void BusyCursorSet(int busy);

// The browser's keys and the mouse wheel, for ShortcutAdd: virtual-key
// codes, and two codes of the layer's own for the wheel turned away from
// the user (forward) and towards them, with the keys' modifier bits.
constexpr int KeyF1 = 0x70;
constexpr int KeyF3 = 0x72;
constexpr int KeyF10 = 0x79;       // opens the menu bar
constexpr int KeyAdd = 0x6B;       // the keypad's plus
constexpr int KeySubtract = 0x6D;  // the keypad's minus
constexpr int KeyNumpad0 = 0x60;   // the keypad's 0 (Num Lock on)
constexpr int KeyPlus = 0xBB;      // the "=" and "+" key
constexpr int KeyMinus = 0xBD;
constexpr int KeyWheelForward = 0x100;
constexpr int KeyWheelBackward = 0x101;
constexpr int KeyLeft = 0x25;
constexpr int KeyRight = 0x27;

// A rectangle on the desktop: a screen's work area, or the window's place.
struct ScreenArea {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};
// Where the window is, as WindowOpen would take it to open it there again:
// the outer top-left corner and the size WindowAreaWidth and
// WindowAreaHeight report. All zero without a window and while it is
// minimised or maximised: that is no place to open it at.
ScreenArea WindowPlaceNow();
// The work areas of the screens, in WindowOpen's coordinates.
std::vector<ScreenArea> ScreenAreas();

// What a text field offers as the user types: suggestions for the text
// typed so far, and a note shown after them that cannot be chosen (that
// there are more than the rows shown); "" for none.
struct Suggestions {
    std::vector<std::string> rows;
    std::string note;
};
using SuggestionSource = Suggestions (*)(const std::string& typed);
// The field lists source's suggestions in a drop-down while the user types
// (not when the program sets its text); choosing one puts it into the field
// and sends the menu event menuId. A null source turns the drop-down off.
void TextFieldSuggestionsSet(int id, SuggestionSource source, int menuId);

// What the realizations share: a menu text with the keyboard's mark ("&")
// before its first letter that no earlier entry of the same menu took, so
// Alt+F opens File and a letter picks an entry, as on any desktop program.
// `taken` collects the letters of one menu; an "&" of the text is doubled.
std::string MenuTextWithMnemonic(const std::string& text, std::string& taken);
// A ShortcutAdd key as menus show it beside their entries and Help on Help
// names it: "Ctrl+Shift+F", "F3", "Enter", "Alt+Left", "Ctrl++".
std::string ShortcutKeyText(int key);
// Each realization shows the first key bound to a menu entry's id beside the
// entry, whichever of MenuItemAdd and ShortcutAdd comes first.
