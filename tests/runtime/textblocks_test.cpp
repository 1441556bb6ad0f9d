#include "runtime/textblocks.h"

#include <gtest/gtest.h>

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

}  // namespace
