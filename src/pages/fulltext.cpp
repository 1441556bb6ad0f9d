#include "pages/fulltext.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <unordered_map>

#include "pages/helpfolder.h"
#include "pages/html.h"
#include "runtime/browser.h"
#include "runtime/folders.h"
#include "runtime/text.h"
#include "state/state.h"
#include "state/texts.h"

namespace {

constexpr size_t None = std::string::npos;
const std::string Ellipsis = "\xE2\x80\xA6";

// A word as it is looked for: upper-cased, with a table of how far the scan
// may jump on, by the last two bytes it looks at (a Horspool search on pairs
// of bytes, which jumps nearly a word's length at a time even in text made
// of the same few letters).
struct Needle {
    std::string folded;
    uint8_t shift[256] = {};
    size_t shiftAfterMatch = 0;
    bool wantsStart = false;  // it begins with a letter or digit, so it must begin a word
};

// Longer words are looked for byte by byte: none is that long.
constexpr size_t LongestJump = 255;

// Upper case byte by byte without looking back: the ASCII letters, and the
// bytes that follow 0xC3 in an accented Latin-1 letter wherever they stand.
// The jumps are worked out on this; a place it finds is then compared
// exactly, so a byte it folds too many only costs a comparison.
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

bool IsWordByte(unsigned char c)
{
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c >= 0x80;
}

bool IsContinuationByte(char c)
{
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

// The pair of bytes that ends at `at`, upper-cased.
size_t PairHash(const char* at)
{
    return (static_cast<size_t>(Fold.upper[static_cast<unsigned char>(at[0])]) -
            (static_cast<size_t>(Fold.upper[static_cast<unsigned char>(at[-1])]) << 3)) &
           0xFF;
}

Needle MakeNeedle(const std::string& word)
{
    Needle needle;
    needle.folded = FoldedForMatching(word);
    needle.wantsStart = IsWordByte(static_cast<unsigned char>(needle.folded[0]));
    const size_t last = needle.folded.size() - 1;
    if (last == 0 || last > LongestJump) return needle;
    for (size_t i = 1; i < last; ++i)
        needle.shift[PairHash(needle.folded.data() + i)] = static_cast<uint8_t>(i);
    const size_t lastPair = PairHash(needle.folded.data() + last);
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

// The next place from `from` on where the word stands in the text, whether
// or not it begins a word there; None when nowhere.
size_t FindBytes(std::string_view text, const Needle& needle, size_t from)
{
    const size_t length = needle.folded.size();
    if (from + length > text.size()) return None;
    const char* at = text.data() + from;
    const char* end = text.data() + text.size() - length;
    const size_t last = length - 1;
    if (last == 0 || last > LongestJump) {
        for (; at <= end; ++at)
            if (WordAt(at, needle)) return static_cast<size_t>(at - text.data());
        return None;
    }
    while (at <= end) {
        size_t jump = 0;
        do {
            at += last;
            jump = needle.shift[PairHash(at)];
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
        if (!needle.wantsStart || at == 0 || !IsWordByte(static_cast<unsigned char>(text[at - 1]))) return at;
    return None;
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

// `bytes` and `text` keep their room from one page to the next; the page's
// text goes into the cache's blocks.
bool ReadPage(HelpFileReader& reader, const std::string& folder, const HelpFile& file, std::string& bytes,
              PageText& text, TextBlocks& blocks, CachedPage& page)
{
    if (!ReadHelpFile(reader, folder, file.path, bytes)) return false;
    ExtractPageText(bytes, text);
    page.path = file.path;
    page.size = file.size;
    page.time = file.time;
    page.title = text.title.empty() ? Utf8FromText(PathFileName(file.path)) : text.title;
    page.text = TextBlocksKeep(blocks, text.text);
    return page.text.size() == text.text.size();
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
    if (a.titleWords != b.titleWords) return a.titleWords > b.titleWords;
    if (a.occurrences != b.occurrences) return a.occurrences > b.occurrences;
    const std::string upperA = TextToUpper(a.path);
    const std::string upperB = TextToUpper(b.path);
    return upperA != upperB ? upperA < upperB : a.path < b.path;
}

// Whether the page holds every word, in its title or its text; the hit is
// filled in as far as the words go.
bool HoldsAllWords(const CachedPage& page, const std::vector<Needle>& needles, SearchHit& hit, size_t& first)
{
    first = None;
    for (const Needle& needle : needles) {
        size_t place = None;
        const int inTitle = CountNeedle(page.title, needle, place) > 0 ? 1 : 0;
        const int inText = CountNeedle(page.text, needle, place);
        if (!inTitle && !inText) return false;
        hit.titleWords += inTitle;
        hit.occurrences += inText;
        first = std::min(first, place);
    }
    return true;
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
        size_t end = text.find_first_of(" \t\r\n\f\v", at);
        if (end == None) end = text.size();
        if (end > at) {
            std::string word = text.substr(at, end - at);
            std::string key = FoldedForMatching(word);
            if (std::find(folded.begin(), folded.end(), key) == folded.end()) {
                words.push_back(word);
                folded.push_back(key);
            }
        }
        at = end + 1;
    }
    return words;
}

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
    std::vector<HelpFile> files;
    if (!ListHelpFolder(folder, files, 1)) {
        FullTextReset();
        cache.helpFolder = folder;
        return 0;
    }
    std::vector<CachedPage> pages;
    pages.reserve(files.size());
    std::vector<std::string> folders = {folder};
    std::string bytes;
    PageText text;
    HelpFileReader reader;
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
        if (old && old->size == file.size && old->time == file.time) {
            pages.push_back(std::move(*old));
            continue;
        }
        if (stopped) {
            allRead = false;
            continue;
        }
        CachedPage page;
        // A page that cannot be read now is tried again at the next search.
        if (ReadPage(reader, folder, file, bytes, text, cache.blocks, page)) pages.push_back(std::move(page));
        else allRead = false;
    }
    ReadHelpFilesDone(reader);
    cache.pages = std::move(pages);
    CompactTexts(cache);
    // A watch that ran through this reading has seen every change since it
    // began; a new one (new folders, or none yet) has not, so the next
    // search reads the folder once more before trusting it.
    if (cache.watched && folders == cache.folders) {
        cache.trusted = allRead ? 1 : 0;
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
    for (const CachedPage& page : FullTextPageCache().pages) {
        size_t first = None;
        SearchHit counts;
        if (!HoldsAllWords(page, needles, counts, first)) continue;
        results.hits.push_back({page.path, page.title, "", {}, counts.titleWords, counts.occurrences});
        MakeSnippet(page, needles, first, results.hits.back());
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
