#include "pages/pagecache.h"

PageCache& FullTextPageCache()
{
    static PageCache cache;
    return cache;
}

void FullTextReset()
{
    PageCache& cache = FullTextPageCache();
    TextBlocksRelease(cache.blocks);
    cache = PageCache{};
}
