#include "runtime/program.h"

#include <windows.h>

std::string ModuleFileName()
{
    // Paths beyond MAX_PATH are possible with long-path support; grow until
    // the name fits rather than handing back a cut one.
    std::string name(MAX_PATH, '\0');
    for (;;) {
        DWORD length = GetModuleFileNameA(nullptr, name.data(), static_cast<DWORD>(name.size()));
        if (length == 0) return "";
        if (length < name.size()) {
            name.resize(length);
            return name;
        }
        if (name.size() >= 32768) return "";
        name.resize(name.size() * 2);
    }
}

std::string UserName()
{
    char name[257];
    DWORD size = sizeof name;
    if (!GetUserNameA(name, &size) || size == 0) return "";
    return std::string(name, size - 1);
}
