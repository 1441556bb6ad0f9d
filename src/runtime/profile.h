// The private-profile (INI) file. Reading is the platform's function on
// Windows and our own reader elsewhere; writing is our own writer on every
// host, which replaces the file in one step (runtime/rewrite.h).
#pragma once

#include <string>

// The value of key in section, cut to size - 1 bytes, or the default when the
// file, the section or the key is missing. Section and key ignore case; the
// first match wins.
std::string ProfileGetString(const std::string& section, const std::string& key,
                             const std::string& defaultValue, int size, const std::string& fileName);
// Replaces the value in place, or adds the key, the section or the file;
// every other line keeps its bytes. A link there is followed wherever it
// leads (RewriteBeginFollowing). 1 on success; 0 when the file could not be
// written (the failure is noted, runtime/files.h, unless its folder cannot
// be reached) or the text would read back as another key or section.
int ProfileWriteString(const std::string& section, const std::string& key, const std::string& value,
                       const std::string& fileName);

// Between ProfileKeep(1) and ProfileKeep(0) our reader reads a file of up to
// 64 KB once and takes every value asked of it from what it read; a write
// through ProfileWriteString is read again. Start-up asks a dozen values of
// the settings file. (The platform's reader keeps its own.)
void ProfileKeep(int keep);

// Our own reader, with the rules above, for hosts without the platform's:
// the file is read a block at a time, and of each line only its start.
std::string ProfileReadString(const std::string& section, const std::string& key,
                              const std::string& defaultValue, int size, const std::string& fileName);
