// The one way files of a help folder, the keywords file, display copies and
// the settings file are written: a new version is written beside the file
// under a name of Kelpra's own, flushed to the disk and put in the file's
// place in one step, so that at every instant the file is either its
// complete old or its complete new version. A rewrite never writes through
// a link that leads out of the folder it belongs to, but for the user's own
// files (RewriteBeginFollowing). A failure at any step is noted
// (FileLastFailure, runtime/files.h) and keeps the old version.
//
// Commands that change a help folder hold its lock, so that one Kelpra at a
// time changes it, and first sweep away what an interrupted run left. They
// check before they change anything that every file they will rewrite can
// be rewritten.
#pragma once

#include <string>

// The outcome of a rewrite step.
enum class Rewrite {
    Done,
    // Nothing was written and nothing is noted: the source could not be
    // read, the target's folder or name cannot be reached, or the file is
    // being rewritten under another number.
    Skipped,
    // Refused or failed, noted; the old version stays.
    Failed,
};

// Begins the new version of `target`, which must stay inside `folder`,
// under the file number: it becomes the current file, and its lines are
// written with FileWriteLine.
Rewrite RewriteBegin(int number, const std::string& target, const std::string& folder);
// The same for a file of the user's own rather than a help folder's (the
// settings file, the keywords file): a link there is followed wherever it
// leads, and the file it leads to is rewritten in its own folder.
Rewrite RewriteBeginFollowing(int number, const std::string& target);
// Puts the new version in the target's place (Done), or keeps the old one
// (Failed). FileClose instead drops the new version.
Rewrite RewriteCommit(int number);
// The same for a file made again at every showing (a display copy, a made
// page), which is not waited for on the disk: that wait can take longer than the rest
// of showing a page. After a crash it may be empty or old, never a mix of
// two versions while the machine runs; the next showing makes it again.
Rewrite RewriteCommitUnflushed(int number);
// Copies `source` over `target`, inside `folder`, in the same way.
Rewrite RewriteCopy(const std::string& source, const std::string& target, const std::string& folder);
// Keeps what `source` holds now as `target` (its backup) before `source`
// is rewritten: a second name for the file where the file system allows,
// a copy where not (FileBackup).
Rewrite RewriteBackup(const std::string& source, const std::string& target, const std::string& folder);

// Removes the temporary files of Kelpra's own that an interrupted run left
// in the folder, and nothing else; one still being written, or not yet in
// its place, stays. Only while this Kelpra holds a help folder's lock
// (FolderLockTake), and otherwise not at all: beside a holder, others
// write only display copies and settings.
void RewriteRemoveLeftovers(const std::string& folder);

// 1 when files can be made in the folder; otherwise notes it as a folder
// the user may only read (ReadOnlyFolder) and gives 0. Asked before a
// command that changes a help folder begins, and by FolderLockTake.
int RewriteFolderWritable(const std::string& folder);
// 1 when a new version of `target` may be put in its place inside
// `folder`: it is no link that leads out and no folder or pipe. Otherwise
// notes why and gives 0. Asked before a command changes anything.
int RewritePlaceAllowed(const std::string& target, const std::string& folder);

// Takes the lock of a help folder for this command, waiting a bounded time
// while another Kelpra holds it. 1 when taken; 0 when another Kelpra still
// holds it (noted as Busy) or it cannot be made (noted; as ReadOnlyFolder
// in a folder the user may only read).
int FolderLockTake(const std::string& folder);
void FolderLockRelease();
// 1 while the lock is held and was found left behind by a holder that
// ended without releasing it: this command finishes an interrupted one.
int FolderLockFoundInterrupted();
// How long FolderLockTake waits, in milliseconds (tests shorten it).
void FolderLockSetWait(int milliseconds);
