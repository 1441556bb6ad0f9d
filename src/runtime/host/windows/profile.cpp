// The settings file through the platform's own private-profile functions.
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

namespace {

bool HasLineBreak(const std::string& text)
{
    return text.find_first_of("\r\n") != std::string::npos;
}

bool IsBlank(const std::string& text)
{
    return text.find_first_not_of(" \t") == std::string::npos;
}

}  // namespace

int ProfileWriteString(const std::string& section, const std::string& key, const std::string& value,
                       const std::string& fileName)
{
    // The platform writes what it is given: a line break or a misplaced
    // bracket or "=" would write a line that reads back as another key or
    // section.
    if (IsBlank(key) || key.find('=') != std::string::npos || section.find(']') != std::string::npos ||
        HasLineBreak(section) || HasLineBreak(key) || HasLineBreak(value))
        return 0;
    return WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(), fileName.c_str()) ? 1 : 0;
}
