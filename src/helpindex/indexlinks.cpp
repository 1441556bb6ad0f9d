#include "helpindex/indexlinks.h"

#include "helpindex/backups.h"
#include "helpindex/contextlist.h"
#include "runtime/codepage.h"
#include "runtime/files.h"
#include "runtime/install.h"
#include "runtime/requesters.h"
#include "runtime/text.h"
#include "runtime/window.h"
#include "state/state.h"
#include "state/texts.h"

namespace {

// Copies index.htm into index.new with the anchor and link lines put in at
// the keyword's place; false when the copy could not be written whole.
bool CopyWithAnchor(const std::string& keyword)
{
    const std::vector<std::string> lines = {"<A NAME=\"" + keyword + "\"></A>",
                                            "<a href=\"index.htm#" + keyword + "\">" + keyword + "</a><BR>"};
    int written = CopyIndexWithEntry(1, 2, keyword, lines, SameLinkText::AddEntry);
    bool closed = FileClose(2) != 0;
    FileClose(1);
    return written && closed;
}

}  // namespace

int CopyIndexWithEntry(int from, int to, const std::string& keyword,
                       const std::vector<std::string>& entryLines, SameLinkText same)
{
    int ok = 1;
    int placed = 0;
    do {
        std::string line = FileReadLineFrom(from);
        int keepLine = 1;
        if (!placed && IsLinkLine(line)) {
            std::string text = LinkLineText(line);
            if (TextGreater(text, keyword)) {
                for (const std::string& entryLine : entryLines) ok &= FileWriteLineTo(to, entryLine);
                placed = 1;
            } else if (same == SameLinkText::KeepExisting && TextEquals(text, keyword)) {
                placed = 1;
            }
        } else if (!placed && IsLetterHeading(line, keyword)) {
            // The letter's heading gives way to the entry.
            for (const std::string& entryLine : entryLines) ok &= FileWriteLineTo(to, entryLine);
            placed = 1;
            keepLine = 0;
        }
        if (keepLine) ok &= FileWriteLineTo(to, line);
    } while (!FileAtEnd(from));
    return ok;
}

int IsLetterHeading(const std::string& line, const std::string& keyword)
{
    // The letter may be one character of several bytes (UTF-8).
    if (keyword.empty() || !TextEquals(TextFirstCharacter(keyword), keyword) ||
        !TextEquals(TextHead(line, TextLength(keyword)), keyword))
        return 0;
    std::string start = TextToUpper(TextHead(line, 2));
    return !TextEquals(start, "IN") && !TextEquals(start, "DA");
}

int HelpFolderWritable(const std::string& title)
{
    if (FolderWritable(State.helpFolder)) return 1;
    MessageAsk(title, ReadOnlyHelpFolderText + State.helpFolder + NothingChangedText, MessageError);
    return 0;
}

void InsertIndexLink(const std::string& keyword)
{
    if (!HelpFolderWritable(TitleV2)) return;
    BackupHelpPages();
    // The letter as the index page writes it, whatever the search field gave.
    const std::string kw = TextInEncoding(TextUpperCase(keyword), State.indexUtf8);
    ContextEntry& entry = InsertContextSorted(kw, State.helpFolder + "index.htm#" + kw,
                                              KeywordCompare::AsStored, SameKeyword::AddEntry);

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
