#include <string>

#include <gtest/gtest.h>

#include "state/programfolders.h"
#include "state/settings.h"
#include "state/state.h"
#include "state/texts.h"
#include "support/testfolder.h"

namespace {

class Settings : public ::testing::Test {
protected:
    void SetUp() override
    {
        ProgramStateClear();
        State.programFolder = folder.Win();
    }
    TestFolder folder;
};

TEST_F(Settings, NoFileGivesTheDefaultsAndWritesNothing)
{
    ReadSettings();
    EXPECT_EQ(State.programFolder, folder.Win());
    EXPECT_EQ(State.settingsFile, folder.Win("Kelpra.ini"));
    EXPECT_EQ(State.fileFilter, FileFilter);
    EXPECT_EQ(State.helpFolder, "c:\\program files\\dark basic software\\dark basic\\help\\");
    EXPECT_EQ(State.sourceViewer, "NotePad.exe");
    EXPECT_EQ(State.htmlEditor, "NotePad.exe");
    EXPECT_EQ(State.commandLineFlag, 0);
    EXPECT_EQ(State.keywordsFile, "c:\\program files\\dark basic software\\dark basic\\keywords.txt");
    EXPECT_FALSE(folder.Exists("Kelpra.ini"));
}

TEST_F(Settings, StoredValuesAreReadAsStartUpUsesThem)
{
    folder.Write("Kelpra.ini",
                 "[Setup]\r\n"
                 "HELP=  T:\\help  \r\n"
                 "dba=viewer.exe\r\n"
                 "Html= edit.exe\r\n"
                 "UseCL=1\r\n"
                 "Keywords=T:\\kw.txt\r\n");
    ReadSettings();
    EXPECT_EQ(State.helpFolder, "T:\\help");  // no closing "\" added
    EXPECT_EQ(State.sourceViewer, "viewer.exe");
    EXPECT_EQ(State.htmlEditor, "edit.exe");
    EXPECT_EQ(State.commandLineFlag, 1);
    EXPECT_EQ(State.keywordsFile, "T:\\kw.txt");
}

TEST_F(Settings, CommandLineFlagValues)
{
    const struct {
        std::string stored;
        int32_t expected;
    } cases[] = {
        {"UseCL= 7", 7},      {"UseCL=-1", -1}, {"UseCL=+3", 3}, {"UseCL=12ab", 12},
        {"UseCL=letters", 0}, {"UseCL=", 0},    {"DBA=x", 0},  // key missing: the default
    };
    for (const auto& c : cases) {
        folder.Write("Kelpra.ini", "[Setup]\r\n" + c.stored + "\r\n");
        ReadSettings();
        EXPECT_EQ(State.commandLineFlag, c.expected) << c.stored;
    }
}

TEST_F(Settings, LongValueIsCutTo119Characters)
{
    std::string value = "T:\\" + std::string(150, 'x');
    folder.Write("Kelpra.ini", "[Setup]\r\nHelp=" + value + "\r\n");
    ReadSettings();
    EXPECT_EQ(State.helpFolder, value.substr(0, 119));
}

TEST_F(Settings, WrittenKeysAreReadBackAtTheNextStart)
{
    ReadSettings();
    WriteSettingText("Setup", "Help", "T:\\other help\\");
    WriteSettingText("Setup", "Keywords", "T:\\keywords.txt");  // read as "keywords"
    WriteSettingInteger("Setup", "UseCL", 1);
    WriteSettingInteger("Setup", "Number", -42);
    EXPECT_EQ(folder.Read("Kelpra.ini"), CrLf({"[Setup]", "Help=T:\\other help\\",
                                               "Keywords=T:\\keywords.txt", "UseCL=1", "Number=-42"}));

    ProgramStateClear();
    State.programFolder = folder.Win();
    ReadSettings();
    EXPECT_EQ(State.helpFolder, "T:\\other help\\");
    EXPECT_EQ(State.keywordsFile, "T:\\keywords.txt");
    EXPECT_EQ(State.commandLineFlag, 1);
    EXPECT_EQ(ReadSettingInteger("Setup", "Number", 0), -42);
    EXPECT_EQ(ReadSettingInteger("Setup", "Missing", 5), 5);

    WriteSettingText("Setup", "keywords", "T:\\second.txt");  // same setting, replaced in place
    EXPECT_EQ(ReadSettingText("Setup", "KEYWORDS", ""), "T:\\second.txt");
    EXPECT_EQ(folder.Read("Kelpra.ini"),
              CrLf({"[Setup]", "Help=T:\\other help\\", "Keywords=T:\\second.txt", "UseCL=1", "Number=-42"}));
}

TEST(SettingsProgramFolder, TakenFromTheProgramWhenNotGiven)
{
    ProgramStateClear();
    ReadSettings();
    ASSERT_FALSE(State.programFolder.empty());
    EXPECT_EQ(State.programFolder.back(), '\\');
    EXPECT_EQ(State.programFolder, ProgramFolder());
    EXPECT_EQ(State.settingsFile, State.programFolder + "Kelpra.ini");
}

}  // namespace
