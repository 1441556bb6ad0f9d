// Text files under file numbers on a POSIX host. Windows lets a program keep
// a file it writes from being read or replaced meanwhile; POSIX does not, so
// those sharing rules are kept here, by file identity (device and inode).
#include "files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include "hostpath.h"

namespace {

constexpr size_t kBufferSize = 64 * 1024;
// File numbers are small in practice; this only keeps a stray huge number
// from allocating gigabytes of table.
constexpr int kHighestNumber = (1 << 20) - 1;

struct OpenFile {
    int fd = -1;
    bool writing = false;
    dev_t device = 0;
    ino_t inode = 0;
    // Reading: bytes read ahead, unread from `start` to `end`.
    // Writing: bytes waiting for the disk, from 0 to `end`.
    std::vector<char> buffer;
    size_t start = 0;
    size_t end = 0;
    bool failed = false;  // a write went wrong; everything after is refused
};

std::vector<std::unique_ptr<OpenFile>> openFiles(10);
int currentNumber = -1;
long long writesAllowed = -1;  // test hook: bytes the "disk" still takes

OpenFile* FileAt(int number)
{
    if (number < 0 || static_cast<size_t>(number) >= openFiles.size()) return nullptr;
    return openFiles[static_cast<size_t>(number)].get();
}

bool SameFile(const OpenFile& file, const struct stat& info)
{
    return file.device == info.st_dev && file.inode == info.st_ino;
}

// Whether one of our numbers holds the file open (only writers, or any).
bool HeldOpen(const struct stat& info, bool writersOnly)
{
    for (const auto& file : openFiles)
        if (file && SameFile(*file, info) && (file->writing || !writersOnly)) return true;
    return false;
}

bool WriteAll(int fd, const char* data, size_t size)
{
    bool full = false;
    if (writesAllowed >= 0 && static_cast<unsigned long long>(writesAllowed) < size) {
        size = static_cast<size_t>(writesAllowed);
        full = true;
    }
    while (size > 0) {
        ssize_t written = write(fd, data, size);
        if (written < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        data += written;
        size -= static_cast<size_t>(written);
        if (writesAllowed >= 0) writesAllowed -= written;
    }
    return !full;
}

bool Flush(OpenFile& file)
{
    if (!file.writing) return true;
    bool ok = !file.failed && (file.end == 0 || WriteAll(file.fd, file.buffer.data(), file.end));
    file.end = 0;
    if (!ok) file.failed = true;
    return ok;
}

// Reads the next block; false at the end of the file (or on a read error,
// which a line reader cannot tell apart from it either).
bool Refill(OpenFile& file)
{
    file.start = file.end = 0;
    while (true) {
        ssize_t got = read(file.fd, file.buffer.data(), file.buffer.size());
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) return false;
        file.end = static_cast<size_t>(got);
        return true;
    }
}

bool CloseFile(OpenFile& file)
{
    bool ok = Flush(file);
    if (close(file.fd) != 0 && file.writing) ok = false;
    return ok && !file.failed;
}

void Install(int number, std::unique_ptr<OpenFile> file)
{
    size_t index = static_cast<size_t>(number);
    if (index >= openFiles.size()) openFiles.resize(std::max(openFiles.size() * 2, index + 1));
    // The old file stays open until the new one is, so its sharing rules
    // applied to the open that replaces it.
    if (openFiles[index]) CloseFile(*openFiles[index]);
    openFiles[index] = std::move(file);
    currentNumber = number;
}

std::unique_ptr<OpenFile> NewFile(int fd, const struct stat& info, bool writing)
{
    auto file = std::make_unique<OpenFile>();
    file->fd = fd;
    file->writing = writing;
    file->device = info.st_dev;
    file->inode = info.st_ino;
    file->buffer.resize(kBufferSize);
    return file;
}

int OpenFailed(int fd)
{
    if (fd >= 0) close(fd);
    currentNumber = -1;
    return 0;
}

bool IsLineEnd(char c)
{
    return c == '\r' || c == '\n' || c == '\0';
}

// The first line-end byte (CR, LF or NUL) from `at` on, or `stop`. Eight
// bytes at a time: only a word holding a byte below 0x0E can hold one.
const char* FindLineEnd(const char* at, const char* stop)
{
    constexpr uint64_t kOnes = 0x0101010101010101ull;
    constexpr uint64_t kHighs = 0x8080808080808080ull;
    while (stop - at >= 8) {
        uint64_t word;
        std::memcpy(&word, at, 8);
        if (((word - kOnes * 0x0E) & ~word & kHighs) != 0)
            for (int i = 0; i < 8; ++i)
                if (IsLineEnd(at[i])) return at + i;
        at += 8;
    }
    while (at < stop && !IsLineEnd(*at)) ++at;
    return at;
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

bool CopyBytes(int in, int out)
{
    std::vector<char> block(kBufferSize);
    while (true) {
        ssize_t got = read(in, block.data(), block.size());
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return false;
        if (got == 0) return true;
        if (!WriteAll(out, block.data(), static_cast<size_t>(got))) return false;
    }
}

}  // namespace

int FileOpenRead(int number, const std::string& name)
{
    if (number < 0 || number > kHighestNumber) return OpenFailed(-1);
    std::string host = HostPathFromWindows(name);
    if (host.empty()) return OpenFailed(-1);
    int fd = open(host.c_str(), O_RDONLY | O_CLOEXEC);
    struct stat info;
    if (fd < 0 || fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) return OpenFailed(fd);
    if (HeldOpen(info, true)) return OpenFailed(fd);
    Install(number, NewFile(fd, info, false));
    return 1;
}

int FileCreate(int number, const std::string& name)
{
    if (number < 0 || number > kHighestNumber) return OpenFailed(-1);
    std::string host = HostPathFromWindows(name);
    if (host.empty()) return OpenFailed(-1);
    struct stat info;
    // Checked before opening: opening a FIFO for writing would wait forever.
    if (stat(host.c_str(), &info) == 0 && (!S_ISREG(info.st_mode) || HeldOpen(info, false)))
        return OpenFailed(-1);
    int fd = open(host.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0 || fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) return OpenFailed(fd);
    // Emptied only once it is known that nobody here holds it open.
    if (HeldOpen(info, false) || ftruncate(fd, 0) != 0) return OpenFailed(fd);
    Install(number, NewFile(fd, info, true));
    return 1;
}

int FileClose(int number)
{
    OpenFile* file = FileAt(number);
    if (!file) return 1;
    bool ok = CloseFile(*file);
    openFiles[static_cast<size_t>(number)].reset();
    if (currentNumber == number) currentNumber = -1;
    return ok ? 1 : 0;
}

void FileSelect(int number)
{
    if (FileAt(number)) currentNumber = number;
}

std::string FileReadLine()
{
    OpenFile* file = FileAt(currentNumber);
    if (!file || file->writing) return "";
    std::string line;
    while (true) {
        if (file->start == file->end && !Refill(*file)) return line;
        const char* begin = file->buffer.data() + file->start;
        const char* stop = file->buffer.data() + file->end;
        const char* at = FindLineEnd(begin, stop);
        line.append(begin, at);
        file->start += static_cast<size_t>(at - begin);
        if (at == stop) continue;
        ++file->start;
        // CR LF is one line end; any other byte after a CR starts the next line.
        if (*at == '\r') {
            if (file->start == file->end && !Refill(*file)) return line;
            if (file->buffer[file->start] == '\n') ++file->start;
        }
        return line;
    }
}

int FileWriteLine(const std::string& text)
{
    OpenFile* file = FileAt(currentNumber);
    if (!file) return 0;
    if (!file->writing || file->failed) {
        file->failed = true;
        return 0;
    }
    size_t size = text.size() + 2;
    if (file->end + size > file->buffer.size() && !Flush(*file)) return 0;
    if (size > file->buffer.size()) {
        // A line longer than the buffer goes straight to the file.
        if (!WriteAll(file->fd, text.data(), text.size())) {
            file->failed = true;
            return 0;
        }
    } else {
        std::memcpy(file->buffer.data() + file->end, text.data(), text.size());
        file->end += text.size();
    }
    file->buffer[file->end++] = '\r';
    file->buffer[file->end++] = '\n';
    return static_cast<int>(size);
}

int FileAtEnd(int number)
{
    OpenFile* file = FileAt(number);
    if (!file) return 0;
    if (file->writing) return -1;  // nothing can be read through a write handle
    if (file->start < file->end) return 0;
    return Refill(*file) ? 0 : -1;
}

int32_t PathSize(const std::string& path)
{
    if (path.empty()) return -1;
    if ((path.size() == 2 || path.size() == 3) && path[1] == ':') {
        if (path.size() == 3 && path[2] != '\\' && path[2] != '/') return -1;
        return HostPathDriveExists(path[0]) ? -2 : -1;
    }
    std::string trimmed = path;
    if (trimmed.back() == '\\' || trimmed.back() == '/') trimmed.pop_back();
    // Wildcards are refused by the path mapping, so they name nothing (-1).
    std::string host = HostPathFromWindows(trimmed);
    struct stat info;
    if (host.empty() || stat(host.c_str(), &info) != 0) return -1;
    if (S_ISDIR(info.st_mode)) return -2;
    // A file being written here has its size on disk only once flushed.
    bool flushed = false;
    for (const auto& file : openFiles)
        if (file && file->writing && SameFile(*file, info)) {
            Flush(*file);
            flushed = true;
        }
    if (flushed && stat(host.c_str(), &info) != 0) return -1;
    return static_cast<int32_t>(static_cast<uint32_t>(info.st_size));
}

int FileDuplicate(const std::string& source, const std::string& target)
{
    std::string sourceHost = HostPathFromWindows(source);
    std::string targetHost = HostPathFromWindows(target);
    if (sourceHost.empty() || targetHost.empty() || targetHost.back() == '/') return 0;

    int in = open(sourceHost.c_str(), O_RDONLY | O_CLOEXEC);
    struct stat sourceInfo;
    if (in < 0 || fstat(in, &sourceInfo) != 0 || !S_ISREG(sourceInfo.st_mode) ||
        HeldOpen(sourceInfo, true)) {
        if (in >= 0) close(in);
        return 0;
    }
    struct stat targetInfo;
    if (stat(targetHost.c_str(), &targetInfo) == 0 &&
        (!S_ISREG(targetInfo.st_mode) || HeldOpen(targetInfo, false) ||
         (targetInfo.st_dev == sourceInfo.st_dev && targetInfo.st_ino == sourceInfo.st_ino))) {
        close(in);
        return 0;
    }

    // Copied beside the target first, so a failed copy never leaves half a
    // target behind, and then put in its place in one step.
    std::string temporary = FolderOf(targetHost) + "/.kelpra-copy-XXXXXX";
    int out = mkostemp(temporary.data(), O_CLOEXEC);
    if (out < 0) {
        close(in);
        return 0;
    }
    bool ok = CopyBytes(in, out);
    ok = fchmod(out, sourceInfo.st_mode & 07777) == 0 && ok;
    ok = close(out) == 0 && ok;
    close(in);
    ok = ok && rename(temporary.c_str(), targetHost.c_str()) == 0;
    if (!ok) unlink(temporary.c_str());
    return ok ? 1 : 0;
}

int FileRemove(const std::string& name)
{
    std::string host = HostPathFromWindows(name);
    struct stat info;
    if (host.empty() || lstat(host.c_str(), &info) != 0 || S_ISDIR(info.st_mode)) return 0;
    struct stat target;
    if (stat(host.c_str(), &target) == 0 && HeldOpen(target, false)) return 0;
    return unlink(host.c_str()) == 0 ? 1 : 0;
}

int FileRename(const std::string& oldName, const std::string& newName)
{
    std::string oldHost = HostPathFromWindows(oldName);
    std::string newHost = HostPathFromWindows(newName);
    struct stat info;
    if (oldHost.empty() || newHost.empty() || lstat(oldHost.c_str(), &info) != 0) return 0;
    if (!S_ISDIR(info.st_mode) && stat(oldHost.c_str(), &info) == 0 && HeldOpen(info, false))
        return 0;

    struct stat existing;
    if (lstat(newHost.c_str(), &existing) == 0) {
        // Only the name's own case may change: the new name resolved to the
        // old file itself.
        if (newHost != oldHost) return 0;
        std::string given = GivenName(newName);
        if (given.empty()) return 0;
        std::string target = FolderOf(oldHost) + "/" + given;
        if (target == oldHost) return 1;
        if (lstat(target.c_str(), &existing) == 0) return 0;
        return rename(oldHost.c_str(), target.c_str()) == 0 ? 1 : 0;
    }
    // Never replace a file that appeared meanwhile, where the host can say so.
    if (renameat2(AT_FDCWD, oldHost.c_str(), AT_FDCWD, newHost.c_str(), RENAME_NOREPLACE) == 0)
        return 1;
    if (errno != EINVAL && errno != ENOSYS) return 0;
    return rename(oldHost.c_str(), newHost.c_str()) == 0 ? 1 : 0;
}

int FolderMake(const std::string& path)
{
    std::string host = HostPathFromWindows(path);
    return !host.empty() && mkdir(host.c_str(), 0777) == 0 ? 1 : 0;
}

void FileCloseAll()
{
    for (auto& file : openFiles) {
        if (file) CloseFile(*file);
        file.reset();
    }
    currentNumber = -1;
}

void FileFailWritesAfter(long long bytes)
{
    writesAllowed = bytes < 0 ? -1 : bytes;
}
