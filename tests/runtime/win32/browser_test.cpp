#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "runtime/browser.h"
#include "runtime/requesters.h"
#include "runtime/window.h"
#include "standin.h"

namespace {

constexpr int BrowserId = 10;
constexpr UINT Sentinel = WM_APP + 7;

HWND Window()
{
    return reinterpret_cast<HWND>(WindowHandle());
}

// Runs the message loop until the browser shows where it is headed and
// nothing is left to deliver (two seconds at most).
bool Settle()
{
    for (int i = 0; i < 400; ++i) {
        MSG message;
        bool any = false;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            any = true;
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        if (!any && i > 2 && ControlGetText(BrowserId) == BrowserTargetAddress(BrowserId)) return true;
        Sleep(5);
    }
    return false;
}

// Keys as the user presses them: through the program's own event wait.
void Press(UINT key, bool alt)
{
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    keys[VK_MENU] = alt ? 0x80 : 0;
    SetKeyboardState(keys);
    PostMessageA(Window(), alt ? WM_SYSKEYDOWN : WM_KEYDOWN, key, alt ? (1 << 29) | 1 : 1);
    PostMessageA(Window(), Sentinel, 0, 0);
    for (int i = 0; i < 100 && EventWait() != static_cast<int>(Sentinel); ++i) {}
    keys[VK_MENU] = 0;
    SetKeyboardState(keys);
}

std::string StatusText()
{
    HWND bar = FindWindowExA(Window(), nullptr, STATUSCLASSNAMEA, nullptr);
    char text[256] = {};
    SendMessageA(bar, SB_GETTEXTA, 0, reinterpret_cast<LPARAM>(text));
    return text;
}

class Win32Browser : public testing::Test {
protected:
    void SetUp() override
    {
        RuntimeStart();
        ASSERT_EQ(WindowOpen(0, 100, 100, 500, 300, 0xCF0000, "Kelpra test"), 1);
        SetForegroundWindow(Window());
        ASSERT_EQ(StatusBarCreate(0, WindowHandle()), 1);
        ControlParentSet(WindowHandle());
        ASSERT_EQ(StandInControlCreate(BrowserId, component, "C:\\help\\a.htm"), 1);
        ASSERT_TRUE(Settle());
    }

    void TearDown() override { RuntimeEnd(); }

    StandInBrowser component;
};

// A link the user follows is announced, taken over and shown once, with the
// display copy the program puts in its page's place; links in a frame and
// to the web the component follows itself.
TEST_F(Win32Browser, AFollowedLinkIsDrawnOnceWithItsCopyInPlace)
{
    const struct {
        const char* link;
        bool inFrame;
        bool taken;
        const char* copy;  // the program's display copy for it; "" for none
        std::vector<std::string> drawn;
        const char* shown;
        const char* page;
    } cases[] = {
        {"file:///C:/help/b.htm",
         false,
         true,
         "C:\\help\\vosks.html",
         {"file:///C:/help/vosks.html"},
         "file:///C:/help/vosks.html",
         "C:\\help\\b.htm"},
        {"file:///C:/help/menu.htm", true, false, "", {}, "file:///C:/help/vosks.html", "C:\\help\\b.htm"},
        // A jump within the copy still names the page copied.
        {"file:///C:/help/vosks.html#Top",
         false,
         true,
         "",
         {},
         "file:///C:/help/vosks.html#Top",
         "C:\\help\\b.htm"},
        {"file:///C:/help/c.htm", false, true, "", {"file:///C:/help/c.htm"}, "file:///C:/help/c.htm", ""},
        {"http://www.example.com/",
         false,
         false,
         "",
         {"http://www.example.com/"},
         "file:///C:/help/c.htm",
         ""},
    };
    for (const auto& c : cases) {
        component.drawn.clear();
        EXPECT_EQ(component.FollowLink(c.link, c.inFrame), c.taken) << c.link;
        if (*c.copy) {
            ASSERT_EQ(BrowserTargetAddress(BrowserId), c.link);
            BrowserShowCopy(BrowserId, c.copy, "C:\\help\\b.htm");
        }
        ASSERT_TRUE(Settle()) << c.link;
        EXPECT_EQ(component.drawn, c.drawn) << c.link;
        EXPECT_EQ(ControlGetText(BrowserId), c.shown) << c.link;
        EXPECT_EQ(BrowserTargetPage(BrowserId), c.page) << c.link;
    }
}

// The navigations the program asks for are its own, whenever the component
// announces them: each is drawn once and never taken for a followed link.
TEST_F(Win32Browser, OwnNavigationsAreNeverTakenForLinks)
{
    for (bool later : {false, true}) {
        component.announceLater = later;
        component.calls.clear();
        component.drawn.clear();
        ControlSetText(BrowserId, later ? "C:\\help\\d.htm" : "C:\\help\\c.htm");
        ASSERT_TRUE(Settle()) << later;
        const std::string address = later ? "file:///C:/help/d.htm" : "file:///C:/help/c.htm";
        EXPECT_EQ(component.calls, std::vector<std::string>{"Navigate2 " + address}) << later;
        EXPECT_EQ(component.drawn, std::vector<std::string>{address}) << later;
    }
}

// Back and Next, from Alt+Left and Alt+Right, go through the program's
// history, never the component's, and bring each page's scroll position
// back once it is drawn.
TEST_F(Win32Browser, BackAndNextBringTheScrollPositionBack)
{
    component.scroll = 120;
    ControlSetText(BrowserId, "C:\\help\\b.htm");
    ASSERT_TRUE(Settle());
    EXPECT_EQ(component.scroll, 0);
    component.scroll = 300;
    const struct {
        UINT key;
        const char* shown;
        int scroll;
    } steps[] = {
        {VK_LEFT, "file:///C:/help/a.htm", 120},
        {VK_LEFT, "file:///C:/help/a.htm", 120},  // nothing before it
        {VK_RIGHT, "file:///C:/help/b.htm", 300},
        {VK_LEFT, "file:///C:/help/a.htm", 120},
    };
    for (const auto& step : steps) {
        Press(step.key, true);
        ASSERT_TRUE(Settle()) << step.shown;
        EXPECT_EQ(ControlGetText(BrowserId), step.shown);
        EXPECT_EQ(component.location, step.shown);
        EXPECT_EQ(component.scroll, step.scroll) << step.shown;
    }
    for (const std::string& call : component.calls) EXPECT_NE(call.substr(0, 2), "Go") << call;
}

// What the find box is answered with; nullptr: it did not open.
const char* findAnswer = nullptr;
bool findBoxOpened = false;

BOOL CALLBACK AnswerFindBox(HWND window, LPARAM)
{
    char name[16] = {};
    GetClassNameA(window, name, sizeof name);
    if (std::strcmp(name, "#32770") != 0 || !IsWindowVisible(window)) return TRUE;
    findBoxOpened = true;
    SetDlgItemTextA(window, 101, findAnswer ? findAnswer : "");
    PostMessageA(window, WM_COMMAND, findAnswer ? IDOK : IDCANCEL, 0);
    return FALSE;
}

void CALLBACK AnswerTheFindBox(HWND, UINT, UINT_PTR, DWORD)
{
    EnumThreadWindows(GetCurrentThreadId(), AnswerFindBox, 0);
}

// F3 and Shift+F3 step through the matches of what the find box was given,
// round the page either way; a first step opens the box.
TEST_F(Win32Browser, FindStepsThroughTheMatchesBothWays)
{
    component.pageText = "print cls print input print";
    const struct {
        int step;
        const char* typed;  // the find box's answer; nullptr when it must not open
        int selected;
        const char* status;  // which match of how many, or that there is none
    } steps[] = {
        {1, "print", 0, "1 of 3"},  {1, nullptr, 10, "2 of 3"},  {1, nullptr, 22, "3 of 3"},
        {1, nullptr, 0, "1 of 3"},  {-1, nullptr, 22, "3 of 3"}, {-1, nullptr, 10, "2 of 3"},
        {0, "input", 16, "1 of 1"}, {-1, nullptr, 16, "1 of 1"}, {0, "zzz", 16, "Not found"},
    };
    for (const auto& s : steps) {
        findAnswer = s.typed;
        findBoxOpened = false;
        StatusBarSetText(0, 0, "", 0);
        UINT_PTR timer = SetTimer(nullptr, 0, 100, AnswerTheFindBox);
        BrowserFind(BrowserId, s.step, "Not found");
        KillTimer(nullptr, timer);
        EXPECT_EQ(findBoxOpened, s.typed != nullptr) << s.step << " " << (s.typed ? s.typed : "");
        EXPECT_EQ(component.selected, s.selected) << s.step << " " << (s.typed ? s.typed : "");
        EXPECT_EQ(StatusText(), s.status) << s.step;
    }
    // A new page: the next step starts from its top.
    ControlSetText(BrowserId, "C:\\help\\b.htm");
    ASSERT_TRUE(Settle());
    BrowserFind(BrowserId, 1, "Not found");
    EXPECT_EQ(component.selected, -1);
    component.pageText = "zzz";
    BrowserFind(BrowserId, 1, "Not found");
    EXPECT_EQ(component.selected, 0);
}

// Zoom and print are the component's own commands.
TEST_F(Win32Browser, ZoomAndPrintAreTheComponentsCommands)
{
    const struct {
        int zoom;  // 0: print
        const char* call;
    } cases[] = {{150, "ExecWB 63 150"}, {100, "ExecWB 63 100"}, {0, "ExecWB 6"}};
    for (const auto& c : cases) {
        component.calls.clear();
        if (c.zoom) BrowserZoomSet(BrowserId, c.zoom);
        else BrowserPrint(BrowserId);
        EXPECT_EQ(component.calls, std::vector<std::string>{c.call});
    }
}

}  // namespace
