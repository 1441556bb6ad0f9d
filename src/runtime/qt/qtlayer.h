// What the parts of the Qt realization share among themselves.
#pragma once

#include <QString>
#include <string>

class QMainWindow;
class QMenuBar;
class QWidget;

// The properties by which the layer's parts know a widget.
// A text field's control id: its focus comes in as a control event.
constexpr char QtTextFieldProperty[] = "kelpraTextField";
// The drop-down of a text field's suggestions, a window of its own.
constexpr char QtSuggestionsProperty[] = "kelpraSuggestions";
// A bar that takes Enter and Escape itself (the find bar).
constexpr char QtOwnKeysProperty[] = "kelpraOwnKeys";
// A control that has a use of its own for Enter while it has the focus: the
// browser follows its focused link, a push button is pressed.
constexpr char QtOwnEnterProperty[] = "kelpraOwnEnter";
// The browser's text size before any zoom step.
constexpr char QtNormalTextSizeProperty[] = "kelpraNormalTextSize";

// A control type that handles its own text and state (the browser control);
// plain widgets show their text and have no state.
struct QtControlHandlers {
    void (*setText)(QWidget* control, const std::string& text);
    std::string (*getText)(QWidget* control);
    void (*setState)(QWidget* control, int state);
};

// The program's window, or nullptr before WindowOpen and after RuntimeEnd.
QMainWindow* QtMainWindow();

// The widget in which controls are created now (ControlParentSet), or nullptr.
QWidget* QtControlParent();
// The widget of a control id, or nullptr.
QWidget* QtControlWidget(int id);
// The handlers a control id was entered with, or nullptr.
const QtControlHandlers* QtControlHandlersOf(int id);
// Enters a created widget in the control table under its id; handlers for a
// control type of its own, else nullptr.
void QtControlAdd(int id, QWidget* widget, const QtControlHandlers* handlers);
// Hands state to the first control that takes one: false when none does.
bool QtControlStateToAny(int state);

// The menu bar (menus.cpp), or nullptr; and its tables emptied, at the end.
QMenuBar* QtMenuBar();
// Once, before any window: the application's style (menus.cpp).
void QtMenuStyleInstall();
void QtMenusClear();
// Shows the key beside the menu entry of that id, unless it shows one.
void QtMenuShowShortcut(int id, int key);

// The filter that sees every event first (shortcuts.cpp), installed once;
// and the shortcut table emptied, at the end.
void QtEventFilterInstall();
void QtShortcutsClear();
// The first key bound to the menu id; 0 for none.
int QtShortcutOf(int menuId);

// Stops listening for hand-overs and removes the socket file, at the end of
// the run.
void QtHandOverEnd();
// Starts the listening asked for before the first page was drawn.
void QtHandOverStartAwaited();

// Queues an event for EventWait to hand out.
void QtRecordEvent(int code, int id);

// A text leaving Qt, as the program's texts are: in Windows-1252 when every
// character has a byte there, otherwise in UTF-8.
std::string QtBytesFromText(const QString& text);

// Told by the browser control when it has painted its first page. The
// work the first page does not need (the window's icon, listening for
// hand-overs) starts then. Set KELPRA_EXIT_AFTER_FIRST_PAGE=1 and the
// program ends there at once: the start-up benchmark measures exactly
// that span.
void QtFirstPageDrawn();
// True from WindowOpen until the first page is drawn.
bool QtFirstPageAwaited();

// Set KELPRA_STATUS_LOG to a file and every text the status bar shows is
// added to it as a line: how the end-to-end test reads the status bar of
// the running program.
void QtLogStatus(const std::string& text);
