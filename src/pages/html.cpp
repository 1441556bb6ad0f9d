#include "pages/html.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <string_view>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "runtime/codepage.h"
#include "runtime/files.h"
#include "runtime/pagebytes.h"
#include "runtime/rewrite.h"
#include "runtime/text.h"

namespace {

// The text is written through a pointer into room made ready beforehand for
// the most it can come to, so no write has to ask for room. A space waits
// until the next character, so none stands at either end or twice in a row.
struct TextWriter {
    char* start = nullptr;
    char* at = nullptr;
    bool space = false;
};

// Each byte read gives at most three of text (a Windows-1252 byte beyond
// ASCII); references and white space give fewer than they take.
size_t TextRoom(size_t bytes)
{
    return bytes * 3 + 16;
}

void Put(TextWriter& out, const char* data, size_t size)
{
    if (out.space) {
        if (out.at != out.start) *out.at++ = ' ';
        out.space = false;
    }
    std::memcpy(out.at, data, size);
    out.at += size;
}

struct TextReader {
    TextWriter out;
    PageText& page;
    bool windows1252 = false;  // the page's bytes beyond ASCII are Windows-1252, not UTF-8
    bool titleSeen = false;
    const char* linkFrom = nullptr;  // where the text of the open link began
};

size_t ReadReference(TextReader& reader, std::string_view page, size_t at)
{
    uint32_t code = 0;
    size_t length = ReadCharacterReference(page, at, code);
    if (length == 0) {
        Put(reader.out, "&", 1);
        return at + 1;
    }
    // A reference to white space or a control character parts words as the
    // bytes themselves do.
    if (code == 0xA0 || code <= 0x20 || code == 0x7F) {
        reader.out.space = true;
    } else {
        char character[4];
        Put(reader.out, character, Utf8Encode(code, character));
    }
    return at + length;
}

void ReadText(TextReader& reader, std::string_view text, bool markup);

// A title holds text only, "<b>" included.
void ReadTitle(TextReader& reader, std::string_view title)
{
    std::vector<char>& room = reader.page.titleRoom;
    if (room.size() < TextRoom(title.size())) room.resize(TextRoom(title.size()));
    TextReader inside{{room.data(), room.data()}, reader.page, reader.windows1252, true};
    ReadText(inside, title, false);
    reader.page.title.assign(room.data(), static_cast<size_t>(inside.out.at - room.data()));
}

size_t ReadTag(TextReader& reader, std::string_view page, size_t at)
{
    if (at + 1 < page.size() && (page[at + 1] == '!' || page[at + 1] == '?')) {
        reader.out.space = true;
        return MarkupDeclarationEnd(page, at);
    }
    bool closing = at + 1 < page.size() && page[at + 1] == '/';
    size_t nameStart = at + 1 + (closing ? 1 : 0);
    if (nameStart >= page.size() || !IsAsciiLetter(static_cast<unsigned char>(page[nameStart]))) {
        Put(reader.out, "<", 1);  // "a < b" is text
        return at + 1;
    }
    TagName tag = ReadTagName(page, nameStart);
    size_t end = TagEnd(page, tag.end);
    // Every tag parts words: "Syntax</p><pre>PRINT" is two words, not one.
    reader.out.space = true;
    if (NameIs(tag, "a")) {
        if (closing && reader.linkFrom)
            reader.page.linkText += static_cast<size_t>(reader.out.at - reader.linkFrom);
        reader.linkFrom = closing ? nullptr : reader.out.at;
    }
    if (closing || (tag.name[0] != 's' && tag.name[0] != 't')) return end;
    if (NameIs(tag, "script") || NameIs(tag, "style")) return RawTextEnd(page, end, tag.name);
    if (NameIs(tag, "title")) {
        // The first title is the page's; none is part of its text.
        if (!reader.titleSeen) ReadTitle(reader, page.substr(end, RawTextClose(page, end, "title") - end));
        reader.titleSeen = true;
        return RawTextEnd(page, end, "title");
    }
    return end;
}

// What a byte is to a run of plain text: part of it, a space (part of it
// between two plain bytes), or its end: markup, references, other white
// space and control bytes (DEL too), and the lead byte of a UTF-8 no-break
// space.
constexpr unsigned char PlainByte = 0;
constexpr unsigned char SpaceByte = 1;
constexpr unsigned char EndByte = 2;
struct ByteClasses {
    unsigned char utf8[256] = {};
    unsigned char windows1252[256] = {};
    constexpr ByteClasses()
    {
        for (int c = 0; c < 0x20; ++c) utf8[c] = windows1252[c] = EndByte;
        utf8[0x20] = windows1252[0x20] = SpaceByte;
        utf8[0x7F] = windows1252[0x7F] = EndByte;
        utf8[static_cast<unsigned char>('<')] = windows1252[static_cast<unsigned char>('<')] = EndByte;
        utf8[static_cast<unsigned char>('&')] = windows1252[static_cast<unsigned char>('&')] = EndByte;
        utf8[0xC2] = EndByte;
        for (int c = 0x80; c <= 0xFF; ++c) windows1252[c] = EndByte;
    }
};
constexpr ByteClasses Classes;

// Eight bytes at a time, as one number: the byte at the lowest address is
// the lowest (every host Kelpra is built for is little-endian). A mask
// holds 0x80 in each byte that passes, exactly, with no carry from one
// byte into the next.
static_assert(std::endian::native == std::endian::little);
constexpr uint64_t EveryByte = 0x0101010101010101ULL;
constexpr uint64_t HighBits = 0x8080808080808080ULL;
constexpr uint64_t LowBits = 0x7F7F7F7F7F7F7F7FULL;

uint64_t BytesEqual(uint64_t bytes, unsigned char c)
{
    const uint64_t diff = bytes ^ (EveryByte * c);
    return ~(((diff & LowBits) + LowBits) | diff) & HighBits;
}

// Bytes below `limit` (at most 0x80).
uint64_t BytesBelow(uint64_t bytes, unsigned char limit)
{
    return ~(((bytes & LowBits) + EveryByte * (0x80 - limit)) | bytes) & HighBits;
}

// The bytes that end a run, by the classes below: in a Windows-1252 page
// DEL and every byte beyond ASCII at once.
uint64_t EndBytes(uint64_t bytes, bool windows1252)
{
    const uint64_t fromDel = windows1252 ? ((bytes & LowBits) + EveryByte) | bytes
                                         : BytesEqual(bytes, 0x7F) | BytesEqual(bytes, 0xC2);
    return BytesBelow(bytes, 0x20) | BytesEqual(bytes, '<') | BytesEqual(bytes, '&') | (fromDel & HighBits);
}

#if defined(__SSE2__)
// The same sixteen bytes at a time, a bit for each, where the processor has
// SSE2 (every x86-64 one); the eight-byte test takes over near the end.
uint32_t EndBits(__m128i bytes, bool windows1252)
{
    const __m128i below = _mm_cmpeq_epi8(_mm_max_epu8(bytes, _mm_set1_epi8(0x1F)), _mm_set1_epi8(0x1F));
    const __m128i markup =
        _mm_or_si128(_mm_cmpeq_epi8(bytes, _mm_set1_epi8('<')), _mm_cmpeq_epi8(bytes, _mm_set1_epi8('&')));
    const __m128i fromDel = windows1252
                                ? _mm_cmpeq_epi8(_mm_max_epu8(bytes, _mm_set1_epi8(0x7F)), bytes)
                                : _mm_or_si128(_mm_cmpeq_epi8(bytes, _mm_set1_epi8(0x7F)),
                                               _mm_cmpeq_epi8(bytes, _mm_set1_epi8(static_cast<char>(0xC2))));
    return static_cast<uint32_t>(_mm_movemask_epi8(_mm_or_si128(_mm_or_si128(below, markup), fromDel)));
}

// Where the run from `at` stops within the sixteen bytes from `run`, as
// RunEnd has it below; 16 when it goes on past them.
size_t RunStop16(const unsigned char* data, size_t run, size_t at, bool windows1252,
                 const unsigned char* classes)
{
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + run));
    const uint32_t space =
        static_cast<uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, _mm_set1_epi8(' '))));
    const uint32_t end = EndBits(bytes, windows1252);
    const uint32_t beforeOther = ((space | end) >> 1) | (classes[data[run + 16]] != PlainByte ? 1u << 15 : 0);
    const uint32_t stop = end | (space & beforeOther) | (run == at ? space & 1 : 0);
    return stop == 0 ? 16 : static_cast<size_t>(std::countr_zero(stop));
}
#endif

// The end of the run of plain text from `at`. A single
// space between two plain bytes stays in it, so most runs are whole
// sentences rather than single words. Words are short, so the test is made
// on eight bytes at once rather than byte by byte with a branch at every
// space.
size_t RunEnd(const unsigned char* data, size_t size, size_t at, bool windows1252)
{
    const unsigned char* classes = windows1252 ? Classes.windows1252 : Classes.utf8;
    size_t run = at;
#if defined(__SSE2__)
    while (run + 16 < size) {
        const size_t stop = RunStop16(data, run, at, windows1252, classes);
        run += stop;
        if (stop < 16) return run;
    }
#endif
    // Eight bytes and the one after them, which tells whether the last
    // space of the eight stays in the run.
    while (run + 8 < size) {
        uint64_t bytes = 0;
        std::memcpy(&bytes, data + run, 8);
        const uint64_t space = BytesEqual(bytes, ' ');
        const uint64_t end = EndBytes(bytes, windows1252);
        const uint64_t beforeOther =
            ((space | end) >> 8) | (classes[data[run + 8]] != PlainByte ? HighBits << 56 : 0);
        // A space ends the run where another space or an end follows it,
        // and where it would begin the run.
        const uint64_t stop = end | (space & beforeOther) | (run == at ? space & 0x80 : 0);
        if (stop != 0) return run + static_cast<size_t>(std::countr_zero(stop) / 8);
        run += 8;
    }
    while (run < size) {
        const unsigned char here = classes[data[run]];
        const unsigned char next = run + 1 < size ? classes[data[run + 1]] : EndByte;
        if (here != PlainByte && (here != SpaceByte || run == at || next != PlainByte)) break;
        ++run;
    }
    return run;
}

// The text's spaces, counted once it is put together: every one of them
// parts two words, and counting them run by run cost more than this one
// pass over text the processor's cache still holds.
size_t SpacesIn(std::string_view text)
{
    size_t count = 0;
    size_t at = 0;
#if defined(__SSE2__)
    const __m128i space = _mm_set1_epi8(' ');
    const size_t whole = text.size() & ~size_t{15};
    while (at < whole) {
        // Each byte of the sum counts up to 255 blocks before they are added up.
        __m128i counts = _mm_setzero_si128();
        const size_t end = std::min(whole, at + 255 * 16);
        for (; at < end; at += 16) {
            const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text.data() + at));
            counts = _mm_sub_epi8(counts, _mm_cmpeq_epi8(bytes, space));
        }
        const __m128i sums = _mm_sad_epu8(counts, _mm_setzero_si128());
        count +=
            static_cast<size_t>(_mm_cvtsi128_si32(sums)) + static_cast<size_t>(_mm_extract_epi16(sums, 4));
    }
#endif
    return count +
           static_cast<size_t>(std::count(text.begin() + static_cast<std::ptrdiff_t>(at), text.end(), ' '));
}

// Each Windows-1252 byte beyond ASCII as UTF-8: its length, then its bytes.
struct Windows1252Utf8 {
    char bytes[128][4] = {};
    constexpr Windows1252Utf8()
    {
        for (int c = 0x80; c <= 0xFF; ++c) {
            char* out = bytes[c - 0x80];
            out[0] =
                static_cast<char>(Utf8Encode(Windows1252Character(static_cast<unsigned char>(c)), out + 1));
        }
    }
};
constexpr Windows1252Utf8 FromWindows1252;

// Text and, when `markup` is on, tags; a title's text has none. A
// Windows-1252 page's characters are turned into UTF-8 on the way.
void ReadText(TextReader& reader, std::string_view text, bool markup)
{
    const auto* data = reinterpret_cast<const unsigned char*>(text.data());
    TextWriter& out = reader.out;
    size_t at = 0;
    while (at < text.size()) {
        const size_t run = RunEnd(data, text.size(), at, reader.windows1252);
        if (run > at) {
            Put(out, text.data() + at, run - at);
            at = run;
            if (at == text.size()) break;
        }
        unsigned char c = data[at];
        if (c <= 0x20 || c == 0x7F) {
            out.space = true;
            ++at;
        } else if (c >= 0x80 && reader.windows1252) {
            const char* character = FromWindows1252.bytes[c - 0x80];
            if (c == 0xA0) out.space = true;
            else Put(out, character + 1, static_cast<size_t>(character[0]));
            ++at;
        } else if (c == 0xC2) {
            if (at + 1 < text.size() && data[at + 1] == 0xA0) {
                out.space = true;
                at += 2;
            } else {
                Put(out, text.data() + at, 1);
                ++at;
            }
        } else if (c == '&') {
            at = ReadReference(reader, text, at);
        } else if (markup) {
            at = ReadTag(reader, text, at);
        } else {
            Put(out, text.data() + at, 1);
            ++at;
        }
    }
}

// A tag's name as a number: its first eight letters and digits, lower-cased,
// the first in the lowest byte; 0 for a longer name, which is none of those
// looked for. One comparison then tells a tag by its whole name.
constexpr uint64_t NameCode(std::string_view name)
{
    uint64_t code = 0;
    for (size_t i = 0; i < name.size(); ++i)
        code |= static_cast<uint64_t>(static_cast<unsigned char>(name[i])) << (8 * i);
    return code;
}

uint64_t TagNameCode(std::string_view page, size_t at, size_t& end)
{
    uint64_t code = 0;
    size_t length = 0;
    while (at + length < page.size() && IsAsciiAlnum(static_cast<unsigned char>(page[at + length]))) {
        if (length < 8)
            code |= static_cast<uint64_t>(LowerAscii(static_cast<unsigned char>(page[at + length])))
                    << (8 * length);
        ++length;
    }
    end = at + length;
    return length > 8 ? 0 : code;
}

struct LinkTag {
    uint64_t name;
    const char* attribute;
    LinkKind kind;
};
constexpr LinkTag LinkTags[] = {
    {NameCode("a"), "href", LinkKind::Page},           {NameCode("area"), "href", LinkKind::Page},
    {NameCode("link"), "href", LinkKind::Page},        {NameCode("frame"), "src", LinkKind::Page},
    {NameCode("iframe"), "src", LinkKind::Page},       {NameCode("script"), "src", LinkKind::Page},
    {NameCode("img"), "src", LinkKind::Image},         {NameCode("input"), "src", LinkKind::Image},
    {NameCode("body"), "background", LinkKind::Image}, {NameCode("table"), "background", LinkKind::Image},
    {NameCode("td"), "background", LinkKind::Image},   {NameCode("th"), "background", LinkKind::Image},
};
constexpr uint64_t BodyName = NameCode("body");
constexpr uint64_t BaseName = NameCode("base");
constexpr uint64_t LinkName = NameCode("link");
constexpr uint64_t ScriptName = NameCode("script");
constexpr uint64_t StyleName = NameCode("style");

// The first two letters of the names looked for: most tags of a page (p,
// br, hr, pre, font, title) begin otherwise, and are passed without a look
// at the rest of their name. For each first letter, a bit for each second
// letter, and one for a name that ends after the first.
constexpr uint32_t OneLetterName = 1u << 26;
uint32_t SecondLetterBit(unsigned char c)
{
    c = LowerAscii(c);
    if (c >= 'a' && c <= 'z') return 1u << (c - 'a');
    return IsAsciiAlnum(c) ? 0 : OneLetterName;
}
struct LinkTagLetters {
    uint32_t second[256] = {};
    constexpr void Add(uint64_t name)
    {
        const unsigned char secondLetter = static_cast<unsigned char>(name >> 8);
        second[name & 0xFF] |= secondLetter == 0 ? OneLetterName : 1u << (secondLetter - 'a');
    }
    constexpr LinkTagLetters()
    {
        for (const LinkTag& tag : LinkTags) Add(tag.name);
        Add(BaseName);
        Add(StyleName);
    }
};
constexpr LinkTagLetters LinkLetters;

// Whether the tag whose name starts at `at` may be one looked for.
bool MayBeLinkTag(std::string_view page, size_t at)
{
    const uint32_t seconds = LinkLetters.second[LowerAscii(static_cast<unsigned char>(page[at]))];
    if (seconds == 0) return false;
    const uint32_t bit =
        at + 1 < page.size() ? SecondLetterBit(static_cast<unsigned char>(page[at + 1])) : OneLetterName;
    return (seconds & bit) != 0;
}

// The link tag the tag is, nullptr when it is none.
const LinkTag* LinkTagOf(uint64_t name)
{
    for (const LinkTag& linkTag : LinkTags)
        if (linkTag.name == name) return &linkTag;
    return nullptr;
}

bool IsStyleSheetLink(std::string_view page, size_t from, size_t end)
{
    std::string_view rel;
    if (!AttributeValue(page, from, end, "rel", rel)) return false;
    for (size_t at = 0; at < rel.size(); ++at)
        if (BeginsWithWord(rel, at, "stylesheet")) return true;
    return false;
}

// A target as AttributeTextInto makes it. Most pages' targets are plain
// ASCII, the same in every charset, so the page's charset (a look through
// its head, or through all of it when it names none) is worked out only
// for the first target that is not.
struct LinkCharset {
    const std::string& bytes;
    PageCharset charset = PageCharset::Unknown;
    bool known = false;
};

bool IsPlainAsciiValue(std::string_view value)
{
    if (value.empty() || static_cast<unsigned char>(value.front()) <= 0x20 ||
        static_cast<unsigned char>(value.back()) <= 0x20)
        return false;
    size_t at = 0;
    for (; at + 8 <= value.size(); at += 8) {
        uint64_t bytes = 0;
        std::memcpy(&bytes, value.data() + at, 8);
        if (((bytes & HighBits) | BytesEqual(bytes, '&')) != 0) return false;
    }
    for (; at < value.size(); ++at)
        if (static_cast<unsigned char>(value[at]) >= 0x80 || value[at] == '&') return false;
    return true;
}

// The target as AttributeTextInto makes it, added to `targets`.
void AppendLinkText(std::string_view value, LinkCharset& charset, std::string& targets)
{
    if (IsPlainAsciiValue(value)) {
        targets.append(value);
        return;
    }
    if (!charset.known) {
        charset.charset = PageCharsetOf(charset.bytes);
        charset.known = true;
    }
    std::string text;
    AttributeTextInto(value, charset.charset, text);
    targets += text;
}

// The next '<' from `at` on (npos when none). Tags stand a few dozen bytes
// apart, where a call to the library's search costs as much as the search:
// thirty-two bytes are tested a step, then sixteen near the end.
size_t NextTagOpen(std::string_view page, size_t at)
{
#if defined(__SSE2__)
    const __m128i open = _mm_set1_epi8('<');
    for (; at + 32 <= page.size(); at += 32) {
        const __m128i low = _mm_loadu_si128(reinterpret_cast<const __m128i*>(page.data() + at));
        const __m128i high = _mm_loadu_si128(reinterpret_cast<const __m128i*>(page.data() + at + 16));
        const uint32_t found = static_cast<uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(low, open))) |
                               static_cast<uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(high, open))) << 16;
        if (found != 0) return at + static_cast<size_t>(std::countr_zero(found));
    }
    for (; at + 16 <= page.size(); at += 16) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(page.data() + at));
        const uint32_t found = static_cast<uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, open)));
        if (found != 0) return at + static_cast<size_t>(std::countr_zero(found));
    }
#endif
    return page.find('<', at);
}

bool OpensLinkLine(std::string_view page, size_t at)
{
    return (at == 0 || page[at - 1] == '\r' || page[at - 1] == '\n' || page[at - 1] == '\0') &&
           page.compare(at, 8, "<a href=") == 0;
}

}  // namespace

std::string Utf8FromText(const std::string& text)
{
    return Utf8FromCharset(text, PageCharset::Unknown);
}

std::string FoldedForMatching(const std::string& utf8)
{
    std::string folded = utf8;
    FoldForMatching(folded);
    return folded;
}

void FoldForMatching(std::string& utf8)
{
    // Branch-free over ASCII, which the compiler runs many bytes at a time;
    // the accented letters, rare, are put right afterwards.
    for (char& c : utf8) {
        const unsigned char byte = static_cast<unsigned char>(c);
        c = static_cast<char>(byte - (static_cast<unsigned char>(byte - 'a') < 26 ? 0x20 : 0));
    }
    for (size_t i = utf8.find('\xC3'); i != std::string::npos && i + 1 < utf8.size();
         i = utf8.find('\xC3', i + 2)) {
        unsigned char next = static_cast<unsigned char>(utf8[i + 1]);
        if (next >= 0xA0 && next <= 0xBE && next != 0xB7) utf8[i + 1] = static_cast<char>(next - 0x20);
    }
}

void ExtractPageText(const std::string& bytes, PageText& page)
{
    page.text.assign(ExtractPageTextInPlace(bytes, page));
}

std::string_view ExtractPageTextInPlace(const std::string& bytes, PageText& page)
{
    if (page.room.size() < PageTextRoom(bytes.size())) page.room.resize(PageTextRoom(bytes.size()));
    return ExtractPageTextInto(bytes, page, page.room.data());
}

size_t PageTextRoom(size_t bytes)
{
    return TextRoom(bytes);
}

std::string_view ExtractPageTextInto(const std::string& bytes, PageText& page, char* room)
{
    page.title.clear();
    page.linkText = 0;
    std::string_view text(bytes);
    if (text.compare(0, 3, "\xEF\xBB\xBF") == 0) text.remove_prefix(3);
    TextReader reader{{room, room}, page};
    reader.windows1252 = PageCharsetOf(bytes) == PageCharset::Windows1252;
    ReadText(reader, text, true);
    const std::string_view extracted(room, static_cast<size_t>(reader.out.at - room));
    page.spaces = SpacesIn(extracted);
    return extracted;
}

void ReadPageLinks(const std::string& bytes, PageLinks& links)
{
    LinkStore store;
    AppendPageLinks(bytes, store, links.base);
    // The links of the page before keep their room for this one's.
    links.links.resize(store.links.size());
    for (size_t i = 0; i < store.links.size(); ++i) {
        const StoredLink& stored = store.links[i];
        PageLink& link = links.links[i];
        link.target.assign(store.targets, stored.start, stored.length);
        link.kind = stored.kind;
        link.opensLinkLine = stored.opensLinkLine;
    }
}

void AppendPageLinks(const std::string& bytes, LinkStore& store, std::string& base)
{
    base.clear();
    LinkCharset charset{bytes};
    std::string_view page(bytes);
    bool bodySeen = false;
    size_t at = 0;
    while ((at = NextTagOpen(page, at)) != std::string_view::npos) {
        const size_t start = at;
        if (at + 1 < page.size() && (page[at + 1] == '!' || page[at + 1] == '?')) {
            at = MarkupDeclarationEnd(page, at);
            continue;
        }
        if (at + 1 >= page.size() || !IsAsciiLetter(static_cast<unsigned char>(page[at + 1]))) {
            ++at;  // a closing tag or a plain '<'
            continue;
        }
        size_t nameEnd = 0;
        const uint64_t name = MayBeLinkTag(page, at + 1) ? TagNameCode(page, at + 1, nameEnd) : 0;
        // A name's letters hide no quote and no '>'.
        const size_t end = TagEnd(page, name == 0 ? at + 2 : nameEnd);
        at = end;
        if (name == 0) continue;
        std::string_view value;
        if (name == BodyName) bodySeen = true;
        if (name == BaseName) {
            if (!bodySeen && base.empty() && AttributeValue(page, nameEnd, end, "href", value))
                AppendLinkText(value, charset, base);
            continue;
        }
        // A <link> is a style sheet the page needs, or an icon, a canonical
        // address and the like, which no reader follows.
        if (name == LinkName && !IsStyleSheetLink(page, nameEnd, end)) continue;
        const LinkTag* linkTag = LinkTagOf(name);
        if (linkTag && AttributeValue(page, nameEnd, end, linkTag->attribute, value)) {
            const size_t from = store.targets.size();
            AppendLinkText(value, charset, store.targets);
            store.links.push_back({static_cast<uint32_t>(from),
                                   static_cast<uint32_t>(store.targets.size() - from), linkTag->kind,
                                   OpensLinkLine(page, start) ? 1 : 0});
        }
        if (name == ScriptName) at = RawTextEnd(page, end, "script");
        else if (name == StyleName) at = RawTextEnd(page, end, "style");
    }
}

std::string HtmlFromText(const std::string& utf8)
{
    std::string html;
    html.reserve(utf8.size() + utf8.size() / 8);
    const auto* data = reinterpret_cast<const unsigned char*>(utf8.data());
    size_t at = 0;
    while (at < utf8.size()) {
        unsigned char c = data[at];
        if (c < 0x80) {
            if (c == '&') html += "&amp;";
            else if (c == '<') html += "&lt;";
            else if (c == '>') html += "&gt;";
            else if (c == '"') html += "&quot;";
            else if (c >= 0x20 || c == '\t' || c == '\n' || c == '\r') html += static_cast<char>(c);
            ++at;
            continue;
        }
        // A well-formed character is referred to as itself; a stray byte as
        // its Windows-1252 character.
        uint32_t code = 0;
        size_t length = static_cast<size_t>(TextUtf8Character(utf8, at, code));
        if (length == 0) {
            code = Windows1252Character(c);
            length = 1;
        }
        html += "&#" + std::to_string(code) + ";";
        at += length;
    }
    return html;
}

std::string PageHead(const std::string& title)
{
    return "<html>\r\n<head>\r\n"
           "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=us-ascii\">\r\n"
           "<title>" +
           HtmlFromText(title) +
           "</title>\r\n</head>\r\n"
           "<body bgcolor=\"#000033\" text=\"#FFFFFF\" link=\"#80C0FF\" vlink=\"#C0A0FF\">\r\n";
}

std::string PageFoot()
{
    return "</body>\r\n</html>\r\n";
}

int WriteHtmlPage(const std::string& name, const std::string& html)
{
    // Through the rewrite service: a page shown before stays whole until the
    // new one is complete, and a link put in its place is not written
    // through. Made again by its command, it is not waited for on the disk.
    if (RewriteBegin(1, name, PathFolderPart(name)) != Rewrite::Done) return 0;
    size_t at = 0;
    while (at < html.size()) {
        size_t end = html.find("\r\n", at);
        if (end == std::string::npos) end = html.size();
        FileWriteLineTo(1, html.substr(at, end - at));
        at = end + 2;
    }
    return RewriteCommitUnflushed(1) == Rewrite::Done ? 1 : 0;
}
