// Windows: %APPDATA%\Kelpra, and the folder the installer put the program in.
#include "runtime/install.h"

#include <windows.h>

namespace {

std::string Environment(const char* name)
{
    DWORD size = GetEnvironmentVariableA(name, nullptr, 0);
    if (size == 0) return "";
    std::string value(size, '\0');
    DWORD length = GetEnvironmentVariableA(name, value.data(), size);
    if (length == 0 || length >= size) return "";
    value.resize(length);
    return value;
}

bool IsPlainFile(const std::string& path)
{
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

UserFolders HostUserFolders()
{
    std::string appData = Environment("APPDATA");
    if (appData.empty()) return UserFolders{};
    if (appData.back() != '\\') appData += '\\';
    return UserFolders{appData + "Kelpra\\", appData + "Kelpra\\"};
}

std::string HostInstalledDataFolder(const std::string& programFolder)
{
    // The installer leaves its uninstaller beside the programs and the data.
    return IsPlainFile(programFolder + "Uninstall.exe") ? programFolder : "";
}

int FolderWritable(const std::string& folder)
{
    char probe[MAX_PATH + 1];
    if (folder.empty() || GetTempFileNameA(folder.c_str(), "klp", 0, probe) == 0) return 0;
    DeleteFileA(probe);
    return 1;
}

std::vector<std::string> FolderNames(const std::string& folder)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
        const std::string name = found.cFileName;
        if (name == "." || name == "..") continue;
        // Junctions and links to folders are left out, as on POSIX.
        if (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) continue;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            names.push_back(name + "\\");
        } else {
            names.push_back(name);
        }
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return names;
}
