#include "state/programfolders.h"

#include <vector>

#include "runtime/files.h"
#include "runtime/install.h"
#include "runtime/text.h"
#include "state/settings.h"
#include "state/state.h"

namespace {

void UsePortable(const std::string& folder)
{
    State.programFolder = folder;
    State.dataFolder = folder;
    State.settingsFile = folder + SettingsFileName;
}

// Makes a folder and the missing folders above it.
void FolderMakeAll(const std::string& folder)
{
    if (folder.empty() || PathSize(folder) == -2) return;
    std::string parent = folder;
    while (!parent.empty() && parent.back() == '\\') parent.pop_back();
    parent = PathFolderPart(parent);
    // A drive root ("C:\") or a bare name: nothing above to make.
    if (parent.size() > 3) FolderMakeAll(parent);
    FolderMake(folder);
}

// Copies a folder's plain files and folders into `target`, keeping every
// file that is there already: the copy is the user's once it is made.
void FolderCopyMissing(const std::string& source, const std::string& target)
{
    FolderMakeAll(target);
    for (const std::string& name : FolderNames(source)) {
        if (name.back() == '\\') {
            FolderCopyMissing(source + name, target + name);
        } else if (PathSize(target + name) < 0) {
            FileDuplicate(source + name, target + name);
        }
    }
}

}  // namespace

void SettleProgramFolders(const std::string& ownFolder)
{
    const std::string installedData = HostInstalledDataFolder(ownFolder);
    const bool portable =
        PathSize(ownFolder + SettingsFileName) >= 0 || (installedData.empty() && FolderWritable(ownFolder));
    const UserFolders user = HostUserFolders();
    if (portable || user.settingsFolder.empty()) {
        UsePortable(ownFolder);
        return;
    }
    State.programFolder = user.dataFolder;
    State.settingsFile = user.settingsFolder + SettingsFileName;
    // A read-only copy of the portable program still has its data beside it.
    State.dataFolder = installedData.empty() ? ownFolder : installedData;
    FolderMakeAll(user.settingsFolder);
    FolderMakeAll(user.dataFolder);
}

int ProgramInstalled()
{
    return TextEquals(State.programFolder, State.dataFolder) ? 0 : 1;
}

void UseExampleHelpFolder()
{
    if (!ProgramInstalled() || !ReadSettingText("Setup", "Help", "").empty()) return;
    if (PathSize(State.helpFolder + "index.htm") >= 0) return;
    const std::string examples = State.dataFolder + "examples\\";
    if (PathSize(examples + "help\\index.htm") < 0) return;

    const std::string copy = State.programFolder + "examples\\";
    FolderCopyMissing(examples, copy);
    State.helpFolder = copy + "help\\";
    if (ReadSettingText("Setup", "keywords", "").empty()) State.keywordsFile = copy + "keywords.txt";
}

std::string HelpOnHelpPage()
{
    std::string page = State.programFolder + "HelpMain.htm";
    if (ProgramInstalled()) FileDuplicate(State.dataFolder + "HelpMain.htm", page);
    return page;
}
