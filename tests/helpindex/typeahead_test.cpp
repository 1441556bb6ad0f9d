#include "helpindex/typeahead.h"

#include <cctype>
#include <random>

#include "fixture.h"
#include "helpindex/contextlist.h"
#include "helpindex/indexlinks.h"
#include "helpindex/search.h"
#include "runtime/browser.h"
#include "runtime/text.h"
#include "runtime/window.h"

namespace {

bool IsWordByte(char c)
{
    return static_cast<unsigned char>(c) >= 0x80 || std::isalnum(static_cast<unsigned char>(c));
}

// Whether the typed text begins a word of the keyword after its first.
bool BeginsALaterWord(const std::string& upper, const std::string& start)
{
    for (size_t at = 1; at < upper.size(); ++at)
        if (IsWordByte(upper[at]) && !IsWordByte(upper[at - 1]) &&
            upper.compare(at, start.size(), start) == 0)
            return true;
    return false;
}

// What type-ahead must give, the slow way: walk the list twice, the keywords
// that begin with the text, then those with a later word that does; each
// upper-cased keyword once, as its first entry spells it.
TypeAheadRows Model(const std::string& typed, int most)
{
    TypeAheadRows rows;
    std::vector<std::string> seen;
    const std::string start = TextToUpper(typed);
    for (int pass = 0; pass < 2; ++pass) {
        for (auto* element = State.contextList.first; element; element = element->next) {
            const std::string upper = TextToUpper(element->record.keyword);
            if (typed.empty() || upper.empty() || std::find(seen.begin(), seen.end(), upper) != seen.end())
                continue;
            const bool begins = upper.compare(0, start.size(), start) == 0;
            if (pass == 0 ? !begins : begins || !BeginsALaterWord(upper, start)) continue;
            seen.push_back(upper);
            const std::string& spelled =
                element->record.spelling.empty() ? element->record.keyword : element->record.spelling;
            if (static_cast<int>(rows.keywords.size()) < most) rows.keywords.push_back(spelled);
            else rows.more += 1;
        }
    }
    if (most <= 0) rows.more = 0;
    return rows;
}

std::vector<std::string> Shown(const std::string& typed, int most)
{
    return TypeAheadKeywords(typed, most).keywords;
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
        {"page", {"PRINT PAGE"}},
        {"PRI", {"PRINT", "PRINT PAGE"}},
        {"print ", {"PRINT PAGE"}},
        {"Pa", {"PAUSE", "PRINT PAGE"}},
        {"\xe9t", {"\xc9T\xc9"}},  // upper-cased the program's way
        {"x", {}},
        {"", {}},
    };
    for (const auto& [typed, keywords] : cases) EXPECT_EQ(Shown(typed, 20), keywords) << typed;
    EXPECT_EQ(Shown("p", 2), (std::vector<std::string>{"PRINT", "PAUSE"}));
    EXPECT_TRUE(Shown("p", 0).empty());

    // A chosen keyword searched for lands on the first entry of it.
    TextFieldCreate(4, 155, 5, 0, 20, Shown("pri", 1)[0]);
    BrowserCreate(10, 0, 31, 0, 0, "");
    SearchKeyword(1);
    EXPECT_EQ(TheScript().navigations.back(), folder.Win("print.htm"));
}

// The keywords that begin with the text come first, then those in which it
// begins a later word; each as the index page spells it, and how many more
// match than are shown.
TEST_F(HelpFolderTest, TypeAheadListsLaterWordsAfterAndSpellsAsTheIndex)
{
    folder.Write(
        "index.htm",
        CrLf({"<a href=\"v1.htm\">std::vector::push_back</a><BR>", "<a href=\"pb.htm\">push_back</a><BR>",
              "<a href=\"j.htm\">os.path.join</a><BR>", "<a href=\"pop.htm\">std::vector::pop_back</a><BR>",
              "<a href=\"v.htm\">std::vector</a><BR>", "<a href=\"pb2.htm\">PUSH_BACK</a><BR>",
              "<a href=\"pu.htm\">Push Up</a><BR>", "<a href=\"\xe9.htm\">\xe9t\xe9 \xe9t\xe9</a><BR>"}));
    BuildContextList();
    struct Case {
        const char* typed;
        int most;
        std::vector<std::string> keywords;
        int more;
    };
    const Case cases[] = {
        {"push_back", 20, {"push_back", "std::vector::push_back"}, 0},
        {"push", 20, {"push_back", "Push Up", "std::vector::push_back"}, 0},
        {"push", 2, {"push_back", "Push Up"}, 1},
        {"push", 1, {"push_back"}, 2},
        {"back", 20, {"std::vector::push_back", "push_back", "std::vector::pop_back"}, 0},
        {"VECTOR", 20, {"std::vector::push_back", "std::vector::pop_back", "std::vector"}, 0},
        {"os.path", 20, {"os.path.join"}, 0},
        {"join", 20, {"os.path.join"}, 0},
        {"td", 20, {}, 0},
        {"ector", 20, {}, 0},
        {"::push", 20, {}, 0},
        {"up", 20, {"Push Up"}, 0},
        {"\xc9T\xc9", 20, {"\xe9t\xe9 \xe9t\xe9"}, 0},
    };
    for (const Case& c : cases) {
        const TypeAheadRows rows = TypeAheadKeywords(c.typed, c.most);
        EXPECT_EQ(rows.keywords, c.keywords) << c.typed << " " << c.most;
        EXPECT_EQ(rows.more, c.more) << c.typed << " " << c.most;
    }
    // A keyword chosen as spelled finds its page.
    TextFieldCreate(4, 155, 5, 0, 20, Shown("join", 1)[0]);
    BrowserCreate(10, 0, 31, 0, 0, "");
    SearchKeyword(1);
    EXPECT_EQ(TheScript().navigations.back(), folder.Win("j.htm"));
}

TEST_F(HelpFolderTest, TypeAheadFollowsEntriesAddedWhileTheProgramRuns)
{
    folder.Write("index.htm", CrLf({"A<BR>", "<a href=\"abs.htm\">ABS</a><BR>", "Q<BR>",
                                    "<a href=\"quit.htm\">QUIT</a><BR>"}));
    BuildContextList();
    BrowserCreate(10, 0, 31, 0, 0, "");
    EXPECT_EQ(Shown("q", 20), (std::vector<std::string>{"QUIT"}));
    InsertIndexLink("Q");
    EXPECT_EQ(Shown("q", 20), (std::vector<std::string>{"Q", "QUIT"}));
    InsertContextSorted("QUICK", folder.Win("quick.htm"), KeywordCompare::UpperCased,
                        SameKeyword::UpdatePage);
    EXPECT_EQ(Shown("qu", 20), (std::vector<std::string>{"QUICK", "QUIT"}));
    // A list built anew (another index page) is not mistaken for the old one.
    folder.Write("index.htm", CrLf({"<a href=\"abs.htm\">ABS</a><BR>", "<a href=\"qb.htm\">QB</a><BR>"}));
    BuildContextList();
    EXPECT_EQ(Shown("q", 20), (std::vector<std::string>{"QB"}));
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
            ContextEntry& entry = ListInsert(State.contextList)->record;
            entry.keyword = keyword;
            if (random() % 2 == 0) entry.spelling = "spelled " + keyword;
            if (random() % 10 == 0) Shown("a", 5);  // an index built midway goes stale
        }
        for (int query = 0; query < 30; ++query) {
            std::string typed(random() % 3, ' ');
            for (char& c : typed) c = letters[random() % letters.size()];
            const int most = static_cast<int>(random() % 6);
            const TypeAheadRows rows = TypeAheadKeywords(typed, most);
            const TypeAheadRows model = Model(typed, most);
            ASSERT_EQ(rows.keywords, model.keywords)
                << "round " << round << " typed '" << typed << "' most " << most;
            ASSERT_EQ(rows.more, model.more) << "round " << round << " typed '" << typed << "' most " << most;
        }
    }
}

}  // namespace
