#include "pages/helpfolder.h"

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
        const std::string path = relative + entry.name;
        files.push_back({path, entry.isFolder, entry.size, entry.time});
        if (entry.isFolder) ListInto(folder, path + "\\", depth + 1, sizes, files);
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

int IsPageName(const std::string& path)
{
    const std::string extension = TextToUpper(PathExtension(path));
    return extension == "HTM" || extension == "HTML";
}

int IsDisplayCopyPath(const std::string& path)
{
    return TextToUpper(PathFileName(path)) == "VOSKS.HTML";
}

int IsWorkingCopy(const std::string& path)
{
    const std::string upper = TextToUpper(path);
    return IsDisplayCopyPath(path) || upper == "INCLUDES\\VOSKS.HTM" || upper == "INCLUDES\\VOSK2.HTM";
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
