// The hand-over on a local socket: the running window listens, a later start
// connects, writes its text and a line end, and waits for the window's "1".
// The socket lies in a folder only its user can reach, or there is none.
// The server answers on a thread of its own: a window busy laying out a long
// page or checking the help folder still takes the word at once, and the
// word waits for the loop.
#include <sys/stat.h>
#include <unistd.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QMainWindow>
#include <QThread>
#include <QTimer>
#include <cstdlib>
#include <deque>
#include <memory>
#include <mutex>
#include <string>

#include "runtime/handover.h"
#include "runtime/qt/qtlayer.h"

namespace {

constexpr char TakenAnswer = '1';

struct HandOverLayer {
    // The server lives on the thread; the window's side only starts and
    // ends them.
    QThread* thread = nullptr;
    QLocalServer* server = nullptr;
    // The socket file the server made, so that only that one is removed.
    QString path;
    dev_t device = 0;
    ino_t inode = 0;
    std::mutex arrivedLock;
    std::deque<std::string> arrived;
    // The name to listen under once the first page is drawn.
    std::string awaited;
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

// A socket file that refuses connections was left by a run that ended
// without closing it. One that is merely slow to answer may be a live
// window's, and is never taken from it.
bool NobodyListens(const QString& path)
{
    QLocalSocket probe;
    probe.connectToServer(path);
    if (probe.waitForConnected(HandOverWaitLimit)) {
        probe.abort();
        return false;
    }
    return probe.error() == QLocalSocket::ConnectionRefusedError ||
           probe.error() == QLocalSocket::ServerNotFoundError;
}

// On the server's thread: the word is queued for the window's loop, and the
// sender learns at once that it was taken.
void Take(QLocalSocket* socket, const QByteArray& text)
{
    HandOverLayer& layer = TheHandOverLayer();
    {
        const std::lock_guard<std::mutex> hold(layer.arrivedLock);
        layer.arrived.push_back(text.toStdString());
    }
    QMetaObject::invokeMethod(
        qApp, []() { QtRecordEvent(EventHandOver, 0); }, Qt::QueuedConnection);
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

// On the server's thread: listens, and takes over a name that a run left
// behind.
bool Listen(QLocalServer* server, const QString& path)
{
    bool listening = server->listen(path);
    if (!listening && server->serverError() == QAbstractSocket::AddressInUseError && NobodyListens(path)) {
        QLocalServer::removeServer(path);
        listening = server->listen(path);
    }
    if (!listening) return false;
    QObject::connect(server, &QLocalServer::newConnection, server, [server]() {
        while (QLocalSocket* socket = server->nextPendingConnection()) Serve(socket);
    });
    return true;
}

// Objects the server's thread still holds are deleted as it finishes.
void StopThread(HandOverLayer& layer)
{
    layer.thread->quit();
    layer.thread->wait();
    delete layer.thread;
    layer.thread = nullptr;
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
    // A start meanwhile opens a window of its own, as one before this
    // call always did.
    if (QtFirstPageAwaited()) {
        layer.awaited = name;
        return 1;
    }
    const QString path = SocketPath(name);
    if (path.isEmpty()) return 0;
    layer.thread = new QThread;
    layer.thread->start();
    auto* server = new QLocalServer;
    server->setSocketOptions(QLocalServer::UserAccessOption);
    server->moveToThread(layer.thread);
    bool listening = false;
    QMetaObject::invokeMethod(
        server, [&]() { listening = Listen(server, path); }, Qt::BlockingQueuedConnection);
    if (!listening) {
        server->deleteLater();
        StopThread(layer);
        return 0;
    }
    layer.server = server;
    layer.path = path;
    struct stat info;
    if (lstat(QFile::encodeName(path).constData(), &info) == 0) {
        layer.device = info.st_dev;
        layer.inode = info.st_ino;
    }
    return 1;
}

void QtHandOverStartAwaited()
{
    HandOverLayer& layer = TheHandOverLayer();
    const std::string name = layer.awaited;
    layer.awaited.clear();
    if (!name.empty()) HandOverListen(name);
}

void QtHandOverEnd()
{
    HandOverLayer& layer = TheHandOverLayer();
    layer.awaited.clear();
    if (!layer.server) return;
    // Closing removes the socket file by its name; a window that took the
    // name over after this one stopped answering keeps its own.
    struct stat info;
    const bool own = lstat(QFile::encodeName(layer.path).constData(), &info) == 0 &&
                     info.st_dev == layer.device && info.st_ino == layer.inode;
    QLocalServer* server = layer.server;
    layer.server = nullptr;
    // One whose name is no longer its own is left as it is, its thread
    // with it: closed or deleted, it would remove the other's file.
    if (!own) {
        layer.thread = nullptr;
        return;
    }
    QMetaObject::invokeMethod(
        server, [server]() { server->close(); }, Qt::BlockingQueuedConnection);
    server->deleteLater();
    StopThread(layer);
}

std::string HandOverReceived()
{
    HandOverLayer& layer = TheHandOverLayer();
    const std::lock_guard<std::mutex> hold(layer.arrivedLock);
    auto& arrived = layer.arrived;
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
