#include <algorithm>

#include "runtime/hostfile.h"
#include "runtime/rewrite.h"
#include "shell/loop.h"
#include "shell/mainwindow.h"
#include "state/settings.h"
#include "state/texts.h"

#include "shell_fixture.h"

namespace {

// Enter (menu 0) and Go (control 5) search with the question on; the quiet
// search at start never asks.
TEST_F(ShellTest, SearchesFromTheLoop)
{
    struct Case {
        const char* name;
        const char* text;
        std::vector<ScriptedEvent> events;
        int answer;
        const char* address;  // where the browser ends
        const char* status;
        size_t questions;
        std::vector<int> busy;
    };
    const std::vector<Case> cases = {
        {"enter finds",
         "print",
         {Menu(MenuIndex), Menu(MenuSearch)},
         0,
         "file:///T:/help/commands/vosks.html",
         "T:\\help\\commands\\print.htm",
         0,
         {1, 0}},
        {"go finds",
         "Print",
         {Menu(MenuIndex), Control(GoButton)},
         0,
         "file:///T:/help/commands/vosks.html",
         "T:\\help\\commands\\print.htm",
         0,
         {1, 0}},
        {"enter answered no",
         "zzz",
         {Menu(MenuSearch)},
         AnswerNo,
         "file:///T:/help/vosks.html",
         "T:\\help\\Menu.htm",
         1,
         {1, 0}},
        {"go answered yes",
         "zzz",
         {Control(GoButton)},
         AnswerYes,
         "file:///T:/help/index.htm#Z",
         "T:\\help\\index.htm#Z",
         1,
         {1, 0}},
        {"start only", "zzz", {Idle()}, 0, "file:///T:/help/vosks.html", "T:\\help\\Menu.htm", 0, {}},
        {"other controls",
         "zzz",
         {Control(SearchField), Control(BrowserControl), Control(TopLine)},
         0,
         "file:///T:/help/vosks.html",
         "T:\\help\\Menu.htm",
         0,
         {}},
    };
    const std::string index = t.Read("help\\index.htm");
    for (const Case& c : cases) {
        ScriptReset();
        t.Write("help\\index.htm", index);
        TheScript().clipboard = c.text;
        if (c.answer) TheScript().messageAnswers.push_back(c.answer);
        Run(c.events);
        const Script& s = TheScript();
        EXPECT_EQ(Address(), c.address) << c.name;
        EXPECT_EQ(s.statusText, c.status) << c.name;
        EXPECT_EQ(s.busy, c.busy) << c.name;
        ASSERT_EQ(s.messages.size(), c.questions) << c.name;
        if (c.questions) {
            EXPECT_EQ(s.messages[0].title, "Kelpra V2");
            EXPECT_EQ(s.messages[0].text,
                      "No context found for\nkeyword=zzz\nDo you wish to insert a link to index=Z?");
            EXPECT_EQ(s.messages[0].flags, 0x24);
            EXPECT_EQ(t.Read("help\\index.htm").find("<A NAME=\"Z\"></A>") != std::string::npos,
                      c.answer == AnswerYes)
                << c.name;
        }
    }
}

TEST_F(ShellTest, SetupCommandsStoreTheirSetting)
{
    struct Case {
        int menuId;
        const char* answer;
        const char* kind;
        const char* title;
        const char* defaultFile;
        int filterIndex;
        const char* settings;  // the settings file afterwards
    };
    const std::vector<Case> cases = {
        {MenuHelpPath, "T:\\other\\", "folder", "Kelpra V2> Locate Help Path", "T:\\prog\\", 0,
         "[Setup]\r\nHelp=T:\\other\\\r\nkeywords=T:\\keywords.txt\r\n"},
        {MenuDbaViewer, "T:\\tools\\view.exe", "open", "Kelpra V2>Locate DBA viewer", "NotePad.exe", 2,
         "[Setup]\r\nHelp=T:\\help\\\r\nkeywords=T:\\keywords.txt\r\nDBA=T:\\tools\\view.exe\r\n"},
        {MenuHtmlViewer, "T:\\tools\\edit.exe", "open", "Kelpra V2>locate HTML Editor", "NotePad.exe", 2,
         "[Setup]\r\nHelp=T:\\help\\\r\nkeywords=T:\\keywords.txt\r\nHTML=T:\\tools\\edit.exe\r\n"},
        // Written under "Keywords", which names the same setting as "keywords".
        {MenuKeywords, "T:\\kw2.txt", "open", "Kelpra V2>locate keywords.txt", "T:\\keywords.txt", 0,
         "[Setup]\r\nHelp=T:\\help\\\r\nkeywords=T:\\kw2.txt\r\n"},
    };
    for (const Case& c : cases) {
        for (bool cancelled : {true, false}) {
            ScriptReset();
            t.Write("prog\\Kelpra.ini", Ini(""));
            TheScript().requesterAnswers.push_back(cancelled ? "" : c.answer);
            Run({Menu(c.menuId)});
            const Script& s = TheScript();
            ASSERT_EQ(s.requests.size(), 1u) << c.title;
            EXPECT_EQ(s.requests[0].kind, c.kind);
            EXPECT_EQ(s.requests[0].title, c.title);
            EXPECT_EQ(s.requests[0].defaultFile, c.defaultFile) << c.title;
            if (std::string(c.kind) == "open") {
                EXPECT_EQ(s.requests[0].filterList, FileFilter);
                EXPECT_EQ(s.requests[0].filterIndex, c.filterIndex) << c.title;
            }
            EXPECT_EQ(t.Read("prog\\Kelpra.ini"), cancelled ? Ini("") : c.settings)
                << c.title << (cancelled ? " cancelled" : "");
            EXPECT_EQ(State.requesterResult, cancelled ? "" : c.answer);
        }
    }
}

// The flag follows the check mark, and the file holds "0" or "1" each time.
TEST_F(ShellTest, CommandlineTogglesFlagCheckAndSetting)
{
    for (int times : {1, 2, 3}) {
        ScriptReset();
        t.Write("prog\\Kelpra.ini", Ini("UseCL=7\r\n"));
        Run(std::vector<ScriptedEvent>(static_cast<size_t>(times), Menu(MenuCommandline)));
        const int expected = times % 2 == 1 ? 0 : 1;
        EXPECT_EQ(State.commandLineFlag, expected) << times;
        EXPECT_EQ(MenuCheckGet(0, MenuCommandline), expected) << times;
        EXPECT_EQ(t.Read("prog\\Kelpra.ini"), Ini("UseCL=" + std::to_string(expected) + "\r\n"));
    }
}

// A new setting is used at once for the rest of the run.
TEST_F(ShellTest, NewSettingsTakeEffectAtOnce)
{
    t.Write("other\\main.htm", CrLf({"main"}));
    t.Write("kw2.txt", CrLf({"NEW"}));
    TheScript().requesterAnswers = {"T:\\tools\\view.exe", "T:\\help\\game.dba", "T:\\other\\",
                                    "T:\\kw2.txt"};
    // With no keywords file at start no backup of it could be made.
    std::filesystem::remove(t.Host("keywords.txt"));
    Run({Menu(MenuDbaViewer), Menu(MenuOpen), Menu(MenuHelpPath), Menu(MenuContents), Menu(MenuKeywords)});
    const Script& s = TheScript();
    ASSERT_EQ(s.runs.size(), 1u);
    EXPECT_EQ(s.runs[0].program, "T:\\tools\\view.exe");
    EXPECT_NE(std::find(s.navigations.begin(), s.navigations.end(), "T:\\other\\menu.htm"),
              s.navigations.end());
    EXPECT_EQ(t.Read("prog\\keywords.bak"), CrLf({"NEW"}));
}

// After Help Path the searches go to the new folder's pages, also for a word
// the old folder knew too.
TEST_F(ShellTest, HelpPathSearchesTheNewFolder)
{
    t.Write("other\\index.htm",
            CrLf({"<a href=\"other.htm\">Other</a><BR>", "<a href=\"p.htm\">Print</a><BR>"}));
    TheScript().clipboard = "other";
    TheScript().requesterAnswers = {"T:\\other\\"};
    Run({Control(GoButton), Menu(MenuHelpPath), Control(GoButton), Menu(MenuSearch)});
    const Script& s = TheScript();
    ASSERT_EQ(s.messages.size(), 1u);  // only the first search, in the old folder, asks
    EXPECT_EQ(std::count(s.navigations.begin(), s.navigations.end(), "T:\\other\\other.htm"), 2);
    EXPECT_EQ(State.contextList.count, 2);
    EXPECT_EQ(State.contextList.first->next->record.page, "T:\\other\\p.htm");
}

TEST_F(ShellTest, AddIncludeAsksBeforeChangingFiles)
{
    t.Write("prog\\Includes.htm", CrLf({"<html>", "<BR>", "</html>"}));
    t.Write("prog\\Include2.htm", CrLf({"<html>", "<BR>", "</html>"}));
    t.Write("src\\mylib.dba", CrLf({"` my library", "function Alpha(x)", "endfunction x"}));
    const std::string index = t.Read("help\\index.htm");
    Run({});
    const auto untouched = Snapshot();
    for (int answer : {AnswerNo, AnswerYes}) {
        ScriptReset();
        Script& s = TheScript();
        s.requesterAnswers.push_back("T:\\src\\mylib.dba");
        s.messageAnswers.push_back(answer);
        Run({Menu(MenuAddInclude)});
        ASSERT_EQ(s.requests.size(), 1u);
        EXPECT_EQ(s.requests[0].title, "Kelpra V2>locate #include file");
        EXPECT_EQ(s.requests[0].defaultFile, "T:\\help\\myinclude.dba");
        EXPECT_EQ(s.requests[0].filterIndex, 3);
        ASSERT_EQ(s.messages.size(), 1u);
        EXPECT_EQ(s.messages[0].title, "Kelpra V3");
        EXPECT_EQ(s.messages[0].text, "WARNING: This will modify many files. Proceede?");
        EXPECT_EQ(s.messages[0].flags, 0x24);
        const bool yes = answer == AnswerYes;
        EXPECT_EQ(s.busy, (yes ? std::vector<int>{1, 0} : std::vector<int>{}));
        if (!yes) {
            EXPECT_EQ(Snapshot(), untouched);
        }
        EXPECT_EQ(t.Exists("help\\Includes\\mylib.dba"), yes);
        EXPECT_EQ(t.Read("help\\index.htm") == index, !yes);
    }
}

// A command that could not write a file shows one message box: which file,
// why, and that its old version was kept; or, when another Kelpra is
// changing the help folder, that.
TEST_F(ShellTest, FailedWritesAreReportedInOneMessageBox)
{
    t.Write("prog\\Includes.htm", CrLf({"<html>", "<BR>", "<br>", "</html>"}));
    t.Write("prog\\Include2.htm", CrLf({"<html>", "<BR>", "</html>"}));
    t.Write("src\\mylib.dba", CrLf({"` my library", "function Alpha(x)"}));
    t.MakeFolder("help\\Includes\\Alpha.htm\\a folder where the page should be");
    Script& s = TheScript();
    s.requesterAnswers.push_back("T:\\src\\mylib.dba");
    s.messageAnswers.push_back(AnswerYes);
    Run({Menu(MenuAddInclude)});
    ASSERT_EQ(s.messages.size(), 2u);
    EXPECT_EQ(s.messages[1].title, "Kelpra V3");
    EXPECT_EQ(s.messages[1].flags, 0x10);
    const std::string text = s.messages[1].text;
    EXPECT_EQ(text,
              "Unable to write file> T:\\help\\Includes\\Alpha.htm\nIt is not a plain file.\n"
              "The old version of the file was kept.");
    EXPECT_TRUE(t.Exists("help\\Includes\\Alpha.htm\\a folder where the page should be"));

    ScriptReset();
    FolderLockSetWait(0);
    bool held = false, leftBehind = false;
    HostFile other = HostLockTake("T:\\help\\.kelpra-lock", held, leftBehind);
    ASSERT_NE(other, NoHostFile);
    const std::string index = t.Read("help\\index.htm");
    TheScript().messageAnswers.push_back(AnswerYes);
    TheScript().clipboard = "qqq";
    Run({Menu(MenuSearch)});
    HostLockRelease(other, "T:\\help\\.kelpra-lock");
    ASSERT_EQ(TheScript().messages.size(), 2u);
    EXPECT_EQ(TheScript().messages[1].title, "Kelpra V3");
    EXPECT_EQ(TheScript().messages[1].text, "another Kelpra is changing this help folder");
    EXPECT_EQ(TheScript().messages[1].flags, 0x10);
    EXPECT_EQ(t.Read("help\\index.htm"), index);
}

// Each navigating command sends the browser to its page; the watcher then
// shows the page's display copy and names the page in the status bar.
TEST_F(ShellTest, NavigatingCommands)
{
    struct Case {
        int menuId;
        const char* answer;
        const char* page;  // "" when nothing is navigated
        const char* copy;
    };
    const std::vector<Case> cases = {
        {MenuContents, "", "T:\\help\\menu.htm", "help\\vosks.html"},
        {MenuIndex, "", "T:\\help\\index.htm", "help\\vosks.html"},
        {MenuGlossary, "", "T:\\help\\glossary.htm", "help\\vosks.html"},
        {MenuHelpOnHelp, "", "T:\\prog\\HelpMain.htm", "prog\\vosks.html"},
        {MenuOpen, "T:\\help\\commands\\print.htm", "T:\\help\\commands\\print.htm",
         "help\\commands\\vosks.html"},
        {MenuOpen, "", "", ""},
    };
    for (const Case& c : cases) {
        ScriptReset();
        if (*c.answer) TheScript().requesterAnswers.push_back(c.answer);
        Run({Menu(c.menuId), Idle(), Idle()});
        const Script& s = TheScript();
        // The start page's copy comes first.
        if (!*c.page) {
            EXPECT_EQ(s.navigations.size(), 1u);
            EXPECT_EQ(Address(), "file:///T:/help/vosks.html");
            continue;
        }
        ASSERT_EQ(s.navigations.size(), 3u) << c.page;
        EXPECT_EQ(s.navigations[1], c.page);
        EXPECT_EQ(s.navigations[2], PathFolderPart(c.page) + "vosks.html");
        EXPECT_EQ(s.statusText, c.page);
        EXPECT_TRUE(t.Exists(c.copy)) << c.copy;
    }
    // Open proposes the current page, the web-files filter preselected.
    const RecordedRequest& open = TheScript().requests.at(0);
    EXPECT_EQ(open.title, "Kelpra V2");
    EXPECT_EQ(open.defaultFile, "T:\\help\\Menu.htm");
    EXPECT_EQ(open.filterIndex, 1);
}

// A display copy shares its page's history entry, so Back and Next are one
// step each.
TEST_F(ShellTest, BackAndNextStepOnceAndAboutShowsTheBuild)
{
    Run({Control(BackButton), Control(NextButton), Menu(MenuAbout), Menu(7), Menu(8)});
    const Script& s = TheScript();
    EXPECT_EQ(s.browserStates, (std::vector<int>{1, 2}));
    ASSERT_EQ(s.messages.size(), 1u);
    EXPECT_EQ(s.messages[0].title, "Kelpra V2");
    EXPECT_NE(s.messages[0].text.find("Tamsel's Dark Basic Helper V2"), std::string::npos);
    EXPECT_NE(s.messages[0].text.find("1152947269"), std::string::npos);
    EXPECT_EQ(s.messages[0].flags, 0);
}

// Close and the close box end the loop at once, with exit code 0, without a
// question and without saving anything.
TEST_F(ShellTest, CloseEndsTheLoop)
{
    const std::vector<std::vector<ScriptedEvent>> runs = {
        {Menu(MenuClose), Menu(MenuAbout)},
        {Idle(), {EventClose, 0, ""}, Menu(MenuAbout)},
    };
    for (const auto& events : runs) {
        ScriptReset();
        const std::string ini = t.Read("prog\\Kelpra.ini");
        EXPECT_EQ(Run(events), 0);
        const Script& s = TheScript();
        EXPECT_EQ(s.eventsHandedOut, static_cast<int>(events.size()) - 1);
        EXPECT_TRUE(s.messages.empty());
        EXPECT_TRUE(s.runtimeEnded);
        EXPECT_EQ(State.lastEvent, EventClose);
        EXPECT_EQ(t.Read("prog\\Kelpra.ini"), ini);
    }
}

}  // namespace

namespace {

// One damaged name of hundreds of kilobytes (a function name, a clipboard
// word, a link) makes a message of a readable length that still
// shows how the name begins and ends.
TEST_F(ShellTest, ALongNameMakesAShortMessage)
{
    const std::string longName = "Begin" + std::string(300000, 'n') + "End";
    // As long as the search field takes.
    const std::string longWord = "Begin" + std::string(ControlTextLimit - 8, 'n') + "End";
    const struct {
        const char* what;
        std::string clipboard;
        std::vector<ScriptedEvent> events;
        std::string begins, ends;  // the message, up to the name and from its end
    } cases[] = {
        {"a function name",
         "",
         {Menu(MenuAddInclude)},
         "Unable to write file> T:\\help\\Includes\\Begin",
         "End.htm\n"},
        {"a word not found",
         longWord,
         {Menu(MenuSearch)},
         "No context found for\nkeyword=Begin",
         "End\nDo you wish to insert a link to index=B?"},
        {"a link to another program",
         "",
         {Click("ms-its:" + longName), Idle()},
         "This link leads out of the help pages to\nms-its:Begin",
         "End\nOpen it with the program the desktop has for it?"},
    };
    t.Write("prog\\Includes.htm", CrLf({"<html>", "<BR>", "<br>", "</html>"}));
    t.Write("prog\\Include2.htm", CrLf({"<html>", "<BR>", "</html>"}));
    t.Write("src\\long.dba", CrLf({"` long", "function " + longName + "()"}));
    for (const auto& c : cases) {
        ScriptReset();
        Script& s = TheScript();
        s.clipboard = c.clipboard;
        s.requesterAnswers.push_back("T:\\src\\long.dba");
        s.messageAnswers = {AnswerYes, AnswerNo};
        Run(c.events);
        ASSERT_FALSE(s.messages.empty()) << c.what;
        const std::string& text = s.messages.back().text;
        EXPECT_LE(text.size(), 400u) << c.what;
        EXPECT_EQ(text.substr(0, c.begins.size()), c.begins) << c.what;
        EXPECT_NE(text.find("n" + c.ends), std::string::npos) << c.what << ": " << text.substr(0, 400);
    }
}

}  // namespace
