#include "includes/include.h"

#include "fixture.h"
#include "runtime/text.h"

namespace {

std::vector<std::string> Without(std::vector<std::string> lines, const std::string& line)
{
    std::erase(lines, line);
    return lines;
}

TEST_F(IncludeTest, WorkedExampleComesOutByteForByte)
{
    folder.Write("src\\myinclude.dba", CrLf(WorkedSource));
    AddInclude(folder.Win("src\\myinclude.dba"));
    EXPECT_EQ(folder.Read("help\\Includes\\myinclude.htm"),
              CrLf(Framed({"<head>", "<BR>"}, WorkedIncludePage, {"<tail>"})));
    EXPECT_EQ(folder.Read("help\\Includes\\Init.htm"),
              CrLf(Framed({"<head>", "<BR>"}, WorkedFunctionPage, {"<tail>"})));
    EXPECT_TRUE(Contains(Lines("help\\Includes.htm"),
                         "<a href=\"Includes\\myinclude.htm\">  Screen routines</a><br>"));
    EXPECT_EQ(Lines("db\\keywords.txt"), (std::vector<std::string>{"PRINT", "CLS", "INIT()"}));
    std::vector<std::string> index = Index;
    index.insert(index.begin() + 6, "<a href=\"Includes\\Init.htm\">INIT</a><BR>");
    EXPECT_EQ(Lines("help\\index.htm"), index);
    EXPECT_TRUE(TheScript().messages.empty());
}

// After a run for functions A and B, every file of the help folder is in
// the state that the run leaves it in.
TEST_F(IncludeTest, RunLeavesEveryFileInItsState)
{
    const std::vector<std::string> source = {"` two of them", "function A(x)", "` a",
                                             "endfunction",   "function B()",  "endfunction"};
    folder.Write("src\\myinclude.dba", CrLf(source));
    const std::string listBefore = folder.Read("prog\\Includes.htm");
    AddInclude(folder.Win("src\\myinclude.dba"));

    const std::string linkA = "<a href=\"Includes\\A.htm\">A</a><BR>";
    const std::string linkB = "<a href=\"Includes\\B.htm\">B</a><BR>";
    std::vector<std::string> index = Index;
    index[2] = linkA;  // the one-letter names replace their letter headings
    index[4] = linkB;
    const std::map<std::string, std::string> expected = {
        {"Includes", "<folder>"},
        {"Includes.bak", listBefore},
        {"Includes.htm", folder.Read("help\\Includes.htm")},
        {"Includes/A.htm", folder.Read("help\\Includes\\A.htm")},
        {"Includes/B.htm", folder.Read("help\\Includes\\B.htm")},
        {"Includes/myinclude.dba", CrLf(source)},
        {"Includes/myinclude.htm", folder.Read("help\\Includes\\myinclude.htm")},
        {"Includes/vosk2.htm", CrLf(PageTemplate)},
        {"Includes/vosks.htm", CrLf(PageTemplate)},
        {"Index.bak", CrLf(Without(index, linkB).size() == index.size() ? index : [&] {
             std::vector<std::string> before = index;
             before[4] = "B<BR>";
             return before;
         }())},
        {"index.htm", CrLf(index)},
        {"main.bak", CrLf(Main)},
        {"main.htm", CrLf({Main[0], Main[1], Main[2],
                             "19. <a href=\"Includes.htm\">My Include Files</a><br>", Main[3]})},
        {"menu.bak", CrLf(Menu)},
        {"menu.htm", CrLf({Menu[0], Menu[1], "<br>", "<a href=\"Includes.htm\">My Include Files</a><br>",
                             Menu[2]})},
    };
    EXPECT_EQ(Snapshot("help"), expected);
    EXPECT_EQ(Lines("db\\keywords.txt"), (std::vector<std::string>{"PRINT", "CLS", "A", "B()"}));
    EXPECT_EQ(Lines("db\\keywords.bak"), (std::vector<std::string>{"PRINT", "CLS", "A"}));
    EXPECT_TRUE(
        Contains(Lines("help\\Includes\\myinclude.htm"), "<a href=\"Includes\\A.htm\"> A(x)</a><br>"));
    EXPECT_TRUE(Contains(Lines("help\\Includes\\B.htm"), "<center>B()<BR></center>"));

    ASSERT_EQ(State.contextList.count, 2);
    EXPECT_EQ(State.contextList.first->record.keyword, "A");
    EXPECT_EQ(State.contextList.first->record.page, folder.Win("help\\Includes\\A.htm"));
    EXPECT_EQ(State.contextList.last->record.keyword, "B");
    EXPECT_EQ(TheScript().pauses, std::vector<int>(6, 20));
}

TEST_F(IncludeTest, SecondRunRefreshesWithoutDoubling)
{
    folder.Write("src\\myinclude.dba", CrLf(WorkedSource));
    AddInclude(folder.Win("src\\myinclude.dba"));
    folder.Write("src\\other.dba", CrLf({"` other", "function Zap()"}));
    AddInclude(folder.Win("src\\other.dba"));
    std::vector<std::string> source = WorkedSource;
    source[0] = "` Screen routines, fresh";
    folder.Write("src\\myinclude.dba", CrLf(source));
    const std::string menu = folder.Read("help\\menu.htm");
    AddInclude(folder.Win("src\\myinclude.dba"));

    std::vector<std::string> list = Lines("help\\Includes.htm");
    const std::vector<std::string> expectedList = {
        "<html>",
        "<BR>",
        "your includes:",
        "My Include Files:<BR>",
        "<a href=\"Includes\\other.htm\">  other</a><br>",
        "<a href=\"Includes\\myinclude.htm\">  Screen routines, fresh</a><br>",
        "<br>",
        "<a href=\"main.htm\"> Main Menu</a><br>",
        "<a href=\"index.htm\"> Index</a><br>",
        "<a href=\"glossary.htm\"> Glossary</a><br>",
        "</html>"};
    EXPECT_EQ(list, expectedList);
    EXPECT_EQ(Lines("db\\keywords.txt"), (std::vector<std::string>{"PRINT", "CLS", "INIT()", "ZAP()"}));
    std::vector<std::string> index = Lines("help\\index.htm");
    EXPECT_EQ(std::count(index.begin(), index.end(), "<a href=\"Includes\\Init.htm\">INIT</a><BR>"), 1);
    EXPECT_EQ(folder.Read("help\\menu.htm"), menu);
    EXPECT_EQ(State.contextList.count, 2);
}

TEST_F(IncludeTest, MissingOrEmptyListTemplateIsReportedAndNothingChanges)
{
    for (const char* templateBytes : {static_cast<const char*>(nullptr), ""}) {
        ScriptReset();
        folder.Write("src\\myinclude.dba", CrLf(WorkedSource));
        if (templateBytes) {
            folder.Write("prog\\Includes.htm", templateBytes);
        } else {
            std::filesystem::remove(folder.Host("prog\\Includes.htm"));
        }
        const auto before = Snapshot("help");
        const auto keywords = folder.Read("db\\keywords.txt");
        AddInclude(folder.Win("src\\myinclude.dba"));
        ASSERT_EQ(TheScript().messages.size(), 1u);
        EXPECT_EQ(TheScript().messages[0].title, "Kelpra V3");
        EXPECT_EQ(TheScript().messages[0].text, "Unable to locate file> " + folder.Win("prog\\Includes.htm"));
        EXPECT_EQ(TheScript().messages[0].flags, 0x10);
        EXPECT_EQ(Snapshot("help"), before);
        EXPECT_EQ(folder.Read("db\\keywords.txt"), keywords);
    }
}

TEST_F(IncludeTest, EmptyIndexBakGivesWayToTheNewIndex)
{
    folder.Write("help\\Index.bak", "");
    folder.Write("src\\m.dba", CrLf({"` d", "function Init()"}));
    AddInclude(folder.Win("src\\m.dba"));
    std::set<std::string> names = Names("help");
    EXPECT_TRUE(names.count("index.htm") && names.count("Index.bak"));
    EXPECT_FALSE(names.count("index.new"));
    EXPECT_TRUE(Contains(Lines("help\\index.htm"), "<a href=\"Includes\\Init.htm\">INIT</a><BR>"));
    EXPECT_EQ(folder.Read("help\\Index.bak"), "");
}

TEST_F(IncludeTest, FunctionNamedLikeTheSourceLeavesTheIncludePageIntact)
{
    for (const char* name : {"myinclude", "MyInclude"}) {
        folder.Write("help\\index.htm", CrLf(Index));
        const std::string declaration = std::string("function ") + name + "()";
        folder.Write("src\\myinclude.dba", CrLf({"` d", "lead", declaration, "` c", "endfunction"}));
        AddInclude(folder.Win("src\\myinclude.dba"));
        std::vector<std::string> page = Lines("help\\Includes\\myinclude.htm");
        EXPECT_EQ(page.size(), 2u + 16u + 1u) << name;
        EXPECT_TRUE(
            Contains(page, std::string("<a href=\"Includes\\") + name + ".htm\"> " + name + "()</a><br>"));
        EXPECT_EQ(page.back(), "<tail>");
        EXPECT_TRUE(Contains(Lines("db\\keywords.txt"), "MYINCLUDE()"));
        EXPECT_TRUE(Contains(Lines("help\\index.htm"),
                             std::string("<a href=\"Includes\\") + name + ".htm\">MYINCLUDE</a><BR>"));
        EXPECT_EQ(Names("help\\Includes").count("MyInclude.htm"), 0u);
    }
}

TEST_F(IncludeTest, FunctionNamesThatLeaveTheFolderGetNoPage)
{
    const struct {
        const char* name;
        const char* outside;  // where its page would have gone
    } cases[] = {
        {"..\\evil", "help\\evil.htm"},          {"..\\..\\prog\\Include2", "prog\\Include2.htm"},
        {"sub/x", "help\\Includes\\sub\\x.htm"}, {"T:\\loose", "loose.htm"},
        {"a..b", "help\\Includes\\a..b.htm"},
    };
    for (const auto& c : cases) {
        const std::string templateBytes = folder.Read("prog\\Include2.htm");
        folder.Write("src\\m.dba",
                     CrLf({"` d", std::string("function ") + c.name + "(v)", "` c", "function Ok()"}));
        AddInclude(folder.Win("src\\m.dba"));
        EXPECT_TRUE(c.outside == std::string("prog\\Include2.htm") ? folder.Read(c.outside) == templateBytes
                                                                   : !folder.Exists(c.outside))
            << c.name;
        std::vector<std::string> page = Lines("help\\Includes\\m.htm");
        EXPECT_TRUE(Contains(
            page, std::string("<a href=\"Includes\\") + c.name + ".htm\"> " + c.name + "(v)</a><br>"))
            << c.name;
        EXPECT_TRUE(Contains(Lines("db\\keywords.txt"), TextToUpper(c.name)));
        EXPECT_TRUE(folder.Exists("help\\Includes\\Ok.htm"));
    }
}

TEST_F(IncludeTest, TemplateWithoutMarkerFramesBothPages)
{
    folder.Write("prog\\Include2.htm", CrLf({"<x>", "My head", "<y>"}));
    folder.Write("src\\m.dba", CrLf({"` d", "function F()", "` c"}));
    AddInclude(folder.Win("src\\m.dba"));
    std::vector<std::string> page = Lines("help\\Includes\\m.htm");
    EXPECT_EQ(std::vector<std::string>(page.begin(), page.begin() + 4),
              (std::vector<std::string>{"<x>", "My head", "<y>", "<FONT COLOR=\"Yellow\">"}));
    EXPECT_EQ(page.back(), "");
    std::vector<std::string> function = Lines("help\\Includes\\F.htm");
    EXPECT_EQ(function.front(), "<x>");
    EXPECT_EQ(function[1], "<FONT COLOR=\"Yellow\">");
    EXPECT_EQ(function[4], "` c<BR>");
    EXPECT_EQ(function.back(), "<y>");
}

TEST_F(IncludeTest, ListPageWithoutIncludesFolderEndsTheRunQuietly)
{
    folder.Write("help\\Includes.htm", CrLf(ListTemplate));
    folder.Write("src\\m.dba", CrLf({"` d", "function F()"}));
    const auto before = Snapshot("help");
    AddInclude(folder.Win("src\\m.dba"));
    EXPECT_EQ(Snapshot("help"), before);
    EXPECT_TRUE(TheScript().messages.empty());
}

}  // namespace
