// File primitives on the Windows API. The sharing rules come from the share
// modes themselves: every file is opened sharing for reading only, and
// nothing is opened with delete sharing.
#include "runtime/hostfile.h"

#include <windows.h>

#include <algorithm>

namespace {

HANDLE Handle(HostFile file)
{
    return reinterpret_cast<HANDLE>(file);
}

HostFile FromHandle(HANDLE handle)
{
    return handle == INVALID_HANDLE_VALUE ? NoHostFile : reinterpret_cast<HostFile>(handle);
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
    return FromHandle(CreateFileA(name.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
}

HostFile HostFileCreate(const std::string& name)
{
    HANDLE handle = OpenForWriting(name, CREATE_ALWAYS);
    // CREATE_ALWAYS refuses an existing hidden or system file; emptying it
    // in place still works.
    if (handle == INVALID_HANDLE_VALUE) handle = OpenForWriting(name, TRUNCATE_EXISTING);
    return FromHandle(handle);
}

HostFile HostFileCreateCopy(HostFile, const std::string& target, std::string& temporaryName)
{
    if (target.empty() || target.back() == '\\' || target.back() == '/') return NoHostFile;
    size_t slash = target.find_last_of("\\/");
    std::string folder = slash == std::string::npos ? "." : target.substr(0, slash + 1);
    char name[MAX_PATH + 16];
    if (!GetTempFileNameA(folder.c_str(), "klp", 0, name)) return NoHostFile;
    HANDLE handle = OpenForWriting(name, TRUNCATE_EXISTING);
    if (handle == INVALID_HANDLE_VALUE) {
        DeleteFileA(name);
        return NoHostFile;
    }
    temporaryName = name;
    return FromHandle(handle);
}

size_t HostFileRead(HostFile file, char* buffer, size_t size)
{
    DWORD wanted = size > 0x40000000 ? 0x40000000 : static_cast<DWORD>(size);
    DWORD got = 0;
    if (!ReadFile(Handle(file), buffer, wanted, &got, nullptr)) return 0;
    return got;
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

bool HostFileClose(HostFile file)
{
    return CloseHandle(Handle(file)) != 0;
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
    return MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
}

bool HostFileRename(const std::string& oldName, const std::string& newName)
{
    return MoveFileA(oldName.c_str(), newName.c_str()) != 0;
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
