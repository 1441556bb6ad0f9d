// Where a program keeps its files when it cannot keep them beside itself,
// and what the host's folders allow. Paths are Windows-form; folders end in
// "\".
#pragma once

#include <string>
#include <vector>

// The per-user folders of an installed program: where its settings file
// goes, and where everything else it writes goes. Always named: without a
// home the host falls back to what the system knows of the user, so an
// installed program never writes beside itself.
struct UserFolders {
    std::string settingsFolder;
    std::string dataFolder;
};
UserFolders HostUserFolders();

// The folder an installed program reads its data files from, when the
// package or the installer put the program in `programFolder`; "" when the
// program does not stand where an installation puts it.
std::string HostInstalledDataFolder(const std::string& programFolder);

// 1 when a new file can be made in the folder now. Tried, not guessed from
// permission bits: root writes almost anywhere, a read-only medium refuses
// even root.
int FolderWritable(const std::string& folder);

// The plain files and the folders (with a closing "\") directly inside a
// folder, in no set order. Anything else (pipes, devices, links to folders)
// is left out, so a copy of the folder can neither block nor loop.
std::vector<std::string> FolderNames(const std::string& folder);
