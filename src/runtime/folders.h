// Folder listings and whole-file reads: how the full-text search and the
// help-folder check take in a whole help folder. Names are Windows-form.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct FolderEntry {
    std::string name;
    int isFolder = 0;
    int64_t size = 0;
    int64_t time = 0;  // only compared: it changes when the file is written or replaced
};

// The plain files and the folders directly inside a folder, in name order
// without regard to case. Links to folders, pipes and devices are left out,
// so a walk over the tree neither loops nor waits. 0 when the folder cannot
// be read.
int FolderList(const std::string& folder, std::vector<FolderEntry>& entries);
// The same without sizes and times (left 0): quicker where only the names
// and what they are matter.
int FolderNames(const std::string& folder, std::vector<FolderEntry>& entries);

// A folder held open under a number (as files are) while the files in it are
// read one after another by name: cheaper than naming each by its whole
// path. Opening under a number in use closes the folder there. 0 when the
// folder cannot be opened.
int FolderOpen(int number, const std::string& folder);
// The whole of a file directly in the folder under that number, at most
// `limit` bytes, into `bytes` (whose room is kept for the next file). 0 when
// it cannot be read: missing, not a plain file (a pipe is not waited on), or
// open for writing here.
int FolderReadFile(int number, const std::string& name, std::string& bytes, size_t limit);
void FolderClose(int number);
// The same for a single file named by its whole path.
int FileReadAll(const std::string& name, std::string& bytes, size_t limit);
