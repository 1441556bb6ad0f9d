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
    return ModelUpper(rest.substr(0, rest.find('<')));
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
