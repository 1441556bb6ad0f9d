#include "runtime/pagebytes.h"

#include <gtest/gtest.h>

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
