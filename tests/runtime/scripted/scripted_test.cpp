// The scripted user interface is test equipment for every suite above the
// runtime; its browser history and answers must behave like the real ones.
#include "runtime/scripted/script.h"

#include <gtest/gtest.h>

#include "runtime/browser.h"
#include "runtime/requesters.h"
#include "runtime/window.h"

namespace {

class ScriptedTest : public ::testing::Test {
protected:
    void SetUp() override { ScriptReset(); }
};

// Navigations and steps are shown when the loop next waits (or pauses),
// as a real browser's are; until then the address is the one shown before.
TEST_F(ScriptedTest, BrowserShowsNavigationsWhenTheLoopWaits)
{
    EXPECT_EQ(ScriptAddressOf(""), "");
    EXPECT_EQ(ScriptAddressOf("C:\\My Help\\index.htm#P"), "file:///C:/My%20Help/index.htm#P");
    EXPECT_EQ(ScriptAddressOf("file:///C:/My%20Help/x.htm"), "file:///C:/My%20Help/x.htm");

    ASSERT_EQ(BrowserCreate(10, 0, 31, 0, 0, "C:\\H\\Menu.htm"), 1);
    EXPECT_EQ(ControlGetText(10), "");
    EXPECT_EQ(BrowserTargetAddress(10), "file:///C:/H/Menu.htm");
    EventWait();
    EXPECT_EQ(ControlGetText(10), "file:///C:/H/Menu.htm");

    ControlSetText(10, "C:\\H\\a b.htm");
    BrowserShowCopy(10, "C:\\H\\vosks.html", "C:\\H\\a b.htm");
    EXPECT_EQ(ControlGetText(10), "file:///C:/H/Menu.htm");
    EXPECT_EQ(BrowserTargetPage(10), "C:\\H\\a b.htm");
    Pause(20);
    EXPECT_EQ(ControlGetText(10), "file:///C:/H/vosks.html");
    ControlSetState(10, BrowserBack);
    EventWait();
    EXPECT_EQ(ControlGetText(10), "file:///C:/H/Menu.htm");
    std::vector<std::string> laidOut;
    for (const RecordedLayout& layout : TheScript().layouts) laidOut.push_back(layout.address);
    EXPECT_EQ(laidOut, (std::vector<std::string>{"file:///C:/H/Menu.htm", "file:///C:/H/vosks.html",
                                                 "file:///C:/H/Menu.htm"}));
    EXPECT_EQ(TheScript().navigations, (std::vector<std::string>{"C:\\H\\a b.htm", "C:\\H\\vosks.html"}));
}

TEST_F(ScriptedTest, EventsComeFromTheQueueThenClose)
{
    TheScript().events = {{EventMenu, 12, ""}, {EventControl, 5, ""}, {512, 0, ""}};
    EXPECT_EQ(EventWait(), EventMenu);
    EXPECT_EQ(EventMenuId(), 12);
    EXPECT_EQ(EventWait(), EventControl);
    EXPECT_EQ(EventControlId(), 5);
    EXPECT_EQ(EventMenuId(), 5);
    EXPECT_EQ(EventWait(), 512);
    EXPECT_EQ(EventWait(), EventClose);
    EXPECT_EQ(EventWait(), EventClose);
}

TEST_F(ScriptedTest, UnansweredBoxesGiveOkOrNo)
{
    TheScript().messageAnswers = {AnswerYes};
    EXPECT_EQ(MessageAsk("t", "queued", MessageQuestion), AnswerYes);
    EXPECT_EQ(MessageAsk("t", "ok", MessageOk), AnswerOk);
    EXPECT_EQ(MessageAsk("t", "error", MessageError), AnswerOk);
    EXPECT_EQ(MessageAsk("t", "yes/no", MessageYesNo), AnswerNo);
    EXPECT_EQ(MessageAsk("t", "question", MessageQuestion), AnswerNo);
    EXPECT_EQ(TheScript().messages.size(), 5u);

    TheScript().requesterAnswers = {"C:\\a.dba"};
    EXPECT_EQ(FileRequestOpen("Open", "C:\\x\\", "A|*.a", 1), "C:\\a.dba");
    EXPECT_EQ(FolderRequest("Help", "C:\\"), "");
}

intptr_t HandleSize(intptr_t, uint32_t message, uintptr_t, intptr_t)
{
    return message == MessageSize ? 1 : CallbackDefault;
}

intptr_t PassEverything(intptr_t, uint32_t, uintptr_t, intptr_t)
{
    return CallbackDefault;
}

TEST_F(ScriptedTest, ResizeReachesTheCallbackAndOnlyUnhandledOnesBecomeEvents)
{
    WindowSetCallback(HandleSize);
    ScriptResize(600, 400);
    EXPECT_EQ(WindowAreaWidth(), 600);
    EXPECT_EQ(WindowAreaHeight(), 400);
    EXPECT_TRUE(TheScript().events.empty());

    WindowSetCallback(PassEverything);
    ScriptResize(700, 400);
    ASSERT_EQ(TheScript().events.size(), 1u);
    EXPECT_EQ(EventWait(), 5);
}

}  // namespace
