// Runs that fail or die part-way, and what they must leave: every file
// whole, in a version that an uninterrupted run passes through, nothing of
// Kelpra's own but what a second run needs, and a second run that finishes
// the job.
#pragma once

#include <algorithm>
#include <filesystem>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "fixture.h"
#include "helpindex/indexlinks.h"
#include "includes/include.h"
#include "includes/scanner.h"
#include "runtime/rewrite.h"
#include "support/child.h"

// Every file of the help, keywords and program folders by name
// ("help/index.htm"); folders as "<folder>".
using FolderFiles = std::map<std::string, std::string>;
// For each file, the contents it may have; Absent for "not there".
using FileVersions = std::map<std::string, std::set<std::string>>;
inline const std::string Absent = "<absent>";

// Kelpra's own files: temporary files, the lock, the preparation's journal.
inline bool IsKelpraOwn(const std::string& name)
{
    return name.find("/.kelpra-") != std::string::npos;
}

inline std::vector<std::string> KelpraOwn(const FolderFiles& files)
{
    std::vector<std::string> own;
    for (const auto& [name, bytes] : files)
        if (IsKelpraOwn(name)) own.push_back(name);
    return own;
}

// The lines of a source up to its nth function declaration.
inline std::vector<std::string> FirstFunctions(const std::vector<std::string>& source, int count)
{
    std::vector<std::string> lines;
    int seen = 0;
    for (const std::string& line : source) {
        if (IsDeclarationLine(line) && ++seen > count) break;
        lines.push_back(line);
    }
    return lines;
}

inline int FunctionCount(const std::vector<std::string>& source)
{
    return static_cast<int>(std::count_if(source.begin(), source.end(),
                                          [](const std::string& line) { return IsDeclarationLine(line); }));
}

class SweepTest : public IncludeTest {
protected:
    // The help folder, the keywords file and the program folder as the
    // fixture makes them, the source as src\m.dba, an empty context list.
    void Restore(const std::vector<std::string>& source)
    {
        for (const char* name : {"help", "db", "prog"}) std::filesystem::remove_all(folder.Host(name));
        IncludeTest::SetUp();
        folder.Write("src\\m.dba", CrLf(source));
        FileFailureClear();
    }

    FolderFiles Files() const
    {
        FolderFiles files;
        for (const char* area : {"help", "db", "prog"})
            for (const auto& [name, bytes] : Snapshot(area)) files[std::string(area) + "/" + name] = bytes;
        return files;
    }

    int AddIncludeQuietly(const std::string& source = "m.dba")
    {
        FaultsQuiet();
        return AddInclude(folder.Win("src\\" + source));
    }

    // The versions of every file that an uninterrupted Add Include of the
    // source passes through: before it, after runs of each beginning of its
    // function list, and the include list page as the template makes it.
    FileVersions AddIncludeVersions(const std::vector<std::string>& source, FolderFiles& final)
    {
        std::vector<FolderFiles> states;
        Restore(source);
        states.push_back(Files());
        for (int count = 0; count <= FunctionCount(source); ++count) {
            Restore(FirstFunctions(source, count));
            EXPECT_EQ(AddIncludeQuietly(), 1);
            states.push_back(Files());
        }
        final = states.back();
        FileVersions versions = VersionsOf(states);
        versions["help/Includes.htm"].insert(CrLf(ListTemplate));
        return versions;
    }

    static FileVersions VersionsOf(const std::vector<FolderFiles>& states)
    {
        FileVersions versions;
        for (const FolderFiles& state : states)
            for (const auto& [name, bytes] : state) versions[name];
        for (auto& [name, allowed] : versions)
            for (const FolderFiles& state : states)
                allowed.insert(state.count(name) ? state.at(name) : Absent);
        return versions;
    }

    // Every file whole, in one of its versions; what was there is there.
    static void ExpectWhole(const FolderFiles& files, const FileVersions& versions, const std::string& when)
    {
        for (const auto& [name, bytes] : files) {
            if (IsKelpraOwn(name)) continue;
            EXPECT_TRUE(versions.count(name) && versions.at(name).count(bytes))
                << when << ": " << name << " is no version a run passes through";
        }
        for (const auto& [name, allowed] : versions)
            EXPECT_TRUE(files.count(name) || allowed.count(Absent))
                << when << ": " << name << " went missing";
    }

    // After a second run: every file as an uninterrupted run leaves it, but
    // that a backup may hold any whole version of the file it backs up (the
    // second run backed up what the first had finished), and nothing of
    // Kelpra's own is left.
    static void ExpectFinished(const FolderFiles& files, const FolderFiles& final,
                               const FileVersions& versions, const std::string& when)
    {
        static const std::map<std::string, std::string> backups = {
            {"help/Includes.bak", "help/Includes.htm"}, {"help/Index.bak", "help/index.htm"},
            {"help/menu.bak", "help/menu.htm"},         {"help/main.bak", "help/main.htm"},
            {"db/keywords.bak", "db/keywords.txt"},
        };
        std::set<std::string> names, finalNames;
        for (const auto& [name, bytes] : files) names.insert(name);
        for (const auto& [name, bytes] : final) finalNames.insert(name);
        EXPECT_EQ(names, finalNames) << when;
        for (const auto& [name, bytes] : final) {
            if (!files.count(name)) continue;
            const std::string& now = files.at(name);
            auto backup = backups.find(name);
            if (backup == backups.end()) {
                EXPECT_EQ(now, bytes) << when << ": " << name;
            } else {
                EXPECT_TRUE(versions.at(name).count(now) || versions.at(backup->second).count(now))
                    << when << ": " << name;
            }
        }
    }

    // Ends the child's run (Child.Run) at every file operation in turn,
    // until a run is not ended; after each death every file is whole, and
    // `again`, run here, finishes the job. The number of runs.
    int SweepDeaths(const std::string& what, const std::string& argument,
                    const std::vector<std::string>& source, const FolderFiles& final,
                    const FileVersions& versions, const std::function<int()>& again)
    {
        for (int n = 1;; ++n) {
            const std::string when = "death at " + std::to_string(n);
            Restore(source);
            ChildEnvironment environment = ChildFor(what, argument);
            environment.push_back({"KELPRA_CHILD_CRASH", std::to_string(n)});
            const int code = ChildRun("Child.Run", environment);
            if (code == 0) {
                EXPECT_EQ(Files(), final);
                return n;
            }
            EXPECT_EQ(code, FaultCrashExitCode) << when;
            if (code != FaultCrashExitCode) return n;
            ExpectWhole(Files(), versions, when);
            EXPECT_EQ(again(), 1) << when;
            ExpectFinished(Files(), final, versions, when + ", run again");
        }
    }

    // What the child test (Child.Run) needs to work on this folder.
    ChildEnvironment ChildFor(const std::string& what, const std::string& argument) const
    {
        return {{"KELPRA_CHILD", what},
                {"KELPRA_CHILD_ARGUMENT", argument},
                {"KELPRA_CHILD_BASE", folder.Win()},
                {"KELPRA_CHILD_ROOT", folder.root},
                {"KELPRA_CHILD_DRIVE", std::string(1, folder.drive ? folder.drive : 'T')}};
    }
};

// How the child test ends.
constexpr int ChildDone = 0;
constexpr int ChildFailed = 1;
constexpr int ChildBusy = 3;
