#include <QAbstractTextDocumentLayout>
#include <QImage>
#include <QApplication>
#include <QMainWindow>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFrame>
#include <functional>

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

// What the page watcher does when the view is headed for a page of the help
// folder: it writes the copy and puts it in the page's place.
void PutCopyInPlace(TestFolder& folder, const std::string& page, const std::string& text)
{
    folder.Write("help\\vosks.html", text);
    BrowserShowCopy(10, "T:\\help\\vosks.html", page);
}

// Navigations are shown on the event loop: until then the address is the one
// shown before, and a navigation replaced in time is never read or laid out.
TEST_F(BrowserTest, NavigationsAreShownOnTheEventLoop)
{
    folder.Write("help\\a.htm", "<p>Page A</p>");
    folder.Write("help\\b.htm", "<p>Page B</p>");
    HelpView* view = Create("T:\\help\\a.htm");
    QSignalSpy layouts(view, &QTextEdit::textChanged);
    EXPECT_EQ(ControlGetText(10), "");
    EXPECT_EQ(BrowserTargetAddress(10), "file:///T:/help/a.htm");
    PutCopyInPlace(folder, "T:\\help\\a.htm", "<p>Copy of A</p>");
    EXPECT_EQ(BrowserTargetAddress(10), "file:///T:/help/vosks.html");
    EXPECT_EQ(BrowserTargetPage(10), "T:\\help\\a.htm");
    QCoreApplication::processEvents();
    EXPECT_EQ(ControlGetText(10), "file:///T:/help/vosks.html");
    EXPECT_EQ(Shown(view), "Copy of A");
    EXPECT_EQ(layouts.count(), 1);

    ControlSetText(10, "T:\\help\\b.htm");
    EXPECT_EQ(ControlGetText(10), "file:///T:/help/vosks.html");
    ControlSetState(10, BrowserStop);
    QCoreApplication::processEvents();
    EXPECT_EQ(BrowserTargetAddress(10), "file:///T:/help/vosks.html");
    EXPECT_EQ(layouts.count(), 1);
}

// One entry per page, each display copy knowing its page; Back and Next
// show what the watcher wrote for that page and where the user had scrolled.
TEST_F(BrowserTest, HistoryEntriesOfCopiesKnowTheirPageAndScroll)
{
    std::string longPage = "<p>Copy of A</p>";
    for (int i = 0; i < 300; ++i) longPage += "<p>line</p>";
    HelpView* view = Create("T:\\help\\a.htm");
    ASSERT_TRUE(QTest::qWaitForWindowExposed(QtMainWindow()));
    PutCopyInPlace(folder, "T:\\help\\a.htm", longPage);
    QCoreApplication::processEvents();
    view->verticalScrollBar()->setValue(500);
    ControlSetText(10, "T:\\help\\b.htm");
    PutCopyInPlace(folder, "T:\\help\\b.htm", "<p>Copy of B</p>");
    QCoreApplication::processEvents();
    EXPECT_EQ(Shown(view), "Copy of B");

    QSignalSpy layouts(view, &QTextEdit::textChanged);
    ControlSetState(10, BrowserBack);
    EXPECT_EQ(BrowserTargetPage(10), "T:\\help\\a.htm");
    PutCopyInPlace(folder, "T:\\help\\a.htm", longPage);
    QCoreApplication::processEvents();
    EXPECT_TRUE(Shown(view).startsWith("Copy of A"));
    // The line that was at the top is at the top again.
    EXPECT_NEAR(view->verticalScrollBar()->value(), 500, 2 * view->fontMetrics().lineSpacing());
    EXPECT_EQ(layouts.count(), 1);
    // Forward again: the entry ahead was kept.
    ControlSetState(10, BrowserForward);
    EXPECT_EQ(BrowserTargetPage(10), "T:\\help\\b.htm");
    ControlSetState(10, BrowserForward);  // nothing beyond
    PutCopyInPlace(folder, "T:\\help\\b.htm", "<p>Copy of B</p>");
    QCoreApplication::processEvents();
    EXPECT_EQ(Shown(view), "Copy of B");
    EXPECT_EQ(ControlGetText(10), "file:///T:/help/vosks.html");
    // Reload reads the file afresh.
    folder.Write("help\\vosks.html", "<p>Copy of B, edited</p>");
    ControlSetState(10, BrowserReload);
    QCoreApplication::processEvents();
    EXPECT_EQ(Shown(view), "Copy of B, edited");
    EXPECT_EQ(layouts.count(), 3);
}

// Where the line at the top of the view begins and ends in the page's text.
std::pair<int, int> TopLine(HelpView* view)
{
    QTextCursor cursor = view->cursorForPosition(QPoint(1, 1));
    cursor.movePosition(QTextCursor::StartOfLine);
    const int start = cursor.position();
    cursor.movePosition(QTextCursor::EndOfLine);
    return {start, cursor.position()};
}

// On a long page, which is laid out a piece at a time, Back, a zoom step and
// a new width keep the line that was at the top of the view at the top.
TEST_F(BrowserTest, PlaceOnALongPageIsKept)
{
    std::string page = "<html><body><h1>Contents</h1><ul>";
    for (int i = 0; i < 100; ++i) page += "<li><a href=\"#s" + std::to_string(i) + "\">Section</a></li>";
    page += "</ul>";
    for (int i = 0; page.size() < 400000; ++i)
        page += "<p>Paragraph " + std::to_string(i) +
                ", long enough to be wrapped over more than one line of "
                "the view, whatever the size of its text may be.</p>\r\n";
    folder.Write("help\\long.htm", page + "</body></html>");
    folder.Write("help\\short.htm", "<p>Short</p>");
    HelpView* view = Create("T:\\help\\long.htm");
    ASSERT_TRUE(QTest::qWaitForWindowExposed(QtMainWindow()));
    QCoreApplication::processEvents();
    view->document()->documentLayout()->documentSize();
    QCoreApplication::processEvents();
    view->verticalScrollBar()->setValue(view->verticalScrollBar()->maximum() * 3 / 5);
    ASSERT_GT(TopLine(view).first, 200000);

    struct Step {
        const char* name;
        std::function<void()> step;
    };
    const Step steps[] = {
        {"back",
         [&] {
             ControlSetText(10, "T:\\help\\short.htm");
             QCoreApplication::processEvents();
             ControlSetState(10, BrowserBack);
             QCoreApplication::processEvents();
         }},
        {"zoom in", [&] { BrowserZoomSet(10, 150); }},
        {"zoom out", [&] { BrowserZoomSet(10, 70); }},
        {"narrower", [&] { view->resize(400, 400); }},
        {"back again",
         [&] {
             ControlSetText(10, "T:\\help\\short.htm");
             QCoreApplication::processEvents();
             ControlSetState(10, BrowserBack);
             QCoreApplication::processEvents();
         }},
    };
    for (const Step& step : steps) {
        const int place = TopLine(view).first;
        step.step();
        const auto [start, end] = TopLine(view);
        EXPECT_LE(start, place) << step.name;
        EXPECT_GT(end, place) << step.name;
        // Its place holds when the layout has caught up.
        QTest::qWait(50);
        EXPECT_EQ(TopLine(view).first, start) << step.name;
    }
}

// Alt+Left and Alt+Right, and the mouse's back and forward buttons, step
// the browser wherever the focus is in the window.
TEST_F(BrowserTest, HistoryKeysAndMouseButtonsStepTheBrowser)
{
    folder.Write("help\\a.htm", "<p>Page A</p>");
    folder.Write("help\\b.htm", "<p>Page B</p>");
    HelpView* view = Create("T:\\help\\a.htm");
    ASSERT_NE(TextFieldCreate(4, 0, 0, 100, 20, ""), 0);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(QtMainWindow()));
    ControlSetText(10, "T:\\help\\b.htm");
    QCoreApplication::processEvents();
    QWidget* field = QtControlWidget(4);
    struct Press {
        std::function<void()> press;
        const char* address;
    };
    const Press presses[] = {
        {[&] { QTest::keyClick(field, Qt::Key_Left, Qt::AltModifier); }, "file:///T:/help/a.htm"},
        {[&] { QTest::keyClick(view, Qt::Key_Right, Qt::AltModifier); }, "file:///T:/help/b.htm"},
        {[&] { QTest::mouseClick(view->viewport(), Qt::BackButton); }, "file:///T:/help/a.htm"},
        {[&] { QTest::mouseClick(field, Qt::ForwardButton); }, "file:///T:/help/b.htm"},
        // Left alone, or with Ctrl as well, is the field's own key.
        {[&] { QTest::keyClick(field, Qt::Key_Left); }, "file:///T:/help/b.htm"},
        {[&] { QTest::keyClick(field, Qt::Key_Left, Qt::AltModifier | Qt::ControlModifier); },
         "file:///T:/help/b.htm"},
    };
    for (const Press& press : presses) {
        press.press();
        EXPECT_EQ(BrowserTargetAddress(10), press.address);
        QCoreApplication::processEvents();
        EXPECT_EQ(ControlGetText(10), press.address);
    }
}

// Enter searches only from where a search is typed: in the page it follows
// the link Tab moved to (the page's own backslash form intact) or does
// nothing, on a button it presses the button.
TEST_F(BrowserTest, EnterBelongsToTheFocusedControl)
{
    folder.Write("help\\a.htm", "<p>Page A</p><p><a href=\"sub\\b.htm\">to B</a></p>");
    folder.Write("help\\sub\\b.htm", "<p>Page B</p>");
    HelpView* view = Create("T:\\help\\a.htm");
    ASSERT_NE(TextFieldCreate(4, 0, 0, 100, 20, ""), 0);
    ASSERT_NE(ButtonCreate(1, 120, 0, 50, 20, "Back"), 0);
    ShortcutAdd(0, KeyEnter, 0);
    QtMainWindow()->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(QtMainWindow()));
    QCoreApplication::processEvents();
    struct Case {
        const char* name;
        std::function<void()> focus;
        std::pair<int, int> event;  // what the loop is told; {0, 0} for nothing
        const char* address;        // where the browser is headed after
    };
    const Case cases[] = {
        {"search field", [&] { QtControlWidget(4)->setFocus(); }, {EventMenu, 0}, "file:///T:/help/a.htm"},
        {"page", [&] { view->setFocus(); }, {0, 0}, "file:///T:/help/a.htm"},
        {"link",
         [&] {
             view->setFocus();
             QTest::keyClick(view, Qt::Key_Tab);
         },
         {0, 0},
         "file:///T:/help/sub/b.htm"},
        {"button", [&] { QtControlWidget(1)->setFocus(); }, {EventControl, 1}, "file:///T:/help/a.htm"},
    };
    for (const Case& c : cases) {
        ControlSetText(10, "T:\\help\\a.htm");
        QCoreApplication::processEvents();
        c.focus();
        DrainEvents();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        EXPECT_EQ(BrowserTargetAddress(10), c.address) << c.name;
        std::vector<std::pair<int, int>> told;
        for (const auto& event : DrainEvents())
            if (event.first == EventMenu || event.first == EventControl) told.push_back(event);
        const std::vector<std::pair<int, int>> wanted =
            c.event.first ? std::vector<std::pair<int, int>>{c.event} : std::vector<std::pair<int, int>>{};
        EXPECT_EQ(told, wanted) << c.name;
    }
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
    QCoreApplication::processEvents();
    for (const Step& step : steps) {
        ClickLink(view, step.link);
        QCoreApplication::processEvents();
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
    QCoreApplication::processEvents();
    EXPECT_EQ(view->verticalScrollBar()->value(), 0);
    QSignalSpy layouts(view, &QTextEdit::textChanged);
    ClickLink(view, "to bottom");
    QCoreApplication::processEvents();
    EXPECT_EQ(ControlGetText(10), "file:///T:/help/long.htm#bottom");
    EXPECT_GT(view->verticalScrollBar()->value(), 0);
    ControlSetState(10, BrowserBack);
    QCoreApplication::processEvents();
    EXPECT_EQ(ControlGetText(10), "file:///T:/help/long.htm");
    EXPECT_EQ(view->verticalScrollBar()->value(), 0);
    // Jumps within the page never lay it out again.
    EXPECT_EQ(layouts.count(), 0);
}

TEST_F(BrowserTest, PagesAreDecodedAsTheyWereWritten)
{
    folder.Write("help\\old.htm", "<p>caf\xE9 \x93quoted\x94</p>");
    folder.Write("help\\new.htm", "<p>caf\xC3\xA9</p>");
    HelpView* view = Create("T:\\help\\old.htm");
    QCoreApplication::processEvents();
    EXPECT_EQ(Shown(view), QString("caf") + QChar(0xE9) + " " + QChar(0x201C) + "quoted" + QChar(0x201D));
    ControlSetText(10, "T:\\help\\new.htm");
    QCoreApplication::processEvents();
    EXPECT_EQ(Shown(view), QString("caf") + QChar(0xE9));
}

// A source is never shown: the page stays, and once the watcher has stopped
// its navigation it leaves no entry behind. A missing page gets a view that
// names the page asked for (for a copy, the page it stands for).
TEST_F(BrowserTest, SourcesAndMissingPages)
{
    folder.Write("help\\a.htm", "<p>Page A <a href=\"demo.DBA\">source</a></p>");
    folder.Write("help\\demo.DBA", std::string("\x00\x01\x02rem binary", 13));
    HelpView* view = Create("T:\\help\\a.htm");
    ASSERT_TRUE(QTest::qWaitForWindowExposed(QtMainWindow()));
    QCoreApplication::processEvents();
    ClickLink(view, "source");
    EXPECT_EQ(BrowserTargetAddress(10), "file:///T:/help/demo.DBA");
    ControlSetState(10, BrowserStop);
    QCoreApplication::processEvents();
    EXPECT_EQ(ControlGetText(10), "file:///T:/help/a.htm");
    ControlSetState(10, BrowserForward);
    EXPECT_EQ(BrowserTargetAddress(10), "file:///T:/help/a.htm");
    // Shown anyway (no watcher stopped it), the page on screen stays.
    ControlSetText(10, "T:\\help\\demo.DBA");
    QCoreApplication::processEvents();
    EXPECT_EQ(ControlGetText(10), "file:///T:/help/demo.DBA");
    EXPECT_TRUE(Shown(view).startsWith("Page A"));

    ControlSetText(10, "T:\\help\\gone.htm");
    QCoreApplication::processEvents();
    EXPECT_EQ(ControlGetText(10), "file:///T:/help/gone.htm");
    EXPECT_TRUE(Shown(view).startsWith("Page not found"));
    EXPECT_TRUE(Shown(view).contains("T:\\help\\gone.htm"));
    ControlSetText(10, "T:\\other\\x.htm");
    BrowserShowCopy(10, "T:\\other\\vosks.html", "T:\\other\\x.htm");
    QCoreApplication::processEvents();
    EXPECT_TRUE(Shown(view).contains("T:\\other\\x.htm"));
    EXPECT_FALSE(Shown(view).contains("vosks"));
    ControlSetText(10, "");
    EXPECT_EQ(BrowserTargetAddress(10), "file:///T:/other/vosks.html");
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
    QCoreApplication::processEvents();
    EXPECT_GT(RedShare(view), 0.005);
    // The same name in another folder is another picture.
    ControlSetText(10, "T:\\help\\pic.htm");
    QCoreApplication::processEvents();
    EXPECT_EQ(RedShare(view), 0.0);
    folder.Write("help\\img\\up.htm", "<p><img src=\"..\\sub/img\\red.png\"></p>");
    ControlSetText(10, "T:\\help\\img\\up.htm");
    QCoreApplication::processEvents();
    EXPECT_GT(RedShare(view), 0.005);
}

// The blocks of the page shown, each as its text and whether it is a rule.
std::vector<std::pair<QString, bool>> Blocks(HelpView* view)
{
    std::vector<std::pair<QString, bool>> blocks;
    for (QTextBlock block = view->document()->begin(); block.isValid(); block = block.next())
        blocks.emplace_back(block.text(),
                            block.blockFormat().hasProperty(QTextFormat::BlockTrailingHorizontalRulerWidth));
    return blocks;
}

// A page as Dark Basic's are written (CR LF line ends, as every display copy
// is written too) is laid out as a web browser lays it out: a link after a
// heading paragraph starts a line of its own, the rule stands where it is
// written, a line break before a block adds no empty line, and the body's
// colours and the fixed-width type come through.
TEST_F(BrowserTest, PagesAreLaidOutAsAWebBrowserLaysThemOut)
{
    const std::string page =
        "<html>\r\n<body bgcolor=\"#000033\" text=\"#FFFFFF\" link=\"#80C0FF\">\r\n"
        "<p><font color=\"Yellow\">Contents</font></p>\r\n"
        "<a href=\"main.htm\">Commands Menu</a><br>\r\n<a href=\"index.htm\">Index</a><br>\r\n"
        "<p>Starting out</p>\r\n<pre>\r\nPRINT 1\r\n</pre>\r\n"
        "<a href=\"print.htm\">PRINT</a><br>\r\n<hr noshade size=\"1\">\r\n"
        "<font size=\"1\">Footer</font>\r\n</body>\r\n</html>\r\n";
    for (const char* name : {"help\\crlf.htm", "help\\vosks.html"}) folder.Write(name, page);
    HelpView* view = Create("T:\\help\\crlf.htm");
    QCoreApplication::processEvents();
    const QString separator(QChar(0x2028));
    const std::vector<std::pair<QString, bool>> expected = {
        {"Contents", false},     {"Commands Menu" + separator + "Index", false},
        {"Starting out", false}, {"PRINT 1", false},
        {"PRINT", false},        {"", true},
        {"Footer", false},
    };
    for (const char* address : {"T:\\help\\crlf.htm", "T:\\help\\vosks.html"}) {
        ControlSetText(10, address);
        QCoreApplication::processEvents();
        std::vector<std::pair<QString, bool>> blocks = Blocks(view);
        for (auto& block : blocks) block.first = block.first.trimmed();
        EXPECT_EQ(blocks, expected) << address;
    }
    QTextFrameFormat body = view->document()->rootFrame()->frameFormat();
    EXPECT_EQ(body.background().color(), QColor("#000033"));
    QTextBlock contents = view->document()->begin();
    QTextBlock pre = contents.next().next().next();
    EXPECT_EQ(contents.next().begin().fragment().charFormat().foreground().color(), QColor("#80C0FF"));
    EXPECT_LT(pre.begin().fragment().charFormat().font().pointSizeF(), view->font().pointSizeF());
}

// A page's <base> says where its relative links and pictures are, as in a
// web browser; an in-page anchor still means the page itself.
TEST_F(BrowserTest, BaseOfAPageHoldsForItsLinksAndPictures)
{
    QImage red(60, 60, QImage::Format_RGB32);
    red.fill(qRgb(255, 0, 0));
    folder.MakeFolder("help\\img");
    ASSERT_TRUE(red.save(QString::fromStdString(folder.Host("help/img/Red.PNG"))));
    folder.Write("help\\Includes\\inc.htm",
                 "<html><head><base href=\"../\"></head><body>\n<p><img src=\"IMG\\red.png\"> "
                 "See <a href=\"main.htm\">the main page</a> or <a href=\"#bottom\">below</a>.</p>"
                 "</body></html>");
    folder.Write("help\\main.htm", "<p>Main page</p>");
    HelpView* view = Create("T:\\help\\Includes\\inc.htm");
    ASSERT_TRUE(QTest::qWaitForWindowExposed(QtMainWindow()));
    QCoreApplication::processEvents();
    EXPECT_GT(RedShare(view), 0.005);
    ClickLink(view, "below");
    QCoreApplication::processEvents();
    EXPECT_EQ(ControlGetText(10), "file:///T:/help/Includes/inc.htm#bottom");
    ClickLink(view, "the main page");
    QCoreApplication::processEvents();
    EXPECT_EQ(ControlGetText(10), "file:///T:/help/main.htm");
    EXPECT_EQ(Shown(view), "Main page");
}

// Web links go to the desktop's browser; a link of any other scheme is held
// for the program to ask about, once.
TEST_F(BrowserTest, OutsideAddressesAreHeldForTheProgram)
{
    folder.Write("help\\a.htm", "<p><a href=\"ms-its:help.chm::/x.htm\">chm</a></p>");
    HelpView* view = Create("T:\\help\\a.htm");
    ASSERT_TRUE(QTest::qWaitForWindowExposed(QtMainWindow()));
    QCoreApplication::processEvents();
    EXPECT_EQ(BrowserTakeOutsideAddress(10), "");
    ClickLink(view, "chm");
    QCoreApplication::processEvents();
    EXPECT_EQ(ControlGetText(10), "file:///T:/help/a.htm");
    EXPECT_EQ(BrowserTakeOutsideAddress(10), "ms-its:help.chm::/x.htm");
    EXPECT_EQ(BrowserTakeOutsideAddress(10), "");
}

}  // namespace
