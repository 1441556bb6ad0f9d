#include "helpindex/search.h"

#include "helpindex/indexlinks.h"
#include "runtime/requesters.h"
#include "runtime/text.h"
#include "runtime/window.h"
#include "state/state.h"
#include "state/texts.h"

namespace {

void ShowCurrentEntry()
{
    ControlSetText(BrowserControl, State.contextList.current->record.page);
}

}  // namespace

int FindContext(const std::string& text)
{
    std::string wanted = TextToUpper(text);
    ContextList& list = State.contextList;
    ListRewind(list);
    while (ListNext(list)) {
        // Upper-casing keeps the length, so a length mismatch settles it
        // without copying the keyword.
        const std::string& keyword = list.current->record.keyword;
        if (keyword.size() == wanted.size() && TextEquals(TextToUpper(keyword), wanted)) return 1;
    }
    return 0;
}

int LookupKeyword(const std::string& text)
{
    return FindContext(text) || FindContext(TextToUpper(TextHead(text, 1))) ? 1 : 0;
}

void SearchKeyword(int ask)
{
    std::string text = ControlGetText(SearchField);
    if (LookupKeyword(text)) {
        ShowCurrentEntry();
        return;
    }
    if (!ask) return;
    std::string letter = TextToUpper(TextHead(text, 1));
    std::string question = NoContextText + text + "\n" + InsertLetterText + letter + "?";
    if (MessageAsk(TitleV2, question, MessageQuestion) == AnswerYes) InsertIndexLink(letter);
}
