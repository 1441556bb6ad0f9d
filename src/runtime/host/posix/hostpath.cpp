// POSIX hosts: drive letters are host folders, in the way Wine maps them.
#include "runtime/hostpath.h"
#include "runtime/text.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <climits>
#include <cstdlib>
#include <vector>

#include "runtime/codepage.h"
#include "runtime/host/posix/home.h"

namespace {

// Drives mapped by HostPathMapDrive; "" means the default applies.
std::array<std::string, 26> mappedDrives;

bool IsSeparator(char c)
{
    return c == '\\' || c == '/';
}

bool IsLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

char UpperAscii(char c)
{
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 0x20) : c;
}

bool Exists(const std::string& hostPath)
{
    struct stat info;
    return lstat(hostPath.c_str(), &info) == 0;
}

bool IsFolder(const std::string& hostPath)
{
    struct stat info;
    return stat(hostPath.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

std::string WithoutClosingSlash(std::string path)
{
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    return path;
}

std::string CurrentFolder()
{
    std::vector<char> buffer(PATH_MAX + 1);
    if (!getcwd(buffer.data(), buffer.size())) return "/";
    return buffer.data();
}

std::string WinePrefix()
{
    const char* prefix = std::getenv("WINEPREFIX");
    if (prefix && *prefix) return WithoutClosingSlash(prefix);
    const std::string home = HostHomeFolder();
    return (home == "/" ? "" : home) + "/.wine";
}

// The host folder of a drive letter, "" when the drive is not there.
std::string DriveRoot(char letter)
{
    letter = UpperAscii(letter);
    if (letter < 'A' || letter > 'Z') return "";
    const std::string& mapped = mappedDrives[letter - 'A'];
    if (!mapped.empty()) return mapped;
    if (letter == 'Z') return "/";
    std::string device = WinePrefix() + "/dosdevices/" + static_cast<char>(letter - 'A' + 'a') + ":";
    // The device entry is a link; its target is what host paths start with.
    char* real = realpath(device.c_str(), nullptr);
    if (!real) return "";
    std::string root = real;
    std::free(real);
    return IsFolder(root) ? root : "";
}

std::string Join(const std::string& folder, const std::string& name)
{
    return folder == "/" ? "/" + name : folder + "/" + name;
}

// Splits the part after the drive into checked components; false when
// Windows would refuse one of them (a NUL always is).
bool SplitComponents(const std::string& rest, std::vector<std::string>& components, bool refuse)
{
    size_t i = 0;
    while (i < rest.size()) {
        while (i < rest.size() && IsSeparator(rest[i])) ++i;
        size_t end = i;
        while (end < rest.size() && !IsSeparator(rest[end])) ++end;
        if (end == i) break;
        std::string component = rest.substr(i, end - i);
        i = end;
        // A NUL would end the name early at the host's edge ("..\0" is taken
        // as ".." there), so it is always refused; what else Windows refuses
        // only where asked.
        if (component.find('\0') != std::string::npos || (refuse && !PathNameAllowed(component)))
            return false;
        if (component == "." || component == "..") {
            components.push_back(component);
            continue;
        }
        // Windows drops trailing dots and spaces of a name.
        while (refuse && !component.empty() && (component.back() == '.' || component.back() == ' '))
            component.pop_back();
        if (!component.empty()) components.push_back(component);
    }
    return true;
}

// The entry of a folder that the name means: the exact name when it exists,
// then the name in UTF-8 (a Windows-1252 name of a page names the host's
// UTF-8 file, as under Wine), then one that differs only in case, otherwise
// "".
std::string FindEntry(const std::string& folder, const std::string& name)
{
    if (Exists(Join(folder, name))) return name;
    std::string hostName = TextToUtf8(name);
    if (hostName != name && Exists(Join(folder, hostName))) return hostName;
    DIR* dir = opendir(folder.c_str());
    if (!dir) return "";
    const std::string key = TextMatchKey(name);
    std::string found;
    while (dirent* entry = readdir(dir)) {
        std::string candidate = entry->d_name;
        // Several case variants on a case-sensitive host: take the same one
        // every time.
        if (TextMatchKey(candidate) == key && (found.empty() || candidate < found)) found = candidate;
    }
    closedir(dir);
    return found;
}

std::string HostPathOf(const std::string& windowsPath, bool refuse)
{
    if (windowsPath.empty()) return "";
    if (windowsPath.size() >= 2 && IsSeparator(windowsPath[0]) && IsSeparator(windowsPath[1]))
        return "";  // UNC and device namespace paths

    std::string root;
    std::string rest;
    if (windowsPath.size() >= 2 && windowsPath[1] == ':') {
        if (!IsLetter(windowsPath[0])) return "";
        root = DriveRoot(windowsPath[0]);
        rest = windowsPath.substr(2);
    } else if (IsSeparator(windowsPath[0])) {
        root = DriveRoot('Z');
        rest = windowsPath;
    } else {
        std::string current = WindowsPathFromHost(CurrentFolder());
        if (current.size() < 2) return "";
        root = DriveRoot(current[0]);
        rest = current.substr(2) + "\\" + windowsPath;
    }
    if (root.empty()) return "";

    std::vector<std::string> components;
    if (!SplitComponents(rest, components, refuse)) return "";
    // ".." takes back the name before it whatever is on the disk, as on
    // Windows; settled first, each folder on the way is looked into once.
    std::vector<std::string> names;
    for (auto& component : components) {
        if (component == "..") {
            if (!names.empty()) names.pop_back();
        } else if (component != ".") {
            names.push_back(std::move(component));
        }
    }

    std::string folder = root;
    bool found = true;  // the folder so far is on the disk
    for (const auto& component : names) {
        // A new file gets its name in the host's encoding.
        std::string name = found ? FindEntry(folder, component) : "";
        found = !name.empty();
        folder = Join(folder, found ? name : TextToUtf8(component));
    }

    bool closingSeparator = IsSeparator(windowsPath.back()) && !names.empty();
    return closingSeparator ? folder + "/" : folder;
}

}  // namespace

std::string HostPathFromWindows(const std::string& windowsPath)
{
    return HostPathOf(windowsPath, true);
}

std::string HostPathForProgram(const std::string& windowsPath)
{
    return HostPathOf(windowsPath, false);
}

std::string WindowsPathFromHost(const std::string& hostPath)
{
    if (hostPath.empty()) return "";
    std::string absolute = hostPath[0] == '/' ? hostPath : CurrentFolder() + "/" + hostPath;

    std::vector<std::string> parts;
    size_t i = 0;
    while (i < absolute.size()) {
        size_t end = absolute.find('/', i);
        if (end == std::string::npos) end = absolute.size();
        std::string part = absolute.substr(i, end - i);
        i = end + 1;
        if (part.empty() || part == ".") continue;
        if (part == "..") {
            if (!parts.empty()) parts.pop_back();
        } else {
            parts.push_back(part);
        }
    }
    std::string normal(parts.empty() ? 1 : 0, '/');
    for (const auto& part : parts) {
        normal += '/';
        normal += part;
    }

    // The drive whose folder is the longest prefix; Z: only on a tie.
    char best = 0;
    size_t bestLength = 0;
    for (char letter = 'A'; letter <= 'Z'; ++letter) {
        std::string root = DriveRoot(letter);
        if (root.empty()) continue;
        bool prefix = root == "/" || (normal.compare(0, root.size(), root) == 0 &&
                                      (normal.size() == root.size() || normal[root.size()] == '/'));
        size_t length = root == "/" ? 0 : root.size();
        if (prefix && (best == 0 || length > bestLength)) {
            best = letter;
            bestLength = length;
        }
    }
    if (best == 0) return "";

    // Names come in as Windows would hand them over: in Windows-1252 when
    // every character has a byte there.
    std::string rest = TextToAnsi(normal.substr(bestLength));
    std::string windows = std::string(1, best) + ":";
    for (char c : rest) windows += c == '/' ? '\\' : c;
    if (rest.empty() || rest == "/") windows = std::string(1, best) + ":\\";
    else if (hostPath.back() == '/') windows += "\\";
    return windows;
}

void HostPathMapDrive(char letter, const std::string& hostFolder)
{
    letter = UpperAscii(letter);
    if (letter < 'A' || letter > 'Z') return;
    mappedDrives[letter - 'A'] = hostFolder.empty() ? "" : WithoutClosingSlash(hostFolder);
}

int HostPathDriveExists(char letter)
{
    std::string root = DriveRoot(letter);
    return !root.empty() && IsFolder(root) ? 1 : 0;
}

int HostPathFindsAsText()
{
    return 1;
}

std::string HostTextFromProgram(const std::string& text)
{
    return TextToUtf8(text);
}

std::string ProgramTextFromHost(const std::string& text)
{
    return TextToAnsi(text);
}
