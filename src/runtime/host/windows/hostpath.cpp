// On Windows the program's paths are the host's paths: nothing to map.
#include "runtime/hostpath.h"

#include <windows.h>

std::string HostPathFromWindows(const std::string& windowsPath)
{
    // The file API refuses what it cannot open; refusing more here would make
    // the program stricter than the system it runs on.
    return windowsPath;
}

std::string HostPathForProgram(const std::string& windowsPath)
{
    return windowsPath;
}

std::string WindowsPathFromHost(const std::string& hostPath)
{
    if (hostPath.empty()) return "";
    DWORD size = GetFullPathNameA(hostPath.c_str(), 0, nullptr, nullptr);
    if (size == 0) return hostPath;
    std::string full(size, '\0');
    DWORD length = GetFullPathNameA(hostPath.c_str(), size, full.data(), nullptr);
    if (length == 0 || length >= size) return hostPath;
    full.resize(length);
    return full;
}

// A drive letter onto a folder, as "subst" does it, for this session.
void HostPathMapDrive(char letter, const std::string& hostFolder)
{
    char device[3] = {letter, ':', '\0'};
    if (hostFolder.empty()) {
        DefineDosDeviceA(DDD_REMOVE_DEFINITION, device, nullptr);
        return;
    }
    DefineDosDeviceA(0, device, hostFolder.c_str());
}

int HostPathDriveExists(char letter)
{
    char root[4] = {letter, ':', '\\', '\0'};
    UINT type = GetDriveTypeA(root);
    return (type == DRIVE_UNKNOWN || type == DRIVE_NO_ROOT_DIR) ? 0 : 1;
}

int HostPathFindsAsText()
{
    return 0;
}

std::string HostTextFromProgram(const std::string& text)
{
    return text;
}

std::string ProgramTextFromHost(const std::string& text)
{
    return text;
}
