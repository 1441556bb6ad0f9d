// What every realization of the window layer shares.
#include "runtime/window.h"

#include <cctype>

std::string MenuTextWithMnemonic(const std::string& text, std::string& taken)
{
    std::string marked;
    bool placed = false;
    for (char c : text) {
        const char upper = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        if (c == '&') {
            marked += "&&";
            continue;
        }
        if (!placed && std::isalnum(static_cast<unsigned char>(c)) &&
            taken.find(upper) == std::string::npos) {
            marked += '&';
            taken += upper;
            placed = true;
        }
        marked += c;
    }
    return marked;
}
