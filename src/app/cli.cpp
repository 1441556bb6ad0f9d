// kelpra-cli: the help index and the include documenter without a window.
#include <cctype>
#include <cstdio>
#include <string>
#include <vector>

#include "helpindex/backups.h"
#include "helpindex/contextlist.h"
#include "helpindex/displaycopy.h"
#include "helpindex/indexlinks.h"
#include "helpindex/search.h"
#include "includes/include.h"
#include "pages/check.h"
#include "pages/fulltext.h"
#include "pages/html.h"
#include "runtime/commandline.h"
#include "runtime/console/console.h"
#include "runtime/files.h"
#include "runtime/hostpath.h"
#include "runtime/profile.h"
#include "runtime/text.h"
#include "runtime/window.h"
#include "state/programfolders.h"
#include "state/state.h"
#include "state/texts.h"

namespace {

constexpr int ExitFound = 0;
constexpr int ExitFailed = 1;
constexpr int ExitUsage = 2;

const char* const UsageText =
    "Usage: kelpra-cli [--program-folder DIR] [--help-folder DIR] [--keywords FILE] [--yes]\n"
    "                  COMMAND ...\n"
    "Try 'kelpra-cli --help' for more.\n";

const char* const HelpText =
    "Usage: kelpra-cli [OPTION]... COMMAND ...\n"
    "Kelpra's keyword lookups, Add Include runs, full-text search and help-folder\n"
    "check, without the window.\n"
    "\n"
    "Commands:\n"
    "  lookup TEXT        Look TEXT up as the search field does (the whole text,\n"
    "                     then its first character) and print the page that\n"
    "                     would be shown. Exit 1 when nothing matches.\n"
    "  keywords           Print the context list built from the help folder's\n"
    "                     index.htm: one KEYWORD<TAB>page line per entry, in\n"
    "                     list order. Exit 1 when index.htm cannot be read.\n"
    "  index-link TEXT    Add an anchor and a link for the upper-cased first\n"
    "                     character of TEXT to index.htm, as answering Yes to a\n"
    "                     failed search does; prints the new entry's page.\n"
    "                     Exit 1 when index.htm cannot be read, or a file cannot\n"
    "                     be or could not be written.\n"
    "  add-include SOURCE Make the missing one-time backups, then turn the\n"
    "                     include source SOURCE (.dba) into help pages under the\n"
    "                     help folder's Includes folder and link them in (the\n"
    "                     include list, menu and main pages, the keywords file\n"
    "                     and index.htm). Prints the include page. Exit 1 when\n"
    "                     SOURCE does not exist, its include page would take the\n"
    "                     name of a file the run works with (vosks.htm,\n"
    "                     vosk2.htm, the source's copy), a file cannot be or\n"
    "                     could not be written, or no include page was written.\n"
    "  display-copy PAGE  Write the display copy vosks.html beside PAGE, with its\n"
    "                     link lines pointing into the help folder; prints the\n"
    "                     copy's path. A copy that cannot be written beside PAGE\n"
    "                     is written where Kelpra keeps its own files, and said\n"
    "                     on standard error. Exit 1 when writing the copy failed\n"
    "                     (a PAGE that cannot be read gets no copy, and exit 0).\n"
    "  search WORD...     Full-text search: the help folder's pages that hold all\n"
    "                     the words (at the start of a word, in any case), best\n"
    "                     first (the title above the text, link lists below it);\n"
    "                     one PATH<TAB>TITLE line per page, the path relative to\n"
    "                     the help folder. Exit 1 when no page holds them all, or\n"
    "                     the help folder cannot be read.\n"
    "  check              Check the help folder: index links and links and\n"
    "                     images in pages that lead nowhere, pages no link\n"
    "                     reaches from menu.htm, main.htm or index.htm, display\n"
    "                     copies left in folders without pages, and missing\n"
    "                     start files; and, as notes, keywords without an index\n"
    "                     entry (the language's statements have none). One\n"
    "                     KIND<TAB>PAGE<TAB>TARGET line per finding, then a\n"
    "                     summary line. Exit 1 when anything but notes was\n"
    "                     found, or the help folder cannot be read.\n"
    "\n"
    "Options:\n"
    "  --program-folder DIR  Run portably from DIR: Kelpra.ini, the templates\n"
    "                        Includes.htm and Include2.htm and the one-time\n"
    "                        backups all lie there. Default: the folder of\n"
    "                        this program when it holds a Kelpra.ini, or is\n"
    "                        writable and not where the package or installer\n"
    "                        put it; otherwise, as installed, the per-user\n"
    "                        folders ($XDG_CONFIG_HOME/kelpra for Kelpra.ini,\n"
    "                        $XDG_DATA_HOME/kelpra for the backups; on Windows\n"
    "                        %APPDATA%\\Kelpra) and the installed data folder\n"
    "                        for the templates (see kelpra --help).\n"
    "  --help-folder DIR     Use this help folder instead of the setting Help.\n"
    "  --keywords FILE       Use this keywords file instead of the setting\n"
    "                        keywords.\n"
    "  --yes                 Answer Yes to questions (default: No). Messages are\n"
    "                        printed on standard error.\n"
    "  --help                Show this text and exit.\n"
    "  --version             Print the version and exit.\n"
    "\n"
    "Settings are read from Kelpra.ini as the window program reads them at\n"
    "start; --help-folder and --keywords hold for this run only and write\n"
    "nothing. Paths may be given in host form (/home/me/help) or in Windows\n"
    "form (Z:\\home\\me\\help\\); a folder gets a closing backslash. Printed\n"
    "paths are in Windows form.\n"
    "\n"
    "Output is UTF-8: every line on standard output and every message on\n"
    "standard error, whichever encoding the help folder's pages use.\n"
    "\n"
    "Before add-include or index-link changes anything, it checks that every\n"
    "file it will rewrite can be written; when one cannot, it says which and\n"
    "changes nothing. Files are rewritten in one step each: a run that fails\n"
    "later (a full disk), or is killed, leaves every file whole, and running\n"
    "it again finishes the job. A second run on the same help folder waits for\n"
    "the first, or gives up. A keywords file or Kelpra.ini that is a link is\n"
    "written where the link leads.\n"
    "\n"
    "Exit status: 0 done, 1 failed as each command says (a file that could not\n"
    "be written is named on standard error, with the system's reason), 2 usage\n"
    "error.\n";

struct Options {
    std::string programFolder;
    std::string helpFolder;
    std::string keywordsFile;
    int yes = 0;
    int help = 0;
    int version = 0;
    std::vector<std::string> command;
};

int UsageError(const std::string& problem)
{
    std::fprintf(stderr, "kelpra-cli: %s\n%s", MessageName(problem).c_str(), UsageText);
    return ExitUsage;
}

bool IsWindowsForm(const std::string& path)
{
    return path.size() >= 2 && std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':';
}

// Windows-form paths pass with their separators made backslashes, which
// every path rule splits at; host paths go through the drive map.
std::string ProgramPath(const std::string& path)
{
    if (path.empty()) return path;
    if (!IsWindowsForm(path)) return WindowsPathFromHost(path);
    std::string windows = ProgramTextFromHost(path);
    for (char& c : windows)
        if (c == '/') c = '\\';
    return windows;
}

// A line on standard output, in the host's own form.
void PrintLine(const std::string& line)
{
    std::printf("%s\n", HostTextFromProgram(line).c_str());
}

std::string ProgramFolderPath(const std::string& path)
{
    std::string folder = ProgramPath(path);
    if (!folder.empty() && folder.back() != '\\' && folder.back() != '/') folder += '\\';
    return folder;
}

// 0 on success, otherwise the exit status of a usage error (already reported).
int ParseOptions(const std::vector<std::string>& arguments, Options& options)
{
    size_t at = 1;
    while (at < arguments.size() && options.command.empty()) {
        const std::string& argument = arguments[at];
        std::string name = argument;
        std::string value;
        bool hasValue = false;
        size_t equals = argument.find('=');
        if (argument.rfind("--", 0) == 0 && equals != std::string::npos) {
            name = argument.substr(0, equals);
            value = argument.substr(equals + 1);
            hasValue = true;
        }
        if (name == "--program-folder" || name == "--help-folder" || name == "--keywords") {
            if (!hasValue) {
                if (at + 1 >= arguments.size()) return UsageError(name + " needs a value");
                value = arguments[++at];
            }
            if (value.empty()) return UsageError(name + " needs a value");
            if (name == "--program-folder") options.programFolder = value;
            if (name == "--help-folder") options.helpFolder = value;
            if (name == "--keywords") options.keywordsFile = value;
        } else if (argument == "--yes") {
            options.yes = 1;
        } else if (argument == "--help" || argument == "-h") {
            options.help = 1;
        } else if (argument == "--version") {
            options.version = 1;
        } else if (argument == "--") {
            options.command.assign(arguments.begin() + static_cast<long>(at) + 1, arguments.end());
            if (options.command.empty()) return UsageError("no command given");
        } else if (argument.rfind('-', 0) == 0 && argument.size() > 1) {
            return UsageError("unknown option " + argument);
        } else {
            options.command.assign(arguments.begin() + static_cast<long>(at), arguments.end());
        }
        at += 1;
    }
    return 0;
}

// The settings as the window program reads them at start, then this run's
// overrides; nothing is written to the settings file.
void LoadSettings(const Options& options)
{
    if (!options.programFolder.empty()) State.programFolder = ProgramFolderPath(options.programFolder);
    ProfileKeep(1);
    ReadSettings();
    ProfileKeep(0);
    if (!options.helpFolder.empty()) State.helpFolder = ProgramFolderPath(options.helpFolder);
    if (!options.keywordsFile.empty()) State.keywordsFile = ProgramPath(options.keywordsFile);
}

// A message on standard error, in the host's own form.
void Say(const std::string& message)
{
    std::fprintf(stderr, "kelpra-cli: %s\n", HostTextFromProgram(message).c_str());
}

// A command that could not write: what failed, in Windows form, and why.
int WriteFailed()
{
    Say(FailureText(FileLastFailure()));
    return ExitFailed;
}

int Lookup(const std::string& text)
{
    BuildContextList();
    if (!LookupKeyword(ProgramTextFromHost(text))) return ExitFailed;
    PrintLine(State.contextList.current->record.page);
    return ExitFound;
}

int Keywords()
{
    // The context list says itself that the index page cannot be read.
    if (!BuildContextList()) return ExitFailed;
    ContextList& list = State.contextList;
    ListRewind(list);
    for (auto* element = ListNext(list); element; element = ListNext(list))
        PrintLine(element->record.keyword + "\t" + element->record.page);
    return ExitFound;
}

int IndexLink(const std::string& text)
{
    const std::string letter = SearchLetter(ProgramTextFromHost(text));
    if (!LetterNamesAPlace(letter)) {
        std::fprintf(stderr, "kelpra-cli: \"%s\" begins with no letter to anchor\n", text.c_str());
        return ExitFailed;
    }
    BuildContextList();
    FileFailureClear();
    if (!InsertIndexLink(letter)) {
        if (FileLastFailure().kind != FileFailureKind::None) return WriteFailed();
        Say("cannot read the index page " + MessageName(State.helpFolder + "index.htm"));
        return ExitFailed;
    }
    // The entry just made is the context list's current one.
    PrintLine(State.contextList.current->record.page);
    return ExitFound;
}

int AddIncludeCommand(const std::string& source)
{
    const std::string sourcePath = ProgramPath(source);
    const int32_t size = PathSize(sourcePath);
    if (size < 0) {
        std::fprintf(stderr, "kelpra-cli: %s: %s\n", MessageName(source).c_str(),
                     size == -2 ? "is a folder, not an include source" : "no such include source");
        return ExitFailed;
    }
    FileFailureClear();
    if (!AddIncludeCanWrite(sourcePath) || !BackupsCanBeMade()) return WriteFailed();
    BackupHelpPages();
    // Written by this run, not merely there from an earlier one.
    const int written = AddInclude(sourcePath);
    if (FileLastFailure().kind != FileFailureKind::None) return WriteFailed();
    const std::string listPage = State.helpFolder + "Includes.htm";
    if (PathSize(listPage) <= 0) {
        Say("the help folder has no include list page " + MessageName(listPage));
        return ExitFailed;
    }
    if (!written) {
        std::fprintf(stderr, "kelpra-cli: no include page was written for %s\n", MessageName(source).c_str());
        return ExitFailed;
    }
    const std::string page =
        State.helpFolder + "Includes\\" + IncludeScanFromPath(sourcePath, State.helpFolder).pageName;
    PrintLine(page);
    return ExitFound;
}

int DisplayCopy(const std::string& page)
{
    FileFailureClear();
    const std::string copy = MakeDisplayCopy(ProgramPath(page));
    // A copy that could not be begun beside its page is kept where Kelpra
    // writes its own files: still a copy, with why it is not beside the page.
    const bool away = TextEquals(PathFolderPart(copy), DisplayCopyAwayFolder());
    if (FileLastFailure().kind != FileFailureKind::None) {
        if (!away) return WriteFailed();
        Say(FailureText(FileLastFailure()));
    }
    PrintLine(copy);
    return ExitFound;
}

int Search(const std::vector<std::string>& words)
{
    std::string query;
    for (const std::string& word : words) query += (query.empty() ? "" : " ") + word;
    const SearchResults results = SearchHelpFolder(query);
    if (!results.folderRead) {
        Say(HelpFolderUnreadableText + MessageName(State.helpFolder));
        return ExitFailed;
    }
    for (const SearchHit& hit : results.hits)
        std::printf("%s\t%s\n", Utf8FromText(hit.path).c_str(), hit.title.c_str());
    return results.hits.empty() ? ExitFailed : ExitFound;
}

int Check()
{
    const CheckReport report = CheckHelpFolder();
    if (!report.folderRead) {
        Say(CheckSummary(report));
        return ExitFailed;
    }
    for (const Finding& finding : report.findings)
        std::printf("%s\t%s\t%s\n", FindingKindName(finding.kind), finding.page.c_str(),
                    finding.target.c_str());
    std::printf("%s\n", CheckSummary(report).c_str());
    return FindingsToPutRight(report) == 0 ? ExitFound : ExitFailed;
}

int RunCommand(const std::vector<std::string>& command)
{
    const std::string& name = command[0];
    const size_t given = command.size() - 1;
    auto needs = [&](size_t count) { return given == count; };
    if (name == "lookup" && needs(1)) return Lookup(command[1]);
    if (name == "keywords" && needs(0)) return Keywords();
    if (name == "index-link" && needs(1)) return IndexLink(command[1]);
    if (name == "add-include" && needs(1)) return AddIncludeCommand(command[1]);
    if (name == "display-copy" && needs(1)) return DisplayCopy(command[1]);
    if (name == "search" && given >= 1) return Search({command.begin() + 1, command.end()});
    if (name == "check" && needs(0)) return Check();
    if (name == "lookup" || name == "keywords" || name == "index-link" || name == "add-include" ||
        name == "display-copy" || name == "search" || name == "check")
        return UsageError("wrong number of arguments for " + name);
    return UsageError("unknown command " + name);
}

}  // namespace

int main(int argc, char** argv)
{
    std::vector<std::string> arguments(argv, argv + argc);
    ProgramStateClear();
    RuntimeStart();
    FileServicesStart();
    CommandLineSetArguments(arguments);

    Options options;
    if (int status = ParseOptions(arguments, options)) return status;
    if (options.help) {
        std::fputs(HelpText, stdout);
        return ExitFound;
    }
    if (options.version) {
        std::printf("kelpra-cli %s\n", KELPRA_VERSION);
        return ExitFound;
    }
    if (options.command.empty()) return UsageError("no command given");
    ConsoleAnswerYes(options.yes);
    LoadSettings(options);
    int status = RunCommand(options.command);
    RuntimeEnd();
    return status;
}
