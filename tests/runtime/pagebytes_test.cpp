#include "runtime/pagebytes.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace {

// One decision for every reader of pages: the browser, the display copy,
// the check and the search read a page in the same charset.
TEST(PageBytes, TheCharsetAPageIsReadIn)
{
    const std::pair<std::string, PageCharset> pages[] = {
        {"caf\xC3\xA9", PageCharset::Utf8},
        {"caf\xE9", PageCharset::Windows1252},
        {"plain", PageCharset::Utf8},
        {"\xEF\xBB\xBF\xE9", PageCharset::Utf8},
        {"<head><meta charset=\"windows-1252\"></head>\xC3\xA9", PageCharset::Windows1252},
        {"<HEAD><META http-equiv=Content-Type content='text/html; charset=UTF-8'></HEAD>\xE9",
         PageCharset::Utf8},
        {"<meta charset = 'ISO-8859-1'>\xC3\xA9", PageCharset::Windows1252},
        // Only the head counts, and a comment there is no tag.
        {"<body>charset=utf-8 <meta charset=utf-8> \xE9", PageCharset::Windows1252},
        {"<!-- <meta charset=utf-8> -->\xE9", PageCharset::Windows1252},
        {"<!-- \xE9 --><meta charset=utf-8>", PageCharset::Utf8},
        // A meta far down a long head still counts.
        {std::string(8000, ' ') + "<meta charset=utf-8>\xE9", PageCharset::Utf8},
        // A charset of another family is not one of ours: the bytes decide.
        {"<meta charset=shift_jis>\xE9", PageCharset::Windows1252},
    };
    for (const auto& [page, charset] : pages) EXPECT_EQ(PageCharsetOf(page), charset) << page;
    EXPECT_EQ(DeclaredCharsetName("<meta charset=Shift_JIS>"), "shift_jis");
}

// Where a tag ends: quotes hide a '>', an unclosed one ends at the next
// '>', and a tag without one ends at the page's end, long tags too.
TEST(PageBytes, WhereATagEnds)
{
    const std::string v(40, 'v');
    const std::vector<std::pair<std::string, size_t>> cases = {
        {"<p>text", 3},
        {"<p", 2},
        {"<a href=\"x>y.htm\">text", 18},
        {"<a title='it\"s'>", 16},
        {"<a href=\"unclosed>text>", 18},
        {"<a href=\"unclosed", 17},
        {"<img alt=\"" + v + "\" src=" + v + ">x", 97},
        {"<img alt='" + v + "' title=\"a>b\"" + v, 103},
        {"<a href=\"" + v + ">" + v + ">", 50},
        {"<font color=\"Yellow\" size=\"5\">CMD</font>", 30},
        {"<td  >", 6},
    };
    for (const auto& [page, end] : cases) EXPECT_EQ(TagEnd(page, 1), end) << page;
    EXPECT_EQ(TagEnd("<p>", 10), 3u);
}

// An attribute's raw value: found by its whole name in any case, quoted
// or not, past other attributes and values that hold its name; a quote
// left open ends at the tag's end, and a '>' in quotes is part of it.
TEST(PageBytes, AttributeValuesWithinATag)
{
    struct Case {
        std::string tag;
        const char* name;
        bool found;
        std::string value;
    };
    const Case cases[] = {
        {"<a href=\"x.htm\">", "href", true, "x.htm"},
        {"<a HREF = 'x.htm' >", "href", true, "x.htm"},
        {"<a hreflang=en href=x.htm>", "href", true, "x.htm"},
        {"<img/src=\"a.gif\"/>", "src", true, "a.gif"},
        {"<a title=\"href=no\" href=yes>", "href", true, "yes"},
        {"<a href>", "href", true, ""},
        {"<a href=\"\">", "href", true, ""},
        {"<a name=x>", "href", false, ""},
        {"<a href=\"x.htm>text", "href", true, "x.htm"},
        {"<a href=\"x>y\">", "href", true, "x>y"},
        {"<a href=\"x.htm>text\" more>", "href", true, "x.htm>text"},
        {"<a href=\">\"", "href", true, ">"},
    };
    for (const Case& c : cases) {
        size_t from = 1;
        while (from < c.tag.size() && IsAsciiAlnum(static_cast<unsigned char>(c.tag[from]))) ++from;
        const size_t end = TagEnd(c.tag, from);
        std::string_view value;
        EXPECT_EQ(AttributeValue(c.tag, from, end, c.name, value), c.found) << c.tag;
        EXPECT_EQ(std::string(value), c.value) << c.tag;
    }
}

TEST(PageBytes, TheBaseOfAPage)
{
    const std::pair<std::string, std::string> bases[] = {
        {"<html><head><BASE HREF=\"../\"></head>", "../"},
        {"<base href='file:///Z:/x/'>", "file:///Z:/x/"},
        {"<head><title>x</title></head><body><base href=\"../\">", ""},
        {"<head><base target=\"main\"></head>", ""},
        {"<p>no base</p>", ""},
    };
    for (const auto& [html, base] : bases) EXPECT_EQ(PageBaseHref(html), base) << html;
    // The href as UTF-8 in the page's own charset, references decoded.
    EXPECT_EQ(PageBaseHref("<base href=\" Aide%20\xE9t\xE9/&amp;x \">"), "Aide%20\xC3\xA9t\xC3\xA9/&x");
    EXPECT_EQ(PageBaseHref("<script>'<base href=x>'</script><base href=y>"), "y");
}

}  // namespace
