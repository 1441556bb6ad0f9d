// Windows: a change notification for each folder, asked without waiting.
#include "runtime/hostwatch.h"

#include <windows.h>

#include <vector>

namespace {

struct Watch {
    std::vector<HANDLE> handles;
};

void Release(Watch* watch)
{
    for (HANDLE handle : watch->handles) FindCloseChangeNotification(handle);
    delete watch;
}

// Drives whose changes made elsewhere no notification may bring.
bool OnNetworkDrive(const std::string& folder)
{
    if (folder.size() >= 2 && (folder[0] == '\\' || folder[0] == '/')) return true;
    if (folder.size() < 2 || folder[1] != ':') return true;
    const std::string root = folder.substr(0, 2) + "\\";
    return GetDriveTypeA(root.c_str()) == DRIVE_REMOTE;
}

}  // namespace

HostWatch HostWatchStart(const std::vector<std::string>& folders)
{
    auto* watch = new Watch;
    const DWORD changes = FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_DIR_NAME |
                          FILE_NOTIFY_CHANGE_ATTRIBUTES | FILE_NOTIFY_CHANGE_SIZE |
                          FILE_NOTIFY_CHANGE_LAST_WRITE;
    for (const std::string& folder : folders) {
        HANDLE handle = OnNetworkDrive(folder) ? INVALID_HANDLE_VALUE
                                               : FindFirstChangeNotificationA(folder.c_str(), FALSE, changes);
        if (handle == INVALID_HANDLE_VALUE) {
            Release(watch);
            return NoHostWatch;
        }
        watch->handles.push_back(handle);
    }
    return reinterpret_cast<HostWatch>(watch);
}

bool HostWatchChanged(HostWatch watch)
{
    if (watch == NoHostWatch) return true;
    bool changed = false;
    for (HANDLE handle : reinterpret_cast<Watch*>(watch)->handles) {
        if (WaitForSingleObject(handle, 0) != WAIT_OBJECT_0) continue;
        changed = true;
        FindNextChangeNotification(handle);
    }
    return changed;
}

void HostWatchEnd(HostWatch watch)
{
    if (watch != NoHostWatch) Release(reinterpret_cast<Watch*>(watch));
}
