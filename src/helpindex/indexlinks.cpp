#include "helpindex/indexlinks.h"

#include "helpindex/backups.h"
#include "helpindex/contextlist.h"
#include "runtime/files.h"
#include "runtime/requesters.h"
#include "runtime/text.h"
#include "runtime/window.h"
#include "shell/state.h"

namespace {

// Places the entry before the first one whose keyword sorts after it, or at
// the end, and leaves it as the current element.
ContextEntry& InsertSortedEntry(const std::string& keyword)
{
    ContextList& list = State.contextList;
    ListRewind(list);
    bool sortsAfter = false;
    while (ListNext(list)) {
        if (TextGreater(list.current->record.keyword, keyword)) {
            sortsAfter = true;
            break;
        }
    }
    if (sortsAfter && !ListPrevious(list)) ListRewind(list);
    ContextEntry& entry = ListInsert(list)->record;
    entry.keyword = keyword;
    entry.page = State.helpFolder + "index.htm#" + keyword;
    return entry;
}

struct Rewrite {
    bool written = true;  // false once any write fell short
};

void WriteLine(Rewrite& rewrite, const std::string& line)
{
    if (FileWriteLine(line) < TextLength(line) + 2) rewrite.written = false;
}

// Copies index.htm into index.new with the anchor and link lines put in at
// the keyword's place; false when the copy could not be written whole.
bool CopyWithAnchor(const std::string& keyword)
{
    const std::string anchorLine = "<A NAME=\"" + keyword + "\"></A>";
    const std::string linkLine =
        "<a href=\"index.htm#" + keyword + "\">" + keyword + "</a><BR>";
    Rewrite rewrite;
    bool inserted = false;
    do {
        FileSelect(1);
        std::string line = FileReadLine();
        FileSelect(2);
        if (inserted) {
            WriteLine(rewrite, line);
        } else if (IsLinkLine(line)) {
            if (TextGreater(LinkLineText(line), keyword)) {
                WriteLine(rewrite, anchorLine);
                WriteLine(rewrite, linkLine);
                inserted = true;
            }
            WriteLine(rewrite, line);
        } else if (IsLetterHeading(line, keyword)) {
            WriteLine(rewrite, anchorLine);
            WriteLine(rewrite, linkLine);
            inserted = true;
        } else {
            WriteLine(rewrite, line);
        }
    } while (!FileAtEnd(1));
    bool closed = FileClose(2) != 0;
    FileClose(1);
    return rewrite.written && closed;
}

}  // namespace

int IsLetterHeading(const std::string& line, const std::string& keyword)
{
    if (TextLength(keyword) != 1 || !TextEquals(TextHead(line, 1), keyword)) return 0;
    std::string start = TextToUpper(TextHead(line, 2));
    return !TextEquals(start, "IN") && !TextEquals(start, "DA");
}

void InsertIndexLink(const std::string& keyword)
{
    BackupHelpPages();
    const std::string kw = TextToUpper(keyword);
    ContextEntry& entry = InsertSortedEntry(kw);

    const std::string indexPage = State.helpFolder + "index.htm";
    const std::string newPage = State.helpFolder + "index.new";
    if (!FileOpenRead(1, indexPage)) return;
    if (!FileCreate(2, newPage)) {
        FileClose(1);
        return;
    }
    // A short write (a full disk) must not cost the good index page.
    if (CopyWithAnchor(kw)) {
        FileRemove(indexPage);
        FileRename(newPage, indexPage);
    } else {
        FileRemove(newPage);
    }
    ControlSetText(BrowserControl, entry.page);
    Pause(20);
}
