#include "pages/fulltext.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <unordered_map>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "pages/helpfolder.h"
#include "pages/html.h"
#include "pages/textpipe.h"
#include "runtime/browser.h"
#include "runtime/folders.h"
#include "runtime/text.h"
#include "runtime/threads.h"
#include "state/state.h"
#include "state/texts.h"

namespace {

constexpr size_t None = std::string::npos;
const std::string Ellipsis = "\xE2\x80\xA6";

// A word as it is looked for: upper-cased, with a table of how far the scan
// may jump on, by the last two bytes it looks at (a Horspool search on pairs
// of bytes, which jumps nearly a word's length at a time even in text made
// of the same few letters). The table is indexed by the pair itself, 0x20
// set in both bytes so that a letter's cases fall on one entry, and the
// second byte's top three bits dropped, which letters do without, so that
// the table stays in the fastest cache: a step of the scan is one load and
// one lookup.
constexpr size_t PairCount = 8192;
struct Needle {
    std::string folded;
    std::vector<uint8_t> shift;  // PairCount entries, by PairAt
    size_t shiftAfterMatch = 0;
    // A single character is a word of its own ("f" of "f-string"), never
    // the start of every word beginning so.
    bool whole = false;
    // The first and last bytes as a step of 16 places compares them: OR-ed
    // with the case bit of a letter, as `want`. Only when both are ASCII,
    // which fold without looking at the byte before.
    bool edges = false;
    unsigned char firstCase = 0, firstWant = 0, lastCase = 0, lastWant = 0;
};

// Longer words are looked for byte by byte: none is that long.
constexpr size_t LongestJump = 255;

// Upper case byte by byte without looking back: the ASCII letters, and the
// bytes that follow 0xC3 in an accented Latin-1 letter wherever they stand.
struct ByteFold {
    unsigned char upper[256] = {};
    constexpr ByteFold()
    {
        for (int c = 0; c < 256; ++c) upper[c] = static_cast<unsigned char>(c);
        for (int c = 'a'; c <= 'z'; ++c) upper[c] = static_cast<unsigned char>(c - 0x20);
        for (int c = 0xA0; c <= 0xBE; ++c)
            if (c != 0xB7) upper[c] = static_cast<unsigned char>(c - 0x20);
    }
};
constexpr ByteFold Fold;

// Letters and digits of every script make words; every other character
// (punctuation, quotation marks, symbols, spaces) ends one, whichever
// encoding the page was written in: "amorçage" stands in "d’amorçage".
bool IsWordCharacter(uint32_t c)
{
    if (c < 0x80) return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
    if (c < 0xC0) return c == 0xAA || c == 0xB5 || c == 0xBA;  // ª µ º
    if (c == 0xD7 || c == 0xF7) return false;                  // × ÷
    // Punctuation, symbols, arrows, mathematical signs, boxes and shapes;
    // the ideographic punctuation; the private use area and the forms and
    // specials of the last block; symbols and emoji beyond.
    if ((c >= 0x2000 && c <= 0x2BFF) || (c >= 0x3000 && c <= 0x303F) || (c >= 0xE000 && c <= 0xF8FF))
        return false;
    if ((c >= 0xFE10 && c <= 0xFE6F) || (c >= 0xFF00 && c <= 0xFF0F) || (c >= 0xFF1A && c <= 0xFF20))
        return false;
    if ((c >= 0xFF3B && c <= 0xFF40) || (c >= 0xFF5B && c <= 0xFF65) || c >= 0xFFF0) return c >= 0x20000;
    return true;
}

// The character of UTF-8 text that begins at `at` (a lone byte stands for
// itself), and the one that ends just before it.
size_t CharacterLength(unsigned char lead)
{
    return lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
}

uint32_t CharacterAt(std::string_view text, size_t at)
{
    const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
    const unsigned char lead = bytes[at];
    const size_t length = CharacterLength(lead);
    if (lead < 0x80 || at + length > text.size()) return lead;
    uint32_t code = lead & (0x3F >> (length - 1));
    for (size_t i = 1; i < length; ++i) code = (code << 6) | (bytes[at + i] & 0x3F);
    return code;
}

uint32_t CharacterBefore(std::string_view text, size_t at)
{
    size_t start = at - 1;
    while (start > 0 && at - start < 4 && (static_cast<unsigned char>(text[start]) & 0xC0) == 0x80) --start;
    return CharacterAt(text, start);
}

bool BeginsWord(std::string_view text, size_t at)
{
    return at == 0 || !IsWordCharacter(CharacterBefore(text, at));
}

bool EndsWord(std::string_view text, size_t end)
{
    return end >= text.size() || !IsWordCharacter(CharacterAt(text, end));
}

bool IsContinuationByte(char c)
{
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

// The pair of bytes that ends at `at` as the table has it: the same for
// either case of a letter (ASCII, or the second byte of an accented Latin-1
// one), and for a few pairs more, which a place found is compared exactly
// against.
size_t PairAt(const char* at)
{
    uint16_t pair = 0;
    std::memcpy(&pair, at - 1, 2);
    return static_cast<size_t>(pair | 0x2020) & (PairCount - 1);
}

Needle MakeNeedle(const std::string& word)
{
    Needle needle;
    needle.folded = FoldedForMatching(word);
    needle.whole = CharacterLength(static_cast<unsigned char>(word[0])) >= word.size();
    const size_t last = needle.folded.size() - 1;
    const auto edge = [](char byte, unsigned char& caseBit, unsigned char& want) {
        const auto c = static_cast<unsigned char>(byte);
        caseBit = c >= 'A' && c <= 'Z' ? 0x20 : 0;
        want = c | caseBit;
        return c < 0x80;
    };
    needle.edges = edge(needle.folded[0], needle.firstCase, needle.firstWant) &&
                   edge(needle.folded[last], needle.lastCase, needle.lastWant);
    if (last == 0 || last > LongestJump) return needle;
    needle.shift.assign(PairCount, 0);
    for (size_t i = 1; i < last; ++i)
        needle.shift[PairAt(needle.folded.data() + i)] = static_cast<uint8_t>(i);
    const size_t lastPair = PairAt(needle.folded.data() + last);
    needle.shiftAfterMatch = last - needle.shift[lastPair];
    needle.shift[lastPair] = static_cast<uint8_t>(last);
    return needle;
}

// Whether the text at `at` is the word without regard to case, as
// FoldedForMatching has it: an accented letter only after its 0xC3.
bool WordAt(const char* at, const Needle& needle)
{
    const auto* text = reinterpret_cast<const unsigned char*>(at);
    for (size_t i = 0; i < needle.folded.size(); ++i) {
        unsigned char c = text[i];
        unsigned char upper = c < 0x80 || (i > 0 && text[i - 1] == 0xC3) ? Fold.upper[c] : c;
        if (upper != static_cast<unsigned char>(needle.folded[i])) return false;
    }
    return true;
}

#if defined(__SSE2__)
// Sixteen places a step: only where the word's first and last bytes stand
// is it compared whole. A short word jumps too little to go faster.
size_t FindByEdges(std::string_view text, const Needle& needle, size_t from)
{
    const size_t last = needle.folded.size() - 1;
    const __m128i firstCase = _mm_set1_epi8(static_cast<char>(needle.firstCase));
    const __m128i firstWant = _mm_set1_epi8(static_cast<char>(needle.firstWant));
    const __m128i lastCase = _mm_set1_epi8(static_cast<char>(needle.lastCase));
    const __m128i lastWant = _mm_set1_epi8(static_cast<char>(needle.lastWant));
    size_t at = from;
    for (; at + last + 16 <= text.size(); at += 16) {
        const char* place = text.data() + at;
        const __m128i first = _mm_loadu_si128(reinterpret_cast<const __m128i*>(place));
        const __m128i end = _mm_loadu_si128(reinterpret_cast<const __m128i*>(place + last));
        const __m128i both = _mm_and_si128(_mm_cmpeq_epi8(_mm_or_si128(first, firstCase), firstWant),
                                           _mm_cmpeq_epi8(_mm_or_si128(end, lastCase), lastWant));
        for (auto bits = static_cast<unsigned>(_mm_movemask_epi8(both)); bits != 0; bits &= bits - 1) {
            const size_t found = at + static_cast<size_t>(__builtin_ctz(bits));
            if (WordAt(text.data() + found, needle)) return found;
        }
    }
    for (; at + last < text.size(); ++at)
        if (WordAt(text.data() + at, needle)) return at;
    return None;
}
#endif

// The next place from `from` on where the word stands in the text, whether
// or not it begins a word there; None when nowhere.
size_t FindBytes(std::string_view text, const Needle& needle, size_t from)
{
#if defined(__SSE2__)
    if (needle.edges) return FindByEdges(text, needle, from);
#endif
    const size_t length = needle.folded.size();
    if (from + length > text.size()) return None;
    const char* at = text.data() + from;
    const char* end = text.data() + text.size() - length;
    const size_t last = length - 1;
    const uint8_t* shift = needle.shift.data();
    if (last == 0 || last > LongestJump) {
        for (; at <= end; ++at)
            if (WordAt(at, needle)) return static_cast<size_t>(at - text.data());
        return None;
    }
    while (at <= end) {
        size_t jump = 0;
        do {
            at += last;
            jump = shift[PairAt(at)];
        } while (jump == 0 && at <= end);
        at -= jump;
        if (jump < last) continue;
        if (WordAt(at, needle)) return static_cast<size_t>(at - text.data());
        at += needle.shiftAfterMatch;
    }
    return None;
}

// The next place from `from` on where the word begins a word of the text;
// None when there is none.
size_t FindNeedle(std::string_view text, const Needle& needle, size_t from)
{
    for (size_t at = FindBytes(text, needle, from); at != None; at = FindBytes(text, needle, at + 1))
        if (BeginsWord(text, at) && (!needle.whole || EndsWord(text, at + needle.folded.size()))) return at;
    return None;
}

// All the words at once, in one pass over a page: the scan looks at a
// window as long as the shortest word and, as for a single word, jumps on
// by the pair of bytes that ends it, a whole window where no word holds the
// pair among its first bytes. A query of several words then costs about
// one pass instead of one each.
struct NeedleSet {
    // By PairAt: the furthest place in the window where a word holds the
    // pair (0 where none does). Empty for a single word, and when a word
    // is too short to jump by.
    std::vector<uint8_t> place;
    size_t window = 0;
};

NeedleSet MakeNeedleSet(const std::vector<Needle>& needles)
{
    NeedleSet set;
    set.window = LongestJump + 1;
    for (const Needle& needle : needles) set.window = std::min(set.window, needle.folded.size());
    // A single word is looked for on its own, with the jump after a place
    // found that fits it.
    if (needles.size() < 2 || set.window < 2 || set.window > LongestJump) return set;
    set.place.assign(PairCount, 0);
    for (const Needle& needle : needles)
        for (size_t j = 1; j < set.window; ++j) {
            uint8_t& place = set.place[PairAt(needle.folded.data() + j)];
            place = std::max(place, static_cast<uint8_t>(j));
        }
    return set;
}

bool NeedleAt(std::string_view text, const Needle& needle, size_t at)
{
    return at + needle.folded.size() <= text.size() && WordAt(text.data() + at, needle) &&
           BeginsWord(text, at) && (!needle.whole || EndsWord(text, at + needle.folded.size()));
}

// Each word's first place in the text (None where it has none).
void FindFirsts(std::string_view text, const std::vector<Needle>& needles, const NeedleSet& set,
                std::vector<size_t>& firsts)
{
    if (set.place.empty()) {
        for (size_t w = 0; w < needles.size(); ++w) firsts[w] = FindNeedle(text, needles[w], 0);
        return;
    }
    std::fill(firsts.begin(), firsts.end(), None);
    const uint8_t* places = set.place.data();
    const size_t last = set.window - 1;
    size_t missing = needles.size();
    size_t start = 0;
    while (missing > 0 && start + last < text.size()) {
        // The window's end moves by a whole window while no word holds its
        // pair: a step that waits for no lookup.
        size_t end = start + last;
        size_t place = 0;
        while ((place = places[PairAt(text.data() + end)]) == 0)
            if ((end += last) >= text.size()) return;
        start = end - place;
        if (place < last) continue;
        for (size_t w = 0; w < needles.size(); ++w)
            if (firsts[w] == None && NeedleAt(text, needles[w], start)) {
                firsts[w] = start;
                --missing;
            }
        ++start;
    }
}

// How often the word occurs; `first` is its first place (None when none).
int CountNeedle(std::string_view text, const Needle& needle, size_t& first)
{
    int count = 0;
    first = None;
    for (size_t at = FindNeedle(text, needle, 0); at != None;
         at = FindNeedle(text, needle, at + needle.folded.size())) {
        if (first == None) first = at;
        ++count;
    }
    return count;
}

// Once the blocks hold more text of pages since changed than of the pages
// as they are, the text still wanted moves to new blocks.
void CompactTexts(PageCache& cache)
{
    size_t wanted = 0;
    for (const CachedPage& page : cache.pages) wanted += page.text.size();
    if (TextBlocksUsed(cache.blocks) <= 2 * wanted + TextBlockSize) return;
    TextBlocks blocks;
    for (CachedPage& page : cache.pages) page.text = TextBlocksKeep(blocks, page.text);
    TextBlocksRelease(cache.blocks);
    cache.blocks = std::move(blocks);
}

// Overlapping marks (two words sharing letters) become one.
void MergeMarks(std::vector<TextMark>& marks)
{
    std::sort(marks.begin(), marks.end(),
              [](const TextMark& a, const TextMark& b) { return a.start < b.start; });
    std::vector<TextMark> merged;
    for (const TextMark& mark : marks) {
        if (!merged.empty() && mark.start <= merged.back().start + merged.back().length) {
            TextMark& last = merged.back();
            last.length = std::max(last.start + last.length, mark.start + mark.length) - last.start;
        } else {
            merged.push_back(mark);
        }
    }
    marks = merged;
}

// The text around `first`, cut at spaces (or at least between characters),
// with every place of the words in it marked.
void MakeSnippet(const CachedPage& page, const std::vector<Needle>& needles, size_t first, SearchHit& hit)
{
    const std::string_view text = page.text;
    if (first == None) first = 0;
    size_t start = first > SnippetLead ? first - SnippetLead : 0;
    if (start > 0) {
        size_t space = text.find(' ', start);
        if (space != None && space < first) start = space + 1;
        while (start > 0 && IsContinuationByte(text[start])) --start;
    }
    size_t end = std::min(text.size(), start + SnippetLength);
    if (end < text.size()) {
        size_t space = text.rfind(' ', end);
        if (space != None && space > first) end = space;
        while (end > start && IsContinuationByte(text[end])) --end;
    }
    const std::string lead = start > 0 ? Ellipsis + " " : "";
    hit.snippet =
        lead + std::string(text.substr(start, end - start)) + (end < text.size() ? " " + Ellipsis : "");
    for (const Needle& needle : needles) {
        const size_t length = needle.folded.size();
        for (size_t at = FindNeedle(page.text, needle, start); at != None && at + length <= end;
             at = FindNeedle(page.text, needle, at + length))
            hit.marks.push_back({at - start + lead.size(), length});
    }
    MergeMarks(hit.marks);
}

// The cached page of that path, if any: the next one in order, or else
// found through a table of them all, made the first time it is needed.
CachedPage* CachedPageOf(PageCache& cache, const std::string& path, size_t& next,
                         std::unordered_map<std::string, size_t>& known)
{
    if (next < cache.pages.size() && cache.pages[next].path == path) return &cache.pages[next++];
    if (known.empty())
        for (size_t i = 0; i < cache.pages.size(); ++i) known.emplace(cache.pages[i].path, i);
    auto found = known.find(path);
    if (found == known.end()) return nullptr;
    next = found->second + 1;
    return &cache.pages[found->second];
}

bool BetterHit(const SearchHit& a, const SearchHit& b)
{
    if (a.score != b.score) return a.score > b.score;
    const std::string upperA = TextToUpper(a.path);
    const std::string upperB = TextToUpper(b.path);
    return upperA != upperB ? upperA < upperB : a.path < b.path;
}

// Where each word stands in a page: how often in its title, and its places
// in the text (the first MostPlaces of them; all are counted).
constexpr size_t MostPlaces = 256;
struct WordPlaces {
    int inTitle = 0;
    int inText = 0;
    std::vector<size_t> places;
};

// `first` is the word's first place in the text, None when it has none.
void FindPlaces(const CachedPage& page, const Needle& needle, size_t first, WordPlaces& found)
{
    size_t firstInTitle = None;
    found.inTitle = CountNeedle(page.title, needle, firstInTitle);
    found.inText = 0;
    found.places.clear();
    for (size_t at = first; at != None; at = FindNeedle(page.text, needle, at + needle.folded.size())) {
        if (found.places.size() < MostPlaces) found.places.push_back(at);
        ++found.inText;
    }
}

// The fewest bytes between the words, where one place of each stands
// closest to one of all the others: 0 when they stand side by side.
size_t WordsGap(const std::vector<WordPlaces>& words, const std::vector<Needle>& needles)
{
    std::vector<size_t> next(words.size(), 0);
    size_t lengths = 0;
    for (const Needle& needle : needles) lengths += needle.folded.size();
    size_t best = None;
    for (;;) {
        size_t low = 0, high = 0;
        for (size_t w = 0; w < words.size(); ++w) {
            if (next[w] >= words[w].places.size()) return best;
            const size_t at = words[w].places[next[w]];
            if (at < words[low].places[next[low]]) low = w;
            if (at + needles[w].folded.size() > words[high].places[next[high]] + needles[high].folded.size())
                high = w;
        }
        const size_t span =
            words[high].places[next[high]] + needles[high].folded.size() - words[low].places[next[low]];
        best = std::min(best, span > lengths ? span - lengths : 0);
        ++next[low];
    }
}

// How far the page answers the words, by BM25F: each word weighs by how
// rare it is among the pages (idf) and its count saturates; the title and
// the text are fields of their own, each weighed against its length (a
// word in a title of one word says more than in a title of five, in a short
// text more than in a long one), the title's count above the text's. A word
// inside a link counts as a fraction of one (a page of contents or an index
// is made of them), and words close together count for more than the same
// words far apart.
constexpr double TitleWeight = 4.0;
constexpr double LinkWeight = 0.25;
constexpr double Saturation = 1.2;   // BM25's k1
constexpr double LengthNorm = 0.75;  // BM25's b, for both fields
constexpr double BytesPerWord = 6.0;

// The average length of the pages' titles and texts, in words.
struct FieldLengths {
    double title = 1;
    double text = 1;
};

uint32_t TitleWords(const CachedPage& page)
{
    return static_cast<uint32_t>(std::count(page.title.begin(), page.title.end(), ' ') + 1);
}

// What a scan of some of the pages finds: how many of them hold each word,
// those that hold every word with the words' places, and the lengths of
// their fields, added up.
struct PagesScan {
    std::vector<int> pagesWith;
    std::vector<std::vector<WordPlaces>> held;
    std::vector<const CachedPage*> heldPages;
    FieldLengths lengths{0, 0};
};

// Every word is looked for in every page: how many pages hold each one
// tells how rare it is.
void ScanPages(const CachedPage* begin, const CachedPage* end, const std::vector<Needle>& needles,
               const NeedleSet& set, PagesScan& scan)
{
    scan.pagesWith.assign(needles.size(), 0);
    std::vector<WordPlaces> words(needles.size());
    std::vector<size_t> firsts(needles.size(), None);
    for (const CachedPage* page = begin; page != end; ++page) {
        scan.lengths.title += TitleWords(*page);
        scan.lengths.text += page->words;
        bool all = true;
        FindFirsts(page->text, needles, set, firsts);
        for (size_t w = 0; w < needles.size(); ++w) {
            const bool holds = firsts[w] != None || FindNeedle(page->title, needles[w], 0) != None;
            scan.pagesWith[w] += holds ? 1 : 0;
            all = all && holds;
        }
        if (!all) continue;
        // The places are looked for on from the first, found already.
        for (size_t w = 0; w < needles.size(); ++w) FindPlaces(*page, needles[w], firsts[w], words[w]);
        scan.held.push_back(words);
        scan.heldPages.push_back(page);
    }
}

// The scan of the pages after those of `scan`, added to it. The lengths are
// whole numbers, so their sum is the same either way.
void AddScan(PagesScan& scan, PagesScan& after)
{
    for (size_t w = 0; w < scan.pagesWith.size(); ++w) scan.pagesWith[w] += after.pagesWith[w];
    for (auto& words : after.held) scan.held.push_back(std::move(words));
    scan.heldPages.insert(scan.heldPages.end(), after.heldPages.begin(), after.heldPages.end());
    scan.lengths.title += after.lengths.title;
    scan.lengths.text += after.lengths.text;
}

// The page from which the pages hold half the text; `end` when they hold
// less than `splitText`.
const CachedPage* HalfTheText(const CachedPage* begin, const CachedPage* end, size_t splitText)
{
    size_t total = 0;
    for (const CachedPage* page = begin; page != end; ++page) total += page->text.size();
    if (total < splitText || total == 0) return end;
    size_t first = 0;
    const CachedPage* middle = begin;
    while (middle != end && first < total / 2) first += (middle++)->text.size();
    return middle;
}

double LengthFactor(double length, double average)
{
    return 1 - LengthNorm + LengthNorm * (average > 0 ? length / average : 1.0);
}

double PageScore(const CachedPage& page, const std::vector<WordPlaces>& words,
                 const std::vector<Needle>& needles, const std::vector<double>& rarity,
                 const FieldLengths& average)
{
    const double linkShare = page.text.empty() ? 0 : static_cast<double>(page.linkText) / page.text.size();
    const double textWeight = 1.0 - (1.0 - LinkWeight) * linkShare;
    const double titleFactor = LengthFactor(TitleWords(page), average.title);
    const double textFactor = LengthFactor(page.words, average.text);
    double score = 0;
    for (size_t w = 0; w < words.size(); ++w) {
        const double count =
            TitleWeight * words[w].inTitle / titleFactor + textWeight * words[w].inText / textFactor;
        score += rarity[w] * count * (Saturation + 1) / (count + Saturation);
    }
    if (words.size() > 1) {
        const size_t gap = WordsGap(words, needles);
        if (gap != None) score *= 1.0 + 1.0 / (1.0 + static_cast<double>(gap) / BytesPerWord);
    }
    return score;
}

// Where the snippet is best taken: around the place with the most of the
// words near it, in running text (words in lower case, as sentences have
// them) rather than in a row of links or headings.
constexpr size_t SnippetTries = 16;

size_t SnippetPlace(const CachedPage& page, const std::vector<WordPlaces>& words)
{
    const std::string_view text = page.text;
    size_t best = None;
    double bestValue = -1;
    // Places spread over each word's, so that one late in a long page is
    // tried too.
    const size_t perWord = std::max<size_t>(1, SnippetTries / words.size());
    for (const WordPlaces& word : words)
        for (size_t i = 0; i < word.places.size(); i += std::max<size_t>(1, word.places.size() / perWord)) {
            const size_t place = word.places[i];
            const size_t from = place > SnippetLead ? place - SnippetLead : 0;
            const size_t to = std::min(text.size(), from + SnippetLength);
            int near = 0;
            for (const WordPlaces& other : words) {
                auto at = std::lower_bound(other.places.begin(), other.places.end(), from);
                near += at != other.places.end() && *at < to ? 1 : 0;
            }
            // Words begin after the single spaces the text is made with.
            int starts = 0, lower = 0;
            for (size_t at = from; at < to; ++at) {
                if (at > from && text[at - 1] != ' ') continue;
                ++starts;
                lower += text[at] >= 'a' && text[at] <= 'z' ? 1 : 0;
            }
            const double value = near + (starts ? static_cast<double>(lower) / starts : 0);
            if (value > bestValue || (value == bestValue && place < best)) {
                best = place;
                bestValue = value;
            }
        }
    return best;
}

std::string SnippetHtml(const SearchHit& hit)
{
    std::string html;
    size_t at = 0;
    for (const TextMark& mark : hit.marks) {
        html += HtmlFromText(hit.snippet.substr(at, mark.start - at));
        html += "<b><font color=\"Yellow\">" + HtmlFromText(hit.snippet.substr(mark.start, mark.length)) +
                "</font></b>";
        at = mark.start + mark.length;
    }
    return html + HtmlFromText(hit.snippet.substr(at));
}

std::string ResultCountLine(const SearchResults& results)
{
    if (!results.folderRead) return HelpFolderUnreadableText + HtmlFromText(Utf8FromText(HelpFolderPath()));
    if (results.words.empty()) return SearchNoWordsText;
    if (results.hits.empty()) return SearchNothingText;
    if (results.hits.size() == 1) return SearchOnePageText;
    return TextFromInteger(static_cast<int32_t>(results.hits.size())) + SearchPagesText;
}

}  // namespace

std::vector<std::string> SearchWords(const std::string& query)
{
    const std::string text = Utf8FromText(query);
    std::vector<std::string> words;
    std::vector<std::string> folded;
    size_t at = 0;
    while (at < text.size()) {
        while (at < text.size() && !IsWordCharacter(CharacterAt(text, at)))
            at += CharacterLength(static_cast<unsigned char>(text[at]));
        size_t end = at;
        while (end < text.size() && IsWordCharacter(CharacterAt(text, end)))
            end += CharacterLength(static_cast<unsigned char>(text[end]));
        end = std::min(end, text.size());
        if (end > at) {
            std::string word = text.substr(at, end - at);
            std::string key = FoldedForMatching(word);
            if (std::find(folded.begin(), folded.end(), key) == folded.end()) {
                words.push_back(word);
                folded.push_back(key);
            }
        }
        at = end;
    }
    return words;
}

namespace {

// The first reading of a help folder lists only the names, which the host
// tells without looking at each file, and watches the folders before it
// reads a page, so that every change after a page was read is heard of: the
// next search then takes the pages' sizes and times from its listing, as
// long as no change was heard of meanwhile. 0 when the folders cannot be
// watched: the pages are then read as any later search reads them.
int FirstReading(PageCache& cache, const std::string& folder, PageProgress progress)
{
    std::vector<HelpFile> files;
    if (!ListHelpFolder(folder, files, 0)) return 0;
    std::vector<std::string> folders = {folder};
    for (const HelpFile& file : files)
        if (file.isFolder) folders.push_back(folder + file.path + "\\");
    if (!FolderWatch(PageCacheWatch, folders)) return 0;
    cache.folders = std::move(folders);
    cache.watched = 1;
    cache.trusted = 0;
    HelpFileReader reader;
    const int total = static_cast<int>(std::count_if(files.begin(), files.end(), IsOwnPage));
    int done = 0;
    cache.pages.reserve(static_cast<size_t>(total));
    TextPipe pipe;
    TextPipeStart(pipe, cache.blocks, cache.pages, 1);
    for (HelpFile& file : files) {
        if (!IsOwnPage(file)) continue;
        if (progress && !progress(done, total)) break;
        ++done;
        file.size = NotListed;
        file.time = NotListed;
        if (ReadHelpFile(reader, folder, file.path, TextPipeRoom(pipe))) TextPipeSend(pipe, file);
    }
    TextPipeFinish(pipe);
    ReadHelpFilesDone(reader);
    // A page whose text found no memory is read again at the next search.
    std::erase_if(cache.pages, [](const CachedPage& page) { return page.path.empty(); });
    return done == total ? 1 : -1;
}

}  // namespace

int RefreshPageCache(PageProgress progress)
{
    PageCache& cache = FullTextPageCache();
    const std::string folder = HelpFolderPath();
    if (cache.helpFolder != folder) {
        FullTextReset();
        cache.helpFolder = folder;
    }
    // Told that nothing changed, the cache is the folder as it is: no
    // listing of thousands of files for a later search. (Asking takes the
    // changes told so far, also when the answer is not trusted yet.)
    const int changed = cache.watched ? FolderChanged(PageCacheWatch) : 1;
    if (cache.trusted && !changed) return 1;
    if (!cache.watched && cache.pages.empty()) {
        const int read = FirstReading(cache, folder, progress);
        if (read != 0) return read;
    }
    std::vector<HelpFile> files;
    if (!ListHelpFolder(folder, files, 1)) {
        FullTextReset();
        cache.helpFolder = folder;
        return 0;
    }
    // Pages read before they were listed take their sizes and times from
    // this listing when the watch heard of no change from before they were
    // read until after it; a change heard of now is looked for once more.
    const bool quiet = cache.watched && !changed && !FolderChanged(PageCacheWatch);
    const bool heardNow = cache.watched && !changed && !quiet;
    std::vector<CachedPage> pages;
    pages.reserve(files.size());
    std::vector<std::string> folders = {folder};
    HelpFileReader reader;
    // The pages read again take their places in `pages` once their text is
    // put together.
    std::vector<CachedPage> read;
    std::vector<size_t> places;
    TextPipe pipe;
    TextPipeStart(pipe, cache.blocks, read, 1);
    // The folder is listed in the same order every time, so the cached page
    // of a file is, but for pages added or removed, the next one.
    size_t next = 0;
    std::unordered_map<std::string, size_t> known;
    const int total = static_cast<int>(std::count_if(files.begin(), files.end(), IsOwnPage));
    int done = 0;
    bool stopped = false;
    bool allRead = true;
    for (const HelpFile& file : files) {
        if (file.isFolder) folders.push_back(folder + file.path + "\\");
        if (!IsOwnPage(file)) continue;
        stopped = stopped || (progress && !progress(done, total));
        ++done;
        CachedPage* old = CachedPageOf(cache, file.path, next, known);
        if (old && old->size == NotListed && quiet) {
            old->size = file.size;
            old->time = file.time;
        }
        if (old && old->size == file.size && old->time == file.time) {
            pages.push_back(std::move(*old));
            continue;
        }
        if (stopped) {
            allRead = false;
            continue;
        }
        // A page that cannot be read now is tried again at the next search.
        if (!ReadHelpFile(reader, folder, file.path, TextPipeRoom(pipe))) {
            allRead = false;
            continue;
        }
        places.push_back(pages.size());
        pages.emplace_back();
        TextPipeSend(pipe, file);
    }
    TextPipeFinish(pipe);
    ReadHelpFilesDone(reader);
    for (size_t i = 0; i < read.size(); ++i) {
        allRead = allRead && !read[i].path.empty();
        pages[places[i]] = std::move(read[i]);
    }
    std::erase_if(pages, [](const CachedPage& page) { return page.path.empty(); });
    cache.pages = std::move(pages);
    CompactTexts(cache);
    // A watch that ran through this reading has seen every change since it
    // began; a new one (new folders, or none yet) has not, so the next
    // search reads the folder once more before trusting it.
    if (cache.watched && folders == cache.folders) {
        cache.trusted = allRead && !heardNow ? 1 : 0;
    } else {
        cache.folders = std::move(folders);
        cache.watched = FolderWatch(PageCacheWatch, cache.folders);
        cache.trusted = 0;
    }
    return stopped ? -1 : 1;
}

SearchResults SearchHelpFolder(const std::string& query, PageProgress progress)
{
    SearchResults results;
    results.words = SearchWords(query);
    results.folderRead = RefreshPageCache(progress);
    results.stopped = results.folderRead < 0 ? 1 : 0;
    if (results.stopped) results.folderRead = 1;
    if (results.words.empty() || results.stopped) return results;
    std::vector<Needle> needles;
    for (const std::string& word : results.words) needles.push_back(MakeNeedle(word));
    const NeedleSet set = MakeNeedleSet(needles);
    const PageCache& cache = FullTextPageCache();
    const std::vector<CachedPage>& pages = cache.pages;
    // The scan is nearly all a later search costs: where there is a second
    // core, it takes the pages that hold the second half of the text.
    const CachedPage* const begin = pages.data();
    const CachedPage* const end = begin + pages.size();
    const CachedPage* const middle = HalfTheText(begin, end, cache.splitText);
    PagesScan scan;
    PagesScan second;
    std::thread beside;
    const bool split =
        middle != end && ThreadStart(beside, [&] { ScanPages(middle, end, needles, set, second); });
    ScanPages(begin, split ? middle : end, needles, set, scan);
    if (split) {
        beside.join();
        AddScan(scan, second);
    }
    const std::vector<std::vector<WordPlaces>>& held = scan.held;
    FieldLengths average = scan.lengths;
    const double count = static_cast<double>(pages.size());
    std::vector<double> rarity;
    rarity.reserve(scan.pagesWith.size());
    for (int with : scan.pagesWith) rarity.push_back(std::log(1.0 + (count - with + 0.5) / (with + 0.5)));
    if (count > 0) {
        average.title /= count;
        average.text /= count;
    }
    for (size_t h = 0; h < held.size(); ++h) {
        const CachedPage& page = *scan.heldPages[h];
        SearchHit hit;
        hit.path = page.path;
        hit.title = page.title;
        for (const WordPlaces& word : held[h]) {
            hit.titleWords += word.inTitle > 0 ? 1 : 0;
            hit.occurrences += word.inText;
        }
        hit.score = PageScore(page, held[h], needles, rarity, average);
        MakeSnippet(page, needles, SnippetPlace(page, held[h]), hit);
        results.hits.push_back(std::move(hit));
    }
    std::sort(results.hits.begin(), results.hits.end(), BetterHit);
    return results;
}

std::string SearchResultsPage(const SearchResults& results)
{
    std::string words;
    for (const std::string& word : results.words) words += (words.empty() ? "" : " ") + word;
    std::string page = PageHead(SearchResultsTitle);
    page += "<font color=\"Yellow\" size=\"5\">" + std::string(SearchResultsTitle) + "</font><br>\r\n";
    page += "<p>" + std::string(SearchWordsText) + "<b>" + HtmlFromText(words) + "</b><br>\r\n";
    page += ResultCountLine(results) + "</p>\r\n<hr noshade size=\"1\">\r\n";
    for (const SearchHit& hit : results.hits) {
        const std::string address = BrowserAddressFromPath(FullTextPageCache().helpFolder + hit.path, "");
        page += "<p><a href=\"" + HtmlFromText(Utf8FromText(address)) + "\">" + HtmlFromText(hit.title) +
                "</a><br>\r\n";
        page +=
            "<font size=\"2\" color=\"#A0A0C0\">" + HtmlFromText(Utf8FromText(hit.path)) + "</font><br>\r\n";
        page += SnippetHtml(hit) + "</p>\r\n";
    }
    return page + PageFoot();
}
