#include "runtime/text.h"

#include <gtest/gtest.h>

#include <climits>

#include "runtime/window.h"

namespace {

TEST(Text, HeadTailSliceAtTheEdges)
{
    struct Case {
        std::string got, want;
    };
    const Case cases[] = {
        {TextHead("abc", 5), "abc"},       {TextTail("abc", 5), "abc"},
        {TextHead("abc", 0), ""},          {TextTail("abc", -1), ""},
        {TextHead("abc", 2), "ab"},        {TextTail("abc", 2), "bc"},
        {TextSlice("abcdef", 0, 2), "ab"}, {TextSlice("abcdef", -5, 2), "ab"},
        {TextSlice("abcdef", 1, 2), "ab"}, {TextSlice("abc", 4, 1), ""},
        {TextSlice("abc", 9, 1), ""},      {TextSlice("abc", 2, 99), "bc"},
        {TextSlice("abc", 2, 0), ""},      {TextSlice("abc", 3, 1), "c"},
    };
    for (size_t i = 0; i < std::size(cases); ++i) EXPECT_EQ(cases[i].got, cases[i].want) << i;
}

TEST(Text, Search)
{
    struct Case {
        const char* text;
        const char* pattern;
        int start;
        int want;
    };
    const Case cases[] = {
        {"abcabc", "bc", 1, 2},  {"abcabc", "bc", 3, 5}, {"abc", "B", 1, 0},  {"abc", "", 2, 2},
        {"abc", "x", 9, 0},      {"abc", "", 0, 1},      {"abc", "", 4, 4},   {"abc", "", 5, 0},
        {"abcabc", "bc", -3, 2}, {"abc", "c", 3, 3},     {"abc", "cd", 3, 0}, {"aab", "ab", 1, 2},
        {"", "a", 1, 0},         {"abc", "abcd", 1, 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(TextSearch(c.text, c.pattern, c.start), c.want)
            << c.text << " / " << c.pattern << " from " << c.start;
}

TEST(Text, CaseChangesOnlyTheirByteRanges)
{
    for (int b = 0; b < 256; ++b) {
        std::string byte(1, static_cast<char>(b));
        int up = static_cast<unsigned char>(TextToUpper(byte)[0]);
        int low = static_cast<unsigned char>(TextToLower(byte)[0]);
        bool upper = (b >= 0x61 && b <= 0x7A) || b >= 0xE0;
        bool lower = (b >= 0x41 && b <= 0x5A) || (b >= 0xC0 && b <= 0xDE);
        EXPECT_EQ(up, upper ? b - 0x20 : b) << b;
        EXPECT_EQ(low, lower ? b + 0x20 : b) << b;
    }
    EXPECT_EQ(TextToLower(TextToUpper("\xFF")), "\xDF");
    EXPECT_EQ(TextToUpper("Print x$"), "PRINT X$");
}

TEST(Text, StripSpacesAndSpaces)
{
    EXPECT_EQ(TextStripSpaces("  a b  "), "a b");
    EXPECT_EQ(TextStripSpaces("    "), "");
    EXPECT_EQ(TextStripSpaces("\ta \r\n"), "\ta \r\n");
    EXPECT_EQ(TextOfSpaces(3), "   ");
    EXPECT_EQ(TextOfSpaces(0), "");
    EXPECT_EQ(TextOfSpaces(-2), "");
}

TEST(Text, Integers)
{
    EXPECT_EQ(TextFromInteger(INT32_MIN), "-2147483648");
    EXPECT_EQ(TextFromInteger(0), "0");
    EXPECT_EQ(TextFromInteger(2147483647), "2147483647");
    EXPECT_EQ(TextFromInteger(-42), "-42");

    struct Case {
        const char* text;
        int32_t want;
    };
    const Case cases[] = {
        {" 42abc", 42},
        {"-7", -7},
        {"+8", 8},
        {"- 5", 0},
        {"x12", 0},
        {"", 0},
        {"007", 7},
        {"4294967296", 0},
        {"12.9", 12},
        {"2147483648", INT32_MIN},
        {"-2147483648", INT32_MIN},
        {"4294967297", 1},
        {"--1", 0},
        {"+-1", 0},
        {"\t5", 0},
        {"99999999999999999999", static_cast<int32_t>(1661992959u)},
    };
    for (const auto& c : cases) EXPECT_EQ(TextToInteger(c.text), c.want) << c.text;
}

TEST(Text, EqualsAndGreater)
{
    std::string unassigned;
    EXPECT_EQ(TextEquals("Abc", "abc"), 0);
    EXPECT_EQ(TextEquals(unassigned, ""), 1);
    struct Case {
        const char* a;
        const char* b;
        int want;
    };
    const Case cases[] = {
        {"abc", "ab", 1}, {"ab", "abc", 0}, {"B", "a", 0}, {"abc", "abc", 0},
        {"\xE9", "z", 1}, {"z", "\xE9", 0}, {"", "", 0},   {"a", "", 1},
    };
    for (const auto& c : cases) EXPECT_EQ(TextGreater(c.a, c.b), c.want) << c.a << " > " << c.b;
}

TEST(Text, PathParts)
{
    struct Case {
        const char* path;
        const char* folder;
        const char* file;
        const char* ext;
    };
    const Case cases[] = {
        {"C:\\Help\\index.htm", "C:\\Help\\", "index.htm", "htm"},
        {"\"C:\\My Tools\\view.exe\"", "C:\\My Tools\\", "view.exe", "exe"},
        {"index.htm", "", "index.htm", "htm"},
        {"C:\\dir.x\\readme", "C:\\dir.x\\", "readme", ""},
        {"C:\\Help\\", "C:\\Help\\", "", ""},
        {"page.", "", "page.", ""},
        {"\"view.exe\" -x", "", "view.exe", "exe"},
        {"", "", "", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(PathFolderPart(c.path), c.folder) << c.path;
        EXPECT_EQ(PathFileName(c.path), c.file) << c.path;
        EXPECT_EQ(PathExtension(c.path), c.ext) << c.path;
    }
}

TEST(Text, Utf8IsTakenOnlyWhenWellFormed)
{
    const std::pair<std::string, int> cases[] = {
        {"", 1},
        {"plain ascii, longer than one word of eight", 1},
        {"caf\xc3\xa9 and \xe2\x82\xac and \xf0\x9f\x98\x80", 1},
        {"0123456789abcdef\xc3\xa9", 1},  // after the eight-byte stride
        {"0123456789abcdef\xe9", 0},      // Windows-1252 there
        {"caf\xe9", 0},                   // Windows-1252
        {"\x93quoted\x94", 0},            // Windows-1252 quotes
        {"\xc0\xaf", 0},                  // overlong "/"
        {"\xe0\x80\xaf", 0},              // overlong in three bytes
        {"\xed\xa0\x80", 0},              // a surrogate
        {"\xf4\x90\x80\x80", 0},          // beyond U+10FFFF
        {"\xf5\x80\x80\x80", 0},
        {"\xe2\x82", 0},  // cut short at the end
        {"\x80", 0},      // a lone continuation byte
        {std::string("a\0b", 3), 1},
    };
    for (const auto& [text, utf8] : cases) EXPECT_EQ(TextIsUtf8(text), utf8) << text;
}

}  // namespace

namespace {

// The keyboard's letter of a menu entry is its first letter that no earlier
// entry of the same menu took.
TEST(MenuText, MnemonicsTakeTheFirstFreeLetter)
{
    std::string taken;
    const std::pair<std::string, std::string> entries[] = {
        {"Help Path", "&Help Path"},
        {"DBA Viewer", "&DBA Viewer"},
        {"HTML Viewer", "H&TML Viewer"},
        {"Commandline", "&Commandline"},
        {"Keywords", "&Keywords"},
        {"Hd", "Hd"},
        {"R&D", "&R&&D"},
    };
    for (const auto& [text, marked] : entries) EXPECT_EQ(MenuTextWithMnemonic(text, taken), marked) << text;
    std::string other;
    EXPECT_EQ(MenuTextWithMnemonic("Help", other), "&Help");
}

}  // namespace

// Windows gives device names a meaning of their own in every folder,
// whatever their case, extension or trailing spaces; a name that only
// begins like one is a file's.
TEST(Text, PathNameAllowedRefusesDevicesAndReservedCharacters)
{
    const struct {
        const char* name;
        int allowed;
    } cases[] = {
        {"page.htm", 1}, {"CON", 0},      {"con.htm", 0}, {"Con .htm", 0},  {"nul", 0},
        {"AUX  ", 0},    {"prn.x.y", 0},  {"COM1", 0},    {"lpt9.txt", 0},  {"COM0", 1},
        {"COMX", 1},     {"CONS.htm", 1}, {"CO", 1},      {"ACON", 1},      {"com10", 1},
        {".htm", 1},     {"a<b.htm", 0},  {"a:b.htm", 0}, {"a\x1f.htm", 0}, {"caf\xe9.htm", 1},
    };
    for (const auto& c : cases) EXPECT_EQ(PathNameAllowed(c.name), c.allowed) << c.name;
}
