// Windows-form paths onto the host file system, and back.
//
// Everything above the runtime speaks Windows paths ("C:\Help\index.htm").
// On a POSIX host a drive letter is a folder: Z: is "/", other letters come
// from the Wine prefix's dosdevices, and tests map their own. Each component
// is matched without regard to case when the exact name is missing, so
// "Index.htm" and "index.htm" are one file, as on Windows.
#pragma once

#include <string>

// The host path for a Windows-form path, or "" when the path cannot name a
// file (unknown drive, a name Windows refuses). Missing components keep the
// case they were given, so a new file is created under the name asked for.
std::string HostPathFromWindows(const std::string& windowsPath);

// The Windows form of a host path (absolute or relative to the current
// folder), through the drive map; a folder keeps a closing "\" only when the
// host path had a closing "/".
std::string WindowsPathFromHost(const std::string& hostPath);

// The host path to hand another program for a Windows-form path: as
// HostPathFromWindows, but a name Windows refuses is kept (a Linux file may
// well be called "a|b.dba"). Never used to open a file.
std::string HostPathForProgram(const std::string& windowsPath);

// Maps a drive letter onto a host folder ("" removes the mapping).
void HostPathMapDrive(char letter, const std::string& hostFolder);

// 1 when the drive letter is mapped to an existing folder.
int HostPathDriveExists(char letter);

// 1 when a name the folder does not hold as it is may still name a file as
// this layer finds it: in UTF-8, then without regard to case as
// TextMatchKey compares (a POSIX host); 0 where the system's own rules
// decide (Windows folds case by its own table, in its code page).
int HostPathFindsAsText();

// A text of the program as the host takes it (printed, handed to another
// program) and a text of the host's as the program keeps it (an argument):
// UTF-8 and Windows-1252 on a POSIX host; on Windows nothing changes.
std::string HostTextFromProgram(const std::string& text);
std::string ProgramTextFromHost(const std::string& text);
