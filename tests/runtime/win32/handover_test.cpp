#include "runtime/handover.h"

#include <windows.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "runtime/window.h"

namespace {

constexpr char ChildName[] = "KELPRA_HANDOVER_NAME";
constexpr char ChildText[] = "KELPRA_HANDOVER_TEXT";

// This program again, running only the sender below; its exit code is what
// HandOverSend gave.
HANDLE StartSender(const std::string& name, const std::string& text)
{
    char program[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, program, MAX_PATH);
    std::string commandLine = std::string("\"") + program + "\" --gtest_filter=Win32HandOverSender.*";
    SetEnvironmentVariableA(ChildName, name.c_str());
    SetEnvironmentVariableA(ChildText, text.c_str());
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    BOOL started = CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                                  &startup, &process);
    SetEnvironmentVariableA(ChildName, nullptr);
    SetEnvironmentVariableA(ChildText, nullptr);
    if (!started) return nullptr;
    CloseHandle(process.hThread);
    return process.hProcess;
}

// Runs the window's events until the sender has ended and nothing is left;
// the texts of the hand-over events.
std::vector<std::string> EventsUntilEnded(HANDLE sender)
{
    std::vector<std::string> texts;
    const DWORD begin = GetTickCount();
    while (GetTickCount() - begin < 20000) {
        const DWORD woke = MsgWaitForMultipleObjects(1, &sender, FALSE, 100, QS_ALLINPUT);
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE))
            if (EventWait() == EventHandOver) texts.push_back(HandOverReceived());
        if (woke == WAIT_OBJECT_0) break;
    }
    return texts;
}

TEST(Win32HandOverSender, Sends)
{
    const char* name = std::getenv(ChildName);
    if (!name) GTEST_SKIP() << "started by the test below";
    const char* text = std::getenv(ChildText);
    ExitProcess(static_cast<UINT>(HandOverSend(name, text ? text : "")));
}

// Two real processes: the window listens under a name; a sender under that
// name reaches it, one under another name finds nobody, and an overlong
// text is cut at the receiving end.
TEST(Win32HandOver, AnotherProcessHandsItsTextOver)
{
    RuntimeStart();
    ASSERT_EQ(WindowOpen(0, 0, 0, 300, 200, 0xCF0000, "main"), 1);
    const std::string name = "kelpra-test-" + std::to_string(GetCurrentProcessId());
    ASSERT_EQ(HandOverListen(name), 1);
    struct Case {
        std::string name;
        std::string text;
        DWORD sent;
        std::vector<std::string> received;
    };
    const std::vector<Case> cases = {
        {name, "print", 1, {"print"}},
        {name + "x", "print", 0, {}},
        {name, std::string(6000, 'a'), 1, {std::string(HandOverReceiveLimit, 'a')}},
        {name, "", 1, {""}},
    };
    for (const Case& c : cases) {
        HANDLE sender = StartSender(c.name, c.text);
        ASSERT_TRUE(sender);
        EXPECT_EQ(EventsUntilEnded(sender), c.received) << c.text.substr(0, 10);
        DWORD code = 99;
        GetExitCodeProcess(sender, &code);
        EXPECT_EQ(code, c.sent) << c.text.substr(0, 10);
        CloseHandle(sender);
    }
    RuntimeEnd();
}

}  // namespace
