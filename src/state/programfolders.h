// Where Kelpra keeps its files, settled once at start-up, and the settings
// start-up reads from there.
//
// Portable: everything lies in the program's own folder, as it always has.
// Installed: when that folder is not writable, or the package or installer
// put the program there, Kelpra.ini goes to the per-user settings folder,
// the one-time backups and the copy of Help on Help to the per-user data
// folder, and the templates and HelpMain.htm are read from the installed
// data folder; nothing is written beside the program. A program folder that
// holds a Kelpra.ini always stays portable: that file says the user keeps
// the settings there.
#pragma once

#include <string>

// The folder of the program's own file, ending in "\".
std::string ProgramFolder();

// Settles the program folder (where Kelpra writes), the settings file and
// the data folder (where it reads the templates and HelpMain.htm) for a
// program that stands in `ownFolder`, and makes the per-user folders of an
// installed program.
void SettleProgramFolders(const std::string& ownFolder);

// What start-up reads before anything else: the requester filter, the
// program and data folders, the settings file and the five settings, and on
// a first run without a help folder the example help folder. Writes nothing
// to the settings file. Folders already in State are kept: a program folder
// alone (the command-line tool's --program-folder, a test) is used portably,
// with the data folder beside it unless one is given too; only an empty one
// is settled from ProgramFolder().
void ReadSettings();

// The page Help on Help shows. An installed program shows a fresh copy in
// the per-user folder, where its display copy can be written beside it.
std::string HelpOnHelpPage();
