// File primitives on the Windows API. The sharing rules come from the share
// modes themselves: every file is opened sharing for reading only, and
// nothing is opened with delete sharing.
#include "runtime/hostfile.h"

#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

HANDLE Handle(HostFile file)
{
    return reinterpret_cast<HANDLE>(file);
}

HostFile FromHandle(HANDLE handle)
{
    return handle == INVALID_HANDLE_VALUE ? NoHostFile : reinterpret_cast<HostFile>(handle);
}

std::string RandomSuffix()
{
    static unsigned long long state = 0;
    if (state == 0) state = (static_cast<unsigned long long>(GetCurrentProcessId()) << 32) ^ GetTickCount64();
    const char letters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    std::string suffix;
    for (int i = 0; i < 6; ++i) {
        state = state * 6364136223846793005ull + 1442695040888963407ull;
        suffix += letters[(state >> 33) % (sizeof letters - 1)];
    }
    return suffix;
}

// The path of an open file with every link and junction resolved.
std::string HandlePath(HANDLE handle)
{
    char path[32768];
    DWORD length = GetFinalPathNameByHandleA(handle, path, sizeof path, FILE_NAME_NORMALIZED);
    if (length == 0 || length >= sizeof path) return "";
    std::string result(path, length);
    if (result.compare(0, 8, "\\\\?\\UNC\\") == 0) return "\\" + result.substr(7);
    if (result.compare(0, 4, "\\\\?\\") == 0) return result.substr(4);
    return result;
}

// The file's path with every link and junction resolved, "" when it cannot
// be opened.
std::string FinalPath(const std::string& name)
{
    HANDLE handle = CreateFileA(name.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return "";
    std::string result = HandlePath(handle);
    CloseHandle(handle);
    return result;
}

bool SameText(const std::string& a, const std::string& b, size_t length)
{
    return a.size() >= length && b.size() >= length &&
           CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, a.c_str(), static_cast<int>(length), b.c_str(),
                          static_cast<int>(length)) == CSTR_EQUAL;
}

bool InsideFolder(const std::string& path, const std::string& folder)
{
    std::string base = folder;
    if (!base.empty() && base.back() != '\\') base += '\\';
    return path.size() > base.size() && SameText(path, base, base.size());
}

// Whether an open handle is the plain file under `name` itself: no folder,
// link or junction, nor a file reached through one. Wine follows a link to
// a file even when asked not to, and deleting through that handle deletes
// the file the link leads to, wherever it is.
bool PlainFileItself(HANDLE handle, const std::string& name)
{
    BY_HANDLE_FILE_INFORMATION info;
    if (!GetFileInformationByHandle(handle, &info) || GetFileType(handle) != FILE_TYPE_DISK ||
        (info.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)))
        return false;
    size_t slash = name.find_last_of("\\/");
    // Wine names a folder by one drive or another depending on the moment
    // it is asked (it looks at its drives again once a second), so a second
    // look settles a difference.
    for (int look = 0; look < 2; ++look) {
        std::string folder = FinalPath(slash == std::string::npos ? "." : name.substr(0, slash + 1));
        std::string real = HandlePath(handle);
        if (folder.empty() || real.empty()) continue;
        std::string expected = folder + (folder.back() == '\\' ? "" : "\\") + name.substr(slash + 1);
        if (real.size() == expected.size() && SameText(real, expected, real.size())) return true;
    }
    return false;
}

// A link or a folder where Kelpra's own plain file belongs is left alone.
void RefuseNotPlain(HANDLE handle)
{
    CloseHandle(handle);
    SetLastError(ERROR_CANT_ACCESS_FILE);
}

bool DeleteThrough(HANDLE handle)
{
    FILE_DISPOSITION_INFO disposition{};
    disposition.DeleteFile = TRUE;
    return SetFileInformationByHandle(handle, FileDispositionInfo, &disposition, sizeof disposition) != 0;
}

// Sharing violations from scanners and indexers pass within moments.
bool Transient(DWORD error)
{
    return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION || error == ERROR_ACCESS_DENIED;
}

HANDLE OpenForWriting(const std::string& name, DWORD disposition)
{
    return CreateFileA(name.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, disposition,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}

int64_t FileTimeValue(const FILETIME& time)
{
    return static_cast<int64_t>((static_cast<uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime);
}

}  // namespace

HostFile HostFileOpenRead(const std::string& name)
{
    HANDLE handle = CreateFileA(name.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    // A pipe or a device is no page: reading it could wait forever.
    if (handle != INVALID_HANDLE_VALUE && GetFileType(handle) != FILE_TYPE_DISK) {
        CloseHandle(handle);
        SetLastError(ERROR_INVALID_FUNCTION);
        return NoHostFile;
    }
    return FromHandle(handle);
}

HostFile HostFileCreate(const std::string& name)
{
    HANDLE handle = OpenForWriting(name, CREATE_ALWAYS);
    // CREATE_ALWAYS refuses an existing hidden or system file; emptying it
    // in place still works.
    if (handle == INVALID_HANDLE_VALUE) handle = OpenForWriting(name, TRUNCATE_EXISTING);
    return FromHandle(handle);
}

HostFile HostFileCreateTemporary(const std::string& beside, const std::string&, std::string& temporaryName)
{
    if (beside.empty() || beside.back() == '\\' || beside.back() == '/') {
        SetLastError(ERROR_INVALID_NAME);
        return NoHostFile;
    }
    size_t slash = beside.find_last_of("\\/");
    std::string folder = slash == std::string::npos ? "" : beside.substr(0, slash + 1);
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string name = folder + HostTemporaryPrefix + RandomSuffix();
        // CREATE_NEW never opens what is already there; while the file is
        // open, no leftover sweep can take it (HostFileRemoveLeftover).
        HANDLE handle = CreateFileA(name.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
        if (handle != INVALID_HANDLE_VALUE) {
            temporaryName = name;
            return FromHandle(handle);
        }
        if (GetLastError() != ERROR_FILE_EXISTS && GetLastError() != ERROR_ALREADY_EXISTS) break;
    }
    return NoHostFile;
}

HostFile HostFileLinkTemporary(const std::string& existing, const std::string& beside,
                               std::string& temporaryName)
{
    DWORD attributes = GetFileAttributesA(existing.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES ||
        (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)))
        return NoHostFile;
    // Held open before it has a second name, so that a sweep (which opens
    // sharing nothing) never takes that name; it shares deletion, so the
    // name can still be moved into its place.
    HANDLE held = CreateFileA(existing.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (held == INVALID_HANDLE_VALUE) return NoHostFile;
    size_t slash = beside.find_last_of("\\/");
    std::string folder = slash == std::string::npos ? "" : beside.substr(0, slash + 1);
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string name = folder + HostTemporaryPrefix + RandomSuffix();
        if (CreateHardLinkA(name.c_str(), existing.c_str(), nullptr)) {
            temporaryName = name;
            return FromHandle(held);
        }
        if (GetLastError() != ERROR_ALREADY_EXISTS && GetLastError() != ERROR_FILE_EXISTS) break;
    }
    CloseHandle(held);
    return NoHostFile;
}

size_t HostFileRead(HostFile file, char* buffer, size_t size)
{
    DWORD wanted = size > 0x40000000 ? 0x40000000 : static_cast<DWORD>(size);
    DWORD got = 0;
    if (!ReadFile(Handle(file), buffer, wanted, &got, nullptr)) return 0;
    return got;
}

bool HostFileRewind(HostFile file)
{
    return SetFilePointer(Handle(file), 0, nullptr, FILE_BEGIN) != INVALID_SET_FILE_POINTER;
}

bool HostFileWrite(HostFile file, const char* data, size_t size)
{
    while (size > 0) {
        DWORD chunk = size > 0x40000000 ? 0x40000000 : static_cast<DWORD>(size);
        DWORD written = 0;
        if (!WriteFile(Handle(file), data, chunk, &written, nullptr) || written == 0) return false;
        data += written;
        size -= written;
    }
    return true;
}

bool HostFileFlush(HostFile file)
{
    return FlushFileBuffers(Handle(file)) != 0;
}

bool HostFileClose(HostFile file)
{
    return CloseHandle(Handle(file)) != 0;
}

namespace {

// The volume and the file's number on it; false when it cannot be opened.
bool FileIdentity(const std::string& name, BY_HANDLE_FILE_INFORMATION& info)
{
    HANDLE file = CreateFileA(name.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    const bool known = GetFileInformationByHandle(file, &info) != 0;
    CloseHandle(file);
    return known;
}

}  // namespace

bool HostFileSame(const std::string& a, const std::string& b)
{
    BY_HANDLE_FILE_INFORMATION infoA, infoB;
    return FileIdentity(a, infoA) && FileIdentity(b, infoB) &&
           !(infoA.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
           infoA.dwVolumeSerialNumber == infoB.dwVolumeSerialNumber &&
           infoA.nFileIndexHigh == infoB.nFileIndexHigh && infoA.nFileIndexLow == infoB.nFileIndexLow;
}

int32_t HostFileSize(const std::string& name)
{
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(name.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return -1;
    FindClose(search);
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return -2;
    DWORD size = found.nFileSizeLow;
    // The directory entry of a file open for writing may lag behind; the
    // file itself knows. Opened for no access, so no sharing rule objects.
    HANDLE file = CreateFileA(name.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        SetLastError(NO_ERROR);
        DWORD live = GetFileSize(file, nullptr);
        if (live != INVALID_FILE_SIZE || GetLastError() == NO_ERROR) size = live;
        CloseHandle(file);
    }
    return static_cast<int32_t>(size);
}

bool HostFileReplace(const std::string& from, const std::string& to)
{
    for (int attempt = 0;; ++attempt) {
        if (MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
            // Where the two names were one file already (a backup that is a
            // second name of the file it backs up), Wine leaves both.
            if (GetFileAttributesA(from.c_str()) != INVALID_FILE_ATTRIBUTES) DeleteFileA(from.c_str());
            return true;
        }
        DWORD error = GetLastError();
        if (attempt == 10 || !Transient(error)) return false;
        Sleep(50);
        SetLastError(error);
    }
}

namespace {

// The name a file has on the disk, with its case, or "" when it is missing.
std::string StoredName(const std::string& name)
{
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(name.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return "";
    FindClose(search);
    return found.cFileName;
}

}  // namespace

bool HostFileCommit(HostFile file, const std::string& temporaryName, const std::string& to)
{
    // The writing handle shares no deletion, so it cannot stay open for the
    // move; a second one that shares everything keeps a sweep away from the
    // file between the close and the move.
    HANDLE held = CreateFileA(temporaryName.c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    CloseHandle(Handle(file));
    bool placed = HostFileReplace(temporaryName, to);
    DWORD error = GetLastError();
    if (held != INVALID_HANDLE_VALUE) CloseHandle(held);
    SetLastError(error);
    return placed;
}

bool HostFileRename(const std::string& oldName, const std::string& newName)
{
    if (CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, oldName.c_str(), -1, newName.c_str(), -1) !=
        CSTR_EQUAL)
        return MoveFileA(oldName.c_str(), newName.c_str()) != 0;
    // A rename onto the file's own name changes at most the case of its
    // name, and nothing when that is already the case asked for.
    size_t slash = newName.find_last_of("\\/");
    const std::string wanted = newName.substr(slash == std::string::npos ? 0 : slash + 1);
    const std::string stored = StoredName(oldName);
    if (stored.empty()) return false;
    if (stored == wanted) return true;
    if (MoveFileA(oldName.c_str(), newName.c_str()) && StoredName(newName) == wanted) return true;
    // Not every file system takes a change of case in one rename (Wine's
    // does not), so the file goes by a name of its own on the way, for the
    // moment between two renames; the leftover sweep names it back if a run
    // ends there.
    const std::string between = newName + HostCaseRenameSuffix;
    if (!MoveFileA(oldName.c_str(), between.c_str())) return false;
    if (MoveFileA(between.c_str(), newName.c_str())) return true;
    DWORD error = GetLastError();
    MoveFileA(between.c_str(), oldName.c_str());
    SetLastError(error);
    return false;
}

bool HostFileRemove(const std::string& name)
{
    return DeleteFileA(name.c_str()) != 0;
}

bool HostFolderMake(const std::string& name)
{
    return CreateDirectoryA(name.c_str(), nullptr) != 0;
}

bool HostFolderList(const std::string& name, std::vector<HostFolderEntry>& entries, bool)
{
    entries.clear();
    std::string pattern = name;
    if (!pattern.empty() && pattern.back() != '\\' && pattern.back() != '/') pattern += '\\';
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((pattern + "*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return false;
    do {
        HostFolderEntry entry;
        entry.name = found.cFileName;
        // A name the ANSI code page cannot hold comes with "?" in its place
        // and cannot be opened by it.
        if (entry.name == "." || entry.name == ".." || entry.name.find('?') != std::string::npos) continue;
        bool folder = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        // A junction or a link to a folder may lead back up the tree.
        bool reparse = (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
        if (folder) entry.kind = reparse ? HostEntryKind::Other : HostEntryKind::Folder;
        else if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DEVICE)) entry.kind = HostEntryKind::File;
        entry.size =
            static_cast<int64_t>((static_cast<uint64_t>(found.nFileSizeHigh) << 32) | found.nFileSizeLow);
        entry.time = std::max(FileTimeValue(found.ftLastWriteTime), FileTimeValue(found.ftCreationTime));
        entries.push_back(entry);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return true;
}

// The folder's path, kept for the files opened in it: Windows opens by
// path alone.
HostFolder HostFolderOpen(const std::string& name)
{
    DWORD attributes = GetFileAttributesA(name.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY))
        return NoHostFolder;
    std::string* folder = new std::string(name);
    if (!folder->empty() && folder->back() != '\\' && folder->back() != '/') *folder += '\\';
    return reinterpret_cast<HostFolder>(folder);
}

void HostFolderClose(HostFolder folder)
{
    if (folder != NoHostFolder) delete reinterpret_cast<std::string*>(folder);
}

bool HostFileReadAllIn(HostFolder folder, const std::string& name, std::string& bytes, size_t limit)
{
    bytes.clear();
    if (folder == NoHostFolder || name.find_first_of("\\/") != std::string::npos) return false;
    const std::string path = *reinterpret_cast<std::string*>(folder) + name;
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    if (GetFileType(file) != FILE_TYPE_DISK) {
        CloseHandle(file);
        return false;
    }
    // As much as the file held when it was opened.
    LARGE_INTEGER size;
    if (!GetFileSizeEx(file, &size)) {
        CloseHandle(file);
        return false;
    }
    const size_t wanted = std::min<size_t>(limit, static_cast<size_t>(size.QuadPart));
    size_t have = 0;
    bytes.resize(wanted);
    while (have < wanted) {
        size_t got = HostFileRead(FromHandle(file), bytes.data() + have, wanted - have);
        if (got == 0) break;
        have += got;
    }
    bytes.resize(have);
    CloseHandle(file);
    return true;
}

std::string HostFileErrorText()
{
    DWORD error = GetLastError();
    char text[512];
    DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error,
                                  0, text, sizeof text, nullptr);
    std::string reason(text, length);
    while (!reason.empty() && (reason.back() == '\r' || reason.back() == '\n' || reason.back() == '.'))
        reason.pop_back();
    return reason.empty() ? "error " + std::to_string(error) : reason;
}

void HostFileErrorSimulate(bool diskFull)
{
    SetLastError(diskFull ? ERROR_DISK_FULL : ERROR_WRITE_FAULT);
}

// Windows has no signal for a file-size limit.
void HostFileStart() {}

namespace {

HostPlace WritePlace(const std::string& target, const std::string& folder, std::string& writeTo)
{
    size_t slash = target.find_last_of("\\/");
    std::string parent = slash == std::string::npos ? "." : target.substr(0, slash + 1);
    std::string realFolder = FinalPath(folder);
    std::string realParent = FinalPath(parent);
    if (realFolder.empty() || realParent.empty()) return HostPlace::Unreachable;
    std::string place = realParent + (realParent.back() == '\\' ? "" : "\\") + target.substr(slash + 1);
    DWORD attributes = GetFileAttributesA(place.c_str());
    bool link = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
    if (link) {
        // Written through only while it stays where it belongs; a link that
        // leads nowhere leads out too.
        place = FinalPath(place);
        attributes = place.empty() ? INVALID_FILE_ATTRIBUTES : GetFileAttributesA(place.c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES) return HostPlace::LeadsOut;
    }
    if (!InsideFolder(place, realFolder)) return HostPlace::LeadsOut;
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        SetLastError(ERROR_DIRECTORY);
        return HostPlace::NotAFile;
    }
    writeTo = link ? place : target;
    return HostPlace::Fine;
}

}  // namespace

HostPlace HostFileWritePlace(const std::string& target, const std::string& folder, std::string& writeTo)
{
    if (target.empty() || target.back() == '\\' || target.back() == '/') {
        SetLastError(ERROR_INVALID_NAME);
        return HostPlace::NotAFile;
    }
    // The folder and the place are each named by their final path, which
    // Wine gives under one drive or another, or for a moment under none,
    // depending on when it is asked (it looks at its drives again once a
    // second): a place found outside or out of reach is looked at once more.
    HostPlace place = WritePlace(target, folder, writeTo);
    if (place != HostPlace::LeadsOut && place != HostPlace::Unreachable) return place;
    return WritePlace(target, folder, writeTo);
}

HostPlace HostFileFollowPlace(const std::string& target, std::string& writeTo)
{
    if (target.empty() || target.back() == '\\' || target.back() == '/') {
        SetLastError(ERROR_INVALID_NAME);
        return HostPlace::NotAFile;
    }
    writeTo = target;
    DWORD attributes = GetFileAttributesA(target.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
        // A link that leads nowhere has no file to write.
        writeTo = FinalPath(target);
        if (writeTo.empty()) return HostPlace::Unreachable;
        attributes = GetFileAttributesA(writeTo.c_str());
    }
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        SetLastError(ERROR_DIRECTORY);
        return HostPlace::NotAFile;
    }
    return HostPlace::Fine;
}

bool HostFileRemoveLeftover(const std::string& name)
{
    // No sharing at all: this open succeeds only when nobody has the file
    // open. Only a plain file of Kelpra's own goes, never a link's target.
    HANDLE handle =
        CreateFileA(name.c_str(), DELETE, 0, nullptr, OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return false;
    if (!PlainFileItself(handle, name)) {
        RefuseNotPlain(handle);
        return false;
    }
    bool gone = DeleteThrough(handle);
    CloseHandle(handle);
    return gone;
}

namespace {

HANDLE OpenLock(const std::string& name, DWORD disposition)
{
    return CreateFileA(name.c_str(), GENERIC_READ | GENERIC_WRITE | DELETE, 0, nullptr, disposition,
                       FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
}

}  // namespace

HostFile HostLockTake(const std::string& name, bool& held, bool& leftBehind)
{
    held = false;
    leftBehind = false;
    // Opened without sharing: a second opener, in this process or another,
    // is refused until the holder closes it. Made new, or else opened as it
    // is: opening with "create if missing" would make the file a dangling
    // link leads to.
    DWORD error = ERROR_ACCESS_DENIED;
    for (int attempt = 0; attempt < 100; ++attempt) {
        HANDLE handle = OpenLock(name, CREATE_NEW);
        bool existed = handle == INVALID_HANDLE_VALUE &&
                       (GetLastError() == ERROR_FILE_EXISTS || GetLastError() == ERROR_ALREADY_EXISTS);
        if (existed) handle = OpenLock(name, OPEN_EXISTING);
        if (handle != INVALID_HANDLE_VALUE) {
            // Released by deleting it: a link there would take its target.
            if (!PlainFileItself(handle, name)) {
                RefuseNotPlain(handle);
                return NoHostFile;
            }
            leftBehind = existed;
            return FromHandle(handle);
        }
        error = GetLastError();
        // Gone between the two opens: its holder let go just then.
        if (existed && error == ERROR_FILE_NOT_FOUND) continue;
        if (!Transient(error)) break;
        DWORD attributes = GetFileAttributesA(name.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES) {
            held = !(attributes & FILE_ATTRIBUTE_DIRECTORY);
            if (!held) error = ERROR_CANT_ACCESS_FILE;
            break;
        }
        // Refused, and gone by the next look: its holder was letting go
        // (a file about to be deleted refuses every opener). A folder that
        // refuses new files keeps refusing, and ends the attempts.
    }
    SetLastError(error);
    return NoHostFile;
}

void HostLockRelease(HostFile lock, const std::string&)
{
    DeleteThrough(Handle(lock));
    CloseHandle(Handle(lock));
}
