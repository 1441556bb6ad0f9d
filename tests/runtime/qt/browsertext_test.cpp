#include <gtest/gtest.h>

#include "runtime/browser.h"
#include "runtime/qt/browsertext.h"
#include "runtime/qt/requesters_qt.h"

namespace {

struct TargetCase {
    const char* target;
    const char* current;
    const char* path;
    const char* anchor;
};

TEST(BrowserTargetTest, ResolvesEveryFormALinkOrTheProgramUses)
{
    const TargetCase cases[] = {
        {"T:\\help\\Menu.htm", "", "T:\\help\\Menu.htm", ""},
        {"file:///T:/my%20help/a.htm#A", "", "T:\\my help\\a.htm", "A"},
        {"file:///T:/help/index.htm%23", "", "T:\\help\\index.htm#", ""},
        {"sub\\page.htm", "T:\\help\\main.htm", "T:\\help\\sub\\page.htm", ""},
        {"sub/page.htm", "T:\\help\\main.htm", "T:\\help\\sub\\page.htm", ""},
        {"..\\other\\x.htm", "T:\\help\\sub\\vosks.html", "T:\\help\\other\\x.htm", ""},
        {"../../../x.htm", "T:\\help\\a.htm", "T:\\x.htm", ""},
        {"./a%20b.htm?q=1", "T:\\help\\main.htm", "T:\\help\\a b.htm", ""},
        {"C:\\H\\main.htm", "T:\\help\\vosks.html", "C:\\H\\main.htm", ""},
        {"C:/H//main.htm#top", "T:\\help\\vosks.html", "C:\\H\\main.htm", "top"},
        {"\\root\\x.htm", "T:\\help\\a.htm", "T:\\root\\x.htm", ""},
        {"#top", "T:\\help\\a.htm", "T:\\help\\a.htm", "top"},
        {"T:\\help\\#top", "T:\\help\\a.htm", "T:\\help\\a.htm", "top"},
        {"C:\\H\\#A", "T:\\help\\sub\\vosks.html", "T:\\help\\sub\\vosks.html", "A"},
        {"T:\\help\\sub\\", "T:\\help\\a.htm", "T:\\help\\sub\\", ""},
        {"100%.htm", "T:\\help\\a.htm", "T:\\help\\100%.htm", ""},
        {"", "T:\\help\\a.htm", "", ""},
    };
    for (const TargetCase& c : cases) {
        BrowserTarget target = BrowserResolveTarget(c.target, c.current);
        EXPECT_EQ(target.path, c.path) << c.target;
        EXPECT_EQ(target.anchor, c.anchor) << c.target;
        EXPECT_EQ(target.external, "") << c.target;
    }
}

TEST(BrowserTargetTest, WebAddressesAreNotFiles)
{
    for (const char* address : {"http://example.com/a.htm#x", "mailto:me@example.com", "https://x"}) {
        BrowserTarget target = BrowserResolveTarget(address, "T:\\help\\a.htm");
        EXPECT_EQ(target.path, "") << address;
        EXPECT_EQ(target.external, address);
    }
}

TEST(BrowserTargetTest, AddressesRoundTripThroughTheForm)
{
    struct Case {
        const char* path;
        const char* anchor;
        const char* address;
    };
    const Case cases[] = {
        {"T:\\help\\index.htm", "", "file:///T:/help/index.htm"},
        {"Z:\\home\\me\\Dark Basic\\help\\a b.htm", "A", "file:///Z:/home/me/Dark%20Basic/help/a%20b.htm#A"},
        {"T:\\C#\\x.htm", "", "file:///T:/C%23/x.htm"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(BrowserAddressFromPath(c.path, c.anchor), c.address);
        BrowserTarget back = BrowserResolveTarget(c.address, "");
        EXPECT_EQ(back.path, c.path);
        EXPECT_EQ(back.anchor, c.anchor);
    }
}

TEST(BrowserDecodeTest, PicksTheEncodingAPageUses)
{
    struct Case {
        QByteArray bytes;
        QString text;
    };
    const QString eAcute = QString(QChar(0xE9));
    const Case cases[] = {
        {"caf\xC3\xA9", "caf" + eAcute},
        {"caf\xE9 \x93q\x94 \x80",
         "caf" + eAcute + " " + QChar(0x201C) + "q" + QChar(0x201D) + " " + QChar(0x20AC)},
        {"\xEF\xBB\xBFok", "ok"},
        // A declared charset wins over what the bytes look like.
        {"<head><meta charset=\"windows-1252\"></head>\xC3\xA9",
         "<head><meta charset=\"windows-1252\"></head>" + QString(QChar(0xC3)) + QChar(0xA9)},
        {"<HEAD><META http-equiv=Content-Type content='text/html; charset=UTF-8'></HEAD>\xE9",
         "<HEAD><META http-equiv=Content-Type content='text/html; charset=UTF-8'></HEAD>" +
             QString(QChar(0xFFFD))},
        // Only the head counts: a body that talks about charsets does not.
        {"<body>charset=utf-8 <meta charset=utf-8> \xE9",
         "<body>charset=utf-8 <meta charset=utf-8> " + eAcute},
    };
    for (const Case& c : cases) EXPECT_EQ(BrowserDecodePage(c.bytes), c.text) << c.bytes.toStdString();
}

// What a web browser does before it reads a page, and what a page's head
// says about its links.
TEST(BrowserDecodeTest, LineEndsBreaksBeforeBlocksAndTheBase)
{
    EXPECT_EQ(BrowserDecodePage("<p>a</p>\r\n<a>b</a>\r<br>\n"), "<p>a</p>\n<a>b</a>\n<br>\n");
    const std::pair<QString, QString> prepared[] = {
        {"a<br>\n<p>b</p>", "a\n<p>b</p>"},
        {"a<BR/> <HR noshade>", "a <HR noshade>"},
        {"<td>x<br></td>", "<td>x</td>"},
        {"a<br><br><p>", "a<br><p>"},  // only the last one starts no line
        {"a<br>b<br><pre>", "a<br>b<pre>"},
        {"a<br><b>bold</b>", "a<br><b>bold</b>"},
        {"a<br><a href=x>", "a<br><a href=x>"},
        {"a<br><body", "a<br><body"},
    };
    for (const auto& [html, expected] : prepared)
        EXPECT_EQ(BrowserPrepareHtml(html), expected) << html.toStdString();
    const std::pair<QString, QString> bases[] = {
        {"<html><head><BASE HREF=\"../\"></head>", "../"},
        {"<base href='file:///Z:/x/'>", "file:///Z:/x/"},
        {"<head><title>x</title></head><body><base href=\"../\">", ""},
        {"<head><base target=\"main\"></head>", ""},
        {"<p>no base</p>", ""},
    };
    for (const auto& [html, base] : bases) EXPECT_EQ(BrowserBaseHref(html), base) << html.toStdString();
}

TEST(FileFilterTest, PairsBecomeQtNameFilters)
{
    QStringList filters =
        QtNameFilters("Text Files (*.txt)|*.txt|Web files (*.htm,*.html)|*.htm;*.html|All Files (*.*)|*.*");
    ASSERT_EQ(filters.size(), 3);
    EXPECT_EQ(filters[0], "Text Files (*.txt) (*.txt)");
    EXPECT_EQ(filters[1], "Web files (*.htm,*.html) (*.htm *.html)");
    EXPECT_EQ(filters[2], "All Files (*.*) (*)");
    EXPECT_TRUE(QtNameFilters("").isEmpty());
    EXPECT_EQ(QtNameFilters("Lone label").size(), 0);
}

}  // namespace

namespace {

TEST(BodyStyleTest, OldBodyColoursBecomeAStyleSheet)
{
    struct Case {
        const char* html;
        const char* style;
    };
    const Case cases[] = {
        {"<BODY bgcolor=\"#000033\" TEXT=\"#FFFFFF\" link=#80C0FF vlink=\"#C0A0FF\">",
         "body { color: #FFFFFF } a { color: #80C0FF }"},
        {"<body alink='red' text = 'Yellow'>", "body { color: Yellow }"},
        {"<body>text=\"#FFF\"</body>", ""},
        {"<body text=\"red;} * {font-size: 90px\">", ""},
        {"<p>no body</p>", ""},
    };
    for (const Case& c : cases) EXPECT_EQ(BrowserBodyStyle(c.html).toStdString(), c.style) << c.html;
}

}  // namespace
