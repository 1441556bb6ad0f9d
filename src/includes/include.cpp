#include "includes/include.h"

#include <vector>

#include "helpindex/backups.h"
#include "includes/patching.h"
#include "runtime/files.h"
#include "runtime/rewrite.h"
#include "runtime/text.h"
#include "state/state.h"

namespace {

// The page template's working copies in the Includes folder, which the run
// reads while it writes the pages.
const char* const WorkingCopies[] = {"vosks.htm", "vosk2.htm"};

int SameName(const std::string& a, const std::string& b)
{
    return TextEquals(TextToUpper(a), TextToUpper(b));
}

// 1 when a page of that name would take the place of a working copy.
int IsWorkingCopy(const std::string& pageName)
{
    for (const char* copy : WorkingCopies)
        if (SameName(pageName, copy)) return 1;
    return 0;
}

// A noted failure ends the run: what it wrote so far is complete, the rest
// stays as it was, and the next run finishes the job.
int Stopped()
{
    return FileLastFailure().kind != FileFailureKind::None;
}

void WriteFooterLinks(int number, const IncludeScan& scan)
{
    FileWriteLineTo(number, "<a href=\"Includes.htm\"> Return To Include List</a><br>");
    FileWriteLineTo(number, "<a href=\"Includes\\" + scan.sourceName + "\"> View Source</a><br>");
    FileWriteLineTo(number, "<a href=\"main.htm\"> Main Menu</a><br>");
    FileWriteLineTo(number, "<a href=\"index.htm\"> Index</a><br>");
    FileWriteLineTo(number, "<a href=\"glossary.htm\"> Glossary</a><br>");
}

// The template's tail: at least one line is copied, so a template that
// ended inside its head gives one empty line here.
void CopyRest(int from, int to)
{
    do {
        FileWriteLineTo(to, FileReadLineFrom(from));
    } while (!FileAtEnd(from));
}

void WriteIncludePageHead(const IncludeScan& scan)
{
    for (;;) {
        std::string line = FileReadLineFrom(2);
        FileWriteLineTo(3, line);
        if (IsMarkerLine(line) || FileAtEnd(2)) break;
    }
    FileWriteLineTo(3, "<FONT COLOR=\"Yellow\">");
    FileWriteLineTo(3, "<center>" + scan.headingName + " <BR></center>");
    FileWriteLineTo(3, "<FONT COLOR=\"White\">");
    FileWriteLineTo(3, "<A HREF=\"#functions\">View Functions</A><BR>");
}

void AddFunction(IncludeFunction& function, const IncludeScan& scan, IncludeScanner& scanner)
{
    if (scanner.functionCount == 1) {
        FileWriteLineTo(3, "<A NAME=\"functions\"></A>");
        FileWriteLineTo(3, "<FONT COLOR=\"Yellow\">");
        FileWriteLineTo(3, "<center>Included  COMMANDS  Are <BR></center>");
        FileWriteLineTo(3, "<FONT COLOR=\"White\">");
    }
    FileWriteLineTo(3, "<a href=\"" + function.pagePath + "\"> " + function.declaration + "</a><br>");
    if (WriteFunctionPage(function, scan, scanner) == Rewrite::Failed) return;
    if (AddKeywordLine(function.fileKeyword) == Rewrite::Failed) return;
    // A link to a page that cannot exist would lead nowhere, or out of the
    // help folder; the keyword stays.
    if (!FunctionGetsPage(function)) return;
    AddContextEntry(function.indexKeyword, function.pagePath);
    AddIndexEntry(function.indexKeyword, function.pagePath);
}

// The include page, with a function page and the links for each function
// on the way: 1 when it was written.
int WriteIncludePage(const IncludeScan& scan, IncludeScanner& scanner)
{
    const std::string& helpFolder = State.helpFolder;
    if (!FileOpenRead(2, helpFolder + "Includes\\vosks.htm")) return 0;
    int written = 0;
    if (RewriteBegin(3, helpFolder + "Includes\\" + scan.pageName, helpFolder) == Rewrite::Done) {
        WriteIncludePageHead(scan);
        do {
            ScanItem item = NextScanItem(scanner);
            if (item.kind == ScanItemKind::LeadIn) FileWriteLineTo(3, item.line + "<BR>");
            if (item.kind == ScanItemKind::Function) AddFunction(item.function, scan, scanner);
        } while (!Stopped() && !ScanFinished(scanner));
        FileWriteLineTo(3, "<BR><BR><BR>");
        WriteFooterLinks(3, scan);
        CopyRest(2, 3);
        // The include page takes its place only after everything it links to.
        if (!Stopped()) written = RewriteCommit(3) == Rewrite::Done ? 1 : 0;
        FileClose(3);
    }
    FileClose(2);
    return written;
}

// The run once it holds the help folder's lock: 1 when the include page
// was written.
int RunAddInclude(const std::string& sourcePath)
{
    const std::string& helpFolder = State.helpFolder;
    const std::string listPage = helpFolder + "Includes.htm";
    if (PathSize(listPage) < 0 || PreparationUnfinished()) PrepareIncludeFolder();
    if (Stopped() || PathSize(listPage) <= 0) return 0;

    IncludeScan scan = IncludeScanFromPath(sourcePath, helpFolder);
    IncludeScanner scanner;
    RewriteCopy(sourcePath, scan.copyPath, helpFolder);
    if (Stopped() || !FileOpenRead(scanner.fileNumber, scan.copyPath)) return 0;
    ReadDescriptionLine(scan, scanner);
    UpdateIncludeList(scan.pageName, scan.listText, scan.noInformation);
    const std::string pageTemplate = State.dataFolder + "Include2.htm";
    for (const char* copy : WorkingCopies)
        if (!Stopped()) RewriteCopy(pageTemplate, helpFolder + "Includes\\" + copy, helpFolder);
    int written = Stopped() ? 0 : WriteIncludePage(scan, scanner);
    FileClose(scanner.fileNumber);
    return written;
}

}  // namespace

int FunctionGetsPage(const IncludeFunction& function)
{
    // The name is used as a file name; one that names another folder would
    // put its page outside Includes.
    return !TextSearch(function.name, "..", 1) && PathNameAllowed(function.name + ".htm") &&
           !IsWorkingCopy(function.name + ".htm");
}

int AddIncludeCanWrite(const std::string& sourcePath)
{
    const std::string& helpFolder = State.helpFolder;
    const IncludeScan scan = IncludeScanFromPath(sourcePath, helpFolder);
    // The include page is open for writing while the run reads the working
    // copies and the source's copy: it may not take their place.
    if (IsWorkingCopy(scan.pageName) || SameName(scan.pageName, scan.sourceName)) {
        FileFailureNote(FileFailureKind::Reserved, helpFolder + "Includes\\" + scan.pageName);
        return 0;
    }
    if (!RewriteFolderWritable(helpFolder)) return 0;
    const std::string includes = helpFolder + "Includes\\";
    if (PathSize(includes) == -2 && !RewriteFolderWritable(includes)) return 0;
    std::vector<std::string> pages = {"index.htm", "Index.bak", "Includes.htm", "Includes.bak"};
    if (PathSize(helpFolder + "Includes.htm") < 0 || PreparationUnfinished())
        pages.insert(pages.end(), {"menu.htm", "menu.bak", "main.htm", "main.bak"});
    for (const std::string& page : pages)
        if (!RewritePlaceAllowed(helpFolder + page, helpFolder)) return 0;
    return KeywordsFileWritable();
}

Rewrite WriteFunctionPage(IncludeFunction& function, const IncludeScan& scan, IncludeScanner& scanner)
{
    const std::string& helpFolder = State.helpFolder;
    if (!FileOpenRead(4, helpFolder + "Includes\\vosk2.htm")) return Rewrite::Skipped;
    Rewrite begun = FunctionGetsPage(function) ? RewriteBegin(5, helpFolder + function.pagePath, helpFolder)
                                               : Rewrite::Skipped;
    if (begun != Rewrite::Done) {
        FileClose(4);
        return begun;
    }
    do {
        std::string line = FileReadLineFrom(4);
        if (IsMarkerLine(line)) {
            FileWriteLineTo(5, line);
            break;
        }
        if (BeginsWithMy(line)) break;
        FileWriteLineTo(5, line);
    } while (!FileAtEnd(4));
    FileWriteLineTo(5, "<FONT COLOR=\"Yellow\">");
    FileWriteLineTo(5, "<center>" + function.declaration + "<BR></center>");
    FileWriteLineTo(5, "<FONT COLOR=\"White\">");
    while (ReadCommentLine(function, scanner)) FileWriteLineTo(5, function.commentLines.back() + "<BR>");
    FileWriteLineTo(5, "<BR><BR><BR>");
    FileWriteLineTo(5,
                    "<a href=\"Includes\\" + scan.pageName + "\"> Return To " + scan.pageName + "</a><br>");
    WriteFooterLinks(5, scan);
    CopyRest(4, 5);
    Rewrite written = RewriteCommit(5);
    FileClose(4);
    return written;
}

int AddInclude(const std::string& sourcePath)
{
    const std::string& helpFolder = State.helpFolder;
    FileFailureClear();
    // Nothing to change, and no lock to take, where there is no help folder.
    if (PathSize(helpFolder) != -2 || !FolderLockTake(helpFolder)) return 0;
    if (!AddIncludeCanWrite(sourcePath)) {
        FolderLockRelease();
        return 0;
    }
    RemoveLeftovers();
    RewriteRemoveLeftovers(helpFolder + "Includes\\");
    int written = RunAddInclude(sourcePath);
    FolderLockRelease();
    return written;
}
