// The full-text search's own cache of the help folder's pages, kept for the
// run. A unit of its own, so that a reset needs nothing else of the search.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/textblocks.h"

// The help folder's pages as the search read them, kept for the run: a page
// is read again only when its size or time has changed.
struct CachedPage {
    std::string path;  // relative to the help folder, as the folder names it
    // As the folder listed them; NotListed for a page read before they were
    // (see RefreshPageCache).
    int64_t size = 0;
    int64_t time = 0;
    // UTF-8, white space run together; the text lies in the cache's blocks.
    std::string title;
    std::string_view text;
    uint32_t words = 0;     // in the text
    uint32_t linkText = 0;  // bytes of the text inside links
};
struct PageCache {
    std::string helpFolder;  // the folder the pages were read from
    std::vector<CachedPage> pages;
    TextBlocks blocks;
    // The folders of the help folder (its own first), watched for changes
    // under the folder number PageCacheWatch; `trusted` once the watch ran
    // through a whole reading of them, so that no change can have slipped
    // by between the reading and the watch.
    std::vector<std::string> folders;
    int watched = 0;
    int trusted = 0;
    // A later search takes a second core for its scan only where there is
    // this much text: below, starting a thread costs more than it saves.
    size_t splitText = 1024 * 1024;
};
constexpr int PageCacheWatch = 1;
constexpr int64_t NotListed = -1;
// The search's cache, as the tests and benchmarks look into it.
PageCache& FullTextPageCache();
// Gives the cache's blocks back and empties it: at start-up and before each
// test.
void FullTextReset();
