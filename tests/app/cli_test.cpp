#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <map>
#include <regex>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "support/command.h"
#include "support/faults.h"
#include "support/testfolder.h"

namespace fs = std::filesystem;

namespace {

struct CliResult {
    int status = -1;
    std::string out;
    std::string err;
};

std::string Quote(const std::string& text)
{
    std::string quoted = "'";
    for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

std::vector<std::string> Lines(const std::string& bytes)
{
    std::vector<std::string> lines;
    std::string normal = std::regex_replace(bytes, std::regex("\r\n|\r"), "\n");
    size_t start = 0;
    while (start < normal.size()) {
        size_t end = normal.find('\n', start);
        if (end == std::string::npos) end = normal.size();
        lines.push_back(normal.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

class Cli : public ::testing::Test {
protected:
    void SetUp() override
    {
        const fs::path source = KELPRA_SOURCE_DIR;
        fs::copy(source / "examples" / "help", folder.Host("help"), fs::copy_options::recursive);
        fs::copy(source / "examples" / "keywords.txt", folder.Host("keywords.txt"));
        fs::create_directories(folder.Host("prog"));
        for (const char* name : {"Includes.htm", "Include2.htm", "HelpMain.htm"})
            fs::copy(source / "data" / name, folder.Host("prog") + "/" + name);
    }

    // The options that point the program at this test's folders.
    std::vector<std::string> Folders() const
    {
        return {"--program-folder",  folder.Host("prog"), "--help-folder",
                folder.Host("help"), "--keywords",        folder.Host("keywords.txt")};
    }

    CliResult Run(std::vector<std::string> arguments, bool withFolders = true) const
    {
        return RunAs("", "kelpra-cli", arguments, withFolders);
    }

    // The program as the tests build it, with the file-fault injector set
    // by KELPRA_FAULT.
    CliResult RunFaulty(const std::string& fault, std::vector<std::string> arguments) const
    {
        return RunAs("KELPRA_FAULT=" + fault + " ", "kelpra-cli-faults", arguments, true);
    }

    // `shell` is put before the program on the shell's command line.
    CliResult RunAs(const std::string& shell, const std::string& program, std::vector<std::string> arguments,
                    bool withFolders) const
    {
        if (withFolders) {
            std::vector<std::string> all = Folders();
            all.insert(all.end(), arguments.begin(), arguments.end());
            arguments = all;
        }
        std::string command = shell + Quote(std::string(KELPRA_BIN_DIR) + "/" + program);
        for (const auto& argument : arguments) command += " " + Quote(argument);
        const std::string errors = folder.Host("stderr-" + std::to_string(++runs) + ".txt");
        command += " 2>" + Quote(errors);
        const CommandResult ran = RunCommandLine(command);
        CliResult result{ran.status, ran.out, folder.Read(errors.substr(folder.root.size() + 1))};
        fs::remove(errors);
        return result;
    }

    // The Windows form the program speaks: the host root is drive Z:.
    std::string Win(const std::string& relative) const
    {
        std::string path = "Z:" + folder.Host(relative);
        std::replace(path.begin(), path.end(), '/', '\\');
        return path;
    }

    std::map<std::string, std::string> Snapshot(const std::string& relative) const
    {
        std::map<std::string, std::string> files;
        const fs::path root = folder.Host(relative);
        for (const auto& entry : fs::recursive_directory_iterator(root)) {
            std::string name = fs::relative(entry.path(), root).string();
            files[name] = entry.is_directory() ? "<folder>" : folder.Read(relative + "/" + name);
        }
        return files;
    }

    // The page template split at its head marker.
    void TemplateParts(std::vector<std::string>& head, std::vector<std::string>& tail) const
    {
        std::vector<std::string> page = Lines(folder.Read("prog/Include2.htm"));
        auto marker = std::find(page.begin(), page.end(), "<BR>");
        head.assign(page.begin(), marker + 1);
        tail.assign(marker + 1, page.end());
    }

    // The example help folder and keywords file afresh, and the one-time
    // backups already made, so that all a command writes is its own work.
    void Fresh()
    {
        fs::remove_all(folder.Host("help"));
        fs::copy(fs::path(KELPRA_SOURCE_DIR) / "examples" / "help", folder.Host("help"),
                 fs::copy_options::recursive);
        fs::copy(fs::path(KELPRA_SOURCE_DIR) / "examples" / "keywords.txt", folder.Host("keywords.txt"),
                 fs::copy_options::overwrite_existing);
        for (const char* page : {"index", "main", "menu"})
            folder.Write(std::string("prog/") + page + ".bak",
                         folder.Read(std::string("help/") + page + ".htm"));
        folder.Write("prog/keywords.bak", folder.Read("keywords.txt"));
    }

    // The help folder, the keywords file and the program folder.
    std::map<std::string, std::string> Files() const
    {
        std::map<std::string, std::string> files;
        for (const char* area : {"help", "prog"})
            for (const auto& [name, bytes] : Snapshot(area)) files[std::string(area) + "/" + name] = bytes;
        files["keywords.txt"] = folder.Read("keywords.txt");
        return files;
    }

    mutable int runs = 0;
    TestFolder folder;
};

TEST_F(Cli, AddIncludeWritesTheWorkedExample)
{
    folder.Write("src/myinclude.dba", CrLf(WorkedSource));
    CliResult result = Run({"add-include", folder.Host("src/myinclude.dba")});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, Win("help/Includes/myinclude.htm") + "\n");
    EXPECT_EQ(result.err, "");

    // The shipped page template frames the pages and makes the help folder
    // the base of their links.
    std::vector<std::string> head, tail;
    TemplateParts(head, tail);
    EXPECT_TRUE(Contains(head, "<base href=\"../\">"));
    EXPECT_EQ(Lines(folder.Read("help/Includes/myinclude.htm")), Framed(head, WorkedIncludePage, tail));
    EXPECT_EQ(Lines(folder.Read("help/Includes/Init.htm")), Framed(head, WorkedFunctionPage, tail));

    std::vector<std::string> index = Lines(folder.Read("help/index.htm"));
    auto ink = std::find(index.begin(), index.end(), "<a href=\"commands\\ink.htm\">INK</a><BR>");
    ASSERT_NE(ink, index.begin());
    EXPECT_EQ(*(ink - 1), "<a href=\"Includes\\Init.htm\">INIT</a><BR>");
    EXPECT_EQ(Lines(folder.Read("keywords.txt")).back(), "INIT()");
    // The shipped list template takes the first entry at its second marker.
    std::vector<std::string> list = Lines(folder.Read("help/Includes.htm"));
    auto heading = std::find(list.begin(), list.end(), "My Include Files:<BR>");
    ASSERT_NE(heading, list.end());
    EXPECT_EQ(*(heading + 1), "<a href=\"Includes\\myinclude.htm\">  Screen routines</a><br>");
    EXPECT_EQ(*(heading + 2), "<BR>");

    // The next lookup finds the function, as the next start-up would.
    result = Run({"lookup", "init"});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out, Win("help/Includes/Init.htm") + "\n");
}

TEST_F(Cli, AddIncludeLeavesEveryFileInItsState)
{
    const std::map<std::string, std::string> original = Snapshot("help");
    const std::string keywords = folder.Read("keywords.txt");
    const std::vector<std::string> source = {"` two of them", "function A(x)", "` a",
                                             "endfunction",   "function B()",  "endfunction"};
    folder.Write("src/myinclude.dba", CrLf(source));
    ASSERT_EQ(Run({"add-include", folder.Host("src/myinclude.dba")}).status, 0);

    std::map<std::string, std::string> after = Snapshot("help");
    std::vector<std::string> added;
    for (const auto& [name, bytes] : after)
        if (!original.count(name)) added.push_back(name);
    EXPECT_EQ(added, (std::vector<std::string>{"Includes", "Includes.bak", "Includes.htm", "Includes/A.htm",
                                               "Includes/B.htm", "Includes/myinclude.dba",
                                               "Includes/myinclude.htm", "Includes/vosk2.htm",
                                               "Includes/vosks.htm", "Index.bak", "main.bak", "menu.bak"}));
    EXPECT_EQ(after["Includes.bak"], folder.Read("prog/Includes.htm"));
    EXPECT_EQ(after["Includes/myinclude.dba"], CrLf(source));
    EXPECT_EQ(after["Includes/vosks.htm"], folder.Read("prog/Include2.htm"));
    EXPECT_EQ(after["menu.bak"], original.at("menu.htm"));
    EXPECT_EQ(after["main.bak"], original.at("main.htm"));
    EXPECT_TRUE(Contains(Lines(after["menu.htm"]), "<a href=\"Includes.htm\">My Include Files</a><br>"));
    EXPECT_TRUE(Contains(Lines(after["main.htm"]), "19. <a href=\"Includes.htm\">My Include Files</a><br>"));

    // The one-letter names take the places of their letter headings.
    const std::string linkA = "<a href=\"Includes\\A.htm\">A</a><BR>";
    const std::string linkB = "<a href=\"Includes\\B.htm\">B</a><BR>";
    std::vector<std::string> index = Lines(original.at("index.htm"));
    std::replace(index.begin(), index.end(), std::string("A<BR>"), linkA);
    EXPECT_EQ(Lines(after["Index.bak"]), index);
    std::replace(index.begin(), index.end(), std::string("B<BR>"), linkB);
    EXPECT_EQ(Lines(after["index.htm"]), index);

    std::vector<std::string> keywordLines = Lines(keywords);
    keywordLines.push_back("A");
    EXPECT_EQ(Lines(folder.Read("keywords.bak")), keywordLines);
    keywordLines.push_back("B()");
    EXPECT_EQ(Lines(folder.Read("keywords.txt")), keywordLines);

    // The one-time backups beside the program hold the files as first seen.
    EXPECT_EQ(folder.Read("prog/index.bak"), original.at("index.htm"));
    EXPECT_EQ(folder.Read("prog/menu.bak"), original.at("menu.htm"));
    EXPECT_EQ(folder.Read("prog/main.bak"), original.at("main.htm"));
    EXPECT_EQ(folder.Read("prog/keywords.bak"), keywords);
    EXPECT_FALSE(folder.Exists("prog/Kelpra.ini"));
}

TEST_F(Cli, RefusalsChangeNothing)
{
    folder.Write("src/myinclude.dba", CrLf(WorkedSource));
    const struct {
        const char* what;
        std::string source;
        bool removeTemplate;
        std::string message;
    } cases[] = {
        {"missing source", folder.Host("src/nothere.dba"), false, "no such include source"},
        {"folder as source", folder.Host("src"), false, "is a folder"},
        {"missing list template", folder.Host("src/myinclude.dba"), true,
         "Kelpra V3: Unable to locate file> " + Win("prog/Includes.htm") + "\n"},
    };
    for (const auto& c : cases) {
        if (c.removeTemplate) fs::remove(folder.Host("prog/Includes.htm"));
        const auto help = Snapshot("help");
        const std::string keywords = folder.Read("keywords.txt");
        CliResult result = Run({"add-include", c.source});
        EXPECT_EQ(result.status, 1) << c.what;
        EXPECT_NE(result.err.find(c.message), std::string::npos) << c.what << ": " << result.err;
        EXPECT_EQ(Snapshot("help"), help) << c.what;
        EXPECT_EQ(folder.Read("keywords.txt"), keywords) << c.what;
        // A missing source is refused before even the one-time backups.
        EXPECT_EQ(folder.Exists("prog/index.bak"), c.removeTemplate) << c.what;
    }
}

TEST_F(Cli, LookupFindsTheWordOrItsLetter)
{
    const struct {
        std::string text;
        int status;
        std::string page;
    } cases[] = {
        {"print", 0, "help/commands/print.htm"},
        {"PRINT", 0, "help/commands/print.htm"},
        {"Wait Key", 0, "help/commands/wait_key.htm"},
        {"inkey$", 0, "help/commands/inkey.htm"},
        {"printx", 1, ""},
        {" print", 1, ""},
        {"", 1, ""},
    };
    for (const auto& c : cases) {
        CliResult result = Run({"lookup", c.text});
        EXPECT_EQ(result.status, c.status) << c.text;
        EXPECT_EQ(result.out, c.status ? "" : Win(c.page) + "\n") << c.text;
    }

    // The Yes of a failed search: the letter gets its place in the index.
    CliResult link = Run({"index-link", "printx"});
    EXPECT_EQ(link.status, 0);
    EXPECT_EQ(link.out, Win("help/index.htm") + "#P\n");
    CliResult result = Run({"lookup", "printx"});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out, Win("help/index.htm") + "#P\n");
    // No letter, no anchor: the index page stays as it is.
    const std::string index = folder.Read("help/index.htm");
    for (const char* word : {"", " print"}) {
        CliResult none = Run({"index-link", word});
        EXPECT_EQ(none.status, 1) << word;
        EXPECT_NE(none.err.find("no letter"), std::string::npos) << none.err;
    }
    EXPECT_EQ(folder.Read("help/index.htm"), index);
}

TEST_F(Cli, KeywordsListsTheContextListInOrder)
{
    CliResult result = Run({"keywords"});
    ASSERT_EQ(result.status, 0);
    std::vector<std::string> lines = Lines(result.out);
    std::vector<std::string> index = Lines(folder.Read("help/index.htm"));
    EXPECT_EQ(lines.size(),
              static_cast<size_t>(std::count_if(index.begin(), index.end(), [](const auto& line) {
                  return line.rfind("<a href=", 0) == 0;
              })));
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.front(), "ABS\t" + Win("help/commands/abs.htm"));
    EXPECT_TRUE(std::is_sorted(lines.begin(), lines.end()));
}

TEST_F(Cli, SettingsComeFromTheProgramFolderAndOverridesWriteNothing)
{
    // Windows form, no closing separator: both are accepted.
    std::string helpFolder = Win("help");
    folder.Write("prog/Kelpra.ini", "[Setup]\r\nHelp=" + Win("help") + "\\\r\n");
    const std::string settings = folder.Read("prog/Kelpra.ini");
    CliResult fromSettings = Run({"--program-folder", folder.Host("prog"), "lookup", "cls"}, false);
    EXPECT_EQ(fromSettings.status, 0) << fromSettings.err;
    EXPECT_EQ(fromSettings.out, Win("help/commands/cls.htm") + "\n");

    fs::copy(folder.Host("help"), folder.Host("other"), fs::copy_options::recursive);
    CliResult overridden =
        Run({"--program-folder", Win("prog"), "--help-folder", Win("other"), "lookup", "cls"}, false);
    EXPECT_EQ(overridden.status, 0) << overridden.err;
    EXPECT_EQ(overridden.out, Win("other/commands/cls.htm") + "\n");
    EXPECT_EQ(folder.Read("prog/Kelpra.ini"), settings);
}

TEST_F(Cli, DisplayCopyPointsLinksIntoTheHelpFolder)
{
    CliResult result = Run({"display-copy", folder.Host("help/commands/print.htm")});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out, Win("help/commands/vosks.html") + "\n");
    EXPECT_TRUE(Contains(Lines(folder.Read("help/commands/vosks.html")),
                         "<a href=\"" + Win("help") + "\\index.htm\">Index</a> |"));
}

TEST_F(Cli, SearchPrintsPathAndTitleBestFirstAndWritesNothing)
{
    // A page as old editors wrote it: Windows-1252, its accented title and
    // text as bytes of that charset.
    folder.Write(
        "help/commands/caf\xc3\xa9.htm",
        "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=windows-1252\">"
        "<title>Caf\xe9 &amp; PRINT</title></head><body><p>Na\xefve caf\xe9 texts.</p></body></html>");
    const std::map<std::string, std::string> before = Snapshot("help");

    CliResult print = Run({"search", "print"});
    ASSERT_EQ(print.status, 0) << print.err;
    std::vector<std::string> lines = Lines(print.out);
    ASSERT_GE(lines.size(), 3u);
    // Title matches first: the PRINT page, then the one whose title has it too.
    EXPECT_EQ(lines[0], "commands\\print.htm\tPRINT");
    EXPECT_EQ(lines[1], "commands\\caf\xc3\xa9.htm\tCaf\xc3\xa9 & PRINT");
    for (const std::string& line : lines) EXPECT_EQ(std::count(line.begin(), line.end(), '\t'), 1) << line;

    CliResult cafe = Run({"search", "CAF\xc3\x89", "na\xc3\xafve"});
    EXPECT_EQ(cafe.status, 0);
    EXPECT_EQ(cafe.out, "commands\\caf\xc3\xa9.htm\tCaf\xc3\xa9 & PRINT\n");

    CliResult none = Run({"search", "print", "nosuchword"});
    EXPECT_EQ(none.status, 1);
    EXPECT_EQ(none.out, "");
    EXPECT_EQ(Snapshot("help"), before);

    CliResult missing = Run({"--help-folder", folder.Host("nowhere"), "search", "print"}, false);
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.err.find("The help folder cannot be read"), std::string::npos) << missing.err;
}

TEST_F(Cli, CheckFindsWhatAddIncludeAndHandEditsLeaveBroken)
{
    folder.Write("src/myinclude.dba", CrLf(WorkedSource));
    ASSERT_EQ(Run({"add-include", folder.Host("src/myinclude.dba")}).status, 0);
    // A keywords file of the index's own keywords: nothing to report.
    std::string keywords;
    for (const std::string& line : Lines(Run({"keywords"}).out))
        keywords += line.substr(0, line.find('\t')) + "\r\n";
    folder.Write("keywords.txt", keywords + "INIT()\r\n");
    const std::map<std::string, std::string> before = Snapshot("help");
    CliResult clean = Run({"check"});
    EXPECT_EQ(clean.status, 0) << clean.out;
    const size_t pages = before.size();
    EXPECT_EQ(Lines(clean.out).size(), 1u) << clean.out;
    EXPECT_EQ(clean.out.rfind("Checked ", 0), 0u);
    EXPECT_NE(clean.out.find(" pages: nothing to put right.\n"), std::string::npos) << pages;
    EXPECT_EQ(Snapshot("help"), before);

    // A page gone by hand, a copy left in a folder without pages, a keyword
    // without an entry.
    fs::remove(folder.Host("help/commands/cls.htm"));
    folder.Write("help/old/vosks.html", "<html></html>");
    folder.Write("keywords.txt", keywords + "INIT()\r\nNOSUCHKEYWORD\r\n");
    CliResult broken = Run({"check"});
    EXPECT_EQ(broken.status, 1);
    std::vector<std::string> lines = Lines(broken.out);
    ASSERT_FALSE(lines.empty());
    const std::string summary = lines.back();
    lines.pop_back();
    EXPECT_TRUE(Contains(lines, "index-target-missing\tindex.htm\tcommands\\cls.htm"));
    EXPECT_TRUE(Contains(lines, "link-target-missing\tmain.htm\tcommands\\cls.htm"));
    EXPECT_TRUE(Contains(lines, "leftover-copy\told\\vosks.html\t"));
    EXPECT_TRUE(Contains(lines, "keyword-not-in-index\t" + Win("keywords.txt") + "\tNOSUCHKEYWORD"));
    for (const std::string& line : lines) {
        EXPECT_EQ(std::count(line.begin(), line.end(), '\t'), 2) << line;
        EXPECT_EQ(line.find("unreachable-page"), std::string::npos) << line;
    }
    EXPECT_EQ(summary.find('\t'), std::string::npos);
    // The keyword is a note, counted apart.
    EXPECT_NE(summary.find(": " + std::to_string(lines.size() - 1) + " findings; 1 note."), std::string::npos)
        << summary;

    // Notes alone do not fail the check.
    folder.Write("keywords.txt", keywords + "INIT()\r\nIF\r\nDO\r\n");
    fs::remove_all(folder.Host("help/old"));
    folder.Write("help/commands/cls.htm", before.at("commands/cls.htm"));
    CliResult notes = Run({"check"});
    EXPECT_EQ(notes.status, 0) << notes.out;
    EXPECT_NE(notes.out.find(" pages: nothing to put right; 2 notes.\n"), std::string::npos) << notes.out;

    CliResult missing = Run({"--help-folder", folder.Host("nowhere"), "check"}, false);
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.out, "");
    EXPECT_NE(missing.err.find("The help folder cannot be read"), std::string::npos) << missing.err;
}

// A Windows-form page written with forward slashes, as a shell user types
// it: the copy lands beside the page, not in the current folder.
TEST_F(Cli, DisplayCopyOfAPageWrittenWithForwardSlashes)
{
    std::string page = "Z:" + folder.Host("help/commands/print.htm");
    CliResult result = Run({"display-copy", page});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out, Win("help/commands/vosks.html") + "\n");
    EXPECT_TRUE(folder.Exists("help/commands/vosks.html"));
    EXPECT_FALSE(fs::exists("vosks.html"));
}

// A Windows-1252 help folder with accented folder and file names (UTF-8 on
// the host) used from a UTF-8 terminal: the word typed there finds the
// page, a new letter goes into the index page in Windows-1252, and what is
// printed is UTF-8.
TEST_F(Cli, AccentsFromAUtf8Terminal)
{
    const std::string aide = "Aide \xC3\xA9t\xC3\xA9";  // "Aide été" on the host
    folder.Write(aide +
                     "/R\xC3\xA9"
                     "f\xC3\xA9rence/\xC3\xA9t\xC3\xA9.htm",
                 "<p>\xE9t\xE9</p>");
    folder.Write(aide + "/index.htm",
                 "<a href=\"R\xE9"
                 "f\xE9rence/\xE9t\xE9.htm\">\xE9t\xE9</a><BR>\r\n<a href=\"z.htm\">Z</a><BR>\r\n");
    const std::vector<std::string> help = {"--help-folder", folder.Host(aide)};
    const auto run = [&](std::vector<std::string> command) {
        command.insert(command.begin(), help.begin(), help.end());
        return Run(command, false);
    };
    const std::string page = Win(aide +
                                 "/R\xC3\xA9"
                                 "f\xC3\xA9rence/\xC3\xA9t\xC3\xA9.htm");
    for (const char* typed : {"\xC3\xA9t\xC3\xA9", "\xC3\x89T\xC3\x89"}) {
        CliResult found = run({"lookup", typed});
        EXPECT_EQ(found.status, 0) << typed << found.err;
        EXPECT_EQ(found.out, page + "\n") << typed;
    }
    CliResult link = run({"index-link",
                          "\xC3\xA9"
                          "clair"});
    EXPECT_EQ(link.status, 0) << link.err;
    EXPECT_EQ(link.out, Win(aide + "/index.htm") + "#\xC3\x89\n");
    EXPECT_EQ(folder.Read(aide + "/index.htm"),
              "<A NAME=\"\xC9\"></A>\r\n<a href=\"index.htm#\xC9\">\xC9</a><BR>\r\n<a href=\"R\xE9"
              "f\xE9rence/\xE9t\xE9.htm\">\xE9t\xE9</a><BR>\r\n<a href=\"z.htm\">Z</a><BR>\r\n");
    CliResult keywords = run({"keywords"});
    EXPECT_EQ(Lines(keywords.out)[1], "\xC3\x89T\xC3\x89\t" + page);
}

// The disk fills up at every write in turn: the command exits 1 naming the
// file it could not write, every file is its old or its new version, and
// no temporary file stays. A run that meets no full disk does its work.
TEST_F(Cli, EveryFullDiskIsReportedAndLeavesWholeFiles)
{
    folder.Write("src/one.dba", CrLf({"` one", "function Init()", "` sets up"}));
    const std::vector<std::vector<std::string>> commands = {
        {"add-include", folder.Host("src/one.dba")},
        {"index-link", "q"},
        {"display-copy", folder.Host("help/commands/print.htm")},
    };
    for (const auto& command : commands) {
        Fresh();
        const auto before = Files();
        ASSERT_EQ(RunFaulty("quiet:0", command).status, 0) << command[0];
        const auto after = Files();
        int n = 1;
        for (;; ++n) {
            const std::string when = command[0] + " write " + std::to_string(n);
            Fresh();
            CliResult result = RunFaulty("write:" + std::to_string(n), command);
            if (result.err.find(FaultAnnouncement) == std::string::npos) {
                EXPECT_EQ(result.status, 0) << when << result.err;
                EXPECT_EQ(Files(), after) << when;
                break;
            }
            EXPECT_EQ(result.status, 1) << when;
            const std::string named = "kelpra-cli: Unable to write file> Z:";
            const size_t at = result.err.find(named);
            ASSERT_NE(at, std::string::npos) << when << result.err;
            // The old version is said to be kept only of a file that had
            // one, and is still there.
            std::string failed = result.err.substr(at + named.size());
            failed = failed.substr(0, failed.find('\n'));
            std::replace(failed.begin(), failed.end(), '\\', '/');
            EXPECT_EQ(result.err.find("The old version of the file was kept.") != std::string::npos,
                      fs::exists(failed))
                << when << result.err;
            EXPECT_EQ(failed.find("//"), std::string::npos) << when << result.err;
            for (const auto& [name, bytes] : Files()) {
                if (name.find("/.kelpra-") != std::string::npos) {
                    EXPECT_EQ(name, "help/.kelpra-preparing") << when;
                    continue;
                }
                const bool whole = (before.count(name) && before.at(name) == bytes) ||
                                   (after.count(name) && after.at(name) == bytes) ||
                                   (name == "help/Includes.htm" && bytes == folder.Read("prog/Includes.htm"));
                EXPECT_TRUE(whole) << when << ": " << name;
            }
        }
        EXPECT_GT(n, 1) << command[0];
    }
}

// A limit on the size of files is a write error like a full disk, not a
// signal that ends the program without a word and a page cut off.
TEST_F(Cli, AFileSizeLimitIsReportedAndLeavesWholeFiles)
{
    Fresh();
    const auto before = Files();
    folder.Write("src/one.dba", CrLf({"` one", "function Init()"}));
    CliResult result =
        RunAs("ulimit -f 2; ", "kelpra-cli", {"add-include", folder.Host("src/one.dba")}, true);
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.err.find("Unable to write file> "), std::string::npos) << result.err;
    EXPECT_NE(result.err.find("large"), std::string::npos) << result.err;
    for (const auto& [name, bytes] : Files()) {
        if (before.count(name)) {
            EXPECT_EQ(bytes, before.at(name)) << name;
        }
    }
}

// A named pipe where a page or the source should be: no command waits for
// a writer that never comes.
TEST_F(Cli, NamedPipesHoldUpNoCommand)
{
    fs::remove(folder.Host("help/index.htm"));
    ASSERT_EQ(mkfifo(folder.Host("help/index.htm").c_str(), 0644), 0);
    ASSERT_EQ(mkfifo(folder.Host("pipe.dba").c_str(), 0644), 0);
    folder.Write("src/one.dba", CrLf({"` one", "function Init()"}));
    const struct {
        std::vector<std::string> command;
        int status;
    } cases[] = {
        {{"keywords"}, 1},
        {{"lookup", "print"}, 1},
        {{"index-link", "p"}, 1},
        {{"display-copy", folder.Host("help/index.htm")}, 0},
        {{"add-include", folder.Host("pipe.dba")}, 1},
        {{"add-include", folder.Host("src/one.dba")}, 1},
    };
    for (const auto& c : cases) {
        CliResult result = RunAs("timeout 60 ", "kelpra-cli", c.command, true);
        EXPECT_EQ(result.status, c.status) << c.command[0] << ": " << result.err;
    }
}

// Without a help folder, or an index page that can be read, nothing is
// reported as done.
TEST_F(Cli, WithoutAnIndexPageNothingSucceeds)
{
    // An accented name is said in UTF-8, as the terminal gave it.
    const std::string nowhere = "nowhere-\xC3\xA9";
    const std::vector<std::string> missing = {"--help-folder", folder.Host(nowhere)};
    const std::string unreadable = "Vosk's Help Browser: Unable to create context list\n";
    const struct {
        std::vector<std::string> command;
        std::string err;
    } cases[] = {
        {{"keywords"}, unreadable},
        {{"index-link", "p"},
         unreadable + "kelpra-cli: cannot read the index page " + Win(nowhere) + "\\index.htm\n"},
        {{"lookup", "p"}, unreadable},
    };
    for (const auto& c : cases) {
        std::vector<std::string> arguments = missing;
        arguments.insert(arguments.end(), c.command.begin(), c.command.end());
        CliResult result = Run(arguments);
        EXPECT_EQ(result.status, 1) << c.command[0];
        EXPECT_EQ(result.out, "") << c.command[0];
        EXPECT_EQ(result.err, c.err) << c.command[0];
    }
}

// An include page left by an earlier run is not taken for this run's work.
TEST_F(Cli, AddIncludeSaysSoWhenThisRunWroteNoIncludePage)
{
    folder.Write("src/myinclude.dba", CrLf(WorkedSource));
    ASSERT_EQ(Run({"add-include", folder.Host("src/myinclude.dba")}).status, 0);
    fs::remove(folder.Host("prog/Include2.htm"));
    fs::remove(folder.Host("help/Includes/vosks.htm"));
    CliResult result = Run({"add-include", folder.Host("src/myinclude.dba")});
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.err.find("no include page was written"), std::string::npos) << result.err;
}

// A page that is a link out of the help folder is not written through, and
// the command says why.
TEST_F(Cli, ALinkOutOfTheHelpFolderIsRefusedWithAReason)
{
    folder.Write("outside.htm", "not yours");
    fs::remove(folder.Host("help/menu.htm"));
    fs::create_symlink(folder.Host("outside.htm"), folder.Host("help/menu.htm"));
    folder.Write("src/one.dba", CrLf({"` one", "function Init()"}));
    CliResult result = Run({"add-include", folder.Host("src/one.dba")});
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(
        result.err.find("Unable to write file> " + Win("help/menu.htm") + "\nIt is a link that leads out"),
        std::string::npos)
        << result.err;
    EXPECT_EQ(folder.Read("outside.htm"), "not yours");
}

// Two kelpra-cli at once on one help folder: one waits for the other, and
// the folder ends as after the two runs in one order or the other.
TEST_F(Cli, TwoRunsAtOnceEndInOneOfTheTwoOrders)
{
    folder.Write("src/a.dba", CrLf({"` a", "function Alpha()"}));
    folder.Write("src/b.dba", CrLf({"` b", "function Beta()"}));
    auto serially = [&](const char* first, const char* second) {
        Fresh();
        EXPECT_EQ(Run({"add-include", folder.Host(first)}).status, 0);
        EXPECT_EQ(Run({"add-include", folder.Host(second)}).status, 0);
        return Files();
    };
    const auto ab = serially("src/a.dba", "src/b.dba"), ba = serially("src/b.dba", "src/a.dba");
    for (int trial = 0; trial < 4; ++trial) {
        Fresh();
        const std::string b = Quote(std::string(KELPRA_BIN_DIR) + "/kelpra-cli");
        std::string other = b;
        for (const auto& argument : Folders()) other += " " + Quote(argument);
        other += " add-include " + Quote(folder.Host("src/b.dba")) + " >/dev/null 2>&1 & ";
        CliResult result = RunAs(other, "kelpra-cli", {"add-include", folder.Host("src/a.dba")}, true);
        EXPECT_EQ(result.status, 0) << result.err;
        for (int waited = 0; waited < 600 && !(Files() == ab || Files() == ba); ++waited)
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        const auto now = Files();
        EXPECT_TRUE(now == ab || now == ba) << "trial " << trial;
    }
}

// Where the file system refuses flock (the errors some network ones give),
// many kelpra-cli at once still take turns: every run's letter anchor ends
// up in the index page, once.
TEST_F(Cli, WithoutFileLocksRunsAtOnceStillTakeTurns)
{
    const std::string letters = "ABCDEFGHIJKLMNOP";
    std::string run = Quote(std::string(KELPRA_BIN_DIR) + "/kelpra-cli");
    for (const auto& argument : Folders()) run += " " + Quote(argument);
    for (int error : {ENOLCK, EOPNOTSUPP, EINVAL}) {
        Fresh();
        std::string command =
            "export LD_PRELOAD=" + Quote(KELPRA_NOLOCKS) + " KELPRA_FLOCK_ERROR=" + std::to_string(error) +
            " ASAN_OPTIONS=\"${ASAN_OPTIONS:+$ASAN_OPTIONS:}verify_asan_link_order=0\"; runs=;";
        for (char letter : letters)
            command += run + " index-link " + letter + " >/dev/null 2>&1 & runs=\"$runs $!\"; ";
        command += "failed=0; for run in $runs; do wait $run || failed=1; done; exit $failed";
        EXPECT_EQ(RunCommandLine(command).status, 0) << error;
        const std::string index = folder.Read("help/index.htm");
        for (char letter : letters) {
            const std::string anchor = std::string("<A NAME=\"") + letter + "\"></A>";
            const size_t at = index.find(anchor);
            EXPECT_TRUE(at != std::string::npos && index.find(anchor, at + 1) == std::string::npos)
                << letter << " with error " << error;
        }
    }
}

// A help folder another Kelpra is changing, or a folder a command would
// write that the user may only read: the commands that would change it
// exit 1, say why in one message, print nothing on standard output and
// leave every file as it was; a read-only folder is found before anything
// is changed.
TEST_F(Cli, AHelpFolderThatCannotBeChangedNowIsReportedAndLeftAlone)
{
    folder.Write("src/one.dba", CrLf({"` one", "function Init()"}));
    const std::string lock = folder.Host("help/.kelpra-lock");
    // Root writes into read-only folders; a user does not.
    const std::string user = "setpriv --reuid=65534 --regid=65534 --clear-groups ";
    const struct {
        const char* why;
        std::string shell;     // put before the program
        const char* readOnly;  // the folder the user may only read; "" none
        bool indexLinkToo;     // the letter anchor writes there too
        std::string message;
    } cases[] = {
        {"busy", "flock " + Quote(lock) + " ", "", true, "another Kelpra is changing this help folder\n"},
        {"read-only help folder", user, "help", true,
         "The help folder cannot be written:\n" + Win("help") + "\\\nNothing was changed.\n"},
        {"read-only Includes folder", user, "help/Includes", false,
         "The help folder's Includes folder cannot be written:\n" + Win("help/Includes") +
             "\\\nNothing was changed.\n"},
        {"read-only keywords folder", user, ".", false,
         "The keywords file cannot be written:\n" + Win("keywords.txt") + "\nNothing was changed.\n"},
        {"read-only backups folder", user, "prog", true,
         "The folder of Kelpra's backups cannot be written:\n" + Win("prog") + "\\\nNothing was changed.\n"},
    };
    for (const auto& c : cases) {
        for (const std::vector<std::string>& command :
             {std::vector<std::string>{"add-include", folder.Host("src/one.dba")}, {"index-link", "q"}}) {
            if (command[0] == "index-link" && !c.indexLinkToo) continue;
            const std::string when = std::string(c.why) + " " + command[0];
            Fresh();
            folder.MakeFolder("help/Includes");
            if (c.readOnly == std::string("prog")) fs::remove(folder.Host("prog/index.bak"));  // one to make
            const auto before = Files();
            for (const char* name : {".", "help", "help/Includes", "prog"})
                chmod(folder.Host(name).c_str(), name == std::string(c.readOnly) ? 0555 : 0777);
            CliResult result = RunAs(c.shell, "kelpra-cli", command, true);
            for (const char* name : {".", "help", "help/Includes", "prog"})
                chmod(folder.Host(name).c_str(), 0755);
            fs::remove(lock);
            EXPECT_EQ(result.status, 1) << when;
            EXPECT_EQ(result.out, "") << when;
            EXPECT_EQ(result.err, "kelpra-cli: " + c.message) << when;
            EXPECT_EQ(Files(), before) << when;
        }
    }
}

// A name of hundreds of kilobytes is cut in what kelpra-cli says, keeping
// how it begins and ends.
TEST_F(Cli, ALongNameMakesAShortMessage)
{
    // As long as one argument may be.
    const std::string longName = "Begin" + std::string(100000, 'n') + "End";
    folder.Write("src/long.dba", CrLf({"` long", "function " + longName + "()"}));
    const struct {
        std::vector<std::string> arguments;
        std::string begins, ends;  // standard error, up to the name and from its end
    } cases[] = {
        {{"add-include", folder.Host("src/long.dba")},
         "kelpra-cli: Unable to write file> " + Win("help/Includes/Begin"),
         "End.htm\n"},
        {{"add-include", "/" + longName}, "kelpra-cli: /Begin", "End: no such include source\n"},
        {{"--" + longName, "keywords"}, "kelpra-cli: unknown option --Begin", "End\nUsage:"},
    };
    for (const auto& c : cases) {
        Fresh();
        const CliResult result = Run(c.arguments);
        EXPECT_NE(result.status, 0) << c.begins;
        EXPECT_LE(result.err.size(), 400u) << c.begins;
        EXPECT_EQ(result.err.substr(0, c.begins.size()), c.begins);
        EXPECT_NE(result.err.find("n" + c.ends), std::string::npos) << result.err.substr(0, 400);
    }
}

TEST_F(Cli, UsageErrorsExitWithTwo)
{
    const std::vector<std::vector<std::string>> cases = {
        {},         {"frobnicate"}, {"lookup"},        {"lookup", "a", "b"},    {"keywords", "x"},
        {"search"}, {"check", "x"}, {"--help-folder"}, {"--bogus", "keywords"}, {"--yes"},
    };
    for (const auto& arguments : cases) {
        CliResult result = Run(arguments, false);
        EXPECT_EQ(result.status, 2) << (arguments.empty() ? "" : arguments[0]);
        EXPECT_NE(result.err.find("Usage: kelpra-cli"), std::string::npos);
    }
    CliResult help = Run({"--help"}, false);
    EXPECT_EQ(help.status, 0);
    for (const char* word :
         {"lookup TEXT", "keywords", "index-link TEXT", "add-include SOURCE", "display-copy PAGE",
          "search WORD...", "check", "--program-folder", "--help-folder", "--keywords", "--yes"})
        EXPECT_NE(help.out.find(word), std::string::npos) << word;
}

}  // namespace
