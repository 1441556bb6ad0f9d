#include "shell/viewcommands.h"

#include <fstream>
#include <iterator>

#include "shell/mainwindow.h"
#include "shell_fixture.h"

namespace {

// Each key (and the wheel) does what its user expects, and Enter still runs
// the search.
TEST_F(ShellTest, ViewKeysDoWhatTheySay)
{
    Run({});
    const std::vector<std::pair<int, int>> shortcuts = TheScript().shortcuts;
    ASSERT_FALSE(shortcuts.empty());
    EXPECT_EQ(shortcuts.front(), (std::pair<int, int>{KeyEnter, MenuSearch}));
    // New commands never take a specified menu id.
    for (const auto& shortcut : shortcuts) EXPECT_TRUE(shortcut.first == KeyEnter || shortcut.second >= 20);

    const std::pair<int, const char*> cases[] = {
        {'F' | ShortcutCtrl, "find Not found"},        {KeyF3, "next Not found"},
        {KeyF3 | ShortcutShift, "previous Not found"}, {'P' | ShortcutCtrl, "print"},
        {KeyPlus | ShortcutCtrl, "zoom 150"},          {KeyPlus | ShortcutCtrl | ShortcutShift, "zoom 150"},
        {KeyAdd | ShortcutCtrl, "zoom 150"},           {KeyWheelForward | ShortcutCtrl, "zoom 150"},
        {KeyMinus | ShortcutCtrl, "zoom 110"},         {KeySubtract | ShortcutCtrl, "zoom 110"},
        {KeyWheelBackward | ShortcutCtrl, "zoom 110"}, {'0' | ShortcutCtrl, "zoom 100"},
        {KeyNumpad0 | ShortcutCtrl, "zoom 100"},       {KeyLeft | ShortcutAlt, "history 1"},
        {KeyRight | ShortcutAlt, "history 2"},
    };
    for (const auto& [key, effect] : cases) {
        auto bound = std::find_if(shortcuts.begin(), shortcuts.end(),
                                  [key = key](const std::pair<int, int>& s) { return s.first == key; });
        ASSERT_NE(bound, shortcuts.end()) << effect;
        ScriptReset();
        t.Write("prog\\Kelpra.ini", Ini("[View]\r\nZoom=125\r\n"));
        Run({Menu(bound->second)});
        const Script& s = TheScript();
        std::string done = s.pageCommands.empty() ? "" : s.pageCommands.back();
        if (s.zooms.size() > 1) done = "zoom " + std::to_string(s.zooms.back());
        if (!s.browserStates.empty()) done = "history " + std::to_string(s.browserStates.back());
        EXPECT_EQ(done, effect) << key;
    }
}

// Every key a menu entry shows is named in Help on Help, and the View menu
// holds every command that only had a key before.
TEST_F(ShellTest, HelpOnHelpNamesTheKeyOfEveryMenuEntry)
{
    Run({});
    std::ifstream file(std::string(KELPRA_SOURCE_DIR) + "/data/HelpMain.htm", std::ios::binary);
    const std::string help((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    ASSERT_FALSE(help.empty());
    const Script& s = TheScript();
    std::vector<int> items;
    for (const RecordedMenuEntry& entry : s.menu)
        if (entry.kind == "item") items.push_back(entry.id);
    for (const auto& [key, id] : s.shortcuts) {
        if (std::find(items.begin(), items.end(), id) == items.end()) {
            ADD_FAILURE() << "the command of " << ShortcutKeyText(key) << " is in no menu";
            continue;
        }
        // The menu shows the first key of its id.
        auto first =
            std::find_if(s.shortcuts.begin(), s.shortcuts.end(),
                         [id = id](const std::pair<int, int>& shortcut) { return shortcut.second == id; });
        if (first->first != key) continue;
        EXPECT_NE(help.find("<b>" + ShortcutKeyText(key) + "</b>"), std::string::npos)
            << ShortcutKeyText(key);
    }
}

TEST_F(ShellTest, ZoomStepsAreShownAndKeptInTheirOwnSection)
{
    struct Case {
        const char* stored;  // the [View] section before the run
        std::vector<int> commands;
        std::vector<int> zooms;  // what the browser was set to, in order
        const char* kept;        // the Zoom line after the run; "" for none
    };
    const Case cases[] = {
        {"", {}, {}, ""},
        {"", {MenuZoomIn, MenuZoomIn, MenuZoomOut}, {110, 125, 110}, "Zoom=110"},
        {"Zoom=300\r\n", {MenuZoomIn}, {300, 300}, "Zoom=300"},
        {"Zoom=50\r\n", {MenuZoomOut, MenuZoomOut}, {50, 50, 50}, "Zoom=50"},
        {"Zoom=175\r\n", {MenuZoomNormal}, {175, 100}, "Zoom=100"},
        {"Zoom=9999\r\n", {}, {300}, "Zoom=9999"},
        {"Zoom=large\r\n", {MenuZoomOut}, {90}, "Zoom=90"},
    };
    for (const Case& c : cases) {
        ScriptReset();
        const std::string stored = std::string(c.stored).empty() ? "" : std::string("[View]\r\n") + c.stored;
        t.Write("prog\\Kelpra.ini", Ini("") + stored);
        std::vector<ScriptedEvent> events;
        for (int id : c.commands) events.push_back(Menu(id));
        Run(events);
        EXPECT_EQ(TheScript().zooms, c.zooms) << c.stored;
        const std::string ini = t.Read("prog\\Kelpra.ini");
        // [Setup] keeps its bytes whatever the view does.
        EXPECT_EQ(ini.rfind(Ini(""), 0), 0u) << c.stored;
        if (std::string(c.kept).empty()) {
            EXPECT_EQ(ini, Ini("")) << c.stored;
        } else {
            EXPECT_NE(ini.find(std::string("[View]\r\n") + c.kept + "\r\n"), std::string::npos) << ini;
        }
    }
}

TEST_F(ShellTest, FindAndPrintGoToTheBrowser)
{
    Run({Menu(MenuFindNext), Menu(MenuFindInPage), Menu(MenuFindPrevious), Menu(MenuPrint)});
    EXPECT_EQ(TheScript().pageCommands,
              (std::vector<std::string>{"next Not found", "find Not found", "previous Not found", "print"}));
}

TEST_F(ShellTest, TypeAheadOffersTheIndexKeywordsOnce)
{
    std::vector<std::string> index = {
        "<html>", "<a href=\"commands/print.htm\">Print</a><BR>", "<a href=\"index.htm#A\">Arrays</a><BR>",
        "<a href=\"commands/print.htm\">PRINT</a><BR>", "<a href=\"main.htm\">Print Using</a><BR>"};
    for (int i = 0; i < 22; ++i) index.push_back("<a href=\"main.htm\">Pad" + std::to_string(i) + "</a><BR>");
    t.Write("help\\index.htm", CrLf(index));
    Run({});
    const Script& s = TheScript();
    // A chosen keyword is searched for the way Enter searches.
    ASSERT_NE(s.suggestionSource, nullptr);
    EXPECT_EQ(s.suggestionField, SearchField);
    EXPECT_EQ(s.suggestionMenu, MenuSearch);
    struct Case {
        const char* typed;
        std::vector<std::string> rows;  // only the first two of many
        const char* note;
    };
    const Case cases[] = {
        {"pr", {"Print", "Print Using"}, ""},
        {"print u", {"Print Using"}, ""},
        {"using", {"Print Using"}, ""},
        {"a", {"Arrays"}, ""},
        {"pad", {"Pad0", "Pad1"}, "2 more: type on to narrow the list"},
        {"p", {"Print", "Print Using"}, "4 more: type on to narrow the list"},
        {"", {}, ""},
        {"x", {}, ""},
    };
    for (const Case& c : cases) {
        Suggestions offered = s.suggestionSource(c.typed);
        EXPECT_EQ(offered.note, c.note) << c.typed;
        if (!offered.note.empty()) {
            EXPECT_EQ(offered.rows.size(), 20u) << c.typed;
        }
        offered.rows.resize(std::min(offered.rows.size(), c.rows.size()));
        EXPECT_EQ(offered.rows, c.rows) << c.typed;
    }
}

TEST_F(ShellTest, WindowOpensWhereItWasLeftWhileThatIsOnAScreen)
{
    struct Case {
        const char* stored;
        std::vector<ScreenArea> screens;
        WindowPlace opened;
    };
    const std::vector<ScreenArea> one = {{0, 0, 1280, 1024}};
    const std::vector<ScreenArea> two = {{0, 0, 1280, 1024}, {-1920, 0, 1920, 1080}};
    const char* left = "WindowX=-1500\r\nWindowY=50\r\nWindowWidth=800\r\nWindowHeight=600\r\n";
    const Case cases[] = {
        {"", one, DefaultWindowPlace},
        {"WindowX=300\r\nWindowY=40\r\nWindowWidth=640\r\nWindowHeight=480\r\n", one, {300, 40, 640, 480}},
        {left, two, {-1500, 50, 800, 600}},
        // The left screen was unplugged.
        {left, one, DefaultWindowPlace},
        {"WindowX=300\r\nWindowY=40\r\nWindowWidth=640\r\n", one, DefaultWindowPlace},
        {"WindowX=300\r\nWindowY=40\r\nWindowWidth=5\r\nWindowHeight=480\r\n", one, DefaultWindowPlace},
        // No screen reported: nothing to check the place against.
        {"WindowX=300\r\nWindowY=40\r\nWindowWidth=640\r\nWindowHeight=480\r\n", {}, DefaultWindowPlace},
    };
    for (const Case& c : cases) {
        ScriptReset();
        TheScript().screens = c.screens;
        t.Write("prog\\Kelpra.ini", Ini(std::string("[View]\r\n") + c.stored));
        Run({});
        const Script& s = TheScript();
        EXPECT_EQ((std::vector<int>{s.windowX, s.windowY, s.windowWidth, s.windowHeight}),
                  (std::vector<int>{c.opened.x, c.opened.y, c.opened.width, c.opened.height}))
            << c.stored;
    }
}

TEST_F(ShellTest, WindowPlaceIsKeptAtTheEndOnlyWhenItChanged)
{
    // Left as opened: the settings file keeps its bytes.
    Run({});
    EXPECT_EQ(t.Read("prog\\Kelpra.ini"), Ini(""));

    // Maximised: no place to open a normal window at.
    ScriptReset();
    TheScript().windowMaximised = true;
    TheScript().areaWidth = 1280;
    Run({});
    EXPECT_EQ(t.Read("prog\\Kelpra.ini"), Ini(""));

    // Resized: the next run opens at the new size.
    ScriptReset();
    TheScript().areaWidth = 700;
    TheScript().areaHeight = 450;
    Run({});
    EXPECT_EQ(t.Read("prog\\Kelpra.ini"),
              Ini("[View]\r\nWindowX=100\r\nWindowY=200\r\nWindowWidth=700\r\nWindowHeight=450\r\n"));
    ScriptReset();
    Run({});
    const Script& s = TheScript();
    EXPECT_EQ((std::vector<int>{s.windowX, s.windowY, s.windowWidth, s.windowHeight}),
              (std::vector<int>{100, 200, 700, 450}));
}

}  // namespace
