#include "shell/watcher.h"

#include <string>

#include "helpindex/contextlist.h"
#include "helpindex/displaycopy.h"
#include "runtime/browser.h"
#include "runtime/files.h"
#include "runtime/requesters.h"
#include "runtime/text.h"
#include "runtime/window.h"
#include "shell/mainwindow.h"
#include "state/state.h"
#include "state/texts.h"

namespace {

void ShowPageInStatusBar()
{
    StatusBarSetText(0, 0, State.currentPage, 0);
}

// Where the browser is headed now, so that the next run sees no change.
void NoteTarget()
{
    State.lastAddress = BrowserTargetAddress(BrowserControl);
    State.lastPage = BrowserTargetPage(BrowserControl);
}

// The text up to its first "#".
std::string WithoutAnchor(const std::string& path)
{
    int anchor = AnchorPosition(path);
    return anchor > 0 ? TextHead(path, anchor - 1) : path;
}

// The page's display copy, written afresh; "" when there is none to show:
// the page is missing (the browser then says so, naming it), or no copy
// could be written in full, beside the page or where Kelpra keeps its own
// files. An older copy is never shown for this page.
std::string FreshDisplayCopy(const std::string& page)
{
    if (NamedLikeDisplayCopy(page)) return "";
    return WriteDisplayCopy(page);
}

// An ordinary page without an anchor: its display copy takes its place in
// the same history entry, or it is shown as itself when there is no copy.
void ShowThroughCopy()
{
    ShowPageInStatusBar();
    const std::string copy = FreshDisplayCopy(State.currentPage);
    if (copy.empty()) {
        // A page whose name is the copy's is its own copy: Edit Page on it
        // edits the page.
        if (NamedLikeDisplayCopy(State.currentPage))
            State.copiedPage = State.displayCopyPath = State.currentPage;
        return;
    }
    State.copiedPage = State.currentPage;
    State.displayCopyPath = copy;
    BrowserShowCopy(BrowserControl, copy, State.currentPage);
    NoteTarget();
}

// The browser is on (or headed for) a display copy that stands for page:
// the status bar names that page, with the anchor the address has.
void FollowCopy(const std::string& address, const std::string& page, const std::string& earlierDocument)
{
    const std::string path = PagePathFromAddress(address);
    const std::string copy = WithoutAnchor(path);
    State.currentPage = page + TextTail(path, TextLength(path) - TextLength(copy));
    ShowPageInStatusBar();
    // A jump within the copy on screen needs nothing more. Any other step
    // onto it (Back, Next) may find the file holding another page's copy by
    // now, so it is written anew.
    if (TextEquals(copy, earlierDocument)) return;
    const std::string fresh = FreshDisplayCopy(page);
    if (fresh.empty()) {
        BrowserShowCopy(BrowserControl, page, "");
    } else {
        State.copiedPage = page;
        State.displayCopyPath = fresh;
        BrowserShowCopy(BrowserControl, fresh, page);
    }
    NoteTarget();
}

// The configured program, else the desktop's own for the file; when neither
// starts, the user learns which program failed and where to choose another.
// Nothing in the settings changes.
void OpenWith(const std::string& program, const std::string& file, const char* setupEntry)
{
    if (ProgramRun(program, file, PathFolderPart(file))) return;
    if (DesktopOpen(file)) return;
    MessageAsk(TitleV2,
               NoProgramText + MessageName(program) + NoProgramForText + MessageName(file) +
                   NoDesktopProgramText + MenuFileText + " > " + MenuSetupText + " > " + setupEntry + ".",
               MessageError);
}

void OpenInEditor(const std::string& page)
{
    OpenWith(State.htmlEditor, page, MenuHtmlViewerText);
}

// A link that leads to another scheme than the web's is handed on only when
// the user says so: it may start any program.
void AskAboutOutsideAddress()
{
    const std::string address = BrowserTakeOutsideAddress(BrowserControl);
    if (address.empty()) return;
    if (MessageAsk(TitleV2, OutsideAddressText + MessageName(address) + OutsideAddressQuestionText,
                   MessageQuestion) == AnswerYes)
        DesktopOpen(address);
}

// A source goes to the source viewer and never becomes a page of the
// history: its navigation is dropped before it is shown, or stepped back
// from when it already was.
void HandToSourceViewer(const std::string& address)
{
    const std::string source = PagePathFromAddress(address);
    OpenWith(State.sourceViewer, source, MenuDbaViewerText);
    ControlSetState(BrowserControl, BrowserStop);
    if (!TextEquals(BrowserTargetAddress(BrowserControl), address)) return;
    ControlSetState(BrowserControl, BrowserBack);
    // The page stepped back to is seen as a change at the next run.
    State.lastAddress = address;
    State.lastPage = "";
}

}  // namespace

void PageWatcher()
{
    AskAboutOutsideAddress();
    const std::string address = BrowserTargetAddress(BrowserControl);
    const std::string page = BrowserTargetPage(BrowserControl);
    if (TextEquals(address, State.lastAddress) && TextEquals(page, State.lastPage)) return;

    if (page.empty() && TextEquals(TextToUpper(TextTail(address, 3)), "DBA"))
        return HandToSourceViewer(address);

    const std::string earlierDocument =
        TextEquals(page, State.lastPage) ? WithoutAnchor(PagePathFromAddress(State.lastAddress)) : "";
    State.lastAddress = address;
    State.lastPage = page;
    if (!page.empty()) return FollowCopy(address, page, earlierDocument);

    State.currentPage = PagePathFromAddress(address);
    // A file named like a copy that no entry says it stands for: nothing is
    // copied or named (Edit Page knows it only if it is the copy made last).
    if (IsDisplayCopyName(State.currentPage)) return;
    if (AnchorPosition(State.currentPage) > 0) {
        // An anchor is shown on the page itself; a copy would lose it.
        ShowPageInStatusBar();
        return;
    }
    ShowThroughCopy();
}

void EditPage()
{
    State.anchorPosition = AnchorPosition(State.currentPage);
    std::string page = WithoutAnchor(State.currentPage);
    // A display copy is never handed to the editor: the next view of a page
    // in that folder would overwrite the user's work. Only the copy written
    // last is known to stand for a page.
    if (NamedLikeDisplayCopy(page)) {
        if (!TextEquals(TextToUpper(page), TextToUpper(State.displayCopyPath))) return;
        page = State.copiedPage;
    }
    if (!page.empty()) OpenInEditor(page);
}
