#include "helpindex/backups.h"

#include <string>
#include <vector>

#include "helpindex/displaycopy.h"
#include "runtime/files.h"
#include "runtime/rewrite.h"
#include "runtime/text.h"
#include "state/state.h"

namespace {

struct Backup {
    std::string path;
    std::string source;
};

std::vector<Backup> OneTimeBackups()
{
    const std::string& folder = State.programFolder;
    return {
        {folder + "index.bak", State.helpFolder + "index.htm"},
        {folder + "main.bak", State.helpFolder + "main.htm"},
        {folder + "menu.bak", State.helpFolder + "menu.htm"},
        {folder + "keywords.bak", State.keywordsFile},
    };
}

// Only a missing, empty or unusable backup is made, so the backups keep
// what the files held when the program first saw them.
bool Missing(const Backup& backup)
{
    return PathSize(backup.path) < 1;
}

// The folder of the file, and the one its links lead to when that is
// another: a rewrite writes its new version there.
void RemoveLeftoversBeside(const std::string& file)
{
    const std::string folder = PathFolderPart(file);
    RewriteRemoveLeftovers(folder);
    std::string writeTo;
    if (FileFollowPlace(file, writeTo) > 0 && !TextEquals(PathFolderPart(writeTo), folder))
        RewriteRemoveLeftovers(PathFolderPart(writeTo));
}

}  // namespace

void BackupHelpPages()
{
    // Failures are silent, the next call tries again, and what a command
    // that follows reports as failed begins after them.
    for (const Backup& backup : OneTimeBackups())
        if (Missing(backup)) RewriteCopy(backup.source, backup.path, State.programFolder);
    FileFailureClear();
}

int BackupsCanBeMade()
{
    for (const Backup& backup : OneTimeBackups())
        if (Missing(backup) && PathSize(backup.source) >= 0)
            return RewriteFolderWritable(State.programFolder);
    return 1;
}

void RemoveLeftovers()
{
    RewriteRemoveLeftovers(State.helpFolder);
    RewriteRemoveLeftovers(State.programFolder);
    RewriteRemoveLeftovers(DisplayCopyAwayFolder());
    RemoveLeftoversBeside(State.settingsFile);
    RemoveLeftoversBeside(State.keywordsFile);
    FileFailureClear();
}
