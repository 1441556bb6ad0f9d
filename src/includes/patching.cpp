#include "includes/patching.h"

#include <set>

#include "helpindex/contextlist.h"
#include "helpindex/indexlinks.h"
#include "runtime/files.h"
#include "runtime/install.h"
#include "runtime/requesters.h"
#include "runtime/text.h"
#include "state/state.h"
#include "state/texts.h"

namespace {

const std::string CommandsMenuLine = "<a href=\"main.htm\">Commands Menu</a><br>";
const std::string MenuLink = "<a href=\"Includes.htm\">My Include Files</a><br>";
const std::string MainLink = "19. <a href=\"Includes.htm\">My Include Files</a><br>";
// Which backups of an unfinished preparation are made; the file exists
// only while a preparation is under way.
const std::string PreparationJournal = ".kelpra-preparing";

// Opens the backup for reading and begins the file's new version. Done
// when both are open; otherwise nothing is left open.
Rewrite OpenRewrite(int backupNumber, const std::string& backupPath, int targetNumber,
                    const std::string& path, const std::string& folder)
{
    if (!FileOpenRead(backupNumber, backupPath)) return Rewrite::Skipped;
    Rewrite begun = RewriteBegin(targetNumber, path, folder);
    if (begun != Rewrite::Done) FileClose(backupNumber);
    return begun;
}

// Closes the backup and puts the new version in place. A write that fell
// short (a full disk) fails the commit, and the file keeps its old version
// instead of a cut-off one.
Rewrite FinishRewrite(int targetNumber, int backupNumber)
{
    FileClose(backupNumber);
    return RewriteCommit(targetNumber);
}

// The copy of a file to its backup. When this run finishes one that was
// interrupted, an empty file is not copied over a backup that holds
// something: that backup may be all that is left of the file.
Rewrite BackupCopy(const std::string& path, const std::string& backupPath, const std::string& folder)
{
    if (FolderLockFoundInterrupted() && PathSize(path) == 0 && PathSize(backupPath) > 0) return Rewrite::Done;
    return RewriteBackup(path, backupPath, folder);
}

std::set<std::string> ReadJournal()
{
    std::set<std::string> done;
    if (!FileOpenRead(1, State.helpFolder + PreparationJournal)) return done;
    do {
        done.insert(FileReadLineFrom(1));
    } while (!FileAtEnd(1));
    FileClose(1);
    return done;
}

Rewrite WriteJournal(const std::set<std::string>& done)
{
    Rewrite begun = RewriteBegin(1, State.helpFolder + PreparationJournal, State.helpFolder);
    if (begun != Rewrite::Done) return begun;
    for (const std::string& line : done) FileWriteLineTo(1, line);
    return RewriteCommit(1);
}

// The menu and main pages gain their link to the include list after the
// lines that the test picks. The page is always rewritten from its backup,
// so a preparation that is finished later, from the backup it recorded,
// links the page once.
Rewrite LinkPage(const std::string& page, const std::string& backup, int isMenu, std::set<std::string>& done)
{
    const std::string& helpFolder = State.helpFolder;
    const std::string path = helpFolder + page;
    const std::string backupPath = helpFolder + backup;
    if (!done.count(backup)) {
        // Rewriting from an older backup when the fresh copy failed would
        // throw away whatever changed since.
        Rewrite copied = BackupCopy(path, backupPath, helpFolder);
        if (copied != Rewrite::Done) return copied;
        done.insert(backup);
        Rewrite recorded = WriteJournal(done);
        if (recorded != Rewrite::Done) return recorded;
    }
    Rewrite begun = OpenRewrite(1, backupPath, 2, path, helpFolder);
    if (begun != Rewrite::Done) return begun;
    const std::string commandsMenu = TextToLower(CommandsMenuLine);
    do {
        std::string line = FileReadLineFrom(1);
        FileWriteLineTo(2, line);
        if (isMenu && TextEquals(TextToLower(line), commandsMenu)) {
            FileWriteLineTo(2, "<br>");
            FileWriteLineTo(2, MenuLink);
        }
        if (!isMenu && TextToInteger(TextHead(line, 2)) == 18) FileWriteLineTo(2, MainLink);
    } while (!FileAtEnd(1));
    return FinishRewrite(2, 1);
}

std::string IncludeListEntry(const std::string& pageName, const std::string& listText, int noInformation)
{
    std::string prefix = "<a href=\"Includes\\" + pageName + "\">";
    return noInformation ? prefix + " No Information </a><br>" : prefix + " " + listText + "</a><br>";
}

// The number of the line that already lists the include, 0 when none does.
int ExistingEntryLine(const std::string& backupPath, const std::string& pageName)
{
    if (!FileOpenRead(2, backupPath)) return 0;
    const std::string prefix = TextToUpper("<a href=\"Includes\\" + pageName + "\"");
    int number = 0;
    int found = 0;
    do {
        std::string line = FileReadLineFrom(2);
        number += 1;
        if (TextEquals(TextToUpper(TextHead(line, TextLength(prefix))), prefix)) found = number;
    } while (!found && !FileAtEnd(2));
    FileClose(2);
    return found;
}

enum class ListState { Preamble, List, Done };

}  // namespace

int IsMarkerLine(const std::string& line)
{
    return TextEquals(TextToUpper(line), "<BR>");
}

int BeginsWithMy(const std::string& line)
{
    return TextEquals(TextToUpper(TextHead(line, 2)), "MY");
}

int PreparationUnfinished()
{
    return PathSize(State.helpFolder + PreparationJournal) >= 0 ? 1 : 0;
}

Rewrite PrepareIncludeFolder()
{
    const std::string& helpFolder = State.helpFolder;
    const std::string templatePath = State.dataFolder + "Includes.htm";
    if (PathSize(templatePath) <= 0) {
        MessageAsk(TitleV3, NoListTemplateText + MessageName(templatePath), MessageError);
        return Rewrite::Skipped;
    }
    // The include list page comes last: until it is there, the next run
    // takes up the preparation where this one stopped.
    std::set<std::string> done = ReadJournal();
    if (LinkPage("menu.htm", "menu.bak", 1, done) == Rewrite::Failed) return Rewrite::Failed;
    if (LinkPage("main.htm", "main.bak", 0, done) == Rewrite::Failed) return Rewrite::Failed;
    FolderMake(helpFolder + "\\Includes");
    Rewrite listed = RewriteCopy(templatePath, helpFolder + "Includes.htm", helpFolder);
    if (listed != Rewrite::Done) return listed;
    if (PreparationUnfinished() && !FileRemove(helpFolder + PreparationJournal)) {
        FileFailureNote(FileFailureKind::System, helpFolder + PreparationJournal);
        return Rewrite::Failed;
    }
    return listed;
}

Rewrite UpdateIncludeList(const std::string& pageName, const std::string& listText, int noInformation)
{
    const std::string& helpFolder = State.helpFolder;
    const std::string path = helpFolder + "Includes.htm";
    const std::string backupPath = helpFolder + "Includes.bak";
    Rewrite copied = BackupCopy(path, backupPath, helpFolder);
    if (copied != Rewrite::Done) return copied;
    const int existing = ExistingEntryLine(backupPath, pageName);
    Rewrite begun = OpenRewrite(2, backupPath, 3, path, helpFolder);
    if (begun != Rewrite::Done) return begun;
    const std::string entry = IncludeListEntry(pageName, listText, noInformation);
    ListState state = ListState::Preamble;
    int number = 0;
    do {
        std::string line = FileReadLineFrom(2);
        number += 1;
        if (state == ListState::Preamble) {
            FileWriteLineTo(3, line);
            if (IsMarkerLine(line)) state = ListState::List;
        } else if (state == ListState::List && existing) {
            if (number == existing) {
                FileWriteLineTo(3, entry);
                state = ListState::Done;
            } else {
                FileWriteLineTo(3, line);
            }
        } else if (state == ListState::List && IsMarkerLine(line)) {
            FileWriteLineTo(3, "My Include Files:<BR>");
            FileWriteLineTo(3, entry);
            FileWriteLineTo(3, line);
            FileWriteLineTo(3, "<a href=\"main.htm\"> Main Menu</a><br>");
            FileWriteLineTo(3, "<a href=\"index.htm\"> Index</a><br>");
            FileWriteLineTo(3, "<a href=\"glossary.htm\"> Glossary</a><br>");
            state = ListState::Done;
        } else if (state == ListState::List && BeginsWithMy(line)) {
            FileWriteLineTo(3, line);
            FileWriteLineTo(3, entry);
            state = ListState::Done;
        } else {
            FileWriteLineTo(3, line);
        }
    } while (!FileAtEnd(2));
    return FinishRewrite(3, 2);
}

int KeywordsFileWritable()
{
    const std::string& path = State.keywordsFile;
    if (PathSize(path) < 0) return 1;
    std::string writeTo;
    if (FileFollowPlace(path, writeTo) < 0) return 0;
    for (const std::string& folder : {PathFolderPart(path), PathFolderPart(writeTo)}) {
        if (!FolderWritable(folder)) {
            FileFailureNote(FileFailureKind::ReadOnlyFolder, path);
            return 0;
        }
    }
    return 1;
}

Rewrite AddKeywordLine(const std::string& fileKeyword)
{
    const std::string& path = State.keywordsFile;
    // The keywords file belongs to the user, not to the help folder: its
    // backup lies beside it, and a link is followed wherever it leads.
    const std::string folder = PathFolderPart(path);
    const std::string backupPath = folder + "keywords.bak";
    Rewrite copied = BackupCopy(path, backupPath, folder);
    if (copied != Rewrite::Done) return copied;
    if (!FileOpenRead(4, backupPath)) return Rewrite::Skipped;
    Rewrite begun = RewriteBeginFollowing(5, path);
    if (begun != Rewrite::Done) {
        FileClose(4);
        return begun;
    }
    int found = 0;
    do {
        std::string line = FileReadLineFrom(4);
        FileWriteLineTo(5, line);
        if (TextEquals(TextToUpper(line), fileKeyword)) found = 1;
    } while (!FileAtEnd(4));
    if (!found) FileWriteLineTo(5, fileKeyword);
    return FinishRewrite(5, 4);
}

void AddContextEntry(const std::string& indexKeyword, const std::string& pagePath)
{
    InsertContextSorted(indexKeyword, State.helpFolder + pagePath, KeywordCompare::UpperCased,
                        SameKeyword::UpdatePage);
}

Rewrite AddIndexEntry(const std::string& indexKeyword, const std::string& pagePath)
{
    const std::string& helpFolder = State.helpFolder;
    const std::string linkLine = "<a href=\"" + pagePath + "\">" + indexKeyword + "</a><BR>";
    Rewrite written = WriteIndexWithEntry(4, 5, indexKeyword, {linkLine}, SameLinkText::KeepExisting);
    if (written != Rewrite::Done) return written;
    Pause(20);
    // The old page is kept as Index.bak; an empty Index.bak is never
    // replaced, and a folder of that name takes no copy.
    const std::string backupPath = helpFolder + "Index.bak";
    const int32_t backupSize = PathSize(backupPath);
    if (backupSize > 0 && !FileRename(backupPath, backupPath)) {
        FileFailureNote(FileFailureKind::System, backupPath);
        written = Rewrite::Failed;
    }
    if (written == Rewrite::Done && (backupSize == -1 || backupSize > 0) &&
        BackupCopy(helpFolder + "index.htm", backupPath, helpFolder) == Rewrite::Failed)
        written = Rewrite::Failed;
    Pause(20);
    if (written == Rewrite::Done) written = RewriteCommit(5);
    else FileClose(5);
    Pause(20);
    return written;
}
