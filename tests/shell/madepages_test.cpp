#include "runtime/browser.h"
#include "shell/mainwindow.h"
#include "state/texts.h"

#include "shell_fixture.h"

namespace {

// The words are asked for with the search field's text offered; the page
// made goes where Kelpra keeps its files and is shown as any page is.
TEST_F(ShellTest, SearchPagesAndCheckShowTheirPage)
{
    struct Case {
        const char* name;
        int menuId;
        const char* answer;   // nullptr: no requester
        const char* file;     // the page made; nullptr: none
        const char* content;  // a text the page holds
    };
    const Case cases[] = {
        {"search", MenuSearchPages, "glossary", "prog\\kelpra-search.htm", "help/glossary.htm"},
        {"search finds nothing", MenuSearchPages, "qqq", "prog\\kelpra-search.htm", SearchNothingText},
        {"search cancelled", MenuSearchPages, "", nullptr, nullptr},
        {"check", MenuCheckFolder, nullptr, "prog\\kelpra-check.htm", CheckReportTitle},
    };
    for (const Case& c : cases) {
        ScriptReset();
        std::filesystem::remove(t.Host("prog\\kelpra-search.htm"));
        TheScript().clipboard = "zzz";
        if (c.answer) TheScript().requesterAnswers.push_back(c.answer);
        Run({Menu(c.menuId), Idle()});
        const Script& s = TheScript();
        if (c.answer) {
            ASSERT_EQ(s.requests.size(), 1u) << c.name;
            EXPECT_EQ(s.requests[0].kind, "text");
            EXPECT_EQ(s.requests[0].title, SearchPagesTitle);
            EXPECT_EQ(s.requests[0].filterList, SearchPagesPrompt);
            EXPECT_EQ(s.requests[0].defaultFile, "zzz");
        }
        EXPECT_TRUE(s.messages.empty()) << c.name;
        if (!c.file) {
            EXPECT_FALSE(t.Exists("prog\\kelpra-search.htm")) << c.name;
            EXPECT_EQ(s.statusText, "T:\\help\\Menu.htm") << c.name;
            continue;
        }
        EXPECT_NE(t.Read(c.file).find(c.content), std::string::npos) << c.name;
        EXPECT_EQ(s.statusText, t.Win(c.file)) << c.name;
        EXPECT_EQ(s.busy, (std::vector<int>{1, 0})) << c.name;
    }
}

// A result leads to its page the ordinary way: its display copy is shown
// and the status bar names the page; Back returns to the results.
TEST_F(ShellTest, SearchResultLeadsToThePage)
{
    TheScript().requesterAnswers.push_back("main");
    const std::string result = BrowserAddressFromPath("T:\\help\\main.htm", "");
    Run({Menu(MenuSearchPages), Idle(), Click(result), Idle(), Control(BackButton), Idle()});
    const Script& s = TheScript();
    // The search says how far it got while it reads the pages.
    const std::string reading = std::string(WorkSearchText) + "0" + WorkOfText + "5" + WorkPagesText;
    const std::vector<std::string> expected = {"T:\\help\\Menu.htm", reading,
                                               "T:\\help\\Menu.htm", "T:\\prog\\kelpra-search.htm",
                                               "T:\\help\\main.htm", "T:\\prog\\kelpra-search.htm"};
    std::vector<std::string> shown;
    for (const std::string& status : s.statusHistory)
        if (shown.empty() || shown.back() != status) shown.push_back(status);
    EXPECT_EQ(shown, expected);
    EXPECT_TRUE(t.Exists("help\\vosks.html"));
}

// A folder stands where the page made should go: said, and nothing shown.
TEST_F(ShellTest, MadePageThatCannotBeWritten)
{
    struct Case {
        int menuId;
        const char* file;
    };
    for (const Case& c : {Case{MenuSearchPages, "prog\\kelpra-search.htm"},
                          Case{MenuCheckFolder, "prog\\kelpra-check.htm"}}) {
        ScriptReset();
        t.Write(std::string(c.file) + "\\inside.txt", "");
        TheScript().requesterAnswers.push_back("main");
        Run({Menu(c.menuId), Idle()});
        const Script& s = TheScript();
        ASSERT_EQ(s.messages.size(), 1u) << c.file;
        EXPECT_EQ(s.messages[0].flags, MessageError);
        EXPECT_EQ(s.messages[0].text, MadePageUnwritableText + t.Win(c.file));
        EXPECT_EQ(s.statusText, "T:\\help\\Menu.htm") << c.file;
    }
}

}  // namespace
