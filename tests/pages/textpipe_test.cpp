#include "pages/textpipe.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "runtime/textblocks.h"

namespace {

// Pages of every kind the reader takes apart: titled or not, Windows-1252
// or UTF-8, empty, and now and then one far longer than the rest.
std::string RandomPage(std::mt19937& random, int number)
{
    static const char* const parts[] = {
        "<p>PRINT writes text.</p>",
        "caf\xe9 ",
        "caf\xc3\xa9 ",
        "&amp; &eacute;",
        "<a href=\"x.htm\">link text</a>",
        "<script>var a = 1 < 2;</script>",
        "<br>",
        "\r\n",
        "  ",
    };
    std::string page;
    if (number % 3 != 0) page += "<title>Page " + std::to_string(number) + "</title>";
    if (number % 5 == 0) page += "<meta charset=\"windows-1252\">";
    const size_t partCount = number % 7 == 0 ? 0 : (number % 50 == 0 ? 4000 : random() % 40);
    for (size_t i = 0; i < partCount; ++i) page += parts[random() % std::size(parts)];
    return page;
}

// The pages come out in the order sent, each as taken apart on its own,
// on either side of a batch's end and after the batches come round again.
TEST(TextPipe, PagesComeOutInOrderAsTakenApartAlone)
{
    for (const int threaded : {0, 1}) {
        for (const size_t count : {size_t{0}, size_t{1}, TextBatchPages - 1, TextBatchPages,
                                   TextBatchPages + 1, TextBatchPages * TextPipeBatches * 2 + 7}) {
            SCOPED_TRACE(std::to_string(threaded) + " " + std::to_string(count));
            std::mt19937 random(static_cast<unsigned>(count));
            std::vector<HelpFile> files(count);
            std::vector<std::string> pages;
            for (size_t i = 0; i < count; ++i) {
                files[i].path = "commands\\page" + std::to_string(i) + ".htm";
                files[i].size = static_cast<int64_t>(i);
                files[i].time = static_cast<int64_t>(i) * 7;
                pages.push_back(RandomPage(random, static_cast<int>(i)));
            }
            TextBlocks blocks;
            std::vector<CachedPage> cached;
            TextPipe pipe;
            TextPipeStart(pipe, blocks, cached, threaded);
            for (size_t i = 0; i < count; ++i) {
                TextPipeRoom(pipe) = pages[i];
                TextPipeSend(pipe, files[i]);
            }
            TextPipeFinish(pipe);

            ASSERT_EQ(cached.size(), count);
            TextBlocks alone;
            PageText text;
            for (size_t i = 0; i < count; ++i) {
                CachedPage expected;
                ASSERT_TRUE(KeepPageText(files[i], pages[i], text, alone, expected));
                EXPECT_EQ(cached[i].path, expected.path);
                EXPECT_EQ(cached[i].size, expected.size);
                EXPECT_EQ(cached[i].time, expected.time);
                EXPECT_EQ(cached[i].title, expected.title);
                EXPECT_EQ(cached[i].text, expected.text);
                EXPECT_EQ(cached[i].words, expected.words);
                EXPECT_EQ(cached[i].linkText, expected.linkText);
            }
            TextBlocksRelease(alone);
            TextBlocksRelease(blocks);
        }
    }
}

}  // namespace
