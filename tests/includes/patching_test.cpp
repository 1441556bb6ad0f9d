#include "includes/patching.h"

#include "fixture.h"

namespace {

const std::string Entry = "<a href=\"Includes\\my.htm\">  tools</a><br>";
const std::vector<std::string> Footer = {"<a href=\"main.htm\"> Main Menu</a><br>",
                                         "<a href=\"index.htm\"> Index</a><br>",
                                         "<a href=\"glossary.htm\"> Glossary</a><br>"};

std::vector<std::string> Join(std::vector<std::string> a, const std::vector<std::string>& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

TEST_F(IncludeTest, IncludeListGetsOneEntryPerInclude)
{
    const struct {
        const char* what;
        std::vector<std::string> page;
        std::vector<std::string> expected;
    } cases[] = {
        {"first use: heading, entry and footer at the second marker",
         {"<p>", "<BR>", "text", "<br>", "</p>"},
         Join(Join({"<p>", "<BR>", "text", "My Include Files:<BR>", Entry, "<br>"}, Footer), {"</p>"})},
        {"later include: directly below the heading",
         {"<BR>", "My Include Files:<BR>", "<a href=\"Includes\\old.htm\"> old</a><br>", "<BR>"},
         {"<BR>", "My Include Files:<BR>", Entry, "<a href=\"Includes\\old.htm\"> old</a><br>", "<BR>"}},
        {"listed already: replaced in its place, any case",
         {"<BR>", "My Include Files:<BR>", "<A HREF=\"includes\\MY.HTM\"> stale</a><br>", "x", "<BR>"},
         {"<BR>", "My Include Files:<BR>", Entry, "x", "<BR>"}},
        {"listed above the first marker: left alone, nothing added",
         {"<a href=\"Includes\\my.htm\"> top</a><br>", "<BR>", "My Include Files:<BR>", "<BR>"},
         {"<a href=\"Includes\\my.htm\"> top</a><br>", "<BR>", "My Include Files:<BR>", "<BR>"}},
        {"one marker, no heading: unchanged",
         {"<html>", "<br>", "list", "</html>"},
         {"<html>", "<br>", "list", "</html>"}},
        {"markers need the exact text",
         {" <BR>", "<BR >", "<BR>", "a", "<bR>"},
         Join(Join({" <BR>", "<BR >", "<BR>", "a", "My Include Files:<BR>", Entry, "<bR>"}, Footer), {})},
    };
    for (const auto& c : cases) {
        folder.Write("help\\Includes.htm", CrLf(c.page));
        UpdateIncludeList("my.htm", " tools", 0);
        EXPECT_EQ(Lines("help\\Includes.htm"), c.expected) << c.what;
        EXPECT_EQ(Lines("help\\Includes.bak"), c.page) << c.what;
    }
}

TEST_F(IncludeTest, IncludeWithoutDescriptionIsListedAsNoInformation)
{
    folder.Write("help\\Includes.htm", CrLf({"<BR>", "My Include Files:<BR>"}));
    UpdateIncludeList("m.htm", "ignored", 1);
    EXPECT_EQ(Lines("help\\Includes.htm"),
              (std::vector<std::string>{"<BR>", "My Include Files:<BR>",
                                        "<a href=\"Includes\\m.htm\"> No Information </a><br>"}));
}

TEST_F(IncludeTest, KeywordsFileGainsAKeywordOnlyOnce)
{
    const struct {
        std::string before;
        std::vector<std::string> after;
    } cases[] = {
        {CrLf({"PRINT", "CLS"}), {"PRINT", "CLS", "INIT()"}},
        {CrLf({"print", "init()"}), {"print", "init()"}},
        {"PRINT\nCLS", {"PRINT", "CLS", "INIT()"}},
        {"", {"", "INIT()"}},
    };
    for (const auto& c : cases) {
        folder.Write("db\\keywords.txt", c.before);
        AddKeywordLine("INIT()");
        EXPECT_EQ(Lines("db\\keywords.txt"), c.after) << c.before;
        EXPECT_EQ(folder.Read("db\\keywords.bak"), c.before);
    }
}

TEST_F(IncludeTest, ContextEntryIsPlacedInOrderOrUpdated)
{
    const struct {
        std::vector<std::string> keywords;
        std::string keyword;
        std::vector<std::string> after;
        int updated;  // index of the entry whose page changed, -1 when one was inserted
    } cases[] = {
        {{}, "INIT", {"INIT"}, -1},
        {{"ABS", "PRINT"}, "INIT", {"ABS", "INIT", "PRINT"}, -1},
        {{"PRINT"}, "ABS", {"ABS", "PRINT"}, -1},
        {{"ABS"}, "ZOOM", {"ABS", "ZOOM"}, -1},
        {{"ABS", "INIT", "PRINT"}, "INIT", {"ABS", "INIT", "PRINT"}, 1},
        {{"ABS", "init"}, "INIT", {"ABS", "init", "INIT"}, -1},
    };
    for (const auto& c : cases) {
        ListCreate(State.contextList);
        for (const auto& keyword : c.keywords)
            ListInsert(State.contextList)->record = ContextEntry{keyword, "old", ""};
        AddContextEntry(c.keyword, "Includes\\Init.htm");
        std::vector<std::string> keywords;
        std::vector<std::string> pages;
        for (auto* element = State.contextList.first; element; element = element->next) {
            keywords.push_back(element->record.keyword);
            pages.push_back(element->record.page);
        }
        EXPECT_EQ(keywords, c.after) << c.keyword;
        EXPECT_EQ(static_cast<int>(keywords.size()), State.contextList.count);
        int changed = 0;
        for (size_t i = 0; i < pages.size(); ++i) {
            if (pages[i] == "old") continue;
            changed += 1;
            EXPECT_EQ(pages[i], folder.Win("help\\Includes\\Init.htm"));
            if (c.updated >= 0) {
                EXPECT_EQ(static_cast<int>(i), c.updated);
            }
        }
        EXPECT_EQ(changed, 1);
    }
}

std::string Link(const std::string& text)
{
    return "<a href=\"c\\" + text + ".htm\">" + text + "</a><BR>";
}

std::string Mine(const std::string& keyword)
{
    return "<a href=\"Includes\\f.htm\">" + keyword + "</a><BR>";
}

TEST_F(IncludeTest, IndexLinkLineGoesBeforeTheFirstGreaterText)
{
    const struct {
        const char* what;
        std::string keyword;
        std::vector<std::string> page;
        std::vector<std::string> expected;
    } cases[] = {
        {"in order",
         "INIT",
         {"I<BR>", Link("ABS"), Link("PRINT")},
         {"I<BR>", Link("ABS"), Mine("INIT"), Link("PRINT")}},
        {"all texts before it: a plain copy",
         "ZOOM",
         {Link("ABS"), Link("PRINT")},
         {Link("ABS"), Link("PRINT")}},
        {"linked already",
         "PRINT",
         {Link("ABS"), Link("print"), Link("ZED")},
         {Link("ABS"), Link("print"), Link("ZED")}},
        {"unordered page: the first greater text wins",
         "INIT",
         {Link("ZED"), Link("INIT"), Link("ABS")},
         {Mine("INIT"), Link("ZED"), Link("INIT"), Link("ABS")}},
        {"link lines are case-sensitive",
         "B",
         {"<A HREF=\"c.htm\">C</A>", " <a href=\"c.htm\">C</a>"},
         {"<A HREF=\"c.htm\">C</A>", " <a href=\"c.htm\">C</a>"}},
        {"one letter replaces its heading",
         "X",
         {"Index", "xylophone", "X<BR>", Link("XOR")},
         {"Index", "xylophone", Mine("X"), Link("XOR")}},
        {"a greater link before the heading wins",
         "X",
         {Link("Y"), "X<BR>"},
         {Mine("X"), Link("Y"), "X<BR>"}},
        {"IN and DA lines are no headings",
         "I",
         {"Index of commands", "in short", "I<BR>"},
         {"Index of commands", "in short", Mine("I")}},
        {"DA lines", "D", {"Dark Basic", "DATA<BR>", "D<BR>"}, {"Dark Basic", "DATA<BR>", Mine("D")}},
    };
    for (const auto& c : cases) {
        folder.Write("help\\index.htm", CrLf(c.page));
        folder.Write("help\\Index.bak", "old backup");
        AddIndexEntry(c.keyword, "Includes\\f.htm");
        EXPECT_EQ(Lines("help\\index.htm"), c.expected) << c.what;
        EXPECT_EQ(Lines("help\\Index.bak"), c.page) << c.what;
    }
    EXPECT_EQ(TheScript().pauses, std::vector<int>(3 * std::size(cases), 20));
}

// Names that differ only in case are one file to the program but two to
// this host; the index step must still end with the names it means.
TEST_F(IncludeTest, IndexStepEndsWithIndexHtmAndIndexBak)
{
    const struct {
        const char* indexName;
        const char* backupBytes;  // nullptr: no backup yet
        const char* backupAfter;
    } cases[] = {
        {"index.htm", nullptr, "old"}, {"Index.htm", nullptr, "old"}, {"index.htm", "", ""},
        {"Index.htm", "", ""},         {"index.htm", "older", "old"}, {"INDEX.HTM", "older", "old"},
    };
    for (const auto& c : cases) {
        TestFolder help('H');
        State.helpFolder = help.Win();
        help.Write(c.indexName, CrLf({"old"}));
        if (c.backupBytes) help.Write("Index.bak", c.backupBytes);
        AddIndexEntry("ABS", "Includes\\f.htm");
        std::set<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(help.Host()))
            names.insert(entry.path().filename().string());
        EXPECT_EQ(names, (std::set<std::string>{"index.htm", "Index.bak"})) << c.indexName;
        EXPECT_EQ(help.Read("index.htm"), CrLf({"old"}));
        EXPECT_EQ(help.Read("Index.bak"),
                  c.backupAfter == std::string("old") ? CrLf({"old"}) : c.backupAfter);
    }
}

TEST_F(IncludeTest, PreparationLinksMenuAndMainAndMakesTheFolder)
{
    folder.Write("help\\menu.htm", CrLf({"<A HREF=\"MAIN.HTM\">commands menu</A><BR>", "x",
                                         "<a href=\"main.htm\">Commands Menu</a><br> "}));
    folder.Write("help\\main.htm", CrLf({"1. a", "18. b", "180 c", "18", " 18. d", "18x"}));
    PrepareIncludeFolder();
    EXPECT_EQ(folder.Read("help\\Includes.htm"), folder.Read("prog\\Includes.htm"));
    EXPECT_EQ(Lines("help\\menu.htm"),
              (std::vector<std::string>{"<A HREF=\"MAIN.HTM\">commands menu</A><BR>", "<br>",
                                        "<a href=\"Includes.htm\">My Include Files</a><br>", "x",
                                        "<a href=\"main.htm\">Commands Menu</a><br> "}));
    const std::string link = "19. <a href=\"Includes.htm\">My Include Files</a><br>";
    EXPECT_EQ(Lines("help\\main.htm"), (std::vector<std::string>{"1. a", "18. b", link, "180 c", link, "18",
                                                                 link, " 18. d", "18x", link}));
    EXPECT_EQ(Lines("help\\menu.bak")[0], "<A HREF=\"MAIN.HTM\">commands menu</A><BR>");
    EXPECT_EQ(PathSize(folder.Win("help\\Includes")), -2);
    EXPECT_TRUE(TheScript().messages.empty());
}

}  // namespace
