#include "includes/include.h"

#include "includes/patching.h"
#include "runtime/files.h"
#include "runtime/text.h"
#include "state/state.h"

namespace {

// A function name is used as a file name; one that names another folder
// would put its page outside Includes, so such a function gets no page.
int NameStaysInFolder(const std::string& name)
{
    return !TextSearch(name, "\\", 1) && !TextSearch(name, "/", 1) && !TextSearch(name, ":", 1) &&
           !TextSearch(name, "..", 1);
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
    WriteFunctionPage(function, scan, scanner);
    AddKeywordLine(function.fileKeyword);
    AddContextEntry(function.indexKeyword, function.pagePath);
    AddIndexEntry(function.indexKeyword, function.pagePath);
}

}  // namespace

void WriteFunctionPage(IncludeFunction& function, const IncludeScan& scan, IncludeScanner& scanner)
{
    const std::string& helpFolder = State.helpFolder;
    if (!FileOpenRead(4, helpFolder + "Includes\\vosk2.htm")) return;
    if (!NameStaysInFolder(function.name) || !FileCreate(5, helpFolder + function.pagePath)) {
        FileClose(4);
        return;
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
    FileClose(5);
    FileClose(4);
}

void AddInclude(const std::string& sourcePath)
{
    const std::string& helpFolder = State.helpFolder;
    const std::string listPage = helpFolder + "Includes.htm";
    if (PathSize(listPage) < 0) PrepareIncludeFolder();
    if (PathSize(listPage) <= 0) return;

    IncludeScan scan = IncludeScanFromPath(sourcePath, helpFolder);
    IncludeScanner scanner;
    FileDuplicate(sourcePath, scan.copyPath);
    if (!FileOpenRead(scanner.fileNumber, scan.copyPath)) return;
    ReadDescriptionLine(scan, scanner);
    UpdateIncludeList(scan.pageName, scan.listText, scan.noInformation);

    const std::string pageTemplate = State.dataFolder + "Include2.htm";
    FileDuplicate(pageTemplate, helpFolder + "Includes\\vosks.htm");
    FileDuplicate(pageTemplate, helpFolder + "Includes\\vosk2.htm");
    if (FileOpenRead(2, helpFolder + "Includes\\vosks.htm")) {
        if (FileCreate(3, helpFolder + "Includes\\" + scan.pageName)) {
            WriteIncludePageHead(scan);
            do {
                ScanItem item = NextScanItem(scanner);
                if (item.kind == ScanItemKind::LeadIn) FileWriteLineTo(3, item.line + "<BR>");
                if (item.kind == ScanItemKind::Function) AddFunction(item.function, scan, scanner);
            } while (!ScanFinished(scanner));
            FileWriteLineTo(3, "<BR><BR><BR>");
            WriteFooterLinks(3, scan);
            CopyRest(2, 3);
            FileClose(3);
        }
        FileClose(2);
    }
    FileClose(scanner.fileNumber);
}
