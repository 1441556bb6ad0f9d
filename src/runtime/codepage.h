// Texts as characters. The program's texts are bytes, as their files have
// them: Dark Basic's pages, keywords and settings in Windows-1252 (the ANSI
// code page the program was made for), a newer help folder in UTF-8. A text
// whose bytes are well-formed UTF-8 (TextIsUtf8) is read as UTF-8, any other
// as Windows-1252; natural text in Windows-1252 is practically never valid
// UTF-8, so the two are told apart without being told.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// Windows-1252's characters for the bytes 0x80-0x9F; every other byte is
// its Latin-1 character. The five it leaves open stand for the control
// characters of the same number, as Windows and browsers read them.
constexpr char16_t Windows1252High[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                          0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                          0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                          0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

constexpr uint32_t Windows1252Character(unsigned char byte)
{
    return byte >= 0x80 && byte < 0xA0 ? Windows1252High[byte - 0x80] : byte;
}

// The character as UTF-8 into `out` (room for four bytes); its length.
constexpr size_t Utf8Encode(uint32_t code, char* out)
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

inline void Utf8Append(std::string& out, uint32_t code)
{
    char bytes[4] = {};
    out.append(bytes, Utf8Encode(code, bytes));
}

// 1 when no byte of the text is above 0x7F. (TextIsUtf8, runtime/text.h,
// says whether the bytes are well-formed UTF-8.)
int TextIsAscii(const std::string& text);
// The text's characters in UTF-8: the form the host's names and Qt take.
std::string TextToUtf8(const std::string& text);
// The bytes read as Windows-1252, in UTF-8, whatever they look like: for a
// page that says it is Windows-1252.
std::string TextFromAnsiToUtf8(const std::string& bytes);
// The text's characters in Windows-1252 when every one of them has a byte
// there; otherwise the text unchanged. Texts from the host and the user
// come into the program so, as they would on Windows.
std::string TextToAnsi(const std::string& text);
// The text for a file in UTF-8 (utf8 nonzero) or in Windows-1252.
std::string TextInEncoding(const std::string& text, int utf8);
// TextToUpper's rule ("a"-"z" and U+00E0-U+00FF lose 0x20) applied to the
// characters, so a UTF-8 text keeps its bytes whole; a Windows-1252 text
// gets exactly TextToUpper, unless that would read as UTF-8 (other
// characters): then it comes back in UTF-8.
std::string TextUpperCase(const std::string& text);
// One form for comparing without regard to case or encoding: two texts with
// the same characters, in either case and either encoding, give the same key.
std::string TextMatchKey(const std::string& text);
// The text at most `limit` bytes long (at least 5): a longer one keeps its
// first third and its last two, with "..." between, never cutting a UTF-8
// character.
std::string TextShortened(const std::string& text, int limit);
// The first character: one byte, or the whole UTF-8 sequence; "" for "".
std::string TextFirstCharacter(const std::string& text);

// What the lines of one file say of its encoding, noted line by line: bytes
// above 0x7F that are not UTF-8 make it Windows-1252; otherwise UTF-8 bytes
// or a declared "charset=utf-8" make it UTF-8.
struct EncodingVote {
    int utf8Lines = 0;
    int ansiLines = 0;
    int declaredUtf8 = 0;
};
void EncodingNoteLine(EncodingVote& vote, const std::string& line);
int EncodingIsUtf8(const EncodingVote& vote);
