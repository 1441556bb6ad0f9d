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

#include "runtime/hostpath.h"
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

// Runs only as a child of the tests below: one Add Include (of the source
// named) or letter anchor (for the letter named) on their folder, ended at
// the file operation given, then exits with how it went.
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
// and no empty file is copied over a backup that holds something.
TEST_F(SweepTest, LeftoversOfAnInterruptedRunAreSweptAndGoodBackupsKept)
{
    Restore({"` d", "function Init()"});
    const std::vector<std::string> leftovers = {
        "help\\.kelpra-new-a1B2c3", "help\\Includes\\.kelpra-copy-XyZ789", "db\\.kelpra-new-000000"};
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
        {"db\\keywords.txt", false, false, "db\\keywords.txt"},
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
    EXPECT_EQ(AddIncludeQuietly(), 1);
    EXPECT_TRUE(Contains(Lines("db\\keywords.txt"), "INIT()"));
    EXPECT_EQ(FileOpenRead(1, folder.Win("help\\index.htm")), 0);
}
#endif

}  // namespace
