// The settings file is read through the platform's own private-profile
// function; it is written by our writer (runtime/profile.cpp), which puts
// a complete new version in place in one step.
#include "runtime/profile.h"

#include <windows.h>

std::string ProfileGetString(const std::string& section, const std::string& key,
                             const std::string& defaultValue, int size, const std::string& fileName)
{
    if (size < 1) return "";
    std::string area(static_cast<size_t>(size), '\0');
    DWORD length = GetPrivateProfileStringA(section.c_str(), key.c_str(), defaultValue.c_str(), area.data(),
                                            static_cast<DWORD>(size), fileName.c_str());
    area.resize(length);
    return area;
}
