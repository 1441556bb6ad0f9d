// The cursor list: a doubly linked list with a current element. Where new
// entries land depends on where the cursor stands, so the cursor rules are
// exact: ListInsert goes after the current element (first when there is
// none), and ListNext stays on the last element when the walk runs off.
#pragma once

#include <cstddef>
#include <vector>

template <typename Record>
struct ListElement {
    ListElement* next = nullptr;
    ListElement* previous = nullptr;
    Record record{};
};

template <typename Record>
struct ElementList {
    // Its elements point at each other: a copy would share them.
    ElementList() = default;
    ElementList(const ElementList&) = delete;
    ElementList& operator=(const ElementList&) = delete;
    ElementList(ElementList&&) noexcept = default;
    ElementList& operator=(ElementList&&) noexcept = default;

    ListElement<Record>* first = nullptr;
    ListElement<Record>* last = nullptr;
    ListElement<Record>* current = nullptr;
    int count = 0;
    int currentIndex = 0;  // 1-based; 0 when no element is current
    // Goes up with every insert and release, never back: what is built from
    // the list (the type-ahead index) knows by it that the list changed.
    long long changes = 0;
    // The elements themselves, in blocks that are never grown past their
    // room, so an element never moves: a list of a hundred thousand index
    // entries costs a few hundred allocations instead of one per entry.
    std::vector<std::vector<ListElement<Record>>> blocks;
};

constexpr size_t ListBlockElements = 256;

// Frees every element; the list is then empty. Nothing removes single
// elements: entries live as long as their list.
template <typename Record>
void ListRelease(ElementList<Record>& list)
{
    long long changes = list.changes + 1;
    list = ElementList<Record>{};
    list.changes = changes;
}

// A second ListCreate on the same list starts it anew.
template <typename Record>
void ListCreate(ElementList<Record>& list)
{
    ListRelease(list);
}

template <typename Record>
ListElement<Record>* ListInsert(ElementList<Record>& list)
{
    if (list.blocks.empty() || list.blocks.back().size() == ListBlockElements) {
        list.blocks.emplace_back();
        list.blocks.back().reserve(ListBlockElements);
    }
    ListElement<Record>* element = &list.blocks.back().emplace_back();
    if (list.current) {
        element->previous = list.current;
        element->next = list.current->next;
        if (element->next) element->next->previous = element;
        list.current->next = element;
    } else {
        element->next = list.first;
        if (element->next) element->next->previous = element;
    }
    if (!element->previous) list.first = element;
    if (!element->next) list.last = element;
    list.current = element;
    list.count += 1;
    list.currentIndex += 1;
    list.changes += 1;
    return element;
}

template <typename Record>
void ListRewind(ElementList<Record>& list)
{
    list.current = nullptr;
    list.currentIndex = 0;
}

template <typename Record>
ListElement<Record>* ListNext(ElementList<Record>& list)
{
    if (!list.current) {
        list.current = list.first;
        list.currentIndex = list.first ? 1 : 0;
        return list.current;
    }
    if (!list.current->next) return nullptr;
    list.current = list.current->next;
    list.currentIndex += 1;
    return list.current;
}

template <typename Record>
ListElement<Record>* ListPrevious(ElementList<Record>& list)
{
    if (!list.current || !list.current->previous) return nullptr;
    list.current = list.current->previous;
    list.currentIndex -= 1;
    return list.current;
}
