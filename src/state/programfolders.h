// Where Kelpra keeps its own files.
//
// Portable: everything lies in the program's own folder, as it always has.
// Installed: when that folder is not writable, or the package or installer
// put the program there, Kelpra.ini goes to the per-user settings folder,
// the one-time backups and the copy of Help on Help to the per-user data
// folder, and the templates and HelpMain.htm are read from the installed
// data folder. A program folder that holds a Kelpra.ini always stays
// portable: that file says the user keeps the settings there.
#pragma once

#include <string>

// Settles the program folder (where Kelpra writes), the settings file and
// the data folder (where it reads the templates and HelpMain.htm) for a
// program that stands in `ownFolder`, and makes the per-user folders of an
// installed program. Decided once, at start-up.
void SettleProgramFolders(const std::string& ownFolder);

// 1 when the program runs installed: it writes elsewhere than it reads.
int ProgramInstalled();

// The first run of an installed program, with no help folder configured and
// no Dark Basic help where the default points: the example help folder that
// comes with the program is copied into the per-user folder (once; the copy
// is the user's from then on) and used, with its keywords file, until a
// setting names another. Writes nothing to the settings file.
void UseExampleHelpFolder();

// The page Help on Help shows. An installed program shows a fresh copy in
// the per-user folder, where its display copy can be written beside it.
std::string HelpOnHelpPage();
