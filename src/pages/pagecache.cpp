#include "pages/pagecache.h"

#include "runtime/folders.h"

PageCache& FullTextPageCache()
{
    static PageCache cache;
    return cache;
}

void FullTextReset()
{
    PageCache& cache = FullTextPageCache();
    TextBlocksRelease(cache.blocks);
    FolderWatchEnd(PageCacheWatch);
    cache = PageCache{};
}
