#include "helpindex/backups.h"

#include <string>

#include "runtime/files.h"
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
    // silent: the next call tries again.
    for (const Backup& backup : backups) {
        std::string path = State.programFolder + backup.name;
        if (PathSize(path) < 1) FileDuplicate(backup.source, path);
    }
}
