// The console realization that kelpra-cli links: answers without a user.
#include <chrono>

#include <gtest/gtest.h>

#include "runtime/browser.h"
#include "runtime/console/console.h"
#include "runtime/requesters.h"
#include "runtime/window.h"

namespace {

TEST(Console, MessageBoxesAnswerFromTheSwitch)
{
    const struct {
        int yes;
        int flags;
        int answer;
    } cases[] = {
        {0, MessageQuestion, AnswerNo}, {1, MessageQuestion, AnswerYes}, {0, MessageYesNo, AnswerNo},
        {1, MessageYesNo, AnswerYes},   {0, MessageError, AnswerOk},     {1, MessageOk, AnswerOk},
    };
    for (const auto& c : cases) {
        ConsoleAnswerYes(c.yes);
        EXPECT_EQ(MessageAsk("Kelpra V3", "question?", c.flags), c.answer) << c.yes << " " << c.flags;
    }
    ConsoleAnswerYes(0);
}

TEST(Console, NothingIsPickedStartedOrNavigated)
{
    RuntimeStart();
    EXPECT_EQ(FileRequestOpen("t", "C:\\a.txt", "All|*.*", 0), "");
    EXPECT_EQ(FolderRequest("t", "C:\\"), "");
    EXPECT_EQ(ProgramRun("NotePad.exe", "C:\\a.txt", "C:\\"), 0);
    EXPECT_EQ(ClipboardGetText(), "");
    ASSERT_TRUE(BrowserCreate(10, 0, 31, 0, 0, "C:\\help\\Menu.htm"));
    ControlSetText(10, "C:\\help\\index.htm");
    EXPECT_EQ(ControlGetText(10), "");
    ASSERT_TRUE(TextFieldCreate(4, 155, 5, 0, 20, "print"));
    EXPECT_EQ(ControlGetText(4), "print");
    EXPECT_EQ(EventWait(), EventClose);
    RuntimeEnd();
}

TEST(Console, PauseReallyWaits)
{
    auto start = std::chrono::steady_clock::now();
    Pause(20);
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(20));
}

}  // namespace
