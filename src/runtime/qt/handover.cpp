// The hand-over on a local socket: the running window listens, a later start
// connects, writes its text and a line end, and waits for the window's "1".
// The socket lies in a folder only its user can reach, or there is none.
// The server answers on a thread of its own: a window busy laying out a long
// page or checking the help folder still takes the word at once, and the
// word waits for the loop. Plain sockets rather than Qt's network module,
// which a start would otherwise load with everything it needs.
#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <QApplication>
#include <QMainWindow>
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "runtime/handover.h"
#include "runtime/qt/qtlayer.h"

namespace {

constexpr char TakenAnswer = '1';
// How often a sender tries again while a busy window's queue of
// connections is full.
constexpr int RetryMilliseconds = 20;

using Clock = std::chrono::steady_clock;

struct HandOverLayer {
    int listening = -1;
    int stopWrite = -1;  // written to end the server's thread
    std::thread server;
    // The socket file the server made, so that only that one is removed.
    std::string path;
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

std::string SocketPath(const std::string& name)
{
    const std::string folder = SocketFolder();
    return folder.empty() ? "" : folder + "/" + name;
}

// false when the path does not fit an address.
bool AddressOf(const std::string& path, sockaddr_un& address)
{
    address = sockaddr_un{};
    address.sun_family = AF_UNIX;
    if (path.empty() || path.size() >= sizeof address.sun_path) return false;
    path.copy(address.sun_path, path.size());
    return true;
}

int MillisecondsUntil(Clock::time_point deadline)
{
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left > 0 ? static_cast<int>(left) : 0;
}

// Waits until the socket can be read (or written); false at the deadline.
bool WaitFor(int fd, short events, Clock::time_point deadline)
{
    pollfd one{fd, events, 0};
    for (;;) {
        const int ready = poll(&one, 1, MillisecondsUntil(deadline));
        if (ready > 0) return true;
        if (ready == 0 || errno != EINTR) return false;
    }
}

// A connected socket, -1 with errno set when none could be had by the
// deadline: ECONNREFUSED or ENOENT mean nobody listens there.
int Connect(const std::string& path, Clock::time_point deadline)
{
    sockaddr_un address;
    if (!AddressOf(path, address)) {
        errno = ENAMETOOLONG;
        return -1;
    }
    for (;;) {
        const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
        if (fd < 0) return -1;
        if (connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) return fd;
        const int error = errno;
        close(fd);
        // A full queue is a window too busy to take connections just now.
        if (error != EAGAIN || MillisecondsUntil(deadline) == 0) {
            errno = error == EAGAIN ? ETIMEDOUT : error;
            return -1;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(RetryMilliseconds));
    }
}

// A socket file that refuses connections was left by a run that ended
// without closing it. One that is merely slow to answer may be a live
// window's, and is never taken from it.
bool NobodyListens(const std::string& path)
{
    const int fd = Connect(path, Clock::now() + std::chrono::milliseconds(HandOverWaitLimit));
    if (fd >= 0) {
        close(fd);
        return false;
    }
    return errno == ECONNREFUSED || errno == ENOENT;
}

// A listening socket at the path, or -1. It is made under a name of its
// own and linked into place only once it listens, so that nobody finds the
// name and is refused meanwhile; the link never replaces a file there.
int ListenAt(const std::string& path)
{
    const std::string making = path + "." + std::to_string(getpid()) + ".new";
    sockaddr_un address;
    if (!AddressOf(making, address)) return -1;
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0) return -1;
    unlink(making.c_str());
    bool placed = bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
                  chmod(making.c_str(), 0600) == 0 && listen(fd, SOMAXCONN) == 0;
    if (placed && link(making.c_str(), path.c_str()) != 0) {
        placed = errno == EEXIST && NobodyListens(path) && unlink(path.c_str()) == 0 &&
                 link(making.c_str(), path.c_str()) == 0;
    }
    unlink(making.c_str());
    if (placed) return fd;
    close(fd);
    return -1;
}

// On the server's thread: the word is queued for the window's loop, and the
// sender learns at once that it was taken.
void Take(int fd, const std::string& text)
{
    HandOverLayer& layer = TheHandOverLayer();
    {
        const std::lock_guard<std::mutex> hold(layer.arrivedLock);
        layer.arrived.push_back(text);
    }
    QMetaObject::invokeMethod(
        qApp, []() { QtRecordEvent(EventHandOver, 0); }, Qt::QueuedConnection);
    send(fd, &TakenAnswer, 1, MSG_NOSIGNAL);
}

struct Sender {
    int fd;
    std::string received;
    Clock::time_point deadline;
};

// Reads what the sender has sent: true when its connection is done with,
// the text taken at its line end or at the limit, or the sender gone.
bool ReadFrom(Sender& sender)
{
    char bytes[1024];
    for (;;) {
        const ssize_t got = recv(sender.fd, bytes, sizeof bytes, 0);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0 && errno == EAGAIN) return false;
        if (got <= 0) return true;
        sender.received.append(bytes, static_cast<size_t>(got));
        const size_t end = sender.received.find('\n');
        if (end == std::string::npos && sender.received.size() <= HandOverReceiveLimit) continue;
        Take(sender.fd, sender.received.substr(0, end == std::string::npos ? HandOverReceiveLimit : end));
        return true;
    }
}

// Reads one text per connection, up to its line end or the limit; a sender
// that says nothing in time is dropped. Ends when the stop pipe is written.
void Serve(int listening, int stop)
{
    std::vector<Sender> senders;
    for (;;) {
        std::vector<pollfd> watched = {{stop, POLLIN, 0}, {listening, POLLIN, 0}};
        Clock::time_point soonest = Clock::now() + std::chrono::hours(1);
        for (const Sender& sender : senders) {
            watched.push_back({sender.fd, POLLIN, 0});
            soonest = std::min(soonest, sender.deadline);
        }
        if (poll(watched.data(), watched.size(), senders.empty() ? -1 : MillisecondsUntil(soonest)) < 0 &&
            errno != EINTR)
            break;
        if (watched[0].revents) break;
        for (size_t i = senders.size(); i-- > 0;) {
            Sender& sender = senders[i];
            const bool done = watched[i + 2].revents ? ReadFrom(sender) : Clock::now() >= sender.deadline;
            if (!done) continue;
            close(sender.fd);
            senders.erase(senders.begin() + static_cast<std::ptrdiff_t>(i));
        }
        if (watched[1].revents & POLLIN) {
            while (true) {
                const int fd = accept4(listening, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
                if (fd < 0) break;
                senders.push_back({fd, "", Clock::now() + std::chrono::milliseconds(HandOverWaitLimit)});
            }
        }
    }
    for (const Sender& sender : senders) close(sender.fd);
}

}  // namespace

int HandOverSend(const std::string& name, const std::string& text)
{
    const auto deadline = Clock::now() + std::chrono::milliseconds(HandOverWaitLimit);
    const int fd = Connect(SocketPath(name), deadline);
    if (fd < 0) return 0;
    const std::string message = text.substr(0, HandOverReceiveLimit) + "\n";
    size_t sent = 0;
    while (sent < message.size()) {
        const ssize_t wrote = send(fd, message.data() + sent, message.size() - sent, MSG_NOSIGNAL);
        if (wrote > 0) sent += static_cast<size_t>(wrote);
        else if (wrote < 0 && errno == EINTR) continue;
        else if (wrote == 0 || errno != EAGAIN || !WaitFor(fd, POLLOUT, deadline)) break;
    }
    // Only the window's answer says it took the text; silence is no window.
    char answer = 0;
    ssize_t got = -1;
    while (sent == message.size() && WaitFor(fd, POLLIN, deadline)) {
        got = recv(fd, &answer, 1, 0);
        if (got >= 0 || (errno != EINTR && errno != EAGAIN)) break;
    }
    close(fd);
    return got == 1 && answer == TakenAnswer ? 1 : 0;
}

int HandOverListen(const std::string& name)
{
    HandOverLayer& layer = TheHandOverLayer();
    if (layer.listening >= 0) return 1;
    // A start meanwhile opens a window of its own, as one before this
    // call always did.
    if (QtFirstPageAwaited()) {
        layer.awaited = name;
        return 1;
    }
    const std::string path = SocketPath(name);
    int stop[2];
    if (path.empty() || pipe2(stop, O_CLOEXEC) != 0) return 0;
    const int listening = ListenAt(path);
    struct stat info;
    if (listening < 0 || lstat(path.c_str(), &info) != 0) {
        if (listening >= 0) close(listening);
        close(stop[0]);
        close(stop[1]);
        return 0;
    }
    layer.listening = listening;
    layer.stopWrite = stop[1];
    layer.path = path;
    layer.device = info.st_dev;
    layer.inode = info.st_ino;
    const int stopRead = stop[0];
    layer.server = std::thread([listening, stopRead]() {
        Serve(listening, stopRead);
        close(stopRead);
    });
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
    if (layer.listening < 0) return;
    (void)!write(layer.stopWrite, "x", 1);
    layer.server.join();
    close(layer.stopWrite);
    close(layer.listening);
    layer.listening = -1;
    layer.stopWrite = -1;
    // The socket file goes by its name; a window that took the name over
    // after this one stopped answering keeps its own.
    struct stat info;
    if (lstat(layer.path.c_str(), &info) == 0 && info.st_dev == layer.device && info.st_ino == layer.inode)
        unlink(layer.path.c_str());
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
