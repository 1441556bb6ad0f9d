#include "helpindex/typeahead.h"

#include <algorithm>
#include <numeric>

#include "runtime/text.h"
#include "state/state.h"

namespace {

// The context list's keywords upper-cased and sorted, each keyword once (its
// first entry). Built on first use and again whenever the list has changed
// since.
struct KeywordIndexEntry {
    std::string upper;
    const ContextEntry* entry = nullptr;
};
struct KeywordIndex {
    long long listChanges = -1;  // the list's change count it was built at
    std::vector<KeywordIndexEntry> entries;
    std::vector<int> positions;  // each entry's place in the list, side by side
};

KeywordIndex& TheKeywordIndex()
{
    static KeywordIndex index;
    return index;
}

// Sorted by upper-cased keyword, so the keywords that begin with a text
// stand together; within one keyword only the first entry is kept.
void BuildKeywordIndex(KeywordIndex& index, const ContextList& list)
{
    std::vector<KeywordIndexEntry> entries;
    std::vector<int> positions;
    entries.reserve(static_cast<size_t>(list.count));
    int position = 0;
    for (const auto* element = list.first; element; element = element->next, ++position) {
        if (element->record.keyword.empty()) continue;
        entries.push_back({TextToUpper(element->record.keyword), &element->record});
        positions.push_back(position);
    }
    std::vector<size_t> order(entries.size());
    std::iota(order.begin(), order.end(), size_t{0});
    auto before = [&](size_t a, size_t b) { return entries[a].upper < entries[b].upper; };
    // An index page lists its keywords in order already; sorting them again
    // would be most of the work. Equal keywords keep their list order.
    if (!std::is_sorted(order.begin(), order.end(), before))
        std::stable_sort(order.begin(), order.end(), before);
    index.entries.clear();
    index.positions.clear();
    for (size_t number : order) {
        if (!index.entries.empty() && index.entries.back().upper == entries[number].upper) continue;
        index.entries.push_back(std::move(entries[number]));
        index.positions.push_back(positions[number]);
    }
    index.listChanges = list.changes;
}

bool BeginsWith(const std::string& text, const std::string& start)
{
    return text.compare(0, start.size(), start) == 0;
}

// Of the run of matches, the numbers of the `most` earliest in the list: a
// heap whose top is the latest kept. On an ordered list the first few are
// kept and every other match costs one comparison.
std::vector<size_t> EarliestOfRun(const KeywordIndex& index, size_t first, size_t end, size_t most)
{
    std::vector<size_t> kept;
    auto earlier = [&](size_t a, size_t b) { return index.positions[a] < index.positions[b]; };
    for (size_t number = first; number < end; ++number) {
        if (kept.size() == most) {
            if (index.positions[number] > index.positions[kept.front()]) continue;
            std::pop_heap(kept.begin(), kept.end(), earlier);
            kept.pop_back();
        }
        kept.push_back(number);
        std::push_heap(kept.begin(), kept.end(), earlier);
    }
    std::sort(kept.begin(), kept.end(), earlier);
    return kept;
}

}  // namespace

std::vector<std::string> KeywordsBeginningWith(const std::string& typed, int most)
{
    std::vector<std::string> keywords;
    if (typed.empty() || most <= 0) return keywords;
    KeywordIndex& index = TheKeywordIndex();
    if (index.listChanges != State.contextList.changes) BuildKeywordIndex(index, State.contextList);

    const std::string start = TextToUpper(typed);
    auto first = std::lower_bound(
        index.entries.cbegin(), index.entries.cend(), start,
        [](const KeywordIndexEntry& entry, const std::string& text) { return entry.upper < text; });
    auto end = std::partition_point(first, index.entries.cend(), [&](const KeywordIndexEntry& entry) {
        return BeginsWith(entry.upper, start);
    });
    const auto from = static_cast<size_t>(first - index.entries.cbegin());
    const auto to = static_cast<size_t>(end - index.entries.cbegin());
    for (size_t number : EarliestOfRun(index, from, to, static_cast<size_t>(most)))
        keywords.push_back(index.entries[number].entry->keyword);
    return keywords;
}

void TypeAheadReset()
{
    TheKeywordIndex() = KeywordIndex{};
}
