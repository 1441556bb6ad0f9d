#include "runtime/textblocks.h"

#include <gtest/gtest.h>

#include <cstring>
#include <iterator>
#include <string>
#include <vector>

namespace {

TEST(TextBlocks, CopiesStayWhereTheyAreAsBlocksAreAdded)
{
    TextBlocks blocks;
    std::vector<std::string> texts;
    std::vector<std::string_view> copies;
    // Enough to fill more than one block, with one text larger than a block.
    for (int i = 0; i < 12; ++i)
        texts.push_back(std::string(1024 * 1024 + i, static_cast<char>('a' + i % 26)));
    texts.push_back(std::string(TextBlockSize + 5, 'z'));
    texts.push_back("small");
    for (const std::string& text : texts) copies.push_back(TextBlocksKeep(blocks, text));
    EXPECT_GE(blocks.size(), 3u);
    size_t total = 0;
    for (size_t i = 0; i < texts.size(); ++i) {
        EXPECT_EQ(copies[i], texts[i]) << i;
        EXPECT_NE(copies[i].data(), texts[i].data());
        total += texts[i].size();
    }
    EXPECT_EQ(TextBlocksUsed(blocks), total);
    EXPECT_TRUE(TextBlocksKeep(blocks, "").empty());
    TextBlocksRelease(blocks);
    EXPECT_TRUE(blocks.empty());
    EXPECT_EQ(TextBlocksUsed(blocks), 0u);
}

// Text put together in reserved room keeps only what was committed: the
// next text follows it, in the same block while the room asked for fits.
TEST(TextBlocks, ReservedRoomKeepsWhatIsCommitted)
{
    struct Step {
        size_t reserve;
        size_t commit;
        bool newBlock;
    };
    const Step steps[] = {
        {100, 40, true},
        {100, 0, false},
        {TextBlockSize - 60, 7, false},
        {TextBlockSize - 46, 1, true},
        {TextBlockSize * 2, TextBlockSize + 3, true},
        {TextBlockSize, 10, true},
        {5, 5, false},
    };
    TextBlocks blocks;
    std::vector<std::string_view> kept;
    std::vector<std::string> texts;
    size_t total = 0;
    for (size_t i = 0; i < std::size(steps); ++i) {
        const size_t blocksBefore = blocks.size();
        const char* expected = blocks.empty() ? nullptr : blocks.back().data + blocks.back().used;
        char* room = TextBlocksReserve(blocks, steps[i].reserve);
        ASSERT_NE(room, nullptr) << i;
        EXPECT_EQ(blocks.size() != blocksBefore, steps[i].newBlock) << i;
        if (!steps[i].newBlock) {
            EXPECT_EQ(room, expected) << i;
        }
        // Room beyond what is committed is written too, as a page's text is.
        std::memset(room, 'x', steps[i].reserve);
        texts.push_back(std::string(steps[i].commit, static_cast<char>('a' + i)));
        std::memcpy(room, texts.back().data(), steps[i].commit);
        kept.push_back(TextBlocksCommit(blocks, steps[i].commit));
        EXPECT_EQ(kept.back().size(), steps[i].commit) << i;
        total += steps[i].commit;
    }
    for (size_t i = 0; i < kept.size(); ++i) EXPECT_EQ(kept[i], texts[i]) << i;
    EXPECT_EQ(TextBlocksUsed(blocks), total);
    TextBlocksRelease(blocks);
}

}  // namespace
