#include "runtime/program.h"

#include <unistd.h>

#include <climits>
#include <vector>

#include "runtime/hostpath.h"

std::string ModuleFileName()
{
    std::vector<char> buffer(PATH_MAX + 1);
    ssize_t length = readlink("/proc/self/exe", buffer.data(), buffer.size() - 1);
    if (length <= 0) return "";
    return WindowsPathFromHost(std::string(buffer.data(), static_cast<size_t>(length)));
}
