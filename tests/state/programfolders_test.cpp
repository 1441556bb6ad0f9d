#include <cstdlib>
#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "runtime/files.h"
#include "runtime/install.h"
#include "state/programfolders.h"
#include "state/settings.h"
#include "state/state.h"
#include "support/faults.h"
#include "support/testfolder.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#endif

namespace {

// Where the per-user folders land under the test folder.
#ifdef _WIN32
const char* const UserVariables[] = {"APPDATA"};
const std::string UserSettings = "appdata\\Kelpra\\";
const std::string UserData = "appdata\\Kelpra\\";
#else
const char* const UserVariables[] = {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME"};
const std::string UserSettings = "cfg\\kelpra\\";
const std::string UserData = "data\\kelpra\\";
#endif

// A folder that refuses new files even to root: the kernel's own.
const std::string ReadOnlyFolder = "Z:\\proc\\";

void SetEnvironment(const char* name, const char* value)
{
#ifdef _WIN32
    SetEnvironmentVariableA(name, value);
#else
    if (value) {
        setenv(name, value, 1);
    } else {
        unsetenv(name);
    }
#endif
}

class ProgramFolders : public ::testing::Test {
protected:
    void SetUp() override
    {
        ProgramStateClear();
        for (const char* name : UserVariables) {
            const char* value = std::getenv(name);
            saved.push_back(value ? std::string(value) : std::string("\x01"));
        }
        PointUserFoldersIntoTest();
    }
    void TearDown() override
    {
        for (size_t i = 0; i < saved.size(); ++i)
            SetEnvironment(UserVariables[i], saved[i] == "\x01" ? nullptr : saved[i].c_str());
    }

    void PointUserFoldersIntoTest()
    {
#ifdef _WIN32
        SetEnvironment("APPDATA", folder.Win("appdata").c_str());
#else
        SetEnvironment("HOME", folder.Host("home").c_str());
        SetEnvironment("XDG_CONFIG_HOME", folder.Host("cfg").c_str());
        SetEnvironment("XDG_DATA_HOME", folder.Host("data").c_str());
#endif
    }

    // Where the package or installer puts the program: Linux reads its data
    // from share\kelpra beside bin, Windows beside the uninstaller.
    void LayOutInstallation()
    {
        folder.Write("inst\\bin\\Uninstall.exe", "MZ");
        folder.Write("inst\\share\\kelpra\\Includes.htm", "list template");
    }
    std::string InstalledData() const
    {
#ifdef _WIN32
        return folder.Win("inst\\bin\\");
#else
        return folder.Win("inst\\share\\kelpra\\");
#endif
    }

    void ForgetUserFolders()
    {
        std::error_code ignored;
        for (const char* name : {"appdata", "cfg", "data", "home"})
            std::filesystem::remove_all(folder.Host(name), ignored);
    }

    TestFolder folder;
    std::vector<std::string> saved;
};

TEST_F(ProgramFolders, PortableOrInstalledByWhereTheProgramStands)
{
    LayOutInstallation();
    folder.Write("prog\\Includes.htm", "list template");
    folder.MakeFolder("empty");
    folder.Write("kept\\bin\\Kelpra.ini", "[Setup]\r\n");
    folder.Write("kept\\share\\kelpra\\Includes.htm", "list template");
    folder.Write("kept\\bin\\Uninstall.exe", "MZ");

    const struct {
        const char* what;
        std::string own;
        bool installed;
        std::string data;
    } cases[] = {
        {"writable, data beside it", folder.Win("prog\\"), false, ""},
        {"writable and empty", folder.Win("empty\\"), false, ""},
        {"holds Kelpra.ini where an installation put it", folder.Win("kept\\bin\\"), false, ""},
        {"read-only", ReadOnlyFolder, true, ReadOnlyFolder},
        {"where an installation put it, though writable", folder.Win("inst\\bin\\"), true, InstalledData()},
    };
    for (const auto& c : cases) {
        ProgramStateClear();
        ForgetUserFolders();
        SettleProgramFolders(c.own);

        if (c.installed) {
            EXPECT_EQ(State.programFolder, folder.Win(UserData)) << c.what;
            EXPECT_EQ(State.settingsFile, folder.Win(UserSettings + "Kelpra.ini")) << c.what;
            EXPECT_EQ(State.dataFolder, c.data) << c.what;
            EXPECT_EQ(PathSize(folder.Win(UserSettings)), -2) << c.what;
            EXPECT_EQ(PathSize(folder.Win(UserData)), -2) << c.what;
        } else {
            EXPECT_EQ(State.programFolder, c.own) << c.what;
            EXPECT_EQ(State.settingsFile, c.own + "Kelpra.ini") << c.what;
            EXPECT_EQ(State.dataFolder, c.own) << c.what;
            EXPECT_EQ(PathSize(folder.Win(UserSettings)), -1) << c.what;
        }
    }
}

TEST_F(ProgramFolders, TheSettingsFileIsTheSameFileInBothWays)
{
    LayOutInstallation();
    folder.MakeFolder("prog");
    auto writeSettings = [] {
        WriteSettingText("Setup", "Help", "T:\\help\\");
        WriteSettingText("Setup", "Keywords", "T:\\keywords.txt");
        WriteSettingInteger("Setup", "UseCL", 1);
        WriteSettingText("Setup", "HTML", "T:\\edit.exe");
    };
    SettleProgramFolders(folder.Win("prog\\"));
    writeSettings();
    ProgramStateClear();
    SettleProgramFolders(folder.Win("inst\\bin\\"));
    writeSettings();
    ASSERT_EQ(State.settingsFile, folder.Win(UserSettings + "Kelpra.ini"));
    EXPECT_EQ(folder.Read(UserSettings + "Kelpra.ini"), folder.Read("prog\\Kelpra.ini"));
    EXPECT_FALSE(folder.Exists("inst\\bin\\Kelpra.ini"));

    // And start-up reads it back from there.
    ProgramStateClear();
    SettleProgramFolders(folder.Win("inst\\bin\\"));
    ReadSettings();
    EXPECT_EQ(State.helpFolder, "T:\\help\\");
    EXPECT_EQ(State.keywordsFile, "T:\\keywords.txt");
    EXPECT_EQ(State.commandLineFlag, 1);
    EXPECT_EQ(State.settingsFile, folder.Win(UserSettings + "Kelpra.ini"));
}

TEST_F(ProgramFolders, WritableIsTriedNotGuessed)
{
    folder.MakeFolder("open");
    folder.Write("file", "x");
    const struct {
        std::string path;
        int writable;
    } cases[] = {
        {folder.Win("open\\"), 1},
        {ReadOnlyFolder, 0},
        {folder.Win("missing\\"), 0},
        {folder.Win("file\\"), 0},
    };
    for (const auto& c : cases) EXPECT_EQ(FolderWritable(c.path), c.writable) << c.path;
    // The probe leaves nothing behind.
    EXPECT_EQ(FolderNames(folder.Win("open\\")).size(), 0u);
}

class FirstRun : public ProgramFolders {
protected:
    void SetUp() override
    {
        ProgramFolders::SetUp();
        folder.Write("share\\examples\\help\\index.htm", "index");
        folder.Write("share\\examples\\help\\commands\\print.htm", "print");
        folder.Write("share\\examples\\keywords.txt", "PRINT\r\n");
        folder.Write("share\\HelpMain.htm", "help on help");
        folder.MakeFolder("user");
    }
    void Start(const std::string& data, const std::string& ini)
    {
        ProgramStateClear();
        State.programFolder = folder.Win("user\\");
        State.dataFolder = folder.Win(data);
        if (!ini.empty()) folder.Write("user\\Kelpra.ini", ini);
        ReadSettings();
    }
};

TEST_F(FirstRun, TheExampleHelpFolderIsCopiedOnceAndUsedUntilASettingNamesAnother)
{
    folder.Write("db\\help\\index.htm", "Dark Basic's own");
#ifndef _WIN32
    // Neither blocks nor loops the copy: a pipe named like a page, a link
    // back up the tree.
    ASSERT_EQ(mkfifo(folder.Host("share/examples/help/pipe.htm").c_str(), 0644), 0);
    std::filesystem::create_directory_symlink("..", folder.Host("share/examples/help/up"));
#endif
    const std::string copy = folder.Win("user\\examples\\");
    const struct {
        const char* what;
        std::string data;
        std::string ini;
        std::string help;
        std::string keywords;
        bool examplesBeside = false;  // the program's own examples lie in the folder it writes
    } cases[] = {
        {"installed, nothing set", "share\\", "", copy + "help\\", copy + "keywords.txt"},
        {"installed, keywords set", "share\\", "[Setup]\r\nkeywords=T:\\kw.txt\r\n", copy + "help\\",
         "T:\\kw.txt"},
        {"installed, help set", "share\\", "[Setup]\r\nHelp=T:\\db\\help\\\r\n", "T:\\db\\help\\",
         DefaultKeywordsFile},
        {"installed, help set to a folder that is gone", "share\\", "[Setup]\r\nHelp=T:\\gone\\\r\n",
         "T:\\gone\\", DefaultKeywordsFile},
        {"portable", "user\\", "", DefaultHelpFolder, DefaultKeywordsFile},
        // An unpacked zip, or a program installed into the home whose data
        // folder is its per-user folder: the examples are used where they lie.
        {"examples beside the program", "user\\", "", copy + "help\\", copy + "keywords.txt", true},
    };
    for (const auto& c : cases) {
        std::error_code ignored;
        std::filesystem::remove_all(folder.Host("user"), ignored);
        folder.MakeFolder("user");
        if (c.examplesBeside) {
            folder.Write("user\\examples\\help\\index.htm", "index");
            folder.Write("user\\examples\\help\\commands\\print.htm", "print");
            folder.Write("user\\examples\\keywords.txt", "PRINT\r\n");
        }
        Start(c.data, c.ini);
        EXPECT_EQ(State.helpFolder, c.help) << c.what;
        EXPECT_EQ(State.keywordsFile, c.keywords) << c.what;
        const bool copied = c.help == copy + "help\\";
        EXPECT_EQ(folder.Read("user\\examples\\help\\commands\\print.htm"), copied ? "print" : "") << c.what;
        EXPECT_EQ(folder.Read("user\\examples\\keywords.txt"), copied ? "PRINT\r\n" : "") << c.what;
        EXPECT_EQ(folder.Exists("user\\Kelpra.ini"), !c.ini.empty()) << c.what;
        EXPECT_FALSE(folder.Exists("user\\examples\\help\\pipe.htm")) << c.what;
        EXPECT_FALSE(folder.Exists("user\\examples\\help\\up")) << c.what;
    }

    // The copy is the user's: a later start keeps what Add Include wrote,
    // and what the user deleted stays deleted.
    folder.Write("user\\examples\\help\\index.htm", "changed by the user");
    std::filesystem::remove(folder.Host("user/examples/help/commands/print.htm"));
    Start("share\\", "");
    EXPECT_EQ(folder.Read("user\\examples\\help\\index.htm"), "changed by the user");
    EXPECT_FALSE(folder.Exists("user\\examples\\help\\commands\\print.htm"));
    EXPECT_EQ(State.helpFolder, copy + "help\\");
}

// A copy cut short (a full disk, a killed start) is never taken for the
// user's: the start goes on without it, and the next one finishes it.
TEST_F(FirstRun, AnInterruptedCopyIsFinishedByTheNextStart)
{
    for (const FileOperation operation :
         {FileOperation::Create, FileOperation::Write, FileOperation::Rename}) {
        for (long n = 1;; ++n) {
            std::error_code ignored;
            std::filesystem::remove_all(folder.Host("user"), ignored);
            folder.MakeFolder("user");
            FaultFailAt(operation, n);
            Start("share\\", "");
            const int injected = FaultsInjected();
            FaultsOff();
            if (!injected) break;
            const std::string when =
                "operation " + std::to_string(static_cast<int>(operation)) + " #" + std::to_string(n);
            EXPECT_EQ(State.helpFolder, DefaultHelpFolder) << when;
            EXPECT_FALSE(folder.Exists("user\\examples")) << when;

            Start("share\\", "");
            EXPECT_EQ(State.helpFolder, folder.Win("user\\examples\\help\\")) << when;
            EXPECT_EQ(folder.Read("user\\examples\\help\\commands\\print.htm"), "print") << when;
            EXPECT_EQ(folder.Read("user\\examples\\keywords.txt"), "PRINT\r\n") << when;
            EXPECT_EQ(FolderNames(folder.Win("user\\")), std::vector<std::string>{"examples\\"}) << when;
        }
    }
}

#ifndef _WIN32
TEST_F(FirstRun, DarkBasicInTheWinePrefixIsUsedAsItIs)
{
    // C: comes from the Wine prefix, where Dark Basic's installer put it.
    TestFolder driveC('C');
    driveC.Write("program files\\dark basic software\\dark basic\\help\\index.htm", "index");
    Start("share\\", "");
    EXPECT_EQ(State.helpFolder, DefaultHelpFolder);
    EXPECT_EQ(State.keywordsFile, DefaultKeywordsFile);
    EXPECT_FALSE(folder.Exists("user\\examples"));
}
#endif

TEST_F(FirstRun, HelpOnHelpIsShownFromAFreshCopyWhereItsDisplayCopyCanGo)
{
    Start("share\\", "");
    EXPECT_EQ(HelpOnHelpPage(), folder.Win("user\\HelpMain.htm"));
    EXPECT_EQ(folder.Read("user\\HelpMain.htm"), "help on help");
    folder.Write("share\\HelpMain.htm", "a newer version");
    HelpOnHelpPage();
    EXPECT_EQ(folder.Read("user\\HelpMain.htm"), "a newer version");

    folder.Write("user\\HelpMain.htm", "beside the program");
    Start("user\\", "");
    EXPECT_EQ(HelpOnHelpPage(), folder.Win("user\\HelpMain.htm"));
    EXPECT_EQ(folder.Read("user\\HelpMain.htm"), "beside the program");
}

}  // namespace
