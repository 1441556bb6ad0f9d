// Text files under file numbers: the table, buffered line reads and writes
// and the file-system operations, the same on every host. Opening, reading
// and writing themselves, with the sharing rules, are the host's (hostfile.h).
#include "runtime/files.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "runtime/hostfile.h"
#include "runtime/hostpath.h"

namespace {

constexpr size_t kBufferSize = 64 * 1024;
// File numbers are small in practice; this only keeps a stray huge number
// from allocating gigabytes of table.
constexpr int kHighestNumber = (1 << 20) - 1;

struct OpenFile {
    HostFile handle = NoHostFile;
    bool writing = false;
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

bool WriteAll(HostFile file, const char* data, size_t size)
{
    bool full = false;
    if (writesAllowed >= 0 && static_cast<unsigned long long>(writesAllowed) < size) {
        size = static_cast<size_t>(writesAllowed);
        full = true;
    }
    if (size > 0 && !HostFileWrite(file, data, size)) return false;
    if (writesAllowed >= 0) writesAllowed -= static_cast<long long>(size);
    return !full;
}

bool Flush(OpenFile& file)
{
    if (!file.writing) return true;
    bool ok = !file.failed && (file.end == 0 || WriteAll(file.handle, file.buffer.data(), file.end));
    file.end = 0;
    if (!ok) file.failed = true;
    return ok;
}

// Reads the next block; false at the end of the file (or on a read error,
// which a line reader cannot tell apart from it either).
bool Refill(OpenFile& file)
{
    file.start = 0;
    file.end = HostFileRead(file.handle, file.buffer.data(), file.buffer.size());
    return file.end > 0;
}

bool CloseFile(OpenFile& file)
{
    bool ok = Flush(file);
    if (!HostFileClose(file.handle) && file.writing) ok = false;
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

int Install(int number, HostFile handle, bool writing)
{
    if (handle == NoHostFile) {
        currentNumber = -1;
        return 0;
    }
    auto file = std::make_unique<OpenFile>();
    file->handle = handle;
    file->writing = writing;
    file->buffer.resize(kBufferSize);
    Install(number, std::move(file));
    return 1;
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

// To the end of `in`; a read error looks like the end there, as it does to
// the line reader.
bool CopyBytes(HostFile in, HostFile out)
{
    std::vector<char> block(kBufferSize);
    while (size_t got = HostFileRead(in, block.data(), block.size()))
        if (!WriteAll(out, block.data(), got)) return false;
    return true;
}

}  // namespace

int FileOpenRead(int number, const std::string& name)
{
    if (number < 0 || number > kHighestNumber) return Install(number, NoHostFile, false);
    return Install(number, HostFileOpenRead(name), false);
}

int FileCreate(int number, const std::string& name)
{
    if (number < 0 || number > kHighestNumber) return Install(number, NoHostFile, true);
    return Install(number, HostFileCreate(name), true);
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
        if (!WriteAll(file->handle, text.data(), text.size())) {
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

std::string FileReadLineFrom(int number)
{
    FileSelect(number);
    return FileReadLine();
}

int FileWriteLineTo(int number, const std::string& line)
{
    FileSelect(number);
    return FileWriteLine(line) == static_cast<int>(line.size()) + 2 ? 1 : 0;
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
    // A directory search would match wildcards against other names.
    if (trimmed.find_first_of("*?") != std::string::npos) return -1;
    // A file being written here has its size on disk only once flushed.
    for (const auto& file : openFiles)
        if (file && file->writing) Flush(*file);
    return HostFileSize(trimmed);
}

int FileDuplicate(const std::string& source, const std::string& target)
{
    HostFile in = HostFileOpenRead(source);
    if (in == NoHostFile) return 0;
    // Copied beside the target first, so a failed copy never leaves half a
    // target behind, and then put in its place in one step.
    std::string temporary;
    HostFile out = HostFileCreateCopy(in, target, temporary);
    if (out == NoHostFile) {
        HostFileClose(in);
        return 0;
    }
    bool ok = CopyBytes(in, out);
    ok = HostFileClose(out) && ok;
    // The source is still open for reading, so a copy onto itself is refused.
    ok = ok && HostFileReplace(temporary, target);
    HostFileClose(in);
    if (!ok) HostFileRemove(temporary);
    return ok ? 1 : 0;
}

int FileRemove(const std::string& name)
{
    return HostFileRemove(name) ? 1 : 0;
}

int FileRename(const std::string& oldName, const std::string& newName)
{
    return HostFileRename(oldName, newName) ? 1 : 0;
}

int FolderMake(const std::string& path)
{
    return HostFolderMake(path) ? 1 : 0;
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
