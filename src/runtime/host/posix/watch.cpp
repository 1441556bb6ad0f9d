// Linux: inotify, one watch per folder (it does not reach below a folder).
#include "runtime/hostwatch.h"

#include <dirent.h>
#include <sys/vfs.h>
#include <cerrno>
#include <unistd.h>

#include "runtime/hostpath.h"

#ifdef __linux__
#include <sys/inotify.h>
#endif

namespace {

// File systems whose changes made elsewhere no watch here hears of: network
// shares and user-space file systems.
bool HeardOfEveryChange(const std::string& folder)
{
    struct statfs info;
    if (statfs(folder.c_str(), &info) != 0) return false;
    switch (static_cast<unsigned long>(info.f_type)) {
    case 0x6969:      // NFS
    case 0x517B:      // SMB
    case 0xFF534D42:  // CIFS
    case 0xFE534D42:  // SMB2
    case 0x65735546:  // FUSE
    case 0x01021997:  // 9P
    case 0x5346414F:  // AFS
    case 0x00C36400:  // Ceph
    case 0x73757245:  // Coda
        return false;
    default: return true;
    }
}

bool HoldsLinks(const std::string& folder)
{
    DIR* dir = opendir(folder.c_str());
    if (!dir) return true;
    bool link = false;
    while (dirent* entry = readdir(dir))
        if (entry->d_type == DT_LNK || entry->d_type == DT_UNKNOWN) link = true;
    closedir(dir);
    return link;
}

}  // namespace

HostWatch HostWatchStart(const std::vector<std::string>& folders)
{
#ifdef __linux__
    const int watch = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (watch < 0) return NoHostWatch;
    const uint32_t changes = IN_MODIFY | IN_ATTRIB | IN_CLOSE_WRITE | IN_MOVED_FROM | IN_MOVED_TO |
                             IN_CREATE | IN_DELETE | IN_DELETE_SELF | IN_MOVE_SELF;
    for (const std::string& folder : folders) {
        const std::string host = HostPathFromWindows(folder);
        if (host.empty() || !HeardOfEveryChange(host) ||
            inotify_add_watch(watch, host.c_str(), changes) < 0 || HoldsLinks(host)) {
            close(watch);
            return NoHostWatch;
        }
    }
    return watch;
#else
    (void)folders;
    return NoHostWatch;
#endif
}

bool HostWatchChanged(HostWatch watch)
{
    if (watch == NoHostWatch) return true;
    // Every event waiting is taken, so the next question starts afresh;
    // a queue that overflowed tells so with an event of its own.
    char events[4096];
    bool changed = false;
    ssize_t got = 0;
    while ((got = read(static_cast<int>(watch), events, sizeof events)) > 0) changed = true;
    return changed || (got < 0 && errno != EAGAIN && errno != EWOULDBLOCK);
}

void HostWatchEnd(HostWatch watch)
{
    if (watch != NoHostWatch) close(static_cast<int>(watch));
}
