// The history of a browser control that keeps its own (the Qt, Win32 and
// scripted realizations do): the entries, the one shown, and a navigation
// that has been asked for but not shown yet. Plain bookkeeping; how a
// realization reads and draws a page is its own business.
#pragma once

#include <string>
#include <vector>

struct BrowserEntry {
    std::string path;    // a Windows-form file path, or an outside address
    std::string anchor;  // without "#"
    // The page a display copy stands for; "" for an entry shown as itself.
    std::string page;
    // Where the view stood when it last left the entry, in the realization's
    // own measure (a place in the text, or pixels).
    int scroll = 0;
};

// Where the browser goes next, once the event loop gets to it: a new entry
// after the shown one, or a step onto an entry of the history.
struct BrowserPending {
    bool active = false;
    int index = -1;  // the entry stepped onto; -1 for a new entry
    BrowserEntry entry;
    // The entry's file was written anew: read it even if it is on screen.
    bool reread = false;
};

struct BrowserHistory {
    std::vector<BrowserEntry> entries;
    int current = -1;  // the entry shown; -1 before the first page
    BrowserPending pending;
    // The document on screen (its path and the page it stands for), so that
    // a step within one document is not read and laid out again.
    std::string shownPath;
    std::string shownPage;
};

// What committing the pending navigation asks of the realization.
struct BrowserCommit {
    bool done = false;       // something was pending and is now the shown entry
    bool layOut = false;     // the entry's file must be read and laid out
    bool returning = false;  // a step onto an entry seen before: restore its scroll
};

// The entry a path or an address names: "file:///C:/A%20B/x.htm#top" and
// "C:\A B\x.htm#top" name the same one; other addresses stay whole.
BrowserEntry BrowserEntryOf(const std::string& pathOrAddress);
// The address an entry is reported by (BrowserAddressFromPath for a file).
std::string BrowserEntryAddress(const BrowserEntry& entry);

// A new navigation, in place of one not shown yet. A jump within the
// document the browser is headed for keeps the page that document stands
// for, so an anchor inside a display copy still names the copied page.
void HistoryNavigate(BrowserHistory& history, const BrowserEntry& entry);
// A step back (-1) or forward (+1) from where the browser is headed; 0 when
// there is no entry there (nothing changes then).
int HistoryStep(BrowserHistory& history, int direction);
// Forgets the navigation not shown yet.
void HistoryStop(BrowserHistory& history);
// Shows the current entry again, read afresh.
void HistoryReload(BrowserHistory& history);
// The entry the browser is headed for (pending, else shown); nullptr before
// the first navigation.
const BrowserEntry* HistoryTarget(const BrowserHistory& history);
// The entry the browser is headed for becomes the display copy at copyPath
// standing for page, to be read afresh; no entry is added, so the history
// holds one entry per page and what lies ahead is kept.
void HistoryShowCopy(BrowserHistory& history, const std::string& copyPath, const std::string& page);
// Makes the pending navigation the shown entry. scrollOfShown is where the
// view stands on the entry it leaves.
BrowserCommit HistoryCommit(BrowserHistory& history, int scrollOfShown);
// Notes that the document of the shown entry is on screen now.
void HistoryLaidOut(BrowserHistory& history);
