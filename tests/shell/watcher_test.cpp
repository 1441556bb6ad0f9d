#include "shell/mainwindow.h"
#include "shell/watcher.h"

#include <algorithm>

#ifndef _WIN32
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include "runtime/browser.h"
#include "runtime/hostpath.h"
#include "shell_fixture.h"

namespace {

std::string WithoutAnchorForTest(const std::string& page)
{
    return page.substr(0, page.find('#'));
}

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
        const char* edited;   // what Edit Page hands the editor; "" for nothing
        size_t navigations;   // the start page's copy, Open's and the watcher's
    };
    const std::vector<Case> cases = {
        {"ordinary", "T:\\help\\commands\\print.htm", "", "file:///T:/help/commands/vosks.html",
         "T:\\help\\commands\\print.htm", "T:\\help\\commands\\print.htm", 3},
        {"anchor", "T:\\help\\index.htm#A", "", "file:///T:/help/index.htm#A", "T:\\help\\index.htm#A",
         "T:\\help\\index.htm", 2},
        {"spaces", "T:\\my help\\page one.htm", "my help\\page one.htm", "file:///T:/my%20help/vosks.html",
         "T:\\my help\\page one.htm", "T:\\my help\\page one.htm", 3},
        // Its own name is the copy's name, so it is never copied or named;
        // no page is known to stand behind it, so nothing is edited: the
        // editor would otherwise get a copy, or another page.
        {"vosks.html", "T:\\pages\\vosks.html", "pages\\vosks.html", "file:///T:/pages/vosks.html", "", "",
         2},
        // The copy's name in capitals, alone in its folder: on a file system
        // that ignores case its copy would be the page itself. It is shown
        // and edited as itself.
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
        std::vector<std::string> status = {"T:\\help\\Menu.htm", "T:\\help\\Menu.htm"};
        if (*c.status) status.push_back(c.status);
        EXPECT_EQ(s.statusHistory, status) << c.name;
        if (*c.file) {
            EXPECT_EQ(t.Read(c.file), own) << c.name;
        }
        ASSERT_EQ(s.runs.size(), *c.edited ? 1u : 0u) << c.name;
        if (!*c.edited) continue;
        EXPECT_EQ(s.runs[0].program, "T:\\tools\\edit.exe");
        EXPECT_EQ(s.runs[0].parameters, c.edited) << c.name;
        EXPECT_EQ(s.runs[0].workingFolder, PathFolderPart(c.edited)) << c.name;
    }
}

// An address ending in d, b, a in any case goes to the source viewer and
// never becomes a page of the history: Next does not start the viewer again.
TEST_F(ShellTest, WatcherHandsSourcesToTheViewer)
{
    t.Write("help\\src.htm", CrLf({"sources"}));
    for (const char* source :
         {"T:\\src\\game.dba", "T:\\src\\GAME.DBA", "T:\\src\\My Game.Dba", "T:\\src\\samba",
          "T:\\src\\xdB"
          "a"}) {
        ScriptReset();
        t.Write("prog\\Kelpra.ini", Ini("DBA=T:\\tools\\view.exe\r\n"));
        TheScript().requesterAnswers.push_back("T:\\help\\src.htm");
        Run({Menu(MenuOpen), Click(source), Idle(), Control(NextButton), Control(NextButton), Idle(),
             Menu(MenuEditPage)});
        const Script& s = TheScript();
        const bool dba = TextToUpper(TextTail(source, 3)) == "DBA";
        ASSERT_EQ(s.runs.size(), dba ? 2u : 1u) << source;
        if (dba) {
            EXPECT_EQ(s.runs[0].program, "T:\\tools\\view.exe");
            EXPECT_EQ(s.runs[0].parameters, source);
            EXPECT_EQ(s.runs[0].workingFolder, "T:\\src\\");
            // The browser never left the page, which is still the one edited.
            EXPECT_EQ(Address(), "file:///T:/help/vosks.html") << source;
            EXPECT_EQ(s.statusText, "T:\\help\\src.htm");
            EXPECT_EQ(s.runs[1].parameters, "T:\\help\\src.htm");
            EXPECT_EQ(s.browser.entries.size(), 2u) << source;
        }
        EXPECT_EQ(s.runs.back().program, "NotePad.exe");
    }
}

// A viewer or editor that cannot be started gives way to the desktop's
// program for the file; when that fails too, the user is told which program
// failed and where to choose another. The settings stay as they are.
TEST_F(ShellTest, ProgramsThatCannotStartFallBackToTheDesktop)
{
    t.Write("help\\src.htm", CrLf({"sources"}));
    struct Case {
        int menuId;  // MenuEditPage, or 0 for a source link
        intptr_t started, desktop;
        const char* message;
    };
    const std::string viewerMessage =
        "Unable to start NotePad.exe\nfor T:\\src\\game.dba,\nand the desktop has no program for it "
        "either.\nChoose one with File > Setup > DBA Viewer.";
    const std::string editorMessage =
        "Unable to start NotePad.exe\nfor T:\\help\\src.htm,\nand the desktop has no program for it "
        "either.\nChoose one with File > Setup > HTML Viewer.";
    const Case cases[] = {
        {0, 1, 1, ""},
        {0, 0, 1, ""},
        {0, 0, 0, viewerMessage.c_str()},
        {MenuEditPage, 1, 0, ""},
        {MenuEditPage, 0, 1, ""},
        {MenuEditPage, 0, 0, editorMessage.c_str()},
    };
    for (const Case& c : cases) {
        ScriptReset();
        t.Write("prog\\Kelpra.ini", Ini(""));
        TheScript().programRunResult = c.started;
        TheScript().desktopOpenResult = c.desktop;
        TheScript().requesterAnswers.push_back("T:\\help\\src.htm");
        if (c.menuId) Run({Menu(MenuOpen), Idle(), Menu(c.menuId)});
        else Run({Menu(MenuOpen), Idle(), Click("T:\\src\\game.dba"), Idle()});
        const Script& s = TheScript();
        const std::string file = c.menuId ? "T:\\help\\src.htm" : "T:\\src\\game.dba";
        ASSERT_EQ(s.runs.size(), 1u);
        EXPECT_EQ(s.runs[0].parameters, file);
        EXPECT_EQ(s.desktopOpens, c.started ? std::vector<std::string>{} : std::vector<std::string>{file});
        ASSERT_EQ(s.messages.size(), *c.message ? 1u : 0u) << c.message;
        if (*c.message) {
            EXPECT_EQ(s.messages[0].text, c.message);
            EXPECT_EQ(s.messages[0].flags, MessageError);
        }
        EXPECT_EQ(t.Read("prog\\Kelpra.ini"), Ini(""));
    }
}

// A link of another scheme than the web's is handed to the desktop only
// when the user says Yes; web links and pages ask nothing.
TEST_F(ShellTest, OutsideLinksAreHandedOnOnlyWhenTheUserSaysSo)
{
    for (int answer : {AnswerYes, AnswerNo}) {
        ScriptReset();
        TheScript().messageAnswers.push_back(answer);
        Run({Click("ms-its:help.chm::/x.htm"), Idle(), Click("https://example.org/"), Idle(),
             Click("mailto:me@example.org"), Idle()});
        const Script& s = TheScript();
        ASSERT_EQ(s.messages.size(), 1u);
        EXPECT_EQ(
            s.messages[0].text,
            "This link leads out of the help pages to\nms-its:help.chm::/x.htm\nOpen it with the program "
            "the desktop has for it?");
        EXPECT_EQ(s.messages[0].flags, MessageQuestion);
        EXPECT_EQ(s.desktopOpens, answer == AnswerYes ? std::vector<std::string>{"ms-its:help.chm::/x.htm"}
                                                      : std::vector<std::string>{});
    }
}

// While the address stays the same, nothing is written, drawn or started.
TEST_F(ShellTest, WatcherDoesNothingWhileTheAddressStays)
{
    Run({Idle()});
    const Script& before = TheScript();
    const size_t navigations = before.navigations.size(), status = before.statusHistory.size();
    ScriptReset();
    Run(std::vector<ScriptedEvent>(50, Idle()));
    const Script& s = TheScript();
    EXPECT_EQ(s.eventsHandedOut, 51);
    EXPECT_EQ(s.navigations.size(), navigations);
    EXPECT_EQ(s.statusHistory.size(), status);
    EXPECT_EQ(s.layouts.size(), 1u);
    EXPECT_TRUE(s.runs.empty());
}

// Edit Page reaches the page a display copy stands for, whatever was shown
// in between, and never the copy itself: in-page anchors of a copy (the
// contents links of Help on Help) included.
TEST_F(ShellTest, EditPageNeverOpensADisplayCopy)
{
    t.Write("prog\\HelpMain.htm",
            CrLf({"<a href=\"#bottom\">To the end</a>", "text", "<a name=\"bottom\">end</a>"}));
    TheScript().requesterAnswers = {"T:\\help\\glossary.htm", "T:\\help\\index.htm#A"};
    Run({Menu(MenuOpen), Menu(MenuEditPage), Menu(MenuOpen), Menu(MenuEditPage), Menu(MenuHelpOnHelp), Idle(),
         Click("#bottom"), Menu(MenuEditPage), Click("T:\\prog\\vosks.html#bottom"), Menu(MenuEditPage),
         Control(BackButton), Control(BackButton), Control(BackButton), Menu(MenuEditPage)});
    const Script& s = TheScript();
    std::vector<std::string> edited;
    for (const RecordedRun& run : s.runs) edited.push_back(run.parameters);
    EXPECT_EQ(edited, (std::vector<std::string>{"T:\\help\\glossary.htm", "T:\\help\\index.htm",
                                                "T:\\prog\\HelpMain.htm", "T:\\prog\\HelpMain.htm",
                                                "T:\\help\\index.htm"}));
    EXPECT_NE(std::find(s.statusHistory.begin(), s.statusHistory.end(), "T:\\prog\\HelpMain.htm#bottom"),
              s.statusHistory.end());
}

// Back and Next step one page each and keep what lies ahead; the status
// bar, Edit Page and what is drawn always agree, even when two pages share
// one folder and so one display copy file.
TEST_F(ShellTest, BackAndNextAreHonest)
{
    t.Write("help\\Menu.htm", CrLf({"menu page"}));
    t.Write("help\\glossary.htm", CrLf({"glossary page"}));
    struct Step {
        ScriptedEvent event;
        const char* status;  // the page named, and edited
        const char* shown;   // the first line drawn; "" when the page on screen stays
    };
    const Step steps[] = {
        {Idle(), "T:\\help\\Menu.htm", ""},
        {Menu(MenuGlossary), "T:\\help\\glossary.htm", "glossary page"},
        {Click("T:\\help\\index.htm#A"), "T:\\help\\index.htm#A", "<html>"},
        {Menu(MenuOpen), "T:\\help\\commands\\print.htm", "<a href=\"T:\\help\\main.htm\">Main</a>"},
        {Control(BackButton), "T:\\help\\index.htm#A", "<html>"},
        {Control(BackButton), "T:\\help\\glossary.htm", "glossary page"},
        {Control(BackButton), "T:\\help\\Menu.htm", "menu page"},
        {Control(BackButton), "T:\\help\\Menu.htm", ""},
        {Control(NextButton), "T:\\help\\glossary.htm", "glossary page"},
        {Control(NextButton), "T:\\help\\index.htm#A", "<html>"},
        {Control(NextButton), "T:\\help\\commands\\print.htm", "<a href=\"T:\\help\\main.htm\">Main</a>"},
        {Control(NextButton), "T:\\help\\commands\\print.htm", ""},
    };
    TheScript().requesterAnswers = {"T:\\help\\commands\\print.htm"};
    std::vector<ScriptedEvent> events;
    for (const Step& step : steps) {
        events.push_back(step.event);
        events.push_back(Menu(MenuEditPage));
    }
    Run(events);
    const Script& s = TheScript();
    ASSERT_EQ(s.runs.size(), std::size(steps));
    std::vector<std::string> shown;
    for (const RecordedLayout& layout : s.layouts)
        shown.push_back(layout.text.substr(0, layout.text.find('\r')));
    std::vector<std::string> expected;
    for (size_t i = 0; i < std::size(steps); ++i) {
        EXPECT_EQ(s.runs[i].parameters, WithoutAnchorForTest(steps[i].status)) << i;
        if (*steps[i].shown) expected.push_back(steps[i].shown);
    }
    // The start page, drawn once, then each step's page, each drawn once.
    expected.insert(expected.begin(), "menu page");
    EXPECT_EQ(shown, expected);
    EXPECT_EQ(s.statusText, "T:\\help\\commands\\print.htm");
    EXPECT_EQ(s.browser.entries.size(), 4u);
}

// A link to a page that is not there shows that page itself (the browser
// then says it is missing), and one whose copy cannot be written beside it
// is shown through a copy where Kelpra keeps its own files: never an older
// copy as if it were the page asked for.
TEST_F(ShellTest, BrokenLinksLookBroken)
{
    const std::string own = CrLf({"the user's own page"});
    struct Case {
        const char* name;
        const char* link;
        void (*prepare)(TestFolder&);
        const char* address;
    };
    const Case cases[] = {
        {"missing page", "T:\\help\\gone.htm", [](TestFolder&) {}, "file:///T:/help/gone.htm"},
        {"missing folder", "T:\\nowhere\\gone.htm", [](TestFolder&) {}, "file:///T:/nowhere/gone.htm"},
        {"copy in the way", "T:\\other\\a.htm",
         [](TestFolder& f) {
             f.Write("other\\a.htm", CrLf({"page a"}));
             f.MakeFolder("other\\vosks.html");
         },
         "file:///T:/prog/copies/vosks.html"},
    };
    for (const Case& c : cases) {
        ScriptReset();
        c.prepare(t);
        Run({Idle(), Click(c.link), Idle(), Menu(MenuEditPage)});
        const Script& s = TheScript();
        EXPECT_EQ(Address(), c.address) << c.name;
        EXPECT_EQ(s.statusText, c.link) << c.name;
        EXPECT_EQ(s.layouts.back().address, c.address) << c.name;
        ASSERT_EQ(s.runs.size(), 1u);
        EXPECT_EQ(s.runs[0].parameters, c.link) << c.name;
    }
    // A link named like a copy that points at the user's own page, out of
    // the page's folder, is refused and left alone, never written through
    // (where the system has such links); the copy is kept where Kelpra
    // keeps its own files instead.
    t.Write("mine.htm", own);
    std::error_code noLinks;
    std::filesystem::create_symlink(t.Host("mine.htm"), t.Host("help\\commands\\vosks.html"), noLinks);
    if (noLinks) return;
    ScriptReset();
    Run({Click("T:\\help\\commands\\print.htm"), Idle()});
    EXPECT_EQ(t.Read("mine.htm"), own);
    EXPECT_TRUE(std::filesystem::is_symlink(t.Host("help\\commands\\vosks.html")));
    EXPECT_EQ(Address(), "file:///T:/prog/copies/vosks.html");
    EXPECT_NE(TheScript().layouts.back().text.find("Main"), std::string::npos);
}

// A help folder with accents in its name, as Kelpra.ini names it in
// Windows-1252, its pages in Windows-1252 naming accented files, all of
// them UTF-8 names on a Linux disk (the ANSI code page's on Windows): a word
// typed in UTF-8 finds its page, the display copy keeps the page's bytes,
// and the status bar and Edit Page name the page.
TEST_F(ShellTest, AccentedHelpFolderFromTheSettingsFile)
{
    const std::string aide = "Aide \xE9t\xE9\\";
    const std::string page =
        CrLf({"<p>Caf\xE9 cr\xE8me</p>", "<a href=\"R\xE9sum\xE9.htm\">R\xE9sum\xE9</a>"});
    t.Write(HostTextFromProgram(aide + "index.htm"), CrLf({"<a href=\"Caf\xE9.htm\">Caf\xE9</a><BR>"}));
    t.Write(HostTextFromProgram(aide + "Menu.htm"), CrLf({"start"}));
    t.Write(HostTextFromProgram(aide + "Caf\xE9.htm"), page);
    t.Write("prog\\Kelpra.ini", "[Setup]\r\nHelp=T:\\" + aide + "\r\nHTML=T:\\edit.exe\r\n");
    TheScript().clipboard = "CAF\xC3\x89";  // typed on a UTF-8 desktop
    Run({Idle(), Menu(MenuEditPage)});
    const Script& s = TheScript();
    const std::string shown = "T:\\" + aide + "Caf\xE9.htm";
    EXPECT_EQ(s.statusText, shown);
    ASSERT_EQ(s.runs.size(), 1u);
    EXPECT_EQ(s.runs[0].parameters, shown);
    EXPECT_EQ(Address(), BrowserAddressFromPath("T:\\" + aide + "vosks.html", ""));
    EXPECT_EQ(
        t.Read(HostTextFromProgram(aide + "vosks.html")),
        CrLf({"<p>Caf\xE9 cr\xE8me</p>", "<a href=\"T:\\" + aide + "R\xE9sum\xE9.htm\">R\xE9sum\xE9</a>"}));
}

#ifndef _WIN32
// A help folder the user may only read (a system documentation folder, a
// CD): its pages are shown through a copy where Kelpra keeps its own files,
// which points back at the page's folder; the status bar and Edit Page name
// the page; the letter anchor and Add Include say the folder cannot be
// written and change nothing. Run as an unprivileged user, since root
// writes into read-only folders.
TEST_F(ShellTest, ReadOnlyHelpFolder)
{
    t.Write("help\\commands\\pic.htm", CrLf({"<html><body>", "<a href=\"main.htm\">Main</a><br>",
                                             "<img src=\"images/dot.png\">", "</body></html>"}));
    t.Write("src\\my.dba", CrLf({"function Init()", "endfunction"}));
    const auto before = Snapshot();
    chmod(t.root.c_str(), 0755);
    for (const char* name : {"help", "help/commands"}) chmod(t.Host(name).c_str(), 0555);
    chmod(t.Host("prog").c_str(), 0777);
    chmod(t.Host("prog/Kelpra.ini").c_str(), 0666);
    const pid_t child = fork();
    if (child == 0) {
        if (getuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) std::_Exit(100);
        TheScript().messageAnswers = {AnswerYes, AnswerYes};
        TheScript().requesterAnswers = {"T:\\src\\my.dba"};
        TheScript().clipboard = "zebra";
        Run({Click("T:\\help\\commands\\pic.htm"), Idle(), Menu(MenuEditPage), Control(GoButton),
             Menu(MenuAddInclude)});
        const Script& s = TheScript();
        const std::string readOnly = "The help folder cannot be written:\nT:\\help\\\nNothing was changed.";
        int failed = 0;
        if (Address() != "file:///T:/prog/copies/vosks.html") failed |= 1;
        if (s.statusText != "T:\\help\\commands\\pic.htm") failed |= 2;
        if (s.runs.size() != 1 || s.runs[0].parameters != "T:\\help\\commands\\pic.htm") failed |= 4;
        // The search's question, then a box for each command; no warning.
        if (s.messages.size() != 3 || s.messages[1].title != "Kelpra V2" || s.messages[1].text != readOnly ||
            s.messages[2].title != "Kelpra V3" || s.messages[2].text != readOnly)
            failed |= 8;
        std::_Exit(failed);
    }
    int status = -1;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    for (const char* name : {"help", "help/commands"}) chmod(t.Host(name).c_str(), 0755);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "1 address, 2 status bar, 4 Edit Page, 8 messages";
    auto after = Snapshot();
    const std::string copy = after["prog/copies/vosks.html"];
    EXPECT_EQ(copy, CrLf({"<base href=\"file:///T:/help/commands/\">", "<html><body>",
                          "<a href=\"T:\\help\\main.htm\">Main</a><br>", "<img src=\"images/dot.png\">",
                          "</body></html>"}));
    // Outside the program folder nothing changed.
    auto outsideProgram = [](std::map<std::string, std::string> files) {
        std::erase_if(files, [](const auto& file) { return file.first.rfind("prog", 0) == 0; });
        return files;
    };
    EXPECT_EQ(outsideProgram(after), outsideProgram(before));
}
#endif

}  // namespace
