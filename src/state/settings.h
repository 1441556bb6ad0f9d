// The settings file "Kelpra.ini" beside the program.
#pragma once

#include <cstdint>
#include <string>

std::string ReadSettingText(const std::string& section, const std::string& key,
                            const std::string& defaultText);
void WriteSettingText(const std::string& section, const std::string& key, const std::string& value);
int32_t ReadSettingInteger(const std::string& section, const std::string& key, int32_t defaultValue);
void WriteSettingInteger(const std::string& section, const std::string& key, int32_t value);
// The folder of the program's own file, ending in "\".
std::string ProgramFolder();
// What start-up reads before anything else: the requester filter, the
// program folder, the settings file and the five settings. Writes nothing.
// A program folder already in State (set by the command-line tool's
// --program-folder, or by a test) is kept; only an empty one is taken from
// ProgramFolder().
void ReadSettings();
