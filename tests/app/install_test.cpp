// The two programs as a package lays them out: bin/ beside share/kelpra,
// the per-user folders in a temporary XDG home, no display.
#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <string>
#include <vector>

#include <unistd.h>

#include <gtest/gtest.h>

#include "support/command.h"
#include "support/testfolder.h"

namespace fs = std::filesystem;

namespace {

class Installed : public ::testing::Test {
protected:
    void SetUp() override
    {
        const fs::path source = KELPRA_SOURCE_DIR;
        const fs::path bin = KELPRA_BIN_DIR;
        fs::create_directories(folder.Host("usr/bin"));
        fs::create_directories(folder.Host("usr/share/kelpra/examples"));
        fs::copy(bin / "kelpra-cli", folder.Host("usr/bin/kelpra-cli"));
        for (const char* name : {"Includes.htm", "Include2.htm", "HelpMain.htm"})
            fs::copy(source / "data" / name, folder.Host("usr/share/kelpra/") + name);
        fs::copy(source / "examples", folder.Host("usr/share/kelpra/examples"), fs::copy_options::recursive);
    }

    CommandResult Cli(const std::string& arguments) const
    {
        return RunCommandLine("env -u DISPLAY -u WAYLAND_DISPLAY HOME=" + folder.Host("home") +
                              " XDG_CONFIG_HOME=" + folder.Host("cfg") + " XDG_DATA_HOME=" +
                              folder.Host("data") + " WINEPREFIX=" + folder.Host("no-wine") + " " +
                              folder.Host("usr/bin/kelpra-cli") + " " + arguments + " 2>/dev/null");
    }

    TestFolder folder;
};

TEST_F(Installed, KelpraCliWritesToThePerUserFoldersAndReadsTheInstalledData)
{
    // First run: nothing set, no Dark Basic; the examples become the user's.
    CommandResult added = Cli("--yes add-include " + folder.Host("usr/share/kelpra/examples/screenfx.dba"));
    ASSERT_EQ(added.status, 0) << added.out;
    const std::string userHelp = "data/kelpra/examples/help/";
    EXPECT_TRUE(folder.Exists(userHelp + "Includes/screenfx.htm"));
    EXPECT_NE(folder.Read(userHelp + "index.htm"), folder.Read("usr/share/kelpra/examples/help/index.htm"));
    for (const char* backup : {"index.bak", "main.bak", "menu.bak", "keywords.bak"})
        EXPECT_TRUE(folder.Exists(std::string("data/kelpra/") + backup)) << backup;
    EXPECT_EQ(folder.Read("data/kelpra/index.bak"), folder.Read("usr/share/kelpra/examples/help/index.htm"));
    EXPECT_FALSE(folder.Exists("cfg/kelpra/Kelpra.ini"));

    CommandResult found = Cli("lookup fadein");
    EXPECT_EQ(found.status, 0);
    EXPECT_NE(found.out.find("\\data\\kelpra\\examples\\help\\Includes\\"), std::string::npos) << found.out;

    // The package's folders gained nothing.
    for (const auto& entry : fs::recursive_directory_iterator(folder.Host("usr"))) {
        const std::string name = entry.path().filename().string();
        EXPECT_TRUE(name.find(".bak") == std::string::npos && name != "Kelpra.ini") << entry.path();
    }
}

// `cmake --install` into the prefixes people use, each tried on the first
// run of a user with an empty home and no Dark Basic. Installed into the
// home, the installed data folder is the per-user one as well.
TEST(InstallLayouts, EveryPrefixWorksOnTheFirstRun)
{
    TestFolder folder;
    for (const std::string prefix : {"usr", "usr/local", "opt/kelpra", "home/.local"}) {
        std::error_code ignored;
        fs::remove_all(folder.Host("home"), ignored);
        fs::create_directories(folder.Host("home"));
        const std::string root = folder.Host(prefix);
        CommandResult installed = RunCommandLine(
            std::string(KELPRA_CMAKE) + " --install " KELPRA_BUILD_DIR " --prefix " + root + " >/dev/null");
        ASSERT_EQ(installed.status, 0) << prefix;
        CommandResult found = RunCommandLine(
            "env -u XDG_CONFIG_HOME -u XDG_DATA_HOME HOME=" + folder.Host("home") +
            " WINEPREFIX=" + folder.Host("no-wine") + " " + root + "/bin/kelpra-cli lookup print 2>&1");
        EXPECT_EQ(found.status, 0) << prefix << ": " << found.out;
        EXPECT_NE(found.out.find("\\examples\\help\\commands\\print.htm"), std::string::npos)
            << prefix << ": " << found.out;
        EXPECT_FALSE(fs::exists(root + "/bin/Kelpra.ini")) << prefix;
    }
}

// A service or `env -i` has no HOME: the home comes from the password
// database (nobody's does not exist, so its data folder is given), and
// nothing is written beside the installed program, whose templates Add
// Include still finds.
TEST(InstallLayouts, WithoutHomeTheTemplatesAreFoundAndNothingLandsBesideTheProgram)
{
    if (geteuid() != 0 || RunCommandLine("command -v setpriv >/dev/null").status != 0)
        GTEST_SKIP() << "runs kelpra-cli as the user nobody: needs root and setpriv";
    TestFolder folder;
    const std::string root = folder.Host("usr");
    ASSERT_EQ(RunCommandLine(std::string(KELPRA_CMAKE) + " --install " KELPRA_BUILD_DIR " --prefix " + root +
                             " >/dev/null")
                  .status,
              0);
    fs::copy(root + "/share/kelpra/examples", folder.Host("mine"), fs::copy_options::recursive);
    fs::permissions(folder.Host(""), fs::perms::others_read | fs::perms::others_exec, fs::perm_options::add);
    ASSERT_EQ(RunCommandLine("chmod -R a+rwX " + folder.Host("mine")).status, 0);
    const auto before = std::distance(fs::recursive_directory_iterator(root), {});

    CommandResult added = RunCommandLine(
        "setpriv --reuid=65534 --regid=65534 --clear-groups env -i PATH=/usr/bin:/bin WINEPREFIX=" +
        folder.Host("no-wine") + " XDG_DATA_HOME=" + folder.Host("mine/data") + " " + root +
        "/bin/kelpra-cli --help-folder " + folder.Host("mine/help") + " --keywords " +
        folder.Host("mine/keywords.txt") + " --yes add-include " + folder.Host("mine/screenfx.dba") +
        " 2>&1");
    EXPECT_EQ(added.status, 0) << added.out;
    EXPECT_TRUE(fs::exists(folder.Host("mine/help/Includes/screenfx.htm")));
    EXPECT_EQ(std::distance(fs::recursive_directory_iterator(root), {}), before);
}

TEST(KelpraWithoutDisplay, HelpAndVersionNeedNoWindow)
{
    const struct {
        const char* program;
        const char* argument;
        const char* says;
    } cases[] = {
        {"kelpra", "--help", "kelpra-cli follows the same rule."},
        {"kelpra", "--version", "kelpra " KELPRA_VERSION "\n"},
        {"kelpra-cli", "--version", "kelpra-cli " KELPRA_VERSION "\n"},
    };
    for (const auto& c : cases) {
        CommandResult ran = RunCommandLine("env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM " +
                                           std::string(KELPRA_BIN_DIR) + "/" + c.program + " " + c.argument);
        EXPECT_EQ(ran.status, 0) << c.program << " " << c.argument;
        EXPECT_NE(ran.out.find(c.says), std::string::npos) << ran.out;
    }
}

// Started without a display, the window program says so in one line and
// ends, instead of Qt's abort; a display that is named but not there counts
// as none.
TEST(KelpraWithoutDisplay, SaysSoInOneLine)
{
    TestFolder folder;
    const std::string kelpra = std::string(KELPRA_BIN_DIR) + "/kelpra";
    for (const char* display : {"", "DISPLAY=:4711 WAYLAND_DISPLAY=nowhere-kelpra"}) {
        CommandResult ran =
            RunCommandLine("env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM " + std::string(display) +
                           " " + kelpra + " print 2>" + folder.Host("err.txt"));
        EXPECT_EQ(ran.status, 1) << display;
        const std::string said = folder.Read("err.txt");
        EXPECT_EQ(said,
                  "kelpra: no display to open the window on (DISPLAY and WAYLAND_DISPLAY name none); "
                  "kelpra-cli works without one.\n")
            << display;
    }
}

}  // namespace

namespace {

std::string ReadSource(const std::string& name)
{
    std::ifstream file(std::string(KELPRA_SOURCE_DIR) + "/" + name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

// The manual page and the completion are written by hand beside the
// program's own usage text; a command added to one must reach the others,
// and both say of every command when it exits 1, and that output is UTF-8.
TEST(InstalledDocumentation, KnowsEveryCommandOfTheUsageText)
{
    CommandResult help = RunCommandLine(std::string(KELPRA_BIN_DIR) + "/kelpra-cli --help");
    ASSERT_EQ(help.status, 0);
    const std::string commands = help.out.substr(0, help.out.find("\nOptions:"));
    const std::string manual = ReadSource("packaging/linux/kelpra-cli.1");
    const std::string completion = ReadSource("packaging/linux/kelpra-cli.bash-completion");
    // Each command's text in --help: from its line to the next command's.
    std::vector<std::string> blocks;
    for (size_t at = commands.find("\n  "); at != std::string::npos; at = commands.find("\n  ", at + 1))
        if (commands[at + 3] != ' ') blocks.push_back(commands.substr(at + 3));
    for (size_t i = 0; i + 1 < blocks.size(); ++i) blocks[i].resize(blocks[i].size() - blocks[i + 1].size());
    for (const std::string& block : blocks) {
        const std::string command = block.substr(0, block.find_first_of(" \n"));
        std::string inManual;
        for (char c : command) inManual += c == '-' ? std::string("\\-") : std::string(1, c);
        // Its entry in the list of commands, not a mention elsewhere.
        size_t entry = manual.find("\n.TP\n.B " + inManual + "\n");
        if (entry == std::string::npos) entry = manual.find("\n.TP\n.BI " + inManual + " ");
        ASSERT_NE(entry, std::string::npos) << command;
        const std::string described = manual.substr(entry, manual.find("\n.TP", entry + 4) - entry);
        EXPECT_NE(block.find("Exit 1 when"), std::string::npos) << command << " in --help";
        EXPECT_NE(described.find("Exit 1 when"), std::string::npos) << command << " in the manual page";
        EXPECT_TRUE(std::regex_search(completion, std::regex("[ '|]" + command + "[ )'|]"))) << command;
    }
    EXPECT_GE(blocks.size(), 7u) << commands;
    EXPECT_NE(help.out.find("Output is UTF-8"), std::string::npos);
    EXPECT_NE(manual.find("Output is UTF-8"), std::string::npos);
    // The window program's page tells of every key it keeps in [View].
    const std::string windowManual = ReadSource("packaging/linux/kelpra.1");
    EXPECT_NE(windowManual.find(".B [View]"), std::string::npos);
    for (const char* key : {"Zoom", "WindowX", "WindowY", "WindowWidth", "WindowHeight", "SingleWindow"})
        EXPECT_NE(windowManual.find(key), std::string::npos) << key;
}

}  // namespace
