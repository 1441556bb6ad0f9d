#include "shell/startup.h"

#include <string>

#include "helpindex/backups.h"
#include "helpindex/contextlist.h"
#include "helpindex/displaycopy.h"
#include "helpindex/typeahead.h"
#include "pages/pagecache.h"
#include "runtime/files.h"
#include "runtime/profile.h"
#include "runtime/window.h"
#include "shell/loop.h"
#include "shell/mainwindow.h"
#include "shell/singlewindow.h"
#include "shell/viewcommands.h"
#include "state/programfolders.h"
#include "state/state.h"
#include "state/view.h"

int RunKelpra()
{
    // Program and data folders set before the start (by a test) survive the
    // clear; the settings are then read from there.
    const std::string presetProgramFolder = State.programFolder;
    const std::string presetDataFolder = State.dataFolder;
    ProgramStateClear();
    FullTextReset();
    TypeAheadReset();
    DisplayCopyReset();
    State.programFolder = presetProgramFolder;
    State.dataFolder = presetDataFolder;
    RuntimeStart();
    FileServicesStart();

    // One read of the settings file serves every value start-up asks.
    ProfileKeep(1);
    ReadSettings();
    ReadViewSettings();
    ProfileKeep(0);
    // Before anything is read or written: a second start only hands over.
    if (HandOverToRunningWindow()) {
        RuntimeEnd();
        return 0;
    }
    BackupHelpPages();
    BuildContextList();
    if (BuildMainWindow()) {
        ListenForHandOvers();
        RunEventLoop();
        RememberWindowPlace();
    }
    // Nothing of the run stays watched.
    FullTextReset();
    DisplayCopyReset();

    RuntimeEnd();
    return 0;
}
