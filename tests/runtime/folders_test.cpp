#include "runtime/folders.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "runtime/files.h"
#include "runtime/text.h"
#include "support/testfolder.h"

namespace {

namespace fs = std::filesystem;

std::vector<std::string> Listed(const std::string& folder)
{
    std::vector<FolderEntry> entries;
    std::vector<std::string> names;
    if (!FolderList(folder, entries)) return {"(unreadable)"};
    for (const FolderEntry& entry : entries) names.push_back(entry.name + (entry.isFolder ? "\\" : ""));
    return names;
}

TEST(Folders, ListsFilesAndFoldersInNameOrderWithoutRegardToCase)
{
    TestFolder folder;
    folder.Write("b.htm", "12345");
    folder.Write("A.htm", "");
    folder.Write("sub\\c.htm", "x");
    folder.Write("caf\xc3\xa9.htm", "x");
    EXPECT_EQ(Listed(folder.Win()), (std::vector<std::string>{"A.htm", "b.htm", "caf\xc3\xa9.htm", "sub\\"}));
    EXPECT_EQ(Listed(folder.Win("sub")), (std::vector<std::string>{"c.htm"}));
    EXPECT_EQ(Listed(folder.Win("SUB\\")), (std::vector<std::string>{"c.htm"}));
    EXPECT_EQ(Listed(folder.Win("missing")), (std::vector<std::string>{"(unreadable)"}));
    EXPECT_EQ(Listed(folder.Win("b.htm")), (std::vector<std::string>{"(unreadable)"}));

    std::vector<FolderEntry> entries;
    ASSERT_TRUE(FolderList(folder.Win(), entries));
    EXPECT_EQ(entries[1].size, 5);
}

TEST(Folders, TimeChangesWhenAFileIsRewrittenOrReplaced)
{
    TestFolder folder;
    folder.Write("page.htm", "old");
    auto timeOf = [&] {
        std::vector<FolderEntry> entries;
        FolderList(folder.Win(), entries);
        return entries.empty() ? int64_t{-1} : entries[0].time;
    };
    const int64_t first = timeOf();
    // Same size, and the write time set back to what it was: the
    // replacement still shows.
    const auto written = fs::last_write_time(folder.Host("page.htm"));
    usleep(20000);
    folder.Write("new.tmp", "new");
    fs::last_write_time(folder.Host("new.tmp"), written);
    fs::rename(folder.Host("new.tmp"), folder.Host("page.htm"));
    EXPECT_NE(timeOf(), first);
}

TEST(Folders, ReadAllTakesTheWholeFileUpToTheLimit)
{
    TestFolder folder;
    std::string big(100000, 'x');
    big[99999] = '\0';
    folder.Write("big.htm", big);
    std::string bytes = "left over";
    ASSERT_TRUE(FileReadAll(folder.Win("BIG.htm"), bytes, 1000000));
    EXPECT_EQ(bytes, big);
    ASSERT_TRUE(FileReadAll(folder.Win("big.htm"), bytes, 10));
    EXPECT_EQ(bytes, std::string(10, 'x'));
    EXPECT_FALSE(FileReadAll(folder.Win("missing.htm"), bytes, 10));
    EXPECT_EQ(bytes, "");
    EXPECT_FALSE(FileReadAll(folder.Win(), bytes, 10));
    // A file this program is writing is not read half-written.
    ASSERT_TRUE(FileCreate(1, folder.Win("open.htm")));
    EXPECT_FALSE(FileReadAll(folder.Win("open.htm"), bytes, 10));
    FileClose(1);
    EXPECT_TRUE(FileReadAll(folder.Win("open.htm"), bytes, 10));
}

TEST(Folders, AFolderHeldOpenReadsItsFilesByName)
{
    TestFolder folder;
    folder.Write("sub\\a.htm", "first");
    folder.Write("sub\\B.htm", "second");
    folder.Write("sub\\deeper\\c.htm", "third");
    std::vector<FolderEntry> named;
    ASSERT_TRUE(FolderNames(folder.Win("sub"), named));
    std::vector<FolderEntry> sized;
    ASSERT_TRUE(FolderList(folder.Win("sub"), sized));
    ASSERT_EQ(named.size(), sized.size());
    for (size_t i = 0; i < named.size(); ++i) {
        EXPECT_EQ(named[i].name, sized[i].name);
        EXPECT_EQ(named[i].isFolder, sized[i].isFolder);
        EXPECT_EQ(named[i].size, 0);
    }
    EXPECT_EQ(sized[0].size, 5);

    std::string bytes;
    ASSERT_TRUE(FolderOpen(3, folder.Win("SUB\\")));
    EXPECT_TRUE(FolderReadFile(3, "a.htm", bytes, 100));
    EXPECT_EQ(bytes, "first");
    EXPECT_TRUE(FolderReadFile(3, "b.HTM", bytes, 100));  // names ignore case
    EXPECT_EQ(bytes, "second");
    EXPECT_FALSE(FolderReadFile(3, "deeper", bytes, 100));
    EXPECT_FALSE(FolderReadFile(3, "deeper/c.htm", bytes, 100));  // in the folder itself only
    EXPECT_FALSE(FolderReadFile(3, "missing.htm", bytes, 100));
    // Another folder under the same number takes the old one's place.
    ASSERT_TRUE(FolderOpen(3, folder.Win("sub\\deeper")));
    EXPECT_FALSE(FolderReadFile(3, "a.htm", bytes, 100));
    EXPECT_TRUE(FolderReadFile(3, "c.htm", bytes, 100));
    FolderClose(3);
    EXPECT_FALSE(FolderReadFile(3, "c.htm", bytes, 100));
    EXPECT_FALSE(FolderOpen(4, folder.Win("missing")));
    EXPECT_FALSE(FolderOpen(4, folder.Win("sub\\a.htm")));
    EXPECT_FALSE(FolderReadFile(4, "a.htm", bytes, 100));
    EXPECT_FALSE(FolderReadFile(-1, "a.htm", bytes, 100));
}

// A lookup answers as PathSize does, for every kind of thing at a path and
// every way of naming it, also when its folders are already listed.
TEST(Folders, LookupAnswersAsTheHostDoes)
{
    TestFolder folder;
    folder.Write("help\\Page.htm", "x");
    folder.Write("help\\caf\xc3\xa9.htm", "x");
    folder.Write("help\\sub\\Deep.htm", "x");
    folder.Write("help\\LONGNAME.HTM", "x");
    std::vector<std::string> names = {"Page.htm",
                                      "PAGE.HTM",
                                      "page.htm",
                                      "missing.htm",
                                      "caf\xe9.htm",
                                      "CAF\xc9.HTM",
                                      "caf\xc3\xa9.htm",
                                      "sub",
                                      "SUB\\deep.htm",
                                      "sub\\..\\Page.htm",
                                      "..\\help\\page.htm",
                                      "nothere\\x.htm",
                                      "Page.htm\\x.htm",
                                      "Page.htm.",
                                      "Page.htm ",
                                      "P*.htm",
                                      "con",
                                      "LONGNA~1.HTM",
                                      "a:b.htm",
                                      "",
                                      "sub\\",
                                      "."};
#ifndef _WIN32
    fs::create_directory_symlink(folder.Host("help/sub"), folder.Host("help/loop"));
    fs::create_symlink(folder.Host("help/Page.htm"), folder.Host("help/link.htm"));
    fs::create_symlink(folder.Host("help/nowhere.htm"), folder.Host("help/dangling.htm"));
    ASSERT_EQ(mkfifo(folder.Host("help/pipe.htm").c_str(), 0600), 0);
    folder.Write("help\\Twice.htm", "x");
    folder.Write("help\\TWICE.htm", "x");
    for (const char* name : {"loop", "LOOP\\deep.htm", "link.htm", "LINK.HTM", "dangling.htm", "Dangling.htm",
                             "pipe.htm", "PIPE.HTM", "twice.htm"})
        names.push_back(name);
#endif
    PathLookup shared;
    for (int round = 0; round < 2; ++round)
        for (const std::string& name : names) {
            const std::string path = folder.Win("help\\") + name;
            PathLookup fresh;
            EXPECT_EQ(PathLookupExists(fresh, path), PathSize(path) != -1 ? 1 : 0) << path;
            EXPECT_EQ(PathLookupExists(shared, path), PathSize(path) != -1 ? 1 : 0) << path << " " << round;
        }
}

#ifndef _WIN32
TEST(Folders, LinksToFoldersPipesAndDanglingLinksAreLeftOut)
{
    TestFolder folder;
    folder.Write("sub\\page.htm", "x");
    folder.Write("target.htm", "linked");
    fs::create_directory_symlink(folder.Host("sub"), folder.Host("loop"));
    fs::create_directory_symlink(folder.root, folder.Host("sub/up"));
    fs::create_symlink(folder.Host("target.htm"), folder.Host("link.htm"));
    fs::create_symlink(folder.Host("nowhere.htm"), folder.Host("dangling.htm"));
    ASSERT_EQ(mkfifo(folder.Host("pipe.htm").c_str(), 0600), 0);
    // Names a Windows path cannot carry back to the same file.
    for (const char* name : {"back\\slash.htm", "colon:.htm", "dot.", "tab\t.htm"})
        std::ofstream(folder.root + "/" + name).put('x');
    EXPECT_EQ(Listed(folder.Win()), (std::vector<std::string>{"link.htm", "sub\\", "target.htm"}));
    EXPECT_EQ(Listed(folder.Win("sub")), (std::vector<std::string>{"page.htm"}));
    std::string bytes;
    EXPECT_TRUE(FileReadAll(folder.Win("link.htm"), bytes, 100));
    EXPECT_EQ(bytes, "linked");
    // Named where a page should be, a pipe is refused at once, not waited on.
    EXPECT_FALSE(FileReadAll(folder.Win("pipe.htm"), bytes, 100));
    EXPECT_FALSE(FileReadAll(folder.Win("dangling.htm"), bytes, 100));
}
#endif

}  // namespace
