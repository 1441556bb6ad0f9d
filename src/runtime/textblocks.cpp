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

char* TextBlocksReserve(TextBlocks& blocks, size_t size)
{
    if ((blocks.empty() || blocks.back().size - blocks.back().used < size) && !NewBlock(blocks, size))
        return nullptr;
    return blocks.back().data + blocks.back().used;
}

std::string_view TextBlocksCommit(TextBlocks& blocks, size_t used)
{
    if (used == 0) return {};
    TextBlock& block = blocks.back();
    const std::string_view kept(block.data + block.used, used);
    block.used += used;
    return kept;
}

std::string_view TextBlocksKeep(TextBlocks& blocks, std::string_view text)
{
    if (text.empty()) return {};
    char* room = TextBlocksReserve(blocks, text.size());
    if (!room) return {};
    std::memcpy(room, text.data(), text.size());
    return TextBlocksCommit(blocks, text.size());
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
