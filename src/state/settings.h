// The settings file "Kelpra.ini" beside the program.
#pragma once

#include <cstdint>
#include <string>

// The settings file's name, in whichever folder it lies.
constexpr char SettingsFileName[] = "Kelpra.ini";

std::string ReadSettingText(const std::string& section, const std::string& key,
                            const std::string& defaultText);
void WriteSettingText(const std::string& section, const std::string& key, const std::string& value);
int32_t ReadSettingInteger(const std::string& section, const std::string& key, int32_t defaultValue);
void WriteSettingInteger(const std::string& section, const std::string& key, int32_t value);
// The folder of the program's own file, ending in "\".
std::string ProgramFolder();
// What start-up reads before anything else: the requester filter, the
// program and data folders, the settings file and the five settings, and on
// an installed program's first run the example help folder. Writes nothing
// to the settings file. Folders already in State are kept: a program folder
// alone (the command-line tool's --program-folder, a test) is used portably,
// with the data folder beside it unless one is given too; only an empty one
// is settled from ProgramFolder().
void ReadSettings();
