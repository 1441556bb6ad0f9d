// Blocks from mmap, in ordinary pages. Huge pages were tried: each comes to
// the first thread that touches it zeroed whole, which in a virtual machine
// whose memory is given to it lazily took a first search three times as
// long now and then; small pages come from memory freed a moment ago.
#include "runtime/hostmemory.h"

#include <sys/mman.h>

namespace {

constexpr size_t Page = 4096;

}  // namespace

size_t HostMemoryBlockSize(size_t size)
{
    return (size + Page - 1) / Page * Page;
}

void* HostMemoryTake(size_t size)
{
    void* block =
        mmap(nullptr, HostMemoryBlockSize(size), PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    return block == MAP_FAILED ? nullptr : block;
}

void HostMemoryGive(void* block, size_t size)
{
    if (block) munmap(block, HostMemoryBlockSize(size));
}
