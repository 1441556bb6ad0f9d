#include "helpindex/indexlinks.h"

#include "helpindex/backups.h"
#include "helpindex/contextlist.h"
#include "runtime/codepage.h"
#include "runtime/files.h"
#include "runtime/requesters.h"
#include "runtime/rewrite.h"
#include "runtime/text.h"
#include "runtime/window.h"
#include "state/state.h"

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

Rewrite WriteIndexWithEntry(int from, int to, const std::string& keyword,
                            const std::vector<std::string>& entryLines, SameLinkText same)
{
    const std::string page = State.helpFolder + "index.htm";
    // The page ends under this very name even where names tell case apart.
    if (PathSize(page) >= 0 && !FileRename(page, page)) {
        FileFailureNote(FileFailureKind::System, page);
        return Rewrite::Failed;
    }
    if (!FileOpenRead(from, page)) return Rewrite::Skipped;
    Rewrite begun = RewriteBegin(to, page, State.helpFolder);
    if (begun != Rewrite::Done) {
        FileClose(from);
        return begun;
    }
    int written = CopyIndexWithEntry(from, to, keyword, entryLines, same);
    FileClose(from);
    if (written) return Rewrite::Done;
    FileClose(to);
    return Rewrite::Failed;
}

namespace {

// Before anything is changed: the index page and the backups still missing
// can be written.
int IndexLinkCanWrite()
{
    const std::string& helpFolder = State.helpFolder;
    return RewriteFolderWritable(helpFolder) && RewritePlaceAllowed(helpFolder + "index.htm", helpFolder) &&
           BackupsCanBeMade();
}

}  // namespace

int InsertIndexLink(const std::string& keyword)
{
    // Without a readable index page there is nothing to change, and no
    // lock to take in a help folder that may not exist; a writer that finds
    // another Kelpra at work, or a file it could not write, changes
    // nothing, not even the backups.
    const bool readable = PathSize(State.helpFolder + "index.htm") >= 0;
    const bool locked = readable && FolderLockTake(State.helpFolder);
    const bool ready = locked && IndexLinkCanWrite();
    if (ready || !readable) BackupHelpPages();
    // The letter as the index page writes it, whatever the search field gave.
    const std::string kw = TextInEncoding(TextUpperCase(keyword), State.indexUtf8);
    ContextEntry& entry = InsertContextSorted(kw, State.helpFolder + "index.htm#" + kw,
                                              KeywordCompare::AsStored, SameKeyword::AddEntry);
    if (!ready) {
        if (locked) FolderLockRelease();
        return 0;
    }

    RemoveLeftovers();
    const std::vector<std::string> lines = {"<A NAME=\"" + kw + "\"></A>",
                                            "<a href=\"index.htm#" + kw + "\">" + kw + "</a><BR>"};
    Rewrite written = WriteIndexWithEntry(1, 2, kw, lines, SameLinkText::AddEntry);
    if (written == Rewrite::Done) written = RewriteCommit(2);
    FolderLockRelease();
    if (written == Rewrite::Skipped) return 0;
    ControlSetText(BrowserControl, entry.page);
    Pause(20);
    return written == Rewrite::Done ? 1 : 0;
}
