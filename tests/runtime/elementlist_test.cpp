#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "runtime/elementlist.h"

namespace {

struct Entry {
    std::string keyword;
    std::string page;
    int number;
};

using List = ElementList<Entry>;

// The keywords front to back; also checks that the backward links, the
// count and the last element agree with the forward ones.
std::vector<std::string> Keywords(const List& list)
{
    std::vector<std::string> forward;
    const ListElement<Entry>* previous = nullptr;
    for (auto* e = list.first; e; e = e->next) {
        EXPECT_EQ(e->previous, previous) << "broken backward link at " << e->record.keyword;
        forward.push_back(e->record.keyword);
        previous = e;
    }
    EXPECT_EQ(list.last, previous);
    EXPECT_EQ(list.count, static_cast<int>(forward.size()));
    return forward;
}

// The 1-based position of the current element, counted from the front.
int CurrentPosition(const List& list)
{
    int position = 1;
    for (auto* e = list.first; e; e = e->next, ++position)
        if (e == list.current) return position;
    return 0;
}

void Insert(List& list, const std::string& keyword)
{
    ListInsert(list)->record.keyword = keyword;
}

List ListOf(std::initializer_list<const char*> keywords)
{
    List list;
    ListCreate(list);
    for (const char* k : keywords) Insert(list, k);
    return list;
}

TEST(ElementList, EmptyListThenFirstInsert)
{
    List list;
    ListCreate(list);
    EXPECT_EQ(ListNext(list), nullptr);
    EXPECT_EQ(list.current, nullptr);
    EXPECT_EQ(ListPrevious(list), nullptr);

    auto* only = ListInsert(list);
    EXPECT_EQ(list.first, only);
    EXPECT_EQ(list.last, only);
    EXPECT_EQ(list.current, only);
    EXPECT_EQ(list.currentIndex, 1);
    // A new element is zero-filled.
    EXPECT_EQ(only->record.keyword, "");
    EXPECT_EQ(only->record.page, "");
    EXPECT_EQ(only->record.number, 0);
    ListRelease(list);
}

TEST(ElementList, InsertLandsWhereTheCursorStands)
{
    struct Case {
        const char* name;
        void (*moveCursor)(List&);
        std::vector<std::string> expected;
        int expectedPosition;
    };
    const Case cases[] = {
        {"inserts in a row keep their order", [](List&) {}, {"A", "B", "C", "new"}, 4},
        {"after a rewind it goes first", [](List& l) { ListRewind(l); }, {"new", "A", "B", "C"}, 1},
        {"after walking off the end it goes last",
         [](List& l) {
             ListRewind(l);
             while (ListNext(l)) {}
         },
         {"A", "B", "C", "new"},
         4},
        {"after the first element",
         [](List& l) {
             ListRewind(l);
             ListNext(l);
         },
         {"A", "new", "B", "C"},
         2},
        {"after stepping back from the last", [](List& l) { ListPrevious(l); }, {"A", "B", "new", "C"}, 3},
    };
    for (const auto& c : cases) {
        List list = ListOf({"A", "B", "C"});
        c.moveCursor(list);
        Insert(list, "new");
        EXPECT_EQ(Keywords(list), c.expected) << c.name;
        EXPECT_EQ(list.current->record.keyword, "new") << c.name;
        EXPECT_EQ(CurrentPosition(list), c.expectedPosition) << c.name;
        EXPECT_EQ(list.currentIndex, c.expectedPosition) << c.name;
        ListRelease(list);
    }
}

TEST(ElementList, WalkingStopsAtTheEnds)
{
    List list = ListOf({"A", "B", "C"});
    ListRewind(list);
    EXPECT_EQ(list.current, nullptr);
    EXPECT_EQ(list.currentIndex, 0);
    EXPECT_EQ(ListPrevious(list), nullptr);

    std::vector<std::string> walked;
    while (auto* e = ListNext(list)) {
        walked.push_back(e->record.keyword);
        EXPECT_EQ(list.currentIndex, CurrentPosition(list));
    }
    EXPECT_EQ(walked, (std::vector<std::string>{"A", "B", "C"}));
    EXPECT_EQ(list.current, list.last);  // running off keeps the last current
    EXPECT_EQ(list.currentIndex, 3);

    EXPECT_EQ(ListPrevious(list)->record.keyword, "B");
    EXPECT_EQ(ListPrevious(list)->record.keyword, "A");
    EXPECT_EQ(ListPrevious(list), nullptr);  // the first stays current
    EXPECT_EQ(list.current, list.first);
    EXPECT_EQ(list.currentIndex, 1);

    ListRelease(list);
    EXPECT_EQ(list.first, nullptr);
    EXPECT_EQ(list.count, 0);
    EXPECT_EQ(ListNext(list), nullptr);
}

// Elements are made in blocks: one taken earlier must stay where it is and
// hold what it held however many come after it, in front of it or behind.
TEST(ElementList, ElementsStayPutAcrossManyInserts)
{
    List list;
    ListCreate(list);
    std::vector<ListElement<Entry>*> made;
    for (int i = 0; i < 3 * 256 + 7; ++i) {
        // Every third insert goes in front of the first element.
        if (i % 3 == 0) ListRewind(list);
        else list.current = list.last;
        auto* element = ListInsert(list);
        element->record.number = i;
        made.push_back(element);
    }
    for (int i = 0; i < static_cast<int>(made.size()); ++i) ASSERT_EQ(made[i]->record.number, i);
    EXPECT_EQ(Keywords(list).size(), made.size());
    EXPECT_EQ(list.first->record.number, 3 * 256 + 6 - (3 * 256 + 6) % 3);
    EXPECT_EQ(list.last->record.number, 3 * 256 + 5);
    ListRelease(list);
    EXPECT_EQ(list.first, nullptr);
    ListInsert(list);
    EXPECT_EQ(list.count, 1);
    ListRelease(list);
}

}  // namespace
