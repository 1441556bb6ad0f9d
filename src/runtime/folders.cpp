#include "runtime/folders.h"

#include <algorithm>

#include "runtime/hostfile.h"
#include "runtime/text.h"

namespace {

constexpr size_t FirstRoom = 16 * 1024;

bool NameOrder(const FolderEntry& a, const FolderEntry& b)
{
    const std::string upperA = TextToUpper(a.name);
    const std::string upperB = TextToUpper(b.name);
    return upperA != upperB ? upperA < upperB : a.name < b.name;
}

}  // namespace

int FolderList(const std::string& folder, std::vector<FolderEntry>& entries)
{
    entries.clear();
    std::vector<HostFolderEntry> found;
    if (!HostFolderList(folder, found)) return 0;
    for (const HostFolderEntry& entry : found) {
        if (entry.kind == HostEntryKind::Other) continue;
        entries.push_back({entry.name, entry.kind == HostEntryKind::Folder ? 1 : 0, entry.size, entry.time});
    }
    std::sort(entries.begin(), entries.end(), NameOrder);
    return 1;
}

int FileReadAll(const std::string& name, std::string& bytes, size_t limit)
{
    bytes.clear();
    HostFile file = HostFileOpenRead(name);
    if (file == NoHostFile) return 0;
    size_t have = 0;
    while (have < limit) {
        if (have == bytes.size()) bytes.resize(std::min(limit, std::max(FirstRoom, bytes.size() * 2)));
        size_t got = HostFileRead(file, bytes.data() + have, bytes.size() - have);
        if (got == 0) break;
        have += got;
    }
    bytes.resize(have);
    HostFileClose(file);
    return 1;
}
