#include <QAbstractTextDocumentLayout>
#include <QImage>
#include <QMainWindow>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextDocument>

#include "runtime/qt/qttest.h"
#include "runtime/browser.h"
#include "runtime/qt/helpview.h"
#include "runtime/qt/qtlayer.h"
#include "support/testfolder.h"

namespace {

class BrowserTest : public GuiTest {
protected:
    void SetUp() override
    {
        GuiTest::SetUp();
        ASSERT_NE(WindowOpen(0, 0, 0, 640, 480, 0xCF0000, "Browser"), 0);
        ControlParentSet(WindowHandle());
    }

    HelpView* Create(const std::string& address)
    {
        EXPECT_NE(BrowserCreate(10, 0, 31, 640, 400, address), 0);
        return dynamic_cast<HelpView*>(QtControlWidget(10));
    }

    // Clicks the link whose text is given, as a user would.
    void ClickLink(HelpView* view, const QString& text)
    {
        QTextCursor found = view->document()->find(text);
        ASSERT_FALSE(found.isNull()) << text.toStdString();
        QTextCursor inside(view->document());
        inside.setPosition(found.selectionStart() + 1);
        QPoint point = view->cursorRect(inside).center();
        ASSERT_FALSE(view->anchorAt(point).isEmpty()) << text.toStdString();
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, point);
    }

    static QString Shown(HelpView* view) { return view->document()->toPlainText().trimmed(); }

    TestFolder folder;
};

TEST_F(BrowserTest, HistoryShowsWhatEachDisplayCopyHeldWhenVisited)
{
    folder.Write("help\\a.htm", "<p>Page A</p>");
    folder.Write("help\\b.htm", "<p>Page B</p>");
    HelpView* view = Create("T:\\help\\a.htm");
    // What the page watcher does: a copy beside each page, then the copy.
    folder.Write("help\\vosks.html", "<p>Copy of A</p>");
    ControlSetText(10, "T:\\help\\vosks.html");
    ControlSetText(10, "T:\\help\\b.htm");
    folder.Write("help\\vosks.html", "<p>Copy of B</p>");
    ControlSetText(10, "T:\\help\\vosks.html");
    EXPECT_EQ(Shown(view), "Copy of B");

    struct Step {
        int command;
        const char* address;
        const char* shown;
    };
    const Step steps[] = {
        {BrowserBack, "file:///T:/help/b.htm", "Page B"},
        {BrowserBack, "file:///T:/help/vosks.html", "Copy of A"},
        {BrowserBack, "file:///T:/help/a.htm", "Page A"},
        {BrowserBack, "file:///T:/help/a.htm", "Page A"},
        {BrowserForward, "file:///T:/help/vosks.html", "Copy of A"},
        {BrowserForward, "file:///T:/help/b.htm", "Page B"},
        {BrowserForward, "file:///T:/help/vosks.html", "Copy of B"},
        {BrowserForward, "file:///T:/help/vosks.html", "Copy of B"},
        {BrowserReload, "file:///T:/help/vosks.html", "Copy of B"},
        {BrowserStop, "file:///T:/help/vosks.html", "Copy of B"},
        {99, "file:///T:/help/vosks.html", "Copy of B"},
    };
    for (const Step& step : steps) {
        ControlSetState(10, step.command);
        EXPECT_EQ(ControlGetText(10), step.address) << step.command;
        EXPECT_EQ(Shown(view), step.shown) << step.command;
    }
    // Reload reads the file afresh.
    folder.Write("help\\vosks.html", "<p>Copy of B, edited</p>");
    ControlSetState(10, BrowserReload);
    EXPECT_EQ(Shown(view), "Copy of B, edited");
    // A new page after Back drops the entries ahead.
    ControlSetState(10, BrowserBack);
    ControlSetText(10, "T:\\help\\a.htm");
    ControlSetState(10, BrowserForward);
    EXPECT_EQ(ControlGetText(10), "file:///T:/help/a.htm");
}

TEST_F(BrowserTest, LinksInEveryWrittenFormAreFollowed)
{
    folder.Write("help\\Menu.htm",
                 "<p><a href=\"sub\\page.htm\">backslash link</a></p>"
                 "<p><a href=\"T:\\help\\sub\\page.htm#two\">absolute link</a></p>"
                 "<p><a href=\"file:///T:/my%20help/x.htm\">file link</a></p>");
    folder.Write("help\\sub\\page.htm", "<p>Sub page <a href=\"../Menu.htm\">up</a></p>");
    folder.Write("my help\\x.htm", "<p>Spaced <a href=\"other page.htm\">other</a></p>");
    folder.Write("my help\\other page.htm", "<p>Other page</p>");
    HelpView* view = Create("T:\\help\\Menu.htm");
    ASSERT_TRUE(QTest::qWaitForWindowExposed(QtMainWindow()));

    struct Step {
        const char* link;
        const char* address;
        const char* shownStart;
    };
    const Step steps[] = {
        {"backslash link", "file:///T:/help/sub/page.htm", "Sub page"},
        {"up", "file:///T:/help/Menu.htm", "backslash link"},
        {"absolute link", "file:///T:/help/sub/page.htm#two", "Sub page"},
        {"up", "file:///T:/help/Menu.htm", "backslash link"},
        {"file link", "file:///T:/my%20help/x.htm", "Spaced"},
        {"other", "file:///T:/my%20help/other%20page.htm", "Other page"},
    };
    for (const Step& step : steps) {
        ClickLink(view, step.link);
        EXPECT_EQ(ControlGetText(10), step.address) << step.link;
        EXPECT_TRUE(Shown(view).startsWith(step.shownStart)) << step.link;
    }
}

TEST_F(BrowserTest, AnchorsScrollWithinThePage)
{
    std::string page = "<p><a href=\"#bottom\">to bottom</a></p>";
    for (int i = 0; i < 200; ++i) page += "<p>line</p>";
    page += "<p><a name=\"bottom\">Bottom</a></p>";
    folder.Write("help\\long.htm", page);
    HelpView* view = Create("T:\\help\\long.htm");
    ASSERT_TRUE(QTest::qWaitForWindowExposed(QtMainWindow()));
    EXPECT_EQ(view->verticalScrollBar()->value(), 0);
    ClickLink(view, "to bottom");
    EXPECT_EQ(ControlGetText(10), "file:///T:/help/long.htm#bottom");
    EXPECT_GT(view->verticalScrollBar()->value(), 0);
    ControlSetState(10, BrowserBack);
    EXPECT_EQ(ControlGetText(10), "file:///T:/help/long.htm");
    EXPECT_EQ(view->verticalScrollBar()->value(), 0);
}

TEST_F(BrowserTest, PagesAreDecodedAsTheyWereWritten)
{
    folder.Write("help\\old.htm", "<p>caf\xE9 \x93quoted\x94</p>");
    folder.Write("help\\new.htm", "<p>caf\xC3\xA9</p>");
    HelpView* view = Create("T:\\help\\old.htm");
    EXPECT_EQ(Shown(view), QString("caf") + QChar(0xE9) + " " + QChar(0x201C) + "quoted" + QChar(0x201D));
    ControlSetText(10, "T:\\help\\new.htm");
    EXPECT_EQ(Shown(view), QString("caf") + QChar(0xE9));
}

TEST_F(BrowserTest, MissingPagesAndSourcesStillReportTheirAddress)
{
    folder.Write("help\\a.htm", "<p>Page A <a href=\"demo.DBA\">source</a></p>");
    folder.Write("help\\demo.DBA", std::string("\x00\x01\x02rem binary", 13));
    HelpView* view = Create("T:\\help\\a.htm");
    ASSERT_TRUE(QTest::qWaitForWindowExposed(QtMainWindow()));
    ClickLink(view, "source");
    EXPECT_EQ(ControlGetText(10), "file:///T:/help/demo.DBA");
    EXPECT_TRUE(Shown(view).startsWith("Page A"));
    ControlSetState(10, BrowserBack);
    EXPECT_EQ(ControlGetText(10), "file:///T:/help/a.htm");

    ControlSetText(10, "T:\\help\\gone.htm");
    EXPECT_EQ(ControlGetText(10), "file:///T:/help/gone.htm");
    EXPECT_TRUE(Shown(view).startsWith("Page not found"));
    ControlSetText(10, "");
    EXPECT_EQ(ControlGetText(10), "file:///T:/help/gone.htm");
}

// The share of the view's pixels that are pure red.
double RedShare(HelpView* view)
{
    QImage image = view->viewport()->grab().toImage();
    int red = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) red += image.pixel(x, y) == qRgb(255, 0, 0);
    return double(red) / (image.width() * image.height());
}

TEST_F(BrowserTest, ImagesWithBackslashesAreLoadedFromThePagesFolder)
{
    QImage red(60, 60, QImage::Format_RGB32);
    red.fill(qRgb(255, 0, 0));
    folder.MakeFolder("help\\sub\\img");
    ASSERT_TRUE(red.save(QString::fromStdString(folder.Host("help\\sub\\img\\red.png"))));
    folder.MakeFolder("help\\img");
    QImage blue(60, 60, QImage::Format_RGB32);
    blue.fill(qRgb(0, 0, 255));
    ASSERT_TRUE(blue.save(QString::fromStdString(folder.Host("help\\img\\red.png"))));
    folder.Write("help\\sub\\pic.htm", "<p><img src=\"img\\red.png\"></p>");
    folder.Write("help\\pic.htm", "<p><img src=\"img\\red.png\"></p>");
    HelpView* view = Create("T:\\help\\sub\\pic.htm");
    ASSERT_TRUE(QTest::qWaitForWindowExposed(QtMainWindow()));
    EXPECT_GT(RedShare(view), 0.005);
    // The same name in another folder is another picture.
    ControlSetText(10, "T:\\help\\pic.htm");
    EXPECT_EQ(RedShare(view), 0.0);
    folder.Write("help\\img\\up.htm", "<p><img src=\"..\\sub/img\\red.png\"></p>");
    ControlSetText(10, "T:\\help\\img\\up.htm");
    EXPECT_GT(RedShare(view), 0.005);
}

}  // namespace
