// Windows: %APPDATA%\Kelpra, and the folder the installer put the program in.
#include "runtime/install.h"

#include <windows.h>
#include <shlobj.h>

#include <string>

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

// %APPDATA%, else what the shell names for the user (a service may run
// without the variable), else the temporary folder.
std::string ApplicationData()
{
    std::string folder = Environment("APPDATA");
    char path[MAX_PATH];
    if (folder.empty() && SHGetFolderPathA(nullptr, CSIDL_APPDATA, nullptr, 0, path) == S_OK) folder = path;
    if (folder.empty()) {
        DWORD length = GetTempPathA(MAX_PATH, path);
        if (length > 0 && length < MAX_PATH) folder.assign(path, length);
    }
    if (!folder.empty() && folder.back() != '\\') folder += '\\';
    return folder;
}

}  // namespace

UserFolders HostUserFolders()
{
    const std::string appData = ApplicationData();
    return UserFolders{appData + "Kelpra\\", appData + "Kelpra\\"};
}

std::string HostInstalledDataFolder(const std::string& programFolder)
{
    // The installer leaves its uninstaller beside the programs and the data.
    return IsPlainFile(programFolder + "Uninstall.exe") ? programFolder : "";
}

int FolderWritable(const std::string& folder)
{
    // GetTempFileNameA cannot serve: Wine reports a name even when it could
    // not make the file.
    if (folder.empty()) return 0;
    const std::string base = folder + (folder.back() == '\\' ? "" : "\\") + ".kelpra-probe-" +
                             std::to_string(GetCurrentProcessId()) + "-";
    for (DWORD attempt = 0; attempt < 100; ++attempt) {
        const std::string probe = base + std::to_string(GetTickCount() + attempt);
        HANDLE file = CreateFileA(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            CloseHandle(file);
            return 1;
        }
        if (GetLastError() != ERROR_FILE_EXISTS) return 0;
    }
    return 0;
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
