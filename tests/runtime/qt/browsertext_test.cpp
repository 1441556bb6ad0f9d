#include <gtest/gtest.h>

#include "runtime/browser.h"
#include "runtime/qt/browsertext.h"
#include "runtime/qt/requesters_qt.h"

namespace {

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

// What a web browser does before it reads a page.
TEST(BrowserDecodeTest, LineEndsAndBreaksBeforeBlocks)
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
        {"a<br>\t\v<H3 id=x>", "a\t\v<H3 id=x>"},
        {"a<br></td >x<br></pre>", "a</td >x<br></pre>"},
        {"a<br><h7>b<br / ><p>c<br><p", "a<br><h7>b<br / ><p>c<br><p"},
        // Caseless as a regular expression is: the Kelvin sign is a "k".
        {"a<br><bloc\xE2\x84\xAAquote>", "a<bloc\xE2\x84\xAAquote>"},
    };
    for (const auto& [html, expected] : prepared)
        EXPECT_EQ(BrowserPrepareHtml(html), expected) << html.toStdString();
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
