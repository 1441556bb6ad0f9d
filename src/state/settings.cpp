#include "state/settings.h"

#include "runtime/files.h"
#include "runtime/profile.h"
#include "runtime/requesters.h"
#include "runtime/text.h"
#include "state/state.h"
#include "state/texts.h"

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

int WriteSettingText(const std::string& section, const std::string& key, const std::string& value)
{
    // Settings are written between commands, when nothing else is noted.
    FileFailureClear();
    if (ProfileWriteString(section, key, value, State.settingsFile)) return 1;
    // The state keeps the new value for the rest of the run; the user learns
    // that it will not be there at the next start, and why.
    FileFailure failure = FileLastFailure();
    if (failure.kind == FileFailureKind::None)
        failure = {FileFailureKind::System, State.settingsFile, SettingNotStoredText};
    MessageAsk(TitleV2, FailureText(failure), MessageError);
    FileFailureClear();
    return 0;
}

int32_t ReadSettingInteger(const std::string& section, const std::string& key, int32_t defaultValue)
{
    return TextToInteger(ReadSettingText(section, key, TextFromInteger(defaultValue)));
}

int WriteSettingInteger(const std::string& section, const std::string& key, int32_t value)
{
    return WriteSettingText(section, key, TextFromInteger(value));
}
