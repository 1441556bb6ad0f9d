// File primitives on a POSIX host. Windows lets a program keep a file it has
// open from being written, replaced or removed meanwhile; POSIX does not, so
// those sharing rules are kept here, by file identity (device and inode),
// for the files this program holds open.
#include "runtime/hostfile.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <random>
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

// A file system that has no locks (some network ones).
bool WithoutLocks(int error)
{
    return error == ENOLCK || error == EOPNOTSUPP || error == EINVAL;
}

bool SameFile(const struct stat& a, const struct stat& b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

HostFile Hold(int fd, const struct stat& info, bool writing)
{
    heldFiles.push_back({fd, writing, info.st_dev, info.st_ino});
    return fd;
}

HostFile Refuse(int fd)
{
    int error = errno;
    if (fd >= 0) close(fd);
    errno = error;
    return NoHostFile;
}

std::string FolderOf(const std::string& hostPath)
{
    size_t slash = hostPath.rfind('/');
    return slash == 0 || slash == std::string::npos ? "/" : hostPath.substr(0, slash);
}

std::string Join(const std::string& folder, const std::string& name)
{
    return folder == "/" ? "/" + name : folder + "/" + name;
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
    if (!S_ISREG(info.st_mode)) errno = S_ISDIR(info.st_mode) ? EISDIR : EINVAL;
    else if (HeldOpen(info, false)) errno = EBUSY;
    else return true;
    return false;
}

// The permissions of that file, or those of a new file when it is missing.
mode_t PermissionsFor(const std::string& windowsName)
{
    struct stat info;
    std::string host = HostPathFromWindows(windowsName);
    if (!host.empty() && stat(host.c_str(), &info) == 0) return info.st_mode & 07777;
    mode_t mask = umask(0);
    umask(mask);
    return 0666 & ~mask;
}

std::string RealPath(const std::string& hostPath)
{
    char* real = realpath(hostPath.c_str(), nullptr);
    if (!real) return "";
    std::string result = real;
    std::free(real);
    return result;
}

bool Inside(const std::string& path, const std::string& folder)
{
    if (folder == "/") return path.size() > 1;
    return path.size() > folder.size() + 1 && path.compare(0, folder.size(), folder) == 0 &&
           path[folder.size()] == '/';
}

// A temporary's writer locks it as soon as it has its name. So that a sweep
// never finds one in the moment between, writers hold its folder shared
// while they make and lock it, and a sweep holds the folder alone. -1 when
// the folder cannot be held (a file system without locks).
int HoldFolder(const std::string& hostFolder, int how)
{
    int fd = open(hostFolder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return -1;
    int held;
    while ((held = flock(fd, how)) != 0 && errno == EINTR) {}
    if (held == 0) return fd;
    close(fd);
    return -1;
}

void LetFolderGo(int folder)
{
    if (folder < 0) return;
    int error = errno;
    close(folder);
    errno = error;
}

// Where the file system has no locks (some network ones), the lock file
// itself is the lock: only one can make it, and it names its holder, so one
// left behind by a holder of this machine that no longer runs is known.
enum class LockState { Taken, Held, Stale, Failed };
// Seconds a lock file may stay without its holder's name.
constexpr time_t StampGrace = 10;

LockState ElsewhereOrFailed(int error)
{
    errno = error;
    return error == EWOULDBLOCK ? LockState::Held : LockState::Failed;
}

std::string ThisHost()
{
    char name[256] = {};
    gethostname(name, sizeof name - 1);
    return name;
}

std::string HolderStamp()
{
    return std::to_string(getpid()) + " " + ThisHost() + "\n";
}

std::string ReadStamp(int fd)
{
    char bytes[320];
    ssize_t got = pread(fd, bytes, sizeof bytes, 0);
    return got > 0 ? std::string(bytes, static_cast<size_t>(got)) : "";
}

// Its holder ended without letting go: a process of this machine that no
// longer runs; or, when the file names none (its holder was killed within
// moments of making it, or it was damaged since), long ago.
bool StampIsStale(const std::string& stamp, int fd)
{
    char* end = nullptr;
    const long pid = std::strtol(stamp.c_str(), &end, 10);
    const size_t space = stamp.find(' ');
    const bool named = !stamp.empty() && stamp[0] >= '1' && stamp[0] <= '9' && pid <= INT_MAX &&
                       end == stamp.c_str() + space && stamp.back() == '\n';
    if (!named) {
        struct stat info;
        return fstat(fd, &info) == 0 && info.st_mtime + StampGrace < time(nullptr);
    }
    if (stamp.compare(space + 1, std::string::npos, ThisHost() + "\n") != 0) return false;
    return kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH;
}

// Moves the stale file aside before removing it, so that of two Kelpras
// that find it at once only one removes it; a file that turns out to be a
// live holder's by then goes back in its place.
void RemoveStaleLock(const std::string& host, const std::string& stamp)
{
    const std::string aside = host + "-" + std::to_string(getpid());
    if (rename(host.c_str(), aside.c_str()) != 0) return;
    int fd = open(aside.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    const bool same = fd >= 0 && ReadStamp(fd) == stamp;
    if (fd >= 0) close(fd);
    if (!same) (void)!link(aside.c_str(), host.c_str());
    unlink(aside.c_str());
}

LockState TakeByStamp(int fd, const std::string& host, bool existed)
{
    if (!existed) {
        const std::string stamp = HolderStamp();
        errno = 0;
        if (pwrite(fd, stamp.data(), stamp.size(), 0) == static_cast<ssize_t>(stamp.size()))
            return LockState::Taken;
        int error = errno;
        unlink(host.c_str());
        errno = error == 0 ? ENOSPC : error;
        return LockState::Failed;
    }
    const std::string stamp = ReadStamp(fd);
    if (!StampIsStale(stamp, fd)) return LockState::Held;
    RemoveStaleLock(host, stamp);
    return LockState::Stale;
}

}  // namespace

HostFile HostFileOpenRead(const std::string& name)
{
    std::string host = HostPathFromWindows(name);
    if (host.empty()) return NoHostFile;
    // Without O_NONBLOCK, opening a named pipe waits for a writer forever.
    int fd = open(host.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    struct stat info;
    if (fd < 0 || fstat(fd, &info) != 0) return Refuse(fd);
    if (!S_ISREG(info.st_mode)) {
        close(fd);
        errno = S_ISDIR(info.st_mode) ? EISDIR : EINVAL;
        return NoHostFile;
    }
    if (HeldOpen(info, true)) errno = EBUSY;
    if (HeldOpen(info, true) || fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0) return Refuse(fd);
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
    if (HeldOpen(info, false)) errno = EBUSY;
    if (HeldOpen(info, false) || ftruncate(fd, 0) != 0) return Refuse(fd);
    return Hold(fd, info, true);
}

HostFile HostFileCreateTemporary(const std::string& beside, const std::string& permissionsOf,
                                 std::string& temporaryName)
{
    std::string host = HostPathFromWindows(beside);
    if (host.empty() || host.back() == '/') {
        errno = EINVAL;
        return NoHostFile;
    }
    // mkostemp creates with O_EXCL: it never opens through a link or an
    // existing file.
    std::string temporary = FolderOf(host) + "/" + HostTemporaryPrefix + "XXXXXX";
    int held = HoldFolder(FolderOf(host), LOCK_SH);
    int fd = mkostemp(temporary.data(), O_CLOEXEC);
    // Marks it as being written; a file system without locks goes without.
    if (fd >= 0) flock(fd, LOCK_EX | LOCK_NB);
    LetFolderGo(held);
    if (fd < 0) return NoHostFile;
    struct stat info;
    bool ready = fchmod(fd, PermissionsFor(permissionsOf)) == 0 && fstat(fd, &info) == 0;
    if (!ready) {
        int error = errno;
        close(fd);
        unlink(temporary.c_str());
        errno = error;
        return NoHostFile;
    }
    // The same folder as `beside`, so its Windows form names it too.
    size_t slash = beside.find_last_of("\\/");
    std::string folder = slash == std::string::npos ? "" : beside.substr(0, slash + 1);
    temporaryName = folder + temporary.substr(temporary.rfind('/') + 1);
    return Hold(fd, info, true);
}

HostFile HostFileLinkTemporary(const std::string& existing, const std::string& beside,
                               std::string& temporaryName)
{
    std::string source = HostPathFromWindows(existing);
    std::string host = HostPathFromWindows(beside);
    struct stat info;
    if (source.empty() || host.empty() || lstat(source.c_str(), &info) != 0 || !S_ISREG(info.st_mode))
        return NoHostFile;
    static std::mt19937 random(std::random_device{}());
    const char letters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    int held = HoldFolder(FolderOf(host), LOCK_SH);
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        std::string name = HostTemporaryPrefix;
        for (int i = 0; i < 6; ++i) name += letters[random() % (sizeof letters - 1)];
        const std::string path = FolderOf(host) + "/" + name;
        if (link(source.c_str(), path.c_str()) != 0) {
            if (errno != EEXIST) break;
            continue;
        }
        // Held shared, so that several writers may each keep a name of one
        // file while a sweep can take none of them.
        fd = open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
        if (fd >= 0 && flock(fd, LOCK_SH | LOCK_NB) != 0) {
            close(fd);
            fd = -1;
        }
        if (fd < 0) {
            unlink(path.c_str());
            break;
        }
        size_t slash = beside.find_last_of("\\/");
        temporaryName = (slash == std::string::npos ? "" : beside.substr(0, slash + 1)) + name;
    }
    LetFolderGo(held);
    return fd < 0 ? NoHostFile : fd;
}

size_t HostFileRead(HostFile file, char* buffer, size_t size)
{
    while (true) {
        ssize_t got = read(static_cast<int>(file), buffer, size);
        if (got < 0 && errno == EINTR) continue;
        return got > 0 ? static_cast<size_t>(got) : 0;
    }
}

bool HostFileRewind(HostFile file)
{
    return lseek(static_cast<int>(file), 0, SEEK_SET) == 0;
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

bool HostFileFlush(HostFile file)
{
    while (fsync(static_cast<int>(file)) != 0)
        if (errno != EINTR) return false;
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
    // rename() leaves both names when they are already one file (a backup
    // that is a second name of the file it backs up): the new name goes.
    struct stat fromInfo, toInfo;
    if (lstat(fromHost.c_str(), &fromInfo) == 0 && lstat(toHost.c_str(), &toInfo) == 0 &&
        SameFile(fromInfo, toInfo))
        return unlink(fromHost.c_str()) == 0;
    return rename(fromHost.c_str(), toHost.c_str()) == 0;
}

bool HostFileCommit(HostFile file, const std::string& temporaryName, const std::string& to)
{
    // Renamed while still open and locked; what was written is in the file
    // already, so the close that follows loses nothing.
    bool placed = HostFileReplace(temporaryName, to);
    int error = errno;
    HostFileClose(file);
    errno = error;
    return placed;
}

bool HostFileSame(const std::string& a, const std::string& b)
{
    std::string hostA = HostPathFromWindows(a);
    std::string hostB = HostPathFromWindows(b);
    struct stat infoA, infoB;
    return !hostA.empty() && !hostB.empty() && stat(hostA.c_str(), &infoA) == 0 &&
           stat(hostB.c_str(), &infoB) == 0 && S_ISREG(infoA.st_mode) && SameFile(infoA, infoB);
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

std::string HostFileErrorText()
{
    return std::strerror(errno);
}

void HostFileErrorSimulate(bool diskFull)
{
    errno = diskFull ? ENOSPC : EIO;
}

void HostFileStart()
{
    // Otherwise the first write past the limit kills the program without a
    // word, with a page cut off mid-line.
    signal(SIGXFSZ, SIG_IGN);
}

HostPlace HostFileWritePlace(const std::string& target, const std::string& folder, std::string& writeTo)
{
    std::string host = HostPathFromWindows(target);
    std::string hostFolder = HostPathFromWindows(folder);
    if (host.empty() || hostFolder.empty()) {
        errno = ENOENT;
        return HostPlace::Unreachable;
    }
    if (host.back() == '/') {
        errno = EISDIR;
        return HostPlace::NotAFile;
    }
    std::string realFolder = RealPath(hostFolder);
    std::string parent = RealPath(FolderOf(host));
    struct stat info;
    if (realFolder.empty() || parent.empty() || stat(parent.c_str(), &info) != 0)
        return HostPlace::Unreachable;
    if (!S_ISDIR(info.st_mode)) {
        errno = ENOTDIR;
        return HostPlace::Unreachable;
    }
    std::string place = Join(parent, host.substr(host.rfind('/') + 1));
    if (lstat(place.c_str(), &info) == 0 && S_ISLNK(info.st_mode)) {
        // Written through only while it stays where it belongs; a link that
        // leads nowhere leads out too.
        place = RealPath(place);
        if (place.empty() || stat(place.c_str(), &info) != 0) return HostPlace::LeadsOut;
    }
    if (!Inside(place, realFolder)) return HostPlace::LeadsOut;
    if (lstat(place.c_str(), &info) == 0 && !S_ISREG(info.st_mode)) {
        errno = S_ISDIR(info.st_mode) ? EISDIR : EINVAL;
        return HostPlace::NotAFile;
    }
    writeTo = place == host ? target : WindowsPathFromHost(place);
    return writeTo.empty() ? HostPlace::LeadsOut : HostPlace::Fine;
}

HostPlace HostFileFollowPlace(const std::string& target, std::string& writeTo)
{
    std::string place = HostPathFromWindows(target);
    if (place.empty() || place.back() == '/') {
        errno = place.empty() ? ENOENT : EISDIR;
        return place.empty() ? HostPlace::Unreachable : HostPlace::NotAFile;
    }
    // Link by link rather than realpath(), so that a link to a file not
    // made yet leads to where it is to be made.
    struct stat info;
    int hops = 0;
    for (; hops < 40 && lstat(place.c_str(), &info) == 0 && S_ISLNK(info.st_mode); ++hops) {
        char link[PATH_MAX];
        ssize_t length = readlink(place.c_str(), link, sizeof link);
        if (length <= 0 || length >= static_cast<ssize_t>(sizeof link)) return HostPlace::Unreachable;
        std::string to(link, static_cast<size_t>(length));
        place = to[0] == '/' ? to : Join(FolderOf(place), to);
    }
    if (hops == 40) {
        errno = ELOOP;
        return HostPlace::NotAFile;
    }
    // A folder that is not there is the writer's to find, and to say so.
    std::string parent = RealPath(FolderOf(place));
    if (!parent.empty()) place = Join(parent, place.substr(place.rfind('/') + 1));
    if (lstat(place.c_str(), &info) == 0 && !S_ISREG(info.st_mode)) {
        errno = S_ISDIR(info.st_mode) ? EISDIR : EINVAL;
        return HostPlace::NotAFile;
    }
    writeTo = WindowsPathFromHost(place);
    return writeTo.empty() ? HostPlace::Unreachable : HostPlace::Fine;
}

bool HostFileRemoveLeftover(const std::string& name)
{
    std::string host = HostPathFromWindows(name);
    int folder = host.empty() ? -1 : HoldFolder(FolderOf(host), LOCK_EX);
    int fd = folder < 0 ? -1 : open(host.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    // Its writer holds a lock on it from the moment it has its name until
    // it is in its place.
    struct stat opened, named;
    bool gone = fd >= 0 && fstat(fd, &opened) == 0 && S_ISREG(opened.st_mode) &&
                flock(fd, LOCK_EX | LOCK_NB) == 0 && lstat(host.c_str(), &named) == 0 &&
                SameFile(opened, named) && unlink(host.c_str()) == 0;
    if (fd >= 0) close(fd);
    LetFolderGo(folder);
    return gone;
}

HostFile HostLockTake(const std::string& name, bool& held, bool& leftBehind)
{
    held = false;
    leftBehind = false;
    std::string host = HostPathFromWindows(name);
    if (host.empty()) {
        errno = ENOENT;
        return NoHostFile;
    }
    // A holder removes the file before it lets go, so a lock won on a file
    // that is no longer the one under the name is tried again.
    bool staleRemoved = false;
    for (int attempt = 0; attempt < 100; ++attempt) {
        bool existed = false;
        int fd = open(host.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd < 0 && errno == EEXIST) {
            existed = true;
            fd = open(host.c_str(), O_RDWR | O_NOFOLLOW | O_CLOEXEC);
            if (fd < 0 && errno == ENOENT) continue;
        }
        if (fd < 0) return NoHostFile;
        LockState state = LockState::Taken;
        if (flock(fd, LOCK_EX | LOCK_NB) != 0)
            state = WithoutLocks(errno) ? TakeByStamp(fd, host, existed) : ElsewhereOrFailed(errno);
        if (state == LockState::Failed || state == LockState::Held) {
            held = state == LockState::Held;
            return Refuse(fd);
        }
        if (state == LockState::Stale) {
            close(fd);
            staleRemoved = true;
            continue;
        }
        struct stat opened, named;
        if (fstat(fd, &opened) == 0 && lstat(host.c_str(), &named) == 0 && SameFile(opened, named)) {
            leftBehind = existed || staleRemoved;
            return fd;
        }
        close(fd);
    }
    held = true;
    return NoHostFile;
}

void HostLockRelease(HostFile lock, const std::string& name)
{
    // Only the holder's own file: never one another Kelpra has made since.
    std::string host = HostPathFromWindows(name);
    struct stat opened, named;
    if (!host.empty() && fstat(static_cast<int>(lock), &opened) == 0 && lstat(host.c_str(), &named) == 0 &&
        SameFile(opened, named))
        unlink(host.c_str());
    close(static_cast<int>(lock));
}
