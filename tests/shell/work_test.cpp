#include "runtime/handover.h"
#include "shell/mainwindow.h"
#include "shell/viewcommands.h"
#include "state/texts.h"

#include "shell_fixture.h"

namespace {

// An event that comes while long work runs, between two of its pages.
ScriptedEvent During(ScriptedEvent event)
{
    event.duringWork = true;
    return event;
}

// Long work gives the window its turns: the status bar says how far it got,
// Stop and the close box stop it without a page, and whatever else came
// meanwhile (a hand-over, a command) is done after it, in its order.
TEST_F(ShellTest, LongWorkKeepsTheWindowAnswering)
{
    struct Case {
        const char* name;
        int menuId;
        std::vector<ScriptedEvent> during;
        const char* made;    // the page made and shown; nullptr: none
        const char* status;  // the status bar at the end
        bool closed;         // the run ended before the events after the work
    };
    const Case cases[] = {
        {"check runs to its end",
         MenuCheckFolder,
         {},
         "prog\\kelpra-check.htm",
         "T:\\prog\\kelpra-check.htm",
         false},
        {"search runs to its end",
         MenuSearchPages,
         {},
         "prog\\kelpra-search.htm",
         "T:\\prog\\kelpra-search.htm",
         false},
        {"check stopped", MenuCheckFolder, {During(Menu(MenuStop))}, nullptr, "T:\\help\\Menu.htm", false},
        {"search stopped", MenuSearchPages, {During(Menu(MenuStop))}, nullptr, "T:\\help\\Menu.htm", false},
        {"hand-over held",
         MenuCheckFolder,
         {During({EventHandOver, 0, ""})},
         "prog\\kelpra-check.htm",
         "T:\\help\\commands\\print.htm",
         false},
        {"command held",
         MenuSearchPages,
         {During(Menu(MenuGlossary))},
         "prog\\kelpra-search.htm",
         "T:\\help\\glossary.htm",
         false},
        {"closed", MenuCheckFolder, {During({EventClose, 0, ""})}, nullptr, "T:\\help\\Menu.htm", true},
    };
    for (const Case& c : cases) {
        ScriptReset();
        for (const char* made : {"prog\\kelpra-check.htm", "prog\\kelpra-search.htm"})
            std::filesystem::remove(t.Host(made));
        TheScript().requesterAnswers.push_back("main");
        TheScript().handOversArriving.push_back("print");
        std::vector<ScriptedEvent> events = {Menu(c.menuId)};
        events.insert(events.end(), c.during.begin(), c.during.end());
        events.push_back(Menu(MenuIndex));
        Run(events);
        const Script& s = TheScript();
        const std::string what = c.menuId == MenuCheckFolder ? WorkCheckText : WorkSearchText;
        const std::string progress = what + "0" + WorkOfText + "5" + WorkPagesText;
        EXPECT_NE(std::find(s.statusHistory.begin(), s.statusHistory.end(), progress), s.statusHistory.end())
            << c.name;
        EXPECT_EQ(s.busy, (std::vector<int>{1, 0})) << c.name;
        EXPECT_TRUE(s.messages.empty()) << c.name;
        EXPECT_EQ(c.made != nullptr, c.made && t.Exists(c.made)) << c.name;
        EXPECT_TRUE(s.events.empty() != c.closed) << c.name;
        // The status bar before the last event, which shows the index.
        if (c.closed) {
            EXPECT_EQ(s.statusText, c.status) << c.name;
            continue;
        }
        ASSERT_GE(s.statusHistory.size(), 2u) << c.name;
        std::vector<std::string> shown;
        for (const std::string& status : s.statusHistory)
            if (shown.empty() || shown.back() != status) shown.push_back(status);
        ASSERT_GE(shown.size(), 2u) << c.name;
        EXPECT_EQ(shown[shown.size() - 2], c.status) << c.name;
        EXPECT_EQ(shown.back(), "T:\\help\\index.htm") << c.name;
    }
}

// A stopped search leaves nothing half done: the next one reads every page
// it has not read yet.
TEST_F(ShellTest, StoppedSearchIsFinishedByTheNext)
{
    TheScript().requesterAnswers = {"main", "main"};
    Run({Menu(MenuSearchPages), During(Menu(MenuStop)), Menu(MenuSearchPages), Idle()});
    EXPECT_NE(t.Read("prog\\kelpra-search.htm").find("help/main.htm"), std::string::npos);
    EXPECT_EQ(TheScript().statusText, "T:\\prog\\kelpra-search.htm");
}

}  // namespace
