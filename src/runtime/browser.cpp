// What every browser realization shares.
#include "runtime/browser.h"

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
