#include "includes/patching.h"

#include "helpindex/contextlist.h"
#include "helpindex/indexlinks.h"
#include "runtime/files.h"
#include "runtime/requesters.h"
#include "runtime/text.h"
#include "state/state.h"
#include "state/texts.h"

namespace {

const std::string CommandsMenuLine = "<a href=\"main.htm\">Commands Menu</a><br>";
const std::string MenuLink = "<a href=\"Includes.htm\">My Include Files</a><br>";
const std::string MainLink = "19. <a href=\"Includes.htm\">My Include Files</a><br>";

// A write that falls short (a full disk) clears ok; the rewrite then keeps
// the file's old content instead of a cut-off one.
void WriteTo(int number, const std::string& line, int& ok)
{
    if (!FileWriteLineTo(number, line)) ok = 0;
}

// The backup holds the old content: move it back into place, which needs no
// room on the disk, then make the backup again from it.
void RestoreFromBackup(const std::string& path, const std::string& backupPath)
{
    if (FileRemove(path) && FileRename(backupPath, path)) {
        FileDuplicate(path, backupPath);
        return;
    }
    FileDuplicate(backupPath, path);
}

// Closes a rewrite (the new file first) and undoes it when any write failed.
void FinishRewrite(int targetNumber, int backupNumber, int ok, const std::string& path,
                   const std::string& backupPath)
{
    if (!FileClose(targetNumber)) ok = 0;
    FileClose(backupNumber);
    if (!ok) RestoreFromBackup(path, backupPath);
}

// Opens the backup for reading and creates the file anew; 0 when either
// fails, with nothing left open.
int OpenRewrite(int backupNumber, const std::string& backupPath, int targetNumber, const std::string& path)
{
    if (!FileOpenRead(backupNumber, backupPath)) return 0;
    if (!FileCreate(targetNumber, path)) {
        FileClose(backupNumber);
        return 0;
    }
    return 1;
}

// The menu and main pages gain their link to the include list after the
// lines that the test picks.
void LinkPage(const std::string& page, const std::string& backup, int isMenu)
{
    const std::string path = State.helpFolder + page;
    const std::string backupPath = State.helpFolder + backup;
    // Rewriting from an older backup when the fresh copy failed would throw
    // away whatever changed since.
    if (!FileDuplicate(path, backupPath)) return;
    if (!OpenRewrite(1, backupPath, 2, path)) return;
    const std::string commandsMenu = TextToLower(CommandsMenuLine);
    int ok = 1;
    do {
        std::string line = FileReadLineFrom(1);
        WriteTo(2, line, ok);
        if (isMenu && TextEquals(TextToLower(line), commandsMenu)) {
            WriteTo(2, "<br>", ok);
            WriteTo(2, MenuLink, ok);
        }
        if (!isMenu && TextToInteger(TextHead(line, 2)) == 18) WriteTo(2, MainLink, ok);
    } while (!FileAtEnd(1));
    FinishRewrite(2, 1, ok, path, backupPath);
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

void PrepareIncludeFolder()
{
    const std::string templatePath = State.dataFolder + "Includes.htm";
    if (PathSize(templatePath) <= 0) {
        MessageAsk(TitleV3, NoListTemplateText + templatePath, MessageError);
        return;
    }
    FileDuplicate(templatePath, State.helpFolder + "Includes.htm");
    LinkPage("menu.htm", "menu.bak", 1);
    LinkPage("main.htm", "main.bak", 0);
    FolderMake(State.helpFolder + "\\Includes");
}

void UpdateIncludeList(const std::string& pageName, const std::string& listText, int noInformation)
{
    const std::string path = State.helpFolder + "Includes.htm";
    const std::string backupPath = State.helpFolder + "Includes.bak";
    if (!FileDuplicate(path, backupPath)) return;
    const int existing = ExistingEntryLine(backupPath, pageName);
    if (!OpenRewrite(2, backupPath, 3, path)) return;
    const std::string entry = IncludeListEntry(pageName, listText, noInformation);
    ListState state = ListState::Preamble;
    int number = 0;
    int ok = 1;
    do {
        std::string line = FileReadLineFrom(2);
        number += 1;
        if (state == ListState::Preamble) {
            WriteTo(3, line, ok);
            if (IsMarkerLine(line)) state = ListState::List;
        } else if (state == ListState::List && existing) {
            if (number == existing) {
                WriteTo(3, entry, ok);
                state = ListState::Done;
            } else {
                WriteTo(3, line, ok);
            }
        } else if (state == ListState::List && IsMarkerLine(line)) {
            WriteTo(3, "My Include Files:<BR>", ok);
            WriteTo(3, entry, ok);
            WriteTo(3, line, ok);
            WriteTo(3, "<a href=\"main.htm\"> Main Menu</a><br>", ok);
            WriteTo(3, "<a href=\"index.htm\"> Index</a><br>", ok);
            WriteTo(3, "<a href=\"glossary.htm\"> Glossary</a><br>", ok);
            state = ListState::Done;
        } else if (state == ListState::List && BeginsWithMy(line)) {
            WriteTo(3, line, ok);
            WriteTo(3, entry, ok);
            state = ListState::Done;
        } else {
            WriteTo(3, line, ok);
        }
    } while (!FileAtEnd(2));
    FinishRewrite(3, 2, ok, path, backupPath);
}

void AddKeywordLine(const std::string& fileKeyword)
{
    const std::string& path = State.keywordsFile;
    const std::string backupPath = PathFolderPart(path) + "\\keywords.bak";
    if (!FileDuplicate(path, backupPath)) return;
    if (!OpenRewrite(4, backupPath, 5, path)) return;
    int ok = 1;
    int found = 0;
    do {
        std::string line = FileReadLineFrom(4);
        WriteTo(5, line, ok);
        if (TextEquals(TextToUpper(line), fileKeyword)) found = 1;
    } while (!FileAtEnd(4));
    if (!found) WriteTo(5, fileKeyword, ok);
    FinishRewrite(5, 4, ok, path, backupPath);
}

void AddContextEntry(const std::string& indexKeyword, const std::string& pagePath)
{
    InsertContextSorted(indexKeyword, State.helpFolder + pagePath, KeywordCompare::UpperCased,
                        SameKeyword::UpdatePage);
}

void AddIndexEntry(const std::string& indexKeyword, const std::string& pagePath)
{
    const std::string& helpFolder = State.helpFolder;
    const std::string indexPath = helpFolder + "index.htm";
    const std::string newPath = helpFolder + "index.new";
    if (!OpenRewrite(4, indexPath, 5, newPath)) return;
    const std::string linkLine = "<a href=\"" + pagePath + "\">" + indexKeyword + "</a><BR>";
    int ok = CopyIndexWithEntry(4, 5, indexKeyword, {linkLine}, SameLinkText::KeepExisting);
    FileClose(4);
    if (!FileClose(5)) ok = 0;
    Pause(20);
    if (!ok) {
        // A cut-off replacement never takes the index page's place.
        FileRemove(newPath);
        return;
    }
    if (PathSize(helpFolder + "Index.bak") > 0) FileRemove(helpFolder + "Index.bak");
    FileRename(indexPath, helpFolder + "Index.bak");
    Pause(20);
    FileRemove(helpFolder + "Index.htm");
    FileRename(newPath, indexPath);
    Pause(20);
}
