// The host's file primitives under the file services (files.cpp), which keep
// file numbers, buffering, line rules and write-failure reporting the same on
// every host. Names are Windows-form. The sharing rules are part of opening:
// a file open for reading may be read again but not written, replaced,
// renamed or removed; a file open for writing may be none of these. Windows
// enforces them itself; elsewhere these primitives keep them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

using HostFile = intptr_t;
constexpr HostFile NoHostFile = -1;

// An existing plain file, for reading.
HostFile HostFileOpenRead(const std::string& name);
// A plain file for writing, created or emptied.
HostFile HostFileCreate(const std::string& name);
// A new empty file for writing in the folder of `target`, under a fresh name
// given back in `temporaryName`, with the permissions of `source`: where a
// copy is written before it takes the target's place.
HostFile HostFileCreateCopy(HostFile source, const std::string& target, std::string& temporaryName);
// Bytes read into the buffer; 0 at the end of the file or on an error.
size_t HostFileRead(HostFile file, char* buffer, size_t size);
// Writes all the bytes; false when not all of them could be written.
bool HostFileWrite(HostFile file, const char* data, size_t size);
// false when the close lost written data.
bool HostFileClose(HostFile file);

// The size of the file at that name (low 32 bits); -1 when nothing is there,
// -2 for a folder.
int32_t HostFileSize(const std::string& name);
// Puts `from` in the place of `to`, replacing a plain file there.
bool HostFileReplace(const std::string& from, const std::string& to);
// Renames or moves a file; never replaces one. A change of case only is a
// rename of the file itself.
bool HostFileRename(const std::string& oldName, const std::string& newName);
bool HostFileRemove(const std::string& name);
// One new folder; its parent must exist.
bool HostFolderMake(const std::string& name);

// One entry of a folder listing, under the name the host has for it.
enum class HostEntryKind { File, Folder, Other };
struct HostFolderEntry {
    std::string name;
    HostEntryKind kind = HostEntryKind::Other;
    int64_t size = 0;
    // The later of the last write and the entry's own change (a file put in
    // place by a rename or a copy that kept its write time): only compared.
    int64_t time = 0;
};

// The entries directly inside a folder, in no particular order, without "."
// and "..". A link to a folder, a pipe or a device is Other, so nothing
// walks into a loop or waits on a pipe; a link to a file is that file.
// Names Windows could not spell are left out. Sizes and times only when
// asked for: without them most entries need no look of their own. false
// when the folder cannot be read.
bool HostFolderList(const std::string& name, std::vector<HostFolderEntry>& entries, bool sizes);

// A folder held open, so that the files in it are opened by their names
// alone rather than each by its whole path.
using HostFolder = intptr_t;
constexpr HostFolder NoHostFolder = -1;
HostFolder HostFolderOpen(const std::string& name);
void HostFolderClose(HostFolder folder);
// The whole of a plain file directly in the folder, at most `limit` bytes of
// it, into `bytes`; the name is matched without regard to case when it is
// not there as given. false when it cannot be read (missing, not a plain
// file, or open for writing here); a pipe is not waited on.
bool HostFileReadAllIn(HostFolder folder, const std::string& name, std::string& bytes, size_t limit);
