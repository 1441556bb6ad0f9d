#include "helpindex/contextlist.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "runtime/codepage.h"
#include "runtime/hostfile.h"
#include "runtime/links.h"
#include "runtime/requesters.h"
#include "runtime/text.h"
#include "state/state.h"
#include "state/texts.h"

namespace {

const std::string LinkStart = "<a href=";

// Eight bytes at a time: an index page is mostly ASCII.
bool HasHighByte(std::string_view text)
{
    constexpr uint64_t highs = 0x8080808080808080ull;
    const char* at = text.data();
    const char* const stop = at + text.size();
    uint64_t any = 0;
    for (; stop - at >= 8; at += 8) {
        uint64_t word;
        std::memcpy(&word, at, 8);
        any |= word;
    }
    for (; at < stop; ++at) any |= static_cast<unsigned char>(*at);
    return (any & highs) != 0;
}

// A text that is plain ASCII is upper-cased as it is copied; TextUpperCase
// gives the same bytes for it without the copies it needs for the other
// characters.
void SetKeyword(ContextEntry& entry, const char* text, const char* end)
{
    unsigned char any = 0;
    bool lower = false;
    for (const char* at = text; at < end; ++at) {
        const auto c = static_cast<unsigned char>(*at);
        any |= c;
        lower |= c >= 'a' && c <= 'z';
    }
    const size_t size = static_cast<size_t>(end - text);
    if (any & 0x80) {
        const std::string spelled(text, size);
        entry.keyword = TextUpperCase(spelled);
        if (entry.keyword != spelled) entry.spelling = spelled;
        return;
    }
    entry.keyword.resize(size);
    char* out = entry.keyword.data();
    for (const char* at = text; at < end; ++at)
        *out++ = *at >= 'a' && *at <= 'z' ? static_cast<char>(*at - 0x20) : *at;
    if (lower) entry.spelling.assign(text, size);
}

void ReadLink(std::string_view line, ContextEntry& entry)
{
    if (line.size() <= 9) return;
    const char* const stop = line.data() + line.size();
    const char* const target = line.data() + 9;
    // The target's end, and whether it is plain ASCII, in one pass.
    unsigned char any = 0;
    bool percent = false;
    const char* quote = target;
    for (; quote < stop && *quote != '"'; ++quote) {
        any |= static_cast<unsigned char>(*quote);
        percent |= *quote == '%';
    }
    if (quote == stop) return;
    // The same as PagePathFromAddress of "********" + target. A UTF-8 index
    // names its pages as Windows opens them: in Windows-1252 where the
    // characters allow. An ASCII target is the same in both.
    if (any & 0x80) {
        std::string path;
        AppendPagePath(path, target, quote);
        entry.page = State.helpFolder + TextToAnsi(path);
    } else if (percent) {
        entry.page.reserve(State.helpFolder.size() + static_cast<size_t>(quote - target));
        entry.page.append(State.helpFolder);
        AppendPagePath(entry.page, target, quote);
    } else {
        // Only its slashes change.
        entry.page.reserve(State.helpFolder.size() + static_cast<size_t>(quote - target));
        entry.page.assign(State.helpFolder);
        entry.page.resize(entry.page.size() + static_cast<size_t>(quote - target));
        char* out = entry.page.data() + State.helpFolder.size();
        for (const char* at = target; at < quote; ++at) *out++ = *at == '/' ? '\\' : *at;
    }
    if (stop - quote < 2) return;
    const char* const text = quote + 2;
    const auto* close = static_cast<const char*>(std::memchr(text, '<', static_cast<size_t>(stop - text)));
    if (!close) return;
    SetKeyword(entry, text, close);
}

bool StartsLink(std::string_view line)
{
    return line.size() >= LinkStart.size() && line.compare(0, LinkStart.size(), LinkStart) == 0;
}

// The whole file, or false when it cannot be opened. Opened as the file
// services open a file to read, so the same files are refused.
bool ReadWhole(const std::string& name, std::string& bytes)
{
    HostFile file = HostFileOpenRead(name);
    if (file == NoHostFile) return false;
    // Room for the whole file and a byte more, so that the read that finds
    // its end needs no more room; a file that grows meanwhile still fits.
    const int32_t size = HostFileSize(name);
    size_t have = 0;
    bytes.resize(size > 0 ? static_cast<size_t>(size) + 1 : 64 * 1024);
    while (true) {
        if (have == bytes.size()) bytes.resize(bytes.size() * 2);
        size_t got = HostFileRead(file, bytes.data() + have, bytes.size() - have);
        if (got == 0) break;
        have += got;
    }
    bytes.resize(have);
    HostFileClose(file);
    return true;
}

// What a vote line by line over the file would say (EncodingNoteLine). The
// line ends are ASCII, so the file is UTF-8 exactly when each of its lines
// is; only the lines that name a charset need a look of their own.
EncodingVote VoteOnWhole(const std::string& bytes)
{
    EncodingVote vote;
    if (HasHighByte(bytes)) {
        if (TextIsUtf8(bytes)) vote.utf8Lines = 1;
        else vote.ansiLines = 1;
    }
    const char* const begin = bytes.data();
    const char* const stop = begin + bytes.size();
    size_t at = bytes.find("harset");
    while (at != std::string::npos) {
        const char* lineStart = begin + at;
        while (lineStart > begin && lineStart[-1] != '\r' && lineStart[-1] != '\n' && lineStart[-1] != '\0')
            --lineStart;
        const char* lineEnd = TextLineEnd(begin + at, stop);
        EncodingNoteLine(vote, std::string(lineStart, lineEnd));
        at = bytes.find("harset", static_cast<size_t>(lineEnd - begin));
    }
    return vote;
}

}  // namespace

void ReadLinkLine(const std::string& line, ContextEntry& entry)
{
    ReadLink(line, entry);
}

int IsLinkLine(const std::string& line)
{
    return line.compare(0, LinkStart.size(), LinkStart) == 0 ? 1 : 0;
}

std::string LinkLineText(const std::string& line)
{
    if (line.size() <= 9) return "";
    size_t quote = line.find('"', 9);
    if (quote == std::string::npos) return "";
    size_t textStart = quote + 2;
    if (textStart > line.size()) return "";
    size_t textEnd = line.find('<', textStart);
    if (textEnd == std::string::npos) textEnd = line.size();
    return TextUpperCase(line.substr(textStart, textEnd - textStart));
}

std::string PagePathFromAddress(const std::string& address)
{
    std::string path;
    if (address.size() <= 8) return path;
    path.reserve(address.size() - 8);
    AppendPagePath(path, address.data() + 8, address.data() + address.size());
    return path;
}

ContextEntry& InsertContextSorted(const std::string& keyword, const std::string& page, KeywordCompare compare,
                                  SameKeyword same)
{
    ContextList& list = State.contextList;
    ListRewind(list);
    bool sortsAfter = false;
    while (ListNext(list)) {
        const std::string& stored = list.current->record.keyword;
        const std::string key = compare == KeywordCompare::UpperCased ? TextToUpper(stored) : stored;
        if (TextGreater(key, keyword)) {
            sortsAfter = true;
            break;
        }
    }
    // The cursor goes to the candidate: the entry before the first one that
    // sorts after the keyword, or the last entry, or none.
    if (sortsAfter && !ListPrevious(list)) ListRewind(list);
    if (same == SameKeyword::UpdatePage && list.current &&
        TextEquals(list.current->record.keyword, keyword)) {
        list.current->record.page = page;
        return list.current->record;
    }
    ContextEntry& entry = ListInsert(list)->record;
    entry.keyword = keyword;
    entry.page = page;
    return entry;
}

int BuildContextList()
{
    ContextList& list = State.contextList;
    ListCreate(list);
    State.indexUtf8 = 0;
    std::string bytes;
    if (!ReadWhole(State.helpFolder + "index.htm", bytes)) {
        MessageAsk(TitleBrowser, NoContextListText, MessageOk);
        return 0;
    }
    // Lines as the file services read them: CR LF is one line end, and a
    // lone CR, LF or NUL another.
    const char* at = bytes.data();
    const char* const stop = at + bytes.size();
    do {
        const char* end = TextLineEnd(at, stop);
        const std::string_view line(at, static_cast<size_t>(end - at));
        // The entry exists before the line is parsed, so a malformed link
        // line still holds its place in the list.
        if (StartsLink(line)) ReadLink(line, ListInsert(list)->record);
        at = end;
        if (at < stop && *at++ == '\r' && at < stop && *at == '\n') ++at;
    } while (at < stop);
    State.indexUtf8 = EncodingIsUtf8(VoteOnWhole(bytes));
    return 1;
}
