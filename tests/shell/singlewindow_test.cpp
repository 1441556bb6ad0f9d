#include "runtime/handover.h"
#include "runtime/commandline.h"
#include "runtime/program.h"
#include "shell/mainwindow.h"
#include "state/handover.h"

#include "shell_fixture.h"

namespace {

// A second start hands its word over and ends before it reads or writes
// anything of the help folder; without a running window, or with the
// switch off, it opens its own.
TEST_F(ShellTest, SecondStartHandsItsWordOver)
{
    struct Case {
        const char* name;
        const char* view;  // the [View] section's lines
        const char* useCl;
        int running;
        const char* sent;  // nullptr: nothing sent
        bool windowOpened;
        bool listening;
    };
    const Case cases[] = {
        {"running window takes it", "", "1", 1, "print", false, false},
        {"no window running", "", "1", 0, "print", true, true},
        {"clipboard when the command line is off", "", "0", 1, "from clipboard", false, false},
        {"switched off", "[View]\r\nSingleWindow=0\r\n", "1", 1, nullptr, true, false},
        {"a damaged switch stays on", "[View]\r\nSingleWindow=x\r\n", "1", 1, "print", false, false},
    };
    for (const Case& c : cases) {
        ScriptReset();
        CommandLineSet("kelpra.exe print");
        TheScript().clipboard = "from clipboard";
        TheScript().runningWindowTakes = c.running;
        t.Write("prog\\Kelpra.ini", Ini(std::string("UseCL=") + c.useCl + "\r\n") + c.view);
        const auto before = Snapshot();
        EXPECT_EQ(Run({Idle()}), 0) << c.name;
        const Script& s = TheScript();
        const std::string name = HandOverName(t.Win("prog\\Kelpra.ini"), UserName());
        if (c.sent) {
            ASSERT_EQ(s.handOversSent.size(), 1u) << c.name;
            EXPECT_EQ(s.handOversSent[0], std::make_pair(name, std::string(c.sent))) << c.name;
        } else {
            EXPECT_TRUE(s.handOversSent.empty()) << c.name;
        }
        EXPECT_EQ(s.windowOpened, c.windowOpened) << c.name;
        EXPECT_EQ(s.handOverListening, c.listening ? name : "") << c.name;
        EXPECT_TRUE(s.runtimeEnded) << c.name;
        if (!c.windowOpened) {
            EXPECT_EQ(Snapshot(), before) << c.name;
        }
    }
}

// What arrives is another process's: only its first line, without control
// bytes, goes into the field, and the search is the quiet one, whatever it
// finds.
TEST_F(ShellTest, HandedOverWordIsSearchedQuietly)
{
    struct Case {
        std::string arriving;
        const char* field;
        const char* status;
    };
    const Case cases[] = {
        {"print", "print", "T:\\help\\commands\\print.htm"},
        {"print\r\n<script>evil", "print", "T:\\help\\commands\\print.htm"},
        {std::string("pr\x01int\tx", 8), "print x", "T:\\help\\Menu.htm"},
        {"nosuchword", "nosuchword", "T:\\help\\Menu.htm"},
        {"", "zzz", "T:\\help\\Menu.htm"},
        {std::string(5000, 'a'), nullptr, "T:\\help\\Menu.htm"},
    };
    for (const Case& c : cases) {
        ScriptReset();
        TheScript().clipboard = "zzz";
        TheScript().handOversArriving.push_back(c.arriving);
        Run({{EventHandOver, 0, ""}, Idle()});
        const Script& s = TheScript();
        const std::string field = s.controls.at(SearchField).text;
        EXPECT_EQ(field, c.field ? c.field : std::string(HandOverTextLimit, 'a')) << c.arriving.substr(0, 20);
        EXPECT_EQ(s.statusText, c.status) << c.arriving.substr(0, 20);
        EXPECT_EQ(s.broughtToFront, 1);
        EXPECT_TRUE(s.messages.empty()) << c.arriving.substr(0, 20);
    }
}

}  // namespace
