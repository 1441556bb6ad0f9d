// The scripted realization of the user-interface headers: test equipment.
// A test queues events and answers, runs the real code, then reads what was
// recorded. An empty event queue gives the close event, so no test can hang.
#pragma once

#include <cstdint>
#include <deque>
#include <map>
#include <string>
#include <vector>

#include "runtime/browserhistory.h"
#include "runtime/window.h"

struct ScriptedEvent {
    int code = 0;  // EventControl, EventMenu, EventClose or any other number
    int id = 0;
    // A link the user clicks in the page shown just before the event is
    // handed out: a path, a "file:///" address or "#anchor" in that page.
    std::string link;
    // It comes while long work runs (EventPoll gives it), not after.
    bool duringWork = false;
};

struct RecordedLayout {
    std::string address;
    std::string text;  // the file's bytes as the browser read them; "" when missing
};

struct RecordedMenuEntry {
    std::string kind;  // "title", "item", "separator", "submenu", "submenu-end"
    int id = -1;       // items only
    std::string text;
    int checked = 0;  // items only; kept current by MenuCheckSet
};

struct RecordedControl {
    std::string kind;  // "button", "textfield", "label", "browser"
    int x = 0, y = 0, width = 0, height = 0;
    std::string text;  // for the browser: the address it was created with
    std::string tooltip;
    int flags = 0;  // labels only
};

struct RecordedMessage {
    std::string title;
    std::string text;
    int flags = 0;
};

struct RecordedRequest {
    std::string kind;  // "open" or "folder"
    std::string title;
    std::string defaultFile;  // the start folder for "folder"
    std::string filterList;
    int filterIndex = 0;
};

struct RecordedRun {
    std::string program;
    std::string parameters;
    std::string workingFolder;
};

struct Script {
    // What the test hands in.
    std::deque<ScriptedEvent> events;
    std::deque<int> messageAnswers;            // when empty: OK boxes 1, Yes/No boxes 7
    std::deque<std::string> requesterAnswers;  // when empty: "" (cancelled)
    std::string clipboard;
    int windowOpenResult = 1;
    int menuBarResult = 1;
    int browserCreateResult = 1;
    intptr_t programRunResult = 1;
    intptr_t desktopOpenResult = 1;
    int areaWidth = 500;   // client area
    int areaHeight = 300;  // what WindowAreaHeight reports (menu line included)

    // What the code did.
    bool windowOpened = false;
    int windowX = 0, windowY = 0, windowWidth = 0, windowHeight = 0;
    int32_t windowFlags = 0;
    std::string windowTitle;
    std::vector<RecordedMenuEntry> menu;         // in the order they were added
    std::vector<std::pair<int, int>> shortcuts;  // key, menu id
    std::string statusText;                      // field 0 of status bar 0
    std::vector<std::string> statusHistory;      // every text set, in order
    std::map<int, RecordedControl> controls;
    std::vector<RecordedMessage> messages;
    std::vector<RecordedRequest> requests;
    std::vector<RecordedRun> runs;
    std::vector<std::string> desktopOpens;  // every DesktopOpen argument
    std::vector<int> pauses;
    std::vector<int> busy;  // every BusyCursorSet argument
    WindowCallback callback = nullptr;
    int eventsHandedOut = 0;
    int polls = 0;  // every EventPoll
    bool runtimeEnded = false;

    // The browser: a real history, whose navigations are shown when the loop
    // next waits for an event (or pauses), as a real browser's are.
    BrowserHistory browser;
    // Every non-empty ControlSetText of the browser, and every display copy
    // it was sent to with BrowserShowCopy.
    std::vector<std::string> navigations;
    std::vector<int> browserStates;  // every ControlSetState of the browser
    // A link of another scheme than file, http, https and mailto, held for
    // BrowserTakeOutsideAddress instead of being followed.
    std::string outsideAddress;
    // Every page read and laid out, in order: what the user saw.
    std::vector<RecordedLayout> layouts;

    // The screens' work areas; the window is reported where it was opened,
    // with the area's size, unless it is maximised.
    std::vector<ScreenArea> screens = {{0, 0, 1280, 1024}};
    bool windowMaximised = false;
    // The search field's type-ahead: the source asked as the user types, and
    // the menu event a chosen suggestion sends.
    SuggestionSource suggestionSource = nullptr;
    int suggestionField = 0;
    int suggestionMenu = -1;
    // Every BrowserZoomSet; every BrowserFind ("find ", "next " or
    // "previous " and the not-found text) and BrowserPrint ("print").
    std::vector<int> zooms;
    std::vector<std::string> pageCommands;

    // The single-window hand-over. In: whether a running window takes what
    // is sent, and the texts that come with the EventHandOver events queued.
    // Out: each text sent (with the name sent to), the name listened under,
    // how often the window was brought to the front.
    int runningWindowTakes = 0;
    std::deque<std::string> handOversArriving;
    std::vector<std::pair<std::string, std::string>> handOversSent;
    std::string handOverListening;
    int broughtToFront = 0;
    // Text requests go into `requests` as kind "text", the prompt in
    // filterList and the text the field started with in defaultFile; the
    // answers come from requesterAnswers.
};

// The one script of the run; ScriptReset starts a new test.
Script& TheScript();
void ScriptReset();
// Resizes the client area and sends the size message through the callback,
// as a user dragging the border would.
void ScriptResize(int width, int height);
// The address the browser shows for a Windows path or a "file:///" address.
std::string ScriptAddressOf(const std::string& pathOrAddress);
// Shows the browser's pending navigation, as the event loop does.
void ScriptShowPending();
// The user clicks a link in the page shown.
void ScriptFollowLink(const std::string& link);
// The address the browser shows; "" before the first page.
std::string ScriptShownAddress();
