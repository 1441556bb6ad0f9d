#include "state/state.h"

ProgramState State;

void PageCacheRelease(PageCache& cache)
{
    TextBlocksRelease(cache.blocks);
    cache = PageCache{};
}

void ProgramStateClear()
{
    ListRelease(State.contextList);
    PageCacheRelease(State.pageCache);
    State = ProgramState{};
}
