#include <cstdio>
#include <string>

#include <gtest/gtest.h>

#include "helpindex/backups.h"
#include "state/state.h"
#include "support/testfolder.h"

namespace {

class Backups : public ::testing::Test {
protected:
    void SetUp() override
    {
        ProgramStateClear();
        State.programFolder = folder.Win("prog\\");
        State.helpFolder = folder.Win("help\\");
        State.keywordsFile = folder.Win("db\\keywords.txt");
        folder.MakeFolder("prog");
        folder.Write("help\\index.htm", CrLf({"<html>", "index one"}));
        folder.Write("help\\main.htm", CrLf({"main one"}));
        folder.Write("help\\menu.htm", CrLf({"menu one"}));
        folder.Write("db\\keywords.txt", CrLf({"PRINT", "CLS"}));
    }
    TestFolder folder;
};

const struct {
    const char* backup;
    const char* source;
} Rows[] = {
    {"prog\\index.bak", "help\\index.htm"},
    {"prog\\main.bak", "help\\main.htm"},
    {"prog\\menu.bak", "help\\menu.htm"},
    {"prog\\keywords.bak", "db\\keywords.txt"},
};

TEST_F(Backups, FirstRunCopiesAllFour)
{
    BackupHelpPages();
    for (const auto& row : Rows) EXPECT_EQ(folder.Read(row.backup), folder.Read(row.source)) << row.backup;
}

TEST_F(Backups, LaterRunsKeepTheFirstContents)
{
    BackupHelpPages();
    const std::string first = folder.Read("help\\index.htm");
    folder.Write("help\\index.htm", CrLf({"<html>", "index changed"}));
    folder.Write("other\\keywords.txt", CrLf({"OTHER"}));
    State.keywordsFile = folder.Win("other\\keywords.txt");
    BackupHelpPages();
    EXPECT_EQ(folder.Read("prog\\index.bak"), first);
    EXPECT_EQ(folder.Read("prog\\keywords.bak"), CrLf({"PRINT", "CLS"}));
}

TEST_F(Backups, DeletedOrEmptiedBackupIsRemade)
{
    BackupHelpPages();
    folder.Write("help\\main.htm", CrLf({"main two"}));
    folder.Write("help\\menu.htm", CrLf({"menu two"}));
    ASSERT_TRUE(std::remove(folder.Host("prog/main.bak").c_str()) == 0);
    folder.Write("prog\\menu.bak", "");
    BackupHelpPages();
    EXPECT_EQ(folder.Read("prog\\main.bak"), CrLf({"main two"}));
    EXPECT_EQ(folder.Read("prog\\menu.bak"), CrLf({"menu two"}));
    EXPECT_EQ(folder.Read("prog\\index.bak"), CrLf({"<html>", "index one"}));
}

TEST_F(Backups, FolderInPlaceOfABackupDoesNotStopTheOthers)
{
    folder.MakeFolder("prog\\main.bak");
    BackupHelpPages();
    BackupHelpPages();
    EXPECT_EQ(folder.Read("prog\\index.bak"), folder.Read("help\\index.htm"));
    EXPECT_EQ(folder.Read("prog\\menu.bak"), folder.Read("help\\menu.htm"));
    EXPECT_EQ(folder.Read("prog\\keywords.bak"), folder.Read("db\\keywords.txt"));
    EXPECT_TRUE(folder.Exists("prog\\main.bak\\"));
    EXPECT_FALSE(folder.Exists("prog\\main.bak\\main.htm"));
}

TEST_F(Backups, MissingSourceGivesNoBackupUntilItAppears)
{
    ASSERT_EQ(std::remove(folder.Host("help/main.htm").c_str()), 0);
    ASSERT_EQ(std::remove(folder.Host("db/keywords.txt").c_str()), 0);
    BackupHelpPages();
    EXPECT_FALSE(folder.Exists("prog\\main.bak") && !folder.Read("prog\\main.bak").empty());
    EXPECT_FALSE(folder.Exists("prog\\keywords.bak") && !folder.Read("prog\\keywords.bak").empty());
    EXPECT_EQ(folder.Read("prog\\index.bak"), folder.Read("help\\index.htm"));

    folder.Write("help\\main.htm", CrLf({"main late"}));
    BackupHelpPages();
    EXPECT_EQ(folder.Read("prog\\main.bak"), CrLf({"main late"}));
}

}  // namespace
