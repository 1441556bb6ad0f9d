// Folder listings and whole-file reads: how the full-text search and the
// help-folder check take in a whole help folder. Names are Windows-form.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <unordered_map>
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

// Folders watched under a number for changes to what they hold (files
// written, made, removed, renamed), so that a caller need not list them
// again to know they are as they were. 0 when the host cannot be sure to
// hear of every change to them; they are then not watched.
int FolderWatch(int number, const std::vector<std::string>& folders);
// 1 when anything in the folders may have changed since they were watched
// or last asked about, and always when they are not watched.
int FolderChanged(int number);
void FolderWatchEnd(int number);

// Whether something is at each of many paths into few folders, asking the
// host once per folder: its names are listed at the first path into it and
// looked up from then on, as the host would resolve them (the name as
// given, then in UTF-8, then without regard to case). For one piece of work
// over folders that do not change meanwhile, such as the links of one page.
struct LookedUpName {
    std::string name;  // as the host names it
    std::string key;   // TextMatchKey, made when first needed
    int plain = 0;     // a file or a folder, not a link to one, a pipe or a device
};
struct LookedUpFolder {
    int state = 0;  // 1 listed; 0 nothing there to hold names; -1 unlisted: the host is asked per name
    std::vector<LookedUpName> names;
    // Hash tables of places in names (counted from 1; 0 is a free slot), by
    // name and by key; the second made when first needed.
    std::vector<uint32_t> byName;
    std::vector<uint32_t> byKey;
};
struct PathLookup {
    std::unordered_map<std::string, LookedUpFolder> folders;
    std::unordered_map<std::string, int> paths;  // asked of the host one by one
};
// 1 when PathSize(path) would not be -1.
int PathLookupExists(PathLookup& lookup, const std::string& path);
