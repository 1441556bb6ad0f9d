#include "helpindex/search.h"

#include "fixture.h"
#include "helpindex/contextlist.h"
#include "runtime/browser.h"
#include "runtime/codepage.h"
#include "runtime/hostpath.h"
#include "runtime/requesters.h"
#include "runtime/window.h"

namespace {

class SearchTest : public HelpFolderTest {
protected:
    void SetUp() override
    {
        HelpFolderTest::SetUp();
        BrowserCreate(10, 0, 31, 0, 0, "");
        AddEntry("PAUSE", "T:\\pause.htm");
        AddEntry("PRINT", "T:\\print.htm");
        AddEntry("PRINT", "T:\\print-second.htm");
        AddEntry("P", "T:\\index.htm#P");
        AddEntry("\xc9T\xc9", "T:\\ete.htm");
        AddEntry("\xc9", "T:\\index.htm#E-acute");
    }

    void Search(const std::string& text, int ask)
    {
        TextFieldCreate(4, 155, 5, 0, 20, text);
        SearchKeyword(ask);
    }

    std::string Shown() const
    {
        return TheScript().navigations.empty() ? "(none)" : TheScript().navigations.back();
    }
};

TEST_F(SearchTest, FindsTheWordOrFallsBackToItsLetter)
{
    const std::
        vector<std::pair<std::string, std::string>>
            cases =
                {
                    {"print", "T:\\print.htm"},  // the first of two equal keywords
                    {"Print", "T:\\print.htm"},    {"PRINT", "T:\\print.htm"},
                    {"pause", "T:\\pause.htm"},    {"printx", "T:\\index.htm#P"},
                    {"print ", "T:\\index.htm#P"},  // no trimming, so only the letter matches
                    {"pr", "T:\\index.htm#P"},      // no prefix matching
                    {"\xe9t\xe9", "T:\\ete.htm"},  {"\xe9x", "T:\\index.htm#E-acute"},
                };
    for (const auto& [text, page] : cases) {
        for (int ask : {0, 1}) {
            TheScript().navigations.clear();
            Search(text, ask);
            EXPECT_EQ(Shown(), page) << text << " ask=" << ask;
        }
    }
    EXPECT_TRUE(TheScript().messages.empty());
}

TEST_F(SearchTest, QuietSearchThatFindsNothingDoesNothing)
{
    for (std::string text : {"zebra", " print", "", "9lives"}) Search(text, 0);
    EXPECT_TRUE(TheScript().navigations.empty());
    EXPECT_TRUE(TheScript().messages.empty());
    EXPECT_EQ(State.contextList.count, 6);
}

// A word without a letter (empty, or beginning with a blank or a control
// character: Enter pressed by accident) is never offered a place in the
// index page, even when Yes would be answered.
TEST_F(SearchTest, AskingSearchNamesTheTextAndTheLetter)
{
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"zebra", "No context found for\nkeyword=zebra\nDo you wish to insert a link to index=Z?"},
        {"9lives", "No context found for\nkeyword=9lives\nDo you wish to insert a link to index=9?"},
        {"#x", "No context found for\nkeyword=#x\nDo you wish to insert a link to index=#?"},
        {" print", ""},
        {"", ""},
        {"\tprint", ""},
        {"\x7F", ""},
    };
    folder.Write("index.htm", CrLf({"<a href=\"zoom.htm\">ZOOM</a><BR>"}));
    const std::string index = folder.Read("index.htm");
    for (const auto& [text, question] : cases) {
        TheScript().messages.clear();
        TheScript().messageAnswers.push_back(question.empty() ? AnswerYes : AnswerNo);
        Search(text, 1);
        TheScript().messageAnswers.clear();
        if (question.empty()) {
            EXPECT_TRUE(TheScript().messages.empty()) << text;
            continue;
        }
        ASSERT_EQ(TheScript().messages.size(), 1u) << text;
        EXPECT_EQ(TheScript().messages[0].title, "Kelpra V2");
        EXPECT_EQ(TheScript().messages[0].text, question);
        EXPECT_EQ(TheScript().messages[0].flags, 0x24);
    }
    EXPECT_TRUE(TheScript().navigations.empty());
    EXPECT_EQ(State.contextList.count, 6);
    EXPECT_EQ(folder.Read("index.htm"), index);
    EXPECT_FALSE(folder.Exists("index.new"));
}

TEST_F(SearchTest, YesInsertsTheLetterAndLaterSearchesFindIt)
{
    folder.Write("index.htm", CrLf({"Z<BR>", "<a href=\"zoom.htm\">ZOOM</a><BR>"}));
    TheScript().messageAnswers.push_back(AnswerYes);
    Search("zebra", 1);

    EXPECT_EQ(Shown(), "T:\\index.htm#Z");
    EXPECT_EQ(folder.Read("index.htm"), CrLf({"<A NAME=\"Z\"></A>", "<a href=\"index.htm#Z\">Z</a><BR>",
                                              "<a href=\"zoom.htm\">ZOOM</a><BR>"}));

    TheScript().navigations.clear();
    Search("zulu", 1);
    EXPECT_EQ(Shown(), "T:\\index.htm#Z");
    EXPECT_EQ(TheScript().messages.size(), 1u);
}

TEST_F(SearchTest, EmptyTextFindsAnEntryWithAnEmptyKeyword)
{
    AddEntry("", "T:\\broken.htm");
    AddEntry("", "T:\\broken-second.htm");
    Search("", 1);
    EXPECT_EQ(Shown(), "T:\\broken.htm");
    EXPECT_TRUE(TheScript().messages.empty());
}

// The same help folder in Windows-1252 and in UTF-8, its page in a folder
// with an accented name (UTF-8 on the host): a keyword typed in either
// encoding and either case finds the page, and a Yes to the letter question
// writes the letter into the index page in the index page's own encoding.
TEST_F(HelpFolderTest, AccentedKeywordsInEitherEncoding)
{
    // The host's own name: UTF-8 on Linux, the ANSI code page on Windows.
    folder.Write(HostTextFromProgram("R\xE9"
                                     "f\xE9rence/\xE9t\xE9.htm"),
                 "<p>\xC3\xA9t\xC3\xA9</p>");
    const std::string link =
        "<a href=\"R\xE9"
        "f\xE9rence/\xE9t\xE9.htm\">\xE9t\xE9</a><BR>";
    const std::string typed[] = {"\xE9t\xE9", "\xC3\xA9t\xC3\xA9", "\xC9T\xC9", "\xC3\x89T\xC3\x89",
                                 "\xC9t\xE9"};
    for (int utf8 : {0, 1}) {
        SCOPED_TRACE(utf8 ? "UTF-8 index" : "Windows-1252 index");
        folder.Write("index.htm", CrLf({"<a href=\"print.htm\">PRINT</a><BR>", TextInEncoding(link, utf8),
                                        "<a href=\"zoom.htm\">ZOOM</a><BR>"}));
        BuildContextList();
        EXPECT_EQ(State.indexUtf8, utf8);
        BrowserCreate(10, 0, 31, 0, 0, "");
        for (const std::string& text : typed) {
            TheScript().navigations.clear();
            TextFieldCreate(4, 155, 5, 0, 20, text);
            SearchKeyword(0);
            ASSERT_EQ(TheScript().navigations.size(), 1u) << text;
            EXPECT_EQ(TheScript().navigations[0],
                      "T:\\R\xE9"
                      "f\xE9rence\\\xE9t\xE9.htm")
                << text;
            EXPECT_GT(PathSize(TheScript().navigations[0]), 0) << text;
        }

        // "éclair" is not there, nor is its letter: Yes adds the letter É.
        TheScript().messageAnswers.push_back(AnswerYes);
        TextFieldCreate(4, 155, 5, 0, 20,
                        utf8 ? "\xC3\xA9"
                               "clair"
                             : "\xE9"
                               "clair");
        SearchKeyword(1);
        const std::string letter = TextInEncoding("\xC9", utf8);
        EXPECT_EQ(folder.Read("index.htm"),
                  CrLf({"<a href=\"print.htm\">PRINT</a><BR>", "<A NAME=\"" + letter + "\"></A>",
                        "<a href=\"index.htm#" + letter + "\">" + letter + "</a><BR>",
                        TextInEncoding(link, utf8), "<a href=\"zoom.htm\">ZOOM</a><BR>"}));
        // Typed in the other encoding, the letter is found now.
        TheScript().navigations.clear();
        TextFieldCreate(4, 155, 5, 0, 20,
                        utf8 ? "\xE9"
                               "cole"
                             : "\xC3\xA9"
                               "cole");
        SearchKeyword(1);
        EXPECT_EQ(TheScript().navigations, std::vector<std::string>{"T:\\index.htm#" + letter});
        TheScript().messages.clear();
    }
}

}  // namespace
