#include "helpindex/typeahead.h"

#include <random>

#include "fixture.h"
#include "helpindex/contextlist.h"
#include "helpindex/indexlinks.h"
#include "helpindex/search.h"
#include "runtime/browser.h"
#include "runtime/text.h"
#include "runtime/window.h"

namespace {

// What type-ahead must give, the slow way: walk the list, keep each
// upper-cased keyword once.
std::vector<std::string> Model(const std::string& typed, int most)
{
    std::vector<std::string> keywords;
    std::vector<std::string> seen;
    const std::string start = TextToUpper(typed);
    for (auto* element = State.contextList.first; element; element = element->next) {
        const std::string upper = TextToUpper(element->record.keyword);
        if (typed.empty() || upper.empty() || upper.compare(0, start.size(), start) != 0) continue;
        if (std::find(seen.begin(), seen.end(), upper) != seen.end()) continue;
        seen.push_back(upper);
        if (static_cast<int>(keywords.size()) < most) keywords.push_back(element->record.keyword);
    }
    return keywords;
}

TEST_F(HelpFolderTest, TypeAheadListsKeywordsInListOrderOnceEach)
{
    folder.Write("index.htm",
                 CrLf({"<a href=\"print.htm\">PRINT</a><BR>", "<a href=\"pause.htm\">PAUSE</a><BR>",
                       "<a href=\"p2.htm\">PRINT</a><BR>", "<a href=\"index.htm#P\">P</a><BR>",
                       "<a href=\"abs.htm\">ABS</a><BR>", "<a href=\"bad.htm\"></a><BR>",
                       "<a href=\"ete.htm\">\xc9T\xc9</a><BR>", "<a href=\"pp.htm\">PRINT PAGE</a>"}));
    BuildContextList();
    const std::pair<std::string, std::vector<std::string>> cases[] = {
        {"p", {"PRINT", "PAUSE", "P", "PRINT PAGE"}},
        {"PRI", {"PRINT", "PRINT PAGE"}},
        {"print ", {"PRINT PAGE"}},
        {"Pa", {"PAUSE"}},
        {"\xe9t", {"\xc9T\xc9"}},  // upper-cased the program's way
        {"x", {}},
        {"", {}},
    };
    for (const auto& [typed, keywords] : cases)
        EXPECT_EQ(KeywordsBeginningWith(typed, 20), keywords) << typed;
    EXPECT_EQ(KeywordsBeginningWith("p", 2), (std::vector<std::string>{"PRINT", "PAUSE"}));
    EXPECT_TRUE(KeywordsBeginningWith("p", 0).empty());

    // A chosen keyword searched for lands on the first entry of it.
    TextFieldCreate(4, 155, 5, 0, 20, KeywordsBeginningWith("pri", 1)[0]);
    BrowserCreate(10, 0, 31, 0, 0, "");
    SearchKeyword(1);
    EXPECT_EQ(TheScript().navigations.back(), folder.Win("print.htm"));
}

TEST_F(HelpFolderTest, TypeAheadFollowsEntriesAddedWhileTheProgramRuns)
{
    folder.Write("index.htm", CrLf({"A<BR>", "<a href=\"abs.htm\">ABS</a><BR>", "Q<BR>",
                                    "<a href=\"quit.htm\">QUIT</a><BR>"}));
    BuildContextList();
    BrowserCreate(10, 0, 31, 0, 0, "");
    EXPECT_EQ(KeywordsBeginningWith("q", 20), (std::vector<std::string>{"QUIT"}));
    InsertIndexLink("Q");
    EXPECT_EQ(KeywordsBeginningWith("q", 20), (std::vector<std::string>{"Q", "QUIT"}));
    InsertContextSorted("QUICK", folder.Win("quick.htm"), KeywordCompare::UpperCased,
                        SameKeyword::UpdatePage);
    EXPECT_EQ(KeywordsBeginningWith("qu", 20), (std::vector<std::string>{"QUICK", "QUIT"}));
    // A list built anew (another index page) is not mistaken for the old one.
    folder.Write("index.htm", CrLf({"<a href=\"abs.htm\">ABS</a><BR>", "<a href=\"qb.htm\">QB</a><BR>"}));
    BuildContextList();
    EXPECT_EQ(KeywordsBeginningWith("q", 20), (std::vector<std::string>{"QB"}));
}

TEST(TypeAhead, AgreesWithAWalkOfTheListOnRandomLists)
{
    std::mt19937 random(14);
    const std::string letters = "aAbB\xe9\xc9 $";
    for (int round = 0; round < 20; ++round) {
        ProgramStateClear();
        const int count = static_cast<int>(random() % 300);
        for (int i = 0; i < count; ++i) {
            std::string keyword(random() % 4, ' ');
            for (char& c : keyword) c = letters[random() % letters.size()];
            // Entries go in at the cursor, as the running program puts them.
            if (State.contextList.count > 0 && random() % 3 == 0) {
                ListRewind(State.contextList);
                for (int step = static_cast<int>(random() % State.contextList.count); step >= 0; --step)
                    ListNext(State.contextList);
            }
            ListInsert(State.contextList)->record.keyword = keyword;
            if (random() % 10 == 0) KeywordsBeginningWith("a", 5);  // an index built midway goes stale
        }
        for (int query = 0; query < 30; ++query) {
            std::string typed(random() % 3, ' ');
            for (char& c : typed) c = letters[random() % letters.size()];
            const int most = static_cast<int>(random() % 6);
            ASSERT_EQ(KeywordsBeginningWith(typed, most), Model(typed, most))
                << "round " << round << " typed '" << typed << "' most " << most;
        }
    }
}

}  // namespace
