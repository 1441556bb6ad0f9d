// Blocks from mmap, aligned to and advised as huge pages where the kernel
// offers them (transparent huge pages in "madvise" mode).
#include "runtime/hostmemory.h"

#include <sys/mman.h>

#include <cstdint>

namespace {

constexpr size_t HugePage = 2 * 1024 * 1024;

}  // namespace

size_t HostMemoryBlockSize(size_t size)
{
    return (size + HugePage - 1) / HugePage * HugePage;
}

void* HostMemoryTake(size_t size)
{
    const size_t wanted = HostMemoryBlockSize(size);
    // Taken one huge page larger, so an aligned block can be cut out of it
    // and the ends given back.
    void* mapped =
        mmap(nullptr, wanted + HugePage, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (mapped == MAP_FAILED) return nullptr;
    const auto start = reinterpret_cast<uintptr_t>(mapped);
    const uintptr_t aligned = (start + HugePage - 1) / HugePage * HugePage;
    if (aligned > start) munmap(mapped, aligned - start);
    const uintptr_t end = aligned + wanted;
    if (start + wanted + HugePage > end)
        munmap(reinterpret_cast<void*>(end), start + wanted + HugePage - end);
#ifdef MADV_HUGEPAGE
    madvise(reinterpret_cast<void*>(aligned), wanted, MADV_HUGEPAGE);
#endif
    return reinterpret_cast<void*>(aligned);
}

void HostMemoryGive(void* block, size_t size)
{
    if (block) munmap(block, HostMemoryBlockSize(size));
}
