// An include source as arbitrary bytes through the whole Add Include run, on
// a small help folder: nothing is written outside the test folder, the help
// folder keeps its index and include list, every rewritten page has CR LF
// line ends, and no file is left open or half made.
#include <dirent.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "helpindex/contextlist.h"
#include "includes/include.h"
#include "runtime/files.h"
#include "runtime/scripted/script.h"
#include "support.h"
#include "writeguard.h"

namespace fs = std::filesystem;

namespace {

const char* const kMenu =
    "<html><body>\r\n"
    "<a href=\"main.htm\">Commands Menu</a><br>\r\n"
    "<a href=\"index.htm\">Index of Commands</a><br>\r\n"
    "</body></html>\r\n";
const char* const kMain =
    "<html><body>\r\n"
    "17. <a href=\"#memblock\">Memory Block Commands</a><br>\r\n"
    "18. <a href=\"#system\">System Commands</a><br>\r\n"
    "</body></html>\r\n";
const char* const kIndex =
    "<html><body>\r\n"
    "Index of commands<BR>\r\n"
    "A<BR>\r\n"
    "<a href=\"commands\\abs.htm\">ABS</a><BR>\r\n"
    "C<BR>\r\n"
    "<a href=\"commands\\cls.htm\">CLS</a><BR>\r\n"
    "P<BR>\r\n"
    "<a href=\"commands\\print.htm\">PRINT</a><BR>\r\n"
    "S<BR>\r\n"
    "<a href=\"commands\\sync.htm\">SYNC</a><BR>\r\n"
    "</body></html>\r\n";
const char* const kKeywords = "ABS\r\nCLS\r\nPRINT\r\nSYNC\r\n";

std::string RepositoryFile(const std::string& relative)
{
    std::ifstream in(std::string(KELPRA_SOURCE_DIR) + "/" + relative, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    FUZZ_CHECK(in.good() || in.eof(), "cannot read " + relative);
    return bytes.str();
}

int OpenDescriptors()
{
    int count = 0;
    if (DIR* dir = opendir("/proc/self/fd")) {
        while (readdir(dir)) ++count;
        closedir(dir);
    }
    return count;
}

// The guard must really be linked in: a folder outside the test folder,
// where it cannot be made anyway, is reported.
int CheckGuardWorks()
{
    WriteGuardAllow(FuzzFolder().root);
    FolderMake("Z:\\proc\\kelpra-write-guard-check");
    FUZZ_CHECK(WriteGuardTakeViolations().size() == 1, "the write guard is not linked in");
    WriteGuardAllow("");
    return 0;
}

void MakeHelpFolder(const std::string& source)
{
    static const std::string listTemplate = RepositoryFile("data/Includes.htm");
    static const std::string pageTemplate = RepositoryFile("data/Include2.htm");
    TestFolder& folder = FuzzFolder();
    ClearFuzzFolder();
    folder.Write("prog/Includes.htm", listTemplate);
    folder.Write("prog/Include2.htm", pageTemplate);
    folder.Write("help/menu.htm", kMenu);
    folder.Write("help/main.htm", kMain);
    folder.Write("help/index.htm", kIndex);
    folder.Write("help/keywords.txt", kKeywords);
    folder.Write("src/fuzz.dba", source);
}

void CheckHelpFolder()
{
    TestFolder& folder = FuzzFolder();
    FUZZ_CHECK(folder.Exists("help/index.htm"), "index.htm is gone");
    FUZZ_CHECK(folder.Exists("help/Includes.htm"), "Includes.htm is gone");
    FUZZ_CHECK(!folder.Exists("help/index.new"), "index.new was left behind");
    for (const char* page :
         {"help/index.htm", "help/Includes.htm", "help/menu.htm", "help/main.htm", "help/keywords.txt"})
        FUZZ_CHECK(OnlyCrLfEnds(folder.Read(page)), std::string(page) + " has a line end other than CR LF");

    std::error_code ignored;
    for (auto it = fs::recursive_directory_iterator(folder.root, ignored);
         it != fs::recursive_directory_iterator(); it.increment(ignored)) {
        const std::string name = it->path().filename().string();
        // A new version is made under a temporary name (the prefix and six
        // characters) before it takes its place; function pages end in .htm.
        FUZZ_CHECK(name.size() != 18 || name.compare(0, 12, ".kelpra-new-") != 0,
                   "a new version was left half made: " + name);
        FUZZ_CHECK(name != ".kelpra-lock" && name != ".kelpra-preparing",
                   "the help folder was left locked or half prepared: " + name);
        // The template's working copies are copied as they are; the pages
        // written from them are line by line.
        const std::string parent = it->path().parent_path().filename().string();
        if (parent == "Includes" && it->path().extension() == ".htm" && name != "vosks.htm" &&
            name != "vosk2.htm")
            FUZZ_CHECK(OnlyCrLfEnds(folder.Read("help/Includes/" + name)),
                       "the page " + Shown(name) + " has a line end other than CR LF");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static int ready = CheckGuardWorks();
    (void)ready;
    const std::string source = BytesOf(data, size);
    MakeHelpFolder(source);
    ProgramStateClear();
    State.programFolder = "T:\\prog\\";
    State.dataFolder = State.programFolder;
    State.helpFolder = "T:\\help\\";
    State.keywordsFile = "T:\\help\\keywords.txt";
    ScriptReset();
    const int descriptors = OpenDescriptors();

    WriteGuardAllow(FuzzFolder().root);
    BuildContextList();
    AddInclude("T:\\src\\fuzz.dba");
    // Adding the same source again replaces its entry and pages.
    if (size && (data[0] & 1)) AddInclude("T:\\src\\fuzz.dba");
    const std::vector<std::string> outside = WriteGuardTakeViolations();
    WriteGuardAllow("");

    FUZZ_CHECK(outside.empty(),
               "written outside the test folder: " + Shown(outside.empty() ? "" : outside[0]));
    FUZZ_CHECK(OpenDescriptors() == descriptors, "the run left a file open");
    FUZZ_CHECK(TheScript().messages.empty(), "the run showed a message");
    CheckListLinks(State.contextList);
    CheckHelpFolder();

    FileCloseAll();
    ListRelease(State.contextList);
    return 0;
}
