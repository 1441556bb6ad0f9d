#include "pages/html.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

namespace {

// An old page as editors of the day wrote them: Windows-1252, a style
// sheet, a script with markup in its strings, comments, entities.
const std::string OldPage =
    "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=windows-1252\">\r\n"
    "<title>PRINT &amp; Co</title>\r\n"
    "<style type=\"text/css\">\r\nbody { font-family: Verdana; } p > b { color: red }\r\n</style>\r\n"
    "<script language=\"JavaScript\"><!--\r\n"
    "function go() { if (a < b && c > d) document.write(\"<b>not text</b>\"); }\r\n"
    "//--></SCRIPT>\r\n"
    "</head><body onload=\"go()\">\r\n"
    "<!-- a comment with <b>tags</b> -->\r\n"
    "<p>The &#8220;PRINT&#8221; command&nbsp;writes \x93quoted\x94 text &copy; caf\xe9.</p>\r\n"
    "<pre>PRINT \"Hello\"\r\nPRINT 2+2</pre>\r\n"
    "<a href=\"x.htm\" title=\"a > b\">See</a> also<br>END\r\n"
    "</body></html>\r\n";

TEST(Html, TextIsWhatAReaderSees)
{
    struct Case {
        std::string page;
        std::string title;
        std::string text;
    };
    const Case cases[] = {
        {OldPage, "PRINT & Co",
         "The \xe2\x80\x9cPRINT\xe2\x80\x9d command writes \xe2\x80\x9cquoted\xe2\x80\x9d text \xc2\xa9 "
         "caf\xc3\xa9. "
         "PRINT \"Hello\" PRINT 2+2 See also END"},
        // A declared UTF-8 page; a reference without its ';' before markup.
        {"<meta charset=\"utf-8\"><title>Caf\xc3\xa9</title><p>na\xc3\xafve &#x263A; &eacute</p>",
         "Caf\xc3\xa9", "na\xc3\xafve \xe2\x98\xba \xc3\xa9"},
        // Undeclared: UTF-8 when it is well-formed, Windows-1252 when not.
        {"<p>caf\xc3\xa9</p>", "", "caf\xc3\xa9"},
        {"<p>caf\xe9 \x80</p>", "", "caf\xc3\xa9 \xe2\x82\xac"},
        // Declared Windows-1252 wins over bytes that look like UTF-8.
        {"<meta content=\"text/html; charset=ISO-8859-1\"><p>\xc3\xa9</p>", "", "\xc3\x83\xc2\xa9"},
        {"\xef\xbb\xbf<title>t</title>\xc3\xa9", "t", "\xc3\xa9"},
        {"AT&T &bogus; &amp x &#0; &#150; &#x110000; &#; &#65", "",
         "AT&T &bogus; & x \xef\xbf\xbd \xe2\x80\x93 \xef\xbf\xbd &#; A"},
        // Control characters, written as bytes or as references, part words.
        {"a&#x2;b&#9;c\x7f"
         "d\x01"
         "e&#127;f",
         "", "a b c d e f"},
        {"a < b, x<3, <>", "", "a < b, x<3, <>"},
        {"<p>before<!-- never closed <p>after", "", "before"},
        {"Syntax</p><pre>PRINT</pre>\r\n\t  a  \n b ", "", "Syntax PRINT a b"},
        {"<title> one <b>&amp;</b> </title><title>two</title>body", "one <b>&</b>", "body"},
        {"<img alt=\"1 > 0\" src=x>text<br/>more", "", "text more"},
        {"<style>p{}</style >a<script>document.write('</scr' + 'ipt>')</script>b", "", "a b"},
        {"\xc2\xa0spaced\xc2\xa0out\xc2\xa1", "", "spaced out\xc2\xa1"},
        {"", "", ""},
        {"<", "", "<"},
        {"<html", "", ""},
    };
    for (const Case& c : cases) {
        PageText page;
        ExtractPageText(c.page, page);
        EXPECT_EQ(page.title, c.title) << c.page;
        EXPECT_EQ(page.text, c.text) << c.page;
    }
}

// Text is scanned several bytes at a time: every way of parting words, at
// every place against those bytes, in either charset, comes out as single
// spaces, counted.
TEST(Html, WordsArePartedAtEveryPlace)
{
    struct Charset {
        std::string name;
        std::string accented;  // "café" in the page's bytes
        std::string noBreak;
    };
    const Charset charsets[] = {{"utf-8", "caf\xc3\xa9", "\xc2\xa0"}, {"windows-1252", "caf\xe9", "\xa0"}};
    for (const Charset& charset : charsets) {
        const std::string partings[] = {" ",     "  ",   "\t",     "\r\n",          " <b>",
                                        "</b> ", "<br>", "&nbsp;", charset.noBreak, "\x7f"};
        const std::string words[] = {charset.accented, "a", "bc", "PRINT", "x&amp;y", "sync"};
        for (size_t lead = 0; lead < 10; ++lead)
            for (const std::string& parting : partings) {
                std::string page = "<meta charset=" + charset.name + ">" + std::string(lead, ' ');
                std::string wanted;
                for (size_t n = 0; n < 24; ++n) {
                    const std::string& word = words[(n + lead) % std::size(words)];
                    const std::string shown = word == "x&amp;y"          ? "x&y"
                                              : word == charset.accented ? "caf\xc3\xa9"
                                                                         : word;
                    // Sometimes the plain space, which stays in a run of text.
                    page += word + (n % 3 == 0 ? " " : parting);
                    wanted += (wanted.empty() ? "" : " ") + shown;
                }
                PageText text;
                ExtractPageText(page, text);
                EXPECT_EQ(text.text, wanted) << page;
                EXPECT_EQ(text.spaces, static_cast<size_t>(std::count(wanted.begin(), wanted.end(), ' ')))
                    << page;
            }
    }
}

TEST(Html, CharsetComesFromTheMarkOrTheHead)
{
    const std::pair<std::string, PageCharset> cases[] = {
        {"\xef\xbb\xbf<html>", PageCharset::Utf8},
        {"<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; CHARSET=UTF-8\">", PageCharset::Utf8},
        {"<meta charset='cp1252'>", PageCharset::Windows1252},
        {"<meta charset=us-ascii>", PageCharset::Windows1252},
        {"<meta charset=\"shift_jis\">", PageCharset::Unknown},
        {"<!-- <meta charset=\"utf-8\"> --><p>", PageCharset::Unknown},
        {"<body><meta charset=\"utf-8\">", PageCharset::Unknown},
        {"<meta name=\"charset-free\" content=\"x\"><meta charset=utf8>", PageCharset::Utf8},
        {"<p>no head</p>", PageCharset::Unknown},
    };
    for (const auto& [page, charset] : cases) EXPECT_EQ(DeclaredCharset(page), charset) << page;
}

TEST(Html, LinksAndImagesAsThePageWritesThem)
{
    const std::string page =
        "<html><head><base href=\"../\"><link rel=stylesheet href=\"style.css\"></head>\r\n"
        "<body background=\"bg.jpg\">\r\n"
        "<a href=\"commands\\print.htm\">PRINT</a><BR>\r\n"
        "  <A HREF='Main.htm#top'>Main</A> <a href=index.htm>Index</a> <a name=\"here\">x</a>\r\n"
        "<img src=\"images/logo.gif\" alt=\"a > b\"><td background=cell.gif>\r\n"
        "<a href=\"caf&eacute;.htm\">\r\n"
        "<!-- <a href=\"commented.htm\"> -->\r\n"
        "<script>var s = '<a href=\"inscript.htm\">';</script><script src=\"tools.js\"></script>\r\n"
        "<frameset><frame src=\"menu.htm\"></frameset><a href = \" spaced.htm \"><a href='\x01\x16 "
        "ctrl.htm\x1f'>\r\n"
        "<A HREF=\"caps.htm\">at a line's start, but not a link line</A>\r\n";
    PageLinks links;
    ReadPageLinks(page, links);
    EXPECT_EQ(links.base, "../");
    struct Want {
        std::string target;
        LinkKind kind;
        int opensLinkLine;
    };
    const std::vector<Want> wanted = {
        {"style.css", LinkKind::Page, 0},
        {"bg.jpg", LinkKind::Image, 0},
        {"commands\\print.htm", LinkKind::Page, 1},
        {"Main.htm#top", LinkKind::Page, 0},
        {"index.htm", LinkKind::Page, 0},
        {"images/logo.gif", LinkKind::Image, 0},
        {"cell.gif", LinkKind::Image, 0},
        {"caf\xc3\xa9.htm", LinkKind::Page, 1},
        {"tools.js", LinkKind::Page, 0},
        {"menu.htm", LinkKind::Page, 0},
        {"spaced.htm", LinkKind::Page, 0},
        {"ctrl.htm", LinkKind::Page, 0},
        {"caps.htm", LinkKind::Page, 0},
    };
    ASSERT_EQ(links.links.size(), wanted.size());
    for (size_t i = 0; i < wanted.size(); ++i) {
        EXPECT_EQ(links.links[i].target, wanted[i].target);
        EXPECT_EQ(links.links[i].kind, wanted[i].kind) << wanted[i].target;
        EXPECT_EQ(links.links[i].opensLinkLine, wanted[i].opensLinkLine) << wanted[i].target;
    }
    // A Windows-1252 page's names come out as UTF-8 too.
    ReadPageLinks("<a href=\"caf\xe9.htm\">", links);
    ASSERT_EQ(links.links.size(), 1u);
    EXPECT_EQ(links.links[0].target, "caf\xc3\xa9.htm");
    EXPECT_EQ(links.base, "");
}

// Only the tags named as links are read, by their whole name in any case,
// and a quoted value of any other tag hides what looks like a link.
TEST(Html, LinksOnlyFromTheTagsNamedSo)
{
    const std::vector<std::pair<std::string, std::vector<std::string>>> cases = {
        {"<AREA HREF=x>", {"x"}},
        {"<a1 href=x><areaa href=x><abbr href=x>", {}},
        {"<iframe src=x><iframes src=y><frame1 src=z>", {"x"}},
        {"<img src=x><img2 src=y><imgage src=z><INPUT SRC=w>", {"x", "w"}},
        {"<bodyy background=x><tablexyzw background=y><th background=z><thead background=w>", {"z"}},
        {"<font title='<a href=hidden>'><a href=x>", {"x"}},
        {"<p title=\"<img src=no>\">text</p><td background=\"cell.gif\">", {"cell.gif"}},
        {"<script src=a><a href=b></SCRIPT><a href=c>", {"a", "c"}},
        {"<scripts src=a><a href=b>", {"b"}},
        {"<style><a href=x></style><a href=y><styles><a href=z>", {"y", "z"}},
        {"<link rel=icon href=x><link rel=\"alternate stylesheet\" href=y><linked rel=stylesheet href=z>",
         {"y"}},
        {"<basefont href=x><a\thref=y>", {"y"}},
        {"<abcdefghijklmnopqrstuvwxyz href=x><a href='it\"s'>", {"it\"s"}},
    };
    PageLinks links;
    for (const auto& [page, targets] : cases) {
        ReadPageLinks(page, links);
        std::vector<std::string> read;
        for (const PageLink& link : links.links) read.push_back(link.target);
        EXPECT_EQ(read, targets) << page;
    }
}

// The links of page after page go into one store, each page's after the
// last one's, and each page has its own base.
TEST(Html, PagesLinksStoredOneAfterAnother)
{
    const std::vector<std::pair<std::string, std::vector<std::string>>> pages = {
        {"<base href=\"../\"><a href=a.htm><img src=\"caf\xe9.gif\">", {"a.htm", "caf\xc3\xa9.gif"}},
        {"<p>none</p>", {}},
        {"<a href=\"x&amp;y.htm\">\r\n<a href=b.htm>", {"x&y.htm", "b.htm"}},
    };
    const std::string bases[] = {"../", "", ""};
    const std::vector<int> linkLines = {0, 0, 1, 1};
    LinkStore store;
    std::string base = "left from before";
    std::vector<std::string> all;
    for (size_t page = 0; page < std::size(pages); ++page) {
        const size_t before = store.links.size();
        AppendPageLinks(pages[page].first, store, base);
        EXPECT_EQ(base, bases[page]) << page;
        ASSERT_EQ(store.links.size() - before, pages[page].second.size()) << page;
        all.insert(all.end(), pages[page].second.begin(), pages[page].second.end());
    }
    ASSERT_EQ(store.links.size(), all.size());
    for (size_t i = 0; i < all.size(); ++i) {
        const StoredLink& link = store.links[i];
        EXPECT_EQ(store.targets.substr(link.start, link.length), all[i]) << i;
        EXPECT_EQ(link.opensLinkLine, linkLines[i]) << all[i];
        EXPECT_EQ(link.kind, i == 1 ? LinkKind::Image : LinkKind::Page) << all[i];
    }
}

// A page's spaces are its words less one, however long its text.
TEST(Html, SpacesCountedInTextsOfEveryLength)
{
    for (size_t words : {1u, 8u, 9u, 16u, 17u, 2040u, 2041u, 2048u, 5000u, 70000u}) {
        std::string page = "<p>";
        for (size_t n = 0; n < words; ++n) page += n % 7 == 0 ? "ab\r\n" : n % 5 == 0 ? "c<br>" : "d ";
        PageText text;
        ExtractPageText(page, text);
        EXPECT_EQ(text.spaces, words - 1) << words;
        EXPECT_EQ(text.spaces, static_cast<size_t>(std::count(text.text.begin(), text.text.end(), ' ')));
    }
}

// A target beyond ASCII is read in the charset of the whole page, also
// after targets that are plain ASCII in any charset.
TEST(Html, LinkTargetsInThePagesCharset)
{
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"<meta charset=windows-1252><a href=a.htm><a href=\"caf\xc3\xa9.htm\">", "caf\xc3\x83\xc2\xa9.htm"},
        {"<meta charset=utf-8><a href=a.htm><a href=\"caf\xe9.htm\">", "caf\xe9.htm"},
        {"<a href=a.htm><a href=\"caf\xc3\xa9.htm\"> caf\xc3\xa9", "caf\xc3\xa9.htm"},
        {"<a href=a.htm><a href=\"caf\xc3\xa9.htm\"> caf\xe9", "caf\xc3\x83\xc2\xa9.htm"},
        {"<a href=a.htm><a href=\"caf\xe9.htm\">", "caf\xc3\xa9.htm"},
        {"<a href=a.htm><a href=\"x&amp;y.htm\">", "x&y.htm"},
        {"<a href=a.htm><a href=\"\">", ""},
    };
    PageLinks links;
    for (const auto& [page, target] : cases) {
        ReadPageLinks(page, links);
        ASSERT_EQ(links.links.size(), 2u) << page;
        EXPECT_EQ(links.links[0].target, "a.htm") << page;
        EXPECT_EQ(links.links[1].target, target) << page;
    }
}

TEST(Html, TextGoesIntoPagesAsEscapedAscii)
{
    EXPECT_EQ(HtmlFromText("a<b & \"c\" > caf\xc3\xa9 \xe2\x82\xac \xf0\x9f\x98\x80"),
              "a&lt;b &amp; &quot;c&quot; &gt; caf&#233; &#8364; &#128512;");
    // Stray bytes are the Windows-1252 characters a program text means by them.
    EXPECT_EQ(HtmlFromText("caf\xe9 \x80\x01"), "caf&#233; &#8364;");
    EXPECT_EQ(FoldedForMatching("print Caf\xc3\xa9 \xc3\xbf \xc3\xb7 \xc3\xa0"),
              "PRINT CAF\xc3\x89 \xc3\xbf \xc3\xb7 \xc3\x80");
    EXPECT_EQ(Utf8FromText("caf\xe9"), "caf\xc3\xa9");
    EXPECT_EQ(Utf8FromText("caf\xc3\xa9"), "caf\xc3\xa9");
}

}  // namespace
