#include <QClipboard>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QLineEdit>
#include <QListView>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <thread>

#include "runtime/qt/qttest.h"
#include "runtime/requesters.h"
#include "support/testfolder.h"

namespace {

// Acts on the next modal dialog as soon as it is up.
void OnNextDialog(const std::function<void(QWidget*)>& act)
{
    QTimer::singleShot(20, [act]() {
        if (QWidget* dialog = QApplication::activeModalWidget()) act(dialog);
        else OnNextDialog(act);
    });
}

TEST_F(GuiTest, MessageBoxButtonsAndAnswers)
{
    struct Case {
        int flags;
        QMessageBox::StandardButton press;
        QMessageBox::Icon icon;
        int answer;
    };
    const Case cases[] = {
        {MessageOk, QMessageBox::Ok, QMessageBox::NoIcon, AnswerOk},
        {MessageYesNo, QMessageBox::No, QMessageBox::NoIcon, AnswerNo},
        {MessageYesNo, QMessageBox::Yes, QMessageBox::NoIcon, AnswerYes},
        {MessageQuestion, QMessageBox::Yes, QMessageBox::Question, AnswerYes},
        {MessageError, QMessageBox::Ok, QMessageBox::Critical, AnswerOk},
    };
    for (const Case& c : cases) {
        int buttons = -1;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        QString title;
        OnNextDialog([&, c](QWidget* dialog) {
            auto* box = qobject_cast<QMessageBox*>(dialog);
            buttons = static_cast<int>(box->buttons().size());
            icon = box->icon();
            title = box->windowTitle();
            box->button(c.press)->click();
        });
        EXPECT_EQ(MessageAsk("Kelpra V2", "Proceed?", c.flags), c.answer) << c.flags;
        EXPECT_EQ(buttons, (c.flags & 0xF) == 4 ? 2 : 1);
        EXPECT_EQ(icon, c.icon);
        EXPECT_EQ(title, "Kelpra V2");
    }
}

TEST_F(GuiTest, FileRequesterOpensWhereTheDefaultSaysAndAnswersInWindowsForm)
{
    TestFolder folder;
    folder.Write("my docs\\old.htm", "x");
    QString directory, name, filter;
    OnNextDialog([&](QWidget* dialog) {
        auto* files = qobject_cast<QFileDialog*>(dialog);
        directory = files->directory().absolutePath();
        filter = files->selectedNameFilter();
        name = files->findChild<QLineEdit*>("fileNameEdit")->text();
        static_cast<QDialog*>(files)->accept();
    });
    std::string chosen =
        FileRequestOpen("Open", "T:\\my docs\\old.htm", "Text|*.txt|Web files|*.htm;*.html|All|*.*", 1);
    EXPECT_EQ(directory.toStdString(), folder.Host("my docs"));
    EXPECT_EQ(filter, "Web files");  // the label alone, as the list shows it
    EXPECT_EQ(name, "old.htm");
    EXPECT_EQ(chosen, "T:\\my docs\\old.htm");

    OnNextDialog([](QWidget* dialog) { qobject_cast<QDialog*>(dialog)->reject(); });
    EXPECT_EQ(FileRequestOpen("Open", "plain.htm", "All|*.*", 0), "");
}

// The names a file requester lists once Qt has read its folder.
QStringList ListedNames(QFileDialog* files)
{
    auto* view = files->findChild<QListView*>("listView");
    QStringList names;
    for (int pass = 0; pass < 100; ++pass) {
        QCoreApplication::processEvents();
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        QStringList now;
        for (int row = 0; row < view->model()->rowCount(view->rootIndex()); ++row)
            now << view->model()->index(row, 0, view->rootIndex()).data().toString();
        if (!now.isEmpty() && now == names) break;
        names = now;
    }
    names.sort();
    return names;
}

// The program's own filter list: every label shows once, and the programs
// filter lists a Linux program, which has no ".exe".
TEST_F(GuiTest, FileRequesterShowsLabelsOnceAndLinuxPrograms)
{
    TestFolder folder;
    folder.Write("tools\\editor", "#!/bin/sh\n");
    folder.Write("tools\\notes.txt", "x");
    folder.Write("tools\\setup.exe", "MZ");
    folder.MakeFolder("tools\\sub");
    std::filesystem::permissions(folder.Host("tools/editor"), std::filesystem::perms::owner_all);
    const std::string filterList =
        "Text Files (*.txt)|*.txt|Web files (*.htm,*.html)|*.htm;*.html|Programs (*.exe)|*.exe|All Files "
        "(*.*)|*.*";
    QStringList labels, programs, everything;
    OnNextDialog([&](QWidget* dialog) {
        auto* files = qobject_cast<QFileDialog*>(dialog);
        auto* types = files->findChild<QComboBox*>("fileTypeCombo");
        for (int i = 0; i < types->count(); ++i) labels << types->itemText(i);
        programs = ListedNames(files);
        files->selectNameFilter("All Files (*.*) (*)");
        emit files->filterSelected("All Files (*.*)");
        everything = ListedNames(files);
        files->reject();
    });
    EXPECT_EQ(FileRequestOpen("Kelpra V2>Locate DBA viewer", "T:\\tools\\editor", filterList, 2), "");
    EXPECT_EQ(labels, QStringList({"Text Files (*.txt)", "Web files (*.htm,*.html)", "Programs (*.exe)",
                                   "All Files (*.*)"}));
    EXPECT_EQ(programs, QStringList({"editor", "setup.exe", "sub"}));
    EXPECT_EQ(everything, QStringList({"editor", "notes.txt", "setup.exe", "sub"}));
}

// A typed name is taken when its folder exists (the file itself need not),
// and refused with the requester's own message when the folder is missing.
TEST_F(GuiTest, FileRequesterRefusesAMissingFolder)
{
    TestFolder folder;
    folder.MakeFolder("help");
    struct Case {
        std::string typed;
        std::string result;
        bool warned;
    };
    const Case cases[] = {
        {folder.Host("help/new.txt"), "T:\\help\\new.txt", false},
        {folder.Host("nothere/new.txt"), "", true},
    };
    for (const Case& c : cases) {
        bool warned = false;
        // The watch for the warning outlives a requester that closes at once.
        auto live = std::make_shared<bool>(true);
        OnNextDialog([&, live](QWidget* dialog) {
            auto* files = qobject_cast<QFileDialog*>(dialog);
            files->findChild<QLineEdit*>("fileNameEdit")->setText(QString::fromStdString(c.typed));
            OnNextDialog([&, live](QWidget* box) {
                if (!*live || !qobject_cast<QMessageBox*>(box)) return;
                warned = true;
                qobject_cast<QMessageBox*>(box)->accept();
                OnNextDialog([](QWidget* still) { qobject_cast<QDialog*>(still)->reject(); });
            });
            files->findChild<QDialogButtonBox*>("buttonBox")->button(QDialogButtonBox::Open)->click();
        });
        EXPECT_EQ(FileRequestOpen("Kelpra V2>locate keywords.txt", "T:\\help\\keywords.txt", "All|*.*", 0),
                  c.result)
            << c.typed;
        *live = false;
        EXPECT_EQ(warned, c.warned) << c.typed;
    }
}

TEST_F(GuiTest, DialogsShowTheOrdinaryPointer)
{
    BusyCursorSet(1);
    std::vector<Qt::CursorShape> shapes;
    const auto note = [&]() {
        shapes.push_back(QApplication::overrideCursor() ? QApplication::overrideCursor()->shape()
                                                        : Qt::ArrowCursor);
    };
    OnNextDialog([&](QWidget* dialog) {
        note();
        qobject_cast<QMessageBox*>(dialog)->button(QMessageBox::No)->click();
    });
    MessageAsk("Kelpra V2", "No context found for\nkeyword=x", MessageQuestion);
    OnNextDialog([&](QWidget* dialog) {
        note();
        qobject_cast<QDialog*>(dialog)->reject();
    });
    FileRequestOpen("Open", "x.htm", "All|*.*", 0);
    ASSERT_NE(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    BusyCursorSet(0);
    EXPECT_EQ(shapes, std::vector<Qt::CursorShape>({Qt::ArrowCursor, Qt::ArrowCursor}));
}

TEST_F(GuiTest, FolderRequesterEndsInOneBackslash)
{
    TestFolder folder;
    folder.MakeFolder("help");
    OnNextDialog([](QWidget* dialog) { qobject_cast<QDialog*>(dialog)->accept(); });
    EXPECT_EQ(FolderRequest("Help folder", "T:\\help\\"), "T:\\help\\");
    OnNextDialog([](QWidget* dialog) { qobject_cast<QDialog*>(dialog)->reject(); });
    EXPECT_EQ(FolderRequest("Help folder", "T:\\help\\"), "");
    // An accented name (UTF-8 on the disk) comes back as Windows would give
    // it, in Windows-1252, however the start folder was written.
    folder.MakeFolder("Aide \xC3\xA9t\xC3\xA9");
    for (const char* start : {"T:\\Aide \xE9t\xE9\\", "T:\\aide \xC3\x89T\xC3\x89\\"}) {
        OnNextDialog([](QWidget* dialog) { qobject_cast<QDialog*>(dialog)->accept(); });
        EXPECT_EQ(FolderRequest("Help folder", start), "T:\\Aide \xE9t\xE9\\") << start;
    }
}

// Waits a little for a started program to leave its trace.
std::string WaitForFile(const TestFolder& folder, const std::string& name)
{
    for (int i = 0; i < 100 && !folder.Exists(name); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    return folder.Read(name);
}

TEST_F(GuiTest, ProgramsStartWithOneParameterAndNoShell)
{
    TestFolder folder;
    // Writes how many arguments it got, each of them and its folder.
    std::string script = "#!/bin/sh\n{ echo \"$#\"; for a in \"$@\"; do echo \"$a\"; done; pwd; } > \"" +
                         folder.Host("out.txt") + "\"\n";
    folder.Write("bin\\show", script);
    folder.Write("bin\\notepad", script);
    folder.Write("my pages\\a b.htm", "x");
    std::filesystem::permissions(folder.Host("bin\\show"), std::filesystem::perms::owner_all);
    std::filesystem::permissions(folder.Host("bin\\notepad"), std::filesystem::perms::owner_all);
    std::string path = qEnvironmentVariable("PATH").toStdString();
    qputenv("PATH", QByteArray::fromStdString(folder.Host("bin") + ":" + path));

    struct Case {
        const char* program;
        const char* parameters;
        const char* working;
        std::string expected;
    };
    const Case cases[] = {
        {"T:\\bin\\show", "T:\\my pages\\a b.htm", "T:\\my pages\\",
         "1\n" + folder.Host("my pages/a b.htm") + "\n" + folder.Host("my pages") + "\n"},
        {"NotePad.exe", "two  words; $HOME", "", "1\ntwo  words; $HOME\n"},
        {"T:\\bin\\show", "", "", "0\n" + folder.Host("bin") + "\n"},
    };
    for (const Case& c : cases) {
        std::filesystem::remove(folder.Host("out.txt"));
        EXPECT_NE(ProgramRun(c.program, c.parameters, c.working), 0) << c.program;
        // Without a working folder a program found on PATH starts wherever.
        EXPECT_EQ(WaitForFile(folder, "out.txt").substr(0, c.expected.size()), c.expected) << c.program;
    }
    // A file the editor is to make, or one whose name Windows refuses, still
    // reaches it as a host path.
    const std::pair<const char*, std::string> parameters[] = {
        {"T:\\my pages\\nothere.htm", folder.Host("my pages/nothere.htm")},
        {"T:\\MY PAGES\\a|b.dba", folder.Host("my pages/a|b.dba")},
    };
    for (const auto& [windows, host] : parameters) {
        std::filesystem::remove(folder.Host("out.txt"));
        EXPECT_NE(ProgramRun("T:\\bin\\show", windows, "T:\\my pages\\"), 0);
        EXPECT_EQ(WaitForFile(folder, "out.txt"), "1\n" + host + "\n" + folder.Host("my pages") + "\n");
    }
    EXPECT_EQ(ProgramRun("no-such-program-kelpra.exe", "x", ""), 0);
    EXPECT_EQ(ProgramRun("T:\\bin\\missing", "x", ""), 0);
    qputenv("PATH", QByteArray::fromStdString(path));
}

// The desktop's program for a file is the one xdg-open would choose: the
// default application of the file's type, as xdg-mime names it.
TEST_F(GuiTest, DesktopOpensWhatItHasAProgramFor)
{
    TestFolder folder;
    folder.Write("bin\\xdg-mime",
                 "#!/bin/sh\ncase \"$2\" in filetype) case \"$3\" in *.dba) echo text/plain;; "
                 "*) echo application/x-unknown;; esac;; default) [ \"$3\" = text/plain ] && echo "
                 "editor.desktop;; esac\nexit 0\n");
    folder.Write("bin\\xdg-open", "#!/bin/sh\necho \"$1\" > \"" + folder.Host("opened.txt") + "\"\n");
    for (const char* name : {"bin/xdg-mime", "bin/xdg-open"})
        std::filesystem::permissions(folder.Host(name), std::filesystem::perms::owner_all);
    folder.Write("src\\caf\xC3\xA9.dba", "PRINT 1");
    folder.Write("src\\data.xyz", "?");
    std::string path = qEnvironmentVariable("PATH").toStdString();
    qputenv("PATH", QByteArray::fromStdString(folder.Host("bin") + ":" + path));

    EXPECT_NE(DesktopOpen("T:\\SRC\\caf\xE9.dba"), 0);
    EXPECT_EQ(WaitForFile(folder, "opened.txt"), folder.Host("src/caf\xC3\xA9.dba") + "\n");
    std::filesystem::remove(folder.Host("opened.txt"));
    EXPECT_EQ(DesktopOpen("T:\\src\\data.xyz"), 0);  // no program for the type
    EXPECT_EQ(DesktopOpen("T:\\src\\missing.dba"), 0);
    qputenv("PATH", QByteArray::fromStdString(folder.Host("bin")));
    std::filesystem::remove(folder.Host("bin/xdg-mime"));
    EXPECT_EQ(DesktopOpen("T:\\src\\caf\xE9.dba"), 0);  // no xdg-utils at all
    EXPECT_FALSE(folder.Exists("opened.txt"));
    qputenv("PATH", QByteArray::fromStdString(path));
}

TEST_F(GuiTest, ClipboardGivesPlainTextOnly)
{
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->setText("print");
    EXPECT_EQ(ClipboardGetText(), "print");
    QImage image(4, 4, QImage::Format_RGB32);
    image.fill(Qt::red);
    clipboard->setImage(image);
    EXPECT_EQ(ClipboardGetText(), "");
}

TEST_F(GuiTest, PauseWaitsAboutAsLongAsAsked)
{
    QElapsedTimer timer;
    timer.start();
    Pause(60);
    EXPECT_GE(timer.elapsed(), 55);
    EXPECT_LT(timer.elapsed(), 1000);
}

}  // namespace
