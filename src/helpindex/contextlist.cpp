#include "helpindex/contextlist.h"

#include "runtime/codepage.h"
#include "runtime/files.h"
#include "runtime/links.h"
#include "runtime/requesters.h"
#include "runtime/text.h"
#include "state/state.h"
#include "state/texts.h"

namespace {

const std::string LinkStart = "<a href=";

}  // namespace

void ReadLinkLine(const std::string& line, ContextEntry& entry)
{
    if (line.size() <= 9) return;
    size_t quote = line.find('"', 9);
    if (quote == std::string::npos) return;
    // The same as PagePathFromAddress of "********" + target. A UTF-8 index
    // names its pages as Windows opens them: in Windows-1252 where the
    // characters allow.
    std::string target;
    AppendPagePath(target, line.data() + 9, line.data() + quote);
    entry.page = State.helpFolder + TextToAnsi(target);
    size_t textStart = quote + 2;
    if (textStart > line.size()) return;
    size_t textEnd = line.find('<', textStart);
    if (textEnd == std::string::npos) return;
    const std::string text = line.substr(textStart, textEnd - textStart);
    entry.keyword = TextUpperCase(text);
    if (entry.keyword != text) entry.spelling = text;
}

int IsLinkLine(const std::string& line)
{
    return line.compare(0, LinkStart.size(), LinkStart) == 0 ? 1 : 0;
}

std::string LinkLineText(const std::string& line)
{
    if (line.size() <= 9) return "";
    size_t quote = line.find('"', 9);
    if (quote == std::string::npos) return "";
    size_t textStart = quote + 2;
    if (textStart > line.size()) return "";
    size_t textEnd = line.find('<', textStart);
    if (textEnd == std::string::npos) textEnd = line.size();
    return TextUpperCase(line.substr(textStart, textEnd - textStart));
}

std::string PagePathFromAddress(const std::string& address)
{
    std::string path;
    if (address.size() <= 8) return path;
    path.reserve(address.size() - 8);
    AppendPagePath(path, address.data() + 8, address.data() + address.size());
    return path;
}

ContextEntry& InsertContextSorted(const std::string& keyword, const std::string& page, KeywordCompare compare,
                                  SameKeyword same)
{
    ContextList& list = State.contextList;
    ListRewind(list);
    bool sortsAfter = false;
    while (ListNext(list)) {
        const std::string& stored = list.current->record.keyword;
        const std::string key = compare == KeywordCompare::UpperCased ? TextToUpper(stored) : stored;
        if (TextGreater(key, keyword)) {
            sortsAfter = true;
            break;
        }
    }
    // The cursor goes to the candidate: the entry before the first one that
    // sorts after the keyword, or the last entry, or none.
    if (sortsAfter && !ListPrevious(list)) ListRewind(list);
    if (same == SameKeyword::UpdatePage && list.current &&
        TextEquals(list.current->record.keyword, keyword)) {
        list.current->record.page = page;
        return list.current->record;
    }
    ContextEntry& entry = ListInsert(list)->record;
    entry.keyword = keyword;
    entry.page = page;
    return entry;
}

int BuildContextList()
{
    ContextList& list = State.contextList;
    ListCreate(list);
    State.indexUtf8 = 0;
    if (!FileOpenRead(1, State.helpFolder + "index.htm")) {
        MessageAsk(TitleBrowser, NoContextListText, MessageOk);
        return 0;
    }
    EncodingVote encoding;
    do {
        std::string line = FileReadLine();
        EncodingNoteLine(encoding, line);
        if (!IsLinkLine(line)) continue;
        // The entry exists before the line is parsed, so a malformed link
        // line still holds its place in the list.
        ReadLinkLine(line, ListInsert(list)->record);
    } while (!FileAtEnd(1));
    FileClose(1);
    State.indexUtf8 = EncodingIsUtf8(encoding);
    return 1;
}
