#include <QAbstractItemView>
#include <QClipboard>
#include <QCompleter>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QProxyStyle>
#include <QPushButton>
#include <QStatusBar>
#include <QToolButton>

#include "runtime/qt/qttest.h"
#include "runtime/qt/qtlayer.h"
#include "runtime/requesters.h"

namespace {

constexpr int32_t Overlapped = 0xCF0000;

int resizeCalls = 0;
intptr_t SwallowSize(intptr_t, uint32_t message, uintptr_t, intptr_t)
{
    if (message != MessageSize) return CallbackDefault;
    ++resizeCalls;
    return 1;
}

// A window with a menu and the row of controls the program builds.
void OpenWindowWithMenu()
{
    ASSERT_NE(WindowOpen(0, 100, 200, 500, 300, Overlapped, "Title"), 0);
    ASSERT_NE(MenuBarCreate(0, WindowHandle()), 0);
    MenuTitleAdd("File");
    MenuItemAdd(4, "Open");
    MenuSubmenuOpen("Setup");
    MenuItemAdd(14, "Commandline");
    MenuSubmenuClose();
    MenuItemAdd(5, "Close");
    MenuTitleAdd("Help");
    MenuItemAdd(0, "Search");
    StatusBarCreate(0, WindowHandle());
    StatusBarSetText(0, 0, "T:\\help\\Menu.htm", 0);
    ControlParentSet(WindowHandle());
    ButtonCreate(1, 2, 2, 50, 25, "Back");
    TextFieldCreate(4, 155, 5, 0, 20, "print");
    LabelCreate(6, 0, 30, 0, 2, "", 2);
}

TEST_F(GuiTest, WindowHeightCountsTheMenuBarBackIn)
{
    OpenWindowWithMenu();
    QMainWindow* window = QtMainWindow();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
    EXPECT_EQ(WindowAreaWidth(), 500);
    EXPECT_EQ(WindowAreaHeight(), 300);
    EXPECT_NE(WindowHandle(), 0);
    EXPECT_EQ(window->windowTitle(), "Title");
    // The icon comes once nothing waits for it.
    EXPECT_TRUE(QTest::qWaitFor([&]() { return !window->windowIcon().pixmap(32, 32).isNull(); }, 10000));
    EXPECT_EQ(QGuiApplication::desktopFileName(), "kelpra");
    // The client area is what the menu bar leaves, and the status bar lies
    // along its bottom.
    QWidget* client = window->centralWidget();
    EXPECT_EQ(client->height() + window->menuBar()->height(), 300);
    QStatusBar* status = client->findChild<QStatusBar*>();
    ASSERT_NE(status, nullptr);
    EXPECT_EQ(status->geometry().bottom(), client->height() - 1);
    EXPECT_EQ(status->width(), client->width());
    EXPECT_EQ(status->findChild<QLabel*>()->text(), "T:\\help\\Menu.htm");
}

// Its icon is made only when it is drawn, and is then the platform style's.
TEST_F(GuiTest, TheMenuBarsOverflowButtonGetsTheStylesIcon)
{
    OpenWindowWithMenu();
    auto* overflow = QtMainWindow()->menuBar()->findChild<QToolButton*>("qt_menubar_ext_button");
    ASSERT_NE(overflow, nullptr);
    auto* style = qobject_cast<QProxyStyle*>(QApplication::style());
    ASSERT_NE(style, nullptr);
    const QIcon platform = style->baseStyle()->standardIcon(QStyle::SP_ToolBarHorizontalExtensionButton);
    for (int size : {16, 32}) {
        const QImage drawn = overflow->icon().pixmap(size, size).toImage();
        EXPECT_FALSE(drawn.isNull()) << size;
        EXPECT_EQ(drawn, platform.pixmap(size, size).toImage()) << size;
    }
}

TEST_F(GuiTest, MinusOneKeepsAValueAndTheRestMove)
{
    OpenWindowWithMenu();
    struct Case {
        int x, y, width, height;
        QRect expected;
    };
    const Case cases[] = {
        {-1, -1, -1, 40, QRect(155, 5, 0, 40)},  {-1, -1, 415, -1, QRect(155, 5, 415, 40)},
        {10, -1, -1, -1, QRect(10, 5, 415, 40)}, {-1, 7, -1, 20, QRect(10, 7, 415, 20)},
        {-1, -1, -1, -1, QRect(10, 7, 415, 20)},
    };
    QWidget* field = QtControlWidget(4);
    ASSERT_NE(field, nullptr);
    for (const Case& c : cases) {
        ControlResize(4, c.x, c.y, c.width, c.height);
        EXPECT_EQ(field->geometry(), c.expected);
    }
}

TEST_F(GuiTest, CheckMarkFollowsTheProgramNotTheClick)
{
    OpenWindowWithMenu();
    EXPECT_EQ(MenuCheckGet(0, 14), 0);
    MenuCheckSet(0, 14, 1);
    EXPECT_EQ(MenuCheckGet(0, 14), 1);
    QAction* item = nullptr;
    for (QAction* action : QtMainWindow()->menuBar()->findChildren<QAction*>())
        if (action->text() == "&Commandline") item = action;
    ASSERT_NE(item, nullptr);
    EXPECT_TRUE(item->isChecked());
    DrainEvents();
    item->trigger();
    EXPECT_TRUE(HasEvent(DrainEvents(), EventMenu, 14));
    EXPECT_TRUE(item->isChecked());
    EXPECT_EQ(MenuCheckGet(0, 14), 1);
    MenuCheckSet(0, 14, 0);
    EXPECT_EQ(MenuCheckGet(0, 14), 0);
    EXPECT_FALSE(item->isChecked());
}

// Alt and a title's letter opens that menu and F10 the first, wherever the
// focus is; nothing is typed into the search field on the way.
TEST_F(GuiTest, MenusOpenFromTheKeyboard)
{
    OpenWindowWithMenu();
    QMainWindow* window = QtMainWindow();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    auto* field = qobject_cast<QLineEdit*>(QtControlWidget(4));
    QStringList titles;
    for (QAction* action : window->menuBar()->actions()) titles << action->text();
    EXPECT_EQ(titles, QStringList({"&File", "&Help"}));

    struct Case {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        int menu;  // the menu that opens
    };
    const Case cases[] = {
        {Qt::Key_F, Qt::AltModifier, 0}, {Qt::Key_H, Qt::AltModifier, 1}, {Qt::Key_F10, Qt::NoModifier, 0}};
    for (const Case& c : cases) {
        field->setFocus();
        QTest::keyClick(field, c.key, c.modifiers);
        QMenu* open = window->menuBar()->actions()[c.menu]->menu();
        for (int i = 0; i < 50 && !open->isVisible(); ++i) QTest::qWait(10);
        EXPECT_TRUE(open->isVisible()) << c.key;
        open->close();
        EXPECT_EQ(field->text(), "print") << c.key;
    }
}

TEST_F(GuiTest, CloseBoxAsksButLeavesTheWindowOpen)
{
    OpenWindowWithMenu();
    QMainWindow* window = QtMainWindow();
    DrainEvents();
    EXPECT_FALSE(window->close());
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(HasEvent(DrainEvents(), EventClose, 0));
}

TEST_F(GuiTest, ResizeGoesToTheCallbackAndNotToTheLoop)
{
    OpenWindowWithMenu();
    QMainWindow* window = QtMainWindow();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
    DrainEvents();
    window->resize(640, 360);
    EXPECT_TRUE(HasEvent(DrainEvents(), MessageSize, 0));

    WindowSetCallback(SwallowSize);
    resizeCalls = 0;
    window->resize(600, 350);
    auto events = DrainEvents();
    EXPECT_EQ(resizeCalls, 1);
    EXPECT_FALSE(HasEvent(events, MessageSize, 0));
    EXPECT_EQ(WindowAreaWidth(), 600);
    EXPECT_EQ(WindowAreaHeight(), 350);
}

TEST_F(GuiTest, ButtonClickIsAControlEvent)
{
    OpenWindowWithMenu();
    DrainEvents();
    QTest::mouseClick(QtControlWidget(1), Qt::LeftButton);
    auto events = DrainEvents();
    ASSERT_FALSE(events.empty());
    EXPECT_EQ(events.back(), std::make_pair(EventControl, 1));
    EXPECT_EQ(ControlGetText(4), "print");
}

// Texts go into Qt in either encoding and come out as the program keeps
// what it gets from the user: Windows-1252 where the characters allow.
TEST_F(GuiTest, ControlTextsComeBackInWindows1252)
{
    OpenWindowWithMenu();
    const std::pair<std::string, std::string> cases[] = {
        {"Zur\xC3\xBC"
         "ck",
         "Zur\xFC"
         "ck"},
        {"Zur\xFC"
         "ck",
         "Zur\xFC"
         "ck"},
        {"\xE2\x82\xAC 5", "\x80 5"},
        {"\xE6\x97\xA5\xE6\x9C\xAC \xC3\xA9", "\xE6\x97\xA5\xE6\x9C\xAC \xC3\xA9"},
    };
    for (int id : {1, 4}) {
        for (const auto& [given, kept] : cases) {
            ControlSetText(id, given);
            EXPECT_EQ(ControlGetText(id), kept) << id << " " << given;
        }
    }
    // Typed on a UTF-8 desktop.
    auto* field = qobject_cast<QLineEdit*>(QtControlWidget(4));
    field->clear();
    for (QChar c : QString::fromUtf8("\xC3\xA9t\xC3\xA9")) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QApplication::sendEvent(field, &press);
    }
    EXPECT_EQ(ControlGetText(4), "\xE9t\xE9");
    QGuiApplication::clipboard()->setText(QString::fromUtf8("\xC3\x89T\xC3\x89"));
    EXPECT_EQ(ClipboardGetText(), "\xC9T\xC9");
}

TEST_F(GuiTest, EventWaitComesBackWhenNothingHappens)
{
    OpenWindowWithMenu();
    DrainEvents();
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < 3; ++i) EventWait();
    EXPECT_LT(timer.elapsed(), 2000);
}

}  // namespace

namespace {

std::vector<std::string> askedFor;
// Two rows and a note that there are more.
Suggestions TwoSuggestions(const std::string& typed)
{
    askedFor.push_back(typed);
    if (typed.find('z') != std::string::npos) return {};
    return {{typed + "1", typed + "2"}, "more"};
}

TEST_F(GuiTest, TypedTextIsOfferedSuggestionsAndAChosenOneSendsItsCommand)
{
    OpenWindowWithMenu();
    ShortcutAdd(0, KeyEnter, 0);
    TextFieldSuggestionsSet(4, TwoSuggestions, 7);
    auto* field = qobject_cast<QLineEdit*>(QtControlWidget(4));
    askedFor.clear();
    field->clear();
    // The drop-down is made when first needed, not at the start.
    EXPECT_EQ(field->findChild<QCompleter*>(), nullptr);

    // Only typing asks; the program setting the text does not.
    QTest::keyClicks(field, "a");
    auto* completer = field->findChild<QCompleter*>();
    ASSERT_NE(completer, nullptr);
    QAbstractItemView* list = completer->popup();
    QKeyEvent accented(QEvent::KeyPress, Qt::Key_Eacute, Qt::NoModifier, QStringLiteral("\u00e9"));
    QApplication::sendEvent(field, &accented);
    EXPECT_EQ(askedFor, (std::vector<std::string>{"a", "a\xe9"}));
    ControlSetText(4, "set");
    EXPECT_EQ(askedFor.size(), 2u);
    field->clear();
    DrainEvents();

    struct Case {
        const char* typed;
        int down;  // presses of the arrow key
        const char* field;
        int command;  // the menu event Enter sends
    };
    const Case cases[] = {
        {"pr", 1, "pr1", 7},
        {"in", 0, "in", 0},
        // The arrow stops at the last row: the note is not for choosing.
        {"up", 4, "up2", 7},
    };
    for (const Case& c : cases) {
        field->clear();
        QTest::keyClicks(field, c.typed);
        ASSERT_TRUE(list->isVisible()) << c.typed;
        ASSERT_EQ(list->model()->rowCount(), 3) << c.typed;
        EXPECT_EQ(list->model()->index(2, 0).data().toString(), "more");
        EXPECT_FALSE(list->model()->flags(list->model()->index(2, 0)) & Qt::ItemIsSelectable);
        for (int press = 0; press < c.down; ++press) QTest::keyClick(list, Qt::Key_Down);
        QTest::keyClick(list->isVisible() ? static_cast<QWidget*>(list) : field, Qt::Key_Return);
        EXPECT_FALSE(list->isVisible()) << c.typed;
        EXPECT_EQ(field->text().toStdString(), c.field);
        auto events = DrainEvents();
        EXPECT_TRUE(HasEvent(events, EventMenu, c.command)) << c.typed;
        EXPECT_FALSE(HasEvent(events, EventMenu, 7 - c.command)) << c.typed;
    }

    // Nothing to offer: the drop-down goes.
    QTest::keyClicks(field, "z");
    EXPECT_FALSE(list->isVisible());
}

TEST_F(GuiTest, WindowPlaceIsWhereItWasOpenedWhileNormal)
{
    ASSERT_NE(WindowOpen(0, 120, 140, 520, 310, Overlapped, "Title"), 0);
    QMainWindow* window = QtMainWindow();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
    const ScreenArea place = WindowPlaceNow();
    EXPECT_EQ((std::vector<int>{place.x, place.y, place.width, place.height}),
              (std::vector<int>{120, 140, 520, 310}));
    EXPECT_FALSE(ScreenAreas().empty());
    window->showMaximized();
    EXPECT_EQ(WindowPlaceNow().width, 0);
}

}  // namespace
