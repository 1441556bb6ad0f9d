// The history the browser realizations share: what is pending, what is
// shown, what must be laid out again, and that display copies keep the page
// they stand for in a single entry.
#include "runtime/browserhistory.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(BrowserEntry, AddressesAndPathsNameTheSameEntry)
{
    struct Case {
        const char* given;
        const char* path;
        const char* anchor;
        const char* address;
    };
    const Case cases[] = {
        {"C:\\My Help\\index.htm#P", "C:\\My Help\\index.htm", "P", "file:///C:/My%20Help/index.htm#P"},
        {"file:///C:/My%20Help/a%23b.htm#x", "C:\\My Help\\a#b.htm", "x", "file:///C:/My%20Help/a%23b.htm#x"},
        {"T:\\h\\x.htm", "T:\\h\\x.htm", "", "file:///T:/h/x.htm"},
        // Wine's browser component reports a file so.
        {"file://C:\\My Help\\x.htm#y", "C:\\My Help\\x.htm", "y", "file:///C:/My%20Help/x.htm#y"},
        {"FILE:///C:/x.htm", "C:\\x.htm", "", "file:///C:/x.htm"},
        {"file://server/share/x.htm", "\\\\server\\share\\x.htm", "", "file://///server/share/x.htm"},
        {"file://///server/share/x.htm", "\\\\server\\share\\x.htm", "", "file://///server/share/x.htm"},
        {"about:blank", "about:blank", "", "about:blank"},
    };
    for (const Case& c : cases) {
        BrowserEntry entry = BrowserEntryOf(c.given);
        EXPECT_EQ(entry.path, c.path) << c.given;
        EXPECT_EQ(entry.anchor, c.anchor) << c.given;
        EXPECT_EQ(BrowserEntryAddress(entry), c.address) << c.given;
    }
}

// One user session, step by step: what the browser is headed for before the
// event loop gets to it, and what it shows and lays out afterwards.
TEST(BrowserHistory, OneEntryPerPageAndALayoutOnlyWhenTheDocumentChanges)
{
    enum Op { Go, Copy, Back, Next, Stop, Reload };
    struct Step {
        Op op;
        const char* path;  // Go: the address; Copy: the copy's path
        const char* page;  // Copy: the page it stands for
        const char* target;
        const char* targetPage;
        bool layOut;  // when the loop shows it
        size_t entries;
        int current;
    };
    const char* copy = "C:\\H\\vosks.html";
    const Step steps[] = {
        {Go, "C:\\H\\Menu.htm", "", "file:///C:/H/Menu.htm", "", true, 1, 0},
        {Copy, copy, "C:\\H\\Menu.htm", "file:///C:/H/vosks.html", "C:\\H\\Menu.htm", true, 1, 0},
        {Go, "C:\\H\\a.htm", "", "file:///C:/H/a.htm", "", true, 2, 1},
        {Copy, copy, "C:\\H\\a.htm", "file:///C:/H/vosks.html", "C:\\H\\a.htm", true, 2, 1},
        // A jump within the copy keeps the page and the document on screen.
        {Go, "C:\\H\\vosks.html#low", "", "file:///C:/H/vosks.html#low", "C:\\H\\a.htm", false, 3, 2},
        {Go, "C:\\H\\i.htm#A", "", "file:///C:/H/i.htm#A", "", true, 4, 3},
        // Back onto a copy: same file name, another page, so laid out again.
        {Back, "", "", "file:///C:/H/vosks.html#low", "C:\\H\\a.htm", true, 4, 2},
        {Back, "", "", "file:///C:/H/vosks.html", "C:\\H\\a.htm", false, 4, 1},
        {Back, "", "", "file:///C:/H/vosks.html", "C:\\H\\Menu.htm", true, 4, 0},
        {Back, "", "", "file:///C:/H/vosks.html", "C:\\H\\Menu.htm", false, 4, 0},
        // The copy written anew in the entry stepped onto keeps what lies ahead.
        {Next, "", "", "file:///C:/H/vosks.html", "C:\\H\\a.htm", true, 4, 1},
        {Copy, copy, "C:\\H\\a.htm", "file:///C:/H/vosks.html", "C:\\H\\a.htm", true, 4, 1},
        {Next, "", "", "file:///C:/H/vosks.html#low", "C:\\H\\a.htm", false, 4, 2},
        {Next, "", "", "file:///C:/H/i.htm#A", "", true, 4, 3},
        {Next, "", "", "file:///C:/H/i.htm#A", "", false, 4, 3},
        // A copy with nothing pending takes the shown entry's place.
        {Copy, copy, "C:\\H\\i.htm", "file:///C:/H/vosks.html#A", "C:\\H\\i.htm", true, 4, 3},
        {Stop, "", "", "file:///C:/H/vosks.html#A", "C:\\H\\i.htm", false, 4, 3},
        {Reload, "", "", "file:///C:/H/vosks.html#A", "C:\\H\\i.htm", true, 4, 3},
    };
    BrowserHistory history;
    for (size_t i = 0; i < std::size(steps); ++i) {
        const Step& step = steps[i];
        SCOPED_TRACE(i);
        switch (step.op) {
        case Go: HistoryNavigate(history, BrowserEntryOf(step.path)); break;
        case Copy: HistoryShowCopy(history, step.path, step.page); break;
        case Back: HistoryStep(history, -1); break;
        case Next: HistoryStep(history, 1); break;
        case Stop: HistoryStop(history); break;
        case Reload: HistoryReload(history); break;
        }
        ASSERT_NE(HistoryTarget(history), nullptr);
        EXPECT_EQ(BrowserEntryAddress(*HistoryTarget(history)), step.target);
        EXPECT_EQ(HistoryTarget(history)->page, step.targetPage);
        BrowserCommit commit = HistoryCommit(history, 0);
        EXPECT_EQ(commit.layOut, step.layOut);
        if (commit.layOut) HistoryLaidOut(history);
        EXPECT_EQ(history.entries.size(), step.entries);
        EXPECT_EQ(history.current, step.current);
    }
}

TEST(BrowserHistory, PendingNavigationsAndStepsBeforeTheLoopShowsThem)
{
    BrowserHistory history;
    EXPECT_EQ(HistoryTarget(history), nullptr);
    EXPECT_EQ(HistoryStep(history, -1), 0);
    HistoryShowCopy(history, "C:\\H\\vosks.html", "C:\\H\\a.htm");  // nothing to put it in
    EXPECT_EQ(HistoryTarget(history), nullptr);
    for (const char* page : {"C:\\H\\a.htm", "C:\\H\\b.htm", "C:\\H\\c.htm"}) {
        HistoryNavigate(history, BrowserEntryOf(page));
        HistoryCommit(history, 0);
    }
    // A later navigation replaces one not shown yet; Stop forgets it.
    HistoryNavigate(history, BrowserEntryOf("C:\\H\\x.htm"));
    HistoryNavigate(history, BrowserEntryOf("C:\\H\\y.htm"));
    HistoryStop(history);
    EXPECT_EQ(HistoryTarget(history)->path, "C:\\H\\c.htm");
    EXPECT_FALSE(HistoryCommit(history, 0).done);

    // Two presses of Back before the loop gets to either are two steps; one
    // beyond the start changes nothing.
    history.entries[0].scroll = 40;
    EXPECT_EQ(HistoryStep(history, -1), 1);
    EXPECT_EQ(HistoryStep(history, -1), 1);
    EXPECT_EQ(HistoryStep(history, -1), 0);
    EXPECT_EQ(HistoryTarget(history)->path, "C:\\H\\a.htm");
    BrowserCommit commit = HistoryCommit(history, 75);
    EXPECT_TRUE(commit.returning);
    EXPECT_EQ(history.entries[0].scroll, 40);
    EXPECT_EQ(history.entries[2].scroll, 75);
    // A new page after Back drops what lay ahead; it starts at the top.
    HistoryNavigate(history, BrowserEntryOf("C:\\H\\d.htm"));
    commit = HistoryCommit(history, 10);
    EXPECT_FALSE(commit.returning);
    EXPECT_EQ(history.entries.size(), 2u);
    EXPECT_EQ(history.entries[1].scroll, 0);
    EXPECT_EQ(history.entries[0].scroll, 10);
}

}  // namespace
