// flock as a file system without locks answers it (some network ones) while
// KELPRA_FLOCK_ERROR holds an error number, the system's own otherwise.
// Preloaded into a program (LD_PRELOAD), or linked into a test program.
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

extern "C" int flock(int fd, int operation)
{
    const char* error = std::getenv("KELPRA_FLOCK_ERROR");
    if (error && *error) {
        errno = std::atoi(error);
        return -1;
    }
    return static_cast<int>(syscall(SYS_flock, fd, operation));
}
