#include "runtime/pagebytes.h"

#include <algorithm>
#include <cstring>
#include <iterator>

#include "runtime/codepage.h"
#include "runtime/text.h"

namespace {

struct Entity {
    std::string_view name;  // a view: the search compares without measuring names again
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
// The ones nearly every page uses, tried before the search through them all.
const Entity CommonEntities[] = {{"nbsp", 160}, {"amp", 38}, {"lt", 60}, {"gt", 62}, {"quot", 34}};

constexpr uint32_t ReplacementCharacter = 0xFFFD;
// Where a page's <meta> charset may stand at the latest.
constexpr size_t HeadSearchLimit = 64 * 1024;

uint32_t UsableCode(uint32_t code)
{
    if (code >= 0x80 && code < 0xA0) return Windows1252Character(static_cast<unsigned char>(code));
    if (code == 0 || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return ReplacementCharacter;
    return code;
}

// The charset named in a <meta> tag's text, if it names one.
bool MetaCharset(std::string_view tag, std::string& name)
{
    for (size_t at = 0; at + 7 <= tag.size(); ++at) {
        // Every page's head has one such tag: its first letter is looked at
        // before the word.
        if ((tag[at] | 0x20) != 'c' || !BeginsWithWord(tag, at, "charset")) continue;
        size_t i = at + 7;
        while (i < tag.size() && IsHtmlSpace(static_cast<unsigned char>(tag[i]))) ++i;
        if (i >= tag.size() || tag[i] != '=') continue;
        ++i;
        while (i < tag.size() &&
               (IsHtmlSpace(static_cast<unsigned char>(tag[i])) || tag[i] == '"' || tag[i] == '\''))
            ++i;
        size_t end = i;
        while (end < tag.size() && (IsAsciiAlnum(static_cast<unsigned char>(tag[end])) || tag[end] == '-' ||
                                    tag[end] == '_' || tag[end] == '.' || tag[end] == ':'))
            ++end;
        name.assign(tag.substr(i, end - i));
        for (char& c : name) c = static_cast<char>(LowerAscii(static_cast<unsigned char>(c)));
        return true;
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

// What a byte is inside a tag, for TagEnd and AttributeValue, which look
// at every byte of every tag of every page: white space, a '/' between
// attributes, a byte that ends an attribute's name, and one that ends the
// tag or opens a quote.
constexpr unsigned char TagSpace = 1;
constexpr unsigned char SpaceOrSlash = 2;
constexpr unsigned char NameEnd = 4;
constexpr unsigned char TagStop = 8;  // ends a tag or opens a quote in it
struct TagByteClasses {
    unsigned char of[256] = {};
    constexpr TagByteClasses()
    {
        for (unsigned char c : {' ', '\t', '\n', '\r', '\f'}) of[c] = TagSpace | SpaceOrSlash | NameEnd;
        of[static_cast<unsigned char>('/')] = SpaceOrSlash | NameEnd;
        of[static_cast<unsigned char>('=')] = NameEnd;
        of[static_cast<unsigned char>('>')] = NameEnd | TagStop;
        of[static_cast<unsigned char>('"')] = TagStop;
        of[static_cast<unsigned char>('\'')] = TagStop;
    }
};
constexpr TagByteClasses TagBytes;

bool IsTagByte(char c, unsigned char kind)
{
    return (TagBytes.of[static_cast<unsigned char>(c)] & kind) != 0;
}

// The bytes spell the lower-case name, in any case: the few letters of an
// attribute's name, compared in place.
bool IsLowerName(const char* bytes, std::string_view lower)
{
    for (size_t i = 0; i < lower.size(); ++i)
        if (LowerAscii(static_cast<unsigned char>(bytes[i])) != static_cast<unsigned char>(lower[i]))
            return false;
    return true;
}

}  // namespace

bool BeginsWithWord(std::string_view page, size_t at, std::string_view lower)
{
    if (page.size() - std::min(at, page.size()) < lower.size()) return false;
    for (size_t i = 0; i < lower.size(); ++i)
        if (LowerAscii(static_cast<unsigned char>(page[at + i])) != static_cast<unsigned char>(lower[i]))
            return false;
    return true;
}

size_t TagEnd(std::string_view page, size_t from)
{
    const char* data = page.data();
    size_t at = from;
    while (at < page.size()) {
        while (at < page.size() && !IsTagByte(data[at], TagStop)) ++at;
        if (at == page.size()) break;
        const char c = data[at];
        if (c == '>') return at + 1;
        size_t close = page.find(c, at + 1);
        if (close == std::string_view::npos) {
            size_t end = page.find('>', at + 1);
            return end == std::string_view::npos ? page.size() : end + 1;
        }
        at = close + 1;
    }
    return page.size();
}

size_t MarkupDeclarationEnd(std::string_view page, size_t at)
{
    if (page.compare(at, 4, "<!--") == 0) {
        size_t end = page.find("-->", at + 4);
        return end == std::string_view::npos ? page.size() : end + 3;
    }
    size_t end = page.find('>', at);
    return end == std::string_view::npos ? page.size() : end + 1;
}

size_t RawTextClose(std::string_view page, size_t from, std::string_view lowerName)
{
    size_t at = from;
    while ((at = page.find("</", at)) != std::string_view::npos) {
        if (BeginsWithWord(page, at + 2, lowerName)) return at;
        at += 2;
    }
    return page.size();
}

size_t RawTextEnd(std::string_view page, size_t from, std::string_view lowerName)
{
    size_t close = RawTextClose(page, from, lowerName);
    return close == page.size() ? close : TagEnd(page, close + 2 + lowerName.size());
}

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
    for (const Entity& common : CommonEntities)
        if (common.name == name) {
            if (i < page.size() && page[i] == ';') ++i;
            code = common.code;
            return i - at;
        }
    auto found =
        std::lower_bound(std::begin(Entities), std::end(Entities), name,
                         [](const Entity& entity, std::string_view wanted) { return entity.name < wanted; });
    if (found == std::end(Entities) || found->name != name) return 0;
    if (i < page.size() && page[i] == ';') ++i;
    code = found->code;
    return i - at;
}

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
            Utf8Append(out, code);
            at = amp + length;
        }
    }
    return out;
}

bool AttributeValue(std::string_view page, size_t from, size_t end, const char* lowerName,
                    std::string_view& value)
{
    const std::string_view wanted = lowerName;
    const char* data = page.data();
    size_t at = from;
    while (at < end) {
        while (at < end && IsTagByte(data[at], SpaceOrSlash)) ++at;
        const size_t nameStart = at;
        while (at < end && !IsTagByte(data[at], NameEnd)) ++at;
        const size_t nameEnd = at;
        while (at < end && IsTagByte(data[at], TagSpace)) ++at;
        std::string_view found;
        if (at < end && data[at] == '=') {
            ++at;
            while (at < end && IsTagByte(data[at], TagSpace)) ++at;
            if (at < end && (data[at] == '"' || data[at] == '\'')) {
                // A quote closed past the tag's end counts as closed at it:
                // looked for no further than the byte after the end.
                const size_t limit = std::min(end + 1, page.size());
                const void* quote = std::memchr(data + at + 1, data[at], limit - (at + 1));
                size_t close = quote ? static_cast<size_t>(static_cast<const char*>(quote) - data) : end - 1;
                if (close > end) close = end - 1;
                found = page.substr(at + 1, close - at - 1);
                at = close + 1;
            } else {
                const size_t valueStart = at;
                while (at < end && !IsTagByte(data[at], TagSpace) && data[at] != '>') ++at;
                found = page.substr(valueStart, at - valueStart);
            }
        }
        if (nameEnd == nameStart) {
            ++at;
            continue;
        }
        if (nameEnd - nameStart == wanted.size() && IsLowerName(data + nameStart, wanted)) {
            value = found;
            return true;
        }
    }
    return false;
}

std::string AttributeText(std::string_view value, PageCharset charset)
{
    std::string text;
    AttributeTextInto(value, charset, text);
    return text;
}

void AttributeTextInto(std::string_view value, PageCharset charset, std::string& text)
{
    bool plain = value.find('&') == std::string_view::npos && !value.empty() &&
                 !IsAddressSpace(static_cast<unsigned char>(value.front())) &&
                 !IsAddressSpace(static_cast<unsigned char>(value.back()));
    for (size_t i = 0; plain && charset != PageCharset::Utf8 && i < value.size(); ++i)
        plain = static_cast<unsigned char>(value[i]) < 0x80;
    if (plain) text.assign(value);
    else text = TrimmedSpaces(DecodeReferences(Utf8FromCharset(std::string(value), charset)));
}

std::string DeclaredCharsetName(const std::string& bytes)
{
    if (bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) return "utf-8";
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
        std::string name;
        if (MetaCharset(page.substr(at, end - at), name)) return name;
        at = end;
    }
    return "";
}

PageCharset CharsetFromName(const std::string& name)
{
    if (name == "utf-8" || name == "utf8") return PageCharset::Utf8;
    for (const char* alias : {"windows-1252", "cp1252", "x-cp1252", "iso-8859-1", "iso8859-1", "latin1",
                              "latin-1", "l1", "us-ascii", "ascii"})
        if (name == alias) return PageCharset::Windows1252;
    return PageCharset::Unknown;
}

PageCharset DeclaredCharset(const std::string& bytes)
{
    return CharsetFromName(DeclaredCharsetName(bytes));
}

PageCharset PageCharsetOf(const std::string& bytes)
{
    const PageCharset declared = DeclaredCharset(bytes);
    if (declared != PageCharset::Unknown) return declared;
    return TextIsUtf8(bytes) ? PageCharset::Utf8 : PageCharset::Windows1252;
}

std::string Utf8FromCharset(const std::string& bytes, PageCharset charset)
{
    if (charset == PageCharset::Utf8) return bytes;
    if (charset == PageCharset::Unknown && TextIsUtf8(bytes)) return bytes;
    return TextFromAnsiToUtf8(bytes);
}

std::string PageBaseHref(const std::string& bytes)
{
    const PageCharset charset = PageCharsetOf(bytes);
    std::string_view page(bytes);
    size_t at = 0;
    while ((at = page.find('<', at)) != std::string_view::npos) {
        if (at + 1 < page.size() && (page[at + 1] == '!' || page[at + 1] == '?')) {
            at = MarkupDeclarationEnd(page, at);
            continue;
        }
        if (at + 1 >= page.size() || !IsAsciiLetter(static_cast<unsigned char>(page[at + 1]))) {
            ++at;
            continue;
        }
        const TagName tag = ReadTagName(page, at + 1);
        const size_t end = TagEnd(page, tag.end);
        if (NameIs(tag, "body")) break;
        std::string_view value;
        if (NameIs(tag, "base") && AttributeValue(page, tag.end, end, "href", value))
            return AttributeText(value, charset);
        at = NameIs(tag, "script") || NameIs(tag, "style") ? RawTextEnd(page, end, tag.name) : end;
    }
    return "";
}
