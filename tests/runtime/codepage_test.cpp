#include "runtime/codepage.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "runtime/text.h"

namespace {

// Every Windows-1252 byte goes to UTF-8 and back unchanged, the five
// undefined ones included, and a UTF-8 text without a Windows-1252 form is
// left as it is.
TEST(CodePage, ConvertsBothWays)
{
    for (int byte = 1; byte < 256; ++byte) {
        const std::string ansi = "x" + std::string(1, static_cast<char>(byte));
        const std::string utf8 = TextToUtf8(ansi);
        EXPECT_TRUE(TextIsUtf8(utf8)) << byte;
        EXPECT_EQ(TextIsAscii(utf8), byte < 0x80) << byte;
        EXPECT_EQ(TextToAnsi(utf8), ansi) << byte;
        EXPECT_EQ(TextFromAnsiToUtf8(ansi), utf8) << byte;
    }
    EXPECT_EQ(TextToUtf8("\x80\x9F\xE9"), "\xE2\x82\xAC\xC5\xB8\xC3\xA9");
    EXPECT_EQ(TextToUtf8("caf\xC3\xA9"), "caf\xC3\xA9");
    EXPECT_EQ(TextToAnsi("\xE6\x97\xA5 caf\xC3\xA9"), "\xE6\x97\xA5 caf\xC3\xA9");
    EXPECT_EQ(TextToAnsi("caf\xE9"), "caf\xE9");
    EXPECT_EQ(TextInEncoding("caf\xE9", 1), "caf\xC3\xA9");
    EXPECT_EQ(TextInEncoding("caf\xC3\xA9", 0), "caf\xE9");
}

// The upper-case rule is TextToUpper's, on characters: a Windows-1252 text
// gets exactly TextToUpper (unless that would read as other characters, in
// UTF-8), a UTF-8 text the same letters in UTF-8, and the match key ignores
// both case and encoding.
TEST(CodePage, CapitalsAndKeys)
{
    for (int byte = 1; byte < 256; ++byte) {
        const std::string ansi(1, static_cast<char>(byte));
        EXPECT_EQ(TextUpperCase(ansi), TextToUpper(ansi)) << byte;
        EXPECT_EQ(TextUpperCase(TextToUtf8(ansi)), TextToUtf8(TextToUpper(ansi))) << byte;
    }
    EXPECT_EQ(TextUpperCase("\xC3\xA9t\xC3\xA9 \xE2\x86\x92"), "\xC3\x89T\xC3\x89 \xE2\x86\x92");
    const std::string same[] = {"\xE9t\xE9", "\xC9T\xC9", "\xC3\xA9t\xC3\xA9", "\xC3\x89T\xC3\x89"};
    for (const std::string& text : same) EXPECT_EQ(TextMatchKey(text), TextMatchKey(same[0])) << text;
    EXPECT_NE(TextMatchKey("\xE9t\xE9"), TextMatchKey("ete"));
    EXPECT_NE(TextMatchKey("\xE2\x86\x92"), TextMatchKey("\xC2\x86\x92"));
    // Windows-1252 whose capitals would read as UTF-8: its characters stay.
    const struct {
        std::string text, upper;
    } flips[] = {
        {"\xE3\x80", "\xC3\x83\xE2\x82\xAC"},  // "ã€"
        {"\xE9\xA9", "\xC3\x89\xC2\xA9"},      // "é©"
        {"\xFC\xBC!", "\xC3\x9C\xC2\xBC!"},    // "ü¼!"
    };
    for (const auto& f : flips) {
        EXPECT_EQ(TextUpperCase(f.text), f.upper) << f.text;
        EXPECT_EQ(TextMatchKey(TextUpperCase(f.text)), TextMatchKey(f.text)) << f.text;
    }
}

// A text cut to its length keeps its beginning and its end, and never half
// a UTF-8 character.
TEST(CodePage, ShortenedTexts)
{
    const std::string euro = "\xE2\x82\xAC";
    const struct {
        std::string text;
        int limit;
        std::string shortened;
    } cases[] = {
        {"abcdefghij", 10, "abcdefghij"},
        {"abcdefghijk", 10, "ab...ghijk"},
        {"abcdefghijk", 0, "...jk"},
        {euro + euro + euro + euro + euro + euro, 12, euro + "..." + euro + euro},
        {"\xE9" + std::string(20, 'x') + "\xE9", 12, "\xE9xx...xxxxx\xE9"},
    };
    for (const auto& c : cases) {
        const std::string shortened = TextShortened(c.text, c.limit);
        EXPECT_EQ(shortened, c.shortened) << c.text << " " << c.limit;
        EXPECT_LE(shortened.size(), static_cast<size_t>(std::max(c.limit, 5))) << c.text;
    }
}

TEST(CodePage, FirstCharacterAndFileEncoding)
{
    EXPECT_EQ(TextFirstCharacter(""), "");
    EXPECT_EQ(TextFirstCharacter("\xE9t\xE9"), "\xE9");
    EXPECT_EQ(TextFirstCharacter("\xC3\xA9t\xC3\xA9"), "\xC3\xA9");
    EXPECT_EQ(TextFirstCharacter("\xE2\x82\xAC!"), "\xE2\x82\xAC");

    struct Case {
        std::vector<std::string> lines;
        int utf8;
    };
    const Case cases[] = {
        {{"<html>", "plain"}, 0},
        {{"<meta charset=\"UTF-8\">", "plain"}, 1},
        {{"<meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\">"}, 1},
        {{"<meta content=\"text/html; charset=windows-1252\">", "caf\xC3\xA9"}, 1},
        {{"<meta charset=utf-8>", "caf\xE9"}, 0},
        {{"caf\xC3\xA9", "th\xE9"}, 0},
        {{"charset is a word", "utf-8 too"}, 0},
    };
    for (const Case& c : cases) {
        EncodingVote vote;
        for (const std::string& line : c.lines) EncodingNoteLine(vote, line);
        EXPECT_EQ(EncodingIsUtf8(vote), c.utf8) << c.lines[0];
    }
}

}  // namespace
