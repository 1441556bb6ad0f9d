#include "helpindex/search.h"

#include "helpindex/indexlinks.h"
#include "runtime/codepage.h"
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
    // The typed text and the index page need not share an encoding (a
    // Windows-1252 index, a UTF-8 desktop), so accents compare as
    // characters; a plain ASCII text compares as bytes, as it always has.
    const bool ascii = TextIsAscii(text);
    const std::string wanted = ascii ? TextToUpper(text) : TextMatchKey(text);
    ContextList& list = State.contextList;
    ListRewind(list);
    while (ListNext(list)) {
        const std::string& keyword = list.current->record.keyword;
        // Upper-casing keeps the length, so a length mismatch settles it
        // without copying the keyword.
        if (ascii ? keyword.size() == wanted.size() && TextEquals(TextToUpper(keyword), wanted)
                  : TextEquals(TextMatchKey(keyword), wanted))
            return 1;
    }
    return 0;
}

std::string SearchLetter(const std::string& text)
{
    return TextUpperCase(TextFirstCharacter(text));
}

int LetterNamesAPlace(const std::string& letter)
{
    if (letter.empty()) return 0;
    const auto first = static_cast<unsigned char>(letter[0]);
    return first > ' ' && first != 0x7F ? 1 : 0;
}

int LookupKeyword(const std::string& text)
{
    return FindContext(text) || FindContext(SearchLetter(text)) ? 1 : 0;
}

void SearchKeyword(int ask)
{
    std::string text = ControlGetText(SearchField);
    if (LookupKeyword(text)) {
        ShowCurrentEntry();
        return;
    }
    if (!ask) return;
    std::string letter = SearchLetter(text);
    // An empty or blank word (Enter by accident) has no letter: offering to
    // write one into the user's index page would only do harm.
    if (!LetterNamesAPlace(letter)) return;
    std::string question = NoContextText + MessageName(text) + "\n" + InsertLetterText + letter + "?";
    if (MessageAsk(TitleV2, question, MessageQuestion) == AnswerYes) InsertIndexLink(letter);
}
