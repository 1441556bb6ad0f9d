// What every realization of the window layer shares.
#include "runtime/window.h"

#include <cctype>
#include <string>

namespace {

struct KeyName {
    int key;
    const char* name;
};
const KeyName KeyNames[] = {
    {KeyEnter, "Enter"},
    {KeyEscape, "Esc"},
    {KeyTab, "Tab"},
    {KeyLeft, "Left"},
    {KeyRight, "Right"},
    {KeyPlus, "+"},
    {KeyMinus, "-"},
    {KeyAdd, "Num +"},
    {KeySubtract, "Num -"},
    {KeyNumpad0, "Num 0"},
    {KeyWheelForward, "Wheel Up"},
    {KeyWheelBackward, "Wheel Down"},
};

}  // namespace

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

std::string ShortcutKeyText(int key)
{
    std::string text;
    if (key & ShortcutCtrl) text += "Ctrl+";
    if (key & ShortcutAlt) text += "Alt+";
    if (key & ShortcutShift) text += "Shift+";
    const int plain = key & 0xFFFF;
    for (const KeyName& name : KeyNames)
        if (name.key == plain) return text + name.name;
    if ((plain >= 'A' && plain <= 'Z') || (plain >= '0' && plain <= '9'))
        return text + static_cast<char>(plain);
    if (plain >= KeyF1 && plain < KeyF1 + 24) return text + "F" + std::to_string(plain - KeyF1 + 1);
    return text + "#" + std::to_string(plain);
}
