#include "pages/html.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "runtime/files.h"
#include "runtime/text.h"

namespace {

struct Entity {
    const char* name;
    uint32_t code;
};

// The named characters of HTML 4 (and &apos;), in byte order of their names.
const Entity Entities[] = {
    {"AElig", 198},    {"Aacute", 193},  {"Acirc", 194},   {"Agrave", 192},  {"Alpha", 913},
    {"Aring", 197},    {"Atilde", 195},  {"Auml", 196},    {"Beta", 914},    {"Ccedil", 199},
    {"Chi", 935},      {"Dagger", 8225}, {"Delta", 916},   {"ETH", 208},     {"Eacute", 201},
    {"Ecirc", 202},    {"Egrave", 200},  {"Epsilon", 917}, {"Eta", 919},     {"Euml", 203},
    {"Gamma", 915},    {"Iacute", 205},  {"Icirc", 206},   {"Igrave", 204},  {"Iota", 921},
    {"Iuml", 207},     {"Kappa", 922},   {"Lambda", 923},  {"Mu", 924},      {"Ntilde", 209},
    {"Nu", 925},       {"OElig", 338},   {"Oacute", 211},  {"Ocirc", 212},   {"Ograve", 210},
    {"Omega", 937},    {"Omicron", 927}, {"Oslash", 216},  {"Otilde", 213},  {"Ouml", 214},
    {"Phi", 934},      {"Pi", 928},      {"Prime", 8243},  {"Psi", 936},     {"Rho", 929},
    {"Scaron", 352},   {"Sigma", 931},   {"THORN", 222},   {"Tau", 932},     {"Theta", 920},
    {"Uacute", 218},   {"Ucirc", 219},   {"Ugrave", 217},  {"Upsilon", 933}, {"Uuml", 220},
    {"Xi", 926},       {"Yacute", 221},  {"Yuml", 376},    {"Zeta", 918},    {"aacute", 225},
    {"acirc", 226},    {"acute", 180},   {"aelig", 230},   {"agrave", 224},  {"alefsym", 8501},
    {"alpha", 945},    {"amp", 38},      {"and", 8743},    {"ang", 8736},    {"apos", 39},
    {"aring", 229},    {"asymp", 8776},  {"atilde", 227},  {"auml", 228},    {"bdquo", 8222},
    {"beta", 946},     {"brvbar", 166},  {"bull", 8226},   {"cap", 8745},    {"ccedil", 231},
    {"cedil", 184},    {"cent", 162},    {"chi", 967},     {"circ", 710},    {"clubs", 9827},
    {"cong", 8773},    {"copy", 169},    {"crarr", 8629},  {"cup", 8746},    {"curren", 164},
    {"dArr", 8659},    {"dagger", 8224}, {"darr", 8595},   {"deg", 176},     {"delta", 948},
    {"diams", 9830},   {"divide", 247},  {"eacute", 233},  {"ecirc", 234},   {"egrave", 232},
    {"empty", 8709},   {"emsp", 8195},   {"ensp", 8194},   {"epsilon", 949}, {"equiv", 8801},
    {"eta", 951},      {"eth", 240},     {"euml", 235},    {"euro", 8364},   {"exist", 8707},
    {"fnof", 402},     {"forall", 8704}, {"frac12", 189},  {"frac14", 188},  {"frac34", 190},
    {"frasl", 8260},   {"gamma", 947},   {"ge", 8805},     {"gt", 62},       {"hArr", 8660},
    {"harr", 8596},    {"hearts", 9829}, {"hellip", 8230}, {"iacute", 237},  {"icirc", 238},
    {"iexcl", 161},    {"igrave", 236},  {"image", 8465},  {"infin", 8734},  {"int", 8747},
    {"iota", 953},     {"iquest", 191},  {"isin", 8712},   {"iuml", 239},    {"kappa", 954},
    {"lArr", 8656},    {"lambda", 955},  {"lang", 9001},   {"laquo", 171},   {"larr", 8592},
    {"lceil", 8968},   {"ldquo", 8220},  {"le", 8804},     {"lfloor", 8970}, {"lowast", 8727},
    {"loz", 9674},     {"lrm", 8206},    {"lsaquo", 8249}, {"lsquo", 8216},  {"lt", 60},
    {"macr", 175},     {"mdash", 8212},  {"micro", 181},   {"middot", 183},  {"minus", 8722},
    {"mu", 956},       {"nabla", 8711},  {"nbsp", 160},    {"ndash", 8211},  {"ne", 8800},
    {"ni", 8715},      {"not", 172},     {"notin", 8713},  {"nsub", 8836},   {"ntilde", 241},
    {"nu", 957},       {"oacute", 243},  {"ocirc", 244},   {"oelig", 339},   {"ograve", 242},
    {"oline", 8254},   {"omega", 969},   {"omicron", 959}, {"oplus", 8853},  {"or", 8744},
    {"ordf", 170},     {"ordm", 186},    {"oslash", 248},  {"otilde", 245},  {"otimes", 8855},
    {"ouml", 246},     {"para", 182},    {"part", 8706},   {"permil", 8240}, {"perp", 8869},
    {"phi", 966},      {"pi", 960},      {"piv", 982},     {"plusmn", 177},  {"pound", 163},
    {"prime", 8242},   {"prod", 8719},   {"prop", 8733},   {"psi", 968},     {"quot", 34},
    {"rArr", 8658},    {"radic", 8730},  {"rang", 9002},   {"raquo", 187},   {"rarr", 8594},
    {"rceil", 8969},   {"rdquo", 8221},  {"real", 8476},   {"reg", 174},     {"rfloor", 8971},
    {"rho", 961},      {"rlm", 8207},    {"rsaquo", 8250}, {"rsquo", 8217},  {"sbquo", 8218},
    {"scaron", 353},   {"sdot", 8901},   {"sect", 167},    {"shy", 173},     {"sigma", 963},
    {"sigmaf", 962},   {"sim", 8764},    {"spades", 9824}, {"sub", 8834},    {"sube", 8838},
    {"sum", 8721},     {"sup", 8835},    {"sup1", 185},    {"sup2", 178},    {"sup3", 179},
    {"supe", 8839},    {"szlig", 223},   {"tau", 964},     {"there4", 8756}, {"theta", 952},
    {"thetasym", 977}, {"thinsp", 8201}, {"thorn", 254},   {"tilde", 732},   {"times", 215},
    {"trade", 8482},   {"uArr", 8657},   {"uacute", 250},  {"uarr", 8593},   {"ucirc", 251},
    {"ugrave", 249},   {"uml", 168},     {"upsih", 978},   {"upsilon", 965}, {"uuml", 252},
    {"weierp", 8472},  {"xi", 958},      {"yacute", 253},  {"yen", 165},     {"yuml", 255},
    {"zeta", 950},     {"zwj", 8205},    {"zwnj", 8204},
};

// Windows-1252 at 0x80 to 0x9F; every other byte is its Latin-1 character.
// The five bytes it leaves undefined stand for themselves, as browsers take them.
constexpr uint16_t Windows1252High[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                          0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                          0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                          0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

constexpr uint32_t ReplacementCharacter = 0xFFFD;
// Where a page's <meta> charset may stand at the latest.
constexpr size_t HeadSearchLimit = 64 * 1024;

uint32_t Windows1252Code(unsigned char c)
{
    return c >= 0x80 && c < 0xA0 ? Windows1252High[c - 0x80] : c;
}

// The character as UTF-8 into `out` (room for four bytes); its length.
size_t EncodeUtf8(uint32_t code, char* out)
{
    if (code < 0x80) {
        out[0] = static_cast<char>(code);
        return 1;
    }
    if (code < 0x800) {
        out[0] = static_cast<char>(0xC0 | (code >> 6));
        out[1] = static_cast<char>(0x80 | (code & 0x3F));
        return 2;
    }
    if (code < 0x10000) {
        out[0] = static_cast<char>(0xE0 | (code >> 12));
        out[1] = static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out[2] = static_cast<char>(0x80 | (code & 0x3F));
        return 3;
    }
    out[0] = static_cast<char>(0xF0 | (code >> 18));
    out[1] = static_cast<char>(0x80 | ((code >> 12) & 0x3F));
    out[2] = static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out[3] = static_cast<char>(0x80 | (code & 0x3F));
    return 4;
}

void AppendUtf8(std::string& out, uint32_t code)
{
    char bytes[4];
    out.append(bytes, EncodeUtf8(code, bytes));
}

std::string Utf8FromWindows1252(const std::string& bytes)
{
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 8);
    for (char c : bytes) {
        unsigned char byte = static_cast<unsigned char>(c);
        if (byte < 0x80) out += c;
        else AppendUtf8(out, Windows1252Code(byte));
    }
    return out;
}

unsigned char LowerAscii(unsigned char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<unsigned char>(c + 0x20) : c;
}

bool IsAsciiLetter(unsigned char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool IsAsciiAlnum(unsigned char c)
{
    return IsAsciiLetter(c) || (c >= '0' && c <= '9');
}

bool IsSpace(unsigned char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}

// The page's bytes from `at` on begin with the lower-case word, in any case.
bool BeginsWithWord(std::string_view page, size_t at, std::string_view lower)
{
    if (page.size() - std::min(at, page.size()) < lower.size()) return false;
    for (size_t i = 0; i < lower.size(); ++i)
        if (LowerAscii(static_cast<unsigned char>(page[at + i])) != static_cast<unsigned char>(lower[i]))
            return false;
    return true;
}

// Just after the '>' that ends the tag whose inside starts at `from`; a '>'
// inside quotes does not end it. An unclosed quote ends at the next '>'.
size_t TagEnd(std::string_view page, size_t from)
{
    size_t at = from;
    while (at < page.size()) {
        char c = page[at];
        if (c == '>') return at + 1;
        if (c == '"' || c == '\'') {
            size_t close = page.find(c, at + 1);
            if (close == std::string_view::npos) {
                size_t end = page.find('>', at + 1);
                return end == std::string_view::npos ? page.size() : end + 1;
            }
            at = close + 1;
            continue;
        }
        ++at;
    }
    return page.size();
}

// Just after a comment that starts at `at`, or after a declaration.
size_t MarkupDeclarationEnd(std::string_view page, size_t at)
{
    if (page.compare(at, 4, "<!--") == 0) {
        size_t end = page.find("-->", at + 4);
        return end == std::string_view::npos ? page.size() : end + 3;
    }
    size_t end = page.find('>', at);
    return end == std::string_view::npos ? page.size() : end + 1;
}

// Where the closing tag of a script, a style or a title whose content starts
// at `from` begins: what lies between is no markup.
size_t RawTextClose(std::string_view page, size_t from, std::string_view lowerName)
{
    size_t at = from;
    while ((at = page.find("</", at)) != std::string_view::npos) {
        if (BeginsWithWord(page, at + 2, lowerName)) return at;
        at += 2;
    }
    return page.size();
}

// Just after that closing tag.
size_t RawTextEnd(std::string_view page, size_t from, std::string_view lowerName)
{
    size_t close = RawTextClose(page, from, lowerName);
    return close == page.size() ? close : TagEnd(page, close + 2 + lowerName.size());
}

// A tag's name, lower-cased, at most as long as any name looked for.
struct TagName {
    char name[12] = {};
    size_t end = 0;  // just after the name in the page
};

TagName ReadTagName(std::string_view page, size_t at)
{
    TagName tag;
    size_t length = 0;
    while (at < page.size() && IsAsciiAlnum(static_cast<unsigned char>(page[at]))) {
        if (length + 1 < sizeof tag.name) tag.name[length] = static_cast<char>(LowerAscii(page[at]));
        ++length;
        ++at;
    }
    if (length + 1 >= sizeof tag.name) tag.name[0] = '\0';  // too long to be one we want
    tag.end = at;
    return tag;
}

bool NameIs(const TagName& tag, const char* name)
{
    return std::strcmp(tag.name, name) == 0;
}

uint32_t UsableCode(uint32_t code)
{
    if (code >= 0x80 && code < 0xA0) return Windows1252High[code - 0x80];
    if (code == 0 || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return ReplacementCharacter;
    return code;
}

// The character reference at `at` (an '&'): its length and its character,
// or 0 when it is a plain '&'. A missing ';' is forgiven, as browsers do.
size_t ReadCharacterReference(std::string_view page, size_t at, uint32_t& code)
{
    size_t i = at + 1;
    if (i < page.size() && page[i] == '#') {
        ++i;
        bool hex = i < page.size() && (page[i] == 'x' || page[i] == 'X');
        if (hex) ++i;
        size_t digitsStart = i;
        uint64_t value = 0;
        for (; i < page.size(); ++i) {
            unsigned char c = static_cast<unsigned char>(page[i]);
            int digit = c >= '0' && c <= '9'                              ? c - '0'
                        : hex && IsAsciiLetter(c) && LowerAscii(c) <= 'f' ? LowerAscii(c) - 'a' + 10
                                                                          : -1;
            if (digit < 0) break;
            value = std::min<uint64_t>(value * (hex ? 16 : 10) + static_cast<uint64_t>(digit), 0x110000);
        }
        if (i == digitsStart) return 0;
        if (i < page.size() && page[i] == ';') ++i;
        code = UsableCode(static_cast<uint32_t>(value));
        return i - at;
    }
    size_t nameStart = i;
    while (i < page.size() && i - nameStart < 10 && IsAsciiAlnum(static_cast<unsigned char>(page[i]))) ++i;
    std::string_view name = page.substr(nameStart, i - nameStart);
    if (name.empty() || (i < page.size() && IsAsciiAlnum(static_cast<unsigned char>(page[i])))) return 0;
    auto found =
        std::lower_bound(std::begin(Entities), std::end(Entities), name,
                         [](const Entity& entity, std::string_view wanted) { return entity.name < wanted; });
    if (found == std::end(Entities) || found->name != name) return 0;
    if (i < page.size() && page[i] == ';') ++i;
    code = found->code;
    return i - at;
}

// Character references in an attribute's value, which is UTF-8 by now.
std::string DecodeReferences(std::string_view value)
{
    std::string out;
    size_t at = 0;
    while (at < value.size()) {
        size_t amp = value.find('&', at);
        if (amp == std::string_view::npos) amp = value.size();
        out.append(value.substr(at, amp - at));
        if (amp == value.size()) break;
        uint32_t code = 0;
        size_t length = ReadCharacterReference(value, amp, code);
        if (length == 0) {
            out += '&';
            at = amp + 1;
        } else {
            AppendUtf8(out, code);
            at = amp + length;
        }
    }
    return out;
}

PageCharset CharsetFromName(std::string name)
{
    for (char& c : name) c = static_cast<char>(LowerAscii(static_cast<unsigned char>(c)));
    if (name == "utf-8" || name == "utf8") return PageCharset::Utf8;
    for (const char* alias : {"windows-1252", "cp1252", "x-cp1252", "iso-8859-1", "iso8859-1", "latin1",
                              "latin-1", "l1", "us-ascii", "ascii"})
        if (name == alias) return PageCharset::Windows1252;
    return PageCharset::Unknown;
}

// The charset named in a <meta> tag's text, if it names one.
bool MetaCharset(std::string_view tag, PageCharset& charset)
{
    for (size_t at = 0; at + 7 <= tag.size(); ++at) {
        if (!BeginsWithWord(tag, at, "charset")) continue;
        size_t i = at + 7;
        while (i < tag.size() && IsSpace(static_cast<unsigned char>(tag[i]))) ++i;
        if (i >= tag.size() || tag[i] != '=') continue;
        ++i;
        while (i < tag.size() &&
               (IsSpace(static_cast<unsigned char>(tag[i])) || tag[i] == '"' || tag[i] == '\''))
            ++i;
        size_t end = i;
        while (end < tag.size() && (IsAsciiAlnum(static_cast<unsigned char>(tag[end])) || tag[end] == '-' ||
                                    tag[end] == '_' || tag[end] == '.' || tag[end] == ':'))
            ++end;
        charset = CharsetFromName(std::string(tag.substr(i, end - i)));
        return true;
    }
    return false;
}

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
        Put(reader.out, character, EncodeUtf8(code, character));
    }
    return at + length;
}

void ReadText(TextReader& reader, std::string_view text, bool markup);

// A title holds text only, "<b>" included.
void ReadTitle(TextReader& reader, std::string_view title)
{
    std::vector<char> room(TextRoom(title.size()));
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

// Bytes that end a run of plain text: markup, references, white space and
// control bytes (DEL too), and the lead byte of a UTF-8 no-break space.
struct SpecialBytes {
    bool utf8[256] = {};
    bool windows1252[256] = {};
    constexpr SpecialBytes()
    {
        for (int c = 0; c <= 0x20; ++c) utf8[c] = windows1252[c] = true;
        utf8[0x7F] = windows1252[0x7F] = true;
        utf8[static_cast<unsigned char>('<')] = windows1252[static_cast<unsigned char>('<')] = true;
        utf8[static_cast<unsigned char>('&')] = windows1252[static_cast<unsigned char>('&')] = true;
        utf8[0xC2] = true;
        for (int c = 0x80; c <= 0xFF; ++c) windows1252[c] = true;
    }
};
constexpr SpecialBytes Special;

// Each Windows-1252 byte beyond ASCII as UTF-8: its length, then its bytes.
struct Windows1252Utf8 {
    char bytes[128][4] = {};
    constexpr Windows1252Utf8()
    {
        for (int c = 0x80; c <= 0xFF; ++c) {
            uint32_t code = c < 0xA0 ? Windows1252High[c - 0x80] : static_cast<uint32_t>(c);
            char* out = bytes[c - 0x80];
            if (code < 0x800) {
                out[0] = 2;
                out[1] = static_cast<char>(0xC0 | (code >> 6));
                out[2] = static_cast<char>(0x80 | (code & 0x3F));
            } else {
                out[0] = 3;
                out[1] = static_cast<char>(0xE0 | (code >> 12));
                out[2] = static_cast<char>(0x80 | ((code >> 6) & 0x3F));
                out[3] = static_cast<char>(0x80 | (code & 0x3F));
            }
        }
    }
};
constexpr Windows1252Utf8 FromWindows1252;

// Text and, when `markup` is on, tags; a title's text has none. A
// Windows-1252 page's characters are turned into UTF-8 on the way.
void ReadText(TextReader& reader, std::string_view text, bool markup)
{
    const auto* data = reinterpret_cast<const unsigned char*>(text.data());
    const bool* special = reader.windows1252 ? Special.windows1252 : Special.utf8;
    TextWriter& out = reader.out;
    size_t at = 0;
    while (at < text.size()) {
        // A run of plain text; a single space between two plain bytes stays
        // in it, so most runs are whole sentences rather than single words.
        size_t run = at;
        while (run < text.size() &&
               (!special[data[run]] ||
                (data[run] == ' ' && run > at && run + 1 < text.size() && !special[data[run + 1]])))
            ++run;
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

struct LinkTag {
    const char* name;
    const char* attribute;
    LinkKind kind;
};
const LinkTag LinkTags[] = {
    {"a", "href", LinkKind::Page},           {"area", "href", LinkKind::Page},
    {"link", "href", LinkKind::Page},        {"frame", "src", LinkKind::Page},
    {"iframe", "src", LinkKind::Page},       {"script", "src", LinkKind::Page},
    {"img", "src", LinkKind::Image},         {"input", "src", LinkKind::Image},
    {"body", "background", LinkKind::Image}, {"table", "background", LinkKind::Image},
    {"td", "background", LinkKind::Image},   {"th", "background", LinkKind::Image},
};

// The raw value of the named attribute between a tag's name and its end.
bool AttributeValue(std::string_view page, size_t from, size_t end, const char* lowerName,
                    std::string_view& value)
{
    const std::string_view wanted = lowerName;
    size_t at = from;
    while (at < end) {
        while (at < end && (IsSpace(static_cast<unsigned char>(page[at])) || page[at] == '/')) ++at;
        size_t nameStart = at;
        while (at < end && !IsSpace(static_cast<unsigned char>(page[at])) && page[at] != '=' &&
               page[at] != '>' && page[at] != '/')
            ++at;
        size_t nameEnd = at;
        while (at < end && IsSpace(static_cast<unsigned char>(page[at]))) ++at;
        std::string_view found;
        if (at < end && page[at] == '=') {
            ++at;
            while (at < end && IsSpace(static_cast<unsigned char>(page[at]))) ++at;
            if (at < end && (page[at] == '"' || page[at] == '\'')) {
                size_t close = page.find(page[at], at + 1);
                if (close == std::string_view::npos || close > end) close = end - 1;
                found = page.substr(at + 1, close - at - 1);
                at = close + 1;
            } else {
                size_t valueStart = at;
                while (at < end && !IsSpace(static_cast<unsigned char>(page[at])) && page[at] != '>') ++at;
                found = page.substr(valueStart, at - valueStart);
            }
        }
        if (nameEnd == nameStart) {
            ++at;
            continue;
        }
        if (nameEnd - nameStart == wanted.size() && BeginsWithWord(page, nameStart, wanted)) {
            value = found;
            return true;
        }
    }
    return false;
}

// What a browser strips from both ends of an address: spaces and control
// characters.
bool IsAddressSpace(unsigned char c)
{
    return c <= 0x20;
}

std::string TrimmedSpaces(const std::string& text)
{
    size_t first = 0;
    size_t last = text.size();
    while (first < last && IsAddressSpace(static_cast<unsigned char>(text[first]))) ++first;
    while (last > first && IsAddressSpace(static_cast<unsigned char>(text[last - 1]))) --last;
    return text.substr(first, last - first);
}

// An attribute's value as UTF-8, references decoded and the spaces around
// it dropped, as a browser takes a link's target. Most values are plain
// ASCII and are taken as they are.
std::string LinkValue(std::string_view value, PageCharset charset)
{
    bool plain = value.find('&') == std::string_view::npos && !value.empty() &&
                 !IsAddressSpace(static_cast<unsigned char>(value.front())) &&
                 !IsAddressSpace(static_cast<unsigned char>(value.back()));
    for (size_t i = 0; plain && charset != PageCharset::Utf8 && i < value.size(); ++i)
        plain = static_cast<unsigned char>(value[i]) < 0x80;
    if (plain) return std::string(value);
    return TrimmedSpaces(DecodeReferences(Utf8FromCharset(std::string(value), charset)));
}

bool OpensLinkLine(std::string_view page, size_t at)
{
    return (at == 0 || page[at - 1] == '\r' || page[at - 1] == '\n' || page[at - 1] == '\0') &&
           page.compare(at, 8, "<a href=") == 0;
}

}  // namespace

PageCharset DeclaredCharset(const std::string& bytes)
{
    if (bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) return PageCharset::Utf8;
    std::string_view page(bytes.data(), std::min(bytes.size(), HeadSearchLimit));
    size_t at = 0;
    while ((at = page.find('<', at)) != std::string_view::npos) {
        if (page.compare(at, 2, "<!") == 0) {
            at = MarkupDeclarationEnd(page, at);
            continue;
        }
        if (BeginsWithWord(page, at + 1, "body")) break;
        if (!BeginsWithWord(page, at + 1, "meta")) {
            ++at;
            continue;
        }
        size_t end = TagEnd(page, at + 5);
        PageCharset charset = PageCharset::Unknown;
        if (MetaCharset(page.substr(at, end - at), charset)) return charset;
        at = end;
    }
    return PageCharset::Unknown;
}

std::string Utf8FromCharset(const std::string& bytes, PageCharset charset)
{
    if (charset == PageCharset::Utf8) return bytes;
    if (charset == PageCharset::Unknown && TextIsUtf8(bytes)) return bytes;
    return Utf8FromWindows1252(bytes);
}

std::string Utf8FromText(const std::string& text)
{
    return Utf8FromCharset(text, PageCharset::Unknown);
}

std::string FoldedForMatching(const std::string& utf8)
{
    std::string folded(utf8.size(), '\0');
    // Branch-free over ASCII, which the compiler runs many bytes at a time;
    // the accented letters, rare, are put right afterwards.
    for (size_t i = 0; i < utf8.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(utf8[i]);
        folded[i] = static_cast<char>(c - (static_cast<unsigned char>(c - 'a') < 26 ? 0x20 : 0));
    }
    for (size_t i = folded.find('\xC3'); i != std::string::npos && i + 1 < folded.size();
         i = folded.find('\xC3', i + 2)) {
        unsigned char next = static_cast<unsigned char>(folded[i + 1]);
        if (next >= 0xA0 && next <= 0xBE && next != 0xB7) folded[i + 1] = static_cast<char>(next - 0x20);
    }
    return folded;
}

void ExtractPageText(const std::string& bytes, PageText& page)
{
    page.title.clear();
    std::string_view text(bytes);
    const PageCharset charset = DeclaredCharset(bytes);
    if (text.compare(0, 3, "\xEF\xBB\xBF") == 0) text.remove_prefix(3);
    if (page.room.size() < TextRoom(text.size())) page.room.resize(TextRoom(text.size()));
    TextReader reader{{page.room.data(), page.room.data()}, page};
    reader.windows1252 =
        charset == PageCharset::Windows1252 || (charset == PageCharset::Unknown && !TextIsUtf8(bytes));
    ReadText(reader, text, true);
    page.text.assign(page.room.data(), static_cast<size_t>(reader.out.at - page.room.data()));
}

void ReadPageLinks(const std::string& bytes, PageLinks& links)
{
    links.base.clear();
    links.links.clear();
    PageCharset charset = DeclaredCharset(bytes);
    if (charset == PageCharset::Unknown)
        charset = TextIsUtf8(bytes) ? PageCharset::Utf8 : PageCharset::Windows1252;
    std::string_view page(bytes);
    size_t at = 0;
    while ((at = page.find('<', at)) != std::string_view::npos) {
        const size_t start = at;
        if (at + 1 < page.size() && (page[at + 1] == '!' || page[at + 1] == '?')) {
            at = MarkupDeclarationEnd(page, at);
            continue;
        }
        if (at + 1 >= page.size() || !IsAsciiLetter(static_cast<unsigned char>(page[at + 1]))) {
            ++at;  // a closing tag or a plain '<'
            continue;
        }
        TagName tag = ReadTagName(page, at + 1);
        size_t end = TagEnd(page, tag.end);
        at = end;
        std::string_view value;
        if (NameIs(tag, "base")) {
            if (links.base.empty() && AttributeValue(page, tag.end, end, "href", value))
                links.base = LinkValue(value, charset);
            continue;
        }
        for (const LinkTag& linkTag : LinkTags) {
            if (!NameIs(tag, linkTag.name) || !AttributeValue(page, tag.end, end, linkTag.attribute, value))
                continue;
            PageLink link;
            link.target = LinkValue(value, charset);
            link.kind = linkTag.kind;
            link.opensLinkLine = OpensLinkLine(page, start) ? 1 : 0;
            links.links.push_back(link);
            break;
        }
        if (NameIs(tag, "script") || NameIs(tag, "style")) at = RawTextEnd(page, end, tag.name);
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
            code = Windows1252Code(c);
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
    if (!FileCreate(1, name)) return 0;
    int ok = 1;
    size_t at = 0;
    while (at < html.size()) {
        size_t end = html.find("\r\n", at);
        if (end == std::string::npos) end = html.size();
        ok &= FileWriteLineTo(1, html.substr(at, end - at));
        at = end + 2;
    }
    return FileClose(1) && ok ? 1 : 0;
}
