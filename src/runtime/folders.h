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

// The file's bytes, at most `limit` of them, into `bytes` (whose room is
// kept for the next file). 0 when it cannot be read: missing, not a plain
// file, or open for writing here.
int FileReadAll(const std::string& name, std::string& bytes, size_t limit);
