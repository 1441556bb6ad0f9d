// Where the hand-over's socket lives without a runtime folder of the
// desktop's (su, ssh, cron): never where another user can be listening.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "runtime/browser.h"
#include "runtime/handover.h"
#include "runtime/qt/qttest.h"
#include "support/testfolder.h"

namespace {

constexpr uid_t Other = 65534;
const std::string Name = "kelpra-00112233aabbccdd";

// Listens as another user at each path, and writes whatever a connection
// brings to the log, answering as a window that took the word would.
pid_t OtherUserListening(const std::vector<std::string>& paths, const std::string& log,
                         const std::function<void()>& prepare)
{
    int ready[2];
    if (pipe(ready) != 0) return -1;
    pid_t child = fork();
    if (child != 0) {
        close(ready[1]);
        char byte = 0;
        if (read(ready[0], &byte, 1) != 1) child = -1;
        close(ready[0]);
        return child;
    }
    if (setgid(Other) != 0 || setuid(Other) != 0) _exit(1);
    prepare();
    std::vector<pollfd> sockets;
    for (const std::string& path : paths) {
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        path.copy(address.sun_path, sizeof address.sun_path - 1);
        int fd = socket(AF_UNIX, SOCK_STREAM, 0);
        if (bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 && listen(fd, 4) == 0)
            sockets.push_back({fd, POLLIN, 0});
    }
    (void)!write(ready[1], "1", 1);
    while (poll(sockets.data(), sockets.size(), 10000) > 0) {
        for (pollfd& listening : sockets) {
            if (!(listening.revents & POLLIN)) continue;
            int connection = accept(listening.fd, nullptr, nullptr);
            char bytes[256];
            ssize_t got = read(connection, bytes, sizeof bytes);
            int out = open(log.c_str(), O_WRONLY | O_APPEND | O_CREAT, 0666);
            if (got > 0) (void)!write(out, bytes, static_cast<size_t>(got));
            close(out);
            (void)!write(connection, "1", 1);
            close(connection);
        }
    }
    _exit(0);
}

class HandOverPlace : public GuiTest {
protected:
    void SetUp() override
    {
        GuiTest::SetUp();
        saved = std::getenv("XDG_RUNTIME_DIR") ? std::getenv("XDG_RUNTIME_DIR") : "";
        savedTemporary = std::getenv("TMPDIR") ? std::getenv("TMPDIR") : "";
    }
    void TearDown() override
    {
        saved.empty() ? unsetenv("XDG_RUNTIME_DIR") : setenv("XDG_RUNTIME_DIR", saved.c_str(), 1);
        RestoreTemporary();
        GuiTest::TearDown();
    }
    // A private runtime folder in the test's folder; where the socket goes.
    std::string UseRuntimeFolder(TestFolder& folder)
    {
        const std::string runtime = folder.Host("runtime");
        std::filesystem::create_directories(runtime);
        chmod(runtime.c_str(), 0700);
        setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
        return runtime + "/" + Name;
    }
    void RestoreTemporary()
    {
        savedTemporary.empty() ? unsetenv("TMPDIR") : setenv("TMPDIR", savedTemporary.c_str(), 1);
    }
    std::string saved, savedTemporary;
};

// Another user has taken a name where the socket might go: the word never
// reaches them, and the window listens only where they cannot be.
TEST_F(HandOverPlace, AnotherUsersSocketNeverGetsTheWord)
{
    if (geteuid() != 0) GTEST_SKIP() << "needs root to act as another user";
    const std::string own = "kelpra-" + std::to_string(geteuid());
    const struct {
        const char* what;
        // Made by the test, before the other user's own preparations.
        std::function<void(const std::string& temporary)> before;
        std::function<void(const std::string& temporary)> theirs;
        std::vector<std::string> sockets;  // the other user's, in the temporary folder
        bool runtime;                      // XDG_RUNTIME_DIR names the other user's folder
        int listens;
    } cases[] = {
        {"the name in the temporary folder, the desktop's fallback folder taken",
         nullptr,
         [](const std::string& t) { mkdir((t + "/runtime-root").c_str(), 0777); },
         {Name, "runtime-root/" + Name},
         false,
         1},
        {"Kelpra's folder made by them",
         nullptr,
         [&](const std::string& t) {
             mkdir((t + "/" + own).c_str(), 0777);
             chmod((t + "/" + own).c_str(), 0777);
         },
         {own + "/" + Name},
         false,
         0},
        {"Kelpra's folder a link to theirs",
         nullptr,
         [&](const std::string& t) {
             mkdir((t + "/theirs").c_str(), 0700);
             (void)!symlink((t + "/theirs").c_str(), (t + "/" + own).c_str());
         },
         {"theirs/" + Name},
         false,
         0},
        {"Kelpra's folder open to everyone",
         [&](const std::string& t) {
             mkdir((t + "/" + own).c_str(), 0777);
             chmod((t + "/" + own).c_str(), 0777);
         },
         nullptr,
         {own + "/" + Name},
         false,
         0},
        {"the runtime folder named theirs",
         nullptr,
         [](const std::string& t) { mkdir((t + "/theirs").c_str(), 0700); },
         {"theirs/" + Name},
         true,
         1},
    };
    for (const auto& c : cases) {
        TestFolder folder;
        chmod(folder.root.c_str(), 0755);
        const std::string temporary = folder.Host("tmp");
        std::filesystem::create_directories(temporary);
        chmod(temporary.c_str(), 01777);
        const std::string log = temporary + "/heard";
        if (c.before) c.before(temporary);
        std::vector<std::string> paths;
        for (const std::string& socket : c.sockets) paths.push_back(temporary + "/" + socket);
        const pid_t other = OtherUserListening(paths, log, [&] {
            if (c.theirs) c.theirs(temporary);
        });
        ASSERT_GT(other, 0) << c.what;
        setenv("TMPDIR", temporary.c_str(), 1);
        if (c.runtime) setenv("XDG_RUNTIME_DIR", (temporary + "/theirs").c_str(), 1);
        else unsetenv("XDG_RUNTIME_DIR");

        EXPECT_EQ(HandOverSend(Name, "secret"), 0) << c.what;
        EXPECT_EQ(HandOverListen(Name), c.listens) << c.what;
        if (c.listens) {
            struct stat info;
            EXPECT_EQ(lstat((temporary + "/" + own + "/" + Name).c_str(), &info), 0) << c.what;
            EXPECT_EQ(lstat((temporary + "/" + own).c_str(), &info) == 0 ? info.st_mode & 0777 : 0, 0700u)
                << c.what;
        }
        RuntimeEnd();
        RuntimeStart();
        kill(other, SIGKILL);
        waitpid(other, nullptr, 0);
        EXPECT_FALSE(std::filesystem::exists(log)) << c.what;
        RestoreTemporary();
    }
}

// A window that ends as usual takes its socket with it; one whose name
// another window has taken over since leaves that window's socket alone.
TEST_F(HandOverPlace, TheSocketGoesWithTheWindowThatMadeIt)
{
    TestFolder folder;
    const std::string socket = UseRuntimeFolder(folder);
    for (bool replaced : {false, true}) {
        ASSERT_EQ(HandOverListen(Name), 1);
        ASSERT_TRUE(std::filesystem::exists(socket));
        if (replaced) {
            std::filesystem::remove(socket);
            folder.Write("runtime\\" + Name, "another window's");
        }
        RuntimeEnd();
        RuntimeStart();
        EXPECT_EQ(std::filesystem::exists(socket), replaced) << replaced;
        std::filesystem::remove(socket);
    }
}

// A start does not wait for the listening: the window listens once its
// first page is drawn, and a start before that opens a window of its own.
TEST_F(HandOverPlace, AWindowListensOnceItsFirstPageIsDrawn)
{
    TestFolder folder;
    const std::string socket = UseRuntimeFolder(folder);
    folder.Write("help\\Menu.htm", "<p>The first page</p>");
    ASSERT_NE(WindowOpen(0, 0, 0, 640, 480, 0xCF0000, "Kelpra"), 0);
    ControlParentSet(WindowHandle());
    ASSERT_NE(BrowserCreate(10, 0, 31, 640, 400, folder.Win("help\\Menu.htm")), 0);
    ASSERT_EQ(HandOverListen(Name), 1);
    EXPECT_FALSE(std::filesystem::exists(socket));
    EXPECT_EQ(HandOverSend(Name, "print"), 0);
    EXPECT_TRUE(QTest::qWaitFor([&]() { return std::filesystem::exists(socket); }, 10000));
    EXPECT_FALSE(QGuiApplication::windowIcon().isNull());
    RuntimeEnd();
    RuntimeStart();
    EXPECT_FALSE(std::filesystem::exists(socket));
}

}  // namespace
