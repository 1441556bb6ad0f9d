#include "helpindex/displaycopy.h"

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <vector>

#include "helpindex/contextlist.h"
#include "runtime/browser.h"
#include "runtime/codepage.h"
#include "runtime/files.h"
#include "runtime/folders.h"
#include "runtime/links.h"
#include "runtime/pagebytes.h"
#include "runtime/rewrite.h"
#include "runtime/text.h"
#include "state/state.h"

namespace {

const std::string LinkStart = "<a href=\"";

// Asked for every link of a page: plain ASCII folders, as most are, are
// compared without the match keys' copies.
int SameFolder(const std::string& a, const std::string& b)
{
    if (!TextIsAscii(a) || !TextIsAscii(b)) return TextEquals(TextMatchKey(a), TextMatchKey(b));
    return TextAsciiEqualsCaseBlind(a, b);
}

}  // namespace

std::string DisplayCopyLinkFolder(const std::string& target, const std::string& pageFolder,
                                  const std::string& helpFolder, PathLookup& lookup)
{
    if (LinkHasScheme(target)) return "";
    // The file the target names, without its anchor or query.
    std::string file;
    AppendPagePath(file, target.data(), target.data() + std::min(target.find_first_of("#?"), target.size()));
    if (!file.empty() && !SameFolder(pageFolder, helpFolder) &&
        !PathLookupExists(lookup, helpFolder + file) && PathLookupExists(lookup, pageFolder + file))
        return pageFolder;
    return helpFolder;
}

std::string DisplayCopyLinkLine(const std::string& line, const std::string& pageFolder,
                                const std::string& helpFolder, PathLookup& lookup)
{
    const std::string rest = TextTail(line, TextLength(line) - 9);
    const std::string folder =
        DisplayCopyLinkFolder(rest.substr(0, rest.find('"')), pageFolder, helpFolder, lookup);
    return folder.empty() ? line : LinkStart + folder + rest;
}

int IsDisplayCopyName(const std::string& path)
{
    return TextEquals(PathFileName(path), DisplayCopyName);
}

int NamedLikeDisplayCopy(const std::string& path)
{
    // Asked of every file of the help folder at every search: no copies.
    const size_t length = sizeof DisplayCopyName - 1;
    if (path.size() < length) return 0;
    const size_t start = path.size() - length;
    if (start > 0 && path[start - 1] != '\\') return 0;
    for (size_t i = 0; i < length; ++i) {
        const unsigned char c = static_cast<unsigned char>(path[start + i]);
        if ((c >= 'A' && c <= 'Z' ? c + 0x20 : c) != static_cast<unsigned char>(DisplayCopyName[i])) return 0;
    }
    return 1;
}

namespace {

// What a copy needs to know of its page before the first line is written.
struct PageFacts {
    int utf8 = 0;      // the page writes its text in UTF-8
    std::string base;  // the href of the page's own <base>, "" for none
};

PageFacts ScanPage(const std::string& pagePath)
{
    PageFacts facts;
    std::string bytes;
    if (!FileReadAll(pagePath, bytes, SIZE_MAX)) return facts;
    // A page of plain ASCII that names no charset takes the folders in
    // Windows-1252, as Windows opens them.
    const PageCharset declared = DeclaredCharset(bytes);
    facts.utf8 = declared == PageCharset::Utf8 ||
                         (declared == PageCharset::Unknown && !TextIsAscii(bytes) && TextIsUtf8(bytes))
                     ? 1
                     : 0;
    facts.base = TextInEncoding(PageBaseHref(bytes), facts.utf8);
    return facts;
}

// The line a copy kept away from its page begins with, so that what the
// page writes relative to its folder (or to its own relative <base>) is
// found there; "" when the page's own base leads there from anywhere.
std::string BaseLine(const std::string& pageFolder, const std::string& pageBase)
{
    if (LinkHasScheme(pageBase) || (!pageBase.empty() && (pageBase[0] == '/' || pageBase[0] == '\\')))
        return "";
    std::string folder = pageFolder + pageBase;
    for (char& c : folder)
        if (c == '/') c = '\\';
    return "<base href=\"" + BrowserAddressFromPath(folder, "") + "\">";
}

// The listings of folders that earlier copies' links led into, kept while
// a watch on them tells of no change: showing a page then asks nothing of
// the folders its links lead into, however many files they hold. Only
// listings made while the watch ran are kept; so that a copy does not
// spoil them, the folder it is written into is never kept.
struct KeptListings {
    PathLookup lookup;
    std::vector<std::string> folders;  // watched under DisplayCopyWatch
    int watched = 0;
    int trusted = 0;  // every listing in lookup was made while the watch ran
};

KeptListings& Kept()
{
    static KeptListings kept;
    return kept;
}

// Beyond these a page's folders are listed for it alone, as before.
constexpr size_t MostKeptFolders = 16;
constexpr size_t MostKeptNames = 200000;

// The lookup for the next copy, holding what is still known.
PathLookup& ListingsBefore()
{
    KeptListings& kept = Kept();
    // Asking takes the changes told so far, whatever the answer.
    const int changed = kept.watched ? FolderChanged(DisplayCopyWatch) : 1;
    // What the host said of single paths (links, odd names) is asked again:
    // a link may lead elsewhere without its folder changing.
    kept.lookup.paths.clear();
    if (changed || !kept.trusted) kept.lookup.folders.clear();
    for (auto at = kept.lookup.folders.begin(); at != kept.lookup.folders.end();)
        at = at->second.state == 1 ? std::next(at) : kept.lookup.folders.erase(at);
    kept.trusted = kept.watched;
    return kept.lookup;
}

// Watches what the copy listed, beside what was watched before, unless the
// copy's own folder or too much would be kept.
void ListingsAfter(const std::string& copyFolder)
{
    KeptListings& kept = Kept();
    kept.lookup.folders.erase(copyFolder);
    std::vector<std::string> listed;
    size_t names = 0;
    for (const auto& [folder, looked] : kept.lookup.folders) {
        if (looked.state != 1) continue;
        listed.push_back(folder);
        names += looked.names.size();
    }
    const auto watched = [&](const std::string& folder) {
        return std::find(kept.folders.begin(), kept.folders.end(), folder) != kept.folders.end();
    };
    if ((kept.watched || kept.folders.empty()) && std::all_of(listed.begin(), listed.end(), watched)) return;
    if (listed.size() > MostKeptFolders || names > MostKeptNames) {
        DisplayCopyReset();
        return;
    }
    for (const std::string& folder : kept.folders)
        if (listed.size() < MostKeptFolders &&
            std::find(listed.begin(), listed.end(), folder) == listed.end())
            listed.push_back(folder);
    kept.folders = std::move(listed);
    kept.watched = FolderWatch(DisplayCopyWatch, kept.folders);
    // Listed before this watch began: made again under it.
    kept.trusted = 0;
}

// How far a copy got.
enum class Copied { Yes, NotBegun, Failed };

// Writes the copy of the page to copyPath, through the rewrite service, so
// that two windows writing the copy of one folder at once each put a whole
// copy in place and a failure keeps the copy shown before. `away` is set
// for a copy that does not lie beside its page.
Copied WriteCopy(const std::string& pagePath, const std::string& copyPath, int away)
{
    const std::string pageFolder = PathFolderPart(pagePath);
    const std::string copyFolder = PathFolderPart(copyPath);
    // The folders go into the copy as the page writes its text; only a
    // folder with accents, or a copy kept away, needs the page read first.
    PageFacts facts;
    if (away || !TextIsAscii(pageFolder + State.helpFolder)) facts = ScanPage(pagePath);
    const std::string pageFolderText = TextInEncoding(pageFolder, facts.utf8);
    const std::string helpFolderText = TextInEncoding(State.helpFolder, facts.utf8);
    if (!FileOpenRead(1, pagePath)) return Copied::NotBegun;
    if (RewriteBegin(2, copyPath, copyFolder) != Rewrite::Done) {
        FileClose(1);
        return Copied::NotBegun;
    }
    const std::string base = away ? BaseLine(pageFolderText, facts.base) : "";
    if (!base.empty()) FileWriteLineTo(2, base);
    // A page's links mostly lead into a few folders: each is listed once,
    // however many links lead there and however many files it holds.
    PathLookup& lookup = ListingsBefore();
    do {
        std::string line = FileReadLineFrom(1);
        if (TextEquals(TextHead(line, 9), LinkStart))
            line = DisplayCopyLinkLine(line, pageFolderText, helpFolderText, lookup);
        FileWriteLineTo(2, line);
    } while (!FileAtEnd(1));
    FileClose(1);
    // A write that failed on the way fails the commit too.
    const Copied copied = RewriteCommitUnflushed(2) == Rewrite::Done ? Copied::Yes : Copied::Failed;
    ListingsAfter(copyFolder);
    return copied;
}

// Writing the page's copy would overwrite the page itself: it is named like
// its copy, in any case, or it is that very file under another spelling
// (Windows drops trailing dots and spaces) or through a link. Decided by the
// file, not by how its name is spelled.
int IsItsOwnCopy(const std::string& pagePath)
{
    return NamedLikeDisplayCopy(pagePath) ||
           PathSameFile(pagePath, PathFolderPart(pagePath) + DisplayCopyName);
}

// The copy of a page named as its folder holds it.
std::string WriteStoredCopy(const std::string& pagePath)
{
    // A page that is its own copy's file is shown as itself rather than
    // overwritten.
    if (PathSize(pagePath) < 0 || IsItsOwnCopy(pagePath)) return "";
    std::string beside = PathFolderPart(pagePath) + DisplayCopyName;
    const Copied copied = WriteCopy(pagePath, beside, 0);
    if (copied == Copied::Yes) return beside;
    // A copy that failed part-way (a full disk) keeps the one shown before
    // and is reported. One that could not even begin beside its page (a
    // folder the user cannot write: a system folder, a CD, a share; or a
    // name that is refused) goes where Kelpra writes its own files.
    if (copied == Copied::Failed) return "";
    const std::string away = DisplayCopyAwayFolder();
    if (PathSize(away) != -2) FolderMake(away);
    return WriteCopy(pagePath, away + DisplayCopyName, 1) == Copied::Yes ? away + DisplayCopyName : "";
}

}  // namespace

void DisplayCopyReset()
{
    FolderWatchEnd(DisplayCopyWatch);
    KeptListings& kept = Kept();
    kept = KeptListings{};
}

std::string DisplayCopyAwayFolder()
{
    return State.programFolder + "copies\\";
}

std::string WriteDisplayCopy(const std::string& pagePath)
{
    // Asked for in another case, the page would be searched for in its
    // folder at each step of making its copy.
    return WriteStoredCopy(PathAsStored(pagePath));
}

std::string MakeDisplayCopy(const std::string& pagePath)
{
    const std::string stored = PathAsStored(pagePath);
    if (IsItsOwnCopy(stored)) return pagePath;
    const std::string written = WriteStoredCopy(stored);
    return written.empty() ? PathFolderPart(pagePath) + DisplayCopyName : written;
}

int AnchorPosition(const std::string& text)
{
    size_t found = text.find('#');
    return found == std::string::npos ? 0 : static_cast<int>(found) + 1;
}
