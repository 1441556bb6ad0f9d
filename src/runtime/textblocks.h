// Text kept in bulk (the text of every help page, for the search) lies in
// large blocks taken from the host in one piece rather than in a string of
// its own each.
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

struct TextBlock {
    char* data = nullptr;
    size_t size = 0;
    size_t used = 0;
    int fromHost = 0;  // else from the heap, when the host had no block to give
};
using TextBlocks = std::vector<TextBlock>;

// A new block holds at least this much.
constexpr size_t TextBlockSize = 8 * 1024 * 1024;

// Copies the text into the last block, or a new one when it has no room;
// the copy stays where it is until the blocks are released.
std::string_view TextBlocksKeep(TextBlocks& blocks, std::string_view text);
// Room for at least `size` bytes at the end of the last block, or of a new
// one when it has too little, for text put together in place rather than
// copied in; nullptr when the host and the heap have none. Nothing of it is
// kept until TextBlocksCommit keeps its first `used` bytes (at most `size`),
// before any other call on the blocks.
char* TextBlocksReserve(TextBlocks& blocks, size_t size);
std::string_view TextBlocksCommit(TextBlocks& blocks, size_t used);
// The bytes the blocks hold, copies no longer wanted included.
size_t TextBlocksUsed(const TextBlocks& blocks);
void TextBlocksRelease(TextBlocks& blocks);
