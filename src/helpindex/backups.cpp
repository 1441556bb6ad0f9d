#include "helpindex/backups.h"

#include <string>

#include "runtime/files.h"
#include "runtime/rewrite.h"
#include "state/state.h"

void BackupHelpPages()
{
    struct Backup {
        std::string name;
        std::string source;
    };
    const Backup backups[] = {
        {"index.bak", State.helpFolder + "index.htm"},
        {"main.bak", State.helpFolder + "main.htm"},
        {"menu.bak", State.helpFolder + "menu.htm"},
        {"keywords.bak", State.keywordsFile},
    };
    // Only a missing, empty or unusable backup is made, so the backups keep
    // what the files held when the program first saw them. Failures are
    // silent, the next call tries again, and what a command that follows
    // reports as failed begins after them.
    RewriteRemoveLeftovers(State.programFolder);
    for (const Backup& backup : backups) {
        std::string path = State.programFolder + backup.name;
        if (PathSize(path) < 1) RewriteCopy(backup.source, path, State.programFolder);
    }
    FileFailureClear();
}
