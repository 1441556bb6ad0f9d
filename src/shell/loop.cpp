#include "shell/loop.h"

#include <string>

#include "helpindex/backups.h"
#include "helpindex/contextlist.h"
#include "helpindex/search.h"
#include "includes/include.h"
#include "runtime/browser.h"
#include "runtime/files.h"
#include "runtime/handover.h"
#include "runtime/requesters.h"
#include "runtime/window.h"
#include "shell/madepages.h"
#include "shell/mainwindow.h"
#include "shell/singlewindow.h"
#include "state/programfolders.h"
#include "state/settings.h"
#include "state/state.h"
#include "state/texts.h"
#include "shell/viewcommands.h"
#include "shell/watcher.h"
#include "shell/work.h"

namespace {

// One message box for a command that could not write a file: which file,
// why, and that its old version was kept; or that another Kelpra is
// changing the help folder.
void ReportFailedWrite(const std::string& commandTitle)
{
    const FileFailure& failure = FileLastFailure();
    // A help folder the user may only read is the command's own answer; a
    // rewrite that failed is told in the maintainer's box.
    const std::string title = failure.kind == FileFailureKind::ReadOnlyFolder ? commandTitle : TitleV3;
    if (failure.kind != FileFailureKind::None) MessageAsk(title, FailureText(failure), MessageError);
    FileFailureClear();
}

// A Yes to the search's question rewrites the index page.
void SearchAsking()
{
    BusyCursorSet(1);
    FileFailureClear();
    SearchKeyword(1);
    BusyCursorSet(0);
    ReportFailedWrite(TitleV2);
}

// The requester's answer, kept as the last requester result; "" when cancelled.
std::string AskForFile(const std::string& title, const std::string& defaultFile, int filterIndex)
{
    State.requesterResult = FileRequestOpen(title, defaultFile, State.fileFilter, filterIndex);
    return State.requesterResult;
}

void OpenPage()
{
    const std::string page = AskForFile(OpenPageTitle, State.currentPage, FilterWeb);
    if (!page.empty()) ControlSetText(BrowserControl, page);
}

void ChooseHelpPath()
{
    State.requesterResult = FolderRequest(HelpPathTitle, State.programFolder);
    if (State.requesterResult.empty()) return;
    State.helpFolder = State.requesterResult;
    WriteSettingText("Setup", "Help", State.helpFolder);
    // Searches go to the new folder's pages from now on, not the old one's.
    BuildContextList();
}

void ChooseSourceViewer()
{
    if (AskForFile(DbaViewerTitle, State.sourceViewer, FilterPrograms).empty()) return;
    State.sourceViewer = State.requesterResult;
    WriteSettingText("Setup", "DBA", State.sourceViewer);
}

void ChooseHtmlEditor()
{
    if (AskForFile(HtmlEditorTitle, State.htmlEditor, FilterPrograms).empty()) return;
    State.htmlEditor = State.requesterResult;
    WriteSettingText("Setup", "HTML", State.htmlEditor);
}

// The flag follows the check mark, which the user sees, rather than the
// other way round.
void ToggleCommandLine()
{
    State.commandLineFlag = 1 - MenuCheckGet(0, MenuCommandline);
    MenuCheckSet(0, MenuCommandline, State.commandLineFlag);
    WriteSettingInteger("Setup", "UseCL", State.commandLineFlag);
}

void AddIncludeCommand()
{
    const std::string source =
        AskForFile(IncludeSourceTitle, State.helpFolder + "myinclude.dba", FilterSources);
    if (source.empty()) return;
    FileFailureClear();
    // Nothing is asked, and nothing changed, for a run that could not write.
    if (!AddIncludeCanWrite(source) || !BackupsCanBeMade()) {
        ReportFailedWrite(TitleV3);
        return;
    }
    if (MessageAsk(TitleV3, AddIncludeWarningText, MessageQuestion) != AnswerYes) return;
    BusyCursorSet(1);
    BackupHelpPages();
    AddInclude(source);
    BusyCursorSet(0);
    ReportFailedWrite(TitleV3);
}

void ChooseKeywordsFile()
{
    if (AskForFile(KeywordsFileTitle, State.keywordsFile, FilterText).empty()) return;
    State.keywordsFile = State.requesterResult;
    WriteSettingText("Setup", "Keywords", State.keywordsFile);
    BackupHelpPages();
}

}  // namespace

void RunControlCommand(int id)
{
    switch (id) {
    // A display copy takes its page's place in the history, so one step is
    // one page.
    case BackButton: ControlSetState(BrowserControl, BrowserBack); break;
    case NextButton: ControlSetState(BrowserControl, BrowserForward); break;
    case GoButton: SearchAsking(); break;
    default: break;
    }
}

void RunMenuCommand(int id)
{
    switch (id) {
    case MenuSearch: SearchAsking(); break;
    case MenuAbout: MessageAsk(TitleV2, AboutText, MessageOk); break;
    case MenuHelpOnHelp: ControlSetText(BrowserControl, HelpOnHelpPage()); break;
    case MenuEditPage: EditPage(); break;
    case MenuOpen: OpenPage(); break;
    case MenuClose: State.lastEvent = EventClose; break;
    case MenuHelpPath: ChooseHelpPath(); break;
    case MenuDbaViewer: ChooseSourceViewer(); break;
    case MenuHtmlViewer: ChooseHtmlEditor(); break;
    case MenuContents: ControlSetText(BrowserControl, State.helpFolder + "menu.htm"); break;
    case MenuIndex: ControlSetText(BrowserControl, State.helpFolder + "index.htm"); break;
    case MenuGlossary: ControlSetText(BrowserControl, State.helpFolder + "glossary.htm"); break;
    case MenuCommandline: ToggleCommandLine(); break;
    case MenuAddInclude: AddIncludeCommand(); break;
    case MenuKeywords: ChooseKeywordsFile(); break;
    case MenuSearchPages: SearchPagesCommand(); break;
    case MenuCheckFolder: CheckFolderCommand(); break;
    default: RunViewCommand(id); break;
    }
}

void RunEventLoop()
{
    do {
        const HeldEvent event = NextEvent();
        State.lastEvent = event.code;
        if (State.lastEvent == EventControl) RunControlCommand(event.id);
        else if (State.lastEvent == EventMenu) RunMenuCommand(event.id);
        else if (State.lastEvent == EventHandOver) TakeHandOver();
        PageWatcher();
    } while (State.lastEvent != EventClose);
}
