#include "shell/mainwindow.h"
#include "shell/watcher.h"

#include "shell_fixture.h"

namespace {

// A page reached through Open, then idle events, then Edit Page: what the
// browser ends on, what the status bar says, what the editor is given.
TEST_F(ShellTest, WatcherFollowsTheBrowser)
{
    const std::string own = CrLf({"<a href=\"x.htm\">a page of its own</a>"});
    struct Case {
        const char* name;
        const char* page;
        const char* file;     // a page of ours that must stay as it is
        const char* address;  // where the browser ends
        const char* status;   // "" when the watcher leaves it alone
        const char* edited;   // what Edit Page hands the editor
        size_t navigations;   // Open's and the watcher's
    };
    const std::vector<Case> cases = {
        {"ordinary", "T:\\help\\commands\\print.htm", "", "file:///T:/help/commands/vosks.html",
         "T:\\help\\commands\\print.htm", "T:\\help\\commands\\print.htm", 2},
        {"anchor", "T:\\help\\index.htm#A", "", "file:///T:/help/index.htm#A", "T:\\help\\index.htm#A",
         "T:\\help\\index.htm", 1},
        {"spaces", "T:\\my help\\page one.htm", "my help\\page one.htm", "file:///T:/my%20help/vosks.html",
         "T:\\my help\\page one.htm", "T:\\my help\\page one.htm", 2},
        // Its own name is the copy's name, so it is never copied or named;
        // nothing has been copied yet, so Edit Page has no page to give.
        {"vosks.html", "T:\\pages\\vosks.html", "pages\\vosks.html", "file:///T:/pages/vosks.html", "", "",
         1},
        // The copy's name in capitals, alone in its folder: on a file system
        // that ignores case its copy would be the page itself. It is shown as
        // itself, and going to its own address again must not start a loop.
        {"VOSKS.HTML", "T:\\caps\\VOSKS.HTML", "caps\\VOSKS.HTML", "file:///T:/caps/VOSKS.HTML",
         "T:\\caps\\VOSKS.HTML", "T:\\caps\\VOSKS.HTML", 2},
    };
    for (const Case& c : cases) {
        ScriptReset();
        if (*c.file) t.Write(c.file, own);
        TheScript().requesterAnswers.push_back(c.page);
        t.Write("prog\\Kelpra.ini", Ini("HTML=T:\\tools\\edit.exe\r\n"));
        Run({Menu(MenuOpen), Idle(), Idle(), Idle(), Menu(MenuEditPage), Idle()});
        const Script& s = TheScript();
        EXPECT_EQ(Address(), c.address) << c.name;
        EXPECT_EQ(s.navigations.size(), c.navigations) << c.name;
        std::vector<std::string> status = {"T:\\help\\Menu.htm"};
        if (*c.status) status.push_back(c.status);
        EXPECT_EQ(s.statusHistory, status) << c.name;
        if (*c.file) {
            EXPECT_EQ(t.Read(c.file), own) << c.name;
        }
        ASSERT_EQ(s.runs.size(), 1u) << c.name;
        EXPECT_EQ(s.runs[0].program, "T:\\tools\\edit.exe");
        EXPECT_EQ(s.runs[0].parameters, c.edited) << c.name;
        EXPECT_EQ(s.runs[0].workingFolder, PathFolderPart(c.edited)) << c.name;
    }
}

// An address ending in d, b, a in any case goes to the source viewer, and
// the browser steps back to the page before it.
TEST_F(ShellTest, WatcherHandsSourcesToTheViewer)
{
    for (const char* source : {"T:\\src\\game.dba", "T:\\src\\GAME.DBA", "T:\\src\\My Game.Dba",
                               "T:\\src\\samba", "T:\\src\\xdBa"}) {
        ScriptReset();
        t.Write("prog\\Kelpra.ini", Ini("DBA=T:\\tools\\view.exe\r\n"));
        TheScript().requesterAnswers.push_back(source);
        Run({Menu(MenuOpen), Idle(), Idle(), Idle()});
        const Script& s = TheScript();
        const bool dba = TextToUpper(TextTail(source, 3)) == "DBA";
        ASSERT_EQ(s.runs.size(), dba ? 1u : 0u) << source;
        if (!dba) continue;
        EXPECT_EQ(s.runs[0].program, "T:\\tools\\view.exe");
        EXPECT_EQ(s.runs[0].parameters, source);
        EXPECT_EQ(s.runs[0].workingFolder, "T:\\src\\");
        EXPECT_EQ(s.browserStates, std::vector<int>{1});
        // The page stepped back to is seen as a change and copied.
        EXPECT_EQ(s.statusText, "T:\\help\\Menu.htm");
        EXPECT_EQ(Address(), "file:///T:/help/vosks.html");
        EXPECT_EQ(s.navigations.size(), 2u);
    }
}

// While the address stays the same, nothing is written, drawn or started.
TEST_F(ShellTest, WatcherDoesNothingWhileTheAddressStays)
{
    Run(std::vector<ScriptedEvent>(50, Idle()));
    const Script& s = TheScript();
    EXPECT_EQ(s.eventsHandedOut, 51);
    EXPECT_TRUE(s.navigations.empty());
    EXPECT_EQ(s.statusHistory.size(), 1u);
    EXPECT_TRUE(s.runs.empty());
    EXPECT_FALSE(t.Exists("help\\vosks.html"));
}

// Edit Page on a display copy reaches the page it stands for, even after
// a page with an anchor was shown in between.
TEST_F(ShellTest, EditPageOnACopyEditsTheCopiedPage)
{
    TheScript().requesterAnswers = {"T:\\help\\glossary.htm", "T:\\help\\index.htm#A",
                                    "T:\\help\\vosks.html"};
    Run({Menu(MenuOpen), Menu(MenuEditPage), Menu(MenuOpen), Menu(MenuOpen), Menu(MenuEditPage)});
    const Script& s = TheScript();
    ASSERT_EQ(s.runs.size(), 2u);
    EXPECT_EQ(State.currentPage, "T:\\help\\vosks.html");
    for (const RecordedRun& run : s.runs) {
        EXPECT_EQ(run.program, "NotePad.exe");
        EXPECT_EQ(run.parameters, "T:\\help\\glossary.htm");
        EXPECT_EQ(run.workingFolder, "T:\\help\\");
    }
}

}  // namespace
