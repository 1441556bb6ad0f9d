#include "pages/check.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "state/state.h"
#include "support/lines.h"
#include "support/testfolder.h"

namespace {

namespace fs = std::filesystem;

std::string Page(const std::string& body, const std::string& head = "")
{
    return CrLf({"<html><head>" + head + "<title>t</title></head><body>", body, "</body></html>"});
}

class Check : public ::testing::Test {
protected:
    void SetUp() override
    {
        State.helpFolder = folder.Win("help\\");
        State.keywordsFile = folder.Win("keywords.txt");
    }

    // The findings as kelpra-cli prints them.
    std::vector<std::string> Lines(const CheckReport& report) const
    {
        std::vector<std::string> lines;
        for (const Finding& finding : report.findings)
            lines.push_back(std::string(FindingKindName(finding.kind)) + "\t" + finding.page + "\t" +
                            finding.target);
        return lines;
    }

    TestFolder folder;
};

TEST_F(Check, EveryKindOfFaultIsFoundOnce)
{
    folder.Write(
        "help\\menu.htm",
        Page(
            "<a href=\"main.htm\">Main</a> <a href=\"index.htm\">Index</a> <a href=\"glossary.htm\">G</a>\r\n"
            "<a href=\"Includes.htm\">My Include Files</a> <a href=\"missing-from-menu.htm\">x</a>\r\n"
            "<img src=\"images/logo.gif\"><img src=\"images/gone.gif\"><img src=\"images/gone.gif\">\r\n"
            "<a href=\"http://example.com/x.htm\">web</a> <a href=\"mailto:me@example.com\">mail</a>\r\n"
            "<a href=\"#top\">top</a> <a href=\"javascript:void(0)\">js</a> <a href=\"\">self</a>"));
    folder.Write("help\\images\\logo.gif", "GIF89a");
    folder.Write("help\\main.htm",
                 Page("<a href=\"commands\\print.htm\">PRINT</a> <a href=\"Commands/CLS.HTM\">CLS</a>\r\n"
                      "<a href=\"commands/close%20file.htm\">CLOSE FILE</a>"));
    folder.Write("help\\index.htm",
                 CrLf({"<html><head>",
                       "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=windows-1252\">",
                       "</head><body>", "P<BR>", "<a href=\"commands\\print.htm\">PRINT</a><BR>",
                       "<a href=\"commands\\gone.htm\">GONE</a><BR>", "<a href=\"index.htm#P\">P</a><BR>",
                       "<a href=\"caf\xe9.htm\">CAFE</a><BR>", "<a href=\"Includes\\Init.htm\">INIT</a><BR>",
                       "<p><a href=\"nothere.htm\">not a link line</a></p>", "</body></html>"}));
    folder.Write("help\\caf\xc3\xa9.htm", Page("caf\xc3\xa9"));
    folder.Write("help\\glossary.htm", Page("<a href=\"menu.htm\">back</a>"));
    folder.Write("help\\commands\\print.htm",
                 Page("<a href=\"index.htm\">Index</a> <a href=\"commands\\cls.htm\">CLS</a>\r\n"
                      "<a href=\"commands\\nothere.htm\">x</a>",
                      "<base href=\"../\">"));
    folder.Write("help\\commands\\cls.htm",
                 Page("<a href=\"../index.htm\">Index</a> <a href=\"print.htm\">PRINT</a>"));
    folder.Write("help\\commands\\close file.htm", Page("<a href=\"./../menu.htm\">Menu</a>"));
    folder.Write("help\\commands\\orphan.htm", Page("<a href=\"print.htm\">PRINT</a>"));
    folder.Write("help\\orphans\\a.htm", Page("<a href=\"b.htm\">b</a>"));
    folder.Write("help\\orphans\\b.htm", Page("<a href=\"a.htm\">a</a>"));
    // An include as Add Include leaves it, working copies and all.
    folder.Write("help\\Includes.htm", Page("<a href=\"Includes\\myinc.htm\"> my include</a><br>"));
    folder.Write("help\\Includes\\myinc.htm", Page("<a href=\"Includes\\Init.htm\"> Init()</a><br>\r\n"
                                                   "<a href=\"Includes\\myinc.dba\"> View Source</a><br>",
                                                   "<base href=\"../\">"));
    folder.Write("help\\Includes\\Init.htm",
                 Page("<a href=\"Includes.htm\">list</a>", "<base href=\"../\">"));
    folder.Write("help\\Includes\\myinc.dba", "function Init()\r\n");
    folder.Write("help\\Includes\\vosks.htm", Page("", "<base href=\"../\">"));
    folder.Write("help\\Includes\\vosk2.htm", Page("", "<base href=\"../\">"));
    // A display copy beside pages is where it belongs; one in a folder
    // without pages is left over.
    folder.Write("help\\commands\\vosks.html", Page("<a href=\"T:\\help\\gone-from-copy.htm\">x</a>"));
    folder.Write("help\\stale\\vosks.html", Page(""));
    folder.Write("keywords.txt", CrLf({"PRINT", "", "  print  ", "INIT()", "NOTINDEXED", "CAFE"}));
#ifndef _WIN32
    ASSERT_EQ(mkfifo(folder.Host("help/pipe.htm").c_str(), 0600), 0);
#endif

    CheckReport report = CheckHelpFolder();
    EXPECT_EQ(report.folderRead, 1);
    EXPECT_EQ(report.pages, 14);
    EXPECT_EQ(Lines(report), (std::vector<std::string>{
                                 "index-target-missing\tindex.htm\tcommands\\gone.htm",
                                 "link-target-missing\tcommands\\print.htm\tcommands\\nothere.htm",
                                 "link-target-missing\tindex.htm\tnothere.htm",
                                 "link-target-missing\tmenu.htm\tmissing-from-menu.htm",
                                 "image-missing\tmenu.htm\timages/gone.gif",
                                 "unreachable-page\tcommands\\orphan.htm\t",
                                 "unreachable-page\torphans\\a.htm\t",
                                 "unreachable-page\torphans\\b.htm\t",
                                 "keyword-not-in-index\t" + folder.Win("keywords.txt") + "\tNOTINDEXED",
                                 "leftover-copy\tstale\\vosks.html\t",
                             }));
    EXPECT_EQ(CheckSummary(report), "Checked 14 pages: 9 findings; 1 note.");

    const std::string page = CheckReportPage(report);
    for (char c : page) ASSERT_LT(static_cast<unsigned char>(c), 0x80) << "bytes beyond ASCII in the page";
    EXPECT_NE(page.find("<a href=\"file:///T:/help/orphans/a.htm\">orphans\\a.htm</a>"), std::string::npos)
        << page;
    EXPECT_NE(page.find("Images that are missing"), std::string::npos);
    EXPECT_EQ(page.find("Files the check starts from"), std::string::npos);
    EXPECT_NE(page.find("Checked 14 pages: 9 findings; 1 note."), std::string::npos);
}

// A keywords-file line without an index entry is only a note: a folder with
// nothing else has nothing to put right, and the summary counts them apart.
TEST_F(Check, KeywordsWithoutAnEntryAreNotesThatDoNotFail)
{
    const Finding note = {FindingKind::KeywordNotInIndex, "keywords.txt", "IF"};
    const Finding broken = {FindingKind::LinkTargetMissing, "menu.htm", "gone.htm"};
    struct Case {
        std::vector<Finding> findings;
        int toPutRight;
        const char* summary;
    };
    const Case cases[] = {
        {{}, 0, "Checked 3 pages: nothing to put right."},
        {{note}, 0, "Checked 3 pages: nothing to put right; 1 note."},
        {{note, note}, 0, "Checked 3 pages: nothing to put right; 2 notes."},
        {{broken, note}, 1, "Checked 3 pages: 1 finding; 1 note."},
        {{broken, broken, note, note, note}, 2, "Checked 3 pages: 2 findings; 3 notes."},
        {{broken, broken}, 2, "Checked 3 pages: 2 findings."},
    };
    for (const Case& c : cases) {
        CheckReport report;
        report.folderRead = 1;
        report.pages = 3;
        report.findings = c.findings;
        EXPECT_EQ(FindingsToPutRight(report), c.toPutRight) << c.summary;
        EXPECT_EQ(CheckSummary(report), c.summary);
    }
}

// The check follows a link exactly where the browser and the display copy
// take it, and matches keywords as the search does.
TEST_F(Check, LinksAndKeywordsAreTakenAsKelpraTakesThem)
{
    folder.Write("help\\menu.htm", Page("<a href=\"main.htm\">m</a> <a href=\"sub\\page.htm\">p</a>"));
    folder.Write("help\\main.htm", Page(""));
    folder.Write("help\\sub\\x y.htm", Page(""));
    folder.Write("help\\top.htm", Page(""));
    const char* const forms[] = {
        "x%20y.htm",
        "x y.htm",
        "./x y.htm",
        "../sub/x y.htm",
        "/help/sub/x y.htm",
        "\\help\\sub\\x y.htm",
        "T:/help/sub/x%20y.htm",
        "file:///T:/help/sub/x%20y.htm",
        "file://T:\\help\\sub\\x y.htm",
        "file:///help/sub/x%20y.htm",
        "x%20y.htm?q=1#a",
        // Another machine, in either form, is not for the check to look at.
        "\\\\server\\share\\x.htm",
        "file://server/share/x.htm",
    };
    std::string body;
    for (const char* form : forms) body += "<a href=\"" + std::string(form) + "\">f</a> ";
    // A link line is written relative to the help folder (the display copy
    // puts it there); an icon or a canonical address is not followed.
    body +=
        "\r\n<a href=\"top.htm\">top</a>\r\n<link rel=\"icon\" href=\"gone.ico\">"
        "<link rel=\"canonical\" href=\"file:///usr/share/doc/gone.htm\">"
        "<link rel=\"stylesheet\" href=\"gone.css\">";
    folder.Write("help\\sub\\page.htm", Page(body));
    // Accented keywords in either encoding on either side.
    const std::pair<std::string, std::string> keywords[] = {
        {"caf\xC3\xA9", "caf\xE9"},
        {"caf\xE9", "CAF\xC3\x89"},
        {"caf\xC3\xA9", "Caf\xC3\xA9()"},
        {"CAF\xC9", "caf\xE9"},
    };
    for (const auto& [indexed, listed] : keywords) {
        folder.Write("help\\index.htm", CrLf({"<html><body>", "<a href=\"main.htm\">" + indexed + "</a><BR>",
                                              "</body></html>"}));
        folder.Write("keywords.txt", CrLf({listed}));
        std::vector<std::string> lines;
        for (const std::string& line : Lines(CheckHelpFolder()))
            if (line.rfind("unreachable", 0) != 0) lines.push_back(line);
        EXPECT_EQ(lines, (std::vector<std::string>{"link-target-missing\tsub\\page.htm\tgone.css"}))
            << indexed << " " << listed;
    }
}

// Targets that only name folders and a file are taken as they stand; any
// with steps to fold, escapes or doubled separators are resolved. Each
// leads to its page, which is then reached: none of them is unreachable.
TEST_F(Check, PlainTargetsAndTargetsToResolveLeadAlike)
{
    folder.Write("help\\menu.htm", Page("<a href=\"main.htm\">m</a> <a href=\"sub\\page.htm\">p</a>"));
    folder.Write("help\\main.htm", Page(""));
    folder.Write("help\\index.htm", Page(""));
    folder.Write("keywords.txt", "");
    // Each target and the page it leads to; none for the folder and for the
    // targets that are missing.
    const std::pair<const char*, const char*> targets[] = {
        {"a.htm", "sub\\a.htm"},
        {"B.HTM", "sub\\b.htm"},
        {"deeper/c.htm", "sub\\deeper\\c.htm"},
        {"deeper\\d.htm", "sub\\deeper\\d.htm"},
        {"deeper//e.htm", "sub\\deeper\\e.htm"},
        {"deeper/./f.htm", "sub\\deeper\\f.htm"},
        {"./g.htm", "sub\\g.htm"},
        {"deeper/../h.htm", "sub\\h.htm"},
        {"../i.htm", "i.htm"},
        {"../sub/deeper/j.htm", "sub\\deeper\\j.htm"},
        {"k.htm#here", "sub\\k.htm"},
        {"%6C.htm", "sub\\l.htm"},
        {"deeper/", nullptr},
        {"gone.htm", nullptr},
        {"deeper/gone.htm", nullptr},
        {"gone/a.htm", nullptr},
        {"deeper/c.htm/x.htm", nullptr},
        {"deeper/../gone.htm", nullptr},
        {"../a.htm", nullptr},
    };
    folder.MakeFolder("help\\sub\\deeper");
    std::string body;
    std::vector<std::string> wanted;
    for (const auto& [target, page] : targets) {
        body += " <a href=\"" + std::string(target) + "\">t</a>";
        if (page) folder.Write("help\\" + std::string(page), Page(""));
        else if (std::string(target) != "deeper/")
            wanted.push_back("link-target-missing\tsub\\page.htm\t" + std::string(target));
    }
    folder.Write("help\\sub\\page.htm", Page(body));
    std::sort(wanted.begin(), wanted.end());
    std::vector<std::string> lines = Lines(CheckHelpFolder());
    std::sort(lines.begin(), lines.end());
    EXPECT_EQ(lines, wanted);
}

// The index's link lines and the keywords file's lines end as any file's
// lines do: CR LF, or CR, LF or NUL alone, or the end of the file.
TEST_F(Check, IndexAndKeywordLinesEndAsFileLinesDo)
{
    folder.Write("help\\menu.htm", Page(""));
    folder.Write("help\\main.htm", Page(""));
    folder.Write("help\\print.htm", Page(""));
    const std::string print = "<a href=\"print.htm\">PRINT</a><BR>";
    const std::string cls = "<a href=\"print.htm\">CLS</a><BR>";
    struct Case {
        std::string index;
        std::string keywords;
        std::vector<std::string> notIndexed;
    };
    const Case cases[] = {
        {print + "\r\n" + cls + "\r\n", "PRINT\r\nCLS\r\nNONE\r\n", {"NONE"}},
        {print + "\r" + cls, "PRINT\rNONE\nCLS\n\nOTHER", {"NONE", "OTHER"}},
        {print + "\n" + cls + std::string(1, '\0'), std::string("CLS\0NONE\r\r\nPRINT", 16), {"NONE"}},
        {print, "PRINT\r\nCLS", {"CLS"}},
        {"", "PRINT", {"PRINT"}},
        {print + "\r\n" + cls, "", {}},
    };
    for (const Case& c : cases) {
        folder.Write("help\\index.htm", c.index);
        folder.Write("keywords.txt", c.keywords);
        std::vector<std::string> notes;
        for (const Finding& finding : CheckHelpFolder().findings)
            if (finding.kind == FindingKind::KeywordNotInIndex) notes.push_back(finding.target);
        EXPECT_EQ(notes, c.notIndexed) << c.keywords;
    }
}

TEST_F(Check, MissingStartFilesAndAMissingFolderAreSaid)
{
    folder.Write("help\\page.htm", Page("<a href=\"page.htm\">me</a>"));
    CheckReport report = CheckHelpFolder();
    EXPECT_EQ(Lines(report), (std::vector<std::string>{
                                 "unreachable-page\tpage.htm\t",
                                 "file-missing\tindex.htm\t",
                                 "file-missing\tmain.htm\t",
                                 "file-missing\tmenu.htm\t",
                                 "file-missing\t" + folder.Win("keywords.txt") + "\t",
                             }));
    folder.Write("help\\Menu.htm", Page("<a href=\"PAGE.HTM\">page</a>"));
    folder.Write("help\\Main.htm", Page(""));
    folder.Write("help\\INDEX.HTM", Page(""));
    folder.Write("keywords.txt", "");
    EXPECT_TRUE(CheckHelpFolder().findings.empty());
    EXPECT_EQ(CheckSummary(CheckHelpFolder()), "Checked 4 pages: nothing to put right.");

#ifndef _WIN32
    // Pipes where the keywords file and the index page should be are
    // missing files, not something to wait on.
    fs::remove(folder.Host("keywords.txt"));
    fs::remove(folder.Host("help/INDEX.HTM"));
    ASSERT_EQ(mkfifo(folder.Host("keywords.txt").c_str(), 0600), 0);
    ASSERT_EQ(mkfifo(folder.Host("help/index.htm").c_str(), 0600), 0);
    EXPECT_EQ(Lines(CheckHelpFolder()),
              (std::vector<std::string>{"file-missing\tindex.htm\t",
                                        "file-missing\t" + folder.Win("keywords.txt") + "\t"}));
#endif

    State.helpFolder = folder.Win("nowhere\\");
    report = CheckHelpFolder();
    EXPECT_EQ(report.folderRead, 0);
    EXPECT_TRUE(report.findings.empty());
    EXPECT_EQ(CheckSummary(report), "The help folder cannot be read: " + folder.Win("nowhere\\"));
}

}  // namespace
