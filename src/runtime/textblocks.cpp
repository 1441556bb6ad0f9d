#include "runtime/textblocks.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "runtime/hostmemory.h"

namespace {

bool NewBlock(TextBlocks& blocks, size_t size)
{
    TextBlock block;
    block.size = std::max(size, TextBlockSize);
    block.data = static_cast<char*>(HostMemoryTake(block.size));
    block.fromHost = block.data ? 1 : 0;
    if (!block.data) block.data = new (std::nothrow) char[block.size];
    if (!block.data) return false;
    blocks.push_back(block);
    return true;
}

}  // namespace

std::string_view TextBlocksKeep(TextBlocks& blocks, std::string_view text)
{
    if (text.empty()) return {};
    if ((blocks.empty() || blocks.back().size - blocks.back().used < text.size()) &&
        !NewBlock(blocks, text.size()))
        return {};
    TextBlock& block = blocks.back();
    char* copy = block.data + block.used;
    std::memcpy(copy, text.data(), text.size());
    block.used += text.size();
    return std::string_view(copy, text.size());
}

size_t TextBlocksUsed(const TextBlocks& blocks)
{
    size_t used = 0;
    for (const TextBlock& block : blocks) used += block.used;
    return used;
}

void TextBlocksRelease(TextBlocks& blocks)
{
    for (TextBlock& block : blocks) {
        if (block.fromHost) HostMemoryGive(block.data, block.size);
        else delete[] block.data;
    }
    blocks.clear();
}
