#include "runtime/hostpath.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "runtime/program.h"
#include "support/testfolder.h"

namespace {

TEST(HostPath, ResolvesComponentsWithoutRegardToCase)
{
    TestFolder t;
    t.Write("Help/Index.htm", "x");
    t.Write("Help/Sub Dir/page one.htm", "x");
    t.Write("Help/\xC3\x84rger.htm", "x");  // UTF-8 "Ärger"
    t.Write("Both/readme", "x");
    t.Write("Both/README", "x");

    struct Case {
        std::string windows, host;
    };
    const Case cases[] = {
        {"T:\\Help\\Index.htm", t.Host("Help/Index.htm")},
        {"t:\\HELP\\index.HTM", t.Host("Help/Index.htm")},
        {"T:/help//sub dir\\\\PAGE ONE.htm", t.Host("Help/Sub Dir/page one.htm")},
        {"T:\\help\\\xC3\x84RGER.htm", t.Host("Help/\xC3\x84rger.htm")},
        // Accented letters fold too, as on Windows.
        {"T:\\help\\\xC3\xA4rger.htm", t.Host("Help/\xC3\x84rger.htm")},
        {"T:\\both\\README", t.Host("Both/README")},
        {"T:\\both\\readme", t.Host("Both/readme")},
        {"T:\\help\\New File.HTM", t.Host("Help/New File.HTM")},
        {"T:\\Missing\\help\\x", t.Host("Missing/help/x")},
        {"T:\\help\\.\\x\\..\\index.htm", t.Host("Help/Index.htm")},
        {"T:\\missing\\..\\HELP", t.Host("Help")},
        {"T:\\..\\..\\help", t.Host("Help")},
        {"T:\\help\\", t.Host("Help") + "/"},
        {"T:\\", t.Host()},
        {"T:", t.Host()},
        {"T:\\help\\index.htm. . ", t.Host("Help/Index.htm")},
        {"T:\\Help.\\Index.htm", t.Host("Help/Index.htm")},
        {"\\tmp", "/tmp"},
        {"Z:\\", "/"},
        {"/", "/"},
    };
    for (const auto& c : cases) EXPECT_EQ(HostPathFromWindows(c.windows), c.host) << c.windows;
}

// Windows-1252 names (Dark Basic's pages, Kelpra.ini) and UTF-8 names (a
// newer help folder) both reach the host's UTF-8 files, in either case; a
// Latin-1 name left on disk by an old unpacker is found too.
TEST(HostPath, AccentedNamesInEitherEncoding)
{
    TestFolder t;
    t.Write(
        "R\xC3\xA9"
        "f\xC3\xA9rence/\xC3\x89lan.htm",
        "x");                                        // UTF-8 "Référence/Élan.htm"
    t.Write("caf\xE9.htm", "x");                     // Latin-1 bytes on disk
    t.Write("\xE6\x97\xA5\xE6\x9C\xAC/x.htm", "x");  // "日本", no Windows-1252 form
    const std::string elan = t.Host(
        "R\xC3\xA9"
        "f\xC3\xA9rence/\xC3\x89lan.htm");
    struct Case {
        std::string windows, host;
    };
    const Case cases[] = {
        {"T:\\R\xE9"
         "f\xE9rence\\\xC9lan.htm",
         elan},  // Windows-1252
        {"T:\\r\xC9"
         "F\xC9RENCE\\\xE9LAN.HTM",
         elan},  // Windows-1252, other case
        {"T:\\R\xC3\xA9"
         "f\xC3\xA9rence\\\xC3\x89lan.htm",
         elan},  // UTF-8
        {"T:\\R\xC3\x89"
         "F\xC3\x89RENCE\\\xC3\xA9lan.htm",
         elan},  // UTF-8, other case
        {"T:\\R\xE9"
         "f\xE9rence\\\xC3\xA9lan.htm",
         elan},  // each name in its own
        {"T:\\caf\xE9.htm", t.Host("caf\xE9.htm")},
        {"T:\\CAF\xC3\x89.htm", t.Host("caf\xE9.htm")},
        {"T:\\\xE6\x97\xA5\xE6\x9C\xAC\\X.htm", t.Host("\xE6\x97\xA5\xE6\x9C\xAC/x.htm")},
        // A new file is named in UTF-8 on the host, whatever it was asked as.
        {"T:\\R\xE9"
         "f\xE9rence\\r\xE9sum\xE9.htm",
         t.Host("R\xC3\xA9"
                "f\xC3\xA9rence/r\xC3\xA9sum\xC3\xA9.htm")},
        {"T:\\Nouveau\\\x80.htm", t.Host("Nouveau/\xE2\x82\xAC.htm")},
    };
    for (const auto& c : cases) EXPECT_EQ(HostPathFromWindows(c.windows), c.host) << c.windows;

    // Back to the Windows form: Windows-1252 where every character has a
    // byte there, as the ANSI functions of Windows hand names over.
    EXPECT_EQ(WindowsPathFromHost(elan),
              "T:\\R\xE9"
              "f\xE9rence\\\xC9lan.htm");
    EXPECT_EQ(WindowsPathFromHost(t.Host("\xE6\x97\xA5\xE6\x9C\xAC/x.htm")),
              "T:\\\xE6\x97\xA5\xE6\x9C\xAC\\x.htm");
    EXPECT_EQ(WindowsPathFromHost(t.Host("caf\xE9.htm")), "T:\\caf\xE9.htm");
}

TEST(HostPath, RefusesWhatWindowsRefuses)
{
    TestFolder t;
    const char* refused[] = {
        "",
        "T:\\a<b",
        "T:\\a>b",
        "T:\\a:b",
        "T:\\a\"b",
        "T:\\a|b",
        "T:\\a?b",
        "T:\\a*b",
        "T:\\a\001b",
        "T:\\a\tb",
        "T:\\x\\a\x1F",
        "T:\\CON",
        "T:\\con.txt",
        "T:\\Nul",
        "T:\\aux.htm",
        "T:\\prn",
        "T:\\com1",
        "T:\\LPT9.x",
        "T:\\con\\x",
        "T:\\con .txt",
        "\\\\server\\share\\x",
        "//server/share",
        "\\\\?\\T:\\x",
        "1:\\x",
        "T:\\C:\\x",
    };
    for (const char* path : refused) EXPECT_EQ(HostPathFromWindows(path), "") << path;
    // A NUL inside the text would cut the name short at the host's edge.
    EXPECT_EQ(HostPathFromWindows(std::string("T:\\..\0", 6)), "");
    EXPECT_EQ(HostPathFromWindows(std::string("T:\\a\0b", 6)), "");

    const char* allowed[] = {"T:\\com10", "T:\\console", "T:\\lpt", "T:\\x.con", "T:\\a b\\c"};
    for (const char* path : allowed) EXPECT_NE(HostPathFromWindows(path), "") << path;
}

TEST(HostPath, UnmappedDrivesAreRefused)
{
    std::string saved = std::getenv("WINEPREFIX") ? std::getenv("WINEPREFIX") : "";
    setenv("WINEPREFIX", "/nonexistent-kelpra-prefix", 1);
    EXPECT_EQ(HostPathFromWindows("Q:\\index.htm"), "");
    EXPECT_EQ(HostPathDriveExists('Q'), 0);
    EXPECT_EQ(HostPathDriveExists('z'), 1);
    {
        TestFolder q('Q');
        EXPECT_EQ(HostPathDriveExists('q'), 1);
        EXPECT_EQ(HostPathFromWindows("q:\\a"), q.Host("a"));
    }
    EXPECT_EQ(HostPathFromWindows("Q:\\index.htm"), "");
    if (saved.empty()) unsetenv("WINEPREFIX");
    else setenv("WINEPREFIX", saved.c_str(), 1);
}

TEST(HostPath, WinePrefixDevices)
{
    TestFolder prefix('P');
    prefix.MakeFolder("dosdevices");
    prefix.MakeFolder("drive_c/Program Files");
    std::filesystem::create_directory_symlink("../drive_c", prefix.Host("dosdevices/c:"));
    std::string saved = std::getenv("WINEPREFIX") ? std::getenv("WINEPREFIX") : "";
    setenv("WINEPREFIX", prefix.root.c_str(), 1);

    EXPECT_EQ(HostPathFromWindows("C:\\program files\\x"), prefix.Host("drive_c/Program Files/x"));
    EXPECT_EQ(WindowsPathFromHost(prefix.Host("drive_c/Program Files/x")), "C:\\Program Files\\x");
    EXPECT_EQ(HostPathDriveExists('c'), 1);
    EXPECT_EQ(HostPathDriveExists('d'), 0);

    if (saved.empty()) unsetenv("WINEPREFIX");
    else setenv("WINEPREFIX", saved.c_str(), 1);
}

TEST(HostPath, WindowsFormOfHostPaths)
{
    TestFolder t;
    TestFolder u('U');
    HostPathMapDrive('U', t.Host("inner"));  // nested inside T: — the longer wins
    struct Case {
        std::string host, windows;
    };
    const Case cases[] = {
        {t.Host("a/b.htm"), "T:\\a\\b.htm"},
        {t.Host("a/"), "T:\\a\\"},
        {t.Host(), "T:\\"},
        {t.Host() + "/", "T:\\"},
        {t.Host("inner/x"), "U:\\x"},
        {t.Host("inner"), "U:\\"},
        {t.Host("innerx"), "T:\\innerx"},
        {t.Host("a/./b/../c"), "T:\\a\\c"},
        {"/usr/share/doc", "Z:\\usr\\share\\doc"},
        {"/", "Z:\\"},
        {"//usr//lib/", "Z:\\usr\\lib\\"},
    };
    for (const auto& c : cases) EXPECT_EQ(WindowsPathFromHost(c.host), c.windows) << c.host;
}

TEST(HostPath, ProgramFileInWindowsForm)
{
    std::string program = ModuleFileName();
    EXPECT_EQ(program.substr(0, 3), "Z:\\");
    EXPECT_EQ(HostPathFromWindows(program), std::filesystem::read_symlink("/proc/self/exe").string());
}

TEST(HostPath, RelativePathsFollowTheCurrentFolder)
{
    TestFolder t;
    t.Write("Work/Page.htm", "x");
    std::string saved = std::filesystem::current_path();
    ASSERT_EQ(chdir(t.Host("Work").c_str()), 0);

    EXPECT_EQ(HostPathFromWindows("page.htm"), t.Host("Work/Page.htm"));
    EXPECT_EQ(HostPathFromWindows("..\\work\\PAGE.HTM"), t.Host("Work/Page.htm"));
    EXPECT_EQ(HostPathFromWindows(".\\new.htm"), t.Host("Work/new.htm"));
    EXPECT_EQ(WindowsPathFromHost("Page.htm"), "T:\\Work\\Page.htm");
    EXPECT_EQ(WindowsPathFromHost("../x/"), "T:\\x\\");

    ASSERT_EQ(chdir(saved.c_str()), 0);
}

}  // namespace
