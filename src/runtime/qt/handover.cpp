// The hand-over on a local socket: the running window listens, a later start
// connects, writes its text and a line end, and waits for the window's "1".
// The socket lies in a folder only its user can reach, or there is none.
#include <sys/stat.h>
#include <unistd.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QMainWindow>
#include <QPointer>
#include <QTimer>
#include <cstdlib>
#include <deque>
#include <memory>
#include <string>

#include "runtime/handover.h"
#include "runtime/qt/qtlayer.h"

namespace {

constexpr char TakenAnswer = '1';

struct HandOverLayer {
    QPointer<QLocalServer> server;
    // The socket file the server made, so that only that one is removed.
    QString path;
    dev_t device = 0;
    ino_t inode = 0;
    std::deque<std::string> arrived;
};

HandOverLayer& TheHandOverLayer()
{
    static HandOverLayer layer;
    return layer;
}

// A folder of this user's that nobody else can have put anything in: not a
// link, owned by the user, closed to everyone else.
bool PrivateFolder(const std::string& folder)
{
    struct stat info;
    return lstat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode) && info.st_uid == geteuid() &&
           (info.st_mode & 077) == 0;
}

// The user's runtime folder; without one (su, ssh, cron), a folder of
// Kelpra's own in the temporary folder, made for this user. "" when neither
// is private: another user may have taken the name, and a word handed to
// their socket would be theirs to read.
std::string SocketFolder()
{
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime && runtime[0] == '/' && PrivateFolder(runtime)) return runtime;
    const char* temporary = std::getenv("TMPDIR");
    const std::string folder = std::string(temporary && temporary[0] == '/' ? temporary : "/tmp") +
                               "/kelpra-" + std::to_string(geteuid());
    mkdir(folder.c_str(), 0700);
    return PrivateFolder(folder) ? folder : "";
}

QString SocketPath(const std::string& name)
{
    const std::string folder = SocketFolder();
    return folder.empty() ? QString() : QFile::decodeName(QByteArray::fromStdString(folder + "/" + name));
}

// A window that answers is alive; a socket file nobody answers on was left
// by a run that ended without closing it.
bool SomeoneListens(const QString& path)
{
    QLocalSocket probe;
    probe.connectToServer(path);
    const bool alive = probe.waitForConnected(HandOverWaitLimit);
    probe.abort();
    return alive;
}

void Take(QLocalSocket* socket, const QByteArray& text)
{
    TheHandOverLayer().arrived.push_back(text.toStdString());
    QtRecordEvent(EventHandOver, 0);
    socket->write(&TakenAnswer, 1);
    socket->flush();
    socket->disconnectFromServer();
}

// Reads one text per connection, up to its line end or the limit; a sender
// that says nothing in time is dropped.
void Serve(QLocalSocket* socket)
{
    auto received = std::make_shared<QByteArray>();
    auto taken = std::make_shared<bool>(false);
    QObject::connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    QTimer::singleShot(HandOverWaitLimit, socket, [socket]() { socket->abort(); });
    QObject::connect(socket, &QLocalSocket::readyRead, socket, [socket, received, taken]() {
        if (*taken) {
            socket->readAll();
            return;
        }
        received->append(socket->read(HandOverReceiveLimit + 1 - received->size()));
        const qsizetype end = received->indexOf('\n');
        if (end < 0 && received->size() <= HandOverReceiveLimit) return;
        *taken = true;
        Take(socket, received->left(end < 0 ? HandOverReceiveLimit : end));
    });
}

}  // namespace

int HandOverSend(const std::string& name, const std::string& text)
{
    const QString path = SocketPath(name);
    if (path.isEmpty()) return 0;
    QLocalSocket socket;
    socket.connectToServer(path);
    if (!socket.waitForConnected(HandOverWaitLimit)) return 0;
    socket.write(QByteArray::fromStdString(text.substr(0, HandOverReceiveLimit) + "\n"));
    if (!socket.waitForBytesWritten(HandOverWaitLimit)) return 0;
    // Only the window's answer says it took the text; silence is no window.
    while (socket.bytesAvailable() == 0)
        if (!socket.waitForReadyRead(HandOverWaitLimit)) return 0;
    return socket.read(1) == QByteArray(1, TakenAnswer) ? 1 : 0;
}

int HandOverListen(const std::string& name)
{
    HandOverLayer& layer = TheHandOverLayer();
    if (layer.server) return 1;
    const QString path = SocketPath(name);
    if (path.isEmpty()) return 0;
    auto* server = new QLocalServer(qApp);
    server->setSocketOptions(QLocalServer::UserAccessOption);
    bool listening = server->listen(path);
    if (!listening && server->serverError() == QAbstractSocket::AddressInUseError && !SomeoneListens(path)) {
        QLocalServer::removeServer(path);
        listening = server->listen(path);
    }
    if (!listening) {
        delete server;
        return 0;
    }
    QObject::connect(server, &QLocalServer::newConnection, server, [server]() {
        while (QLocalSocket* socket = server->nextPendingConnection()) Serve(socket);
    });
    layer.server = server;
    layer.path = path;
    struct stat info;
    if (lstat(QFile::encodeName(path).constData(), &info) == 0) {
        layer.device = info.st_dev;
        layer.inode = info.st_ino;
    }
    return 1;
}

void QtHandOverEnd()
{
    HandOverLayer& layer = TheHandOverLayer();
    if (!layer.server) return;
    // Closing removes the socket file by its name; a window that took the
    // name over after this one stopped answering keeps its own.
    struct stat info;
    const bool own = lstat(QFile::encodeName(layer.path).constData(), &info) == 0 &&
                     info.st_dev == layer.device && info.st_ino == layer.inode;
    // Qt closes a server it deletes, so one whose name is no longer its own
    // is left to the application, which outlives it.
    if (own) delete layer.server;
    layer.server = nullptr;
}

std::string HandOverReceived()
{
    auto& arrived = TheHandOverLayer().arrived;
    if (arrived.empty()) return "";
    std::string text = arrived.front();
    arrived.pop_front();
    return text;
}

void WindowBringToFront()
{
    QMainWindow* window = QtMainWindow();
    if (!window) return;
    window->setWindowState((window->windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    window->show();
    window->raise();
    window->activateWindow();
}
