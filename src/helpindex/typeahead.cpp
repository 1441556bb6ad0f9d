#include "helpindex/typeahead.h"

#include <algorithm>
#include <numeric>
#include <string_view>

#include "runtime/text.h"
#include "state/state.h"

namespace {

// Letters and digits, and every byte of a character beyond ASCII: what a
// word is made of.
bool IsWordByte(char c)
{
    const auto byte = static_cast<unsigned char>(c);
    return byte >= 0x80 || (byte >= '0' && byte <= '9') || (byte >= 'A' && byte <= 'Z') ||
           (byte >= 'a' && byte <= 'z');
}

// The context list's keywords upper-cased and sorted, each keyword once (its
// first entry). Built on first use and again whenever the list has changed
// since.
struct KeywordIndexEntry {
    std::string upper;
    const ContextEntry* entry = nullptr;
};
// Where a later word of a keyword begins: the upper-cased keyword from there
// on, and the keyword's number in the index.
struct WordStart {
    std::string_view rest;
    size_t number = 0;
};
struct KeywordIndex {
    long long listChanges = -1;  // the list's change count it was built at
    std::vector<KeywordIndexEntry> entries;
    std::vector<int> positions;         // each entry's place in the list, side by side
    std::vector<WordStart> wordStarts;  // sorted by rest
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
    index.wordStarts.clear();
    for (size_t number = 0; number < index.entries.size(); ++number) {
        const std::string& upper = index.entries[number].upper;
        for (size_t at = 1; at < upper.size(); ++at)
            if (IsWordByte(upper[at]) && !IsWordByte(upper[at - 1]))
                index.wordStarts.push_back({std::string_view(upper).substr(at), number});
    }
    std::sort(index.wordStarts.begin(), index.wordStarts.end(),
              [](const WordStart& a, const WordStart& b) { return a.rest < b.rest; });
    index.listChanges = list.changes;
}

bool BeginsWith(std::string_view text, const std::string& start)
{
    return text.compare(0, start.size(), start) == 0;
}

// The keywords whose later word begins with the start, and not the keyword
// itself: those stand first. Each once.
std::vector<size_t> LaterWordMatches(const KeywordIndex& index, const std::string& start)
{
    auto first =
        std::lower_bound(index.wordStarts.cbegin(), index.wordStarts.cend(), start,
                         [](const WordStart& word, const std::string& text) { return word.rest < text; });
    std::vector<size_t> numbers;
    for (auto word = first; word != index.wordStarts.cend() && BeginsWith(word->rest, start); ++word)
        if (!BeginsWith(index.entries[word->number].upper, start)) numbers.push_back(word->number);
    std::sort(numbers.begin(), numbers.end());
    numbers.erase(std::unique(numbers.begin(), numbers.end()), numbers.end());
    return numbers;
}

// Of the matches, the numbers of the `most` earliest in the list: a heap
// whose top is the latest kept. On an ordered list the first few are kept
// and every other match costs one comparison.
std::vector<size_t> EarliestOf(const KeywordIndex& index, const std::vector<size_t>& matches, size_t most)
{
    std::vector<size_t> kept;
    if (most == 0) return kept;
    auto earlier = [&](size_t a, size_t b) { return index.positions[a] < index.positions[b]; };
    for (size_t number : matches) {
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

TypeAheadRows TypeAheadKeywords(const std::string& typed, int most)
{
    TypeAheadRows rows;
    if (typed.empty() || most <= 0) return rows;
    KeywordIndex& index = TheKeywordIndex();
    if (index.listChanges != State.contextList.changes) BuildKeywordIndex(index, State.contextList);

    const std::string start = TextToUpper(typed);
    auto first = std::lower_bound(
        index.entries.cbegin(), index.entries.cend(), start,
        [](const KeywordIndexEntry& entry, const std::string& text) { return entry.upper < text; });
    std::vector<size_t> beginning;
    for (auto entry = first; entry != index.entries.cend() && BeginsWith(entry->upper, start); ++entry)
        beginning.push_back(static_cast<size_t>(entry - index.entries.cbegin()));
    const std::vector<size_t> later = LaterWordMatches(index, start);
    std::vector<size_t> shown = EarliestOf(index, beginning, static_cast<size_t>(most));
    for (size_t number : EarliestOf(index, later, static_cast<size_t>(most) - shown.size()))
        shown.push_back(number);
    for (size_t number : shown) {
        const ContextEntry& entry = *index.entries[number].entry;
        rows.keywords.push_back(entry.spelling.empty() ? entry.keyword : entry.spelling);
    }
    rows.more = static_cast<int>(beginning.size() + later.size() - shown.size());
    return rows;
}

void TypeAheadReset()
{
    TheKeywordIndex() = KeywordIndex{};
}
