#include "runtime/program.h"

#include <unistd.h>

#include <climits>
#include <string>
#include <vector>

#include "runtime/hostpath.h"

std::string ModuleFileName()
{
    std::vector<char> buffer(PATH_MAX + 1);
    ssize_t length = readlink("/proc/self/exe", buffer.data(), buffer.size() - 1);
    if (length <= 0) return "";
    return WindowsPathFromHost(std::string(buffer.data(), static_cast<size_t>(length)));
}

std::string UserName()
{
    // The number, not the name: it cannot be changed under a running program.
    return std::to_string(getuid());
}
