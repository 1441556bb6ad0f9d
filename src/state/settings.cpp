#include "state/settings.h"

#include "runtime/profile.h"
#include "runtime/program.h"
#include "runtime/text.h"
#include "state/programfolders.h"
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

std::string ProgramFolder()
{
    return PathFolderPart(ModuleFileName());
}

void ReadSettings()
{
    State.fileFilter = FileFilter;
    if (State.programFolder.empty()) {
        SettleProgramFolders(ProgramFolder());
    } else if (State.settingsFile.empty()) {
        if (State.dataFolder.empty()) State.dataFolder = State.programFolder;
        State.settingsFile = State.programFolder + SettingsFileName;
    }
    State.helpFolder = DefaultHelpFolder;
    State.helpFolder = ReadSettingText("Setup", "Help", State.helpFolder);
    State.sourceViewer = ReadSettingText("Setup", "DBA", DefaultViewer);
    State.htmlEditor = ReadSettingText("Setup", "HTML", DefaultViewer);
    State.commandLineFlag = ReadSettingInteger("Setup", "UseCL", 0);
    State.keywordsFile = ReadSettingText("Setup", "keywords", DefaultKeywordsFile);
    UseExampleHelpFolder();
}
