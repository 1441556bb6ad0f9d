#include "shell/watcher.h"

#include <string>

#include "helpindex/contextlist.h"
#include "helpindex/displaycopy.h"
#include "runtime/browser.h"
#include "runtime/requesters.h"
#include "runtime/text.h"
#include "runtime/window.h"
#include "shell/mainwindow.h"
#include "state/state.h"

namespace {

void ShowPageInStatusBar()
{
    StatusBarSetText(0, 0, State.currentPage, 0);
}

void OpenInEditor(const std::string& page)
{
    ProgramRun(State.htmlEditor, page, PathFolderPart(page));
}

}  // namespace

void PageWatcher()
{
    const std::string address = ControlGetText(BrowserControl);
    if (TextEquals(address, State.lastAddress)) return;

    State.lastAddress = address;
    State.currentPage = PagePathFromAddress(address);

    // The browser is showing a display copy: the status bar keeps naming the
    // page that was copied.
    if (IsDisplayCopyName(State.currentPage)) return;

    if (TextEquals(TextToUpper(TextTail(address, 3)), "DBA")) {
        ProgramRun(State.sourceViewer, State.currentPage, PathFolderPart(State.currentPage));
        // The last address stays the source's, so the page we return to is
        // seen as a change at the next event.
        ControlSetState(BrowserControl, BrowserBack);
        return;
    }

    if (AnchorPosition(State.currentPage) > 0) {
        // An anchor has to be shown on the page itself; a copy would lose it.
        ShowPageInStatusBar();
        State.lastAddress = ControlGetText(BrowserControl);
        return;
    }

    State.copiedPage = State.currentPage;
    State.displayCopyPath = MakeDisplayCopy(State.currentPage);
    // For a page whose own name is the copy's name in another case, the copy
    // path is the page itself: we navigate to the address we are already on,
    // which keeps the two history entries per page that Back and Next expect.
    // Reading the address afresh below makes the next run see no change, so
    // this cannot repeat.
    ControlSetText(BrowserControl, State.displayCopyPath);
    ShowPageInStatusBar();
    State.lastAddress = ControlGetText(BrowserControl);
}

void EditPage()
{
    State.anchorPosition = AnchorPosition(State.currentPage);
    if (State.anchorPosition > 0) {
        ProgramRun(State.htmlEditor, TextHead(State.currentPage, State.anchorPosition - 1),
                   PathFolderPart(State.currentPage));
        return;
    }
    // On a display copy the page to edit is the one it was copied from.
    if (EndsLikeDisplayCopy(State.currentPage)) {
        OpenInEditor(State.copiedPage);
        return;
    }
    OpenInEditor(State.currentPage);
}
