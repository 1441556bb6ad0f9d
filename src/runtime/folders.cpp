#include "runtime/folders.h"

#include <algorithm>
#include <functional>
#include <string_view>

#include "runtime/codepage.h"
#include "runtime/faults.h"
#include "runtime/files.h"
#include "runtime/hostfile.h"
#include "runtime/hostpath.h"
#include "runtime/hostwatch.h"
#include "runtime/text.h"

namespace {

// Folder numbers are small in practice, as file numbers are.
constexpr int HighestFolderNumber = 255;
std::vector<HostFolder> openFolders;
std::vector<HostWatch> watches;

unsigned char UpperByte(char c)
{
    unsigned char byte = static_cast<unsigned char>(c);
    return (byte >= 'a' && byte <= 'z') || byte >= 0xE0 ? static_cast<unsigned char>(byte - 0x20) : byte;
}

// Upper-cased as TextToUpper does it, without making the copies.
bool NameOrder(const FolderEntry& a, const FolderEntry& b)
{
    const size_t common = std::min(a.name.size(), b.name.size());
    for (size_t i = 0; i < common; ++i)
        if (UpperByte(a.name[i]) != UpperByte(b.name[i])) return UpperByte(a.name[i]) < UpperByte(b.name[i]);
    return a.name.size() != b.name.size() ? a.name.size() < b.name.size() : a.name < b.name;
}

int ListFolder(const std::string& folder, std::vector<FolderEntry>& entries, bool sizes)
{
    entries.clear();
    std::vector<HostFolderEntry> found;
    FileLookBefore();
    if (!HostFolderList(folder, found, sizes)) return 0;
    for (const HostFolderEntry& entry : found) {
        if (entry.kind == HostEntryKind::Other) continue;
        entries.push_back({entry.name, entry.kind == HostEntryKind::Folder ? 1 : 0, sizes ? entry.size : 0,
                           sizes ? entry.time : 0});
    }
    std::sort(entries.begin(), entries.end(), NameOrder);
    return 1;
}

}  // namespace

int FolderList(const std::string& folder, std::vector<FolderEntry>& entries)
{
    return ListFolder(folder, entries, true);
}

int FolderNames(const std::string& folder, std::vector<FolderEntry>& entries)
{
    return ListFolder(folder, entries, false);
}

int FolderOpen(int number, const std::string& folder)
{
    if (number < 0 || number > HighestFolderNumber) return 0;
    FolderClose(number);
    HostFolder opened = HostFolderOpen(folder);
    if (opened == NoHostFolder) return 0;
    if (static_cast<size_t>(number) >= openFolders.size())
        openFolders.resize(static_cast<size_t>(number) + 1, NoHostFolder);
    openFolders[static_cast<size_t>(number)] = opened;
    return 1;
}

int FolderReadFile(int number, const std::string& name, std::string& bytes, size_t limit)
{
    bytes.clear();
    if (number < 0 || static_cast<size_t>(number) >= openFolders.size()) return 0;
    return HostFileReadAllIn(openFolders[static_cast<size_t>(number)], name, bytes, limit) ? 1 : 0;
}

void FolderClose(int number)
{
    if (number < 0 || static_cast<size_t>(number) >= openFolders.size()) return;
    HostFolderClose(openFolders[static_cast<size_t>(number)]);
    openFolders[static_cast<size_t>(number)] = NoHostFolder;
}

int FolderWatch(int number, const std::vector<std::string>& folders)
{
    if (number < 0 || number > HighestFolderNumber) return 0;
    FolderWatchEnd(number);
    if (static_cast<size_t>(number) >= watches.size())
        watches.resize(static_cast<size_t>(number) + 1, NoHostWatch);
    watches[static_cast<size_t>(number)] = HostWatchStart(folders);
    return watches[static_cast<size_t>(number)] != NoHostWatch ? 1 : 0;
}

int FolderChanged(int number)
{
    if (number < 0 || static_cast<size_t>(number) >= watches.size()) return 1;
    return HostWatchChanged(watches[static_cast<size_t>(number)]) ? 1 : 0;
}

void FolderWatchEnd(int number)
{
    if (number < 0 || static_cast<size_t>(number) >= watches.size()) return;
    HostWatchEnd(watches[static_cast<size_t>(number)]);
    watches[static_cast<size_t>(number)] = NoHostWatch;
}

int FileReadAll(const std::string& name, std::string& bytes, size_t limit)
{
    bytes.clear();
    const size_t slash = name.find_last_of("\\/");
    if (slash == std::string::npos || slash + 1 == name.size()) return 0;
    HostFolder folder = HostFolderOpen(name.substr(0, slash + 1));
    const bool read = HostFileReadAllIn(folder, name.substr(slash + 1), bytes, limit);
    HostFolderClose(folder);
    return read ? 1 : 0;
}

namespace {

// A name the host might resolve otherwise than a listing shows: dots and
// spaces Windows drops, names it refuses or gives a meaning of its own
// (wildcards, streams, devices), and short names ("HELPFI~1.HTM").
bool ListingMayMiss(const std::string& name)
{
    return name.empty() || name == "." || name == ".." || name.back() == '.' || name.back() == ' ' ||
           name.find('~') != std::string::npos || !PathNameAllowed(name);
}

// The slot of `text` in a table of places in names: the slot that holds it,
// or the free slot where it would go.
uint32_t& SlotOf(std::vector<uint32_t>& table, const std::vector<LookedUpName>& names, std::string_view text,
                 bool byKey)
{
    const size_t mask = table.size() - 1;
    for (size_t slot = std::hash<std::string_view>{}(text)&mask;; slot = (slot + 1) & mask) {
        uint32_t& place = table[slot];
        if (place == 0) return place;
        const LookedUpName& entry = names[place - 1];
        if ((byKey ? entry.key : entry.name) == text) return place;
    }
}

// Room for twice the names, so that runs stay short.
void MakeTable(std::vector<uint32_t>& table, size_t count)
{
    size_t size = 16;
    while (size < 2 * count) size *= 2;
    table.assign(size, 0);
}

LookedUpFolder& FolderLookedUp(PathLookup& lookup, const std::string& folder)
{
    auto [place, added] = lookup.folders.try_emplace(folder);
    LookedUpFolder& looked = place->second;
    if (!added) return looked;
    // A missing folder, or a file where a folder would be, holds nothing.
    if (PathSize(folder) != -2) return looked;
    std::vector<HostFolderEntry> entries;
    FileLookBefore();
    if (!HostFolderList(folder, entries, false)) {
        looked.state = -1;
        return looked;
    }
    looked.state = 1;
    looked.names.resize(entries.size());
    MakeTable(looked.byName, entries.size());
    for (size_t i = 0; i < entries.size(); ++i) {
        looked.names[i].name = std::move(entries[i].name);
        looked.names[i].plain = entries[i].kind == HostEntryKind::Other ? 0 : 1;
        SlotOf(looked.byName, looked.names, looked.names[i].name, false) = static_cast<uint32_t>(i + 1);
    }
    return looked;
}

// TextMatchKey, without its copies for the plain ASCII names most folders hold.
void MatchKeyInto(const std::string& name, std::string& key)
{
    if (!TextIsAscii(name)) {
        key = TextMatchKey(name);
        return;
    }
    key = name;
    TextAsciiUpperInPlace(key);
}

void MakeKeyTable(LookedUpFolder& folder)
{
    MakeTable(folder.byKey, folder.names.size());
    for (uint32_t i = 0; i < folder.names.size(); ++i) {
        LookedUpName& entry = folder.names[i];
        MatchKeyInto(entry.name, entry.key);
        uint32_t& place = SlotOf(folder.byKey, folder.names, entry.key, true);
        // Of several case variants on a case-sensitive host, the same one
        // every time.
        if (place == 0 || entry.name < folder.names[place - 1].name) place = i + 1;
    }
}

// The entry the host takes for `name` in the folder, nullptr when none;
// `sure` false when only the host can tell (a name beyond ASCII where the
// host folds names by rules of its own).
const LookedUpName* NameTaken(LookedUpFolder& folder, const std::string& name, bool& sure)
{
    sure = true;
    const uint32_t exact = SlotOf(folder.byName, folder.names, name, false);
    if (exact) return &folder.names[exact - 1];
    if (!HostPathFindsAsText() && !TextIsAscii(name)) {
        sure = false;
        return nullptr;
    }
    const std::string utf8 = TextToUtf8(name);
    const uint32_t encoded = utf8 == name ? 0 : SlotOf(folder.byName, folder.names, utf8, false);
    if (encoded) return &folder.names[encoded - 1];
    if (folder.byKey.empty()) MakeKeyTable(folder);
    std::string key;
    MatchKeyInto(name, key);
    const uint32_t keyed = SlotOf(folder.byKey, folder.names, key, true);
    return keyed ? &folder.names[keyed - 1] : nullptr;
}

}  // namespace

int PathLookupExists(PathLookup& lookup, const std::string& path)
{
    // The last separator, looked for byte by byte: find_last_of asks
    // its set of two at every byte.
    size_t slash = path.size();
    while (slash > 0 && path[slash - 1] != '\\' && path[slash - 1] != '/') --slash;
    slash = slash == 0 ? std::string::npos : slash - 1;
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    int listed = 0;
    if (slash != std::string::npos && !ListingMayMiss(name)) {
        LookedUpFolder& folder = FolderLookedUp(lookup, path.substr(0, slash + 1));
        if (folder.state == 0) return 0;
        if (folder.state == 1) {
            bool sure = true;
            const LookedUpName* taken = NameTaken(folder, name, sure);
            if (!taken && sure) return 0;
            listed = taken ? taken->plain : 0;
        }
    }
    // A link, a pipe or a device, and what the listing cannot tell: the host decides.
    if (listed) return 1;
    auto [place, added] = lookup.paths.try_emplace(path, 0);
    if (added) place->second = PathSize(path) != -1 ? 1 : 0;
    return place->second;
}
