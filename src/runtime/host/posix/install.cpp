// POSIX hosts: the XDG base folders, and the share/kelpra beside bin/ that
// an installation lays out.
#include "runtime/install.h"

#include <dirent.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <vector>

#include "runtime/host/posix/home.h"
#include "runtime/hostfile.h"
#include "runtime/hostpath.h"
#include "runtime/text.h"

namespace {

// An environment folder counts only when absolute, as the XDG rules say.
std::string AbsoluteFolderFrom(const char* variable)
{
    const char* value = std::getenv(variable);
    if (!value || value[0] != '/') return "";
    std::string folder = value;
    if (folder.back() != '/') folder += '/';
    return folder;
}

std::string PasswordHome()
{
    long room = sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(room > 0 ? static_cast<size_t>(room) : 16384);
    passwd entry;
    passwd* found = nullptr;
    if (getpwuid_r(geteuid(), &entry, buffer.data(), buffer.size(), &found) != 0 || !found) return "";
    if (!found->pw_dir || found->pw_dir[0] != '/') return "";
    return found->pw_dir;
}

std::string UserFolder(const char* variable, const std::string& underHome)
{
    std::string folder = AbsoluteFolderFrom(variable);
    if (folder.empty()) {
        const std::string home = HostHomeFolder();
        folder = home + (home == "/" ? "" : "/") + underHome;
    }
    return WindowsPathFromHost(folder + "kelpra/");
}

}  // namespace

std::string HostHomeFolder()
{
    std::string home = AbsoluteFolderFrom("HOME");
    if (home.empty()) home = PasswordHome();
    while (home.size() > 1 && home.back() == '/') home.pop_back();
    return home.empty() ? "/" : home;
}

UserFolders HostUserFolders()
{
    return UserFolders{UserFolder("XDG_CONFIG_HOME", ".config/"),
                       UserFolder("XDG_DATA_HOME", ".local/share/")};
}

std::string HostInstalledDataFolder(const std::string& programFolder)
{
    // prefix/bin/kelpra reads prefix/share/kelpra, whatever the prefix.
    std::string folder = programFolder;
    while (!folder.empty() && (folder.back() == '\\' || folder.back() == '/')) folder.pop_back();
    const size_t cut = folder.find_last_of("\\/");
    if (cut == std::string::npos || !TextAsciiEqualsCaseBlind(folder.substr(cut + 1), "bin")) return "";
    const std::string data = folder.substr(0, cut + 1) + "share\\kelpra\\";
    return HostFileSize(data + "Includes.htm") >= 0 ? data : "";
}

int FolderWritable(const std::string& folder)
{
    if (folder.empty()) return 0;
    // Made as a rewrite makes its new version, so no sweep takes it while it
    // is there, and one left by a probe cut short is swept as theirs are.
    std::string probe;
    const std::string beside = folder + (folder.back() == '\\' || folder.back() == '/' ? "" : "\\") + "probe";
    const HostFile file = HostFileCreateTemporary(beside, "", probe);
    if (file == NoHostFile) return 0;
    HostFileClose(file);
    HostFileRemove(probe);
    return 1;
}

std::vector<std::string> FolderNames(const std::string& folder)
{
    std::vector<std::string> names;
    const std::string host = HostPathFromWindows(folder);
    DIR* dir = host.empty() ? nullptr : opendir(host.c_str());
    if (!dir) return names;
    while (const dirent* entry = readdir(dir)) {
        const std::string name = entry->d_name;
        if (name == "." || name == "..") continue;
        const std::string path = host + "/" + name;
        struct stat info;
        if (lstat(path.c_str(), &info) != 0) continue;
        if (S_ISDIR(info.st_mode)) {
            names.push_back(name + "\\");
        } else if (stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode)) {
            names.push_back(name);
        }
    }
    closedir(dir);
    return names;
}
