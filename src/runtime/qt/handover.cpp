// The hand-over on a local socket: the running window listens, a later start
// connects, writes its text and a line end, and waits for the window's "1".
#include <QApplication>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QMainWindow>
#include <QPointer>
#include <QStandardPaths>
#include <QTimer>
#include <deque>
#include <memory>

#include "runtime/handover.h"
#include "runtime/qt/qtlayer.h"

namespace {

constexpr char TakenAnswer = '1';

struct HandOverLayer {
    QPointer<QLocalServer> server;
    std::deque<std::string> arrived;
};

HandOverLayer& TheHandOverLayer()
{
    static HandOverLayer layer;
    return layer;
}

// In the user's own runtime folder, which no other user can enter, when the
// desktop has one; else where Qt puts local sockets.
QString SocketPath(const std::string& name)
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    const QString file = QString::fromLatin1(name.c_str());
    return folder.isEmpty() ? file : QDir(folder).filePath(file);
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
    QLocalSocket socket;
    socket.connectToServer(SocketPath(name));
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
    return 1;
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
