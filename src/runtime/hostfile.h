// The host's file primitives under the file services (files.cpp), which keep
// file numbers, buffering, line rules and failure reporting the same on
// every host. Names are Windows-form. The sharing rules are part of opening:
// a file open for reading may be read again but not written, replaced,
// renamed or removed; a file open for writing may be none of these. Windows
// enforces them itself; elsewhere these primitives keep them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Kelpra's own temporary files: a name no help page has, hidden on a POSIX
// host, with six letters or digits after it.
constexpr char HostTemporaryPrefix[] = ".kelpra-new-";

using HostFile = intptr_t;
constexpr HostFile NoHostFile = -1;

// An existing plain file, for reading. Anything else standing there (a
// folder, a named pipe, a device) is refused at once, without waiting for it.
HostFile HostFileOpenRead(const std::string& name);
// A plain file for writing, created or emptied.
HostFile HostFileCreate(const std::string& name);
// A new empty file for writing beside `beside` (in the same folder), under
// a fresh name of Kelpra's own given back in `temporaryName`, with the
// permissions of `permissionsOf` when that file exists. It is never opened
// through a link, never replaces anything, and from the moment it has its
// name until it is closed no leftover sweep (HostFileRemoveLeftover) takes
// it for one.
HostFile HostFileCreateTemporary(const std::string& beside, const std::string& permissionsOf,
                                 std::string& temporaryName);
// Puts the temporary file written under `file` in the place of `to` in one
// step (as HostFileReplace) and closes it, so that it is never left open to
// a sweep between the two. false when it could not take the place; the
// file is closed either way.
bool HostFileCommit(HostFile file, const std::string& temporaryName, const std::string& to);
// A second name for the plain file `existing` (not a link), beside
// `beside`, under a fresh name of Kelpra's own: a backup that costs no
// copy, for a file that is only ever replaced, never changed in place. The
// handle given back keeps the new name from a leftover sweep until it is
// closed (HostFileClose), once the name has been put in its place.
// NoHostFile when the file system cannot give one.
HostFile HostFileLinkTemporary(const std::string& existing, const std::string& beside,
                               std::string& temporaryName);
// Bytes read into the buffer; 0 at the end of the file or on an error.
size_t HostFileRead(HostFile file, char* buffer, size_t size);
// Back to the first byte.
bool HostFileRewind(HostFile file);
// Writes all the bytes; false when not all of them could be written.
bool HostFileWrite(HostFile file, const char* data, size_t size);
// Puts what was written on the disk itself (fsync, FlushFileBuffers).
bool HostFileFlush(HostFile file);
// false when the close lost written data.
bool HostFileClose(HostFile file);

// The size of the file at that name (low 32 bits); -1 when nothing is there,
// -2 for a folder.
int32_t HostFileSize(const std::string& name);
// Puts `from` in the place of `to` in one step, replacing a plain file
// there (on Windows with write-through).
bool HostFileReplace(const std::string& from, const std::string& to);
// true when both names lead to one existing plain file: the same name
// spelled otherwise, a link to it, or a second name of it.
bool HostFileSame(const std::string& a, const std::string& b);
// Renames or moves a file; never replaces one. A change of case only is a
// rename of the file itself.
bool HostFileRename(const std::string& oldName, const std::string& newName);
// Where a file system takes no change of case in one rename (Wine's), the
// file goes by its new name and this for the moment between two renames;
// the leftover sweep (RewriteRemoveLeftovers) names a file left so back.
constexpr const char* HostCaseRenameSuffix = ".kelpra-case";
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
// The system's own words for why the last primitive failed.
std::string HostFileErrorText();
// Makes the next HostFileErrorText tell of a full disk, or of an input or
// output error: what a refused operation of a test build reports.
void HostFileErrorSimulate(bool diskFull);
// Once, before any file work: a limit on the size of files becomes an
// ordinary write error instead of ending the program.
void HostFileStart();

// Why a file may not be written where it is asked to be.
enum class HostPlace { Fine, LeadsOut, NotAFile, Unreachable };
// Where a new version of `target` is to be written: the target itself, or,
// when it is a link that stays inside `folder`, the file it leads to
// (`writeTo`, Windows-form). A target that is, or lies behind, a link that
// leads out of `folder`, or that is something other than a plain file, is
// refused.
HostPlace HostFileWritePlace(const std::string& target, const std::string& folder, std::string& writeTo);
// The same for a file of the user's own that may be a link to anywhere (a
// settings file kept with the user's other ones): the file its links lead
// to, which need not exist yet, in Windows form. Refused when that is
// something other than a plain file.
HostPlace HostFileFollowPlace(const std::string& target, std::string& writeTo);

// Removes a temporary file that its writer left behind; one that a program
// is still writing, or has not yet put in its place, stays. true when it
// was removed.
bool HostFileRemoveLeftover(const std::string& name);

// A lock file that one process at a time may hold, between processes and
// within one. `name` is created when missing; `leftBehind` tells whether it
// was already there unheld (a holder ended without releasing it).
// NoHostFile when it is held elsewhere (`held`) or cannot be made.
HostFile HostLockTake(const std::string& name, bool& held, bool& leftBehind);
// Removes the lock file and lets the next holder in.
void HostLockRelease(HostFile lock, const std::string& name);
