#include "runtime/codepage.h"

#include <cstdint>

#include "runtime/text.h"

namespace {

// The Windows-1252 byte of a character; -1 when it has none.
int AnsiByteOf(char32_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<int>(c);
    for (int i = 0; i < 32; ++i)
        if (Windows1252High[i] == c) return 0x80 + i;
    return -1;
}

bool HasHighBytes(const std::string& text)
{
    for (char c : text)
        if (static_cast<unsigned char>(c) >= 0x80) return true;
    return false;
}

// A text that is UTF-8 and not plain ASCII, which reads the same either way.
bool ReadsAsUtf8(const std::string& text)
{
    return HasHighBytes(text) && TextIsUtf8(text);
}

// The characters of a text read as UTF-8 or as Windows-1252.
std::u32string Characters(const std::string& text)
{
    std::u32string characters;
    characters.reserve(text.size());
    if (ReadsAsUtf8(text)) {
        for (size_t at = 0; at < text.size();) {
            uint32_t code = 0;
            at += static_cast<size_t>(TextUtf8Character(text, at, code));
            characters += static_cast<char32_t>(code);
        }
    } else {
        for (char c : text)
            characters += static_cast<char32_t>(Windows1252Character(static_cast<unsigned char>(c)));
    }
    return characters;
}

bool IsContinuation(char c)
{
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

char32_t UpperCharacter(char32_t c)
{
    return (c >= 'a' && c <= 'z') || (c >= 0xE0 && c <= 0xFF) ? c - 0x20 : c;
}

}  // namespace

int TextIsAscii(const std::string& text)
{
    return HasHighBytes(text) ? 0 : 1;
}

std::string TextToUtf8(const std::string& text)
{
    if (!HasHighBytes(text) || TextIsUtf8(text)) return text;
    return TextFromAnsiToUtf8(text);
}

std::string TextFromAnsiToUtf8(const std::string& bytes)
{
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 4);
    for (char c : bytes) {
        if (static_cast<unsigned char>(c) < 0x80) out += c;
        else Utf8Append(out, Windows1252Character(static_cast<unsigned char>(c)));
    }
    return out;
}

std::string TextToAnsi(const std::string& text)
{
    if (!ReadsAsUtf8(text)) return text;
    std::string out;
    for (char32_t c : Characters(text)) {
        int byte = AnsiByteOf(c);
        if (byte < 0) return text;
        out += static_cast<char>(byte);
    }
    return out;
}

std::string TextInEncoding(const std::string& text, int utf8)
{
    return utf8 ? TextToUtf8(text) : TextToAnsi(text);
}

std::string TextUpperCase(const std::string& text)
{
    if (!ReadsAsUtf8(text)) {
        // Capitals can turn Windows-1252 into bytes that read as UTF-8
        // ("\xE3\x80" into "\xC3\x80"), which would be other characters:
        // such a text keeps its characters, in UTF-8.
        std::string upper = TextToUpper(text);
        if (!ReadsAsUtf8(upper)) return upper;
    }
    std::string out;
    out.reserve(text.size());
    for (char32_t c : Characters(text)) Utf8Append(out, UpperCharacter(c));
    return out;
}

std::string TextMatchKey(const std::string& text)
{
    return TextUpperCase(TextToUtf8(text));
}

std::string TextShortened(const std::string& text, int limit)
{
    const size_t most = limit < 5 ? 5 : static_cast<size_t>(limit);
    if (text.size() <= most) return text;
    size_t head = (most - 3) / 3;
    size_t tail = text.size() - (most - 3 - head);
    if (ReadsAsUtf8(text)) {
        while (head > 0 && IsContinuation(text[head])) --head;
        while (tail < text.size() && IsContinuation(text[tail])) ++tail;
    }
    return text.substr(0, head) + "..." + text.substr(tail);
}

std::string TextFirstCharacter(const std::string& text)
{
    if (text.empty()) return "";
    uint32_t code = 0;
    if (!ReadsAsUtf8(text)) return text.substr(0, 1);
    return text.substr(0, static_cast<size_t>(TextUtf8Character(text, 0, code)));
}

void EncodingNoteLine(EncodingVote& vote, const std::string& line)
{
    if (ReadsAsUtf8(line)) vote.utf8Lines += 1;
    else if (HasHighBytes(line)) vote.ansiLines += 1;
    size_t at = line.find("harset");
    if (at == std::string::npos || at == 0 || (line[at - 1] != 'c' && line[at - 1] != 'C')) return;
    std::string rest = TextToLower(line.substr(at + 6, 12));
    size_t name = rest.find_first_not_of("= \"'");
    if (name != std::string::npos &&
        (rest.compare(name, 5, "utf-8") == 0 || rest.compare(name, 4, "utf8") == 0))
        vote.declaredUtf8 = 1;
}

int EncodingIsUtf8(const EncodingVote& vote)
{
    return vote.ansiLines == 0 && (vote.utf8Lines > 0 || vote.declaredUtf8) ? 1 : 0;
}
