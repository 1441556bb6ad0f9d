#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include "runtime/files.h"
#include "runtime/profile.h"
#include "support/faults.h"
#include "support/testfolder.h"

namespace {

struct ReadCase {
    const char* name;
    std::string file;
    std::string section;
    std::string key;
    std::string expected;
};

TEST(Profile, ReadsValuesAsTheIniRulesSay)
{
    const std::string windowsFile =
        "; written by the setup\r\n\r\n[Setup]\r\n; the help pages\r\nHelp=c:\\help\\\r\n\r\nUseCL=1\r\n";
    const ReadCase cases[] = {
        {"lf line ends", "[Setup]\nHelp=a\nDBA=b\n", "Setup", "DBA", "b"},
        {"crlf file with comments and blanks", windowsFile, "Setup", "Help", "c:\\help\\"},
        {"value after a blank line", windowsFile, "Setup", "UseCL", "1"},
        {"section and key ignore case", "[SETUP]\r\nHELP=x\r\n", "setup", "Help", "x"},
        {"spaces around names and value", "  [ Setup ]  \r\n  Help  =  c:\\a b\\  \r\n", "Setup", "Help",
         "c:\\a b\\"},
        {"first of repeated keys", "[Setup]\r\nHelp=first\r\nhelp=second\r\n", "Setup", "Help", "first"},
        {"first of repeated sections", "[Setup]\r\nHelp=one\r\n[setup]\r\nHelp=two\r\n", "Setup", "Help",
         "one"},
        {"empty value is not the default", "[Setup]\r\nHelp=\r\n", "Setup", "Help", ""},
        {"quotes around the value dropped", "[Setup]\r\nHelp=\"c:\\x\\\"\r\n", "Setup", "Help", "c:\\x\\"},
        {"value keeps inner equals signs", "[Setup]\r\nHelp=a=b\r\n", "Setup", "Help", "a=b"},
        {"last line without line end", "[Setup]\r\nHelp=end", "Setup", "Help", "end"},
        {"editor's utf-8 mark", "\xEF\xBB\xBF[Setup]\r\nHelp=m\r\n", "Setup", "Help", "m"},
        {"commented key ignored", "[Setup]\r\n;Help=no\r\n", "Setup", "Help", "default"},
        {"key of another section", "[Setup]\r\nDBA=x\r\n[Other]\r\nHelp=no\r\n", "Setup", "Help", "default"},
        {"key before any section", "Help=no\r\n[Setup]\r\n", "Setup", "Help", "default"},
        {"missing section", "[Other]\r\nHelp=no\r\n", "Setup", "Help", "default"},
        {"empty file", "", "Setup", "Help", "default"},
    };
    for (const auto& c : cases) {
        TestFolder folder;
        folder.Write("Kelpra.ini", c.file);
        EXPECT_EQ(ProfileGetString(c.section, c.key, "default", 120, folder.Win("Kelpra.ini")), c.expected)
            << c.name;
        // Our reader gives the same from a file it keeps.
        ProfileKeep(1);
        for (int twice = 0; twice < 2; ++twice)
            EXPECT_EQ(ProfileReadString(c.section, c.key, "default", 120, folder.Win("Kelpra.ini")),
                      c.expected)
                << c.name << ", kept";
        ProfileKeep(0);
    }
}

// While kept, the file is read once: a change behind the reader's back is
// seen only after the keeping ends, a change written through the writer at
// once; a file too large to keep, a missing one and a second file are read
// as ever.
TEST(Profile, AKeptFileIsReadOnce)
{
    TestFolder folder;
    const std::string ini = folder.Win("Kelpra.ini");
    const auto read = [&](const std::string& file) {
        return ProfileReadString("Setup", "Help", "d", 120, file);
    };
    folder.Write("Kelpra.ini", "[Setup]\r\nHelp=one\r\n");
    ProfileKeep(1);
    EXPECT_EQ(read(ini), "one");
    folder.Write("Kelpra.ini", "[Setup]\r\nHelp=two\r\n");
    EXPECT_EQ(read(ini), "one");
    EXPECT_EQ(read(folder.Win("missing.ini")), "d");
    folder.Write("other.ini", "[Setup]\r\nHelp=other\r\n");
    EXPECT_EQ(read(folder.Win("other.ini")), "other");
    EXPECT_EQ(read(ini), "two");
    ASSERT_EQ(ProfileWriteString("Setup", "Help", "three", ini), 1);
    EXPECT_EQ(read(ini), "three");
    folder.Write("Kelpra.ini", std::string(70000, ';') + "\r\n[Setup]\r\nHelp=large\r\n");
    ProfileKeep(0);
    ProfileKeep(1);
    EXPECT_EQ(read(ini), "large");
    folder.Write("Kelpra.ini", std::string(70000, ';') + "\r\n[Setup]\r\nHelp=larger\r\n");
    EXPECT_EQ(read(ini), "larger");
    ProfileKeep(0);
    folder.Write("Kelpra.ini", "[Setup]\r\nHelp=four\r\n");
    EXPECT_EQ(read(ini), "four");
}

TEST(Profile, ValueAndDefaultAreCutToTheRoom)
{
    TestFolder folder;
    std::string longValue(200, 'v');
    folder.Write("Kelpra.ini", "[Setup]\r\nHelp=" + longValue + "\r\n");
    EXPECT_EQ(ProfileGetString("Setup", "Help", "", 120, folder.Win("Kelpra.ini")), std::string(119, 'v'));
    EXPECT_EQ(ProfileGetString("Setup", "Help", "", 4, folder.Win("Kelpra.ini")), "vvv");
    EXPECT_EQ(ProfileGetString("Setup", "Help", "", 1, folder.Win("Kelpra.ini")), "");
    EXPECT_EQ(ProfileGetString("Setup", "DBA", "defaultText", 5, folder.Win("Kelpra.ini")), "defa");
}

TEST(Profile, MissingFileGivesTheDefaultAndStaysMissing)
{
    TestFolder folder;
    folder.MakeFolder("folder.ini");
    EXPECT_EQ(ProfileGetString("Setup", "Help", "d", 120, folder.Win("Kelpra.ini")), "d");
    EXPECT_EQ(ProfileGetString("Setup", "Help", "d", 120, folder.Win("folder.ini")), "d");
    EXPECT_EQ(ProfileGetString("Setup", "Help", "d", 120, "Q:\\nodrive\\Kelpra.ini"), "d");
    EXPECT_FALSE(folder.Exists("Kelpra.ini"));
}

struct WriteCase {
    const char* name;
    std::string before;  // "-" for no file
    std::string section;
    std::string key;
    std::string value;
    std::string after;
};

TEST(Profile, WritesKeepEveryOtherLine)
{
    const WriteCase cases[] = {
        {"creates the file", "-", "Setup", "Help", "c:\\h\\", "[Setup]\r\nHelp=c:\\h\\\r\n"},
        {"replaces in place, other lines untouched", "; note\n[Setup]\nHelp=old\nDBA=n\n", "Setup", "Help",
         "new", "; note\n[Setup]\nHelp=new\r\nDBA=n\n"},
        {"keeps the file's spelling of the key", "[setup]\r\nkeywords=a\r\n", "Setup", "Keywords", "b",
         "[setup]\r\nkeywords=b\r\n"},
        {"only the first of repeated keys", "[Setup]\r\nA=1\r\nA=2\r\n", "Setup", "a", "3",
         "[Setup]\r\nA=3\r\nA=2\r\n"},
        {"adds the key before the blank lines of its section",
         "[Setup]\r\nA=1\r\n; c\r\n\r\n\r\n[Other]\r\nB=2\r\n", "Setup", "C", "3",
         "[Setup]\r\nA=1\r\n; c\r\nC=3\r\n\r\n\r\n[Other]\r\nB=2\r\n"},
        {"adds the key to the last section", "[Other]\r\nB=2\r\n[Setup]\r\nA=1\r\n", "Setup", "C", "3",
         "[Other]\r\nB=2\r\n[Setup]\r\nA=1\r\nC=3\r\n"},
        {"adds the key under a bare header at the end", "[Setup]", "Setup", "Help", "x",
         "[Setup]\r\nHelp=x\r\n"},
        {"appends the section", "[Other]\r\nB=2", "Setup", "Help", "x",
         "[Other]\r\nB=2\r\n[Setup]\r\nHelp=x\r\n"},
        {"key of another section is not replaced", "[Other]\r\nHelp=o\r\n", "Setup", "Help", "x",
         "[Other]\r\nHelp=o\r\n[Setup]\r\nHelp=x\r\n"},
        {"empty value", "[Setup]\r\nUseCL=1\r\n", "Setup", "UseCL", "", "[Setup]\r\nUseCL=\r\n"},
    };
    for (const auto& c : cases) {
        TestFolder folder;
        if (c.before != "-") folder.Write("Kelpra.ini", c.before);
        EXPECT_EQ(ProfileWriteString(c.section, c.key, c.value, folder.Win("Kelpra.ini")), 1) << c.name;
        EXPECT_EQ(folder.Read("Kelpra.ini"), c.after) << c.name;
        EXPECT_EQ(ProfileGetString(c.section, c.key, "default", 120, folder.Win("Kelpra.ini")), c.value)
            << c.name;
        size_t files = 0;
        for (const auto& entry : std::filesystem::directory_iterator(folder.Host())) {
            (void)entry;
            ++files;
        }
        EXPECT_EQ(files, 1u) << c.name << ": the temporary file was left behind";
    }
}

TEST(Profile, FailedWritesReportZeroAndKeepTheFile)
{
    TestFolder folder;
    folder.Write("plain", "not a folder");
    EXPECT_EQ(ProfileWriteString("Setup", "Help", "x", folder.Win("plain\\Kelpra.ini")), 0);
    EXPECT_EQ(folder.Read("plain"), "not a folder");

    folder.MakeFolder("folder.ini");
    EXPECT_EQ(ProfileWriteString("Setup", "Help", "x", folder.Win("folder.ini")), 0);
    EXPECT_EQ(ProfileWriteString("Setup", "Help", "x", "Q:\\nodrive\\Kelpra.ini"), 0);

    // A line break would smuggle in another key or section.
    const std::string before = "[Setup]\r\nHelp=a\r\n";
    folder.Write("Kelpra.ini", before);
    EXPECT_EQ(ProfileWriteString("Setup", "Help", "x\r\n[Evil]", folder.Win("Kelpra.ini")), 0);
    EXPECT_EQ(ProfileWriteString("Setup", "He\nlp", "x", folder.Win("Kelpra.ini")), 0);
    EXPECT_EQ(ProfileWriteString("Setup", "A=B", "x", folder.Win("Kelpra.ini")), 0);
    EXPECT_EQ(ProfileWriteString("Setup", "", "x", folder.Win("Kelpra.ini")), 0);
    EXPECT_EQ(folder.Read("Kelpra.ini"), before);
}

size_t FilesIn(const TestFolder& folder)
{
    size_t files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder.Host()))
        files += !entry.is_directory();
    return files;
}

// A setting written while the disk fills up, or a flush, a close or a
// rename fails, at every point in turn: the file holds its old settings or
// all the new ones, and no temporary file stays.
TEST(Profile, EveryFailedStepKeepsTheOldSettings)
{
    TestFolder folder;
    const std::string before = "; mine\n[Setup]\nHelp=" + std::string(100000, 'h') + "\nDBA=old\n";
    const std::string after = "; mine\n[Setup]\nHelp=" + std::string(100000, 'h') + "\nDBA=new\r\n";
    for (FileOperation operation :
         {FileOperation::Write, FileOperation::Flush, FileOperation::Close, FileOperation::Rename}) {
        for (long n = 1;; ++n) {
            folder.Write("Kelpra.ini", before);
            FaultFailAt(operation, n);
            const int written = ProfileWriteString("Setup", "DBA", "new", folder.Win("Kelpra.ini"));
            if (!FaultsInjected()) {
                EXPECT_EQ(written, 1);
                EXPECT_EQ(folder.Read("Kelpra.ini"), after);
                break;
            }
            EXPECT_EQ(written, 0) << n;
            EXPECT_EQ(folder.Read("Kelpra.ini"), before) << n;
            EXPECT_EQ(FilesIn(folder), 1u) << n;
        }
    }
}

// A value or a file of many megabytes: read and rewritten a block at a
// time, every other byte kept.
TEST(Profile, HugeLinesAreReadAndKeptWhole)
{
    TestFolder folder;
    const std::string huge(8 << 20, 'v');
    const std::string file = "[Setup]\r\nHelp=\"" + huge + "\"\r\nUseCL=1\r\n[Other]\r\nBig=" + huge + "\r\n";
    folder.Write("Kelpra.ini", file);
    EXPECT_EQ(ProfileGetString("Setup", "Help", "", 120, folder.Win("Kelpra.ini")), std::string(119, 'v'));
    EXPECT_EQ(ProfileGetString("Setup", "UseCL", "", 120, folder.Win("Kelpra.ini")), "1");
    EXPECT_EQ(ProfileWriteString("Setup", "UseCL", "0", folder.Win("Kelpra.ini")), 1);
    EXPECT_EQ(ProfileWriteString("Setup", "DBA", "x.exe", folder.Win("Kelpra.ini")), 1);
    EXPECT_EQ(folder.Read("Kelpra.ini"),
              "[Setup]\r\nHelp=\"" + huge + "\"\r\nUseCL=0\r\nDBA=x.exe\r\n[Other]\r\nBig=" + huge + "\r\n");
}

#ifndef _WIN32
// A settings file that is a named pipe is neither waited for nor replaced.
// (One that is a link is written where it leads: state/settings_test.cpp.)
TEST(Profile, NoWriteIntoAPipe)
{
    TestFolder folder;
    ASSERT_EQ(mkfifo(folder.Host("pipe.ini").c_str(), 0644), 0);
    EXPECT_EQ(ProfileGetString("Setup", "Help", "d", 120, folder.Win("pipe.ini")), "d");
    FileFailureClear();
    EXPECT_EQ(ProfileWriteString("Setup", "Help", "y", folder.Win("pipe.ini")), 0);
    EXPECT_EQ(FileLastFailure().kind, FileFailureKind::NotAFile);
    struct stat info;
    EXPECT_TRUE(stat(folder.Host("pipe.ini").c_str(), &info) == 0 && S_ISFIFO(info.st_mode));
}
#endif

}  // namespace
