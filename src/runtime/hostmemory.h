// Large blocks of memory from the host, for what the program keeps in bulk
// (the text of every page): a few pieces of megabytes, given back whole,
// rather than a heap allocation per page.
#pragma once

#include <cstddef>

// A block of at least `size` bytes, zeroed; nullptr when the host has none.
// Its size, rounded up, is what HostMemoryBlockSize says.
void* HostMemoryTake(size_t size);
size_t HostMemoryBlockSize(size_t size);
// Gives back a block taken with that size.
void HostMemoryGive(void* block, size_t size);
