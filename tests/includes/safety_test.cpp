// Add Include and the letter anchor as users break them: a disk that fills
// up, a process killed part-way, two runs at once, links and pipes where
// pages should be.
#include <chrono>
#include <cstdlib>
#include <random>
#include <thread>

#ifndef _WIN32
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include "helpindex/displaycopy.h"
#include "runtime/hostfile.h"
#include "runtime/hostpath.h"
#include "runtime/text.h"
#include "state/settings.h"
#include "state/texts.h"
#include "sweep.h"

namespace {

const char* OperationName(FileOperation operation)
{
    switch (operation) {
    case FileOperation::Create: return "create";
    case FileOperation::Write: return "write";
    case FileOperation::Flush: return "flush";
    case FileOperation::Close: return "close";
    case FileOperation::Rename: return "rename";
    case FileOperation::Remove: return "remove";
    }
    return "";
}

int IndexLinksTo(const std::string& index, const std::string& folder)
{
    int links = 0;
    for (const std::string& line : SplitCrLf(index)) links += line.rfind("<a href=\"" + folder, 0) == 0;
    return links;
}

// A reader that, until the folder holds "stop", makes display copies of a
// page of the help folder, or sweeps every name of Kelpra's temporary files
// in the folders an Add Include writes, as a sweep does that asks no lock.
void ReadUntilStopped(const std::string& what, const std::string& base, const std::string& page)
{
    while (PathSize(base + "stop") < 0) {
        if (what == "display-copy") MakeDisplayCopy(base + "help\\" + page);
        if (what != "sweep") continue;
        for (const std::string folder : {"help\\", "help\\Includes\\", "db\\"}) {
            std::vector<HostFolderEntry> entries;
            HostFolderList(base + folder, entries, false);
            for (const HostFolderEntry& entry : entries)
                if (entry.name.rfind(".kelpra-new-", 0) == 0)
                    HostFileRemoveLeftover(base + folder + entry.name);
        }
    }
}

// Runs only as a child of the tests below: one Add Include (of the source
// named) or letter anchor (for the letter named) on their folder, ended at
// the file operation given, then exits with how it went; or a reader
// (ReadUntilStopped).
TEST(Child, Run)
{
    const std::string what = ChildSetting("KELPRA_CHILD");
    if (what.empty()) GTEST_SKIP() << "runs only as a child of the tests below";
#ifndef _WIN32
    HostPathMapDrive(ChildSetting("KELPRA_CHILD_DRIVE")[0], ChildSetting("KELPRA_CHILD_ROOT"));
#endif
    const std::string base = ChildSetting("KELPRA_CHILD_BASE");
    State.programFolder = base + "prog\\";
    State.dataFolder = State.programFolder;
    State.helpFolder = base + "help\\";
    State.keywordsFile = base + "db\\keywords.txt";
    ListCreate(State.contextList);
    if (!ChildSetting("KELPRA_CHILD_LOCK_WAIT").empty())
        FolderLockSetWait(std::atoi(ChildSetting("KELPRA_CHILD_LOCK_WAIT").c_str()));
    const long crash = std::atol(ChildSetting("KELPRA_CHILD_CRASH").c_str());
    if (crash > 0) FaultCrashAt(crash);
    else FaultsQuiet();
    std::this_thread::sleep_for(
        std::chrono::milliseconds(std::atoi(ChildSetting("KELPRA_CHILD_DELAY").c_str())));
    const std::string argument = ChildSetting("KELPRA_CHILD_ARGUMENT");
    if (what == "display-copy" || what == "sweep") {
        ReadUntilStopped(what, base, argument);
        std::_Exit(ChildDone);
    }
    int done = what == "add-include" ? AddInclude(base + "src\\" + argument) : InsertIndexLink(argument);
    std::_Exit(done ? ChildDone : FileLastFailure().kind == FileFailureKind::Busy ? ChildBusy : ChildFailed);
}

// A disk that fills up, a flush, a close or a rename that fails, at every
// point of the run in turn: the run stops there and says which file
// failed, every file is whole, and a second run finishes the job.
TEST_F(SweepTest, EveryFailedWriteFlushCloseOrRenameLeavesWholeFiles)
{
    // A name in Windows-1252 bytes, as Dark Basic sources have them.
    const std::vector<std::string> source = {"` d", "function Init()",
                                             "function Gr\xF6\xDF"
                                             "e(x)"};
    FolderFiles final;
    const FileVersions versions = AddIncludeVersions(source, final);
    for (FileOperation operation :
         {FileOperation::Write, FileOperation::Flush, FileOperation::Close, FileOperation::Rename}) {
        int n = 1;
        for (;; ++n) {
            const std::string when = std::string(OperationName(operation)) + " " + std::to_string(n);
            Restore(source);
            FaultFailAt(operation, n);
            const int written = AddInclude(folder.Win("src\\m.dba"));
            if (FaultsInjected() == 0) {
                EXPECT_EQ(written, 1) << when;
                EXPECT_EQ(Files(), final) << when;
                break;
            }
            EXPECT_EQ(written, 0) << when;
            EXPECT_EQ(FileLastFailure().kind, FileFailureKind::System) << when;
            EXPECT_NE(FileLastFailure().file, "") << when;
            EXPECT_NE(FileLastFailure().reason, "") << when;
            const FolderFiles after = Files();
            ExpectWhole(after, versions, when);
            EXPECT_FALSE(after.count("help/index.new")) << when;
            for (const std::string& name : KelpraOwn(after))
                EXPECT_EQ(name, "help/.kelpra-preparing") << when;
            // The run went no further than the function whose step failed.
            const int linked = IndexLinksTo(after.at("help/index.htm"), "Includes\\");
            EXPECT_TRUE(State.contextList.count == linked || State.contextList.count == linked + 1) << when;

            FileFailureClear();
            EXPECT_EQ(AddIncludeQuietly(), 1) << when;
            ExpectFinished(Files(), final, versions, when + ", run again");
        }
        EXPECT_GT(n, 3) << OperationName(operation);
    }
}

// Killed at every file operation in turn (the child ends itself there, as
// a crash or a power cut would end it): every file is whole, and a second
// run finishes the job.
TEST_F(SweepTest, DeathAtEveryFileOperationOfAddIncludeLeavesWholeFiles)
{
    const std::vector<std::string> source = {"` two", "function Init()", "` c", "function Done()", "` d"};
    FolderFiles final;
    const FileVersions versions = AddIncludeVersions(source, final);
    const int runs =
        SweepDeaths("add-include", "m.dba", source, final, versions, [&] { return AddIncludeQuietly(); });
    EXPECT_GT(runs, 30);
}

TEST_F(SweepTest, DeathAtEveryFileOperationOfTheLetterAnchorLeavesWholeFiles)
{
    Restore({});
    const FolderFiles before = Files();
    FaultsQuiet();
    ASSERT_EQ(InsertIndexLink("C"), 1);
    const FolderFiles final = Files();
    const int runs = SweepDeaths("index-link", "C", {}, final, VersionsOf({before, final}), [] {
        FaultsQuiet();
        return InsertIndexLink("C");
    });
    EXPECT_GT(runs, 5);
}

// Two runs on one help folder at once, started a few milliseconds apart:
// one waits for the other, or (given no time to wait) gives up having
// changed nothing.
TEST_F(SweepTest, TwoRunsAtOnceEndAsOneOfTheTwoOrders)
{
    const std::vector<std::string> a = {"` a", "function Alpha()", "function Able()"};
    const std::vector<std::string> b = {"` b", "function Beta()", "function Bolt()"};
    auto prepare = [&] {
        Restore({});
        folder.Write("src\\a.dba", CrLf(a));
        folder.Write("src\\b.dba", CrLf(b));
    };
    auto serially = [&](std::vector<const char*> sources) {
        prepare();
        for (const char* source : sources) EXPECT_EQ(AddIncludeQuietly(source), 1);
        return Files();
    };
    const FolderFiles ab = serially({"a.dba", "b.dba"}), ba = serially({"b.dba", "a.dba"});
    const FolderFiles onlyA = serially({"a.dba"}), onlyB = serially({"b.dba"});
    std::mt19937 random(11);
    int waited = 0;
    for (int trial = 0; trial < 24; ++trial) {
        prepare();
        const bool patient = trial % 3 != 0;
        auto start = [&](const char* source) {
            ChildEnvironment environment = ChildFor("add-include", source);
            environment.push_back({"KELPRA_CHILD_DELAY", std::to_string(random() % 30)});
            if (!patient) environment.push_back({"KELPRA_CHILD_LOCK_WAIT", "0"});
            return ChildStart("Child.Run", environment);
        };
        intptr_t first = start("a.dba"), second = start("b.dba");
        const int codeA = ChildWait(first), codeB = ChildWait(second);
        const FolderFiles now = Files();
        const std::string when = "trial " + std::to_string(trial);
        if (codeA == ChildDone && codeB == ChildDone) {
            EXPECT_TRUE(now == ab || now == ba) << when;
            waited += 1;
        } else if (codeA == ChildBusy && codeB == ChildDone) {
            EXPECT_EQ(now, onlyB) << when;
        } else if (codeA == ChildDone && codeB == ChildBusy) {
            EXPECT_EQ(now, onlyA) << when;
        } else {
            ADD_FAILURE() << when << ": the runs ended with " << codeA << " and " << codeB;
        }
        if (patient) {
            EXPECT_TRUE(codeA == ChildDone && codeB == ChildDone) << when;
        }
    }
    EXPECT_GT(waited, 0);
}

// A reader in a second process, making display copies or sweeping
// leftovers in a loop beside a writer, takes none of the writer's files
// while they are being written or put in place: every run succeeds.
TEST_F(SweepTest, AReaderBesideAWriterTakesNoneOfItsFiles)
{
    const std::vector<std::string> source = {"` d", "function Init()", "function Done()", "function More()"};
    for (const char* reader : {"display-copy", "sweep"}) {
        Restore(source);
        std::filesystem::remove(folder.Host("stop"));
        const intptr_t child = ChildStart("Child.Run", ChildFor(reader, "main.htm"));
        int failed = 0;
        for (int run = 0; run < 15; ++run) {
            FileFailureClear();
            if (AddIncludeQuietly() != 1) failed += 1;
            if (failed == 1 && FileLastFailure().kind != FileFailureKind::None)
                ADD_FAILURE() << reader << ": " << FailureText(FileLastFailure());
        }
        folder.Write("stop", "");
        EXPECT_EQ(ChildWait(child), ChildDone) << reader;
        EXPECT_EQ(failed, 0) << reader;
    }
}

// While another Kelpra holds the help folder, a writer waits its time and
// gives up, saying so, having changed nothing.
TEST_F(SweepTest, ASecondWriterGivesUpAndChangesNothing)
{
    Restore({"` d", "function Init()"});
    ASSERT_EQ(FolderLockTake(State.helpFolder), 1);
    const FolderFiles before = Files();
    const struct {
        const char* what;
        const char* argument;
    } writers[] = {{"add-include", "m.dba"}, {"index-link", "C"}};
    for (const auto& writer : writers) {
        ChildEnvironment environment = ChildFor(writer.what, writer.argument);
        environment.push_back({"KELPRA_CHILD_LOCK_WAIT", "300"});
        const auto started = std::chrono::steady_clock::now();
        EXPECT_EQ(ChildRun("Child.Run", environment), ChildBusy) << writer.what;
        EXPECT_GE(std::chrono::steady_clock::now() - started, std::chrono::milliseconds(300)) << writer.what;
        EXPECT_EQ(Files(), before) << writer.what;
    }
    FolderLockRelease();
    EXPECT_EQ(FileLastFailure().kind, FileFailureKind::None);
}

// A run that finds what an interrupted one left: its temporary files go,
// from the help folder and from every folder Kelpra writes its own files in
// (the backups', the display copies', the settings file's), and no empty
// file is copied over a backup that holds something.
TEST_F(SweepTest, LeftoversOfAnInterruptedRunAreSweptAndGoodBackupsKept)
{
    Restore({"` d", "function Init()"});
    State.settingsFile = folder.Win("conf\\Kelpra.ini");
    const std::vector<std::string> leftovers = {
        "help\\.kelpra-new-a1B2c3", "help\\Includes\\.kelpra-copy-XyZ789",
        "db\\.kelpra-new-000000",   "help\\.kelpra-probe-Q1w2E3",
        "prog\\.kelpra-new-Rt5Yu6", "prog\\copies\\.kelpra-new-Io7Pa8",
        "conf\\.kelpra-new-Sd9Fg0"};
    const std::vector<std::string> kept = {"help\\.kelpra-new-toolong1", "help\\.kelpra-notes",
                                           "db\\kelpra-new-abcdef"};
    folder.MakeFolder("help\\Includes");
    for (const std::string& name : leftovers) folder.Write(name, "half a page");
    for (const std::string& name : kept) folder.Write(name, "the user's");
    // The lock file of a run that died, and a keywords file that something
    // else emptied since; its backup is all that is left of it.
    folder.Write("help\\.kelpra-lock", "");
    folder.Write("db\\keywords.txt", "");
    folder.Write("db\\keywords.bak", CrLf({"PRINT", "CLS"}));
    EXPECT_EQ(AddIncludeQuietly(), 1);
    for (const std::string& name : leftovers) EXPECT_FALSE(folder.Exists(name)) << name;
    for (const std::string& name : kept) EXPECT_EQ(folder.Read(name), "the user's") << name;
    EXPECT_FALSE(folder.Exists("help\\.kelpra-lock"));
    EXPECT_EQ(Lines("db\\keywords.bak"), (std::vector<std::string>{"PRINT", "CLS"}));
    EXPECT_EQ(Lines("db\\keywords.txt"), (std::vector<std::string>{"PRINT", "CLS", "INIT()"}));
}

// A preparation (the include list page, the menu and main links) that
// stopped part-way is finished by the next run, which links each page once.
TEST_F(SweepTest, AnInterruptedPreparationIsFinishedOnce)
{
    const std::vector<std::string> source = {"` d", "function Init()"};
    Restore(source);
    ASSERT_EQ(AddIncludeQuietly(), 1);
    const FolderFiles final = Files();
    for (long n = 1; n <= 12; ++n) {
        Restore(source);
        FaultFailAt(FileOperation::Rename, n);
        AddInclude(folder.Win("src\\m.dba"));
        if (folder.Exists("help\\Includes.htm")) break;
        FileFailureClear();
        EXPECT_EQ(AddIncludeQuietly(), 1) << n;
        EXPECT_EQ(folder.Read("help\\menu.htm"), final.at("help/menu.htm")) << n;
        EXPECT_EQ(folder.Read("help\\main.htm"), final.at("help/main.htm")) << n;
        EXPECT_EQ(folder.Read("help\\menu.bak"), CrLf(Menu)) << n;
        EXPECT_FALSE(folder.Exists("help\\.kelpra-preparing")) << n;
    }
}

// To refresh an include the user adds it again, often by choosing its copy
// in the Includes folder, which View Source opens: the copy, by whatever
// name it is reached, is its own copy, and every page is written anew.
TEST_F(SweepTest, AnIncludeIsRefreshedFromItsOwnCopy)
{
    const std::vector<std::string> edited = {"` d", "function Init()", "function Added()"};
    const struct {
        const char* how;
        const char* source;  // the source chosen; "hard\\m.dba" is a second name of the copy
    } cases[] = {
        {"the copy itself", "help\\Includes\\m.dba"},
        {"the copy in other case", "HELP\\includes\\M.DBA"},
        {"a second name of the copy", "hard\\m.dba"},
    };
    for (const auto& c : cases) {
        Restore({"` d", "function Init()"});
        ASSERT_EQ(AddIncludeQuietly(), 1) << c.how;
        folder.Write("help\\Includes\\m.dba", CrLf(edited));
        std::filesystem::remove_all(folder.Host("hard"));
        folder.MakeFolder("hard");
        std::filesystem::create_hard_link(folder.Host("help/Includes/m.dba"), folder.Host("hard/m.dba"));
        FileFailureClear();
        FaultsQuiet();
        EXPECT_EQ(AddInclude(folder.Win(c.source)), 1) << c.how << ": " << FailureText(FileLastFailure());
        EXPECT_EQ(folder.Read("help\\Includes\\m.dba"), CrLf(edited)) << c.how;
        EXPECT_TRUE(folder.Exists("help\\Includes\\Added.htm")) << c.how;
        EXPECT_TRUE(Contains(Lines("help\\index.htm"), "<a href=\"Includes\\Added.htm\">ADDED</a><BR>"))
            << c.how;
        EXPECT_TRUE(KelpraOwn(Files()).empty()) << c.how;
    }
}

// A function named like a file the run works with (a working copy of the
// page template) gets no page and no index link, and the run goes on; one
// named like the include page keeps to the rule for that. A source whose
// include page would take such a name is refused before anything changes.
TEST_F(SweepTest, NamesThatCollideCostOnePageNotTheRun)
{
    const struct {
        const char* name;
        bool linked;  // the index links the name (to the include page)
    } functions[] = {{"vosks", false}, {"VOSK2", false}, {"Vosks", false}, {"m", true}};
    for (const auto& f : functions) {
        const std::string name = f.name;
        Restore({"` d", "function Before()", "function " + name + "()", "function After()"});
        for (int run = 1; run <= 2; ++run) {
            const std::string when = name + ", run " + std::to_string(run);
            FileFailureClear();
            EXPECT_EQ(AddIncludeQuietly(), 1) << when << ": " << FailureText(FileLastFailure());
            const std::vector<std::string> index = Lines("help\\index.htm");
            for (const char* other : {"Before", "After"}) {
                EXPECT_TRUE(folder.Exists(std::string("help\\Includes\\") + other + ".htm")) << when;
                EXPECT_TRUE(Contains(index, "<a href=\"Includes\\" + std::string(other) + ".htm\">" +
                                                TextToUpper(other) + "</a><BR>"))
                    << when;
            }
            EXPECT_EQ(
                Contains(index, "<a href=\"Includes\\" + name + ".htm\">" + TextToUpper(name) + "</a><BR>"),
                f.linked)
                << when;
            EXPECT_TRUE(Contains(Lines("db\\keywords.txt"), TextToUpper(name) + "()")) << when;
            for (const char* copy : {"vosks.htm", "vosk2.htm"})
                EXPECT_EQ(folder.Read(std::string("help\\Includes\\") + copy), CrLf(PageTemplate)) << when;
            EXPECT_TRUE(
                Contains(Lines("help\\Includes\\m.htm"), "<a href=\"Includes\\m.dba\"> View Source</a><br>"))
                << when;
        }
    }
    for (const char* source : {"vosks.dba", "VOSK2.dba", "inc.htm"}) {
        Restore({});
        folder.Write(std::string("src\\") + source, CrLf({"` d", "function Init()"}));
        const FolderFiles before = Files();
        FileFailureClear();
        EXPECT_EQ(AddIncludeQuietly(source), 0) << source;
        EXPECT_EQ(FileLastFailure().kind, FileFailureKind::Reserved) << source;
        const std::string page = TextHead(source, TextLength(source) - 3) + "htm";
        EXPECT_EQ(FailureText(FileLastFailure()),
                  "The include page would take the name of a file Kelpra works with:\n" +
                      folder.Win("help\\Includes\\" + page) +
                      "\nRename the include source and add it again.\nNothing was changed.")
            << source;
        EXPECT_EQ(Files(), before) << source;
    }
}

#ifndef _WIN32
// A help folder the user may only read: nothing is written, and the run
// says why.
TEST_F(SweepTest, AReadOnlyHelpFolderIsReportedAndLeftAlone)
{
    Restore({"` d", "function Init()"});
    EXPECT_EQ(AddIncludeQuietly(), 1);
    const FolderFiles before = Files();
    for (const char* name : {"", "help", "help/Includes"})
        chmod(folder.Host(name).c_str(), std::string(name) == "" ? 0755 : 0555);
    // Root writes into read-only folders; a user does not.
    pid_t child = fork();
    if (child == 0) {
        if (setgid(65534) != 0 || setuid(65534) != 0) std::_Exit(2);
        FileFailureClear();
        const int written = AddInclude(folder.Win("src\\m.dba"));
        const FileFailure& failure = FileLastFailure();
        std::_Exit(written == 0 && failure.kind == FileFailureKind::ReadOnlyFolder &&
                           FailureText(failure) == "The help folder cannot be written:\n" +
                                                       folder.Win("help\\") + "\nNothing was changed."
                       ? 0
                       : 1);
    }
    int status = -1;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    for (const char* name : {"help", "help/Includes"}) chmod(folder.Host(name).c_str(), 0755);
    EXPECT_EQ(Files(), before);
}

// A link where a file of the help folder should be, leading out of it: the
// file outside stays as it was, and the command says why.
TEST_F(SweepTest, NothingIsWrittenThroughALinkThatLeadsOut)
{
    const struct {
        const char* place;  // made a link to the file (or folder) outside
        bool folderLink;
        bool usedBefore;      // the help folder has had an include added
        const char* refused;  // the file the failure names; "" for none
    } cases[] = {
        {"help\\menu.htm", false, false, "help\\menu.htm"},
        {"help\\main.htm", false, false, "help\\main.htm"},
        {"help\\Includes.htm", false, true, "help\\Includes.htm"},
        {"help\\Includes", true, false, "help\\Includes\\m.dba"},
        {"help\\Includes\\Init.htm", false, true, "help\\Includes\\Init.htm"},
        {"help\\index.new", false, false, ""},
        {"help\\index.htm", false, false, "help\\index.htm"},
    };
    for (const auto& c : cases) {
        Restore({"` d", "function Init()"});
        std::filesystem::remove_all(folder.Host("outside"));
        folder.Write("outside\\page.htm", CrLf(Index));
        folder.MakeFolder("outside\\folder");
        if (c.usedBefore) {
            EXPECT_EQ(AddIncludeQuietly(), 1);
        }
        std::filesystem::remove(folder.Host(c.place));
        std::filesystem::create_symlink(folder.Host(c.folderLink ? "outside/folder" : "outside/page.htm"),
                                        folder.Host(c.place));
        FileFailureClear();
        const int written = AddInclude(folder.Win("src\\m.dba"));
        EXPECT_EQ(folder.Read("outside\\page.htm"), CrLf(Index)) << c.place;
        EXPECT_TRUE(std::filesystem::is_empty(folder.Host("outside/folder"))) << c.place;
        EXPECT_TRUE(std::filesystem::is_symlink(folder.Host(c.place))) << c.place;
        if (*c.refused) {
            EXPECT_EQ(written, 0) << c.place;
            EXPECT_EQ(FileLastFailure().kind, FileFailureKind::LeadsOut) << c.place;
            EXPECT_EQ(FileLastFailure().file, folder.Win(c.refused)) << c.place;
        } else {
            EXPECT_EQ(written, 1) << c.place;
        }
    }
}

// The settings file and the keywords file belong to the user, who may keep
// them with other files elsewhere and link to them: a link there is
// followed wherever it leads (also to a file not made yet, or through a
// second link), the file it leads to is rewritten, and the link stays.
TEST_F(SweepTest, TheUsersOwnFilesAreWrittenWhereTheirLinksLead)
{
    const struct {
        const char* place;   // made a link
        const char* target;  // where it leads, made relative when not absolute
        bool absolute;
        const char* before;  // what the target holds; "" for a file not made yet
        const char* line;    // a line the target holds afterwards
    } cases[] = {
        {"conf\\Kelpra.ini", "dotfiles/kelpra.ini", true, "[Setup]\r\nDBA=x.exe\r\n", "Help=T:\\other\\"},
        {"conf\\Kelpra.ini", "../dotfiles/kelpra.ini", false, "", "Help=T:\\other\\"},
        {"conf\\Kelpra.ini", "dotfiles/second-link.ini", true, "[Setup]\r\n", "Help=T:\\other\\"},
        {"db\\keywords.txt", "dotfiles/words.txt", true, "PRINT\r\nCLS\r\n", "INIT()"},
        {"db\\keywords.txt", "../dotfiles/words.txt", false, "PRINT\r\n", "INIT()"},
    };
    for (const auto& c : cases) {
        Restore({"` d", "function Init()"});
        State.settingsFile = folder.Win("conf\\Kelpra.ini");
        std::filesystem::remove_all(folder.Host("dotfiles"));
        folder.MakeFolder("dotfiles");
        folder.MakeFolder("conf");
        // The second link leads on to the file itself.
        const std::string file =
            std::string(c.target) == "dotfiles/second-link.ini" ? "dotfiles/kelpra.ini" : c.target;
        if (*c.before) folder.Write(c.absolute ? file : file.substr(3), c.before);
        if (file != c.target) std::filesystem::create_symlink(folder.Host(file), folder.Host(c.target));
        std::filesystem::remove(folder.Host(c.place));
        std::filesystem::create_symlink(c.absolute ? folder.Host(c.target) : std::string(c.target),
                                        folder.Host(c.place));
        FileFailureClear();
        if (std::string(c.place).find("Kelpra.ini") != std::string::npos) {
            EXPECT_EQ(WriteSettingText("Setup", "Help", "T:\\other\\"), 1) << c.target;
            EXPECT_TRUE(TheScript().messages.empty()) << c.target;
        } else {
            EXPECT_EQ(AddIncludeQuietly(), 1) << c.target << ": " << FailureText(FileLastFailure());
            EXPECT_EQ(folder.Read("db\\keywords.bak"), c.before) << c.target;
        }
        const std::string written = folder.Read(c.absolute ? file : file.substr(3));
        EXPECT_TRUE(Contains(SplitCrLf(written), c.line)) << c.target << ": " << written;
        EXPECT_TRUE(std::filesystem::is_symlink(folder.Host(c.place))) << c.target;
        EXPECT_TRUE(KelpraOwn(Files()).empty()) << c.target;
    }
}

// A link that stays inside the help folder is written through, and stays
// a link.
TEST_F(SweepTest, ALinkInsideTheHelpFolderIsWrittenThrough)
{
    Restore({"` d", "function Init()"});
    folder.Write("help\\pages\\real menu.htm", CrLf(Menu));
    std::filesystem::remove(folder.Host("help\\menu.htm"));
    std::filesystem::create_symlink("pages/real menu.htm", folder.Host("help/menu.htm"));
    EXPECT_EQ(AddIncludeQuietly(), 1);
    EXPECT_TRUE(std::filesystem::is_symlink(folder.Host("help/menu.htm")));
    EXPECT_TRUE(
        Contains(Lines("help\\pages\\real menu.htm"), "<a href=\"Includes.htm\">My Include Files</a><br>"));
}

// A named pipe where a page or the source should be: every command returns
// at once instead of waiting for a writer that never comes.
TEST_F(SweepTest, NamedPipesAreRefusedWithoutWaiting)
{
    Restore({"` d", "function Init()"});
    std::filesystem::remove(folder.Host("help\\index.htm"));
    ASSERT_EQ(mkfifo(folder.Host("help/index.htm").c_str(), 0644), 0);
    ASSERT_EQ(mkfifo(folder.Host("src/pipe.dba").c_str(), 0644), 0);
    EXPECT_EQ(InsertIndexLink("C"), 0);
    EXPECT_EQ(AddIncludeQuietly("pipe.dba"), 0);
    // A pipe where a page to rewrite should be is found before anything changes.
    FileFailureClear();
    EXPECT_EQ(AddIncludeQuietly(), 0);
    EXPECT_EQ(FileLastFailure().kind, FileFailureKind::NotAFile);
    EXPECT_EQ(FileLastFailure().file, folder.Win("help\\index.htm"));
    EXPECT_EQ(Lines("db\\keywords.txt"), (std::vector<std::string>{"PRINT", "CLS"}));
    EXPECT_EQ(FileOpenRead(1, folder.Win("help\\index.htm")), 0);
}
#endif

}  // namespace
