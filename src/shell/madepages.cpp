#include "shell/madepages.h"

#include <string>

#include "pages/check.h"
#include "pages/fulltext.h"
#include "pages/html.h"
#include "runtime/requesters.h"
#include "runtime/window.h"
#include "shell/work.h"
#include "state/state.h"
#include "state/texts.h"

namespace {

// Beside Kelpra's other files, never in the help folder, which may be read
// only and is not ours to fill.
constexpr const char* SearchResultsFile = "kelpra-search.htm";
constexpr const char* CheckReportFile = "kelpra-check.htm";

// The browser goes to the page as to any other, so the watcher, the status
// bar and Back treat it and the pages it links to as usual.
void ShowMadePage(const char* name, const std::string& html)
{
    const std::string path = State.programFolder + name;
    if (!WriteHtmlPage(path, html)) {
        MessageAsk(TitleV2, MadePageUnwritableText + MessageName(path), MessageError);
        return;
    }
    ControlSetText(BrowserControl, path);
}

}  // namespace

void SearchPagesCommand()
{
    // The search field's word is the likeliest start.
    const std::string words = TextRequest(SearchPagesTitle, SearchPagesPrompt, ControlGetText(SearchField));
    if (words.empty()) return;
    WorkBegin(WorkSearchText);
    const SearchResults results = SearchHelpFolder(words, WorkGoesOn);
    // Stopped, it shows nothing: the pages read so far are kept for the next.
    if (!WorkEnd()) return;
    ShowMadePage(SearchResultsFile, SearchResultsPage(results));
}

void CheckFolderCommand()
{
    WorkBegin(WorkCheckText);
    const CheckReport report = CheckHelpFolder(WorkGoesOn);
    if (!WorkEnd()) return;
    ShowMadePage(CheckReportFile, CheckReportPage(report));
}
