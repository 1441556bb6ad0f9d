#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QFileInfo>
#include <QMainWindow>
#include <QMessageBox>
#include <QMimeData>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTimer>
#include <QEventLoop>

#include "runtime/hostpath.h"
#include "runtime/qt/browsertext.h"
#include "runtime/qt/qtlayer.h"
#include "runtime/qt/requesters_qt.h"
#include "runtime/requesters.h"

namespace {

QString HostName(const std::string& host)
{
    return QFile::decodeName(QByteArray::fromStdString(host));
}

std::string WindowsFromHostName(const QString& host)
{
    return WindowsPathFromHost(QFile::encodeName(host).toStdString());
}

bool LooksLikeWindowsPath(const std::string& text)
{
    return text.find('\\') != std::string::npos ||
           (text.size() >= 2 && std::isalpha(static_cast<unsigned char>(text[0])) && text[1] == ':');
}

// The host file of a Windows-form path when it exists, else "".
QString ExistingHost(const std::string& windowsPath)
{
    if (windowsPath.empty()) return "";
    std::string host = HostPathFromWindows(windowsPath);
    if (host.empty() || !QFileInfo::exists(HostName(host))) return "";
    return HostName(host);
}

struct ButtonAnswer {
    QMessageBox::StandardButton button;
    int answer;
};

// The buttons of each message-box style, with the platform's answer numbers.
std::vector<ButtonAnswer> ButtonsOf(int flags)
{
    switch (flags & MessageButtons) {
    case MessageOkCancel: return {{QMessageBox::Ok, AnswerOk}, {QMessageBox::Cancel, AnswerCancel}};
    case MessageAbortRetryIgnore:
        return {{QMessageBox::Abort, AnswerAbort},
                {QMessageBox::Retry, AnswerRetry},
                {QMessageBox::Ignore, AnswerIgnore}};
    case MessageYesNoCancel:
        return {
            {QMessageBox::Yes, AnswerYes}, {QMessageBox::No, AnswerNo}, {QMessageBox::Cancel, AnswerCancel}};
    case MessageYesNo: return {{QMessageBox::Yes, AnswerYes}, {QMessageBox::No, AnswerNo}};
    case MessageRetryCancel: return {{QMessageBox::Retry, AnswerRetry}, {QMessageBox::Cancel, AnswerCancel}};
    default: return {{QMessageBox::Ok, AnswerOk}};
    }
}

QMessageBox::Icon IconOf(int flags)
{
    switch (flags & MessageIcons) {
    case MessageIconError: return QMessageBox::Critical;
    case MessageIconQuestion: return QMessageBox::Question;
    case MessageIconWarning: return QMessageBox::Warning;
    case MessageIconInformation: return QMessageBox::Information;
    default: return QMessageBox::NoIcon;
    }
}

// A program named by a bare name: found on PATH as given, without a ".exe"
// and in lower case, so "NotePad.exe" can reach a "notepad" of the user's.
QString FindOnPath(const QString& name)
{
    QStringList candidates{name};
    if (name.endsWith(".exe", Qt::CaseInsensitive)) candidates << name.left(name.size() - 4);
    for (const QString& candidate : QStringList(candidates)) candidates << candidate.toLower();
    for (const QString& candidate : candidates) {
        QString found = QStandardPaths::findExecutable(candidate);
        if (!found.isEmpty()) return found;
    }
    return "";
}

}  // namespace

QStringList QtNameFilters(const std::string& filterList)
{
    QStringList parts = QtTextFromBytes(filterList).split('|');
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns;
        for (const QString& pattern : parts[i + 1].split(';', Qt::SkipEmptyParts)) {
            QString trimmed = pattern.trimmed();
            // "*.*" matches every name on Windows, also one without a dot.
            patterns << (trimmed == "*.*" ? QString("*") : trimmed);
        }
        filters << parts[i] + " (" + patterns.join(' ') + ")";
    }
    return filters;
}

int MessageAsk(const std::string& title, const std::string& text, int flags)
{
    QMessageBox box(IconOf(flags), QtTextFromBytes(title), QtTextFromBytes(text), QMessageBox::NoButton,
                    QtMainWindow());
    std::vector<ButtonAnswer> buttons = ButtonsOf(flags);
    for (const ButtonAnswer& button : buttons) box.addButton(button.button);
    box.setDefaultButton(buttons.front().button);
    box.exec();
    QAbstractButton* clicked = box.clickedButton();
    for (const ButtonAnswer& button : buttons)
        if (clicked && box.standardButton(clicked) == button.button) return button.answer;
    // Closed without a button: what Escape gives on the platform.
    for (const ButtonAnswer& button : buttons)
        if (button.answer == AnswerCancel || button.answer == AnswerNo) return button.answer;
    return buttons.front().answer;
}

std::string FileRequestOpen(const std::string& title, const std::string& defaultFile,
                            const std::string& filterList, int filterIndex)
{
    QFileDialog dialog(QtMainWindow(), QtTextFromBytes(title));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::ReadOnly, false);
    QStringList filters = QtNameFilters(filterList);
    if (!filters.isEmpty()) {
        dialog.setNameFilters(filters);
        if (filterIndex >= 0 && filterIndex < filters.size()) dialog.selectNameFilter(filters[filterIndex]);
    }
    size_t slash = defaultFile.rfind('\\');
    std::string name = defaultFile;
    if (slash != std::string::npos && slash > 0) {
        QString folder = ExistingHost(defaultFile.substr(0, slash + 1));
        if (!folder.isEmpty()) dialog.setDirectory(folder);
        name = defaultFile.substr(slash + 1);
    }
    if (!name.empty()) dialog.selectFile(QtTextFromBytes(name));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return "";
    return WindowsFromHostName(dialog.selectedFiles().first()).substr(0, RequestPathLimit);
}

std::string FolderRequest(const std::string& title, const std::string& startFolder)
{
    QFileDialog dialog(QtMainWindow(), QtTextFromBytes(title));
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly, true);
    QString start = ExistingHost(startFolder);
    if (!start.isEmpty()) {
        QFileInfo info(start);
        if (info.isDir() && !info.isRoot()) {
            // Open the folder above and select the start folder in it.
            dialog.setDirectory(info.absolutePath());
            dialog.selectFile(info.fileName());
        } else {
            dialog.setDirectory(start);
        }
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return "";
    std::string folder = WindowsFromHostName(dialog.selectedFiles().first());
    if (folder.empty()) return "";
    while (!folder.empty() && folder.back() == '\\') folder.pop_back();
    return folder + "\\";
}

intptr_t ProgramRun(const std::string& program, const std::string& parameters,
                    const std::string& workingFolder)
{
    if (program.empty()) return 0;
    QStringList arguments;
    QString executable;
    if (LooksLikeWindowsPath(program)) {
        executable = ExistingHost(program);
        // A Windows program of a Wine prefix runs through wine.
        if (!executable.isEmpty() && !QFileInfo(executable).isExecutable() &&
            executable.endsWith(".exe", Qt::CaseInsensitive)) {
            QString wine = QStandardPaths::findExecutable("wine");
            if (wine.isEmpty()) return 0;
            arguments << executable;
            executable = wine;
        }
    } else {
        executable = FindOnPath(QtTextFromBytes(program));
    }
    if (executable.isEmpty()) return 0;
    if (!parameters.empty()) {
        QString host = LooksLikeWindowsPath(parameters) ? ExistingHost(parameters) : QString();
        arguments << (host.isEmpty() ? QtTextFromBytes(parameters) : host);
    }
    std::string folder = workingFolder;
    if (folder.empty()) {
        size_t slash = program.rfind('\\');
        if (slash != std::string::npos && slash > 0) folder = program.substr(0, slash + 1);
    }
    QString hostFolder = ExistingHost(folder);
    if (!hostFolder.isEmpty() && !QFileInfo(hostFolder).isDir()) hostFolder.clear();
    qint64 processId = 0;
    if (!QProcess::startDetached(executable, arguments, hostFolder, &processId)) return 0;
    return processId > 0 ? static_cast<intptr_t>(processId) : 1;
}

std::string ClipboardGetText()
{
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    if (!data || !data->hasText()) return "";
    return QtBytesFromText(data->text());
}

void Pause(int milliseconds)
{
    // The window keeps painting meanwhile; events that arrive wait in the
    // layer's queue for the loop.
    if (milliseconds <= 0) return;
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
}
