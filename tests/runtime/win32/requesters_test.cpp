#include "runtime/requesters.h"

#include <windows.h>
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "runtime/window.h"
#include "support/testfolder.h"

namespace {

HWND other = nullptr;
int otherEnabledDuringBox = -1;

BOOL CALLBACK PressNo(HWND window, LPARAM)
{
    char name[16] = {};
    GetClassNameA(window, name, sizeof name);
    if (std::strcmp(name, "#32770") != 0 || !IsWindowVisible(window)) return TRUE;
    otherEnabledDuringBox = IsWindowEnabled(other) ? 1 : 0;
    PostMessageA(window, WM_COMMAND, IDNO, 0);
    return FALSE;
}

void CALLBACK CloseTheBox(HWND, UINT, UINT_PTR, DWORD)
{
    EnumThreadWindows(GetCurrentThreadId(), PressNo, 0);
}

TEST(Win32Requesters, MessageBoxDisablesOurOtherWindowsMeanwhile)
{
    RuntimeStart();
    ASSERT_EQ(WindowOpen(0, 0, 0, 300, 200, 0xCF0000, "main"), 1);
    other = CreateWindowExA(0, "STATIC", "other", WS_POPUP | WS_VISIBLE, 400, 0, 100, 100, nullptr, nullptr,
                            GetModuleHandleA(nullptr), nullptr);
    ASSERT_TRUE(other);
    SetForegroundWindow(reinterpret_cast<HWND>(WindowHandle()));
    UINT_PTR timer = SetTimer(nullptr, 0, 300, CloseTheBox);
    EXPECT_EQ(MessageAsk("Kelpra V2", "Go on?", MessageYesNo), AnswerNo);
    KillTimer(nullptr, timer);
    EXPECT_EQ(otherEnabledDuringBox, 0);
    EXPECT_TRUE(IsWindowEnabled(other));
    EXPECT_TRUE(IsWindowEnabled(reinterpret_cast<HWND>(WindowHandle())));
    DestroyWindow(other);
    RuntimeEnd();
}

void PutOnClipboard(UINT format, const std::string& bytes)
{
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    if (!bytes.empty()) {
        HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes.size() + 1);
        std::memcpy(GlobalLock(block), bytes.c_str(), bytes.size() + 1);
        GlobalUnlock(block);
        SetClipboardData(format, block);
    }
    CloseClipboard();
}

TEST(Win32Requesters, ClipboardText)
{
    PutOnClipboard(CF_TEXT, "print");
    EXPECT_EQ(ClipboardGetText(), "print");
    PutOnClipboard(CF_TEXT, "");
    EXPECT_EQ(ClipboardGetText(), "");
    PutOnClipboard(RegisterClipboardFormatA("Kelpra private"), "not text");
    EXPECT_EQ(ClipboardGetText(), "");
}

// The started program's folder is its working folder unless one is given:
// a copy of the command interpreter tells where it ran.
TEST(Win32Requesters, ProgramRunStartsInTheProgramsFolder)
{
    TestFolder t;
    char system[MAX_PATH] = {};
    GetSystemDirectoryA(system, MAX_PATH);
    t.MakeFolder("tools");
    t.MakeFolder("work");
    ASSERT_TRUE(
        CopyFileA((std::string(system) + "\\cmd.exe").c_str(), t.Win("tools\\cmd.exe").c_str(), FALSE));
    struct Case {
        std::string folder;
        std::string where;
    };
    const Case cases[] = {{"", "tools"}, {t.Win("work\\"), "work"}};
    for (const auto& c : cases) {
        intptr_t process = ProgramRun(t.Win("tools\\cmd.exe"), "/ccd>here.txt", c.folder);
        ASSERT_NE(process, 0);
        if (process != 1) {
            WaitForSingleObject(reinterpret_cast<HANDLE>(process), 20000);
            CloseHandle(reinterpret_cast<HANDLE>(process));
        }
        EXPECT_TRUE(t.Exists(c.where + "\\here.txt")) << c.where;
    }
}

}  // namespace
