#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QFileSystemModel>
#include <QDir>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QFileInfo>
#include <QMainWindow>
#include <QMessageBox>
#include <QMimeData>
#include <QProcess>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QStandardPaths>
#include <QTimer>
#include <QEventLoop>
#include <QUrl>

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

// The host path of a Windows-form path, also for a file that does not exist
// yet or a name Windows refuses; "" when no drive maps it.
QString HostOf(const std::string& windowsPath)
{
    return HostName(HostPathForProgram(windowsPath));
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

// A dialog shows the ordinary pointer over itself, also while a command that
// rewrites files has the busy one up.
struct OrdinaryPointer {
    OrdinaryPointer() : lifted(QApplication::overrideCursor() != nullptr)
    {
        if (lifted) QApplication::setOverrideCursor(Qt::ArrowCursor);
    }
    ~OrdinaryPointer()
    {
        if (lifted) QApplication::restoreOverrideCursor();
    }
    OrdinaryPointer(const OrdinaryPointer&) = delete;
    OrdinaryPointer& operator=(const OrdinaryPointer&) = delete;
    bool lifted;
};

// "*.exe", the pattern the program's filter names programs with.
bool IsProgramPattern(const QString& pattern)
{
    return pattern.trimmed().compare("*.exe", Qt::CaseInsensitive) == 0;
}

// While the programs filter is chosen: folders, executable files and
// Windows programs; a Linux program has no ".exe" to match.
class ProgramFilter : public QSortFilterProxyModel {
public:
    using QSortFilterProxyModel::QSortFilterProxyModel;
    void SetActive(bool active)
    {
        active_ = active;
        invalidateFilter();
    }

protected:
    bool filterAcceptsRow(int row, const QModelIndex& parent) const override
    {
        if (!active_) return true;
        auto* files = qobject_cast<QFileSystemModel*>(sourceModel());
        if (!files) return true;
        QFileInfo info = files->fileInfo(files->index(row, 0, parent));
        return info.isDir() || info.isExecutable() || info.suffix().compare("exe", Qt::CaseInsensitive) == 0;
    }

private:
    bool active_ = false;
};

// The folder of a typed name must exist (a file that does not exist yet is
// fine), as the platform's requesters have it.
class FileDialog : public QFileDialog {
public:
    using QFileDialog::QFileDialog;

    void accept() override
    {
        QStringList files = selectedFiles();
        if (!files.isEmpty()) {
            QFileInfo info(files.first());
            if (!info.isDir() && !info.absoluteDir().exists()) {
                // Qt's own words for it, as its requester says them elsewhere.
                QMessageBox::warning(this, windowTitle(),
                                     QFileDialog::tr("%1\nDirectory not found.\nPlease verify the "
                                                     "correct directory name was given.")
                                         .arg(QDir::toNativeSeparators(info.absolutePath())));
                return;
            }
        }
        QFileDialog::accept();
    }
};

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
            // "*.*" matches every name on Windows, also one without a dot;
            // programs are known by more than their name (QtProgramFilter).
            patterns << (trimmed == "*.*" || IsProgramPattern(trimmed) ? QString("*") : trimmed);
        }
        patterns.removeDuplicates();
        // The dialog shows the label alone (the patterns it matches with are
        // in the last brackets), so a label that names its patterns does not
        // show them twice.
        filters << parts[i] + " (" + patterns.join(' ') + ")";
    }
    return filters;
}

bool QtProgramFilter(const std::string& filterList, int index)
{
    QStringList parts = QtTextFromBytes(filterList).split('|');
    if (index < 0 || 2 * index + 1 >= parts.size()) return false;
    for (const QString& pattern : parts[2 * index + 1].split(';', Qt::SkipEmptyParts))
        if (IsProgramPattern(pattern)) return true;
    return false;
}

int MessageAsk(const std::string& title, const std::string& text, int flags)
{
    OrdinaryPointer pointer;
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
    OrdinaryPointer pointer;
    FileDialog dialog(QtMainWindow(), QtTextFromBytes(title));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::ReadOnly, false);
    dialog.setOption(QFileDialog::HideNameFilterDetails, true);
    auto* programs = new ProgramFilter(&dialog);
    dialog.setProxyModel(programs);
    QStringList filters = QtNameFilters(filterList);
    if (!filters.isEmpty()) {
        dialog.setNameFilters(filters);
        if (filterIndex >= 0 && filterIndex < filters.size()) dialog.selectNameFilter(filters[filterIndex]);
        programs->SetActive(QtProgramFilter(filterList, filterIndex));
        // The dialog names a filter by the label it shows.
        QObject::connect(&dialog, &QFileDialog::filterSelected, programs, [&](const QString& chosen) {
            for (qsizetype i = 0; i < filters.size(); ++i)
                if (filters[i] == chosen || filters[i].startsWith(chosen + " ("))
                    programs->SetActive(QtProgramFilter(filterList, static_cast<int>(i)));
        });
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
    OrdinaryPointer pointer;
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
        // A file the program is to make, or one named as Linux allows and
        // Windows does not, is still handed over as a host path.
        QString host = LooksLikeWindowsPath(parameters) ? HostOf(parameters) : QString();
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

namespace {

// What a short helper program prints, trimmed; "" when it cannot be run,
// fails or takes too long.
QString OutputOf(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForStarted(2000)) return "";
    if (!process.waitForFinished(5000)) {
        process.kill();
        process.waitForFinished();
        return "";
    }
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) return "";
    return QString::fromLocal8Bit(process.readAllStandardOutput()).trimmed();
}

// The desktop's program for a file, as xdg-open chooses it: the default
// application of the file's type. "" when there is none.
QString DesktopHandlerOf(const QString& host)
{
    QString type = OutputOf("xdg-mime", {"query", "filetype", host});
    return type.isEmpty() ? QString() : OutputOf("xdg-mime", {"query", "default", type});
}

}  // namespace

intptr_t DesktopOpen(const std::string& fileOrAddress)
{
    if (fileOrAddress.empty()) return 0;
    if (!LooksLikeWindowsPath(fileOrAddress))
        return QDesktopServices::openUrl(QUrl(QtTextFromBytes(fileOrAddress))) ? 1 : 0;
    QString host = HostOf(fileOrAddress);
    if (host.isEmpty() || !QFileInfo(host).isFile() || DesktopHandlerOf(host).isEmpty()) return 0;
    qint64 processId = 0;
    if (!QProcess::startDetached("xdg-open", {host}, QFileInfo(host).absolutePath(), &processId)) return 0;
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
