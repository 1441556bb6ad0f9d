#include "state/handover.h"

#include <cstdint>
#include <cstdio>

#include "runtime/program.h"
#include "runtime/text.h"
#include "state/state.h"

namespace {

bool IsContinuationByte(unsigned char c)
{
    return (c & 0xC0) == 0x80;
}

// FNV-1a: stable across runs, builds and platforms, which both ends need.
uint64_t NameHash(const std::string& text)
{
    uint64_t hash = 0xCBF29CE484222325ull;
    for (unsigned char c : text) {
        hash ^= c;
        hash *= 0x100000001B3ull;
    }
    return hash;
}

}  // namespace

std::string HandOverText(const std::string& received)
{
    std::string text;
    for (char c : received) {
        unsigned char byte = static_cast<unsigned char>(c);
        if (c == '\r' || c == '\n' || c == '\0') break;
        if (c == '\t') text += ' ';
        else if (byte >= 0x20 && byte != 0x7F) text += c;
    }
    if (text.size() <= static_cast<size_t>(HandOverTextLimit)) return text;
    bool utf8 = TextIsUtf8(text);
    size_t cut = HandOverTextLimit;
    if (utf8)
        while (cut > 0 && IsContinuationByte(static_cast<unsigned char>(text[cut]))) --cut;
    return text.substr(0, cut);
}

std::string HandOverName(const std::string& settingsFile, const std::string& user)
{
    // Names ignore case, so one settings file spelled two ways is one window.
    char hex[17];
    std::snprintf(hex, sizeof hex, "%016llx",
                  static_cast<unsigned long long>(NameHash(user + '\n' + TextToUpper(settingsFile))));
    return std::string("kelpra-") + hex;
}

std::string HandOverNameOfThisRun()
{
    return HandOverName(State.settingsFile, UserName());
}
