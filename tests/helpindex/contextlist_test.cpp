#include "helpindex/contextlist.h"

#include "fixture.h"

namespace {

struct LinkCase {
    std::string line;
    std::string keyword;
    std::string page;
};

TEST(ContextListBuild, LinkLinesGiveEntriesByTheWorkedExamples)
{
#ifdef _WIN32
    GTEST_SKIP() << "the examples name drive C:, which a test must not take over on Windows";
#endif
    // The help folder of the examples is C:\H\, so drive C: is the temp folder here.
    TestFolder drive('C');
    ProgramStateClear();
    ScriptReset();
    State.helpFolder = "C:\\H\\";
    const std::vector<LinkCase> cases = {
        {"<a href=\"commands/print.htm\">Print</a><BR>", "PRINT", "C:\\H\\commands\\print.htm"},
        {"<a href=\"My%20File.htm#top\">Go To</a>", "GO TO", "C:\\H\\My File.htm#top"},
        {"<a href=\"x.htm\" target=\"main\">Sync</a>", "TARGET=\"MAIN\">SYNC", "C:\\H\\x.htm"},
        {"<a href=\"x.htm\">Sync", "", "C:\\H\\x.htm"},
        {"<a href='x.htm'>Sync</a>", "", ""},
        {"<a href=", "", ""},
        {"<a href=\"t.htm\"> tab\xe9 </a>", " TAB\xc9 ", "C:\\H\\t.htm"},
        {"<a href=\"dup.htm\">Sync</a>", "SYNC", "C:\\H\\dup.htm"},
    };
    // Lines that merely hold a link give no entry.
    std::string page = "<html><body>\r\n<A HREF=\"a.htm\">A</a>\r\n <a href=\"b.htm\">B</a>\r\n";
    for (const auto& c : cases) page += c.line + "\r\n<p><a href=\"c.htm\">C</a>\r\n";
    page += "</body></html>\r\n";
    drive.Write("H\\index.htm", page);

    BuildContextList();

    ASSERT_EQ(State.contextList.count, static_cast<int>(cases.size()));
    auto* element = State.contextList.first;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        EXPECT_EQ(element->record.keyword, c.keyword);
        EXPECT_EQ(element->record.page, c.page);
        element = element->next;
    }
    EXPECT_TRUE(TheScript().messages.empty());
}

TEST_F(HelpFolderTest, EveryKindOfLineEndEndsALinkLine)
{
    folder.Write("index.htm",
                 "<a href=\"a.htm\">A</a>\r"
                 "<a href=\"b.htm\">B</a>\n"
                 "<a href=\"c.htm\">C</a>\r\n"
                 "<a href=\"d.htm\">D</a>");
    BuildContextList();
    EXPECT_EQ(Keywords(), (std::vector<std::string>{"A", "B", "C", "D"}));
    EXPECT_EQ(State.contextList.last->record.page, "T:\\d.htm");
}

TEST_F(HelpFolderTest, IndexEncodingIsTheVoteOfItsLinesWhateverTheirEnds)
{
    struct Case {
        std::vector<std::string> lines;
        int utf8;
    };
    const Case cases[] = {
        {{"<meta charset=\"utf-8\">", "<a href=\"a.htm\">A</a>"}, 1},
        {{"<html>", "<a href=\"a.htm\">caf\xC3\xA9</a>"}, 1},
        {{"caf\xC3\xA9", "th\xE9"}, 0},
        {{"<meta charset=utf-8>", "caf\xE9"}, 0},
        // Of each line only its first "harset" is looked at.
        {{"xharset <meta charset=utf-8>"}, 0},
        {{"<meta Charset=UTF8> xharset"}, 1},
        {{"charset is a word", "utf-8 too"}, 0},
        {{"plain"}, 0},
    };
    const std::string ends[] = {"\r\n", "\r", "\n", std::string(1, '\0')};
    for (const Case& c : cases) {
        for (const std::string& end : ends) {
            std::string page;
            for (const std::string& line : c.lines) page += line + end;
            folder.Write("index.htm", page);
            BuildContextList();
            EXPECT_EQ(State.indexUtf8, c.utf8) << c.lines[0] << " / end " << static_cast<int>(end.back());
        }
    }
}

TEST_F(HelpFolderTest, LinkLinesAroundTheFirstReadsEnd)
{
    for (size_t filler : {65533u, 65534u, 65535u, 65536u, 131070u}) {
        SCOPED_TRACE(filler);
        folder.Write("index.htm", std::string(filler, 'x') + "\r\n<a href=\"a/b%20c.htm\">Ab</a>\r\n" +
                                      "<a href=\"d.htm\">D</a>");
        BuildContextList();
        ASSERT_EQ(State.contextList.count, 2);
        EXPECT_EQ(State.contextList.first->record.keyword, "AB");
        EXPECT_EQ(State.contextList.first->record.spelling, "Ab");
        EXPECT_EQ(State.contextList.first->record.page, "T:\\a\\b c.htm");
        EXPECT_EQ(State.contextList.last->record.spelling, "");
        EXPECT_EQ(State.contextList.last->record.page, "T:\\d.htm");
    }
}

TEST_F(HelpFolderTest, MissingIndexPageLeavesTheListEmptyAndSaysSo)
{
    AddEntry("OLD", "T:\\old.htm");  // a rebuild starts from nothing
    BuildContextList();
    EXPECT_EQ(State.contextList.count, 0);
    EXPECT_EQ(State.contextList.first, nullptr);
    ASSERT_EQ(TheScript().messages.size(), 1u);
    EXPECT_EQ(TheScript().messages[0].title, "Vosk's Help Browser");
    EXPECT_EQ(TheScript().messages[0].text, "Unable to create context list");
    EXPECT_EQ(TheScript().messages[0].flags, 0);
}

TEST(PagePathFromAddress, DecodesOnlySpacesHashesAndSlashes)
{
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"file:///C:/Program%20Files/Help/index.htm#P", "C:\\Program Files\\Help\\index.htm#P"},
        {"file:///C:/a%2fb.htm", "C:\\a%2fb.htm"},
        {"********commands/print.htm", "commands\\print.htm"},
        {"file:///", ""},
        {"file://", ""},
        {"", ""},
        {"file:///C:/a%20", "C:\\a "},
        {"file:///C:/a%2", "C:\\a%2"},
        {"file:///C:/a%23b%2520", "C:\\a#b%2520"},
        {"http://www.example.com/x", "ww.example.com\\x"},
    };
    for (const auto& [address, path] : cases) EXPECT_EQ(PagePathFromAddress(address), path) << address;
}

TEST(LinkLine, TheTextCutThatIndexMaintenanceUses)
{
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"<a href=\"print.htm\">Print</a><BR>", "PRINT"},
        {"<a href=\"x.htm\">Sync", "SYNC"},  // no "<": up to the line end
        {"<a href='x.htm'>Sync</a>", ""},
        {"<a href=\"x.htm\">", ""},
        {"<a href=", ""},
        {"<a href=\"x.htm\" target=\"m\">S</a>", "TARGET=\"M\">S"},
    };
    for (const auto& [line, text] : cases) EXPECT_EQ(LinkLineText(line), text) << line;
}

}  // namespace
