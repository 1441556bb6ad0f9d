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

// Maps a drive letter onto a host folder ("" removes the mapping).
void HostPathMapDrive(char letter, const std::string& hostFolder);

// 1 when the drive letter is mapped to an existing folder.
int HostPathDriveExists(char letter);
