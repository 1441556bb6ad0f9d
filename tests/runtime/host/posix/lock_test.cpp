// The help folder's lock where the file system refuses flock (the errors
// some network file systems give): the lock file itself, naming its holder,
// keeps Kelpras apart, and one a holder left behind is taken over.
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <ctime>
#include <string>

#include <gtest/gtest.h>

#include "runtime/files.h"
#include "runtime/hostfile.h"
#include "runtime/rewrite.h"
#include "support/testfolder.h"

namespace {

std::string HostName()
{
    char name[256] = {};
    gethostname(name, sizeof name - 1);
    return name;
}

// A process of this machine that has ended.
pid_t EndedProcess()
{
    pid_t child = fork();
    if (child == 0) _exit(0);
    waitpid(child, nullptr, 0);
    return child;
}

class WithoutFileLocks : public ::testing::TestWithParam<int> {
protected:
    void SetUp() override { setenv("KELPRA_FLOCK_ERROR", std::to_string(GetParam()).c_str(), 1); }
    void TearDown() override
    {
        unsetenv("KELPRA_FLOCK_ERROR");
        FolderLockRelease();
        FolderLockSetWait(-1);
    }
};

TEST_P(WithoutFileLocks, TheLockFileNamesItsHolderAndOneLeftBehindIsTakenOver)
{
    const std::string here = HostName();
    const struct {
        const char* what;
        std::string stamp;  // the lock file found, "-" for none
        time_t age;         // seconds since it was last written
        int taken;
        int interrupted;
    } cases[] = {
        {"no lock file", "-", 0, 1, 0},
        {"a holder of this machine that runs", "1 " + here + "\n", 0, 0, 0},
        {"a holder of this machine that ended", std::to_string(EndedProcess()) + " " + here + "\n", 0, 1, 1},
        {"a holder of another machine", std::to_string(EndedProcess()) + " elsewhere.example\n", 0, 0, 0},
        {"a holder still writing its name", "", 0, 0, 0},
        {"a holder that never wrote its name", "", 3600, 1, 1},
        {"a damaged name, written just now", "x1 " + here + "\n", 0, 0, 0},
        {"a damaged name, written long ago", "x1 " + here + "\n", 3600, 1, 1},
    };
    FolderLockSetWait(100);
    for (const auto& c : cases) {
        TestFolder folder;
        folder.MakeFolder("help");
        const std::string lock = folder.Host("help/.kelpra-lock");
        if (c.stamp != "-") {
            folder.Write("help\\.kelpra-lock", c.stamp);
            const time_t then = std::time(nullptr) - c.age;
            const struct timespec times[2] = {{then, 0}, {then, 0}};
            utimensat(AT_FDCWD, lock.c_str(), times, 0);
        }
        FileFailureClear();
        EXPECT_EQ(FolderLockTake("T:\\help\\"), c.taken) << c.what;
        EXPECT_EQ(FolderLockFoundInterrupted(), c.interrupted) << c.what;
        if (!c.taken) {
            EXPECT_EQ(FileLastFailure().kind, FileFailureKind::Busy) << c.what;
            EXPECT_EQ(folder.Read("help\\.kelpra-lock"), c.stamp) << c.what;
            continue;
        }
        EXPECT_EQ(folder.Read("help\\.kelpra-lock"), std::to_string(getpid()) + " " + here + "\n") << c.what;
        // Held, it keeps out a second taker, in this process too.
        bool held = false, leftBehind = false;
        EXPECT_EQ(HostLockTake("T:\\help\\.kelpra-lock", held, leftBehind), NoHostFile) << c.what;
        EXPECT_TRUE(held) << c.what;
        FolderLockRelease();
        EXPECT_FALSE(folder.Exists("help\\.kelpra-lock")) << c.what;
        EXPECT_EQ(FileLastFailure().kind, FileFailureKind::None) << c.what;
    }
}

INSTANTIATE_TEST_SUITE_P(Errors, WithoutFileLocks, ::testing::Values(ENOLCK, EOPNOTSUPP, EINVAL));

}  // namespace
