// The settings file on hosts without the platform's private-profile
// functions: our own reader (runtime/profile.cpp).
#include "runtime/profile.h"

std::string ProfileGetString(const std::string& section, const std::string& key,
                             const std::string& defaultValue, int size, const std::string& fileName)
{
    return ProfileReadString(section, key, defaultValue, size, fileName);
}
