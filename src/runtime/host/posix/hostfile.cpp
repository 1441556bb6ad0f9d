// File primitives on a POSIX host. Windows lets a program keep a file it has
// open from being written, replaced or removed meanwhile; POSIX does not, so
// those sharing rules are kept here, by file identity (device and inode),
// for the files this program holds open.
#include "runtime/hostfile.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

#include "runtime/hostpath.h"

namespace {

struct HeldFile {
    int fd = -1;
    bool writing = false;
    dev_t device = 0;
    ino_t inode = 0;
};

std::vector<HeldFile> heldFiles;

// Whether this program holds the file open (only for writing, or at all).
bool HeldOpen(const struct stat& info, bool writersOnly)
{
    for (const HeldFile& file : heldFiles)
        if (file.device == info.st_dev && file.inode == info.st_ino && (file.writing || !writersOnly))
            return true;
    return false;
}

HostFile Hold(int fd, const struct stat& info, bool writing)
{
    heldFiles.push_back({fd, writing, info.st_dev, info.st_ino});
    return fd;
}

HostFile Refuse(int fd)
{
    if (fd >= 0) close(fd);
    return NoHostFile;
}

std::string FolderOf(const std::string& hostPath)
{
    size_t slash = hostPath.rfind('/');
    return slash == 0 || slash == std::string::npos ? "/" : hostPath.substr(0, slash);
}

// The last name of a Windows-form path as typed, less the trailing dots and
// spaces that Windows drops.
std::string GivenName(const std::string& windowsPath)
{
    size_t slash = windowsPath.find_last_of("\\/");
    std::string name = slash == std::string::npos ? windowsPath : windowsPath.substr(slash + 1);
    if (slash == std::string::npos && name.size() >= 2 && name[1] == ':') name = name.substr(2);
    while (!name.empty() && (name.back() == '.' || name.back() == ' ')) name.pop_back();
    return name;
}

// A name that a Windows-form path can carry back to this same entry.
bool SpellableOnWindows(const std::string& name)
{
    for (unsigned char c : name)
        if (c < 0x20 || std::strchr("<>:\"/\\|?*", c)) return false;
    return !name.empty() && name.back() != '.' && name.back() != ' ';
}

bool SameIgnoringAsciiCase(const std::string& a, const char* b)
{
    size_t i = 0;
    for (; i < a.size() && b[i]; ++i) {
        char x = a[i] >= 'A' && a[i] <= 'Z' ? static_cast<char>(a[i] + 0x20) : a[i];
        char y = b[i] >= 'A' && b[i] <= 'Z' ? static_cast<char>(b[i] + 0x20) : b[i];
        if (x != y) return false;
    }
    return i == a.size() && !b[i];
}

// The entry of the folder that differs from the name in ASCII case only;
// of several, the same one every time.
std::string EntryIgnoringCase(int folder, const std::string& name)
{
    int copy = dup(folder);
    DIR* dir = copy < 0 ? nullptr : fdopendir(copy);
    if (!dir) {
        if (copy >= 0) close(copy);
        return "";
    }
    rewinddir(dir);
    std::string found;
    while (dirent* entry = readdir(dir))
        if (SameIgnoringAsciiCase(name, entry->d_name) && (found.empty() || entry->d_name < found))
            found = entry->d_name;
    closedir(dir);
    return found;
}

int64_t Nanoseconds(const struct timespec& time)
{
    return static_cast<int64_t>(time.tv_sec) * 1000000000 + time.tv_nsec;
}

// A plain file that nobody here holds open, or nothing at all, at that path.
bool FreeToReplace(const std::string& hostPath)
{
    struct stat info;
    if (stat(hostPath.c_str(), &info) != 0) return true;
    return S_ISREG(info.st_mode) && !HeldOpen(info, false);
}

}  // namespace

HostFile HostFileOpenRead(const std::string& name)
{
    std::string host = HostPathFromWindows(name);
    if (host.empty()) return NoHostFile;
    int fd = open(host.c_str(), O_RDONLY | O_CLOEXEC);
    struct stat info;
    if (fd < 0 || fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) return Refuse(fd);
    if (HeldOpen(info, true)) return Refuse(fd);
    return Hold(fd, info, false);
}

HostFile HostFileCreate(const std::string& name)
{
    std::string host = HostPathFromWindows(name);
    if (host.empty()) return NoHostFile;
    // Checked before opening: opening a FIFO for writing would wait forever.
    if (!FreeToReplace(host)) return NoHostFile;
    int fd = open(host.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0666);
    struct stat info;
    if (fd < 0 || fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) return Refuse(fd);
    // Emptied only once it is known that nobody here holds it open.
    if (HeldOpen(info, false) || ftruncate(fd, 0) != 0) return Refuse(fd);
    return Hold(fd, info, true);
}

HostFile HostFileCreateCopy(HostFile source, const std::string& target, std::string& temporaryName)
{
    std::string host = HostPathFromWindows(target);
    struct stat sourceInfo;
    if (host.empty() || host.back() == '/' || fstat(static_cast<int>(source), &sourceInfo) != 0)
        return NoHostFile;
    std::string temporary = FolderOf(host) + "/.kelpra-copy-XXXXXX";
    int fd = mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0) return NoHostFile;
    struct stat info;
    if (fchmod(fd, sourceInfo.st_mode & 07777) != 0 || fstat(fd, &info) != 0) {
        close(fd);
        unlink(temporary.c_str());
        return NoHostFile;
    }
    // The same folder as the target, so its Windows form names it too.
    size_t slash = target.find_last_of("\\/");
    std::string folder = slash == std::string::npos ? "" : target.substr(0, slash + 1);
    temporaryName = folder + temporary.substr(temporary.rfind('/') + 1);
    return Hold(fd, info, true);
}

size_t HostFileRead(HostFile file, char* buffer, size_t size)
{
    while (true) {
        ssize_t got = read(static_cast<int>(file), buffer, size);
        if (got < 0 && errno == EINTR) continue;
        return got > 0 ? static_cast<size_t>(got) : 0;
    }
}

bool HostFileWrite(HostFile file, const char* data, size_t size)
{
    while (size > 0) {
        ssize_t written = write(static_cast<int>(file), data, size);
        if (written < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        data += written;
        size -= static_cast<size_t>(written);
    }
    return true;
}

bool HostFileClose(HostFile file)
{
    int fd = static_cast<int>(file);
    for (size_t i = 0; i < heldFiles.size(); ++i) {
        if (heldFiles[i].fd == fd) {
            heldFiles.erase(heldFiles.begin() + static_cast<long>(i));
            break;
        }
    }
    return close(fd) == 0;
}

int32_t HostFileSize(const std::string& name)
{
    std::string host = HostPathFromWindows(name);
    struct stat info;
    if (host.empty() || stat(host.c_str(), &info) != 0) return -1;
    if (S_ISDIR(info.st_mode)) return -2;
    return static_cast<int32_t>(static_cast<uint32_t>(info.st_size));
}

bool HostFileReplace(const std::string& from, const std::string& to)
{
    std::string fromHost = HostPathFromWindows(from);
    std::string toHost = HostPathFromWindows(to);
    if (fromHost.empty() || toHost.empty() || !FreeToReplace(toHost)) return false;
    return rename(fromHost.c_str(), toHost.c_str()) == 0;
}

bool HostFileRename(const std::string& oldName, const std::string& newName)
{
    std::string oldHost = HostPathFromWindows(oldName);
    std::string newHost = HostPathFromWindows(newName);
    struct stat info;
    if (oldHost.empty() || newHost.empty() || lstat(oldHost.c_str(), &info) != 0) return false;
    if (!S_ISDIR(info.st_mode) && stat(oldHost.c_str(), &info) == 0 && HeldOpen(info, false)) return false;

    struct stat existing;
    if (lstat(newHost.c_str(), &existing) == 0) {
        // Only the name's own case may change: the new name resolved to the
        // old file itself.
        if (newHost != oldHost) return false;
        std::string given = GivenName(newName);
        if (given.empty()) return false;
        std::string target = FolderOf(oldHost) + "/" + given;
        if (target == oldHost) return true;
        if (lstat(target.c_str(), &existing) == 0) return false;
        return rename(oldHost.c_str(), target.c_str()) == 0;
    }
    // Never replace a file that appeared meanwhile, where the host can say so.
    if (renameat2(AT_FDCWD, oldHost.c_str(), AT_FDCWD, newHost.c_str(), RENAME_NOREPLACE) == 0) return true;
    if (errno != EINVAL && errno != ENOSYS) return false;
    return rename(oldHost.c_str(), newHost.c_str()) == 0;
}

bool HostFileRemove(const std::string& name)
{
    std::string host = HostPathFromWindows(name);
    struct stat info;
    if (host.empty() || lstat(host.c_str(), &info) != 0 || S_ISDIR(info.st_mode)) return false;
    struct stat target;
    if (stat(host.c_str(), &target) == 0 && HeldOpen(target, false)) return false;
    return unlink(host.c_str()) == 0;
}

bool HostFolderMake(const std::string& name)
{
    std::string host = HostPathFromWindows(name);
    return !host.empty() && mkdir(host.c_str(), 0777) == 0;
}

bool HostFolderList(const std::string& name, std::vector<HostFolderEntry>& entries, bool sizes)
{
    entries.clear();
    std::string host = HostPathFromWindows(name);
    DIR* dir = host.empty() ? nullptr : opendir(host.c_str());
    if (!dir) return false;
    int fd = dirfd(dir);
    while (dirent* found = readdir(dir)) {
        HostFolderEntry entry;
        entry.name = found->d_name;
        if (entry.name == "." || entry.name == ".." || !SpellableOnWindows(entry.name)) continue;
        // The folder's own record tells a link from a file or a folder, so
        // most entries cost one stat, or none when no size is wanted.
        if (!sizes && (found->d_type == DT_REG || found->d_type == DT_DIR)) {
            entry.kind = found->d_type == DT_REG ? HostEntryKind::File : HostEntryKind::Folder;
            entries.push_back(entry);
            continue;
        }
        bool link = found->d_type == DT_LNK;
        struct stat info;
        if (found->d_type == DT_UNKNOWN) {
            if (fstatat(fd, found->d_name, &info, AT_SYMLINK_NOFOLLOW) != 0) continue;
            link = S_ISLNK(info.st_mode);
        }
        if (fstatat(fd, found->d_name, &info, 0) != 0) {
            entries.push_back(entry);  // a dangling link: there, but nothing to read
            continue;
        }
        if (S_ISREG(info.st_mode)) entry.kind = HostEntryKind::File;
        if (S_ISDIR(info.st_mode) && !link) entry.kind = HostEntryKind::Folder;
        entry.size = static_cast<int64_t>(info.st_size);
        entry.time = std::max(Nanoseconds(info.st_mtim), Nanoseconds(info.st_ctim));
        entries.push_back(entry);
    }
    closedir(dir);
    return true;
}

HostFolder HostFolderOpen(const std::string& name)
{
    std::string host = HostPathFromWindows(name);
    int fd = host.empty() ? -1 : open(host.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    return fd < 0 ? NoHostFolder : fd;
}

void HostFolderClose(HostFolder folder)
{
    if (folder != NoHostFolder) close(static_cast<int>(folder));
}

bool HostFileReadAllIn(HostFolder folder, const std::string& name, std::string& bytes, size_t limit)
{
    bytes.clear();
    const int at = static_cast<int>(folder);
    if (folder == NoHostFolder || name.find('/') != std::string::npos) return false;
    int fd = openat(at, name.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0 && errno == ENOENT) {
        const std::string found = EntryIgnoringCase(at, name);
        if (!found.empty()) fd = openat(at, found.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    }
    struct stat info;
    if (fd < 0 || fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || HeldOpen(info, true)) {
        Refuse(fd);
        return false;
    }
    // As much as the file held when it was opened: one read, and no second
    // one to find the end that its size already tells.
    const size_t size = std::min(limit, static_cast<size_t>(info.st_size));
    size_t have = 0;
    bytes.resize(size);
    while (have < size) {
        size_t got = HostFileRead(fd, bytes.data() + have, size - have);
        if (got == 0) break;
        have += got;
    }
    bytes.resize(have);
    close(fd);
    return true;
}
