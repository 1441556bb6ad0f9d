#include "state/programfolders.h"

#include "runtime/files.h"
#include "runtime/install.h"
#include "runtime/program.h"
#include "runtime/text.h"
#include "state/settings.h"
#include "state/state.h"
#include "state/texts.h"

namespace {

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
// file that is there already, so a second call finishes an interrupted one.
// 0 when a file could not be written.
int FolderCopyMissing(const std::string& source, const std::string& target)
{
    FolderMakeAll(target);
    if (PathSize(target) != -2) return 0;
    for (const std::string& name : FolderNames(source)) {
        if (name.back() == '\\') {
            if (!FolderCopyMissing(source + name, target + name)) return 0;
        } else if (PathSize(target + name) < 0 && FileCopy(source + name, target + name, target) < 0) {
            return 0;
        }
    }
    return 1;
}

// The example help folder that comes with the program, copied once into
// `copy`: built under a name of its own and given its name when whole, so
// an interrupted copy is finished by the next start, and a copy once made
// is the user's (what they delete stays deleted).
int ExamplesCopied(const std::string& copy)
{
    if (PathSize(copy) == -2) return 1;
    const std::string examples = State.dataFolder + "examples\\";
    if (PathSize(examples + "help\\index.htm") < 0) return 0;
    const std::string partial = State.programFolder + ".kelpra-examples-copying";
    return FolderCopyMissing(examples, partial + "\\") &&
           FileRename(partial, copy.substr(0, copy.size() - 1));
}

// A first run with no help folder configured and no Dark Basic help where
// the default points: the example help folder is used, with its keywords
// file, until a setting names another. An installed program uses its
// per-user copy, a portable one the examples beside it.
void UseExampleHelpFolder()
{
    if (!ReadSettingText("Setup", "Help", "").empty()) return;
    if (PathSize(State.helpFolder + "index.htm") >= 0) return;
    const std::string copy = State.programFolder + "examples\\";
    if (!ExamplesCopied(copy) || PathSize(copy + "help\\index.htm") < 0) return;
    State.helpFolder = copy + "help\\";
    if (ReadSettingText("Setup", "keywords", "").empty()) State.keywordsFile = copy + "keywords.txt";
}

}  // namespace

std::string ProgramFolder()
{
    return PathFolderPart(ModuleFileName());
}

void SettleProgramFolders(const std::string& ownFolder)
{
    const std::string installedData = HostInstalledDataFolder(ownFolder);
    if (PathSize(ownFolder + SettingsFileName) >= 0 || (installedData.empty() && FolderWritable(ownFolder))) {
        State.programFolder = ownFolder;
        State.dataFolder = ownFolder;
        State.settingsFile = ownFolder + SettingsFileName;
        return;
    }
    const UserFolders user = HostUserFolders();
    State.programFolder = user.dataFolder;
    State.settingsFile = user.settingsFolder + SettingsFileName;
    // A read-only copy of the portable program still has its data beside it.
    State.dataFolder = installedData.empty() ? ownFolder : installedData;
    FolderMakeAll(user.settingsFolder);
    FolderMakeAll(user.dataFolder);
}

void ReadSettings()
{
    State.fileFilter = FileFilter;
    if (State.programFolder.empty()) {
        SettleProgramFolders(ProgramFolder());
    } else if (State.settingsFile.empty()) {
        if (State.dataFolder.empty()) State.dataFolder = State.programFolder;
        State.settingsFile = State.programFolder + SettingsFileName;
    }
    State.helpFolder = DefaultHelpFolder;
    State.helpFolder = ReadSettingText("Setup", "Help", State.helpFolder);
    State.sourceViewer = ReadSettingText("Setup", "DBA", DefaultViewer);
    State.htmlEditor = ReadSettingText("Setup", "HTML", DefaultViewer);
    State.commandLineFlag = ReadSettingInteger("Setup", "UseCL", 0);
    State.keywordsFile = ReadSettingText("Setup", "keywords", DefaultKeywordsFile);
    UseExampleHelpFolder();
}

std::string HelpOnHelpPage()
{
    std::string page = State.programFolder + "HelpMain.htm";
    if (!TextEquals(State.dataFolder, State.programFolder))
        FileDuplicate(State.dataFolder + "HelpMain.htm", page);
    return page;
}
