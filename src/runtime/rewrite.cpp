#include "runtime/rewrite.h"

#include <algorithm>
#include <chrono>
#include <thread>
#include <vector>

#include "runtime/files.h"
#include "runtime/hostfile.h"
#include "runtime/install.h"

namespace {

constexpr int DefaultLockWait = 10000;
constexpr int LockRetry = 50;

struct HeldLock {
    HostFile handle = NoHostFile;
    std::string name;
    bool interrupted = false;
};

HeldLock heldLock;
int lockWait = DefaultLockWait;

std::string Within(const std::string& folder, const std::string& name)
{
    if (folder.empty() || folder.back() == '\\' || folder.back() == '/') return folder + name;
    return folder + "\\" + name;
}

bool IsNameCharacter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

// The temporary names of the file services (HostTemporaryPrefix and six
// letters or digits), and ".kelpra-copy-" and the writability probe's
// ".kelpra-probe-" as earlier versions named theirs.
bool IsLeftoverName(const std::string& name)
{
    for (const std::string prefix : {HostTemporaryPrefix, ".kelpra-copy-", ".kelpra-probe-"}) {
        if (name.size() != prefix.size() + 6 || name.compare(0, prefix.size(), prefix) != 0) continue;
        bool letters = true;
        for (size_t i = prefix.size(); i < name.size(); ++i) letters = letters && IsNameCharacter(name[i]);
        if (letters) return true;
    }
    return false;
}

Rewrite CopyOutcome(int copied)
{
    return copied > 0 ? Rewrite::Done : copied == 0 ? Rewrite::Skipped : Rewrite::Failed;
}

// Begins the new version of `target` at the place found for it (FilePlace).
Rewrite BeginAt(int number, const std::string& target, int place, const std::string& writeTo)
{
    if (place < 0) return Rewrite::Failed;
    // A file open for writing is not written again: as on Windows, the
    // second writer is refused and the first one's file stays intact.
    if (place == 0 || FileBeingRewritten(writeTo)) return Rewrite::Skipped;
    return FileCreateTemporary(number, target, writeTo) ? Rewrite::Done : Rewrite::Failed;
}

}  // namespace

Rewrite RewriteBegin(int number, const std::string& target, const std::string& folder)
{
    std::string writeTo;
    const int place = FilePlace(target, folder, writeTo);
    return BeginAt(number, target, place, writeTo);
}

Rewrite RewriteBeginFollowing(int number, const std::string& target)
{
    std::string writeTo;
    const int place = FileFollowPlace(target, writeTo);
    return BeginAt(number, target, place, writeTo);
}

Rewrite RewriteCommit(int number)
{
    return FileCommit(number, 1) ? Rewrite::Done : Rewrite::Failed;
}

Rewrite RewriteCommitUnflushed(int number)
{
    return FileCommit(number, 0) ? Rewrite::Done : Rewrite::Failed;
}

Rewrite RewriteCopy(const std::string& source, const std::string& target, const std::string& folder)
{
    return CopyOutcome(FileCopy(source, target, folder));
}

Rewrite RewriteBackup(const std::string& source, const std::string& target, const std::string& folder)
{
    return CopyOutcome(FileBackup(source, target, folder));
}

void RewriteRemoveLeftovers(const std::string& folder)
{
    if (heldLock.handle == NoHostFile) return;
    std::vector<HostFolderEntry> entries;
    HostFolderList(folder, entries, false);
    const std::string caseSuffix = HostCaseRenameSuffix;
    for (const HostFolderEntry& entry : entries) {
        if (IsLeftoverName(entry.name)) HostFileRemoveLeftover(Within(folder, entry.name));
        // A change of case cut off between its two renames: the file gets
        // its own name back, unless a file has taken that name since.
        const size_t stem = entry.name.size() - std::min(entry.name.size(), caseSuffix.size());
        if (stem > 0 && entry.kind == HostEntryKind::File &&
            entry.name.compare(stem, std::string::npos, caseSuffix) == 0)
            HostFileRename(Within(folder, entry.name), Within(folder, entry.name.substr(0, stem)));
    }
}

int RewriteFolderWritable(const std::string& folder)
{
    if (FolderWritable(folder)) return 1;
    FileFailureNote(FileFailureKind::ReadOnlyFolder, folder);
    return 0;
}

int RewritePlaceAllowed(const std::string& target, const std::string& folder)
{
    std::string writeTo;
    return FilePlace(target, folder, writeTo) >= 0 ? 1 : 0;
}

int FolderLockTake(const std::string& folder)
{
    FolderLockRelease();
    const std::string name = Within(folder, ".kelpra-lock");
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(lockWait);
    for (;;) {
        bool held = false;
        bool leftBehind = false;
        HostFile lock = HostLockTake(name, held, leftBehind);
        if (lock != NoHostFile) {
            heldLock = {lock, name, leftBehind};
            return 1;
        }
        if (!held) {
            if (RewriteFolderWritable(folder)) FileFailureNote(FileFailureKind::System, name);
            return 0;
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            FileFailureNote(FileFailureKind::Busy, folder);
            return 0;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(LockRetry));
    }
}

void FolderLockRelease()
{
    if (heldLock.handle != NoHostFile) HostLockRelease(heldLock.handle, heldLock.name);
    heldLock = HeldLock{};
}

int FolderLockFoundInterrupted()
{
    return heldLock.handle != NoHostFile && heldLock.interrupted ? 1 : 0;
}

void FolderLockSetWait(int milliseconds)
{
    lockWait = milliseconds < 0 ? DefaultLockWait : milliseconds;
}
