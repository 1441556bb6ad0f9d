// What every browser realization shares.
#include "runtime/browser.h"

#include <cctype>

std::string BrowserAddressFromPath(const std::string& windowsPath, const std::string& anchor)
{
    std::string address = "file:///";
    for (char c : windowsPath) {
        if (c == '\\') address += '/';
        else if (c == ' ') address += "%20";
        else if (c == '#') address += "%23";
        else address += c;
    }
    if (!anchor.empty()) address += "#" + anchor;
    return address;
}

int BrowserIsWebAddress(const std::string& address)
{
    std::string scheme;
    for (char c : address.substr(0, address.find(':')))
        scheme += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (address.find(':') == std::string::npos) return 0;
    return scheme == "http" || scheme == "https" || scheme == "mailto" ? 1 : 0;
}
