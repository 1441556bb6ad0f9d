#include "runtime/files.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>
#ifndef _WIN32
#include <grp.h>
#include <sys/wait.h>
#endif

#include <filesystem>
#include <functional>
#include <random>

#include "runtime/hostfile.h"
#include "runtime/hostpath.h"
#include "runtime/rewrite.h"
#include "runtime/text.h"
#include "support/faults.h"
#include "support/testfolder.h"

namespace {

#ifndef _WIN32
// Runs the attempts in a child process that has given up root, and gives
// their result (0 to 255).
int AsUnprivilegedUser(const std::function<int()>& attempts)
{
    if (geteuid() != 0) return attempts();
    pid_t child = fork();
    if (child == 0) {
        const gid_t nobodyGroup = 65534;
        const uid_t nobody = 65534;
        if (setgroups(0, nullptr) != 0 || setgid(nobodyGroup) != 0 || setuid(nobody) != 0) _exit(255);
        _exit(attempts());
    }
    int status = 0;
    if (child < 0 || waitpid(child, &status, 0) != child || !WIFEXITED(status)) return -1;
    return WEXITSTATUS(status);
}
#endif

// Only the holder of a folder's lock sweeps it.
void SweepHolding(const std::string& folder)
{
    ASSERT_EQ(FolderLockTake(folder), 1) << folder;
    RewriteRemoveLeftovers(folder);
    FolderLockRelease();
}

// Lines of a file by the line-end rules, one byte at a time.
std::vector<std::string> LinesOf(const std::string& bytes)
{
    std::vector<std::string> lines;
    size_t i = 0;
    while (i < bytes.size()) {
        std::string line;
        while (i < bytes.size() && bytes[i] != '\r' && bytes[i] != '\n' && bytes[i] != '\0')
            line += bytes[i++];
        if (i < bytes.size() && bytes[i++] == '\r' && i < bytes.size() && bytes[i] == '\n') ++i;
        lines.push_back(line);
    }
    return lines;
}

// The usual rewrite loop: read 1 until it is at its end, write each line to 2.
std::vector<std::string> CopyLines(const TestFolder& t, const std::string& from, const std::string& to)
{
    std::vector<std::string> lines;
    EXPECT_NE(FileOpenRead(1, t.Win(from)), 0);
    EXPECT_NE(FileCreate(2, t.Win(to)), 0);
    while (!FileAtEnd(1)) {
        FileSelect(1);
        lines.push_back(FileReadLine());
        FileSelect(2);
        FileWriteLine(lines.back());
    }
    EXPECT_EQ(FileClose(2), 1);
    EXPECT_EQ(FileClose(1), 1);
    return lines;
}

TEST(Files, LineEnds)
{
    const std::string wide(65535, 'w');  // puts the next byte on a buffer boundary
    struct Case {
        std::string bytes;
        std::vector<std::string> lines;
    };
    const Case cases[] = {
        {"a\r\nb", {"a", "b"}},
        {"a\nb", {"a", "b"}},
        {"a\rb", {"a", "b"}},
        {"a\r", {"a"}},
        {"a\r\n\r\n", {"a", ""}},
        {"", {}},
        {std::string("a\0b", 3), {"a", "b"}},
        {"a\n\rb", {"a", "", "b"}},
        {"a\r\r\nb\n", {"a", "", "b"}},
        {"\r", {""}},
        {std::string("\0", 1), {""}},
        {wide + "\r\nb", {wide, "b"}},
        {wide + "\rb", {wide, "b"}},
        {wide + "\r", {wide}},
        {wide + "x\r\n", {wide + "x"}},
    };
    for (const auto& c : cases) {
        TestFolder t;
        t.Write("in.txt", c.bytes);
        EXPECT_EQ(CopyLines(t, "in.txt", "out.txt"), c.lines) << c.bytes.size();
        EXPECT_EQ(t.Read("out.txt"), CrLf(c.lines));
    }
}

TEST(Files, BinaryBytesAcrossBufferBoundaries)
{
    TestFolder t;
    std::mt19937 random(7);
    const char special[] = {'\r', '\n', '\0', 'x', '\xFF', '\x80'};
    std::string bytes;
    for (int i = 0; i < 300000; ++i)
        bytes += random() % 4 ? static_cast<char>(random() % 256) : special[random() % 6];
    bytes += '\r';
    t.Write("bin", bytes);
    EXPECT_EQ(CopyLines(t, "bin", "out"), LinesOf(bytes));
}

TEST(Files, ReadsPastTheEndAndWithoutAFile)
{
    TestFolder t;
    t.Write("empty", "");
    ASSERT_EQ(FileOpenRead(1, t.Win("empty")), 1);
    EXPECT_EQ(FileAtEnd(1), -1);
    EXPECT_EQ(FileReadLine(), "");
    EXPECT_EQ(FileAtEnd(3), 0);  // nothing open under 3
    EXPECT_EQ(FileAtEnd(-1), 0);
    FileClose(1);
    EXPECT_EQ(FileReadLine(), "");  // no current file
    EXPECT_EQ(FileWriteLine("x"), 0);
    EXPECT_EQ(FileClose(1), 1);
}

TEST(Files, AtEndPeeksWithoutMovingAnything)
{
    TestFolder t;
    t.Write("a", "abc\r\ndef");
    t.Write("b", "xyz");
    ASSERT_EQ(FileOpenRead(1, t.Win("a")), 1);
    ASSERT_EQ(FileOpenRead(2, t.Win("b")), 1);
    EXPECT_EQ(FileAtEnd(1), 0);
    EXPECT_EQ(FileAtEnd(1), 0);
    EXPECT_EQ(FileReadLine(), "xyz");  // 2 is still current
    FileSelect(1);
    EXPECT_EQ(FileReadLine(), "abc");
    EXPECT_EQ(FileAtEnd(1), 0);
    EXPECT_EQ(FileReadLine(), "def");
    EXPECT_EQ(FileAtEnd(1), -1);
    FileCloseAll();
}

TEST(Files, OpenUnderABusyNumber)
{
    TestFolder t;
    t.Write("a", "from a");
    t.Write("b", "from b");
    ASSERT_EQ(FileOpenRead(1, t.Win("a")), 1);
    EXPECT_EQ(FileOpenRead(1, t.Win("missing")), 0);
    EXPECT_EQ(FileReadLine(), "");            // a failed open leaves no file current
    EXPECT_EQ(FileCreate(1, t.Win("a")), 0);  // a is still open under 1
    FileSelect(1);
    EXPECT_EQ(FileReadLine(), "from a");
    ASSERT_EQ(FileOpenRead(1, t.Win("b")), 1);
    EXPECT_EQ(FileReadLine(), "from b");
    EXPECT_EQ(FileRemove(t.Win("a")), 1);  // a was closed
    // The table grows beyond its first ten numbers.
    ASSERT_EQ(FileOpenRead(250, t.Win("b")), 1);
    FileSelect(1);
    FileSelect(250);
    EXPECT_EQ(FileReadLine(), "from b");
    FileCloseAll();
    EXPECT_EQ(FileRemove(t.Win("b")), 1);
}

TEST(Files, LongLinesAndUnusualNames)
{
    TestFolder t;
    const std::string big(1 << 20, 'q');
    const std::string name = t.Win("My Folder\\\xC3\x84rger Seite.htm");
    t.MakeFolder("My Folder");
    ASSERT_EQ(FileCreate(1, name), 1);
    EXPECT_EQ(FileWriteLine("head"), 6);
    EXPECT_EQ(FileWriteLine(big), static_cast<int>(big.size()) + 2);
    EXPECT_EQ(FileWriteLine(""), 2);
    EXPECT_EQ(FileClose(1), 1);
    EXPECT_EQ(t.Read("My Folder/\xC3\x84rger Seite.htm"), "head\r\n" + big + "\r\n\r\n");

    ASSERT_EQ(FileOpenRead(1, TextToLower(t.Win()) + "MY FOLDER\\\xC3\x84RGER seite.HTM"), 1);
    EXPECT_EQ(FileReadLine(), "head");
    EXPECT_EQ(FileReadLine(), big);
    EXPECT_EQ(FileClose(1), 1);
}

TEST(Files, WritesThatFailPartWay)
{
    TestFolder t;
    const std::string line(98, 'x');
    FaultFailWritesAfter(100000);
    ASSERT_EQ(FileCreate(1, t.Win("out")), 1);
    int accepted = 0, refused = 0;
    for (int i = 0; i < 2000; ++i) {
        int result = FileWriteLine(line);
        if (result == 100 && refused == 0) ++accepted;
        else if (result == 0) ++refused;
    }
    EXPECT_GT(accepted, 0);
    EXPECT_EQ(accepted + refused, 2000);  // once refused, always refused
    EXPECT_EQ(FileClose(1), 0);
    EXPECT_EQ(PathSize(t.Win("out")), 100000);

    // A failed copy leaves the old target as it was, and no stray files.
    t.Write("source", std::string(200000, 's'));
    t.Write("target", "old");
    FaultFailWritesAfter(1000);
    EXPECT_EQ(FileDuplicate(t.Win("source"), t.Win("target")), 0);
    EXPECT_EQ(t.Read("target"), "old");
    FaultFailWritesAfter(-1);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(t.root), {}), 3);

    // A buffered write that fails only at the close is reported there.
    FaultFailWritesAfter(3);
    ASSERT_EQ(FileCreate(1, t.Win("short")), 1);
    EXPECT_EQ(FileWriteLine("abcdef"), 8);
    EXPECT_EQ(FileClose(1), 0);
    FaultFailWritesAfter(-1);
    ASSERT_EQ(FileCreate(1, t.Win("short")), 1);
    EXPECT_EQ(FileWriteLine("abcdef"), 8);
    EXPECT_EQ(FileClose(1), 1);
}

TEST(Files, SharingRules)
{
    enum Open { Read, Write };
    struct Case {
        Open held;
        int (*op)(const TestFolder&);
        int want;
        const char* what;
    };
    const Case cases[] = {
        {Read, [](const TestFolder& t) { return FileOpenRead(2, t.Win("A.TXT")); }, 1, "read again"},
        {Read, [](const TestFolder& t) { return FileCreate(2, t.Win("a.txt")); }, 0, "create"},
        {Write, [](const TestFolder& t) { return FileOpenRead(2, t.Win("A.txt")); }, 0, "read"},
        {Write, [](const TestFolder& t) { return FileCreate(2, t.Win("a.txt")); }, 0, "create"},
        {Read, [](const TestFolder& t) { return FileRemove(t.Win("a.txt")); }, 0, "remove"},
        {Write, [](const TestFolder& t) { return FileRemove(t.Win("a.txt")); }, 0, "remove"},
        {Read, [](const TestFolder& t) { return FileRename(t.Win("a.txt"), t.Win("n")); }, 0, "rename"},
        {Write, [](const TestFolder& t) { return FileRename(t.Win("a.txt"), t.Win("n")); }, 0, "rename"},
        {Read, [](const TestFolder& t) { return FileDuplicate(t.Win("a.txt"), t.Win("n")); }, 1, "copy from"},
        {Write, [](const TestFolder& t) { return FileDuplicate(t.Win("a.txt"), t.Win("n")); }, 0,
         "copy from"},
        {Read, [](const TestFolder& t) { return FileDuplicate(t.Win("c"), t.Win("a.txt")); }, 0, "copy onto"},
        {Write, [](const TestFolder& t) { return FileDuplicate(t.Win("c"), t.Win("a.txt")); }, 0,
         "copy onto"},
    };
    for (const auto& c : cases) {
        TestFolder t;
        t.Write("a.txt", "a\r\n");
        t.Write("c", "c\r\n");
        ASSERT_EQ(c.held == Read ? FileOpenRead(1, t.Win("a.txt")) : FileCreate(1, t.Win("a.txt")), 1);
        EXPECT_EQ(c.op(t), c.want) << c.what << (c.held == Read ? " while read" : " while written");
        FileCloseAll();
        EXPECT_EQ(c.op(t), 1) << c.what << " once closed";
        FileCloseAll();
    }
}

TEST(Files, PathSize)
{
    TestFolder t;
    t.Write("empty", "");
    t.Write("five", "12345");
    t.MakeFolder("Sub");
#ifndef _WIN32
    setenv("WINEPREFIX", "/nonexistent-kelpra-prefix", 1);
#endif
    struct Case {
        std::string path;
        int32_t want;
    };
    const Case cases[] = {
        {"", -1},
        {t.Win("missing"), -1},
        {t.Win("empty"), 0},
        {t.Win("FIVE"), 5},
        {t.Win("sub"), -2},
        {t.Win("Sub\\"), -2},
        {t.Win().substr(0, 2), -2},
        {TextToLower(t.Win().substr(0, 3)), -2},
        {"Q:", -1},
        {"Q:\\", -1},
        {"Q:\\x", -1},
        {t.Win("f*"), -1},
        {t.Win("fiv?"), -1},
        {t.Win("five\\x"), -1},
    };
    for (const auto& c : cases) EXPECT_EQ(PathSize(c.path), c.want) << c.path;
#ifndef _WIN32
    unsetenv("WINEPREFIX");
#endif

    ASSERT_EQ(FileCreate(1, t.Win("growing")), 1);
    FileWriteLine("abc");
    EXPECT_EQ(PathSize(t.Win("growing")), 5);
    EXPECT_EQ(FileClose(1), 1);
}

// Where the host searches a folder for a name in another spelling, the
// stored spelling is given so that the search is made once; elsewhere, and
// for what is not there, the path stays as asked.
TEST(Files, PathAsStored)
{
    TestFolder t;
    t.Write("Sub\\menu.htm", "x");
    t.Write("Sub\\caf\xC3\xA9.htm", "x");
    struct Case {
        std::string path;
        std::string stored;  // where the host searches
    };
    const Case cases[] = {
        {t.Win("Sub\\menu.htm"), t.Win("Sub\\menu.htm")},
        {t.Win("Sub\\Menu.HTM"), t.Win("Sub\\menu.htm")},
        {t.Win("sub\\MENU.htm"), t.Win("sub\\menu.htm")},
        {t.Win("Sub\\CAF\xC9.htm"), t.Win("Sub\\caf\xE9.htm")},
        {t.Win("Sub\\missing.htm"), t.Win("Sub\\missing.htm")},
        {t.Win("SUB"), t.Win("Sub")},
        {t.Win("Sub\\Menu.htm."), t.Win("Sub\\Menu.htm.")},
        {"", ""},
        {"Q:\\nodrive\\Menu.htm", "Q:\\nodrive\\Menu.htm"},
    };
    for (const auto& c : cases) {
        const std::string stored = PathAsStored(c.path);
        EXPECT_EQ(stored, HostPathFindsAsText() ? c.stored : c.path) << c.path;
        EXPECT_EQ(PathSize(stored), PathSize(c.path)) << c.path;
    }
}

TEST(Files, CopyRemoveRenameAndFolders)
{
    TestFolder t;
    t.Write("src", "new\r\n");
    t.Write("dst", "old old old\r\n");
    t.Write("index.htm", "i");
    t.MakeFolder("Dir");

    EXPECT_EQ(FileDuplicate(t.Win("SRC"), t.Win("DST")), 1);
    EXPECT_EQ(t.Read("dst"), "new\r\n");
    // Onto itself: already its own copy.
    EXPECT_EQ(FileDuplicate(t.Win("src"), t.Win("src")), 1);
    EXPECT_EQ(t.Read("src"), "new\r\n");
    EXPECT_EQ(FileDuplicate(t.Win("nothing"), t.Win("x")), 0);
    EXPECT_EQ(FileDuplicate(t.Win("src"), t.Win("no\\x")), 0);
    EXPECT_EQ(FileDuplicate(t.Win("src"), t.Win("dir")), 0);
    EXPECT_EQ(FileOpenRead(1, t.Win("dir")), 0);

    EXPECT_EQ(FileRename(t.Win("src"), t.Win("dst")), 0);
    EXPECT_EQ(t.Read("src"), "new\r\n");
    EXPECT_EQ(FileRename(t.Win("src"), t.Win("dir\\moved")), 1);
    EXPECT_EQ(t.Read("Dir/moved"), "new\r\n");
    EXPECT_EQ(FileRename(t.Win("nothing"), t.Win("x")), 0);
    // A change of case only renames the file itself.
    EXPECT_EQ(FileRename(t.Win("index.htm"), t.Win("Index.htm")), 1);
    EXPECT_TRUE(t.Exists("Index.htm"));
#ifndef _WIN32  // Windows finds a file whatever the case of its name
    EXPECT_FALSE(t.Exists("index.htm"));
#endif

    EXPECT_EQ(FileRemove(t.Win("dir")), 0);
    EXPECT_EQ(FileRemove(t.Win("missing")), 0);
    EXPECT_EQ(FileRemove(t.Win("INDEX.HTM")), 1);
    EXPECT_FALSE(t.Exists("Index.htm"));

    EXPECT_EQ(FolderMake(t.Win("\\Includes")), 1);  // doubled backslash
    EXPECT_EQ(FolderMake(t.Win("includes")), 0);
    EXPECT_EQ(FolderMake(t.Win("a\\b")), 0);
    EXPECT_TRUE(std::filesystem::is_directory(t.Host("Includes")));
    EXPECT_EQ(FolderMake("Q:\\x"), 0);
}

TEST(Files, PlacesThatCannotTakeAFile)
{
    TestFolder t;
    t.Write("plain", "x");
    EXPECT_EQ(FileCreate(1, t.Win("plain\\child")), 0);
    EXPECT_EQ(FolderMake(t.Win("plain\\child")), 0);
    EXPECT_EQ(FileCreate(1, t.Win("a<b")), 0);
    EXPECT_EQ(FileCreate(1, "\\\\server\\share\\x"), 0);
#ifdef _WIN32
    GTEST_SKIP() << "read-only folders are a matter of POSIX permissions";
#else
    t.MakeFolder("locked");
    chmod(t.Host("locked").c_str(), 0555);
    chmod(t.Host().c_str(), 0755);
    // Root writes into read-only folders, so the attempts run as a user who
    // cannot; each refused attempt sets one bit of the result.
    int refused = AsUnprivilegedUser([&] {
        return (FileCreate(1, t.Win("locked\\x")) == 0 ? 1 : 0) |
               (FileDuplicate(t.Win("plain"), t.Win("locked\\x")) == 0 ? 2 : 0) |
               (FolderMake(t.Win("locked\\sub")) == 0 ? 4 : 0);
    });
    EXPECT_EQ(refused, 7);
    EXPECT_FALSE(t.Exists("locked\\x"));
#endif
}

// A link (or a folder) where the help folder's lock or a temporary file of
// Kelpra's own belongs: the lock is refused as one that cannot be made, the
// sweep passes it by, and nothing outside is deleted or made.
TEST(Files, LinksAtKelpraNamesLeaveTheirTargetsAlone)
{
    const struct {
        const char* name;
        const char* target;  // "" for a folder in the link's place
        bool lock;
    } cases[] = {
        {".kelpra-lock", "outside\\page.htm", true},
        {".kelpra-lock", "outside\\missing.htm", true},
        {".kelpra-lock", "outside", true},
        {".kelpra-lock", "", true},
        {".kelpra-new-a1B2c3", "outside\\page.htm", false},
        {".kelpra-copy-XyZ789", "outside\\page.htm", false},
        {".kelpra-new-000000", "", false},
    };
    for (const auto& c : cases) {
        TestFolder t;
        t.Write("outside\\page.htm", "the user's");
        t.MakeFolder("help");
        const std::string place = std::string("help\\") + c.name;
        if (*c.target) {
            ASSERT_TRUE(t.Link(place, c.target)) << place;
        } else {
            t.MakeFolder(place);
        }
        FileFailureClear();
        if (c.lock) {
            EXPECT_EQ(FolderLockTake(t.Win("help")), 0) << place << " -> " << c.target;
            EXPECT_EQ(FileLastFailure().kind, FileFailureKind::System) << place << " -> " << c.target;
            EXPECT_EQ(FileLastFailure().file, t.Win(place)) << place << " -> " << c.target;
            FolderLockRelease();
        } else {
            SweepHolding(t.Win("help"));
        }
        EXPECT_EQ(t.Read("outside\\page.htm"), "the user's") << place << " -> " << c.target;
        EXPECT_FALSE(t.Exists("outside\\missing.htm")) << place << " -> " << c.target;
        // A plain leftover beside it still goes, and a plain lock is had.
        t.Write("help\\.kelpra-new-qQ9zZ0", "half a page");
        if (!c.lock) {
            SweepHolding(t.Win("help"));
            EXPECT_FALSE(t.Exists("help\\.kelpra-new-qQ9zZ0")) << place;
        }
        t.MakeFolder("other");
        EXPECT_EQ(FolderLockTake(t.Win("other")), 1) << place;
        EXPECT_TRUE(t.Exists("other\\.kelpra-lock")) << place;
        FolderLockRelease();
        EXPECT_FALSE(t.Exists("other\\.kelpra-lock")) << place;
    }
}

// A change of case that ended between its two renames: the sweep gives the
// file its own name back, unless a file has that name again.
TEST(Files, AChangeOfCaseCutShortIsNamedBack)
{
    const struct {
        const char* left;   // what the cut-short run left
        const char* other;  // a file under the own name since; "" for none
        const char* after;  // the file that then holds the page
    } cases[] = {
        {"Index.htm.kelpra-case", "", "Index.htm"},
        {"Index.bak.kelpra-case", "", "Index.bak"},
        {"Index.htm.kelpra-case", "index.htm", "Index.htm.kelpra-case"},
    };
    for (const auto& c : cases) {
        TestFolder t;
        t.Write(std::string("help\\") + c.left, "the page");
        if (*c.other) t.Write(std::string("help\\") + c.other, "a newer page");
        SweepHolding(t.Win("help"));
        EXPECT_EQ(t.Read(std::string("help\\") + c.after), "the page") << c.left;
        if (*c.other) {
            EXPECT_EQ(t.Read(std::string("help\\") + c.other), "a newer page") << c.left;
        } else {
            EXPECT_FALSE(t.Exists(std::string("help\\") + c.left)) << c.left;
        }
    }
    // The rename itself leaves no such name behind.
    TestFolder t;
    t.Write("index.htm", "the page");
    EXPECT_EQ(FileRename(t.Win("index.htm"), t.Win("Index.htm")), 1);
    std::vector<HostFolderEntry> entries;
    ASSERT_TRUE(HostFolderList(t.Win(), entries, false));
    std::vector<std::string> names;
    for (const HostFolderEntry& entry : entries) names.push_back(entry.name);
    EXPECT_EQ(names, std::vector<std::string>{"Index.htm"});
}

}  // namespace
