// The settings file "Kelpra.ini": its four operations. Where the file lies
// is settled at start-up (state/programfolders.h).
#pragma once

#include <cstdint>
#include <string>

// The settings file's name, in whichever folder it lies.
constexpr char SettingsFileName[] = "Kelpra.ini";

std::string ReadSettingText(const std::string& section, const std::string& key,
                            const std::string& defaultText);
// Stores the value at once. 1 when it was stored; 0 when it could not be,
// which one message box says, naming the file and why.
int WriteSettingText(const std::string& section, const std::string& key, const std::string& value);
int32_t ReadSettingInteger(const std::string& section, const std::string& key, int32_t defaultValue);
int WriteSettingInteger(const std::string& section, const std::string& key, int32_t value);
