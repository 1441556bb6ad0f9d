#include "runtime/folders.h"

#include <algorithm>

#include "runtime/hostfile.h"

namespace {

// Folder numbers are small in practice, as file numbers are.
constexpr int HighestFolderNumber = 255;
std::vector<HostFolder> openFolders;

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
