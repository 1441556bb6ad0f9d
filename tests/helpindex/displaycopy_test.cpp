#include "helpindex/displaycopy.h"

#include <filesystem>
#include <functional>

#include "fixture.h"

namespace {

// The names in a folder of the test folder.
std::set<std::string> NamesIn(const TestFolder& folder, const std::string& relative)
{
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder.Host(relative)))
        names.insert(entry.path().filename().string());
    return names;
}

TEST_F(HelpFolderTest, DisplayCopyPointsLinkLinesIntoTheHelpFolder)
{
    State.helpFolder = "C:\\H\\";
    folder.Write("pages\\page.htm",
                 "<html>\n"
                 "<a href=\"main.htm\">Main</a> <a href=\"x.htm\">X</a>\r"
                 "<A HREF=\"caps.htm\">Caps</A>\r\n"
                 " <a href=\"indented.htm\">In</a>\n"
                 "<a href=\"#top\">Top</a>\n"
                 "<a href='single.htm'>S</a>\n"
                 "</html>");

    EXPECT_EQ(MakeDisplayCopy("T:\\pages\\page.htm"), "T:\\pages\\vosks.html");

    EXPECT_EQ(folder.Read("pages\\vosks.html"),
              CrLf({"<html>", "<a href=\"C:\\H\\main.htm\">Main</a> <a href=\"x.htm\">X</a>",
                    "<A HREF=\"caps.htm\">Caps</A>", " <a href=\"indented.htm\">In</a>",
                    "<a href=\"C:\\H\\#top\">Top</a>", "<a href='single.htm'>S</a>", "</html>"}));
}

// The help folder's pages write their links relative to it; pages nobody
// here wrote write them relative to themselves, and some lead out to the
// web. Every link of a copy must lead where the page's own link leads.
TEST_F(HelpFolderTest, DisplayCopyLinksLeadWhereThePagesLinksLead)
{
    State.helpFolder = "T:\\help\\";
    for (const char* name :
         {"main.htm", "commands\\cls.htm", "commands\\local.htm", "commands\\sub\\deep.htm", "index.htm"})
        folder.Write(std::string("help\\") + name, "x");
    struct Case {
        const char* page;
        const char* link;
        const char* copied;
    };
    const Case cases[] = {
        {"T:\\help\\commands\\p.htm", "<a href=\"main.htm\">M</a>", "<a href=\"T:\\help\\main.htm\">M</a>"},
        {"T:\\help\\commands\\p.htm", "<a href=\"commands\\cls.htm\">C</a>",
         "<a href=\"T:\\help\\commands\\cls.htm\">C</a>"},
        {"T:\\help\\commands\\p.htm", "<a href=\"local.htm\">L</a>",
         "<a href=\"T:\\help\\commands\\local.htm\">L</a>"},
        {"T:\\help\\commands\\p.htm", "<a href=\"sub/deep.htm#a\">D</a>",
         "<a href=\"T:\\help\\commands\\sub/deep.htm#a\">D</a>"},
        {"T:\\help\\commands\\p.htm", "<a href=\"..\\index.htm\">I</a>",
         "<a href=\"T:\\help\\commands\\..\\index.htm\">I</a>"},
        {"T:\\help\\commands\\p.htm", "<a href=\"nowhere.htm\">N</a>",
         "<a href=\"T:\\help\\nowhere.htm\">N</a>"},
        {"T:\\help\\commands\\p.htm", "<a href=\"#top\">T</a>", "<a href=\"T:\\help\\#top\">T</a>"},
        {"T:\\help\\p.htm", "<a href=\"local.htm\">L</a>", "<a href=\"T:\\help\\local.htm\">L</a>"},
        {"T:\\help\\commands\\p.htm", "<a href=\"http://example.org/x.htm\">W</a>",
         "<a href=\"http://example.org/x.htm\">W</a>"},
        {"T:\\help\\commands\\p.htm", "<a href=\"HTTPS://example.org/\">W</a>",
         "<a href=\"HTTPS://example.org/\">W</a>"},
        {"T:\\help\\commands\\p.htm", "<a href=\"mailto:me@example.org\">E</a>",
         "<a href=\"mailto:me@example.org\">E</a>"},
        {"T:\\help\\commands\\p.htm", "<a href=\"ftp://example.org/\">F</a>",
         "<a href=\"ftp://example.org/\">F</a>"},
    };
    for (const Case& c : cases) {
        const std::string page = c.page;
        folder.Write(page.substr(3), std::string(c.link) + "\r\n");
        const std::string copy = MakeDisplayCopy(page);
        EXPECT_EQ(folder.Read(copy.substr(3)), std::string(c.copied) + "\r\n") << c.page << " " << c.link;
    }
}

// When the copy cannot be written beside its page (here a folder stands in
// its place, as a read-only folder would refuse it) it goes where Kelpra
// keeps its own files and begins with a base that leads back to the page's
// folder, or to the page's own relative base. Folders go into the copy in
// the page's encoding.
TEST_F(HelpFolderTest, DisplayCopyKeptAwayFromItsPage)
{
    State.helpFolder = "T:\\Aide \xE9t\xE9\\";  // Windows-1252, as Kelpra.ini has it
    struct Case {
        std::string folder;  // where the page lies, below T:\ (host name)
        std::vector<std::string> page;
        std::vector<std::string> copy;
    };
    const Case cases[] = {
        {"ro",
         {"<html>", "<a href=\"x.htm\">X</a>"},
         {"<base href=\"file:///T:/ro/\">", "<html>", "<a href=\"T:\\Aide \xE9t\xE9\\x.htm\">X</a>"}},
        {"ro\\Includes",
         {"<head><BASE HREF=\"../\"></head>", "<img src=\"pic.png\">"},
         {"<base href=\"file:///T:/ro/Includes/../\">", "<head><BASE HREF=\"../\"></head>",
          "<img src=\"pic.png\">"}},
        {"ro",
         {"<base href='file:///T:/elsewhere/'>", "text"},
         {"<base href='file:///T:/elsewhere/'>", "text"}},
        {"Aide \xC3\xA9t\xC3\xA9",
         {"<p>\xC3\xA9t\xC3\xA9</p>", "<a href=\"x.htm\">X</a>"},
         {"<base href=\"file:///T:/Aide%20\xC3\xA9t\xC3\xA9/\">", "<p>\xC3\xA9t\xC3\xA9</p>",
          "<a href=\"T:\\Aide \xC3\xA9t\xC3\xA9\\x.htm\">X</a>"}},
    };
    for (const Case& c : cases) {
        folder.Write(c.folder + "\\page.htm", CrLf(c.page));
        folder.MakeFolder(c.folder + "\\vosks.html");
        const std::string page = "T:\\" + c.folder + "\\page.htm";
        FileFailureClear();
        EXPECT_EQ(WriteDisplayCopy(page), "T:\\prog\\copies\\vosks.html")
            << c.folder << ": " << FileLastFailure().file << " " << FileLastFailure().reason;
        FileFailureClear();
        EXPECT_EQ(MakeDisplayCopy(page), "T:\\prog\\copies\\vosks.html")
            << c.folder << ": " << FileLastFailure().file << " " << FileLastFailure().reason;
        EXPECT_EQ(folder.Read("prog\\copies\\vosks.html"), CrLf(c.copy)) << c.folder;
    }
    // Nowhere to write at all: no copy, and the page's path as its copy's.
    std::filesystem::remove(folder.Host("prog/copies/vosks.html"));
    folder.MakeFolder("prog\\copies\\vosks.html");
    EXPECT_EQ(WriteDisplayCopy("T:\\ro\\page.htm"), "");
    EXPECT_EQ(MakeDisplayCopy("T:\\ro\\page.htm"), "T:\\ro\\vosks.html");
}

TEST_F(HelpFolderTest, DisplayCopyOfAMissingPageWritesNothing)
{
    EXPECT_EQ(MakeDisplayCopy("T:\\gone\\page.htm"), "T:\\gone\\vosks.html");
    EXPECT_FALSE(folder.Exists("gone"));
}

// A page that is its own copy's file, under whatever name it is reached,
// is shown as itself: its copy would overwrite it.
TEST_F(HelpFolderTest, PageThatIsItsCopysFileIsShownAsItself)
{
    namespace fs = std::filesystem;
    const std::string page = "<a href=\"x.htm\">X</a>\n";
    const struct {
        const char* shown;  // the page as the browser reaches it
        const char* file;   // the user's file
        // Makes the shown name lead to the file; nullptr: it already does.
        void (*link)(const fs::path& file, const fs::path& shown);
    } cases[] = {
        {"vosks.html", "vosks.html", nullptr},
        {"VOSKS.HTML", "VOSKS.HTML", nullptr},
        {"Vosks.Html", "Vosks.Html", nullptr},
        // Windows drops trailing dots and spaces; names ignore case.
        {"vosks.html.", "vosks.html", nullptr},
        {"vosks.html ", "vosks.html", nullptr},
        {"VOSKS.HTML..", "vosks.html", nullptr},
#ifndef _WIN32
        {"mine.htm", "vosks.html", [](const fs::path& f, const fs::path& s) { fs::create_symlink(f, s); }},
        {"mine.htm", "vosks.html", [](const fs::path& f, const fs::path& s) { fs::create_hard_link(f, s); }},
        {"mine.htm", "mine.htm",
         [](const fs::path& f, const fs::path& s) {
             fs::create_symlink(f.filename(), s.parent_path() / "vosks.html");
         }},
#endif
    };
    for (const auto& c : cases) {
        const std::string what = std::string(c.shown) + " of " + c.file;
        fs::remove_all(folder.Host("sub"));
        folder.Write(std::string("sub\\") + c.file, page);
        if (c.link)
            c.link(folder.Host(std::string("sub/") + c.file), folder.Host(std::string("sub/") + c.shown));
        const std::string shown = std::string("T:\\sub\\") + c.shown;
        EXPECT_EQ(WriteDisplayCopy(shown), "") << what;
        EXPECT_EQ(MakeDisplayCopy(shown), shown) << what;
        EXPECT_EQ(folder.Read(std::string("sub\\") + c.file), page) << what;
    }
}

// A copy that fails at any write, flush, close or rename leaves the copy of
// the page shown before as it was, says which file failed, and leaves no
// temporary file; the run that sees no failure makes the new copy.
TEST_F(HelpFolderTest, EveryFailedStepKeepsTheOldCopy)
{
    State.helpFolder = "C:\\H\\";
    folder.Write("pages\\page.htm",
                 CrLf({"<html>", "<a href=\"main.htm\">Main</a>", std::string(70000, 'x')}));
    const std::string copy =
        CrLf({"<html>", "<a href=\"C:\\H\\main.htm\">Main</a>", std::string(70000, 'x')});
    const std::string older = CrLf({"the copy of the page shown before"});
    // A copy is made again at every showing and is not waited for on the
    // disk: a failing flush never reaches it.
    for (FileOperation operation :
         {FileOperation::Write, FileOperation::Flush, FileOperation::Close, FileOperation::Rename}) {
        for (long n = 1;; ++n) {
            folder.Write("pages\\vosks.html", older);
            FileFailureClear();
            FaultFailAt(operation, n);
            EXPECT_EQ(MakeDisplayCopy("T:\\pages\\page.htm"), "T:\\pages\\vosks.html");
            if (!FaultsInjected()) {
                EXPECT_EQ(folder.Read("pages\\vosks.html"), copy);
                EXPECT_EQ(n > 1, operation != FileOperation::Flush) << static_cast<int>(operation);
                break;
            }
            EXPECT_EQ(folder.Read("pages\\vosks.html"), older) << n;
            EXPECT_EQ(FileLastFailure().file, "T:\\pages\\vosks.html") << n;
            EXPECT_EQ(NamesIn(folder, "pages"), (std::set<std::string>{"page.htm", "vosks.html"})) << n;
        }
    }
}

// Showing a page asks the host about the folders its links lead into, not
// about each link: a page of 1,000 links into a folder of 1,000 files costs
// what a page of ten does, whether a link leads there from the help folder,
// in another case, or only from the page's own folder.
TEST_F(HelpFolderTest, DisplayCopyAsksTheHostPerFolderNotPerLink)
{
    State.helpFolder = "T:\\help\\";
    for (int n = 0; n < 1000; ++n) folder.Write("help\\big\\m" + std::to_string(n) + ".htm", "x");
    folder.Write("help\\sub\\near.htm", "x");
    auto looksFor = [&](int links) {
        std::string page;
        for (int n = 0; n < links; ++n) {
            const std::string number = std::to_string(n);
            page += "<a href=\"../big/m" + number + ".htm\">U</a>\r\n<a href=\"big/M" + number +
                    ".HTM#a\">B</a>\r\n<a href=\"gone" + number +
                    ".htm\">G</a>\r\n<a href=\"near.htm\">N</a>\r\n";
        }
        folder.Write("help\\sub\\page.htm", page);
        FaultsQuiet();
        EXPECT_EQ(MakeDisplayCopy("T:\\help\\sub\\page.htm"), "T:\\help\\sub\\vosks.html");
        return FaultsLooks();
    };
    const long few = looksFor(10);
    EXPECT_EQ(looksFor(1000), few);
    const std::string start =
        CrLf({"<a href=\"T:\\help\\sub\\../big/m0.htm\">U</a>", "<a href=\"T:\\help\\big/M0.HTM#a\">B</a>",
              "<a href=\"T:\\help\\gone0.htm\">G</a>", "<a href=\"T:\\help\\sub\\near.htm\">N</a>"});
    EXPECT_EQ(folder.Read("help\\sub\\vosks.html").substr(0, start.size()), start);
}

// The folders a page's links lead into are listed once for many visits,
// while nothing in them changes; a file made or removed there is seen at
// the very next copy.
TEST_F(HelpFolderTest, DisplayCopyKeepsListingsOnlyWhileTheirFoldersStayAsTheyWere)
{
    State.helpFolder = "T:\\help\\";
    for (int n = 0; n < 100; ++n) folder.Write("help\\big\\m" + std::to_string(n) + ".htm", "x");
    folder.Write("help\\sub\\page.htm", "<a href=\"../big/NEW.HTM\">N</a>\r\n");
    auto copy = [&] {
        FaultsQuiet();
        MakeDisplayCopy("T:\\help\\sub\\page.htm");
        return FaultsLooks();
    };
    const std::string intoHelp = "<a href=\"T:\\help\\../big/NEW.HTM\">N</a>\r\n";
    const std::string intoPage = "<a href=\"T:\\help\\sub\\../big/NEW.HTM\">N</a>\r\n";
    const long listed = copy();
    copy();
    EXPECT_LT(copy(), listed) << "nothing changed: big is not listed again";
    const struct {
        const char* change;
        std::function<void()> make;
        std::string line;
    } steps[] = {
        {"made", [&] { folder.Write("help\\big\\new.htm", "x"); }, intoPage},
        {"unchanged", [] {}, intoPage},
        {"removed", [&] { std::filesystem::remove(folder.Host("help/big/new.htm")); }, intoHelp},
        {"made in capitals", [&] { folder.Write("help\\big\\NEW.HTM", "x"); }, intoPage},
    };
    for (const auto& step : steps) {
        step.make();
        copy();
        EXPECT_EQ(folder.Read("help\\sub\\vosks.html"), step.line) << step.change;
    }
}

#ifndef _WIN32
// A copy named like a link that leads out of the page's folder is not
// written through it.
TEST_F(HelpFolderTest, DisplayCopyIsNotWrittenThroughALinkThatLeadsOut)
{
    folder.Write("pages\\page.htm", CrLf({"<html>"}));
    folder.Write("elsewhere\\mine.txt", "mine");
    std::filesystem::create_symlink(folder.Host("elsewhere/mine.txt"), folder.Host("pages/vosks.html"));
    MakeDisplayCopy("T:\\pages\\page.htm");
    EXPECT_EQ(folder.Read("elsewhere\\mine.txt"), "mine");
    EXPECT_TRUE(std::filesystem::is_symlink(folder.Host("pages/vosks.html")));
    EXPECT_EQ(FileLastFailure().kind, FileFailureKind::LeadsOut);
    EXPECT_EQ(FileLastFailure().file, "T:\\pages\\vosks.html");
}
#endif

TEST(AnchorPosition, FirstHashCountedFromOne)
{
    const std::vector<std::pair<std::string, int>> cases = {
        {"C:\\H\\index.htm#P", 15}, {"C:\\H\\index.htm", 0}, {"#", 1}, {"", 0}, {"a#b#c", 2},
    };
    for (const auto& [text, position] : cases) EXPECT_EQ(AnchorPosition(text), position) << text;
}

}  // namespace
