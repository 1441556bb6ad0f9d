// The embedded browser control. It is driven through the control operations
// of window.h: ControlSetText navigates (an empty address does nothing),
// ControlGetText gives the address shown ("file:///C:/Some%20Folder/page.htm"
// for a local file), ControlSetState steps through the history; BrowserStop
// forgets a navigation that has not been shown yet. Navigating and stepping
// only start: the page is read and drawn when the event loop gets to it.
#pragma once

#include <string>

constexpr int BrowserBack = 1;
constexpr int BrowserForward = 2;
constexpr int BrowserStop = 3;
constexpr int BrowserReload = 4;
// The browser's address as ControlGetText gives it: at most this many bytes.
constexpr int BrowserAddressLimit = 9999;

// The address of a local file as every browser realization reports it:
// "file:///" + the path with "/" for "\", "%20" for " " and "%23" for "#",
// then "#" + the anchor when there is one.
std::string BrowserAddressFromPath(const std::string& windowsPath, const std::string& anchor);

// Nonzero on success; 0 when no browser can be had.
int BrowserCreate(int id, int x, int y, int width, int height, const std::string& address);

// Where the browser is headed: the address of a navigation asked for but not
// shown yet, else the address shown. The page watcher reads it so that it can
// put a display copy in a page's place before the page is drawn.
std::string BrowserTargetAddress(int id);
// The page that the entry the browser is headed for stands for, when that
// entry is a display copy shown with BrowserShowCopy; "" otherwise.
std::string BrowserTargetPage(int id);
// Shows the display copy at copyPath, which stands for page, in place of the
// entry the browser is headed for (or shows): the copy is read afresh and no
// history entry is added, so Back and Next move one page per step.
void BrowserShowCopy(int id, const std::string& copyPath, const std::string& page);

// An address of a scheme other than http, https and mailto that a link led
// to: the browser neither shows it nor hands it on, and gives it here once
// for the program to ask the user about. "" when there is none.
std::string BrowserTakeOutsideAddress(int id);
// 1 for an address the desktop may be handed without asking: http, https
// and mailto.
int BrowserIsWebAddress(const std::string& address);

// The page's text size in per cent of its own; it holds for every page
// shown after.
void BrowserZoomSet(int id, int percent);
// The browser's find: step 0 opens it (a bar on the page, or on Windows a
// find box); 1 and -1 go to the next and previous match of what was looked
// for last, and open it when nothing was yet. The bar (on Windows the
// status bar) says notFoundText when the page holds no match, and which
// match is shown of how many ("3 of 12") when it does; an open bar looks
// again on every new page.
void BrowserFind(int id, int step, const std::string& notFoundText);
// Between the match's number and the number of matches.
constexpr const char* BrowserFindOfText = " of ";
// The Windows find box's title and prompt.
constexpr const char* BrowserFindTitleText = "Find";
constexpr const char* BrowserFindPromptText = "Find what:";
// Prints the page shown, through the platform's print dialog.
void BrowserPrint(int id);
