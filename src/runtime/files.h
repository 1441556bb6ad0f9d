// Text files under small file numbers, line by line, and the file-system
// operations the help pages are maintained with. Names are Windows-form.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

int FileOpenRead(int number, const std::string& name);
int FileCreate(int number, const std::string& name);
// Closes the file under that number. 1 when everything written to it reached
// the disk (or it was only read), 0 when a write failed. A new version of a
// file (FileCreateTemporary) that is closed this way is dropped.
int FileClose(int number);
void FileSelect(int number);
std::string FileReadLine();
// Writes the text and CR LF to the current file. Result: the bytes accepted;
// less than the text's length + 2 when the write failed.
int FileWriteLine(const std::string& text);
// Writes the bytes as they are, without a line end, to the current file;
// 1 when all of them were written.
int FileWriteBytes(const char* data, size_t size);
int FileAtEnd(int number);
// The next line of the file under that number, which becomes current.
std::string FileReadLineFrom(int number);
// Writes the line to the file under that number, which becomes current;
// 1 when it was written whole, 0 when not (a full disk).
int FileWriteLineTo(int number, const std::string& line);

int32_t PathSize(const std::string& path);
// The path with its last name spelled as its folder holds it, where the
// host would otherwise search the folder for it at every use (a name in
// another case on a POSIX host); the path itself elsewhere, or when there
// is nothing to find.
std::string PathAsStored(const std::string& path);
// 1 when both paths lead to one existing file, however each is spelled or
// linked.
int PathSameFile(const std::string& a, const std::string& b);
// Copies the file through a new file beside the target that takes the
// target's place in one step, so the target is never half written. Refused
// when the target is a link that leads out of its own folder.
int FileDuplicate(const std::string& source, const std::string& target);
int FileRemove(const std::string& name);
int FileRename(const std::string& oldName, const std::string& newName);
int FolderMake(const std::string& path);

// The end routine: closes every open file.
void FileCloseAll();

// New versions of files (runtime/rewrite.h builds on these): a new file
// beside `writeTo` under a name of Kelpra's own, open for writing under the
// number, which becomes current; failures are reported under `target`, the
// name the user knows. 0 when it cannot be made (noted as a failure).
int FileCreateTemporary(int number, const std::string& target, const std::string& writeTo);
// Where a new version of `target` may be written (`writeTo`): the target, or
// the file a link inside `folder` leads to. 1 when it may; 0 when its folder
// or name cannot be reached (nothing noted); -1 when it is refused: a link
// that leads out of `folder`, or no plain file (noted).
int FilePlace(const std::string& target, const std::string& folder, std::string& writeTo);
// The same for a file of the user's own (the settings file, the keywords
// file), whose links are followed wherever they lead: `writeTo` is the file
// at their end, rewritten in its own folder.
int FileFollowPlace(const std::string& target, std::string& writeTo);
// Copies as FileDuplicate does, into a target that stays inside `folder`:
// 1 copied, or nothing to copy as the two are one file by whatever name;
// 0 nothing written, as the source cannot be read or the target's folder
// reached; -1 the copy failed or was refused (noted).
int FileCopy(const std::string& source, const std::string& target, const std::string& folder);
// The same for a backup of a file that is about to be replaced: where the
// file system allows, the backup is a second name for the file itself, so
// nothing is copied; the file then takes its new version in one step and
// the backup keeps the old one.
int FileBackup(const std::string& source, const std::string& target, const std::string& folder);
// Puts the new version under the number in the place of `writeTo`: what is
// buffered is written, the file is flushed to the disk (unless `toDisk` is
// 0), takes the place in one step and is closed. 1 when every step
// succeeded; 0 when one failed (noted), and then the old version is still in
// place and the new one gone.
int FileCommit(int number, int toDisk);
// 1 when a new version of that file is being written under some number.
int FileBeingRewritten(const std::string& writeTo);

// What failed first since the last FileFailureClear: the writes, flushes,
// closes, renames and removals of the operations above, and what the
// rewrite service refuses. Kept so that a command can say which file could
// not be written and why.
// ReadOnlyFolder: `file` is a folder in which nothing can be made, or a
// file in such a folder, found before a command changed anything.
// Reserved: `file` would take the name of a file the command works with.
enum class FileFailureKind { None, System, LeadsOut, NotAFile, Busy, ReadOnlyFolder, Reserved };
struct FileFailure {
    FileFailureKind kind = FileFailureKind::None;
    std::string file;    // Windows form
    std::string reason;  // the system's words, for System
    int oldVersion = 0;  // 1 when the file was there, and so its old version stays
};
const FileFailure& FileLastFailure();
void FileFailureClear();
// Notes a failure of `file` unless an earlier one is already noted; for
// System, the reason is the host's for its last failed primitive.
void FileFailureNote(FileFailureKind kind, const std::string& file);

// Once at the start of a program, before any file work.
void FileServicesStart();
