// Text files under file numbers: the table, buffered line reads and writes
// and the file-system operations, the same on every host. Opening, reading
// and writing themselves, with the sharing rules, are the host's (hostfile.h).
#include "runtime/files.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "runtime/codepage.h"
#include "runtime/faults.h"
#include "runtime/hostfile.h"
#include "runtime/hostpath.h"
#include "runtime/text.h"

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
    std::string name;     // what a failure is reported under
    // A new version: the temporary file written, and the file whose place
    // it takes when committed. Dropped when closed any other way.
    std::string temporary;
    std::string writeTo;
};

std::vector<std::unique_ptr<OpenFile>> openFiles(10);
int currentNumber = -1;
FileFailure firstFailure;

OpenFile* FileAt(int number)
{
    if (number < 0 || static_cast<size_t>(number) >= openFiles.size()) return nullptr;
    return openFiles[static_cast<size_t>(number)].get();
}

// The fault hook stands before every operation that changes the disk; a
// refused one fails as the host's would, with a reason to report.
bool Allowed(FileOperation operation)
{
    if (FileFaultBefore(operation) != FaultAnswer::Fail) return true;
    HostFileErrorSimulate(false);
    return false;
}

bool FlushToDisk(HostFile file)
{
    switch (FileFaultBefore(FileOperation::Flush)) {
    case FaultAnswer::Proceed: return HostFileFlush(file);
    case FaultAnswer::TakeAsDone: return true;
    case FaultAnswer::Fail: break;
    }
    HostFileErrorSimulate(false);
    return false;
}

bool WriteAll(HostFile file, const char* data, size_t size)
{
    size_t allowed = FileFaultWriteAllows(size);
    if (allowed < size) {
        if (allowed > 0) HostFileWrite(file, data, allowed);
        HostFileErrorSimulate(true);
        return false;
    }
    return HostFileWrite(file, data, size);
}

bool Flush(OpenFile& file)
{
    if (!file.writing) return true;
    bool ok = !file.failed && (file.end == 0 || WriteAll(file.handle, file.buffer.data(), file.end));
    file.end = 0;
    if (!ok) {
        if (!file.failed) FileFailureNote(FileFailureKind::System, file.name);
        file.failed = true;
    }
    return ok;
}

bool RemoveFile(const std::string& name)
{
    return Allowed(FileOperation::Remove) && HostFileRemove(name);
}

// Reads the next block; false at the end of the file (or on a read error,
// which a line reader cannot tell apart from it either).
bool Refill(OpenFile& file)
{
    file.start = 0;
    file.end = HostFileRead(file.handle, file.buffer.data(), file.buffer.size());
    return file.end > 0;
}

// A close that fails loses what was written; it still lets the file go.
bool CloseHandleOf(OpenFile& file)
{
    bool allowed = !file.writing || Allowed(FileOperation::Close);
    bool closed = HostFileClose(file.handle) || !file.writing;
    if (allowed && closed) return true;
    if (!allowed) HostFileErrorSimulate(false);
    FileFailureNote(FileFailureKind::System, file.name);
    return false;
}

bool CloseFile(OpenFile& file)
{
    bool ok = Flush(file);
    ok = CloseHandleOf(file) && ok;
    // A new version that was not committed never takes the file's place.
    if (!file.temporary.empty()) RemoveFile(file.temporary);
    return ok && !file.failed;
}

// Writes out, flushes to the disk, and puts the new version in its place
// and closes it, noticing a failure at every step; on one, the old version
// stays and the new one goes.
bool CommitFile(OpenFile& file, int toDisk)
{
    bool ok = Flush(file);
    if (ok && toDisk && !FlushToDisk(file.handle)) {
        FileFailureNote(FileFailureKind::System, file.name);
        ok = false;
    }
    std::string temporary = file.temporary;
    file.temporary.clear();
    const bool ready = ok && Allowed(FileOperation::Close) && Allowed(FileOperation::Rename);
    if (ok && !ready) FileFailureNote(FileFailureKind::System, file.name);
    if (!ready) HostFileClose(file.handle);
    else if (HostFileCommit(file.handle, temporary, file.writeTo)) return true;
    else FileFailureNote(FileFailureKind::System, file.name);
    RemoveFile(temporary);
    return false;
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

std::unique_ptr<OpenFile> NewOpenFile(HostFile handle, bool writing, const std::string& name)
{
    auto file = std::make_unique<OpenFile>();
    file->handle = handle;
    file->writing = writing;
    file->name = name;
    file->buffer.resize(kBufferSize);
    return file;
}

int Install(int number, HostFile handle, bool writing, const std::string& name)
{
    if (handle == NoHostFile) {
        currentNumber = -1;
        return 0;
    }
    Install(number, NewOpenFile(handle, writing, name));
    return 1;
}

// Comparable forms of two Windows paths: one separator, no case.
std::string SamePathKey(const std::string& path)
{
    std::string key;
    for (char c : path) {
        if (c == '/') c = '\\';
        if (c == '\\' && !key.empty() && key.back() == '\\') continue;
        key += c;
    }
    return TextToUpper(key);
}

// To the end of `in`; a read error looks like the end there, as it does to
// the line reader.
bool CopyBytes(HostFile in, OpenFile& out)
{
    while (size_t got = HostFileRead(in, out.buffer.data(), out.buffer.size())) {
        if (!WriteAll(out.handle, out.buffer.data(), got)) {
            FileFailureNote(FileFailureKind::System, out.name);
            out.failed = true;
            return false;
        }
    }
    return true;
}

// A new file beside `writeTo`, open for writing, reported as `target`.
std::unique_ptr<OpenFile> NewTemporary(const std::string& target, const std::string& writeTo,
                                       const std::string& permissionsOf)
{
    std::string temporary;
    HostFile handle = NoHostFile;
    if (Allowed(FileOperation::Create)) handle = HostFileCreateTemporary(writeTo, permissionsOf, temporary);
    if (handle == NoHostFile) {
        FileFailureNote(FileFailureKind::System, target);
        return nullptr;
    }
    auto file = NewOpenFile(handle, true, target);
    file->temporary = temporary;
    file->writeTo = writeTo;
    return file;
}

}  // namespace

int FileOpenRead(int number, const std::string& name)
{
    if (number < 0 || number > kHighestNumber) return Install(number, NoHostFile, false, name);
    return Install(number, HostFileOpenRead(name), false, name);
}

int FileCreate(int number, const std::string& name)
{
    if (number < 0 || number > kHighestNumber) return Install(number, NoHostFile, true, name);
    HostFile handle = Allowed(FileOperation::Create) ? HostFileCreate(name) : NoHostFile;
    return Install(number, handle, true, name);
}

int FileCreateTemporary(int number, const std::string& target, const std::string& writeTo)
{
    if (number < 0 || number > kHighestNumber) return Install(number, NoHostFile, true, target);
    std::unique_ptr<OpenFile> file = NewTemporary(target, writeTo, writeTo);
    if (!file) {
        currentNumber = -1;
        return 0;
    }
    Install(number, std::move(file));
    return 1;
}

int FileCommit(int number, int toDisk)
{
    OpenFile* file = FileAt(number);
    if (!file || file->temporary.empty()) return 0;
    bool ok = CommitFile(*file, toDisk);
    openFiles[static_cast<size_t>(number)].reset();
    if (currentNumber == number) currentNumber = -1;
    return ok ? 1 : 0;
}

int FileBeingRewritten(const std::string& writeTo)
{
    const std::string key = SamePathKey(writeTo);
    for (const auto& file : openFiles)
        if (file && !file->temporary.empty() && SamePathKey(file->writeTo) == key) return 1;
    return 0;
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
        const char* at = TextLineEnd(begin, stop);
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

namespace {

// Puts the bytes into the file's buffer, or straight into the file when
// they would not fit; false once a write failed.
bool Put(OpenFile& file, const char* data, size_t size)
{
    if (file.end + size > file.buffer.size() && !Flush(file)) return false;
    if (size <= file.buffer.size()) {
        std::memcpy(file.buffer.data() + file.end, data, size);
        file.end += size;
        return true;
    }
    if (WriteAll(file.handle, data, size)) return true;
    FileFailureNote(FileFailureKind::System, file.name);
    file.failed = true;
    return false;
}

// The current file when it is open for writing and nothing has failed.
OpenFile* WritableCurrent()
{
    OpenFile* file = FileAt(currentNumber);
    if (!file) return nullptr;
    if (!file->writing || file->failed) {
        file->failed = true;
        return nullptr;
    }
    return file;
}

}  // namespace

int FileWriteLine(const std::string& text)
{
    OpenFile* file = WritableCurrent();
    if (!file || !Put(*file, text.data(), text.size()) || !Put(*file, "\r\n", 2)) return 0;
    return static_cast<int>(text.size() + 2);
}

int FileWriteBytes(const char* data, size_t size)
{
    OpenFile* file = WritableCurrent();
    return file && Put(*file, data, size) ? 1 : 0;
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

int PathSameFile(const std::string& a, const std::string& b)
{
    return HostFileSame(a, b) ? 1 : 0;
}

std::string PathAsStored(const std::string& path)
{
    if (!HostPathFindsAsText()) return path;
    const size_t cut = path.find_last_of("\\/");
    const std::string given = path.substr(cut == std::string::npos ? 0 : cut + 1);
    const std::string host = HostPathFromWindows(path);
    if (given.empty() || host.empty()) return path;
    const std::string stored = ProgramTextFromHost(host.substr(host.rfind('/') + 1));
    if (stored == given || TextMatchKey(stored) != TextMatchKey(given)) return path;
    return path.substr(0, path.size() - given.size()) + stored;
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
    FileLookBefore();
    return HostFileSize(trimmed);
}

namespace {

int PlaceOutcome(HostPlace place, const std::string& target)
{
    switch (place) {
    case HostPlace::Fine: return 1;
    case HostPlace::Unreachable: return 0;
    case HostPlace::LeadsOut: FileFailureNote(FileFailureKind::LeadsOut, target); return -1;
    case HostPlace::NotAFile: FileFailureNote(FileFailureKind::NotAFile, target); return -1;
    }
    return 0;
}

}  // namespace

int FilePlace(const std::string& target, const std::string& folder, std::string& writeTo)
{
    return PlaceOutcome(HostFileWritePlace(target, folder.empty() ? "." : folder, writeTo), target);
}

int FileFollowPlace(const std::string& target, std::string& writeTo)
{
    return PlaceOutcome(HostFileFollowPlace(target, writeTo), target);
}

int FileCopy(const std::string& source, const std::string& target, const std::string& folder)
{
    std::string writeTo;
    int place = FilePlace(target, folder, writeTo);
    if (place <= 0) return place;
    // A file copied onto itself, by whatever name, already is its copy.
    if (HostFileSame(source, writeTo)) return 1;
    HostFile in = HostFileOpenRead(source);
    if (in == NoHostFile) return 0;
    // Copied beside the target first and then put in its place in one step,
    // so a failed copy never leaves half a target behind.
    std::unique_ptr<OpenFile> out = NewTemporary(target, writeTo, source);
    bool ok = out && CopyBytes(in, *out);
    if (ok) ok = CommitFile(*out, 1);
    else if (out) CloseFile(*out);
    HostFileClose(in);
    return ok ? 1 : -1;
}

int FileBackup(const std::string& source, const std::string& target, const std::string& folder)
{
    std::string writeTo;
    int place = FilePlace(target, folder, writeTo);
    if (place <= 0) return place;
    if (!Allowed(FileOperation::Create)) {
        FileFailureNote(FileFailureKind::System, target);
        return -1;
    }
    std::string temporary;
    HostFile held = HostFileLinkTemporary(source, writeTo, temporary);
    if (held == NoHostFile) return FileCopy(source, target, folder);
    const bool placed = Allowed(FileOperation::Rename) && HostFileReplace(temporary, writeTo);
    if (!placed) {
        FileFailureNote(FileFailureKind::System, target);
        RemoveFile(temporary);
    }
    HostFileClose(held);
    return placed ? 1 : -1;
}

int FileDuplicate(const std::string& source, const std::string& target)
{
    size_t slash = target.find_last_of("\\/");
    const std::string folder = slash == std::string::npos ? "." : target.substr(0, slash + 1);
    return FileCopy(source, target, folder) > 0 ? 1 : 0;
}

int FileRemove(const std::string& name)
{
    return RemoveFile(name) ? 1 : 0;
}

int FileRename(const std::string& oldName, const std::string& newName)
{
    return Allowed(FileOperation::Rename) && HostFileRename(oldName, newName) ? 1 : 0;
}

int FolderMake(const std::string& path)
{
    return Allowed(FileOperation::Create) && HostFolderMake(path) ? 1 : 0;
}

void FileCloseAll()
{
    for (auto& file : openFiles) {
        if (file) CloseFile(*file);
        file.reset();
    }
    currentNumber = -1;
}

const FileFailure& FileLastFailure()
{
    return firstFailure;
}

void FileFailureClear()
{
    firstFailure = FileFailure{};
}

void FileFailureNote(FileFailureKind kind, const std::string& file)
{
    if (firstFailure.kind != FileFailureKind::None) return;
    firstFailure.kind = kind;
    firstFailure.file = file;
    firstFailure.reason = kind == FileFailureKind::System ? HostFileErrorText() : "";
    // Every failed rewrite keeps what was there, so what is there now is
    // the old version.
    firstFailure.oldVersion = HostFileSize(file) != -1 ? 1 : 0;
}

void FileServicesStart()
{
    HostFileStart();
}
