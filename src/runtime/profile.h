// The private-profile (INI) file: the platform's functions on Windows, our
// own reader and writer elsewhere, with the same rules for what we rely on.
#pragma once

#include <string>

// The value of key in section, cut to size - 1 bytes, or the default when the
// file, the section or the key is missing. Section and key ignore case; the
// first match wins.
std::string ProfileGetString(const std::string& section, const std::string& key,
                             const std::string& defaultValue, int size, const std::string& fileName);
// Replaces the value in place, or adds the key, the section or the file.
// 1 on success.
int ProfileWriteString(const std::string& section, const std::string& key, const std::string& value,
                       const std::string& fileName);
