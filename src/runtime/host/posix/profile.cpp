// Our own reader and writer of the private-profile format, for hosts
// without the platform's functions.
#include "runtime/profile.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "runtime/hostpath.h"

namespace {

// A line and the line end it had in the file ("" for a last line without
// one), so that a rewrite can give back every untouched line byte for byte.
struct ProfileLine {
    std::string text;
    std::string end;
};

std::vector<ProfileLine> SplitLines(const std::string& bytes)
{
    std::vector<ProfileLine> lines;
    size_t start = 0;
    while (start < bytes.size()) {
        size_t stop = bytes.find_first_of("\r\n", start);
        if (stop == std::string::npos) {
            lines.push_back({bytes.substr(start), ""});
            break;
        }
        size_t endLength =
            (bytes[stop] == '\r' && stop + 1 < bytes.size() && bytes[stop + 1] == '\n') ? 2 : 1;
        lines.push_back({bytes.substr(start, stop - start), bytes.substr(stop, endLength)});
        start = stop + endLength;
    }
    return lines;
}

std::string Trim(const std::string& text)
{
    size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return "";
    size_t last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

char AsciiLower(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool SameName(const std::string& a, const std::string& b)
{
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
    return true;
}

// The line as the parser sees it: an editor's UTF-8 mark before the first
// line is not part of the section name.
std::string Content(const std::vector<ProfileLine>& lines, size_t index)
{
    const std::string& text = lines[index].text;
    if (index == 0 && text.compare(0, 3, "\xEF\xBB\xBF") == 0) return text.substr(3);
    return text;
}

bool IsSectionHeader(const std::string& line, std::string& name)
{
    std::string trimmed = Trim(line);
    if (trimmed.empty() || trimmed[0] != '[') return false;
    size_t close = trimmed.find(']');
    name = Trim(trimmed.substr(1, close == std::string::npos ? std::string::npos : close - 1));
    return true;
}

bool IsKeyLine(const std::string& line, std::string& key, std::string& value)
{
    std::string trimmed = Trim(line);
    if (trimmed.empty() || trimmed[0] == ';' || trimmed[0] == '[') return false;
    size_t equals = trimmed.find('=');
    if (equals == std::string::npos) return false;
    key = Trim(trimmed.substr(0, equals));
    value = Trim(trimmed.substr(equals + 1));
    return !key.empty();
}

// Where a key stands: the first section of that name, the first key of that
// name inside it, and the index just past the section's last line. -1 for
// what is missing.
struct ProfilePlace {
    long header = -1;
    long key = -1;
    long sectionEnd = -1;
};

ProfilePlace FindKey(const std::vector<ProfileLine>& lines, const std::string& section,
                     const std::string& key)
{
    ProfilePlace place;
    for (size_t i = 0; i < lines.size(); ++i) {
        std::string line = Content(lines, i);
        std::string name, value;
        if (IsSectionHeader(line, name)) {
            if (place.header >= 0) {
                place.sectionEnd = static_cast<long>(i);
                return place;
            }
            if (SameName(name, section)) place.header = static_cast<long>(i);
        } else if (place.header >= 0 && place.key < 0 && IsKeyLine(line, name, value) &&
                   SameName(name, key)) {
            place.key = static_cast<long>(i);
        }
    }
    if (place.header >= 0) place.sectionEnd = static_cast<long>(lines.size());
    return place;
}

// As the platform does: a value in matching quotes is given without them.
std::string Unquote(const std::string& value)
{
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
        return value.substr(1, value.size() - 2);
    return value;
}

// 1 and the bytes of the file; 1 and "" when it does not exist; 0 when
// something else stands there or it cannot be read.
int ReadWholeFile(const std::string& hostPath, std::string& bytes)
{
    bytes.clear();
    struct stat info {};
    if (stat(hostPath.c_str(), &info) != 0) return errno == ENOENT ? 1 : 0;
    if (!S_ISREG(info.st_mode)) return 0;
    int fd = open(hostPath.c_str(), O_RDONLY);
    if (fd < 0) return 0;
    char buffer[8192];
    for (;;) {
        ssize_t got = read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) {
            close(fd);
            return 0;
        }
        if (got == 0) break;
        bytes.append(buffer, static_cast<size_t>(got));
    }
    close(fd);
    return 1;
}

int WriteAll(int fd, const std::string& bytes)
{
    size_t done = 0;
    while (done < bytes.size()) {
        ssize_t put = write(fd, bytes.data() + done, bytes.size() - done);
        if (put < 0 && errno == EINTR) continue;
        if (put <= 0) return 0;
        done += static_cast<size_t>(put);
    }
    return 1;
}

// Writes the new contents beside the file and renames them over it, so that
// a full disk or a crash leaves the old settings rather than half of them.
int ReplaceFile(const std::string& hostPath, const std::string& bytes)
{
    std::string target = hostPath;
    char resolved[PATH_MAX];
    if (realpath(hostPath.c_str(), resolved)) target = resolved;  // write through a link

    struct stat info {};
    bool existed = stat(target.c_str(), &info) == 0;
    mode_t mask = umask(0);
    umask(mask);
    mode_t mode = existed ? (info.st_mode & 07777) : (0666 & ~mask);

    std::string temporary = target + ".XXXXXX";
    int fd = mkstemp(temporary.data());
    if (fd < 0) return 0;
    bool good = fchmod(fd, mode) == 0 && WriteAll(fd, bytes) && fsync(fd) == 0;
    good = (close(fd) == 0) && good;
    if (good) good = rename(temporary.c_str(), target.c_str()) == 0;
    if (!good) unlink(temporary.c_str());
    return good ? 1 : 0;
}

bool HasLineBreak(const std::string& text)
{
    return text.find_first_of("\r\n") != std::string::npos;
}

void EnsureLineEnd(std::vector<ProfileLine>& lines, size_t index)
{
    if (index < lines.size() && lines[index].end.empty()) lines[index].end = "\r\n";
}

bool IsBlank(const std::string& text)
{
    return Trim(text).empty();
}

std::string JoinLines(const std::vector<ProfileLine>& lines)
{
    std::string bytes;
    for (const auto& line : lines) bytes += line.text + line.end;
    return bytes;
}

}  // namespace

std::string ProfileGetString(const std::string& section, const std::string& key,
                             const std::string& defaultValue, int size, const std::string& fileName)
{
    if (size < 1) return "";
    std::string result = defaultValue;
    std::string bytes;
    std::string hostPath = HostPathFromWindows(fileName);
    if (!hostPath.empty() && ReadWholeFile(hostPath, bytes)) {
        std::vector<ProfileLine> lines = SplitLines(bytes);
        ProfilePlace place = FindKey(lines, section, key);
        std::string name, value;
        if (place.key >= 0 && IsKeyLine(Content(lines, static_cast<size_t>(place.key)), name, value))
            result = Unquote(value);
    }
    size_t room = static_cast<size_t>(size) - 1;
    if (result.size() > room) result.resize(room);
    return result;
}

int ProfileWriteString(const std::string& section, const std::string& key, const std::string& value,
                       const std::string& fileName)
{
    // A line break or a misplaced bracket or "=" would write a line that
    // reads back as another key or section.
    if (Trim(key).empty() || key.find('=') != std::string::npos || section.find(']') != std::string::npos ||
        HasLineBreak(section) || HasLineBreak(key) || HasLineBreak(value))
        return 0;
    std::string hostPath = HostPathFromWindows(fileName);
    std::string bytes;
    if (hostPath.empty() || !ReadWholeFile(hostPath, bytes)) return 0;

    std::vector<ProfileLine> lines = SplitLines(bytes);
    ProfilePlace place = FindKey(lines, section, key);
    if (place.key >= 0) {
        // The key keeps the spelling the file has; a key line never comes
        // first, as a section header stands before it.
        std::string name, oldValue;
        IsKeyLine(lines[static_cast<size_t>(place.key)].text, name, oldValue);
        lines[static_cast<size_t>(place.key)] = {name + "=" + value, "\r\n"};
    } else if (place.header >= 0) {
        // After the section's last non-blank line, so that the blank lines
        // that part it from the next section stay where they are.
        size_t at = static_cast<size_t>(place.sectionEnd);
        while (at > static_cast<size_t>(place.header) + 1 && IsBlank(lines[at - 1].text)) --at;
        EnsureLineEnd(lines, at - 1);
        lines.insert(lines.begin() + static_cast<long>(at), ProfileLine{Trim(key) + "=" + value, "\r\n"});
    } else {
        if (!lines.empty()) EnsureLineEnd(lines, lines.size() - 1);
        lines.push_back({"[" + Trim(section) + "]", "\r\n"});
        lines.push_back({Trim(key) + "=" + value, "\r\n"});
    }
    return ReplaceFile(hostPath, JoinLines(lines));
}
