// Our own reader and writer of the private-profile format. The file is read
// as a stream, a line at a time and of each line only its start, so a file
// or a value of hundreds of megabytes costs a bounded amount of memory; the
// writer copies every line it does not change byte for byte into a new
// version that takes the file's place in one step (runtime/rewrite.h).
#include "runtime/profile.h"

#include <algorithm>
#include <vector>

#include "runtime/files.h"
#include "runtime/hostfile.h"
#include "runtime/rewrite.h"
#include "runtime/text.h"

namespace {

// Of each line only this much is looked at; what follows is copied
// unseen. Names and the start of a value fit with room to spare.
constexpr size_t LineRoom = 64 * 1024;
constexpr size_t BlockSize = 64 * 1024;
// A settings file is a few hundred bytes, read a value at a time at every
// start: the reader's block, cleared at each read, is kept small.
constexpr size_t ReadBlockSize = 4 * 1024;
// The writer's own file number: settings are written between commands,
// when no page is open.
constexpr int ProfileFileNumber = 0;

// One line as the scan sees it: its start, whether there was more, whether
// it is blank (spaces and tabs only), its last character that is not
// blank, and where it lies in the file (`end` is past its line end).
struct ScannedLine {
    std::string head;
    bool cut = false;
    bool blank = true;
    char lastNonBlank = 0;
    bool hasEnd = false;
    long long start = 0;
    long long end = 0;
};

// Reads a file line by line in blocks, from the file or from a copy of
// its bytes kept in memory.
struct LineReader {
    HostFile file = NoHostFile;
    const std::string* kept = nullptr;
    std::vector<char> block = std::vector<char>(ReadBlockSize);
    size_t at = 0;
    size_t filled = 0;
    long long offset = 0;  // of block[at] in the file
    bool pendingCr = false;
};

bool Refill(LineReader& reader)
{
    if (reader.at < reader.filled) return true;
    if (reader.kept) {
        const size_t from = std::min(reader.kept->size(), static_cast<size_t>(reader.offset));
        reader.filled = std::min(reader.block.size(), reader.kept->size() - from);
        std::copy_n(reader.kept->data() + from, reader.filled, reader.block.data());
    } else {
        reader.filled = HostFileRead(reader.file, reader.block.data(), reader.block.size());
    }
    reader.at = 0;
    return reader.filled > 0;
}

bool IsBlankByte(char c)
{
    return c == ' ' || c == '\t';
}

// Takes the bytes up to the next line end (or the block's end) into the line.
void TakeRun(LineReader& reader, ScannedLine& line, const char* begin, const char* end)
{
    size_t room = LineRoom - std::min(LineRoom, line.head.size());
    size_t kept = std::min(room, static_cast<size_t>(end - begin));
    line.head.append(begin, kept);
    line.cut = line.cut || kept < static_cast<size_t>(end - begin);
    auto solid = std::find_if(std::make_reverse_iterator(end), std::make_reverse_iterator(begin),
                              [](char c) { return !IsBlankByte(c); });
    if (solid != std::make_reverse_iterator(begin)) {
        line.blank = false;
        line.lastNonBlank = *solid;
    }
    reader.at += static_cast<size_t>(end - begin);
    reader.offset += end - begin;
}

// A line ends at CR LF, a lone CR or a lone LF; false at the end of the file.
bool ReadLine(LineReader& reader, ScannedLine& line)
{
    line = ScannedLine{};
    line.start = reader.offset;
    bool any = false;
    while (Refill(reader)) {
        any = true;
        const char* begin = reader.block.data() + reader.at;
        const char* stop = reader.block.data() + reader.filled;
        const char* end = std::find_if(begin, stop, [](char c) { return c == '\r' || c == '\n'; });
        TakeRun(reader, line, begin, end);
        if (end == stop) continue;
        line.hasEnd = true;
        const char ended = *end;
        reader.at += 1;
        reader.offset += 1;
        if (ended == '\r' && Refill(reader) && reader.block[reader.at] == '\n') {
            reader.at += 1;
            reader.offset += 1;
        }
        break;
    }
    line.end = reader.offset;
    return any;
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

// Where a key stands: the line of the key in the first section of that
// name, and where a new key line would go (after the section's last line
// that is not blank). -1 for what is missing.
struct ProfilePlace {
    bool section = false;
    ScannedLine key;
    bool keyFound = false;
    long long insertAt = -1;
    bool insertNeedsEnd = false;  // the line before has no line end
    bool lastHasEnd = true;
};

// The line as the parser sees it: an editor's UTF-8 mark before the first
// line is not part of the section name.
std::string Content(const ScannedLine& line)
{
    if (line.start == 0 && line.head.compare(0, 3, "\xEF\xBB\xBF") == 0) return line.head.substr(3);
    return line.head;
}

ProfilePlace FindKey(LineReader& reader, const std::string& section, const std::string& key)
{
    ProfilePlace place;
    ScannedLine line;
    while (ReadLine(reader, line)) {
        place.lastHasEnd = line.hasEnd;
        std::string content = Content(line);
        std::string name, value;
        if (IsSectionHeader(content, name)) {
            if (place.section) return place;
            if (!SameName(name, section)) continue;
            place.section = true;
            place.insertAt = line.end;
            place.insertNeedsEnd = !line.hasEnd;
        } else if (place.section) {
            if (!line.blank) {
                place.insertAt = line.end;
                place.insertNeedsEnd = !line.hasEnd;
            }
            if (!place.keyFound && IsKeyLine(content, name, value) && SameName(name, key)) {
                place.key = line;
                place.keyFound = true;
            }
        }
    }
    return place;
}

ProfilePlace FindKey(HostFile file, const std::string& section, const std::string& key)
{
    LineReader reader;
    reader.file = file;
    return FindKey(reader, section, key);
}

// Start-up asks a dozen values of one file of a few hundred bytes: while
// kept, the file is read once (a missing one holds nothing).
struct KeptFile {
    bool keeping = false;
    bool held = false;
    bool whole = false;  // not when larger than is kept
    std::string name;
    std::string bytes;
};

KeptFile& Kept()
{
    static KeptFile kept;
    return kept;
}

void ReadKept(KeptFile& kept, const std::string& fileName)
{
    kept.held = true;
    kept.whole = true;
    kept.name = fileName;
    kept.bytes.clear();
    HostFile file = HostFileOpenRead(fileName);
    if (file == NoHostFile) return;
    std::vector<char> block(ReadBlockSize);
    while (size_t got = HostFileRead(file, block.data(), block.size())) {
        if (kept.bytes.size() + got > LineRoom) {
            kept.whole = false;
            kept.bytes.clear();
            break;
        }
        kept.bytes.append(block.data(), got);
    }
    HostFileClose(file);
}

// The kept bytes of the file; nullptr when not kept, or too large to keep:
// a file of any size is read a block at a time, as when not kept.
const std::string* KeptBytes(const std::string& fileName)
{
    KeptFile& kept = Kept();
    if (!kept.keeping) return nullptr;
    if (!kept.held || kept.name != fileName) ReadKept(kept, fileName);
    return kept.whole ? &kept.bytes : nullptr;
}

// As the platform does: a value in matching quotes is given without them.
// A line cut short is judged by its last character that is not blank.
std::string ValueOf(const ScannedLine& line)
{
    std::string name, value;
    IsKeyLine(Content(line), name, value);
    char last = line.cut ? line.lastNonBlank : (value.empty() ? 0 : value.back());
    size_t room = line.cut ? value.size() : value.size() - 1;
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && last == value.front())
        return value.substr(1, room - 1);
    return value;
}

bool HasLineBreak(const std::string& text)
{
    return text.find_first_of("\r\n") != std::string::npos;
}

constexpr long long ToTheEnd = -1;

// Reads the old file on from `at` up to `stop` (or to its end), copying the
// bytes into the new version or passing over them.
bool Pass(HostFile file, long long& at, long long stop, bool copy)
{
    if (file == NoHostFile) return true;
    std::vector<char> block(BlockSize);
    while (stop == ToTheEnd || at < stop) {
        long long left = stop == ToTheEnd ? static_cast<long long>(block.size()) : stop - at;
        size_t want = static_cast<size_t>(std::min<long long>(left, static_cast<long long>(block.size())));
        size_t got = HostFileRead(file, block.data(), want);
        if (got == 0) return stop == ToTheEnd;
        if (copy && !FileWriteBytes(block.data(), got)) return false;
        at += static_cast<long long>(got);
    }
    return true;
}

bool Put(const std::string& text)
{
    return FileWriteBytes(text.data(), text.size()) != 0;
}

// The old file, with the key's line replaced or a line for it added, as a
// new version under the writer's number.
bool WriteChanged(HostFile old, const ProfilePlace& place, const std::string& section, const std::string& key,
                  const std::string& value)
{
    long long at = 0;
    if (place.keyFound) {
        // The key keeps the spelling the file has.
        std::string name, oldValue;
        IsKeyLine(Content(place.key), name, oldValue);
        return Pass(old, at, place.key.start, true) && Put(name + "=" + value + "\r\n") &&
               Pass(old, at, place.key.end, false) && Pass(old, at, ToTheEnd, true);
    }
    if (place.section) {
        return Pass(old, at, place.insertAt, true) &&
               Put((place.insertNeedsEnd ? "\r\n" : "") + Trim(key) + "=" + value + "\r\n") &&
               Pass(old, at, ToTheEnd, true);
    }
    return Pass(old, at, ToTheEnd, true) &&
           Put((place.lastHasEnd ? "" : "\r\n") + ("[" + Trim(section) + "]\r\n") + Trim(key) + "=" + value +
               "\r\n");
}

}  // namespace

std::string ProfileReadString(const std::string& section, const std::string& key,
                              const std::string& defaultValue, int size, const std::string& fileName)
{
    if (size < 1) return "";
    std::string result = defaultValue;
    if (const std::string* kept = KeptBytes(fileName)) {
        LineReader reader;
        reader.kept = kept;
        const ProfilePlace place = FindKey(reader, section, key);
        if (place.keyFound) result = ValueOf(place.key);
    } else if (HostFile file = HostFileOpenRead(fileName); file != NoHostFile) {
        const ProfilePlace place = FindKey(file, section, key);
        HostFileClose(file);
        if (place.keyFound) result = ValueOf(place.key);
    }
    size_t room = static_cast<size_t>(size) - 1;
    if (result.size() > room) result.resize(room);
    return result;
}

void ProfileKeep(int keep)
{
    KeptFile& kept = Kept();
    kept = KeptFile{};
    kept.keeping = keep != 0;
}

int ProfileWriteString(const std::string& section, const std::string& key, const std::string& value,
                       const std::string& fileName)
{
    // A line break or a misplaced bracket or "=" would write a line that
    // reads back as another key or section.
    if (Trim(key).empty() || key.find('=') != std::string::npos || section.find(']') != std::string::npos ||
        HasLineBreak(section) || HasLineBreak(key) || HasLineBreak(value))
        return 0;
    // What is kept of the file is no longer what it holds.
    Kept().held = false;
    // The settings file belongs to the user, who may keep it elsewhere
    // behind a link; something that is no plain file, such as a pipe or a
    // folder, is refused and left alone.
    if (RewriteBeginFollowing(ProfileFileNumber, fileName) != Rewrite::Done) return 0;
    ProfilePlace place;
    HostFile old = NoHostFile;
    if (PathSize(fileName) != -1) {
        old = HostFileOpenRead(fileName);
        if (old != NoHostFile) place = FindKey(old, section, key);
        if (old == NoHostFile || !HostFileRewind(old)) {
            FileFailureNote(FileFailureKind::System, fileName);
            if (old != NoHostFile) HostFileClose(old);
            FileClose(ProfileFileNumber);
            return 0;
        }
    }
    bool written = WriteChanged(old, place, section, key, value);
    if (old != NoHostFile) HostFileClose(old);
    if (!written) {
        FileClose(ProfileFileNumber);
        return 0;
    }
    return RewriteCommit(ProfileFileNumber) == Rewrite::Done ? 1 : 0;
}
