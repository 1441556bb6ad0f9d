#include "support/reset.h"

#include "runtime/commandline.h"
#include "runtime/files.h"
#include "runtime/hostpath.h"
#include "runtime/rewrite.h"
#include "runtime/text.h"
#include "state/state.h"
#include "support/faults.h"

void ResetGlobalState()
{
    ProgramStateClear();
    ResetCaches();
    FileCloseAll();
    FaultsOff();
    FileFailureClear();
    FolderLockRelease();
    FolderLockSetWait(-1);
    CommandLineSetArguments({});
#ifndef _WIN32
    for (char letter = 'A'; letter <= 'Z'; ++letter) HostPathMapDrive(letter, "");
#endif
    ResetRealization();
}
