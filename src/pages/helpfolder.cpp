#include "pages/helpfolder.h"

#include <cstring>

#include "helpindex/displaycopy.h"
#include "runtime/folders.h"
#include "runtime/text.h"
#include "state/state.h"

namespace {

constexpr int HeldFolderNumber = 1;

int ListInto(const std::string& folder, const std::string& relative, int depth, int sizes,
             std::vector<HelpFile>& files)
{
    std::vector<FolderEntry> entries;
    if (depth > HelpFolderDepth) return 0;
    if (!(sizes ? FolderList(folder + relative, entries) : FolderNames(folder + relative, entries))) return 0;
    for (const FolderEntry& entry : entries) {
        files.push_back({relative + entry.name, entry.isFolder, entry.size, entry.time});
        if (entry.isFolder) ListInto(folder, files.back().path + "\\", depth + 1, sizes, files);
    }
    return 1;
}

}  // namespace

std::string HelpFolderPath()
{
    std::string folder = State.helpFolder;
    if (!folder.empty() && folder.back() != '\\' && folder.back() != '/') folder += '\\';
    return folder;
}

int ListHelpFolder(const std::string& folder, std::vector<HelpFile>& files, int sizes)
{
    files.clear();
    return ListInto(folder, "", 0, sizes, files);
}

namespace {

// The path ends in the upper-case text, in any case; no copies are made,
// since every file of the folder is asked at every search.
bool EndsWithUpper(const std::string& path, const char* upperEnd)
{
    const size_t length = std::strlen(upperEnd);
    if (path.size() < length) return false;
    for (size_t i = 0; i < length; ++i) {
        unsigned char c = static_cast<unsigned char>(path[path.size() - length + i]);
        if ((c >= 'a' && c <= 'z' ? c - 0x20 : c) != static_cast<unsigned char>(upperEnd[i])) return false;
    }
    return true;
}

}  // namespace

int IsPageName(const std::string& path)
{
    return EndsWithUpper(path, ".HTM") || EndsWithUpper(path, ".HTML");
}

int IsWorkingCopy(const std::string& path)
{
    return NamedLikeDisplayCopy(path) || (path.size() == 18 && (EndsWithUpper(path, "INCLUDES\\VOSKS.HTM") ||
                                                                EndsWithUpper(path, "INCLUDES\\VOSK2.HTM")));
}

int IsOwnPage(const HelpFile& file)
{
    return !file.isFolder && IsPageName(file.path) && !IsWorkingCopy(file.path);
}

int ReadHelpFile(HelpFileReader& reader, const std::string& helpFolder, const std::string& path,
                 std::string& bytes)
{
    const size_t slash = path.rfind('\\');
    const std::string folder = slash == std::string::npos ? "" : path.substr(0, slash + 1);
    if (!reader.open || folder != reader.folder) {
        reader.folder = folder;
        reader.open = FolderOpen(HeldFolderNumber, helpFolder + folder);
    }
    if (!reader.open) {
        bytes.clear();
        return 0;
    }
    return FolderReadFile(HeldFolderNumber, path.substr(folder.size()), bytes, PageSizeLimit);
}

void ReadHelpFilesDone(HelpFileReader& reader)
{
    if (reader.open) FolderClose(HeldFolderNumber);
    reader = HelpFileReader{};
}
