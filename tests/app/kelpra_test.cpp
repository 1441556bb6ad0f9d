#include <QDir>
#include <QTextDocument>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QSignalSpy>
#include <QStatusBar>
#include <QLabel>
#include <filesystem>
#include <map>

#include "runtime/commandline.h"
#include "runtime/qt/qttest.h"
#include "helpindex/contextlist.h"
#include "runtime/qt/helpview.h"
#include "runtime/qt/qtlayer.h"
#include "runtime/text.h"
#include "shell/mainwindow.h"
#include "state/state.h"
#include "shell/watcher.h"
#include "support/testfolder.h"

namespace {

class MainWindowTest : public GuiTest {
protected:
    void SetUp() override
    {
        GuiTest::SetUp();
        ProgramStateClear();
        State.helpFolder = folder.Win("help\\");
        State.commandLineFlag = 1;
        CommandLineSetArguments({"kelpra"});
    }

    void Build()
    {
        ASSERT_EQ(BuildMainWindow(), 1);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(QtMainWindow()));
    }

    TestFolder folder;
};

// The text of the status bar's one field.
QString StatusText()
{
    QStatusBar* bar = QtMainWindow()->findChild<QStatusBar*>();
    QLabel* label = bar ? bar->findChild<QLabel*>() : nullptr;
    return label ? label->text() : QString();
}

// Started with a word, the window shows the page the word finds, through
// its display copy, names that page, and lays it out once: the start page
// is never drawn.
TEST_F(MainWindowTest, StartsOnThePageOfItsWord)
{
    folder.Write("help\\Menu.htm", "<p>Start</p>");
    folder.Write("help\\index.htm", "<a href=\"commands/print.htm\">PRINT</a>\r\n");
    folder.Write("help\\commands\\print.htm", "<h1>PRINT</h1>");
    CommandLineSetArguments({"kelpra", "print"});
    BuildContextList();
    ASSERT_EQ(BuildMainWindow(), 1);
    auto* view = dynamic_cast<HelpView*>(QtControlWidget(BrowserControl));
    QSignalSpy layouts(view, &QTextEdit::textChanged);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(QtMainWindow()));
    for (int i = 0; i < 3; ++i) {
        DrainEvents();
        PageWatcher();
    }
    EXPECT_EQ(StatusText(), "T:\\help\\commands\\print.htm");
    EXPECT_EQ(ControlGetText(BrowserControl), "file:///T:/help/commands/vosks.html");
    EXPECT_EQ(view->document()->toPlainText().trimmed(), "PRINT");
    EXPECT_LE(layouts.count(), 1);
    EXPECT_FALSE(folder.Exists("help\\vosks.html"));
}

TEST_F(MainWindowTest, ControlsFollowTheWindowSize)
{
    folder.Write("help\\Menu.htm", "<p>Start</p>");
    Build();
    QMainWindow* window = QtMainWindow();
    DrainEvents();
    EXPECT_EQ(WindowAreaHeight(), 300);
    EXPECT_EQ(QtControlWidget(BrowserControl)->geometry(), QRect(0, 31, 500, 230));

    struct Case {
        int width;
        QRect field, go, line;
    };
    // At 184 the field's width would be -1 and at 24 Go's x: both keep
    // what they had.
    const Case cases[] = {
        {600, QRect(155, 5, 415, 20), QRect(575, 0, 25, 25), QRect(0, 30, 600, 2)},
        {184, QRect(155, 5, 415, 20), QRect(159, 0, 25, 25), QRect(0, 30, 184, 2)},
        {24, QRect(155, 5, 0, 20), QRect(159, 0, 25, 25), QRect(0, 30, 24, 2)},
        {500, QRect(155, 5, 315, 20), QRect(475, 0, 25, 25), QRect(0, 30, 500, 2)},
    };
    for (const Case& c : cases) {
        window->resize(c.width, 400);
        QCoreApplication::processEvents();
        ASSERT_EQ(WindowAreaWidth(), c.width);
        EXPECT_EQ(QtControlWidget(SearchField)->geometry(), c.field) << c.width;
        EXPECT_EQ(QtControlWidget(GoButton)->geometry(), c.go) << c.width;
        EXPECT_EQ(QtControlWidget(TopLine)->geometry(), c.line) << c.width;
        EXPECT_EQ(QtControlWidget(BrowserControl)->geometry(), QRect(0, 31, c.width, 330)) << c.width;
        EXPECT_EQ(QtControlWidget(BackButton)->geometry(), QRect(2, 2, 50, 25));
    }
    EXPECT_FALSE(HasEvent(DrainEvents(), MessageSize, 0));
}

TEST_F(MainWindowTest, EnterInTheSearchFieldIsTheSearchCommand)
{
    folder.Write("help\\Menu.htm", "<p>Start</p>");
    Build();
    EXPECT_EQ(MenuCheckGet(0, MenuCommandline), 1);
    auto* field = qobject_cast<QLineEdit*>(QtControlWidget(SearchField));
    ASSERT_NE(field, nullptr);
    field->setFocus();
    QTest::keyClicks(field, "print");
    for (auto [key, modifiers] :
         {std::pair{Qt::Key_Return, Qt::NoModifier}, {Qt::Key_Enter, Qt::KeypadModifier}}) {
        DrainEvents();
        QTest::keyClick(field, key, modifiers);
        auto events = DrainEvents();
        ASSERT_EQ(events.size(), 1u);
        EXPECT_EQ(events[0], std::make_pair(EventMenu, static_cast<int>(MenuSearch)));
    }
    EXPECT_EQ(ControlGetText(SearchField), "print");
}

// Search Pages and Check Help Folder: from their menu entries after the
// others, and Ctrl+Shift+F wherever the focus is.
TEST_F(MainWindowTest, SearchPagesAndCheckFromMenuAndKeyboard)
{
    folder.Write("help\\Menu.htm", "<p>Start</p>");
    Build();
    struct Case {
        const char* menu;
        const char* entry;
        int id;
    };
    for (const Case& c : {Case{"File", "Check Help Folder", MenuCheckFolder},
                          Case{"Help", "Search Pages", MenuSearchPages}}) {
        QMenu* menu = nullptr;
        for (QAction* title : QtMainWindow()->menuBar()->actions())
            if (title->text().remove('&') == c.menu) menu = title->menu();
        ASSERT_NE(menu, nullptr) << c.menu;
        QAction* last = menu->actions().last();
        EXPECT_EQ(last->text().remove('&').section('\t', 0, 0), c.entry);
        DrainEvents();
        last->trigger();
        EXPECT_TRUE(HasEvent(DrainEvents(), EventMenu, c.id)) << c.entry;
    }
    for (QWidget* focus : {QtControlWidget(SearchField), QtControlWidget(BrowserControl)}) {
        focus->setFocus();
        DrainEvents();
        QTest::keyClick(focus, Qt::Key_F, Qt::ControlModifier | Qt::ShiftModifier);
        const auto events = DrainEvents();
        EXPECT_TRUE(HasEvent(events, EventMenu, MenuSearchPages));
        EXPECT_FALSE(HasEvent(events, EventMenu, MenuSearch));
    }
}

// Every entry shows its key where a menu shows keys, after a tab, whether
// the key was bound before the entry was made or after.
TEST_F(MainWindowTest, MenusShowTheKeysOfTheirEntries)
{
    folder.Write("help\\Menu.htm", "<p>Start</p>");
    Build();
    std::map<QString, QString> shown;
    for (QAction* title : QtMainWindow()->menuBar()->actions())
        for (QAction* entry : title->menu()->actions())
            shown[entry->text().remove('&').section('\t', 0, 0)] = entry->text().section('\t', 1);
    const std::pair<const char*, const char*> cases[] = {
        {"Search", "Enter"},           {"Search Pages", "Ctrl+Shift+F"},
        {"Back", "Alt+Left"},          {"Next", "Alt+Right"},
        {"Find in Page", "Ctrl+F"},    {"Find Next", "F3"},
        {"Find Previous", "Shift+F3"}, {"Zoom In", "Ctrl++"},
        {"Zoom Out", "Ctrl+-"},        {"Normal Size", "Ctrl+0"},
        {"Print", "Ctrl+P"},           {"Open", ""},
        {"Check Help Folder", ""},     {"Stop", "Esc"},
    };
    for (const auto& [entry, key] : cases) {
        ASSERT_TRUE(shown.count(entry)) << entry;
        EXPECT_EQ(shown[entry], key) << entry;
    }
}

// The window on the example help folder, as a picture to look at.
TEST_F(MainWindowTest, ScreenshotOnTheExampleHelpFolder)
{
    std::filesystem::path examples = std::filesystem::path(KELPRA_SOURCE_DIR) / "examples" / "help";
    if (std::filesystem::exists(examples / "index.htm")) {
        std::filesystem::copy(examples, folder.Host("help"), std::filesystem::copy_options::recursive);
    } else {
        folder.Write("help\\Menu.htm",
                     "<p><a href=\"commands\\print.htm\">Your first program: PRINT</a></p>");
        folder.Write("help\\commands\\print.htm", "<h1>PRINT</h1>");
    }
    BuildContextList();
    Build();
    QtMainWindow()->resize(760, 520);
    DrainEvents();
    // The start page is shown through its display copy and named.
    EXPECT_EQ(ControlGetText(BrowserControl), "file:///T:/help/vosks.html");
    EXPECT_EQ(State.currentPage, "T:\\help\\Menu.htm");

    // A click on a link written with a backslash, then what the loop does
    // after each event: the watcher puts the display copy in its place.
    auto* view = dynamic_cast<HelpView*>(QtControlWidget(BrowserControl));
    QTextCursor found = view->document()->find("Your first program");
    ASSERT_FALSE(found.isNull());
    QTextCursor inside(view->document());
    inside.setPosition(found.selectionStart() + 1);
    // The loop's order: the watcher runs as soon as the click's event is
    // handled, so the copy takes the page's place before either is drawn.
    QSignalSpy layouts(view, &QTextEdit::textChanged);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->cursorRect(inside).center());
    for (int i = 0; i < 3; ++i) {
        PageWatcher();
        DrainEvents();
    }
    EXPECT_EQ(layouts.count(), 1);
    EXPECT_EQ(ControlGetText(BrowserControl), "file:///T:/help/commands/vosks.html");
    EXPECT_EQ(State.currentPage, "T:\\help\\commands\\print.htm");
    EXPECT_TRUE(folder.Exists("help\\commands\\vosks.html"));
    EXPECT_TRUE(view->document()->toPlainText().contains("PRINT"));
    QDir().mkpath(KELPRA_GUI_OUTPUT_DIR);
    QString file = QString(KELPRA_GUI_OUTPUT_DIR) + "/mainwindow.png";
    ASSERT_TRUE(QtMainWindow()->grab().save(file));
}

}  // namespace
