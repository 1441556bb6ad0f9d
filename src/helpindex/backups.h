#pragma once

// Makes the one-time backups of the help pages that are still missing.
void BackupHelpPages();
// Before a command changes anything: 1 when every backup still missing can
// be made (its folder can be written), otherwise 0 with that folder noted
// (FileFailureKind::ReadOnlyFolder).
int BackupsCanBeMade();

// Sweeps what interrupted runs left in the help folder and in the folders
// Kelpra keeps its own files in: the backups', the display copies' kept
// away, the settings file's and the keywords file's (and those their links
// lead to). Only a command that holds the help folder's lock sweeps.
void RemoveLeftovers();
