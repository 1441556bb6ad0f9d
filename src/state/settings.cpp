#include "state/settings.h"

#include "runtime/profile.h"
#include "runtime/text.h"
#include "state/state.h"

namespace {

// The platform call fills a receive area of 120 bytes, so at most 119
// characters of a value ever reach the program.
constexpr int SettingRoom = 120;

}  // namespace

std::string ReadSettingText(const std::string& section, const std::string& key,
                            const std::string& defaultText)
{
    return TextStripSpaces(ProfileGetString(section, key, defaultText, SettingRoom, State.settingsFile));
}

void WriteSettingText(const std::string& section, const std::string& key, const std::string& value)
{
    // A failed write is not reported: the state keeps the new value for the
    // rest of the run.
    ProfileWriteString(section, key, value, State.settingsFile);
}

int32_t ReadSettingInteger(const std::string& section, const std::string& key, int32_t defaultValue)
{
    return TextToInteger(ReadSettingText(section, key, TextFromInteger(defaultValue)));
}

void WriteSettingInteger(const std::string& section, const std::string& key, int32_t value)
{
    WriteSettingText(section, key, TextFromInteger(value));
}
