// Full-text search over the pages of the help folder: the pages that hold
// all the words, the ones that answer them best first (BM25 with the title
// weighed above the text, link text below it, and words close together
// above words far apart).
//
// The pages' text is kept by the search for the run (the page cache): read in full on the first search, and afterwards only for pages
// whose size or time has changed. Each search scans the cached text, upper-
// cased once at reading; there is no word index (see ARCHITECTURE.md).
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "pages/helpfolder.h"

#include "pages/pagecache.h"

// A place in a text: where it starts and how many bytes it covers.
struct TextMark {
    size_t start = 0;
    size_t length = 0;
};

struct SearchHit {
    std::string path;   // relative to the help folder, as the folder names it
    std::string title;  // UTF-8; the file name when the page has no title
    // Text around the first place a word occurs (UTF-8), with the places of
    // the words in it.
    std::string snippet;
    std::vector<TextMark> marks;
    int titleWords = 0;   // how many of the words the title holds
    int occurrences = 0;  // how often the words occur in the page's text
    double score = 0;     // how well the page answers the words (BM25, see SearchHelpFolder)
};

struct SearchResults {
    std::vector<std::string> words;  // UTF-8, each once, as typed
    std::vector<SearchHit> hits;     // best first
    int folderRead = 0;              // 0 when the help folder could not be read
    int stopped = 0;                 // 1 when the progress stopped the search
};

// Snippets show this much text, about a third of it before the first word.
constexpr size_t SnippetLength = 200;
constexpr size_t SnippetLead = 60;

// The words of a query: split at every character that is not a letter or a
// digit, each once without regard to case, as UTF-8 (a program text: UTF-8
// when well-formed, else Windows-1252).
std::vector<std::string> SearchWords(const std::string& query);
// Brings the page cache up to the help folder's state: new and changed pages
// read, vanished ones dropped; everything anew when the help folder is
// another. 0 when the help folder cannot be read (the cache is then empty);
// -1 when the progress stopped it (pages not read yet are read next time).
int RefreshPageCache(PageProgress progress = nullptr);
// A word occurs where its letters stand at the start of a word of the text,
// without regard to case: "print" in "PRINT" and "printing", not in
// "sprint"; a word of one character only as a word of its own. A word of the
// text ends at every character that is not a letter or a digit.
SearchResults SearchHelpFolder(const std::string& query, PageProgress progress = nullptr);
// The results as a page for the browser control: each hit with its title
// linked to the page itself (so it is shown as any page is), its path and
// its snippet with the words marked.
std::string SearchResultsPage(const SearchResults& results);
