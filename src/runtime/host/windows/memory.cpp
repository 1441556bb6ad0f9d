// Blocks from VirtualAlloc; large pages need a privilege a user seldom has,
// so these are the ordinary ones.
#include "runtime/hostmemory.h"

#include <windows.h>

namespace {

constexpr size_t Granularity = 64 * 1024;

}  // namespace

size_t HostMemoryBlockSize(size_t size)
{
    return (size + Granularity - 1) / Granularity * Granularity;
}

void* HostMemoryTake(size_t size)
{
    return VirtualAlloc(nullptr, HostMemoryBlockSize(size), MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
}

void HostMemoryGive(void* block, size_t)
{
    if (block) VirtualFree(block, 0, MEM_RELEASE);
}
