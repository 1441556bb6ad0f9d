#include "runtime/text.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace {

// Path parts end at a closing quote of a quoted path.
std::string UpToQuote(const std::string& text)
{
    size_t quote = text.find('"');
    return quote == std::string::npos ? text : text.substr(0, quote);
}

std::string WithoutLeadingQuote(const std::string& path)
{
    return !path.empty() && path[0] == '"' ? path.substr(1) : path;
}

}  // namespace

int TextLength(const std::string& text)
{
    return static_cast<int>(text.size());
}

std::string TextHead(const std::string& text, int count)
{
    if (count <= 0) return "";
    return text.substr(0, static_cast<size_t>(count));
}

std::string TextTail(const std::string& text, int count)
{
    if (count <= 0) return "";
    size_t n = static_cast<size_t>(count);
    return n >= text.size() ? text : text.substr(text.size() - n);
}

std::string TextSlice(const std::string& text, int position, int count)
{
    if (position < 1) position = 1;
    size_t start = static_cast<size_t>(position) - 1;
    if (count <= 0 || start >= text.size()) return "";
    return text.substr(start, static_cast<size_t>(count));
}

int TextSearch(const std::string& text, const std::string& pattern, int startPosition)
{
    if (startPosition < 1) startPosition = 1;
    size_t start = static_cast<size_t>(startPosition) - 1;
    if (start > text.size()) return 0;
    size_t found = text.find(pattern, start);
    return found == std::string::npos ? 0 : static_cast<int>(found) + 1;
}

std::string TextToUpper(const std::string& text)
{
    std::string out = text;
    for (char& c : out) {
        unsigned char b = static_cast<unsigned char>(c);
        if ((b >= 0x61 && b <= 0x7A) || b >= 0xE0) c = static_cast<char>(b - 0x20);
    }
    return out;
}

std::string TextToLower(const std::string& text)
{
    std::string out = text;
    for (char& c : out) {
        unsigned char b = static_cast<unsigned char>(c);
        if ((b >= 0x41 && b <= 0x5A) || (b >= 0xC0 && b <= 0xDE)) c = static_cast<char>(b + 0x20);
    }
    return out;
}

std::string TextStripSpaces(const std::string& text)
{
    size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos) return "";
    size_t last = text.find_last_not_of(' ');
    return text.substr(first, last - first + 1);
}

std::string TextOfSpaces(int count)
{
    return count <= 0 ? std::string() : std::string(static_cast<size_t>(count), ' ');
}

std::string TextFromInteger(int32_t value)
{
    char digits[16];
    std::snprintf(digits, sizeof digits, "%ld", static_cast<long>(value));
    return digits;
}

int32_t TextToInteger(const std::string& text)
{
    size_t i = 0;
    while (i < text.size() && text[i] == ' ') ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
        negative = text[i] == '-';
        ++i;
    }
    // Unsigned arithmetic wraps modulo 2^32 without undefined behaviour.
    uint32_t value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
        value = value * 10u + static_cast<uint32_t>(text[i] - '0');
    if (negative) value = 0u - value;
    return static_cast<int32_t>(value);
}

int TextEquals(const std::string& a, const std::string& b)
{
    return a == b ? 1 : 0;
}

int TextGreater(const std::string& a, const std::string& b)
{
    size_t common = a.size() < b.size() ? a.size() : b.size();
    for (size_t i = 0; i < common; ++i) {
        unsigned char x = static_cast<unsigned char>(a[i]);
        unsigned char y = static_cast<unsigned char>(b[i]);
        if (x != y) return x > y ? 1 : 0;
    }
    return a.size() > b.size() ? 1 : 0;
}

int TextUtf8Character(const std::string& text, size_t at, uint32_t& code)
{
    if (at >= text.size()) return 0;
    const auto* bytes = reinterpret_cast<const unsigned char*>(text.data()) + at;
    const unsigned char c = bytes[0];
    if (c < 0x80) {
        code = c;
        return 1;
    }
    const size_t length = c >= 0xC2 && c <= 0xDF   ? 2
                          : c >= 0xE0 && c <= 0xEF ? 3
                          : c >= 0xF0 && c <= 0xF4 ? 4
                                                   : 0;
    if (length == 0 || text.size() - at < length) return 0;
    // The second byte's range rules out overlong forms, surrogates and code
    // points beyond U+10FFFF.
    const unsigned char low = c == 0xE0 ? 0xA0 : c == 0xF0 ? 0x90 : 0x80;
    const unsigned char high = c == 0xED ? 0x9F : c == 0xF4 ? 0x8F : 0xBF;
    if (bytes[1] < low || bytes[1] > high) return 0;
    uint32_t value = c & (0xFFu >> (length + 1));
    for (size_t k = 1; k < length; ++k) {
        if ((bytes[k] & 0xC0) != 0x80) return 0;
        value = (value << 6) | (bytes[k] & 0x3F);
    }
    code = value;
    return static_cast<int>(length);
}

int TextIsUtf8(const std::string& text)
{
    size_t at = 0;
    while (at < text.size()) {
        // Plain ASCII eight bytes at a time: most of any page is.
        if (text.size() - at >= 8) {
            uint64_t word;
            std::memcpy(&word, text.data() + at, 8);
            if ((word & 0x8080808080808080ull) == 0) {
                at += 8;
                continue;
            }
        }
        uint32_t code = 0;
        const int length = TextUtf8Character(text, at, code);
        if (length == 0) return 0;
        at += static_cast<size_t>(length);
    }
    return 1;
}

const char* TextLineEnd(const char* at, const char* stop)
{
    // Eight bytes at a time: only a word holding a byte below 0x0E can hold
    // a line end (or a tab, which a page holds often: the scan goes on).
    constexpr uint64_t ones = 0x0101010101010101ull;
    constexpr uint64_t highs = 0x8080808080808080ull;
    const auto isLineEnd = [](char c) { return c == '\r' || c == '\n' || c == '\0'; };
    while (stop - at >= 8) {
        uint64_t word;
        std::memcpy(&word, at, 8);
        if (((word - ones * 0x0E) & ~word & highs) != 0)
            for (int i = 0; i < 8; ++i)
                if (isLineEnd(at[i])) return at + i;
        at += 8;
    }
    while (at < stop && !isLineEnd(*at)) ++at;
    return at;
}

std::string PathFolderPart(const std::string& path)
{
    std::string p = WithoutLeadingQuote(path);
    size_t slash = p.rfind('\\');
    if (slash == std::string::npos) return "";
    return UpToQuote(p.substr(0, slash + 1));
}

std::string PathFileName(const std::string& path)
{
    std::string p = WithoutLeadingQuote(path);
    size_t slash = p.rfind('\\');
    return UpToQuote(slash == std::string::npos ? p : p.substr(slash + 1));
}

std::string PathExtension(const std::string& path)
{
    size_t slash = path.rfind('\\');
    size_t from = slash == std::string::npos ? 0 : slash + 1;
    size_t dot = path.rfind('.');
    if (dot == std::string::npos || dot < from) return "";
    return UpToQuote(path.substr(dot + 1));
}

namespace {

char AsciiUpper(char c)
{
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 0x20) : c;
}

}  // namespace

int TextAsciiUpperInPlace(std::string& text)
{
    int changed = 0;
    for (char& c : text) {
        if (c < 'a' || c > 'z') continue;
        c = AsciiUpper(c);
        changed = 1;
    }
    return changed;
}

int TextAsciiEqualsCaseBlind(const std::string& a, const std::string& b)
{
    if (a.size() != b.size()) return 0;
    for (size_t i = 0; i < a.size(); ++i)
        if (AsciiUpper(a[i]) != AsciiUpper(b[i])) return 0;
    return 1;
}

int PathNameAllowed(const std::string& name)
{
    for (char c : name) {
        unsigned char b = static_cast<unsigned char>(c);
        if (b <= 0x1F || c == '<' || c == '>' || c == ':' || c == '"' || c == '|' || c == '?' || c == '*' ||
            c == '\\' || c == '/')
            return 0;
    }
    // The device names are three or four letters, before any dot and
    // trailing spaces; asked for every link of a page, most names are
    // longer and need no upper-cased copy.
    size_t length = std::min(name.find('.'), name.size());
    while (length > 0 && name[length - 1] == ' ') --length;
    if (length < 3 || length > 4) return 1;
    const std::string base = TextToUpper(name.substr(0, length));
    if (base == "CON" || base == "PRN" || base == "AUX" || base == "NUL") return 0;
    bool numbered = base.size() == 4 && (base.compare(0, 3, "COM") == 0 || base.compare(0, 3, "LPT") == 0);
    return numbered && base[3] >= '1' && base[3] <= '9' ? 0 : 1;
}
