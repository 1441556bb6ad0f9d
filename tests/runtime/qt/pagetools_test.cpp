#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPrintDialog>
#include <QTimer>
#include <QWheelEvent>

#include "runtime/browser.h"
#include "runtime/qt/helpview.h"
#include "runtime/qt/qtlayer.h"
#include "runtime/qt/qttest.h"
#include "support/testfolder.h"

namespace {

// The menu events among the window's (which also reports moves and sizes).
std::vector<std::pair<int, int>> MenuEvents()
{
    std::vector<std::pair<int, int>> menu;
    for (const auto& event : DrainEvents())
        if (event.first == EventMenu) menu.push_back(event);
    return menu;
}

class PageToolsTest : public GuiTest {
protected:
    void SetUp() override
    {
        GuiTest::SetUp();
        ASSERT_NE(WindowOpen(0, 0, 0, 640, 480, 0xCF0000, "Browser"), 0);
        ControlParentSet(WindowHandle());
        // Enter is the search's everywhere but in the find bar.
        ShortcutAdd(0, KeyEnter, 0);
    }

    HelpView* Show(const std::string& html)
    {
        folder.Write("help\\page.htm", html);
        EXPECT_NE(BrowserCreate(10, 0, 31, 640, 400, "T:\\help\\page.htm"), 0);
        auto* view = dynamic_cast<HelpView*>(QtControlWidget(10));
        for (int pass = 0; pass < 50 && view->document()->isEmpty(); ++pass) QTest::qWait(10);
        return view;
    }

    static QFrame* Bar(HelpView* view)
    {
        for (auto* child : view->findChildren<QFrame*>(QString(), Qt::FindDirectChildrenOnly))
            if (child->property(QtOwnKeysProperty).isValid()) return child;
        return nullptr;
    }

    TestFolder folder;
};

TEST_F(PageToolsTest, FindBarStepsThroughMatchesAndSaysWhenThereAreNone)
{
    HelpView* view = Show("<p>alpha beta ALPHA</p><p>gamma Alpha</p>");
    const int matches[] = {0, 11, 23};  // where each "alpha" starts, case aside
    BrowserFind(10, 0, "Not found");
    QFrame* bar = Bar(view);
    ASSERT_NE(bar, nullptr);
    EXPECT_TRUE(bar->isVisible());
    auto* field = bar->findChild<QLineEdit*>();
    auto* status = bar->findChild<QLabel*>();
    QTest::keyClicks(field, "alpha");
    EXPECT_EQ(view->extraSelections().size(), 3);
    EXPECT_EQ(view->textCursor().selectionStart(), matches[0]);

    // Enter and Shift+Enter in the bar, F3 and Shift+F3 through the program.
    // The bar says which match is shown, of how many.
    EXPECT_EQ(status->text(), "1 of 3");
    struct Step {
        bool shortcut;
        int direction;
        int match;
    };
    const Step steps[] = {{false, 1, 1}, {false, 1, 2}, {false, 1, 0}, {false, -1, 2},
                          {true, -1, 1}, {true, 1, 2},  {true, 1, 0}};
    for (const Step& step : steps) {
        if (step.shortcut) BrowserFind(10, step.direction, "Not found");
        else QTest::keyClick(field, Qt::Key_Return, step.direction < 0 ? Qt::ShiftModifier : Qt::NoModifier);
        EXPECT_EQ(view->textCursor().selectionStart(), matches[step.match]);
        EXPECT_EQ(status->text().toStdString(), std::to_string(step.match + 1) + " of 3");
    }
    EXPECT_FALSE(HasEvent(DrainEvents(), EventMenu, 0));

    QTest::keyClicks(field, "x");
    EXPECT_EQ(status->text(), "Not found");
    EXPECT_TRUE(view->extraSelections().isEmpty());

    QTest::keyClick(field, Qt::Key_Escape);
    EXPECT_FALSE(bar->isVisible());
    EXPECT_FALSE(HasEvent(DrainEvents(), EventMenu, 0));
}

// An open bar looks again on every new page: its marks and its verdict are
// that page's, never the last one's.
TEST_F(PageToolsTest, FindBarLooksAgainOnEveryNewPage)
{
    HelpView* view = Show("<p>alpha</p>");
    folder.Write("help\\two.htm", "<p>alpha beta alpha</p>");
    folder.Write("help\\none.htm", "<p>beta</p>");
    BrowserFind(10, 0, "Not found");
    QTest::keyClicks(Bar(view)->findChild<QLineEdit*>(), "alpha");
    auto* status = Bar(view)->findChild<QLabel*>();
    EXPECT_EQ(status->text(), "1 of 1");
    const struct {
        const char* page;
        const char* status;
        int marks;
    } cases[] = {
        {"T:\\help\\none.htm", "Not found", 0},
        {"T:\\help\\two.htm", "1 of 2", 2},
        {"T:\\help\\page.htm", "1 of 1", 1},
    };
    for (const auto& c : cases) {
        ControlSetText(10, c.page);
        for (int pass = 0; pass < 50 && BrowserTargetAddress(10) != view->Address(); ++pass) QTest::qWait(10);
        EXPECT_EQ(status->text(), c.status) << c.page;
        EXPECT_EQ(view->extraSelections().size(), c.marks) << c.page;
    }
}

TEST_F(PageToolsTest, NextBeforeAnyFindOpensTheBar)
{
    HelpView* view = Show("<p>text</p>");
    BrowserFind(10, 1, "Not found");
    ASSERT_NE(Bar(view), nullptr);
    EXPECT_TRUE(Bar(view)->isVisible());
}

TEST_F(PageToolsTest, ZoomScalesTheTextAndComesBackWhole)
{
    HelpView* view = Show("<p>Some words that wrap when the text grows large enough to need more lines.</p>");
    const double normal = view->font().pointSizeF();
    auto height = [view]() { return view->document()->documentLayout()->documentSize().height(); };
    const qreal normalHeight = height();
    const int percents[] = {200, 50, 125, 100};
    for (int percent : percents) {
        BrowserZoomSet(10, percent);
        EXPECT_DOUBLE_EQ(view->font().pointSizeF(), normal * percent / 100.0) << percent;
        EXPECT_DOUBLE_EQ(view->document()->defaultFont().pointSizeF(), normal * percent / 100.0) << percent;
    }
    EXPECT_EQ(height(), normalHeight);
    BrowserZoomSet(10, 200);
    EXPECT_GT(height(), normalHeight * 1.5);
}

TEST_F(PageToolsTest, ZoomHoldsForEveryPageShownAfter)
{
    const std::string page = "<p><font size=2>small</font> <font size=5>large</font></p><pre>code</pre>";
    HelpView* view = Show(page);
    auto height = [view]() { return view->document()->documentLayout()->documentSize().height(); };
    const qreal normalHeight = height();
    BrowserZoomSet(10, 200);
    folder.Write("help\\other.htm", "<p>other</p>");
    for (const char* next : {"T:\\help\\other.htm", "T:\\help\\page.htm"}) {
        ControlSetText(10, next);
        for (int pass = 0; pass < 50 && BrowserTargetAddress(10) != view->Address(); ++pass) QTest::qWait(10);
    }
    ASSERT_NE(view->document()->toPlainText().indexOf("large"), -1);
    EXPECT_GT(height(), normalHeight * 1.5);
}

TEST_F(PageToolsTest, ZoomKeysAndTheWheelUnderCtrlSendTheirCommands)
{
    HelpView* view = Show("<p>text</p>");
    ShortcutAdd(0, KeyPlus | ShortcutCtrl, 23);
    ShortcutAdd(0, KeyPlus | ShortcutCtrl | ShortcutShift, 23);
    ShortcutAdd(0, KeyAdd | ShortcutCtrl, 23);
    ShortcutAdd(0, KeyMinus | ShortcutCtrl, 24);
    ShortcutAdd(0, KeySubtract | ShortcutCtrl, 24);
    ShortcutAdd(0, KeyWheelForward | ShortcutCtrl, 23);
    ShortcutAdd(0, KeyWheelBackward | ShortcutCtrl, 24);
    struct KeyCase {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        int id;
    };
    const KeyCase keys[] = {
        {Qt::Key_Equal, Qt::ControlModifier, 23},
        {Qt::Key_Plus, Qt::ControlModifier | Qt::ShiftModifier, 23},
        {Qt::Key_Plus, Qt::ControlModifier | Qt::KeypadModifier, 23},
        {Qt::Key_Minus, Qt::ControlModifier, 24},
        {Qt::Key_Minus, Qt::ControlModifier | Qt::KeypadModifier, 24},
    };
    for (const KeyCase& c : keys) {
        QTest::keyClick(view, c.key, c.modifiers);
        EXPECT_EQ(MenuEvents(), (std::vector<std::pair<int, int>>{{EventMenu, c.id}})) << c.key;
    }
    struct WheelCase {
        int turn;
        Qt::KeyboardModifiers modifiers;
        std::vector<std::pair<int, int>> events;
    };
    const WheelCase wheels[] = {
        {120, Qt::ControlModifier, {{EventMenu, 23}}},
        {-240, Qt::ControlModifier, {{EventMenu, 24}, {EventMenu, 24}}},
        {60, Qt::ControlModifier, {}},  // half a notch: kept back, half more makes one
        {60, Qt::ControlModifier, {{EventMenu, 23}}},
        {120, Qt::NoModifier, {}},  // scrolls the page
    };
    const QPointF inside(20, 20);
    for (const WheelCase& c : wheels) {
        QWheelEvent wheel(inside, view->viewport()->mapToGlobal(inside), QPoint(), QPoint(0, c.turn),
                          Qt::NoButton, c.modifiers, Qt::NoScrollPhase, false);
        QApplication::sendEvent(view->viewport(), &wheel);
        EXPECT_EQ(MenuEvents(), c.events) << c.turn;
    }
}

TEST_F(PageToolsTest, PrintAsksThroughThePrintDialog)
{
    Show("<p>text</p>");
    bool asked = false;
    QTimer::singleShot(50, [&asked]() {
        auto* dialog = qobject_cast<QPrintDialog*>(QApplication::activeModalWidget());
        asked = dialog != nullptr;
        if (dialog) dialog->reject();
    });
    BrowserPrint(10);
    EXPECT_TRUE(asked);
}

}  // namespace
