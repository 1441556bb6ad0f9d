#include "shell/startup.h"

#include <string>

#include "helpindex/backups.h"
#include "helpindex/contextlist.h"
#include "runtime/window.h"
#include "shell/loop.h"
#include "shell/mainwindow.h"
#include "state/settings.h"
#include "state/state.h"

int RunKelpra()
{
    // A program folder set before the start (by a test) survives the clear;
    // the settings are then read from there.
    const std::string presetProgramFolder = State.programFolder;
    ProgramStateClear();
    State.programFolder = presetProgramFolder;
    RuntimeStart();

    ReadSettings();
    BackupHelpPages();
    BuildContextList();
    if (BuildMainWindow()) RunEventLoop();

    RuntimeEnd();
    return 0;
}
