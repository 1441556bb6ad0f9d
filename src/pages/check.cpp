#include "pages/check.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

#include "helpindex/contextlist.h"
#include "helpindex/displaycopy.h"
#include "pages/helpfolder.h"
#include "pages/html.h"
#include "runtime/browser.h"
#include "runtime/codepage.h"
#include "runtime/files.h"
#include "runtime/folders.h"
#include "runtime/links.h"
#include "runtime/text.h"
#include "state/state.h"
#include "state/texts.h"

namespace {

constexpr size_t None = std::string::npos;
const char* const StartPages[] = {"menu.htm", "main.htm", "index.htm"};

struct KindText {
    FindingKind kind;
    const char* name;
    const char* heading;
};
const KindText KindTexts[] = {
    {FindingKind::IndexTargetMissing, "index-target-missing", CheckIndexTargetMissingText},
    {FindingKind::LinkTargetMissing, "link-target-missing", CheckLinkTargetMissingText},
    {FindingKind::ImageMissing, "image-missing", CheckImageMissingText},
    {FindingKind::UnreachablePage, "unreachable-page", CheckUnreachablePageText},
    {FindingKind::KeywordNotInIndex, "keyword-not-in-index", CheckKeywordNotInIndexText},
    {FindingKind::LeftoverCopy, "leftover-copy", CheckLeftoverCopyText},
    {FindingKind::FileMissing, "file-missing", CheckFileMissingText},
};

// Where a link leads, worked out once for every page that has it.
constexpr uint32_t NoPage = UINT32_MAX;
struct Destination {
    bool followed = false;  // a file here (or on this machine) to look for
    bool exists = false;
    uint32_t page = NoPage;  // the page it is, when it is one of the help folder's
};

// Keys to numbers, for the check's lookups of every link of every page and
// of every file of the folder: tables that the pages read meanwhile keep
// pushing out of the processor's caches. Open addressing with the hash, the
// key's place and the number side by side in a slot of 16 bytes keeps a
// lookup to two places in memory, the slot and the key, and the table
// small. A key is a number (a base folder's) and the bytes after it.
struct KeySlot {
    uint32_t hash = 0;  // 0 for a free slot
    uint32_t keyStart = 0;
    uint32_t keyLength = 0;
    uint32_t value = 0;
};
struct KeyTable {
    std::vector<KeySlot> slots;
    size_t count = 0;
    std::string keys;  // every entry's key, one after another
};

// What the links of a page start from, the same for the pages of a folder
// with the same <base>, which the listing gives one after another: worked
// out again only when the folder or the <base> changes.
struct LinkStart {
    std::string folder;  // the page's folder in the help folder, UTF-8
    std::string baseHref;
    std::string pageFolder;  // the page's folder, whole
    std::string base;        // the folder its relative links start from
    uint32_t baseNumber = 0;
    uint32_t lineNumber = 0;  // link lines are keyed by their page's folder
};

// What the check knows of the help folder while it runs. Paths are UTF-8
// and, where they are keys, folded, so that names match without regard to
// case as they do on Windows.
struct Walk {
    std::string hostFolder;  // the help folder as the program names it, closing "\"
    std::string folder;      // the same as UTF-8
    std::string foldedFolder;
    std::vector<HelpFile> files;
    std::vector<uint32_t> pages;  // the files that are pages, by their place in `files`
    // Every file and folder, relative and folded, to its page's number;
    // NoPage for those that are not pages.
    KeyTable existing;
    KeyTable destinations;  // by base folder's number and target, to their place in destinationList
    std::vector<Destination> destinationList;
    std::unordered_map<std::string, uint32_t> bases;
    uint32_t helpNumber = 0;        // the help folder's, as a base
    std::vector<LinkStart> starts;  // one after another as pages' folders or bases change
    // The pages each page links to, page after page: those of page n end
    // at linksToEnd[n], as one list rather than one of its own per page.
    std::vector<uint32_t> linksTo;
    std::vector<size_t> linksToEnd;
    std::vector<Finding> findings;
    PathLookup lookup;  // what lies where, for links that leave the walk's own list
    std::string path;   // room for the path of the page or file at hand, as UTF-8
    // Room for a new link target as written, the full path it leads to, and
    // that path relative to the help folder.
    std::string resolved;
    std::string fullPath;
    std::string relative;
    // Whether the last base a plain target was resolved from is a whole path.
    std::string wholeBase;
    bool wholeBaseKnown = false;
    bool baseIsWhole = false;
};

// The full path a link leads to (UTF-8), from the folder the page's links
// are relative to; "" for another site, another machine or the page itself.
std::string LinkPath(const std::string& target, const std::string& base)
{
    const std::string path = BrowserResolveTarget(target, "", base).path;
    // Relative to a base on another site, the target has no drive either.
    if (path.size() < 2 || path[1] != ':') return "";
    return Utf8FromText(path);
}

// A target that only names folders and a file below its base, in plain
// ASCII: no scheme, drive or root, no anchor or query, no escapes, no "."
// or ".." and no empty steps. Nearly every link of a help folder is one.
bool IsPlainStep(const std::string& target, size_t from, size_t to)
{
    const std::string_view name = std::string_view(target).substr(from, to - from);
    return !name.empty() && name != "." && name != "..";
}

bool IsPlainRelativeTarget(const std::string& target)
{
    size_t step = 0;  // where the current step began
    for (size_t at = 0; at < target.size(); ++at) {
        const unsigned char c = static_cast<unsigned char>(target[at]);
        if (c == '/' || c == '\\') {
            if (!IsPlainStep(target, step, at)) return false;
            step = at + 1;
        } else if (c <= 0x20 || c >= 0x7F || c == '#' || c == '?' || c == '%' || c == ':') {
            return false;
        }
    }
    // After a closing separator, the target names a folder.
    return step == target.size() ? step > 0 : IsPlainStep(target, step, target.size());
}

// The full path a link leads to, as LinkPath has it: a plain relative
// target is its base and itself, its '/' turned '\\', where the base is a
// whole path already (one that resolving leaves as it is). Resolving each
// of the thousands of links of a folder costs more than reading them.
void ResolvedPathInto(Walk& walk, const std::string& target, const std::string& base, std::string& path)
{
    if (!IsPlainRelativeTarget(target)) {
        path = LinkPath(target, base);
        return;
    }
    if (!walk.wholeBaseKnown || walk.wholeBase != base) {
        walk.wholeBase = base;
        walk.wholeBaseKnown = true;
        walk.baseIsWhole = LinkPath("x", base) == base + "x";
    }
    if (!walk.baseIsWhole) {
        path = LinkPath(target, base);
        return;
    }
    path.assign(base).append(target);
    std::replace(path.begin() + static_cast<std::ptrdiff_t>(base.size()), path.end(), '/', '\\');
}

// The path relative to the help folder, folded, without a closing "\"; the
// path itself when it lies outside.
bool InsideFolder(const Walk& walk, const std::string& path, std::string& relative)
{
    relative.assign(path);
    FoldForMatching(relative);
    if (relative.compare(0, walk.foldedFolder.size(), walk.foldedFolder) != 0) return false;
    relative.erase(0, walk.foldedFolder.size());
    if (!relative.empty() && relative.back() == '\\') relative.pop_back();
    return true;
}

// Eight bytes at a time, each mixed in by a multiplication: the keys are
// paths, which differ in a few bytes anywhere.
uint32_t KeyHash(uint32_t number, std::string_view key)
{
    constexpr uint64_t Mix = 0x9E3779B97F4A7C15ULL;
    uint64_t hash = (number + 1) * Mix ^ key.size();
    for (size_t at = 0; at < key.size(); at += 8) {
        uint64_t word = 0;
        std::memcpy(&word, key.data() + at, std::min<size_t>(8, key.size() - at));
        hash = (hash ^ word) * Mix;
        hash ^= hash >> 32;
    }
    return static_cast<uint32_t>(hash) | 1;
}

bool SlotHolds(const KeyTable& table, const KeySlot& slot, uint32_t number, std::string_view key)
{
    return slot.keyLength == sizeof number + key.size() &&
           std::memcmp(table.keys.data() + slot.keyStart, &number, sizeof number) == 0 &&
           std::memcmp(table.keys.data() + slot.keyStart + sizeof number, key.data(), key.size()) == 0;
}

// The slot that holds the key, or the free slot where it would go.
size_t SlotOf(const KeyTable& table, uint32_t number, std::string_view key, uint32_t hash)
{
    // Not the lowest bit, which marks a slot taken and is always set.
    const size_t mask = table.slots.size() - 1;
    size_t slot = static_cast<size_t>(hash >> 1) & mask;
    while (table.slots[slot].hash != 0 &&
           (table.slots[slot].hash != hash || !SlotHolds(table, table.slots[slot], number, key)))
        slot = (slot + 1) & mask;
    return slot;
}

// Twice the slots whenever two in three are taken, so the runs stay short.
void GrowTable(KeyTable& table)
{
    std::vector<KeySlot> slots = std::move(table.slots);
    table.slots.assign(std::max<size_t>(1024, slots.size() * 2), KeySlot{});
    const size_t mask = table.slots.size() - 1;
    for (const KeySlot& slot : slots) {
        if (slot.hash == 0) continue;
        size_t at = static_cast<size_t>(slot.hash >> 1) & mask;
        while (table.slots[at].hash != 0) at = (at + 1) & mask;
        table.slots[at] = slot;
    }
}

// The key's slot, made for it (`added`) when it is not in the table yet.
KeySlot& KeySlotOf(KeyTable& table, uint32_t number, std::string_view key, uint32_t hash, bool& added)
{
    if ((table.count + 1) * 3 > table.slots.size() * 2) GrowTable(table);
    KeySlot& slot = table.slots[SlotOf(table, number, key, hash)];
    added = slot.hash == 0;
    if (!added) return slot;
    slot.hash = hash;
    slot.keyStart = static_cast<uint32_t>(table.keys.size());
    slot.keyLength = static_cast<uint32_t>(sizeof number + key.size());
    table.keys.append(reinterpret_cast<const char*>(&number), sizeof number).append(key);
    ++table.count;
    return slot;
}

const KeySlot* FindKey(const KeyTable& table, std::string_view key)
{
    if (table.slots.empty()) return nullptr;
    const uint32_t hash = KeyHash(0, key);
    const KeySlot& slot = table.slots[SlotOf(table, 0, key, hash)];
    return slot.hash == 0 ? nullptr : &slot;
}

Destination FindDestination(Walk& walk, const std::string& target, const std::string& base)
{
    Destination destination;
    std::string& path = walk.fullPath;
    ResolvedPathInto(walk, target, base, path);
    if (path.empty()) return destination;
    destination.followed = true;
    std::string& relative = walk.relative;
    if (InsideFolder(walk, path, relative)) {
        // Every page is one of the files: most links lead to one.
        const KeySlot* file = FindKey(walk.existing, relative);
        if (file) destination.page = file->value;
        destination.exists = relative.empty() || file != nullptr;
    }
    // Outside the folder, or under a link to a folder that the walk does
    // not follow: the host has the last word.
    if (!destination.exists) destination.exists = PathLookupExists(walk.lookup, path);
    return destination;
}

// A page's base folder stands in the table's keys as a number, which is
// shorter to hash and compare than the folder itself.
uint32_t BaseNumber(Walk& walk, const std::string& base)
{
    auto known = walk.bases.find(base);
    if (known != walk.bases.end()) return known->second;
    return walk.bases.emplace(base, static_cast<uint32_t>(walk.bases.size())).first->second;
}

// Where a link goes from its page's base, or a link line from its page's
// folder (lineFolder): where the page's display copy sends it.
Destination DestinationOf(Walk& walk, std::string_view target, const std::string& base, uint32_t baseNumber,
                          const std::string& lineFolder)
{
    bool added = false;
    KeySlot& slot = KeySlotOf(walk.destinations, baseNumber, target, KeyHash(baseNumber, target), added);
    if (!added) return walk.destinationList[slot.value];
    slot.value = static_cast<uint32_t>(walk.destinationList.size());
    std::string& resolved = walk.resolved;
    resolved.assign(target);
    if (!lineFolder.empty())
        resolved.insert(0, DisplayCopyLinkFolder(resolved, lineFolder, walk.folder, walk.lookup));
    walk.destinationList.push_back(FindDestination(walk, resolved, base));
    return walk.destinationList.back();
}

std::string FolderPartOf(const std::string& path)
{
    size_t slash = path.rfind('\\');
    return slash == None ? "" : path.substr(0, slash + 1);
}

void AddFinding(Walk& walk, FindingKind kind, const std::string& page, const std::string& target)
{
    walk.findings.push_back({kind, page, target});
}

// Where a link line leads: behind the help folder when its target is found
// there, as the display copy puts it (the same for every page, so asked
// once), else where the copy's rule sends it from the page's folder.
bool IsRelativeTarget(std::string_view target)
{
    return !target.empty() && target[0] != '/' && target[0] != '\\' &&
           target.find(':') == std::string_view::npos;
}

Destination LinkLineDestination(Walk& walk, std::string_view target, const std::string& base,
                                uint32_t helpNumber, uint32_t lineNumber, const std::string& pageFolder)
{
    if (IsRelativeTarget(target)) {
        const Destination behindHelp = DestinationOf(walk, target, walk.folder, helpNumber, "");
        if (behindHelp.exists) return behindHelp;
    }
    return DestinationOf(walk, target, base, lineNumber, pageFolder);
}

// A path of the listing as UTF-8, into `room`: as it is when it is ASCII,
// as nearly all are, without a conversion.
void Utf8PathInto(const std::string& path, std::string& room)
{
    if (TextIsAscii(path)) room.assign(path);
    else room = Utf8FromText(path);
}

// Its place in walk.starts.
uint32_t LinkStartOf(Walk& walk, const std::string& pagePath, const std::string& baseHref)
{
    const size_t slash = pagePath.rfind('\\');
    const size_t folderLength = slash == None ? 0 : slash + 1;
    if (!walk.starts.empty()) {
        const LinkStart& last = walk.starts.back();
        if (last.folder.size() == folderLength && pagePath.compare(0, folderLength, last.folder) == 0 &&
            last.baseHref == baseHref)
            return static_cast<uint32_t>(walk.starts.size() - 1);
    }
    LinkStart& start = walk.starts.emplace_back();
    start.folder = pagePath.substr(0, folderLength);
    start.baseHref = baseHref;
    start.pageFolder = walk.folder + start.folder;
    start.base = baseHref.empty() ? start.pageFolder : FolderPartOf(LinkPath(baseHref, start.pageFolder));
    start.baseNumber = BaseNumber(walk, start.base);
    // No base begins with a line end.
    start.lineNumber = BaseNumber(walk, "\n" + start.pageFolder);
    return static_cast<uint32_t>(walk.starts.size() - 1);
}

// Every page's links, read before any is followed: the tables that follow
// them then stay in the processor's caches, where the pages' bytes passing
// through would push them out.
struct ReadLinks {
    LinkStore store;
    std::vector<size_t> linksEnd;  // per page: where its links end in the store
    std::vector<std::string> bases;
};

bool IsIndexPage(const std::string& path)
{
    return path.size() == 9 && TextAsciiEqualsCaseBlind(path, "index.htm");
}

void CheckPageLinks(Walk& walk, size_t number, const ReadLinks& read)
{
    const std::string& hostPath = walk.files[walk.pages[number]].path;
    Utf8PathInto(hostPath, walk.path);
    const LinkStart& start = walk.starts[LinkStartOf(walk, walk.path, read.bases[number])];
    for (size_t at = number == 0 ? 0 : read.linksEnd[number - 1]; at < read.linksEnd[number]; ++at) {
        const StoredLink& link = read.store.links[at];
        const std::string_view target = std::string_view(read.store.targets).substr(link.start, link.length);
        const Destination destination = link.opensLinkLine
                                            ? LinkLineDestination(walk, target, start.base, walk.helpNumber,
                                                                  start.lineNumber, start.pageFolder)
                                            : DestinationOf(walk, target, start.base, start.baseNumber, "");
        if (!destination.followed) continue;
        if (destination.exists) {
            if (link.kind == LinkKind::Page && destination.page != NoPage)
                walk.linksTo.push_back(destination.page);
            continue;
        }
        FindingKind kind = link.kind == LinkKind::Image                  ? FindingKind::ImageMissing
                           : IsIndexPage(hostPath) && link.opensLinkLine ? FindingKind::IndexTargetMissing
                                                                         : FindingKind::LinkTargetMissing;
        AddFinding(walk, kind, walk.path, std::string(target));
    }
    walk.linksToEnd.push_back(walk.linksTo.size());
}

// Every file and folder by its folded name, with the number of the page it
// is, made once the pages are read: the table is then fresh in the
// processor's caches for the links that lead into it.
void KnowFiles(Walk& walk)
{
    std::string& relative = walk.path;
    uint32_t page = 0;
    for (const HelpFile& file : walk.files) {
        bool added = false;
        Utf8PathInto(file.path, relative);
        FoldForMatching(relative);
        KeySlot& slot = KeySlotOf(walk.existing, 0, relative, KeyHash(0, relative), added);
        if (added) slot.value = NoPage;
        if (!IsOwnPage(file)) continue;
        // Of two pages whose names differ only in case, links lead to the first.
        if (slot.value == NoPage) slot.value = page;
        ++page;
    }
}

// 0 when the progress stopped it.
int ReadPages(Walk& walk, PageProgress progress)
{
    std::string bytes;
    std::string base;
    ReadLinks read;
    // Room for more links than pages have, at once: room never written
    // costs nothing, where growing copies what was read into new memory.
    read.store.links.reserve(walk.pages.size() * 64);
    read.store.targets.reserve(walk.pages.size() * 64 * 32);
    read.linksEnd.reserve(walk.pages.size());
    read.bases.reserve(walk.pages.size());
    HelpFileReader reader;
    walk.linksToEnd.reserve(walk.pages.size());
    const int total = static_cast<int>(walk.pages.size());
    for (size_t number = 0; number < walk.pages.size(); ++number) {
        if (progress && !progress(static_cast<int>(number), total)) {
            ReadHelpFilesDone(reader);
            return 0;
        }
        // A page that cannot be read has no links.
        base.clear();
        if (ReadHelpFile(reader, walk.hostFolder, walk.files[walk.pages[number]].path, bytes))
            AppendPageLinks(bytes, read.store, base);
        read.linksEnd.push_back(read.store.links.size());
        read.bases.push_back(base);
    }
    ReadHelpFilesDone(reader);
    KnowFiles(walk);
    walk.helpNumber = BaseNumber(walk, walk.folder);
    walk.linksTo.reserve(read.store.links.size());
    for (size_t number = 0; number < walk.pages.size(); ++number) CheckPageLinks(walk, number, read);
    return 1;
}

void FindUnreachablePages(Walk& walk)
{
    std::vector<char> reached(walk.pages.size(), 0);
    std::vector<size_t> waiting;
    for (const char* start : StartPages) {
        const KeySlot* file = FindKey(walk.existing, FoldedForMatching(start));
        if (!file || file->value == NoPage) {
            AddFinding(walk, FindingKind::FileMissing, start, "");
            continue;
        }
        reached[file->value] = 1;
        waiting.push_back(file->value);
    }
    while (!waiting.empty()) {
        size_t page = waiting.back();
        waiting.pop_back();
        for (size_t at = page == 0 ? 0 : walk.linksToEnd[page - 1]; at < walk.linksToEnd[page]; ++at) {
            const size_t next = walk.linksTo[at];
            if (!reached[next]) {
                reached[next] = 1;
                waiting.push_back(next);
            }
        }
    }
    for (size_t page = 0; page < walk.pages.size(); ++page)
        if (!reached[page])
            AddFinding(walk, FindingKind::UnreachablePage, Utf8FromText(walk.files[walk.pages[page]].path),
                       "");
}

// The whole of a file whose lines are read, at once rather than line by
// line. Only plain files are read: a pipe put where one should be would
// keep the check waiting for ever.
bool ReadWholeFile(const std::string& name, std::string& bytes)
{
    return FileReadAll(name, bytes, std::numeric_limits<size_t>::max()) != 0;
}

// The line from `at` on, and `at` moved past its end, as the file service
// reads lines: CR LF is one end, and CR, LF or NUL alone another. There is
// a line while `at` is short of the end, and one (empty) in an empty file.
void NextLine(const std::string& bytes, size_t& at, std::string& line)
{
    const char* data = bytes.data();
    const size_t end = static_cast<size_t>(TextLineEnd(data + at, data + bytes.size()) - data);
    line.assign(data + at, end - at);
    at = end;
    if (at == bytes.size()) return;
    const char lineEnd = data[at++];
    if (lineEnd == '\r' && at < bytes.size() && data[at] == '\n') ++at;
}

// The keywords of index.htm's link lines, as the context list has them.
KeyTable IndexKeywords()
{
    KeyTable keywords;
    std::string bytes;
    if (!ReadWholeFile(HelpFolderPath() + "index.htm", bytes)) return keywords;
    std::string line;
    size_t at = 0;
    do {
        NextLine(bytes, at, line);
        if (!IsLinkLine(line)) continue;
        ContextEntry entry;
        ReadLinkLine(line, entry);
        const std::string key = TextMatchKey(entry.keyword);
        bool added = false;
        KeySlotOf(keywords, 0, key, KeyHash(0, key), added);
    } while (at < bytes.size());
    return keywords;
}

// A function without parameters stands in the keywords file as "NAME()"
// and in the index as "NAME".
void CheckKeywordsFile(Walk& walk)
{
    const std::string file = Utf8FromText(State.keywordsFile);
    const KeyTable keywords = IndexKeywords();
    std::string bytes;
    if (!ReadWholeFile(State.keywordsFile, bytes)) {
        AddFinding(walk, FindingKind::FileMissing, file, "");
        return;
    }
    std::string line;
    size_t at = 0;
    do {
        NextLine(bytes, at, line);
        const std::string keyword = TextStripSpaces(line);
        if (keyword.empty()) continue;
        std::string key = TextMatchKey(keyword);
        if (key.size() > 2 && key.compare(key.size() - 2, 2, "()") == 0) key.resize(key.size() - 2);
        if (!FindKey(keywords, key))
            AddFinding(walk, FindingKind::KeywordNotInIndex, file, Utf8FromText(keyword));
    } while (at < bytes.size());
}

void FindLeftoverCopies(Walk& walk)
{
    std::unordered_set<std::string> shownFolders;
    // The pages of a folder come one after another.
    std::string last = "\n";
    for (uint32_t page : walk.pages) {
        std::string folder = FolderPartOf(walk.files[page].path);
        if (folder == last) continue;
        shownFolders.insert(FoldedForMatching(Utf8FromText(folder)));
        last = std::move(folder);
    }
    for (const HelpFile& file : walk.files)
        if (!file.isFolder && NamedLikeDisplayCopy(file.path) &&
            !shownFolders.count(FoldedForMatching(Utf8FromText(FolderPartOf(file.path)))))
            AddFinding(walk, FindingKind::LeftoverCopy, Utf8FromText(file.path), "");
}

bool FindingOrder(const Finding& a, const Finding& b)
{
    if (a.kind != b.kind) return a.kind < b.kind;
    const std::string pageA = FoldedForMatching(a.page);
    const std::string pageB = FoldedForMatching(b.page);
    if (pageA != pageB) return pageA < pageB;
    return a.page != b.page ? a.page < b.page : a.target < b.target;
}

bool SameFinding(const Finding& a, const Finding& b)
{
    return a.kind == b.kind && a.page == b.page && a.target == b.target;
}

std::string FindingRow(const Finding& finding, const std::string& folder)
{
    std::string page = HtmlFromText(finding.page);
    const bool isPage =
        finding.kind != FindingKind::KeywordNotInIndex && finding.kind != FindingKind::FileMissing;
    if (isPage)
        page = "<a href=\"" + HtmlFromText(BrowserAddressFromPath(folder + finding.page, "")) + "\">" + page +
               "</a>";
    return "<tr><td>" + page + "</td><td>" + HtmlFromText(finding.target) + "</td></tr>\r\n";
}

}  // namespace

const char* FindingKindName(FindingKind kind)
{
    for (const KindText& text : KindTexts)
        if (text.kind == kind) return text.name;
    return "";
}

CheckReport CheckHelpFolder(PageProgress progress)
{
    CheckReport report;
    Walk walk;
    walk.hostFolder = HelpFolderPath();
    walk.folder = Utf8FromText(walk.hostFolder);
    walk.foldedFolder = FoldedForMatching(walk.folder);
    if (!ListHelpFolder(walk.hostFolder, walk.files, 0)) return report;
    report.folderRead = 1;
    for (size_t at = 0; at < walk.files.size(); ++at)
        if (IsOwnPage(walk.files[at])) walk.pages.push_back(static_cast<uint32_t>(at));
    if (!ReadPages(walk, progress)) {
        report.stopped = 1;
        return report;
    }
    FindUnreachablePages(walk);
    CheckKeywordsFile(walk);
    FindLeftoverCopies(walk);
    std::sort(walk.findings.begin(), walk.findings.end(), FindingOrder);
    walk.findings.erase(std::unique(walk.findings.begin(), walk.findings.end(), SameFinding),
                        walk.findings.end());
    report.pages = static_cast<int>(walk.pages.size());
    report.findings = std::move(walk.findings);
    return report;
}

int FindingIsNote(FindingKind kind)
{
    return kind == FindingKind::KeywordNotInIndex ? 1 : 0;
}

int FindingsToPutRight(const CheckReport& report)
{
    int count = 0;
    for (const Finding& finding : report.findings) count += FindingIsNote(finding.kind) ? 0 : 1;
    return count;
}

std::string CheckSummary(const CheckReport& report)
{
    if (!report.folderRead) return HelpFolderUnreadableText + MessageName(Utf8FromText(HelpFolderPath()));
    std::string summary = CheckedText + TextFromInteger(report.pages) + CheckedPagesText;
    const int findings = FindingsToPutRight(report);
    const int notes = static_cast<int>(report.findings.size()) - findings;
    if (findings == 0) summary += CheckNothingText;
    else if (findings == 1) summary += CheckOneFindingText;
    else summary += TextFromInteger(findings) + CheckFindingsText;
    if (notes == 0) return summary;
    summary.pop_back();
    return summary +
           (notes == 1 ? CheckOneNoteText : CheckNotesLeadText + TextFromInteger(notes) + CheckNotesText);
}

std::string CheckReportPage(const CheckReport& report)
{
    const std::string folder = Utf8FromText(HelpFolderPath());
    std::string page = PageHead(CheckReportTitle);
    page += "<font color=\"Yellow\" size=\"5\">" + std::string(CheckReportTitle) + "</font><br>\r\n";
    page += "<p>" + HtmlFromText(folder) + "<br>\r\n" + HtmlFromText(CheckSummary(report)) + "</p>\r\n";
    for (const KindText& kind : KindTexts) {
        std::string rows;
        for (const Finding& finding : report.findings)
            if (finding.kind == kind.kind) rows += FindingRow(finding, folder);
        if (rows.empty()) continue;
        page += "<hr noshade size=\"1\">\r\n<p><font color=\"Yellow\">" + HtmlFromText(kind.heading) +
                "</font></p>\r\n<table border=\"0\" cellpadding=\"2\">\r\n" + rows + "</table>\r\n";
    }
    return page + PageFoot();
}
