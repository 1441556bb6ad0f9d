#include <windows.h>
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "runtime/requesters.h"
#include "runtime/window.h"

namespace {

constexpr int FieldId = 101;

// What the timer saw of the dialog and what it answers with.
struct Seen {
    std::string title;
    std::string field;
    std::string buttons;          // the two captions
    const char* typed = nullptr;  // nullptr: Cancel
};
Seen seen;

BOOL CALLBACK Answer(HWND window, LPARAM)
{
    char name[16] = {};
    GetClassNameA(window, name, sizeof name);
    if (std::strcmp(name, "#32770") != 0 || !IsWindowVisible(window)) return TRUE;
    char text[256] = {};
    GetWindowTextA(window, text, sizeof text);
    seen.title = text;
    GetDlgItemTextA(window, FieldId, text, sizeof text);
    seen.field = text;
    GetDlgItemTextA(window, IDOK, text, sizeof text);
    seen.buttons = text;
    GetDlgItemTextA(window, IDCANCEL, text, sizeof text);
    seen.buttons += std::string("|") + text;
    if (seen.typed) SetDlgItemTextA(window, FieldId, seen.typed);
    PostMessageA(window, WM_COMMAND, seen.typed ? IDOK : IDCANCEL, 0);
    return FALSE;
}

void CALLBACK AnswerTheDialog(HWND, UINT, UINT_PTR, DWORD)
{
    EnumThreadWindows(GetCurrentThreadId(), Answer, 0);
}

TEST(Win32TextRequest, AsksForALine)
{
    struct Case {
        const char* start;
        const char* typed;
        const char* answer;
    };
    const Case cases[] = {
        {"print", nullptr, ""},
        {"print", "print fadein", "print fadein"},
        {"caf\xE9", "caf\xE9 au lait", "caf\xE9 au lait"},
    };
    RuntimeStart();
    ASSERT_EQ(WindowOpen(0, 0, 0, 300, 200, 0xCF0000, "main"), 1);
    for (const Case& c : cases) {
        seen = Seen{"", "", "", c.typed};
        UINT_PTR timer = SetTimer(nullptr, 0, 300, AnswerTheDialog);
        EXPECT_EQ(TextRequest("Kelpra V2>Search Pages", "Words:", c.start), c.answer);
        KillTimer(nullptr, timer);
        EXPECT_EQ(seen.title, "Kelpra V2>Search Pages");
        EXPECT_EQ(seen.field, c.start);
        EXPECT_EQ(seen.buttons, "OK|Cancel");
    }
    RuntimeEnd();
}

}  // namespace
