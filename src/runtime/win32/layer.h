// What the Windows realization's parts share: the control table with its
// per-type handlers, and the modality rules of the dialogs.
#pragma once

#include <windows.h>
#include <exdisp.h>

#include <string>
#include <vector>

// A control type that handles its own text and state (the browser control);
// plain controls use the window text and have no state.
struct ControlHandlers {
    void (*setText)(HWND control, const std::string& text);
    std::string (*getText)(HWND control);
    void (*setState)(HWND control, int state);
    // Releases what the type keeps with the window, before it is destroyed.
    void (*destroy)(HWND control);
};

// The window chosen with ControlParentSet.
HWND ControlParent();
// The window of a control id, or nullptr.
HWND ControlHandle(int id);
// Enters the control under its id, replacing (and destroying) an earlier one.
void ControlRegister(int id, HWND control, const ControlHandlers* handlers);

// Records a menu event, as a menu item or a shortcut does.
void LayerRecordMenuEvent(int id);
// Sets a control's text without the text field's drop-down taking it for
// typing.
void LayerSetTextQuietly(HWND control, const std::string& text);

// The search field's drop-down (suggestions.cpp). The list window, or
// nullptr when no field has one.
HWND SuggestionsList();
void SuggestionsHide();
// A key for the open drop-down (arrows, Enter on a chosen row, Escape):
// true when it was taken.
bool SuggestionsTakeKey(const MSG& message);
// A control's notification: the field's text changed or it lost the focus,
// or a row was clicked. True when it was the list's, which nobody else
// is to see.
bool SuggestionsNotice(HWND from, WORD code);

// An entry point looked up at run time, as the type it really has.
template <typename Procedure>
Procedure LibraryProcedure(HMODULE library, const char* name)
{
    return reinterpret_cast<Procedure>(reinterpret_cast<void (*)()>(GetProcAddress(library, name)));
}

// The other enabled visible top-level windows of this thread, except the
// foreground one, disabled for the time a dialog is open.
struct ModalScope {
    ModalScope();
    ~ModalScope();
    ModalScope(const ModalScope&) = delete;
    ModalScope& operator=(const ModalScope&) = delete;

    // The dialog's owner: the foreground window when it is ours, else none.
    HWND owner = nullptr;
    std::vector<HWND> disabled;
};

// The single-window hand-over (handover.cpp). A WM_COPYDATA that another
// start sent: 1 when it was a hand-over, whose text is then kept for
// HandOverReceived. The window posts itself this message on taking one, so
// that the event reaches EventWait as any posted message does.
int HandOverTake(const COPYDATASTRUCT* data);
constexpr UINT HandOverArrivedMessage = WM_APP + 0x110;

// The browser control (browser.cpp) around a component made already: the
// platform's own from BrowserCreate, or a stand-in in the tests. `control`
// becomes the control's window; the component is kept, and its
// DWebBrowserEvents2 events arrive at the control's sink. 1 when made.
int BrowserCreateAround(int id, HWND control, IWebBrowser2* component, const std::string& address);
// The component of a browser control; nullptr for none.
IWebBrowser2* BrowserComponent(int id);

// What the find keeps between steps (pagetools.cpp): the text looked for,
// and its last match on the page shown (a text range of the document).
struct BrowserFinding {
    std::string text;
    IDispatch* match = nullptr;
};
BrowserFinding* BrowserFindingOf(int id);
// A new page: the last match is gone, the text stays.
void FindingForget(BrowserFinding& finding);
// How far the document shown is scrolled down, in pixels; 0 with none.
int DocumentScroll(IWebBrowser2* component);
void DocumentScrollSet(IWebBrowser2* component, int scroll);
