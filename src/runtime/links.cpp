#include "runtime/links.h"

#include <cctype>
#include <vector>

namespace {

bool IsHexDigit(char c)
{
    return std::isxdigit(static_cast<unsigned char>(c)) != 0;
}

int HexValue(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    return (std::tolower(static_cast<unsigned char>(c)) - 'a') + 10;
}

std::string Lower(std::string text)
{
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

bool StartsWithDrive(const std::string& path)
{
    return path.size() >= 2 && std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':';
}

// Folds "." and ".." steps and doubled separators below the drive (or the
// share of a "\\server\share" path); a closing "\" is kept.
std::string FoldPath(const std::string& path)
{
    std::string root;
    std::string rest = path;
    if (StartsWithDrive(path)) {
        root = path.substr(0, 2) + "\\";
        rest = path.substr(2);
    } else if (path.rfind("\\\\", 0) == 0) {
        root = "\\\\";
        rest = path.substr(2);
    }
    bool closing = !rest.empty() && rest.back() == '\\';
    std::vector<std::string> parts;
    size_t start = 0;
    while (start <= rest.size()) {
        size_t end = rest.find('\\', start);
        if (end == std::string::npos) end = rest.size();
        std::string part = rest.substr(start, end - start);
        if (part == "..") {
            if (!parts.empty()) parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        start = end + 1;
    }
    std::string out = root;
    for (size_t i = 0; i < parts.size(); ++i) {
        if (i > 0) out += '\\';
        out += parts[i];
    }
    if (closing && !parts.empty()) out += '\\';
    return out;
}

std::string FolderOf(const std::string& path)
{
    size_t slash = path.rfind('\\');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

}  // namespace

std::string PercentDecoded(const std::string& text)
{
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size() && IsHexDigit(text[i + 1]) && IsHexDigit(text[i + 2])) {
            out += static_cast<char>(HexValue(text[i + 1]) * 16 + HexValue(text[i + 2]));
            i += 2;
        } else {
            out += text[i];
        }
    }
    return out;
}

void AppendPagePath(std::string& path, const char* at, const char* end)
{
    while (at < end) {
        const char* plain = at;
        while (plain < end && *plain != '%' && *plain != '/') ++plain;
        path.append(at, plain);
        at = plain;
        if (at == end) break;
        if (*at == '/') {
            path += '\\';
            at += 1;
        } else if (end - at >= 3 && at[1] == '2' && (at[2] == '0' || at[2] == '3')) {
            path += at[2] == '0' ? ' ' : '#';
            at += 3;
        } else {
            path += '%';
            at += 1;
        }
    }
}

int LinkHasScheme(const std::string& text)
{
    size_t colon = text.find(':');
    if (colon == std::string::npos || colon < 2 || !std::isalpha(static_cast<unsigned char>(text[0])))
        return 0;
    for (size_t i = 1; i < colon; ++i) {
        char c = text[i];
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '+' && c != '-' && c != '.') return 0;
    }
    return 1;
}

BrowserTarget BrowserResolveTarget(const std::string& target, const std::string& currentPath,
                                   const std::string& baseFolder)
{
    BrowserTarget result;
    std::string text = target;
    size_t hash = text.find('#');
    if (hash != std::string::npos) {
        result.anchor = PercentDecoded(text.substr(hash + 1));
        text.resize(hash);
    }
    if (text.empty()) {
        if (!result.anchor.empty()) result.path = currentPath;
        return result;
    }
    std::string lower = Lower(text);
    if (lower.rfind("file:", 0) == 0) {
        text = text.substr(5);
        size_t slashes = 0;
        while (slashes < text.size() && (text[slashes] == '/' || text[slashes] == '\\')) ++slashes;
        // "file:///C:/x" names a drive, "file://server/share" (or with four
        // or five slashes) a network share, and "file:///usr/x" a folder
        // from the root of the drive.
        const std::string rest = text.substr(slashes);
        if ((slashes == 2 || slashes >= 4) && !StartsWithDrive(rest)) text = "\\\\" + rest;
        else if (slashes > 0 && !StartsWithDrive(rest)) text = "\\" + rest;
        else text = rest;
    } else if (LinkHasScheme(text)) {
        result.external = target;
        result.anchor.clear();
        return result;
    }
    size_t query = text.find('?');
    if (query != std::string::npos) text.resize(query);
    // "?q" alone asks the current page again.
    if (text.empty()) {
        result.path = currentPath;
        return result;
    }
    text = PercentDecoded(text);
    for (char& c : text)
        if (c == '/') c = '\\';
    // A folder with an anchor is what an in-page link ("#A" at the start of a
    // line) becomes in a display copy; it can only mean this page.
    if (!result.anchor.empty() && !text.empty() && text.back() == '\\' && !currentPath.empty()) {
        result.path = currentPath;
        return result;
    }
    std::string path;
    if (StartsWithDrive(text) || text.rfind("\\\\", 0) == 0) {
        path = text;
    } else {
        const std::string folder = baseFolder.empty() ? FolderOf(currentPath) : baseFolder;
        if (text[0] == '\\') path = StartsWithDrive(folder) ? folder.substr(0, 2) + text : text;
        else path = folder + text;
    }
    result.path = FoldPath(path);
    return result;
}
