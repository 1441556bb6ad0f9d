#include <QClipboard>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <chrono>
#include <filesystem>
#include <functional>
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
    EXPECT_EQ(filter, "Web files (*.htm *.html)");
    EXPECT_EQ(name, "old.htm");
    EXPECT_EQ(chosen, "T:\\my docs\\old.htm");

    OnNextDialog([](QWidget* dialog) { qobject_cast<QDialog*>(dialog)->reject(); });
    EXPECT_EQ(FileRequestOpen("Open", "plain.htm", "All|*.*", 0), "");
}

TEST_F(GuiTest, FolderRequesterEndsInOneBackslash)
{
    TestFolder folder;
    folder.MakeFolder("help");
    OnNextDialog([](QWidget* dialog) { qobject_cast<QDialog*>(dialog)->accept(); });
    EXPECT_EQ(FolderRequest("Help folder", "T:\\help\\"), "T:\\help\\");
    OnNextDialog([](QWidget* dialog) { qobject_cast<QDialog*>(dialog)->reject(); });
    EXPECT_EQ(FolderRequest("Help folder", "T:\\help\\"), "");
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
    EXPECT_EQ(ProgramRun("no-such-program-kelpra.exe", "x", ""), 0);
    EXPECT_EQ(ProgramRun("T:\\bin\\missing", "x", ""), 0);
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
