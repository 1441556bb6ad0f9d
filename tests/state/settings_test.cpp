#include <string>

#include <gtest/gtest.h>

#include "runtime/scripted/script.h"
#include "state/programfolders.h"
#include "state/settings.h"
#include "state/state.h"
#include "state/texts.h"
#include "state/view.h"
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

// A setting that cannot be stored is said in one message box that names
// the file and why, also for the window's place, which is four keys; the
// run keeps the value.
TEST_F(Settings, ASettingThatCannotBeStoredIsSaidInOneMessage)
{
    const struct {
        const char* why;
        const char* settingsFile;
        bool folderThere;   // a folder stands where the file should be
        const char* value;  // stored as Help; the window's place is tried too when it is ""
        std::string said;   // the message begins so
        bool kept;          // and says that the old version was kept
    } cases[] = {
        {"a folder in its place", "Kelpra.ini", true, "", "\nIt is not a plain file.", true},
        {"no folder to hold it", "missing\\Kelpra.ini", false, "", "\n", false},
        {"a value on two lines", "Kelpra.ini", false, "T:\\a\nb", "\nThe setting cannot be stored there.",
         false},
    };
    for (const auto& c : cases) {
        for (const char* writer : {"Help Path", "window place"}) {
            if (*c.value && writer == std::string("window place")) continue;
            const std::string when = std::string(c.why) + ", " + writer;
            ReadSettings();
            State.settingsFile = folder.Win(c.settingsFile);
            if (c.folderThere) folder.MakeFolder(c.settingsFile);
            ScriptReset();
            if (writer == std::string("Help Path")) {
                EXPECT_EQ(WriteSettingText("Setup", "Help", *c.value ? c.value : "T:\\other\\"), 0) << when;
            } else {
                WriteWindowPlace({10, 20, 300, 400});
                EXPECT_EQ(State.view.place.width, 300) << when;
            }
            ASSERT_EQ(TheScript().messages.size(), 1u) << when;
            const std::string& text = TheScript().messages[0].text;
            EXPECT_EQ(TheScript().messages[0].title, TitleV2) << when;
            EXPECT_EQ(text.rfind("Unable to write file> " + State.settingsFile + c.said, 0), 0u)
                << when << text;
            EXPECT_EQ(text.find("The old version of the file was kept.") != std::string::npos, c.kept)
                << when;
            EXPECT_EQ(FileLastFailure().kind, FileFailureKind::None) << when;
        }
    }
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
