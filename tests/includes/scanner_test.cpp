#include "includes/scanner.h"

#include "fixture.h"
#include "runtime/text.h"

namespace {

TEST(IncludeScanner, DeclarationLinesAreBoundToColumnOne)
{
    const struct {
        const char* line;
        int expected;
    } cases[] = {
        {"FUNCTION Init()", 1}, {"function init()", 1},
        {"Function x", 1},      {"FUNCTION", 1},
        {"FUNCTIONAL", 1},      {" FUNCTION x()", 0},
        {"\tFUNCTION x()", 0},  {"ENDFUNCTION", 0},
        {"FUNCTIO", 0},         {"", 0},
    };
    for (const auto& c : cases) EXPECT_EQ(IsDeclarationLine(c.line), c.expected) << c.line;
}

TEST(IncludeScanner, DeclarationIsCutIntoNameAndKeywords)
{
    const struct {
        const char* line;
        const char* declaration;
        const char* name;
        int noParameters;
        const char* fileKeyword;
        const char* indexKeyword;
        const char* pagePath;
    } cases[] = {
        {"FUNCTION Init()", "Init()", "Init", 1, "INIT()", "INIT", "Includes\\Init.htm"},
        {"FUNCTION Clamp(v, lo, hi)", "Clamp(v, lo, hi)", "Clamp", 0, "CLAMP", "CLAMP",
         "Includes\\Clamp.htm"},
        {"FUNCTION  Two()", " Two()", " Two", 1, " TWO()", " TWO", "Includes\\ Two.htm"},
        {"FUNCTION\tTab(a)", "Tab(a)", "Tab", 0, "TAB", "TAB", "Includes\\Tab.htm"},
        {"function NoBrackets", "NoBrackets", "", 0, "", "", "Includes\\.htm"},
        {"FUNCTION )x", ")x", "", 1, "()", "", "Includes\\.htm"},
        {"FUNCTION", "", "", 0, "", "", "Includes\\.htm"},
        {"FUNCTION f(", "f(", "f", 0, "F", "F", "Includes\\f.htm"},
    };
    for (const auto& c : cases) {
        IncludeFunction function = ParseDeclaration(c.line);
        EXPECT_EQ(function.declaration, c.declaration) << c.line;
        EXPECT_EQ(function.name, c.name) << c.line;
        EXPECT_EQ(function.noParameters, c.noParameters) << c.line;
        EXPECT_EQ(function.fileKeyword, c.fileKeyword) << c.line;
        EXPECT_EQ(function.indexKeyword, c.indexKeyword) << c.line;
        EXPECT_EQ(function.pagePath, c.pagePath) << c.line;
    }
}

TEST(IncludeScanner, NamesComeFromTheSourcePath)
{
    const struct {
        const char* sourcePath;
        const char* sourceName;
        const char* pageName;
        const char* headingName;
    } cases[] = {
        {"C:\\src\\myinclude.dba", "myinclude.dba", "myinclude.htm", "myinclude"},
        {"C:\\src\\myinclude", "myinclude", "myincludehtm", "myinclud"},
        {"C:\\src\\a.b.dba", "a.b.dba", "a.b.htm", "a.b"},
        {"C:\\dir.x\\readme", "readme", "readmehtm", "readm"},
        {"C:\\src\\x.dbapro", "x.dbapro", "x.htm", "x"},
    };
    for (const auto& c : cases) {
        IncludeScan scan = IncludeScanFromPath(c.sourcePath, "H:\\help\\");
        EXPECT_EQ(scan.sourceName, c.sourceName);
        EXPECT_EQ(scan.pageName, c.pageName);
        EXPECT_EQ(scan.headingName, c.headingName);
        EXPECT_EQ(scan.copyPath, std::string("H:\\help\\Includes\\") + c.sourceName);
    }
}

struct ScanCase {
    const char* what;
    std::string source;
    std::string descriptionLine;
    int noInformation;
    std::string listText;
    std::vector<std::string> items;  // "lead:", "fn:" name and comment lines, "ignored:"
};

// Drives the scanner the way the Add Include run does.
std::vector<std::string> Scan(const TestFolder& folder, const std::string& source, IncludeScan& scan)
{
    folder.Write("src.dba", source);
    EXPECT_TRUE(FileOpenRead(1, folder.Win("src.dba")));
    IncludeScanner scanner;
    ReadDescriptionLine(scan, scanner);
    std::vector<std::string> items;
    do {
        ScanItem item = NextScanItem(scanner);
        if (item.kind == ScanItemKind::LeadIn) items.push_back("lead:" + item.line);
        if (item.kind == ScanItemKind::Ignored) items.push_back("ignored:" + item.line);
        if (item.kind == ScanItemKind::Function) {
            while (ReadCommentLine(item.function, scanner)) {}
            std::string text = "fn:" + item.function.name;
            for (const auto& line : item.function.commentLines) text += "|" + line;
            items.push_back(text);
        }
    } while (!ScanFinished(scanner));
    FileClose(1);
    return items;
}

TEST(IncludeScanner, ScanYieldsLeadInLinesFunctionsAndIgnoredLines)
{
    const std::vector<ScanCase> cases = {
        {"worked example",
         "` Screen routines\r\nglobal v as integer\r\nfunction Init()\r\n` sets v to 0\r\nENDFUNCTION\r\n",
         "` Screen routines",
         0,
         " Screen routines",
         {"lead:global v as integer", "fn:Init|` sets v to 0", "ignored:ENDFUNCTION"}},
        {"declaration first",
         "\r\nx\r\nFUNCTION Init()\r\n  a = 1\r\nENDFUNCTION\r\n",
         "FUNCTION Init()",
         1,
         "",
         {"fn:Init", "ignored:  a = 1", "ignored:ENDFUNCTION"}},
        {"no declarations",
         "` tools\nrem one\n\nrem two\n",
         "` tools",
         0,
         " tools",
         {"lead:rem one", "lead:", "lead:rem two"}},
        {"empty source", "", "", 0, "", {"lead:"}},
        {"short lines only", "a\r\nbb\r\n\r\nc", "c", 0, "", {"lead:"}},
        {"description is the last line", "\r\n` only this\r\n", "` only this", 0, " only this", {"lead:"}},
        {"comment block then a declaration",
         "` d\r\nfunction A()\r\n` a1\r\n` a2\r\nfunction B(x)\r\n`b\r\n endfunction\r\n",
         "` d",
         0,
         " d",
         {"fn:A|` a1|` a2", "fn:B|`b", "ignored: endfunction"}},
        {"blank line ends a block",
         "` d\r\nfunction A()\r\n\r\n` not a comment of A\r\n",
         "` d",
         0,
         " d",
         {"fn:A", "ignored:", "ignored:` not a comment of A"}},
        // A declaration left held back when the source ends is still examined.
        {"declaration on the last line",
         "` d\r\nfunction A()\r\n` a\r\nfunction Last(x)",
         "` d",
         0,
         " d",
         {"fn:A|` a", "fn:Last", "ignored:"}},
        {"declaration on the last line, ended",
         "` d\r\nfunction A()\r\nfunction Last()\r\n",
         "` d",
         0,
         " d",
         {"fn:A", "fn:Last", "ignored:"}},
    };
    for (const auto& c : cases) {
        TestFolder folder;
        IncludeScan scan;
        std::vector<std::string> items = Scan(folder, c.source, scan);
        EXPECT_EQ(scan.descriptionLine, c.descriptionLine) << c.what;
        EXPECT_EQ(scan.noInformation, c.noInformation) << c.what;
        EXPECT_EQ(scan.listText, c.listText) << c.what;
        EXPECT_EQ(items, c.items) << c.what;
    }
}

}  // namespace
