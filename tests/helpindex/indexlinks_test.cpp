#include "helpindex/indexlinks.h"

#include <filesystem>

#include "fixture.h"
#include "helpindex/backups.h"
#include "helpindex/contextlist.h"
#include "helpindex/search.h"
#include "runtime/browser.h"

namespace {

// An index page laid out like the help folder's own.
const std::vector<std::string> IndexPage = {
    "<html><head><title>Dark Basic Index</title></head><body>",  // 0
    "Index of commands<BR>",                                     // 1
    "Dark Basic commands in alphabetical order<BR>",             // 2
    "A<BR>",                                                     // 3
    "<a href=\"commands/abs.htm\">ABS</a><BR>",                  // 4
    "<a href=\"commands/asc.htm\">ASC</a><BR>",                  // 5
    "D<BR>",                                                     // 6
    "<a href=\"commands/data.htm\">DATA</a><BR>",                // 7
    "I<BR>",                                                     // 8
    "<a href=\"commands/if.htm\">IF</a><BR>",                    // 9
    "<a href=\"commands/input.htm\">INPUT</a><BR>",              // 10
    "print statements are listed below<BR>",                     // 11
    "P<BR>",                                                     // 12
    "<a href=\"commands/pause.htm\">PAUSE</a><BR>",              // 13
    "<a href=\"commands/print.htm\">PRINT</a><BR>",              // 14
    "</body></html>",                                            // 15
};

class IndexLinkTest : public HelpFolderTest {
protected:
    void SetUp() override
    {
        HelpFolderTest::SetUp();
        BrowserCreate(10, 0, 31, 0, 0, "");
    }
};

std::vector<std::string> WithAnchor(std::vector<std::string> lines, const std::string& kw, int at,
                                    bool replace)
{
    if (replace) lines.erase(lines.begin() + at);
    lines.insert(lines.begin() + at,
                 {"<A NAME=\"" + kw + "\"></A>", "<a href=\"index.htm#" + kw + "\">" + kw + "</a><BR>"});
    return lines;
}

struct PlaceCase {
    std::string keyword;
    std::string kw;
    int at;  // -1: no line qualifies
    bool replace;
};

TEST_F(IndexLinkTest, AnchorGoesToTheLettersPlaceInTheIndexPage)
{
    const std::vector<PlaceCase> cases = {
        {"P", "P", 12, true},  // the heading before the P links
        {"p", "P", 12, true},  // upper-cased; "print ..." does not count
        {"I", "I", 8, true},   // "Index of commands" is passed over
        {"D", "D", 6, true},   // so is "Dark Basic ..."
        {"B", "B", 7, false},  // before DATA, the first link after it
        {"A", "A", 3, true},           {"PRINT", "PRINT", -1, false},
        {"PAUSE", "PAUSE", 14, false}, {"", "", 4, false},  // only link lines can take an empty keyword
        {"Z", "Z", -1, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("keyword '" + c.keyword + "'");
        folder.Write("index.htm", CrLf(IndexPage));
        TheScript().navigations.clear();
        TheScript().pauses.clear();

        InsertIndexLink(c.keyword);

        auto expected = c.at < 0 ? IndexPage : WithAnchor(IndexPage, c.kw, c.at, c.replace);
        EXPECT_EQ(folder.Read("index.htm"), CrLf(expected));
        EXPECT_FALSE(folder.Exists("index.new"));
        EXPECT_EQ(TheScript().navigations, std::vector<std::string>{"T:\\index.htm#" + c.kw});
        EXPECT_EQ(TheScript().pauses, std::vector<int>{20});
    }
    EXPECT_TRUE(TheScript().messages.empty());
}

TEST_F(IndexLinkTest, NewEntryStandsBeforeTheFirstKeywordSortingAfterIt)
{
    struct Case {
        std::vector<std::string> before;
        std::string keyword;
        std::vector<std::string> after;
    };
    const std::vector<Case> cases = {
        {{"ABS", "PAUSE", "PRINT"}, "P", {"ABS", "P", "PAUSE", "PRINT"}},
        {{"ABS", "PAUSE", "PRINT"}, "A", {"A", "ABS", "PAUSE", "PRINT"}},
        {{"ABS", "PAUSE", "PRINT"}, "Z", {"ABS", "PAUSE", "PRINT", "Z"}},
        {{"ABS", "PAUSE", "PRINT"}, "pause", {"ABS", "PAUSE", "PAUSE", "PRINT"}},
        {{}, "q", {"Q"}},
        {{"ZOOM", "ABS"}, "B", {"B", "ZOOM", "ABS"}},  // the walk stops at the first one
        {{"ABS", "abs"}, "B", {"ABS", "B", "abs"}},    // stored keywords, unsigned bytes
        {{"\xc9T\xc9"}, "Z", {"Z", "\xc9T\xc9"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("keyword '" + c.keyword + "'");
        ListCreate(State.contextList);
        for (const auto& keyword : c.before) AddEntry(keyword, "T:\\x.htm");
        InsertIndexLink(c.keyword);  // no index page: the entry alone
        EXPECT_EQ(Keywords(), c.after);
        EXPECT_EQ(State.contextList.current->record.page,
                  "T:\\index.htm#" + State.contextList.current->record.keyword);
    }
    EXPECT_TRUE(TheScript().navigations.empty());
    EXPECT_FALSE(folder.Exists("index.new"));
}

TEST_F(IndexLinkTest, RewriteEndsEveryLineWithCrLf)
{
    folder.Write("index.htm",
                 "A<BR>\r<a href=\"abs.htm\">ABS</a><BR>\nP<BR>\r\n<a href=\"print.htm\">PRINT</a>");
    InsertIndexLink("P");
    EXPECT_EQ(folder.Read("index.htm"),
              CrLf({"A<BR>", "<a href=\"abs.htm\">ABS</a><BR>", "<A NAME=\"P\"></A>",
                    "<a href=\"index.htm#P\">P</a><BR>", "<a href=\"print.htm\">PRINT</a>"}));
}

TEST_F(IndexLinkTest, EmptyIndexPageBecomesOneEmptyLine)
{
    folder.Write("index.htm", "");
    InsertIndexLink("P");
    EXPECT_EQ(folder.Read("index.htm"), "\r\n");
    EXPECT_EQ(TheScript().navigations, std::vector<std::string>{"T:\\index.htm#P"});
}

TEST_F(IndexLinkTest, BackupIsTakenBeforeTheIndexPageChanges)
{
    const std::string original = CrLf({"P<BR>"});
    folder.Write("index.htm", original);
    InsertIndexLink("P");
    EXPECT_EQ(folder.Read("prog\\index.bak"), original);
    EXPECT_NE(folder.Read("index.htm"), original);
}

// A rewrite that fails at any write, flush, close or rename keeps the index
// page as it was and says so; the browser still goes to the letter's entry,
// which the context list keeps. The run that sees no failure adds the anchor.
TEST_F(IndexLinkTest, EveryFailedStepKeepsTheIndexPage)
{
    const std::string original = CrLf(IndexPage);
    folder.Write("index.htm", original);
    BackupHelpPages();  // made once; the sweep is about the index page
    for (FileOperation operation :
         {FileOperation::Write, FileOperation::Flush, FileOperation::Close, FileOperation::Rename}) {
        for (long n = 1;; ++n) {
            SCOPED_TRACE(n);
            folder.Write("index.htm", original);
            ListCreate(State.contextList);
            TheScript().navigations.clear();
            FileFailureClear();
            FaultFailAt(operation, n);

            const int written = InsertIndexLink("P");

            EXPECT_EQ(TheScript().navigations, std::vector<std::string>{"T:\\index.htm#P"});
            EXPECT_EQ(FindContext("P"), 1);
            EXPECT_FALSE(folder.Exists("index.new"));
            if (!FaultsInjected()) {
                EXPECT_EQ(written, 1);
                EXPECT_EQ(folder.Read("index.htm"), CrLf(WithAnchor(IndexPage, "P", 12, true)));
                break;
            }
            EXPECT_EQ(written, 0);
            EXPECT_EQ(folder.Read("index.htm"), original);
            EXPECT_EQ(FileLastFailure().kind, FileFailureKind::System);
            EXPECT_EQ(FileLastFailure().file, "T:\\index.htm");
            for (const auto& entry : std::filesystem::directory_iterator(folder.Host()))
                EXPECT_NE(entry.path().filename().string().rfind(".kelpra-", 0), 0u) << entry.path();
        }
    }
    // The byte budgets a full disk once had here, all inside the page.
    for (long long allowed : {0LL, 10LL, 60LL}) {
        folder.Write("index.htm", original);
        FaultFailWritesAfter(allowed);
        EXPECT_EQ(InsertIndexLink("P"), 0);
        EXPECT_EQ(folder.Read("index.htm"), original) << allowed;
    }
    EXPECT_TRUE(TheScript().messages.empty());
}

TEST_F(IndexLinkTest, MissingIndexPageAddsOnlyTheEntry)
{
    InsertIndexLink("P");
    EXPECT_EQ(Keywords(), std::vector<std::string>{"P"});
    EXPECT_FALSE(folder.Exists("index.htm"));
    EXPECT_FALSE(folder.Exists("index.new"));
    EXPECT_TRUE(TheScript().navigations.empty());
    EXPECT_TRUE(TheScript().pauses.empty());
}

}  // namespace
