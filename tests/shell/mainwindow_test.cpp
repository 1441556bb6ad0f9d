#include "shell/mainwindow.h"

#include "runtime/commandline.h"
#include "shell_fixture.h"

namespace {

struct Rect {
    int x, y, width, height;
};

Rect Place(int id)
{
    const RecordedControl& control = TheScript().controls.at(id);
    return {control.x, control.y, control.width, control.height};
}

void ExpectPlace(int id, Rect expected)
{
    Rect actual = Place(id);
    EXPECT_EQ(actual.x, expected.x) << "control " << id;
    EXPECT_EQ(actual.y, expected.y) << "control " << id;
    EXPECT_EQ(actual.width, expected.width) << "control " << id;
    EXPECT_EQ(actual.height, expected.height) << "control " << id;
}

TEST_F(ShellTest, BuildsTheWindowMenuAndControls)
{
    TheScript().clipboard = "zzz";
    EXPECT_EQ(Run({}), 0);
    const Script& s = TheScript();
    EXPECT_EQ(s.windowTitle, "Tamsel's Dark Basic Helper V2");
    EXPECT_EQ((std::vector<int>{s.windowX, s.windowY, s.windowWidth, s.windowHeight}),
              (std::vector<int>{100, 200, 500, 300}));
    EXPECT_EQ(s.windowFlags, 0xCF0000);

    struct Entry {
        const char* kind;
        int id;
        const char* text;
    };
    const std::vector<Entry> menu = {
        {"title", -1, "File"},       {"item", 4, "Open"},
        {"item", 5, "Close"},        {"separator", -1, ""},
        {"item", 3, "Edit Page"},    {"item", 15, "Add Include"},
        {"submenu", -1, "Setup"},    {"item", 6, "Help Path"},
        {"item", 9, "DBA Viewer"},   {"item", 10, "HTML Viewer"},
        {"item", 14, "Commandline"}, {"item", 16, "Keywords"},
        {"submenu-end", -1, ""},     {"item", 31, "Check Help Folder"},
        {"title", -1, "Help"},       {"item", 0, "Search"},
        {"item", 1, "About"},        {"item", 2, "Help on Help"},
        {"item", 11, "Contents"},    {"item", 12, "Index"},
        {"item", 13, "Glossary"},    {"item", 30, "Search Pages"},
        {"title", -1, "View"},       {"item", 32, "Back"},
        {"item", 33, "Next"},        {"item", 34, "Stop"},
        {"separator", -1, ""},       {"item", 20, "Find in Page"},
        {"item", 21, "Find Next"},   {"item", 22, "Find Previous"},
        {"separator", -1, ""},       {"item", 23, "Zoom In"},
        {"item", 24, "Zoom Out"},    {"item", 25, "Normal Size"},
        {"separator", -1, ""},       {"item", 26, "Print"},
    };
    ASSERT_EQ(s.menu.size(), menu.size());
    for (size_t i = 0; i < menu.size(); ++i) {
        EXPECT_EQ(s.menu[i].kind, menu[i].kind) << i;
        EXPECT_EQ(s.menu[i].id, menu[i].id) << i;
        EXPECT_EQ(s.menu[i].text, menu[i].text) << i;
        EXPECT_EQ(s.menu[i].checked, 0) << i;
    }

    struct Control {
        int id;
        const char* kind;
        const char* text;
        const char* tooltip;
        Rect place;  // after the first layout at 500 by 300
    };
    const std::vector<Control> controls = {
        {1, "button", "Back", "", {2, 2, 50, 25}},
        {2, "button", "Next", "", {54, 2, 50, 25}},
        {4, "textfield", "zzz", "Command to search for help on", {155, 5, 315, 20}},
        {5, "button", "Go", "Search for command", {475, 0, 25, 25}},
        {6, "label", "", "", {0, 30, 500, 2}},
        {10, "browser", "T:\\help\\Menu.htm", "", {0, 31, 500, 230}},
    };
    ASSERT_EQ(s.controls.size(), controls.size());
    for (const Control& c : controls) {
        const RecordedControl& actual = s.controls.at(c.id);
        EXPECT_EQ(actual.kind, c.kind) << c.id;
        EXPECT_EQ(actual.text, c.text) << c.id;
        EXPECT_EQ(actual.tooltip, c.tooltip) << c.id;
        ExpectPlace(c.id, c.place);
    }
    EXPECT_EQ(s.controls.at(6).flags, 2);

    // Enter runs the search; the view's keys follow (view_test.cpp).
    ASSERT_FALSE(s.shortcuts.empty());
    EXPECT_EQ(s.shortcuts.front(), (std::pair<int, int>{13, 0}));
    EXPECT_NE(std::find(s.shortcuts.begin(), s.shortcuts.end(),
                        std::pair<int, int>{'F' | ShortcutCtrl | ShortcutShift, 30}),
              s.shortcuts.end());
    EXPECT_EQ(s.statusHistory, (std::vector<std::string>{"T:\\help\\Menu.htm", "T:\\help\\Menu.htm"}));
    EXPECT_EQ(s.pauses, (std::vector<int>{20}));
    EXPECT_NE(s.callback, nullptr);
    EXPECT_TRUE(s.runtimeEnded);
    // The start page takes the road of every page: its display copy is put
    // in its place before it is drawn.
    EXPECT_EQ(State.lastAddress, "file:///T:/help/vosks.html");
    EXPECT_EQ(State.currentPage, "T:\\help\\Menu.htm");
    ASSERT_EQ(s.layouts.size(), 1u);
    EXPECT_EQ(s.layouts[0].address, "file:///T:/help/vosks.html");
}

// A computed -1 is ControlResize's "unchanged": the value before it stays.
TEST_F(ShellTest, LayoutFollowsTheWindowSize)
{
    Run({});
    struct Step {
        int width, height;
        Rect browser, search, go, line;
    };
    const std::vector<Step> steps = {
        {600, 400, {0, 31, 600, 330}, {155, 5, 415, 20}, {575, 0, 25, 25}, {0, 30, 600, 2}},
        {184, 300, {0, 31, 184, 230}, {155, 5, 415, 20}, {159, 0, 25, 25}, {0, 30, 184, 2}},
        // The browser's height at 69 comes to -1, so it keeps 230 as well.
        {24, 69, {0, 31, 24, 230}, {155, 5, -161, 20}, {159, 0, 25, 25}, {0, 30, 24, 2}},
    };
    for (const Step& step : steps) {
        ScriptResize(step.width, step.height);
        ExpectPlace(10, step.browser);
        ExpectPlace(4, step.search);
        ExpectPlace(5, step.go);
        ExpectPlace(6, step.line);
        ExpectPlace(1, {2, 2, 50, 25});
        ExpectPlace(2, {54, 2, 50, 25});
        // The hook handled the size message, so no size event reached the loop.
        EXPECT_TRUE(TheScript().events.empty()) << step.width;
    }
    EXPECT_EQ(ResizeHook(1, 3, 0, 0), CallbackDefault);
    EXPECT_EQ(ResizeHook(1, MessageSize, 0, 0), 1);
}

// The first text comes from the command line or the clipboard, by the
// setting (any nonzero value, which also checks Commandline), and the quiet
// search shows what it finds without asking, through its display copy and
// named in the status bar; the start page is then never drawn.
TEST_F(ShellTest, SearchesTheFirstTextAtStart)
{
    struct Case {
        const char* useCl;
        const char* commandLine;
        const char* clipboard;
        const char* field;
        const char* page;  // named in the status bar after start-up
    };
    const char* print = "T:\\help\\commands\\print.htm";
    const char* start = "T:\\help\\Menu.htm";
    const std::vector<Case> cases = {
        {"1", "kelpra.exe \"print\"", "glossary", "print", print},
        {"-1", "kelpra.exe PRINT other", "", "PRINT", print},
        {"1", "kelpra.exe", "print", "", start},
        {"0", "kelpra.exe zzz", "print", "print", print},
        {"0", "kelpra.exe print", "no such word", "no such word", start},
    };
    for (const Case& c : cases) {
        ScriptReset();
        CommandLineSet(c.commandLine);
        TheScript().clipboard = c.clipboard;
        t.Write("prog\\Kelpra.ini", Ini(std::string("UseCL=") + c.useCl + "\r\n"));
        Run({Idle()});
        EXPECT_EQ(TheScript().controls.at(4).text, c.field) << c.commandLine;
        const std::string copy = ScriptAddressOf(PathFolderPart(c.page) + "vosks.html");
        EXPECT_EQ(Address(), copy) << c.commandLine;
        EXPECT_EQ(TheScript().statusText, c.page) << c.commandLine;
        EXPECT_EQ(State.currentPage, c.page) << c.commandLine;
        ASSERT_EQ(TheScript().layouts.size(), 1u) << c.commandLine;
        EXPECT_EQ(TheScript().layouts[0].address, copy) << c.commandLine;
        EXPECT_TRUE(TheScript().messages.empty()) << c.commandLine;
        EXPECT_EQ(MenuCheckGet(0, MenuCommandline), std::string(c.useCl) == "0" ? 0 : 1);
    }
}

TEST_F(ShellTest, FailuresWhileBuildingEndTheProgram)
{
    struct Case {
        int windowResult, menuResult, browserResult;
        size_t messages;
        int eventsHandedOut;
    };
    const std::vector<Case> cases = {
        {0, 1, 1, 0, 0},  // no window: silent end
        {1, 1, 0, 1, 0},  // no browser: the message, then the end
        {1, 0, 1, 0, 2},  // no menu bar: the window works without a menu
    };
    for (const Case& c : cases) {
        ScriptReset();
        Script& s = TheScript();
        s.windowOpenResult = c.windowResult;
        s.menuBarResult = c.menuResult;
        s.browserCreateResult = c.browserResult;
        EXPECT_EQ(Run({Menu(MenuContents)}), 0);
        EXPECT_TRUE(s.runtimeEnded);
        EXPECT_EQ(s.eventsHandedOut, c.eventsHandedOut);
        ASSERT_EQ(s.messages.size(), c.messages);
        if (c.messages) {
            EXPECT_EQ(s.messages[0].title, "Error");
            EXPECT_EQ(s.messages[0].text, "ATL.dll not found");
            EXPECT_EQ(s.messages[0].flags, 0);
        }
    }
    EXPECT_TRUE(TheScript().menu.empty());
    EXPECT_EQ(TheScript().statusText, "T:\\help\\menu.htm");
}

}  // namespace
