#include "support.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>

namespace fs = std::filesystem;

void FuzzFail(const char* file, int line, const std::string& what)
{
    std::fprintf(stderr, "\n%s:%d: check failed: %s\n", file, line, what.c_str());
    std::fflush(stderr);
    std::abort();
}

TestFolder& FuzzFolder()
{
    static TestFolder folder('T');
    return folder;
}

void ClearFuzzFolder()
{
    std::error_code ignored;
    for (const auto& entry : fs::directory_iterator(FuzzFolder().root, ignored))
        fs::remove_all(entry.path(), ignored);
}

std::string BytesOf(const uint8_t* data, size_t size)
{
    return std::string(reinterpret_cast<const char*>(data), size);
}

std::string Shown(const std::string& text)
{
    std::string out = "\"";
    for (unsigned char c : text.substr(0, 200)) {
        if (c >= 0x20 && c < 0x7F && c != '\\' && c != '"') {
            out += static_cast<char>(c);
        } else {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", c);
            out += escaped;
        }
    }
    return out + (text.size() > 200 ? "\"..." : "\"");
}

std::vector<std::string> ExpectedLines(const std::string& bytes)
{
    std::vector<std::string> lines;
    size_t at = 0;
    do {
        std::string line;
        while (at < bytes.size() && bytes[at] != '\r' && bytes[at] != '\n' && bytes[at] != '\0')
            line += bytes[at++];
        if (at < bytes.size()) {
            char end = bytes[at++];
            if (end == '\r' && at < bytes.size() && bytes[at] == '\n') ++at;
        }
        lines.push_back(line);
    } while (at < bytes.size());
    return lines;
}

std::string JoinCrLf(const std::vector<std::string>& lines)
{
    std::string out;
    for (const auto& line : lines) out += line + "\r\n";
    return out;
}

bool OnlyCrLfEnds(const std::string& bytes)
{
    for (size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\r' && (i + 1 == bytes.size() || bytes[i + 1] != '\n')) return false;
        if (bytes[i] == '\n' && (i == 0 || bytes[i - 1] != '\r')) return false;
    }
    return bytes.empty() || (bytes.size() >= 2 && bytes.compare(bytes.size() - 2, 2, "\r\n") == 0);
}

std::string ModelUpper(const std::string& text)
{
    std::string out;
    for (unsigned char c : text)
        out += static_cast<char>(((c >= 'a' && c <= 'z') || c >= 0xE0) ? c - 0x20 : c);
    return out;
}

std::string ModelLower(const std::string& text)
{
    std::string out;
    for (unsigned char c : text)
        out += static_cast<char>(((c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE)) ? c + 0x20 : c);
    return out;
}

bool ModelGreater(const std::string& a, const std::string& b)
{
    for (size_t i = 0; i < a.size() && i < b.size(); ++i) {
        unsigned char x = static_cast<unsigned char>(a[i]);
        unsigned char y = static_cast<unsigned char>(b[i]);
        if (x != y) return x > y;
    }
    return a.size() > b.size();
}

std::string ModelPagePath(const std::string& address)
{
    std::string out;
    for (size_t i = 8; i < address.size();) {
        std::string three = address.substr(i, 3);
        if (three == "%20") {
            out += ' ';
            i += 3;
        } else if (three == "%23") {
            out += '#';
            i += 3;
        } else {
            out += address[i] == '/' ? '\\' : address[i];
            i += 1;
        }
    }
    return out;
}

std::string ModelLinkText(const std::string& line)
{
    std::string rest = line.size() > 9 ? line.substr(9) : "";
    size_t quote = rest.find('"');
    if (quote == std::string::npos) return "";
    rest = rest.substr(std::min(quote + 2, rest.size()));
    return ModelUpperCase(rest.substr(0, rest.find('<')));
}

namespace {

// Windows-1252 from 0x80 to 0x9F; the five bytes it leaves open read as the
// control characters of the same number.
const char32_t Windows1252High[32] = {
    U'\u20AC', 0x81,      U'\u201A', U'\u0192', U'\u201E', U'\u2026', U'\u2020', U'\u2021',
    U'\u02C6', U'\u2030', U'\u0160', U'\u2039', U'\u0152', 0x8D,      U'\u017D', 0x8F,
    0x90,      U'\u2018', U'\u2019', U'\u201C', U'\u201D', U'\u2022', U'\u2013', U'\u2014',
    U'\u02DC', U'\u2122', U'\u0161', U'\u203A', U'\u0153', 0x9D,      U'\u017E', U'\u0178'};

// The characters of well-formed UTF-8; false for anything else.
bool DecodeUtf8(const std::string& text, std::u32string& out)
{
    for (size_t i = 0; i < text.size();) {
        const unsigned char lead = static_cast<unsigned char>(text[i]);
        int length = 0;
        char32_t value = 0;
        if (lead < 0x80) length = 1, value = lead;
        else if ((lead & 0xE0) == 0xC0) length = 2, value = lead & 0x1F;
        else if ((lead & 0xF0) == 0xE0) length = 3, value = lead & 0x0F;
        else if ((lead & 0xF8) == 0xF0) length = 4, value = lead & 0x07;
        else return false;
        if (i + static_cast<size_t>(length) > text.size()) return false;
        for (int k = 1; k < length; ++k) {
            const unsigned char next = static_cast<unsigned char>(text[i + static_cast<size_t>(k)]);
            if ((next & 0xC0) != 0x80) return false;
            value = (value << 6) | (next & 0x3F);
        }
        const char32_t smallest[] = {0, 0, 0x80, 0x800, 0x10000};
        if (value < smallest[length] || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
            return false;
        out += value;
        i += static_cast<size_t>(length);
    }
    return true;
}

bool HasHighByte(const std::string& text)
{
    for (unsigned char c : text)
        if (c >= 0x80) return true;
    return false;
}

}  // namespace

bool ModelReadsAsUtf8(const std::string& text)
{
    std::u32string ignored;
    return HasHighByte(text) && DecodeUtf8(text, ignored);
}

std::u32string ModelCharacters(const std::string& text)
{
    std::u32string characters;
    if (ModelReadsAsUtf8(text)) {
        DecodeUtf8(text, characters);
        return characters;
    }
    for (unsigned char c : text) characters += c >= 0x80 && c <= 0x9F ? Windows1252High[c - 0x80] : c;
    return characters;
}

std::string ModelUtf8Of(const std::u32string& characters)
{
    std::string out;
    for (char32_t c : characters) {
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 + (c >> 6));
            out += static_cast<char>(0x80 + (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 + (c >> 12));
            out += static_cast<char>(0x80 + ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 + (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 + (c >> 18));
            out += static_cast<char>(0x80 + ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 + ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 + (c & 0x3F));
        }
    }
    return out;
}

namespace {

std::u32string UpperCharacters(const std::string& text)
{
    std::u32string characters = ModelCharacters(text);
    for (char32_t& c : characters)
        if ((c >= U'a' && c <= U'z') || (c >= 0xE0 && c <= 0xFF)) c -= 0x20;
    return characters;
}

}  // namespace

std::string ModelUpperCase(const std::string& text)
{
    // Bytes that read as other characters than the text's go in UTF-8.
    const std::string bytes = ModelUpper(text);
    const bool same = ModelCharacters(bytes) == UpperCharacters(text);
    return !ModelReadsAsUtf8(text) && same ? bytes : ModelUtf8Of(UpperCharacters(text));
}

std::string ModelMatchKey(const std::string& text)
{
    return ModelUtf8Of(UpperCharacters(text));
}

std::string ModelToAnsi(const std::string& text)
{
    if (!ModelReadsAsUtf8(text)) return text;
    std::string out;
    for (char32_t c : ModelCharacters(text)) {
        int byte = c < 0x80 || (c >= 0xA0 && c <= 0xFF) ? static_cast<int>(c) : -1;
        for (int i = 0; i < 32 && byte < 0; ++i)
            if (Windows1252High[i] == c) byte = 0x80 + i;
        if (byte < 0) return text;
        out += static_cast<char>(byte);
    }
    return out;
}

std::string ModelInEncoding(const std::string& text, bool utf8)
{
    if (!utf8) return ModelToAnsi(text);
    return HasHighByte(text) && !ModelReadsAsUtf8(text) ? ModelUtf8Of(ModelCharacters(text)) : text;
}

void CheckListLinks(const ContextList& list)
{
    int count = 0;
    const ListElement<ContextEntry>* previous = nullptr;
    bool currentSeen = list.current == nullptr;
    for (const auto* element = list.first; element; element = element->next) {
        FUZZ_CHECK(element->previous == previous, "a list element's back link is wrong");
        count += 1;
        FUZZ_CHECK(count <= list.count, "the list holds more elements than its count");
        if (element == list.current) {
            currentSeen = true;
            FUZZ_CHECK(list.currentIndex == count, "the current index does not match the cursor");
        }
        previous = element;
    }
    FUZZ_CHECK(list.last == previous, "the list's last element is wrong");
    FUZZ_CHECK(count == list.count, "the list's count is wrong");
    FUZZ_CHECK(currentSeen, "the current element is not in the list");
}

std::vector<ContextEntry> ListEntries(const ContextList& list)
{
    std::vector<ContextEntry> entries;
    for (const auto* element = list.first; element; element = element->next)
        entries.push_back(element->record);
    return entries;
}
